// Pictures the browser saves: screenshots of the page and printed pages.
#ifndef HOST_PNG_FILE_H
#define HOST_PNG_FILE_H

#include <windows.h>

#include <string>
#include <vector>

namespace vkhost {

// An RGB picture, rows top first, pixels as COLORREF (red in the lowest byte).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;

    Picture() = default;
    Picture(int width, int height, COLORREF fill);
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Copies `source` with its top-left corner at (x, y), clipped to this picture.
    void Paste(const Picture& source, int x, int y);
};

// Writes an 8-bit RGB PNG. Returns false, with `error` set, when the file cannot be written.
bool WritePng(const std::string& path, const Picture& picture, std::string& error);

// Reads a PNG into a picture (for tests that compare pixels). False when unreadable.
bool ReadPng(const std::string& path, Picture& picture, std::string& error);

}  // namespace vkhost

#endif
