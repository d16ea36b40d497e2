// The module's process-wide link to the browser and its own instance handle.
#ifndef PLUGIN_PLUGIN_ENTRY_H
#define PLUGIN_PLUGIN_ENTRY_H

#include <windows.h>

#include "npapi.h"

// NPAPI version the plug-in declares: major 0 in the high byte, minor 6 in the low.
const uint16 PLUGIN_API_VERSION = (NP_VERSION_MAJOR << 8) | NP_VERSION_MINOR;

// The browser's service table, set by NP_Initialize and cleared by NP_Shutdown.
extern NPNetscapeFuncs* BrowserFuncs;

// The module's instance handle, kept at attach; cursor 129 is loaded from it.
HINSTANCE PluginModule();

// The module's entry point: keeps the module handle at attach and discards the
// process-wide state (running effects, the action map) at detach. Programs that
// link the plug-in's code directly call it where a loader would.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

#endif
