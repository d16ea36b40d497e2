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

namespace {

// No exception may unwind into the browser, which knows nothing of them: each
// operation it calls ends here instead, with an error where it can take one. The
// one expected is running out of memory; the operation then stops where it was.
template <typename Result, typename Operation>
Result Guarded(Result failure, Operation operation) {
    try {
        return operation();
    } catch (...) {
        return failure;
    }
}

NPError GuardedNew(NPMIMEType type, NPP instance, uint16 mode, int16 argc, char* argn[], char* argv[],
                   NPSavedData* saved) {
    return Guarded(NPError(NPERR_OUT_OF_MEMORY_ERROR),
                   [&] { return NPP_New(type, instance, mode, argc, argn, argv, saved); });
}

NPError GuardedDestroy(NPP instance, NPSavedData** save) {
    return Guarded(NPError(NPERR_GENERIC_ERROR), [&] { return NPP_Destroy(instance, save); });
}

NPError GuardedSetWindow(NPP instance, NPWindow* window) {
    return Guarded(NPError(NPERR_OUT_OF_MEMORY_ERROR), [&] { return NPP_SetWindow(instance, window); });
}

NPError GuardedNewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable, uint16* stype) {
    return Guarded(NPError(NPERR_OUT_OF_MEMORY_ERROR),
                   [&] { return NPP_NewStream(instance, type, stream, seekable, stype); });
}

NPError GuardedDestroyStream(NPP instance, NPStream* stream, NPReason reason) {
    return Guarded(NPError(NPERR_GENERIC_ERROR), [&] { return NPP_DestroyStream(instance, stream, reason); });
}

void GuardedStreamAsFile(NPP instance, NPStream* stream, const char* fname) {
    Guarded(0, [&] {
        NPP_StreamAsFile(instance, stream, fname);
        return 0;
    });
}

int32 GuardedWriteReady(NPP instance, NPStream* stream) {
    return Guarded(int32(0), [&] { return NPP_WriteReady(instance, stream); });
}

// A negative result makes the browser end the stream.
int32 GuardedWrite(NPP instance, NPStream* stream, int32 offset, int32 len, void* buffer) {
    return Guarded(int32(-1), [&] { return NPP_Write(instance, stream, offset, len, buffer); });
}

void GuardedPrint(NPP instance, NPPrint* printInfo) {
    Guarded(0, [&] {
        NPP_Print(instance, printInfo);
        return 0;
    });
}

}  // namespace

// The browser checks sizes against the tables it was built with; a table smaller
// than the one this build fills or reads would be written or read past its end.
NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* funcs) {
    if (funcs == nullptr) return NPERR_INVALID_FUNCTABLE_ERROR;
    if (funcs->size < sizeof(NPPluginFuncs)) return NPERR_INVALID_FUNCTABLE_ERROR;
    funcs->version = PLUGIN_API_VERSION;
    // The instance operations, each behind its guard.
    funcs->newp = GuardedNew;
    funcs->destroy = GuardedDestroy;
    funcs->setwindow = GuardedSetWindow;
    funcs->newstream = GuardedNewStream;
    funcs->destroystream = GuardedDestroyStream;
    funcs->asfile = GuardedStreamAsFile;
    funcs->writeready = GuardedWriteReady;
    funcs->write = GuardedWrite;
    funcs->print = GuardedPrint;
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
