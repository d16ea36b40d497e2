// GDI: DIB sections in Win32's memory layout, device-dependent bitmaps at the display
// depth, conversions in BitBlt, palette matching, printer DCs and object rules.
#include <gtest/gtest.h>

#include <win32_control.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

namespace {

class GdiTest : public ::testing::Test {
protected:
    void SetUp() override { w32_reset(); }

    static HBITMAP Dib(int bpp, int width, int height, void **bits)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = WORD(bpp);
        info.bmiHeader.biCompression = BI_RGB;
        return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    }

    static void Fill(HDC dc, RECT r, COLORREF color)
    {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
};

TEST_F(GdiTest, DibSectionMemoryLayout)
{
    struct Case {
        int bpp, width, height;
        int stride, pixelBytes;
    } cases[] = {{24, 3, 2, 12, 3}, {24, 4, 2, 12, 3}, {32, 3, 2, 12, 4}, {24, 1, 3, 4, 3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.bpp << " bits, " << c.width << " x " << c.height);
        void *bits = nullptr;
        HBITMAP bitmap = Dib(c.bpp, c.width, c.height, &bits);
        ASSERT_NE(bitmap, nullptr);
        ASSERT_NE(bits, nullptr);
        DIBSECTION ds;
        ASSERT_EQ(GetObjectA(bitmap, sizeof ds, &ds), int(sizeof ds));
        EXPECT_EQ(ds.dsBm.bmWidthBytes, c.stride);
        EXPECT_EQ(ds.dsBm.bmBits, bits);
        EXPECT_EQ(ds.dsBmih.biSizeImage, DWORD(c.stride * c.height));

        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, bitmap);
        Fill(dc, RECT{0, 0, c.width, c.height}, RGB(0, 0, 0));
        // The top-left pixel lives in the last row in memory (bottom-up), blue first.
        Fill(dc, RECT{0, 0, 1, 1}, RGB(0x11, 0x22, 0x33));
        GdiFlush();
        const auto *bytes = static_cast<const uint8_t *>(bits);
        const uint8_t *top = bytes + (c.height - 1) * c.stride;
        EXPECT_EQ(top[0], 0x33);
        EXPECT_EQ(top[1], 0x22);
        EXPECT_EQ(top[2], 0x11);
        if (c.pixelBytes == 4) {
            EXPECT_EQ(top[3], 0);
        }
        EXPECT_EQ(bytes[0], 0) << "bottom row untouched";
        // Writing memory directly shows through GDI at once.
        uint8_t *bottomRight = const_cast<uint8_t *>(bytes) + (c.width - 1) * c.pixelBytes;
        bottomRight[0] = 0xC0;
        bottomRight[1] = 0xB0;
        bottomRight[2] = 0xA0;
        EXPECT_EQ(GetPixel(dc, c.width - 1, c.height - 1), RGB(0xA0, 0xB0, 0xC0));
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
}

TEST_F(GdiTest, IndexedDibsPickTheNearestTableEntry)
{
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[4];
    } info{{sizeof(BITMAPINFOHEADER), 5, 2, 1, 8, BI_RGB, 0, 0, 0, 4, 0},
           {{0, 0, 0, 0}, {255, 255, 255, 0}, {0, 0, 200, 0}, {200, 0, 0, 0}}};
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION ds;
    GetObjectA(bitmap, sizeof ds, &ds);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 8) << "five bytes padded to eight";
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    Fill(dc, RECT{0, 0, 1, 1}, RGB(190, 10, 10));  // red-ish: entry 2 (red 200)
    Fill(dc, RECT{4, 0, 5, 1}, RGB(10, 10, 180));  // blue-ish: entry 3 (blue 200)
    const auto *top = static_cast<const uint8_t *>(bits) + 8;
    EXPECT_EQ(top[0], 2);
    EXPECT_EQ(top[4], 3);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(200, 0, 0));
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST_F(GdiTest, TopDownDibsStartWithTheTopRow)
{
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, -2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bitmap, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    Fill(dc, RECT{0, 0, 1, 1}, RGB(1, 2, 3));
    EXPECT_EQ(static_cast<uint8_t *>(bits)[0], 3);
    DeleteDC(dc);
    DeleteObject(bitmap);
}

TEST_F(GdiTest, BadDibHeadersAreRefused)
{
    struct Case {
        const char *what;
        LONG width, height;
        WORD bpp;
        DWORD compression;
    } cases[] = {{"zero width", 0, 4, 24, BI_RGB},
                 {"zero height", 4, 0, 24, BI_RGB},
                 {"odd depth", 4, 4, 7, BI_RGB},
                 {"bit fields", 4, 4, 32, BI_BITFIELDS},
                 {"huge", 100000, 100000, 32, BI_RGB}};
    for (const Case &c : cases) {
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), c.width, c.height, 1, c.bpp, c.compression,
                                          0, 0, 0, 0, 0};
        void *bits = reinterpret_cast<void *>(1);
        EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << c.what;
        EXPECT_EQ(bits, nullptr) << c.what;
    }
    EXPECT_EQ(w32_live_gdi_objects(), 0);
}

TEST_F(GdiTest, DeviceBitmapsKeepTheDisplayDepthAndConvertInBitBlt)
{
    struct Case {
        int depth;
        COLORREF in, out;
    } cases[] = {{32, RGB(0x13, 0x57, 0x9B), RGB(0x13, 0x57, 0x9B)},
                 {24, RGB(0x13, 0x57, 0x9B), RGB(0x13, 0x57, 0x9B)},
                 {16, RGB(0x13, 0x57, 0x9B), RGB(0x10, 0x54, 0x98)},
                 {8, RGB(250, 5, 5), RGB(255, 0, 0)}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.depth);
        w32_reset();
        ASSERT_TRUE(w32_set_display_depth(c.depth));
        HDC screen = GetDC(GetDesktopWindow());
        EXPECT_EQ(GetDeviceCaps(screen, BITSPIXEL), c.depth);
        EXPECT_EQ((GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) != 0, c.depth == 8);
        HBITMAP ddb = CreateCompatibleBitmap(screen, 4, 4);
        BITMAP bm;
        ASSERT_EQ(GetObjectA(ddb, sizeof bm, &bm), int(sizeof bm));
        EXPECT_EQ(bm.bmBitsPixel, c.depth);
        EXPECT_EQ(bm.bmBits, nullptr) << "a device-dependent bitmap's bits are private";
        HDC memory = CreateCompatibleDC(screen);
        EXPECT_EQ(GetDeviceCaps(memory, BITSPIXEL), c.depth);
        HGDIOBJ old = SelectObject(memory, ddb);
        ASSERT_NE(old, nullptr);
        Fill(memory, RECT{0, 0, 4, 4}, c.in);

        void *bits = nullptr;
        HBITMAP dib = Dib(32, 4, 4, &bits);
        HDC dibDc = CreateCompatibleDC(screen);
        HGDIOBJ oldDib = SelectObject(dibDc, dib);
        ASSERT_TRUE(BitBlt(dibDc, 0, 0, 4, 4, memory, 0, 0, SRCCOPY));
        EXPECT_EQ(GetPixel(dibDc, 2, 2), c.out);

        SelectObject(memory, old);
        SelectObject(dibDc, oldDib);
        DeleteDC(memory);
        DeleteDC(dibDc);
        DeleteObject(ddb);
        DeleteObject(dib);
        ReleaseDC(GetDesktopWindow(), screen);
        EXPECT_EQ(w32_live_gdi_objects(), 0);
        EXPECT_EQ(w32_live_dcs(), 0);
    }
}

TEST_F(GdiTest, AFreshMemoryDcMakesMonochromeBitmaps)
{
    HDC memory = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(memory, 2, 2);
    BITMAP bm;
    GetObjectA(mono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1) << "the DC still holds its 1 x 1 monochrome bitmap";
    SelectObject(memory, mono);
    Fill(memory, RECT{0, 0, 1, 2}, RGB(255, 0, 0));
    Fill(memory, RECT{1, 0, 2, 2}, RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(memory, 1, 0), RGB(255, 255, 255));
    HBITMAP tiny = CreateCompatibleBitmap(GetDC(nullptr), 0, 5);
    GetObjectA(tiny, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
}

TEST_F(GdiTest, PaletteRelativeColoursPaintAsTheirRgb)
{
    void *bits = nullptr;
    HBITMAP dib = Dib(32, 2, 1, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, dib);
    Fill(dc, RECT{0, 0, 1, 1}, 0x02000000 | RGB(12, 34, 56));
    Fill(dc, RECT{1, 0, 2, 1}, PALETTEINDEX(1));  // entry 1 of the default palette
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(12, 34, 56));
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(128, 0, 0));
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST_F(GdiTest, CopyingARowIntoAnEightBitDeviceBitmapMatchesEveryPixelOnItsOwn)
{
    // Runs and single pixels, black first and last: each pixel must get its own
    // nearest colour, whatever came before it in the row.
    const COLORREF row[] = {RGB(0, 0, 0),     RGB(250, 5, 5),   RGB(250, 5, 5), RGB(5, 5, 250),
                            RGB(250, 5, 5),   RGB(128, 128, 0), RGB(0, 0, 0),   RGB(255, 255, 255),
                            RGB(255, 255, 255), RGB(0, 0, 0)};
    const int width = int(sizeof row / sizeof row[0]);
    ASSERT_TRUE(w32_set_display_depth(8));
    HDC screen = GetDC(GetDesktopWindow());
    void *bits = nullptr;
    HBITMAP dib = Dib(32, width, 1, &bits);
    HDC dibDc = CreateCompatibleDC(screen);
    HGDIOBJ oldDib = SelectObject(dibDc, dib);
    HBITMAP ddb = CreateCompatibleBitmap(screen, width, 1);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, ddb);
    for (int x = 0; x < width; ++x) {
        Fill(dibDc, RECT{x, 0, x + 1, 1}, row[x]);
        Fill(memory, RECT{x, 0, x + 1, 1}, row[x]);  // one pixel at a time: the reference
    }
    std::vector<COLORREF> expected;
    for (int x = 0; x < width; ++x) expected.push_back(GetPixel(memory, x, 0));

    ASSERT_TRUE(BitBlt(memory, 0, 0, width, 1, dibDc, 0, 0, SRCCOPY));
    for (int x = 0; x < width; ++x) EXPECT_EQ(GetPixel(memory, x, 0), expected[size_t(x)]) << "pixel " << x;
    EXPECT_NE(expected[1], expected[3]);

    SelectObject(memory, old);
    SelectObject(dibDc, oldDib);
    DeleteDC(memory);
    DeleteDC(dibDc);
    DeleteObject(ddb);
    DeleteObject(dib);
    ReleaseDC(GetDesktopWindow(), screen);
}

TEST_F(GdiTest, WideSpansInDibsMatchPixelByPixelWrites)
{
    // Fills and reads of whole spans go by blocks of pixels; every length and offset,
    // blocks and tails, must match one pixel set and read at a time.
    std::mt19937 random(1512);
    std::uniform_int_distribution<int> coordinate(0, 70), channel(0, 255);
    for (int bpp : {24, 32}) {
        SCOPED_TRACE(testing::Message() << bpp << " bits");
        const int width = 71, height = 9;
        void *fastBits = nullptr, *referenceBits = nullptr, *readBits = nullptr;
        HBITMAP fast = Dib(bpp, width, height, &fastBits), reference = Dib(bpp, width, height, &referenceBits);
        HBITMAP read = Dib(32, width, height, &readBits);
        HDC fastDc = CreateCompatibleDC(nullptr), referenceDc = CreateCompatibleDC(nullptr);
        HDC readDc = CreateCompatibleDC(nullptr);
        HGDIOBJ oldFast = SelectObject(fastDc, fast), oldReference = SelectObject(referenceDc, reference);
        HGDIOBJ oldRead = SelectObject(readDc, read);
        for (int round = 0; round < 60; ++round) {
            int left = coordinate(random), right = coordinate(random);
            if (left > right) std::swap(left, right);
            const int row = round % height;
            const COLORREF colour = RGB(channel(random), channel(random), channel(random));
            Fill(fastDc, RECT{left, row, right + 1, row + 1}, colour);
            for (int x = left; x <= right; ++x) Fill(referenceDc, RECT{x, row, x + 1, row + 1}, colour);
        }
        GdiFlush();
        const size_t stride = size_t((bpp * width + 31) / 32 * 4);
        EXPECT_EQ(std::memcmp(fastBits, referenceBits, stride * height), 0) << "fills";
        ASSERT_TRUE(BitBlt(readDc, 0, 0, width, height, fastDc, 0, 0, SRCCOPY));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(GetPixel(readDc, x, y), GetPixel(referenceDc, x, y)) << "read at " << x << ", " << y;
        SelectObject(fastDc, oldFast);
        SelectObject(referenceDc, oldReference);
        SelectObject(readDc, oldRead);
        DeleteDC(fastDc);
        DeleteDC(referenceDc);
        DeleteDC(readDc);
        DeleteObject(fast);
        DeleteObject(reference);
        DeleteObject(read);
    }
}

TEST_F(GdiTest, EightBitDisplayMatchesColoursThroughPalettes)
{
    w32_set_display_depth(8);
    w32_register_class("Plain", 0, DefWindowProcA, nullptr, FALSE, 0);
    HWND w = w32_create_window("Plain", nullptr, 0, 0, 3, 1);
    HDC dc = GetDC(w);
    LOGPALETTE pal{0x300, 1, {{10, 200, 30, 0}}};
    HPALETTE palette = CreatePalette(&pal);
    HPALETTE old = SelectPalette(dc, palette, TRUE);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(RealizePalette(dc), 1u);
    Fill(dc, RECT{0, 0, 1, 1}, PALETTERGB(12, 198, 33));  // nearest logical entry
    Fill(dc, RECT{1, 0, 2, 1}, RGB(12, 198, 33));         // explicit RGB: reserved colours only
    Fill(dc, RECT{2, 0, 3, 1}, PALETTEINDEX(0));
    EXPECT_EQ(w32_window_pixel(w, 0, 0), RGB(10, 200, 30));
    EXPECT_EQ(w32_window_pixel(w, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(w32_window_pixel(w, 2, 0), RGB(10, 200, 30));
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 1u);
    WORD entries = 0;
    EXPECT_EQ(GetObjectA(palette, sizeof entries, &entries), int(sizeof entries));
    EXPECT_EQ(entries, 1);
    EXPECT_FALSE(DeleteObject(palette)) << "still selected";
    SelectPalette(dc, old, TRUE);
    EXPECT_TRUE(DeleteObject(palette));
    ReleaseDC(w, dc);

    w32_set_display_depth(32);
    HDC screen = GetDC(nullptr);
    palette = CreatePalette(&pal);
    SelectPalette(screen, palette, TRUE);
    EXPECT_EQ(RealizePalette(screen), 0u) << "nothing to realize on a true-colour display";
    ReleaseDC(nullptr, screen);
}

TEST_F(GdiTest, SelectionRules)
{
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    void *bits = nullptr;
    HBITMAP dib = Dib(24, 2, 2, &bits);
    HGDIOBJ stock = SelectObject(a, dib);
    EXPECT_EQ(GetObjectType(stock), DWORD(OBJ_BITMAP));
    EXPECT_EQ(SelectObject(b, dib), nullptr) << "a bitmap lives in one DC at a time";
    EXPECT_FALSE(DeleteObject(dib)) << "selected objects are not deleted";
    EXPECT_EQ(SelectObject(a, stock), dib);
    EXPECT_TRUE(DeleteObject(dib));
    int bad = w32_bad_handle_uses();
    EXPECT_FALSE(DeleteObject(dib));
    EXPECT_EQ(w32_bad_handle_uses(), bad + 1);
    EXPECT_EQ(GetObjectType(a), DWORD(OBJ_MEMDC));

    // A device bitmap of one depth does not go into a DC of another.
    w32_set_display_depth(16);
    HBITMAP ddb16 = CreateCompatibleBitmap(GetDC(nullptr), 2, 2);
    w32_set_display_depth(32);
    HDC c = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(c, ddb16), nullptr);
    HWND none = nullptr;
    EXPECT_EQ(SelectObject(GetDC(none), dib), nullptr);
    DeleteDC(a);
    DeleteDC(b);
    DeleteDC(c);
}

// Many DCs alive at once, deleted in an order unlike their making: each handle stays
// its own DC until deleted and is a bad handle after, and a DC made from reused
// memory starts as a fresh one.
TEST_F(GdiTest, DeviceContextsKeepTheirOwnStateUntilDeletedInAnyOrder)
{
    std::vector<HDC> dcs;
    std::vector<HBITMAP> bitmaps;
    for (int i = 0; i < 20; ++i) {
        dcs.push_back(CreateCompatibleDC(nullptr));
        void *bits = nullptr;
        bitmaps.push_back(Dib(32, 1, 1, &bits));
        SelectObject(dcs.back(), bitmaps.back());
        Fill(dcs.back(), RECT{0, 0, 1, 1}, RGB(i, 0, 0));
    }
    EXPECT_EQ(w32_live_dcs(), 20);
    std::mt19937 random(7);
    std::vector<size_t> order(dcs.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), random);
    for (size_t n = 0; n < order.size(); ++n) {
        const size_t gone = order[n];
        EXPECT_TRUE(DeleteDC(dcs[gone]));
        const int bad = w32_bad_handle_uses();
        EXPECT_EQ(GetPixel(dcs[gone], 0, 0), CLR_INVALID);
        EXPECT_EQ(w32_bad_handle_uses(), bad + 1);
        for (size_t m = n + 1; m < order.size(); ++m)
            EXPECT_EQ(GetPixel(dcs[order[m]], 0, 0), RGB(int(order[m]), 0, 0)) << "DC " << order[m];
        // A DC made now takes the memory of one deleted: it holds the stock bitmap.
        HDC fresh = CreateCompatibleDC(nullptr);
        BITMAP stock{};
        ASSERT_NE(GetObjectA(GetCurrentObject(fresh, OBJ_BITMAP), sizeof stock, &stock), 0);
        EXPECT_EQ(stock.bmWidth, 1);
        EXPECT_EQ(stock.bmBitsPixel, 1);
        EXPECT_TRUE(DeleteDC(fresh));
    }
    EXPECT_EQ(w32_live_dcs(), 0);
    for (HBITMAP bitmap : bitmaps) EXPECT_TRUE(DeleteObject(bitmap));

    // Nothing of a printer's DC carries over to a display DC made after it.
    HDC printer = w32_create_printer_dc(50, 40, SIZE{1, 1}, SIZE{1, 1});
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(DeleteDC(printer));
    HDC display = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(display, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetDeviceCaps(display, HORZRES), 1024);
    EXPECT_TRUE(DeleteDC(display));
}

TEST_F(GdiTest, PrinterDcReportsItsExtentsAndCannotBeRead)
{
    HDC printer = w32_create_printer_dc(100, 50, SIZE{600, 600}, SIZE{300, 300});
    ASSERT_NE(printer, nullptr);
    SIZE window, viewport;
    ASSERT_TRUE(GetWindowExtEx(printer, &window));
    ASSERT_TRUE(GetViewportExtEx(printer, &viewport));
    EXPECT_EQ(window.cx, 600);
    EXPECT_EQ(viewport.cx, 300);
    EXPECT_EQ(GetDeviceCaps(printer, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(printer, HORZRES), 100);
    EXPECT_EQ(w32_dc_pixel(printer, 5, 5), RGB(255, 255, 255));
    Fill(printer, RECT{0, 0, 10, 10}, RGB(1, 2, 3));
    EXPECT_EQ(w32_dc_pixel(printer, 9, 9), RGB(1, 2, 3));
    EXPECT_EQ(w32_dc_pixel(printer, 10, 9), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(printer, 5, 5), CLR_INVALID);
    HDC memory = CreateCompatibleDC(printer);
    EXPECT_EQ(GetDeviceCaps(memory, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_FALSE(BitBlt(memory, 0, 0, 1, 1, printer, 0, 0, SRCCOPY));
    HDC screen = GetDC(nullptr);
    SIZE ext;
    GetWindowExtEx(screen, &ext);
    EXPECT_EQ(ext.cx, 1) << "screen DCs map one to one";
    DeleteDC(memory);
    EXPECT_TRUE(DeleteDC(printer));
    EXPECT_FALSE(DeleteDC(screen)) << "window DCs are released, not deleted";
    ReleaseDC(nullptr, screen);
}

TEST_F(GdiTest, SetDIBitsToDeviceDrawsBottomUpRows)
{
    w32_register_class("Plain", 0, DefWindowProcA, nullptr, FALSE, 0);
    HWND w = w32_create_window("Plain", nullptr, 10, 10, 4, 4);
    // Two rows of two pixels, bottom row first in memory.
    uint8_t bits[2 * 4] = {0, 0, 255, /*bottom-left red*/ 0, 255, 0, /*bottom-right green*/ 0, 0};
    uint8_t rows[16] = {};
    std::memcpy(rows, bits, 6);
    rows[8] = 255;  // top-left blue
    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(w);
    EXPECT_EQ(SetDIBitsToDevice(dc, 1, 1, 2, 2, 0, 0, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
    ReleaseDC(w, dc);
    EXPECT_EQ(w32_window_pixel(w, 1, 1), RGB(0, 0, 255));
    EXPECT_EQ(w32_window_pixel(w, 1, 2), RGB(255, 0, 0));
    EXPECT_EQ(w32_window_pixel(w, 2, 2), RGB(0, 255, 0));
    // Sizes beyond the DIB draw only what the DIB has.
    dc = GetDC(w);
    EXPECT_EQ(SetDIBitsToDevice(dc, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF, 0, 0, 0, 2, rows, &info, DIB_RGB_COLORS), 2);
    ReleaseDC(w, dc);
}

TEST_F(GdiTest, BitBltClipsAndCopiesOverlappingAreas)
{
    void *bits = nullptr;
    HBITMAP dib = Dib(32, 4, 1, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, dib);
    for (int x = 0; x < 4; ++x) Fill(dc, RECT{x, 0, x + 1, 1}, RGB(x * 10, 0, 0));
    ASSERT_TRUE(BitBlt(dc, 1, 0, 3, 1, dc, 0, 0, SRCCOPY));  // shift right by one
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 3, 0), RGB(20, 0, 0));
    EXPECT_TRUE(BitBlt(dc, -2, 0, 10, 1, dc, -2, 0, SRCCOPY)) << "clipped at both ends";
    EXPECT_FALSE(BitBlt(dc, 0, 0, 1, 1, dc, 0, 0, 0x00EE0086 /* SRCPAINT */));
    DeleteDC(dc);
    DeleteObject(dib);
}

}  // namespace

TEST_F(GdiTest, EightBitSurfacesOfOneFormatCopyIndexForIndex)
{
    // Device format: a bitmap drawn through a logical palette keeps its colours when
    // copied to another bitmap or the screen whose DC holds only the default palette.
    w32_set_display_depth(8);
    w32_register_class("Plain", 0, DefWindowProcA, nullptr, FALSE, 0);
    HWND w = w32_create_window("Plain", nullptr, 0, 0, 2, 1);
    HDC screen = GetDC(nullptr);
    HDC painted = CreateCompatibleDC(screen);
    HDC plain = CreateCompatibleDC(screen);
    HBITMAP source = CreateCompatibleBitmap(screen, 2, 1);
    HBITMAP copy = CreateCompatibleBitmap(screen, 2, 1);
    HGDIOBJ oldSource = SelectObject(painted, source);
    HGDIOBJ oldCopy = SelectObject(plain, copy);
    LOGPALETTE pal{0x300, 1, {{0x33, 0x66, 0x99, 0}}};
    HPALETTE palette = CreatePalette(&pal);
    HPALETTE oldPalette = SelectPalette(painted, palette, FALSE);
    RealizePalette(painted);
    Fill(painted, RECT{0, 0, 2, 1}, PALETTERGB(0x33, 0x66, 0x99));
    ASSERT_EQ(GetPixel(painted, 0, 0), RGB(0x33, 0x66, 0x99));
    ASSERT_TRUE(BitBlt(plain, 0, 0, 2, 1, painted, 0, 0, SRCCOPY));
    EXPECT_EQ(GetPixel(plain, 1, 0), RGB(0x33, 0x66, 0x99)) << "bitmap to bitmap";
    HDC window = GetDC(w);
    ASSERT_TRUE(BitBlt(window, 0, 0, 2, 1, plain, 0, 0, SRCCOPY));
    EXPECT_EQ(w32_window_pixel(w, 0, 0), RGB(0x33, 0x66, 0x99)) << "bitmap to screen";
    ReleaseDC(w, window);
    SelectPalette(painted, oldPalette, FALSE);
    SelectObject(painted, oldSource);
    SelectObject(plain, oldCopy);
    DeleteDC(painted);
    DeleteDC(plain);
    ReleaseDC(nullptr, screen);
    DeleteObject(palette);
    DeleteObject(source);
    DeleteObject(copy);

    // 8-bit DIB sections with one colour table: the very indices, even of an entry
    // that repeats another's colour. Another table means matching by colour.
    struct Info {
        BITMAPINFOHEADER header;
        RGBQUAD colors[3];
    };
    const Info same{{sizeof(BITMAPINFOHEADER), 4, 1, 1, 8, BI_RGB, 0, 0, 0, 3, 0},
                    {{0, 0, 255, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}}};
    Info other = same;
    other.colors[2] = RGBQUAD{0, 255, 0, 0};
    void *fromBits = nullptr, *sameBits = nullptr, *otherBits = nullptr;
    auto make = [](const Info &info, void **bits) {
        return CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO *>(&info), DIB_RGB_COLORS, bits, nullptr, 0);
    };
    HBITMAP from = make(same, &fromBits), to = make(same, &sameBits), elsewhere = make(other, &otherBits);
    static_cast<uint8_t *>(fromBits)[0] = 1;
    static_cast<uint8_t *>(fromBits)[1] = 2;
    HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
    HGDIOBJ oldA = SelectObject(a, from);
    HGDIOBJ oldB = SelectObject(b, to);
    ASSERT_TRUE(BitBlt(b, 0, 0, 2, 1, a, 0, 0, SRCCOPY));
    EXPECT_EQ(static_cast<uint8_t *>(sameBits)[0], 1);
    EXPECT_EQ(static_cast<uint8_t *>(sameBits)[1], 2);
    SelectObject(b, elsewhere);
    ASSERT_TRUE(BitBlt(b, 0, 0, 2, 1, a, 0, 0, SRCCOPY));
    EXPECT_EQ(static_cast<uint8_t *>(otherBits)[0], 0) << "the first entry of that colour";
    SelectObject(a, oldA);
    SelectObject(b, oldB);
    DeleteDC(a);
    DeleteDC(b);
    DeleteObject(from);
    DeleteObject(to);
    DeleteObject(elsewhere);
}

TEST_F(GdiTest, ScreenChangesCoverWhatWasDrawnOnTheScreenOnly)
{
    w32_register_class("Plain", 0, DefWindowProcA, nullptr, FALSE, 0);
    HWND w = w32_create_window("Plain", nullptr, 100, 50, 40, 30);
    RECT changed;
    w32_take_screen_changes(&changed);  // the reset's cleared screen
    w32_take_screen_changes(&changed);
    EXPECT_TRUE(IsRectEmpty(&changed)) << "nothing drawn since the last call";

    HDC dc = GetDC(w);
    Fill(dc, RECT{5, 6, 10, 8}, RGB(1, 2, 3));
    Fill(dc, RECT{20, 1, 21, 2}, RGB(4, 5, 6));
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 8);
    HGDIOBJ old = SelectObject(memory, bitmap);
    Fill(memory, RECT{0, 0, 8, 8}, RGB(7, 8, 9));  // off the screen: no change
    w32_take_screen_changes(&changed);
    EXPECT_EQ(changed.left, 105);
    EXPECT_EQ(changed.top, 51);
    EXPECT_EQ(changed.right, 121);
    EXPECT_EQ(changed.bottom, 58);

    Fill(memory, RECT{0, 0, 8, 8}, RGB(7, 8, 9));
    BitBlt(dc, 30, 20, 2, 3, memory, 0, 0, SRCCOPY);
    w32_take_screen_changes(&changed);
    EXPECT_EQ(changed.left, 130);
    EXPECT_EQ(changed.top, 70);
    EXPECT_EQ(changed.right, 132);
    EXPECT_EQ(changed.bottom, 73);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(w, dc);
}
