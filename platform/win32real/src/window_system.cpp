// Windows, classes, the message pump and the display, over USER32 and GDI32.
#include "real_system.h"

namespace w32real {

System &Sys() {
    static System system;
    return system;
}

void Observe(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    System &s = Sys();
    if (s.hook) s.hook(hwnd, msg, wParam, lParam, s.hookContext);
}

namespace {

// Sent messages reach window procedures without passing the pump; a thread hook sees
// them just before the procedure does.
LRESULT CALLBACK ObserveSentMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto *sent = reinterpret_cast<const CWPSTRUCT *>(lParam);
        Observe(sent->hwnd, sent->message, sent->wParam, sent->lParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM windows) {
    reinterpret_cast<std::vector<HWND> *>(windows)->push_back(hwnd);
    return TRUE;
}

// The screen, as one borderless window over the whole display: the host's top-level
// windows are its children. Creating and destroying real top-level windows goes through
// the X server (and without a window manager a destroyed one lingers for about two
// seconds); children come and go at once, and the pointer's window changes only when
// the host's own windows do.
HWND Screen() {
    static HWND screen = nullptr;
    if (screen && IsWindow(screen)) return screen;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = "VkScreen";
    RegisterClassA(&wc);
    screen = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                             wc.hInstance, nullptr);
    SetForegroundWindow(screen);
    UpdateWindow(screen);
    return screen;
}

int ScreenDepth() {
    HDC screen = GetDC(nullptr);
    int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

}  // namespace
}  // namespace w32real

using namespace w32real;

void w32_reset(void) {
    System &s = Sys();
    w32_set_message_hook(nullptr, nullptr);
    // Windows, then classes, go; a test that made them is over.
    std::vector<HWND> windows;
    EnumChildWindows(Screen(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows)
        if (IsWindow(hwnd) && GetParent(hwnd) == Screen()) DestroyWindow(hwnd);
    for (const std::string &name : s.classes) UnregisterClassA(name.c_str(), GetModuleHandleA(nullptr));
    s.classes.clear();
    for (auto &entry : s.classBrushes) DeleteObject(entry.second);
    s.classBrushes.clear();
    for (const auto &key : s.registryKeys) RegDeleteTreeA(key.first, key.second.c_str());
    s.registryKeys.clear();
    ResetModuleServices();
    s.inputTimeBase = GetTickCount();
    ReleaseCapture();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    s.pointer = POINT{0, 0};
    w32_mouse_move(0, 0);
}

// The real display keeps its depth. A scenario asking for true colour (24 or 32 bits)
// runs on a true-colour display of either depth; the plug-in sees the real one.
BOOL w32_set_display_depth(int bitsPerPixel) {
    int real = ScreenDepth();
    bool trueColour = (bitsPerPixel == 24 || bitsPerPixel == 32) && (real == 24 || real == 32);
    return bitsPerPixel == real || trueColour;
}

// The screen is the display's own; it only has to hold the page.
BOOL w32_set_screen_size(int width, int height) {
    return width > 0 && height > 0 && width <= GetSystemMetrics(SM_CXSCREEN) &&
           height <= GetSystemMetrics(SM_CYSCREEN);
}

BOOL w32_set_code_page(UINT codePage) { return GetACP() == codePage; }

BOOL w32_register_class(const char *className, UINT style, WNDPROC proc, HCURSOR cursor, BOOL hasBackground,
                        COLORREF background) {
    System &s = Sys();
    HBRUSH brush = hasBackground ? CreateSolidBrush(background) : nullptr;
    WNDCLASSA wc{};
    wc.style = style;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = cursor;
    wc.hbrBackground = brush;
    wc.lpszClassName = className;
    if (!RegisterClassA(&wc)) {
        if (brush) DeleteObject(brush);
        return FALSE;
    }
    s.classes.push_back(className);
    if (brush) s.classBrushes[className] = brush;
    return TRUE;
}

HWND w32_create_window(const char *className, HWND parent, int x, int y, int width, int height) {
    // No frame, caption or border: the client area is the whole window, as in the
    // subset. Children clip each other and their parent clips them.
    // A top-level window is a child of the screen window, which lies at the screen's origin.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    HWND hwnd = CreateWindowExA(0, className, "", style, x, y, width, height, parent ? parent : Screen(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return nullptr;
    // Newer windows lie above older siblings.
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    InvalidateRect(hwnd, nullptr, TRUE);
    return hwnd;
}

BOOL w32_resize_window(HWND hwnd, int width, int height) {
    if (!SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)) return FALSE;
    InvalidateRect(hwnd, nullptr, TRUE);
    return TRUE;
}

BOOL w32_move_window(HWND hwnd, int x, int y) {
    return SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL w32_destroy_window(HWND hwnd) { return DestroyWindow(hwnd); }

void w32_set_message_hook(W32MessageHook hook, void *context) {
    System &s = Sys();
    s.hook = hook;
    s.hookContext = context;
    if (hook && !s.sentMessageHook)
        s.sentMessageHook = SetWindowsHookExA(WH_CALLWNDPROC, ObserveSentMessage, nullptr, GetCurrentThreadId());
    if (!hook && s.sentMessageHook) {
        UnhookWindowsHookEx(s.sentMessageHook);
        s.sentMessageHook = nullptr;
    }
}

int w32_pump(void) {
    int dispatched = 0;
    HWND lastPainted = nullptr;
    int repeats = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_PAINT) {
            // A WM_PAINT handler that never validates would get WM_PAINT for ever.
            repeats = msg.hwnd == lastPainted ? repeats + 1 : 0;
            if (repeats >= 100) return -1;
            lastPainted = msg.hwnd;
        }
        Observe(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        DispatchMessageA(&msg);
        ++dispatched;
    }
    return dispatched;
}

// No printer is installed in the test machine's Windows; printing needs one.
HDC w32_create_printer_dc(int, int, SIZE, SIZE) { return nullptr; }

COLORREF w32_dc_pixel(HDC hdc, int x, int y) { return GetPixel(hdc, x, y); }

HCURSOR w32_shown_cursor(void) { return GetCursor(); }

W32CursorInfo w32_cursor_info(HCURSOR cursor) {
    W32CursorInfo info{};
    if (!cursor) return info;
    if (cursor == LoadCursorA(nullptr, IDC_ARROW)) {
        info.isSystem = TRUE;
        info.resourceId = 32512;
    } else {
        auto found = Sys().moduleCursors.find(cursor);
        if (found == Sys().moduleCursors.end()) return info;
        info.module = found->second.module;
        info.resourceId = found->second.resourceId;
    }
    ICONINFO icon{};
    if (!GetIconInfo(cursor, &icon)) return info;
    info.valid = TRUE;
    info.hotspotX = static_cast<int>(icon.xHotspot);
    info.hotspotY = static_cast<int>(icon.yHotspot);
    BITMAP mask{};
    if (icon.hbmMask && GetObjectA(icon.hbmMask, sizeof mask, &mask)) {
        info.width = mask.bmWidth;
        info.height = icon.hbmColor ? mask.bmHeight : mask.bmHeight / 2;  // AND over XOR
    }
    if (icon.hbmMask) DeleteObject(icon.hbmMask);
    if (icon.hbmColor) DeleteObject(icon.hbmColor);
    return info;
}
