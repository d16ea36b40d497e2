// Drawing through device contexts: FillRect, BitBlt, SetDIBitsToDevice, GetPixel, and
// the control interface's pixel reads. Every write is clipped to the DC's area.
#include "system.h"

#include <algorithm>

namespace w32 {

namespace {

struct Resolved {
    COLORREF rgb;
    const std::vector<PALETTEENTRY> *match;
};

// Explicit RGB matches the reserved colours on a palette device; palette-relative and
// palette-index colours match the DC's logical palette. Elsewhere all are plain RGB.
Resolved Resolve(const Dc &dc, COLORREF color)
{
    const auto &logical = dc.palette ? dc.palette->entries : StaticPalette();
    switch (color >> 24) {
    case 0x01: {
        size_t index = color & 0xFFFF;
        const PALETTEENTRY &e = index < logical.size() ? logical[index] : logical[0];
        return {RGB(e.peRed, e.peGreen, e.peBlue), &logical};
    }
    case 0x02: return {color & 0xFFFFFF, &logical};
    default: return {color & 0xFFFFFF, &StaticPalette()};
    }
}

// Two surfaces of one 8-bit format hold indices of the same meaning, which Windows
// copies index for index whatever palettes the DCs hold: the device's own format
// (device-dependent bitmaps and the screen at 8 bits) or 8-bit DIB sections with the
// same colour table.
enum class IndexCopy { None, Device, Dib };

bool DeviceIndexed(const Surface *surface)
{
    if (const auto *bitmap = dynamic_cast<const Bitmap *>(surface)) return !bitmap->dib && bitmap->bitsPerPixel == 8;
    if (const auto *plane = dynamic_cast<const PixelPlane *>(surface)) return plane->depth == 8 && plane->Readable();
    return false;
}

IndexCopy IndexCopyBetween(const Surface *from, const Surface *to)
{
    if (DeviceIndexed(from) && DeviceIndexed(to)) return IndexCopy::Device;
    const auto *a = dynamic_cast<const Bitmap *>(from);
    const auto *b = dynamic_cast<const Bitmap *>(to);
    if (!a || !b || !a->dib || !b->dib || a->bitsPerPixel != 8 || b->bitsPerPixel != 8) return IndexCopy::None;
    const auto &x = a->colorTable, &y = b->colorTable;
    if (x.size() != y.size()) return IndexCopy::None;
    for (size_t i = 0; i < x.size(); ++i)
        if (x[i].rgbRed != y[i].rgbRed || x[i].rgbGreen != y[i].rgbGreen || x[i].rgbBlue != y[i].rgbBlue)
            return IndexCopy::None;
    return IndexCopy::Dib;
}

}  // namespace

bool TargetOf(Dc *dc, Target &target)
{
    System &s = Sys();
    target.palette = dc->palette ? &dc->palette->entries : &StaticPalette();
    switch (dc->kind) {
    case DcKind::Memory: {
        Bitmap *bitmap = dc->bitmap ? dc->bitmap : StockBitmap();
        target.surface = bitmap;
        target.clip = Region{RECT{0, 0, bitmap->width, bitmap->height}};
        return true;
    }
    case DcKind::Printer:
        target.surface = dc->page.get();
        target.clip = Region{RECT{0, 0, dc->page->width, dc->page->height}};
        return true;
    case DcKind::Window: {
        Window *w = LiveWindow(dc->window);
        if (!w) return false;
        target.surface = &s.screen;
        target.origin = ClientOriginOnScreen(w);
        if (w == s.desktop) {
            target.clip = Region{RECT{0, 0, s.screen.width, s.screen.height}};
        } else {
            target.clip = VisibleRegion(w);
        }
        if (dc->paintDc) {
            Region clipped;
            for (RECT r : dc->paintClip) {
                OffsetRect(&r, target.origin.x, target.origin.y);
                Region part = target.clip;
                Intersect(part, r);
                clipped.insert(clipped.end(), part.begin(), part.end());
            }
            target.clip.swap(clipped);
        }
        return true;
    }
    }
    return false;
}

}  // namespace w32

using namespace w32;

int WINAPI FillRect(HDC hDC, const RECT *lprc, HBRUSH hbr)
{
    Dc *dc = FindDc(hDC);
    GdiObject *object = FindObject(hbr);
    if (!dc || !lprc || !object || object->kind != ObjectKind::Brush) return 0;
    Target target;
    if (!TargetOf(dc, target)) return 0;
    Resolved color = Resolve(*dc, static_cast<Brush *>(object)->color);
    RECT area = *lprc;
    OffsetRect(&area, target.origin.x, target.origin.y);
    for (const RECT &clip : target.clip) {
        RECT r;
        if (!IntersectRect(&r, &area, &clip)) continue;
        for (int y = r.top; y < r.bottom; ++y) target.surface->FillSpan(r.left, y, r.right - r.left, color.rgb, *color.match);
    }
    return 1;
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    Dc *dst = FindDc(hdc);
    Dc *src = FindDc(hdcSrc);
    // Only the plain copy is supported; other raster operations fail.
    if (!dst || !src || rop != SRCCOPY || cx < 0 || cy < 0) return FALSE;
    Target to, from;
    if (!TargetOf(dst, to) || !TargetOf(src, from) || !from.surface->Readable()) return FALSE;
    // Only source pixels that exist are copied; the rest of the destination stays.
    int sx0 = x1 + from.origin.x, sy0 = y1 + from.origin.y;
    RECT source{sx0, sy0, sx0 + cx, sy0 + cy};
    RECT bounds{0, 0, from.surface->Width(), from.surface->Height()};
    if (!IntersectRect(&source, &source, &bounds)) return TRUE;
    int w = source.right - source.left, h = source.bottom - source.top;
    const IndexCopy indexCopy = IndexCopyBetween(from.surface, to.surface);
    if (indexCopy == IndexCopy::Dib) {
        auto *in = static_cast<Bitmap *>(from.surface);
        auto *out = static_cast<Bitmap *>(to.surface);
        std::vector<uint8_t> indices(size_t(w) * size_t(h));
        for (int j = 0; j < h; ++j)
            std::copy_n(in->Row(source.top + j) + source.left, w, &indices[size_t(j) * size_t(w)]);
        RECT area = source;
        OffsetRect(&area, x + to.origin.x - sx0, y + to.origin.y - sy0);
        for (const RECT &clip : to.clip) {
            RECT r;
            if (!IntersectRect(&r, &area, &clip)) continue;
            for (int dy = r.top; dy < r.bottom; ++dy)
                std::copy_n(&indices[size_t(dy - area.top) * size_t(w) + size_t(r.left - area.left)], r.right - r.left,
                            out->Row(dy) + r.left);
        }
        return TRUE;
    }
    // Device colours are written as they are, with no palette to match them against.
    static const std::vector<PALETTEENTRY> unmatched;
    const std::vector<PALETTEENTRY> &match = indexCopy == IndexCopy::Device ? unmatched : *to.palette;
    int shiftX = x + to.origin.x - sx0, shiftY = y + to.origin.y - sy0;
    RECT area = source;
    OffsetRect(&area, shiftX, shiftY);
    if (from.surface != to.surface) {
        // Row by row through one reused row of colours: only what the clip lets through is read.
        static std::vector<COLORREF> row;
        for (const RECT &clip : to.clip) {
            RECT r;
            if (!IntersectRect(&r, &area, &clip)) continue;
            int span = r.right - r.left;
            if (row.size() < size_t(span)) row.resize(size_t(span));
            for (int dy = r.top; dy < r.bottom; ++dy) {
                from.surface->ReadSpan(r.left - shiftX, dy - shiftY, span, row.data());
                to.surface->WriteSpan(r.left, dy, span, row.data(), match);
            }
        }
        return TRUE;
    }
    // Read the block first: source and destination share a surface and may overlap.
    std::vector<COLORREF> block(size_t(w) * size_t(h));
    for (int j = 0; j < h; ++j) from.surface->ReadSpan(source.left, source.top + j, w, &block[size_t(j) * size_t(w)]);
    for (const RECT &clip : to.clip) {
        RECT r;
        if (!IntersectRect(&r, &area, &clip)) continue;
        for (int dy = r.top; dy < r.bottom; ++dy) {
            const COLORREF *row = &block[size_t(dy - area.top) * size_t(w) + size_t(r.left - area.left)];
            to.surface->WriteSpan(r.left, dy, r.right - r.left, row, match);
        }
    }
    return TRUE;
}

int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan,
                             UINT cLines, const VOID *lpvBits, const BITMAPINFO *lpbmi, UINT ColorUse)
{
    Dc *dc = FindDc(hdc);
    if (!dc || !lpvBits || !lpbmi || ColorUse != DIB_RGB_COLORS) return 0;
    const BITMAPINFOHEADER &hdr = lpbmi->bmiHeader;
    int bpp = hdr.biBitCount;
    if (hdr.biSize < sizeof(BITMAPINFOHEADER) || hdr.biWidth <= 0 || hdr.biHeight == 0 ||
        hdr.biCompression != BI_RGB || (bpp != 1 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
        return 0;
    Target target;
    if (!TargetOf(dc, target)) return 0;
    // Read the source through a DIB of our own that borrows the caller's rows.
    Bitmap dib;
    dib.dib = true;
    dib.width = hdr.biWidth;
    bool topDown = hdr.biHeight < 0;
    int height = topDown ? -hdr.biHeight : hdr.biHeight;
    dib.bitsPerPixel = bpp;
    dib.stride = ((hdr.biWidth * bpp + 31) / 32) * 4;
    if (bpp <= 8) {
        size_t colors = hdr.biClrUsed && hdr.biClrUsed < (1u << bpp) ? hdr.biClrUsed : (1u << bpp);
        const RGBQUAD *table = reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const uint8_t *>(lpbmi) + hdr.biSize);
        dib.colorTable.assign(table, table + colors);
    }
    // The buffer holds scan lines StartScan .. StartScan + cLines - 1, counted from the
    // first row in memory (the bottom row of a bottom-up DIB).
    UINT lines = std::min<UINT>(cLines, UINT(std::max(0, height - int(StartScan))));
    const auto *bytes = static_cast<const uint8_t *>(lpvBits);
    dib.dibBits.assign(bytes, bytes + size_t(dib.stride) * lines);
    dib.height = int(lines);
    dib.topDown = true;  // row k of the copy is memory scan line StartScan + k
    const Resolved none{0, target.palette};
    // Rows and columns beyond the DIB have no pixels to give.
    h = std::min<DWORD>(h, DWORD(height));
    w = std::min<DWORD>(w, DWORD(dib.width));
    for (DWORD j = 0; j < h; ++j) {
        // Source row in memory-scan-line numbers: bottom-up DIBs count ySrc from the bottom.
        int scan = topDown ? ySrc + int(j) : ySrc + int(h - 1 - j);
        int k = scan - int(StartScan);
        if (k < 0 || k >= int(lines)) continue;
        int dy = yDest + int(j) + target.origin.y;
        for (DWORD i = 0; i < w; ++i) {
            int sx = xSrc + int(i);
            if (sx < 0 || sx >= dib.width) continue;
            int dx = xDest + int(i) + target.origin.x;
            POINT p{dx, dy};
            bool inside = false;
            for (const RECT &clip : target.clip)
                if (PtInRect(&clip, p)) {
                    inside = true;
                    break;
                }
            if (inside) target.surface->Set(dx, dy, dib.Get(sx, k), *none.match);
        }
    }
    return int(lines);
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y)
{
    Dc *dc = FindDc(hdc);
    Target target;
    if (!dc || !TargetOf(dc, target) || !target.surface->Readable()) return CLR_INVALID;
    POINT p{x + target.origin.x, y + target.origin.y};
    for (const RECT &clip : target.clip)
        if (PtInRect(&clip, p)) return target.surface->Get(p.x, p.y);
    return CLR_INVALID;
}

COLORREF w32_dc_pixel(HDC hdc, int x, int y)
{
    Dc *dc = FindDc(hdc);
    Target target;
    if (!dc || !TargetOf(dc, target)) return CLR_INVALID;
    int sx = x + target.origin.x, sy = y + target.origin.y;
    if (sx < 0 || sy < 0 || sx >= target.surface->Width() || sy >= target.surface->Height()) return CLR_INVALID;
    return target.surface->Get(sx, sy);
}

COLORREF w32_window_pixel(HWND hwnd, int x, int y)
{
    RECT area{x, y, x + 1, y + 1};
    COLORREF pixel = 0;
    return w32_read_window_pixels(hwnd, &area, &pixel) ? pixel : 0;
}

void w32_take_screen_changes(RECT *area)
{
    PixelPlane &screen = Sys().screen;
    if (area) *area = screen.changed;
    screen.changed = RECT{0, 0, 0, 0};
}

BOOL w32_read_window_pixels(HWND hwnd, const RECT *area, COLORREF *out)
{
    Window *w = FindWindow(hwnd);
    if (!w || !area || !out || IsRectEmpty(area)) return FALSE;
    const PixelPlane &screen = Sys().screen;
    POINT o = ClientOriginOnScreen(w);
    size_t k = 0;
    for (int y = area->top; y < area->bottom; ++y)
        for (int x = area->left; x < area->right; ++x) {
            int sx = x + o.x, sy = y + o.y;
            bool on = sx >= 0 && sy >= 0 && sx < screen.width && sy < screen.height;
            out[k++] = on ? screen.Get(sx, sy) : RGB(0, 0, 0);
        }
    return TRUE;
}
