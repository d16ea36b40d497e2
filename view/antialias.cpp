#include "antialias.h"

#include <cstdint>
#include <cstring>

#include "plugin_instance.h"
#include "render_cache.h"

namespace {

// Rows of a DIB are padded to a multiple of 4 bytes.
LONG DibRowSize(LONG width, int depth) { return ((width * depth + 31) / 32) * 4; }

// Three blocks at a time, from 16-byte vectors of 8 16-bit words. A vector loaded at
// the start of a pixel pair holds the pairs of three blocks at bytes 0, 6 and 12, and
// one loaded three bytes on holds their right-hand pixels at the same places, so the
// four bytes of each mean sit at one place of the four vectors loaded from the two
// rows. Their sum needs 10 bits: the odd bytes of each word are summed apart, shifted
// down, and the even ones are what remains of the sum of whole words.
// Vectors pass by reference: 32-bit x86 without SSE has no ABI for them by value.
typedef uint16_t Words __attribute__((vector_size(16)));
typedef uint32_t Pixels __attribute__((vector_size(16)));

inline void Load(const BYTE* from, Words& words) { std::memcpy(&words, from, 16); }

// The means of the three blocks whose pixel pairs start at top and bottom, 6 and 12
// bytes on: bytes 0-2, 6-8 and 12-14 of means. Bytes 3, 9 and 15 are 0, the others
// unused. Reads 19 bytes of each row.
inline void ThreeBlocks(const BYTE* top, const BYTE* bottom, Words& means) {
    Words a, b, c, d;
    Load(top, a);
    Load(bottom, b);
    Load(top + 3, c);
    Load(bottom + 3, d);
    const Words odd = (a >> 8) + (b >> 8) + (c >> 8) + (d >> 8);
    // The sum of whole words carries the even sums into the odd bytes, and wraps;
    // taking the odd sums away leaves the even ones exactly.
    const Words even = a + b + c + d - (odd << 8);
    const Words keptOdd = {0xFF00, 0, 0xFF00, 0xFF00, 0, 0xFF00, 0xFF00, 0};
    means = (even >> 2) | ((odd << 6) & keptOdd);
}

// Whole-vector shifts by bytes, in words so that they stay single instructions.
inline void DropBytes6(const Words& from, Words& to) {
    const Words zero = {};
    to = __builtin_shufflevector(from, zero, 3, 4, 5, 6, 7, 8, 8, 8);
}
inline void DropBytes12(const Words& from, Words& to) {
    const Words zero = {};
    to = __builtin_shufflevector(from, zero, 6, 7, 8, 8, 8, 8, 8, 8);
}

// Writes the three means as BGRX pixels, and 4 more bytes that the next step overwrites.
inline void StoreThree32(const Words& means, BYTE* out) {
    Words shifted;
    DropBytes6(means, shifted);
    const Pixels first = Pixels(means), second = Pixels(shifted);
    const Pixels firstTwo = __builtin_shufflevector(first, second, 0, 4, 1, 5);
    const Pixels pixels = __builtin_shufflevector(firstTwo, first, 0, 1, 7, 7);
    std::memcpy(out, &pixels, 16);
}

// Writes the means of four steps, 18 source bytes apart, as twelve BGRX pixels in
// three whole vectors, with fewer and wider writes than four single steps.
inline void StoreTwelve32(const Words& first, const Words& second, const Words& third, const Words& fourth,
                          BYTE* out) {
    Words shifted[4];
    DropBytes6(first, shifted[0]);
    DropBytes6(second, shifted[1]);
    DropBytes6(third, shifted[2]);
    DropBytes6(fourth, shifted[3]);
    // Of each step, pixels 0 and 2 are 32-bit words 0 and 3 of its means, pixel 1 is
    // word 0 of its shifted means.
    const Pixels m0 = Pixels(first), m1 = Pixels(second), m2 = Pixels(third), m3 = Pixels(fourth);
    const Pixels s0 = Pixels(shifted[0]), s1 = Pixels(shifted[1]), s2 = Pixels(shifted[2]), s3 = Pixels(shifted[3]);
    const Pixels pixels[3] = {
        __builtin_shufflevector(__builtin_shufflevector(m0, s0, 0, 4, 1, 5),
                                __builtin_shufflevector(m0, m1, 3, 3, 4, 4), 0, 1, 4, 6),
        __builtin_shufflevector(__builtin_shufflevector(s1, m1, 0, 0, 7, 7),
                                __builtin_shufflevector(m2, s2, 0, 4, 1, 5), 0, 2, 4, 5),
        __builtin_shufflevector(__builtin_shufflevector(m2, m3, 3, 3, 4, 4),
                                __builtin_shufflevector(s3, m3, 0, 0, 7, 7), 0, 2, 4, 6),
    };
    std::memcpy(out, pixels, 48);
}

// Writes the three means as BGR pixels, and 5 more bytes that the next step overwrites.
inline void StoreThree24(const Words& means, BYTE* out) {
    Words second, third;
    DropBytes6(means, second);
    DropBytes12(means, third);
    std::memcpy(out, &means, 8);
    std::memcpy(out + 3, &second, 8);
    std::memcpy(out + 6, &third, 8);
}

// Past the caches the rows arrive from memory more slowly than they are averaged;
// asking for the bytes this far ahead of the reads keeps enough of them on the way.
// Only hints: they never fault, and stop at the last byte that the row reads.
const LONG kPrefetchDistance = 1024;

inline void PrefetchAhead(const BYTE* top, const BYTE* bottom, LONG at, LONG end) {
    const LONG ahead = at + kPrefetchDistance < end ? at + kPrefetchDistance : end - 1;
    __builtin_prefetch(top + ahead);
    __builtin_prefetch(bottom + ahead);
}

// The first bytes of a row pair, which the reads within the row ask for too late:
// asked for while the row pair before is averaged, they have arrived when it starts.
inline void PrefetchRowStart(const BYTE* top, const BYTE* bottom, LONG end) {
    const LONG kCacheLine = 64;
    for (LONG at = 0; at < kPrefetchDistance && at < end; at += kCacheLine) {
        __builtin_prefetch(top + at);
        __builtin_prefetch(bottom + at);
    }
}

// The same mean for one block, one byte at a time, for the ends of rows.
inline BYTE AverageChannel(const BYTE* top, const BYTE* bottom, int channel) {
    return BYTE(unsigned(top[channel] + top[3 + channel] + bottom[channel] + bottom[3 + channel]) >> 2);
}

// One cache row of count pixels of pixelBytes bytes from two supersampled rows.
// Each three-block step reads one pixel pair past its blocks and writes up to 5
// bytes past them, so steps stop while more than four blocks remain; four steps
// share one prefetch.
template <int pixelBytes>
void AverageRow(const BYTE* top, const BYTE* bottom, BYTE* out, LONG count) {
    auto store = [&](const Words& means, LONG x) {
        if (pixelBytes == 4) {
            StoreThree32(means, out + 4 * x);
        } else {
            StoreThree24(means, out + 3 * x);
        }
    };
    LONG x = 0;
    for (; x + 13 < count; x += 12) {
        PrefetchAhead(top, bottom, 6 * x, 6 * count);
        const BYTE* upper = top + 6 * x;
        const BYTE* lower = bottom + 6 * x;
        Words first, second, third, fourth;
        ThreeBlocks(upper, lower, first);
        ThreeBlocks(upper + 18, lower + 18, second);
        ThreeBlocks(upper + 36, lower + 36, third);
        ThreeBlocks(upper + 54, lower + 54, fourth);
        if (pixelBytes == 4) {
            StoreTwelve32(first, second, third, fourth, out + 4 * x);
        } else {
            store(first, x);
            store(second, x + 3);
            store(third, x + 6);
            store(fourth, x + 9);
        }
    }
    for (; x + 4 < count; x += 3) {
        Words means;
        ThreeBlocks(top + 6 * x, bottom + 6 * x, means);
        store(means, x);
    }
    for (; x < count; ++x) {
        for (int channel = 0; channel < 3; ++channel)
            out[pixelBytes * x + channel] = AverageChannel(top + 6 * x, bottom + 6 * x, channel);
        if (pixelBytes == 4) out[4 * x + 3] = 0;
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
    // They are averaged from the bottom, in the order of memory, so that the reads of
    // one row pair run on into those of the next.
    auto upperRow = [&](LONG y) { return source + size_t(2 * height - 1 - 2 * y) * sourceRow + 6 * left; };
    auto lowerRow = [&](LONG y) { return source + size_t(2 * height - 2 - 2 * y) * sourceRow + 6 * left; };
    // Rows no longer than the prefetch distance belong to a small region, which the
    // render has just left in the caches: asking for them again only costs time.
    const bool longRows = 6 * count > kPrefetchDistance;
    for (LONG y = bottom - 1; y >= top; --y) {
        const BYTE* upper = upperRow(y);
        const BYTE* lower = lowerRow(y);
        if (y > top && longRows) PrefetchRowStart(upperRow(y - 1), lowerRow(y - 1), 6 * count);
        BYTE* out = destination + size_t(height - 1 - y) * destinationRow + pixelBytes * left;
        if (destinationDepth == 24) {
            AverageRow<3>(upper, lower, out, count);
        } else {
            AverageRow<4>(upper, lower, out, count);
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
