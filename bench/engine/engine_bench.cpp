// Rendering, hit testing and loading figures of the engine.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/engine_api.h"
#include "random_drawing.h"
#include "scratch_files.h"
#include "raster.h"
#include "scene.h"
#include "text_format.h"
#include <vector>

using namespace cvl;

namespace {

std::string WriteDrawing(int symbols) {
    std::string path = vktest::ScratchPath("random-" + std::to_string(symbols) + ".vkf");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::string text = enginetest::RandomDrawing(42, symbols, 40);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return path;
}

class Target {
public:
    Target(int width, int height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
    }
    virtual ~Target() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

void Render(benchmark::State& state, bool partial) {
    CVLDRAWING d = LoadDrawing(WriteDrawing(1000).c_str());
    Target target(1600, 1200);
    RECT page{0, 0, 1600, 1200}, update{800, 600, 850, 650};
    DrawPage(d, target.dc(), &page, nullptr, 0, 3, 0x9, 100);
    for (auto _ : state) DrawPage(d, target.dc(), &page, partial ? &update : nullptr, 0, 3, 0x20, 100);
    FreeDrawing(d);
}

void BM_RenderWholePage1000(benchmark::State& state) { Render(state, false); }
void BM_RenderUpdate50x50Of1000(benchmark::State& state) { Render(state, true); }

// The engine's own share of a render, without the device context around it.
void Rasterise(benchmark::State& state, PixelRect clip) {
    LoadError error;
    auto drawing = ParseDrawing(enginetest::RandomDrawing(42, 1000, 40), error);
    Scene scene(*drawing);
    scene.SetMapping(Scene::FitPage(*drawing, {0, 0, 1600, 1200}, true, 100));
    std::vector<uint32_t> pixels(1600 * 1200);
    Canvas canvas;
    canvas.pixels = pixels.data();
    canvas.stride = 1600;
    canvas.area = {0, 0, 1600, 1200};
    canvas.clip = clip;
    for (auto _ : state) scene.Render(canvas, {});
}

void BM_RasteriseWholePage1000(benchmark::State& state) { Rasterise(state, {0, 0, 1600, 1200}); }
void BM_RasteriseUpdate50x50Of1000(benchmark::State& state) { Rasterise(state, {800, 600, 850, 650}); }

void BM_SymbolFromPoint10000(benchmark::State& state) {
    CVLDRAWING d = LoadDrawing(WriteDrawing(10000).c_str());
    RECT page{0, 0, 1600, 1200};
    DrawPage(d, nullptr, &page, nullptr, 0, 4, 0x9, 100);
    int tolerance = 2;
    int i = 0;
    for (auto _ : state) {
        POINT p{(i * 7919) % 1600, (i * 104729) % 1200};
        ++i;
        benchmark::DoNotOptimize(SymbolFromPoint(d, &p, &tolerance, 0));
    }
    FreeDrawing(d);
}

void BM_LoadDrawing10000(benchmark::State& state) {
    std::string path = WriteDrawing(10000);
    for (auto _ : state) {
        CVLDRAWING d = LoadDrawing(path.c_str());
        benchmark::DoNotOptimize(d);
        FreeDrawing(d);
    }
}

BENCHMARK(BM_RenderWholePage1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenderUpdate50x50Of1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RasteriseWholePage1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RasteriseUpdate50x50Of1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SymbolFromPoint10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadDrawing10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
