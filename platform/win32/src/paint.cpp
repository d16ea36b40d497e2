// Painting: the update region that InvalidateRect accumulates, BeginPaint/EndPaint,
// window DCs, and the pump that turns update regions into WM_PAINT.
#include "system.h"

namespace w32 {

namespace {

constexpr size_t kMaxUpdateRects = 64;  // beyond this the region becomes its bounds

HDC NewWindowDc(Window *w, bool paint, const Region &clip)
{
    auto dc = NewDc();
    dc->kind = DcKind::Window;
    dc->window = w->handle;
    dc->paintDc = paint;
    dc->paintClip = clip;
    dc->deviceDepth = Sys().screen.depth;
    return KeepDc(std::move(dc));
}

Window *FirstInvalid(Window *w)
{
    for (Window *child : w->children) {
        if (!child->update.empty()) return child;
        if (Window *found = FirstInvalid(child)) return found;
    }
    return nullptr;
}

}  // namespace

void InvalidateWindow(Window *w, const RECT *rect, bool erase)
{
    RECT client{0, 0, w->width, w->height};
    RECT area = client;
    if (rect && !IntersectRect(&area, rect, &client)) return;
    if (IsRectEmpty(&area)) return;
    w->update.push_back(area);
    if (w->update.size() > kMaxUpdateRects) w->update = Region{Bounds(w->update)};
    w->erase = w->erase || erase;
}

}  // namespace w32

using namespace w32;

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT *lpRect, BOOL bErase)
{
    if (!hWnd) {
        // NULL: every window of the system.
        for (auto &entry : Sys().windows)
            if (entry.second.get() != Sys().desktop) InvalidateWindow(entry.second.get(), nullptr, bErase);
        return TRUE;
    }
    Window *w = FindWindow(hWnd);
    if (!w) return FALSE;
    InvalidateWindow(w, lpRect, bErase != FALSE);
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT *lpRect)
{
    Window *w = FindWindow(hWnd);
    if (!w) return FALSE;
    if (!lpRect) {
        w->update.clear();
    } else {
        Subtract(w->update, *lpRect);
    }
    if (w->update.empty()) w->erase = false;
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase)
{
    Window *w = FindWindow(hWnd);
    if (!w) return FALSE;
    RECT bounds = Bounds(w->update);
    if (lpRect) *lpRect = bounds;
    if (bErase && w->erase && !w->update.empty()) {
        HDC hdc = NewWindowDc(w, true, w->update);
        w->erase = Deliver(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
        ReleaseDC(hWnd, hdc);
    }
    return !IsRectEmpty(&bounds);
}

BOOL WINAPI UpdateWindow(HWND hWnd)
{
    Window *w = FindWindow(hWnd);
    if (!w) return FALSE;
    if (!w->update.empty()) Deliver(w, WM_PAINT, 0, 0);
    return TRUE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    Window *w = FindWindow(hWnd);
    if (!w || !lpPaint) return nullptr;
    // The update region is validated first: invalidation during the paint asks for a
    // further WM_PAINT.
    Region region;
    region.swap(w->update);
    bool erase = w->erase;
    w->erase = false;
    HDC hdc = NewWindowDc(w, true, region);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = hdc;
    lpPaint->rcPaint = Bounds(region);
    if (erase && !region.empty())
        lpPaint->fErase = Deliver(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    return hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT *lpPaint)
{
    if (!lpPaint) return FALSE;
    Dc *dc = FindDc(lpPaint->hdc);
    if (!dc || dc->kind != DcKind::Window || !dc->paintDc || dc->window != hWnd) return FALSE;
    DiscardDc(lpPaint->hdc);
    return TRUE;
}

HDC WINAPI GetDC(HWND hWnd)
{
    Window *w = hWnd ? FindWindow(hWnd) : Sys().desktop;
    if (!w) return nullptr;
    return NewWindowDc(w, false, Region{});
}

int WINAPI ReleaseDC(HWND hWnd, HDC hDC)
{
    (void)hWnd;
    Dc *dc = FindDc(hDC);
    if (!dc || dc->kind != DcKind::Window) return 0;
    DiscardDc(hDC);
    return 1;
}

int w32_pump(void)
{
    System &s = Sys();
    int dispatched = 0;
    HWND last = nullptr;
    int repeats = 0;
    while (Window *w = FirstInvalid(s.desktop)) {
        // A WM_PAINT handler that never validates would get WM_PAINT for ever.
        repeats = w->handle == last ? repeats + 1 : 0;
        if (repeats >= 100) return -1;
        last = w->handle;
        Deliver(w, WM_PAINT, 0, 0);
        ++dispatched;
    }
    return dispatched;
}
