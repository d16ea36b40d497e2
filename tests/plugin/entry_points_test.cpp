#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "npapi.h"
#include "plugin_entry.h"
#include "test_browser.h"

namespace {

struct EntryCase {
    uint16 size;
    NPError expected;
};

TEST(NP_GetEntryPoints, FillsOnlyATableLargeEnough) {
    const uint16 full = sizeof(NPPluginFuncs);
    const EntryCase cases[] = {{0, NPERR_INVALID_FUNCTABLE_ERROR},
                               {uint16(full - 1), NPERR_INVALID_FUNCTABLE_ERROR},
                               {full, NPERR_NO_ERROR},
                               {uint16(full + 8), NPERR_NO_ERROR}};
    for (const EntryCase& c : cases) {
        NPPluginFuncs funcs;
        std::memset(&funcs, 0xAB, sizeof(funcs));
        funcs.size = c.size;
        ASSERT_EQ(NP_GetEntryPoints(&funcs), c.expected) << "size " << c.size;
        EXPECT_EQ(funcs.size, c.size) << "the size belongs to the browser";
        if (c.expected != NPERR_NO_ERROR) {
            // Left unfilled.
            EXPECT_EQ(funcs.version, 0xABAB);
            continue;
        }
        EXPECT_EQ(funcs.version, 6);
        // Each slot holds its operation behind a guard that lets no exception out.
        for (const void* slot : {reinterpret_cast<const void*>(funcs.newp), reinterpret_cast<const void*>(funcs.destroy),
                                 reinterpret_cast<const void*>(funcs.setwindow),
                                 reinterpret_cast<const void*>(funcs.newstream),
                                 reinterpret_cast<const void*>(funcs.destroystream),
                                 reinterpret_cast<const void*>(funcs.asfile),
                                 reinterpret_cast<const void*>(funcs.writeready),
                                 reinterpret_cast<const void*>(funcs.write), reinterpret_cast<const void*>(funcs.print)}) {
            EXPECT_NE(slot, nullptr);
            EXPECT_NE(slot, reinterpret_cast<const void*>(uintptr_t(0xABABABABABABABABull)));
        }
        EXPECT_EQ(funcs.event, nullptr);
    }
    EXPECT_EQ(NP_GetEntryPoints(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
}

struct InitializeCase {
    uint16 version;
    uint16 size;
    NPError expected;
};

TEST(NP_Initialize, ChecksTheMajorVersionBeforeTheSize) {
    const uint16 full = sizeof(NPNetscapeFuncs);
    const InitializeCase cases[] = {
        {0x0006, full, NPERR_NO_ERROR},
        {0x00FF, full, NPERR_NO_ERROR},
        {0x0000, uint16(full + 4), NPERR_NO_ERROR},
        {0x0006, uint16(full - 1), NPERR_INVALID_FUNCTABLE_ERROR},
        {0x0100, full, NPERR_INCOMPATIBLE_VERSION_ERROR},
        // A newer browser is refused for its version even with a short table.
        {0x0100, 4, NPERR_INCOMPATIBLE_VERSION_ERROR},
        {0xFF06, 0, NPERR_INCOMPATIBLE_VERSION_ERROR},
    };
    for (const InitializeCase& c : cases) {
        NPNetscapeFuncs table;
        std::memset(&table, 0, sizeof(table));
        table.version = c.version;
        table.size = c.size;
        EXPECT_EQ(NP_Initialize(&table), c.expected) << std::hex << "version " << c.version << " size " << c.size;
        // Kept even when refused.
        EXPECT_EQ(BrowserFuncs, &table);
        EXPECT_EQ(NP_Shutdown(), NPERR_NO_ERROR);
        EXPECT_EQ(BrowserFuncs, nullptr);
    }
    EXPECT_EQ(NP_Initialize(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
    EXPECT_EQ(BrowserFuncs, nullptr);
    EXPECT_EQ(NPP_Initialize(), NPERR_NO_ERROR);
}

TEST(NP_Shutdown, SucceedsEvenWithoutInitialize) {
    EXPECT_EQ(NP_Shutdown(), NPERR_NO_ERROR);
    EXPECT_EQ(NP_Shutdown(), NPERR_NO_ERROR);
}

TEST(BrowserServices, ReachTheBrowserOnlyThroughAUsableTable) {
    {
        TestBrowser browser;
        NPP_t npp = {nullptr, nullptr};
        EXPECT_EQ(NPN_GetURL(&npp, "http://h/a", "_top"), NPERR_NO_ERROR);
        NPN_Status(&npp, "ready");
        EXPECT_EQ(browser.TakeCalls(), (std::vector<std::string>{"GetURL http://h/a _top", "Status ready"}));

        // A refused table too short to hold the entries is not read past its end: it
        // ends where the first entry would begin, whatever the size of a pointer.
        browser.table.size = uint16(offsetof(NPNetscapeFuncs, geturl));
        EXPECT_EQ(NPN_GetURL(&npp, "http://h/b", nullptr), NPERR_GENERIC_ERROR);
        NPN_Status(&npp, "short");
        browser.table.size = sizeof(NPNetscapeFuncs);
        browser.table.status = nullptr;
        NPN_Status(&npp, "no entry");
        EXPECT_TRUE(browser.TakeCalls().empty());
    }
    // After NP_Shutdown the wrappers do nothing.
    EXPECT_EQ(NPN_GetURL(nullptr, "http://h/c", nullptr), NPERR_GENERIC_ERROR);
    NPN_Status(nullptr, "gone");
}

TEST(DllMain, KeepsTheModuleHandleAtAttach) {
    HINSTANCE before = PluginModule();
    HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_TRUE(DllMain(self, DLL_PROCESS_ATTACH, nullptr));
    EXPECT_EQ(PluginModule(), self);
    DllMain(before, DLL_PROCESS_ATTACH, nullptr);
}

}  // namespace
