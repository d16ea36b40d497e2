// How a module's resources reach the window system on this platform. The subset's
// resource compiler turns a module's .rc file into a source file that fills these
// tables and registers them from a static initializer, so resources are known as soon
// as the module is mapped; LoadLibraryA then runs the registered DllMain.
#ifndef VK_PLATFORM_WIN32_MODULE_RESOURCES_H
#define VK_PLATFORM_WIN32_MODULE_RESOURCES_H

#include <windows.h>

typedef BOOL (*W32DllMain)(HINSTANCE instance, DWORD reason, LPVOID reserved);

typedef struct W32StringEntry {
    const char *key;
    const char *value;
} W32StringEntry;

// One "StringFileInfo" block, named by language and code page ("040904e4").
typedef struct W32StringTable {
    const char *langCodePage;
    const W32StringEntry *entries;
    size_t count;
} W32StringTable;

typedef struct W32CursorResource {
    UINT id;
    const unsigned char *data;  // the .cur file's bytes
    size_t size;
} W32CursorResource;

// A function the module exports, for platforms where modules are linked into the
// program rather than loaded from files of their own (GetProcAddress reads the table).
typedef struct W32ModuleExport {
    const char *name;
    FARPROC proc;
} W32ModuleExport;

typedef struct W32ModuleResources {
    const void *anchor;  // any address inside the module: finds the module it belongs to
    W32DllMain dllMain;  // NULL when the module defines none
    BOOL hasVersion;
    VS_FIXEDFILEINFO fixedInfo;
    const W32StringTable *stringTables;
    size_t stringTableCount;
    const DWORD *translations;  // language in the low word, code page in the high word
    size_t translationCount;
    const W32CursorResource *cursors;
    size_t cursorCount;
    // Where modules are linked into the program: the name LoadLibraryA knows the module
    // by (a file name without folder or extension, any case) and its exports. NULL and
    // empty where the platform's loader maps module files.
    const char *linkedName;
    const W32ModuleExport *exports;
    size_t exportCount;
} W32ModuleResources;

VK_W32_API void w32_register_module_resources(const W32ModuleResources *resources);
VK_W32_API void w32_unregister_module_resources(const W32ModuleResources *resources);

#endif
