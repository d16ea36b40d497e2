// Timers on a virtual clock, the tick count, and MessageBeep. Time passes only when
// the control interface advances the clock; due timers then fire in time order.
#include "system.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>

namespace w32 {

namespace {

Timer *FindTimer(HWND window, UINT_PTR id)
{
    for (auto &t : Sys().timers)
        if (t->alive && t->window == window && t->id == id) return t.get();
    return nullptr;
}

Timer *NextDue(DWORD until)
{
    Timer *next = nullptr;
    for (auto &t : Sys().timers) {
        if (!t->alive || t->due > until) continue;
        if (!next || t->due < next->due || (t->due == next->due && t->sequence < next->sequence)) next = t.get();
    }
    return next;
}

void Prune()
{
    auto &timers = Sys().timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [](const auto &t) { return !t->alive; }), timers.end());
}

void Fire(Timer &timer)
{
    System &s = Sys();
    HWND window = timer.window;
    UINT_PTR id = timer.id;
    TIMERPROC proc = timer.proc;
    timer.due = s.now + timer.elapse;
    if (proc) {
        proc(window, WM_TIMER, id, s.now);
    } else if (window) {
        if (Window *w = FindWindow(window)) Deliver(w, WM_TIMER, id, 0);
    }
    // A thread timer without a callback posts to a thread queue that nobody reads here.
}

}  // namespace

void DropWindowTimers(HWND hwnd)
{
    for (auto &t : Sys().timers)
        if (t->window == hwnd) t->alive = false;
}

void ResetTimers()
{
    Sys().timers.clear();
    Sys().timerSequence = 0;
    Sys().nextThreadTimer = 0x7FF0;
    Sys().refuseTimers = false;
}

}  // namespace w32

using namespace w32;

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    System &s = Sys();
    if (hWnd && !FindWindow(hWnd)) return 0;
    if (s.refuseTimers) return 0;
    uElapse = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    // A window timer is named by the caller; a thread timer gets a new identifier unless
    // the caller names one of its existing thread timers, which is then replaced.
    // Thread timers never have the identifier 0, so a request for a new one needs no search.
    Timer *timer = hWnd || nIDEvent ? FindTimer(hWnd, nIDEvent) : nullptr;
    if (!timer) {
        auto fresh = std::make_unique<Timer>();
        fresh->window = hWnd;
        fresh->id = hWnd ? nIDEvent : s.nextThreadTimer++;
        timer = fresh.get();
        s.timers.push_back(std::move(fresh));
    }
    timer->elapse = uElapse;
    timer->proc = lpTimerFunc;
    timer->due = s.now + uElapse;
    timer->sequence = s.timerSequence++;
    return hWnd ? (nIDEvent ? nIDEvent : 1) : timer->id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    Timer *timer = FindTimer(hWnd, uIDEvent);
    if (!timer) return FALSE;
    timer->alive = false;
    return TRUE;
}

DWORD WINAPI GetTickCount(void) { return Sys().now; }

int w32_live_timers(void)
{
    int live = 0;
    for (auto &t : Sys().timers)
        if (t->alive) ++live;
    return live;
}

BOOL WINAPI MessageBeep(UINT uType)
{
    Sys().beeps.push_back(W32Beep{uType, Sys().now});
    return TRUE;
}

void w32_advance_clock(DWORD milliseconds)
{
    System &s = Sys();
    DWORD until = s.now + milliseconds;
    // Pending paints go first, as a message loop takes WM_PAINT before WM_TIMER.
    // Killed timers stay in the list, marked dead, until the clock has advanced.
    while (Timer *next = NextDue(until)) {
        // Every timer due at that moment, in creation order: one search per moment
        // rather than one per timer, so that thousands of timers stay cheap.
        // Like Windows, the window system throws nothing at its callers: without memory
        // for that list, the earliest timer fires alone and the search starts again.
        const DWORD due = next->due;
        std::size_t count = 0;
        for (auto &t : s.timers)
            if (t->alive && t->due == due) ++count;
        // The usual few fit on the stack; more take memory.
        Timer *few[8];
        std::unique_ptr<Timer *[]> list;
        if (count > std::size(few)) list.reset(new (std::nothrow) Timer *[count]);
        Timer **batch = count <= std::size(few) ? few : list ? list.get() : &next;
        if (batch != &next) {
            Timer **end = batch;
            for (auto &t : s.timers)
                if (t->alive && t->due == due) *end++ = t.get();
            std::sort(batch, end, [](const Timer *a, const Timer *b) { return a->sequence < b->sequence; });
        } else {
            count = 1;
        }
        s.now = due;
        for (std::size_t i = 0; i < count; ++i) {
            Timer *timer = batch[i];
            w32_pump();
            // Killed or set anew by a timer that fired before it.
            if (!timer->alive || timer->due != due) continue;
            Fire(*timer);
        }
    }
    s.now = until;
    w32_pump();
    Prune();
}

DWORD w32_now(void) { return Sys().now; }

void w32_refuse_timers(BOOL refuse) { Sys().refuseTimers = refuse != FALSE; }

size_t w32_beep_count(void) { return Sys().beeps.size(); }

W32Beep w32_beep(size_t index)
{
    const auto &beeps = Sys().beeps;
    return index < beeps.size() ? beeps[index] : W32Beep{0, 0};
}
