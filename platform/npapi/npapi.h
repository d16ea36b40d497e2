/*
 * NPAPI declarations of the 0.6 generation (Netscape Navigator 3 era plug-ins):
 * the handle and stream types, the print structures, the two function tables in
 * their historic field order and the error, mode, stream-type and reason codes.
 */
#ifndef NPAPI_H
#define NPAPI_H

#include <windows.h>
#include <stdint.h>

#define NP_VERSION_MAJOR 0
#define NP_VERSION_MINOR 6

typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;

typedef unsigned char NPBool;
typedef int16 NPError;
typedef int16 NPReason;
typedef char* NPMIMEType;

/* An instance of the plug-in: pdata belongs to the plug-in, ndata to the browser. */
typedef struct _NPP {
    void* pdata;
    void* ndata;
} NPP_t;
typedef NPP_t* NPP;

typedef struct _NPStream {
    void* pdata;        /* plug-in private */
    void* ndata;        /* browser private */
    const char* url;
    uint32 end;
    uint32 lastmodified;
} NPStream;

typedef struct _NPByteRange {
    int32 offset;
    uint32 length;
    struct _NPByteRange* next;
} NPByteRange;

typedef struct _NPSavedData {
    int32 len;
    void* buf;
} NPSavedData;

typedef struct _NPRect {
    uint16 top;
    uint16 left;
    uint16 bottom;
    uint16 right;
} NPRect;

typedef struct _NPWindow {
    void* window;       /* HWND on Windows */
    int32 x;
    int32 y;
    uint32 width;
    uint32 height;
    NPRect clipRect;
} NPWindow;

typedef struct _NPFullPrint {
    NPBool pluginPrinted;   /* set false to have the browser print the page itself */
    NPBool printOne;
    void* platformPrint;
} NPFullPrint;

typedef struct _NPEmbedPrint {
    NPWindow window;
    void* platformPrint;    /* the printer's HDC on Windows */
} NPEmbedPrint;

typedef struct _NPPrint {
    uint16 mode;            /* NP_FULL or NP_EMBED */
    union {
        NPFullPrint fullPrint;
        NPEmbedPrint embedPrint;
    } print;
} NPPrint;

/* Instance modes */
#define NP_EMBED 1
#define NP_FULL 2

/* Stream types */
#define NP_NORMAL 1
#define NP_SEEK 2
#define NP_ASFILE 3
#define NP_ASFILEONLY 4

#define NP_MAXREADY (((unsigned)(~0) << 1) >> 1)

/* Errors */
#define NPERR_BASE 0
#define NPERR_NO_ERROR (NPERR_BASE + 0)
#define NPERR_GENERIC_ERROR (NPERR_BASE + 1)
#define NPERR_INVALID_INSTANCE_ERROR (NPERR_BASE + 2)
#define NPERR_INVALID_FUNCTABLE_ERROR (NPERR_BASE + 3)
#define NPERR_MODULE_LOAD_FAILED_ERROR (NPERR_BASE + 4)
#define NPERR_OUT_OF_MEMORY_ERROR (NPERR_BASE + 5)
#define NPERR_INVALID_PLUGIN_ERROR (NPERR_BASE + 6)
#define NPERR_INVALID_PLUGIN_DIR_ERROR (NPERR_BASE + 7)
#define NPERR_INCOMPATIBLE_VERSION_ERROR (NPERR_BASE + 8)
#define NPERR_INVALID_PARAM (NPERR_BASE + 9)
#define NPERR_INVALID_URL (NPERR_BASE + 10)
#define NPERR_FILE_NOT_FOUND (NPERR_BASE + 11)
#define NPERR_NO_DATA (NPERR_BASE + 12)
#define NPERR_STREAM_NOT_SEEKABLE (NPERR_BASE + 13)

/* Reasons a stream ended */
#define NPRES_BASE 0
#define NPRES_DONE (NPRES_BASE + 0)
#define NPRES_NETWORK_ERR (NPRES_BASE + 1)
#define NPRES_USER_BREAK (NPRES_BASE + 2)

/* The plug-in's operations, as the browser calls them through NPPluginFuncs. */
typedef NPError (*NPP_NewUPP)(NPMIMEType pluginType, NPP instance, uint16 mode, int16 argc,
                              char* argn[], char* argv[], NPSavedData* saved);
typedef NPError (*NPP_DestroyUPP)(NPP instance, NPSavedData** save);
typedef NPError (*NPP_SetWindowUPP)(NPP instance, NPWindow* window);
typedef NPError (*NPP_NewStreamUPP)(NPP instance, NPMIMEType type, NPStream* stream,
                                    NPBool seekable, uint16* stype);
typedef NPError (*NPP_DestroyStreamUPP)(NPP instance, NPStream* stream, NPReason reason);
typedef void (*NPP_StreamAsFileUPP)(NPP instance, NPStream* stream, const char* fname);
typedef int32 (*NPP_WriteReadyUPP)(NPP instance, NPStream* stream);
typedef int32 (*NPP_WriteUPP)(NPP instance, NPStream* stream, int32 offset, int32 len, void* buffer);
typedef void (*NPP_PrintUPP)(NPP instance, NPPrint* platformPrint);
typedef int16 (*NPP_HandleEventUPP)(NPP instance, void* event);

/* The browser's services, as the plug-in calls them through NPNetscapeFuncs. */
typedef NPError (*NPN_GetURLUPP)(NPP instance, const char* url, const char* window);
typedef NPError (*NPN_PostURLUPP)(NPP instance, const char* url, const char* window, uint32 len,
                                  const char* buf, NPBool file);
typedef NPError (*NPN_RequestReadUPP)(NPStream* stream, NPByteRange* rangeList);
typedef NPError (*NPN_NewStreamUPP)(NPP instance, NPMIMEType type, const char* window,
                                    NPStream** stream);
typedef int32 (*NPN_WriteUPP)(NPP instance, NPStream* stream, int32 len, void* buffer);
typedef NPError (*NPN_DestroyStreamUPP)(NPP instance, NPStream* stream, NPReason reason);
typedef void (*NPN_StatusUPP)(NPP instance, const char* message);
typedef const char* (*NPN_UserAgentUPP)(NPP instance);
typedef void* (*NPN_MemAllocUPP)(uint32 size);
typedef void (*NPN_MemFreeUPP)(void* ptr);
typedef uint32 (*NPN_MemFlushUPP)(uint32 size);
typedef void (*NPN_ReloadPluginsUPP)(NPBool reloadPages);

/* Filled by the plug-in in NP_GetEntryPoints; the browser sets size. */
typedef struct _NPPluginFuncs {
    uint16 size;
    uint16 version;
    NPP_NewUPP newp;
    NPP_DestroyUPP destroy;
    NPP_SetWindowUPP setwindow;
    NPP_NewStreamUPP newstream;
    NPP_DestroyStreamUPP destroystream;
    NPP_StreamAsFileUPP asfile;
    NPP_WriteReadyUPP writeready;
    NPP_WriteUPP write;
    NPP_PrintUPP print;
    NPP_HandleEventUPP event;
} NPPluginFuncs;

/* Supplied by the browser in NP_Initialize. */
typedef struct _NPNetscapeFuncs {
    uint16 size;
    uint16 version;     /* high byte major, low byte minor */
    NPN_GetURLUPP geturl;
    NPN_PostURLUPP posturl;
    NPN_RequestReadUPP requestread;
    NPN_NewStreamUPP newstream;
    NPN_WriteUPP write;
    NPN_DestroyStreamUPP destroystream;
    NPN_StatusUPP status;
    NPN_UserAgentUPP uagent;
    NPN_MemAllocUPP memalloc;
    NPN_MemFreeUPP memfree;
    NPN_MemFlushUPP memflush;
    NPN_ReloadPluginsUPP reloadplugins;
} NPNetscapeFuncs;

/* Both sides check these sizes; on 32-bit targets they are the historic ones. */
#ifdef __cplusplus
static_assert(sizeof(void*) != 4 || sizeof(NPPluginFuncs) == 44, "NPPluginFuncs is 44 bytes on 32-bit targets");
static_assert(sizeof(void*) != 4 || sizeof(NPNetscapeFuncs) == 52, "NPNetscapeFuncs is 52 bytes on 32-bit targets");
#else
_Static_assert(sizeof(void*) != 4 || sizeof(NPPluginFuncs) == 44, "NPPluginFuncs is 44 bytes on 32-bit targets");
_Static_assert(sizeof(void*) != 4 || sizeof(NPNetscapeFuncs) == 52, "NPNetscapeFuncs is 52 bytes on 32-bit targets");
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The plug-in module's exports. */
NPError WINAPI NP_GetEntryPoints(NPPluginFuncs* pFuncs);
NPError WINAPI NP_Initialize(NPNetscapeFuncs* pFuncs);
NPError WINAPI NP_Shutdown(void);

typedef NPError (WINAPI* NP_GetEntryPointsFunc)(NPPluginFuncs* pFuncs);
typedef NPError (WINAPI* NP_InitializeFunc)(NPNetscapeFuncs* pFuncs);
typedef NPError (WINAPI* NP_ShutdownFunc)(void);

#ifdef __cplusplus
}
#endif

/* The plug-in's operations and the wrappers over the browser's services. */
NPError NPP_Initialize(void);
void NPP_Shutdown(void);
NPError NPP_New(NPMIMEType pluginType, NPP instance, uint16 mode, int16 argc, char* argn[], char* argv[],
                NPSavedData* saved);
NPError NPP_Destroy(NPP instance, NPSavedData** save);
NPError NPP_SetWindow(NPP instance, NPWindow* window);
NPError NPP_NewStream(NPP instance, NPMIMEType type, NPStream* stream, NPBool seekable, uint16* stype);
NPError NPP_DestroyStream(NPP instance, NPStream* stream, NPReason reason);
void NPP_StreamAsFile(NPP instance, NPStream* stream, const char* fname);
int32 NPP_WriteReady(NPP instance, NPStream* stream);
int32 NPP_Write(NPP instance, NPStream* stream, int32 offset, int32 len, void* buffer);
void NPP_Print(NPP instance, NPPrint* platformPrint);

NPError NPN_GetURL(NPP instance, const char* url, const char* window);
void NPN_Status(NPP instance, const char* message);

#endif /* NPAPI_H */
