// Windows and window classes: creation by the control interface, procedures and their
// exchange, sent messages, geometry and destruction.
#include "system.h"

#include <algorithm>
#include <cctype>

namespace w32 {

namespace {

std::string Upper(const char *text)
{
    std::string s(text ? text : "");
    for (char &c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

RECT ScreenRect(const Window *w)
{
    POINT o = ClientOriginOnScreen(w);
    return RECT{o.x, o.y, o.x + w->width, o.y + w->height};
}

Window *DeepestAt(Window *w, POINT pt)
{
    for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
        RECT r = ScreenRect(*it);
        if (PtInRect(&r, pt)) return DeepestAt(*it, pt);
    }
    return w;
}

void SendDestroy(Window *w)
{
    HWND h = w->handle;
    Deliver(w, WM_DESTROY, 0, 0);
    Window *again = LiveWindow(h);
    if (!again) return;
    std::vector<Window *> children = again->children;
    for (Window *child : children) SendDestroy(child);
}

// Children are freed before their parent; each gets WM_NCDESTROY as its last message.
void FreeWindow(Window *w)
{
    std::vector<Window *> children = w->children;
    for (Window *child : children) FreeWindow(child);
    System &s = Sys();
    Deliver(w, WM_NCDESTROY, 0, 0);
    w->destroyed = true;
    if (s.capture == w->handle) s.capture = nullptr;
    if (s.lastClickWindow == w->handle) s.lastClickWindow = nullptr;
    DropWindowTimers(w->handle);
    if (w->parent) {
        auto &siblings = w->parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), w), siblings.end());
    }
    ForgetWindow(w->handle);
}

}  // namespace

LRESULT Deliver(Window *w, UINT msg, WPARAM wParam, LPARAM lParam)
{
    System &s = Sys();
    HWND h = w->handle;
    if (s.hook) s.hook(h, msg, wParam, lParam, s.hookContext);
    WNDPROC proc = w->proc;
    return proc ? proc(h, msg, wParam, lParam) : DefWindowProcA(h, msg, wParam, lParam);
}

POINT ClientOriginOnScreen(const Window *w)
{
    POINT p{0, 0};
    for (const Window *cur = w; cur; cur = cur->parent) {
        p.x += cur->origin.x;
        p.y += cur->origin.y;
    }
    return p;
}

Region VisibleRegion(const Window *w)
{
    System &s = Sys();
    Region region{ScreenRect(w)};
    Intersect(region, RECT{0, 0, s.screen.width, s.screen.height});
    for (const Window *cur = w; cur->parent; cur = cur->parent) {
        Intersect(region, ScreenRect(cur->parent));
        const auto &siblings = cur->parent->children;
        auto self = std::find(siblings.begin(), siblings.end(), cur);
        for (auto it = self == siblings.end() ? self : self + 1; it != siblings.end(); ++it)
            Subtract(region, ScreenRect(*it));
    }
    // Window DCs leave children alone, as browsers' windows (WS_CLIPCHILDREN) do.
    for (const Window *child : w->children) Subtract(region, ScreenRect(child));
    return region;
}

Window *WindowAt(POINT screenPoint)
{
    Window *w = DeepestAt(Sys().desktop, screenPoint);
    return w == Sys().desktop ? nullptr : w;
}

}  // namespace w32

using namespace w32;

/* ---- Control interface ---- */

BOOL w32_register_class(const char *className, UINT style, WNDPROC proc, HCURSOR cursor, BOOL hasBackground,
                        COLORREF background)
{
    if (!className || !*className) return FALSE;
    System &s = Sys();
    std::string key = Upper(className);
    if (s.classes.count(key)) return FALSE;
    auto cls = std::make_unique<WindowClass>();
    cls->name = className;
    cls->style = style;
    cls->proc = proc;
    cls->cursor = cursor;
    cls->hasBackground = hasBackground != FALSE;
    cls->background = background;
    s.classes[key] = std::move(cls);
    return TRUE;
}

HWND w32_create_window(const char *className, HWND parent, int x, int y, int width, int height)
{
    System &s = Sys();
    auto cls = s.classes.find(Upper(className));
    if (cls == s.classes.end() || width < 0 || height < 0) return nullptr;
    Window *parentWindow = s.desktop;
    if (parent) {
        parentWindow = FindWindow(parent);
        if (!parentWindow) return nullptr;
    }
    auto w = std::make_unique<Window>();
    w->handle = reinterpret_cast<HWND>(s.nextWindow);
    s.nextWindow += 2;
    w->cls = cls->second.get();
    w->proc = w->cls->proc;
    w->parent = parentWindow;
    w->origin = POINT{x, y};
    w->width = width;
    w->height = height;
    Window *raw = w.get();
    parentWindow->children.push_back(raw);
    s.windows[reinterpret_cast<uintptr_t>(raw->handle)] = std::move(w);
    InvalidateWindow(raw, nullptr, true);
    return raw->handle;
}

BOOL w32_resize_window(HWND hwnd, int width, int height)
{
    Window *w = FindWindow(hwnd);
    if (!w || w == Sys().desktop || width < 0 || height < 0) return FALSE;
    bool changed = width != w->width || height != w->height;
    RECT old{w->origin.x, w->origin.y, w->origin.x + w->width, w->origin.y + w->height};
    w->width = width;
    w->height = height;
    Intersect(w->update, RECT{0, 0, width, height});
    if (w->parent && w->parent != Sys().desktop) InvalidateWindow(w->parent, &old, true);
    InvalidateWindow(w, nullptr, true);
    if (changed) Deliver(w, WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
    return TRUE;
}

BOOL w32_move_window(HWND hwnd, int x, int y)
{
    Window *w = FindWindow(hwnd);
    if (!w || w == Sys().desktop) return FALSE;
    RECT old{w->origin.x, w->origin.y, w->origin.x + w->width, w->origin.y + w->height};
    w->origin = POINT{x, y};
    if (w->parent && w->parent != Sys().desktop) InvalidateWindow(w->parent, &old, true);
    InvalidateWindow(w, nullptr, true);
    return TRUE;
}

BOOL w32_destroy_window(HWND hwnd) { return DestroyWindow(hwnd); }

void w32_set_message_hook(W32MessageHook hook, void *context)
{
    Sys().hook = hook;
    Sys().hookContext = context;
}

/* ---- Win32 ---- */

LONG_PTR WINAPI GetWindowLongPtrA(HWND hWnd, int nIndex)
{
    Window *w = FindWindow(hWnd);
    if (!w) return 0;
    switch (nIndex) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(w->proc);
    case GWLP_USERDATA: return w->userData;
    case GWLP_ID: return w->id;
    default: return 0;
    }
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    Window *w = FindWindow(hWnd);
    if (!w || w == Sys().desktop) return 0;
    LONG_PTR old = 0;
    switch (nIndex) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(w->proc);
        w->proc = reinterpret_cast<WNDPROC>(dwNewLong);
        break;
    case GWLP_USERDATA:
        old = w->userData;
        w->userData = dwNewLong;
        break;
    case GWLP_ID:
        old = w->id;
        w->id = dwNewLong;
        break;
    default: return 0;
    }
    return old;
}

DWORD WINAPI GetClassLongA(HWND hWnd, int nIndex)
{
    Window *w = FindWindow(hWnd);
    if (!w || !w->cls || nIndex != GCL_STYLE) return 0;
    return w->cls->style;
}

DWORD WINAPI SetClassLongA(HWND hWnd, int nIndex, LONG dwNewLong)
{
    Window *w = FindWindow(hWnd);
    if (!w || !w->cls || nIndex != GCL_STYLE) return 0;
    DWORD old = w->cls->style;
    w->cls->style = static_cast<DWORD>(dwNewLong);
    return old;
}

LRESULT WINAPI CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (!lpPrevWndFunc) return 0;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

LRESULT WINAPI DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindow(hWnd);
    if (!w) return 0;
    switch (Msg) {
    case WM_NCHITTEST: {
        POINT pt{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT r;
        POINT o = ClientOriginOnScreen(w);
        SetRect(&r, o.x, o.y, o.x + w->width, o.y + w->height);
        return PtInRect(&r, pt) ? HTCLIENT : HTNOWHERE;
    }
    case WM_SETCURSOR: {
        // A child first lets its parent decide, then shows its class cursor.
        if (w->parent && w->parent != Sys().desktop &&
            SendMessageA(w->parent->handle, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        if (!IsWindow(hWnd)) return FALSE;  // the parent's handler may have destroyed it
        if (LOWORD(lParam) == HTCLIENT && w->cls && w->cls->cursor) {
            SetCursor(w->cls->cursor);
            return TRUE;
        }
        return FALSE;
    }
    case WM_ERASEBKGND: {
        if (!w->cls || !w->cls->hasBackground) return 0;
        RECT client{0, 0, w->width, w->height};
        HBRUSH brush = CreateSolidBrush(w->cls->background);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    default: return 0;
    }
}

LRESULT WINAPI SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window *w = FindWindow(hWnd);
    if (!w) return 0;
    return Deliver(w, Msg, wParam, lParam);
}

BOOL WINAPI IsWindow(HWND hWnd)
{
    return LiveWindow(hWnd) != nullptr;
}

HWND WINAPI GetParent(HWND hWnd)
{
    Window *w = FindWindow(hWnd);
    if (!w || !w->parent || w->parent == Sys().desktop) return nullptr;
    return w->parent->handle;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect)
{
    Window *w = FindWindow(hWnd);
    if (!w || !lpRect) return FALSE;
    *lpRect = RECT{0, 0, w->width, w->height};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    Window *w = FindWindow(hWnd);
    if (!w || !lpRect) return FALSE;
    POINT o = ClientOriginOnScreen(w);
    *lpRect = RECT{o.x, o.y, o.x + w->width, o.y + w->height};
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    Window *w = FindWindow(hWnd);
    if (!w || !lpPoint) return FALSE;
    POINT o = ClientOriginOnScreen(w);
    lpPoint->x -= o.x;
    lpPoint->y -= o.y;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    Window *w = FindWindow(hWnd);
    if (!w || !lpPoint) return FALSE;
    POINT o = ClientOriginOnScreen(w);
    lpPoint->x += o.x;
    lpPoint->y += o.y;
    return TRUE;
}

HWND WINAPI GetDesktopWindow(void) { return Sys().desktop->handle; }

BOOL WINAPI DestroyWindow(HWND hWnd)
{
    Window *w = FindWindow(hWnd);
    if (!w || w == Sys().desktop) return FALSE;
    // WM_DESTROY goes to the window, then to its children; WM_NCDESTROY to the children
    // first and to the window last.
    SendDestroy(w);
    if (Window *still = LiveWindow(hWnd)) FreeWindow(still);
    return TRUE;
}
