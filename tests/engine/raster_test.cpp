// Hard-edged filling into tiny pixel blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster.h"

using namespace cvl;

namespace {

constexpr uint32_t kBack = 0x00ABCDEF;

// A small device area whose pixels can be drawn as text for readable failures.
struct Pixels {
    Pixels(PixelRect area, PixelRect clip) : data(static_cast<size_t>((area.right - area.left) * (area.bottom - area.top)), kBack) {
        canvas.pixels = data.data();
        canvas.stride = area.right - area.left;
        canvas.area = area;
        canvas.clip = clip;
    }
    std::string Picture() {
        std::string s;
        for (int y = canvas.area.top; y < canvas.area.bottom; ++y) {
            for (int x = canvas.area.left; x < canvas.area.right; ++x) {
                uint32_t p = canvas.At(x, y);
                s += p == kBack ? '.' : p == ToPixel(0x0000FF) ? 'R' : p == ToPixel(0xFF0000) ? 'B' : '?';
            }
            s += '\n';
        }
        return s;
    }
    std::vector<uint32_t> data;
    Canvas canvas;
};

Contour Square(double l, double t, double r, double b) { return {{l, t}, {r, t}, {r, b}, {l, b}}; }

TEST(Raster, FillsPixelsWhoseCentresAreInsideAndNothingOutsideTheClip) {
    Pixels px({0, 0, 6, 4}, {1, 1, 5, 4});
    FillContours(px.canvas, {Square(0, 0, 6, 4)}, 0x0000FF);
    EXPECT_EQ(px.Picture(),
              "......\n"
              ".RRRR.\n"
              ".RRRR.\n"
              ".RRRR.\n");
}

TEST(Raster, HalfPixelEdgesFollowPixelCentres) {
    Pixels px({0, 0, 5, 3}, {0, 0, 5, 3});
    FillContours(px.canvas, {Square(0.6, 0.4, 3.6, 2.6)}, 0x0000FF);
    EXPECT_EQ(px.Picture(),
              ".RRR.\n"
              ".RRR.\n"
              ".RRR.\n");
}

TEST(Raster, OverlappingStrokePiecesUnite) {
    // Two overlapping contours turning opposite ways would cancel under non-zero
    // winding; strokes come out turning one way, so their overlap stays painted.
    std::vector<Contour> stroke;
    StrokeContours({{1, 1}, {5, 1}, {5, 4}}, false, 1.0, stroke);
    Pixels px({0, 0, 7, 5}, {0, 0, 7, 5});
    FillContours(px.canvas, stroke, 0xFF0000);
    EXPECT_EQ(px.Picture(),
              ".BBBB..\n"
              ".BBBBB.\n"
              "....BB.\n"
              "....BB.\n"
              ".......\n");
}

TEST(Raster, HatchIsAnchoredToTheDeviceSoBandsJoin) {
    Pixels whole({0, 0, 8, 8}, {0, 0, 8, 8});
    FillContours(whole.canvas, {Square(0, 0, 8, 8)}, 0x0000FF, Paint::Hatch);
    Pixels top({0, 0, 8, 8}, {0, 0, 8, 3}), bottom = top;
    bottom.canvas.pixels = top.data.data();
    bottom.canvas.clip = {0, 3, 8, 8};
    FillContours(top.canvas, {Square(0, 0, 8, 8)}, 0x0000FF, Paint::Hatch);
    FillContours(bottom.canvas, {Square(0, 0, 8, 8)}, 0x0000FF, Paint::Hatch);
    EXPECT_EQ(top.Picture(), whole.Picture());
    EXPECT_NE(whole.Picture().find('.'), std::string::npos);
}

TEST(Raster, DegenerateAndNonFiniteInputPaintsNothing) {
    Pixels px({0, 0, 3, 3}, {0, 0, 3, 3});
    std::string before = px.Picture();
    FillContours(px.canvas, {{{0, 0}, {3, 3}}}, 0x0000FF);
    FillContours(px.canvas, {{{0, 0}, {3, 0}, {3, 0}}}, 0x0000FF);
    FillContours(px.canvas, {{{0, 0}, {NAN, 0}, {3, 3}}}, 0x0000FF);
    FillContours(px.canvas, {Square(-1e12, -1e12, 1e12, 1e12)}, 0x0000FF);
    EXPECT_EQ(px.Picture(), "RRR\nRRR\nRRR\n") << "only the huge square paints, clipped";
    (void)before;
}

TEST(Raster, DashedFrameStaysOnTheBorderAndInsideTheClip) {
    Pixels px({0, 0, 8, 5}, {0, 0, 8, 4});
    DashedFrame(px.canvas, {0, 0, 8, 5}, 0x0000FF);
    std::string pic = px.Picture();
    EXPECT_EQ(pic.substr(pic.size() - 9), "........\n") << "row 4 is outside the clip";
    EXPECT_EQ(pic[2 * 9 + 3], '.') << "the inside stays untouched";
    EXPECT_NE(pic.substr(0, 8).find('R'), std::string::npos);
}

}  // namespace
