#include "ansi_text.h"

bool IsAnsiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string StripAnsiSpaces(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && IsAnsiSpace(text[first])) ++first;
    while (last > first && IsAnsiSpace(text[last - 1])) --last;
    return text.substr(first, last - first);
}

std::size_t AnsiCharLength(const std::string& text, std::size_t i) {
    // A lead byte cut off by the end of the text counts alone.
    if (i + 1 >= text.size() || !IsDBCSLeadByte(static_cast<BYTE>(text[i]))) return 1;
    return text[i + 1] != '\0' ? 2 : 1;
}

std::size_t FindAnsiChar(const std::string& text, char c, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i) {
        if (text[i] == c) return i;
        // Lead bytes lie in the upper half in every code page: the rest of a text,
        // mostly all of it, is stepped over a byte at a time without asking.
        if (static_cast<unsigned char>(text[i]) >= 0x80) i += AnsiCharLength(text, i) - 1;
    }
    return std::string::npos;
}

std::string LowerCasedAnsi(std::string text) {
    if (!text.empty()) CharLowerA(&text[0]);
    return text;
}
