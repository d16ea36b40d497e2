// The handlers as scripts reach them: several targets, the twin verbs, timed effects
// started from one script, and statements that follow a reload of the drawing.
#include <string>
#include <vector>

#include "action_test.h"
#include "cvlpage/diagnostics.h"
#include "effect_registry.h"
#include "interpreter.h"
#include "plugin_instance.h"
#include "symbol_actions.h"
#include "win32_control.h"

namespace {

const std::string kDrawing = DrawingText(Box("A", 10, 10, 30, 30) + Box("B", 40, 10, 60, 30) +
                                         Box("C", 70, 10, 90, 30) + Box("Bar", 100, 40, 160, 60) +
                                         Box("Lamp", 10, 50, 40, 70));

std::size_t Running() { return EffectRegistry::Current() != nullptr ? EffectRegistry::Current()->Count() : 0; }

}  // namespace

class ScriptedActions : public ActionTest {};

TEST_F(ScriptedActions, AStatementAimedAtThreeTargetsActsOncePerTarget) {
    ActionPage& page = Open(kDrawing);
    RunEventScript(page.Data(), page.Symbol("A"), "as A, B, C Jump ../up.html;as A,B,C ObjectColor Navy");
    EXPECT_EQ(std::vector<std::string>(3, "GotoURL [../up.html] null"), page.Link().calls);
    for (const char* name : {"A", "B", "C"}) {
        COLORREF colour = 0;
        GetSolidSymbolFill(page.Drawing(), page.Symbol(name), &colour);
        EXPECT_EQ(RGB(0, 0, 128), colour) << name;
    }
}

TEST_F(ScriptedActions, TwinVerbsShareTheirHandlers) {
    ActionPage& page = Open(kDrawing);
    const CVLSYMBOL lamp = page.Symbol("Lamp");
    RunEventScript(page.Data(), lamp, "HideObject");
    EXPECT_FALSE(page.Visible("Lamp"));
    RunEventScript(page.Data(), lamp, "ShowObject;ObjectText Lit;ScaleObject 300");
    EXPECT_TRUE(page.Visible("Lamp"));
    EXPECT_EQ("(10,50,40,70)", RectText(page.EngineRect("Lamp")));
}

TEST_F(ScriptedActions, EffectsStartedByOneScriptRunSideBySide) {
    ActionPage& page = Open(kDrawing);
    const DWORD start = w32_now();
    StartJournal();
    RunEventScript(page.Data(), page.Symbol("Lamp"),
                   "as Bar SpinObjectCCW 50 4 1;FlashObject 400 2;Beep 100 2;CursorShape hand;StatusLine Busy");
    EXPECT_EQ(3u, Running());
    EXPECT_EQ(std::vector<std::string>{"ShowStatus [Busy]"}, page.Link().calls);
    w32_advance_clock(1000);
    EXPECT_EQ(0u, Running());
    EXPECT_EQ(5u, JournalOf({"RotateSymbol"}).size());  // four quarter turns and the stop
    EXPECT_EQ(4u, JournalOf({"SetSymbolVisibleFlag"}).size());  // two blinks: hide, show, hide, show
    ASSERT_EQ(2u, w32_beep_count());
    EXPECT_EQ(100u, w32_beep(0).time - start);
    EXPECT_EQ(200u, w32_beep(1).time - start);
    EXPECT_TRUE(page.Visible("Lamp"));
    EXPECT_EQ("(100,40,160,60)", RectText(page.EngineRect("Bar")));
}

TEST_F(ScriptedActions, StatementsAfterAReloadNeverReachTheFreedDrawing) {
    ActionPage& page = Open(kDrawing);
    RunEventScript(page.Data(), page.Symbol("Lamp"), "FlashObject;as Bar SpinObjectCW 10");
    w32_advance_clock(505);
    RunEventScript(page.Data(), page.Symbol("Lamp"),
                   "ResetDrawing;SymbolColor red;HideSymbol;RotateObject 45;FlashObject;as Bar MoveOver Lamp");
    w32_advance_clock(2000);
    EXPECT_EQ(0u, CvlDiagStaleHandleCount()) << cvldiag::LastStaleCall();
    EXPECT_TRUE(page.Visible("Lamp"));
    EXPECT_EQ("(100,40,160,60)", RectText(page.EngineRect("Bar")));
}

TEST_F(ScriptedActions, ResetDrawingInsideALoadScriptEndsWithAWholeDrawing) {
    ActionPage& page = Open(DrawingText(Box("A", 10, 10, 30, 30, "  property \"OnLoad\" \"ResetDrawing;SymbolColor red\"\n") +
                                        Box("B", 40, 10, 60, 30, "  property \"OnLoad\" \"as A SymbolColor #00FF00\"\n")));
    ResetDrawingAction(page.Data(), page.Symbol("B"), "");
    ASSERT_NE(0u, page.Drawing());
    EXPECT_EQ(1, CvlDiagLiveDrawings());
    EXPECT_EQ(0u, CvlDiagStaleHandleCount()) << cvldiag::LastStaleCall();
    page.Settle();
    EXPECT_EQ(std::vector<std::string>{}, page.Link().calls);
}
