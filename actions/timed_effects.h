// The effects that run on timers after their script has finished: a flash, a spin
// and a beep. Each puts its symbol back the way it found it when it is destroyed.
#ifndef ACTIONS_TIMED_EFFECTS_H
#define ACTIONS_TIMED_EFFECTS_H

#include "engine_api.h"

struct InstanceData;

class TimedEffect {
public:
    enum { KindFlash = 0, KindSpin = 1, KindBeep = 2 };

    TimedEffect(InstanceData* instance, CVLSYMBOL symbol, int interval, int remaining);
    // Subclasses carry out their stop behaviour here, once the effect has run.
    virtual ~TimedEffect();
    TimedEffect(const TimedEffect&) = delete;
    TimedEffect& operator=(const TimedEffect&) = delete;

    // The work of one timer tick.
    virtual void Step() = 0;
    virtual int Kind() const = 0;
    // Called when this effect replaces a running one of its kind on its symbol,
    // just before that one is stopped.
    virtual void TakeOver(TimedEffect& replaced);

    InstanceData* instance;  // not owned
    CVLSYMBOL symbol;        // 0 for a beep
    int interval;            // timer period in milliseconds
    int remaining;           // steps still to run; negative = endless

    // Set once the registry runs the effect: one that never ran has nothing to undo.
    bool running = false;
};

class FlashEffect : public TimedEffect {
public:
    // Records the symbol's visibility; the caller shows the symbol.
    FlashEffect(InstanceData* instance, CVLSYMBOL symbol, int interval, int remaining);
    // Leaves the symbol as visible as it was at creation.
    ~FlashEffect() override;
    void Step() override;
    int Kind() const override { return KindFlash; }
    // The symbol's visibility before the replaced flash began is what this one
    // restores; the replaced flash ends without touching the symbol.
    void TakeOver(TimedEffect& replaced) override;

    int shown = 1;           // 1 while the last step left the symbol shown
    int visibleAtStart = 0;  // the symbol's visibility flag at creation
};

class SpinEffect : public TimedEffect {
public:
    // centre: the centre of the symbol's engine rectangle at creation, in engine
    // units of which `unitsPerPixel` make one view pixel (2 while antialiased).
    SpinEffect(InstanceData* instance, CVLSYMBOL symbol, int interval, int remaining, int step, POINT centre,
               int unitsPerPixel);
    // Turns the symbol back by the accumulated angle.
    ~SpinEffect() override;
    void Step() override;
    int Kind() const override { return KindSpin; }

    int step;        // tenths of a degree per step; positive turns clockwise
    int turned = 0;  // accumulated tenths, kept within -3599..3599
    LONG centreX;    // engine units, at the scale of creation
    LONG centreY;
    int unitsPerPixel;
};

class BeepEffect : public TimedEffect {
public:
    BeepEffect(InstanceData* instance, int interval, int remaining);
    void Step() override;
    int Kind() const override { return KindBeep; }
};

// The centre of a rectangle as the spin keeps it: halves truncated toward zero.
POINT SpinCentre(const RECT& rect);

// Engine units per view pixel now: 2 while the view renders antialiased, else 1.
int EngineUnitsPerPixel(InstanceData* instance);

#endif
