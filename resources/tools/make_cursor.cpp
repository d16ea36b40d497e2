// Builds a 32 x 32 monochrome .cur file from a text picture, so the module's
// cursor is kept as something a person can read and edit.
//
//   make_cursor PICTURE.txt OUTPUT.cur
//
// The picture: lines starting with ';' are comments; one line "hotspot X Y"; then
// 32 rows of 32 characters: '#' black, 'o' white, '.' transparent, '~' inverted.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int kSize = 32;
const int kRowBytes = kSize / 8;

void PutWord(std::vector<unsigned char>& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

void PutDword(std::vector<unsigned char>& out, std::uint32_t value) {
    PutWord(out, value & 0xFFFF);
    PutWord(out, value >> 16);
}

int Fail(const std::string& file, int line, const std::string& message) {
    std::cerr << file << ":" << line << ": " << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: make_cursor PICTURE.txt OUTPUT.cur\n";
        return 2;
    }
    const std::string pictureFile = argv[1];
    std::ifstream in(pictureFile);
    if (!in) return Fail(pictureFile, 0, "cannot read");

    int hotspotX = -1;
    int hotspotY = -1;
    std::vector<std::string> rows;
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line.compare(0, 8, "hotspot ") == 0) {
            std::istringstream words(line.substr(8));
            if (!(words >> hotspotX >> hotspotY) || hotspotX < 0 || hotspotX >= kSize || hotspotY < 0 ||
                hotspotY >= kSize) {
                return Fail(pictureFile, lineNumber, "hotspot needs two numbers from 0 to 31");
            }
            continue;
        }
        if (static_cast<int>(line.size()) != kSize) return Fail(pictureFile, lineNumber, "a row has 32 pixels");
        if (line.find_first_not_of("#o.~") != std::string::npos) {
            return Fail(pictureFile, lineNumber, "pixels are '#', 'o', '.' or '~'");
        }
        rows.push_back(line);
    }
    if (static_cast<int>(rows.size()) != kSize) return Fail(pictureFile, lineNumber, "the picture has 32 rows");
    if (hotspotX < 0) return Fail(pictureFile, lineNumber, "no hotspot line");

    // Screen = (screen AND andMask) XOR xorMask: black 0/0, white 0/1,
    // transparent 1/0, inverted 1/1. Both masks are stored bottom row first.
    std::vector<unsigned char> xorMask(kRowBytes * kSize, 0);
    std::vector<unsigned char> andMask(kRowBytes * kSize, 0);
    for (int y = 0; y < kSize; ++y) {
        const int stored = kSize - 1 - y;
        for (int x = 0; x < kSize; ++x) {
            const char pixel = rows[y][x];
            const unsigned char bit = static_cast<unsigned char>(0x80 >> (x % 8));
            if (pixel == 'o' || pixel == '~') xorMask[stored * kRowBytes + x / 8] |= bit;
            if (pixel == '.' || pixel == '~') andMask[stored * kRowBytes + x / 8] |= bit;
        }
    }

    std::vector<unsigned char> image;
    PutDword(image, 40);         // BITMAPINFOHEADER size
    PutDword(image, kSize);      // width
    PutDword(image, kSize * 2);  // height of both masks together
    PutWord(image, 1);           // planes
    PutWord(image, 1);           // bits per pixel
    PutDword(image, 0);          // BI_RGB
    PutDword(image, static_cast<std::uint32_t>(xorMask.size() + andMask.size()));
    PutDword(image, 0);
    PutDword(image, 0);
    PutDword(image, 2);  // colours used
    PutDword(image, 0);
    PutDword(image, 0x00000000);  // colour 0: black
    PutDword(image, 0x00FFFFFF);  // colour 1: white
    image.insert(image.end(), xorMask.begin(), xorMask.end());
    image.insert(image.end(), andMask.begin(), andMask.end());

    std::vector<unsigned char> file;
    PutWord(file, 0);  // reserved
    PutWord(file, 2);  // resource type: cursor
    PutWord(file, 1);  // one image
    file.push_back(kSize);
    file.push_back(kSize);
    file.push_back(2);  // colours
    file.push_back(0);
    PutWord(file, static_cast<unsigned>(hotspotX));
    PutWord(file, static_cast<unsigned>(hotspotY));
    PutDword(file, static_cast<std::uint32_t>(image.size()));
    PutDword(file, 6 + 16);  // the image follows the directory
    file.insert(file.end(), image.begin(), image.end());

    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out) return Fail(argv[2], 0, "cannot write");
    return 0;
}
