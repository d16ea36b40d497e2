#include "script_text.h"

#include <cstring>

std::size_t FindAnsiRun(const std::string& text, const char* run, std::size_t from)
{
    const std::size_t runLength = std::strlen(run);
    for (std::size_t i = from; i < text.size(); i += AnsiCharLength(text, i)) {
        // The run is made of single-byte characters, so matching its bytes from a
        // character start matches whole characters.
        if (text.compare(i, runLength, run) == 0) {
            return i;
        }
    }
    return std::string::npos;
}

std::size_t SkipAnsiSpaces(const std::string& text, std::size_t from)
{
    std::size_t i = from;
    while (i < text.size() && IsAnsiSpace(text[i])) {
        ++i;
    }
    return i;
}

std::string WithoutLeadingSpaces(const std::string& text, std::size_t from)
{
    std::size_t i = SkipAnsiSpaces(text, from);
    return i < text.size() ? text.substr(i) : std::string();
}

std::string UpperCasedAnsi(std::string text)
{
    if (!text.empty()) {
        CharUpperA(&text[0]);
    }
    return text;
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && UpperCasedAnsi(a) == UpperCasedAnsi(b);
}
