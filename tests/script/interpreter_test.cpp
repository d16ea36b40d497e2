// Running scripts: verbs, targets, "%" arguments from the page and "!label"
// arguments fetched from the server, through a plug-in instance in a test browser.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cvlpage/diagnostics.h"
#include "interpreter.h"
#include "plugin_instance.h"
#include "script_page.h"
#include "view_window.h"
#include "win32_control.h"

namespace {

typedef std::vector<std::string> Calls;

const std::string kLamps = DrawingText(Rectangle("Lamp1", 0, 0, 20, 20) + Rectangle("Lamp2", 30, 0, 50, 20) +
                                       Group("Group1", Rectangle("Part", 60, 0, 80, 20)));

// What a script run on Lamp1 of kLamps shows a user, a second later: the browser
// calls, hidden symbols and layers, fills other than the drawing's grey, texts set,
// the hand cursor and beeps.
Calls Effects(const std::string& script)
{
    ScriptPage page;
    page.LoadDrawingText(kLamps);
    BrowserCalls().clear();
    CvlDiagSetJournal(1);
    RunEventScript(page.Data(), page.Symbol("Lamp1"), script);
    w32_advance_clock(1000);
    Calls seen = BrowserCalls();
    for (const char* name : {"Lamp1", "Lamp2", "Group1", "Part"}) {
        const CVLSYMBOL symbol = page.Symbol(name);
        if (!GetSymbolVisibleFlag(page.Drawing(), symbol)) {
            seen.push_back(std::string("hidden ") + name);
        }
        COLORREF fill = RGB(0x80, 0x80, 0x80);
        if (GetSolidSymbolFill(page.Drawing(), symbol, &fill) && fill != RGB(0x80, 0x80, 0x80)) {
            seen.push_back(std::string("fill ") + name + " " + std::to_string(fill));
        }
        for (const std::string& call : cvldiag::JournalOf("SetSymbolText")) {
            if (call.find(", " + std::to_string(symbol) + ", ") != std::string::npos) {
                seen.push_back(std::string("text ") + name + " " + call.substr(call.find('"')));
            }
        }
    }
    CvlDiagSetJournal(0);
    if (!GetLayerVisibleFlag(page.Drawing(), 1)) {
        seen.push_back("layer 1 hidden");
    }
    if (page.Data()->view->cursorShape == 1) {
        seen.push_back("hand cursor");
    }
    if (w32_beep_count() > 0) {
        seen.push_back("beeping");
    }
    return seen;
}

// Verbs are matched without regard to case, for every family of handlers:
// navigation and feedback, symbols and layers, timed effects. The first statement
// after the module let go of its verbs finds them again.
TEST(Interpreter, AVerbOfEveryHandlerFamilyRunsInAnyLetterCase)
{
    const struct {
        const char* script;
        Calls effects;
    } cases[] = {
        {"jUMP next.html", {"GetURL http://host/page/next.html _current"}},
        {"STATUSLINE hi", {"Status hi"}},
        {"cursorshape hand", {"hand cursor"}},
        {"hidesymbol", {"hidden Lamp1"}},
        {"SymbolCOLOR red", {"fill Lamp1 " + std::to_string(RGB(255, 0, 0))}},
        {"HIDELAYER 1", {"layer 1 hidden"}},
        {"beep", {"beeping"}},
    };
    for (const auto& c : cases) {
        FreeActionMap();
        EXPECT_EQ(c.effects, Effects(c.script)) << "script '" << c.script << "'";
    }
}

// A verb with "Object" where its twin has "Symbol" does what its twin does.
TEST(Interpreter, ATwinVerbActsLikeItsTwin)
{
    const struct {
        const char* script;
        const char* twin;
    } cases[] = {
        {"SymbolColor blue", "ObjectColor blue"},
        {"SymbolText hi", "ObjectText hi"},
        {"HideSymbol", "HideObject"},
        {"HideSymbol;ShowSymbol;as Lamp2 HideSymbol", "HideSymbol;ShowObject;as Lamp2 HideSymbol"},
    };
    for (const auto& c : cases) {
        const Calls effects = Effects(c.script);
        EXPECT_FALSE(effects.empty()) << "script '" << c.script << "'";
        EXPECT_EQ(effects, Effects(c.twin)) << "script '" << c.twin << "'";
    }
}

// A verb that is not one of the actions, however near, does nothing; the script
// goes on with its next statement.
TEST(Interpreter, AnUnknownVerbIsSkippedAndTheNextStatementRuns)
{
    const char* const unknown[] = {"NoSuchVerb x", "Jum next.html", "Jumps next.html", "Status\tLine x",
                                   "Object Color red", "HideSymbols", "as Lamp2 Hide", ("B\xE9" "ep")};
    for (const char* statement : unknown) {
        EXPECT_EQ(Calls{"Status after"}, Effects(std::string(statement) + ";StatusLine after"))
            << "statement '" << statement << "'";
    }
}

TEST(Interpreter, MatchesVerbsWithoutRegardToCaseAndPassesArgumentsAsWritten)
{
    const struct {
        const char* script;
        Calls calls;
    } cases[] = {
        {"Jump next.html;StatusLine Loading",
         {"GetURL http://host/page/next.html _current", "Status Loading"}},
        {"   jump next.html", {"GetURL http://host/page/next.html _current"}},
        {"STATUSLINE a;statusLine b;StatusLine c", {"Status a", "Status b", "Status c"}},
        {"StatusLine", {"Status "}},
        {"StatusLine  two ", {"Status  two "}},
        {"TargetJump frame1 x.html", {"GetURL http://host/page/x.html frame1"}},
        {"InplaceJump other.vkf", {"GetURL http://host/page/other.vkf (null)"}},
        {"Status x;StatusLines x;Status\tLine x;NoSuchVerb x;StatusLine after", {"Status after"}},
        {";;", {}},
        {"", {}},
        {"StatusLine a;;StatusLine b;", {"Status a", "Status b"}},
    };
    for (const auto& c : cases) {
        ScriptPage page;
        page.LoadDrawingText(kLamps);
        BrowserCalls().clear();
        RunEventScript(page.Data(), page.Symbol("Lamp1"), c.script);
        EXPECT_EQ(c.calls, BrowserCalls()) << "script '" << c.script << "'";
    }
}

TEST(Interpreter, ActsOnTheEventSymbolOrOnEachResolvedTarget)
{
    const struct {
        const char* eventSymbol;
        const char* script;
        std::set<std::string> hidden;
    } cases[] = {
        {"Lamp1", "HideSymbol", {"Lamp1"}},
        {"Lamp1", "hideobject", {"Lamp1"}},
        {"Lamp1", "as Lamp2 HideSymbol", {"Lamp2"}},
        {"Lamp1", "as Lamp1, Lamp2 HideSymbol", {"Lamp1", "Lamp2"}},
        {"Lamp1", "AS Lamp2 HideSymbol", {"Lamp2"}},
        {"Lamp1", "as Lamp1 ,Lamp2 HideSymbol", {"Lamp2"}},
        {"Lamp1", "as Lamp1, NoSuchSymbol, Lamp2 HideSymbol", {"Lamp1", "Lamp2"}},
        {"Lamp1", "as Lamp1 HideSymbol a,b", {}},
        {"Lamp1", "as Group1, ->Part HideSymbol", {"Group1", "Part"}},
        {"Group1", "as ->Part HideSymbol", {"Part"}},
        {"Lamp1", "as NoSuchSymbol, ->Part HideSymbol", {"Part"}},  // then resolved from the top
        {"Lamp1", "as lamp2 HideSymbol", {}},
    };
    const char* const names[] = {"Lamp1", "Lamp2", "Group1", "Part"};
    for (const auto& c : cases) {
        ScriptPage page;
        page.LoadDrawingText(kLamps);
        RunEventScript(page.Data(), page.Symbol(c.eventSymbol), c.script);
        std::set<std::string> hidden;
        for (const char* name : names) {
            if (!GetSymbolVisibleFlag(page.Drawing(), page.Symbol(name))) {
                hidden.insert(name);
            }
        }
        EXPECT_EQ(c.hidden, hidden) << "script '" << c.script << "' on " << c.eventSymbol;
    }
}

TEST(Interpreter, RunsTargetsInListOrder)
{
    ScriptPage page;
    page.LoadDrawingText(kLamps);
    CvlDiagSetJournal(1);
    RunEventScript(page.Data(), page.Symbol("Part"), "as Lamp2, Lamp1 HideSymbol");
    std::vector<std::string> hides = cvldiag::JournalOf("SetSymbolVisibleFlag");
    CvlDiagSetJournal(0);
    ASSERT_EQ(2u, hides.size());
    EXPECT_NE(std::string::npos, hides[0].find(", " + std::to_string(page.Symbol("Lamp2")) + ", "));
    EXPECT_NE(std::string::npos, hides[1].find(", " + std::to_string(page.Symbol("Lamp1")) + ", "));
}

TEST(Interpreter, TakesPercentArgumentsFromTheEmbedAttributes)
{
    const struct {
        const char* script;
        Calls calls;
    } cases[] = {
        {"StatusLine %msg", {"Status Hello"}},
        {"StatusLine %MSG", {"Status Hello"}},
        {"StatusLine %again", {"Status %msg"}},  // a value is used as it stands
        {"StatusLine %fetch", {"Status !label a b.txt"}},
        {"StatusLine %missing;StatusLine %", {}},
        {"StatusLine %empty", {"Status "}},
    };
    for (const auto& c : cases) {
        ScriptPage page(NamedTexts{{"Msg", "Hello"}, {"AGAIN", "%msg"}, {"fetch", "!label a b.txt"}, {"empty", ""}});
        page.LoadDrawingText(kLamps);
        BrowserCalls().clear();
        RunEventScript(page.Data(), page.Symbol("Lamp1"), c.script);
        EXPECT_EQ(c.calls, BrowserCalls()) << "script '" << c.script << "'";
    }
}

TEST(Interpreter, PercentArgumentsColourTheSymbolOnlyWhenThePageGivesThem)
{
    ScriptPage embedded(NamedTexts{{"FILL", "red"}});
    embedded.LoadDrawingText(kLamps);
    RunEventScript(embedded.Data(), embedded.Symbol("Lamp1"), "SymbolColor %fill");
    COLORREF colour = 0;
    GetSolidSymbolFill(embedded.Drawing(), embedded.Symbol("Lamp1"), &colour);
    EXPECT_EQ(RGB(255, 0, 0), colour);

    // A full page has no embed attributes: every "%" argument skips its action.
    ScriptPage fullPage({}, NP_FULL);
    fullPage.LoadDrawingText(kLamps);
    RunEventScript(fullPage.Data(), fullPage.Symbol("Lamp1"), "SymbolColor %fill;StatusLine %fill");
    GetSolidSymbolFill(fullPage.Drawing(), fullPage.Symbol("Lamp1"), &colour);
    EXPECT_EQ(RGB(0x80, 0x80, 0x80), colour);
    EXPECT_EQ(Calls{}, BrowserCalls());
}

// In code page 932 the attribute name "\x83\x41" is one double-byte character;
// lower-casing its second byte as a letter would make it another character.
TEST(Interpreter, LowerCasesAttributeNamesByTheCodePage)
{
    ScriptPage page(NamedTexts{{"\x83\x41", "katakana"}, {"\x83\x61", "small ya"}}, NP_EMBED, 932);
    page.LoadDrawingText(kLamps);
    BrowserCalls().clear();
    RunEventScript(page.Data(), page.Symbol("Lamp1"), "StatusLine %\x83\x41;StatusLine %\x83\x61");
    EXPECT_EQ((Calls{"Status katakana", "Status small ya"}), BrowserCalls());
}

// A text whose wanted line straddles the first 1024-byte chunk, after a line without colon.
std::string PriceList()
{
    return std::string(1008, 'x') + "\r\n  PRICE :  12 dollars \r\nPrice: 13 dollars\n";
}

TEST(Interpreter, LabelArgumentsRunTheActionWithTheFetchedValue)
{
    ScriptPage page;
    page.LoadDrawingText(kLamps);
    BrowserCalls().clear();
    RunEventScript(page.Data(), page.Symbol("Lamp1"), "StatusLine !label price prices.txt;StatusLine asked");
    EXPECT_EQ((Calls{"GetURL http://host/page/prices.txt (null)", "Status asked"}), BrowserCalls());

    BrowserCalls().clear();
    page.Serve("http://host/page/prices.txt", PriceList());
    EXPECT_EQ(Calls{"Status 12 dollars"}, BrowserCalls());
}

TEST(Interpreter, MalformedLabelArgumentsFetchNothing)
{
    const char* const scripts[] = {
        "StatusLine !label msg",      "StatusLine ! label msg x", "StatusLine !labels msg x",
        "StatusLine !label",          "StatusLine !lab msg x",    "StatusLine !",
        "StatusLine !label  msg",
    };
    for (const char* script : scripts) {
        ScriptPage page;
        page.LoadDrawingText(kLamps);
        BrowserCalls().clear();
        RunEventScript(page.Data(), page.Symbol("Lamp1"), script);
        EXPECT_EQ(Calls{}, BrowserCalls()) << "script '" << script << "'";
    }
}

TEST(Interpreter, LabelFetchesThatFindNothingRunNothing)
{
    ScriptPage page;
    page.LoadDrawingText(kLamps);
    RunEventScript(page.Data(), page.Symbol("Lamp1"), "StatusLine !LABEL price a.txt;StatusLine !label price b.txt");
    BrowserCalls().clear();
    page.Serve("http://host/page/a.txt", "Cost: 3\nno colon here\n");  // served, but without the name
    page.Serve("http://host/page/b.txt", "", 1024, NPRES_NETWORK_ERR);    // failed before any data
    EXPECT_EQ(Calls{}, BrowserCalls());

    // A failed URL is fetched afresh by the next request.
    RunEventScript(page.Data(), page.Symbol("Lamp1"), "StatusLine !label price b.txt");
    EXPECT_EQ(Calls{"GetURL http://host/page/b.txt (null)"}, BrowserCalls());
    BrowserCalls().clear();
    page.Serve("http://host/page/b.txt", "price: 4");
    EXPECT_EQ(Calls{"Status 4"}, BrowserCalls());
}

TEST(Interpreter, TwoLabelsOnOneUrlShareOneFetch)
{
    ScriptPage page;
    page.LoadDrawingText(kLamps);
    BrowserCalls().clear();
    RunEventScript(page.Data(), page.Symbol("Lamp1"),
                   "StatusLine !label b data.txt;as Lamp2 SymbolText !label a data.txt");
    EXPECT_EQ(Calls{"GetURL http://host/page/data.txt (null)"}, BrowserCalls());
    BrowserCalls().clear();
    CvlDiagSetJournal(1);
    page.Serve("http://host/page/data.txt", "a: first\nb: second\n");
    EXPECT_EQ(Calls{"Status second"}, BrowserCalls());
    EXPECT_EQ(Calls{"SetSymbolText(" + std::to_string(page.Drawing()) + ", " +
                    std::to_string(page.Symbol("Lamp2")) + ", \"first\")"},
              cvldiag::JournalOf("SetSymbolText"));
    CvlDiagSetJournal(0);
}

// A label found in the first chunk must not cut short the others read from the same
// text: the line of "b" straddles the 1024-byte chunk boundary and arrives whole.
TEST(Interpreter, LabelsReadFromOneTextEachGetTheirWholeValue)
{
    ScriptPage page;
    page.LoadDrawingText(kLamps);
    RunEventScript(page.Data(), page.Symbol("Lamp1"), "StatusLine !label a data.txt;as Lamp2 SymbolText !label b data.txt");
    std::string text = "a: first\n" + std::string(1000, 'x') + "\n";
    text += "b: the whole value\n";
    ASSERT_LT(text.find("b: "), 1024u);
    ASSERT_GT(text.size(), 1024u);
    BrowserCalls().clear();
    CvlDiagSetJournal(1);
    page.Serve("http://host/page/data.txt", text);
    EXPECT_EQ(Calls{"Status first"}, BrowserCalls());
    EXPECT_EQ(Calls{"SetSymbolText(" + std::to_string(page.Drawing()) + ", " + std::to_string(page.Symbol("Lamp2")) +
                    ", \"the whole value\")"},
              cvldiag::JournalOf("SetSymbolText"));
    CvlDiagSetJournal(0);
}

// A stream cut off mid-line leaves the head of a line, which is not a value.
TEST(Interpreter, AFetchCutOffMidLineGivesNoValue)
{
    const struct {
        NPReason reason;
        Calls calls;
    } cases[] = {
        {NPRES_NETWORK_ERR, {}},
        {NPRES_USER_BREAK, {}},
        {NPRES_DONE, {"Status 12 dol"}},  // the whole text, without a final break
    };
    for (const auto& c : cases) {
        ScriptPage page;
        page.LoadDrawingText(kLamps);
        RunEventScript(page.Data(), page.Symbol("Lamp1"), "StatusLine !label price prices.txt");
        BrowserCalls().clear();
        page.Serve("http://host/page/prices.txt", "other: 1\nprice: 12 dol", 1024, c.reason);
        EXPECT_EQ(c.calls, BrowserCalls()) << "reason " << c.reason;
    }
}

// While a URL has not opened, firing the same script again does not queue the same
// request again: when the text arrives each symbol's action runs once.
TEST(Interpreter, RepeatedFiringsWaitOnceForTheSameValue)
{
    ScriptPage page;
    page.LoadDrawingText(kLamps);
    for (int i = 0; i < 50; ++i) {
        RunEventScript(page.Data(), page.Symbol("Lamp1"), "StatusLine !label price prices.txt");
        RunEventScript(page.Data(), page.Symbol("Lamp2"), "StatusLine !label PRICE prices.txt");
    }
    EXPECT_EQ(Calls{"GetURL http://host/page/prices.txt (null)"}, BrowserCalls());
    BrowserCalls().clear();
    page.Serve("http://host/page/prices.txt", "price: 4\n");
    EXPECT_EQ((Calls{"Status 4", "Status 4"}), BrowserCalls());
}

// The value of a fetch started for the old drawing arrives after a new drawing was
// streamed in: its symbol handle is dead, so the action does not run. The new
// drawing's own request for the same URL still receives the whole text.
TEST(Interpreter, DropsLabelValuesOfAReplacedDrawing)
{
    ScriptPage page;
    page.LoadDrawingText(kLamps);
    RunEventScript(page.Data(), page.Symbol("Lamp1"),
                   "SymbolText !label price prices.txt;StatusLine !label price prices.txt");
    page.LoadDrawingText(kLamps, "http://host/page/drawing.vkf");
    BrowserCalls().clear();
    RunEventScript(page.Data(), page.Symbol("Lamp2"), "StatusLine !label Price prices.txt");
    EXPECT_EQ(Calls{}, BrowserCalls());  // joins the pending fetch
    CvlDiagSetJournal(1);
    page.Serve("http://host/page/prices.txt", PriceList());
    EXPECT_TRUE(cvldiag::JournalOf("SetSymbolText").empty());
    CvlDiagSetJournal(0);
    EXPECT_EQ(Calls{"Status 12 dollars"}, BrowserCalls());
}

}  // namespace
