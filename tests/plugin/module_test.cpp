// The module as a browser sees it: loaded by path, registered by its version
// strings, driven only through its three exports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "npapi.h"
#include "test_page.h"
#include "win32_control.h"

namespace {

const char* ModulePath() { return VK_PLUGIN_MODULE_PATH; }

const DWORD kFileTypeDll = 2;  // VFT_DLL

// An export as the function type the browser calls it through.
template <typename Function>
Function Export(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::string VersionString(const char* key) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(ModulePath(), &ignored);
    if (size == 0) return "<no version resource>";
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(ModulePath(), 0, size, block.data())) return "<unreadable>";
    void* value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904e4\\") + key;
    if (!VerQueryValueA(block.data(), path.c_str(), &value, &length) || value == nullptr) return "<missing>";
    return static_cast<const char*>(value);
}

TEST(Module, RegistersByItsVersionStrings) {
    const std::pair<const char*, const char*> strings[] = {
        {"MIMEType", "image/x-cvl-vkf|image/x-cvl-vk4|image/x-cvl-vkw"},
        {"FileExtents", "vkf|vk4|vkw"},
        {"FileOpenName", "Corvale Plotwright Files (*.vkf)|Corvale VK4 Files (*.vk4)|Corvale Limner Files (*.vkw)"},
        {"FileDescription", "Brightfen Netscape Plugin"},
        {"ProductName", "Corvale Brightfen"},
        {"InternalName", "VKNET"},
        {"OriginalFilename", "npvknt.dll"},
        {"FileVersion", "1.00.201"},
        {"ProductVersion", "1.00.201"},
    };
    for (const auto& entry : strings) EXPECT_EQ(VersionString(entry.first), entry.second) << entry.first;

    DWORD ignored = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(ModulePath(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoA(ModulePath(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileType, kFileTypeDll);
    DWORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    EXPECT_EQ(translation[0], 0x04E40409u);
}

TEST(Module, ShowsOnlyItsEntryPointsAndItsHandCursor) {
    w32_reset();
    HMODULE module = LoadLibraryA(ModulePath());
    ASSERT_NE(module, nullptr);
    for (const char* name : {"NP_GetEntryPoints", "NP_Initialize", "NP_Shutdown"}) {
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    }
    for (const char* name : {"NPP_New", "DllMain", "NPN_GetURL", "ResolveURL"}) {
        EXPECT_EQ(GetProcAddress(module, name), nullptr) << name;
    }

    HCURSOR hand = LoadCursorA(module, MAKEINTRESOURCEA(129));
    ASSERT_NE(hand, nullptr);
    const W32CursorInfo info = w32_cursor_info(hand);
    EXPECT_FALSE(info.isSystem);
    EXPECT_EQ(info.resourceId, 129u);
    EXPECT_EQ(info.width, 32);
    EXPECT_EQ(info.height, 32);
    EXPECT_EQ(info.hotspotX, 13);
    EXPECT_EQ(info.hotspotY, 9);

    // One instance's life through the tables alone.
    auto getEntryPoints = Export<NP_GetEntryPointsFunc>(module, "NP_GetEntryPoints");
    auto initialize = Export<NP_InitializeFunc>(module, "NP_Initialize");
    auto shutdown = Export<NP_ShutdownFunc>(module, "NP_Shutdown");
    NPPluginFuncs plugin;
    std::memset(&plugin, 0, sizeof(plugin));
    plugin.size = sizeof(plugin);
    ASSERT_EQ(getEntryPoints(&plugin), NPERR_NO_ERROR);
    NPNetscapeFuncs browser;
    std::memset(&browser, 0, sizeof(browser));
    browser.size = sizeof(browser);
    browser.version = 6;
    ASSERT_EQ(initialize(&browser), NPERR_NO_ERROR);
    NPP_t npp = {nullptr, nullptr};
    ASSERT_EQ(plugin.newp(const_cast<char*>("image/x-cvl-vkf"), &npp, NP_FULL, 0, nullptr, nullptr, nullptr),
              NPERR_NO_ERROR);
    EXPECT_NE(npp.pdata, nullptr);
    EXPECT_EQ(plugin.destroy(&npp, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(shutdown(), NPERR_NO_ERROR);
    EXPECT_TRUE(FreeLibrary(module));
}

// The view loads its hand from the module handle DllMain kept at attach: a
// symbol whose script asks for the hand shows the module's cursor 129.
TEST(Module, KeepsItsHandleForTheHandCursor) {
    TestPage page(32, 300, 200);
    TestDrawingFile file(
        "vkdrawing 1\n"
        "page 100 100\n"
        "symbol rectangle\n"
        "  fill #00FF00\n"
        "  box 0 0 100 100\n"
        "  property \"OnMouseEnter\" \"CursorShape hand\"\n"
        "end\n");
    HMODULE module = LoadLibraryA(ModulePath());
    ASSERT_NE(module, nullptr);
    NPPluginFuncs plugin;
    std::memset(&plugin, 0, sizeof(plugin));
    plugin.size = sizeof(plugin);
    ASSERT_EQ(Export<NP_GetEntryPointsFunc>(module, "NP_GetEntryPoints")(&plugin), NPERR_NO_ERROR);
    NPNetscapeFuncs browser;
    std::memset(&browser, 0, sizeof(browser));
    browser.size = sizeof(browser);
    browser.version = 6;
    ASSERT_EQ(Export<NP_InitializeFunc>(module, "NP_Initialize")(&browser), NPERR_NO_ERROR);

    NPP_t npp = {nullptr, nullptr};
    ASSERT_EQ(plugin.newp(const_cast<char*>("image/x-cvl-vkf"), &npp, NP_EMBED, 0, nullptr, nullptr, nullptr),
              NPERR_NO_ERROR);
    NPWindow window;
    std::memset(&window, 0, sizeof(window));
    window.window = page.embed;
    ASSERT_EQ(plugin.setwindow(&npp, &window), NPERR_NO_ERROR);
    NPStream stream;
    std::memset(&stream, 0, sizeof(stream));
    stream.url = "http://host/hand.vkf";
    uint16 type = 0;
    ASSERT_EQ(plugin.newstream(&npp, nullptr, &stream, false, &type), NPERR_NO_ERROR);
    ASSERT_EQ(type, NP_ASFILE);
    plugin.asfile(&npp, &stream, file.path());
    plugin.destroystream(&npp, &stream, NPRES_DONE);
    w32_pump();

    POINT centre = {150, 100};
    ClientToScreen(page.embed, &centre);
    w32_mouse_move(centre.x, centre.y);
    const W32CursorInfo shown = w32_cursor_info(w32_shown_cursor());
    EXPECT_TRUE(shown.valid);
    EXPECT_FALSE(shown.isSystem);
    EXPECT_EQ(shown.module, reinterpret_cast<HINSTANCE>(module));
    EXPECT_EQ(shown.resourceId, 129u);

    EXPECT_EQ(plugin.destroy(&npp, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(Export<NP_ShutdownFunc>(module, "NP_Shutdown")(), NPERR_NO_ERROR);
    EXPECT_TRUE(FreeLibrary(module));
}

}  // namespace
