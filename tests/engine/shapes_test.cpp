// Device shapes of single symbols.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "shapes.h"
#include "text_format.h"

using namespace cvl;

namespace {

// One symbol of every kind, most with labels, fills and strokes, turned.
std::unique_ptr<Drawing> ShapesOfEveryKind() {
    LoadError error;
    auto d = ParseDrawing(
        "vkdrawing 1\npage 200 100\n"
        "symbol text\n at 10 10\n size 12\n text \"Ab\\nc\"\n rotate 33\nend\n"
        "symbol rectangle\n box 20 20 50 40\n fill #00FF00\n stroke #000000 3\n text \"wide label\"\n rotate -71\nend\n"
        "symbol ellipse\n box 60 10 90 70\n fill hatch #0000FF\n text \"e\"\nend\n"
        "symbol polygon\n points 100 10 140 20 120 60\n stroke none\n fill #FF0000\nend\n"
        "symbol polyline\n points 150 10 190 90 160 95\n stroke #FF00FF 1\n text \"line\"\nend\n"
        "symbol rectangle\n box 30 50 80 90\n size 7.3\n text \"The quick brown\\nfox,\\n\\n  jumps!|\"\n rotate 137\nend\n",
        error);
    EXPECT_TRUE(d) << error.Describe();
    return d;
}

const PageMapping kTurnedMapping{2.5, 7, -3};

void ExpectSameContour(const Contour& a, const Contour& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].x, b[i].x);
        EXPECT_EQ(a[i].y, b[i].y);
    }
}

void ExpectSameShape(const DeviceShape& a, const DeviceShape& b) {
    ASSERT_EQ(a.fill.size(), b.fill.size());
    for (size_t i = 0; i < a.fill.size(); ++i) ExpectSameContour(a.fill[i], b.fill[i]);
    ExpectSameContour(a.outline, b.outline);
    EXPECT_EQ(a.closed, b.closed);
    EXPECT_EQ(a.halfStroke, b.halfStroke);
    ASSERT_EQ(a.label.size(), b.label.size());
    for (size_t i = 0; i < a.label.size(); ++i) ExpectSameContour(a.label[i], b.label[i]);
    EXPECT_EQ(a.box.minX, b.box.minX);
    EXPECT_EQ(a.box.minY, b.box.minY);
    EXPECT_EQ(a.box.maxX, b.box.maxX);
    EXPECT_EQ(a.box.maxY, b.box.maxY);
}

// Bounds are built without glyph cells or fill; what they read must be what the
// full shape that painting uses has.
TEST(Shapes, OutlineAndBoxAgreeWithTheWholeShape) {
    auto d = ShapesOfEveryKind();
    ASSERT_TRUE(d);
    const PageMapping mapping = kTurnedMapping;
    for (const auto& s : d->symbols) {
        SCOPED_TRACE(KindName(s->kind));
        DeviceShape whole, lean;
        BuildDeviceShape(*s, WorldPlacement(*s), mapping, whole);
        BuildDeviceShape(*s, WorldPlacement(*s), mapping, lean, ShapeParts::OutlineAndBox);
        ASSERT_EQ(lean.outline.size(), whole.outline.size());
        for (size_t i = 0; i < whole.outline.size(); ++i) {
            EXPECT_EQ(lean.outline[i].x, whole.outline[i].x);
            EXPECT_EQ(lean.outline[i].y, whole.outline[i].y);
        }
        EXPECT_EQ(lean.closed, whole.closed);
        EXPECT_EQ(lean.halfStroke, whole.halfStroke);
        EXPECT_EQ(lean.box.minX, whole.box.minX);
        EXPECT_EQ(lean.box.minY, whole.box.minY);
        EXPECT_EQ(lean.box.maxX, whole.box.maxX);
        EXPECT_EQ(lean.box.maxY, whole.box.maxY);
        EXPECT_TRUE(lean.fill.empty());
        EXPECT_TRUE(lean.label.empty());
        EXPECT_FALSE(whole.fill.empty() && whole.label.empty()) << "every case paints an area or a text";
    }
}

// Shapes are built over the memory of earlier ones, of any kind and either extent;
// nothing of the earlier shape may show in the new one.
TEST(Shapes, AShapeBuiltOverAnotherIsTheShapeBuiltAfresh) {
    auto d = ShapesOfEveryKind();
    ASSERT_TRUE(d);
    DeviceShape reused;
    for (ShapeParts parts : {ShapeParts::All, ShapeParts::OutlineAndBox}) {
        // Forwards, then backwards: every kind follows a different one.
        for (int pass = 0; pass < 2; ++pass) {
            for (size_t k = 0; k < d->symbols.size(); ++k) {
                const Symbol& s = *d->symbols[pass == 0 ? k : d->symbols.size() - 1 - k];
                SCOPED_TRACE(KindName(s.kind));
                DeviceShape fresh;
                BuildDeviceShape(s, WorldPlacement(s), kTurnedMapping, fresh, parts);
                BuildDeviceShape(s, WorldPlacement(s), kTurnedMapping, reused, parts);
                ExpectSameShape(reused, fresh);
                // The next symbol is built over this one's whole shape.
                BuildDeviceShape(s, WorldPlacement(s), kTurnedMapping, reused);
            }
        }
    }
}

// Where device coordinates overflow, the cheap bounds of a label take every glyph run,
// as the full shape does, and still agree with it.
TEST(Shapes, LabelBoundsAgreeWithTheWholeShapeBeyondTheRangeOfDoubles) {
    LoadError error;
    auto d = ParseDrawing(
        "vkdrawing 1\npage 200 100\n"
        "symbol rectangle\n box 0 0 10 10\n size 1000\n text \"wide\\nlabel\"\n rotate 45\nend\n",
        error);
    ASSERT_TRUE(d) << error.Describe();
    const Symbol& s = *d->symbols[0];
    DeviceShape whole, lean;
    const PageMapping mapping{1e306, 0, 0};
    BuildDeviceShape(s, WorldPlacement(s), mapping, whole);
    BuildDeviceShape(s, WorldPlacement(s), mapping, lean, ShapeParts::OutlineAndBox);
    EXPECT_EQ(lean.box.minX, whole.box.minX);
    EXPECT_EQ(lean.box.minY, whole.box.minY);
    EXPECT_EQ(lean.box.maxX, whole.box.maxX);
    EXPECT_EQ(lean.box.maxY, whole.box.maxY);
}

}  // namespace
