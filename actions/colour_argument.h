// The colours a script may name: "#rrggbb" or a keyword of the named colour table.
#ifndef ACTIONS_COLOUR_ARGUMENT_H
#define ACTIONS_COLOUR_ARGUMENT_H

#include <windows.h>

#include <cstddef>
#include <string>

struct NamedColour {
    const char* name;  // lower case
    COLORREF colour;
};

// The named colour table, sorted by name.
const NamedColour* NamedColourTable(std::size_t* count);

// Reads a colour argument: trimmed and lower-cased, then either "#" with six
// hexadecimal digits or a keyword of the table. False when it is neither.
bool ParseColourArgument(const std::string& argument, COLORREF* colour);

#endif
