// Mouse input routing: capture first, else the window under the point after
// WM_NCHITTEST and WM_SETCURSOR; double clicks only for CS_DBLCLKS classes; cursors.
#include <gtest/gtest.h>

#include "message_log.h"

#include <windowsx.h>

namespace {

// Browser window at (100, 100), 400 x 300; the view inside it at client (50, 40),
// 100 x 80, so the view's client (0, 0) is screen (150, 140).
class InputTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32_reset();
        arrow = LoadCursorA(nullptr, IDC_ARROW);
        ASSERT_TRUE(w32_register_class("Browser", 0, PlainProc, arrow, FALSE, 0));
        ASSERT_TRUE(w32_register_class("View", CS_DBLCLKS, PlainProc, nullptr, FALSE, 0));
        ASSERT_TRUE(w32_register_class("PlainView", 0, PlainProc, nullptr, FALSE, 0));
        browser = w32_create_window("Browser", nullptr, 100, 100, 400, 300);
        view = w32_create_window("View", browser, 50, 40, 100, 80);
    }
    HCURSOR arrow = nullptr;
    HWND browser = nullptr, view = nullptr;
};

TEST_F(InputTest, WithoutCaptureTheWindowUnderThePointIsAskedFirst)
{
    MessageLog log;
    w32_mouse_move(160, 150);  // view client (10, 10)
    w32_mouse_move(110, 110);  // only the browser
    w32_mouse_move(5, 5);      // the desktop: nobody
    EXPECT_EQ(log.Compare({
                  {view, WM_NCHITTEST, 0, MAKELPARAM(160, 150)},
                  {view, WM_SETCURSOR, WPARAM(view), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)},
                  // DefWindowProc lets the parent decide first.
                  {browser, WM_SETCURSOR, WPARAM(view), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)},
                  {view, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10)},
                  {browser, WM_NCHITTEST, 0, MAKELPARAM(110, 110)},
                  {browser, WM_SETCURSOR, WPARAM(browser), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)},
                  {browser, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10)},
              }),
              "");
    POINT pos;
    GetCursorPos(&pos);
    EXPECT_EQ(pos.x, 5);
    EXPECT_EQ(pos.y, 5);
}

TEST_F(InputTest, CaptureTakesAllInputWithoutSetCursor)
{
    w32_mouse_move(160, 150);
    EXPECT_EQ(SetCapture(view), nullptr);
    EXPECT_EQ(GetCapture(), view);
    MessageLog log;
    w32_mouse_move(110, 110);  // over the browser, outside the view
    w32_mouse_button(W32_BUTTON_LEFT, TRUE, 110, 110);
    w32_mouse_button(W32_BUTTON_LEFT, FALSE, 110, 110);
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(log.Compare({
                  {view, WM_MOUSEMOVE, 0, MAKELPARAM(-40, -30)},
                  {view, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-40, -30)},
                  {view, WM_LBUTTONUP, 0, MAKELPARAM(-40, -30)},
                  {view, WM_CAPTURECHANGED, 0, 0},
              }),
              "");
    EXPECT_EQ(GET_Y_LPARAM(log.Messages()[0].lParam), -30) << "points left of or above the window are negative";
}

// The holder that GetCapture names while a window handles WM_CAPTURECHANGED.
HWND holderSeenInHandler = nullptr;

LRESULT CALLBACK NoteHolderProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_CAPTURECHANGED) holderSeenInHandler = GetCapture();
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(InputTest, TheWindowLosingTheCaptureIsToldAfterEachChange)
{
    struct Step {
        const char *what;
        HWND take;  // null: ReleaseCapture
        HWND previous;
        std::vector<Expected> messages;
    } steps[] = {
        {"the view takes it from nobody", view, nullptr, {}},
        {"the view takes it again", view, view, {{view, WM_CAPTURECHANGED, 0, LPARAM(view)}}},
        {"the browser takes it", browser, view, {{view, WM_CAPTURECHANGED, 0, LPARAM(browser)}}},
        {"the browser releases it", nullptr, browser, {{browser, WM_CAPTURECHANGED, 0, 0}}},
        {"released while nobody holds it", nullptr, nullptr, {}},
    };
    SetWindowLongPtrA(view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteHolderProc));
    SetWindowLongPtrA(browser, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NoteHolderProc));
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        MessageLog log;
        holderSeenInHandler = HWND(-1);
        if (step.take) {
            EXPECT_EQ(SetCapture(step.take), step.previous);
        } else {
            EXPECT_EQ(GetCapture(), step.previous);
            EXPECT_TRUE(ReleaseCapture());
        }
        EXPECT_EQ(log.Compare(step.messages), "");
        EXPECT_EQ(GetCapture(), step.take);
        if (!step.messages.empty()) {
            EXPECT_EQ(holderSeenInHandler, step.take) << "the change comes first";
        }
    }
}

TEST_F(InputTest, DoubleClickNeedsTheClassStyleTimeAndDistance)
{
    struct Case {
        const char *what;
        const char *cls;
        DWORD gap;
        int dx, dy;
        UINT second;
    } cases[] = {
        {"quick, same place", "View", 100, 0, 0, WM_LBUTTONDBLCLK},
        {"at the time limit", "View", 500, 0, 0, WM_LBUTTONDBLCLK},
        {"too slow", "View", 501, 0, 0, WM_LBUTTONDOWN},
        {"moved within the box", "View", 0, 2, -2, WM_LBUTTONDBLCLK},
        {"moved out of the box", "View", 0, 3, 0, WM_LBUTTONDOWN},
        {"class without CS_DBLCLKS", "PlainView", 100, 0, 0, WM_LBUTTONDOWN},
    };
    for (const Case &c : cases) {
        HWND target = w32_create_window(c.cls, browser, 200, 40, 100, 80);  // topmost, screen (300, 140)
        w32_mouse_button(W32_BUTTON_LEFT, TRUE, 320, 160);
        w32_mouse_button(W32_BUTTON_LEFT, FALSE, 320, 160);
        w32_advance_clock(c.gap);
        MessageLog log;
        w32_mouse_button(W32_BUTTON_LEFT, TRUE, 320 + c.dx, 160 + c.dy);
        UINT got = 0;
        for (const LoggedMessage &m : log.Messages())
            if (m.hwnd == target && m.msg >= WM_LBUTTONDOWN && m.msg <= WM_LBUTTONDBLCLK) got = m.msg;
        EXPECT_EQ(MessageName(got), MessageName(c.second)) << c.what;
        w32_mouse_button(W32_BUTTON_LEFT, FALSE, 320 + c.dx, 160 + c.dy);
        w32_advance_clock(1000);  // no click carries over to the next case
        DestroyWindow(target);
    }
}

TEST_F(InputTest, ADoubleClickIsFollowedByAPlainPress)
{
    MessageLog log;
    for (int i = 0; i < 3; ++i) {
        w32_mouse_button(W32_BUTTON_LEFT, TRUE, 160, 150);
        w32_mouse_button(W32_BUTTON_LEFT, FALSE, 160, 150);
    }
    std::vector<UINT> buttons;
    for (const LoggedMessage &m : log.Messages())
        if (m.hwnd == view && m.msg >= WM_LBUTTONDOWN && m.msg <= WM_LBUTTONDBLCLK) buttons.push_back(m.msg);
    EXPECT_EQ(buttons, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP,
                                         WM_LBUTTONDOWN, WM_LBUTTONUP}));
    // WM_SETCURSOR names the raw press, not the double click.
    bool sawRawPress = false;
    for (size_t i = 0; i + 1 < log.Messages().size(); ++i)
        if (log.Messages()[i + 1].msg == WM_LBUTTONDBLCLK)
            sawRawPress = HIWORD(log.Messages()[i - 1].lParam) == WM_LBUTTONDOWN;
    EXPECT_TRUE(sawRawPress);
}

LRESULT CALLBACK HandCursorParent(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SETCURSOR) {
        SetCursor(reinterpret_cast<HCURSOR>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(InputTest, CursorFollowsSetCursorButNotWhileCaptured)
{
    EXPECT_EQ(w32_shown_cursor(), nullptr);
    w32_mouse_move(110, 110);
    EXPECT_EQ(w32_shown_cursor(), arrow) << "class cursor of the browser window";
    W32CursorInfo info = w32_cursor_info(arrow);
    EXPECT_TRUE(info.valid);
    EXPECT_TRUE(info.isSystem);
    EXPECT_EQ(info.resourceId, 32512u);

    SetCursor(nullptr);
    SetCapture(view);
    w32_mouse_move(112, 112);
    EXPECT_EQ(w32_shown_cursor(), nullptr) << "no WM_SETCURSOR while a window holds the capture";
    ReleaseCapture();

    // A parent that answers WM_SETCURSOR decides for its children.
    ASSERT_TRUE(w32_register_class("Chooser", 0, HandCursorParent, nullptr, FALSE, 0));
    HWND chooser = w32_create_window("Chooser", nullptr, 600, 100, 100, 100);
    HWND inner = w32_create_window("Browser", chooser, 10, 10, 50, 50);
    ASSERT_NE(inner, nullptr);
    SetWindowLongPtrA(chooser, GWLP_USERDATA, 0);
    w32_mouse_move(620, 120);
    EXPECT_EQ(w32_shown_cursor(), nullptr) << "the parent's choice wins over the child's class cursor";
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow) << "shared cursors keep their handle";
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCE(1)), nullptr);
}

TEST_F(InputTest, RightButtonAndKeyStates)
{
    w32_mouse_move(160, 150);
    MessageLog log;
    w32_mouse_button(W32_BUTTON_LEFT, TRUE, 160, 150);
    w32_mouse_button(W32_BUTTON_RIGHT, TRUE, 160, 150);
    w32_mouse_move(161, 150);
    w32_mouse_button(W32_BUTTON_RIGHT, FALSE, 161, 150);
    std::vector<std::pair<UINT, WPARAM>> got;
    for (const LoggedMessage &m : log.Messages())
        if (m.msg >= WM_MOUSEMOVE && m.msg <= WM_RBUTTONDBLCLK) got.emplace_back(m.msg, m.wParam);
    std::vector<std::pair<UINT, WPARAM>> expected = {
        {WM_LBUTTONDOWN, MK_LBUTTON},
        {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON},
        {WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON},
        {WM_RBUTTONUP, MK_LBUTTON},
    };
    EXPECT_EQ(got, expected);
}

}  // namespace
