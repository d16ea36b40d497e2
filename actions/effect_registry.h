// Timed effects (flash, spin, beep) and the process-wide registry of running ones.
#ifndef ACTIONS_EFFECT_REGISTRY_H
#define ACTIONS_EFFECT_REGISTRY_H

struct InstanceData;

// Stops every running effect of every instance, each restoring its symbol, and
// discards the registry. Called at every instance destruction and at module unload.
void TearDownEffectRegistry();

// Stops the running effects of one instance, each restoring its symbol, while its
// drawing still exists. Called before that drawing is freed or replaced.
void StopInstanceEffects(InstanceData* data);

#endif
