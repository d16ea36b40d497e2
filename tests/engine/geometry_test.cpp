// Placements: exact quarter turns, and small turns that add up to whole ones.
#include <gtest/gtest.h>

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

}  // namespace
