// The registry: an in-memory tree of keys and values, read through the Reg* calls and
// filled by the control interface. Names compare without regard to case.
#include "system.h"

#include <cctype>
#include <cstring>

namespace w32 {

namespace {

bool IsRoot(HKEY key)
{
    return key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS;
}

std::string Upper(const std::string &text)
{
    std::string s = text;
    for (char &c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Calls visit(part) for each part of a key path, upper-cased, in order, while it
// returns true; false when a visit said to stop. Parts are built in one string, so a
// lookup allocates nothing for the short names keys have.
template <typename Visit>
bool ForEachPathPart(const char *path, Visit visit)
{
    std::string part;
    for (const char *p = path ? path : "";; ++p) {
        if (*p != '\\' && *p != '\0') {
            part += char(std::toupper(static_cast<unsigned char>(*p)));
            continue;
        }
        if (!part.empty()) {
            if (!visit(part)) return false;
            part.clear();
        }
        if (*p == '\0') return true;
    }
}

std::vector<std::string> SplitPath(const char *path)
{
    std::vector<std::string> parts;
    ForEachPathPart(path, [&](const std::string &part) {
        parts.push_back(part);
        return true;
    });
    return parts;
}

RegKey *KeyOf(HKEY key)
{
    System &s = Sys();
    uintptr_t k = reinterpret_cast<uintptr_t>(key);
    if (IsRoot(key)) {
        auto &root = s.roots[k];
        if (!root) root = std::make_unique<RegKey>();
        return root.get();
    }
    auto it = s.openKeys.find(k);
    return it == s.openKeys.end() ? nullptr : it->second;
}

RegKey *Walk(RegKey *key, const char *path, bool create)
{
    const bool found = ForEachPathPart(path, [&](const std::string &part) {
        auto it = key->subkeys.find(part);
        if (it == key->subkeys.end()) {
            if (!create) return false;
            it = key->subkeys.emplace(part, std::make_unique<RegKey>()).first;
        }
        key = it->second.get();
        return true;
    });
    return found ? key : nullptr;
}

}  // namespace

void ResetRegistry()
{
    Sys().openKeys.clear();
    Sys().roots.clear();
}

}  // namespace w32

using namespace w32;

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult)
{
    (void)ulOptions;
    (void)samDesired;
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    RegKey *base = KeyOf(hKey);
    if (!base) {
        CountBadHandle();
        return ERROR_INVALID_HANDLE;
    }
    RegKey *key = Walk(base, lpSubKey, false);
    if (!key) return ERROR_FILE_NOT_FOUND;
    System &s = Sys();
    uintptr_t handle = s.nextKey;
    s.nextKey += 4;
    s.openKeys[handle] = key;
    *phkResult = reinterpret_cast<HKEY>(handle);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                                LPDWORD lpcbData)
{
    RegKey *key = KeyOf(hKey);
    if (!key) {
        CountBadHandle();
        return ERROR_INVALID_HANDLE;
    }
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    auto it = key->values.find(Upper(lpValueName ? lpValueName : ""));
    if (it == key->values.end()) return ERROR_FILE_NOT_FOUND;
    const RegValue &value = it->second;
    if (lpType) *lpType = value.type;
    DWORD size = DWORD(value.data.size());
    if (!lpData) {
        if (lpcbData) *lpcbData = size;
        return ERROR_SUCCESS;
    }
    if (*lpcbData < size) {
        *lpcbData = size;
        return ERROR_MORE_DATA;
    }
    if (size) std::memcpy(lpData, value.data.data(), size);
    *lpcbData = size;
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY hKey)
{
    if (IsRoot(hKey)) return ERROR_SUCCESS;
    if (!Sys().openKeys.erase(reinterpret_cast<uintptr_t>(hKey))) {
        CountBadHandle();
        return ERROR_INVALID_HANDLE;
    }
    return ERROR_SUCCESS;
}

BOOL w32_reg_set_value(HKEY root, const char *subKey, const char *valueName, DWORD type, const void *data,
                       DWORD size)
{
    if (!IsRoot(root) || (size && !data)) return FALSE;
    RegKey *key = Walk(KeyOf(root), subKey, true);
    RegValue &value = key->values[Upper(valueName ? valueName : "")];
    value.type = type;
    const auto *bytes = static_cast<const uint8_t *>(data);
    value.data.assign(bytes, bytes + size);
    return TRUE;
}

BOOL w32_reg_set_string(HKEY root, const char *subKey, const char *valueName, const char *value)
{
    if (!value) return FALSE;
    return w32_reg_set_value(root, subKey, valueName, REG_SZ, value, DWORD(std::strlen(value) + 1));
}

BOOL w32_reg_delete_key(HKEY root, const char *subKey)
{
    if (!IsRoot(root)) return FALSE;
    std::vector<std::string> parts = SplitPath(subKey);
    if (parts.empty()) return FALSE;
    std::string last = parts.back();
    parts.pop_back();
    RegKey *parent = KeyOf(root);
    for (const std::string &part : parts) {
        auto it = parent->subkeys.find(part);
        if (it == parent->subkeys.end()) return FALSE;
        parent = it->second.get();
    }
    auto it = parent->subkeys.find(last);
    if (it == parent->subkeys.end()) return FALSE;
    // Handles still open on the deleted key, or below it, stop working.
    std::vector<RegKey *> doomed{it->second.get()};
    for (size_t i = 0; i < doomed.size(); ++i)
        for (auto &child : doomed[i]->subkeys) doomed.push_back(child.second.get());
    auto &open = Sys().openKeys;
    for (auto k = open.begin(); k != open.end();) {
        bool gone = false;
        for (RegKey *d : doomed) gone = gone || k->second == d;
        k = gone ? open.erase(k) : std::next(k);
    }
    parent->subkeys.erase(it);
    return TRUE;
}
