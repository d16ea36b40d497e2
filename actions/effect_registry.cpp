#include "effect_registry.h"

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

bool EffectRegistry::Start(std::unique_ptr<TimedEffect> effect) {
    if (!effect) return false;
    StopMatching(effect->symbol, effect->Kind());
    const UINT interval = static_cast<UINT>(effect->interval);
    const UINT_PTR timer = SetTimer(nullptr, 0, interval, &EffectRegistry::OnTimer);
    if (timer == 0) return false;
    effect->running = true;
    effects[timer] = std::move(effect);
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
    effect.reset();
}

bool EffectRegistry::StopMatching(CVLSYMBOL symbol, int kind) {
    for (const auto& entry : effects) {
        if (entry.second->symbol == symbol && entry.second->Kind() == kind) {
            Stop(entry.first);
            return true;
        }
    }
    return false;
}

void EffectRegistry::StopAll() {
    while (!effects.empty()) Stop(effects.begin()->first);
}

void EffectRegistry::StopInstance(const InstanceData* instance) {
    std::vector<UINT_PTR> timers;
    for (const auto& entry : effects) {
        if (entry.second->instance == instance && entry.second->symbol != 0) timers.push_back(entry.first);
    }
    for (UINT_PTR timer : timers) Stop(timer);
}

TimedEffect* EffectRegistry::Find(UINT_PTR timer) const {
    auto found = effects.find(timer);
    return found == effects.end() ? nullptr : found->second.get();
}

VOID CALLBACK EffectRegistry::OnTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    if (current == nullptr) return;
    TimedEffect* effect = current->Find(timer);
    if (effect == nullptr) return;
    if (effect->remaining == 0) {
        current->Stop(timer);
        return;
    }
    if (effect->remaining > 0) --effect->remaining;
    effect->Step();
}

void TearDownEffectRegistry() { EffectRegistry::TearDown(); }

void StopInstanceEffects(InstanceData* data) {
    if (EffectRegistry::Current() != nullptr) EffectRegistry::Current()->StopInstance(data);
}
