// Colour arguments: "#rrggbb" and the named colour table.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

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

TEST(ColourArgument, TheTableHoldsEveryKeywordInOrderWithItsStandardValue) {
    // The extended colour keywords of CSS3, one spelling of each gray/grey pair,
    // as "name RRGGBB" in table order.
    const std::vector<std::string> standard = {
        "aliceblue F0F8FF",
        "antiquewhite FAEBD7",
        "aqua 00FFFF",
        "aquamarine 7FFFD4",
        "azure F0FFFF",
        "beige F5F5DC",
        "bisque FFE4C4",
        "black 000000",
        "blanchedalmond FFEBCD",
        "blue 0000FF",
        "blueviolet 8A2BE2",
        "brown A52A2A",
        "burlywood DEB887",
        "cadetblue 5F9EA0",
        "chartreuse 7FFF00",
        "chocolate D2691E",
        "coral FF7F50",
        "cornflowerblue 6495ED",
        "cornsilk FFF8DC",
        "crimson DC143C",
        "cyan 00FFFF",
        "darkblue 00008B",
        "darkcyan 008B8B",
        "darkgoldenrod B8860B",
        "darkgray A9A9A9",
        "darkgreen 006400",
        "darkkhaki BDB76B",
        "darkmagenta 8B008B",
        "darkolivegreen 556B2F",
        "darkorange FF8C00",
        "darkorchid 9932CC",
        "darkred 8B0000",
        "darksalmon E9967A",
        "darkseagreen 8FBC8F",
        "darkslateblue 483D8B",
        "darkslategray 2F4F4F",
        "darkturquoise 00CED1",
        "darkviolet 9400D3",
        "deeppink FF1493",
        "deepskyblue 00BFFF",
        "dimgray 696969",
        "dodgerblue 1E90FF",
        "firebrick B22222",
        "floralwhite FFFAF0",
        "forestgreen 228B22",
        "fuchsia FF00FF",
        "gainsboro DCDCDC",
        "ghostwhite F8F8FF",
        "gold FFD700",
        "goldenrod DAA520",
        "gray 808080",
        "green 008000",
        "greenyellow ADFF2F",
        "honeydew F0FFF0",
        "hotpink FF69B4",
        "indianred CD5C5C",
        "indigo 4B0082",
        "ivory FFFFF0",
        "khaki F0E68C",
        "lavender E6E6FA",
        "lavenderblush FFF0F5",
        "lawngreen 7CFC00",
        "lemonchiffon FFFACD",
        "lightblue ADD8E6",
        "lightcoral F08080",
        "lightcyan E0FFFF",
        "lightgoldenrodyellow FAFAD2",
        "lightgreen 90EE90",
        "lightgrey D3D3D3",
        "lightpink FFB6C1",
        "lightsalmon FFA07A",
        "lightseagreen 20B2AA",
        "lightskyblue 87CEFA",
        "lightslategray 778899",
        "lightsteelblue B0C4DE",
        "lightyellow FFFFE0",
        "lime 00FF00",
        "limegreen 32CD32",
        "linen FAF0E6",
        "magenta FF00FF",
        "maroon 800000",
        "mediumaquamarine 66CDAA",
        "mediumblue 0000CD",
        "mediumorchid BA55D3",
        "mediumpurple 9370DB",
        "mediumseagreen 3CB371",
        "mediumslateblue 7B68EE",
        "mediumspringgreen 00FA9A",
        "mediumturquoise 48D1CC",
        "mediumvioletred C71585",
        "midnightblue 191970",
        "mintcream F5FFFA",
        "mistyrose FFE4E1",
        "moccasin FFE4B5",
        "navajowhite FFDEAD",
        "navy 000080",
        "oldlace FDF5E6",
        "olive 808000",
        "olivedrab 6B8E23",
        "orange FFA500",
        "orangered FF4500",
        "orchid DA70D6",
        "palegoldenrod EEE8AA",
        "palegreen 98FB98",
        "paleturquoise AFEEEE",
        "palevioletred DB7093",
        "papayawhip FFEFD5",
        "peachpuff FFDAB9",
        "peru CD853F",
        "pink FFC0CB",
        "plum DDA0DD",
        "powderblue B0E0E6",
        "purple 800080",
        "red FF0000",
        "rosybrown BC8F8F",
        "royalblue 4169E1",
        "saddlebrown 8B4513",
        "salmon FA8072",
        "sandybrown F4A460",
        "seagreen 2E8B57",
        "seashell FFF5EE",
        "sienna A0522D",
        "silver C0C0C0",
        "skyblue 87CEEB",
        "slateblue 6A5ACD",
        "slategray 708090",
        "snow FFFAFA",
        "springgreen 00FF7F",
        "steelblue 4682B4",
        "tan D2B48C",
        "teal 008080",
        "thistle D8BFD8",
        "tomato FF6347",
        "turquoise 40E0D0",
        "violet EE82EE",
        "wheat F5DEB3",
        "white FFFFFF",
        "whitesmoke F5F5F5",
        "yellow FFFF00",
        "yellowgreen 9ACD32",
    };
    std::size_t count = 0;
    const NamedColour* table = NamedColourTable(&count);
    std::vector<std::string> actual;
    for (std::size_t i = 0; i < count; ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%02X%02X%02X", GetRValue(table[i].colour), GetGValue(table[i].colour),
                      GetBValue(table[i].colour));
        actual.push_back(std::string(table[i].name) + " " + hex);
    }
    EXPECT_EQ(standard, actual);
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
