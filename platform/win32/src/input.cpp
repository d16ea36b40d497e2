// Mouse input routed as Windows routes it: to the capture window, else to the window
// under the pointer after WM_NCHITTEST and WM_SETCURSOR; double clicks for classes with
// CS_DBLCLKS.
#include "system.h"

#include <cstdlib>

namespace w32 {

namespace {

constexpr UINT kDoubleClickTime = 500;
constexpr int kDoubleClickWidth = 4;
constexpr int kDoubleClickHeight = 4;

WPARAM KeyState()
{
    const System &s = Sys();
    return (s.leftDown ? MK_LBUTTON : 0) | (s.rightDown ? MK_RBUTTON : 0);
}

bool IsButtonDown(UINT msg) { return msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN; }

void Route(UINT msg)
{
    System &s = Sys();
    POINT pt = s.cursorPos;
    LRESULT hit = HTCLIENT;
    Window *target = s.capture ? LiveWindow(s.capture) : nullptr;
    if (!target) {
        // Without capture the window under the pointer is asked where the point lies and
        // which cursor to show; a window holding the capture is asked neither.
        target = WindowAt(pt);
        if (!target) return;
        HWND h = target->handle;
        hit = Deliver(target, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
        if (!(target = LiveWindow(h))) return;
        Deliver(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(h), MAKELPARAM(hit, msg));
        if (!(target = LiveWindow(h))) return;
    }
    UINT delivered = msg;
    if (IsButtonDown(msg)) {
        bool dblclks = target->cls && (target->cls->style & CS_DBLCLKS);
        if (dblclks && s.lastClickMessage == msg && s.lastClickWindow == target->handle &&
            s.now - s.lastClickTime <= GetDoubleClickTime() &&
            std::abs(pt.x - s.lastClickPos.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
            std::abs(pt.y - s.lastClickPos.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2) {
            delivered = msg + (WM_LBUTTONDBLCLK - WM_LBUTTONDOWN);
            s.lastClickMessage = 0;  // a third press starts over
        } else {
            s.lastClickMessage = msg;
            s.lastClickWindow = target->handle;
            s.lastClickTime = s.now;
            s.lastClickPos = pt;
        }
    }
    if (hit != HTCLIENT) return;  // no non-client area is modelled
    POINT client = pt;
    ScreenToClient(target->handle, &client);
    Deliver(target, delivered, KeyState(), MAKELPARAM(client.x, client.y));
}

}  // namespace

}  // namespace w32

using namespace w32;

void w32_mouse_move(int screenX, int screenY)
{
    Sys().cursorPos = POINT{screenX, screenY};
    Route(WM_MOUSEMOVE);
}

void w32_mouse_button(int button, BOOL down, int screenX, int screenY)
{
    System &s = Sys();
    if (button != W32_BUTTON_LEFT && button != W32_BUTTON_RIGHT) return;
    if (s.cursorPos.x != screenX || s.cursorPos.y != screenY) w32_mouse_move(screenX, screenY);
    bool left = button == W32_BUTTON_LEFT;
    (left ? s.leftDown : s.rightDown) = down != FALSE;
    UINT msg = left ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP);
    Route(msg);
}

HWND WINAPI SetCapture(HWND hWnd)
{
    System &s = Sys();
    if (!FindWindow(hWnd)) return nullptr;
    HWND previous = s.capture;
    s.capture = hWnd;
    // Windows tells the holder after the change, also when it takes the capture again itself.
    if (previous) {
        if (Window *old = LiveWindow(previous)) Deliver(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    }
    return previous;
}

BOOL WINAPI ReleaseCapture(void)
{
    System &s = Sys();
    HWND previous = s.capture;
    s.capture = nullptr;
    if (previous) {
        if (Window *old = LiveWindow(previous)) Deliver(old, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

HWND WINAPI GetCapture(void)
{
    System &s = Sys();
    return LiveWindow(s.capture) ? s.capture : nullptr;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint) return FALSE;
    *lpPoint = Sys().cursorPos;
    return TRUE;
}

UINT WINAPI GetDoubleClickTime(void) { return kDoubleClickTime; }

int WINAPI GetSystemMetrics(int nIndex)
{
    switch (nIndex) {
    case SM_CXSCREEN: return Sys().screen.width;
    case SM_CYSCREEN: return Sys().screen.height;
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXDOUBLECLK: return kDoubleClickWidth;
    case SM_CYDOUBLECLK: return kDoubleClickHeight;
    default: return 0;
    }
}
