#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "browser_link.h"
#include "cvlpage/diagnostics.h"
#include "plugin_instance.h"
#include "test_browser.h"
#include "test_page.h"
#include "view_window.h"
#include "win32_control.h"

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;
using Calls = std::vector<std::string>;

// The engine calls of a load that matter to the stream: freeing, loading and the
// layout pass, in order.
Calls LoadCalls() {
    Calls calls;
    for (const std::string& entry : cvldiag::Journal()) {
        if (entry.rfind("FreeDrawing(", 0) == 0 || entry.rfind("LoadDrawing(", 0) == 0 ||
            entry.rfind("DrawPage(", 0) == 0) {
            calls.push_back(entry);
        }
    }
    return calls;
}

class StreamAsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        CvlDiagResetStaleHandleCount();
        CvlDiagSetJournal(1);
    }
    void TearDown() override {
        CvlDiagSetJournal(0);
        EXPECT_EQ(CvlDiagStaleHandleCount(), 0u) << cvldiag::LastStaleCall();
    }

    void Show(TestInstance& instance, HWND hwnd) {
        NPWindow window;
        std::memset(&window, 0, sizeof(window));
        window.window = hwnd;
        ASSERT_EQ(NPP_SetWindow(instance.npp(), &window), NPERR_NO_ERROR);
    }

    // Delivers the file as the browser delivers a drawing stream.
    void Deliver(TestInstance& instance, const char* url, const char* fname) {
        TestStream stream(url);
        uint16 type = 0;
        ASSERT_EQ(NPP_NewStream(instance.npp(), nullptr, &stream.stream, false, &type), NPERR_NO_ERROR);
        ASSERT_EQ(type, NP_ASFILE);
        NPP_StreamAsFile(instance.npp(), &stream.stream, fname);
        NPP_DestroyStream(instance.npp(), &stream.stream, NPRES_DONE);
    }

    static std::string BaseURL(TestInstance& instance) {
        return static_cast<NpBrowserLink*>(InstanceFromNPP(instance.npp())->link.get())->baseURL;
    }

    TestBrowser browser;
    TestDrawingFile good{kSmallDrawing};
    TestDrawingFile bad{"this is no drawing\n"};
};

struct LayoutCase {
    const char* name;
    int depth;
    Attributes attributes;
    const char* rectangle;
    const char* flags;
};

TEST_F(StreamAsFileTest, LaysTheDrawingOutAtTheScaleOfLaterRenders) {
    const LayoutCase cases[] = {
        {"antialiased on 16 bits", 16, {}, "(0,0,600,400)", "0x9"},
        {"antialiased on 32 bits, hidden bounds", 32, {{"HIDDENBOUNDS", "no"}}, "(0,0,600,400)", "0x109"},
        {"no antialiasing on 8 bits", 8, {}, "(0,0,300,200)", "0x9"},
        {"noantialias attribute", 24, {{"NoAntialias", ""}}, "(0,0,300,200)", "0x9"},
    };
    for (const LayoutCase& c : cases) {
        TestPage page(c.depth, 300, 200);
        TestInstance instance(NP_EMBED, c.attributes);
        Show(instance, page.embed);
        CvlDiagClearJournal();
        Deliver(instance, "http://host/dir/a.vkf", good.path());
        InstanceData* data = InstanceFromNPP(instance.npp());
        ASSERT_NE(data->drawing, 0u) << c.name;
        const std::string drawing = std::to_string(data->drawing);
        const Calls calls = LoadCalls();
        ASSERT_GE(calls.size(), 2u) << c.name;
        EXPECT_EQ(calls[0], "LoadDrawing(\"" + std::string(good.path()) + "\")") << c.name;
        EXPECT_EQ(calls[1], "DrawPage(" + drawing + ", " + c.rectangle + ", null, 0, 4, " + c.flags + ", 100)")
            << c.name;
        EXPECT_EQ(data->drawingFile, good.path());
        EXPECT_EQ(BaseURL(instance), "http://host/dir/a.vkf");
        // The cache is rebuilt over the page background.
        EXPECT_NE(data->cacheBitmap.get(), nullptr);
        EXPECT_NE(data->backgroundBrush.get(), nullptr);
    }
}

TEST_F(StreamAsFileTest, ANewDrawingReplacesTheOld) {
    TestPage page;
    TestInstance instance;
    Show(instance, page.embed);
    Deliver(instance, "http://host/a.vkf", good.path());
    InstanceData* data = InstanceFromNPP(instance.npp());
    const CVLDRAWING first = data->drawing;
    const unsigned generation = data->drawingGeneration;
    CvlDiagClearJournal();

    Deliver(instance, "http://host/b.vkf", good.path());
    const Calls calls = LoadCalls();
    ASSERT_GE(calls.size(), 3u);
    // The new file is loaded before the old drawing goes, then laid out.
    EXPECT_EQ(calls[0], "LoadDrawing(\"" + std::string(good.path()) + "\")");
    EXPECT_EQ(calls[1], "FreeDrawing(" + std::to_string(first) + ")");
    EXPECT_EQ(calls[2].rfind("DrawPage(" + std::to_string(data->drawing) + ", ", 0), 0u);
    EXPECT_NE(data->drawing, 0u);
    EXPECT_GT(data->drawingGeneration, generation);
    EXPECT_EQ(BaseURL(instance), "http://host/b.vkf");
}

TEST_F(StreamAsFileTest, AFileTheEngineRefusesKeepsTheShownDrawing) {
    TestPage page;
    TestInstance instance;
    Show(instance, page.embed);
    Deliver(instance, "http://host/a.vkf", good.path());
    InstanceData* data = InstanceFromNPP(instance.npp());
    const CVLDRAWING shown = data->drawing;
    const unsigned generation = data->drawingGeneration;
    const HBITMAP cache = data->cacheBitmap.get();
    CvlDiagClearJournal();

    // A broken file, or an error page a browser delivers in the drawing's place.
    Deliver(instance, "http://host/broken.vkf", bad.path());
    EXPECT_EQ(LoadCalls(), Calls{"LoadDrawing(\"" + std::string(bad.path()) + "\")"});
    EXPECT_EQ(data->drawing, shown);
    EXPECT_EQ(data->drawingGeneration, generation);
    EXPECT_EQ(BaseURL(instance), "http://host/a.vkf");
    EXPECT_EQ(data->drawingFile, good.path());
    EXPECT_EQ(data->cacheBitmap.get(), cache);
    // The shown drawing still paints.
    CvlDiagClearJournal();
    InvalidateRect(page.embed, nullptr, TRUE);
    w32_pump();
    EXPECT_FALSE(cvldiag::JournalOf("DrawPage").empty());
}

// A drawing whose symbol starts flashing as it loads: shown at once, hidden after
// 500 ms, shown again after 1000 ms.
const char kFlashingDrawing[] =
    "vkdrawing 1\n"
    "page 100 100\n"
    "symbol rectangle\n"
    "  name \"Lamp\"\n"
    "  fill #FF0000\n"
    "  box 10 10 50 50\n"
    "  property \"OnLoad\" \"FlashObject\"\n"
    "end\n";

TEST_F(StreamAsFileTest, TheOldDrawingsEffectsStopBeforeItIsFreed) {
    TestDrawingFile flashing{kFlashingDrawing};
    const struct {
        const char* what;
        const TestDrawingFile& next;
        bool flashingGoesOn;
    } cases[] = {{"a new drawing replaces it", good, false}, {"a file the engine refuses", bad, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestPage page;
        TestInstance instance;
        Show(instance, page.embed);
        Deliver(instance, "http://host/flashing.vkf", flashing.path());
        InstanceData* data = InstanceFromNPP(instance.npp());
        const std::string lamp = std::to_string(SymbolFromName(data->drawing, "Lamp"));
        const std::string old = std::to_string(data->drawing);
        w32_advance_clock(500);
        ASSERT_EQ(GetSymbolVisibleFlag(data->drawing, SymbolFromName(data->drawing, "Lamp")), 0) << "hidden phase";
        CvlDiagClearJournal();

        Deliver(instance, "http://host/next.vkf", c.next.path());
        Calls order;
        for (const std::string& entry : cvldiag::Journal()) {
            if (entry.rfind("SetSymbolVisibleFlag(", 0) == 0 || entry.rfind("FreeDrawing(", 0) == 0) order.push_back(entry);
        }
        if (c.flashingGoesOn) {
            EXPECT_EQ(order, Calls{});
            CvlDiagClearJournal();
            w32_advance_clock(500);
            EXPECT_EQ(cvldiag::JournalOf("SetSymbolVisibleFlag"), Calls{"SetSymbolVisibleFlag(" + old + ", " + lamp + ", 1)"});
        } else {
            // Stopping shows the lamp again, on its own drawing, before that is freed.
            EXPECT_EQ(order, (Calls{"SetSymbolVisibleFlag(" + old + ", " + lamp + ", 1)", "FreeDrawing(" + old + ")"}));
            CvlDiagClearJournal();
            w32_advance_clock(2000);
            EXPECT_EQ(cvldiag::JournalOf("SetSymbolVisibleFlag"), Calls{});
        }
        EXPECT_EQ(CvlDiagStaleHandleCount(), 0u) << cvldiag::LastStaleCall();
    }
}

TEST_F(StreamAsFileTest, AFileBeforeTheWindowOrWithoutNameIsIgnored) {
    TestPage page;
    TestInstance instance;
    CvlDiagClearJournal();
    Deliver(instance, "http://host/a.vkf", good.path());
    InstanceData* data = InstanceFromNPP(instance.npp());
    EXPECT_EQ(data->drawing, 0u);
    EXPECT_EQ(data->drawingFile, "");
    EXPECT_EQ(BaseURL(instance), "");

    Show(instance, page.embed);
    Deliver(instance, "http://host/a.vkf", nullptr);
    NPP_StreamAsFile(instance.npp(), nullptr, good.path());
    EXPECT_EQ(data->drawing, 0u);
    EXPECT_TRUE(LoadCalls().empty());
}

}  // namespace
