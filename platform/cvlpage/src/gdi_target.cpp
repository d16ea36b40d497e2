#include "gdi_target.h"

#include <algorithm>
#include <cstring>

namespace cvl {

namespace {

// Large targets such as printer pages are painted in bands to bound the memory used.
constexpr int kBandPixels = 1 << 20;

class MemoryDC {
public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    virtual ~MemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

class DibSection {
public:
    DibSection(HDC dc, int width, int height) {
        BITMAPINFO info;
        std::memset(&info, 0, sizeof info);
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // bottom-up, as every DIB reader accepts
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    }
    virtual ~DibSection() {
        if (bitmap_) DeleteObject(bitmap_);
    }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;
    HBITMAP get() const { return bitmap_; }
    uint32_t* bits() const { return static_cast<uint32_t*>(bits_); }

private:
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
};

class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    virtual ~Selection() {
        if (previous_) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    bool ok() const { return previous_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

bool PaintBand(HDC dc, const PixelRect& band, Scene& scene, const RenderOptions& options, bool unreadable) {
    const int width = band.right - band.left, height = band.bottom - band.top;
    MemoryDC memory(dc);
    if (!memory.get()) return false;
    DibSection dib(memory.get(), width, height);
    if (!dib.get() || !dib.bits()) return false;
    Selection selected(memory.get(), dib.get());
    if (!selected.ok()) return false;
    if (unreadable || !BitBlt(memory.get(), 0, 0, width, height, dc, band.left, band.top, SRCCOPY))
        std::memset(dib.bits(), 0xFF, static_cast<size_t>(width) * height * 4);
    GdiFlush();  // the bits are about to be written directly
    Canvas canvas;
    // Rows are stored bottom-up: the top row of the band is the last one in memory.
    canvas.pixels = dib.bits() + static_cast<ptrdiff_t>(height - 1) * width;
    canvas.stride = -static_cast<ptrdiff_t>(width);
    canvas.area = band;
    canvas.clip = band;
    scene.Render(canvas, options);
    return BitBlt(dc, band.left, band.top, width, height, memory.get(), 0, 0, SRCCOPY) != 0;
}

// A DC whose bitmap is a 24- or 32-bit DIB section is painted in the section's own
// memory: what a copy out, a render and a copy back would leave there, without the
// copies. False when the DC holds no such bitmap.
bool PaintIntoDibSection(HDC dc, const PixelRect& clip, Scene& scene, const RenderOptions& options) {
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DIBSECTION section;
    if (!bitmap || GetObject(bitmap, sizeof section, &section) != static_cast<int>(sizeof section)) return false;
    const BITMAP& bm = section.dsBm;
    if (!bm.bmBits || (bm.bmBitsPixel != 24 && bm.bmBitsPixel != 32) || section.dsBmih.biCompression != BI_RGB)
        return false;
    const PixelRect area = clip.Intersect(PixelRect{0, 0, bm.bmWidth, bm.bmHeight});
    if (area.Empty()) return true;
    GdiFlush();  // the bits are about to be written directly
    // Image row y of a bottom-up section is stored row height - 1 - y.
    const bool topDown = section.dsBmih.biHeight < 0;
    uint8_t* firstRow = static_cast<uint8_t*>(bm.bmBits) +
                        static_cast<ptrdiff_t>(topDown ? 0 : bm.bmHeight - 1) * bm.bmWidthBytes;
    const ptrdiff_t rowStep = topDown ? bm.bmWidthBytes : -static_cast<ptrdiff_t>(bm.bmWidthBytes);
    Canvas canvas;
    canvas.area = PixelRect{0, 0, bm.bmWidth, bm.bmHeight};
    canvas.clip = area;
    if (bm.bmBitsPixel == 32) {
        canvas.pixels = reinterpret_cast<uint32_t*>(firstRow);
        canvas.stride = rowStep / 4;
    } else {
        canvas.bgr = firstRow;
        canvas.bgrStride = rowStep;
    }
    scene.Render(canvas, options);
    return true;
}

}  // namespace

bool PaintIntoDC(HDC dc, const PixelRect& clip, Scene& scene, const RenderOptions& options, bool unreadable) {
    if (clip.Empty()) return true;
    if (!unreadable && PaintIntoDibSection(dc, clip, scene, options)) return true;
    const int width = clip.right - clip.left;
    const int bandRows = std::max(1, kBandPixels / width);
    bool ok = true;
    for (int32_t top = clip.top; top < clip.bottom; top += bandRows) {
        PixelRect band{clip.left, top, clip.right, std::min(clip.bottom, top + bandRows)};
        ok = PaintBand(dc, band, scene, options, unreadable) && ok;
    }
    return ok;
}

}  // namespace cvl
