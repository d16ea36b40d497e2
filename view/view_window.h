// The window object of an instance: it subclasses the browser's window, paints
// from the render cache, tracks the symbol under the pointer and shows the cursor.
#ifndef VIEW_VIEW_WINDOW_H
#define VIEW_VIEW_WINDOW_H

#include <windows.h>

#include <memory>

#include "engine_api.h"

struct InstanceData;

class DrawingView {
public:
    // Subclasses the window and links itself with the instance (data->view is set by the caller).
    // Also adds CS_DBLCLKS to the window's class, so double clicks arrive as such.
    // A window that another view has already taken over is left to that view.
    DrawingView(InstanceData* data, HWND window);
    // Puts the browser's window procedure back, if the window still exists and the
    // view's own procedure is still the one installed.
    virtual ~DrawingView();
    DrawingView(const DrawingView&) = delete;
    DrawingView& operator=(const DrawingView&) = delete;

    HWND Window() const { return window; }

    // Looks again at what is under the pointer (hit test, capture, leave/enter, cursor).
    void UpdateHover();
    // Forgets the symbol under the pointer and the cursor shape, then UpdateHover.
    void ResetHover();

    LONG cursorShape = 0;       // 1 = hand, anything else = arrow
    CVLSYMBOL hoverSymbol = 0; // symbol under the pointer at the last hover evaluation

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam);
    void EvaluateHover(POINT point);
    void FireOnHoverSymbol(const char* eventName);
    void ApplyCursor() const;
    // Another window took the mouse capture: the hovered symbol is left, the arrow returns.
    void CaptureTakenAway();
    // Gives the window its own procedure back, if the view's is still installed, and
    // forgets the window.
    void Detach(bool windowDestroyed);

    HWND window;
    WNDPROC savedWindowProc;
    InstanceData* instance;
    HCURSOR handCursor;
    HCURSOR arrowCursor;
    BOOL mouseCaptured = 0;
    // The hovered symbol while its OnMouseEnter is still to fire; 0 once it has fired.
    CVLSYMBOL pendingEnter = 0;
    // Set while the view tells the hovered symbol it lost the capture.
    bool losingCapture = false;
    // Scripts run from inside the view's handlers may end the instance and so the
    // view; handlers hold a weak copy and stop once it has expired.
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
};

#endif
