#include "antialias.h"

#include <cstdint>
#include <cstring>

#include "plugin_instance.h"
#include "render_cache.h"

namespace {

// Rows of a DIB are padded to a multiple of 4 bytes.
LONG DibRowSize(LONG width, int depth) { return ((width * depth + 31) / 32) * 4; }

uint64_t Load64(const BYTE* p) {
    uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

// Sums of the blue, green and red bytes of the two horizontally adjacent pixels at
// top and bottom (four pixels in all). Eight bytes are read from each row, two past
// the pair, so callers use it only where those bytes belong to the row.
struct BlockSums {
    unsigned blue, green, red;
};

inline BlockSums SumBlockWide(const BYTE* top, const BYTE* bottom) {
    // Even and odd bytes of both rows go into 16-bit lanes, so nothing overflows:
    // lanes of `even` hold bytes 0, 2, 4, 6 and lanes of `odd` bytes 1, 3, 5, 7.
    const uint64_t lanes = 0x00FF00FF00FF00FFull;
    uint64_t a = Load64(top), b = Load64(bottom);
    uint64_t even = (a & lanes) + (b & lanes);
    uint64_t odd = ((a >> 8) & lanes) + ((b >> 8) & lanes);
    uint64_t blueRed = even + (odd >> 16);  // lane 0: bytes 0 + 3, lane 1: bytes 2 + 5
    uint64_t green = odd + (even >> 32);    // lane 0: bytes 1 + 4
    return {unsigned(blueRed & 0xFFFF), unsigned(green & 0xFFFF), unsigned((blueRed >> 16) & 0xFFFF)};
}

inline BlockSums SumBlock(const BYTE* top, const BYTE* bottom) {
    return {unsigned(top[0] + top[3] + bottom[0] + bottom[3]), unsigned(top[1] + top[4] + bottom[1] + bottom[4]),
            unsigned(top[2] + top[5] + bottom[2] + bottom[5])};
}

// One cache row of count pixels from two supersampled rows. The wide sums stop one
// pixel short of the end so that no read passes the last source pixel.
void AverageRow24(const BYTE* top, const BYTE* bottom, BYTE* out, LONG count) {
    LONG x = 0;
    for (; x + 1 < count; ++x) {
        BlockSums s = SumBlockWide(top + 6 * x, bottom + 6 * x);
        BYTE* d = out + 3 * x;
        d[0] = BYTE(s.blue >> 2);
        d[1] = BYTE(s.green >> 2);
        d[2] = BYTE(s.red >> 2);
    }
    for (; x < count; ++x) {
        BlockSums s = SumBlock(top + 6 * x, bottom + 6 * x);
        BYTE* d = out + 3 * x;
        d[0] = BYTE(s.blue >> 2);
        d[1] = BYTE(s.green >> 2);
        d[2] = BYTE(s.red >> 2);
    }
}

// The same for a BGRX cache: the fourth byte of each pixel is unused and written as 0.
void AverageRow32(const BYTE* top, const BYTE* bottom, BYTE* out, LONG count) {
    LONG x = 0;
    for (; x + 1 < count; ++x) {
        BlockSums s = SumBlockWide(top + 6 * x, bottom + 6 * x);
        uint32_t pixel = (s.blue >> 2) | ((s.green >> 2) << 8) | ((s.red >> 2) << 16);
        std::memcpy(out + 4 * x, &pixel, sizeof pixel);
    }
    for (; x < count; ++x) {
        BlockSums s = SumBlock(top + 6 * x, bottom + 6 * x);
        BYTE* d = out + 4 * x;
        d[0] = BYTE(s.blue >> 2);
        d[1] = BYTE(s.green >> 2);
        d[2] = BYTE(s.red >> 2);
        d[3] = 0;
    }
}

}  // namespace

bool Downsample2x(const BYTE* source, BYTE* destination, int destinationDepth, LONG width, LONG height,
                  const RECT& region) {
    if (source == nullptr || destination == nullptr || width <= 0 || height <= 0) return false;
    if (destinationDepth != 24 && destinationDepth != 32) return false;
    // Only pixels of the cache can be written, whatever region the caller asked for.
    LONG left = region.left < 0 ? 0 : region.left;
    LONG top = region.top < 0 ? 0 : region.top;
    LONG right = region.right > width ? width : region.right;
    LONG bottom = region.bottom > height ? height : region.bottom;
    if (right <= left || bottom <= top) return false;

    const LONG sourceRow = DibRowSize(2 * width, 24);
    const LONG destinationRow = DibRowSize(width, destinationDepth);
    const LONG pixelBytes = destinationDepth / 8;
    const LONG count = right - left;
    // Rows are stored bottom-up: image row y of an image h rows high is stored row h - 1 - y.
    for (LONG y = top; y < bottom; ++y) {
        const BYTE* upper = source + size_t(2 * height - 1 - 2 * y) * sourceRow + 6 * left;
        const BYTE* lower = source + size_t(2 * height - 2 - 2 * y) * sourceRow + 6 * left;
        BYTE* out = destination + size_t(height - 1 - y) * destinationRow + pixelBytes * left;
        if (destinationDepth == 24) {
            AverageRow24(upper, lower, out, count);
        } else {
            AverageRow32(upper, lower, out, count);
        }
    }
    return true;
}

void RenderAntialiased(InstanceData* data, LONG width, LONG height) {
    if (!data->superDC) data->superDC.reset(CreateCompatibleDC(nullptr));
    if (!data->superDC) return;
    if (data->cacheBitmap && !data->superBitmap) {
        data->superBitmap.reset(CreateDib(24, 2 * data->cacheWidth, 2 * data->cacheHeight, nullptr, &data->superBits));
    }
    if (!data->cacheBitmap || !data->superBitmap) return;

    HDC dc = data->superDC.get();
    HGDIOBJ previous = SelectObject(dc, data->superBitmap.get());
    const RECT region = {data->dirtyRect.left, data->dirtyRect.top, data->dirtyRect.left + width,
                         data->dirtyRect.top + height};
    const RECT update = {2 * region.left, 2 * region.top, 2 * region.right, 2 * region.bottom};
    const RECT page = {0, 0, 2 * data->cacheWidth, 2 * data->cacheHeight};
    FillRect(dc, &update, data->backgroundBrush.get());
    DrawPage(data->drawing, dc, &page, &update, CVL_ALL_LAYERS, CVL_MODE_RENDER, CacheRenderFlags(data), CVL_ZOOM_FIT);
    data->cacheDrawn = 1;
    GdiFlush();
    // The pixels are written in the cache's own layout, which is the display depth
    // it was made at; a display that changed depth since then must not change it.
    Downsample2x(static_cast<const BYTE*>(data->superBits), static_cast<BYTE*>(data->cacheBits),
                 CacheDepth(data), data->cacheWidth, data->cacheHeight, region);
    SelectObject(dc, previous);
}
