#include "script_text.h"

#include <cstring>

std::size_t NextCharIndex(const std::string& text, std::size_t i)
{
    if (i >= text.size()) {
        return text.size();
    }
    // A lead byte takes its trail byte with it, unless the text ends first.
    if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
        return i + 2;
    }
    return i + 1;
}

std::size_t FindDelimiter(const std::string& text, char delimiter, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); i = NextCharIndex(text, i)) {
        if (text[i] == delimiter) {
            return i;
        }
    }
    return std::string::npos;
}

std::size_t FindDelimiterRun(const std::string& text, const char* run, std::size_t from)
{
    const std::size_t runLength = std::strlen(run);
    for (std::size_t i = from; i < text.size(); i = NextCharIndex(text, i)) {
        // The run is made of single-byte characters, so matching its bytes from a
        // character start matches whole characters.
        if (text.compare(i, runLength, run) == 0) {
            return i;
        }
    }
    return std::string::npos;
}

bool IsScriptWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string WithoutLeadingWhiteSpace(const std::string& text, std::size_t from)
{
    std::size_t i = from;
    while (i < text.size() && IsScriptWhiteSpace(text[i])) {
        ++i;
    }
    return i < text.size() ? text.substr(i) : std::string();
}

std::string UpperCased(std::string text)
{
    if (!text.empty()) {
        CharUpperA(&text[0]);
    }
    return text;
}

std::string LowerCased(std::string text)
{
    if (!text.empty()) {
        CharLowerA(&text[0]);
    }
    return text;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && UpperCased(a) == UpperCased(b);
}
