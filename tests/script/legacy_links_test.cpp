// Rewriting plain link properties into event scripts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cvlpage/diagnostics.h"
#include "engine_api.h"
#include "event_scripts.h"
#include "legacy_links.h"
#include "script_page.h"
#include "win32_control.h"

namespace {

typedef NamedTexts Properties;

const char kAbsent[] = "(absent)";

struct Converted {
    std::string up, enter, leave;
};

class LegacyLinks : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32_reset();
        CvlDiagResetStaleHandleCount();
    }
    void TearDown() override { EXPECT_EQ(0u, CvlDiagStaleHandleCount()) << cvldiag::LastStaleCall(); }

    static std::string Read(CVLDRAWING drawing, CVLSYMBOL symbol, const char* name)
    {
        std::string text;
        return GetSymbolPropertyText(drawing, symbol, name, text) ? text : kAbsent;
    }

    // Converts a symbol with the given properties, `times` times, and reads the result.
    static Converted Convert(const Properties& properties, int times = 1)
    {
        CVLDRAWING drawing = LoadDrawing(WriteTempFile(DrawingText(Rectangle("S", 0, 0, 5, 5, properties))).c_str());
        EXPECT_NE(0u, drawing) << cvldiag::LoadError();
        CVLSYMBOL symbol = SymbolFromName(drawing, "S");
        for (int i = 0; i < times; ++i) {
            ConvertLegacyProperties(drawing, symbol);
        }
        Converted result = {Read(drawing, symbol, "OnMouseUp"), Read(drawing, symbol, "OnMouseEnter"),
                            Read(drawing, symbol, "OnMouseLeave")};
        EXPECT_NE(kAbsent, Read(drawing, symbol, "__ae"));
        FreeDrawing(drawing);
        return result;
    }
};

TEST_F(LegacyLinks, RewritesLinkPropertiesIntoEventScripts)
{
    const struct {
        Properties properties;
        Converted expected;
    } cases[] = {
        {{{"urllink", "page.html"}},
         {"Jump page.html", "CursorShape hand;StatusLine page.html", "CursorShape;StatusLine"}},
        {{{"urllink", "inplace page.html"}, {"statusline", "Next page"}},
         {"InplaceJump page.html", "CursorShape hand;StatusLine Next page", "CursorShape;StatusLine"}},
        {{{"statusline", "Hello"}}, {kAbsent, "StatusLine Hello", "StatusLine"}},
        {{{"urllink", "Inplace page.html"}},
         {"Jump Inplace page.html", "CursorShape hand;StatusLine Inplace page.html", "CursorShape;StatusLine"}},
        {{{"urllink", "inplace  x.vkf"}}, {"InplaceJump  x.vkf", "CursorShape hand;StatusLine  x.vkf",
                                           "CursorShape;StatusLine"}},
        {{{"urllink", ""}}, {"Jump ", "CursorShape hand;StatusLine ", "CursorShape;StatusLine"}},
        {{}, {kAbsent, kAbsent, kAbsent}},
        // With scripts the symbol already has.
        {{{"OnMouseUp", "Beep"}, {"urllink", "a.html"}},
         {"Beep;Jump a.html", "CursorShape hand;StatusLine a.html", "CursorShape;StatusLine"}},
        {{{"OnMouseEnter", "StatusLine Old;Beep"}, {"statusline", "New"}},
         {kAbsent, "Beep;StatusLine New", "StatusLine"}},
        {{{"OnMouseLeave", "CursorShape"}, {"urllink", "a.html"}},
         {"Jump a.html", "CursorShape hand;StatusLine a.html", "CursorShape;CursorShape;StatusLine"}},
        {{{"OnMouseEnter", "as Other StatusLine x"}, {"statusline", "y"}}, {kAbsent, "StatusLine y", "StatusLine"}},
        {{{"OnMouseUp", "jump old.html;"}, {"urllink", "a.html"}}, {"Jump a.html", "CursorShape hand;StatusLine a.html",
                                                                   "CursorShape;StatusLine"}},
    };
    for (const auto& c : cases) {
        Converted once = Convert(c.properties);
        EXPECT_EQ(c.expected.up, once.up);
        EXPECT_EQ(c.expected.enter, once.enter);
        EXPECT_EQ(c.expected.leave, once.leave);
        // The marker makes every later event leave the scripts as they are.
        Converted twice = Convert(c.properties, 2);
        EXPECT_EQ(once.up + once.enter + once.leave, twice.up + twice.enter + twice.leave);
    }
}

TEST_F(LegacyLinks, ASymbolMarkedInItsFileIsNeverConverted)
{
    Converted result = Convert({{"__ae", "anything"}, {"urllink", "a.html"}});
    EXPECT_EQ(kAbsent, result.up);
    EXPECT_EQ(kAbsent, result.enter);
}

}  // namespace
