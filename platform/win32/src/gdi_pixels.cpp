// Pixel formats: DIB sections in Win32's exact memory layout, device-dependent bitmaps
// and the screen at the display depth, colour matching for palette devices.
#include "system.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace w32 {

const std::vector<PALETTEENTRY> &StaticPalette()
{
    // The twenty colours a palette device reserves (the default palette).
    static const std::vector<PALETTEENTRY> colors = {
        {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
        {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
        {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
        {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
    };
    return colors;
}

COLORREF Nearest(COLORREF rgb, const std::vector<PALETTEENTRY> &palette)
{
    if (palette.empty()) return rgb & 0xFFFFFF;
    int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    long best = LONG_MAX;
    COLORREF chosen = 0;
    for (const PALETTEENTRY &e : palette) {
        long dr = r - e.peRed, dg = g - e.peGreen, db = b - e.peBlue;
        long d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            chosen = RGB(e.peRed, e.peGreen, e.peBlue);
        }
    }
    return chosen;
}

COLORREF Quantize(COLORREF rgb, int depth, const std::vector<PALETTEENTRY> &palette)
{
    rgb &= 0xFFFFFF;
    switch (depth) {
    case 1: return rgb == 0xFFFFFF ? rgb : 0;  // only the background colour stays white
    case 8: return Nearest(rgb, palette);
    case 16: return RGB(GetRValue(rgb) & 0xF8, GetGValue(rgb) & 0xFC, GetBValue(rgb) & 0xF8);  // 5-6-5
    default: return rgb;
    }
}

uint8_t *Bitmap::Row(int y)
{
    int row = topDown ? y : height - 1 - y;
    return dibBits.data() + size_t(row) * size_t(stride);
}

const uint8_t *Bitmap::Row(int y) const { return const_cast<Bitmap *>(this)->Row(y); }

namespace {

COLORREF FromTable(const std::vector<RGBQUAD> &table, unsigned index)
{
    if (index >= table.size()) return 0;
    const RGBQUAD &q = table[index];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

unsigned NearestIndex(const std::vector<RGBQUAD> &table, COLORREF rgb)
{
    int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    long best = LONG_MAX;
    unsigned chosen = 0;
    for (unsigned i = 0; i < table.size(); ++i) {
        long dr = r - table[i].rgbRed, dg = g - table[i].rgbGreen, db = b - table[i].rgbBlue;
        long d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            chosen = i;
        }
    }
    return chosen;
}

}  // namespace

COLORREF Bitmap::Get(int x, int y) const
{
    if (!dib) return ddbPixels[size_t(y) * size_t(width) + size_t(x)];
    const uint8_t *row = Row(y);
    switch (bitsPerPixel) {
    case 1: return FromTable(colorTable, (row[x / 8] >> (7 - x % 8)) & 1);
    case 8: return FromTable(colorTable, row[x]);
    case 16: {
        unsigned v = row[2 * x] | (row[2 * x + 1] << 8);  // x1555
        return RGB(((v >> 10) & 31) << 3, ((v >> 5) & 31) << 3, (v & 31) << 3);
    }
    case 24: return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: return RGB(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

void Bitmap::Set(int x, int y, COLORREF rgb, const std::vector<PALETTEENTRY> &palette)
{
    if (!dib) {
        ddbPixels[size_t(y) * size_t(width) + size_t(x)] = Quantize(rgb, bitsPerPixel, palette);
        return;
    }
    uint8_t *row = Row(y);
    BYTE r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
    switch (bitsPerPixel) {
    case 1: {
        unsigned bit = NearestIndex(colorTable, rgb) & 1;
        uint8_t mask = uint8_t(0x80 >> (x % 8));
        row[x / 8] = bit ? uint8_t(row[x / 8] | mask) : uint8_t(row[x / 8] & ~mask);
        break;
    }
    case 8: row[x] = uint8_t(NearestIndex(colorTable, rgb)); break;
    case 16: {
        unsigned v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
        row[2 * x] = uint8_t(v);
        row[2 * x + 1] = uint8_t(v >> 8);
        break;
    }
    case 24:
        row[3 * x] = b;
        row[3 * x + 1] = g;
        row[3 * x + 2] = r;
        break;
    default:
        row[4 * x] = b;
        row[4 * x + 1] = g;
        row[4 * x + 2] = r;
        row[4 * x + 3] = 0;
        break;
    }
}

void PixelPlane::Set(int x, int y, COLORREF rgb, const std::vector<PALETTEENTRY> &palette)
{
    pixels[size_t(y) * size_t(width) + size_t(x)] = Quantize(rgb, depth, palette);
    Touch(x, y, 1);
}

/* ---- Spans: the general form pixel by pixel, fast forms for the common formats ---- */

void Surface::ReadSpan(int x, int y, int count, COLORREF *out) const
{
    for (int i = 0; i < count; ++i) out[i] = Get(x + i, y);
}

void Surface::WriteSpan(int x, int y, int count, const COLORREF *in, const std::vector<PALETTEENTRY> &palette)
{
    for (int i = 0; i < count; ++i) Set(x + i, y, in[i], palette);
}

void Surface::FillSpan(int x, int y, int count, COLORREF rgb, const std::vector<PALETTEENTRY> &palette)
{
    for (int i = 0; i < count; ++i) Set(x + i, y, rgb, palette);
}

void PixelPlane::ReadSpan(int x, int y, int count, COLORREF *out) const
{
    const COLORREF *row = pixels.get() + size_t(y) * size_t(width) + size_t(x);
    std::copy(row, row + count, out);
}

void PixelPlane::WriteSpan(int x, int y, int count, const COLORREF *in, const std::vector<PALETTEENTRY> &palette)
{
    Touch(x, y, count);
    COLORREF *row = pixels.get() + size_t(y) * size_t(width) + size_t(x);
    if (depth >= 24) {
        for (int i = 0; i < count; ++i) row[i] = in[i] & 0xFFFFFF;
        return;
    }
    for (int i = 0; i < count; ++i) row[i] = Quantize(in[i], depth, palette);
}

void PixelPlane::FillSpan(int x, int y, int count, COLORREF rgb, const std::vector<PALETTEENTRY> &palette)
{
    Touch(x, y, count);
    COLORREF *row = pixels.get() + size_t(y) * size_t(width) + size_t(x);
    std::fill(row, row + count, Quantize(rgb, depth, palette));
}

namespace {

// BGRX in memory, read as a little-endian word, to COLORREF (red in the lowest byte) and back.
inline COLORREF FromBgrx(uint32_t v) { return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF); }
inline uint32_t ToBgrx(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

}  // namespace

void Bitmap::ReadSpan(int x, int y, int count, COLORREF *out) const
{
    if (!dib) {
        const COLORREF *row = ddbPixels.data() + size_t(y) * size_t(width) + size_t(x);
        std::copy(row, row + count, out);
        return;
    }
    const uint8_t *row = Row(y);
    if (bitsPerPixel == 32) {
        // Blocks of a fixed size let the compiler convert several pixels at once.
        constexpr int kBlock = 16;
        const uint8_t *p = row + size_t(x) * 4;
        int i = 0;
        for (; i + kBlock <= count; i += kBlock, p += 4 * kBlock) {
            uint32_t words[kBlock];
            std::memcpy(words, p, sizeof words);
            for (int k = 0; k < kBlock; ++k) out[i + k] = FromBgrx(words[k]);
        }
        for (; i < count; ++i, p += 4) {
            uint32_t v;
            std::memcpy(&v, p, 4);
            out[i] = FromBgrx(v);
        }
        return;
    }
    if (bitsPerPixel == 24) {
        const uint8_t *p = row + size_t(x) * 3;
        for (int i = 0; i < count; ++i, p += 3) out[i] = RGB(p[2], p[1], p[0]);
        return;
    }
    Surface::ReadSpan(x, y, count, out);
}

void Bitmap::WriteSpan(int x, int y, int count, const COLORREF *in, const std::vector<PALETTEENTRY> &palette)
{
    if (dib && bitsPerPixel == 32) {
        uint8_t *p = Row(y) + size_t(x) * 4;
        for (int i = 0; i < count; ++i, p += 4) {
            const uint32_t v = ToBgrx(in[i]);  // the fourth byte written as 0
            std::memcpy(p, &v, 4);
        }
        return;
    }
    if (dib && bitsPerPixel == 24) {
        uint8_t *p = Row(y) + size_t(x) * 3;
        for (int i = 0; i < count; ++i, p += 3) {
            p[0] = GetBValue(in[i]);
            p[1] = GetGValue(in[i]);
            p[2] = GetRValue(in[i]);
        }
        return;
    }
    if (!dib) {
        // Rows hold runs of one colour: each run is matched against the palette once.
        COLORREF *row = ddbPixels.data() + size_t(y) * size_t(width) + size_t(x);
        COLORREF last = 0, matched = Quantize(0, bitsPerPixel, palette);
        for (int i = 0; i < count; ++i) {
            if (in[i] != last) {
                last = in[i];
                matched = Quantize(last, bitsPerPixel, palette);
            }
            row[i] = matched;
        }
        return;
    }
    Surface::WriteSpan(x, y, count, in, palette);
}

void Bitmap::FillSpan(int x, int y, int count, COLORREF rgb, const std::vector<PALETTEENTRY> &palette)
{
    if (!dib) {
        COLORREF *row = ddbPixels.data() + size_t(y) * size_t(width) + size_t(x);
        std::fill(row, row + count, Quantize(rgb, bitsPerPixel, palette));
        return;
    }
    if (bitsPerPixel == 32) {
        // A block of the pixel copied whole: wide stores instead of one word at a time.
        constexpr int kBlock = 16;
        const uint32_t v = ToBgrx(rgb & 0xFFFFFF);
        uint32_t block[kBlock];
        std::fill(block, block + kBlock, v);
        uint8_t *p = Row(y) + size_t(x) * 4;
        int i = 0;
        for (; i + kBlock <= count; i += kBlock, p += sizeof block) std::memcpy(p, block, sizeof block);
        for (; i < count; ++i, p += 4) std::memcpy(p, &v, 4);
        return;
    }
    if (bitsPerPixel == 24) {
        // Four pixels are three words of the same pattern: write words, then the rest.
        const uint32_t v = ToBgrx(rgb & 0xFFFFFF);
        const uint32_t words[3] = {v | (v << 24), (v >> 8) | (v << 16), (v >> 16) | (v << 8)};
        uint32_t block[12];  // sixteen pixels
        for (int k = 0; k < 12; ++k) block[k] = words[k % 3];
        uint8_t *p = Row(y) + size_t(x) * 3;
        int i = 0;
        for (; i + 16 <= count; i += 16, p += sizeof block) std::memcpy(p, block, sizeof block);
        for (; i + 4 <= count; i += 4, p += 12) std::memcpy(p, words, 12);
        for (; i < count; ++i, p += 3) {
            p[0] = uint8_t(v);
            p[1] = uint8_t(v >> 8);
            p[2] = uint8_t(v >> 16);
        }
        return;
    }
    Surface::FillSpan(x, y, count, rgb, palette);
}

}  // namespace w32
