// Rewriting a loaded module's import address table: the usual way to stand between a
// DLL and the system functions it calls, without touching the system or other modules.
#include "real_system.h"

#include <cstring>

namespace w32real {
namespace {

template <typename T>
T *At(HMODULE module, DWORD offset) {
    return reinterpret_cast<T *>(reinterpret_cast<BYTE *>(module) + offset);
}

const IMAGE_IMPORT_DESCRIPTOR *Imports(HMODULE module) {
    auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(module);
    if (!module || dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    auto *nt = At<const IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY &directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress || !directory.Size) return nullptr;
    return At<const IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
}

}  // namespace

int PatchImport(HMODULE module, const char *dll, const char *name, void *replacement) {
    HMODULE provider = GetModuleHandleA(dll);
    if (!provider) return 0;
    // The loader wrote the provider's address (forwarders already followed) into the
    // table, so the entry is found by the address it holds, whatever way it was named.
    FARPROC real = GetProcAddress(provider, name);
    if (!real) return 0;
    int patched = 0;
    for (const IMAGE_IMPORT_DESCRIPTOR *entry = Imports(module); entry && entry->Name; ++entry) {
        for (auto *slot = At<IMAGE_THUNK_DATA>(module, entry->FirstThunk); slot->u1.Function; ++slot) {
            if (slot->u1.Function != reinterpret_cast<ULONG_PTR>(real)) continue;
            DWORD protection = 0;
            if (!VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection))
                continue;
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            ++patched;
        }
    }
    return patched;
}

std::vector<HMODULE> ImportedModules(HMODULE module) {
    std::vector<HMODULE> modules;
    for (const IMAGE_IMPORT_DESCRIPTOR *entry = Imports(module); entry && entry->Name; ++entry)
        if (HMODULE imported = GetModuleHandleA(At<const char>(module, entry->Name))) modules.push_back(imported);
    return modules;
}

}  // namespace w32real
