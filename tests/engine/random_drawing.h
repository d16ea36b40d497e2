// Drawings of random symbols of every kind, for comparing fast paths with plain ones
// and for measuring.
#pragma once

#include <random>
#include <string>

namespace enginetest {

// Every symbol kind, rotated, grouped and overlapping, in random places.
// `extent` bounds the size of each shape, in units of the 1000 x 800 page.
inline std::string RandomDrawing(unsigned seed, int count, int extent = 1000) {
    std::mt19937 rng(seed);
    auto n = [&](int lo, int hi) { return std::to_string(std::uniform_int_distribution<int>(lo, hi)(rng)); };
    int cx = 0, cy = 0;
    // A second corner within `extent` of the first.
    auto fx = [&] { return std::to_string(cx + std::uniform_int_distribution<int>(-extent, extent)(rng)); };
    auto fy = [&] { return std::to_string(cy + std::uniform_int_distribution<int>(-extent, extent)(rng)); };
    std::string t = "vkdrawing 1\npage 1000 800\nlayer 1 shown\nlayer 2 hidden\n";
    for (int i = 0; i < count; ++i) {
        int kind = i % 6;
        cx = std::uniform_int_distribution<int>(-20, 990)(rng);
        cy = std::uniform_int_distribution<int>(-20, 790)(rng);
        std::string x = std::to_string(cx), y = std::to_string(cy);
        std::string shape;
        switch (kind) {
            case 0: t += "symbol rectangle\n box " + x + " " + y + " " + fx() + " " + fy() + "\n"; break;
            case 1: t += "symbol ellipse\n box " + x + " " + y + " " + fx() + " " + fy() + "\n"; break;
            case 2: t += "symbol polygon\n points " + x + " " + y + " " + fx() + " " + fy() + " " + fx() + " " + fy() + "\n"; break;
            case 3: t += "symbol polyline\n points " + x + " " + y + " " + fx() + " " + fy() + "\n"; break;
            case 4: t += "symbol text\n at " + x + " " + y + "\n text \"Ab" + n(0, 99) + "\"\n size " + n(5, 40) + "\n"; break;
            case 5: t += "symbol group\n symbol rectangle\n  box " + x + " " + y + " " + fx() + " " + fy() + "\n end\n"; break;
        }
        int fill = std::uniform_int_distribution<int>(0, 2)(rng);
        if (kind != 5 && kind != 4) t += fill == 0 ? " fill none\n" : fill == 1 ? " fill hatch #102030\n" : " fill #" + std::string(1, "0123456789ABCDEF"[i % 16]) + "08040\n";
        if (kind != 5) t += " stroke #40" + std::string(1, "0123456789ABCDEF"[(i / 16) % 16]) + "020 " + n(0, 6) + "\n";
        if (i % 7 == 0) t += " rotate " + n(-180, 180) + "\n";
        if (i % 11 == 0) t += " hidden\n";
        if (i % 13 == 0) t += " layer 2\n";
        t += "end\n";
    }
    return t;
}

}  // namespace enginetest
