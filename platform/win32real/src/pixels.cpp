// What the screen shows, read back through a window DC into a 32-bit DIB section.
#include "real_system.h"

#include <vector>

using namespace w32real;

// Windows paints its own screen: all of it may have changed.
void w32_take_screen_changes(RECT *area) {
    if (area) *area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

BOOL w32_read_window_pixels(HWND hwnd, const RECT *area, COLORREF *out) {
    if (!IsWindow(hwnd) || !area || !out || IsRectEmpty(area)) return FALSE;
    int width = area->right - area->left, height = area->bottom - area->top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HDC window = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    BOOL copied = FALSE;
    if (window && memory && bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, window, area->left, area->top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        const auto *pixels = static_cast<const DWORD *>(bits);
        for (size_t i = 0; copied && i < static_cast<size_t>(width) * height; ++i) {
            DWORD bgrx = pixels[i];
            out[i] = RGB((bgrx >> 16) & 0xFF, (bgrx >> 8) & 0xFF, bgrx & 0xFF);
        }
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    if (window) ReleaseDC(hwnd, window);
    return copied;
}

COLORREF w32_window_pixel(HWND hwnd, int x, int y) {
    RECT one{x, y, x + 1, y + 1};
    COLORREF colour = RGB(0, 0, 0);
    return w32_read_window_pixels(hwnd, &one, &colour) ? colour : RGB(0, 0, 0);
}
