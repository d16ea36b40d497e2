// Symbol rectangles in view pixels: halved from the doubled engine page while
// antialiasing, by an arithmetic shift.
#include <gtest/gtest.h>

#include <vector>

#include "hit_testing.h"
#include "render_cache.h"
#include "view_fixture.h"
#include "win32_control.h"

namespace {

// On a 200 x 100 view of this 200 x 100 page, the antialiased engine page is twice
// the view: Odd lies at (21, 7, 41, 13) and Across at (-3, -3, 5, 5) there.
const char kOddPlaces[] =
    "vkdrawing 1\n"
    "page 200 100\n"
    "symbol rectangle\nname \"Odd\"\nbox 10.5 3.5 20.5 6.5\nfill #000000\nstroke none\nend\n"
    "symbol rectangle\nname \"Across\"\nbox -1.5 -1.5 2.5 2.5\nfill #000000\nstroke none\nend\n"
    "symbol group\nname \"Empty\"\nend\n";

std::vector<LONG> Corners(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

TEST_F(ViewTest, SymbolRectanglesAreHalvedWhileAntialiasing) {
    struct Case {
        const char* what;
        int depth;
        std::vector<std::pair<std::string, std::string>> attributes;
        const char* symbol;
        std::vector<LONG> engine, view;
    } cases[] = {
        {"odd values drop their low bit", 32, {}, "Odd", {21, 7, 41, 13}, {10, 3, 20, 6}},
        {"negative values round down", 32, {}, "Across", {-3, -3, 5, 5}, {-2, -2, 2, 2}},
        {"direct path: unchanged", 32, {{"noantialias", ""}}, "Odd", {10, 3, 21, 7}, {10, 3, 21, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open({c.depth, 200, 100, c.attributes, kOddPlaces});
        Pump();
        RECT engine = {}, view = {};
        ASSERT_TRUE(GetSymbolRect(Data()->drawing, Symbol(c.symbol), &engine));
        ASSERT_EQ(Corners(engine), c.engine) << "the engine's own rectangle, which the view converts";
        ASSERT_TRUE(SymbolViewRect(Data(), Symbol(c.symbol), &view));
        EXPECT_EQ(Corners(view), c.view);
        Close();
    }
}

TEST_F(ViewTest, ASymbolWithoutARectangleInvalidatesNothing) {
    Open({32, 200, 100, {}, kOddPlaces});
    Pump();
    RECT view = {};
    EXPECT_FALSE(SymbolViewRect(Data(), Symbol("Empty"), &view));
    ClearJournal();
    InvalidateSymbol(Data(), Symbol("Empty"));
    EXPECT_TRUE(IsRectEmpty(&Data()->dirtyRect));
    EXPECT_EQ(Pump(), 0);
    EXPECT_EQ(EngineCalls("DrawPage").size(), 0u);
}

TEST_F(ViewTest, NoDrawingMeansNoSymbolAndNoEngineCall) {
    Open({32, 200, 100, {}, ""});
    ClearJournal();
    RECT view = {};
    EXPECT_EQ(SymbolAtPoint(Data(), POINT{10, 10}), 0u);
    EXPECT_FALSE(SymbolViewRect(Data(), 7, &view));
    EXPECT_EQ(EngineCalls("SymbolFromPoint").size() + EngineCalls("GetSymbolRect").size(), 0u);
}

}  // namespace
