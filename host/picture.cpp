#include "png_file.h"

namespace vkhost {

Picture::Picture(int w, int h, COLORREF fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

void Picture::Paste(const Picture& source, int x, int y) {
    for (int row = 0; row < source.height; ++row) {
        int ty = y + row;
        if (ty < 0 || ty >= height) continue;
        for (int column = 0; column < source.width; ++column) {
            int tx = x + column;
            if (tx < 0 || tx >= width) continue;
            pixels[static_cast<size_t>(ty) * width + tx] = source.At(column, row);
        }
    }
}

}  // namespace vkhost
