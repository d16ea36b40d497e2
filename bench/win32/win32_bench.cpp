// The window system's share of a paint: copying a cache-sized DIB section to a window
// (the plug-in's one BitBlt per paint), filling it, and a paint through the pump; and
// the window DC the plug-in takes to read the display depth at every pointer move.
#include <benchmark/benchmark.h>

#include <win32_control.h>

namespace {

constexpr int kWidth = 800, kHeight = 600;

struct Scene {
    explicit Scene(int depth)
    {
        w32_reset();
        w32_set_display_depth(depth);
        w32_register_class("Bench", 0, DefWindowProcA, nullptr, FALSE, 0);
        window = w32_create_window("Bench", nullptr, 0, 0, kWidth, kHeight);
        w32_pump();
        BITMAPINFO info{};
        info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), kWidth, kHeight, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        memory = CreateCompatibleDC(nullptr);
        old = SelectObject(memory, dib);
        brush = CreateSolidBrush(RGB(10, 20, 30));
    }
    ~Scene()
    {
        SelectObject(memory, old);
        DeleteDC(memory);
        DeleteObject(dib);
        DeleteObject(brush);
    }
    HWND window = nullptr;
    HBITMAP dib = nullptr;
    HDC memory = nullptr;
    HGDIOBJ old = nullptr;
    HBRUSH brush = nullptr;
};

void BM_BitBltDibToWindow(benchmark::State &state)
{
    Scene scene(int(state.range(0)));
    HDC dc = GetDC(scene.window);
    for (auto _ : state) benchmark::DoNotOptimize(BitBlt(dc, 0, 0, kWidth, kHeight, scene.memory, 0, 0, SRCCOPY));
    ReleaseDC(scene.window, dc);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BitBltDibToWindow)->Arg(32)->Arg(24)->Arg(16)->Unit(benchmark::kMillisecond);

void BM_FillRectDib(benchmark::State &state)
{
    Scene scene(32);
    RECT all{0, 0, kWidth, kHeight};
    for (auto _ : state) benchmark::DoNotOptimize(FillRect(scene.memory, &all, scene.brush));
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_FillRectDib)->Unit(benchmark::kMillisecond);

void BM_SmallInvalidationPumped(benchmark::State &state)
{
    Scene scene(32);
    RECT small{100, 100, 150, 150};
    for (auto _ : state) {
        InvalidateRect(scene.window, &small, FALSE);
        benchmark::DoNotOptimize(w32_pump());
    }
}
BENCHMARK(BM_SmallInvalidationPumped)->Unit(benchmark::kMicrosecond);

// GetDC, GetDeviceCaps and ReleaseDC on a window, while the plug-in's own memory DC
// for antialiasing is held, as at every antialiased pointer move.
void BM_WindowDcDepthCheck(benchmark::State &state)
{
    Scene scene(32);
    for (auto _ : state) {
        HDC dc = GetDC(scene.window);
        benchmark::DoNotOptimize(GetDeviceCaps(dc, BITSPIXEL));
        ReleaseDC(scene.window, dc);
    }
}
BENCHMARK(BM_WindowDcDepthCheck)->Unit(benchmark::kNanosecond);

}  // namespace
