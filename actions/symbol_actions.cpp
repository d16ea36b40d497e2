#include "symbol_actions.h"

#include <windows.h>

#include <cmath>

#include "argument_text.h"
#include "browser_link.h"
#include "colour_argument.h"
#include "drawing_stream.h"
#include "event_scripts.h"
#include "hit_testing.h"
#include "plugin_instance.h"
#include "render_cache.h"
#include "symbol_paths.h"
#include "view_window.h"

// Every handler here acts on the loaded drawing; without one there is nothing to
// change, and the engine must never see a handle of a drawing that is gone.

namespace {

bool HasDrawing(const InstanceData* data) { return data != nullptr && data->drawing != 0; }

// Marks a reset as putting its reloaded drawing in place for as long as it lives.
class ResetRunning {
public:
    explicit ResetRunning(InstanceData* data) : data(data) { data->resetRunning = true; }
    virtual ~ResetRunning() { data->resetRunning = false; }
    ResetRunning(const ResetRunning&) = delete;
    ResetRunning& operator=(const ResetRunning&) = delete;

private:
    InstanceData* data;
};

// Centre that "MoveOver" and the spin use: halves truncated toward zero.
LONG TruncatedCentre(LONG low, LONG high) {
    return static_cast<LONG>(low + (static_cast<long long>(high) - low) / 2);
}

// Repaints a symbol's old and new places, each grown by a pixel on every side
// so that anti-aliased edges are covered too.
void InvalidateOldAndNew(InstanceData* data, const RECT& before, const RECT& after) {
    InvalidateViewRect(data, before.left - 1, before.top - 1, before.right + 1, before.bottom + 1);
    InvalidateViewRect(data, after.left - 1, after.top - 1, after.right + 1, after.bottom + 1);
}

// The layer number of "HideLayer" and "ShowLayer": 0 counts only when written
// exactly so; any other text that reads as 0 is no layer at all.
bool ReadLayerNumber(const std::string& argument, int* layer) {
    *layer = LeadingInteger(argument);
    return *layer != 0 || argument == "0";
}

void SetLayerVisibility(InstanceData* data, const std::string& argument, int visible) {
    if (!HasDrawing(data)) return;
    int layer = 0;
    if (!ReadLayerNumber(argument, &layer)) return;
    if ((GetLayerVisibleFlag(data->drawing, layer) != 0) == (visible != 0)) return;
    SetLayerVisibleFlag(data->drawing, layer, visible);
    InvalidateView(data);
}

void SetSymbolVisibility(InstanceData* data, CVLSYMBOL symbol, int visible) {
    if (!HasDrawing(data)) return;
    if ((GetSymbolVisibleFlag(data->drawing, symbol) != 0) == (visible != 0)) return;
    SetSymbolVisibleFlag(data->drawing, symbol, visible);
    InvalidateSymbol(data, symbol);
}

typedef int(WINAPI* RestackFunction)(CVLDRAWING drawing, CVLSYMBOL symbol);

void Restack(InstanceData* data, CVLSYMBOL symbol, RestackFunction restack) {
    if (!HasDrawing(data)) return;
    restack(data->drawing, symbol);
    InvalidateSymbol(data, symbol);
}

}  // namespace

void SymbolColorAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument) {
    if (!HasDrawing(data)) return;
    COLORREF colour = 0;
    if (!ParseColourArgument(argument, &colour)) return;
    int fillType = 0;
    GetSymbolFillType(data->drawing, symbol, &fillType);
    if (fillType == CVL_FILL_SOLID) {
        COLORREF current = 0;
        GetSolidSymbolFill(data->drawing, symbol, &current);
        if ((current & 0x00FFFFFF) == (colour & 0x00FFFFFF)) return;
    }
    SetSolidSymbolFill(data->drawing, symbol, colour, CVL_FILL_WITH_MEMBERS);
    InvalidateSymbol(data, symbol);
}

void SymbolTextAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument) {
    if (!HasDrawing(data)) return;
    InvalidateSymbol(data, symbol);  // where the old text was
    SetSymbolText(data->drawing, symbol, argument.c_str());
    InvalidateSymbol(data, symbol);  // where the new text is
}

void ScaleSymbolAction(InstanceData*, CVLSYMBOL, const std::string&) {
    // An accepted verb that changes nothing.
}

void MoveOverAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument) {
    if (!HasDrawing(data)) return;
    const CVLSYMBOL target = ResolveSymbolPath(data->drawing, symbol, argument);
    if (target == 0) return;
    RECT from = {0, 0, 0, 0};
    RECT onto = {0, 0, 0, 0};
    // Without both rectangles there is no centre to move to.
    if (!GetSymbolRect(data->drawing, symbol, &from)) return;
    if (!GetSymbolRect(data->drawing, target, &onto)) return;
    POINT offset;
    offset.x = TruncatedCentre(onto.left, onto.right) - TruncatedCentre(from.left, from.right);
    offset.y = TruncatedCentre(onto.top, onto.bottom) - TruncatedCentre(from.top, from.bottom);
    if (offset.x == 0 && offset.y == 0) return;
    RECT before = {0, 0, 0, 0};
    RECT after = {0, 0, 0, 0};
    SymbolViewRect(data, symbol, &before);
    MoveSymbol(data->drawing, symbol, &offset);
    SymbolViewRect(data, symbol, &after);
    InvalidateOldAndNew(data, before, after);
}

void HideSymbolAction(InstanceData* data, CVLSYMBOL symbol, const std::string&) {
    SetSymbolVisibility(data, symbol, 0);
}

void ShowSymbolAction(InstanceData* data, CVLSYMBOL symbol, const std::string&) {
    SetSymbolVisibility(data, symbol, 1);
}

void HideLayerAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    SetLayerVisibility(data, argument, 0);
}

void ShowLayerAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    SetLayerVisibility(data, argument, 1);
}

void OnlyShowLayerAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    if (!HasDrawing(data)) return;
    const int shown = LeadingInteger(argument);
    if (shown < 1) return;
    const int count = GetNumberOfLayers(data->drawing);
    if (shown > count) return;
    bool changed = false;
    for (int layer = 1; layer <= count; ++layer) {
        const int wanted = (layer == shown) ? 1 : 0;
        if ((GetLayerVisibleFlag(data->drawing, layer) != 0) == (wanted != 0)) continue;
        SetLayerVisibleFlag(data->drawing, layer, wanted);
        changed = true;
    }
    SetCurrentLayer(data->drawing, shown);
    if (changed) InvalidateView(data);
}

void SoftReloadAction(InstanceData* data, CVLSYMBOL, const std::string&) {
    if (!HasDrawing(data)) return;
    // Scripts that keep asking for passes from their own firings stop once the
    // event has used up its firings.
    if (FiringBudgetSpent()) return;
    RunLoadScripts(data);
}

void BringObjectToFrontAction(InstanceData* data, CVLSYMBOL symbol, const std::string&) {
    Restack(data, symbol, MoveSymbolToTop);
}

void BringObjectForwardAction(InstanceData* data, CVLSYMBOL symbol, const std::string&) {
    Restack(data, symbol, StepSymbolUp);
}

void SendObjectToBackAction(InstanceData* data, CVLSYMBOL symbol, const std::string&) {
    Restack(data, symbol, MoveSymbolToBottom);
}

void SendObjectBackwardAction(InstanceData* data, CVLSYMBOL symbol, const std::string&) {
    Restack(data, symbol, StepSymbolDown);
}

void ResetDrawingAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    if (data == nullptr) return;
    // A reset asked for by what a reset is firing would reload the file it has just
    // loaded, and so on: only the first one reloads.
    if (data->resetRunning) return;
    if (data->drawingFile.empty()) {
        if (data->link) data->link->LoadInPlace(argument.c_str());
        return;
    }
    // Stops this instance's effects while their symbols still exist, then frees
    // the drawing and marks its symbol handles stale.
    FreeInstanceDrawing(data);
    data->cacheBitmap.reset();
    data->cacheBits = nullptr;
    data->drawing = LoadDrawing(data->drawingFile.c_str());
    if (data->drawing == 0) {
        if (data->link) data->link->LoadInPlace(argument.c_str());
        return;
    }
    ResetRunning running(data);
    PresentNewDrawing(data, data->drawingFile);
}

void RotateObjectAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument) {
    if (!HasDrawing(data)) return;
    // Degrees to tenths, held in single precision as the engine's callers always have.
    const float tenths = static_cast<float>(LeadingDecimal(argument) * 10.0);
    const double angle = RoundForRotation(tenths);
    RECT bounds = {0, 0, 0, 0};
    if (!GetSymbolRect(data->drawing, symbol, &bounds)) return;
    POINT centre;
    centre.x = static_cast<LONG>(bounds.left + RoundForRotation((static_cast<double>(bounds.right) - bounds.left) * 0.5));
    centre.y = static_cast<LONG>(bounds.top + RoundForRotation((static_cast<double>(bounds.bottom) - bounds.top) * 0.5));
    // Whole turns change nothing, and the remainder always fits the engine's 16
    // bits. The engine turns counter-clockwise for positive angles; a positive
    // script angle turns clockwise on screen.
    const short engineAngle = static_cast<short>(-static_cast<long long>(std::fmod(angle, 3600.0)));
    RECT before = {0, 0, 0, 0};
    RECT after = {0, 0, 0, 0};
    SymbolViewRect(data, symbol, &before);
    RotateSymbol(data->drawing, symbol, engineAngle, &centre);
    SymbolViewRect(data, symbol, &after);
    InvalidateOldAndNew(data, before, after);
}
