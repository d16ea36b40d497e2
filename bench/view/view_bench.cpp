// Figures of the drawing view: the averaging step against a plain copy of the same
// bytes, a paint after a small invalidation against one after a whole-view
// invalidation on both render paths, and a pointer move over a crowded drawing.
#include <benchmark/benchmark.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "antialias.h"
#include "npapi.h"
#include "plugin_instance.h"
#include "raster.h"
#include "render_cache.h"
#include "scene.h"
#include "scratch_files.h"
#include "text_format.h"
#include "win32_control.h"

namespace {

const LONG kCacheWidth = 1920, kCacheHeight = 1080;

LONG RowSize(LONG width, int depth) { return ((width * depth + 31) / 32) * 4; }

std::vector<BYTE> RandomBytes(size_t size) {
    std::vector<BYTE> bytes(size);
    std::mt19937 random(1);
    for (BYTE& b : bytes) b = BYTE(random());
    return bytes;
}

const size_t kSourceBytes = size_t(RowSize(2 * kCacheWidth, 24)) * 2 * kCacheHeight;

void BM_MemcpySupersampledImage(benchmark::State& state) {
    std::vector<BYTE> source = RandomBytes(kSourceBytes), copy(kSourceBytes);
    for (auto _ : state) {
        std::memcpy(copy.data(), source.data(), kSourceBytes);
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSourceBytes));
}
BENCHMARK(BM_MemcpySupersampledImage)->Unit(benchmark::kMillisecond);

// Arg: the cache depth, 24 or 32 bits per pixel.
void BM_Downsample2x(benchmark::State& state) {
    const int depth = int(state.range(0));
    std::vector<BYTE> source = RandomBytes(kSourceBytes);
    std::vector<BYTE> cache(size_t(RowSize(kCacheWidth, depth)) * kCacheHeight);
    const RECT whole = {0, 0, kCacheWidth, kCacheHeight};
    for (auto _ : state) {
        Downsample2x(source.data(), cache.data(), depth, kCacheWidth, kCacheHeight, whole);
        benchmark::DoNotOptimize(cache.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSourceBytes));
}
BENCHMARK(BM_Downsample2x)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

// The plain byte-at-a-time form that the fast one is checked against.
void BM_Downsample2xReference(benchmark::State& state) {
    const int depth = int(state.range(0));
    std::vector<BYTE> source = RandomBytes(kSourceBytes);
    std::vector<BYTE> cache(size_t(RowSize(kCacheWidth, depth)) * kCacheHeight);
    const RECT whole = {0, 0, kCacheWidth, kCacheHeight};
    for (auto _ : state) {
        Downsample2xReference(source.data(), cache.data(), depth, kCacheWidth, kCacheHeight, whole);
        benchmark::DoNotOptimize(cache.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kSourceBytes));
}
BENCHMARK(BM_Downsample2xReference)->Arg(24)->Arg(32)->Unit(benchmark::kMillisecond);

// A page of `count` filled shapes scattered over 800 x 600 units.
std::string CrowdedDrawing(int count) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> x(0, 780), y(0, 580), size(4, 40);
    std::string text = "vkdrawing 1\npage 800 600\n";
    char line[160];
    for (int i = 0; i < count; ++i) {
        double left = x(random), top = y(random);
        std::snprintf(line, sizeof line, "symbol %s\nname \"S%d\"\nbox %.1f %.1f %.1f %.1f\nfill #%06X\nend\n",
                      i % 2 ? "ellipse" : "rectangle", i, left, top, left + size(random), top + size(random),
                      unsigned(random() & 0xFFFFFF));
        text += line;
    }
    return text;
}

LRESULT CALLBACK BrowserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// One embedded instance in an 800 x 600 window with a drawing loaded and painted.
class Page {
public:
    Page(const std::string& drawing, bool antialias) {
        w32_reset();
        w32_set_screen_size(1280, 1024);
        w32_set_display_depth(32);
        w32_register_class("BenchFrame", 0, BrowserProc, nullptr, TRUE, 0);
        w32_register_class("BenchPlugin", 0, BrowserProc, LoadCursorA(nullptr, IDC_ARROW), FALSE, 0);
        HWND frame = w32_create_window("BenchFrame", nullptr, 0, 0, 1000, 800);
        window = w32_create_window("BenchPlugin", frame, 10, 10, 800, 600);
        plugin.size = sizeof plugin;
        NP_GetEntryPoints(&plugin);
        char name[] = "noantialias", value[] = "";
        char* names[] = {name};
        char* values[] = {value};
        char mimeType[] = "image/x-cvl-vkf";
        plugin.newp(mimeType, &npp, NP_EMBED, antialias ? 0 : 1, names, values, nullptr);
        NPWindow npWindow = {};
        npWindow.window = window;
        plugin.setwindow(&npp, &npWindow);
        path = vktest::ScratchPath("crowded.vkf");
        std::ofstream(path, std::ios::binary) << drawing;
        NPStream stream = {};
        stream.url = "http://bench.example/crowded.vkf";
        uint16 type = 0;
        plugin.newstream(&npp, mimeType, &stream, 0, &type);
        plugin.asfile(&npp, &stream, path.c_str());
        plugin.destroystream(&npp, &stream, NPRES_DONE);
        w32_pump();
    }
    ~Page() {
        plugin.destroy(&npp, nullptr);
        ReleaseDrawingPalette();
        std::remove(path.c_str());
    }
    InstanceData* Data() { return InstanceFromNPP(&npp); }
    HWND Window() const { return window; }

private:
    NPPluginFuncs plugin = {};
    NPP_t npp = {};
    HWND window = nullptr;
    std::string path;
};

const std::string& ThousandSymbols() {
    static const std::string drawing = CrowdedDrawing(1000);
    return drawing;
}

// Args: antialiased (0 or 1), invalidated square side (0: the whole view).
void SmallAndWholeOnBothPaths(benchmark::internal::Benchmark* b) {
    b->ArgNames({"antialiased", "side"});
    for (int antialiased : {0, 1})
        for (int side : {20, 0}) b->Args({antialiased, side});
    b->Unit(benchmark::kMicrosecond);
}

// The n-th square of side `side` that the small paints invalidate, in pixels of a
// view `factor` times the 800 x 600 one; their places repeat every 800 - side paints.
cvl::PixelRect SmallClip(int n, int side, int factor) {
    const int x = (37 * (n + 1)) % (800 - side);
    return {factor * x, factor * 290, factor * (x + side), factor * (290 + side)};
}

void BM_PaintAfterInvalidation(benchmark::State& state) {
    Page page(ThousandSymbols(), state.range(0) != 0);
    const int side = int(state.range(1));
    int n = 0;
    for (auto _ : state) {
        if (side == 0) {
            InvalidateView(page.Data());
        } else {
            const cvl::PixelRect square = SmallClip(n, side, 1);
            InvalidateViewRect(page.Data(), square.left, square.top, square.right, square.bottom);
            n = (n + 1) % (800 - side);
        }
        w32_pump();
    }
}
BENCHMARK(BM_PaintAfterInvalidation)->Apply(SmallAndWholeOnBothPaths);

// What a paint must touch at the least, whatever its renderer: the symbols whose
// bounds meet the clip, and the rows of each within it (a symbol is drawn a row at a
// time), averaged over 1,000 of the paints above.
void CountSymbolRows(benchmark::State& state, cvl::Scene& scene, const cvl::Drawing& drawing, int factor,
                     const cvl::PixelRect& whole, int side) {
    const int paints = side == 0 ? 1 : 1000;
    double symbols = 0, rows = 0;
    for (int n = 0; n < paints; ++n) {
        const cvl::PixelRect clip = side == 0 ? whole : SmallClip(n, side, factor);
        for (const auto& s : drawing.symbols) {
            const cvl::PixelRect met = scene.DevicePixels(*s).Intersect(clip);
            if (met.Empty()) continue;
            symbols += 1;
            rows += met.bottom - met.top;
        }
    }
    state.counters["symbols"] = symbols / paints;
    state.counters["symbol_rows"] = rows / paints;
}

// What bounds the paints above: the engine alone drawing the same squares, or the
// whole view, straight into a pixel block, without the plug-in or the window system.
// Its counters give the least a paint must touch; their ratio between a square and the
// whole view is the bound of the paints' ratio for a renderer that works per symbol
// row. Args as above.
void BM_EngineDrawsTheSameArea(benchmark::State& state) {
    const int factor = state.range(0) != 0 ? 2 : 1;
    const int side = int(state.range(1));
    cvl::LoadError error;
    auto drawing = cvl::ParseDrawing(ThousandSymbols(), error);
    cvl::Scene scene(*drawing);
    const int width = 800 * factor, height = 600 * factor;
    scene.SetMapping(cvl::Scene::FitPage(*drawing, {0, 0, width, height}, true, CVL_ZOOM_FIT));
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), 0xFFFFFF);
    cvl::Canvas canvas;
    canvas.pixels = pixels.data();
    canvas.stride = width;
    canvas.area = {0, 0, width, height};
    canvas.clip = canvas.area;
    scene.Render(canvas, {});
    CountSymbolRows(state, scene, *drawing, factor, canvas.area, side);
    int n = 0;
    for (auto _ : state) {
        if (side != 0) {
            canvas.clip = SmallClip(n, side, factor);
            n = (n + 1) % (800 - side);
        }
        scene.Render(canvas, {});
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_EngineDrawsTheSameArea)->Apply(SmallAndWholeOnBothPaths);

// Where the pointer goes, in the view's pixels: jumps to random points, which find
// nothing of the last move in the processor's caches (the worst case), or a sweep
// along rows three pixels a step, as a hand moves it.
class PointerPath {
public:
    explicit PointerPath(bool sweep) : sweep_(sweep) {}
    POINT Next() {
        if (!sweep_) return {Below(800), Below(600)};
        at_.x += 3;
        if (at_.x >= 800) at_ = {at_.x - 800, (at_.y + 7) % 600};
        return at_;
    }

private:
    // A xorshift step scaled to the range: a few instructions, so that the path's
    // own cost stays out of the figures it drives.
    LONG Below(uint32_t bound) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return LONG((uint64_t{state_} * bound) >> 32);
    }

    bool sweep_;
    uint32_t state_ = 3;
    POINT at_{0, 0};
};

void AntialiasedAndPaths(benchmark::internal::Benchmark* b) {
    b->ArgNames({"antialiased", "sweep"});
    for (int antialiased : {0, 1})
        for (int sweep : {0, 1}) b->Args({antialiased, sweep});
    b->Unit(benchmark::kMicrosecond);
}

// A pointer move over a drawing of 10,000 symbols: the hit test and whatever
// leave and enter it causes. Args: antialiased (0 or 1), sweep (0: random jumps).
void BM_HoverOverCrowdedDrawing(benchmark::State& state) {
    static const std::string drawing = CrowdedDrawing(10000);
    Page page(drawing, state.range(0) != 0);
    POINT origin = {0, 0};
    ClientToScreen(page.Window(), &origin);
    PointerPath path(state.range(1) != 0);
    for (auto _ : state) {
        const POINT at = path.Next();
        w32_mouse_move(origin.x + at.x, origin.y + at.y);
    }
}
BENCHMARK(BM_HoverOverCrowdedDrawing)->Apply(AntialiasedAndPaths);

// The engine's hit test at the same points, on the page the view laid the same 10,000
// symbols out on: through its grid (what a pointer move asks), or looking at every
// symbol (the reference the pointer move is held against).
void HitTest(benchmark::State& state, bool useIndex) {
    static const std::string text = CrowdedDrawing(10000);
    const int factor = state.range(0) != 0 ? 2 : 1;
    cvl::LoadError error;
    auto drawing = cvl::ParseDrawing(text, error);
    cvl::Scene scene(*drawing);
    scene.SetMapping(cvl::Scene::FitPage(*drawing, {0, 0, 800 * factor, 600 * factor}, true, CVL_ZOOM_FIT));
    PointerPath path(state.range(1) != 0);
    for (auto _ : state) {
        const POINT at = path.Next();
        const cvl::Point pixelCentre{factor * at.x + 0.5, factor * at.y + 0.5};
        benchmark::DoNotOptimize(scene.HitTest(pixelCentre, CVL_HIT_TOLERANCE, false, useIndex));
    }
}
void BM_HitTestIndexed(benchmark::State& state) { HitTest(state, true); }
void BM_HitTestLinearScan(benchmark::State& state) { HitTest(state, false); }
BENCHMARK(BM_HitTestIndexed)->Apply(AntialiasedAndPaths);
BENCHMARK(BM_HitTestLinearScan)->Apply(AntialiasedAndPaths);

}  // namespace
