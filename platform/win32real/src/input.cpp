// The user's hand: pointer moves and buttons go through SendInput at screen points,
// so the real window system routes them (capture, hit testing, WM_SETCURSOR, double
// clicks). Their time stamps follow the virtual clock, so the window system sees the
// gaps between presses that the scenario asks for.
#include "real_system.h"

#include <cstdio>

namespace w32real {
namespace {

// Absolute input names a point in 1/65536ths of the screen; the window system maps it
// back by truncation, so round up to land on the pixel itself.
LONG Normalised(int pixel, int extent) {
    return static_cast<LONG>((static_cast<long long>(pixel) * 65536 + extent - 1) / extent);
}

void Send(DWORD flags, int screenX, int screenY) {
    System &s = Sys();
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalised(screenX, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalised(screenY, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    // Zero would mean "now" on the real clock.
    input.mi.time = s.inputTimeBase + s.now + 1;
    if (SendInput(1, &input, sizeof input) != 1)
        std::fprintf(stderr, "win32: SendInput refused the pointer input (error %lu)\n", GetLastError());
    // The input is queued for this thread; routing happens as the queue is read.
    w32_pump();
    s.pointer = POINT{screenX, screenY};
    POINT now{};
    if (GetCursorPos(&now) && (now.x != screenX || now.y != screenY))
        std::fprintf(stderr, "win32: pointer at (%ld, %ld), not at (%d, %d)\n", now.x, now.y, screenX, screenY);
}

}  // namespace
}  // namespace w32real

using namespace w32real;

void w32_mouse_move(int screenX, int screenY) { Send(0, screenX, screenY); }

void w32_mouse_button(int button, BOOL down, int screenX, int screenY) {
    DWORD flags = 0;
    if (button == W32_BUTTON_LEFT)
        flags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    else if (button == W32_BUTTON_RIGHT)
        flags = down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    else
        return;
    // Moving and pressing in one input, as a physical mouse reports both.
    Send(flags, screenX, screenY);
}
