#include "argument_text.h"

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ansi_text.h"

namespace {

// The decimal point of the C library's current locale, which its conversions use.
std::string LocaleDecimalPoint() {
    const std::lconv* conventions = std::localeconv();
    if (conventions == nullptr || conventions->decimal_point == nullptr || conventions->decimal_point[0] == '\0') {
        return ".";
    }
    return conventions->decimal_point;
}

}  // namespace

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
    // hexadecimal forms never turn into numbers. Its "." becomes the point that
    // the conversion expects under the current locale.
    std::string number = text.substr(start, end - start);
    const std::string::size_type point = number.find('.');
    if (point != std::string::npos) number.replace(point, 1, LocaleDecimalPoint());
    return std::strtod(number.c_str(), nullptr);
}

std::string FixedDecimalText(double value) {
    char buffer[400];  // room for the largest double in "%f"
    std::snprintf(buffer, sizeof buffer, "%f", value);
    std::string text = buffer;
    const std::string point = LocaleDecimalPoint();
    const std::string::size_type at = text.find(point);
    if (at != std::string::npos) text.replace(at, point.size(), ".");
    return text;
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
