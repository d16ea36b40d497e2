// Control interface of the window system, for the browser stand-in and for tests.
// The plug-in never includes this header: it plays the part of the user, the display
// and the operating system around the windows (creating the browser's windows, moving
// the mouse, letting time pass, reading what the screen shows).
//
// Coordinates: screen points are in pixels of the one screen; window points are
// client pixels of the window. Colours read back are COLORREF (red in the lowest byte).
#ifndef VK_PLATFORM_WIN32_CONTROL_H
#define VK_PLATFORM_WIN32_CONTROL_H

#include <windows.h>

/* ---- The whole window system ---------------------------------------------------- */
// Back to a fresh window system: no windows, classes, timers, GDI objects, registry
// values or beeps; clock at 0; 32-bit display of 1024 x 768; code page 1252; pointer at
// (0, 0). Loaded modules and their resources stay.
VK_W32_API void w32_reset(void);
// Display depth: 8, 16, 24 or 32 bits per pixel. Clears the screen to black.
VK_W32_API BOOL w32_set_display_depth(int bitsPerPixel);
VK_W32_API BOOL w32_set_screen_size(int width, int height);
// System code page for the text functions: 1252 (single byte) or 932 (double byte).
VK_W32_API BOOL w32_set_code_page(UINT codePage);

// A module the host loaded itself, as a browser loads a plug-in. A window system over
// the real Win32 takes over the clock, timer, beep and cursor services that the module
// (and the modules it brought along) import, and counts their GDI handles; the subset
// needs nothing, since every module calls it directly.
VK_W32_API void w32_adopt_module(HMODULE module);

/* ---- Windows -------------------------------------------------------------------- */
// A window class: style bits (CS_...), window procedure, the cursor DefWindowProc shows
// for WM_SETCURSOR (NULL: none; LoadCursorA(NULL, IDC_ARROW) is the usual one) and the
// background DefWindowProc paints for WM_ERASEBKGND (hasBackground FALSE: none).
// Fails when the name is taken.
VK_W32_API BOOL w32_register_class(const char *className, UINT style, WNDPROC proc, HCURSOR cursor,
                                   BOOL hasBackground, COLORREF background);
// A visible window of a registered class. parent NULL: a top-level window at screen
// point (x, y); otherwise a child at client point (x, y) of parent. Newer windows lie
// above older siblings. The whole client area starts invalid with erasing requested.
// No creation messages are sent.
VK_W32_API HWND w32_create_window(const char *className, HWND parent, int x, int y, int width, int height);
// Size change as the user or browser makes it: WM_SIZE (SIZE_RESTORED) when the size
// differs, and the whole client area invalid with erasing requested.
VK_W32_API BOOL w32_resize_window(HWND hwnd, int width, int height);
VK_W32_API BOOL w32_move_window(HWND hwnd, int x, int y);
// DestroyWindow(hwnd), for symmetry with w32_create_window.
VK_W32_API BOOL w32_destroy_window(HWND hwnd);

/* ---- Messages and time ---------------------------------------------------------- */
// Observer of every message delivered to a window procedure (sent, dispatched, pumped),
// called before the procedure. NULL removes it.
typedef void (*W32MessageHook)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, void *context);
VK_W32_API void w32_set_message_hook(W32MessageHook hook, void *context);
// Dispatches WM_PAINT to every window with an update region (parents before children)
// until none is pending. Returns the number of messages dispatched, or -1 when a window
// keeps its update region (a WM_PAINT handler that never validates) and the pump gave
// up. Timers are due only as the clock advances, so w32_advance_clock fires them.
VK_W32_API int w32_pump(void);
// Lets milliseconds pass on the virtual clock. Due timers fire in time order, each at its
// own due time, with pending paints dispatched before each timer and at the end.
VK_W32_API void w32_advance_clock(DWORD milliseconds);
VK_W32_API DWORD w32_now(void);
// While refusing (TRUE), SetTimer makes no timer and returns 0, as Windows does when
// it runs out of timers. w32_reset ends the refusal.
VK_W32_API void w32_refuse_timers(BOOL refuse);

/* ---- Input ---------------------------------------------------------------------- */
// Mouse buttons for w32_mouse_button.
#define W32_BUTTON_LEFT 0
#define W32_BUTTON_RIGHT 1
// Pointer moved to a screen point: routed at once as Windows routes it (to the capture
// window, else to the window under the point with WM_NCHITTEST and WM_SETCURSOR first).
VK_W32_API void w32_mouse_move(int screenX, int screenY);
// Button pressed (down TRUE) or released at a screen point. When the point differs from
// the pointer's position, the pointer moves there first, as a physical mouse does.
VK_W32_API void w32_mouse_button(int button, BOOL down, int screenX, int screenY);

/* ---- Pixels --------------------------------------------------------------------- */
// What the screen shows at a client point of the window (black outside the screen).
VK_W32_API COLORREF w32_window_pixel(HWND hwnd, int x, int y);
// Rows of the client-area rectangle `area` (client coordinates), top row first, into
// `out` (width x height COLORREFs). FALSE for a bad window or empty area.
VK_W32_API BOOL w32_read_window_pixels(HWND hwnd, const RECT *area, COLORREF *out);
// The screen area written since the last call (screen coordinates; empty when nothing
// changed), so that a display copies only that; the next call starts afresh.
VK_W32_API void w32_take_screen_changes(RECT *area);
// A printer device context of the given page size in device pixels, white, reporting
// DT_RASPRINTER and the given window and viewport extents. Free it with DeleteDC.
VK_W32_API HDC w32_create_printer_dc(int width, int height, SIZE windowExtent, SIZE viewportExtent);
// Pixel of any DC's drawing surface in device coordinates: the printer page, the
// bitmap selected into a memory DC, the screen for window DCs. CLR_INVALID when outside.
VK_W32_API COLORREF w32_dc_pixel(HDC hdc, int x, int y);

/* ---- Registry ------------------------------------------------------------------- */
// Creates the key path (backslash separated) under a root key and sets one value; an
// empty or NULL name is the key's default value. Data is stored exactly as given.
VK_W32_API BOOL w32_reg_set_value(HKEY root, const char *subKey, const char *valueName, DWORD type,
                                  const void *data, DWORD size);
// A REG_SZ value stored with its terminating NUL, as regedit stores it.
VK_W32_API BOOL w32_reg_set_string(HKEY root, const char *subKey, const char *valueName, const char *value);
VK_W32_API BOOL w32_reg_delete_key(HKEY root, const char *subKey);

/* ---- Cursors, beeps, accounting ------------------------------------------------- */
typedef struct W32CursorInfo {
    BOOL valid;
    BOOL isSystem;       // a system cursor (IDC_ARROW); otherwise a module's resource
    UINT resourceId;     // 32512 for the arrow, else the module's resource number
    HINSTANCE module;    // NULL for system cursors
    int width, height;   // from the cursor image
    int hotspotX, hotspotY;
} W32CursorInfo;
// The cursor the user sees now (the last SetCursor), NULL when none.
VK_W32_API HCURSOR w32_shown_cursor(void);
VK_W32_API W32CursorInfo w32_cursor_info(HCURSOR cursor);

typedef struct W32Beep {
    UINT type;   // MessageBeep's argument
    DWORD time;  // virtual clock when it sounded
} W32Beep;
VK_W32_API size_t w32_beep_count(void);
VK_W32_API W32Beep w32_beep(size_t index);

// GDI objects (brushes, bitmaps, palettes) and device contexts (created or obtained,
// not yet deleted or released) alive now; for leak checks.
VK_W32_API int w32_live_gdi_objects(void);
VK_W32_API int w32_live_dcs(void);
// Timers (thread and window timers) set and not yet killed, nor dropped with their window.
VK_W32_API int w32_live_timers(void);
// Calls that were given a handle that is not (or no longer) valid, since the reset.
VK_W32_API int w32_bad_handle_uses(void);

#endif
