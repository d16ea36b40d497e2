// The example drawings load, and the showcase renders what it shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine_fixture.h"

using namespace enginetest;

namespace {

std::string Example(const char* name) {
    const char* root = std::getenv("VK_SOURCE_DIR");
    return std::string(root ? root : ".") + "/examples/" + name;
}

using Examples = EngineTest;

TEST_F(Examples, EveryExampleLoadsAndRenders) {
    for (const char* name : {"showcase.vkf", "lamp-panel.vk4", "floorplan.vkw"}) {
        CVLDRAWING d = LoadDrawing(Example(name).c_str());
        ASSERT_NE(d, 0u) << name << ": " << cvldiag::LoadError();
        DibTarget target(320, 200, 32, RGB(255, 255, 255));
        RECT page{0, 0, 320, 200};
        EXPECT_TRUE(DrawPage(d, target.dc(), &page, nullptr, 0, 3, 0x109, 100)) << name;
        int painted = 0;
        for (COLORREF c : target.All()) painted += c != RGB(255, 255, 255);
        EXPECT_GT(painted, 320 * 200 / 10) << name;
        FreeDrawing(d);
    }
}

TEST_F(Examples, ShowcaseShowsItsShapesWhereTheFileSays) {
    CVLDRAWING d = LoadDrawing(Example("showcase.vkf").c_str());
    ASSERT_NE(d, 0u) << cvldiag::LoadError();
    // The 640 x 400 page fits a 640 x 400 target one to one.
    DibTarget target(640, 400, 24, RGB(1, 2, 3));
    RECT page{0, 0, 640, 400};
    DrawPage(d, target.dc(), &page, nullptr, 0, 3, 0x9, 100);
    struct Spot {
        int x, y;
        COLORREF colour;
        const char* what;
    };
    const Spot spots[] = {
        {30, 70, RGB(0x40, 0x80, 0xFF), "the rectangle's fill"},
        {100, 60, RGB(0x00, 0x20, 0x80), "the rectangle's outline"},
        {520, 120, RGB(0xFF, 0xD0, 0x00), "inside the star"},
        {600, 20, RGB(0xFF, 0xFF, 0xFF), "the paper"},
        {540, 315, RGB(0x60, 0x60, 0x60), "the lamp's base"},
        {100, 370, RGB(0xFF, 0xFF, 0xFF), "the note on the hidden layer is not drawn"},
    };
    for (const Spot& s : spots) EXPECT_EQ(target.Pixel(s.x, s.y), s.colour) << s.what;
    POINT bulb{540, 270};
    int tolerance = 2;
    EXPECT_EQ(SymbolFromPoint(d, &bulb, &tolerance, 0), SymbolFromName(d, "Lamp"));
    FreeDrawing(d);
}

}  // namespace
