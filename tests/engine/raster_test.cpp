// Hard-edged filling into tiny pixel blocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
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

// A random shape of `contours` polygons (some self-crossing, some turning either way,
// some holding strokes, built for `within` when given) scattered around and beyond a
// 64 x 48 device area.
std::vector<Contour> RandomShape(std::mt19937& random, int contours, double spread, const PixelRect* within) {
    std::uniform_real_distribution<double> centre(-spread, 64 + spread), radius(0.3, 30), unit(0, 1);
    std::uniform_int_distribution<int> corners(3, 12);
    std::vector<Contour> shape;
    for (int i = 0; i < contours; ++i) {
        Contour c;
        double cx = centre(random), cy = centre(random) * 0.75, r = radius(random);
        for (int k = corners(random); k > 0; --k) c.push_back({cx + r * (unit(random) * 2 - 1), cy + r * (unit(random) * 2 - 1)});
        if (unit(random) < 0.3) {
            const bool closed = unit(random) < 0.5;
            const double halfWidth = 0.5 + unit(random) * 3;
            if (within == nullptr) {
                StrokeContours(c, closed, halfWidth, shape, nullptr);
            } else {
                // Written over the pieces of earlier strokes, as a paint reuses them.
                static std::vector<Contour> pool;
                const size_t pieces = StrokeContoursOver(c, closed, halfWidth, pool, within);
                shape.insert(shape.end(), pool.begin(), pool.begin() + ptrdiff_t(pieces));
            }
        } else {
            shape.push_back(std::move(c));
        }
    }
    return shape;
}

struct ClipCase {
    const char* name;
    PixelRect clip;
};

// A device area and clips over the whole of it, its edges and small parts of it.
const PixelRect kArea{-3, -2, 61, 46};
const ClipCase kClips[] = {
    {"whole area", kArea},           {"one pixel", {10, 10, 11, 11}},  {"small square", {20, 15, 40, 35}},
    {"left strip", {-3, -2, 5, 46}}, {"right strip", {55, -2, 61, 46}}, {"one row", {-3, 20, 61, 21}},
    {"one column", {30, -2, 31, 46}},
};

// Filling and stroking for a clip against the plain rasteriser over whole strokes: the
// same pixels for every clip, depth and paint.
TEST(Raster, FastFillPaintsExactlyWhatTheReferencePaints) {
    const PixelRect area = kArea;
    std::mt19937 random(20261210);
    for (const ClipCase& clipCase : kClips) {
        for (int depth : {24, 32}) {
            for (Paint paint : {Paint::Solid, Paint::Hatch}) {
                for (int round = 0; round < 40; ++round) {
                    std::mt19937 same = random;
                    const auto whole = RandomShape(same, 1 + round % 6, round % 2 ? 10.0 : 80.0, nullptr);
                    const auto shape = RandomShape(random, 1 + round % 6, round % 2 ? 10.0 : 80.0, &clipCase.clip);
                    const size_t width = size_t(area.right - area.left), height = size_t(area.bottom - area.top);
                    std::vector<uint32_t> fast32(width * height, kBack), reference32 = fast32;
                    std::vector<uint8_t> fast24(width * height * 3, 0x5A), reference24 = fast24;
                    auto canvasOver = [&](std::vector<uint32_t>& pixels32, std::vector<uint8_t>& pixels24) {
                        Canvas c;
                        c.area = area;
                        c.clip = clipCase.clip;
                        if (depth == 32) {
                            c.pixels = pixels32.data();
                            c.stride = ptrdiff_t(width);
                        } else {
                            c.bgr = pixels24.data();
                            c.bgrStride = ptrdiff_t(width * 3);
                        }
                        return c;
                    };
                    Canvas fast = canvasOver(fast32, fast24), reference = canvasOver(reference32, reference24);
                    FillContours(fast, shape, 0x3366CC, paint);
                    FillContoursReference(reference, whole, 0x3366CC, paint);
                    ASSERT_TRUE(fast32 == reference32 && fast24 == reference24)
                        << clipCase.name << ", " << depth << " bits, " << (paint == Paint::Solid ? "solid" : "hatch")
                        << ", round " << round;
                }
            }
        }
    }
}

// A stroke's pieces filled one by one paint what their union paints: thin strokes and
// wide ones with round joins, of open and closed outlines that cross themselves.
TEST(Raster, StrokePiecesFilledOneByOnePaintTheirUnion) {
    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> x(-20, 84), y(-15, 61);
    std::uniform_int_distribution<int> corners(2, 30);
    const double halfWidths[] = {0.5, 0.8, 1.5, 4, 9};
    for (const ClipCase& clipCase : kClips) {
        for (int round = 0; round < 50; ++round) {
            Contour outline;
            for (int k = corners(random); k > 0; --k) outline.push_back({x(random), y(random)});
            const bool closed = round % 2 == 0;
            const double halfWidth = halfWidths[round % 5];
            std::vector<Contour> pool;
            const size_t pieces = StrokeContoursOver(outline, closed, halfWidth, pool, &clipCase.clip);
            const std::span<const Contour> stroke(pool.data(), pieces);
            Pixels oneByOne(kArea, clipCase.clip), together(kArea, clipCase.clip);
            FillPieces(oneByOne.canvas, stroke, 0x0000FF);
            FillContours(together.canvas, stroke, 0x0000FF);
            ASSERT_EQ(oneByOne.Picture(), together.Picture())
                << clipCase.name << ", round " << round << ", " << pieces << " pieces";
        }
    }
}

}  // namespace
