// GDI objects and device contexts: memory and printer DCs, bitmaps (device-dependent
// and DIB sections), brushes, palettes, selection and deletion, device capabilities.
#include "system.h"

#include <algorithm>
#include <cstring>

namespace w32 {

namespace {

constexpr uint64_t kMaxBitmapBytes = uint64_t(1) << 30;

template <class T>
T *Keep(std::unique_ptr<T> object)
{
    System &s = Sys();
    T *raw = object.get();
    raw->handle = reinterpret_cast<HGDIOBJ>(s.nextHandle);
    s.objects[s.nextHandle] = std::move(object);
    s.nextHandle += 4;
    return raw;
}

template <class T>
T *StockObject(T *&slot, std::unique_ptr<T> (*make)())
{
    if (!slot) {
        auto object = make();
        object->stock = true;
        slot = Keep(std::move(object));
    }
    return slot;
}

Bitmap *stockBitmap = nullptr;
Brush *stockBrush = nullptr;
Palette *stockPalette = nullptr;

std::unique_ptr<Bitmap> MakeDdb(int width, int height, int depth)
{
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPerPixel = depth;
    // A new bitmap holds black until drawn on, as a fresh DDB shows.
    bitmap->ddbPixels.assign(size_t(width) * size_t(height), 0);
    return bitmap;
}

}  // namespace

HDC KeepDc(std::unique_ptr<Dc> dc)
{
    System &s = Sys();
    dc->handle = reinterpret_cast<HDC>(s.nextHandle);
    s.nextHandle += 4;
    dc->bitmap = dc->kind == DcKind::Memory ? StockBitmap() : nullptr;
    dc->brush = StockBrush();
    dc->palette = StockPalette();
    if (dc->bitmap) dc->bitmap->selectedCount++;
    dc->brush->selectedCount++;
    dc->palette->selectedCount++;
    HDC h = dc->handle;
    s.dcs.Add(std::move(dc));
    return h;
}

std::unique_ptr<Dc> NewDc()
{
    auto &spare = Sys().spareDcs;
    if (spare.empty()) return std::make_unique<Dc>();
    auto dc = std::move(spare.back());
    spare.pop_back();
    return dc;
}

namespace {

void Deselect(GdiObject *object)
{
    if (object && object->selectedCount > 0) object->selectedCount--;
}

}  // namespace

void DiscardDc(HDC hdc)
{
    auto &s = Sys();
    std::unique_ptr<Dc> dc = s.dcs.Take(reinterpret_cast<uintptr_t>(hdc));
    if (!dc) return;
    Deselect(dc->bitmap);
    Deselect(dc->brush);
    Deselect(dc->palette);
    // A few are kept for reuse; more are never in use at once.
    constexpr size_t kMostSpare = 8;
    if (s.spareDcs.size() < kMostSpare) {
        *dc = Dc{};
        s.spareDcs.push_back(std::move(dc));
    }
}

HGDIOBJ HandleOf(const GdiObject *object) { return object ? object->handle : nullptr; }

Bitmap *StockBitmap()
{
    return StockObject<Bitmap>(stockBitmap, [] { return MakeDdb(1, 1, 1); });
}

Brush *StockBrush()
{
    return StockObject<Brush>(stockBrush, [] { return std::make_unique<Brush>(RGB(255, 255, 255)); });
}

Palette *StockPalette()
{
    return StockObject<Palette>(stockPalette, [] {
        auto palette = std::make_unique<Palette>();
        palette->entries = StaticPalette();
        return palette;
    });
}

void ResetGdi()
{
    System &s = Sys();
    s.dcs.Clear();
    s.objects.clear();
    stockBitmap = nullptr;
    stockBrush = nullptr;
    stockPalette = nullptr;
}

}  // namespace w32

using namespace w32;

/* ---- Device contexts ---- */

HDC WINAPI CreateCompatibleDC(HDC hdc)
{
    auto dc = NewDc();
    dc->kind = DcKind::Memory;
    dc->deviceDepth = Sys().screen.depth;
    if (hdc) {
        Dc *reference = FindDc(hdc);
        if (!reference) return nullptr;
        dc->deviceDepth = reference->deviceDepth;
        dc->printerDevice = reference->printerDevice;
        dc->deviceSize = reference->deviceSize;
    }
    return KeepDc(std::move(dc));
}

BOOL WINAPI DeleteDC(HDC hdc)
{
    Dc *dc = FindDc(hdc);
    if (!dc || dc->kind == DcKind::Window) return FALSE;
    DiscardDc(hdc);
    return TRUE;
}

HDC w32_create_printer_dc(int width, int height, SIZE windowExtent, SIZE viewportExtent)
{
    if (width <= 0 || height <= 0 || uint64_t(width) * uint64_t(height) > (uint64_t(1) << 28)) return nullptr;
    auto dc = NewDc();
    dc->kind = DcKind::Printer;
    dc->deviceDepth = 24;
    dc->printerDevice = true;
    dc->deviceSize = SIZE{width, height};
    dc->windowExt = windowExtent;
    dc->viewportExt = viewportExtent;
    dc->page = std::make_unique<PixelPlane>();
    dc->page->width = width;
    dc->page->height = height;
    dc->page->depth = 24;
    dc->page->readable = false;  // a printer cannot be read back
    const size_t count = size_t(width) * size_t(height);
    dc->page->Allocate(count);
    std::fill_n(dc->page->pixels.get(), count, RGB(255, 255, 255));
    return KeepDc(std::move(dc));
}

int WINAPI GetDeviceCaps(HDC hdc, int index)
{
    Dc *dc = FindDc(hdc);
    if (!dc) return 0;
    System &s = Sys();
    bool palette = !dc->printerDevice && dc->deviceDepth == 8;
    int dpi = dc->printerDevice ? 300 : 96;
    int width = dc->printerDevice ? dc->deviceSize.cx : s.screen.width;
    int height = dc->printerDevice ? dc->deviceSize.cy : s.screen.height;
    switch (index) {
    case DRIVERVERSION: return 0x400;
    case TECHNOLOGY: return dc->printerDevice ? DT_RASPRINTER : DT_RASDISPLAY;
    case HORZSIZE: return width * 254 / (dpi * 10);
    case VERTSIZE: return height * 254 / (dpi * 10);
    case HORZRES: return width;
    case VERTRES: return height;
    case BITSPIXEL: return dc->deviceDepth;
    case PLANES: return 1;
    case NUMCOLORS: return palette ? 20 : -1;
    case RASTERCAPS: return RC_BITBLT | RC_DI_BITMAP | RC_DIBTODEV | (palette ? RC_PALETTE : 0);
    case LOGPIXELSX:
    case LOGPIXELSY: return dpi;
    case SIZEPALETTE: return palette ? 256 : 0;
    case NUMRESERVED: return palette ? 20 : 0;
    case COLORRES: return palette ? 18 : 24;
    default: return 0;
    }
}

BOOL WINAPI GetWindowExtEx(HDC hdc, LPSIZE lpsize)
{
    Dc *dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (lpsize) *lpsize = dc->windowExt;
    return TRUE;
}

BOOL WINAPI GetViewportExtEx(HDC hdc, LPSIZE lpsize)
{
    Dc *dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (lpsize) *lpsize = dc->viewportExt;
    return TRUE;
}

/* ---- Bitmaps ---- */

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    Dc *dc = FindDc(hdc);
    if (!dc || cx < 0 || cy < 0) return nullptr;
    if (cx == 0 || cy == 0) return static_cast<HBITMAP>(HandleOf(Keep(MakeDdb(1, 1, 1))));
    if (uint64_t(cx) * uint64_t(cy) * 4 > kMaxBitmapBytes) return nullptr;
    int depth = dc->deviceDepth;
    if (dc->kind == DcKind::Memory && dc->bitmap) {
        // A memory DC makes bitmaps like the one selected into it: a fresh memory DC
        // holds the 1 x 1 monochrome bitmap, so its compatible bitmaps are monochrome.
        if (dc->bitmap->dib) {
            BITMAPINFO *info = static_cast<BITMAPINFO *>(
                operator new(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD)));
            info->bmiHeader = dc->bitmap->header;
            info->bmiHeader.biWidth = cx;
            info->bmiHeader.biHeight = dc->bitmap->topDown ? -cy : cy;
            info->bmiHeader.biSizeImage = 0;
            std::memcpy(info->bmiColors, dc->bitmap->colorTable.data(),
                        dc->bitmap->colorTable.size() * sizeof(RGBQUAD));
            void *bits = nullptr;
            HBITMAP made = CreateDIBSection(hdc, info, DIB_RGB_COLORS, &bits, nullptr, 0);
            operator delete(info);
            return made;
        }
        depth = dc->bitmap->bitsPerPixel;
    }
    return static_cast<HBITMAP>(HandleOf(Keep(MakeDdb(cx, cy, depth))));
}

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO *pbmi, UINT usage, VOID **ppvBits, HANDLE hSection,
                                DWORD offset)
{
    if (ppvBits) *ppvBits = nullptr;
    (void)offset;
    if (hdc && !FindDc(hdc)) return nullptr;
    // Supported: DIB_RGB_COLORS, BI_RGB, 1/8/16/24/32 bits, memory of our own.
    if (!pbmi || usage != DIB_RGB_COLORS || hSection) return nullptr;
    const BITMAPINFOHEADER &h = pbmi->bmiHeader;
    int bpp = h.biBitCount;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1 ||
        h.biCompression != BI_RGB || (bpp != 1 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32))
        return nullptr;
    int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
    int64_t stride = ((int64_t(h.biWidth) * bpp + 31) / 32) * 4;
    if (uint64_t(stride) * uint64_t(height) > kMaxBitmapBytes) return nullptr;
    auto bitmap = std::make_unique<Bitmap>();
    bitmap->dib = true;
    bitmap->width = h.biWidth;
    bitmap->height = int(height);
    bitmap->bitsPerPixel = bpp;
    bitmap->stride = int(stride);
    bitmap->topDown = h.biHeight < 0;
    bitmap->header = h;
    bitmap->header.biSize = sizeof(BITMAPINFOHEADER);
    bitmap->header.biSizeImage = DWORD(stride * height);
    if (bpp <= 8) {
        size_t colors = h.biClrUsed && h.biClrUsed < (1u << bpp) ? h.biClrUsed : (1u << bpp);
        const RGBQUAD *table =
            reinterpret_cast<const RGBQUAD *>(reinterpret_cast<const uint8_t *>(pbmi) + h.biSize);
        bitmap->colorTable.assign(table, table + colors);
    }
    bitmap->dibBits.assign(size_t(stride * height), 0);
    Bitmap *raw = Keep(std::move(bitmap));
    if (ppvBits) *ppvBits = raw->dibBits.data();
    return static_cast<HBITMAP>(HandleOf(raw));
}

/* ---- Objects ---- */

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h)
{
    Dc *dc = FindDc(hdc);
    GdiObject *object = FindObject(h);
    if (!dc || !object) return nullptr;
    switch (object->kind) {
    case ObjectKind::Brush: {
        Brush *old = dc->brush;
        Deselect(old);
        dc->brush = static_cast<Brush *>(object);
        object->selectedCount++;
        return HandleOf(old);
    }
    case ObjectKind::Bitmap: {
        auto *bitmap = static_cast<Bitmap *>(object);
        if (dc->kind != DcKind::Memory) return nullptr;
        if (bitmap == dc->bitmap) return h;
        // One DC at a time, and a device-dependent bitmap only on its own kind of device.
        if (bitmap->selectedCount > 0 && !bitmap->stock) return nullptr;
        if (!bitmap->dib && bitmap->bitsPerPixel != 1 && bitmap->bitsPerPixel != dc->deviceDepth) return nullptr;
        Bitmap *old = dc->bitmap;
        Deselect(old);
        dc->bitmap = bitmap;
        object->selectedCount++;
        return HandleOf(old);
    }
    case ObjectKind::Palette: return nullptr;  // palettes go through SelectPalette
    }
    return nullptr;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho)
{
    GdiObject *object = FindObject(ho);
    if (!object) return FALSE;
    if (object->stock) return TRUE;
    if (object->selectedCount > 0) return FALSE;  // still selected into a DC
    Sys().objects.erase(reinterpret_cast<uintptr_t>(ho));
    return TRUE;
}

DWORD WINAPI GetObjectType(HGDIOBJ h)
{
    if (const Dc *dc = Sys().dcs.Find(reinterpret_cast<uintptr_t>(h)))
        return dc->kind == DcKind::Memory ? OBJ_MEMDC : OBJ_DC;
    GdiObject *object = FindObject(h);
    if (!object) return 0;
    switch (object->kind) {
    case ObjectKind::Brush: return OBJ_BRUSH;
    case ObjectKind::Bitmap: return OBJ_BITMAP;
    case ObjectKind::Palette: return OBJ_PAL;
    }
    return 0;
}

HGDIOBJ WINAPI GetCurrentObject(HDC hdc, UINT type)
{
    Dc *dc = FindDc(hdc);
    if (!dc) return nullptr;
    switch (type) {
    case OBJ_BITMAP: return HandleOf(dc->bitmap);  // none for window and printer DCs
    case OBJ_BRUSH: return HandleOf(dc->brush);
    case OBJ_PAL: return HandleOf(dc->palette);
    default: return nullptr;
    }
}

int WINAPI GetObjectA(HANDLE h, int c, LPVOID pv)
{
    GdiObject *object = FindObject(h);
    if (!object) return 0;
    if (object->kind == ObjectKind::Palette) {
        if (!pv) return sizeof(WORD);
        if (c < int(sizeof(WORD))) return 0;
        *static_cast<WORD *>(pv) = WORD(static_cast<Palette *>(object)->entries.size());
        return sizeof(WORD);
    }
    if (object->kind != ObjectKind::Bitmap) return 0;
    auto *bitmap = static_cast<Bitmap *>(object);
    if (!pv) return bitmap->dib ? sizeof(DIBSECTION) : sizeof(BITMAP);
    BITMAP bm{};
    bm.bmWidth = bitmap->width;
    bm.bmHeight = bitmap->height;
    bm.bmWidthBytes = bitmap->dib ? bitmap->stride : ((bitmap->width * bitmap->bitsPerPixel + 15) / 16) * 2;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = WORD(bitmap->bitsPerPixel);
    bm.bmBits = bitmap->dib ? bitmap->dibBits.data() : nullptr;
    if (bitmap->dib && c >= int(sizeof(DIBSECTION))) {
        DIBSECTION ds{};
        ds.dsBm = bm;
        ds.dsBmih = bitmap->header;
        std::memcpy(pv, &ds, sizeof ds);
        return sizeof(DIBSECTION);
    }
    if (c < int(sizeof(BITMAP))) return 0;
    std::memcpy(pv, &bm, sizeof bm);
    return sizeof(BITMAP);
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color)
{
    return static_cast<HBRUSH>(HandleOf(Keep(std::make_unique<Brush>(color))));
}

/* ---- Palettes ---- */

HPALETTE WINAPI CreatePalette(const LOGPALETTE *plpal)
{
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0) return nullptr;
    auto palette = std::make_unique<Palette>();
    palette->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return static_cast<HPALETTE>(HandleOf(Keep(std::move(palette))));
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL bForceBkgd)
{
    (void)bForceBkgd;
    Dc *dc = FindDc(hdc);
    GdiObject *object = FindObject(hPal);
    if (!dc || !object || object->kind != ObjectKind::Palette) return nullptr;
    Palette *old = dc->palette;
    Deselect(old);
    dc->palette = static_cast<Palette *>(object);
    object->selectedCount++;
    return static_cast<HPALETTE>(HandleOf(old));
}

UINT WINAPI RealizePalette(HDC hdc)
{
    Dc *dc = FindDc(hdc);
    if (!dc) return GDI_ERROR;
    // Only a palette device maps entries into its hardware palette.
    if (dc->deviceDepth != 8 || dc->printerDevice || dc->palette->stock) return 0;
    size_t mapped = dc->palette->entries.size();
    return UINT(mapped < 236 ? mapped : 236);
}

UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries)
{
    GdiObject *object = FindObject(hpal);
    if (!object || object->kind != ObjectKind::Palette) return 0;
    const auto &entries = static_cast<Palette *>(object)->entries;
    if (!pPalEntries) return UINT(entries.size());
    UINT copied = 0;
    for (UINT i = iStart; i < entries.size() && copied < cEntries; ++i) pPalEntries[copied++] = entries[i];
    return copied;
}

BOOL WINAPI GdiFlush(void)
{
    // Drawing is never batched here: DIB memory is current as soon as a call returns.
    return TRUE;
}

int w32_live_gdi_objects(void)
{
    int live = 0;
    for (auto &entry : Sys().objects)
        if (!entry.second->stock) ++live;
    return live;
}

int w32_live_dcs(void) { return int(Sys().dcs.Size()); }
