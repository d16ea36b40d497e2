// Helpers shared by the files that implement the exported functions.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "engine_state.h"
#include "exports.h"

namespace cvl {

inline EngineState& State() { return EngineState::Get(); }

// Journal argument lists: numbers in decimal, texts already formatted.
inline std::string Arg(const std::string& v) { return v; }
inline std::string Arg(long long v) { return std::to_string(v); }
inline std::string Arg(unsigned long long v) { return std::to_string(v); }
inline std::string Arg(int v) { return std::to_string(v); }
inline std::string Arg(long v) { return std::to_string(v); }
inline std::string Arg(unsigned v) { return std::to_string(v); }
inline std::string Arg(unsigned long v) { return std::to_string(v); }
template <typename T, typename... R>
std::string Args(const T& first, const R&... rest) {
    std::string s = Arg(first);
    ((s += ", " + Arg(rest)), ...);
    return s;
}

// Copies text into a caller's buffer of `size` bytes, always terminated when size > 0.
inline int CopyOut(const std::string& text, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

inline PixelRect ToPixelRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

inline Placement ParentWorld(const Symbol& s) { return s.parent ? WorldPlacement(*s.parent) : Placement{}; }

inline void SetFillTree(Symbol& s, Colour colour, bool members) {
    s.fill = FillKind::Solid;
    s.fillColour = colour;
    if (members)
        for (auto& m : s.members) SetFillTree(*m, colour, true);
}

}  // namespace cvl
