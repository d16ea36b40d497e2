#include "render_cache.h"

#include <vector>

#include "antialias.h"
#include "hit_testing.h"
#include "plugin_instance.h"
#include "view_window.h"

namespace {

const COLORREF kDefaultBackground = 0x00FFFFFF;
const char kBrowserSettingsKey[] = "Software\\Netscape\\Netscape Navigator\\Settings";
const char kBackgroundColorValue[] = "Background Color";

// The drawing palette, shared by every instance; fetched from the engine at the
// first paint that gets one and kept until the module unloads.
HPALETTE drawingPalette = nullptr;

HWND ViewWindow(const InstanceData* data) { return data->view ? data->view->Window() : nullptr; }

// Bits per pixel of a display DC, with 16-bit displays treated as 24-bit ones.
int DisplayDepth(HDC dc) {
    int depth = GetDeviceCaps(dc, BITSPIXEL);
    return depth == 16 ? 24 : depth;
}

// Reads one integer the way the C library's %d does (blanks, a sign, digits) and
// keeps only its low 8 bits, exactly also for numbers too long for any integer type.
bool ScanComponent(const char*& p, unsigned& low8) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    unsigned value = 0;
    while (*p >= '0' && *p <= '9') value = (value * 10 + unsigned(*p++ - '0')) & 0xFF;
    low8 = negative ? (0x100 - value) & 0xFF : value;
    return true;
}

bool ScanSeparator(const char*& p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    if (*p != ',') return false;
    ++p;
    return true;
}

// " %d , %d , %d": red, green and blue; anything after the third number is ignored.
bool ScanColour(const char* text, unsigned& red, unsigned& green, unsigned& blue) {
    const char* p = text;
    return ScanComponent(p, red) && ScanSeparator(p) && ScanComponent(p, green) && ScanSeparator(p) &&
           ScanComponent(p, blue);
}

// The client area of the view, clipped to the cache.
RECT ClipToCache(const InstanceData* data, const RECT& rect) {
    RECT bounds = {0, 0, data->cacheWidth, data->cacheHeight};
    RECT clipped;
    IntersectRect(&clipped, &rect, &bounds);
    return clipped;
}

// The cache's form follows the display depth of its last rebuild: above 8 bits a
// DIB section, whose pixels the averaging writes (in its own layout, whatever deep
// display it now goes to), else a device-dependent bitmap, which only a device of
// its own depth takes. A display that has changed depth across 8 bits since then
// needs a cache of the other form.
bool CacheFitsDisplay(const InstanceData* data) {
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    const int depth = DisplayDepth(screen);
    ReleaseDC(desktop, screen);
    if (data->cacheBits != nullptr) return depth > 8;
    BITMAP bitmap;
    if (GetObject(data->cacheBitmap.get(), sizeof bitmap, &bitmap) == 0) return false;
    return bitmap.bmBitsPixel == depth;
}

// On a palette display the cache holds device colours: it is drawn with the
// drawing's palette, so that the drawing's colours are kept as they are instead of
// being matched to the reserved ones.
void UseDrawingPalette(const InstanceData* data, HDC memory) {
    if (data->cacheBits == nullptr) RealizeDrawingPalette(memory);
}

// Without a drawing to show, the view shows the page's background.
void EraseWithBackground(HDC paintDC, const RECT& paintRect) {
    RealizeDrawingPalette(paintDC);
    HBRUSH brush = CreateSolidBrush(BrowserBackgroundColor());
    if (brush == nullptr) return;
    FillRect(paintDC, &paintRect, brush);
    DeleteObject(brush);
}

void UniteIntoDirtyRect(InstanceData* data, const RECT& rect) {
    RECT clipped = ClipToCache(data, rect);
    RECT united;
    UnionRect(&united, &data->dirtyRect, &clipped);
    data->dirtyRect = united;
}

}  // namespace

bool AntialiasActive(const InstanceData* data) {
    if (data->HasAttribute("noantialias")) return false;
    HWND window = ViewWindow(data);
    if (window == nullptr) return false;
    HDC dc = GetDC(window);
    if (dc == nullptr) return false;
    int depth = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(window, dc);
    return depth > 8;
}

DWORD CacheRenderFlags(const InstanceData* data) {
    if (data->cacheDrawn) return CVL_DRAW_INCREMENTAL;
    DWORD flags = CVL_DRAW_PAPER | CVL_DRAW_FIT;
    if (data->HasAttribute("hiddenbounds")) flags |= CVL_DRAW_HIDDEN_BOUNDS;
    return flags;
}

int CacheDepth(const InstanceData* data) {
    if (!data->cacheBitmap || data->cacheBits == nullptr) return 0;
    BITMAP bitmap;
    if (GetObject(data->cacheBitmap.get(), sizeof bitmap, &bitmap) == 0) return 0;
    return bitmap.bmBitsPixel;
}

COLORREF BrowserBackgroundColor() {
    COLORREF colour = kDefaultBackground;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kBrowserSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return colour;
    std::vector<char> text;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key, kBackgroundColorValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
        // One byte more than the value, all zero: a stored string need not end in one.
        text.assign(size_t(size) + 1, '\0');
        if (RegQueryValueExA(key, kBackgroundColorValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                             &size) != ERROR_SUCCESS) {
            text.clear();
        }
    }
    RegCloseKey(key);
    unsigned red, green, blue;
    // A string that does not hold three numbers leaves the page white.
    if (!text.empty() && text[0] != '\0' && ScanColour(text.data(), red, green, blue)) {
        colour = 0x02000000 | (blue << 16) | (green << 8) | red;
    }
    return colour;
}

HBITMAP CreateDib(int depth, LONG width, LONG height, HDC dc, void** bits) {
    *bits = nullptr;
    if (depth <= 0 || width <= 0 || height <= 0) return nullptr;
    const unsigned long long rowSize = ((unsigned long long)depth * width + 31) / 32 * 4;
    const unsigned long long imageSize = rowSize * height;
    if (imageSize == 0 || imageSize > 0x7FFFFFFF) return nullptr;
    HDC screen = nullptr;
    if (dc == nullptr) dc = screen = GetDC(GetDesktopWindow());
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: rows stored bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(depth);
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = DWORD(imageSize);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap == nullptr) *bits = nullptr;
    if (screen != nullptr) ReleaseDC(GetDesktopWindow(), screen);
    return bitmap;
}

void RealizeDrawingPalette(HDC dc) {
    if (drawingPalette == nullptr) drawingPalette = GetDrawingPalette();
    if (drawingPalette == nullptr) return;
    SelectPalette(dc, drawingPalette, TRUE);
    RealizePalette(dc);
}

void ReleaseDrawingPalette() {
    if (drawingPalette != nullptr) DeleteObject(drawingPalette);
    drawingPalette = nullptr;
}

void RebuildRenderCache(InstanceData* data) {
    data->cacheBitmap.reset();
    data->cacheBits = nullptr;
    data->superBitmap.reset();
    data->superBits = nullptr;
    HWND window = ViewWindow(data);
    RECT client = {0, 0, 0, 0};
    if (window != nullptr) GetClientRect(window, &client);
    data->backgroundBrush.reset();
    if (IsRectEmpty(&client)) return;

    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    const int depth = DisplayDepth(screen);
    data->cacheWidth = client.right;
    data->cacheHeight = client.bottom;
    if (depth > 8) {
        data->cacheBitmap.reset(CreateDib(depth, data->cacheWidth, data->cacheHeight, nullptr, &data->cacheBits));
    } else {
        data->cacheBitmap.reset(CreateCompatibleBitmap(screen, data->cacheWidth, data->cacheHeight));
    }
    data->backgroundBrush.reset(CreateSolidBrush(BrowserBackgroundColor()));
    if (!data->cacheBitmap) {
        // Left unbuilt and not invalidated: asking for a repaint here would only
        // fail again and repaint forever. The next paint that comes tries again.
        data->cacheBits = nullptr;
        ReleaseDC(desktop, screen);
        return;
    }
    HDC memory = CreateCompatibleDC(screen);
    if (memory != nullptr) {
        HGDIOBJ previous = SelectObject(memory, data->cacheBitmap.get());
        UseDrawingPalette(data, memory);
        RECT fill = client;
        InflateRect(&fill, 1, 1);
        FillRect(memory, &fill, data->backgroundBrush.get());
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    ReleaseDC(desktop, screen);

    data->dirtyRect = client;
    InvalidateRect(window, nullptr, TRUE);
    data->cacheDrawn = 0;
}

void RenderDirtyRect(InstanceData* data) {
    if (!data->cacheBitmap) return;
    HWND window = ViewWindow(data);
    HDC windowDC = GetDC(window);
    HDC memory = CreateCompatibleDC(windowDC);
    if (memory == nullptr) {
        ReleaseDC(window, windowDC);
        return;
    }
    const RECT& dirty = data->dirtyRect;
    if (AntialiasActive(data)) {
        RenderAntialiased(data, dirty.right - dirty.left, dirty.bottom - dirty.top);
    } else {
        HGDIOBJ previous = SelectObject(memory, data->cacheBitmap.get());
        UseDrawingPalette(data, memory);
        HBRUSH brush = CreateSolidBrush(BrowserBackgroundColor());
        FillRect(memory, &dirty, brush);
        DeleteObject(brush);
        const RECT page = {0, 0, data->cacheWidth, data->cacheHeight};
        DrawPage(data->drawing, memory, &page, &dirty, CVL_ALL_LAYERS, CVL_MODE_RENDER, CacheRenderFlags(data),
                 CVL_ZOOM_FIT);
        data->cacheDrawn = 1;
        SelectObject(memory, previous);
    }
    DeleteDC(memory);
    ReleaseDC(window, windowDC);
}

void PaintView(InstanceData* data, HDC paintDC, const RECT& paintRect) {
    if (!data->cacheBitmap || !CacheFitsDisplay(data)) RebuildRenderCache(data);
    if (data->drawing == 0 || !data->cacheBitmap) {
        EraseWithBackground(paintDC, paintRect);
        return;
    }
    UniteIntoDirtyRect(data, paintRect);
    if (!IsRectEmpty(&data->dirtyRect)) RenderDirtyRect(data);

    HDC memory = CreateCompatibleDC(paintDC);
    HGDIOBJ previous = nullptr;
    if (memory != nullptr) {
        previous = SelectObject(memory, data->cacheBitmap.get());
        UseDrawingPalette(data, memory);
    }
    RealizeDrawingPalette(paintDC);
    if (memory != nullptr) {
        const RECT& dirty = data->dirtyRect;
        BitBlt(paintDC, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, memory,
               dirty.left, dirty.top, SRCCOPY);
    }
    SetRectEmpty(&data->dirtyRect);
    if (memory != nullptr) {
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
}

void InvalidateViewRect(InstanceData* data, LONG left, LONG top, LONG right, LONG bottom) {
    if (!data->cacheBitmap) return;
    RECT rect = {left < right ? left : right, top < bottom ? top : bottom, left < right ? right : left,
                 top < bottom ? bottom : top};
    UniteIntoDirtyRect(data, rect);
    HWND window = ViewWindow(data);
    // The whole pending area, so the paint rectangle always covers what will be rendered.
    if (window != nullptr && !IsRectEmpty(&data->dirtyRect)) InvalidateRect(window, &data->dirtyRect, TRUE);
}

void InvalidateView(InstanceData* data) { InvalidateViewRect(data, 0, 0, data->cacheWidth, data->cacheHeight); }

void InvalidateSymbol(InstanceData* data, CVLSYMBOL symbol) {
    RECT rect;
    if (!SymbolViewRect(data, symbol, &rect)) return;
    InvalidateViewRect(data, rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1);
}
