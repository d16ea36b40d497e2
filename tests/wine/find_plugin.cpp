// find_plugin: finds the plug-in as an NPAPI browser on Windows does, through its entry
// under HKEY_LOCAL_MACHINE\SOFTWARE\MozillaPlugins, and loads it from the folder that
// entry names: version resource, entry points, NP_Initialize and NP_Shutdown. Prints
// the key, the path and the served MIME types; exits 1 when anything is missing.
#include <windows.h>

#include <cctype>
#include <iostream>
#include <string>

#include "browser.h"
#include "host_log.h"

namespace {

const char kPluginsKey[] = "SOFTWARE\\MozillaPlugins";

std::string ReadString(HKEY key, const char* name) {
    char value[MAX_PATH * 2] = {};
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::string();
    return value;
}

}  // namespace

int main() {
    HKEY plugins = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPluginsKey, 0, KEY_READ, &plugins) != ERROR_SUCCESS) {
        std::cerr << "find_plugin: no HKEY_LOCAL_MACHINE\\" << kPluginsKey << "\n";
        return 1;
    }
    // Every registered plug-in whose Path names npvknt.dll.
    std::string keyName, path;
    char name[256];
    for (DWORD index = 0; path.empty(); ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(plugins, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY entry = nullptr;
        if (RegOpenKeyExA(plugins, name, 0, KEY_READ, &entry) != ERROR_SUCCESS) continue;
        std::string candidate = ReadString(entry, "Path");
        RegCloseKey(entry);
        std::string file = candidate.substr(candidate.find_last_of("\\/") + 1);
        for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (file == "npvknt.dll") {
            keyName = name;
            path = candidate;
        }
    }
    RegCloseKey(plugins);
    if (path.empty()) {
        std::cerr << "find_plugin: no plug-in entry names npvknt.dll\n";
        return 1;
    }
    std::cout << "key " << keyName << "\npath " << path << "\n";

    // Browsers load a plug-in with its own folder searched for the DLLs it needs.
    std::string folder = path.substr(0, path.find_last_of("\\/"));
    SetDllDirectoryA(folder.c_str());
    vkhost::HostLog log;
    int status = 0;
    {
        vkhost::Browser browser(log);
        std::string error;
        if (!browser.LoadPlugin(path, error)) {
            std::cerr << "find_plugin: " << error << "\n";
            status = 1;
        } else {
            for (const auto& type : browser.Plugin()->Types()) std::cout << "type " << type.mimeType << "\n";
        }
    }
    SetDllDirectoryA(nullptr);
    return status;
}
