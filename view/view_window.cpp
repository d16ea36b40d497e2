#include "view_window.h"

#include <map>

#include "event_scripts.h"
#include "hit_testing.h"
#include "plugin_entry.h"
#include "plugin_instance.h"
#include "render_cache.h"

namespace {

// The views by their windows, through which the view's procedure finds its view;
// the window's user data stays the browser's. Only the user-interface thread uses it.
std::map<HWND, DrawingView*>& ViewsByWindow() {
    static std::map<HWND, DrawingView*> views;
    return views;
}

void ForgetView(HWND window, const DrawingView* view) {
    auto found = ViewsByWindow().find(window);
    if (found != ViewsByWindow().end() && found->second == view) ViewsByWindow().erase(found);
}
const int kHandCursorResource = 129;

POINT PointFromLParam(LPARAM lParam) {
    // Coordinates are signed: with the capture held, the pointer can be left of or above the view.
    POINT point = {LONG(short(LOWORD(lParam))), LONG(short(HIWORD(lParam)))};
    return point;
}

}  // namespace

DrawingView::DrawingView(InstanceData* data, HWND window_)
    : window(window_),
      savedWindowProc(nullptr),
      instance(data),
      handCursor(LoadCursor(PluginModule(), MAKEINTRESOURCE(kHandCursorResource))),
      arrowCursor(LoadCursor(nullptr, IDC_ARROW)) {
    ViewsByWindow()[window] = this;
    savedWindowProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
    // Without this class style no WM_LBUTTONDBLCLK arrives; it applies to the whole class.
    SetClassLong(window, GCL_STYLE, GetClassLong(window, GCL_STYLE) | CS_DBLCLKS);
}

DrawingView::~DrawingView() {
    *alive = false;
    if (window == nullptr) return;
    // The capture belongs to the view's hover tracking; the browser's procedure does not expect it.
    if (mouseCaptured && GetCapture() == window) ReleaseCapture();
    SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWindowProc));
    ForgetView(window, this);
    window = nullptr;
}

void DrawingView::Detach() {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWLP_WNDPROC)) == &WindowProc) {
        SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWindowProc));
    }
    ForgetView(window, this);
    window = nullptr;
    mouseCaptured = 0;
}

LRESULT CALLBACK DrawingView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = ViewsByWindow().find(window);
    if (found == ViewsByWindow().end()) return DefWindowProc(window, message, wParam, lParam);
    // No exception may unwind through the window system: a message whose handling
    // runs out of memory ends here, handled as far as it got.
    try {
        return found->second->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT DrawingView::PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProc(savedWindowProc, window, message, wParam, lParam);
}

LRESULT DrawingView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        // Ended however the paint ends, so that the window is validated and its DC
        // given back even when the paint fails part way.
        struct PaintScope {
            HWND window;
            PAINTSTRUCT paint;
            HDC dc;
            explicit PaintScope(HWND w) : window(w), paint(), dc(BeginPaint(w, &paint)) {}
            ~PaintScope() { EndPaint(window, &paint); }
        } scope(window);
        if (instance != nullptr) PaintView(instance, scope.dc, scope.paint.rcPaint);
        return 0;
    }
    case WM_ERASEBKGND:
        // The paint copies every pixel from the cache; erasing first would only flicker.
        return 1;
    case WM_SIZE: {
        const LONG width = LOWORD(lParam), height = HIWORD(lParam);
        if ((wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) && instance != nullptr && instance->cacheBitmap &&
            (width != instance->cacheWidth || height != instance->cacheHeight)) {
            RebuildRenderCache(instance);
        }
        return 0;
    }
    case WM_MOUSEMOVE: {
        std::weak_ptr<bool> guard = alive;
        LRESULT result = PassOn(message, wParam, lParam);
        if (!guard.expired() && window != nullptr) EvaluateHover(PointFromLParam(lParam));
        return result;
    }
    case WM_LBUTTONDOWN:
        FireOnHoverSymbol("OnMouseDown");
        return 0;
    case WM_LBUTTONUP:
        FireOnHoverSymbol("OnMouseUp");
        return 0;
    case WM_LBUTTONDBLCLK:
        FireOnHoverSymbol("OnDoubleClick");
        return 0;
    case WM_RBUTTONDOWN:
        // Swallowed, so the browser shows no context menu of its own over the drawing.
        return 0;
    case WM_SETCURSOR:
        ApplyCursor();
        return TRUE;
    case WM_NCDESTROY: {
        // The browser destroys its window before the instance ends: hand the window
        // back now, so the instance's end has no window left to restore.
        std::weak_ptr<bool> guard = alive;
        LRESULT result = PassOn(message, wParam, lParam);
        if (!guard.expired() && window != nullptr) Detach();
        return result;
    }
    default:
        return PassOn(message, wParam, lParam);
    }
}

void DrawingView::FireOnHoverSymbol(const char* eventName) {
    if (instance == nullptr || instance->drawing == 0 || hoverSymbol == 0) return;
    FireSymbolEvent(instance, hoverSymbol, eventName);
}

void DrawingView::ApplyCursor() const { SetCursor(cursorShape == 1 ? handCursor : arrowCursor); }

void DrawingView::EvaluateHover(POINT point) {
    RECT client;
    GetClientRect(window, &client);
    CVLSYMBOL hit = 0;
    if (!PtInRect(&client, point)) {
        if (mouseCaptured) {
            mouseCaptured = 0;
            ReleaseCapture();
        }
    } else {
        hit = SymbolAtPoint(instance, point);
        if (!mouseCaptured) {
            SetCapture(window);
            mouseCaptured = 1;
        }
    }
    if (hit != hoverSymbol) {
        // Stored before anything fires, so the evaluations nested in the scripts see no change.
        const CVLSYMBOL old = hoverSymbol;
        hoverSymbol = hit;
        std::weak_ptr<bool> guard = alive;
        const unsigned generation = instance != nullptr ? instance->drawingGeneration : 0;
        // A script may replace the drawing: handles of the old one are not passed on.
        auto stillCurrent = [&] {
            return !guard.expired() && instance != nullptr && instance->drawingGeneration == generation;
        };
        if (old != 0 && stillCurrent()) FireSymbolEvent(instance, old, "OnMouseLeave");
        if (hit != 0 && stillCurrent()) FireSymbolEvent(instance, hit, "OnMouseEnter");
        if (guard.expired()) return;
    }
    // While the view holds the capture, Windows sends it no WM_SETCURSOR.
    if (mouseCaptured) ApplyCursor();
}

void DrawingView::UpdateHover() {
    if (window == nullptr) return;
    POINT point;
    if (!GetCursorPos(&point)) return;
    ScreenToClient(window, &point);
    EvaluateHover(point);
}

void DrawingView::ResetHover() {
    hoverSymbol = 0;
    cursorShape = 0;
    UpdateHover();
}
