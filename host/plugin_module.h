// The plug-in module as the browser holds it: loaded by path, registered by the
// MIME types of its version resource, started through its three exports and
// shut down and unloaded when the browser is done with it.
#ifndef HOST_PLUGIN_MODULE_H
#define HOST_PLUGIN_MODULE_H

#include <windows.h>

#include "npapi.h"

#include <memory>
#include <string>
#include <vector>

namespace vkhost {

// One registration of the module: the i-th MIME type with the i-th extension
// list and open-dialog filter.
struct ServedType {
    std::string mimeType;
    std::vector<std::string> extensions;  // lower case
    std::string openName;
};

// The registration strings of a module's version resource.
struct PluginRegistration {
    std::string mimeTypes, fileExtents, fileOpenName;
};

// Splits the '|'-separated registration strings into served types.
std::vector<ServedType> ParseRegistration(const PluginRegistration& registration);

class PluginModule {
public:
    // Loads the module, reads its registration, fills its entry-point table and
    // initialises it with `browserFuncs` (kept by the module, so it must outlive
    // this object). Returns null with `error` set when any step fails.
    static std::unique_ptr<PluginModule> Load(const std::string& path, NPNetscapeFuncs* browserFuncs,
                                              std::string& error);
    virtual ~PluginModule();  // NP_Shutdown, then FreeLibrary

    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const NPPluginFuncs& Funcs() const { return funcs; }
    const std::vector<ServedType>& Types() const { return types; }
    const std::string& Path() const { return path; }

    // The served type a MIME type (any case) or a file extension names; null if none.
    const ServedType* TypeForMime(const std::string& mimeType) const;
    const ServedType* TypeForExtension(const std::string& extension) const;

private:
    PluginModule() = default;

    std::string path;
    HMODULE module = nullptr;
    NP_ShutdownFunc shutdown = nullptr;
    bool initialized = false;
    NPPluginFuncs funcs{};
    std::vector<ServedType> types;
};

}  // namespace vkhost

#endif
