// The view's window procedure: the messages it keeps and passes on, the events it
// fires as the pointer and the left button move over symbols, capture and cursor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_entry.h"
#include "render_cache.h"
#include "view_fixture.h"
#include "view_window.h"
#include "win32_control.h"

namespace {

using Events = std::vector<std::string>;

// A and B side by side; the rest of the 200 x 100 view is empty.
const char kTwoBoxes[] =
    "vkdrawing 1\n"
    "page 200 100\n"
    "symbol rectangle\nname \"A\"\nbox 10 10 50 50\nfill #000000\nstroke none\nend\n"
    "symbol rectangle\nname \"B\"\nbox 50 10 90 50\nfill #0000FF\nstroke none\nend\n";

const POINT kOnA = {30, 30}, kOnB = {70, 30}, kEmpty = {150, 80}, kOutside = {260, 30};

bool Reached(UINT message) {
    for (UINT m : ViewTest::browserMessages)
        if (m == message) return true;
    return false;
}

TEST_F(ViewTest, MessagesKeptAndPassedOn) {
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        bool passedOn;
        LRESULT result;  // checked when not passed on
    } cases[] = {
        {"background erase is suppressed", WM_ERASEBKGND, 0, 0, false, 1},
        {"right button down is swallowed", WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5), false, 0},
        {"right button up", WM_RBUTTONUP, 0, MAKELPARAM(5, 5), true, 0},
        {"set cursor over the client", WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), false, TRUE},
        {"set cursor with any hit-test code", WM_SETCURSOR, 0, MAKELPARAM(HTERROR, WM_LBUTTONDOWN), false, TRUE},
        {"size", WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 100), false, 0},
        {"left button down", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5), false, 0},
        {"left button up", WM_LBUTTONUP, 0, MAKELPARAM(5, 5), false, 0},
        {"double click", WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5), false, 0},
        {"mouse move, passed on before the hover", WM_MOUSEMOVE, 0, MAKELPARAM(150, 80), true, 0},
        {"a message of the browser's own", WM_USER + 7, 1, 2, true, 0},
    };
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        browserMessages.clear();
        LRESULT result = SendMessageA(Window(), c.message, c.wParam, c.lParam);
        EXPECT_EQ(Reached(c.message), c.passedOn);
        if (!c.passedOn) {
            EXPECT_EQ(result, c.result);
        }
    }
}

TEST_F(ViewTest, RightButtonFiresNothingAndOnlyItsReleaseReachesTheBrowser) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    MoveTo(kOnA.x, kOnA.y);
    ClearJournal();
    browserMessages.clear();
    POINT screen = ScreenPoint(kOnA.x, kOnA.y);
    w32_mouse_button(W32_BUTTON_RIGHT, TRUE, screen.x, screen.y);
    w32_mouse_button(W32_BUTTON_RIGHT, FALSE, screen.x, screen.y);
    EXPECT_EQ(FiredEvents(), Events{});
    EXPECT_FALSE(Reached(WM_RBUTTONDOWN));
    EXPECT_TRUE(Reached(WM_RBUTTONUP));
}

TEST_F(ViewTest, HoverFiresLeaveBeforeEnterAndHoldsTheCaptureInsideTheView) {
    struct Step {
        const char* what;
        POINT to;
        Events fired;
        bool captured;
    } steps[] = {
        {"onto A", kOnA, {"OnMouseEnter A"}, true},
        {"within A", {35, 35}, {}, true},
        {"from A straight onto B", kOnB, {"OnMouseLeave A", "OnMouseEnter B"}, true},
        {"onto empty drawing area", kEmpty, {"OnMouseLeave B"}, true},
        {"back onto A", kOnA, {"OnMouseEnter A"}, true},
        {"out of the view", kOutside, {"OnMouseLeave A"}, false},
        {"outside again", {300, 40}, {}, false},
        {"back in, onto B", kOnB, {"OnMouseEnter B"}, true},
    };
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ClearJournal();
        MoveTo(step.to.x, step.to.y);
        EXPECT_EQ(FiredEvents(), step.fired);
        EXPECT_EQ(GetCapture(), step.captured ? Window() : nullptr);
    }
}

TEST_F(ViewTest, ButtonEventsGoToTheSymbolOfTheLastHover) {
    struct Case {
        const char* what;
        POINT press, release;
        Events fired;  // after the pointer came to `press`
    } cases[] = {
        {"click on a symbol", kOnA, kOnA, {"OnMouseDown A", "OnMouseUp A"}},
        {"click on empty drawing area", kEmpty, kEmpty, {}},
        {"press on A, release on empty area", kOnA, kEmpty, {"OnMouseDown A", "OnMouseLeave A"}},
        {"press on A, release on B", kOnA, kOnB, {"OnMouseDown A", "OnMouseLeave A", "OnMouseEnter B", "OnMouseUp B"}},
    };
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MoveTo(kEmpty.x, kEmpty.y);
        MoveTo(c.press.x, c.press.y);
        ClearJournal();
        LeftButton(TRUE, c.press.x, c.press.y);
        LeftButton(FALSE, c.release.x, c.release.y);
        EXPECT_EQ(FiredEvents(), c.fired);
        w32_advance_clock(2000);  // no double click with the next case
    }
}

TEST_F(ViewTest, DoubleClickFiresDownUpDoubleClickUp) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    EXPECT_TRUE(GetClassLongA(Window(), GCL_STYLE) & CS_DBLCLKS);
    MoveTo(kOnA.x, kOnA.y);
    ClearJournal();
    Click(kOnA.x, kOnA.y);
    Click(kOnA.x, kOnA.y);
    EXPECT_EQ(FiredEvents(), (Events{"OnMouseDown A", "OnMouseUp A", "OnDoubleClick A", "OnMouseUp A"}));
}

TEST_F(ViewTest, ButtonsFireNothingWithoutADrawing) {
    Open({32, 200, 100, {}, ""});
    Pump();
    Data()->view->hoverSymbol = 5;  // whatever the last hover left behind
    ClearJournal();
    Click(kOnA.x, kOnA.y);
    EXPECT_EQ(EngineCalls("GetPropertyLength"), Events{});
    EXPECT_EQ(EngineCalls("SymbolFromPoint"), Events{});
}

TEST_F(ViewTest, HitTestsUseTheEnginesCoordinates) {
    struct Case {
        const char* what;
        int depth;
        std::vector<std::pair<std::string, std::string>> attributes;
        const char* point;
    } cases[] = {
        {"antialiased", 32, {}, "(20,14)"},
        {"noantialias", 32, {{"noantialias", ""}}, "(10,7)"},
        {"8 bits", 8, {}, "(10,7)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open({c.depth, 200, 100, c.attributes, kTwoBoxes});
        Pump();
        ClearJournal();
        MoveTo(10, 7);
        EXPECT_EQ(EngineCalls("SymbolFromPoint"), Events{std::string("SymbolFromPoint(D, ") + c.point + ", 2, 0)"});
        Close();
    }
}

TEST_F(ViewTest, ANewDrawingForgetsTheHoverWithoutALeave) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    MoveTo(kOnA.x, kOnA.y);
    Data()->view->cursorShape = 1;
    ClearJournal();
    // The old A belongs to the replaced drawing: it gets no leave.
    StreamDrawing(kTwoBoxes);
    EXPECT_EQ(Data()->view->cursorShape, 0);
    Events fired = FiredEvents();
    for (const std::string& event : fired) EXPECT_NE(event.rfind("OnMouseLeave", 0), 0u) << event;
    // The new A under the pointer is entered at the latest with the next move.
    Pump();
    MoveTo(kOnA.x + 1, kOnA.y);
    fired = FiredEvents();
    EXPECT_EQ(fired, Events{"OnMouseEnter A"});
    EXPECT_EQ(Data()->view->hoverSymbol, Symbol("A"));
}

TEST_F(ViewTest, TheCursorFollowsTheShapeAndShowsAtOnceWhileCaptured) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR hand = LoadCursorA(PluginModule(), MAKEINTRESOURCE(129));
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(arrow, hand);
    EXPECT_EQ(w32_cursor_info(hand).resourceId, 129u);
    MoveTo(kEmpty.x, kEmpty.y);
    EXPECT_EQ(w32_shown_cursor(), arrow);
    // The shape changes while the view holds the capture, so no WM_SETCURSOR comes:
    // the next hover evaluation shows it, over empty areas as well.
    Data()->view->cursorShape = 1;
    Data()->view->UpdateHover();
    EXPECT_EQ(w32_shown_cursor(), hand);
    MoveTo(kOnB.x, kOnB.y);
    EXPECT_EQ(w32_shown_cursor(), hand);
    MoveTo(kOutside.x, kOutside.y);
    // Outside, the window under the pointer decides again; back inside, the hand returns.
    MoveTo(kEmpty.x, kEmpty.y);
    EXPECT_EQ(w32_shown_cursor(), hand);
    Data()->view->ResetHover();
    EXPECT_EQ(w32_shown_cursor(), arrow);
}

TEST_F(ViewTest, TheBrowserDestroyingItsWindowFirstLeavesNothingBehind) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    MoveTo(kOnA.x, kOnA.y);
    ASSERT_TRUE(DestroyWindow(Window()));
    EXPECT_EQ(Data()->view->Window(), nullptr);
    Close();  // nothing left to restore
    EXPECT_EQ(w32_bad_handle_uses(), 0);
}

TEST_F(ViewTest, EndingTheInstanceGivesTheWindowBackToTheBrowser) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    MoveTo(kOnA.x, kOnA.y);
    Close();
    EXPECT_EQ(GetCapture(), nullptr);
    browserMessages.clear();
    EXPECT_EQ(SendMessageA(Window(), WM_ERASEBKGND, 0, 0), DefWindowProcA(Window(), WM_ERASEBKGND, 0, 0));
    EXPECT_TRUE(Reached(WM_ERASEBKGND));
    EXPECT_EQ(w32_bad_handle_uses(), 0);
}

}  // namespace
