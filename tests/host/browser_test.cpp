// The browser driven directly, with a test plug-in that reports every call it
// receives through the status line, so one log shows the whole conversation.
#include "browser.h"
#include "scratch_files.h"
#include "win32_control.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vkhost {
namespace {

using Lines = std::vector<std::string>;

class BrowserTest : public testing::Test {
protected:
    void SetUp() override {
        site = vktest::ScratchPath("site");
        std::filesystem::remove_all(site);
        std::filesystem::create_directories(site);
        browser = std::make_unique<Browser>(log);
        std::string error;
        ASSERT_TRUE(browser->LoadPlugin(RECORDER_PLUGIN, error)) << error;
        browser->Serve(site.string(), "http://pages.test/");
    }
    void TearDown() override {
        browser.reset();
        // Closing the page and unloading the plug-in leaves nothing behind.
        EXPECT_EQ(w32_live_dcs(), 0);
        EXPECT_EQ(w32_live_gdi_objects(), 0);
        EXPECT_EQ(w32_bad_handle_uses(), 0);
        std::filesystem::remove_all(site);
    }
    void Write(const std::string& name, const std::string& content) {
        std::ofstream(site / name, std::ios::binary) << content;
    }
    // The log from line `from` on.
    Lines LogFrom(size_t from) const { return Lines(log.Lines().begin() + static_cast<long>(from), log.Lines().end()); }

    std::filesystem::path site;
    HostLog log;
    std::unique_ptr<Browser> browser;
};

TEST_F(BrowserTest, EmbedsAreMadeInPageOrderAndStreamedAsTheyAsk) {
    Write("page.html",
          "<html><body>\n"
          "<embed src=\"a.rec\" Width=100 height=50 stype=file color=\"255,0,0\">\n"
          "<EMBED SRC=data.RCD width=60 height=40 stype=normal ready=\"4,3\" noantialias>\n"
          "<embed src=\"x.other\" width=10 height=10>\n"
          "<embed type=\"APPLICATION/X-VK-RECORDER2\" width=10 height=10>\n");
    Write("a.rec", "drawing-a");
    Write("data.RCD", "0123456789");
    Write("x.other", "?");
    browser->Open("page.html");
    Lines expected = {
        "status NPP_New mode=1 type=application/x-vk-recorder argc=5 src=a.rec Width=100 height=50 stype=file "
        "color=255,0,0",
        "status NPP_SetWindow at 8,8 size 100x50",
        "status NPP_New mode=1 type=application/x-vk-recorder2 argc=6 SRC=data.RCD width=60 height=40 "
        "stype=normal ready=4,3 noantialias=",
        "status NPP_SetWindow at 112,8 size 60x40",
        "status NPP_New mode=1 type=application/x-vk-recorder2 argc=3 type=APPLICATION/X-VK-RECORDER2 width=10 "
        "height=10",
        "status NPP_SetWindow at 190,8 size 10x10",
        "status NPP_NewStream http://pages.test/a.rec type=application/x-vk-recorder end=9 seekable=0 choose=file",
        "stream http://pages.test/a.rec file",
        "status NPP_StreamAsFile http://pages.test/a.rec content=drawing-a",
        "streamend http://pages.test/a.rec done",
        "status NPP_DestroyStream http://pages.test/a.rec reason=0",
        "status NPP_NewStream http://pages.test/data.RCD type=application/x-vk-recorder2 end=10 seekable=0 "
        "choose=normal",
        "stream http://pages.test/data.RCD normal",
        "status NPP_Write http://pages.test/data.RCD offset=0 len=4 data=0123 taken=4",
        "status NPP_Write http://pages.test/data.RCD offset=4 len=3 data=456 taken=3",
        "status NPP_Write http://pages.test/data.RCD offset=7 len=3 data=789 taken=3",
        "streamend http://pages.test/data.RCD done",
        "status NPP_DestroyStream http://pages.test/data.RCD reason=0",
    };
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(browser->StatusLine(), "NPP_DestroyStream http://pages.test/data.RCD reason=0");
    EXPECT_EQ(browser->EmbedCount(), 4u);

    // What the page shows: each instance's window at its place, white elsewhere
    // (the embed of an unserved type has no window).
    Picture shot = browser->Screenshot();
    ASSERT_EQ(shot.width, 800);
    ASSERT_EQ(shot.height, 600);
    struct Probe {
        int x, y;
        COLORREF color;
    } probes[] = {{8, 8, RGB(255, 0, 0)},       {107, 57, RGB(255, 0, 0)},    {108, 8, RGB(255, 255, 255)},
                  {112, 8, RGB(200, 200, 255)}, {171, 47, RGB(200, 200, 255)}, {180, 12, RGB(255, 255, 255)},
                  {195, 12, RGB(200, 200, 255)}, {0, 0, RGB(255, 255, 255)},    {799, 599, RGB(255, 255, 255)}};
    for (const auto& probe : probes) EXPECT_EQ(shot.At(probe.x, probe.y), probe.color) << probe.x << "," << probe.y;

    // Resizing tells the instance; destroying it leaves white where it was.
    size_t before = log.Lines().size();
    browser->Resize(2, 30, 20);
    browser->Destroy(1);
    EXPECT_EQ(LogFrom(before), (Lines{"status NPP_SetWindow at 112,8 size 30x20", "status NPP_Destroy"}));
    shot = browser->Screenshot();
    EXPECT_EQ(shot.At(8, 8), RGB(255, 255, 255));
    EXPECT_EQ(shot.At(141, 27), RGB(200, 200, 255));
    EXPECT_EQ(shot.At(142, 28), RGB(255, 255, 255));
}

TEST_F(BrowserTest, FailingMissingAndUnservedUrls) {
    Write("page.html",
          "<embed src=f.rec2 stype=normal ready=3>"
          "<embed src=g.rec stype=file>"
          "<embed src=m.rec>"
          "<embed src=http://elsewhere.test/a.rec>"
          "<embed src=../a.rec>"   // the site's root has no parent to climb to
          "<embed src=nofile.rec>");
    Write("f.rec2", "abcdefgh");
    Write("g.rec", "g");
    Write("m.rec", "m");
    std::filesystem::create_directories(site / "sub");
    browser->MarkFailing("f.rec2");
    browser->MarkFailing("http://pages.test/g.rec#frag");
    browser->MarkMissing("m.rec");
    browser->Open("page.html");
    Lines streams;
    for (const auto& line : log.Lines())
        if (line.rfind("status NPP_New ", 0) != 0 && line.rfind("status NPP_SetWindow", 0) != 0) streams.push_back(line);
    Lines expected = {
        "status NPP_NewStream http://pages.test/f.rec2 type=application/x-vk-recorder2 end=8 seekable=0 choose=normal",
        "stream http://pages.test/f.rec2 normal",
        "status NPP_Write http://pages.test/f.rec2 offset=0 len=3 data=abc taken=3",
        "streamend http://pages.test/f.rec2 network-error",
        "status NPP_DestroyStream http://pages.test/f.rec2 reason=1",
        "status NPP_NewStream http://pages.test/g.rec type=application/x-vk-recorder end=1 seekable=0 choose=file",
        "stream http://pages.test/g.rec file",
        "streamend http://pages.test/g.rec network-error",
        "status NPP_DestroyStream http://pages.test/g.rec reason=1",
    };
    EXPECT_EQ(streams, expected);
}

// A browser whose transfers of some URLs break off, as a page's fetch can.
class BreakingBrowser : public Browser {
public:
    using Browser::Browser;

protected:
    Fetched Fetch(const std::string& url, std::string& bytes, std::string& localFile) override {
        if (url.find("broken") != std::string::npos) return Fetched::Failed;
        return Browser::Fetch(url, bytes, localFile);
    }
};

TEST_F(BrowserTest, ABrokenTransferEndsItsStreamWithANetworkError) {
    browser = std::make_unique<BreakingBrowser>(log);
    std::string error;
    ASSERT_TRUE(browser->LoadPlugin(RECORDER_PLUGIN, error)) << error;
    browser->Serve(site.string(), "http://pages.test/");
    Write("page.html", "<embed src=broken.rec2 stype=normal><embed src=broken.rec stype=file>");
    browser->Open("page.html");
    Lines streams;
    for (const auto& line : log.Lines())
        if (line.find("broken") != std::string::npos && line.rfind("status NPP_New ", 0) != 0) streams.push_back(line);
    Lines expected = {
        "status NPP_NewStream http://pages.test/broken.rec2 type=application/x-vk-recorder2 end=0 seekable=0 "
        "choose=normal",
        "stream http://pages.test/broken.rec2 normal",
        "streamend http://pages.test/broken.rec2 network-error",
        "status NPP_DestroyStream http://pages.test/broken.rec2 reason=1",
        "status NPP_NewStream http://pages.test/broken.rec type=application/x-vk-recorder end=0 seekable=0 "
        "choose=file",
        "stream http://pages.test/broken.rec file",
        "streamend http://pages.test/broken.rec network-error",
        "status NPP_DestroyStream http://pages.test/broken.rec reason=1",
    };
    EXPECT_EQ(streams, expected);
}

TEST_F(BrowserTest, WritesFollowWhatThePluginTakes) {
    struct Case {
        const char* attributes;
        Lines writes;  // the lines between "stream ... normal" and "streamend"
        const char* end;
    } cases[] = {
        {"ready=0,0,5", {"offset=0 len=5 data=01234 taken=5", "offset=5 len=2 data=56 taken=2"}, "done"},
        {"ready=4 take=3",
         {"offset=0 len=4 data=012 taken=3", "offset=3 len=4 data=345 taken=3", "offset=6 len=1 data=6 taken=1"},
         "done"},
        {"take=-1", {"offset=0 len=7 data=0123456 taken=-1"}, "user-break"},
        {"ready=0", {}, "user-break"},
    };
    Write("d.rec", "0123456");
    for (const auto& c : cases) {
        Write("page.html", std::string("<embed src=d.rec stype=normal ") + c.attributes + ">");
        size_t before = log.Lines().size();
        browser->Open("page.html");
        Lines writes;
        std::string end;
        for (const auto& line : LogFrom(before)) {
            const std::string prefix = "status NPP_Write http://pages.test/d.rec ";
            if (line.rfind(prefix, 0) == 0) writes.push_back(line.substr(prefix.size()));
            if (line.rfind("streamend ", 0) == 0) end = line.substr(line.rfind(' ') + 1);
        }
        EXPECT_EQ(writes, c.writes) << c.attributes;
        EXPECT_EQ(end, c.end) << c.attributes;
    }
}

TEST_F(BrowserTest, GetUrlIsDeliveredAfterThePluginCallReturns) {
    Write("page.html",
          "<embed type=application/x-vk-recorder on-new=\"geturl more.rec null;geturl next.html _blank;"
          "geturl gone.html _top;geturl notes.txt _current;geturl next.html _Self\">");
    Write("more.rec", "more");
    Write("notes.txt", "text");
    Write("next.html", "<embed src=b.rec>");
    Write("b.rec", "b");
    browser->Open("page.html");
    Lines expected = {
        "status NPP_New mode=1 type=application/x-vk-recorder argc=2 type=application/x-vk-recorder "
        "on-new=geturl more.rec null;geturl next.html _blank;geturl gone.html _top;geturl notes.txt _current;"
        "geturl next.html _Self",
        "geturl more.rec (null)",
        "status geturl-result 0",
        "geturl next.html _blank",
        "status geturl-result 0",
        "geturl gone.html _top",
        "status geturl-result 0",
        "geturl notes.txt _current",
        "status geturl-result 0",
        "geturl next.html _Self",
        "status geturl-result 0",
        "status NPP_SetWindow at 8,8 size 300x150",
        "status NPP_NewStream http://pages.test/more.rec type=application/x-vk-recorder end=4 seekable=0 choose=file",
        "stream http://pages.test/more.rec file",
        "status NPP_StreamAsFile http://pages.test/more.rec content=more",
        "streamend http://pages.test/more.rec done",
        "status NPP_DestroyStream http://pages.test/more.rec reason=0",
        "status NPP_Destroy",
        "navigate http://pages.test/next.html",
        "status NPP_New mode=1 type=application/x-vk-recorder argc=1 src=b.rec",
        "status NPP_SetWindow at 8,8 size 300x150",
        "status NPP_NewStream http://pages.test/b.rec type=application/x-vk-recorder end=1 seekable=0 choose=file",
        "stream http://pages.test/b.rec file",
        "status NPP_StreamAsFile http://pages.test/b.rec content=b",
        "streamend http://pages.test/b.rec done",
        "status NPP_DestroyStream http://pages.test/b.rec reason=0",
    };
    EXPECT_EQ(log.Lines(), expected);
    EXPECT_EQ(browser->PageUrl(), "http://pages.test/next.html");
}

// A page laid out by someone else (the page script) with an embed inside a frame from
// another folder: its source and its relative requests resolve against the frame.
TEST_F(BrowserTest, AnEmbedInAFrameResolvesItsUrlsAgainstTheFrame) {
    std::filesystem::create_directories(site / "frames");
    Write("frames/a.rec", "framed");
    Write("frames/more.rec", "more");
    browser->OpenScriptedPage("http://pages.test/page.html", 400, 300);
    browser->AddEmbed({{"src", "a.rec"}, {"on-new", "geturl more.rec null"}}, RECT{0, 0, 100, 50},
                      "http://pages.test/frames/frame.html");
    browser->Settle();
    Lines streamed;
    for (const std::string& line : log.Lines())
        if (line.rfind("stream ", 0) == 0) streamed.push_back(line);
    EXPECT_EQ(streamed, (Lines{"stream http://pages.test/frames/more.rec file",
                               "stream http://pages.test/frames/a.rec file"}));
}

TEST_F(BrowserTest, ADrawingOpenedByItselfIsAFullPage) {
    Write("d.rec2", "full");
    browser->SetViewport(40, 30);
    browser->Open("d.rec2");
    Lines expected = {
        "status NPP_New mode=2 type=application/x-vk-recorder2 argc=0",
        "status NPP_SetWindow at 0,0 size 40x30",
        "status NPP_NewStream http://pages.test/d.rec2 type=application/x-vk-recorder2 end=4 seekable=0 choose=file",
        "stream http://pages.test/d.rec2 file",
        "status NPP_StreamAsFile http://pages.test/d.rec2 content=full",
        "streamend http://pages.test/d.rec2 done",
        "status NPP_DestroyStream http://pages.test/d.rec2 reason=0",
    };
    EXPECT_EQ(log.Lines(), expected);

    // The plug-in leaves a full page to the browser, which prints it as an embed
    // filling the page, on a printer of twice the screen's resolution.
    size_t before = log.Lines().size();
    Picture printed = browser->Print(1);
    EXPECT_EQ(LogFrom(before),
              (Lines{"status NPP_Print full", "status NPP_Print embed at 0,0 size 40x30 extents 40x30 to 80x60"}));
    ASSERT_EQ(printed.width, 80);
    ASSERT_EQ(printed.height, 60);
    EXPECT_EQ(printed.At(0, 0), RGB(200, 200, 255));
    EXPECT_EQ(printed.At(79, 59), RGB(200, 200, 255));
}

TEST_F(BrowserTest, UserErrorsAreReportedNotCrashed) {
    Write("page.html", "<embed src=a.rec><embed src=b.other>");
    Write("a.rec", "a");
    Write("notes.txt", "text");
    EXPECT_THROW(browser->Open("nothing.html"), HostError);
    EXPECT_THROW(browser->Open("notes.txt"), HostError);
    browser->MarkMissing("page.html");
    EXPECT_THROW(browser->Open("page.html"), HostError);
    browser->Serve(site.string(), "http://pages.test/");  // marks stay; reopen under another name
    std::filesystem::copy_file(site / "page.html", site / "page2.html");
    browser->Open("page2.html");
    EXPECT_THROW(browser->MovePointer(3, 0, 0), HostError);  // there are two embeds
    EXPECT_THROW(browser->MovePointer(2, 0, 0), HostError);  // not served: no window
    EXPECT_THROW(browser->Destroy(2), HostError);
    EXPECT_THROW(browser->Print(0), HostError);
    browser->Destroy(1);
    EXPECT_THROW(browser->Destroy(1), HostError);

    HostLog otherLog;
    std::string error;
    EXPECT_FALSE(PluginModule::Load((site / "npnothing.so").string(), nullptr, error));
    EXPECT_NE(error.find("cannot load"), std::string::npos) << error;
}

TEST(BrowserModule, LoadsStartsAndUnloadsThePluginAsABrowserDoes) {
    std::filesystem::path journal = vktest::ScratchPath("recorder-journal.txt");
    std::filesystem::remove(journal);
    setenv("VK_RECORDER_JOURNAL", journal.c_str(), 1);
    {
        HostLog log;
        Browser browser(log);
        std::string error;
        ASSERT_TRUE(browser.LoadPlugin(RECORDER_PLUGIN, error)) << error;
        const auto& types = browser.Plugin()->Types();
        ASSERT_EQ(types.size(), 2u);
        EXPECT_EQ(types[1].mimeType, "application/x-vk-recorder2");
        EXPECT_EQ(types[1].extensions, (std::vector<std::string>{"rec2", "rcd"}));
        EXPECT_EQ(types[1].openName, "Other records (*.rec2;*.rcd)");
        EXPECT_EQ(browser.Plugin()->TypeForExtension("REC"), &types[0]);
        EXPECT_EQ(browser.Plugin()->TypeForMime("Application/X-VK-Recorder2"), &types[1]);
    }
    unsetenv("VK_RECORDER_JOURNAL");
    std::ifstream in(journal);
    Lines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    Lines expected = {
        "attach",
        "NP_GetEntryPoints size=" + std::to_string(sizeof(NPPluginFuncs)),
        "NP_Initialize size=" + std::to_string(sizeof(NPNetscapeFuncs)) + " version=0x0006 services=12",
        "NP_Shutdown",
        "detach",
    };
    EXPECT_EQ(lines, expected);
    std::filesystem::remove(journal);
}

TEST(BrowserModule, RegistrationStrings) {
    auto types = ParseRegistration({"a/b| c/d |", "x|Y,z", "X files"});
    ASSERT_EQ(types.size(), 2u);
    EXPECT_EQ(types[0].mimeType, "a/b");
    EXPECT_EQ(types[0].extensions, (std::vector<std::string>{"x"}));
    EXPECT_EQ(types[0].openName, "X files");
    EXPECT_EQ(types[1].mimeType, "c/d");
    EXPECT_EQ(types[1].extensions, (std::vector<std::string>{"y", "z"}));
    EXPECT_EQ(types[1].openName, "");
}

}  // namespace
}  // namespace vkhost

namespace vkhost {
namespace {

// A site folder holding square.vkf: a 40 x 40 page filled with kSquareColour.
const COLORREF kSquareColour = RGB(0x40, 0x80, 0xFF);
class SquareSite {
public:
    explicit SquareSite(const char* name) : path(vktest::ScratchPath(name)) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        std::ofstream(path / "square.vkf") << "vkdrawing 1\npage 40 40\nsymbol rectangle\n  fill #4080FF\n"
                                              "  stroke none\n  box 0 0 40 40\nend\n";
    }
    ~SquareSite() { std::filesystem::remove_all(path); }
    const std::filesystem::path path;
};

// The real plug-in behind the same browser: what the page shows comes from the
// drawing, and the area around it takes the browser's background setting.
TEST(BrowserWithPlugin, ScreenshotShowsTheDrawingOnTheBrowsersBackground) {
    SquareSite squareSite("real-plugin-site");
    const std::filesystem::path& site = squareSite.path;
    // The square drawing in a wide window: centred, with the background left and right.
    std::ofstream(site / "page.html") << "<embed src=square.vkf width=120 height=40>";
    {
        HostLog log;
        Browser browser(log);
        std::string error;
        ASSERT_TRUE(browser.LoadPlugin(NPVKNT_PLUGIN, error)) << error;
        browser.Serve(site.string(), "http://pages.test/");
        browser.SetBackground(std::string("255, 255, 0"));
        browser.Open("page.html");
        EXPECT_EQ(log.Lines(), (Lines{"stream http://pages.test/square.vkf file",
                                      "streamend http://pages.test/square.vkf done"}));
        Picture shot = browser.Screenshot();
        struct Probe {
            int x, y;
            COLORREF color;
        } probes[] = {
            {8 + 60, 8 + 20, kSquareColour},    // the drawing, in the middle of the embed
            {8 + 5, 8 + 20, RGB(255, 255, 0)},  // the browser's background beside it
            {8 + 115, 8 + 20, RGB(255, 255, 0)},
            {4, 4, RGB(255, 255, 255)},         // the page around the embed
        };
        for (const auto& probe : probes) EXPECT_EQ(shot.At(probe.x, probe.y), probe.color) << probe.x << "," << probe.y;
    }
    EXPECT_EQ(w32_live_dcs(), 0);
    EXPECT_EQ(w32_live_gdi_objects(), 0);
}

// A page laid out by someone else (the page script) places embeds further down and
// further right than its screen reaches: the screen grows, and every drawing shows
// again on it.
TEST(BrowserWithPlugin, AScriptedPageGrowsItsScreenForEmbedsFurtherOut) {
    SquareSite site("scripted-page-site");
    {
        HostLog log;
        Browser browser(log);
        std::string error;
        ASSERT_TRUE(browser.LoadPlugin(NPVKNT_PLUGIN, error)) << error;
        browser.Serve(site.path.string(), "http://pages.test/");
        browser.OpenScriptedPage("http://pages.test/page.html", 200, 60);
        browser.AddEmbed({{"src", "square.vkf"}}, RECT{0, 0, 120, 40});
        browser.AddEmbed({{"src", "square.vkf"}}, RECT{0, 80, 120, 120});
        browser.AddEmbed({{"src", "square.vkf"}}, RECT{220, 0, 340, 40});
        browser.Settle();

        ASSERT_TRUE(browser.GrowScriptedPage(360, 120));
        Picture shot = browser.Screenshot();
        ASSERT_EQ(shot.width, 360);
        ASSERT_EQ(shot.height, 120);
        EXPECT_EQ(shot.At(60, 20), kSquareColour) << "the embed on the first screen";
        EXPECT_EQ(shot.At(60, 100), kSquareColour) << "the embed below it";
        EXPECT_EQ(shot.At(280, 20), kSquareColour) << "the embed beside it";

        EXPECT_FALSE(browser.GrowScriptedPage(360, 1 << 20));
        shot = browser.Screenshot();
        EXPECT_EQ(shot.height, 120);
        EXPECT_EQ(shot.At(60, 100), kSquareColour);
    }
    EXPECT_EQ(w32_live_dcs(), 0);
    EXPECT_EQ(w32_live_gdi_objects(), 0);
}

}  // namespace
}  // namespace vkhost
