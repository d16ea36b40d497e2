// Fuzzing the drawing file reader, and the layout, rendering and hit testing of
// whatever it accepts.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "raster.h"
#include "scene.h"
#include "text_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    cvl::LoadError error;
    auto drawing = cvl::ParseDrawing(std::string_view(reinterpret_cast<const char*>(data), size), error);
    if (!drawing) return 0;
    cvl::Scene scene(*drawing);
    scene.SetMapping(cvl::Scene::FitPage(*drawing, {0, 0, 64, 48}, true, 100));
    std::vector<uint32_t> pixels(64 * 48);
    cvl::Canvas canvas;
    canvas.pixels = pixels.data();
    canvas.stride = 64;
    canvas.area = {0, 0, 64, 48};
    canvas.clip = {3, 5, 60, 40};
    cvl::RenderOptions options;
    options.hiddenBounds = true;
    options.paper = true;
    scene.Render(canvas, options);
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 9) scene.HitTest({x + 0.5, y + 0.5}, 2, (x + y) % 2 == 0);
    return 0;
}
