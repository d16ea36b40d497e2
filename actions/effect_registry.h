// Timed effects (flash, spin, beep) and the process-wide registry of running ones.
#ifndef ACTIONS_EFFECT_REGISTRY_H
#define ACTIONS_EFFECT_REGISTRY_H

#include <windows.h>

#include <cstddef>
#include <map>
#include <memory>
#include <tuple>

#include "engine_api.h"
#include "timed_effects.h"

struct InstanceData;

// Maps the identifier of each running effect's thread timer to the effect, and
// owns the effects. One exists for the whole process, made on first use and
// discarded when the module unloads.
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
    // Discards the registry without a single engine or window-system call: no
    // timer is killed and no effect restores its symbol. For the end of the
    // process, when neither may still be there.
    static void Abandon();

    // Starts the effect's timer and keeps the effect; a running effect of the same
    // kind on the same symbol of the same instance is stopped then (a flash takes
    // over what the one it replaces would have restored). False, with nothing
    // changed and the effect dropped without undoing anything, when there is no
    // effect, no timer or no room to keep it.
    bool Start(std::unique_ptr<TimedEffect> effect);
    // Kills the timer and, if it drives an effect, removes and destroys that effect.
    void Stop(UINT_PTR timer);
    // Stops the first running effect of this instance with this symbol and kind;
    // false if none. Beeps are one for the whole process: any instance matches.
    bool StopMatching(const InstanceData* instance, CVLSYMBOL symbol, int kind);
    void StopAll();
    // Stops the effects of one instance: those that act on symbols of its drawing,
    // and with `beepsToo` its beep as well.
    void StopInstance(const InstanceData* instance, bool beepsToo);

    // The timer callback of every effect: steps the effect, or stops it when its
    // steps are used up. A timer that drives nothing (any more) is ignored.
    static VOID CALLBACK OnTimer(HWND window, UINT message, UINT_PTR timer, DWORD time);

    std::size_t Count() const;
    // The effect that a timer drives, or null.
    TimedEffect* Find(UINT_PTR timer) const;

private:
    using EffectMap = std::map<UINT_PTR, std::unique_ptr<TimedEffect>>;
    // What an effect acts on: its instance (none for the process's one beep), symbol and kind.
    using Target = std::tuple<const InstanceData*, CVLSYMBOL, int>;
    static Target TargetOf(const InstanceData* instance, CVLSYMBOL symbol, int kind);
    EffectMap::iterator FindMatching(const InstanceData* instance, CVLSYMBOL symbol, int kind);

    // An entry may hold no effect for a moment while Start sets it up.
    EffectMap effects;
    // The timer of the one running effect on each target, so that starting an
    // effect finds the one it replaces without a walk through all of them.
    std::map<Target, UINT_PTR> timerByTarget;

    // Not a smart pointer on purpose: stopping effects calls the engine and the
    // window system, so the registry goes at NP_Shutdown or module unload, never
    // during static destruction at process exit.
    static EffectRegistry* current;
};

// Stops every running effect of every instance, each restoring its symbol, and
// discards the registry. Called at NP_Shutdown and when the module is unloaded.
void TearDownEffectRegistry();

// Stops the running effects that act on symbols of one instance, each restoring
// its symbol while the drawing still exists. Called before that drawing is freed
// or replaced. A beep holds no symbol and keeps running.
void StopInstanceEffects(InstanceData* data);

// Stops every running effect of one instance, its beep included; the effects of
// other instances run on. Called when the instance ends.
void EndInstanceEffects(InstanceData* data);

#endif
