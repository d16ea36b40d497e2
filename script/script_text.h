// Text helpers of the script language: scripts are ANSI text of the system code
// page, so delimiter searches step over double-byte characters whole and case is
// mapped by the system, which leaves double-byte characters intact.
#ifndef SCRIPT_SCRIPT_TEXT_H
#define SCRIPT_SCRIPT_TEXT_H

#include <windows.h>

#include <cstddef>
#include <string>

// Index of the character after the one that starts at index i (never past the end).
std::size_t NextCharIndex(const std::string& text, std::size_t i);

// First occurrence of a single-byte delimiter at or after `from`, looking only at
// character starts; std::string::npos when there is none.
std::size_t FindDelimiter(const std::string& text, char delimiter, std::size_t from = 0);

// First occurrence of a run of single-byte delimiter characters (such as "->")
// that begins at a character start; std::string::npos when there is none.
std::size_t FindDelimiterRun(const std::string& text, const char* run, std::size_t from = 0);

// Blank, tab, line feed, vertical tab, form feed and carriage return.
bool IsScriptWhiteSpace(char c);

// The text without its leading white space.
std::string WithoutLeadingWhiteSpace(const std::string& text, std::size_t from = 0);

// Copies mapped with the system's ANSI case mapping.
std::string UpperCased(std::string text);
std::string LowerCased(std::string text);

// Equality without regard to case, by the system's case mapping.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

#endif
