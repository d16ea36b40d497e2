#include "timed_effects.h"

#include <windows.h>

#include <string>

#include "argument_text.h"
#include "plugin_instance.h"
#include "render_cache.h"
#include "symbol_actions.h"

namespace {

// Angles travel to "RotateObject" as text, exactly as a script would write them.
// The single-precision factor errs slightly away from zero, so that the handler's
// own rounding gives back the intended tenths.
std::string DegreesText(int tenths, float factor) { return FixedDecimalText(static_cast<double>(tenths * factor)); }

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

void TimedEffect::TakeOver(TimedEffect&) {}

int EngineUnitsPerPixel(InstanceData* instance) { return AntialiasActive(instance) ? 2 : 1; }

FlashEffect::FlashEffect(InstanceData* instance, CVLSYMBOL symbol, int interval, int remaining)
    : TimedEffect(instance, symbol, interval, remaining) {
    visibleAtStart = GetSymbolVisibleFlag(instance->drawing, symbol);
}

FlashEffect::~FlashEffect() {
    if (!running) return;
    // A destructor lets nothing out: a restoration that fails is given up.
    try {
        if (shown == 1 && visibleAtStart == 0) {
            HideSymbolAction(instance, symbol, std::string());
        } else if (shown == 0 && visibleAtStart != 0) {
            ShowSymbolAction(instance, symbol, std::string());
        }
    } catch (...) {
    }
}

void FlashEffect::TakeOver(TimedEffect& replaced) {
    FlashEffect& flash = static_cast<FlashEffect&>(replaced);
    visibleAtStart = flash.visibleAtStart;
    flash.running = false;
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

SpinEffect::SpinEffect(InstanceData* instance, CVLSYMBOL symbol, int interval, int remaining, int step, POINT centre,
                       int unitsPerPixel)
    : TimedEffect(instance, symbol, interval, remaining),
      step(step),
      centreX(centre.x),
      centreY(centre.y),
      unitsPerPixel(unitsPerPixel) {}

SpinEffect::~SpinEffect() {
    if (!running) return;
    // Whole turns drop out of `turned`, so this regains the starting orientation.
    // A destructor lets nothing out: a restoration that fails is given up.
    try {
        RotateObjectAction(instance, symbol, DegreesText(turned, -0.1f));
    } catch (...) {
    }
}

void SpinEffect::Step() {
    if (instance->drawing == 0) return;
    RECT rect;
    // A symbol without a rectangle has no centre to turn about: skip the step.
    if (!GetSymbolRect(instance->drawing, symbol, &rect)) return;
    RotateObjectAction(instance, symbol, DegreesText(step, 0.1f));
    turned = (turned + step) % 3600;
    // Turning about the engine rectangle's centre lets the symbol drift; move it
    // back to where it started, to the engine unit, so that the stop gives back
    // the starting pixels. A display that changed depth since the start changed
    // the engine's scale: the centre follows it.
    if (!GetSymbolRect(instance->drawing, symbol, &rect)) return;
    const long long scale = EngineUnitsPerPixel(instance);
    const POINT now = SpinCentre(rect);
    POINT offset;
    offset.x = static_cast<LONG>(centreX * scale / unitsPerPixel - now.x);
    offset.y = static_cast<LONG>(centreY * scale / unitsPerPixel - now.y);
    if (offset.x != 0 || offset.y != 0) MoveSymbol(instance->drawing, symbol, &offset);
}

BeepEffect::BeepEffect(InstanceData* instance, int interval, int remaining)
    : TimedEffect(instance, 0, interval, remaining) {}

void BeepEffect::Step() { MessageBeep(MB_OK); }
