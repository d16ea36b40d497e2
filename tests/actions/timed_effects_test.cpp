// Flash, spin and beep on the window system's virtual clock: tick-by-tick
// sequences, restarts, end verbs and teardown across instances.
#include <map>
#include <string>
#include <vector>

#include "action_test.h"
#include "comma_locale.h"
#include "cvlpage/diagnostics.h"
#include "effect_registry.h"
#include "plugin_instance.h"
#include "symbol_actions.h"
#include "timed_actions.h"
#include "win32_control.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255);

const std::string kDrawing =
    DrawingText(Box("Solid", 10, 10, 40, 30) + Box("Hidden", 50, 10, 70, 30, "  hidden\n") +
                Box("Bar", 70, 40, 130, 60, "  fill #0000FF\n") + "symbol group\n  name \"Empty\"\nend\n" +
                "symbol text\n  name \"Label\"\n  at 150 80\n  text \"Price\"\nend\n");

// Lets time pass up to `time` milliseconds after `start`.
void AdvanceTo(DWORD start, DWORD time) {
    const DWORD now = w32_now() - start;
    if (time > now) w32_advance_clock(time - now);
}

std::size_t Running() { return EffectRegistry::Current() != nullptr ? EffectRegistry::Current()->Count() : 0; }

// The angles handed to RotateSymbol since the journal was started.
std::vector<int> RotateAngles() {
    std::vector<int> angles;
    for (const std::string& entry : JournalOf({"RotateSymbol"})) {
        // "RotateSymbol(d, s, angle, (x,y))"
        const std::size_t second = entry.find(", ", entry.find(", ") + 2);
        angles.push_back(std::stoi(entry.substr(second + 2)));
    }
    return angles;
}

// The bounds of the blue pixels (the bar) that the window shows, after painting what is pending.
RECT PaintedBar(HWND window) {
    w32_pump();
    RECT client = {0, 0, 200, 100};
    std::vector<COLORREF> pixels(200 * 100);
    w32_read_window_pixels(window, &client, pixels.data());
    RECT bounds = {0, 0, 0, 0};
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (pixels[static_cast<std::size_t>(y) * 200 + x] != kBlue) continue;
            const RECT pixel = {x, y, x + 1, y + 1};
            UnionRect(&bounds, &bounds, &pixel);
        }
    }
    return bounds;
}

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

class TimedEffects : public ActionTest {
protected:
    void SetUp() override {
        ActionTest::SetUp();
        page = &Open(kDrawing);
        start = w32_now();
    }
    CVLSYMBOL Sym(const char* name) const { return page->Symbol(name); }
    // Visibility of a symbol at each of the given times after the start.
    std::vector<int> VisibilityAt(const char* name, const std::vector<DWORD>& times) {
        std::vector<int> seen;
        for (DWORD time : times) {
            AdvanceTo(start, time);
            seen.push_back(page->Visible(name) ? 1 : 0);
        }
        return seen;
    }

    ActionPage* page = nullptr;
    DWORD start = 0;
};

TEST_F(TimedEffects, FlashWithoutArgumentShowsAtOnceAndBlinksEvery500MsWithoutEnd) {
    FlashObjectAction(page->Data(), Sym("Hidden"), "");
    const std::vector<DWORD> times = {0, 499, 500, 999, 1000, 1500, 2000, 9999, 10000};
    EXPECT_EQ((std::vector<int>{1, 1, 0, 0, 1, 0, 1, 0, 1}), VisibilityAt("Hidden", times));
    EXPECT_EQ(1u, Running());
}

TEST_F(TimedEffects, CountedFlashStopsOnTheTickAfterItsLastStepRestoringVisibility) {
    struct Case {
        const char* symbol;
        std::vector<int> visibility;  // at 0, 500, ... 4000 ms
        std::vector<std::size_t> running;
    };
    // Six steps (hide, show, hide, show, hide, show); the seventh tick stops the flash.
    const Case cases[] = {
        {"Hidden", {1, 0, 1, 0, 1, 0, 1, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 0, 0}},
        {"Solid", {1, 0, 1, 0, 1, 0, 1, 1, 1}, {1, 1, 1, 1, 1, 1, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        page->Load(kDrawing);
        start = w32_now();
        FlashObjectAction(page->Data(), Sym(c.symbol), "1000 3");
        std::vector<int> visibility;
        std::vector<std::size_t> running;
        for (DWORD time = 0; time <= 4000; time += 500) {
            AdvanceTo(start, time);
            visibility.push_back(page->Visible(c.symbol) ? 1 : 0);
            running.push_back(Running());
        }
        EXPECT_EQ(c.visibility, visibility) << c.symbol;
        EXPECT_EQ(c.running, running) << c.symbol;
    }
}

TEST_F(TimedEffects, FlashPeriodsOutsideTheirRangeFallBackTo500Ms) {
    struct Case {
        const char* argument;
        DWORD phase;
    };
    const Case cases[] = {
        {"60002", 500}, {"99", 500}, {"-1000", 500}, {"word", 500},
        {"100", 50},    {"101", 50}, {"60001", 30000}, {"400 0", 200},
    };
    for (const Case& c : cases) {
        page->Load(kDrawing);
        start = w32_now();
        FlashObjectAction(page->Data(), Sym("Solid"), c.argument);
        EXPECT_EQ((std::vector<int>{1, 0, 1}), VisibilityAt("Solid", {c.phase - 1, c.phase, 2 * c.phase}))
            << "[" << c.argument << "]";
        TearDownEffectRegistry();
    }
    // A count of 0 blinks without end.
    page->Load(kDrawing);
    start = w32_now();
    FlashObjectAction(page->Data(), Sym("Solid"), "400 0");
    AdvanceTo(start, 20000);
    EXPECT_EQ(1u, Running());
}

TEST_F(TimedEffects, AFlashRestartedInEitherPhaseEndsWithTheVisibilityFromBeforeTheFirst) {
    struct Case {
        const char* symbol;
        DWORD restartAt;           // 500: in the hidden phase, 1000: in the shown phase
        std::vector<int> visible;  // at restart, +500, +1000, +1500 (the stop), +4500
    };
    const Case cases[] = {
        {"Solid", 500, {1, 0, 1, 1, 1}},
        {"Solid", 1000, {1, 0, 1, 1, 1}},
        {"Hidden", 500, {1, 0, 1, 0, 0}},
        {"Hidden", 1000, {1, 0, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        page->Load(kDrawing);
        start = w32_now();
        FlashObjectAction(page->Data(), Sym(c.symbol), "");
        AdvanceTo(start, c.restartAt);
        FlashObjectAction(page->Data(), Sym(c.symbol), "1000 1");
        EXPECT_EQ(1u, Running()) << c.symbol << " " << c.restartAt;
        const DWORD r = c.restartAt;
        EXPECT_EQ(c.visible, VisibilityAt(c.symbol, {r, r + 500, r + 1000, r + 1500, r + 4500}))
            << c.symbol << " restarted at " << r;
        EXPECT_EQ(0u, Running()) << c.symbol << " " << c.restartAt;
    }
    // Ended early by the end verb, the replacing flash restores the same way.
    page->Load(kDrawing);
    start = w32_now();
    FlashObjectAction(page->Data(), Sym("Solid"), "");
    AdvanceTo(start, 500);
    FlashObjectAction(page->Data(), Sym("Solid"), "");
    AdvanceTo(start, 1000);
    ASSERT_FALSE(page->Visible("Solid"));
    EndFlashObjectAction(page->Data(), Sym("Solid"), "");
    EXPECT_TRUE(page->Visible("Solid"));
}

TEST_F(TimedEffects, DefaultSpinTurns36DegreesEvery100MsAndEndRestoresTheOrientation) {
    const RECT painted = PaintedBar(page->Window());
    ASSERT_EQ("(70,40,130,60)", RectText(painted));
    StartJournal();
    SpinObjectCWAction(page->Data(), Sym("Bar"), "");
    AdvanceTo(start, 99);
    EXPECT_EQ(std::vector<int>{}, RotateAngles()) << "nothing turns before the first tick";
    AdvanceTo(start, 700);
    EXPECT_EQ(std::vector<int>(7, -360), RotateAngles());
    EndSpinObjectAction(page->Data(), Sym("Bar"), "");
    // 7 steps of 36 degrees clockwise are turned back by 252 counter-clockwise.
    EXPECT_EQ(2520, RotateAngles().back());
    EXPECT_EQ(0u, Running());
    const RECT after = PaintedBar(page->Window());
    EXPECT_EQ(Width(painted), Width(after));
    EXPECT_EQ(Height(painted), Height(after));
    EXPECT_LE(std::abs(after.left - painted.left), 1);
    EXPECT_LE(std::abs(after.top - painted.top), 1);
}

TEST_F(TimedEffects, CountedCounterClockwiseSpinStopsOnTheNinthTickTurningByNothing) {
    StartJournal();
    SpinObjectCCWAction(page->Data(), Sym("Bar"), "50 4 2");
    std::vector<std::size_t> rotations;
    std::vector<RECT> shapes;
    for (DWORD time = 50; time <= 500; time += 50) {
        AdvanceTo(start, time);
        rotations.push_back(RotateAngles().size());
        if (time <= 100) shapes.push_back(page->EngineRect("Bar"));
    }
    EXPECT_EQ((std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 9}), rotations);
    std::vector<int> angles(8, 900);
    angles.push_back(0);  // whole turns: the stop turns by 0, and still repaints
    EXPECT_EQ(angles, RotateAngles());
    EXPECT_EQ(0u, Running());
    // A quarter turn makes the 60 x 20 bar 20 x 60, and the next one wide again.
    EXPECT_EQ(20, Width(shapes[0]));
    EXPECT_EQ(60, Height(shapes[0]));
    EXPECT_EQ(60, Width(shapes[1]));
    EXPECT_EQ("(70,40,130,60)", RectText(PaintedBar(page->Window())));
}

TEST_F(TimedEffects, SevenStepsFallShortOfAWholeTurnAndTheStopStillRestoresExactly) {
    const RECT painted = PaintedBar(page->Window());
    StartJournal();
    SpinObjectCWAction(page->Data(), Sym("Bar"), "100 7 1");
    AdvanceTo(start, 800);
    std::vector<int> angles(7, -514);
    angles.push_back(3598);
    EXPECT_EQ(angles, RotateAngles());
    EXPECT_EQ(0u, Running());
    const RECT after = PaintedBar(page->Window());
    EXPECT_EQ(Width(painted), Width(after));
    EXPECT_EQ(Height(painted), Height(after));
}

TEST_F(TimedEffects, SpinIntervalsAreClamped) {
    struct Case {
        const char* argument;
        DWORD interval;
    };
    const Case cases[] = {{"5", 10}, {"0", 10}, {"-50", 10}, {"11", 11}, {"100000", 60000}, {"59999", 59999}};
    for (const Case& c : cases) {
        page->Load(kDrawing);
        start = w32_now();
        StartJournal();
        SpinObjectCWAction(page->Data(), Sym("Bar"), c.argument);
        AdvanceTo(start, c.interval - 1);
        EXPECT_EQ(0u, RotateAngles().size()) << "[" << c.argument << "]";
        AdvanceTo(start, c.interval);
        EXPECT_EQ(1u, RotateAngles().size()) << "[" << c.argument << "]";
        TearDownEffectRegistry();
    }
}

TEST_F(TimedEffects, NegativeStepsPerTurnReverseTheSpinAndMakeItEndless) {
    StartJournal();
    SpinObjectCWAction(page->Data(), Sym("Bar"), "100 -4 2");
    AdvanceTo(start, 3000);
    EXPECT_EQ(std::vector<int>(30, 900), RotateAngles());
    EXPECT_EQ(1u, Running());
}

TEST_F(TimedEffects, SpinsWithoutStepSizeOrRectangleAreIgnored) {
    struct Case {
        const char* symbol;
        const char* argument;
    };
    const Case cases[] = {{"Bar", "100 0"}, {"Bar", "100 word"}, {"Bar", "100 0 3"}, {"Empty", ""}};
    for (const Case& c : cases) {
        StartJournal();
        SpinObjectCCWAction(page->Data(), Sym(c.symbol), c.argument);
        AdvanceTo(start, w32_now() - start + 1000);
        EXPECT_EQ(0u, Running()) << c.symbol << " [" << c.argument << "]";
        EXPECT_EQ(std::vector<int>{}, RotateAngles()) << c.symbol << " [" << c.argument << "]";
    }
}

TEST_F(TimedEffects, SpinStepsOfASymbolWithoutRectangleDoNothing) {
    const CVLSYMBOL label = Sym("Label");
    StartJournal();
    SpinObjectCWAction(page->Data(), label, "100");
    AdvanceTo(start, 200);
    ASSERT_EQ(2u, RotateAngles().size());
    SymbolTextAction(page->Data(), label, "");
    RECT none;
    ASSERT_EQ(0, GetSymbolRect(page->Drawing(), label, &none)) << "an empty text has no rectangle";
    AdvanceTo(start, 500);
    EXPECT_EQ(2u, RotateAngles().size());
    SymbolTextAction(page->Data(), label, "Price");
    AdvanceTo(start, 600);
    EXPECT_EQ(3u, RotateAngles().size());
    // Only the steps that turned are turned back: 3 x 36 degrees.
    EndSpinObjectAction(page->Data(), label, "");
    EXPECT_EQ(1080, RotateAngles().back());
}

TEST_F(TimedEffects, EndVerbsStopOnlyTheirOwnKind) {
    const CVLSYMBOL bar = Sym("Bar");
    const CVLSYMBOL solid = Sym("Solid");
    SpinObjectCWAction(page->Data(), bar, "");
    FlashObjectAction(page->Data(), solid, "");
    EndFlashObjectAction(page->Data(), bar, "");  // spinning, not flashing
    EndSpinObjectAction(page->Data(), solid, "");  // flashing, not spinning
    EndBeepAction(page->Data(), bar, "");          // no beep runs
    EXPECT_EQ(2u, Running());
    EndSpinObjectAction(page->Data(), bar, "ignored");
    EXPECT_EQ(1u, Running());
    EndFlashObjectAction(page->Data(), solid, "");
    EXPECT_EQ(0u, Running());
}

TEST_F(TimedEffects, EndVerbsWithoutRegistryDoNothing) {
    ASSERT_EQ(nullptr, EffectRegistry::Current());
    EndFlashObjectAction(page->Data(), Sym("Solid"), "");
    EndSpinObjectAction(page->Data(), Sym("Solid"), "");
    EndBeepAction(page->Data(), Sym("Solid"), "");
    EXPECT_EQ(nullptr, EffectRegistry::Current());
}

TEST_F(TimedEffects, BeepCountsAndTimes) {
    struct Case {
        const char* argument;
        std::vector<DWORD> beeps;  // within the first 4500 ms
        bool endless;
    };
    const Case cases[] = {
        {"1000 3", {1000, 2000, 3000}, false},
        {"", {500, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500}, true},
        {"50", {500, 1000, 1500, 2000, 2500, 3000, 3500, 4000, 4500}, true},
        {"30001 2", {500, 1000}, false},
        {"1500 0", {1500, 3000, 4500}, true},
        {"1500 -2", {1500, 3000, 4500}, true},
        {"100 1", {100}, false},
    };
    for (const Case& c : cases) {
        start = w32_now();
        const std::size_t earlier = w32_beep_count();
        BeepAction(page->Data(), Sym("Solid"), c.argument);
        AdvanceTo(start, 4500);
        std::vector<DWORD> beeps;
        for (std::size_t i = earlier; i < w32_beep_count(); ++i) {
            EXPECT_EQ(static_cast<UINT>(MB_OK), w32_beep(i).type);
            beeps.push_back(w32_beep(i).time - start);
        }
        EXPECT_EQ(c.beeps, beeps) << "[" << c.argument << "]";
        EXPECT_EQ(c.endless ? 1u : 0u, Running()) << "[" << c.argument << "]";
        TearDownEffectRegistry();
    }
}

TEST_F(TimedEffects, CountedBeepEndsOnTheTickAfterItsLastBeep) {
    BeepAction(page->Data(), Sym("Solid"), "1000 3");
    AdvanceTo(start, 3999);
    EXPECT_EQ(1u, Running());
    AdvanceTo(start, 4000);
    EXPECT_EQ(0u, Running());
    EXPECT_EQ(3u, w32_beep_count());
}

TEST_F(TimedEffects, ABeepInAnotherInstanceReplacesTheRunningOne) {
    ActionPage& other = Open(kDrawing);
    BeepAction(page->Data(), Sym("Solid"), "1000");
    AdvanceTo(start, 100);
    BeepAction(other.Data(), other.Symbol("Bar"), "300 2");
    EXPECT_EQ(1u, Running());
    AdvanceTo(start, 5000);
    ASSERT_EQ(2u, w32_beep_count());
    EXPECT_EQ(400u, w32_beep(0).time - start);
    EXPECT_EQ(700u, w32_beep(1).time - start);
    EXPECT_EQ(0u, Running());
    // "EndBeep" stops a beep whichever symbol and instance it is called for.
    BeepAction(page->Data(), Sym("Solid"), "");
    EndBeepAction(other.Data(), other.Symbol("Label"), "");
    EXPECT_EQ(0u, Running());
}

TEST_F(TimedEffects, TeardownStopsTheEffectsOfEveryInstanceEachRestoringItsSymbol) {
    ActionPage& other = Open(kDrawing);
    const RECT otherBar = PaintedBar(other.Window());
    FlashObjectAction(page->Data(), Sym("Solid"), "");   // hidden phase at teardown
    FlashObjectAction(page->Data(), Sym("Hidden"), "");  // shown phase at teardown
    AdvanceTo(start, 500);
    FlashObjectAction(page->Data(), Sym("Hidden"), "1000");  // restarted: shown again
    SpinObjectCCWAction(other.Data(), other.Symbol("Bar"), "100 8");
    BeepAction(other.Data(), 0, "1000");
    AdvanceTo(start, 800);
    ASSERT_FALSE(page->Visible("Solid"));
    ASSERT_TRUE(page->Visible("Hidden"));
    ASSERT_EQ(4u, Running());

    StartJournal();
    TearDownEffectRegistry();  // what NP_Shutdown and unloading the module do
    EXPECT_EQ(nullptr, EffectRegistry::Current());
    EXPECT_TRUE(page->Visible("Solid"));
    EXPECT_FALSE(page->Visible("Hidden"));
    EXPECT_EQ(std::vector<int>{-1350}, RotateAngles());  // 3 steps of 45 degrees turned back
    const RECT bar = PaintedBar(other.Window());
    EXPECT_EQ(Width(otherBar), Width(bar));
    EXPECT_EQ(Height(otherBar), Height(bar));

    // Nothing is restarted; late timer messages find nothing.
    const std::size_t beeps = w32_beep_count();
    StartJournal();
    AdvanceTo(start, 5000);
    EXPECT_EQ(beeps, w32_beep_count());
    EXPECT_EQ(std::vector<std::string>{}, JournalOf({"SetSymbolVisibleFlag", "RotateSymbol", "MoveSymbol"}));
    EffectRegistry::OnTimer(nullptr, WM_TIMER, 4711, 0);
}

TEST_F(TimedEffects, StoppingOneInstancesEffectsLeavesTheOthersAndItsBeepRunning) {
    ActionPage& other = Open(kDrawing);
    FlashObjectAction(page->Data(), Sym("Solid"), "");
    SpinObjectCWAction(page->Data(), Sym("Bar"), "");
    BeepAction(page->Data(), 0, "");
    FlashObjectAction(other.Data(), other.Symbol("Solid"), "");
    AdvanceTo(start, 500);
    ASSERT_EQ(4u, Running());
    StopInstanceEffects(page->Data());
    EXPECT_TRUE(page->Visible("Solid"));
    EXPECT_EQ(2u, Running());
    EXPECT_FALSE(other.Visible("Solid"));
    AdvanceTo(start, 1000);
    EXPECT_TRUE(other.Visible("Solid"));
    EXPECT_EQ(2u, w32_beep_count());
}

TEST_F(TimedEffects, TimerMessagesForUnknownEffectsAreIgnored) {
    EffectRegistry::OnTimer(nullptr, WM_TIMER, 1, 0);  // no registry
    FlashObjectAction(page->Data(), Sym("Solid"), "");
    EffectRegistry::OnTimer(nullptr, WM_TIMER, 987654, 0);
    EXPECT_TRUE(page->Visible("Solid"));
    EXPECT_FALSE(EffectRegistry::Current()->Start(nullptr));
    EXPECT_EQ(1u, Running());
}

TEST_F(TimedEffects, EndingAnInstanceStopsItsOwnEffectsOnlyAndTheOthersRunOn) {
    ActionPage& other = Open(kDrawing);
    FlashObjectAction(page->Data(), Sym("Solid"), "");
    BeepAction(page->Data(), 0, "1000");
    FlashObjectAction(other.Data(), other.Symbol("Solid"), "");
    SpinObjectCWAction(other.Data(), other.Symbol("Bar"), "");
    AdvanceTo(start, 500);
    ASSERT_EQ(4u, Running());
    StartJournal();
    pages.front().reset();  // what NPP_Destroy does with the first instance
    page = nullptr;
    EXPECT_EQ(2u, Running());
    for (const std::string& call : JournalOf({"SetSymbolVisibleFlag", "RotateSymbol"})) {
        EXPECT_EQ(std::string::npos, call.find(std::to_string(other.Drawing()))) << call;
    }
    // The other instance still blinks and spins; the destroyed one's beep is gone.
    EXPECT_FALSE(other.Visible("Solid"));
    AdvanceTo(start, 1000);
    EXPECT_TRUE(other.Visible("Solid"));
    AdvanceTo(start, 1500);
    EXPECT_FALSE(other.Visible("Solid"));
    EXPECT_EQ(0u, w32_beep_count());
    EXPECT_EQ(2u, Running());
}

TEST_F(TimedEffects, EndVerbsMatchEffectsOfTheirOwnInstanceOnly) {
    // Symbol handles mean something only within their drawing: another instance's
    // drawing may hold the same value for a symbol of its own.
    ActionPage& other = Open(kDrawing);
    struct Case {
        void (*end)(InstanceData*, CVLSYMBOL, const std::string&);
        void (*start)(InstanceData*, CVLSYMBOL, const std::string&);
        const char* symbol;
    };
    const Case cases[] = {
        {EndFlashObjectAction, FlashObjectAction, "Solid"},
        {EndSpinObjectAction, SpinObjectCWAction, "Bar"},
    };
    for (const Case& c : cases) {
        c.start(page->Data(), Sym(c.symbol), "");
        c.end(other.Data(), Sym(c.symbol), "");
        EXPECT_EQ(1u, Running()) << c.symbol;
        c.end(page->Data(), Sym(c.symbol), "");
        EXPECT_EQ(0u, Running()) << c.symbol;
    }
}

TEST_F(TimedEffects, AnEffectWhoseTimerIsRefusedChangesNothing) {
    const CVLSYMBOL solid = Sym("Solid");
    w32_refuse_timers(TRUE);
    FlashObjectAction(page->Data(), Sym("Hidden"), "");
    SpinObjectCWAction(page->Data(), Sym("Bar"), "");
    BeepAction(page->Data(), 0, "");
    EXPECT_EQ(0u, Running());
    // Dropped without its stop behaviour: the flash leaves its symbol shown.
    EXPECT_TRUE(page->Visible("Hidden"));
    w32_refuse_timers(FALSE);

    // A replacement that gets no timer leaves the running flash alone.
    FlashObjectAction(page->Data(), solid, "1000 2");
    AdvanceTo(start, 500);
    w32_refuse_timers(TRUE);
    FlashObjectAction(page->Data(), solid, "");
    w32_refuse_timers(FALSE);
    EXPECT_EQ(1u, Running());
    EXPECT_EQ((std::vector<int>{1, 0, 1, 1}), VisibilityAt("Solid", {1000, 1500, 2000, 2500}));
    EXPECT_EQ(0u, Running());
    EXPECT_EQ(0u, w32_beep_count());
}

TEST_F(TimedEffects, CountsTooLargeForTheStepCounterAreClampedNotWrapped) {
    struct Case {
        const char* argument;  // 3 x 1431655766 is 2^32 + 2: wrapped, it would stop after 2 steps
    };
    const Case cases[] = {{"10 3 1431655766"}, {"10 3 2147483647"}, {"10 -3 1431655766"}};
    for (const Case& c : cases) {
        page->Load(kDrawing);
        start = w32_now();
        StartJournal();
        SpinObjectCWAction(page->Data(), Sym("Bar"), c.argument);
        AdvanceTo(start, 100);
        EXPECT_EQ(10u, RotateAngles().size()) << "[" << c.argument << "]";
        EXPECT_EQ(1u, Running()) << "[" << c.argument << "]";
        TearDownEffectRegistry();
    }
}

namespace {

// Every pixel the window shows, after painting what is pending.
std::vector<COLORREF> Shown(HWND window) {
    w32_pump();
    RECT client = {0, 0, 200, 100};
    std::vector<COLORREF> pixels(200 * 100);
    w32_read_window_pixels(window, &client, pixels.data());
    return pixels;
}

}  // namespace

TEST_F(TimedEffects, SpinThenStopGivesBackTheStartingPixelsOnBothPaths) {
    struct Case {
        bool antialiased;
        const char* argument;
        DWORD stopAt;  // 0: the spin ends by its count
    };
    const Case cases[] = {
        {false, "100 7", 750}, {false, "50 4 2", 0}, {false, "100 3", 650},
        {true, "100 7", 750},  {true, "50 4 2", 0},  {true, "100 3", 650},
    };
    for (const Case& c : cases) {
        std::map<std::string, std::string> attributes;
        if (!c.antialiased) attributes["noantialias"] = "";
        ActionPage& spun = Open(kDrawing, attributes);
        const std::vector<COLORREF> before = Shown(spun.Window());
        const RECT engineBefore = spun.EngineRect("Bar");
        start = w32_now();
        SpinObjectCCWAction(spun.Data(), spun.Symbol("Bar"), c.argument);
        AdvanceTo(start, c.stopAt != 0 ? c.stopAt : 1000);
        if (c.stopAt != 0) EndSpinObjectAction(spun.Data(), spun.Symbol("Bar"), "");
        ASSERT_EQ(0u, Running());
        EXPECT_EQ(RectText(engineBefore), RectText(spun.EngineRect("Bar")))
            << (c.antialiased ? "antialiased " : "direct ") << c.argument;
        EXPECT_TRUE(before == Shown(spun.Window())) << (c.antialiased ? "antialiased " : "direct ") << c.argument;
    }
}

TEST_F(TimedEffects, ASpinUnderACommaDecimalLocaleStillReturnsToItsStart) {
    CommaDecimalLocale locale;
    if (!locale.Active()) GTEST_SKIP() << locale.Why();
    const RECT before = page->EngineRect("Bar");
    StartJournal();
    SpinObjectCWAction(page->Data(), Sym("Bar"), "100 7");
    AdvanceTo(start, 300);
    EndSpinObjectAction(page->Data(), Sym("Bar"), "");
    EXPECT_EQ((std::vector<int>{-514, -514, -514, 1542}), RotateAngles());
    EXPECT_EQ(RectText(before), RectText(page->EngineRect("Bar")));
}
