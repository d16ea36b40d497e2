// CPU time of one simulated second with 100 symbols spinning every 10 ms on an
// 800 x 600 antialiased view: every step rotates through the engine, repaints the
// symbol's old and new places, and each paint renders at double size and averages.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <time.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "effect_registry.h"
#include "plugin_instance.h"
#include "render_cache.h"
#include "scratch_files.h"
#include "timed_actions.h"
#include "view_window.h"
#include "win32_control.h"

namespace {

// CPU time of this thread: the machine may be busy with other work.
double CpuSeconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

// Whether DrawPage and the antialiased render path are timed apart. Each reading of
// the thread's CPU clock is a system call, costly where the machine is virtual, and
// there are four for every render: the figure of the whole is taken without them.
bool timeParts = false;
double engineSeconds = 0;     // inside DrawPage
double antialiasSeconds = 0;  // inside the antialiased render path, DrawPage included
long renders = 0;

}  // namespace

// The linker routes the plug-in's calls through these, so that the time spent in
// them can be told apart from the rest.
extern "C" int WINAPI __real_DrawPage(CVLDRAWING drawing, HDC dc, const RECT* page, const RECT* update, int layer,
                                      int mode, DWORD flags, int zoomPercent);
extern "C" int WINAPI __wrap_DrawPage(CVLDRAWING drawing, HDC dc, const RECT* page, const RECT* update, int layer,
                                      int mode, DWORD flags, int zoomPercent) {
    ++renders;
    if (!timeParts) return __real_DrawPage(drawing, dc, page, update, layer, mode, flags, zoomPercent);
    const double start = CpuSeconds();
    const int result = __real_DrawPage(drawing, dc, page, update, layer, mode, flags, zoomPercent);
    engineSeconds += CpuSeconds() - start;
    return result;
}

// The antialiased path renders through DrawPage at double size, then averages; its
// time without that of DrawPage is the averaging and its bookkeeping.
extern "C" void __real__Z17RenderAntialiasedP12InstanceDataii(InstanceData* data, LONG width, LONG height);
extern "C" void __wrap__Z17RenderAntialiasedP12InstanceDataii(InstanceData* data, LONG width, LONG height) {
    if (!timeParts) return __real__Z17RenderAntialiasedP12InstanceDataii(data, width, height);
    const double start = CpuSeconds();
    __real__Z17RenderAntialiasedP12InstanceDataii(data, width, height);
    antialiasSeconds += CpuSeconds() - start;
}

namespace {

// A 10 x 10 grid of outlined bars on a page of the view's size, and `still` small
// squares that never move, in the columns between the bars where no spin repaints:
// a drawing of any size whose animated area stays the same.
std::string GridDrawing(int still) {
    std::string text = "vkdrawing 1\npage 800 600\n";
    for (int row = 0; row < 10; ++row) {
        for (int column = 0; column < 10; ++column) {
            const int left = column * 80 + 15, top = row * 60 + 20;
            text += "symbol rectangle\n  name \"S" + std::to_string(row * 10 + column) + "\"\n  box " +
                    std::to_string(left) + " " + std::to_string(top) + " " + std::to_string(left + 50) + " " +
                    std::to_string(top + 20) + "\n  fill #" + (row % 2 ? "3366CC" : "CC6633") +
                    "\n  stroke #000000 1\nend\n";
        }
    }
    // A spinning bar reaches 27 units from its centre at column * 80 + 40, so the
    // units 70 to 90 past each column's start stay still.
    for (int i = 0; i < still; ++i) {
        const int left = (i % 9) * 80 + 70 + (i / 9) % 9 * 2, top = (i / 81) * 4 % 596;
        text += "symbol rectangle\n  box " + std::to_string(left) + " " + std::to_string(top) + " " +
                std::to_string(left + 2) + " " + std::to_string(top + 2) + "\n  fill #66AA66\n  stroke none\nend\n";
    }
    return text;
}

class SpinningPage {
public:
    explicit SpinningPage(int symbols) {
        w32_reset();
        w32_set_display_depth(32);
        w32_register_class("SpinBench", 0, DefWindowProcA, LoadCursorA(nullptr, IDC_ARROW), TRUE, RGB(255, 255, 255));
        window = w32_create_window("SpinBench", nullptr, 0, 0, 800, 600);
        data = std::make_unique<InstanceData>();
        data->view = std::make_unique<DrawingView>(data.get(), window);
        path = vktest::ScratchPath("spin.vkf");
        std::ofstream(path, std::ios::binary) << GridDrawing(symbols - 100);
        data->drawing = LoadDrawing(path.string().c_str());
        RECT page = {0, 0, 1600, 1200};
        HDC dc = GetDC(window);
        DrawPage(data->drawing, dc, &page, nullptr, CVL_ALL_LAYERS, CVL_MODE_LAYOUT, CVL_DRAW_FIT | CVL_DRAW_PAPER,
                 CVL_ZOOM_FIT);
        ReleaseDC(window, dc);
        RebuildRenderCache(data.get());
        w32_pump();
        for (int i = 0; i < 100; ++i) {
            const std::string name = "S" + std::to_string(i);
            SpinObjectCWAction(data.get(), SymbolFromName(data->drawing, name.c_str()), "10");
        }
    }
    ~SpinningPage() {
        TearDownEffectRegistry();
        ReleaseInstance(data.get());
        data.reset();
        ReleaseDrawingPalette();
        w32_destroy_window(window);
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    bool Antialiased() const { return AntialiasActive(data.get()); }
    std::size_t Running() const { return EffectRegistry::Current() ? EffectRegistry::Current()->Count() : 0; }

private:
    HWND window = nullptr;
    std::unique_ptr<InstanceData> data;
    std::filesystem::path path;
};

// Args: the number of symbols in the drawing, 100 of them spinning; whether the
// engine's and the averaging's parts are timed apart (1), which costs time of its own.
void BM_HundredSpinsOneSimulatedSecond(benchmark::State& state) {
    SpinningPage page(static_cast<int>(state.range(0)));
    if (!page.Antialiased() || page.Running() != 100) {
        state.SkipWithError("the page is not antialiased or not every symbol spins");
        return;
    }
    timeParts = state.range(1) != 0;
    engineSeconds = antialiasSeconds = 0;
    renders = 0;
    double totalSeconds = 0;
    for (auto _ : state) {
        const double start = timeParts ? CpuSeconds() : 0;
        w32_advance_clock(1000);
        if (timeParts) totalSeconds += CpuSeconds() - start;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["renders"] = static_cast<double>(renders) / n;
    if (!timeParts) return;
    const double averaging = antialiasSeconds - engineSeconds;
    state.counters["engine_ms"] = 1000 * engineSeconds / n;
    state.counters["averaging_ms"] = 1000 * averaging / n;
    state.counters["rest_ms"] = 1000 * (totalSeconds - antialiasSeconds) / n;
}
BENCHMARK(BM_HundredSpinsOneSimulatedSecond)
    ->ArgNames({"symbols", "parts_timed"})
    ->Args({100, 0})
    ->Args({10000, 0})
    ->Args({100, 1})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

}  // namespace
