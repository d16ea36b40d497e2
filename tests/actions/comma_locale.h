// A C library locale whose decimal point is a comma, for the time of a test.
#ifndef TESTS_ACTIONS_COMMA_LOCALE_H
#define TESTS_ACTIONS_COMMA_LOCALE_H

#include <string>

// Switches LC_NUMERIC to a German locale, compiling one into the temporary folder
// with localedef when the system has none; puts "C" back when it goes.
class CommaDecimalLocale {
public:
    CommaDecimalLocale();
    ~CommaDecimalLocale();
    CommaDecimalLocale(const CommaDecimalLocale&) = delete;
    CommaDecimalLocale& operator=(const CommaDecimalLocale&) = delete;

    // False when no such locale could be had; `why` then says what is missing.
    bool Active() const { return active; }
    const std::string& Why() const { return why; }

private:
    bool active = false;
    std::string why;
};

#endif
