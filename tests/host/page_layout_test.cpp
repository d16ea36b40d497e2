#include "page_layout.h"

#include <gtest/gtest.h>

namespace vkhost {
namespace {

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(PageLayout, Extents) {
    std::string px = "120", pxUnit = " 120px", percent = "50%", junk = "wide", huge = "99999999999";
    EXPECT_EQ(EmbedExtent(&px, 800, 7), 120);
    EXPECT_EQ(EmbedExtent(&pxUnit, 800, 7), 120);
    EXPECT_EQ(EmbedExtent(&percent, 800, 7), 400);
    EXPECT_EQ(EmbedExtent(&junk, 800, 7), 7);
    EXPECT_EQ(EmbedExtent(nullptr, 800, 7), 7);
    EXPECT_EQ(EmbedExtent(&huge, 800, 7), 8192);
}

TEST(PageLayout, FlowsAndWraps) {
    HtmlPage page = ParseHtmlPage(
        "<embed width=300 height=100><embed width=300 height=150>"
        "<embed width=300 height=50>"   // does not fit beside the first two in 800
        "<p><embed>"                    // default size, new line
        "<embed width=100% height=10>");
    std::vector<RECT> expected = {
        {8, 8, 308, 108}, {312, 8, 612, 158}, {8, 162, 308, 212}, {8, 216, 308, 366}, {8, 370, 808, 380}};
    std::vector<RECT> places = LayoutEmbeds(page, 800, 600);
    ASSERT_EQ(places.size(), expected.size());
    for (size_t i = 0; i < places.size(); ++i) EXPECT_TRUE(places[i] == expected[i]) << i;
}

}  // namespace
}  // namespace vkhost
