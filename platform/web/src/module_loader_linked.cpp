// Modules linked into the program, for WebAssembly, which has no loader of files of
// code. Each such module's resource table carries the name LoadLibraryA knows it by and
// its export table; the table's own address serves as its load address (its HMODULE).
// One program holds one module of each name: a program that loads two modules links
// both.
#include "module_loader.h"

#include <cctype>
#include <vector>

namespace w32::loader {

namespace {

std::vector<const W32ModuleResources *> &LinkedModules()
{
    static auto *modules = new std::vector<const W32ModuleResources *>;  // modules unregister during exit
    return *modules;
}

// "dir/NPVKNT.wasm" and "npvknt" name the same module: the file name, without folder
// or extension, in any case.
std::string ModuleName(const std::string &path)
{
    size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    for (char &c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// An address in the program's static data, above the first 64 KiB like every static
// address here (the link sets the data's start there; see platform/web/CMakeLists.txt),
// so it is never mistaken for a resource number.
const char programAnchor = 0;

}  // namespace

bool Locate(const W32ModuleResources &resources, uintptr_t &base, std::string &file, bool &needsLoad)
{
    needsLoad = resources.linkedName != nullptr;
    if (!needsLoad) {
        base = ProgramBase();
        file = ProgramPath();
        return true;
    }
    LinkedModules().push_back(&resources);
    base = reinterpret_cast<uintptr_t>(&resources);
    file = resources.linkedName;
    return true;
}

void *Open(const char *path, uintptr_t &base)
{
    std::string wanted = ModuleName(path);
    for (const W32ModuleResources *module : LinkedModules())
        if (ModuleName(module->linkedName) == wanted) {
            base = reinterpret_cast<uintptr_t>(module);
            return const_cast<W32ModuleResources *>(module);
        }
    return nullptr;
}

void Close(void *)
{
}

void *Symbol(void *handle, const char *name)
{
    if (!handle) return nullptr;  // the program exports nothing
    const auto *module = static_cast<const W32ModuleResources *>(handle);
    for (size_t i = 0; i < module->exportCount; ++i)
        if (std::string(module->exports[i].name) == name)
            return reinterpret_cast<void *>(module->exports[i].proc);
    return nullptr;
}

uintptr_t ProgramBase()
{
    return reinterpret_cast<uintptr_t>(&programAnchor);
}

std::string ProgramPath()
{
    return "program";
}

std::string FullPath(const std::string &path)
{
    return path;
}

}  // namespace w32::loader
