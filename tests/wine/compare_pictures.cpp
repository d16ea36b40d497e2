// compare_pictures EXPECTED.png ACTUAL.png: exit 0 when both show the same pixels;
// otherwise says how many differ, where, and the first difference, and exits 1.
#include <algorithm>
#include <cstdio>
#include <string>

#include "png_file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: compare_pictures EXPECTED.png ACTUAL.png\n");
        return 2;
    }
    vkhost::Picture expected, actual;
    std::string error;
    if (!vkhost::ReadPng(argv[1], expected, error) || !vkhost::ReadPng(argv[2], actual, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    if (expected.width != actual.width || expected.height != actual.height) {
        std::printf("size %d x %d, expected %d x %d\n", actual.width, actual.height, expected.width, expected.height);
        return 1;
    }
    long differing = 0;
    int left = expected.width, top = expected.height, right = -1, bottom = -1;
    std::string first;
    for (int y = 0; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) {
            COLORREF want = expected.At(x, y), got = actual.At(x, y);
            if (want == got) continue;
            if (differing++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "first at (%d, %d): #%02x%02x%02x, expected #%02x%02x%02x", x, y,
                              GetRValue(got), GetGValue(got), GetBValue(got), GetRValue(want), GetGValue(want),
                              GetBValue(want));
                first = text;
            }
            left = std::min(left, x), top = std::min(top, y);
            right = std::max(right, x), bottom = std::max(bottom, y);
        }
    }
    if (differing == 0) return 0;
    std::printf("%ld pixels differ within (%d, %d)-(%d, %d); %s\n", differing, left, top, right + 1, bottom + 1,
                first.c_str());
    return 1;
}
