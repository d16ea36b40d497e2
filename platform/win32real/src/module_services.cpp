// The services an adopted module gets from this window system instead of the real
// one: a virtual clock with its timers (so that a scenario's `wait` is exact and
// repeatable), beeps that are recorded, cursors whose resource is known, and the
// accounting of the device contexts and GDI objects the module creates.
#include "real_system.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace w32real {
namespace {

bool IsBadWindow(HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) {
        ++Sys().badHandles;
        return true;
    }
    return false;
}

/* ---- Clock, timers, beeps --------------------------------------------------------- */

Timer *FindTimer(HWND window, UINT_PTR id) {
    for (auto &t : Sys().timers)
        if (t->alive && t->window == window && t->id == id) return t.get();
    return nullptr;
}

Timer *NextDue(DWORD until) {
    Timer *next = nullptr;
    for (auto &t : Sys().timers) {
        if (!t->alive || t->due > until) continue;
        if (!next || t->due < next->due || (t->due == next->due && t->sequence < next->sequence)) next = t.get();
    }
    return next;
}

void Prune() {
    auto &timers = Sys().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [](const auto &t) { return !t->alive; }), timers.end());
}

void Fire(Timer &timer) {
    System &s = Sys();
    HWND window = timer.window;
    if (window && !IsWindow(window)) {
        timer.alive = false;  // a window timer ends with its window
        return;
    }
    timer.due = s.now + timer.elapse;
    if (timer.proc) {
        timer.proc(window, WM_TIMER, timer.id, s.now);
    } else if (window) {
        Observe(window, WM_TIMER, timer.id, 0);
        SendMessageA(window, WM_TIMER, timer.id, 0);
    }
}

UINT_PTR WINAPI VirtualSetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    System &s = Sys();
    if (IsBadWindow(hWnd) || s.refuseTimers) return 0;
    uElapse = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    // A window timer is named by the caller; a thread timer gets a new identifier unless
    // the caller names one of its existing thread timers, which is then replaced.
    Timer *timer = FindTimer(hWnd, nIDEvent);
    if (!timer) {
        auto fresh = std::make_unique<Timer>();
        fresh->window = hWnd;
        fresh->id = hWnd ? nIDEvent : s.nextThreadTimer++;
        timer = fresh.get();
        s.timers.push_back(std::move(fresh));
    }
    timer->elapse = uElapse;
    timer->proc = lpTimerFunc;
    timer->due = s.now + uElapse;
    timer->sequence = s.timerSequence++;
    return hWnd ? (nIDEvent ? nIDEvent : 1) : timer->id;
}

BOOL WINAPI VirtualKillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    Timer *timer = FindTimer(hWnd, uIDEvent);
    if (!timer) return FALSE;
    timer->alive = false;
    return TRUE;
}

DWORD WINAPI VirtualGetTickCount(void) { return Sys().now; }

BOOL WINAPI RecordedMessageBeep(UINT uType) {
    Sys().beeps.push_back(W32Beep{uType, Sys().now});
    return TRUE;
}

HCURSOR WINAPI KnownLoadCursorA(HINSTANCE instance, LPCSTR name) {
    HCURSOR cursor = LoadCursorA(instance, name);
    if (cursor && instance && IS_INTRESOURCE(name))
        Sys().moduleCursors[cursor] = CursorOrigin{instance, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name))};
    return cursor;
}

/* ---- Device contexts and GDI objects ------------------------------------------------ */

HDC Counted(HDC dc) {
    if (dc) Sys().dcs.insert(dc);
    return dc;
}

template <typename Object>
Object Counted(Object object) {
    if (object) Sys().gdiObjects.insert(object);
    return object;
}

HDC WINAPI CountedGetDC(HWND hWnd) { return IsBadWindow(hWnd) ? nullptr : Counted(GetDC(hWnd)); }

int WINAPI CountedReleaseDC(HWND hWnd, HDC hDC) {
    int released = ReleaseDC(hWnd, hDC);
    if (released) Sys().dcs.erase(hDC);
    else ++Sys().badHandles;
    return released;
}

HDC WINAPI CountedBeginPaint(HWND hWnd, LPPAINTSTRUCT paint) {
    return IsBadWindow(hWnd) ? nullptr : Counted(BeginPaint(hWnd, paint));
}

BOOL WINAPI CountedEndPaint(HWND hWnd, const PAINTSTRUCT *paint) {
    if (paint) Sys().dcs.erase(paint->hdc);
    return EndPaint(hWnd, paint);
}

HDC WINAPI CountedCreateCompatibleDC(HDC hdc) { return Counted(CreateCompatibleDC(hdc)); }

BOOL WINAPI CountedDeleteDC(HDC hdc) {
    BOOL deleted = DeleteDC(hdc);
    if (deleted) Sys().dcs.erase(hdc);
    else ++Sys().badHandles;
    return deleted;
}

HBRUSH WINAPI CountedCreateSolidBrush(COLORREF color) { return Counted(CreateSolidBrush(color)); }
HPEN WINAPI CountedCreatePen(int style, int width, COLORREF color) { return Counted(CreatePen(style, width, color)); }
HBITMAP WINAPI CountedCreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    return Counted(CreateCompatibleBitmap(hdc, cx, cy));
}
HBITMAP WINAPI CountedCreateBitmap(int cx, int cy, UINT planes, UINT bits, const void *data) {
    return Counted(CreateBitmap(cx, cy, planes, bits, data));
}
HBITMAP WINAPI CountedCreateDIBSection(HDC hdc, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section,
                                       DWORD offset) {
    return Counted(CreateDIBSection(hdc, info, usage, bits, section, offset));
}
HPALETTE WINAPI CountedCreatePalette(const LOGPALETTE *palette) { return Counted(CreatePalette(palette)); }
HRGN WINAPI CountedCreateRectRgn(int left, int top, int right, int bottom) {
    return Counted(CreateRectRgn(left, top, right, bottom));
}
HRGN WINAPI CountedCreatePolygonRgn(const POINT *points, int count, int mode) {
    return Counted(CreatePolygonRgn(points, count, mode));
}

BOOL WINAPI CountedDeleteObject(HGDIOBJ object) {
    BOOL deleted = DeleteObject(object);
    if (deleted) Sys().gdiObjects.erase(object);
    else ++Sys().badHandles;
    return deleted;
}

/* ---- Window calls that name a window ---------------------------------------------- */

BOOL WINAPI CheckedInvalidateRect(HWND hWnd, const RECT *rect, BOOL erase) {
    IsBadWindow(hWnd);
    return InvalidateRect(hWnd, rect, erase);
}
BOOL WINAPI CheckedGetClientRect(HWND hWnd, LPRECT rect) {
    IsBadWindow(hWnd);
    return GetClientRect(hWnd, rect);
}
LRESULT WINAPI CheckedSendMessageA(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    IsBadWindow(hWnd);
    return SendMessageA(hWnd, msg, wParam, lParam);
}
HWND WINAPI CheckedSetCapture(HWND hWnd) {
    IsBadWindow(hWnd);
    return SetCapture(hWnd);
}
LONG WINAPI CheckedSetWindowLongA(HWND hWnd, int index, LONG value) {
    IsBadWindow(hWnd);
    return SetWindowLongA(hWnd, index, value);
}
LONG WINAPI CheckedGetWindowLongA(HWND hWnd, int index) {
    IsBadWindow(hWnd);
    return GetWindowLongA(hWnd, index);
}

struct Service {
    const char *dll;
    const char *name;
    void *replacement;
};

#define VK_SERVICE(dll, name, replacement) {dll, #name, reinterpret_cast<void *>(&replacement)}

const Service kServices[] = {
    VK_SERVICE("user32.dll", SetTimer, VirtualSetTimer),
    VK_SERVICE("user32.dll", KillTimer, VirtualKillTimer),
    VK_SERVICE("kernel32.dll", GetTickCount, VirtualGetTickCount),
    VK_SERVICE("user32.dll", MessageBeep, RecordedMessageBeep),
    VK_SERVICE("user32.dll", LoadCursorA, KnownLoadCursorA),
    VK_SERVICE("user32.dll", GetDC, CountedGetDC),
    VK_SERVICE("user32.dll", ReleaseDC, CountedReleaseDC),
    VK_SERVICE("user32.dll", BeginPaint, CountedBeginPaint),
    VK_SERVICE("user32.dll", EndPaint, CountedEndPaint),
    VK_SERVICE("gdi32.dll", CreateCompatibleDC, CountedCreateCompatibleDC),
    VK_SERVICE("gdi32.dll", DeleteDC, CountedDeleteDC),
    VK_SERVICE("gdi32.dll", CreateSolidBrush, CountedCreateSolidBrush),
    VK_SERVICE("gdi32.dll", CreatePen, CountedCreatePen),
    VK_SERVICE("gdi32.dll", CreateCompatibleBitmap, CountedCreateCompatibleBitmap),
    VK_SERVICE("gdi32.dll", CreateBitmap, CountedCreateBitmap),
    VK_SERVICE("gdi32.dll", CreateDIBSection, CountedCreateDIBSection),
    VK_SERVICE("gdi32.dll", CreatePalette, CountedCreatePalette),
    VK_SERVICE("gdi32.dll", CreateRectRgn, CountedCreateRectRgn),
    VK_SERVICE("gdi32.dll", CreatePolygonRgn, CountedCreatePolygonRgn),
    VK_SERVICE("gdi32.dll", DeleteObject, CountedDeleteObject),
    VK_SERVICE("user32.dll", InvalidateRect, CheckedInvalidateRect),
    VK_SERVICE("user32.dll", GetClientRect, CheckedGetClientRect),
    VK_SERVICE("user32.dll", SendMessageA, CheckedSendMessageA),
    VK_SERVICE("user32.dll", SetCapture, CheckedSetCapture),
    VK_SERVICE("user32.dll", SetWindowLongA, CheckedSetWindowLongA),
    VK_SERVICE("user32.dll", GetWindowLongA, CheckedGetWindowLongA),
};

std::string Lower(std::string text) {
    for (char &c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Windows' own DLLs keep the real services: only the modules that came with the
// plug-in are adopted.
bool IsSystemModule(HMODULE module) {
    char path[MAX_PATH] = {}, windows[MAX_PATH] = {};
    if (!GetModuleFileNameA(module, path, sizeof path) || !GetWindowsDirectoryA(windows, sizeof windows))
        return true;
    std::string folder = Lower(windows);
    return Lower(path).compare(0, folder.size(), folder) == 0;
}

std::set<HMODULE> &Adopted() {
    static std::set<HMODULE> modules;
    return modules;
}

void Adopt(HMODULE module) {
    if (!module || module == GetModuleHandleA(nullptr) || IsSystemModule(module)) return;
    if (!Adopted().insert(module).second) return;
    for (const Service &service : kServices) PatchImport(module, service.dll, service.name, service.replacement);
}

}  // namespace

void ResetModuleServices() {
    System &s = Sys();
    s.timers.clear();
    s.timerSequence = 0;
    s.nextThreadTimer = 0x7FF0;
    s.refuseTimers = false;
    s.now = 0;
    s.beeps.clear();
    s.gdiObjects.clear();
    s.dcs.clear();
    s.badHandles = 0;
}

}  // namespace w32real

using namespace w32real;

void w32_adopt_module(HMODULE module) {
    // The plug-in and the modules it brought with it (the drawing engine).
    Adopt(module);
    for (HMODULE imported : ImportedModules(module)) Adopt(imported);
}

void w32_advance_clock(DWORD milliseconds) {
    System &s = Sys();
    DWORD until = s.now + milliseconds;
    // Pending paints go first, as a message loop takes WM_PAINT before WM_TIMER.
    while (Timer *timer = NextDue(until)) {
        s.now = timer->due;
        w32_pump();
        if (!timer->alive) continue;
        Fire(*timer);
        Prune();
    }
    s.now = until;
    w32_pump();
    Prune();
}

DWORD w32_now(void) { return Sys().now; }

void w32_refuse_timers(BOOL refuse) { Sys().refuseTimers = refuse != FALSE; }

size_t w32_beep_count(void) { return Sys().beeps.size(); }

W32Beep w32_beep(size_t index) {
    const auto &beeps = Sys().beeps;
    return index < beeps.size() ? beeps[index] : W32Beep{0, 0};
}

int w32_live_gdi_objects(void) { return static_cast<int>(Sys().gdiObjects.size()); }
int w32_live_dcs(void) { return static_cast<int>(Sys().dcs.size()); }
int w32_live_timers(void) {
    const auto &timers = Sys().timers;
    return static_cast<int>(std::count_if(timers.begin(), timers.end(), [](const auto &t) { return t->alive; }));
}
int w32_bad_handle_uses(void) { return Sys().badHandles; }
