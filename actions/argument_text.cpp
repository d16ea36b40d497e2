#include "argument_text.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "ansi_text.h"

int LeadingInteger(const std::string& text, bool* hasDigits) {
    std::string::size_type i = 0;
    while (i < text.size() && IsAnsiSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long magnitude = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits = true;
        if (magnitude <= static_cast<long long>(INT_MAX) + 1) magnitude = magnitude * 10 + (text[i] - '0');
    }
    if (hasDigits != nullptr) *hasDigits = digits;
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double LeadingDecimal(const std::string& text) {
    std::string::size_type i = 0;
    while (i < text.size() && IsAnsiSpace(text[i])) ++i;
    const std::string::size_type start = i;
    auto digitsFrom = [&text](std::string::size_type at) {
        std::string::size_type end = at;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
        return end;
    };
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::string::size_type end = digitsFrom(i);
    bool digits = end > i;
    if (end < text.size() && text[end] == '.') {
        const std::string::size_type fractionEnd = digitsFrom(end + 1);
        digits = digits || fractionEnd > end + 1;
        end = fractionEnd;
    }
    if (!digits) return 0.0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::string::size_type exponent = end + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        const std::string::size_type exponentEnd = digitsFrom(exponent);
        if (exponentEnd > exponent) end = exponentEnd;
    }
    // Only the decimal prefix reaches the conversion, so "inf", "nan" and
    // hexadecimal forms never turn into numbers.
    return std::strtod(text.substr(start, end - start).c_str(), nullptr);
}

std::vector<std::string> ArgumentWords(const std::string& argument) {
    std::vector<std::string> words;
    std::string rest = argument;
    while (!rest.empty()) {
        const std::string::size_type blank = FindAnsiChar(rest, ' ');
        if (blank == std::string::npos) {
            words.push_back(rest);
            break;
        }
        if (blank > 0) words.push_back(rest.substr(0, blank));
        rest = StripAnsiSpaces(rest.substr(blank + 1));
    }
    return words;
}

double RoundForRotation(double x) {
    if (!std::isfinite(x)) return 0.0;
    const double t = std::trunc(x);
    return (x - t >= 0.5) ? t + 1.0 : t;
}
