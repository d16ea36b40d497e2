#include "engine_state.h"

#include <cstdio>

namespace cvl {

namespace {
// Drawing handles carry a high tag and symbol handles do not, so that a drawing
// handle passed as a symbol (or the other way round) is caught too.
constexpr uint32_t kDrawingTag = 0x40000000;
constexpr uint32_t kCounterMask = 0x3FFFFFFF;
constexpr size_t kJournalLimit = 100000;
}  // namespace

EngineState& EngineState::Get() {
    static EngineState* state = new EngineState;  // lives as long as the process
    return *state;
}

uint32_t EngineState::Add(std::unique_ptr<Drawing> drawing) {
    auto loaded = std::make_unique<LoadedDrawing>();
    loaded->handle = kDrawingTag | (nextDrawing_++ & kCounterMask);
    loaded->firstSymbol = nextSymbol_;
    drawing->ForEach([&](const Symbol& s) {
        Symbol& mutableSymbol = const_cast<Symbol&>(s);
        mutableSymbol.handle = nextSymbol_;
        loaded->symbols.push_back(&mutableSymbol);
        nextSymbol_ = (nextSymbol_ & kCounterMask) + 1;
        if (nextSymbol_ > kCounterMask) nextSymbol_ = 1;
    });
    loaded->drawing = std::move(drawing);
    loaded->scene = std::make_unique<Scene>(*loaded->drawing);
    uint32_t handle = loaded->handle;
    drawings_[handle] = std::move(loaded);
    return handle;
}

bool EngineState::Free(uint32_t handle) {
    if (handle == lastFound_) {
        lastFound_ = 0;
        lastFoundDrawing_ = nullptr;
    }
    return drawings_.erase(handle) > 0;
}

LoadedDrawing* EngineState::FindDrawing(uint32_t handle) {
    // Calls come in runs for one drawing: the last one found is asked about first.
    if (handle != 0 && handle == lastFound_) return lastFoundDrawing_;
    auto it = drawings_.find(handle);
    if (it == drawings_.end()) {
        Refused();
        return nullptr;
    }
    lastFound_ = handle;
    lastFoundDrawing_ = it->second.get();
    return lastFoundDrawing_;
}

Symbol* LoadedDrawing::SymbolOf(uint32_t handle) const {
    // Handles below the first were given out after the count wrapped.
    const uint64_t distance = handle >= firstSymbol ? uint64_t{handle} - firstSymbol
                                                    : uint64_t{kCounterMask} - firstSymbol + handle;
    if (distance >= symbols.size()) return nullptr;
    Symbol* s = symbols[static_cast<size_t>(distance)];
    return s->handle == handle ? s : nullptr;
}

Symbol* EngineState::FindSymbol(LoadedDrawing& d, uint32_t symbol) {
    Symbol* s = d.SymbolOf(symbol);
    if (!s) Refused();
    return s;
}

Symbol* EngineState::FindSymbol(uint32_t drawing, uint32_t symbol, LoadedDrawing*& d) {
    d = FindDrawing(drawing);
    return d ? FindSymbol(*d, symbol) : nullptr;
}

void EngineState::Record(std::string entry) {
    if (journal.size() >= kJournalLimit) journal.pop_front();
    journal.push_back(std::move(entry));
}

void EngineState::Refused() { RefusedFor(currentFunction_, currentDrawing_, currentSymbol_); }

void EngineState::RefusedFor(const char* function, uint32_t drawing, uint32_t symbol) {
    ++staleCount;
    lastStaleCall = std::string(function) + "(" + std::to_string(drawing) + ", " + std::to_string(symbol) + ")";
    if (journalOn) Record("refused " + lastStaleCall);
}

std::string Quote(const char* text) {
    if (!text) return "null";
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20 || c == 0x7F) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\x%02X", c);
                    out += buf;
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

std::string RectText(const RECT* r) {
    if (!r) return "null";
    return "(" + std::to_string(r->left) + "," + std::to_string(r->top) + "," + std::to_string(r->right) + "," +
           std::to_string(r->bottom) + ")";
}

std::string PointText(const POINT* p) {
    if (!p) return "null";
    return "(" + std::to_string(p->x) + "," + std::to_string(p->y) + ")";
}

std::string Hex(DWORD v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%X", static_cast<unsigned>(v));
    return buf;
}

}  // namespace cvl
