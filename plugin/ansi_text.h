// Small helpers for the 8-bit ANSI text the browser and drawings hand over: white
// space, stripping, character stepping and case mapping of the system code page.
#ifndef PLUGIN_ANSI_TEXT_H
#define PLUGIN_ANSI_TEXT_H

#include <windows.h>

#include <cstddef>
#include <string>

// Space, tab, line feed, vertical tab, form feed and carriage return.
bool IsAnsiSpace(char c);

// The text without its leading and trailing white space.
std::string StripAnsiSpaces(const std::string& text);

// Bytes taken by the character that starts at index i: 2 for a double-byte
// character of the system code page whose second byte is there, else 1.
std::size_t AnsiCharLength(const std::string& text, std::size_t i);

// Index of the first byte c at or after from that starts a character; npos if none.
std::size_t FindAnsiChar(const std::string& text, char c, std::size_t from = 0);

// A copy lower-cased by the system's ANSI case mapping.
std::string LowerCasedAnsi(std::string text);

#endif
