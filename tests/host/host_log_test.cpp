#include "host_log.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vkhost {
namespace {

TEST(HostLog, EscapesControlCharactersOnly) {
    struct Case {
        std::string text, expected;
    } cases[] = {
        {"plain text; a:b", "plain text; a:b"},
        {"a\nb\rc\td\\e", "a\\nb\\rc\\td\\\\e"},
        {std::string("\x01\x1f\x7f", 3), "\\x01\\x1f\\x7f"},
        {std::string("nul\0end", 7), "nul\\x00end"},
        {"\xe9t\xe9 \x82\xa0", "\xe9t\xe9 \x82\xa0"},  // 8-bit ANSI and double-byte text stay
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(EscapeLogText(c.text), c.expected) << c.expected;
}

TEST(HostLog, LinesInOrder) {
    HostLog log;
    log.Add("geturl", "http://pages.test/a b.html", "(null)");
    log.Add("status", "");
    log.Add("status", "two\nlines");
    log.Add("beep");
    std::ostringstream out;
    log.WriteTo(out);
    EXPECT_EQ(out.str(), "geturl http://pages.test/a b.html (null)\nstatus \nstatus two\\nlines\nbeep\n");
}

}  // namespace
}  // namespace vkhost
