// Modules as shared objects, through the platform's dynamic loader. A module's load
// address is the base of its mapping, which also identifies its resource registration.
#include "module_loader.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace w32::loader {

namespace {

uintptr_t BaseOfHandle(void *handle)
{
    struct link_map *map = nullptr;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map) return 0;
    Dl_info info;
    if (!dladdr(reinterpret_cast<void *>(map->l_ld), &info)) return 0;
    return reinterpret_cast<uintptr_t>(info.dli_fbase);
}

}  // namespace

bool Locate(const W32ModuleResources &resources, uintptr_t &base, std::string &file, bool &needsLoad)
{
    Dl_info info;
    if (!dladdr(resources.anchor, &info)) return false;
    base = reinterpret_cast<uintptr_t>(info.dli_fbase);
    file = info.dli_fname ? info.dli_fname : "";
    needsLoad = false;
    return true;
}

void *Open(const char *path, uintptr_t &base)
{
    void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    base = BaseOfHandle(handle);
    if (!base) {
        dlclose(handle);
        return nullptr;
    }
    return handle;
}

void Close(void *handle)
{
    dlclose(handle);
}

void *Symbol(void *handle, const char *name)
{
    return dlsym(handle ? handle : RTLD_DEFAULT, name);
}

uintptr_t ProgramBase()
{
    static uintptr_t base = BaseOfHandle(dlopen(nullptr, RTLD_NOW));
    return base;
}

std::string ProgramPath()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, size_t(n)) : std::string();
}

std::string FullPath(const std::string &path)
{
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace w32::loader
