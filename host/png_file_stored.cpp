// PNG pictures where libpng is not available (the WebAssembly build): written with
// stored (uncompressed) deflate blocks, which every PNG reader accepts. The pixels are
// those the libpng build writes; only the file's size differs.
#include "png_file.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

namespace vkhost {
namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutBigEndian(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

// The zlib stream of `raw` in stored blocks of at most 65535 bytes.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out{0x78, 0x01};
    size_t at = 0;
    do {
        size_t length = std::min<size_t>(65535, raw.size() - at);
        bool last = at + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(uint8_t(length));
        out.push_back(uint8_t(length >> 8));
        out.push_back(uint8_t(~length));
        out.push_back(uint8_t(~length >> 8));
        out.insert(out.end(), raw.begin() + long(at), raw.begin() + long(at + length));
        at += length;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(out, (b << 16) | a);
    return out;
}

}  // namespace

bool WritePng(const std::string& path, const Picture& picture, std::string& error) {
    if (picture.width <= 0 || picture.height <= 0) {
        error = path + ": empty picture";
        return false;
    }
    std::vector<uint8_t> raw;
    raw.reserve(size_t(picture.height) * (1 + 3 * size_t(picture.width)));
    for (int y = 0; y < picture.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < picture.width; ++x) {
            COLORREF c = picture.At(x, y);
            raw.insert(raw.end(), {GetRValue(c), GetGValue(c), GetBValue(c)});
        }
    }
    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(picture.width));
    PutBigEndian(header, uint32_t(picture.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, not interlaced
    std::vector<uint8_t> file{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", StoredZlib(raw));
    PutChunk(file, "IEND", {});
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    if (!out.flush()) {
        error = path + ": cannot write";
        return false;
    }
    return true;
}

bool ReadPng(const std::string& path, Picture&, std::string& error) {
    error = path + ": reading PNG files needs libpng, which this build does not have";
    return false;
}

}  // namespace vkhost
