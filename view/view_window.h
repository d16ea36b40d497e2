// The window object of an instance: it subclasses the browser's window, paints
// from the render cache, tracks the symbol under the pointer and shows the cursor.
#ifndef VIEW_VIEW_WINDOW_H
#define VIEW_VIEW_WINDOW_H

#include <windows.h>

#include "engine_api.h"

struct InstanceData;

class DrawingView {
public:
    // Subclasses the window and links itself with the instance (data->view is set by the caller).
    DrawingView(InstanceData* data, HWND window);
    // Puts the browser's window procedure back, if the window still exists.
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
    HWND window;
    WNDPROC savedWindowProc;
    InstanceData* instance;
    HCURSOR handCursor;
    HCURSOR arrowCursor;
    BOOL mouseCaptured = 0;
    // further members are the view's own
};

#endif
