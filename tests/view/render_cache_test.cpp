// Rendering into the off-screen cache and painting from it, seen through the
// engine's journal of DrawPage calls and the pixels the window shows.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "render_cache.h"
#include "view_fixture.h"
#include "view_window.h"
#include "win32_control.h"

namespace {

using Calls = std::vector<std::string>;

// A 200 x 100 page: at 200 x 100 pixels one drawing unit is one view pixel.
const char kTwoBoxes[] =
    "vkdrawing 1\n"
    "page 200 100\n"
    "symbol rectangle\nname \"A\"\nbox 10 10 50 50\nfill #000000\nstroke none\nend\n"
    "symbol rectangle\nname \"B\"\nbox 50 10 90 50\nfill #0000FF\nstroke none\nend\n";

const char kSettingsKey[] = "Software\\Netscape\\Netscape Navigator\\Settings";

std::string DrawPage(const std::string& page, const std::string& update, int mode, const char* flags) {
    return "DrawPage(D, " + page + ", " + update + ", 0, " + std::to_string(mode) + ", " + flags + ", 100)";
}

struct PathCase {
    const char* what;
    int depth;
    std::vector<std::pair<std::string, std::string>> attributes;
    const char* page;         // the engine's page rectangle
    const char* firstFlags;   // of the load pass and the first render
    const char* smallUpdate;  // the update rectangle of an invalidation of (10, 10, 20, 20)
    bool antialiased;
};

const PathCase kPaths[] = {
    {"antialiased, 32 bits", 32, {}, "(0,0,400,200)", "0x9", "(20,20,40,40)", true},
    {"antialiased, 24 bits, hidden bounds", 24, {{"HiddenBounds", ""}}, "(0,0,400,200)", "0x109", "(20,20,40,40)", true},
    {"antialiased, 16 bits", 16, {}, "(0,0,400,200)", "0x9", "(20,20,40,40)", true},
    {"direct, noantialias", 32, {{"noantialias", "yes"}}, "(0,0,200,100)", "0x9", "(10,10,20,20)", false},
    {"direct, 8 bits, hidden bounds", 8, {{"hiddenbounds", "1"}}, "(0,0,200,100)", "0x109", "(10,10,20,20)", false},
};

TEST_F(ViewTest, FirstAndLaterRendersOnBothPaths) {
    for (const PathCase& path : kPaths) {
        SCOPED_TRACE(path.what);
        Open({path.depth, 200, 100, path.attributes, kTwoBoxes});
        Pump();
        EXPECT_EQ(EngineCalls("DrawPage"), (Calls{DrawPage(path.page, "null", 4, path.firstFlags),
                                                  DrawPage(path.page, path.page, 3, path.firstFlags)}));
        ClearJournal();
        InvalidateViewRect(Data(), 10, 10, 20, 20);
        Pump();
        EXPECT_EQ(EngineCalls("DrawPage"), (Calls{DrawPage(path.page, path.smallUpdate, 3, "0x20")}));
        // The antialiasing bitmap and its DC exist only on the antialiased path.
        EXPECT_EQ(bool(Data()->superBitmap), path.antialiased);
        EXPECT_EQ(bool(Data()->superDC), path.antialiased);
        Close();
    }
}

TEST_F(ViewTest, InvalidationsBeforeAPaintCostOneDrawPageOnTheirUnion) {
    Open({32, 200, 150, {{"noantialias", ""}}, kTwoBoxes});
    Pump();
    ClearJournal();
    InvalidateViewRect(Data(), 10, 10, 20, 20);
    InvalidateViewRect(Data(), 100, 100, 110, 110);
    Pump();
    EXPECT_EQ(EngineCalls("DrawPage"), (Calls{DrawPage("(0,0,200,150)", "(10,10,110,110)", 3, "0x20")}));
}

TEST_F(ViewTest, InvalidationsAreNormalisedAndClippedToTheView) {
    struct Case {
        const char* what;
        RECT given;
        RECT expected;  // the dirty rectangle; empty: nothing to paint
    } cases[] = {
        {"inside", {10, 10, 20, 20}, {10, 10, 20, 20}},
        {"right before left, bottom above top", {20, 30, 10, 5}, {10, 5, 20, 30}},
        {"partly outside", {-5, 90, 10, 140}, {0, 90, 10, 100}},
        {"covering the view", {-100, -100, 900, 900}, {0, 0, 200, 100}},
        {"wholly outside", {300, 10, 400, 20}, {0, 0, 0, 0}},
        {"empty", {30, 30, 30, 60}, {0, 0, 0, 0}},
    };
    Open({32, 200, 100, {{"noantialias", ""}}, kTwoBoxes});
    Pump();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearJournal();
        InvalidateViewRect(Data(), c.given.left, c.given.top, c.given.right, c.given.bottom);
        const RECT& dirty = Data()->dirtyRect;
        EXPECT_EQ((std::vector<LONG>{dirty.left, dirty.top, dirty.right, dirty.bottom}),
                  (std::vector<LONG>{c.expected.left, c.expected.top, c.expected.right, c.expected.bottom}));
        Pump();
        Calls expected;
        if (!IsRectEmpty(&c.expected)) {
            expected.push_back(DrawPage("(0,0,200,100)",
                                        "(" + std::to_string(c.expected.left) + "," + std::to_string(c.expected.top) +
                                            "," + std::to_string(c.expected.right) + "," +
                                            std::to_string(c.expected.bottom) + ")",
                                        3, "0x20"));
        }
        EXPECT_EQ(EngineCalls("DrawPage"), expected);
    }
}

TEST_F(ViewTest, WholeViewAndSymbolInvalidation) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    ClearJournal();
    InvalidateSymbol(Data(), Symbol("B"));  // (50, 10, 90, 50) and one pixel around it
    Pump();
    InvalidateView(Data());
    Pump();
    EXPECT_EQ(EngineCalls("DrawPage"), (Calls{DrawPage("(0,0,400,200)", "(98,18,182,102)", 3, "0x20"),
                                              DrawPage("(0,0,400,200)", "(0,0,400,200)", 3, "0x20")}));
}

TEST_F(ViewTest, InvalidationWithoutACacheDoesNothing) {
    Open({32, 200, 100, {}, ""});  // no drawing: nothing is rendered, the cache waits for a paint
    InvalidateViewRect(Data(), 10, 10, 20, 20);
    EXPECT_TRUE(IsRectEmpty(&Data()->dirtyRect));
    EXPECT_FALSE(Data()->cacheBitmap);
}

TEST_F(ViewTest, AnUncoveredAreaIsRenderedAgainNotOnlyCopied) {
    Open({32, 200, 100, {{"noantialias", ""}}, kTwoBoxes});
    Pump();
    ClearJournal();
    const RECT uncovered = {30, 40, 70, 60};
    InvalidateRect(Window(), &uncovered, TRUE);
    Pump();
    EXPECT_EQ(EngineCalls("DrawPage"), (Calls{DrawPage("(0,0,200,100)", "(30,40,70,60)", 3, "0x20")}));
}

TEST_F(ViewTest, RebuildsOnRealSizeChangesOnly) {
    for (bool antialias : {false, true}) {
        SCOPED_TRACE(antialias ? "antialiased" : "direct");
        std::vector<std::pair<std::string, std::string>> attributes = {{"hiddenbounds", ""}};
        if (!antialias) attributes.push_back({"noantialias", ""});
        Open({32, 200, 100, attributes, kTwoBoxes});
        Pump();
        ClearJournal();
        ASSERT_TRUE(w32_resize_window(Window(), 300, 100));
        Pump();
        const std::string page = antialias ? "(0,0,600,200)" : "(0,0,300,100)";
        EXPECT_EQ(EngineCalls("DrawPage"), (Calls{DrawPage(page, page, 3, "0x109")}));
        EXPECT_EQ(Data()->cacheWidth, 300);

        // The same size again, or a minimised window, keeps the cache as it is.
        HBITMAP cache = Data()->cacheBitmap.get();
        ClearJournal();
        SendMessageA(Window(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 100));
        SendMessageA(Window(), WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0));
        SendMessageA(Window(), WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(120, 80));
        EXPECT_EQ(Pump(), 0);
        EXPECT_EQ(Data()->cacheBitmap.get(), cache);
        EXPECT_EQ(EngineCalls("DrawPage"), Calls{});
        EXPECT_TRUE(Data()->cacheDrawn);
        // A maximised window of another size rebuilds: the cache waits for a first render.
        SendMessageA(Window(), WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(250, 100));
        EXPECT_FALSE(Data()->cacheDrawn);
        Close();
    }
}

TEST_F(ViewTest, AFailingRebuildLeavesTheCacheUnbuiltWithoutRepainting) {
    // A cache this large (about 5 GB at 32 bits) cannot be made.
    Open({32, 40000, 32000, {}, kTwoBoxes});
    EXPECT_FALSE(Data()->cacheBitmap);
    EXPECT_GE(Pump(), 0) << "the window kept asking to be repainted";
    EXPECT_FALSE(Data()->cacheBitmap);
    EXPECT_EQ(EngineCalls("DrawPage").size(), 1u) << "only the load pass";
    // Once the window has a size a cache can be made for, the next paint builds it.
    ClearJournal();
    ASSERT_TRUE(w32_resize_window(Window(), 200, 100));
    Pump();
    EXPECT_TRUE(Data()->cacheBitmap);
    ASSERT_FALSE(EngineCalls("DrawPage").empty());
    EXPECT_EQ(EngineCalls("DrawPage")[0], DrawPage("(0,0,400,200)", "(0,0,400,200)", 3, "0x9"));
}

TEST_F(ViewTest, BackgroundColourFromTheBrowserSettings) {
    struct Case {
        const char* what;
        const char* value;  // null: no value
        COLORREF expected;
    } cases[] = {
        {"three numbers", "192,192,192", 0x02C0C0C0},
        {"blanks around every number", " 0 , 0 , 255 ", 0x02FF0000},
        {"no value", nullptr, 0x00FFFFFF},
        {"low 8 bits of a large component", "256,0,0", 0x02000000},
        {"low 8 bits of a number longer than any integer", "18446744073709551871,1,2", 0x020201FF},
        {"negative and signed numbers", "-1,+2,3", 0x020302FF},
        {"text after the third number", "1,2,3 and more", 0x02030201},
        {"empty string", "", 0x00FFFFFF},
        {"two numbers", "10,20", 0x00FFFFFF},
        {"words", "gray", 0x00FFFFFF},
        {"missing number", "10,,20", 0x00FFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w32_reg_delete_key(HKEY_CURRENT_USER, kSettingsKey);
        if (c.value) {
            ASSERT_TRUE(w32_reg_set_string(HKEY_CURRENT_USER, kSettingsKey, "Background Color", c.value));
        }
        EXPECT_EQ(BrowserBackgroundColor(), c.expected);
    }
    // A value of another type, and a string stored without its terminating zero.
    const DWORD number = 0x00C0C0C0;
    w32_reg_set_value(HKEY_CURRENT_USER, kSettingsKey, "Background Color", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(BrowserBackgroundColor(), 0x00FFFFFFu);
    w32_reg_set_value(HKEY_CURRENT_USER, kSettingsKey, "Background Color", REG_SZ, "9,8,7", 5);
    EXPECT_EQ(BrowserBackgroundColor(), 0x02070809u);
}

TEST_F(ViewTest, BackgroundFillsTheAreaAroundTheDrawing) {
    ASSERT_TRUE(w32_reg_set_string(HKEY_CURRENT_USER, kSettingsKey, "Background Color", "10,20,30"));
    for (int depth : {32, 24}) {
        SCOPED_TRACE(depth);
        Open({depth, 200, 100, {}, kTwoBoxes});
        Pump();
        EXPECT_EQ(w32_window_pixel(Window(), 150, 80), RGB(10, 20, 30));
        EXPECT_EQ(w32_window_pixel(Window(), 20, 20), RGB(0, 0, 0));
        Close();
    }
}

TEST_F(ViewTest, ANewBackgroundColourShowsOnTheSmoothedPathOnlyAfterARebuild) {
    for (bool antialias : {true, false}) {
        SCOPED_TRACE(antialias ? "antialiased" : "direct");
        ASSERT_TRUE(w32_reg_set_string(HKEY_CURRENT_USER, kSettingsKey, "Background Color", "10,20,30"));
        std::vector<std::pair<std::string, std::string>> attributes;
        if (!antialias) attributes.push_back({"noantialias", ""});
        Open({32, 200, 100, attributes, kTwoBoxes});
        Pump();
        ASSERT_TRUE(w32_reg_set_string(HKEY_CURRENT_USER, kSettingsKey, "Background Color", "40,50,60"));
        InvalidateView(Data());
        Pump();
        // The smoothed path fills with the brush made at the last rebuild; the direct
        // path makes a brush of the current colour for every render.
        EXPECT_EQ(w32_window_pixel(Window(), 150, 80), antialias ? RGB(10, 20, 30) : RGB(40, 50, 60));
        ASSERT_TRUE(w32_resize_window(Window(), 210, 100));
        Pump();
        EXPECT_EQ(w32_window_pixel(Window(), 150, 80), RGB(40, 50, 60));
        Close();
    }
}

// A 4 x 2 page whose black rectangle ends at x = 1.4 units. Antialiased, view pixel 1
// holds one covered and one uncovered column of the doubled image: grey. Direct, its
// centre (1.5) lies outside the rectangle: white.
const char kHalfCoveredPixel[] =
    "vkdrawing 1\n"
    "page 4 2\n"
    "symbol rectangle\nname \"Edge\"\nbox 0 0 1.4 2\nfill #000000\nstroke none\nend\n";

TEST_F(ViewTest, EdgesAreSmoothedOnDeepDisplaysOnly) {
    struct Case {
        const char* what;
        int depth;
        std::vector<std::pair<std::string, std::string>> attributes;
        BYTE edge;  // the grey level of view pixel 1
    } cases[] = {
        {"32 bits", 32, {}, 127},
        {"24 bits", 24, {}, 127},
        {"16 bits", 16, {}, 127},
        {"32 bits, noantialias", 32, {{"noantialias", ""}}, 255},
        {"8 bits", 8, {}, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open({c.depth, 4, 2, c.attributes, kHalfCoveredPixel});
        Pump();
        // A 16-bit screen keeps fewer bits of each colour than the cache.
        for (LONG y = 0; y < 2 && c.depth != 16; ++y) {
            EXPECT_EQ(w32_window_pixel(Window(), 0, y), RGB(0, 0, 0));
            EXPECT_EQ(w32_window_pixel(Window(), 1, y), RGB(c.edge, c.edge, c.edge));
            EXPECT_EQ(w32_window_pixel(Window(), 2, y), RGB(255, 255, 255));
        }
        if (c.depth > 8) {
            // The cache's own bytes: a 16-bit display has a 24-bit cache; a 32-bit one
            // has BGRX pixels whose unused byte is 0.
            const int cacheDepth = c.depth == 32 ? 32 : 24;
            std::vector<BYTE> expected(size_t(cacheDepth / 8), c.edge);
            if (cacheDepth == 32) expected[3] = 0;
            EXPECT_EQ(CachePixel(Data(), cacheDepth, 1, 1), expected);
        }
        Close();
    }
}

TEST_F(ViewTest, ADisplayDepthChangeKeepsTheCachesOwnPixelLayout) {
    // The cache was made at 24 bits; the display now reports 32. Until the next
    // rebuild, the smoothed pixels are still written as the cache's 3-byte pixels.
    Open({24, 4, 2, {}, kHalfCoveredPixel});
    Pump();
    ASSERT_TRUE(w32_set_display_depth(32));
    InvalidateView(Data());
    Pump();
    EXPECT_EQ(CachePixel(Data(), 24, 1, 1), (std::vector<BYTE>{127, 127, 127}));
    EXPECT_EQ(CachePixel(Data(), 24, 2, 1), (std::vector<BYTE>{255, 255, 255}));
    EXPECT_EQ(w32_window_pixel(Window(), 1, 0), RGB(127, 127, 127));
}

TEST_F(ViewTest, AViewWithoutADrawingShowsThePageBackground) {
    ASSERT_TRUE(w32_reg_set_string(HKEY_CURRENT_USER, kSettingsKey, "Background Color", "10,20,30"));
    struct Case {
        const char* what;
        int depth;
        const char* drawing;  // streamed, if not empty
    };
    // 51, 102, 153 is a colour of the drawing palette; on 256 colours the page
    // background is matched to that palette, as the drawings' backgrounds are.
    const Case cases[] = {
        {"before the first stream", 32, ""},
        {"after a refused file", 32, "this is no drawing"},
        {"before the first stream, 8 bits", 8, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.depth == 8) {
            ASSERT_TRUE(w32_reg_set_string(HKEY_CURRENT_USER, kSettingsKey, "Background Color", "51,102,153"));
        }
        Open({c.depth, 200, 100, {}, ""});
        if (c.drawing[0] != '\0') {
            const std::string path = ::testing::TempDir() + "view_test_refused.vkf";
            std::ofstream(path, std::ios::binary) << c.drawing;
            NPStream stream = {};
            stream.url = "http://pages.example/refused.vkf";
            plugin.asfile(&npp, &stream, path.c_str());
            ASSERT_EQ(Data()->drawing, 0u);
        }
        // Stale pixels where the view lies, as a window moved away leaves them.
        RECT client;
        GetClientRect(Window(), &client);
        HDC dc = GetDC(Window());
        HBRUSH stale = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &client, stale);
        DeleteObject(stale);
        ReleaseDC(Window(), dc);
        InvalidateRect(Window(), nullptr, TRUE);
        Pump();
        EXPECT_EQ(EngineCalls("DrawPage"), Calls{});
        const COLORREF background = c.depth == 8 ? RGB(51, 102, 153) : RGB(10, 20, 30);
        EXPECT_EQ(w32_window_pixel(Window(), 5, 5), background);
        EXPECT_EQ(w32_window_pixel(Window(), 199, 99), background);
        Close();
    }
}

TEST_F(ViewTest, ADisplayDepthChangeAcross8BitsRebuildsTheCacheForTheNewPath) {
    struct Case {
        const char* what;
        int from, to;
        bool dibAfter;
        BYTE edge;  // grey level of view pixel 1: smoothed 127, direct 255
    };
    const Case cases[] = {
        {"256 colours to true colour", 8, 32, true, 127},
        {"true colour to 256 colours", 32, 8, false, 255},
        {"256 colours to 16 bits", 8, 16, true, 127},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open({c.from, 4, 2, {}, kHalfCoveredPixel});
        Pump();
        ASSERT_TRUE(w32_set_display_depth(c.to));
        InvalidateRect(Window(), nullptr, TRUE);  // a display change repaints every window
        Pump();
        EXPECT_EQ(Data()->cacheBits != nullptr, c.dibAfter);
        if (c.to != 16) {
            EXPECT_EQ(w32_window_pixel(Window(), 0, 0), RGB(0, 0, 0));
            EXPECT_EQ(w32_window_pixel(Window(), 1, 1), RGB(c.edge, c.edge, c.edge));
            EXPECT_EQ(w32_window_pixel(Window(), 3, 1), RGB(255, 255, 255));
        } else {
            EXPECT_NE(w32_window_pixel(Window(), 1, 1), RGB(0, 0, 0)) << "not left black";
        }
        Close();
    }
}

TEST_F(ViewTest, On256ColoursTheDrawingsPaletteColoursShowAsThemselves) {
    // 0x336699 and 0xCC9933 are colours of the drawing palette, none of the 20 reserved ones.
    const char kPaletteColours[] =
        "vkdrawing 1\n"
        "page 200 100\n"
        "symbol rectangle\nname \"A\"\nbox 10 10 50 50\nfill #336699\nstroke none\nend\n"
        "symbol rectangle\nname \"B\"\nbox 50 10 90 50\nfill #CC9933\nstroke none\nend\n";
    Open({8, 200, 100, {}, kPaletteColours});
    Pump();
    EXPECT_EQ(w32_window_pixel(Window(), 20, 20), RGB(0x33, 0x66, 0x99));
    EXPECT_EQ(w32_window_pixel(Window(), 60, 20), RGB(0xCC, 0x99, 0x33));
    // Also after a partial repaint, which the engine draws over the cache's pixels.
    InvalidateViewRect(Data(), 30, 20, 70, 30);
    Pump();
    EXPECT_EQ(w32_window_pixel(Window(), 40, 25), RGB(0x33, 0x66, 0x99));
    EXPECT_EQ(w32_window_pixel(Window(), 60, 25), RGB(0xCC, 0x99, 0x33));
}

TEST_F(ViewTest, ThePaletteIsFetchedOnceAndKept) {
    Open({8, 200, 100, {}, kTwoBoxes});
    Pump();
    InvalidateView(Data());
    Pump();
    StreamDrawing(kTwoBoxes);
    Pump();
    EXPECT_EQ(EngineCalls("GetDrawingPalette").size(), 1u);
}

}  // namespace
