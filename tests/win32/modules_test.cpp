// Modules: LoadLibraryA runs DllMain with the module's handle, FreeLibrary detaches it,
// and the module's resources (version strings, cursor) are found as a browser finds them.
#include <gtest/gtest.h>

#include <win32_control.h>

#include <dlfcn.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct DllMainCall {
    HINSTANCE instance;
    DWORD reason;
};
std::vector<DllMainCall> g_calls;
BOOL g_verdict = TRUE;

}  // namespace

// Called by the test module's DllMain, found with GetProcAddress(GetModuleHandleA(NULL)).
extern "C" __attribute__((visibility("default"))) BOOL RecordDllMain(HINSTANCE instance, DWORD reason)
{
    g_calls.push_back(DllMainCall{instance, reason});
    return reason == DLL_PROCESS_ATTACH ? g_verdict : TRUE;
}

namespace {

class ModulesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        w32_reset();
        g_calls.clear();
        g_verdict = TRUE;
    }
};

TEST_F(ModulesTest, LoadAndFreeRunDllMainOnceEach)
{
    HMODULE module = LoadLibraryA(TEST_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].instance, module);
    EXPECT_EQ(g_calls[0].reason, DWORD(DLL_PROCESS_ATTACH));

    EXPECT_EQ(LoadLibraryA(TEST_MODULE_PATH), module) << "a second load shares the module";
    EXPECT_EQ(g_calls.size(), 1u);
    auto answer = reinterpret_cast<int (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "TestModuleAnswer")));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(GetProcAddress(module, "DllMain"), nullptr) << "DllMain is not exported";
    EXPECT_EQ(GetModuleHandleA("w32_test_module.so"), module);
    char path[512];
    EXPECT_GT(GetModuleFileNameA(module, path, sizeof path), 0u);
    EXPECT_NE(std::strstr(path, "w32_test_module"), nullptr);

    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(g_calls.size(), 1u);
    EXPECT_TRUE(FreeLibrary(module));
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].instance, module);
    EXPECT_EQ(g_calls[1].reason, DWORD(DLL_PROCESS_DETACH));
    EXPECT_FALSE(FreeLibrary(module));
}

TEST_F(ModulesTest, ARefusedAttachFailsTheLoad)
{
    g_verdict = FALSE;
    EXPECT_EQ(LoadLibraryA(TEST_MODULE_PATH), nullptr);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[1].reason, DWORD(DLL_PROCESS_DETACH));
    EXPECT_EQ(LoadLibraryA("/nonexistent/module.so"), nullptr);
}

TEST_F(ModulesTest, VersionStringsReadAsABrowserReadsThem)
{
    // The browser reads the strings without loading the module: no DllMain runs.
    DWORD handle = 99;
    DWORD size = GetFileVersionInfoSizeA(TEST_MODULE_PATH, &handle);
    ASSERT_GT(size, 0u);
    EXPECT_EQ(handle, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(TEST_MODULE_PATH, 0, size, block.data()));
    EXPECT_TRUE(g_calls.empty());

    struct Case {
        const char *query, *value;
    } cases[] = {
        {"\\StringFileInfo\\040904e4\\MIMEType", "application/x-test-a|application/x-test-b"},
        {"\\StringFileInfo\\040904E4\\FileExtents", "ta|tb"},
        {"\\StringFileInfo\\040904e4\\FileOpenName", "Test A (*.ta)|Test B (*.tb)"},
        {"\\StringFileInfo\\040904e4\\Comments", "Say \"hi\" \\ there"},
    };
    for (const Case &c : cases) {
        void *value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), c.query, &value, &length)) << c.query;
        EXPECT_STREQ(static_cast<const char *>(value), c.value);
        EXPECT_EQ(length, std::strlen(c.value) + 1) << "characters with the terminating NUL";
    }
    void *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    WORD translation[2];
    std::memcpy(translation, value, 4);
    EXPECT_EQ(translation[0], 0x409);
    EXPECT_EQ(translation[1], 1252);
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto *fixed = static_cast<const VS_FIXEDFILEINFO *>(value);
    EXPECT_EQ(fixed->dwSignature, DWORD(VS_FFI_SIGNATURE));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030004u);
    EXPECT_FALSE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904e4\\Missing", &value, &length));

    // A short buffer gets a cut block that is still safe to query.
    std::vector<char> shortBlock(40);
    ASSERT_TRUE(GetFileVersionInfoA(TEST_MODULE_PATH, 0, DWORD(shortBlock.size()), shortBlock.data()));
    EXPECT_FALSE(VerQueryValueA(shortBlock.data(), "\\StringFileInfo\\040904e4\\Comments", &value, &length));
    EXPECT_EQ(GetFileVersionInfoSizeA("/nonexistent/module.so", &handle), 0u);
}

TEST_F(ModulesTest, ModuleCursorLoadsByNumber)
{
    HMODULE module = LoadLibraryA(TEST_MODULE_PATH);
    ASSERT_NE(module, nullptr);
    HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCE(129));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(LoadCursorA(module, MAKEINTRESOURCE(129)), cursor);
    EXPECT_EQ(LoadCursorA(module, MAKEINTRESOURCE(130)), nullptr);
    W32CursorInfo info = w32_cursor_info(cursor);
    EXPECT_TRUE(info.valid);
    EXPECT_FALSE(info.isSystem);
    EXPECT_EQ(info.resourceId, 129u);
    EXPECT_EQ(info.module, module);
    EXPECT_EQ(info.width, 32);
    EXPECT_EQ(info.hotspotX, 13);
    EXPECT_EQ(info.hotspotY, 9);
    SetCursor(cursor);
    EXPECT_EQ(w32_shown_cursor(), cursor);
    EXPECT_EQ(LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCE(129)), nullptr)
        << "the program itself carries no resources";
    FreeLibrary(module);
}

}  // namespace
