// Lenient readings of an action's argument text: leading numbers, the word list
// of the timed verbs and the rounding rule of rotations.
#ifndef ACTIONS_ARGUMENT_TEXT_H
#define ACTIONS_ARGUMENT_TEXT_H

#include <string>
#include <vector>

// The leading decimal integer: white space skipped, an optional sign, digits up
// to the first other character. No digits gives 0 and *hasDigits false. Values
// beyond the 32-bit range saturate.
int LeadingInteger(const std::string& text, bool* hasDigits = nullptr);

// The leading decimal number, read by text-to-double conversion but limited to
// the decimal form (no "inf", "nan" or hexadecimal): no digits gives 0. The
// decimal point is "." whatever the C library's locale says.
double LeadingDecimal(const std::string& text);

// The value in fixed-point notation with six decimals ("%f"), with "." as the
// decimal point whatever the C library's locale says.
std::string FixedDecimalText(double value);

// The words of a timed verb's argument, split at blanks; empty words are skipped
// and the text after each blank is trimmed before the next word is taken.
std::vector<std::string> ArgumentWords(const std::string& argument);

// t = x truncated toward zero; t + 1 when x - t >= 0.5, else t. Halves of
// non-negative values go up, negative values are truncated. Non-finite gives 0.
double RoundForRotation(double x);

#endif
