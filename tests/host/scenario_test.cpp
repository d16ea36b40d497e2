#include "scenario.h"

#include <gtest/gtest.h>

namespace vkhost {
namespace {

TEST(Scenario, ParsesEveryCommand) {
    std::vector<ScenarioStep> steps = ParseScenario(
        "# a comment\n"
        "\n"
        "display 16\n"
        "background 10, 20 ,30 \n"
        "background none\r\n"
        "viewport 640 480\n"
        "  open pages/links.html\n"
        "move 2 -5 700\n"
        "down\nup\nclick\ndblclick\nrdown\nrup\n"
        "wait 1500\n"
        "resize 1 30 0\n"
        "print 1 out/p.png\n"
        "fail a.txt\nmissing b.vkf\n"
        "destroy 3\n"
        "shot s.png\n"
        "\t# indented comment",
        "t.scn");
    struct Expected {
        StepKind kind;
        int line, embed, x, y, number;
        bool absent;
        const char* text;
    } expected[] = {
        {StepKind::Display, 3, 0, 0, 0, 16, false, ""},
        {StepKind::Background, 4, 0, 0, 0, 0, false, "10, 20 ,30 "},
        {StepKind::Background, 5, 0, 0, 0, 0, true, "none"},
        {StepKind::Viewport, 6, 0, 640, 480, 0, false, ""},
        {StepKind::Open, 7, 0, 0, 0, 0, false, "pages/links.html"},
        {StepKind::Move, 8, 2, -5, 700, 0, false, ""},
        {StepKind::Down, 9, 0, 0, 0, 0, false, ""},
        {StepKind::Up, 10, 0, 0, 0, 0, false, ""},
        {StepKind::Click, 11, 0, 0, 0, 0, false, ""},
        {StepKind::DoubleClick, 12, 0, 0, 0, 0, false, ""},
        {StepKind::RightDown, 13, 0, 0, 0, 0, false, ""},
        {StepKind::RightUp, 14, 0, 0, 0, 0, false, ""},
        {StepKind::Wait, 15, 0, 0, 0, 1500, false, ""},
        {StepKind::Resize, 16, 1, 30, 0, 0, false, ""},
        {StepKind::Print, 17, 1, 0, 0, 0, false, "out/p.png"},
        {StepKind::Fail, 18, 0, 0, 0, 0, false, "a.txt"},
        {StepKind::Missing, 19, 0, 0, 0, 0, false, "b.vkf"},
        {StepKind::Destroy, 20, 3, 0, 0, 0, false, ""},
        {StepKind::Shot, 21, 0, 0, 0, 0, false, "s.png"},
    };
    ASSERT_EQ(steps.size(), std::size(expected));
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(expected[i].line);
        EXPECT_EQ(steps[i].kind, expected[i].kind);
        EXPECT_EQ(steps[i].line, expected[i].line);
        EXPECT_EQ(steps[i].embed, expected[i].embed);
        EXPECT_EQ(steps[i].x, expected[i].x);
        EXPECT_EQ(steps[i].y, expected[i].y);
        EXPECT_EQ(steps[i].number, expected[i].number);
        EXPECT_EQ(steps[i].absent, expected[i].absent);
        EXPECT_EQ(steps[i].text, expected[i].text);
    }
}

TEST(Scenario, BadLinesNameFileAndLine) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"open a.html\njump 1", "s.scn:2: unknown command 'jump'"},
        {"display 12", "s.scn:1: depth must be 8, 16, 24 or 32"},
        {"display 64", "s.scn:1: depth 64 out of range 8..32"},
        {"open a.html\ndisplay 8", "s.scn:2: display must come before open"},
        {"move 1 10", "s.scn:1: missing y"},
        {"move 0 1 1", "s.scn:1: embed number 0 out of range 1..100000"},
        {"move 1 1x 1", "s.scn:1: bad x '1x'"},
        {"wait -1", "s.scn:1: milliseconds -1 out of range 0..86400000"},
        {"wait 99999999999999999999", "s.scn:1: bad milliseconds '99999999999999999999'"},
        {"click now", "s.scn:1: unexpected 'now'"},
        {"open", "s.scn:1: missing URL"},
        {"open a.html b.html", "s.scn:1: unexpected 'b.html'"},
        {"background", "s.scn:1: missing colour text (or 'none')"},
        {"viewport 0 10", "s.scn:1: width 0 out of range 1..8192"},
        {"shot", "s.scn:1: missing output file"},
        {"\n\nprint 1", "s.scn:3: missing output file"},
        {"click\0", "s.scn:1: NUL byte in line"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        if (text == "click") text.push_back('\0');
        try {
            ParseScenario(text, "s.scn");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ScenarioError& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace vkhost
