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
        // A text that a statement cannot carry as written is referred to instead.
        {{{"urllink", "inplace a.vkf;v=2"}, {"statusline", "%off"}},
         {"InplaceJump !urllink", "CursorShape hand;StatusLine !statusline", "CursorShape;StatusLine"}},
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

// Whatever characters the link properties hold, pointing shows their text and a
// click follows their link, exactly as written.
TEST_F(LegacyLinks, LinkTextsAreTakenLiterally)
{
    typedef std::vector<std::string> Calls;
    const struct {
        Properties properties;
        Calls calls;  // enter, click, leave
    } cases[] = {
        {{{"urllink", "shop.html;jsessionid=42"}},
         {"Status shop.html;jsessionid=42", "GetURL http://host/page/shop.html;jsessionid=42 _current", "Status "}},
        {{{"urllink", "inplace next.vkf;v=2"}},
         {"Status next.vkf;v=2", "GetURL http://host/page/next.vkf;v=2 (null)", "Status "}},
        {{{"urllink", "%fill"}}, {"Status %fill", "GetURL http://host/page/%fill _current", "Status "}},
        {{{"urllink", "!label price prices.txt"}},
         {"Status !label price prices.txt", "GetURL http://host/page/!label price prices.txt _current", "Status "}},
        {{{"urllink", "a.html"}, {"statusline", "Save 50%; today only"}},
         {"Status Save 50%; today only", "GetURL http://host/page/a.html _current", "Status "}},
        {{{"statusline", "%fill"}}, {"Status %fill", "Status "}},
        {{{"statusline", "!label price prices.txt"}}, {"Status !label price prices.txt", "Status "}},
        {{{"statusline", "  \"quoted\", 'single' ;"}}, {"Status   \"quoted\", 'single' ;", "Status "}},
    };
    for (const auto& c : cases) {
        ScriptPage page(NamedTexts{{"fill", "red"}});
        page.LoadDrawingText(DrawingText(Rectangle("Link", 10, 10, 40, 40, c.properties)));
        BrowserCalls().clear();
        page.MoveTo(20, 20);
        page.Press(20, 20);
        page.Release(20, 20);
        page.MoveTo(150, 20);
        EXPECT_EQ(c.calls, BrowserCalls()) << c.properties.back().second;
    }
}

TEST_F(LegacyLinks, ASymbolMarkedInItsFileIsNeverConverted)
{
    Converted result = Convert({{"__ae", "anything"}, {"urllink", "a.html"}});
    EXPECT_EQ(kAbsent, result.up);
    EXPECT_EQ(kAbsent, result.enter);
}

}  // namespace
