// Layout, hit testing and rendering of parsed drawings.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "raster.h"
#include "scene.h"
#include "shapes.h"
#include "text_format.h"
#include "random_drawing.h"

using namespace cvl;

namespace {

std::unique_ptr<Drawing> Parse(const std::string& text) {
    LoadError error;
    auto d = ParseDrawing(text, error);
    EXPECT_TRUE(d) << error.Describe();
    return d;
}

std::string NameOf(const Symbol* s) { return s ? (s->named ? s->name : std::string("(unnamed)")) : ""; }

TEST(Scene, FitsTheDrawingUniformlyAndCentred) {
    auto d = Parse("vkdrawing 1\npage 100 50\nsymbol rectangle\n stroke none\n fill #000000\n box 0 0 100 50\nend\n");
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 300, 200}, true, 100));
    EXPECT_EQ(scene.Mapping().scale, 3);
    EXPECT_EQ(scene.DevicePixels(*d->symbols[0]), (PixelRect{0, 25, 300, 175}));
    scene.SetMapping(Scene::FitPage(*d, {10, 10, 110, 110}, true, 50));
    EXPECT_EQ(scene.DevicePixels(*d->symbols[0]), (PixelRect{35, 47, 85, 73}));
    scene.SetMapping(Scene::FitPage(*d, {10, 10, 110, 110}, false, 100));
    EXPECT_EQ(scene.DevicePixels(*d->symbols[0]), (PixelRect{10, 10, 110, 60})) << "unfitted: one unit, one pixel";
}

const char kHitDrawing[] = R"(vkdrawing 1
page 200 100
layer 1 shown
layer 2 hidden
symbol rectangle
  name "Back"
  fill #C0C0C0
  box 0 0 200 100
end
symbol rectangle
  name "Diamond"
  fill #FF0000
  box 20 20 60 60
  rotate 45
end
symbol ellipse
  name "Frame"
  fill none
  stroke #000000 2
  box 100 10 180 90
end
symbol polyline
  name "Wire"
  stroke #000000 1
  points 0 95 200 95
end
symbol group
  name "Lamp"
  symbol rectangle
    name "Base"
    fill #00FF00
    box 120 40 160 60
  end
  symbol ellipse
    name "Bulb"
    fill #FFFF00
    box 130 20 150 40
  end
end
symbol rectangle
  name "Ghost"
  hidden
  fill #0000FF
  box 0 0 30 30
end
symbol rectangle
  name "Layered"
  layer 2
  fill #0000FF
  box 170 0 200 30
end
)";

TEST(Scene, HitTestsFindTheTopmostShownSymbol) {
    auto d = Parse(kHitDrawing);
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 200, 100}, true, 100));
    struct Case {
        Point p;
        double tolerance;
        bool innermost;
        const char* expect;
    };
    const Case cases[] = {
        {{40.5, 40.5}, 2, false, "Diamond"},
        {{40.5, 15.5}, 0, false, "Diamond"},   // the rotated corner points up
        {{21.5, 21.5}, 0, false, "Back"},      // the unrotated corner is gone
        {{140.5, 50.5}, 2, false, "Lamp"},     // the group answers for its members
        {{140.5, 50.5}, 2, true, "Base"},
        {{140.5, 30.5}, 2, true, "Bulb"},
        {{140.5, 75.5}, 2, false, "Back"},     // inside an unfilled ellipse
        {{140.5, 89.5}, 0, false, "Frame"},    // on its outline
        {{100.5, 95.5}, 0, false, "Wire"},
        {{100.5, 97.4}, 2, false, "Wire"},     // within the tolerance of a thin line
        {{5.5, 5.5}, 2, false, "Back"},        // hidden symbols are not hit
        {{185.5, 15.5}, 2, false, "Back"},     // nor symbols on hidden layers
        {{250.5, 50.5}, 2, false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameOf(scene.HitTest(c.p, c.tolerance, c.innermost)), c.expect) << c.p.x << "," << c.p.y;
}

TEST(Scene, IndexedHitTestsAgreeWithScanningEverySymbol) {
    auto d = Parse(enginetest::RandomDrawing(7, 400));
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 800, 640}, true, 100));
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> x(-10, 810), y(-10, 650);
    for (int i = 0; i < 3000; ++i) {
        Point p{x(rng), y(rng)};
        for (bool innermost : {false, true})
            ASSERT_EQ(scene.HitTest(p, 2, innermost, true), scene.HitTest(p, 2, innermost, false)) << p.x << "," << p.y;
    }
}

struct Image {
    Image(int w, int h, uint32_t fill) : width(w), height(h), data(static_cast<size_t>(w * h), fill) {}
    Canvas CanvasFor(PixelRect clip) {
        Canvas c;
        c.pixels = data.data();
        c.stride = width;
        c.area = {0, 0, width, height};
        c.clip = clip;
        return c;
    }
    int width, height;
    std::vector<uint32_t> data;
};

TEST(Scene, PartialRendersMatchTheWholeInsideAndTouchNothingOutside) {
    auto d = Parse(enginetest::RandomDrawing(3, 300));
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 400, 320}, true, 100));
    RenderOptions options;
    options.hiddenBounds = true;
    Image whole(400, 320, 0xFFFFFF);
    Canvas wc = whole.CanvasFor({0, 0, 400, 320});
    scene.Render(wc, options, false);

    const PixelRect updates[] = {{0, 0, 1, 1}, {37, 51, 87, 101}, {390, 300, 400, 320}, {-5, -5, 3, 500}};
    for (PixelRect update : updates) {
        Image part(400, 320, 0x123456);
        PixelRect clip = update.Intersect({0, 0, 400, 320});
        Canvas pc = part.CanvasFor(clip);
        scene.Render(pc, options, true);
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 400; ++x) {
                bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
                uint32_t got = part.data[static_cast<size_t>(y * 400 + x)];
                if (!inside) {
                    ASSERT_EQ(got, 0x123456u) << x << "," << y;
                } else {
                    uint32_t want = whole.data[static_cast<size_t>(y * 400 + x)];
                    if (want == 0xFFFFFF) want = 0x123456;  // the background shows through
                    ASSERT_EQ(got, want) << x << "," << y;
                }
            }
    }
}

// A paint through the grid leaves out only symbols that paint nothing in its area: even
// an area one pixel wide along the outermost pixels of a symbol gets them.
TEST(Scene, RendersAlongTheEdgesOfEverySymbolMatchTheWhole) {
    auto d = Parse(enginetest::RandomDrawing(9, 150, 200));
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 400, 320}, true, 100));
    RenderOptions options;
    options.hiddenBounds = true;
    for (const auto& symbol : d->symbols) {
        const PixelRect p = scene.DevicePixels(*symbol);
        if (p.Empty()) continue;
        const PixelRect edges[] = {{p.left, 0, p.left + 1, 320}, {p.right - 1, 0, p.right, 320},
                                   {0, p.top, 400, p.top + 1}, {0, p.bottom - 1, 400, p.bottom}};
        for (const PixelRect& edge : edges) {
            const PixelRect clip = edge.Intersect({0, 0, 400, 320});
            if (clip.Empty()) continue;
            Image indexed(400, 320, 0xFFFFFF), scanned(400, 320, 0xFFFFFF);
            Canvas ic = indexed.CanvasFor(clip), sc = scanned.CanvasFor(clip);
            scene.Render(ic, options, true);
            scene.Render(sc, options, false);
            ASSERT_EQ(indexed.data, scanned.data) << "clip " << clip.left << "," << clip.top << "," << clip.right
                                                  << "," << clip.bottom;
        }
    }
}

// On a view large enough, symbols spanning most of the page are kept apart from the
// grid's cells; they still paint and answer in their place among the others.
TEST(Scene, SymbolsSpanningMostOfALargeViewPaintAndAnswerInTheirPlace) {
    // Small symbols between a page-wide rectangle below them and a wide ellipse above.
    std::string text = enginetest::RandomDrawing(17, 600, 60);
    const std::string header = "layer 2 hidden\n";
    text.insert(text.find(header) + header.size(), "symbol rectangle\n box 0 0 1000 800\n fill #C0C0C0\nend\n");
    text += "symbol ellipse\n box 50 40 950 760\n fill hatch #203040\n stroke #000000 3\nend\n";
    auto d = Parse(text);
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 1400, 1120}, true, 100));
    const PixelRect clips[] = {{0, 0, 1400, 1120}, {600, 500, 640, 540}, {0, 300, 1400, 700}};
    for (const PixelRect& clip : clips) {
        Image indexed(1400, 1120, 0xFFFFFF), scanned(1400, 1120, 0xFFFFFF);
        Canvas ic = indexed.CanvasFor(clip), sc = scanned.CanvasFor(clip);
        scene.Render(ic, {}, true);
        scene.Render(sc, {}, false);
        ASSERT_EQ(indexed.data, scanned.data) << "clip " << clip.left << "," << clip.top << "," << clip.right << ","
                                              << clip.bottom;
    }
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> x(0, 1400), y(0, 1120);
    for (int i = 0; i < 500; ++i) {
        Point p{x(rng), y(rng)};
        ASSERT_EQ(scene.HitTest(p, 2, false, true), scene.HitTest(p, 2, false, false)) << p.x << "," << p.y;
    }
}

// Symbols moved, turned and retexted one at a time (nested ones and ones pushed out
// past every edge of the page included) leave the grid-indexed scene answering and
// painting exactly as a fresh scene that scans every symbol.
TEST(Scene, EditsOfSingleSymbolsKeepTheIndexExact) {
    auto d = Parse(enginetest::RandomDrawing(5, 300));
    Scene scene(*d);
    const PageMapping mapping = Scene::FitPage(*d, {0, 0, 400, 320}, true, 100);
    scene.SetMapping(mapping);
    std::vector<Symbol*> all;
    d->ForEach([&](const Symbol& s) { all.push_back(const_cast<Symbol*>(&s)); });
    std::mt19937 rng(29);
    std::uniform_real_distribution<double> x(-20, 420), y(-20, 340);
    for (int round = 0; round < 60; ++round) {
        Symbol& s = *all[rng() % all.size()];
        // Pointed at before the edit, so that whatever the scene kept of its shape
        // must be let go.
        const Box before = scene.DeviceBox(s);
        const Point inside{(before.minX + before.maxX) / 2, (before.minY + before.maxY) / 2};
        if (!before.Empty()) scene.HitTest(inside, 2, true, true);
        switch (round % 4) {
            case 0: s.placement = s.placement.Turned(static_cast<int32_t>(rng() % 3600), {50, 40}); break;
            case 1: s.placement = s.placement.Moved(-500, -300); break;  // far above and left of the grid
            case 2: s.placement = s.placement.Moved(static_cast<double>(rng() % 900), 5); break;
            case 3: s.text = round % 8 ? "NEW TEXT" : ""; break;
        }
        scene.Invalidate(s);
        Scene fresh(*d);
        fresh.SetMapping(mapping);
        if (!before.Empty()) {
            for (bool innermost : {false, true})
                ASSERT_EQ(scene.HitTest(inside, 2, innermost, true), fresh.HitTest(inside, 2, innermost, false))
                    << "where the symbol was, after round " << round;
        }
        if (round % 10 != 9) continue;
        for (int i = 0; i < 300; ++i) {
            Point p{x(rng), y(rng)};
            ASSERT_EQ(scene.HitTest(p, 2, false, true), fresh.HitTest(p, 2, false, false)) << p.x << "," << p.y;
        }
        Image edited(400, 320, 0xFFFFFF), reference(400, 320, 0xFFFFFF);
        const PixelRect clip{int32_t(rng() % 200), int32_t(rng() % 160), 400, 320};
        Canvas ec = edited.CanvasFor(clip), rc = reference.CanvasFor(clip);
        scene.Render(ec, {}, true);
        fresh.Render(rc, {}, false);
        ASSERT_EQ(edited.data, reference.data) << "after round " << round;
    }
}

// Pointer moves keep the outlines they looked at, up to a bound; past it they are
// let go, and the answers stay right.
TEST(Scene, HitTestsStayRightWhenTheKeptOutlinesOverflow) {
    // 400 ellipses of the most sides one over the other: a point in the corner of
    // their box is outside every one, so one hit test measures all their outlines.
    // Every other one starts 6 units further right.
    std::string text = "vkdrawing 1\npage 1000 1000\n";
    for (int i = 0; i < 400; ++i)
        text += "symbol ellipse\nname \"E" + std::to_string(i) + "\"\nbox " + std::to_string(i % 2 ? 6 : 0) +
                " 0 1000 1000\nfill #00FF00\nend\n";
    auto d = Parse(text);
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 1000, 1000}, true, 100));
    struct Case {
        Point p;
        const char* expect;
    };
    const Case cases[] = {
        {{10.5, 10.5}, ""}, {{500.5, 500.5}, "E399"}, {{990.5, 20.5}, ""}, {{2.5, 500.5}, "E398"}};
    for (int pass = 0; pass < 2; ++pass)
        for (const Case& c : cases)
            EXPECT_EQ(NameOf(scene.HitTest(c.p, 2, false)), c.expect) << c.p.x << "," << c.p.y << ", pass " << pass;
}

TEST(Scene, HiddenBoundsShowWhereHiddenSymbolsAre) {
    auto d = Parse(kHitDrawing);
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 200, 100}, true, 100));
    Image plain(200, 100, 0xFFFFFF), framed(200, 100, 0xFFFFFF);
    Canvas pc = plain.CanvasFor({0, 0, 200, 100}), fc = framed.CanvasFor({0, 0, 200, 100});
    RenderOptions options;
    scene.Render(pc, options);
    options.hiddenBounds = true;
    scene.Render(fc, options);
    int differing = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            if (plain.data[static_cast<size_t>(y * 200 + x)] != framed.data[static_cast<size_t>(y * 200 + x)]) {
                ++differing;
                EXPECT_TRUE(x < 31 && y < 31) << "only the hidden symbol's frame differs: " << x << "," << y;
            }
    EXPECT_GT(differing, 20);
}

// Texts and shapes with texts paint exactly the parts of their whole device shape:
// fill, stroke, then glyph cells. Long texts come before short ones, so cells kept from
// one symbol are there when the next is painted, and must not show.
TEST(Scene, TextsAndLabelledShapesPaintTheirWholeShapes) {
    const std::string text =
        "vkdrawing 1\npage 200 150\n"
        "symbol text\n at 4 4\n size 14\n fill #0000FF\n text \"A long line of text\\nand a second\"\nend\n"
        "symbol text\n at 20 60\n size 9\n fill hatch #00FF00\n text \"Hi\"\n rotate 30\nend\n"
        "symbol rectangle\n box 100 20 190 80\n fill #FFFF00\n stroke #FF0000 3\n size 11\n text \"Boxed label\"\nend\n"
        "symbol ellipse\n box 30 90 120 140\n fill hatch #00FFFF\n stroke none\n text \"oval\"\n rotate 15\nend\n"
        "symbol polyline\n points 130 100 190 140 150 145\n stroke #800080 1\n text \"x\"\nend\n"
        "symbol text\n at 60 110\n size 20\n stroke #123456 1\n text \"\"\nend\n";
    auto d = Parse(text);
    Scene scene(*d);
    const PageMapping mapping = Scene::FitPage(*d, {0, 0, 400, 300}, true, 100);
    scene.SetMapping(mapping);

    Image got(400, 300, 0xFFFFFF), want(400, 300, 0xFFFFFF);
    Canvas gc = got.CanvasFor({0, 0, 400, 300});
    scene.Render(gc, {});
    Canvas wc = want.CanvasFor({0, 0, 400, 300});
    for (const auto& s : d->symbols) {
        DeviceShape shape;
        BuildDeviceShape(*s, WorldPlacement(*s), mapping, shape);
        if (s->kind == SymbolKind::Text) {
            const Colour ink = s->fill == FillKind::None ? (s->stroked ? s->strokeColour : 0) : s->fillColour;
            FillContours(wc, shape.fill, ink);
            continue;
        }
        FillContours(wc, shape.fill, s->fillColour, s->fill == FillKind::Hatch ? Paint::Hatch : Paint::Solid);
        std::vector<Contour> stroke;
        if (shape.halfStroke > 0) StrokeContours(shape.outline, shape.closed, shape.halfStroke, stroke);
        FillContours(wc, stroke, s->strokeColour);
        FillContours(wc, shape.label, s->stroked ? s->strokeColour : 0);
    }
    int painted = 0;
    for (size_t i = 0; i < got.data.size(); ++i) {
        ASSERT_EQ(got.data[i], want.data[i]) << "at " << i % 400 << "," << i / 400;
        painted += got.data[i] != 0xFFFFFF;
    }
    EXPECT_GT(painted, 2000);
}

TEST(Scene, TextPaintsGlyphsInsideItsBox) {
    auto d = Parse("vkdrawing 1\npage 60 20\nsymbol text\n at 0 0\n size 18\n fill #0000FF\n text \"HI\"\nend\n");
    Scene scene(*d);
    scene.SetMapping(Scene::FitPage(*d, {0, 0, 60, 20}, true, 100));
    EXPECT_EQ(scene.DevicePixels(*d->symbols[0]), (PixelRect{0, 0, 24, 18}));
    Image img(60, 20, 0xFFFFFF);
    Canvas c = img.CanvasFor({0, 0, 60, 20});
    scene.Render(c, {});
    // H: the left stem is lit from the second row of cells down; its middle gap is not.
    EXPECT_EQ(img.data[3 * 60 + 0], ToPixel(0xFF0000));
    EXPECT_EQ(img.data[3 * 60 + 4], 0xFFFFFFu);
    EXPECT_EQ(img.data[9 * 60 + 4], ToPixel(0xFF0000)) << "the crossbar";
    EXPECT_EQ(img.data[3 * 60 + 30], 0xFFFFFFu) << "nothing past the text";
}

}  // namespace
