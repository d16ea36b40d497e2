// Device shapes of single symbols.
#include <gtest/gtest.h>

#include <string>

#include "shapes.h"
#include "text_format.h"

using namespace cvl;

namespace {

// Bounds are built without glyph cells or fill; what they read must be what the
// full shape that painting uses has.
TEST(Shapes, OutlineAndBoxAgreeWithTheWholeShape) {
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
    ASSERT_TRUE(d) << error.Describe();
    const PageMapping mapping{2.5, 7, -3};
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
