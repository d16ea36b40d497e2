// Registry values for the modules to read, written into the real registry. Keys
// written since the last reset are removed at the next, so runs do not leak settings
// into each other.
#include "real_system.h"

#include <cstring>

using namespace w32real;

BOOL w32_reg_set_value(HKEY root, const char *subKey, const char *valueName, DWORD type, const void *data,
                       DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return FALSE;
    LONG result = RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return FALSE;
    Sys().registryKeys.emplace_back(root, subKey);
    return TRUE;
}

BOOL w32_reg_set_string(HKEY root, const char *subKey, const char *valueName, const char *value) {
    return w32_reg_set_value(root, subKey, valueName, REG_SZ, value, static_cast<DWORD>(std::strlen(value) + 1));
}

BOOL w32_reg_delete_key(HKEY root, const char *subKey) {
    LONG result = RegDeleteTreeA(root, subKey);
    if (result == ERROR_SUCCESS) result = RegDeleteKeyA(root, subKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
