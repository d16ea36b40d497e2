#include "antialias.h"

#include <cstdint>
#include <cstring>

#include "plugin_instance.h"
#include "render_cache.h"

namespace {

// Rows of a DIB are padded to a multiple of 4 bytes.
LONG DibRowSize(LONG width, int depth) { return ((width * depth + 31) / 32) * 4; }

// The sum of the four bytes of one channel, for the pixel pair at top and bottom.
inline unsigned SumChannel(const BYTE* top, const BYTE* bottom, int channel) {
    return unsigned(top[channel] + top[3 + channel] + bottom[channel] + bottom[3 + channel]);
}

// Two neighbouring blocks at once: each 64-bit lane holds the eight bytes from the
// start of one pair of source pixels (six of them used), and the sums run in 16-bit
// lanes of even and odd bytes, so that nothing overflows. Each lane gives the BGRX
// pixel (fourth byte 0) of its block in its low 32 bits. Reads eight bytes at 6 and
// 12 bytes after the first pixel of each row, two past the second block.
typedef uint64_t LanePair __attribute__((vector_size(16)));

inline void AverageTwoBlocks(const BYTE* top, const BYTE* bottom, uint32_t pixels[2]) {
    uint64_t words[4];
    std::memcpy(&words[0], top, 8);
    std::memcpy(&words[1], top + 6, 8);
    std::memcpy(&words[2], bottom, 8);
    std::memcpy(&words[3], bottom + 6, 8);
    const LanePair a = {words[0], words[1]}, c = {words[2], words[3]};
    const LanePair lanes = {0x00FF00FF00FF00FFull, 0x00FF00FF00FF00FFull};
    const LanePair even = (a & lanes) + (c & lanes);               // bytes 0, 2, 4, 6
    const LanePair odd = ((a >> 8) & lanes) + ((c >> 8) & lanes);  // bytes 1, 3, 5, 7
    const LanePair blueRed = even + (odd >> 16);  // lane 0: bytes 0 + 3, lane 1: bytes 2 + 5
    const LanePair green = odd + (even >> 32);    // lane 0: bytes 1 + 4
    const LanePair blueRedMask = {0x00FF00FFull, 0x00FF00FFull}, greenMask = {0xFF00ull, 0xFF00ull};
    const LanePair result = ((blueRed >> 2) & blueRedMask) | ((green << 6) & greenMask);
    pixels[0] = uint32_t(result[0]);
    pixels[1] = uint32_t(result[1]);
}

// One cache row of count pixels from two supersampled rows. The paired sums stop
// while three blocks remain, so that no read passes the last source pixel.
void AverageRow24(const BYTE* top, const BYTE* bottom, BYTE* out, LONG count) {
    LONG x = 0;
    for (; x + 4 < count; x += 4) {
        uint32_t first[2], second[2];
        AverageTwoBlocks(top + 6 * x, bottom + 6 * x, first);
        AverageTwoBlocks(top + 6 * x + 12, bottom + 6 * x + 12, second);
        // Four BGR pixels packed into twelve bytes.
        const uint64_t low = uint64_t(first[0]) | (uint64_t(first[1]) << 24) | (uint64_t(second[0]) << 48);
        const uint32_t high = (second[0] >> 16) | (second[1] << 8);
        std::memcpy(out + 3 * x, &low, 8);
        std::memcpy(out + 3 * x + 8, &high, 4);
    }
    for (; x < count; ++x)
        for (int channel = 0; channel < 3; ++channel)
            out[3 * x + channel] = BYTE(SumChannel(top + 6 * x, bottom + 6 * x, channel) >> 2);
}

// The same for a BGRX cache: the fourth byte of each pixel is unused and written as 0.
void AverageRow32(const BYTE* top, const BYTE* bottom, BYTE* out, LONG count) {
    LONG x = 0;
    for (; x + 2 < count; x += 2) {
        uint32_t pixels[2];
        AverageTwoBlocks(top + 6 * x, bottom + 6 * x, pixels);
        std::memcpy(out + 4 * x, pixels, 8);
    }
    for (; x < count; ++x) {
        for (int channel = 0; channel < 3; ++channel)
            out[4 * x + channel] = BYTE(SumChannel(top + 6 * x, bottom + 6 * x, channel) >> 2);
        out[4 * x + 3] = 0;
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

bool Downsample2xReference(const BYTE* source, BYTE* destination, int destinationDepth, LONG width, LONG height,
                           const RECT& region) {
    if (source == nullptr || destination == nullptr || width <= 0 || height <= 0) return false;
    if (destinationDepth != 24 && destinationDepth != 32) return false;
    const LONG left = region.left < 0 ? 0 : region.left, top = region.top < 0 ? 0 : region.top;
    const LONG right = region.right > width ? width : region.right;
    const LONG bottom = region.bottom > height ? height : region.bottom;
    if (right <= left || bottom <= top) return false;
    const LONG sourceRow = DibRowSize(2 * width, 24), destinationRow = DibRowSize(width, destinationDepth);
    const LONG pixelBytes = destinationDepth / 8;
    // Byte b of image pixel (x, y) of a bottom-up image h rows high.
    auto sourceByte = [&](LONG x, LONG y, int b) { return source[size_t(2 * height - 1 - y) * sourceRow + 3 * x + b]; };
    for (LONG y = top; y < bottom; ++y) {
        for (LONG x = left; x < right; ++x) {
            BYTE* out = destination + size_t(height - 1 - y) * destinationRow + pixelBytes * x;
            for (int b = 0; b < 3; ++b) {
                const unsigned sum = sourceByte(2 * x, 2 * y, b) + sourceByte(2 * x + 1, 2 * y, b) +
                                     sourceByte(2 * x, 2 * y + 1, b) + sourceByte(2 * x + 1, 2 * y + 1, b);
                out[b] = BYTE(sum / 4);
            }
            if (pixelBytes == 4) out[3] = 0;
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
