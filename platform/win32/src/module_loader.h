// What the module functions ask of the platform's loader. On Linux modules are shared
// objects mapped by the dynamic loader; where modules are linked into the program (the
// web), a loader of its own finds them by name in the registered resource tables.
#pragma once

#include <win32_module_resources.h>

#include <cstdint>
#include <string>

namespace w32::loader {

// Where a module whose resources just registered lives: its load address (its HMODULE),
// its file, and whether it counts as loaded only once LoadLibraryA has loaded it (a
// module linked into the program) rather than from being mapped. False when unknown.
bool Locate(const W32ModuleResources &resources, uintptr_t &base, std::string &file, bool &needsLoad);

// Maps the module named by `path`; null when there is none. `base` is its load address.
void *Open(const char *path, uintptr_t &base);
void Close(void *handle);
// An exported function of an opened module, or of the program when `handle` is null.
void *Symbol(void *handle, const char *name);

uintptr_t ProgramBase();
std::string ProgramPath();
// The full name of a module file as the loader would open it.
std::string FullPath(const std::string &path);

}  // namespace w32::loader
