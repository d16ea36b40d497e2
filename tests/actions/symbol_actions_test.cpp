// Symbol and layer handlers, checked through the engine's journal (exact calls and
// arguments) and the render cache's stale area.
#include <filesystem>
#include <string>
#include <vector>

#include "action_test.h"
#include "cvlpage/diagnostics.h"
#include "effect_registry.h"
#include "plugin_instance.h"
#include "symbol_actions.h"
#include "timed_actions.h"
#include "win32_control.h"

namespace {

typedef void (*Handler)(InstanceData*, CVLSYMBOL, const std::string&);

std::string N(long long value) { return std::to_string(value); }

// One journal entry: "Function(a, b, c)".
std::string Call(const std::string& function, const std::vector<std::string>& args) {
    std::string text = function + "(";
    for (std::size_t i = 0; i < args.size(); ++i) text += (i > 0 ? ", " : "") + args[i];
    return text + ")";
}

RECT Grown(RECT rect) {
    InflateRect(&rect, 1, 1);
    return rect;
}

RECT Union(const RECT& a, const RECT& b) {
    RECT both;
    UnionRect(&both, &a, &b);
    return both;
}

bool Empty(const RECT& rect) { return IsRectEmpty(&rect) != 0; }

const char kLayers[] = "layer 1 shown\nlayer 2 shown\nlayer 3 hidden\nlayer 4 shown\n";

// Symbols of every kind of fill, a hidden one, one centred on another and an empty
// group, which has no rectangle.
const std::string kDrawing = DrawingText(
    Box("Solid", 10, 10, 40, 30) + Box("Twin", 15, 15, 35, 25) + Box("Hidden", 50, 10, 70, 30, "  hidden\n") +
        Box("Hollow", 80, 10, 100, 30, "  fill none\n") + Box("Hatched", 110, 10, 130, 30, "  fill hatch #FF0000\n") +
        Box("Odd", 10, 50, 15, 61) + Box("Far", 50, 30, 61, 45, "  layer 2\n") +
        "symbol group\n  name \"Empty\"\nend\n" +
        "symbol text\n  name \"Label\"\n  at 140 60\n  text \"Price\"\nend\n",
    kLayers);

}  // namespace

class SymbolActions : public ActionTest {
protected:
    ActionPage& Fresh() {
        if (pages.empty()) return Open(kDrawing);
        pages.front()->Load(kDrawing);
        return *pages.front();
    }
    std::string D() const { return N(pages.front()->Drawing()); }
    std::string S(const char* name) const { return N(pages.front()->Symbol(name)); }
    const RECT& Dirty() const { return pages.front()->Data()->dirtyRect; }
};

TEST_F(SymbolActions, SymbolColorWritesOnlyWhatChanges) {
    struct Case {
        const char* symbol;
        const char* argument;
        bool solidBefore;
        const char* written;  // hexadecimal COLORREF handed to the engine, or null
    };
    const Case cases[] = {
        {"Solid", "#FF8000", true, "0x80FF"},
        {"Solid", " Navy ", true, "0x800000"},
        {"Solid", "gray", true, nullptr},     // the fill already has that colour
        {"Solid", "#808080", true, nullptr},
        {"Hollow", "#808080", false, "0x808080"},  // no solid fill yet: always written
        {"Hatched", "red", false, "0xFF"},
    };
    for (const Case& c : cases) {
        ActionPage& page = Fresh();
        const CVLSYMBOL symbol = page.Symbol(c.symbol);
        const RECT bounds = page.EngineRect(c.symbol);
        std::vector<std::string> expected = {Call("GetSymbolFillType", {D(), N(symbol)})};
        if (c.solidBefore) expected.push_back(Call("GetSolidSymbolFill", {D(), N(symbol)}));
        if (c.written != nullptr) {
            expected.push_back(Call("SetSolidSymbolFill", {D(), N(symbol), c.written, "1"}));
            expected.push_back(Call("GetSymbolRect", {D(), N(symbol)}));
        }
        StartJournal();
        SymbolColorAction(page.Data(), symbol, c.argument);
        EXPECT_EQ(expected, JournalOf()) << c.symbol << " [" << c.argument << "]";
        if (c.written != nullptr) {
            const RECT grown = Grown(bounds);
            EXPECT_EQ(RectText(grown), RectText(Dirty())) << c.symbol << " [" << c.argument << "]";
            int fill = 0;
            GetSymbolFillType(page.Drawing(), symbol, &fill);
            EXPECT_EQ(CVL_FILL_SOLID, fill);
        } else {
            EXPECT_TRUE(Empty(Dirty())) << c.symbol << " [" << c.argument << "]";
        }
    }
}

TEST_F(SymbolActions, ChangeFreeActionsWriteAndRepaintNothing) {
    struct Case {
        const char* verb;
        Handler handler;
        const char* symbol;
        const char* argument;
    };
    const Case cases[] = {
        {"HideSymbol", HideSymbolAction, "Hidden", ""},
        {"ShowSymbol", ShowSymbolAction, "Solid", ""},
        {"SymbolColor", SymbolColorAction, "Solid", "#808080"},
        {"SymbolColor", SymbolColorAction, "Solid", "#fff"},
        {"SymbolColor", SymbolColorAction, "Solid", "#12345g"},
        {"ScaleSymbol", ScaleSymbolAction, "Solid", "200"},
        {"MoveOver", MoveOverAction, "Solid", "Twin"},     // same centre
        {"MoveOver", MoveOverAction, "Solid", "Missing"},  // no such symbol
        {"MoveOver", MoveOverAction, "Solid", "Empty"},    // target without a rectangle
        {"MoveOver", MoveOverAction, "Empty", "Far"},      // mover without a rectangle
        {"RotateObject", RotateObjectAction, "Empty", "45"},
        {"HideLayer", HideLayerAction, "Solid", "3"},  // already hidden
        {"ShowLayer", ShowLayerAction, "Solid", "1"},  // already shown
        {"HideLayer", HideLayerAction, "Solid", "word"},
        {"HideLayer", HideLayerAction, "Solid", ""},
        {"HideLayer", HideLayerAction, "Solid", " 0"},
        {"HideLayer", HideLayerAction, "Solid", "00"},
        {"OnlyShowLayer", OnlyShowLayerAction, "Solid", "0"},
        {"OnlyShowLayer", OnlyShowLayerAction, "Solid", "5"},
        {"OnlyShowLayer", OnlyShowLayerAction, "Solid", "-1"},
    };
    const char* writers[] = {"Set", "Move", "Rotate", "Step", "Free", "Load", "DrawPage"};
    for (const Case& c : cases) {
        ActionPage& page = Fresh();
        StartJournal();
        c.handler(page.Data(), page.Symbol(c.symbol), c.argument);
        for (const std::string& entry : JournalOf()) {
            for (const char* writer : writers) {
                EXPECT_NE(0u, entry.rfind(writer, 0)) << c.verb << " [" << c.argument << "]: " << entry;
            }
        }
        EXPECT_TRUE(Empty(Dirty())) << c.verb << " [" << c.argument << "]";
        EXPECT_TRUE(Empty(PendingArea(page.Window()))) << c.verb << " [" << c.argument << "]";
    }
}

TEST_F(SymbolActions, RunningTheSameActionsTwiceRepaintsOnlyWhatActsAgain) {
    struct Case {
        const char* verb;
        Handler handler;
        const char* argument;
        bool repaintsAgain;
    };
    const Case cases[] = {
        {"HideSymbol", HideSymbolAction, "", false},
        {"SymbolColor", SymbolColorAction, "red", false},
        {"SymbolText", SymbolTextAction, "Sold out", true},
        {"RotateObject", RotateObjectAction, "90", true},
        {"BringObjectToFront", BringObjectToFrontAction, "", true},
        {"SendObjectBackward", SendObjectBackwardAction, "", true},
    };
    for (const Case& c : cases) {
        ActionPage& page = Fresh();
        c.handler(page.Data(), page.Symbol("Label"), c.argument);
        EXPECT_FALSE(Empty(Dirty())) << c.verb << " first run";
        page.Settle();
        ASSERT_TRUE(Empty(Dirty()));
        c.handler(page.Data(), page.Symbol("Label"), c.argument);
        EXPECT_EQ(c.repaintsAgain, !Empty(Dirty())) << c.verb << " second run";
    }
}

TEST_F(SymbolActions, ShowAfterHideRepaintsTheSymbol) {
    ActionPage& page = Fresh();
    const RECT bounds = page.EngineRect("Solid");
    HideSymbolAction(page.Data(), page.Symbol("Solid"), "ignored");
    EXPECT_FALSE(page.Visible("Solid"));
    EXPECT_EQ(RectText(Grown(bounds)), RectText(Dirty()));
    page.Settle();
    ShowSymbolAction(page.Data(), page.Symbol("Solid"), "");
    EXPECT_TRUE(page.Visible("Solid"));
    EXPECT_EQ(RectText(Grown(bounds)), RectText(Dirty()));
    EXPECT_EQ(RectText(Grown(bounds)), RectText(PendingArea(page.Window())));
}

TEST_F(SymbolActions, LayerNumbers) {
    struct Write {
        int layer;
        int visible;
    };
    struct Case {
        Handler handler;
        const char* argument;
        bool readsLayer;
        int layer;
        std::vector<Write> writes;
    };
    const Case cases[] = {
        {HideLayerAction, "2", true, 2, {{2, 0}}},
        {HideLayerAction, "2nd", true, 2, {{2, 0}}},
        {HideLayerAction, "  +2", true, 2, {{2, 0}}},
        {ShowLayerAction, "3", true, 3, {{3, 1}}},
        {HideLayerAction, "0", true, 0, {}},         // layer 0 as the engine understands it: not visible
        {ShowLayerAction, "-1", true, -1, {{-1, 1}}},  // no range test: handed on as it is
        {HideLayerAction, "7", true, 7, {}},
        {HideLayerAction, "word", false, 0, {}},
        {ShowLayerAction, "", false, 0, {}},
        {ShowLayerAction, "-0", false, 0, {}},
    };
    for (const Case& c : cases) {
        ActionPage& page = Fresh();
        StartJournal();
        c.handler(page.Data(), page.Symbol("Solid"), c.argument);
        std::vector<std::string> reads;
        if (c.readsLayer) reads.push_back(Call("GetLayerVisibleFlag", {D(), N(c.layer)}));
        EXPECT_EQ(reads, JournalOf({"GetLayerVisibleFlag"})) << "[" << c.argument << "]";
        std::vector<std::string> writes;
        for (const Write& w : c.writes) writes.push_back(Call("SetLayerVisibleFlag", {D(), N(w.layer), N(w.visible)}));
        EXPECT_EQ(writes, JournalOf({"SetLayerVisibleFlag"})) << "[" << c.argument << "]";
        // A layer change repaints the whole view, since any symbol may be on it.
        EXPECT_EQ(c.writes.empty() ? "(0,0,0,0)" : "(0,0,200,100)", RectText(Dirty())) << "[" << c.argument << "]";
    }
}

TEST_F(SymbolActions, OnlyShowLayerWritesOnlyTheFlagsThatDiffer) {
    ActionPage& page = Fresh();
    StartJournal();
    OnlyShowLayerAction(page.Data(), 0, "3");
    const std::vector<std::string> expected = {
        Call("GetNumberOfLayers", {D()}),
        Call("GetLayerVisibleFlag", {D(), "1"}), Call("SetLayerVisibleFlag", {D(), "1", "0"}),
        Call("GetLayerVisibleFlag", {D(), "2"}), Call("SetLayerVisibleFlag", {D(), "2", "0"}),
        Call("GetLayerVisibleFlag", {D(), "3"}), Call("SetLayerVisibleFlag", {D(), "3", "1"}),
        Call("GetLayerVisibleFlag", {D(), "4"}), Call("SetLayerVisibleFlag", {D(), "4", "0"}),
        Call("SetCurrentLayer", {D(), "3"}),
    };
    EXPECT_EQ(expected, JournalOf());
    EXPECT_EQ("(0,0,200,100)", RectText(Dirty()));

    // Layer 3 is now the only visible one: the current layer is still set, nothing repainted.
    page.Settle();
    StartJournal();
    OnlyShowLayerAction(page.Data(), 0, "3rd");
    const std::vector<std::string> again = {
        Call("GetNumberOfLayers", {D()}),        Call("GetLayerVisibleFlag", {D(), "1"}),
        Call("GetLayerVisibleFlag", {D(), "2"}), Call("GetLayerVisibleFlag", {D(), "3"}),
        Call("GetLayerVisibleFlag", {D(), "4"}), Call("SetCurrentLayer", {D(), "3"}),
    };
    EXPECT_EQ(again, JournalOf());
    EXPECT_TRUE(Empty(Dirty()));
}

TEST_F(SymbolActions, RotateObjectHandsTheNegatedRoundedTenthsToTheEngine) {
    struct Case {
        const char* argument;
        int engineAngle;
    };
    const Case cases[] = {
        {"12.56", -126}, {"-12.56", 125},   {"0.05", -1},         {"word", 0},        {"", 0},
        {"90", -900},    {"-90.04", 900},   {" 45.05x", -451},
        // Whole turns drop out before the engine's 16 bits are filled.
        {"360", 0},      {"3600", 0},       {"-720", 0},          {"360.1", -1},      {"-370", 100},
        {"3276.8", -368}, {"-3276.8", 368}, {"3276.9", -369},     {"3.6e6", 0},
        {"1e39", 0},  // too large for single precision: no angle at all
    };
    for (const Case& c : cases) {
        ActionPage& page = Fresh();
        // "Odd" is 5 wide and 11 high: the centre rounds up, (13, 56).
        ASSERT_EQ("(10,50,15,61)", RectText(page.EngineRect("Odd")));
        StartJournal();
        RotateObjectAction(page.Data(), page.Symbol("Odd"), c.argument);
        const std::vector<std::string> expected = {
            Call("GetSymbolRect", {D(), S("Odd")}),
            Call("GetSymbolRect", {D(), S("Odd")}),
            Call("RotateSymbol", {D(), S("Odd"), N(c.engineAngle), "(13,56)"}),
            Call("GetSymbolRect", {D(), S("Odd")}),
        };
        EXPECT_EQ(expected, JournalOf({"GetSymbolRect", "RotateSymbol"})) << "[" << c.argument << "]";
        // Both places are repainted, also for a turn by nothing.
        EXPECT_FALSE(Empty(Dirty())) << "[" << c.argument << "]";
    }
}

TEST_F(SymbolActions, RotateObjectTurnsClockwiseAndRepaintsOldAndNewPlaces) {
    ActionPage& page = Fresh();
    const RECT before = page.EngineRect("Solid");  // 30 x 20
    RotateObjectAction(page.Data(), page.Symbol("Solid"), "90");
    const RECT after = page.EngineRect("Solid");
    EXPECT_EQ(20, after.right - after.left);
    EXPECT_EQ(30, after.bottom - after.top);
    EXPECT_EQ(RectText(Union(Grown(before), Grown(after))), RectText(Dirty()));
}

TEST_F(SymbolActions, MoveOverPutsTheCentreOnTheTargetsCentre) {
    ActionPage& page = Fresh();
    // Solid (10,10)-(40,30) has its centre at (25, 20); Far (50,30)-(61,45) at (55, 37).
    StartJournal();
    MoveOverAction(page.Data(), page.Symbol("Solid"), "Far");
    EXPECT_EQ((std::vector<std::string>{
                  Call("GetSymbolRect", {D(), S("Solid")}),
                  Call("GetSymbolRect", {D(), S("Far")}),
                  Call("GetSymbolRect", {D(), S("Solid")}),
                  Call("MoveSymbol", {D(), S("Solid"), "(30,17)"}),
                  Call("GetSymbolRect", {D(), S("Solid")}),
              }),
              JournalOf({"GetSymbolRect", "MoveSymbol"}));
    EXPECT_EQ("(40,27,70,47)", RectText(page.EngineRect("Solid")));
    EXPECT_EQ("(9,9,71,48)", RectText(Dirty()));
}

TEST_F(SymbolActions, MoveOverWithAntialiasingMovesInEngineUnitsAndRepaintsInViewPixels) {
    ActionPage& page = Open(kDrawing, {});
    ASSERT_EQ("(20,20,80,60)", RectText(page.EngineRect("Solid")));
    StartJournal();
    MoveOverAction(page.Data(), page.Symbol("Solid"), "Far");
    EXPECT_EQ((std::vector<std::string>{Call("MoveSymbol", {D(), S("Solid"), "(61,35)"})}), JournalOf({"MoveSymbol"}));
    // Engine (20,20,80,60) and (81,55,141,95) are view (10,10,40,30) and (40,27,70,47).
    EXPECT_EQ("(9,9,71,48)", RectText(Dirty()));
}

TEST_F(SymbolActions, StackingVerbsCallTheirEngineFunctionAndRepaint) {
    struct Case {
        Handler handler;
        const char* function;
    };
    const Case cases[] = {
        {BringObjectToFrontAction, "MoveSymbolToTop"},
        {BringObjectForwardAction, "StepSymbolUp"},
        {SendObjectToBackAction, "MoveSymbolToBottom"},
        {SendObjectBackwardAction, "StepSymbolDown"},
    };
    for (const Case& c : cases) {
        ActionPage& page = Fresh();
        const RECT bounds = page.EngineRect("Twin");
        StartJournal();
        c.handler(page.Data(), page.Symbol("Twin"), "ignored");
        EXPECT_EQ((std::vector<std::string>{Call(c.function, {D(), S("Twin")}), Call("GetSymbolRect", {D(), S("Twin")})}),
                  JournalOf({c.function, "GetSymbolRect"}))
            << c.function;
        EXPECT_EQ(RectText(Grown(bounds)), RectText(Dirty())) << c.function;
    }
}

TEST_F(SymbolActions, SymbolTextRepaintsTheOldAndTheNewExtent) {
    ActionPage& page = Fresh();
    const RECT old = page.EngineRect("Label");
    StartJournal();
    SymbolTextAction(page.Data(), page.Symbol("Label"), " Sold out for today ");
    EXPECT_EQ((std::vector<std::string>{
                  Call("GetSymbolRect", {D(), S("Label")}),
                  Call("SetSymbolText", {D(), S("Label"), "\" Sold out for today \""}),
                  Call("GetSymbolRect", {D(), S("Label")}),
              }),
              JournalOf({"GetSymbolRect", "SetSymbolText"}));
    const RECT now = page.EngineRect("Label");
    EXPECT_GT(now.right - now.left, old.right - old.left);
    // The longer text runs past the view's right edge: the stale area stops there.
    const RECT view = {0, 0, 200, 100};
    RECT expected;
    const RECT both = Union(Grown(old), Grown(now));
    IntersectRect(&expected, &both, &view);
    EXPECT_EQ(RectText(expected), RectText(Dirty()));
}

TEST_F(SymbolActions, SoftReloadRunsTheLoadScriptsOnTheDrawingAsItIs) {
    ActionPage& page = Open(DrawingText(
        Box("Lamp", 10, 10, 40, 30, "  property \"OnLoad\" \"SymbolColor #00FF00\"\n") + Box("Other", 50, 10, 70, 30)));
    SymbolColorAction(page.Data(), page.Symbol("Lamp"), "red");
    const CVLDRAWING drawing = page.Drawing();
    SoftReloadAction(page.Data(), page.Symbol("Other"), "");
    COLORREF colour = 0;
    GetSolidSymbolFill(page.Drawing(), page.Symbol("Lamp"), &colour);
    EXPECT_EQ(RGB(0, 255, 0), colour);
    EXPECT_EQ(drawing, page.Drawing());
}

TEST_F(SymbolActions, ResetDrawingWithoutLocalFileAsksForItsArgumentInPlace) {
    for (const char* argument : {"other.vkf", ""}) {
        ActionPage& page = Fresh();
        const CVLDRAWING drawing = page.Drawing();
        const CVLSYMBOL solid = page.Symbol("Solid");
        page.Data()->drawingFile.clear();
        page.Link().calls.clear();
        StartJournal();
        ResetDrawingAction(page.Data(), solid, argument);
        EXPECT_EQ(std::vector<std::string>{"LoadInPlace [" + std::string(argument) + "]"}, page.Link().calls);
        EXPECT_EQ(std::vector<std::string>{}, JournalOf());
        EXPECT_EQ(drawing, page.Drawing());
    }
}

TEST_F(SymbolActions, ResetDrawingReloadsTheFileAndUndoesEveryChange) {
    ActionPage& page = Open(DrawingText(Box("Lamp", 10, 10, 40, 30) + Box("Marker", 50, 10, 70, 30) +
                                        Box("Loaded", 80, 10, 100, 30, "  property \"OnLoad\" \"SymbolColor #00FF00\"\n")));
    InstanceData* data = page.Data();
    SymbolColorAction(data, page.Symbol("Lamp"), "red");
    HideSymbolAction(data, page.Symbol("Marker"), "");
    MoveOverAction(data, page.Symbol("Lamp"), "Loaded");
    const CVLDRAWING old = page.Drawing();
    const unsigned generation = data->drawingGeneration;
    page.Settle();

    ResetDrawingAction(data, page.Symbol("Lamp"), "fallback.vkf");
    EXPECT_EQ(std::vector<std::string>{}, page.Link().calls);
    ASSERT_NE(0u, page.Drawing());
    EXPECT_NE(old, page.Drawing());
    EXPECT_GT(data->drawingGeneration, generation);
    COLORREF colour = 0;
    GetSolidSymbolFill(page.Drawing(), page.Symbol("Lamp"), &colour);
    EXPECT_EQ(RGB(128, 128, 128), colour);
    EXPECT_TRUE(page.Visible("Marker"));
    EXPECT_EQ("(10,10,40,30)", RectText(page.EngineRect("Lamp")));
    // The load scripts ran on the reloaded drawing, and the whole view is repainted.
    GetSolidSymbolFill(page.Drawing(), page.Symbol("Loaded"), &colour);
    EXPECT_EQ(RGB(0, 255, 0), colour);
    EXPECT_EQ("(0,0,200,100)", RectText(PendingArea(page.Window())));
    page.Settle();
    EXPECT_EQ(RGB(0, 255, 0), w32_window_pixel(page.Window(), 90, 20));
    EXPECT_EQ(RGB(128, 128, 128), w32_window_pixel(page.Window(), 20, 20));
}

TEST_F(SymbolActions, ResetDrawingStopsTheInstancesEffectsBeforeFreeingTheDrawing) {
    ActionPage& page = Fresh();
    const CVLDRAWING old = page.Drawing();
    const CVLSYMBOL solid = page.Symbol("Solid");
    FlashObjectAction(page.Data(), solid, "");
    w32_advance_clock(500);  // the first tick hides the symbol
    ASSERT_FALSE(page.Visible("Solid"));
    StartJournal();
    ResetDrawingAction(page.Data(), solid, "");
    // The flash puts its symbol back while the old drawing still exists.
    EXPECT_EQ((std::vector<std::string>{Call("SetSymbolVisibleFlag", {N(old), N(solid), "1"}), Call("FreeDrawing", {N(old)})}),
              JournalOf({"SetSymbolVisibleFlag", "FreeDrawing"}));
    EXPECT_EQ(0u, EffectRegistry::Current()->Count());
    w32_advance_clock(2000);
    EXPECT_TRUE(page.Visible("Solid"));
}

TEST_F(SymbolActions, ResetDrawingThatCannotReloadAsksForItsArgumentAndLeavesNoDrawing) {
    ActionPage& page = Fresh();
    const CVLSYMBOL solid = page.Symbol("Solid");
    std::filesystem::remove(page.Data()->drawingFile);
    page.Link().calls.clear();
    ResetDrawingAction(page.Data(), solid, "fallback.vkf");
    EXPECT_EQ(std::vector<std::string>{"LoadInPlace [fallback.vkf]"}, page.Link().calls);
    EXPECT_EQ(0u, page.Drawing());
    EXPECT_EQ(nullptr, page.Data()->cacheBitmap.get());
    // Later statements of the same script find no drawing and leave the engine alone.
    const Handler handlers[] = {SymbolColorAction, HideSymbolAction, ShowSymbolAction, MoveOverAction,
                                RotateObjectAction, HideLayerAction, OnlyShowLayerAction, BringObjectToFrontAction,
                                SymbolTextAction, SoftReloadAction, FlashObjectAction, SpinObjectCWAction};
    for (Handler handler : handlers) handler(page.Data(), solid, "1");
    EXPECT_EQ(0u, CvlDiagStaleHandleCount()) << cvldiag::LastStaleCall();
    EXPECT_EQ(nullptr, EffectRegistry::Current());
}

TEST_F(SymbolActions, ResetDrawingLaysTheReloadedDrawingOutBeforeItsLoadScriptsMeasureIt) {
    // Antialiased: engine units are half pixels. A spin started by the load script
    // keeps the centre it measured then; it must be the centre the renders use.
    ActionPage& page = Open(DrawingText(Box("Fan", 60, 40, 120, 60, "  property \"OnLoad\" \"SpinObjectCW 100 4\"\n")), {});
    ResetDrawingAction(page.Data(), page.Symbol("Fan"), "");
    EXPECT_EQ("(120,80,240,120)", RectText(page.EngineRect("Fan")));
    w32_advance_clock(1000);
    RECT view = page.EngineRect("Fan");
    EXPECT_NEAR(90, (view.left + view.right) / 4, 1);
    EXPECT_NEAR(50, (view.top + view.bottom) / 4, 1);
}
