// Windows and classes: procedure exchange, class style, sent messages, geometry,
// resizing and destruction.
#include <gtest/gtest.h>

#include "message_log.h"

namespace {

WNDPROC g_saved = nullptr;
std::vector<UINT> g_seenBySubclass;

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_seenBySubclass.push_back(msg);
    if (msg == WM_USER) return 7;
    return CallWindowProcA(g_saved, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Answering(HWND, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return msg == WM_USER ? LRESULT(wParam + lParam) : 0;
}

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32_reset();
        ASSERT_TRUE(w32_register_class("Browser", 0, PlainProc, nullptr, FALSE, 0));
        browser = w32_create_window("Browser", nullptr, 100, 50, 400, 300);
        view = w32_create_window("Browser", browser, 20, 30, 200, 100);
        ASSERT_NE(browser, nullptr);
        ASSERT_NE(view, nullptr);
    }
    HWND browser = nullptr, view = nullptr;
};

TEST_F(WindowsTest, SubclassingExchangesProceduresAndChainsToTheOldOne)
{
    ASSERT_TRUE(w32_register_class("Answering", 0, Answering, nullptr, FALSE, 0));
    HWND w = w32_create_window("Answering", browser, 0, 0, 10, 10);
    EXPECT_EQ(SendMessageA(w, WM_USER, 2, 3), 5);

    g_saved = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
    EXPECT_EQ(g_saved, Answering);
    EXPECT_EQ(GetWindowLongPtrA(w, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Subclass));
    g_seenBySubclass.clear();
    EXPECT_EQ(SendMessageA(w, WM_USER, 2, 3), 7);  // handled by the subclass
    EXPECT_EQ(SendMessageA(w, WM_USER + 1, 2, 3), 0);  // passed on
    EXPECT_EQ(g_seenBySubclass, (std::vector<UINT>{WM_USER, WM_USER + 1}));

    // Restoring the saved procedure puts the window back as it was.
    SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_saved));
    EXPECT_EQ(SendMessageA(w, WM_USER, 2, 3), 5);
}

TEST_F(WindowsTest, ClassStyleIsSharedByEveryWindowOfTheClass)
{
    DWORD style = GetClassLongA(view, GCL_STYLE);
    EXPECT_EQ(style, 0u);
    EXPECT_EQ(SetClassLongA(view, GCL_STYLE, LONG(style | CS_DBLCLKS)), 0u);
    EXPECT_EQ(GetClassLongA(browser, GCL_STYLE), DWORD(CS_DBLCLKS));
    EXPECT_FALSE(w32_register_class("browser", 0, PlainProc, nullptr, FALSE, 0)) << "class names ignore case";
}

TEST_F(WindowsTest, GeometryInClientAndScreenCoordinates)
{
    RECT client;
    ASSERT_TRUE(GetClientRect(view, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 100);
    POINT p{125, 85};
    ASSERT_TRUE(ScreenToClient(view, &p));
    EXPECT_EQ(p.x, 5);
    EXPECT_EQ(p.y, 5);
    ASSERT_TRUE(ClientToScreen(view, &p));
    EXPECT_EQ(p.x, 125);
    EXPECT_EQ(p.y, 85);
    EXPECT_EQ(GetParent(view), browser);
    EXPECT_EQ(GetParent(browser), nullptr);
}

TEST_F(WindowsTest, ResizeSendsSizeOnlyWhenTheSizeChanges)
{
    MessageLog log;
    ASSERT_TRUE(w32_resize_window(view, 300, 120));
    ASSERT_TRUE(w32_resize_window(view, 300, 120));
    EXPECT_EQ(log.Compare({{view, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 120)}}), "");
    RECT client;
    GetClientRect(view, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 120);
}

TEST_F(WindowsTest, DestructionOrderAndStaleHandles)
{
    HWND grandchild = w32_create_window("Browser", view, 0, 0, 5, 5);
    MessageLog log;
    ASSERT_TRUE(DestroyWindow(view));
    EXPECT_EQ(log.Compare({{view, WM_DESTROY},
                           {grandchild, WM_DESTROY},
                           {grandchild, WM_NCDESTROY},
                           {view, WM_NCDESTROY}}),
              "");
    EXPECT_FALSE(IsWindow(view));
    EXPECT_FALSE(IsWindow(grandchild));
    EXPECT_TRUE(IsWindow(browser));
    int bad = w32_bad_handle_uses();
    EXPECT_EQ(SendMessageA(view, WM_USER, 0, 0), 0);
    EXPECT_FALSE(DestroyWindow(view));
    EXPECT_EQ(w32_bad_handle_uses(), bad + 2);
}

TEST_F(WindowsTest, RectangleHelpersAreHalfOpen)
{
    RECT r{10, 20, 30, 40};
    struct Case {
        POINT p;
        BOOL inside;
    } cases[] = {{{10, 20}, TRUE}, {{29, 39}, TRUE}, {{30, 20}, FALSE}, {{10, 40}, FALSE}, {{9, 25}, FALSE}};
    for (const Case &c : cases) EXPECT_EQ(PtInRect(&r, c.p), c.inside) << c.p.x << "," << c.p.y;

    RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, empty{3, 3, 3, 9}, out;
    EXPECT_TRUE(IntersectRect(&out, &a, &b));
    EXPECT_TRUE(EqualRect(&out, std::data({RECT{5, 5, 10, 10}})));
    EXPECT_FALSE(IntersectRect(&out, &a, std::data({RECT{10, 0, 20, 10}})));
    EXPECT_TRUE(IsRectEmpty(&out));
    EXPECT_TRUE(UnionRect(&out, &a, &empty));
    EXPECT_TRUE(EqualRect(&out, &a)) << "an empty rectangle adds nothing to a union";
    InflateRect(&out, 1, 2);
    OffsetRect(&out, 5, 5);
    EXPECT_TRUE(EqualRect(&out, std::data({RECT{4, 3, 16, 17}})));
}

}  // namespace
