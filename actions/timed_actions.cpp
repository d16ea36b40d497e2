#include "timed_actions.h"

#include <windows.h>

#include <climits>
#include <memory>
#include <string>
#include <vector>

#include "argument_text.h"
#include "effect_registry.h"
#include "hit_testing.h"
#include "plugin_instance.h"
#include "symbol_actions.h"
#include "timed_effects.h"

namespace {

// The number of the word at `index`, or `fallback` when there are fewer words.
int WordNumber(const std::vector<std::string>& words, std::size_t index, int fallback) {
    return index < words.size() ? LeadingInteger(words[index]) : fallback;
}

int ClampToInt(long long value) {
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

void StartSpin(InstanceData* data, CVLSYMBOL symbol, const std::string& argument, bool clockwise) {
    if (data == nullptr || data->drawing == 0) return;
    const std::vector<std::string> words = ArgumentWords(argument);
    int interval = WordNumber(words, 0, 100);
    const int stepsPerTurn = WordNumber(words, 1, 10);
    const int turns = WordNumber(words, 2, -1);
    // No step size follows from zero steps per turn: the spin is ignored.
    if (stepsPerTurn == 0) return;
    // A negative number of steps per turn makes the product negative: endless.
    const int remaining = turns >= 1 ? ClampToInt(static_cast<long long>(turns) * stepsPerTurn) : -1;
    int step = 3600 / stepsPerTurn;
    if (!clockwise) step = -step;
    if (interval <= 10) interval = 10;
    if (interval >= 60000) interval = 60000;
    RECT rect;
    // Without a rectangle there is no centre to keep the symbol on.
    if (!GetSymbolRect(data->drawing, symbol, &rect)) return;
    EffectRegistry::Obtain().Start(std::make_unique<SpinEffect>(data, symbol, interval, remaining, step,
                                                                SpinCentre(rect), EngineUnitsPerPixel(data)));
}

}  // namespace

void FlashObjectAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument) {
    if (data == nullptr || data->drawing == 0) return;
    const std::vector<std::string> words = ArgumentWords(argument);
    // The first word is the period of a whole blink: hidden half, shown half.
    int interval = words.empty() ? 500 : LeadingInteger(words[0]) / 2;
    if (interval < 50 || interval > 30000) interval = 500;
    int remaining = -1;
    const int blinks = WordNumber(words, 1, 0);
    if (blinks >= 1) remaining = ClampToInt(2LL * blinks);
    auto effect = std::make_unique<FlashEffect>(data, symbol, interval, remaining);
    ShowSymbolAction(data, symbol, std::string());
    EffectRegistry::Obtain().Start(std::move(effect));
}

void EndFlashObjectAction(InstanceData* data, CVLSYMBOL symbol, const std::string&) {
    if (EffectRegistry::Current() != nullptr) {
        EffectRegistry::Current()->StopMatching(data, symbol, TimedEffect::KindFlash);
    }
}

void SpinObjectCWAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument) {
    StartSpin(data, symbol, argument, true);
}

void SpinObjectCCWAction(InstanceData* data, CVLSYMBOL symbol, const std::string& argument) {
    StartSpin(data, symbol, argument, false);
}

void EndSpinObjectAction(InstanceData* data, CVLSYMBOL symbol, const std::string&) {
    if (EffectRegistry::Current() != nullptr) EffectRegistry::Current()->StopMatching(data, symbol, TimedEffect::KindSpin);
}

void BeepAction(InstanceData* data, CVLSYMBOL, const std::string& argument) {
    if (data == nullptr) return;
    const std::vector<std::string> words = ArgumentWords(argument);
    int interval = WordNumber(words, 0, 500);
    if (interval < 100 || interval > 30000) interval = 500;
    const int count = WordNumber(words, 1, 0);
    const int remaining = count >= 1 ? count : -1;
    EffectRegistry::Obtain().Start(std::make_unique<BeepEffect>(data, interval, remaining));
}

void EndBeepAction(InstanceData*, CVLSYMBOL, const std::string&) {
    // There is at most one beep in the whole process, whichever symbol asks.
    if (EffectRegistry::Current() != nullptr) EffectRegistry::Current()->StopMatching(nullptr, 0, TimedEffect::KindBeep);
}
