// Timed effects (flash, spin, beep) and the process-wide registry of running ones.
#ifndef ACTIONS_EFFECT_REGISTRY_H
#define ACTIONS_EFFECT_REGISTRY_H

#include <windows.h>

#include <cstddef>
#include <map>
#include <memory>

#include "engine_api.h"
#include "timed_effects.h"

struct InstanceData;

// Maps the identifier of each running effect's thread timer to the effect, and
// owns the effects. One exists for the whole process, made on first use.
class EffectRegistry {
public:
    EffectRegistry() = default;
    // Stops whatever still runs, each effect restoring its symbol.
    virtual ~EffectRegistry();
    EffectRegistry(const EffectRegistry&) = delete;
    EffectRegistry& operator=(const EffectRegistry&) = delete;

    // The registry of the process, or null while there is none.
    static EffectRegistry* Current();
    // The registry of the process, made now if there is none.
    static EffectRegistry& Obtain();
    // Stops every effect and discards the registry, if there is one.
    static void TearDown();

    // Stops a running effect of the same kind on the same symbol, then starts the
    // effect's timer and keeps it. False (and the effect dropped without undoing
    // anything) when there is no effect or no timer.
    bool Start(std::unique_ptr<TimedEffect> effect);
    // Kills the timer and, if it drives an effect, removes and destroys that effect.
    void Stop(UINT_PTR timer);
    // Stops the first running effect with this symbol and kind; false if none.
    bool StopMatching(CVLSYMBOL symbol, int kind);
    void StopAll();
    // Stops the effects that act on symbols of this instance's drawing.
    void StopInstance(const InstanceData* instance);

    // The timer callback of every effect: steps the effect, or stops it when its
    // steps are used up. A timer that drives nothing (any more) is ignored.
    static VOID CALLBACK OnTimer(HWND window, UINT message, UINT_PTR timer, DWORD time);

    std::size_t Count() const { return effects.size(); }
    // The effect that a timer drives, or null.
    TimedEffect* Find(UINT_PTR timer) const;

private:
    std::map<UINT_PTR, std::unique_ptr<TimedEffect>> effects;

    // Not a smart pointer on purpose: stopping effects calls the engine and the
    // window system, so the registry goes at instance destruction or module
    // unload, never during static destruction at process exit.
    static EffectRegistry* current;
};

// Stops every running effect of every instance, each restoring its symbol, and
// discards the registry. Called at every instance destruction and at module unload.
void TearDownEffectRegistry();

// Stops the running effects that act on symbols of one instance, each restoring
// its symbol while the drawing still exists. Called before that drawing is freed
// or replaced. A beep holds no symbol and keeps running.
void StopInstanceEffects(InstanceData* data);

#endif
