// Hard-edged rasterising into a 32-bit BGRX pixel block: a pixel is painted when its
// centre lies inside the shape. Nothing outside the canvas clip is ever written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "geometry.h"
#include "model.h"

namespace cvl {

// A block of device pixels: pixel (x, y) of the device is at
// pixels[(y - area.top) * stride + (x - area.left)]. A 24-bit block (3 bytes a pixel,
// blue first) is given by `bgr` and its row step in bytes instead of `pixels`.
struct Canvas {
    uint32_t* pixels = nullptr;
    ptrdiff_t stride = 0;  // in pixels
    uint8_t* bgr = nullptr;
    ptrdiff_t bgrStride = 0;  // in bytes
    PixelRect area;
    PixelRect clip;  // within area

    uint32_t& At(int x, int y) { return pixels[(y - area.top) * stride + (x - area.left)]; }
    // Pixels x0 .. x1 - 1 of row y, all inside the clip, set to a BGRX pixel.
    void FillRun(int x0, int x1, int y, uint32_t pixel) {
        if (!bgr) {
            uint32_t* row = &At(x0, y);
            for (int x = x0; x < x1; ++x) *row++ = pixel;
            return;
        }
        uint8_t* p = bgr + (y - area.top) * bgrStride + (x0 - area.left) * 3;
        const uint8_t b = uint8_t(pixel), g = uint8_t(pixel >> 8), r = uint8_t(pixel >> 16);
        for (int x = x0; x < x1; ++x, p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
    void Plot(int x, int y, uint32_t pixel) { FillRun(x, x + 1, y, pixel); }
};

using Contour = std::vector<Point>;

enum class Paint { Solid, Hatch };

uint32_t ToPixel(Colour c);  // COLORREF to BGRX
Colour FromPixel(uint32_t p);

// Fills the union of the contours (non-zero winding).
void FillContours(Canvas& canvas, std::span<const Contour> contours, Colour colour, Paint paint = Paint::Solid);
inline void FillContours(Canvas& canvas, const std::vector<Contour>& contours, Colour colour,
                         Paint paint = Paint::Solid) {
    FillContours(canvas, std::span<const Contour>(contours), colour, paint);
}
// The same, row by row over every edge of every contour: what FillContours is held to.
void FillContoursReference(Canvas& canvas, const std::vector<Contour>& contours, Colour colour,
                           Paint paint = Paint::Solid);
// Fills pieces that never cross themselves and turn the same way where they overlap
// (a stroke's pieces, a text's glyph cells). What their union covers is then what
// some piece covers, so each is filled on its own, over its own few rows and edges:
// far cheaper than keeping every piece's edges in order across every row.
void FillPieces(Canvas& canvas, std::span<const Contour> pieces, Colour colour);
// The stroke of an outline of `halfWidth` as contours all turning the same way, so
// that their non-zero fill is their union. Given `within`, pieces that cannot paint a
// pixel of it are left out.
void StrokeContours(const Contour& outline, bool closed, double halfWidth, std::vector<Contour>& out,
                    const PixelRect* within = nullptr);
// The same pieces written over the first contours of `pool`, whose memory serves
// again, rather than appended; returns how many. Contours after them are left as
// they are.
size_t StrokeContoursOver(const Contour& outline, bool closed, double halfWidth, std::vector<Contour>& pool,
                          const PixelRect* within = nullptr);
// A one-pixel dashed frame just inside `r`.
void DashedFrame(Canvas& canvas, const PixelRect& r, Colour colour);
void FillPixelRect(Canvas& canvas, const PixelRect& r, Colour colour);

}  // namespace cvl
