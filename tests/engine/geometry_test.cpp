// Placements: exact quarter turns, and small turns that add up to whole ones; the
// outline tests that pass over runs of edges.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "geometry.h"

using namespace cvl;

namespace {

TEST(Placement, PositiveTurnsAreCounterClockwiseOnScreen) {
    // y points down: a point to the right of the centre goes up (smaller y).
    Point p = Placement{}.Turned(900, {10, 10}).Apply({20, 10});
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 0);
    Point back = Placement{}.Turned(900, {10, 10}).Unapply(p);
    EXPECT_EQ(back.x, 20);
    EXPECT_EQ(back.y, 10);
}

TEST(Placement, ManySmallTurnsAboutOneCentreGiveBackTheStart) {
    struct Case {
        int step, count;
    };
    for (Case c : {Case{1, 3600}, Case{7, 3600}, Case{-3, 1200}, Case{450, 8}}) {
        Placement p;
        for (int i = 0; i < c.count; ++i) p = p.Turned(c.step, {123.25, -40.5});
        EXPECT_EQ(p.tenths, 0) << c.step;
        EXPECT_NEAR(p.offset.x, 0, 1e-9) << c.step;
        EXPECT_NEAR(p.offset.y, 0, 1e-9) << c.step;
        Box b;
        b.Add(p.Apply({10, 20}));
        b.Add(p.Apply({30, 45}));
        EXPECT_EQ(b.Pixels(), (PixelRect{10, 20, 30, 45})) << c.step;
    }
}

TEST(Placement, ComposeAppliesTheChildFirst) {
    Placement parent = Placement{}.Turned(900, {0, 0}).Moved(100, 0);
    Placement child = Placement{}.Moved(5, 0);
    Point p = Placement::Compose(parent, child).Apply({1, 0});
    Point q = parent.Apply(child.Apply({1, 0}));
    EXPECT_NEAR(p.x, q.x, 1e-12);
    EXPECT_NEAR(p.y, q.y, 1e-12);
    EXPECT_NEAR(p.x, 100, 1e-12);
    EXPECT_NEAR(p.y, -6, 1e-12);
}

TEST(Box, PixelsAreThoseWhoseCentresItCovers) {
    struct Case {
        Box box;
        PixelRect pixels;
    };
    for (const Case& c : {Case{{10, 10, 20, 15}, {10, 10, 20, 15}}, Case{{10.4, 10.6, 19.4, 15.6}, {10, 11, 19, 16}},
                          Case{{-3.5, -3.5, -3.5, -3.5}, {-4, -4, -3, -3}}}) {
        EXPECT_EQ(c.box.Pixels(), c.pixels);
    }
    EXPECT_TRUE(Box{}.Pixels().Empty());
}


// Outlines whose runs of edges are passed over: every answer must be the one that
// looking at every edge gives, also for points on the rows and columns of vertices.
struct OutlineCase {
    const char* name;
    std::vector<Point> outline;
};

std::vector<Point> RoundOutline(int sides, double cx, double cy, double rx, double ry) {
    std::vector<Point> points;
    for (int i = 0; i < sides; ++i) {
        const double a = 2 * 3.14159265358979323846 * i / sides + 0.3;
        points.push_back({cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return points;
}

std::vector<Point> Star(int spikes) {
    std::vector<Point> points;
    for (int i = 0; i < 2 * spikes; ++i) {
        const double a = 3.14159265358979323846 * i / spikes, r = i % 2 ? 12 : 40;
        points.push_back({50 + r * std::cos(a), 50 + r * std::sin(a)});
    }
    return points;
}

// Whole coordinates, level edges and repeated vertices: many points lie exactly on
// a vertex's row.
std::vector<Point> Steps() {
    std::vector<Point> points;
    for (int i = 0; i < 24; ++i) {
        points.push_back({double(i * 4), double(10 + (i % 3) * 5)});
        points.push_back({double(i * 4 + 2), double(10 + (i % 3) * 5)});
        if (i % 5 == 0) points.push_back(points.back());
    }
    points.push_back({96, 60});
    points.push_back({0, 60});
    return points;
}

std::vector<Point> WithVertex(std::vector<Point> points, size_t at, Point vertex) {
    points[at] = vertex;
    return points;
}

std::vector<OutlineCase> OutlineCases() {
    const std::vector<Point> round = RoundOutline(60, 50.3, 40.7, 37.2, 21.9);
    return {
        {"RoundOutline", round},
        {"ManySidedRoundOutline", RoundOutline(720, 400.5, 300.25, 390, 290)},
        {"Star", Star(40)},
        {"LevelEdgesAndRepeatedVertices", Steps()},
        {"SixteenVertices", RoundOutline(16, 20, 20, 15, 9)},
        {"SeventeenVertices", RoundOutline(17, 20, 20, 15, 9)},
        {"WithANaNVertex", WithVertex(round, 20, {NAN, NAN})},
        {"WithAnInfiniteVertex", WithVertex(round, 33, {40, INFINITY})},
    };
}

class OutlineRunsTest : public ::testing::TestWithParam<OutlineCase> {};

TEST_P(OutlineRunsTest, AnswerAsLookingAtEveryEdgeDoes) {
    const std::vector<Point>& outline = GetParam().outline;
    OutlineRuns runs;
    runs.Build(outline);
    ASSERT_FALSE(runs.bounds.empty());

    std::vector<Point> points;
    std::mt19937 random(7);
    Box box;
    for (const Point& v : outline)
        if (std::isfinite(v.x) && std::isfinite(v.y)) box.Add(v);
    std::uniform_real_distribution<double> x(box.minX - 10, box.maxX + 10), y(box.minY - 10, box.maxY + 10);
    for (int i = 0; i < 2000; ++i) points.push_back({x(random), y(random)});
    for (size_t i = 0; i < outline.size(); ++i) {
        const Point& v = outline[i];
        const Point& next = outline[(i + 1) % outline.size()];
        points.push_back(v);
        points.push_back({(v.x + next.x) / 2, (v.y + next.y) / 2});
        for (double dx : {-9.0, -3.0, -0.5, 0.5, 3.0, 9.0}) {
            points.push_back({v.x + dx, v.y});
            points.push_back({v.x, v.y + dx});
        }
    }

    for (const Point& p : points) {
        ASSERT_EQ(InsideOutline(p, outline, runs), InsideOutline(p, outline)) << p.x << ", " << p.y;
        for (bool closed : {true, false})
            for (double reach : {0.0, 0.5, 2.5, 8.0})
                ASSERT_EQ(NearOutline(p, outline, closed, reach, runs), NearOutline(p, outline, closed, reach))
                    << p.x << ", " << p.y << (closed ? " closed" : " open") << " reach " << reach;
    }
}

INSTANTIATE_TEST_SUITE_P(Outlines, OutlineRunsTest, ::testing::ValuesIn(OutlineCases()),
                         [](const ::testing::TestParamInfo<OutlineCase>& info) { return std::string(info.param.name); });

}  // namespace
