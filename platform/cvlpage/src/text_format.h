// Reading drawing files (.vkf, .vk4, .vkw): a line-based text format of our own.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model.h"

namespace cvl {

struct LoadError {
    std::string file;
    int line = 0;    // 1-based; 0 when the error concerns the whole file
    int column = 0;  // 1-based byte column
    std::string message;
    std::string Describe() const;  // "file:line:column: message"
};

// Bounds that keep a hostile file from costing unbounded time or memory.
struct FormatLimits {
    static constexpr size_t maxFileBytes = 64u << 20;
    static constexpr size_t maxSymbols = 1u << 20;
    static constexpr int maxDepth = 64;
    static constexpr size_t maxPoints = 1u << 16;  // per symbol
    static constexpr size_t maxTextBytes = 4096;   // drawn text of one symbol
    static constexpr int maxLayers = 1000;
    static constexpr double maxCoordinate = 1e6;
};

// Parses a whole drawing; on failure returns null and fills `error` (file left empty).
std::unique_ptr<Drawing> ParseDrawing(std::string_view text, LoadError& error);
std::unique_ptr<Drawing> LoadDrawingFile(const char* path, LoadError& error);

}  // namespace cvl
