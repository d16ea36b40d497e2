// Cutting script text into statements, reading targets, verb and argument, and
// merging converted link statements into existing scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "interpreter.h"
#include "legacy_links.h"
#include "win32_control.h"

namespace {

typedef std::vector<std::string> Texts;

class StatementText : public ::testing::Test {
protected:
    void SetUp() override { w32_reset(); }
};

TEST_F(StatementText, SplitsAtEverySemicolonWithoutTrimming)
{
    const struct {
        const char* script;
        Texts statements;
    } cases[] = {
        {"", {}},
        {"a;b", {"a", "b"}},
        {"a;", {"a"}},
        {";a", {"", "a"}},
        {"a;;b", {"a", "", "b"}},
        {";;", {"", ""}},
        {" Jump x ; StatusLine y", {" Jump x ", " StatusLine y"}},
        {"StatusLine \"a;b\"", {"StatusLine \"a", "b\""}},  // no quoting
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.statements, SplitStatements(c.script)) << "script '" << c.script << "'";
    }
}

TEST_F(StatementText, ReadsTargetsVerbAndArgument)
{
    const struct {
        const char* statement;
        Texts targets;
        const char* verb;
        const char* argument;
    } cases[] = {
        {"Jump next.html", {}, "Jump", "next.html"},
        {"   jump next.html", {}, "jump", "next.html"},
        {"\t\r\n\v\fBeep", {}, "Beep", ""},
        {"Beep", {}, "Beep", ""},
        {"StatusLine  two", {}, "StatusLine", " two"},
        {"StatusLine two \t", {}, "StatusLine", "two \t"},
        {"Jump", {}, "Jump", ""},
        {"", {}, "", ""},
        {"as Lamp1, Lamp2 HideSymbol", {"Lamp1", "Lamp2"}, "HideSymbol", ""},
        {"AS Lamp1 HideSymbol", {"Lamp1"}, "HideSymbol", ""},
        {"aS Lamp1 HideSymbol x", {"Lamp1"}, "HideSymbol", "x"},
        {"as Lamp1 ,Lamp2 HideSymbol", {"Lamp1 ", "Lamp2"}, "HideSymbol", ""},
        {"as Lamp1, NoSuchSymbol, Lamp2 HideSymbol", {"Lamp1", "NoSuchSymbol", "Lamp2"}, "HideSymbol", ""},
        {"as Lamp1 StatusLine a,b", {"Lamp1 StatusLine a", "b"}, "", ""},
        {"as Group1, ->Part HideSymbol", {"Group1", "->Part"}, "HideSymbol", ""},
        {"as  Lamp HideSymbol", {""}, "Lamp", "HideSymbol"},
        {"as  Lamp,\tB HideSymbol", {"Lamp", "B"}, "HideSymbol", ""},
        {"as \tLamp HideSymbol", {"Lamp"}, "HideSymbol", ""},
        {"as A,, B,C\t,D  Beep x", {"A", "", "B", "C\t", "D"}, "Beep", "x"},
        {"as Big Lamp, Small Lamp SymbolColor red", {"Big Lamp", "Small"}, "Lamp", "SymbolColor red"},
        {"as Lamp", {"Lamp"}, "", ""},
        {"as ", {""}, "", ""},
        {"as\tLamp Beep", {}, "as\tLamp", "Beep"},  // only a blank opens a target list
        {"ask Beep", {}, "ask", "Beep"},
        {"  as Lamp   Beep  x", {"Lamp"}, "Beep", " x"},
    };
    for (const auto& c : cases) {
        ParsedStatement parsed = ParseStatement(c.statement);
        EXPECT_EQ(c.targets, parsed.targets) << "statement '" << c.statement << "'";
        EXPECT_EQ(c.verb, parsed.verb) << "statement '" << c.statement << "'";
        EXPECT_EQ(c.argument, parsed.argument) << "statement '" << c.statement << "'";
    }
}

TEST_F(StatementText, MergesAStatementReplacingTheFirstWithTheSameVerb)
{
    const struct {
        const char* script;
        const char* statement;
        const char* merged;
    } cases[] = {
        {"", "Jump a.html", "Jump a.html"},
        {"Beep", "Jump a.html", "Beep;Jump a.html"},
        {"StatusLine Old;Beep", "StatusLine New", "Beep;StatusLine New"},
        {"statusline Old;Beep", "StatusLine New", "Beep;StatusLine New"},
        {"CursorShape", "CursorShape;StatusLine", "CursorShape;CursorShape;StatusLine"},
        {"as Other StatusLine x", "StatusLine y", "StatusLine y"},
        {"StatusLine a;StatusLine b", "StatusLine c", "StatusLine b;StatusLine c"},
        {"Beep;", "Jump a", "Beep;;Jump a"},           // nothing replaced: the text stays as it is
        {"Beep;;StatusLine x;", "StatusLine y", "Beep;;StatusLine y"},  // rebuilt without the final ";"
        {"CursorShape hand;StatusLine a", "CursorShape", "StatusLine a;CursorShape"},
        {"StatusLine x;", "StatusLine y", "StatusLine y"},
        {"StatusLine x;Beep;Jump a;", "StatusLine y", "Beep;Jump a;StatusLine y"},
        {"Beep;StatusLine x;Jump a;", "StatusLine y", "Beep;Jump a;StatusLine y"},
        {"Beep;Jump a;StatusLine x", "StatusLine y", "Beep;Jump a;StatusLine y"},
        {"Beep;;Jump a", "", "Beep;Jump a;"},  // an empty statement gives way to one
    };
    for (const auto& c : cases) {
        std::string script = c.script;
        MergeStatement(script, c.statement);
        EXPECT_EQ(c.merged, script) << "'" << c.script << "' + '" << c.statement << "'";
    }
}

// In a double-byte code page a lead byte takes the next byte with it, so a
// delimiter right after a lead byte does not separate.
TEST_F(StatementText, StepsOverDoubleByteCharactersInCodePage932)
{
    const std::string text = "StatusLine \x83;Beep";  // 0x83 is a lead byte in 932
    EXPECT_EQ((Texts{"StatusLine \x83", "Beep"}), SplitStatements(text));

    ParsedStatement parsed = ParseStatement("as A\x83,B Beep\x83 x");
    EXPECT_EQ((Texts{"A\x83", "B"}), parsed.targets);
    EXPECT_EQ("Beep\x83", parsed.verb);
    EXPECT_EQ("x", parsed.argument);

    std::string merged = "Beep;StatusLine \x83;";
    MergeStatement(merged, "Beep");
    EXPECT_EQ("StatusLine \x83;Beep", merged);

    ASSERT_TRUE(w32_set_code_page(932));
    EXPECT_EQ((Texts{text}), SplitStatements(text));
    // The script's last byte is the second of a character, not a separator: it stays.
    merged = "Beep;StatusLine \x83;";
    MergeStatement(merged, "Beep");
    EXPECT_EQ("StatusLine \x83;;Beep", merged);
    parsed = ParseStatement("as A\x83,B Beep\x83 x");
    EXPECT_EQ((Texts{"A\x83,B"}), parsed.targets);
    EXPECT_EQ("Beep\x83 x", parsed.verb);
    EXPECT_EQ("", parsed.argument);
}

}  // namespace
