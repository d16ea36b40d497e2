// Renders a drawing through the engine into a 32-bit DIB section and saves it as PNG:
//   cvlpage_render drawing.vkf out.png [width height [flags]]
// The page is filled white first, as a browser page would be.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cvlpage/diagnostics.h"
#include "engine/engine_api.h"

namespace {

bool WritePng(const char* path, int width, int height, const unsigned char* bits) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        // DIB rows are stored bottom-up as B, G, R, unused.
        const unsigned char* src = bits + static_cast<size_t>(height - 1 - y) * width * 4;
        for (int x = 0; x < width; ++x) {
            row[x * 3 + 0] = src[x * 4 + 2];
            row[x * 3 + 1] = src[x * 4 + 1];
            row[x * 3 + 2] = src[x * 4 + 0];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s drawing.vkf out.png [width height [flags]]\n", argv[0]);
        return 2;
    }
    int width = argc > 4 ? std::atoi(argv[3]) : 640;
    int height = argc > 4 ? std::atoi(argv[4]) : 480;
    DWORD flags = argc > 5 ? static_cast<DWORD>(std::strtoul(argv[5], nullptr, 0)) : 0x9;
    if (width <= 0 || height <= 0 || width > 8000 || height > 8000) {
        std::fprintf(stderr, "bad size\n");
        return 2;
    }
    CVLDRAWING drawing = LoadDrawing(argv[1]);
    if (!drawing) {
        char why[512];
        CvlDiagLoadError(why, sizeof why);
        std::fprintf(stderr, "%s\n", why);
        return 1;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info;
    std::memset(&info, 0, sizeof info);
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    RECT page{0, 0, width, height};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(dc, &page, white);
    DeleteObject(white);
    DrawPage(drawing, dc, &page, nullptr, 0, CVL_MODE_RENDER, flags, CVL_ZOOM_FIT);
    GdiFlush();
    bool ok = WritePng(argv[2], width, height, static_cast<const unsigned char*>(bits));
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
    FreeDrawing(drawing);
    if (!ok) std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return ok ? 0 : 1;
}
