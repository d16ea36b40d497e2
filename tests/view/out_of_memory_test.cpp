// Running out of memory anywhere inside the browser's calls, the window's messages
// or the effects' timers: no exception reaches the browser or the window system,
// and nothing is left running. Every allocation of the plug-in, the engine and the
// window system is made to fail in turn, one per run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <new>
#include <string>

#include "cvlpage/diagnostics.h"
#include "effect_registry.h"
#include "render_cache.h"
#include "scratch_files.h"
#include "view_fixture.h"
#include "win32_control.h"

namespace {

// Allocations still to succeed while armed; the next one fails. Negative: none fails.
long long allocationsLeft = -1;
long long allocationsMade = 0;  // while armed
bool armed = false;
bool failed = false;

// Lets allocations fail only inside the calls under test, never in the test's own code.
template <typename Call>
void Armed(Call call) {
    armed = true;
    call();
    armed = false;
}

}  // namespace

void* operator new(std::size_t size) {
    if (armed && allocationsLeft == 0) {
        allocationsLeft = -1;
        failed = true;
        throw std::bad_alloc();
    }
    if (armed && allocationsLeft > 0) --allocationsLeft;
    if (armed) ++allocationsMade;
    void* memory = std::malloc(size != 0 ? size : 1);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

// Every form goes through the one above, so that each allocation can fail and
// each is freed as it was made.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return ::operator new(size, tag); }

// The replacement operator new above takes its memory from malloc.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace {

// A lamp that flashes and a bar that spins from the load on, and a script on hover.
const char kBusyDrawing[] =
    "vkdrawing 1\n"
    "page 200 100\n"
    "symbol rectangle\nname \"Lamp\"\nbox 10 10 50 50\nfill #E02020\nstroke none\n"
    "property \"OnLoad\" \"FlashObject 200;Beep 100 3\"\n"
    "property \"OnMouseEnter\" \"SymbolColor navy;StatusLine over the lamp;SpinObjectCW 50\"\nend\n"
    "symbol rectangle\nname \"Bar\"\nbox 60 10 150 30\nfill #0000FF\nstroke none\n"
    "property \"OnLoad\" \"SpinObjectCCW 100 8\"\nend\n";

TEST_F(ViewTest, RunningOutOfMemoryNeverUnwindsIntoTheBrowserOrTheWindowSystem) {
    const std::string path = vktest::ScratchPath("out_of_memory.vkf");
    std::ofstream(path, std::ios::binary) << kBusyDrawing;
    files.push_back(path);
    CvlDiagSetJournal(0);
    bool everyAllocationSucceeded = false;
    long long stride = 1;
    for (long long run = -1; !everyAllocationSucceeded; run = run < 0 ? 0 : run + stride) {
        pluginWindow = w32_create_window("BrowserPluginWindow", frameWindow, 10, 20, 200, 100);
        allocationsLeft = run;  // the first run fails nothing and counts
        allocationsMade = 0;
        failed = false;
        bool escaped = false;
        try {
            char mimeType[] = "image/x-cvl-vkf";
            NPWindow window = {};
            window.window = pluginWindow;
            window.width = 200;
            window.height = 100;
            NPStream stream = {};
            stream.url = "http://pages.example/busy.vkf";
            uint16 type = 0;
            Armed([&] {
                if (plugin.newp(mimeType, &npp, NP_EMBED, 0, nullptr, nullptr, nullptr) != NPERR_NO_ERROR) return;
                plugin.setwindow(&npp, &window);
                plugin.newstream(&npp, mimeType, &stream, 0, &type);
                plugin.asfile(&npp, &stream, path.c_str());
                plugin.destroystream(&npp, &stream, NPRES_DONE);
                w32_pump();
                POINT lamp = ScreenPoint(20, 20);
                w32_mouse_move(lamp.x, lamp.y);
                w32_advance_clock(700);
                plugin.destroy(&npp, nullptr);
            });
        } catch (...) {
            escaped = true;
        }
        armed = false;
        if (run < 0) {
            stride = allocationsMade / 300 + 1;
        } else {
            everyAllocationSucceeded = !failed;
        }
        EXPECT_FALSE(escaped) << "allocation " << run << " failed";
        if (npp.pdata != nullptr) plugin.destroy(&npp, nullptr);
        npp = NPP_t{};
        EXPECT_EQ(EffectRegistry::Current() != nullptr ? EffectRegistry::Current()->Count() : 0u, 0u)
            << "allocation " << run << " failed";
        w32_destroy_window(pluginWindow);
        // Timers of effects that were never recorded would fire here.
        w32_advance_clock(1000);
    }
    // Paints and renders cut short may keep device contexts and bitmaps; what is
    // checked here is that nothing unwinds and nothing keeps running.
    ReleaseDrawingPalette();
    w32_reset();
}

}  // namespace
