// Symbol paths: names separated by "->" that walk down the groups of a drawing,
// from its top or, with a leading "->", from a base symbol.
#ifndef SCRIPT_SYMBOL_PATHS_H
#define SCRIPT_SYMBOL_PATHS_H

#include <string>

#include "engine_api.h"

// The symbol a path names, 0 when nothing matches. A leading "->" starts at `base`.
CVLSYMBOL ResolveSymbolPath(CVLDRAWING drawing, CVLSYMBOL base, const std::string& path);

// Walks `path` (no leading "->") down from `group` (0 = top of the drawing).
CVLSYMBOL ResolveGroupPath(CVLDRAWING drawing, CVLSYMBOL group, const std::string& path);

// One name: looked up in the drawing when `group` is 0, else among the group's members
// (exact comparison, case included; the first match in the engine's order wins).
CVLSYMBOL FindSymbolByName(CVLDRAWING drawing, CVLSYMBOL group, const std::string& name);

#endif
