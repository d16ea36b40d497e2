#include "view_window.h"

#include <map>

#include "event_scripts.h"
#include "hit_testing.h"
#include "plugin_entry.h"
#include "plugin_instance.h"
#include "render_cache.h"

namespace {

// How the view's procedure finds what a window's messages are for: the view that
// took the window over, or, once that view has gone without being able to take
// its procedure out again (something subclassed the window after it), the
// browser's procedure, to which everything then passes. The window's user data
// stays the browser's. Only the user-interface thread uses this.
struct Subclass {
    DrawingView* view;
    WNDPROC browserProc;
};

std::map<HWND, Subclass>& Subclasses() {
    static std::map<HWND, Subclass> subclasses;
    return subclasses;
}

const int kHandCursorResource = 129;

POINT PointFromLParam(LPARAM lParam) {
    // Coordinates are signed: with the capture held, the pointer can be left of or above the view.
    POINT point = {LONG(short(LOWORD(lParam))), LONG(short(HIWORD(lParam)))};
    return point;
}

}  // namespace

DrawingView::DrawingView(InstanceData* data, HWND window_)
    : window(nullptr),
      savedWindowProc(nullptr),
      instance(data),
      handCursor(LoadCursor(PluginModule(), MAKEINTRESOURCE(kHandCursorResource))),
      arrowCursor(LoadCursor(nullptr, IDC_ARROW)) {
    // A window another view has taken (a second instance given the same window) stays
    // that view's: taking it again would make this view pass messages to its own
    // procedure. This view then has no window, like one whose window has gone.
    if (window_ == nullptr || Subclasses().count(window_) != 0) return;
    window = window_;
    Subclasses()[window] = Subclass{this, nullptr};
    savedWindowProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc)));
    Subclasses()[window].browserProc = savedWindowProc;
    // Without this class style no WM_LBUTTONDBLCLK arrives; it applies to the whole class.
    SetClassLong(window, GCL_STYLE, GetClassLong(window, GCL_STYLE) | CS_DBLCLKS);
}

DrawingView::~DrawingView() {
    *alive = false;
    if (window == nullptr) return;
    // The capture belongs to the view's hover tracking; the browser's procedure does
    // not expect it. Forgotten first, so its WM_CAPTURECHANGED fires nothing.
    if (mouseCaptured) {
        mouseCaptured = 0;
        if (GetCapture() == window) ReleaseCapture();
    }
    Detach(false);
}

void DrawingView::Detach(bool windowDestroyed) {
    // Only the view's own procedure is taken out: one installed after it stays, and
    // keeps reaching the browser's procedure through the view's.
    const bool ownProcedureInstalled = reinterpret_cast<WNDPROC>(GetWindowLongPtr(window, GWLP_WNDPROC)) == &WindowProc;
    if (ownProcedureInstalled) {
        SetWindowLongPtr(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(savedWindowProc));
    }
    auto found = Subclasses().find(window);
    if (found != Subclasses().end() && found->second.view == this) {
        if (ownProcedureInstalled || windowDestroyed) {
            Subclasses().erase(found);
        } else {
            found->second.view = nullptr;
        }
    }
    window = nullptr;
    mouseCaptured = 0;
}

LRESULT CALLBACK DrawingView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = Subclasses().find(window);
    if (found == Subclasses().end()) return DefWindowProc(window, message, wParam, lParam);
    if (found->second.view == nullptr) {
        // The view has gone, but a procedure installed after it still calls this one.
        LRESULT result = CallWindowProc(found->second.browserProc, window, message, wParam, lParam);
        if (message == WM_NCDESTROY) Subclasses().erase(window);
        return result;
    }
    // No exception may unwind through the window system: a message whose handling
    // runs out of memory ends here, handled as far as it got.
    try {
        // Whatever this message makes fire shares one budget.
        OuterEvent event;
        return found->second.view->HandleMessage(message, wParam, lParam);
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
    case WM_CAPTURECHANGED: {
        // Another window took the capture (a menu, a drag, a dialog): the pointer is
        // no longer the view's, so its hover ends as if the pointer had left.
        std::weak_ptr<bool> guard = alive;
        if (mouseCaptured && reinterpret_cast<HWND>(lParam) != window) CaptureTakenAway();
        if (guard.expired() || window == nullptr) return 0;
        return PassOn(message, wParam, lParam);
    }
    case WM_NCDESTROY: {
        // The browser destroys its window before the instance ends: hand the window
        // back now, so the instance's end has no window left to restore.
        std::weak_ptr<bool> guard = alive;
        LRESULT result = PassOn(message, wParam, lParam);
        if (!guard.expired() && window != nullptr) Detach(true);
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
    // While another window holds the capture (a menu, a drag), the pointer is that
    // window's: the view neither takes the capture from it nor hovers anything.
    const HWND holder = GetCapture();
    const bool heldElsewhere = losingCapture || (holder != nullptr && holder != window);
    CVLSYMBOL hit = 0;
    if (heldElsewhere || !PtInRect(&client, point)) {
        if (mouseCaptured) {
            mouseCaptured = 0;
            if (!heldElsewhere) ReleaseCapture();
        }
    } else {
        hit = SymbolAtPoint(instance, point);
        if (holder != window) SetCapture(window);
        mouseCaptured = 1;
    }
    if (hit != hoverSymbol) {
        // Stored before anything fires, so the evaluations nested in the scripts see no change.
        const CVLSYMBOL old = hoverSymbol;
        // A symbol whose enter is still to come was never entered, so it is not left.
        const bool oldEntered = old != pendingEnter;
        hoverSymbol = hit;
        pendingEnter = hit;
        std::weak_ptr<bool> guard = alive;
        const unsigned generation = instance != nullptr ? instance->drawingGeneration : 0;
        // A script may replace the drawing: handles of the old one are not passed on.
        auto stillCurrent = [&] {
            return !guard.expired() && instance != nullptr && instance->drawingGeneration == generation;
        };
        if (old != 0 && oldEntered && stillCurrent()) FireSymbolEvent(instance, old, "OnMouseLeave");
        if (guard.expired()) return;
        // The leave script may have changed what lies under the pointer; the evaluation
        // nested in it then dealt with what is there now, and this enter is off.
        if (hit != 0 && pendingEnter == hit && stillCurrent()) {
            pendingEnter = 0;
            FireSymbolEvent(instance, hit, "OnMouseEnter");
            if (guard.expired()) return;
        }
    }
    // While the view holds the capture, Windows sends it no WM_SETCURSOR.
    if (mouseCaptured) ApplyCursor();
}

void DrawingView::CaptureTakenAway() {
    mouseCaptured = 0;
    const CVLSYMBOL old = hoverSymbol;
    const bool oldEntered = old != pendingEnter;
    hoverSymbol = 0;
    pendingEnter = 0;
    std::weak_ptr<bool> guard = alive;
    if (old != 0 && oldEntered && instance != nullptr && instance->drawing != 0) {
        // Also when the capture was only released: a window must not take the capture
        // back while it is told of its loss, so the leave's own look finds nothing.
        losingCapture = true;
        FireSymbolEvent(instance, old, "OnMouseLeave");
        if (guard.expired()) return;
        losingCapture = false;
    }
    // The hand belonged to the hover that has ended; a cursor the new holder has set stays.
    cursorShape = 0;
    if (GetCursor() == handCursor) SetCursor(arrowCursor);
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
    pendingEnter = 0;
    cursorShape = 0;
    UpdateHover();
}
