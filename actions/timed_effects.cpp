#include "timed_effects.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "hit_testing.h"
#include "plugin_instance.h"
#include "symbol_actions.h"

namespace {

// Angles travel to "RotateObject" as text, exactly as a script would write them.
// The single-precision factor errs slightly away from zero, so that the handler's
// own rounding gives back the intended tenths.
std::string DegreesText(int tenths, float factor) {
    char text[64];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(tenths * factor));
    return text;
}

}  // namespace

POINT SpinCentre(const RECT& rect) {
    POINT centre;
    centre.x = static_cast<LONG>(rect.left + (static_cast<long long>(rect.right) - rect.left) / 2);
    centre.y = static_cast<LONG>(rect.top + (static_cast<long long>(rect.bottom) - rect.top) / 2);
    return centre;
}

TimedEffect::TimedEffect(InstanceData* instance, CVLSYMBOL symbol, int interval, int remaining)
    : instance(instance), symbol(symbol), interval(interval), remaining(remaining) {}

TimedEffect::~TimedEffect() = default;

FlashEffect::FlashEffect(InstanceData* instance, CVLSYMBOL symbol, int interval, int remaining)
    : TimedEffect(instance, symbol, interval, remaining) {
    visibleAtStart = GetSymbolVisibleFlag(instance->drawing, symbol);
}

FlashEffect::~FlashEffect() {
    if (!running) return;
    if (shown == 1 && visibleAtStart == 0) {
        HideSymbolAction(instance, symbol, std::string());
    } else if (shown == 0 && visibleAtStart != 0) {
        ShowSymbolAction(instance, symbol, std::string());
    }
}

void FlashEffect::Step() {
    if (shown == 1) {
        HideSymbolAction(instance, symbol, std::string());
        shown = 0;
    } else {
        ShowSymbolAction(instance, symbol, std::string());
        shown = 1;
    }
}

SpinEffect::SpinEffect(InstanceData* instance, CVLSYMBOL symbol, int interval, int remaining, int step, LONG centreX,
                       LONG centreY)
    : TimedEffect(instance, symbol, interval, remaining), step(step), centreX(centreX), centreY(centreY) {}

SpinEffect::~SpinEffect() {
    if (!running) return;
    // Whole turns drop out of `turned`, so this regains the starting orientation.
    RotateObjectAction(instance, symbol, DegreesText(turned, -0.1f));
}

void SpinEffect::Step() {
    if (instance->drawing == 0) return;
    RECT rect;
    // A symbol without a rectangle has no centre to turn about: skip the step.
    if (!SymbolViewRect(instance, symbol, &rect)) return;
    RotateObjectAction(instance, symbol, DegreesText(step, 0.1f));
    turned = (turned + step) % 3600;
    // Turning about the engine rectangle's centre lets the symbol drift; move it
    // back to where it started. The offset is in view pixels, handed on as is.
    if (!SymbolViewRect(instance, symbol, &rect)) return;
    const POINT now = SpinCentre(rect);
    POINT offset;
    offset.x = centreX - now.x;
    offset.y = centreY - now.y;
    if (offset.x != 0 || offset.y != 0) MoveSymbol(instance->drawing, symbol, &offset);
}

BeepEffect::BeepEffect(InstanceData* instance, int interval, int remaining)
    : TimedEffect(instance, 0, interval, remaining) {}

void BeepEffect::Step() { MessageBeep(MB_OK); }
