// Text helpers of the script language, on top of the plug-in's ANSI text helpers:
// delimiter searches step over double-byte characters whole, and case is mapped
// by the system, which leaves double-byte characters intact.
#ifndef SCRIPT_SCRIPT_TEXT_H
#define SCRIPT_SCRIPT_TEXT_H

#include <windows.h>

#include <cstddef>
#include <string>

#include "ansi_text.h"

// First occurrence of a run of single-byte characters (such as "->") that begins
// at a character start; std::string::npos when there is none.
std::size_t FindAnsiRun(const std::string& text, const char* run, std::size_t from = 0);

// Index of the first character at or after `from` that is not white space.
std::size_t SkipAnsiSpaces(const std::string& text, std::size_t from = 0);

// The text from `from` on, without its leading white space.
std::string WithoutLeadingSpaces(const std::string& text, std::size_t from = 0);

// A copy upper-cased by the system's ANSI case mapping.
std::string UpperCasedAnsi(std::string text);

// Equality without regard to case, by the system's case mapping.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

#endif
