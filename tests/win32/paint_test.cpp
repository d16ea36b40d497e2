// Painting: accumulated update regions, rcPaint, erasing from BeginPaint, clipping of
// window DCs, and the pump.
#include <gtest/gtest.h>

#include "message_log.h"

namespace {

struct PaintRecord {
    RECT rcPaint;
    BOOL fErase;
};
std::vector<PaintRecord> g_paints;
COLORREF g_fill = RGB(0, 0, 255);

// Paints its whole client area in g_fill (the DC clips to the update region).
LRESULT CALLBACK Painter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    g_paints.push_back(PaintRecord{ps.rcPaint, ps.fErase});
    RECT client;
    GetClientRect(hwnd, &client);
    HBRUSH brush = CreateSolidBrush(g_fill);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    EndPaint(hwnd, &ps);
    return 0;
}

LRESULT CALLBACK NeverValidates(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_PAINT ? 0 : DefWindowProcA(hwnd, msg, wParam, lParam);
}

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32_reset();
        g_paints.clear();
        g_fill = RGB(0, 0, 255);
        ASSERT_TRUE(w32_register_class("Page", 0, PlainProc, nullptr, TRUE, RGB(255, 255, 255)));
        ASSERT_TRUE(w32_register_class("Painter", 0, Painter, nullptr, FALSE, 0));
        page = w32_create_window("Page", nullptr, 0, 0, 200, 100);
        view = w32_create_window("Painter", page, 10, 10, 50, 40);
        ASSERT_GE(w32_pump(), 2);
        g_paints.clear();
    }
    HWND page = nullptr, view = nullptr;
};

TEST_F(PaintTest, NewWindowsPaintOnceWithTheirBackgroundErased)
{
    EXPECT_EQ(w32_window_pixel(page, 0, 0), RGB(255, 255, 255)) << "class background";
    EXPECT_EQ(w32_window_pixel(view, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(w32_window_pixel(page, 10, 10), RGB(0, 0, 255)) << "the child shows at its place";
    EXPECT_EQ(w32_pump(), 0);
}

TEST_F(PaintTest, InvalidationAccumulatesIntoOnePaint)
{
    MessageLog log;
    RECT a{5, 5, 10, 10}, b{20, 15, 30, 25};
    InvalidateRect(view, &a, FALSE);
    InvalidateRect(view, &b, TRUE);
    RECT outside{100, 100, 120, 120};
    InvalidateRect(view, &outside, FALSE);  // beyond the client area: ignored
    EXPECT_EQ(w32_pump(), 1);
    ASSERT_EQ(g_paints.size(), 1u);
    RECT expected{5, 5, 30, 25};
    EXPECT_TRUE(EqualRect(&g_paints[0].rcPaint, &expected)) << "rcPaint is the bounding box";
    EXPECT_TRUE(g_paints[0].fErase) << "no class background: the application must erase";
    EXPECT_EQ(log.Compare({{view, WM_PAINT}, {view, WM_ERASEBKGND}}), "") << "BeginPaint sends the erase";
}

TEST_F(PaintTest, PaintDcClipsToTheUpdateRegionNotItsBounds)
{
    g_fill = RGB(255, 0, 0);
    RECT a{0, 0, 5, 5}, b{20, 20, 25, 25};
    InvalidateRect(view, &a, FALSE);
    InvalidateRect(view, &b, FALSE);
    w32_pump();
    EXPECT_EQ(w32_window_pixel(view, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(w32_window_pixel(view, 24, 24), RGB(255, 0, 0));
    EXPECT_EQ(w32_window_pixel(view, 10, 10), RGB(0, 0, 255)) << "inside the bounds, outside the region";
    EXPECT_EQ(w32_window_pixel(view, 25, 25), RGB(0, 0, 255)) << "right and bottom are exclusive";
}

TEST_F(PaintTest, ParentPaintingLeavesChildrenAlone)
{
    HDC dc = GetDC(page);
    RECT all{0, 0, 200, 100};
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    FillRect(dc, &all, green);
    DeleteObject(green);
    ReleaseDC(page, dc);
    EXPECT_EQ(w32_window_pixel(page, 5, 5), RGB(0, 255, 0));
    EXPECT_EQ(w32_window_pixel(view, 5, 5), RGB(0, 0, 255));
}

TEST_F(PaintTest, MovingAChildRepaintsWhereItWasAndWhereItGoes)
{
    ASSERT_TRUE(w32_move_window(view, 100, 50));
    w32_pump();
    EXPECT_EQ(w32_window_pixel(page, 10, 10), RGB(255, 255, 255)) << "the page shows again where the view was";
    EXPECT_EQ(w32_window_pixel(page, 100, 50), RGB(0, 0, 255));
    EXPECT_EQ(w32_window_pixel(view, 0, 0), RGB(0, 0, 255));
}

TEST_F(PaintTest, APaintHandlerThatNeverValidatesStopsThePump)
{
    ASSERT_TRUE(w32_register_class("Stubborn", 0, NeverValidates, nullptr, FALSE, 0));
    HWND stubborn = w32_create_window("Stubborn", nullptr, 300, 0, 10, 10);
    EXPECT_EQ(w32_pump(), -1) << "a WM_PAINT handler that never validates";
    ValidateRect(stubborn, nullptr);
    EXPECT_EQ(w32_pump(), 0);
}

TEST_F(PaintTest, ResizeRepaintsAndDcsAreAccounted)
{
    int dcs = w32_live_dcs();
    w32_resize_window(view, 60, 45);
    w32_pump();
    ASSERT_FALSE(g_paints.empty());
    RECT whole{0, 0, 60, 45};
    EXPECT_TRUE(EqualRect(&g_paints.back().rcPaint, &whole));
    EXPECT_EQ(w32_live_dcs(), dcs) << "BeginPaint's DC goes with EndPaint";
    HDC dc = GetDC(view);
    EXPECT_EQ(w32_live_dcs(), dcs + 1);
    EXPECT_EQ(ReleaseDC(view, dc), 1);
    EXPECT_EQ(ReleaseDC(view, dc), 0);
}

}  // namespace
