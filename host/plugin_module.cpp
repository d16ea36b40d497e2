#include "plugin_module.h"

#include "win32_control.h"

#include <cctype>
#include <cstdio>

namespace vkhost {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Trim(const std::string& text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return std::string();
    size_t end = text.find_last_not_of(" \t");
    return text.substr(start, end - start + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// Reads one string of the version resource, in the language the resource's
// translation table names first ("040904e4" when it names none).
bool ReadVersionString(const std::vector<char>& block, const char* key, std::string& value) {
    char language[9] = "040904e4";
    DWORD* translation = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<LPVOID*>(&translation),
                       &length) &&
        translation && length >= sizeof(DWORD)) {
        std::snprintf(language, sizeof language, "%04x%04x", static_cast<unsigned>(LOWORD(*translation)),
                      static_cast<unsigned>(HIWORD(*translation)));
    }
    std::string query = std::string("\\StringFileInfo\\") + language + "\\" + key;
    char* text = nullptr;
    if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<LPVOID*>(&text), &length) || !text)
        return false;
    value.assign(text, length);
    value = value.substr(0, value.find('\0'));
    return true;
}

// GetProcAddress gives a generic function pointer; the export's own type is
// known only to the caller (the detour through void(*)() says so to the compiler).
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

std::vector<ServedType> ParseRegistration(const PluginRegistration& registration) {
    std::vector<ServedType> types;
    std::vector<std::string> mimes = Split(registration.mimeTypes, '|');
    std::vector<std::string> extents = Split(registration.fileExtents, '|');
    std::vector<std::string> names = Split(registration.fileOpenName, '|');
    for (size_t i = 0; i < mimes.size(); ++i) {
        ServedType type;
        type.mimeType = Trim(mimes[i]);
        if (type.mimeType.empty()) continue;
        if (i < extents.size())
            for (const auto& extension : Split(extents[i], ','))
                if (!Trim(extension).empty()) type.extensions.push_back(Lower(Trim(extension)));
        if (i < names.size()) type.openName = names[i];
        types.push_back(std::move(type));
    }
    return types;
}

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, NPNetscapeFuncs* browserFuncs,
                                                 std::string& error) {
    std::unique_ptr<PluginModule> plugin(new PluginModule());
    plugin->path = path;
    plugin->module = LoadLibraryA(path.c_str());
    if (!plugin->module) {
        error = path + ": cannot load the plug-in module";
        return nullptr;
    }
    w32_adopt_module(plugin->module);

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    std::vector<char> block(size);
    PluginRegistration registration;
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), handle, size, block.data()) ||
        !ReadVersionString(block, "MIMEType", registration.mimeTypes)) {
        error = path + ": the module has no MIMEType in its version resource";
        return nullptr;
    }
    ReadVersionString(block, "FileExtents", registration.fileExtents);
    ReadVersionString(block, "FileOpenName", registration.fileOpenName);
    plugin->types = ParseRegistration(registration);
    if (plugin->types.empty()) {
        error = path + ": the module registers no MIME type";
        return nullptr;
    }

    auto getEntryPoints = Export<NP_GetEntryPointsFunc>(plugin->module, "NP_GetEntryPoints");
    auto initialize = Export<NP_InitializeFunc>(plugin->module, "NP_Initialize");
    plugin->shutdown = Export<NP_ShutdownFunc>(plugin->module, "NP_Shutdown");
    if (!getEntryPoints || !initialize || !plugin->shutdown) {
        error = path + ": the module lacks NP_GetEntryPoints, NP_Initialize or NP_Shutdown";
        return nullptr;
    }

    plugin->funcs.size = sizeof(NPPluginFuncs);
    NPError result = getEntryPoints(&plugin->funcs);
    if (result != NPERR_NO_ERROR) {
        error = path + ": NP_GetEntryPoints failed with error " + std::to_string(result);
        return nullptr;
    }
    const NPPluginFuncs& f = plugin->funcs;
    if (!f.newp || !f.destroy || !f.setwindow || !f.newstream || !f.destroystream) {
        error = path + ": the module's entry-point table lacks instance or stream operations";
        return nullptr;
    }
    if ((f.version >> 8) != NP_VERSION_MAJOR) {
        error = path + ": the module declares an incompatible NPAPI version " + std::to_string(f.version >> 8) +
                "." + std::to_string(f.version & 0xFF);
        return nullptr;
    }

    result = initialize(browserFuncs);
    plugin->initialized = result == NPERR_NO_ERROR;
    if (!plugin->initialized) {
        error = path + ": NP_Initialize failed with error " + std::to_string(result);
        return nullptr;
    }
    return plugin;
}

PluginModule::~PluginModule() {
    if (initialized && shutdown) shutdown();
    if (module) FreeLibrary(module);
}

const ServedType* PluginModule::TypeForMime(const std::string& mimeType) const {
    for (const auto& type : types)
        if (Lower(type.mimeType) == Lower(mimeType)) return &type;
    return nullptr;
}

const ServedType* PluginModule::TypeForExtension(const std::string& extension) const {
    std::string wanted = Lower(extension);
    for (const auto& type : types)
        for (const auto& served : type.extensions)
            if (served == wanted) return &type;
    return nullptr;
}

}  // namespace vkhost
