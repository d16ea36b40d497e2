// State of the window system over real Win32 that the control interface keeps beside
// what USER32 and GDI32 already hold: the virtual clock and its timers, beeps, the
// cursors modules loaded, the message observer, and the accounting of GDI handles.
#ifndef VK_WIN32REAL_REAL_SYSTEM_H
#define VK_WIN32REAL_REAL_SYSTEM_H

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "win32_control.h"

namespace w32real {

struct Timer {
    HWND window = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    TIMERPROC proc = nullptr;
    DWORD due = 0;
    unsigned long sequence = 0;
    bool alive = true;
};

struct CursorOrigin {
    HINSTANCE module = nullptr;
    UINT resourceId = 0;
};

struct System {
    // Time as the scenario tells it; the modules see only this clock.
    DWORD now = 0;
    // Input time stamps are the virtual clock shifted to where the real one stood at
    // the reset, so that the window system measures double-click gaps in virtual time.
    DWORD inputTimeBase = 0;
    std::vector<std::unique_ptr<Timer>> timers;
    unsigned long timerSequence = 0;
    UINT_PTR nextThreadTimer = 0x7FF0;
    bool refuseTimers = false;  // as when Windows runs out of timers
    std::vector<W32Beep> beeps;
    std::map<HCURSOR, CursorOrigin> moduleCursors;

    W32MessageHook hook = nullptr;
    void *hookContext = nullptr;
    HHOOK sentMessageHook = nullptr;

    std::vector<std::string> classes;
    std::map<std::string, HBRUSH> classBrushes;
    std::vector<std::pair<HKEY, std::string>> registryKeys;  // written since the reset

    // Handles the adopted modules created and have not yet given back.
    std::set<HGDIOBJ> gdiObjects;
    std::set<HDC> dcs;
    int badHandles = 0;

    POINT pointer{0, 0};
};

System &Sys();

// Tells the observer about a message about to reach a window procedure.
void Observe(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Points the module's imports of `dll`!`name` at `replacement`; the number of entries
// changed. Only the module's own import table changes: other modules keep the real
// function.
int PatchImport(HMODULE module, const char *dll, const char *name, void *replacement);
// The modules a module imports from, as loaded (their handles), in table order.
std::vector<HMODULE> ImportedModules(HMODULE module);

void ResetModuleServices();

}  // namespace w32real

#endif
