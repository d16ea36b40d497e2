#include "html_page.h"

#include <gtest/gtest.h>

namespace vkhost {
namespace {

using Attributes = std::vector<std::pair<std::string, std::string>>;

TEST(HtmlPage, EmbedAttributesKeepOrderCaseAndDuplicates) {
    HtmlPage page = ParseHtmlPage(
        "<html><body>\n"
        "<EMBED SRC=\"a b.vkf\" Width=200 height='100' HiddenBounds noantialias = yes\n"
        "  label=\"x > y\" hiddenbounds=\"2\" empty=\"\">\n"
        "</body></html>");
    ASSERT_EQ(page.embeds.size(), 1u);
    Attributes expected = {{"SRC", "a b.vkf"},  {"Width", "200"},   {"height", "100"},      {"HiddenBounds", ""},
                           {"noantialias", "yes"}, {"label", "x > y"}, {"hiddenbounds", "2"}, {"empty", ""}};
    EXPECT_EQ(page.embeds[0].attributes, expected);
    ASSERT_NE(page.embeds[0].Find("hiddenbounds"), nullptr);
    EXPECT_EQ(*page.embeds[0].Find("hiddenbounds"), "");  // the first of two, any case
    EXPECT_EQ(page.embeds[0].Find("type"), nullptr);
}

TEST(HtmlPage, SelfClosingAndValuelessAtTheEnd) {
    struct Case {
        const char* html;
        Attributes attributes;
    } cases[] = {
        {"<embed src=a.vkf/>", {{"src", "a.vkf/"}}},  // an unquoted value takes the slash, as in HTML
        {"<embed src='a.vkf' />", {{"src", "a.vkf"}}},
        {"<embed src=\"a.vkf\"/>", {{"src", "a.vkf"}}},
        {"<embed hidden>", {{"hidden", ""}}},
        {"<embed a=1 b", {{"a", "1"}, {"b", ""}}},          // cut off at the end of the text
        {"<embed src=\"never closed", {{"src", "never closed"}}},
        {"<embed title=\"&lt;a&amp;b&gt; &#65;&#x42; &bogus; &#99999;\">",
         {{"title", "<a&b> AB &bogus; &#99999;"}}},
    };
    for (const auto& c : cases) {
        HtmlPage page = ParseHtmlPage(c.html);
        ASSERT_EQ(page.embeds.size(), 1u) << c.html;
        EXPECT_EQ(page.embeds[0].attributes, c.attributes) << c.html;
    }
}

TEST(HtmlPage, EmbedsInsideCommentsScriptsAndNoembedAreNotTags) {
    HtmlPage page = ParseHtmlPage(
        "<!-- <embed src=c1.vkf> --><!DOCTYPE html>"
        "<script>document.write('<embed src=s.vkf>')</script>"
        "<noembed><embed src=n.vkf></noembed>"
        "<embedded src=x.vkf>a < b <embed src=ok.vkf><STYLE>x{}</style><embed src=ok2.vkf>");
    ASSERT_EQ(page.embeds.size(), 2u);
    EXPECT_EQ(page.embeds[0].attributes, (Attributes{{"src", "ok.vkf"}}));
    EXPECT_EQ(page.embeds[1].attributes, (Attributes{{"src", "ok2.vkf"}}));
}

TEST(HtmlPage, BlockElementsStartNewLines) {
    HtmlPage page = ParseHtmlPage(
        "<embed src=1.vkf><embed src=2.vkf><br><embed src=3.vkf><b>x</b><embed src=4.vkf>"
        "<p>text</p><embed src=5.vkf>");
    ASSERT_EQ(page.embeds.size(), 5u);
    std::vector<bool> startsLine;
    for (const auto& embed : page.embeds) startsLine.push_back(embed.startsLine);
    EXPECT_EQ(startsLine, (std::vector<bool>{false, false, true, false, true}));
}

TEST(HtmlPage, BinaryOrEmptyTextGivesNoEmbeds) {
    std::string binary("\0<\xff<<\0>", 7);
    EXPECT_TRUE(ParseHtmlPage(binary).embeds.empty());
    EXPECT_TRUE(ParseHtmlPage("").embeds.empty());
    EXPECT_TRUE(ParseHtmlPage("<").embeds.empty());
}

}  // namespace
}  // namespace vkhost
