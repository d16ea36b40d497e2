#include "effect_registry.h"

#include <new>
#include <vector>

EffectRegistry* EffectRegistry::current = nullptr;

EffectRegistry::~EffectRegistry() { StopAll(); }

EffectRegistry* EffectRegistry::Current() { return current; }

EffectRegistry& EffectRegistry::Obtain() {
    if (current == nullptr) current = new EffectRegistry();
    return *current;
}

void EffectRegistry::TearDown() {
    if (current == nullptr) return;
    // The stop behaviours run while the registry is still the current one, so a
    // late timer message in between finds a consistent map.
    current->StopAll();
    EffectRegistry* registry = current;
    current = nullptr;
    delete registry;
}

void EffectRegistry::Abandon() {
    if (current == nullptr) return;
    EffectRegistry* registry = current;
    current = nullptr;
    for (auto& entry : registry->effects) {
        if (entry.second) entry.second->running = false;  // nothing to undo
    }
    registry->effects.clear();
    registry->timerByTarget.clear();
    delete registry;
}

EffectRegistry::Target EffectRegistry::TargetOf(const InstanceData* instance, CVLSYMBOL symbol, int kind) {
    // Symbol handles mean something only within their own drawing; the one beep of
    // the process answers to every instance.
    return Target(kind == TimedEffect::KindBeep ? nullptr : instance, symbol, kind);
}

EffectRegistry::EffectMap::iterator EffectRegistry::FindMatching(const InstanceData* instance, CVLSYMBOL symbol,
                                                                 int kind) {
    auto keyed = timerByTarget.find(TargetOf(instance, symbol, kind));
    return keyed == timerByTarget.end() ? effects.end() : effects.find(keyed->second);
}

bool EffectRegistry::Start(std::unique_ptr<TimedEffect> effect) {
    if (!effect) return false;
    const UINT interval = static_cast<UINT>(effect->interval);
    const UINT_PTR timer = SetTimer(nullptr, 0, interval, &EffectRegistry::OnTimer);
    if (timer == 0) return false;
    // Room for the entries first: an effect that cannot be kept must not leave a
    // timer behind, nor stop the effect it was to replace.
    EffectMap::iterator slot = effects.end();
    std::map<Target, UINT_PTR>::iterator keyed;
    try {
        slot = effects.try_emplace(timer).first;
        keyed = timerByTarget.try_emplace(TargetOf(effect->instance, effect->symbol, effect->Kind()), 0).first;
    } catch (const std::bad_alloc&) {
        if (slot != effects.end()) effects.erase(slot);
        KillTimer(nullptr, timer);
        return false;
    }
    // The target names the new timer before the old effect stops, so that its stop
    // leaves the entry to the new one.
    const UINT_PTR replacedTimer = keyed->second;
    keyed->second = timer;
    auto replaced = effects.find(replacedTimer);
    if (replacedTimer != 0 && replaced != effects.end()) {
        if (replaced->second) effect->TakeOver(*replaced->second);
        Stop(replacedTimer);
    }
    slot->second = std::move(effect);
    slot->second->running = true;
    return true;
}

void EffectRegistry::Stop(UINT_PTR timer) {
    KillTimer(nullptr, timer);
    auto found = effects.find(timer);
    if (found == effects.end()) return;
    // Out of the map before its stop behaviour runs, so that nothing reached from
    // there finds a half-stopped effect.
    std::unique_ptr<TimedEffect> effect = std::move(found->second);
    effects.erase(found);
    if (effect) {
        auto keyed = timerByTarget.find(TargetOf(effect->instance, effect->symbol, effect->Kind()));
        if (keyed != timerByTarget.end() && keyed->second == timer) timerByTarget.erase(keyed);
    }
    effect.reset();
}

bool EffectRegistry::StopMatching(const InstanceData* instance, CVLSYMBOL symbol, int kind) {
    auto found = FindMatching(instance, symbol, kind);
    if (found == effects.end()) return false;
    Stop(found->first);
    return true;
}

void EffectRegistry::StopAll() {
    while (!effects.empty()) Stop(effects.begin()->first);
}

void EffectRegistry::StopInstance(const InstanceData* instance, bool beepsToo) {
    std::vector<UINT_PTR> timers;
    for (const auto& entry : effects) {
        const TimedEffect* effect = entry.second.get();
        if (effect == nullptr || effect->instance != instance) continue;
        if (effect->symbol != 0 || beepsToo) timers.push_back(entry.first);
    }
    for (UINT_PTR timer : timers) Stop(timer);
}

std::size_t EffectRegistry::Count() const {
    std::size_t count = 0;
    for (const auto& entry : effects) {
        if (entry.second) ++count;
    }
    return count;
}

TimedEffect* EffectRegistry::Find(UINT_PTR timer) const {
    auto found = effects.find(timer);
    return found == effects.end() ? nullptr : found->second.get();
}

VOID CALLBACK EffectRegistry::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    // The window system's message loop is no place for an exception: a step that
    // fails (out of memory) ends its effect instead.
    try {
        if (current == nullptr) return;
        TimedEffect* effect = current->Find(timer);
        if (effect == nullptr) return;
        if (effect->remaining == 0) {
            current->Stop(timer);
            return;
        }
        if (effect->remaining > 0) --effect->remaining;
        effect->Step();
    } catch (...) {
        if (current != nullptr) current->Stop(timer);
    }
}

void TearDownEffectRegistry() { EffectRegistry::TearDown(); }

void StopInstanceEffects(InstanceData* data) {
    if (EffectRegistry::Current() != nullptr) EffectRegistry::Current()->StopInstance(data, false);
}

void EndInstanceEffects(InstanceData* data) {
    if (EffectRegistry::Current() != nullptr) EffectRegistry::Current()->StopInstance(data, true);
}
