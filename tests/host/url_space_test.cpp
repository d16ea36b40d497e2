#include "url_space.h"
#include "scratch_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vkhost {
namespace {

TEST(UrlSpace, ResolvesReferencesAsBrowsersDo) {
    const std::string base = "http://pages.test/a/b/page.html?q#f";
    struct Case {
        const char* reference;
        const char* expected;
    } cases[] = {
        {"d.vkf", "http://pages.test/a/b/d.vkf"},
        {"./d.vkf", "http://pages.test/a/b/d.vkf"},
        {"../d.vkf", "http://pages.test/a/d.vkf"},
        {"../../../../d.vkf", "http://pages.test/d.vkf"},
        {"/d.vkf", "http://pages.test/d.vkf"},
        {"//other.test/x", "http://other.test/x"},
        {"?z", "http://pages.test/a/b/page.html?z"},
        {"#top", "http://pages.test/a/b/page.html?q#top"},
        {"", "http://pages.test/a/b/page.html?q"},
        {"sub/./e/../f.txt", "http://pages.test/a/b/sub/f.txt"},
        {"HTTP://Else.test/./x/../y", "http://Else.test/y"},
        {"mailto:someone@pages.test", "mailto:someone@pages.test"},
    };
    for (const auto& c : cases) EXPECT_EQ(ResolveUrl(base, c.reference), c.expected) << c.reference;
    EXPECT_EQ(ResolveUrl("http://pages.test", "x.vkf"), "http://pages.test/x.vkf");
}

TEST(UrlSpace, ExtensionsAndFragments) {
    EXPECT_EQ(UrlExtension("http://pages.test/a.b/D.VKF?x=1.html#y.htm"), "vkf");
    EXPECT_EQ(UrlExtension("http://pages.test/a.b/noext"), "");
    EXPECT_EQ(WithoutFragment("http://pages.test/a.html#x#y"), "http://pages.test/a.html");
}

class SiteFolderTest : public testing::Test {
protected:
    void SetUp() override {
        root = vktest::ScratchPath("site-folder");
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "site" / "sub dir");
        std::ofstream(root / "site" / "a.vkf") << "x";
        std::ofstream(root / "site" / "sub dir" / "b.txt") << "y";
        std::ofstream(root / "secret.txt") << "z";
        std::filesystem::create_symlink(root / "secret.txt", root / "site" / "link.txt");
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    std::filesystem::path root;
};

TEST_F(SiteFolderTest, ServesFilesInsideTheFolderOnly) {
    SiteFolder site((root / "site").string(), "http://pages.test/x");  // a missing '/' is added
    EXPECT_EQ(site.BaseUrl(), "http://pages.test/x/");
    std::string folder = std::filesystem::canonical(root / "site").string();
    struct Case {
        const char* url;
        std::string path;  // empty: not served
    } cases[] = {
        {"http://pages.test/x/a.vkf", folder + "/a.vkf"},
        {"http://pages.test/x/a.vkf?v=2#top", folder + "/a.vkf"},
        {"http://pages.test/x/sub%20dir/b.txt", folder + "/sub dir/b.txt"},
        {"http://pages.test/x/sub dir/b.txt", folder + "/sub dir/b.txt"},
        {"http://pages.test/x/nothing.vkf", ""},
        {"http://pages.test/x/sub%20dir", ""},            // a folder
        {"http://pages.test/x/", ""},
        {"http://pages.test/x/../secret.txt", ""},        // never resolved away: refused
        {"http://pages.test/x/sub%2f..%2f..%2fsecret.txt", ""},
        {"http://pages.test/x/%2e%2e/secret.txt", ""},
        {"http://pages.test/x/link.txt", ""},             // a link that leads outside
        {"http://pages.test/xa.vkf", ""},
        {"http://other.test/x/a.vkf", ""},
        {"http://pages.test/x/a.vkf%00.txt", ""},
    };
    for (const auto& c : cases) {
        auto path = site.LocalPath(c.url);
        EXPECT_EQ(path.value_or(""), c.path) << c.url;
    }
    EXPECT_EQ(site.UrlOf("sub dir/b.txt"), "http://pages.test/x/sub dir/b.txt");
}

}  // namespace
}  // namespace vkhost
