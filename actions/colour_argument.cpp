#include "colour_argument.h"

#include <cstring>

#include "ansi_text.h"

namespace {

// Red, green and blue as written in colour charts, stored as a COLORREF.
constexpr COLORREF Rgb(unsigned hex) {
    return RGB((hex >> 16) & 0xFF, (hex >> 8) & 0xFF, hex & 0xFF);
}

// The extended colour keywords of CSS3. Of the names spelled with both "gray"
// and "grey", only the "gray" forms are here, except "lightgrey".
const NamedColour kNamedColours[] = {
    {"aliceblue", Rgb(0xF0F8FF)},
    {"antiquewhite", Rgb(0xFAEBD7)},
    {"aqua", Rgb(0x00FFFF)},
    {"aquamarine", Rgb(0x7FFFD4)},
    {"azure", Rgb(0xF0FFFF)},
    {"beige", Rgb(0xF5F5DC)},
    {"bisque", Rgb(0xFFE4C4)},
    {"black", Rgb(0x000000)},
    {"blanchedalmond", Rgb(0xFFEBCD)},
    {"blue", Rgb(0x0000FF)},
    {"blueviolet", Rgb(0x8A2BE2)},
    {"brown", Rgb(0xA52A2A)},
    {"burlywood", Rgb(0xDEB887)},
    {"cadetblue", Rgb(0x5F9EA0)},
    {"chartreuse", Rgb(0x7FFF00)},
    {"chocolate", Rgb(0xD2691E)},
    {"coral", Rgb(0xFF7F50)},
    {"cornflowerblue", Rgb(0x6495ED)},
    {"cornsilk", Rgb(0xFFF8DC)},
    {"crimson", Rgb(0xDC143C)},
    {"cyan", Rgb(0x00FFFF)},
    {"darkblue", Rgb(0x00008B)},
    {"darkcyan", Rgb(0x008B8B)},
    {"darkgoldenrod", Rgb(0xB8860B)},
    {"darkgray", Rgb(0xA9A9A9)},
    {"darkgreen", Rgb(0x006400)},
    {"darkkhaki", Rgb(0xBDB76B)},
    {"darkmagenta", Rgb(0x8B008B)},
    {"darkolivegreen", Rgb(0x556B2F)},
    {"darkorange", Rgb(0xFF8C00)},
    {"darkorchid", Rgb(0x9932CC)},
    {"darkred", Rgb(0x8B0000)},
    {"darksalmon", Rgb(0xE9967A)},
    {"darkseagreen", Rgb(0x8FBC8F)},
    {"darkslateblue", Rgb(0x483D8B)},
    {"darkslategray", Rgb(0x2F4F4F)},
    {"darkturquoise", Rgb(0x00CED1)},
    {"darkviolet", Rgb(0x9400D3)},
    {"deeppink", Rgb(0xFF1493)},
    {"deepskyblue", Rgb(0x00BFFF)},
    {"dimgray", Rgb(0x696969)},
    {"dodgerblue", Rgb(0x1E90FF)},
    {"firebrick", Rgb(0xB22222)},
    {"floralwhite", Rgb(0xFFFAF0)},
    {"forestgreen", Rgb(0x228B22)},
    {"fuchsia", Rgb(0xFF00FF)},
    {"gainsboro", Rgb(0xDCDCDC)},
    {"ghostwhite", Rgb(0xF8F8FF)},
    {"gold", Rgb(0xFFD700)},
    {"goldenrod", Rgb(0xDAA520)},
    {"gray", Rgb(0x808080)},
    {"green", Rgb(0x008000)},
    {"greenyellow", Rgb(0xADFF2F)},
    {"honeydew", Rgb(0xF0FFF0)},
    {"hotpink", Rgb(0xFF69B4)},
    {"indianred", Rgb(0xCD5C5C)},
    {"indigo", Rgb(0x4B0082)},
    {"ivory", Rgb(0xFFFFF0)},
    {"khaki", Rgb(0xF0E68C)},
    {"lavender", Rgb(0xE6E6FA)},
    {"lavenderblush", Rgb(0xFFF0F5)},
    {"lawngreen", Rgb(0x7CFC00)},
    {"lemonchiffon", Rgb(0xFFFACD)},
    {"lightblue", Rgb(0xADD8E6)},
    {"lightcoral", Rgb(0xF08080)},
    {"lightcyan", Rgb(0xE0FFFF)},
    {"lightgoldenrodyellow", Rgb(0xFAFAD2)},
    {"lightgreen", Rgb(0x90EE90)},
    {"lightgrey", Rgb(0xD3D3D3)},
    {"lightpink", Rgb(0xFFB6C1)},
    {"lightsalmon", Rgb(0xFFA07A)},
    {"lightseagreen", Rgb(0x20B2AA)},
    {"lightskyblue", Rgb(0x87CEFA)},
    {"lightslategray", Rgb(0x778899)},
    {"lightsteelblue", Rgb(0xB0C4DE)},
    {"lightyellow", Rgb(0xFFFFE0)},
    {"lime", Rgb(0x00FF00)},
    {"limegreen", Rgb(0x32CD32)},
    {"linen", Rgb(0xFAF0E6)},
    {"magenta", Rgb(0xFF00FF)},
    {"maroon", Rgb(0x800000)},
    {"mediumaquamarine", Rgb(0x66CDAA)},
    {"mediumblue", Rgb(0x0000CD)},
    {"mediumorchid", Rgb(0xBA55D3)},
    {"mediumpurple", Rgb(0x9370DB)},
    {"mediumseagreen", Rgb(0x3CB371)},
    {"mediumslateblue", Rgb(0x7B68EE)},
    {"mediumspringgreen", Rgb(0x00FA9A)},
    {"mediumturquoise", Rgb(0x48D1CC)},
    {"mediumvioletred", Rgb(0xC71585)},
    {"midnightblue", Rgb(0x191970)},
    {"mintcream", Rgb(0xF5FFFA)},
    {"mistyrose", Rgb(0xFFE4E1)},
    {"moccasin", Rgb(0xFFE4B5)},
    {"navajowhite", Rgb(0xFFDEAD)},
    {"navy", Rgb(0x000080)},
    {"oldlace", Rgb(0xFDF5E6)},
    {"olive", Rgb(0x808000)},
    {"olivedrab", Rgb(0x6B8E23)},
    {"orange", Rgb(0xFFA500)},
    {"orangered", Rgb(0xFF4500)},
    {"orchid", Rgb(0xDA70D6)},
    {"palegoldenrod", Rgb(0xEEE8AA)},
    {"palegreen", Rgb(0x98FB98)},
    {"paleturquoise", Rgb(0xAFEEEE)},
    {"palevioletred", Rgb(0xDB7093)},
    {"papayawhip", Rgb(0xFFEFD5)},
    {"peachpuff", Rgb(0xFFDAB9)},
    {"peru", Rgb(0xCD853F)},
    {"pink", Rgb(0xFFC0CB)},
    {"plum", Rgb(0xDDA0DD)},
    {"powderblue", Rgb(0xB0E0E6)},
    {"purple", Rgb(0x800080)},
    {"red", Rgb(0xFF0000)},
    {"rosybrown", Rgb(0xBC8F8F)},
    {"royalblue", Rgb(0x4169E1)},
    {"saddlebrown", Rgb(0x8B4513)},
    {"salmon", Rgb(0xFA8072)},
    {"sandybrown", Rgb(0xF4A460)},
    {"seagreen", Rgb(0x2E8B57)},
    {"seashell", Rgb(0xFFF5EE)},
    {"sienna", Rgb(0xA0522D)},
    {"silver", Rgb(0xC0C0C0)},
    {"skyblue", Rgb(0x87CEEB)},
    {"slateblue", Rgb(0x6A5ACD)},
    {"slategray", Rgb(0x708090)},
    {"snow", Rgb(0xFFFAFA)},
    {"springgreen", Rgb(0x00FF7F)},
    {"steelblue", Rgb(0x4682B4)},
    {"tan", Rgb(0xD2B48C)},
    {"teal", Rgb(0x008080)},
    {"thistle", Rgb(0xD8BFD8)},
    {"tomato", Rgb(0xFF6347)},
    {"turquoise", Rgb(0x40E0D0)},
    {"violet", Rgb(0xEE82EE)},
    {"wheat", Rgb(0xF5DEB3)},
    {"white", Rgb(0xFFFFFF)},
    {"whitesmoke", Rgb(0xF5F5F5)},
    {"yellow", Rgb(0xFFFF00)},
    {"yellowgreen", Rgb(0x9ACD32)},
};

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

const NamedColour* NamedColourTable(std::size_t* count) {
    *count = sizeof(kNamedColours) / sizeof(kNamedColours[0]);
    return kNamedColours;
}

bool ParseColourArgument(const std::string& argument, COLORREF* colour) {
    const std::string text = LowerCasedAnsi(StripAnsiSpaces(argument));
    if (text.size() == 7 && text[0] == '#') {
        // A seven-character "#" text is a hexadecimal colour or nothing: it is
        // never looked up as a keyword.
        int channel[3];
        for (int i = 0; i < 3; ++i) {
            const int high = HexDigitValue(text[1 + 2 * i]);
            const int low = HexDigitValue(text[2 + 2 * i]);
            if (high < 0 || low < 0) return false;
            channel[i] = high * 16 + low;
        }
        *colour = RGB(channel[0], channel[1], channel[2]);
        return true;
    }
    for (const NamedColour& row : kNamedColours) {
        if (std::strcmp(row.name, text.c_str()) == 0) {
            *colour = row.colour;
            return true;
        }
    }
    return false;
}
