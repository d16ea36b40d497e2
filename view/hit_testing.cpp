#include "hit_testing.h"

#include "plugin_instance.h"
#include "render_cache.h"

CVLSYMBOL SymbolAtPoint(InstanceData* data, POINT point) {
    if (data == nullptr || data->drawing == 0) return 0;
    // While antialiasing, the engine's page is twice the view's size.
    if (AntialiasActive(data)) {
        point.x *= 2;
        point.y *= 2;
    }
    int tolerance = CVL_HIT_TOLERANCE;
    return SymbolFromPoint(data->drawing, &point, &tolerance, CVL_HIT_OUTERMOST);
}

BOOL SymbolViewRect(InstanceData* data, CVLSYMBOL symbol, RECT* rect) {
    if (data == nullptr || data->drawing == 0) return FALSE;
    if (!GetSymbolRect(data->drawing, symbol, rect)) return FALSE;
    if (AntialiasActive(data)) {
        // An arithmetic shift: odd values drop their low bit, negative ones round down.
        rect->left >>= 1;
        rect->top >>= 1;
        rect->right >>= 1;
        rect->bottom >>= 1;
    }
    return TRUE;
}
