// The view's window procedure: the messages it keeps and passes on, the events it
// fires as the pointer and the left button move over symbols, capture and cursor.
#include <gtest/gtest.h>

#include <fstream>
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

// A new drawing whose page differs from the view: only once it is laid out does the
// pointer at (30, 30) lie on its A; before, it would find the tall B.
const char kLaidOutElsewhere[] =
    "vkdrawing 1\n"
    "page 200 100\n"
    "symbol rectangle\nname \"A\"\nbox 10 10 50 50\nfill #000000\nend\n"
    "symbol rectangle\nname \"B\"\nbox 50 10 90 90\nfill #0000FF\nend\n";

TEST_F(ViewTest, ANewDrawingEntersTheSymbolUnderThePointerAtOnceWithoutALeave) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    MoveTo(kOnA.x, kOnA.y);
    Data()->view->cursorShape = 1;
    ClearJournal();
    // The old A belongs to the replaced drawing: it gets no leave. The new drawing is
    // laid out before the view looks at what lies under the pointer.
    StreamDrawing(kLaidOutElsewhere);
    EXPECT_EQ(FiredEvents(), Events{"OnMouseEnter A"});
    EXPECT_EQ(Data()->view->hoverSymbol, Symbol("A"));
    EXPECT_EQ(Data()->view->cursorShape, 0);
    ClearJournal();
    MoveTo(kOnA.x + 1, kOnA.y);
    EXPECT_EQ(FiredEvents(), Events{});
}

// Covers the whole view, so the pointer finds it however the drawing is laid out.
const char kResetOnEnter[] =
    "vkdrawing 1\n"
    "page 200 100\n"
    "symbol rectangle\nname \"R\"\nbox 0 0 200 100\nfill #00FF00\nproperty \"OnMouseEnter\" \"ResetDrawing\"\nend\n";

TEST_F(ViewTest, AnEnterThatResetsANewDrawingReloadsTheNewFile) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    MoveTo(kOnA.x, kOnA.y);
    ClearJournal();
    StreamDrawing(kResetOnEnter);
    const std::string newFile = "LoadDrawing(\"" + files.back() + "\")";
    // The stream's load, then the reset's, of the same file; the reset's own enter
    // does not reset again.
    EXPECT_EQ(EngineCalls("LoadDrawing"), (Events{newFile, newFile}));
    EXPECT_EQ(Data()->view->hoverSymbol, Symbol("R"));
}

TEST_F(ViewTest, AFileTheEngineRefusesChangesNothingUnderThePointer) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    MoveTo(kOnA.x, kOnA.y);
    Data()->view->cursorShape = 1;
    const CVLDRAWING shown = Data()->drawing;
    // What a browser may deliver in place of a drawing it could not fetch.
    const std::string errorPage = ::testing::TempDir() + "view_test_error_page.html";
    std::ofstream(errorPage) << "<html><body>404 Not Found</body></html>\n";
    files.push_back(errorPage);
    NPStream stream = {};
    stream.url = "http://pages.example/drawing.vkf";
    plugin.asfile(&npp, &stream, errorPage.c_str());
    EXPECT_EQ(Data()->drawing, shown);
    EXPECT_EQ(Data()->view->hoverSymbol, Symbol("A"));
    EXPECT_EQ(Data()->view->cursorShape, 1);
    ClearJournal();
    MoveTo(kOnB.x, kOnB.y);
    EXPECT_EQ(FiredEvents(), (Events{"OnMouseLeave A", "OnMouseEnter B"}));
}

// A and B side by side, C beneath B and D hidden above it; A's leave script is the case's.
std::string LeaveChangesTheTarget(const std::string& leaveScript) {
    return std::string("vkdrawing 1\npage 200 100\n") +
           "symbol rectangle\nname \"A\"\nbox 10 10 50 50\nfill #000000\nproperty \"OnMouseLeave\" \"" + leaveScript + "\"\nend\n" +
           "symbol rectangle\nname \"C\"\nbox 50 10 90 50\nfill #FF0000\nend\n"
           "symbol rectangle\nname \"B\"\nbox 50 10 90 50\nfill #0000FF\n"
           "property \"OnMouseEnter\" \"CursorShape hand;StatusLine on B\"\nend\n"
           "symbol rectangle\nname \"D\"\nbox 50 10 90 50\nfill #00FF00\nhidden\nend\n";
}

TEST_F(ViewTest, EnterFiresOnlyOnWhatIsUnderThePointerAfterTheLeaveScript) {
    struct Case {
        const char* what;
        const char* leaveScript;
        Events fired;
        const char* hovered;  // null: none
        LONG cursorShape;
    } cases[] = {
        {"leave changes nothing there", "StatusLine left A", {"OnMouseLeave A", "OnMouseEnter B"}, "B", 1},
        {"leave hides the symbol", "as B HideSymbol;as C HideSymbol", {"OnMouseLeave A"}, nullptr, 0},
        {"leave uncovers the one beneath", "as B HideSymbol", {"OnMouseLeave A", "OnMouseEnter C"}, "C", 0},
        {"leave shows one above", "as D ShowSymbol", {"OnMouseLeave A", "OnMouseEnter D"}, "D", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w32_mouse_move(0, 0);  // off the page
        Open({32, 200, 100, {}, LeaveChangesTheTarget(c.leaveScript)});
        Pump();
        MoveTo(kOnA.x, kOnA.y);
        ClearJournal();
        MoveTo(kOnB.x, kOnB.y);
        EXPECT_EQ(FiredEvents(), c.fired);
        EXPECT_EQ(Data()->view->hoverSymbol, c.hovered ? Symbol(c.hovered) : 0u);
        EXPECT_EQ(Data()->view->cursorShape, c.cursorShape);
        Close();
    }
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

// A and B of kTwoBoxes, each emptying the status line when left.
const char kTwoBoxesClearingTheStatus[] =
    "vkdrawing 1\n"
    "page 200 100\n"
    "symbol rectangle\nname \"A\"\nbox 10 10 50 50\nfill #000000\nproperty \"OnMouseLeave\" \"StatusLine\"\nend\n"
    "symbol rectangle\nname \"B\"\nbox 50 10 90 50\nfill #0000FF\nproperty \"OnMouseLeave\" \"StatusLine\"\nend\n";

TEST_F(ViewTest, AnotherWindowTakingTheCaptureEndsTheHover) {
    Open({32, 200, 100, {}, kTwoBoxesClearingTheStatus});
    Pump();
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    HCURSOR hand = LoadCursorA(PluginModule(), MAKEINTRESOURCE(129));
    MoveTo(kOnA.x, kOnA.y);
    Data()->view->cursorShape = 1;
    Data()->view->UpdateHover();
    ASSERT_EQ(w32_shown_cursor(), hand);

    enum Act { kMenuTakesCapture, kMoveOntoB, kScriptLooksAgain, kMenuClosesAndMoveOnB, kCaptureReleased, kMoveOnA };
    enum Holder { kView, kMenu, kNobody };
    struct Step {
        const char* what;
        Act act;
        Events fired;
        Holder holder;
    } steps[] = {
        {"a menu of the browser takes the capture", kMenuTakesCapture, {"OnMouseLeave A"}, kMenu},
        {"the pointer moves on, over B, to the menu", kMoveOntoB, {}, kMenu},
        {"a script looks again meanwhile", kScriptLooksAgain, {}, kMenu},
        {"the menu closes and the pointer moves on B", kMenuClosesAndMoveOnB, {"OnMouseEnter B"}, kView},
        {"something else releases the view's capture", kCaptureReleased, {"OnMouseLeave B"}, kNobody},
        {"the pointer moves again, onto A", kMoveOnA, {"OnMouseEnter A"}, kView},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        ClearJournal();
        switch (step.act) {
        case kMenuTakesCapture: SetCapture(frameWindow); break;
        case kMoveOntoB: MoveTo(kOnB.x, kOnB.y); break;
        case kScriptLooksAgain: Data()->view->UpdateHover(); break;
        case kMenuClosesAndMoveOnB:
            ReleaseCapture();
            MoveTo(kOnB.x + 1, kOnB.y);
            break;
        case kCaptureReleased: ReleaseCapture(); break;
        case kMoveOnA: MoveTo(kOnA.x, kOnA.y); break;
        }
        EXPECT_EQ(FiredEvents(), step.fired);
        const HWND holders[] = {Window(), frameWindow, nullptr};
        EXPECT_EQ(GetCapture(), holders[step.holder]);
        EXPECT_EQ(w32_shown_cursor(), arrow);
        EXPECT_EQ(Data()->view->cursorShape, 0);
    }
}

// A procedure that something installs over the view's, passing on what it does not keep.
WNDPROC procedureBeneath = nullptr;

LRESULT CALLBACK SubclassedAfterTheView(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER + 100) return 42;
    return CallWindowProcA(procedureBeneath, window, message, wParam, lParam);
}

TEST_F(ViewTest, EndingTheInstanceLeavesAProcedureInstalledAfterTheView) {
    Open({32, 200, 100, {}, kTwoBoxes});
    Pump();
    procedureBeneath = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedAfterTheView)));
    Close();
    EXPECT_EQ(GetWindowLongPtrA(Window(), GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&SubclassedAfterTheView));
    browserMessages.clear();
    EXPECT_EQ(SendMessageA(Window(), WM_USER + 100, 0, 0), 42);
    // What it passes on reaches the browser's procedure, and nothing of the instance.
    EXPECT_EQ(SendMessageA(Window(), WM_ERASEBKGND, 0, 0), DefWindowProcA(Window(), WM_ERASEBKGND, 0, 0));
    EXPECT_EQ(browserMessages, std::vector<UINT>{WM_ERASEBKGND});
    MoveTo(kOnA.x, kOnA.y);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(DestroyWindow(Window()));
    EXPECT_EQ(w32_bad_handle_uses(), 0);
}

TEST_F(ViewTest, ASecondInstanceGivenTheSameWindowLeavesItToTheFirst) {
    struct Case {
        const char* what;
        bool firstEndsFirst;
    } cases[] = {{"the second instance ends first", false}, {"the first instance ends first", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w32_mouse_move(0, 0);  // off the page
        Open({32, 200, 100, {}, kTwoBoxes});
        Pump();
        const LONG_PTR viewProcedure = GetWindowLongPtrA(Window(), GWLP_WNDPROC);
        NPP_t second = {};
        char mimeType[] = "image/x-cvl-vkf";
        ASSERT_EQ(plugin.newp(mimeType, &second, NP_EMBED, 0, nullptr, nullptr, nullptr), NPERR_NO_ERROR);
        NPWindow window = {};
        window.window = Window();
        window.width = 200;
        window.height = 100;
        ASSERT_EQ(plugin.setwindow(&second, &window), NPERR_NO_ERROR);

        // Messages still reach the browser once, and the first instance still hovers.
        browserMessages.clear();
        SendMessageA(Window(), WM_USER + 7, 1, 2);
        EXPECT_EQ(browserMessages, std::vector<UINT>{WM_USER + 7});
        ClearJournal();
        MoveTo(kOnA.x, kOnA.y);
        EXPECT_EQ(FiredEvents(), Events{"OnMouseEnter A"});

        if (c.firstEndsFirst) {
            Close();
            plugin.destroy(&second, nullptr);
        } else {
            plugin.destroy(&second, nullptr);
            ClearJournal();
            MoveTo(kOnB.x, kOnB.y);
            EXPECT_EQ(FiredEvents(), (Events{"OnMouseLeave A", "OnMouseEnter B"}));
            Close();
        }
        EXPECT_NE(GetWindowLongPtrA(Window(), GWLP_WNDPROC), viewProcedure);
        browserMessages.clear();
        SendMessageA(Window(), WM_USER + 7, 1, 2);
        EXPECT_EQ(browserMessages, std::vector<UINT>{WM_USER + 7});
        EXPECT_EQ(w32_bad_handle_uses(), 0);
    }
}

}  // namespace
