// Mapping between view pixels and the engine's coordinates (doubled while antialiasing).
#ifndef VIEW_HIT_TESTING_H
#define VIEW_HIT_TESTING_H

#include <windows.h>

#include "engine_api.h"

struct InstanceData;

CVLSYMBOL SymbolAtPoint(InstanceData* data, POINT point);
// Nonzero when the engine gave a rectangle; it is then in view pixels.
BOOL SymbolViewRect(InstanceData* data, CVLSYMBOL symbol, RECT* rect);

#endif
