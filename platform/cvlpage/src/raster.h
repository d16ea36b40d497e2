// Hard-edged rasterising into a 32-bit BGRX pixel block: a pixel is painted when its
// centre lies inside the shape. Nothing outside the canvas clip is ever written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry.h"
#include "model.h"

namespace cvl {

// A block of device pixels: pixel (x, y) of the device is at
// pixels[(y - area.top) * stride + (x - area.left)].
struct Canvas {
    uint32_t* pixels = nullptr;
    ptrdiff_t stride = 0;  // in pixels
    PixelRect area;
    PixelRect clip;  // within area

    uint32_t& At(int x, int y) { return pixels[(y - area.top) * stride + (x - area.left)]; }
};

using Contour = std::vector<Point>;

enum class Paint { Solid, Hatch };

uint32_t ToPixel(Colour c);  // COLORREF to BGRX
Colour FromPixel(uint32_t p);

// Fills the union of the contours (non-zero winding).
void FillContours(Canvas& canvas, const std::vector<Contour>& contours, Colour colour, Paint paint = Paint::Solid);
// The stroke of an outline of `halfWidth` as contours all turning the same way, so
// that their non-zero fill is their union.
void StrokeContours(const Contour& outline, bool closed, double halfWidth, std::vector<Contour>& out);
// A one-pixel dashed frame just inside `r`.
void DashedFrame(Canvas& canvas, const PixelRect& r, Colour colour);
void FillPixelRect(Canvas& canvas, const PixelRect& r, Colour colour);

}  // namespace cvl
