#include "antialias.h"

#include <cstdint>
#include <cstring>

#include "plugin_instance.h"
#include "render_cache.h"

namespace {

// Rows of a DIB are padded to a multiple of 4 bytes.
LONG DibRowSize(LONG width, int depth) { return ((width * depth + 31) / 32) * 4; }

// Each 64-bit lane holds the eight bytes from the start of one pair of source
// pixels, six of them used. The truncated mean of four bytes is the sum of their
// top six bits plus a quarter of the sum of their low two bits; neither sum can
// carry into the next byte, so whole lanes are added at once. Reads eight bytes
// from the start of each pixel pair, two past its end.
typedef uint64_t LanePair __attribute__((vector_size(16)));
typedef uint32_t FourWords __attribute__((vector_size(16)));

// Vectors pass by reference: 32-bit x86 without SSE has no ABI for them by value.
inline void LoadLanes(const BYTE* first, const BYTE* second, LanePair& lanes) {
    uint64_t words[2];
    std::memcpy(&words[0], first, 8);
    std::memcpy(&words[1], second, 8);
    lanes = LanePair{words[0], words[1]};
}

// The block means of the pixel pairs at first and second of the top row and the
// same places of the bottom row: the BGR pixel of each block in the low three
// bytes of its lane, the rest 0.
inline void AverageBlocks(const BYTE* top, const BYTE* bottom, LONG first, LONG second, LanePair& means) {
    LanePair a, c;
    LoadLanes(top + first, top + second, a);
    LoadLanes(bottom + first, bottom + second, c);
    const LanePair highBits = {0x3F3F3F3F3F3F3F3Full, 0x3F3F3F3F3F3F3F3Full};
    const LanePair lowBits = {0x0303030303030303ull, 0x0303030303030303ull};
    const LanePair high = ((a >> 2) & highBits) + ((c >> 2) & highBits);
    const LanePair low = (a & lowBits) + (c & lowBits);
    // Each byte of a pixel and the same byte of its right neighbour, three bytes on.
    const LanePair highSum = high + (high >> 24), lowSum = low + (low >> 24);
    const LanePair pixel = {0xFFFFFFull, 0xFFFFFFull};
    means = (highSum + ((lowSum >> 2) & lowBits)) & pixel;
}

// The same mean for one block, one byte at a time, for the ends of rows.
inline BYTE AverageChannel(const BYTE* top, const BYTE* bottom, int channel) {
    return BYTE(unsigned(top[channel] + top[3 + channel] + bottom[channel] + bottom[3 + channel]) >> 2);
}

// One cache row of count pixels from two supersampled rows. The four-block steps
// stop while a further block remains, so that no read passes the last source pixel.
void AverageRow24(const BYTE* top, const BYTE* bottom, BYTE* out, LONG count) {
    LONG x = 0;
    for (; x + 4 < count; x += 4) {
        const LONG at = 6 * x;
        // Blocks 0 and 2 in one pair of lanes, 1 and 3 in the other, so that each
        // lane packs two neighbouring pixels into its low six bytes.
        LanePair evenBlocks, oddBlocks;
        AverageBlocks(top, bottom, at, at + 12, evenBlocks);
        AverageBlocks(top, bottom, at + 6, at + 18, oddBlocks);
        const LanePair pairs = evenBlocks | (oddBlocks << 24);
        const uint64_t low = pairs[0] | (pairs[1] << 48);
        const uint32_t high = uint32_t(pairs[1] >> 16);
        std::memcpy(out + 3 * x, &low, 8);
        std::memcpy(out + 3 * x + 8, &high, 4);
    }
    for (; x < count; ++x)
        for (int channel = 0; channel < 3; ++channel)
            out[3 * x + channel] = AverageChannel(top + 6 * x, bottom + 6 * x, channel);
}

// The same for a BGRX cache: the fourth byte of each pixel is unused and written as 0.
void AverageRow32(const BYTE* top, const BYTE* bottom, BYTE* out, LONG count) {
    LONG x = 0;
    for (; x + 4 < count; x += 4) {
        const LONG at = 6 * x;
        LanePair first, second;
        AverageBlocks(top, bottom, at, at + 6, first);
        AverageBlocks(top, bottom, at + 12, at + 18, second);
        const FourWords pixels = __builtin_shufflevector(FourWords(first), FourWords(second), 0, 2, 4, 6);
        std::memcpy(out + 4 * x, &pixels, 16);
    }
    for (; x < count; ++x) {
        for (int channel = 0; channel < 3; ++channel)
            out[4 * x + channel] = AverageChannel(top + 6 * x, bottom + 6 * x, channel);
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
