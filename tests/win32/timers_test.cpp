// Timers on the virtual clock: due timers fire in time order from the pump, a killed
// timer never fires again, and beeps are recorded with their time.
#include <gtest/gtest.h>

#include "message_log.h"

namespace {

struct Fired {
    UINT_PTR id;
    DWORD time;
};
std::vector<Fired> g_fired;
UINT_PTR g_killOnFire = 0;

VOID CALLBACK Record(HWND hwnd, UINT msg, UINT_PTR id, DWORD time)
{
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(msg, UINT(WM_TIMER));
    g_fired.push_back(Fired{id, time});
    if (g_killOnFire) KillTimer(nullptr, g_killOnFire);
}

class TimersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32_reset();
        g_fired.clear();
        g_killOnFire = 0;
    }
};

TEST_F(TimersTest, DueTimersFireInTimeOrder)
{
    UINT_PTR slow = SetTimer(nullptr, 0, 30, Record);
    UINT_PTR fast = SetTimer(nullptr, 0, 20, Record);
    ASSERT_NE(slow, 0u);
    ASSERT_NE(fast, 0u);
    ASSERT_NE(slow, fast);
    w32_advance_clock(19);
    EXPECT_TRUE(g_fired.empty());
    w32_advance_clock(51);  // to 70
    std::vector<std::pair<UINT_PTR, DWORD>> got;
    for (const Fired &f : g_fired) got.emplace_back(f.id, f.time);
    std::vector<std::pair<UINT_PTR, DWORD>> expected = {{fast, 20}, {slow, 30}, {fast, 40}, {slow, 60}, {fast, 60}};
    EXPECT_EQ(got, expected) << "ties fire in the order the timers were set";
    EXPECT_EQ(GetTickCount(), 70u);
}

TEST_F(TimersTest, TimersDueTogetherFireInTheOrderTheyWereLastSet)
{
    // A few, and more than the window system lists without taking memory.
    for (int count : {3, 8, 9, 40}) {
        SCOPED_TRACE(count);
        w32_reset();
        g_fired.clear();
        std::vector<UINT_PTR> ids;
        for (int i = 0; i < count; ++i) ids.push_back(SetTimer(nullptr, 0, 20, Record));
        w32_advance_clock(10);
        // Set again at the same due time: the first third now fire last.
        std::vector<UINT_PTR> expected(ids.begin() + count / 3, ids.end());
        for (int i = 0; i < count / 3; ++i) {
            ASSERT_EQ(SetTimer(nullptr, ids[i], 10, Record), ids[i]);
            expected.push_back(ids[i]);
        }
        w32_advance_clock(10);
        std::vector<UINT_PTR> got;
        for (const Fired &f : g_fired) {
            EXPECT_EQ(f.time, 20u);
            got.push_back(f.id);
        }
        EXPECT_EQ(got, expected);
    }
}

TEST_F(TimersTest, AKilledTimerNeverFiresAgain)
{
    UINT_PTR first = SetTimer(nullptr, 0, 10, Record);
    UINT_PTR second = SetTimer(nullptr, 0, 10, Record);
    g_killOnFire = second;  // the first callback kills the second, due at the same time
    w32_advance_clock(10);
    ASSERT_EQ(g_fired.size(), 1u);
    EXPECT_EQ(g_fired[0].id, first);
    g_killOnFire = 0;
    EXPECT_TRUE(KillTimer(nullptr, first));
    EXPECT_FALSE(KillTimer(nullptr, first));
    w32_advance_clock(100);
    EXPECT_EQ(g_fired.size(), 1u);
}

TEST_F(TimersTest, ElapseIsClampedAndAThreadTimerCanBeReset)
{
    UINT_PTR id = SetTimer(nullptr, 0, 1, Record);
    w32_advance_clock(9);
    EXPECT_TRUE(g_fired.empty()) << "USER_TIMER_MINIMUM is 10 ms";
    EXPECT_EQ(SetTimer(nullptr, id, 50, Record), id) << "naming an existing thread timer replaces it";
    w32_advance_clock(49);
    EXPECT_TRUE(g_fired.empty());
    w32_advance_clock(1);
    EXPECT_EQ(g_fired.size(), 1u);
    EXPECT_NE(SetTimer(nullptr, 12345, 10, Record), UINT_PTR(12345)) << "an unknown id gets a new one";
}

TEST_F(TimersTest, WindowTimersSendWmTimerAndPaintsComeFirst)
{
    w32_register_class("Plain", 0, PlainProc, nullptr, FALSE, 0);
    HWND w = w32_create_window("Plain", nullptr, 0, 0, 10, 10);
    w32_pump();
    EXPECT_EQ(SetTimer(w, 7, 10, nullptr), 7u);
    MessageLog log;
    InvalidateRect(w, nullptr, FALSE);
    w32_advance_clock(10);
    EXPECT_EQ(log.Compare({{w, WM_PAINT}, {w, WM_TIMER, 7, 0}}), "");
    DestroyWindow(w);
    EXPECT_FALSE(KillTimer(w, 7)) << "destroying the window kills its timers";
}

TEST_F(TimersTest, BeepsAreRecordedWithTheirTime)
{
    w32_advance_clock(25);
    MessageBeep(MB_OK);
    w32_advance_clock(5);
    MessageBeep(MB_ICONHAND);
    ASSERT_EQ(w32_beep_count(), 2u);
    EXPECT_EQ(w32_beep(0).type, UINT(MB_OK));
    EXPECT_EQ(w32_beep(0).time, 25u);
    EXPECT_EQ(w32_beep(1).type, UINT(MB_ICONHAND));
    EXPECT_EQ(w32_beep(1).time, 30u);
}

}  // namespace
