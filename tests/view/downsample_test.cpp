// The averaging step of antialiased rendering, against a plain reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "antialias.h"

namespace {

LONG RowSize(LONG width, int depth) { return ((width * depth + 31) / 32) * 4; }

struct Images {
    std::vector<BYTE> source, destination;
};

// With extremes, every source byte is one of the four smallest or largest values,
// so that sums of four reach their limits and carry in every way.
Images RandomImages(std::mt19937& random, int depth, LONG width, LONG height, bool extremes = false) {
    Images images;
    images.source.resize(size_t(RowSize(2 * width, 24)) * 2 * height);
    images.destination.resize(size_t(RowSize(width, depth)) * height);
    for (BYTE& b : images.source) {
        const unsigned value = random();
        b = extremes ? BYTE(value & 4 ? 252 + (value & 3) : value & 3) : BYTE(value);
    }
    for (BYTE& b : images.destination) b = BYTE(random());
    return images;
}

TEST(Downsample2x, MatchesTheReferenceOnRandomImagesAtBothDepths) {
    std::mt19937 random(20261210);
    // Odd widths exercise row padding; one-pixel regions and regions touching the
    // right edge exercise the end of a row; every width up to 30 the changes from
    // blocks taken twelve or three at a time to single ones.
    std::vector<std::pair<LONG, LONG>> sizes = {{33, 9}, {64, 3}, {203, 4}};
    for (LONG width = 1; width <= 30; ++width) sizes.push_back({width, 1 + width % 3});
    for (int depth : {24, 32}) {
        for (const auto& [width, height] : sizes) {
            for (int trial = 0; trial < 20; ++trial) {
                std::uniform_int_distribution<LONG> xs(0, width), ys(0, height);
                LONG x0 = xs(random), x1 = xs(random), y0 = ys(random), y1 = ys(random);
                if (trial == 0) x0 = 0, x1 = width, y0 = 0, y1 = height;
                const RECT region = {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
                if (region.left == region.right || region.top == region.bottom) continue;
                Images images = RandomImages(random, depth, width, height, trial % 2 == 1);
                std::vector<BYTE> expected = images.destination;
                ASSERT_TRUE(Downsample2xReference(images.source.data(), expected.data(), depth, width, height, region));
                ASSERT_TRUE(Downsample2x(images.source.data(), images.destination.data(), depth, width, height, region));
                ASSERT_EQ(images.destination, expected)
                    << depth << " bits, " << width << " x " << height << ", region (" << region.left << ", "
                    << region.top << ", " << region.right << ", " << region.bottom << ")";
            }
        }
    }
}

// One 1 x 1 cache pixel from a 2 x 2 block given as four (blue, green, red) pixels.
std::vector<BYTE> AverageBlock(const BYTE block[4][3], int depth) {
    // Source rows are 2 pixels of 3 bytes, padded to 8 bytes.
    std::vector<BYTE> source(16, 0xEE);
    for (int i = 0; i < 4; ++i)
        for (int c = 0; c < 3; ++c) source[(i / 2) * 8 + (i % 2) * 3 + c] = block[i][c];
    std::vector<BYTE> destination(4, 0xAA);
    const RECT region = {0, 0, 1, 1};
    EXPECT_TRUE(Downsample2x(source.data(), destination.data(), depth, 1, 1, region));
    return destination;
}

TEST(Downsample2x, DropsTheRemainderOfEachByteAverage) {
    struct Case {
        const char* what;
        BYTE block[4][3];
        BYTE expected[3];
    } cases[] = {
        {"three 255 and one 254 red bytes", {{0, 0, 255}, {0, 0, 255}, {0, 0, 255}, {0, 0, 254}}, {0, 0, 254}},
        {"equal bytes stay", {{17, 99, 200}, {17, 99, 200}, {17, 99, 200}, {17, 99, 200}}, {17, 99, 200}},
        {"two black and two white", {{0, 0, 0}, {255, 255, 255}, {255, 255, 255}, {0, 0, 0}}, {127, 127, 127}},
        {"largest sum", {{255, 255, 255}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}}, {255, 255, 255}},
        {"sum 3 gives 0", {{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {0, 0, 0}}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        std::vector<BYTE> at24 = AverageBlock(c.block, 24);
        std::vector<BYTE> at32 = AverageBlock(c.block, 32);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(at24[i], c.expected[i]) << c.what << ", byte " << i;
            EXPECT_EQ(at32[i], c.expected[i]) << c.what << ", byte " << i << " at 32 bits";
        }
        EXPECT_EQ(at24[3], 0xAA) << c.what << ": a 24-bit row's padding is not written";
        EXPECT_EQ(at32[3], 0) << c.what << ": the unused byte of a BGRX pixel is 0";
    }
}

TEST(Downsample2x, RefusesWithoutChangingAnything) {
    std::vector<BYTE> source(64, 200), destination(16, 7);
    const RECT whole = {0, 0, 2, 2};
    struct Case {
        const char* what;
        const BYTE* source;
        BYTE* destination;
        int depth;
        LONG width, height;
        RECT region;
    } cases[] = {
        {"no source", nullptr, destination.data(), 24, 2, 2, whole},
        {"no destination", source.data(), nullptr, 24, 2, 2, whole},
        {"zero width", source.data(), destination.data(), 24, 0, 2, whole},
        {"negative height", source.data(), destination.data(), 24, 2, -2, whole},
        {"16 bits", source.data(), destination.data(), 16, 2, 2, whole},
        {"8 bits", source.data(), destination.data(), 8, 2, 2, whole},
        {"empty region", source.data(), destination.data(), 24, 2, 2, {1, 0, 1, 2}},
        {"region outside the image", source.data(), destination.data(), 24, 2, 2, {2, 2, 5, 5}},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Downsample2x(c.source, c.destination, c.depth, c.width, c.height, c.region)) << c.what;
        EXPECT_EQ(destination, std::vector<BYTE>(16, 7)) << c.what;
    }
}

TEST(Downsample2x, ClipsARegionReachingPastTheImage) {
    std::mt19937 random(7);
    Images images = RandomImages(random, 24, 3, 3);
    std::vector<BYTE> expected = images.destination;
    ASSERT_TRUE(Downsample2xReference(images.source.data(), expected.data(), 24, 3, 3, RECT{1, 1, 3, 3}));
    ASSERT_TRUE(Downsample2x(images.source.data(), images.destination.data(), 24, 3, 3, RECT{1, 1, 9, 9}));
    EXPECT_EQ(images.destination, expected);
}

}  // namespace
