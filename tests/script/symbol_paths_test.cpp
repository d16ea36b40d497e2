// Resolving symbol paths against drawings of the engine stand-in.
#include <gtest/gtest.h>

#include <string>

#include "cvlpage/diagnostics.h"
#include "engine_api.h"
#include "script_page.h"
#include "symbol_paths.h"
#include "win32_control.h"

namespace {

struct MemberVisit {
    int wanted;
    int seen;
    CVLSYMBOL found;
};

int WINAPI VisitMember(CVLSYMBOL symbol, void* context)
{
    MemberVisit* visit = static_cast<MemberVisit*>(context);
    if (visit->seen++ != visit->wanted) {
        return 0;
    }
    visit->found = symbol;
    return 1;
}

class SymbolPaths : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32_reset();
        CvlDiagResetStaleHandleCount();
        // Panel holds Lamp (a group holding Bulb) and a second, unnamed member; the
        // top level also has a Lamp and a Bulb of its own, and Twins has two members
        // of one name.
        std::string text = DrawingText(
            Group("Panel", Group("Lamp", Rectangle("Bulb", 10, 10, 20, 20)) + Rectangle("", 30, 10, 40, 20) +
                               Rectangle("Big Lamp", 50, 10, 60, 20)) +
            Rectangle("Lamp", 0, 50, 10, 60) + Rectangle("Bulb", 20, 50, 30, 60) +
            Group("Twins", Rectangle("Twin", 0, 80, 10, 90) + Rectangle("Twin", 20, 80, 30, 90)));
        drawing = LoadDrawing(WriteTempFile(text).c_str());
        ASSERT_NE(0u, drawing) << cvldiag::LoadError();
    }

    void TearDown() override
    {
        FreeDrawing(drawing);
        EXPECT_EQ(0u, CvlDiagStaleHandleCount()) << cvldiag::LastStaleCall();
    }

    CVLSYMBOL Member(CVLSYMBOL group, int index)
    {
        MemberVisit visit = {index, 0, 0};
        EnumGroupedSymbol(drawing, group, VisitMember, &visit, CVL_ENUM_MEMBERS);
        return visit.found;
    }

    CVLDRAWING drawing = 0;
};

TEST_F(SymbolPaths, ResolvesNamesFromTheTopOrFromTheBase)
{
    const CVLSYMBOL panel = SymbolFromName(drawing, "Panel");
    const CVLSYMBOL panelLamp = ResolveSymbolPath(drawing, 0, "Panel->Lamp");
    const CVLSYMBOL topLamp = SymbolFromName(drawing, "Lamp");
    const CVLSYMBOL topBulb = SymbolFromName(drawing, "Bulb");
    ASSERT_NE(0u, panel);
    ASSERT_NE(0u, panelLamp);
    ASSERT_NE(panelLamp, topLamp);
    const CVLSYMBOL innerBulb = ResolveSymbolPath(drawing, panelLamp, "->Bulb");
    ASSERT_NE(0u, innerBulb);
    ASSERT_NE(innerBulb, topBulb);

    const struct {
        CVLSYMBOL base;
        const char* path;
        CVLSYMBOL expected;
    } cases[] = {
        {0, "Lamp", topLamp},
        {panel, "Lamp", topLamp},              // absolute whatever the base
        {panel, "->Lamp", panelLamp},
        {0, "->Bulb", topBulb},                // relative to no base: from the top
        {0, "Panel->Lamp->Bulb", innerBulb},
        {panel, "->Lamp->Bulb", innerBulb},
        {0, "Panel->Big Lamp", ResolveSymbolPath(drawing, panel, "->Big Lamp")},
        {0, "Panel->bulb", 0},                 // names in groups keep their case
        {0, "Panel->lamp", 0},
        {0, "Missing->Bulb", topBulb},         // an unknown name restarts from the top
        {0, "Panel->Missing->Lamp", topLamp},
        {panel, "->", 0},                      // empty names never match inside a group
        {0, "Panel->", 0},
        {0, "Panel->->Lamp", topLamp},
        {0, "", SymbolFromName(drawing, "")},
        {0, "-", SymbolFromName(drawing, "-")},
        {topLamp, "->Bulb", 0},                // not a group: no members
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ResolveSymbolPath(drawing, c.base, c.path)) << "path '" << c.path << "'";
    }
    EXPECT_NE(0u, ResolveSymbolPath(drawing, 0, "Panel->Big Lamp"));
}

TEST_F(SymbolPaths, TakesTheFirstMemberOfTwoWithTheSameName)
{
    const CVLSYMBOL twins = SymbolFromName(drawing, "Twins");
    const CVLSYMBOL first = Member(twins, 0);
    ASSERT_NE(0u, first);
    ASSERT_NE(first, Member(twins, 1));
    EXPECT_EQ(first, FindSymbolByName(drawing, twins, "Twin"));
    EXPECT_EQ(first, ResolveSymbolPath(drawing, 0, "Twins->Twin"));
}

TEST_F(SymbolPaths, UnnamedMembersAndMissingDrawingsFindNothing)
{
    const CVLSYMBOL panel = SymbolFromName(drawing, "Panel");
    EXPECT_EQ(0u, FindSymbolByName(drawing, panel, ""));
    EXPECT_EQ(0u, FindSymbolByName(0, 0, "Lamp"));
    EXPECT_EQ(0u, ResolveSymbolPath(0, 0, "Panel->Lamp"));
}

// A page can hand over a path of any length; walking it must not deepen the stack.
TEST_F(SymbolPaths, WalksAHundredThousandLevelsWithoutRecursion)
{
    std::string path;
    for (int i = 0; i < 100000; ++i) {
        path += "->";
    }
    EXPECT_EQ(0u, ResolveSymbolPath(drawing, SymbolFromName(drawing, "Panel"), path));
    EXPECT_EQ(SymbolFromName(drawing, "Lamp"), ResolveSymbolPath(drawing, 0, path + "Lamp"));
}

}  // namespace
