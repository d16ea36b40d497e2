#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cvlpage/diagnostics.h"
#include "effect_registry.h"
#include "plugin_entry.h"
#include "plugin_instance.h"
#include "test_browser.h"
#include "test_page.h"
#include "timed_actions.h"
#include "view_window.h"
#include "win32_control.h"

namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;
using Map = std::map<std::string, std::string, std::less<>>;

struct AttributeCase {
    const char* name;
    uint16 mode;
    Attributes given;
    Map stored;
};

TEST(NPP_New, KeepsEmbedAttributesUnderLowerCaseNames) {
    const AttributeCase cases[] = {
        {"names lower-cased, values kept", NP_EMBED, {{"SRC", "A.vkf"}, {"Width", "300"}},
         Map{{"src", "A.vkf"}, {"width", "300"}}},
        {"later attribute of the same key wins", NP_EMBED, {{"Color", "red"}, {"cOLOR", "Blue"}}, Map{{"color", "Blue"}}},
        {"present with an empty value", NP_EMBED, {{"HiddenBounds", ""}}, Map{{"hiddenbounds", ""}}},
        {"a full-page instance keeps none", NP_FULL, {{"src", "a.vkf"}}, Map{}},
    };
    TestBrowser browser;
    for (const AttributeCase& c : cases) {
        TestInstance instance(c.mode, c.given);
        ASSERT_EQ(instance.created, NPERR_NO_ERROR) << c.name;
        InstanceData* data = InstanceFromNPP(instance.npp());
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->attributes, c.stored) << c.name;
        EXPECT_NE(data->link, nullptr);
        EXPECT_EQ(data->view, nullptr);
        EXPECT_EQ(data->drawing, 0u);
    }
    EXPECT_EQ(NPP_New(nullptr, nullptr, NP_EMBED, 0, nullptr, nullptr, nullptr), NPERR_INVALID_INSTANCE_ERROR);
}

TEST(NPP_New, SkipsAttributesTheBrowserLeftWithoutName) {
    TestBrowser browser;
    char a[] = "A";
    char b[] = "b";
    char* names[] = {nullptr, a, b};
    char* values[] = {a, nullptr, a};
    NPP_t npp = {nullptr, nullptr};
    ASSERT_EQ(NPP_New(nullptr, &npp, NP_EMBED, 3, names, values, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(InstanceFromNPP(&npp)->attributes, (Map{{"a", ""}, {"b", "A"}}));
    NPP_Destroy(&npp, nullptr);
}

class WindowTest : public ::testing::Test {
protected:
    NPWindow WindowOf(HWND hwnd) {
        NPWindow window;
        std::memset(&window, 0, sizeof(window));
        window.window = hwnd;
        window.width = 300;
        window.height = 200;
        return window;
    }

    TestPage page;
    TestBrowser browser;
};

TEST_F(WindowTest, TheFirstWindowGetsAViewForGood) {
    TestInstance instance;
    InstanceData* data = InstanceFromNPP(instance.npp());
    const LONG_PTR browserProc = GetWindowLongPtrA(page.embed, GWLP_WNDPROC);
    HWND other = page.AddEmbed("VkOther", 100, 100);

    NPWindow none = WindowOf(nullptr);
    EXPECT_EQ(NPP_SetWindow(instance.npp(), &none), NPERR_NO_ERROR);
    EXPECT_EQ(data->view, nullptr);

    NPWindow first = WindowOf(page.embed);
    EXPECT_EQ(NPP_SetWindow(instance.npp(), &first), NPERR_NO_ERROR);
    ASSERT_NE(data->view, nullptr);
    DrawingView* view = data->view.get();
    EXPECT_EQ(view->Window(), page.embed);
    EXPECT_NE(GetWindowLongPtrA(page.embed, GWLP_WNDPROC), browserProc);
    // Double clicks arrive as such; the class's own bits stay.
    EXPECT_EQ(GetClassLongA(page.embed, GCL_STYLE), DWORD(CS_HREDRAW | CS_DBLCLKS));

    NPWindow second = WindowOf(other);
    EXPECT_EQ(NPP_SetWindow(instance.npp(), &second), NPERR_NO_ERROR);
    EXPECT_EQ(NPP_SetWindow(instance.npp(), &first), NPERR_NO_ERROR);
    EXPECT_EQ(data->view.get(), view);
    EXPECT_EQ(GetClassLongA(other, GCL_STYLE), 0u);

    // Destroying the instance gives the browser its window procedure back.
    NPP_Destroy(instance.npp(), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(page.embed, GWLP_WNDPROC), browserProc);
}

TEST_F(WindowTest, BadArgumentsAreRefused) {
    TestInstance instance;
    NPP_t bare = {nullptr, nullptr};
    NPWindow window = WindowOf(page.embed);
    EXPECT_EQ(NPP_SetWindow(instance.npp(), nullptr), NPERR_GENERIC_ERROR);
    EXPECT_EQ(NPP_SetWindow(nullptr, nullptr), NPERR_GENERIC_ERROR);
    EXPECT_EQ(NPP_SetWindow(nullptr, &window), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(NPP_SetWindow(&bare, &window), NPERR_GENERIC_ERROR);
    EXPECT_EQ(InstanceFromNPP(instance.npp())->view, nullptr);
}

TEST_F(WindowTest, AHandleThatIsNoLongerAWindowGetsNoViewAndALaterWindowDoes) {
    TestInstance instance;
    HWND gone = page.AddEmbed("VkGone", 100, 100);
    DestroyWindow(gone);
    const int badHandlesBefore = w32_bad_handle_uses();

    NPWindow stale = WindowOf(gone);
    EXPECT_EQ(NPP_SetWindow(instance.npp(), &stale), NPERR_NO_ERROR);
    EXPECT_EQ(InstanceFromNPP(instance.npp())->view, nullptr);
    EXPECT_EQ(w32_bad_handle_uses(), badHandlesBefore);

    NPWindow live = WindowOf(page.embed);
    EXPECT_EQ(NPP_SetWindow(instance.npp(), &live), NPERR_NO_ERROR);
    ASSERT_NE(InstanceFromNPP(instance.npp())->view, nullptr);
    EXPECT_EQ(InstanceFromNPP(instance.npp())->view->Window(), page.embed);
}

// Prints an embedded instance holding a loaded drawing.
class InstanceWithDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        CvlDiagResetStaleHandleCount();
        CvlDiagSetJournal(1);
    }
    void TearDown() override {
        CvlDiagSetJournal(0);
        EXPECT_EQ(CvlDiagStaleHandleCount(), 0u) << cvldiag::LastStaleCall();
    }

    // The DrawPage calls that printing made, as the engine's journal shows them.
    std::vector<std::string> Print(TestInstance& instance, NPPrint& print) {
        CvlDiagClearJournal();
        NPP_Print(instance.npp(), &print);
        return cvldiag::JournalOf("DrawPage");
    }

    static NPPrint EmbedPrint(HDC printer, int32 x, int32 y, uint32 width, uint32 height) {
        NPPrint print;
        std::memset(&print, 0, sizeof(print));
        print.mode = NP_EMBED;
        print.print.embedPrint.window.x = x;
        print.print.embedPrint.window.y = y;
        print.print.embedPrint.window.width = width;
        print.print.embedPrint.window.height = height;
        print.print.embedPrint.platformPrint = printer;
        return print;
    }

    // Gives the instance a window and streams it the drawing file, as the browser does.
    InstanceData* ShowDrawing(TestInstance& instance, HWND hwnd) {
        NPWindow window;
        std::memset(&window, 0, sizeof(window));
        window.window = hwnd;
        EXPECT_EQ(NPP_SetWindow(instance.npp(), &window), NPERR_NO_ERROR);
        TestStream stream("http://host/a.vkf");
        NPP_StreamAsFile(instance.npp(), &stream.stream, file.path());
        return InstanceFromNPP(instance.npp());
    }

    TestPage page;
    TestBrowser browser;
    TestDrawingFile file{kSmallDrawing};
};

struct PrintCase {
    const char* name;
    int32 x, y;
    uint32 width, height;
    SIZE windowExtent, viewportExtent;
    bool hiddenBounds;
    const char* rectangle;
    const char* flags;
};

TEST_F(InstanceWithDrawing, ScalesTheEmbedRectangleToThePrinter) {
    const PrintCase cases[] = {
        {"viewport twice the window", 10, 20, 100, 50, {100, 100}, {200, 200}, false, "(20,40,220,140)", "0x89"},
        {"hidden bounds shown", 10, 20, 100, 50, {100, 100}, {200, 200}, true, "(20,40,220,140)", "0x189"},
        {"only the horizontal ratio counts", 10, 20, 100, 50, {100, 1}, {200, 7}, false, "(20,40,220,140)", "0x89"},
        {"rounded half up", 10, 20, 100, 50, {3, 3}, {1, 1}, false, "(3,7,37,23)", "0x89"},
        {"truncated toward zero when negative", -10, -3, 5, 5, {1, 1}, {1, 1}, false, "(-9,-2,-4,2)", "0x89"},
        {"no window extent prints unscaled", 10, 20, 100, 50, {0, 0}, {600, 600}, false, "(10,20,110,70)", "0x89"},
    };
    for (const PrintCase& c : cases) {
        TestInstance instance(NP_EMBED, c.hiddenBounds ? Attributes{{"HiddenBounds", ""}} : Attributes{});
        InstanceData* data = InstanceFromNPP(instance.npp());
        data->drawing = LoadDrawing(file.path());
        ASSERT_NE(data->drawing, 0u);
        HDC printer = w32_create_printer_dc(1000, 1000, c.windowExtent, c.viewportExtent);
        NPPrint print = EmbedPrint(printer, c.x, c.y, c.width, c.height);
        const std::string expected = "DrawPage(" + std::to_string(data->drawing) + ", " + c.rectangle + ", null, 0, 3, " +
                                     c.flags + ", 100)";
        EXPECT_EQ(Print(instance, print), std::vector<std::string>{expected}) << c.name;
        DeleteDC(printer);
    }
}

TEST_F(InstanceWithDrawing, PrintsNothingWithoutADrawingOrForAFullPage) {
    TestInstance instance;
    HDC printer = w32_create_printer_dc(1000, 1000, SIZE{1, 1}, SIZE{1, 1});
    NPPrint print = EmbedPrint(printer, 0, 0, 10, 10);
    EXPECT_TRUE(Print(instance, print).empty());

    InstanceFromNPP(instance.npp())->drawing = LoadDrawing(file.path());
    NPPrint full;
    std::memset(&full, 0, sizeof(full));
    full.mode = NP_FULL;
    full.print.fullPrint.pluginPrinted = true;
    EXPECT_TRUE(Print(instance, full).empty());
    EXPECT_FALSE(full.print.fullPrint.pluginPrinted);

    NPP_t bare = {nullptr, nullptr};
    NPP_Print(&bare, &print);
    NPP_Print(nullptr, &print);
    NPP_Print(instance.npp(), nullptr);
    NPPrint noPrinter = EmbedPrint(nullptr, 0, 0, 10, 10);
    EXPECT_TRUE(Print(instance, noPrinter).empty());
    EXPECT_TRUE(cvldiag::JournalOf("DrawPage").empty());
    DeleteDC(printer);
}

TEST_F(InstanceWithDrawing, DestroyReleasesEverythingTheInstanceOwns) {
    // One life of an instance: window, drawing, paint, destroy.
    auto live = [&] {
        TestInstance instance;
        ASSERT_NE(ShowDrawing(instance, page.embed)->drawing, 0u);
        w32_pump();
        EXPECT_EQ(NPP_Destroy(instance.npp(), nullptr), NPERR_NO_ERROR);
        EXPECT_EQ(instance.handle.pdata, nullptr);
    };
    // The first life may leave the process-wide palette behind; no later one leaves anything.
    live();
    const int gdiBefore = w32_live_gdi_objects();
    const int drawingsBefore = CvlDiagLiveDrawings();
    live();
    EXPECT_EQ(CvlDiagLiveDrawings(), drawingsBefore);
    EXPECT_EQ(w32_live_gdi_objects(), gdiBefore);
    EXPECT_EQ(w32_live_dcs(), 0);
}

// Effects of every instance share one registry; destroying an instance ends its
// own effects only, while its drawing still exists.
TEST_F(InstanceWithDrawing, DestroyingOneInstanceStopsOnlyItsOwnEffects) {
    HWND second = page.AddEmbed("VkSecond", 200, 200);
    TestInstance one;
    TestInstance two;
    for (auto [instance, hwnd] : {std::pair<TestInstance*, HWND>{&one, page.embed}, {&two, second}}) {
        InstanceData* data = ShowDrawing(*instance, hwnd);
        ASSERT_NE(data->drawing, 0u);
        FlashObjectAction(data, SymbolFromName(data->drawing, "Lamp"), "200");
    }
    InstanceData* survivor = InstanceFromNPP(two.npp());
    const CVLSYMBOL lamp = SymbolFromName(survivor->drawing, "Lamp");
    CvlDiagClearJournal();
    w32_advance_clock(450);
    EXPECT_FALSE(cvldiag::JournalOf("SetSymbolVisibleFlag").empty()) << "both lamps flash";

    NPP_Destroy(one.npp(), nullptr);
    CvlDiagClearJournal();
    w32_advance_clock(2000);
    const std::string survivorsLamp =
        "SetSymbolVisibleFlag(" + std::to_string(survivor->drawing) + ", " + std::to_string(lamp) + ", ";
    const std::vector<std::string> expected = {survivorsLamp + "0)", survivorsLamp + "1)"};
    std::vector<std::string> calls = cvldiag::JournalOf("SetSymbolVisibleFlag");
    ASSERT_GE(calls.size(), 2u) << "the survivor's lamp flashes on";
    calls.resize(2);
    EXPECT_EQ(calls, expected) << "and only the survivor's lamp";
}

TEST_F(InstanceWithDrawing, UnloadingStopsEffectsOnlyWhileTheEngineAndWindowSystemAreThere) {
    struct Case {
        const char* what;
        bool processExit;  // the module's detach at process exit, without NP_Shutdown
    };
    for (const Case c : {Case{"NP_Shutdown", false}, Case{"detach at process exit", true}}) {
        TestInstance instance;
        InstanceData* data = ShowDrawing(instance, page.embed);
        const CVLSYMBOL lamp = SymbolFromName(data->drawing, "Lamp");
        FlashObjectAction(data, lamp, "200");
        w32_advance_clock(150);
        ASSERT_EQ(GetSymbolVisibleFlag(data->drawing, lamp), 0) << c.what << ": in the hidden phase";
        w32_pump();
        const int gdiObjects = w32_live_gdi_objects();
        CvlDiagClearJournal();
        if (c.processExit) {
            DllMain(PluginModule(), DLL_PROCESS_DETACH, reinterpret_cast<LPVOID>(1));
            EXPECT_TRUE(cvldiag::Journal().empty()) << c.what << ": no engine call";
            EXPECT_EQ(w32_live_gdi_objects(), gdiObjects) << c.what << ": the palette is not deleted";
        } else {
            EXPECT_EQ(NP_Shutdown(), NPERR_NO_ERROR);
            EXPECT_NE(GetSymbolVisibleFlag(data->drawing, lamp), 0) << c.what << ": the lamp is shown again";
        }
        EXPECT_EQ(EffectRegistry::Current(), nullptr) << c.what;
        CvlDiagClearJournal();
        w32_advance_clock(1000);
        EXPECT_TRUE(cvldiag::JournalOf("SetSymbolVisibleFlag").empty()) << c.what << ": nothing flashes any more";
        NPP_Destroy(instance.npp(), nullptr);
    }
}

}  // namespace
