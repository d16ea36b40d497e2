// Colour arguments: "#rrggbb" and the named colour table.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "colour_argument.h"

namespace {

bool Parse(const std::string& text, COLORREF* colour) { return ParseColourArgument(text, colour); }

}  // namespace

TEST(ColourArgument, TableHas140SortedDistinctLowerCaseNames) {
    std::size_t count = 0;
    const NamedColour* table = NamedColourTable(&count);
    ASSERT_EQ(140u, count);
    std::set<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        names.insert(table[i].name);
        if (i > 0) {
            EXPECT_LT(std::strcmp(table[i - 1].name, table[i].name), 0) << table[i].name;
        }
        for (const char* c = table[i].name; *c != '\0'; ++c) EXPECT_TRUE(std::islower(*c)) << table[i].name;
        EXPECT_EQ(0u, table[i].colour & 0xFF000000u) << table[i].name;
    }
    EXPECT_EQ(count, names.size());
}

TEST(ColourArgument, EveryKeywordParsesInAnyCaseWithWhiteSpaceAround) {
    std::size_t count = 0;
    const NamedColour* table = NamedColourTable(&count);
    for (std::size_t i = 0; i < count; ++i) {
        std::string shouted = table[i].name;
        for (char& c : shouted) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        COLORREF colour = 0xFFFFFFFF;
        ASSERT_TRUE(Parse(" \t" + shouted + "\r\n", &colour)) << shouted;
        EXPECT_EQ(table[i].colour, colour) << shouted;
    }
}

TEST(ColourArgument, TellingRowsHaveTheirStandardValues) {
    struct Case {
        const char* name;
        COLORREF colour;
    };
    const Case cases[] = {
        {"aqua", RGB(0x00, 0xFF, 0xFF)},     {"cyan", RGB(0x00, 0xFF, 0xFF)},     {"fuchsia", RGB(0xFF, 0x00, 0xFF)},
        {"magenta", RGB(0xFF, 0x00, 0xFF)},  {"green", RGB(0x00, 0x80, 0x00)},    {"lime", RGB(0x00, 0xFF, 0x00)},
        {"gray", RGB(0x80, 0x80, 0x80)},     {"darkgray", RGB(0xA9, 0xA9, 0xA9)}, {"lightgrey", RGB(0xD3, 0xD3, 0xD3)},
        {"aliceblue", RGB(0xF0, 0xF8, 0xFF)}, {"navy", RGB(0x00, 0x00, 0x80)},    {"rosybrown", RGB(0xBC, 0x8F, 0x8F)},
    };
    for (const Case& c : cases) {
        COLORREF colour = 0;
        ASSERT_TRUE(Parse(c.name, &colour)) << c.name;
        EXPECT_EQ(c.colour, colour) << c.name;
    }
}

TEST(ColourArgument, GrayAndGreyEachHaveOneFormOnly) {
    // "lightgrey" is the one grey; every other pair keeps its gray spelling.
    const char* absent[] = {"grey", "darkgrey", "dimgrey", "darkslategrey", "lightslategrey", "slategrey", "lightgray"};
    for (const char* name : absent) {
        COLORREF colour = 0x12345678;
        EXPECT_FALSE(Parse(name, &colour)) << name;
        EXPECT_EQ(0x12345678u, colour) << name;
    }
    const char* present[] = {"gray", "darkgray", "dimgray", "darkslategray", "lightslategray", "slategray", "lightgrey"};
    COLORREF colour = 0;
    for (const char* name : present) EXPECT_TRUE(Parse(name, &colour)) << name;
}

TEST(ColourArgument, HexadecimalFormNeedsExactlySixDigits) {
    struct Case {
        const char* text;
        bool valid;
        COLORREF colour;
    };
    const Case cases[] = {
        {"#FF8000", true, RGB(0xFF, 0x80, 0x00)},
        {"#ff8000", true, RGB(0xFF, 0x80, 0x00)},
        {"  #0A0b0C\t", true, RGB(0x0A, 0x0B, 0x0C)},
        {"#fff", false, 0},       // four characters: looked up as a keyword, and there is none
        {"#12345g", false, 0},    // seven characters: never looked up as a keyword
        {"#1234567", false, 0},
        {"# 12345", false, 0},
        {"#+12345", false, 0},
        {"FF8000", false, 0},
        {"rgb(1,2,3)", false, 0},
        {"255 128 0", false, 0},
        {"", false, 0},
        {"rebeccapurple", false, 0},  // a later standard's keyword
    };
    for (const Case& c : cases) {
        COLORREF colour = 0xDEADBEEF;
        EXPECT_EQ(c.valid, Parse(c.text, &colour)) << "[" << c.text << "]";
        if (c.valid) {
            EXPECT_EQ(c.colour, colour) << "[" << c.text << "]";
        }
    }
}
