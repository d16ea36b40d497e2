// DrawPage into device contexts: fitting, the update rectangle, flags and modes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine_fixture.h"

using namespace enginetest;

namespace {

const COLORREF kBack = RGB(0x12, 0x34, 0x56);
const COLORREF kRed = RGB(0xFF, 0, 0);

// A red square filling its 10 x 10 page, and a hidden blue one in its top-left corner.
const char kSquare[] = R"(vkdrawing 1
page 10 10
paper #FFFFFF
symbol rectangle
  name "Red"
  fill #FF0000
  stroke none
  box 0 0 10 10
end
symbol rectangle
  name "Ghost"
  hidden
  fill #0000FF
  stroke none
  box 1 1 5 5
end
)";

using DrawPageTest = EngineTest;

TEST_F(DrawPageTest, FitsTheDrawingCentredAndPaintsOnlyTheUpdateRectangle) {
    LoadedDrawing d(kSquare);
    for (int bits : {32, 24}) {
        DibTarget target(40, 20, bits, kBack);
        RECT page{0, 0, 40, 20}, update{12, 3, 25, 30};
        ASSERT_TRUE(DrawPage(d.get(), target.dc(), &page, &update, 0, CVL_MODE_RENDER, 0x9, 100));
        // The square is scaled to 20 x 20 and centred: columns 10 to 29.
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 40; ++x) {
                bool inUpdate = x >= 12 && x < 25 && y >= 3;
                bool inSquare = x >= 10 && x < 30;
                COLORREF want = inUpdate && inSquare ? kRed : kBack;
                ASSERT_EQ(target.Pixel(x, y), want) << bits << " bits at " << x << "," << y;
            }
    }
}

TEST_F(DrawPageTest, LayoutModeSetsCoordinatesWithoutPainting) {
    LoadedDrawing d(kSquare);
    DibTarget target(8, 8, 32, kBack);
    RECT page{100, 0, 140, 40};
    EXPECT_TRUE(DrawPage(d.get(), target.dc(), &page, nullptr, 0, CVL_MODE_LAYOUT, 0x109, 100));
    for (COLORREF c : target.All()) ASSERT_EQ(c, kBack);
    RECT r;
    GetSymbolRect(d.get(), d.Symbol("Red"), &r);
    EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{100, 0, 140, 40}));
    EXPECT_EQ(DrawPage(d.get(), target.dc(), &page, nullptr, 0, 7, 0x9, 100), 0) << "unknown mode";
}

TEST_F(DrawPageTest, HiddenBoundsShowAndIncrementalPassesKeepThem) {
    LoadedDrawing d(kSquare);
    RECT page{0, 0, 20, 20};
    auto render = [&](DWORD first, DWORD second) {
        DibTarget t(20, 20, 32, kBack);
        DrawPage(d.get(), t.dc(), &page, nullptr, 0, 3, first, 100);
        t.Fill({0, 0, 20, 20}, kBack);
        DrawPage(d.get(), t.dc(), &page, nullptr, 0, 3, second, 100);
        return t.All();
    };
    std::vector<COLORREF> plain = render(0x9, 0x20), framed = render(0x109, 0x20);
    int differing = 0;
    for (size_t i = 0; i < plain.size(); ++i)
        if (plain[i] != framed[i]) {
            ++differing;
            EXPECT_LT(i % 20, 10u);
            EXPECT_LT(i / 20, 10u);
        }
    EXPECT_GT(differing, 6) << "the dashed frame of the hidden square";
}

TEST_F(DrawPageTest, LayerArgumentPaintsOneLayerAlone) {
    LoadedDrawing d("vkdrawing 1\npage 2 1\nlayer 1 shown\nlayer 2 shown\n"
                    "symbol rectangle\n fill #FF0000\n stroke none\n box 0 0 1 1\nend\n"
                    "symbol rectangle\n layer 2\n fill #00FF00\n stroke none\n box 1 0 2 1\nend\n");
    DibTarget t(2, 1, 32, kBack);
    RECT page{0, 0, 2, 1};
    DrawPage(d.get(), t.dc(), &page, nullptr, 2, 3, 0x9, 100);
    EXPECT_EQ(t.All(), (std::vector<COLORREF>{kBack, RGB(0, 0xFF, 0)}));
}

TEST_F(DrawPageTest, PaintsIntoCompatibleBitmapsAndPrinters) {
    LoadedDrawing d(kSquare);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 10, 10);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT page{0, 0, 10, 10}, update{2, 2, 4, 4};
    HBRUSH brush = CreateSolidBrush(kBack);
    FillRect(memory, &page, brush);
    DeleteObject(brush);
    DrawPage(d.get(), memory, &page, &update, 0, 3, 0x9, 100);
    EXPECT_EQ(w32_dc_pixel(memory, 2, 2) & 0xFFFFFF, kRed);
    EXPECT_EQ(w32_dc_pixel(memory, 4, 4) & 0xFFFFFF, kBack);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    // A print pass draws on the printer's page and leaves the screen's coordinates alone.
    d.Layout({0, 0, 10, 10});
    HDC printer = w32_create_printer_dc(200, 100, SIZE{200, 100}, SIZE{200, 100});
    RECT paper{50, 0, 150, 100};
    EXPECT_TRUE(DrawPage(d.get(), printer, &paper, nullptr, 0, 3, 0x89, 100));
    EXPECT_EQ(w32_dc_pixel(printer, 100, 50) & 0xFFFFFF, kRed);
    EXPECT_EQ(w32_dc_pixel(printer, 10, 50) & 0xFFFFFF, RGB(255, 255, 255));
    DeleteDC(printer);
    RECT r;
    GetSymbolRect(d.get(), d.Symbol("Red"), &r);
    EXPECT_EQ(r.right, 10);
}

// A printer page placed by the browser can span more than an int holds; the fit
// still measures it: 8 high, so the square is 8 x 8, centred on x = 0.
TEST_F(DrawPageTest, FitsAPageWiderThanAnIntHolds) {
    LoadedDrawing d(kSquare);
    DibTarget target(8, 8, 32, kBack);
    RECT page{-2147483647 - 1, 0, 2147483647, 8}, update{0, 0, 8, 8};
    EXPECT_TRUE(DrawPage(d.get(), target.dc(), &page, &update, 0, CVL_MODE_RENDER, 0x89, 100));
    EXPECT_EQ(target.Pixel(0, 0), kRed);
    EXPECT_EQ(target.Pixel(2, 7), kRed);
    EXPECT_EQ(target.Pixel(4, 0), RGB(255, 255, 255)) << "the paper beside the square";
}

TEST_F(DrawPageTest, LeavesNoWindowSystemObjectsBehind) {
    LoadedDrawing d(kSquare);
    DibTarget t(30, 30, 32, kBack);
    int objects = w32_live_gdi_objects(), dcs = w32_live_dcs();
    RECT page{0, 0, 30, 30};
    for (DWORD flags : {0x9u, 0x109u, 0x20u, 0x89u}) DrawPage(d.get(), t.dc(), &page, nullptr, 0, 3, flags, 100);
    EXPECT_EQ(w32_live_gdi_objects(), objects);
    EXPECT_EQ(w32_live_dcs(), dcs);
    EXPECT_EQ(w32_bad_handle_uses(), 0);
}

}  // namespace
