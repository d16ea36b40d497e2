#include "url_resolution.h"

#include <gtest/gtest.h>

#include "win32_control.h"

namespace {

const char* const kBase = "scheme://host/dir/page.htm?x#top";

struct ResolveCase {
    const char* reference;
    const char* base;
    const char* expected;
};

TEST(ResolveURL, ResolvesAgainstTheDrawingsURL) {
    const ResolveCase cases[] = {
        {"next.htm", kBase, "scheme://host/dir/next.htm"},
        {"/index.htm", kBase, "scheme://host/index.htm"},
        {"//other/a.htm", kBase, "scheme://other/a.htm"},
        {"?y", kBase, "scheme://host/dir/page.htm?y"},
        {"#sec", kBase, "scheme://host/dir/page.htm?x#sec"},
        {"../up.htm", kBase, "scheme://host/dir/../up.htm"},
        {"mailto:someone", kBase, "mailto:someone"},
        {"sub/a.htm?q=1#f", kBase, "scheme://host/dir/sub/a.htm?q=1#f"},
        // Only a letter, then letters, digits, '+', '-' or '.', before the first ':'
        // name a scheme; any other colon is part of a relative reference.
        {"a.htm?t=12:30", kBase, "scheme://host/dir/a.htm?t=12:30"},
        {"dir/x:y.htm", kBase, "scheme://host/dir/dir/x:y.htm"},
        {"1x:y.htm", kBase, "scheme://host/dir/1x:y.htm"},
        {":y.htm", kBase, "scheme://host/dir/:y.htm"},
        {"svn+ssh.v-2:x", kBase, "svn+ssh.v-2:x"},
        {"Mailto:someone", kBase, "Mailto:someone"},
        // Not empty, yet splits into nothing: the base without its fragment.
        {"   ", kBase, "scheme://host/dir/page.htm?x"},
        // An empty base leaves links as written, spaces and all.
        {" next.htm ", "", " next.htm "},
        {"", kBase, kBase},
        // Below a host an empty base path is the root.
        {"a.htm", "scheme://host", "scheme://host/a.htm"},
        {"sub/a.htm?q", "scheme://host#f", "scheme://host/sub/a.htm?q"},
        {"?y", "scheme://host", "scheme://host?y"},
        // Without a host an empty base path keeps no directory and inserts no '/'.
        {"a.htm", "scheme:", "scheme:a.htm"},
        // The reference is stripped before it is used, the base's spaces too.
        {"  next.htm\t", "  scheme://host/dir/page.htm \r\n", "scheme://host/dir/next.htm"},
        // A reference with an authority keeps its own path and query.
        {"//other?q", kBase, "scheme://other?q"},
        {"//other/p?q#f", kBase, "scheme://other/p?q#f"},
        // A reference with a scheme is returned unstripped.
        {" http://a/b ", kBase, " http://a/b "},
        // A base without a scheme still lends its path.
        {"b.htm", "/dir/a.htm", "/dir/b.htm"},
        {"b.htm", "a.htm", "b.htm"},
        {"?q", "//h/p#f", "//h/p?q"},
    };
    for (const ResolveCase& c : cases) {
        EXPECT_EQ(ResolveURL(c.reference, c.base), c.expected) << "reference '" << c.reference << "' base '"
                                                              << c.base << "'";
    }
}

struct SplitCase {
    const char* url;
    const char* components[UrlParts::ComponentCount];
};

TEST(UrlParts, SplitsIntoFiveComponentsThatJoinBackIntoTheText) {
    const SplitCase cases[] = {
        {"scheme://host/dir/page.htm?x#top", {"scheme:", "//host", "/dir/page.htm", "?x", "#top"}},
        // The authority runs to the next '/': a '?' does not end it.
        {"//host?q", {"", "//host?q", "", "", ""}},
        {"//host/p?q", {"", "//host", "/p", "?q", ""}},
        // The first ':' before the fragment ends a scheme only after a scheme name.
        {"/a/b:c", {"", "", "/a/b:c", "", ""}},
        {"a?b:c#d:e", {"", "", "a", "?b:c", "#d:e"}},
        {"a+1.b-c:d", {"a+1.b-c:", "", "d", "", ""}},
        {"a b:c", {"", "", "a b:c", "", ""}},
        // The fragment is cut at the first '#'.
        {"p#a#b?c", {"", "", "p", "", "#a#b?c"}},
        {"?q?r", {"", "", "", "?q?r", ""}},
        {"#", {"", "", "", "", "#"}},
        {":", {"", "", ":", "", ""}},
        {"/", {"", "", "/", "", ""}},
        {"//", {"", "//", "", "", ""}},
        {"x://", {"x:", "//", "", "", ""}},
        {"", {"", "", "", "", ""}},
        {" \t\v\f\r\n", {"", "", "", "", ""}},
        {"  scheme://h/p  ", {"scheme:", "//h", "/p", "", ""}},
    };
    for (const SplitCase& c : cases) {
        UrlParts parts(c.url);
        std::string joined;
        for (int i = 0; i < UrlParts::ComponentCount; ++i) {
            EXPECT_EQ(parts.Component(i), c.components[i]) << "url '" << c.url << "' component " << i;
            EXPECT_EQ(parts.Has(i), c.components[i][0] != '\0') << "url '" << c.url << "' component " << i;
            joined += parts.Component(i);
        }
        EXPECT_EQ(joined, parts.Text()) << "url '" << c.url << "'";
    }
}

TEST(UrlParts, ComponentsOutsideTheFiveAreEmpty) {
    UrlParts parts("scheme://host/p");
    EXPECT_EQ(parts.Component(-1), "");
    EXPECT_EQ(parts.Component(UrlParts::ComponentCount), "");
    EXPECT_FALSE(parts.Has(UrlParts::ComponentCount));
}

TEST(MergePath, KeepsTheBaseDirectory) {
    EXPECT_EQ(MergePath("a.htm", "/dir/page.htm"), "/dir/a.htm");
    EXPECT_EQ(MergePath("a.htm", "/dir/"), "/dir/a.htm");
    EXPECT_EQ(MergePath("a.htm", "/"), "/a.htm");
    EXPECT_EQ(MergePath("a.htm", "page.htm"), "a.htm");
    EXPECT_EQ(MergePath("a.htm", ""), "a.htm");
    EXPECT_EQ(MergePath("", "/d/p"), "/d/");
}

// In a double-byte code page a lead byte takes the next byte with it, whatever it
// is, so a delimiter right after a lead byte is no delimiter.
TEST(UrlParts, StepsOverDoubleByteCharactersWhole) {
    const std::string url = "a\x81#b\x82?c";
    w32_reset();
    ASSERT_TRUE(w32_set_code_page(932));
    UrlParts doubleByte(url);
    EXPECT_FALSE(doubleByte.Has(UrlParts::Fragment));
    EXPECT_FALSE(doubleByte.Has(UrlParts::Query));
    EXPECT_EQ(doubleByte.Component(UrlParts::Path), url);
    EXPECT_EQ(ResolveURL("\x81:x", "s://h/d/p"), "s://h/d/\x81:x");

    // A lead byte at the very end stands alone.
    UrlParts trailingLead("p?q\x81");
    EXPECT_EQ(trailingLead.Component(UrlParts::Query), "?q\x81");

    ASSERT_TRUE(w32_set_code_page(1252));
    UrlParts singleByte(url);
    EXPECT_EQ(singleByte.Component(UrlParts::Path), "a\x81");
    EXPECT_EQ(singleByte.Component(UrlParts::Fragment), "#b\x82?c");
    w32_reset();
}

}  // namespace
