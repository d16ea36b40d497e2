#include "plugin_entry.h"

#include <cstddef>

#include "effect_registry.h"
#include "interpreter.h"
#include "render_cache.h"

NPNetscapeFuncs* BrowserFuncs = nullptr;

namespace {
HINSTANCE moduleInstance = nullptr;
}

HINSTANCE PluginModule() { return moduleInstance; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleInstance = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        // The process-wide state that outlives instances goes with the module.
        // At process exit (reserved set) the engine and the window system may be
        // gone already: what is left is forgotten, not stopped or deleted.
        if (reserved != nullptr) {
            EffectRegistry::Abandon();
        } else {
            TearDownEffectRegistry();
            ReleaseDrawingPalette();
        }
        FreeActionMap();
    }
    return TRUE;
}

// The browser checks sizes against the tables it was built with; a table smaller
// than the one this build fills or reads would be written or read past its end.
NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* funcs) {
    if (funcs == nullptr) return NPERR_INVALID_FUNCTABLE_ERROR;
    if (funcs->size < sizeof(NPPluginFuncs)) return NPERR_INVALID_FUNCTABLE_ERROR;
    funcs->version = PLUGIN_API_VERSION;
    funcs->newp = NPP_New;
    funcs->destroy = NPP_Destroy;
    funcs->setwindow = NPP_SetWindow;
    funcs->newstream = NPP_NewStream;
    funcs->destroystream = NPP_DestroyStream;
    funcs->asfile = NPP_StreamAsFile;
    funcs->writeready = NPP_WriteReady;
    funcs->write = NPP_Write;
    funcs->print = NPP_Print;
    funcs->event = nullptr;
    return NPERR_NO_ERROR;
}

NPError WINAPI NP_Initialize(NPNetscapeFuncs* browser) {
    if (browser == nullptr) return NPERR_INVALID_FUNCTABLE_ERROR;
    BrowserFuncs = browser;
    if ((browser->version >> 8) != NP_VERSION_MAJOR) return NPERR_INCOMPATIBLE_VERSION_ERROR;
    if (browser->size < sizeof(NPNetscapeFuncs)) return NPERR_INVALID_FUNCTABLE_ERROR;
    return NPP_Initialize();
}

NPError WINAPI NP_Shutdown(void) {
    // Effects still running stop now, while the engine and the window system are
    // certainly there; module unload comes later, perhaps only at process exit.
    TearDownEffectRegistry();
    NPP_Shutdown();
    BrowserFuncs = nullptr;
    return NPERR_NO_ERROR;
}

NPError NPP_Initialize(void) { return NPERR_NO_ERROR; }

void NPP_Shutdown(void) {}

namespace {

// The browser's entry, or null outside NP_Initialize .. NP_Shutdown, when the
// browser left it empty, or when its table is too short to hold it (NP_Initialize
// keeps even a table it refused).
template <typename Entry>
Entry BrowserEntry(Entry NPNetscapeFuncs::*field, std::size_t offset) {
    if (BrowserFuncs == nullptr || BrowserFuncs->size < offset + sizeof(Entry)) return nullptr;
    return BrowserFuncs->*field;
}

}  // namespace

NPError NPN_GetURL(NPP instance, const char* url, const char* window) {
    NPN_GetURLUPP geturl = BrowserEntry(&NPNetscapeFuncs::geturl, offsetof(NPNetscapeFuncs, geturl));
    if (geturl == nullptr) return NPERR_GENERIC_ERROR;
    return geturl(instance, url, window);
}

void NPN_Status(NPP instance, const char* message) {
    NPN_StatusUPP status = BrowserEntry(&NPNetscapeFuncs::status, offsetof(NPNetscapeFuncs, status));
    if (status != nullptr) status(instance, message);
}
