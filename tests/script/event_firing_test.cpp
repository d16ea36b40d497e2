// Firing event scripts from the pointer and from the OnLoad pass, and the view
// catching up after each script.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cvlpage/diagnostics.h"
#include "event_scripts.h"
#include "plugin_instance.h"
#include "script_page.h"
#include "view_window.h"
#include "win32_control.h"

namespace {

typedef std::vector<std::string> Calls;
typedef NamedTexts Properties;

// Scripts that report every pointer event of the symbol on the status line.
Properties Reporting(const std::string& name, Properties more = {})
{
    Properties properties = {{"OnMouseEnter", "StatusLine enter " + name},
                             {"OnMouseLeave", "StatusLine leave " + name},
                             {"OnMouseDown", "StatusLine down " + name},
                             {"OnMouseUp", "StatusLine up " + name},
                             {"OnDoubleClick", "StatusLine double " + name}};
    for (auto& extra : more) {
        for (auto& p : properties) {
            if (p.first == extra.first) {
                p.second = extra.second;
                extra.first.clear();
            }
        }
        if (!extra.first.empty()) {
            properties.push_back(extra);
        }
    }
    return properties;
}

TEST(EventFiring, PointerEventsRunTheirScriptsInOrder)
{
    ScriptPage page;
    page.LoadDrawingText(DrawingText(Rectangle("A", 10, 10, 40, 40, Reporting("A")) +
                                     Rectangle("B", 60, 10, 90, 40, Reporting("B"))));
    BrowserCalls().clear();
    page.MoveTo(20, 20);
    page.MoveTo(70, 20);
    page.Press(70, 20);
    page.MoveTo(150, 20);
    page.Release(150, 20);
    page.Press(150, 20);
    page.Release(150, 20);
    page.MoveTo(25, 25);
    page.Press(25, 25);
    page.Release(25, 25);
    page.MoveTo(250, 20);  // out of the view
    EXPECT_EQ((Calls{"Status enter A", "Status leave A", "Status enter B", "Status down B", "Status leave B",
                     "Status enter A", "Status down A", "Status up A", "Status leave A"}),
              BrowserCalls());
}

// A script that hides its own symbol is followed at once by the leave of that
// symbol and the enter of the one beneath, before the outer firing returns.
TEST(EventFiring, TheViewLooksAgainAfterEachScript)
{
    ScriptPage page;
    page.LoadDrawingText(DrawingText(
        Rectangle("Under", 10, 10, 40, 40, Reporting("Under")) +
        Rectangle("A", 10, 10, 40, 40, Reporting("A", {{"OnMouseEnter", "StatusLine enter A;HideSymbol"}}))));
    BrowserCalls().clear();
    page.MoveTo(20, 20);
    EXPECT_EQ((Calls{"Status enter A", "Status leave A", "Status enter Under"}), BrowserCalls());
    EXPECT_EQ(page.Symbol("Under"), page.Data()->view->hoverSymbol);
}

// The release handler does no hit test of its own, so a hit test during the release
// shows that the firing had the view look again: only when the property is present.
TEST(EventFiring, LooksAgainOnlyWhenTheEventHasAScript)
{
    const struct {
        Properties properties;
        std::size_t hitTests;
        Calls calls;
    } cases[] = {
        {{}, 0, {}},
        {{{"OnMouseUp", ""}}, 1, {}},
        {{{"OnMouseUp", "StatusLine up"}}, 1, {"Status up"}},
        {{{"OnMouseDown", "StatusLine down"}}, 0, {}},
    };
    for (const auto& c : cases) {
        ScriptPage page;
        page.LoadDrawingText(DrawingText(Rectangle("A", 10, 10, 40, 40, c.properties)));
        page.MoveTo(20, 20);
        page.Press(20, 20);
        BrowserCalls().clear();
        CvlDiagSetJournal(1);
        page.Release(20, 20);
        EXPECT_EQ(c.hitTests, cvldiag::JournalOf("SymbolFromPoint").size());
        CvlDiagSetJournal(0);
        EXPECT_EQ(c.calls, BrowserCalls());
        // Every event converts first, whether or not it has a script.
        EXPECT_EQ("__ae", page.Property("A", "__ae"));
    }
}

// Two symbols whose enter scripts hand the pointer to each other would nest
// firings without end; the nesting stops at its bound and unwinds cleanly.
TEST(EventFiring, BoundsTheNestingOfFirings)
{
    ScriptPage page;
    page.LoadDrawingText(DrawingText(
        Rectangle("B", 10, 10, 40, 40, {{"OnMouseEnter", "StatusLine B;HideSymbol;as A ShowSymbol"}}) +
        Rectangle("A", 10, 10, 40, 40, {{"OnMouseEnter", "StatusLine A;HideSymbol;as B ShowSymbol"}})));
    BrowserCalls().clear();
    page.MoveTo(20, 20);
    EXPECT_GE(BrowserCalls().size(), 4u);
    EXPECT_LE(BrowserCalls().size(), 32u);
    EXPECT_EQ(0, page.Data()->eventDepth);
    // Once unwound, firing works as before.
    BrowserCalls().clear();
    FireSymbolEvent(page.Data(), page.Symbol("A"), "OnMouseEnter");
    EXPECT_FALSE(BrowserCalls().empty());
    EXPECT_EQ("Status A", BrowserCalls().front());
}

struct EnumOrder {
    CVLDRAWING drawing;
    std::vector<std::string> names;
};

int WINAPI RecordName(CVLSYMBOL symbol, void* context)
{
    EnumOrder* order = static_cast<EnumOrder*>(context);
    char name[64] = "";
    GetSymbolName(order->drawing, symbol, name, sizeof name);
    order->names.push_back(name);
    return 0;
}

TEST(EventFiring, TheLoadPassRunsEveryOnLoadScriptInTheEnginesOrder)
{
    ScriptPage page;
    page.LoadDrawingText(DrawingText(
        Group("G", Rectangle("M", 0, 0, 5, 5, {{"OnLoad", "StatusLine load M"}}), {{"OnLoad", "StatusLine load G"}}) +
        Rectangle("X", 10, 0, 15, 5, {{"OnLoad", "StatusLine load X"}}) +
        Rectangle("Link", 20, 0, 25, 5, {{"urllink", "a.html"}}) +
        Rectangle("Empty", 30, 0, 35, 5, {{"OnLoad", ""}}) +
        Rectangle("Y", 40, 0, 45, 5, {{"OnLoad", "StatusLine load Y"}})));
    EnumOrder order = {page.Drawing(), {}};
    EnumSymbols(page.Drawing(), RecordName, &order, CVL_ENUM_EVERY_SYMBOL);
    Calls expected;
    for (const std::string& name : order.names) {
        if (name != "Link" && name != "Empty") {
            expected.push_back("Status load " + name);
        }
    }
    EXPECT_EQ(expected, BrowserCalls());
    // Only symbols that have an OnLoad script are fired on, and so converted.
    EXPECT_EQ("(absent)", page.Property("Link", "__ae"));
    EXPECT_EQ("__ae", page.Property("Empty", "__ae"));
}

TEST(EventFiring, AnOnLoadPassDoesNotStartAgainFromItsOwnScripts)
{
    ScriptPage page;
    page.LoadDrawingText(DrawingText(
        Rectangle("A", 10, 10, 40, 40, {{"OnLoad", "StatusLine load A;SoftReload;StatusLine A done"},
                                         {"OnMouseDown", "SoftReload"}}) +
        Rectangle("B", 60, 10, 90, 40, {{"OnLoad", "StatusLine load B"}})));
    EXPECT_EQ((Calls{"Status load A", "Status A done", "Status load B"}), BrowserCalls());
    EXPECT_FALSE(page.Data()->loadPassRunning);

    // From a pointer event the pass runs again, whole.
    BrowserCalls().clear();
    page.MoveTo(20, 20);
    page.Press(20, 20);
    EXPECT_EQ((Calls{"Status load A", "Status A done", "Status load B"}), BrowserCalls());
}

// A reset inside an OnLoad script replaces the drawing under the running pass and
// script: both end there, the engine is told at once to stop the enumeration, and
// no handle of the old drawing reaches the engine.
TEST(EventFiring, AResetEndsTheRunningScriptAndPass)
{
    ScriptPage page;
    page.LoadDrawingText(DrawingText(
        Rectangle("A", 10, 10, 40, 40,
                  {{"OnLoad", "StatusLine load A;ResetDrawing;StatusLine after;SymbolColor red"},
                   {"OnMouseDown", "StatusLine down A;ResetDrawing;HideSymbol;StatusLine after"}}) +
        Rectangle("B", 60, 10, 90, 40, {{"OnLoad", "StatusLine load B;HideSymbol"}})));
    EXPECT_EQ(Calls{"Status load A"}, BrowserCalls());
    EXPECT_EQ(0u, CvlDiagStaleHandleCount()) << cvldiag::LastStaleCall();
    ASSERT_NE(0u, page.Drawing());
    EXPECT_NE(0, GetSymbolVisibleFlag(page.Drawing(), page.Symbol("B")));

    BrowserCalls().clear();
    page.MoveTo(20, 20);
    page.Press(20, 20);
    // The reset's own OnLoad pass runs A's OnLoad script, whose reset would reload
    // what has just been loaded: it is skipped, and the pass goes on.
    EXPECT_EQ((Calls{"Status down A", "Status load A", "Status after", "Status load B"}), BrowserCalls());
    EXPECT_NE(0, GetSymbolVisibleFlag(page.Drawing(), page.Symbol("A")));
    EXPECT_EQ(0, GetSymbolVisibleFlag(page.Drawing(), page.Symbol("B")));
    // Destruction of the page checks that the engine refused no stale handle.
}

// Pages whose scripts keep the view busy cost a bounded amount per pointer move:
// firings (each reads its event's script) and loads of the drawing file.
TEST(EventFiring, OnePointerMoveCausesABoundedAmountOfWork)
{
    const std::string pingPong = DrawingText(
        Rectangle("Under", 10, 10, 40, 40,
                  {{"OnMouseEnter", "as Over ShowSymbol"}, {"OnMouseLeave", "as Over HideSymbol"}}) +
        Rectangle("Over", 10, 10, 40, 40,
                  {{"OnMouseEnter", "HideSymbol;as Under ShowSymbol"}, {"OnMouseLeave", "ShowSymbol;as Under HideSymbol"}}));
    const std::string resetOnEnter = DrawingText(Rectangle("R", 10, 10, 40, 40, {{"OnMouseEnter", "ResetDrawing"}}));
    // Entering V reruns the load scripts, and each of them hides or shows V under the pointer.
    std::string restarters;
    for (int i = 0; i < 12; ++i) {
        restarters += Rectangle("L" + std::to_string(i), 100 + 5 * i, 80, 104 + 5 * i, 84,
                                {{"OnLoad", i % 2 ? "as V ShowSymbol" : "as V HideSymbol"}});
    }
    const std::string loadScriptsRestartIt = DrawingText(
        Rectangle("U", 10, 10, 40, 40, {{"OnMouseEnter", "as V ShowSymbol"}}) +
        Rectangle("V", 10, 10, 40, 40, {{"OnMouseEnter", "HideSymbol;SoftReload"}}) + restarters);
    const struct {
        const char* what;
        std::string drawing;
        std::size_t mostFirings;
        std::size_t mostLoads;
    } pages[] = {
        {"symbols that hide and show each other", pingPong, 512, 0},
        {"an enter that resets the drawing", resetOnEnter, 4, 1},
        {"load scripts that each restart the hiding and showing", loadScriptsRestartIt, 512, 0},
    };
    const POINT moves[] = {{20, 20}, {21, 20}, {100, 20}, {25, 25}, {250, 20}, {20, 20}};
    for (const auto& p : pages) {
        SCOPED_TRACE(p.what);
        ScriptPage page;
        page.LoadDrawingText(p.drawing);
        CvlDiagSetJournal(1);
        for (const POINT& move : moves) {
            CvlDiagClearJournal();
            page.MoveTo(move.x, move.y);
            std::size_t firings = 0;
            for (const std::string& call : cvldiag::JournalOf("GetPropertyLength")) {
                firings += call.find("\"OnMouse") != std::string::npos ? 1 : 0;
            }
            EXPECT_LE(firings, p.mostFirings) << "move to " << move.x << ", " << move.y;
            EXPECT_LE(cvldiag::JournalOf("LoadDrawing").size(), p.mostLoads) << "move to " << move.x << ", " << move.y;
        }
        CvlDiagSetJournal(0);
        EXPECT_EQ(0, page.Data()->eventDepth);
    }
}

// A drawing with plain link properties behaves as links: hand cursor and status
// text over the symbol, the jump on release, the status emptied on leaving.
TEST(EventFiring, LegacyLinksBehaveAsLinks)
{
    ScriptPage page;
    page.LoadDrawingText(DrawingText(
        Rectangle("Link", 10, 10, 40, 40, {{"urllink", "next.html"}, {"statusline", "Next page"}})));
    page.MoveTo(20, 20);
    EXPECT_EQ(1, page.Data()->view->cursorShape);
    page.Press(20, 20);
    page.Release(20, 20);
    page.MoveTo(100, 20);
    EXPECT_EQ(0, page.Data()->view->cursorShape);
    EXPECT_EQ((Calls{"Status Next page", "GetURL http://host/page/next.html _current", "Status "}),
              BrowserCalls());
}

}  // namespace
