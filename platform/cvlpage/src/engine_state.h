// The engine's process-wide state: the loaded drawings by handle, symbol handles,
// the stale-handle count, the journal and the latest load error.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "model.h"
#include "scene.h"
#include "text_format.h"

namespace cvl {

struct LoadedDrawing {
    virtual ~LoadedDrawing() = default;
    uint32_t handle = 0;
    std::unique_ptr<Drawing> drawing;
    std::unique_ptr<Scene> scene;
    // Symbol handles are given out one after another at load, so the handle's distance
    // from the first finds the symbol (the count wraps past the largest handle to 1).
    uint32_t firstSymbol = 0;
    std::vector<Symbol*> symbols;  // in handle order
    Symbol* SymbolOf(uint32_t handle) const;
    DWORD lastFullFlags = 0x9;  // the options that incremental passes repeat
};

class EngineState {
public:
    static EngineState& Get();
    virtual ~EngineState() = default;

    uint32_t Add(std::unique_ptr<Drawing> drawing);
    bool Free(uint32_t handle);
    // Null (and counted as stale) for 0 or an unknown handle.
    LoadedDrawing* FindDrawing(uint32_t handle);
    // Null (and counted) when the symbol is 0 or not one of the drawing's.
    Symbol* FindSymbol(LoadedDrawing& d, uint32_t symbol);
    // Looks up without counting a refusal.
    LoadedDrawing* Peek(uint32_t handle) {
        auto it = drawings_.find(handle);
        return it == drawings_.end() ? nullptr : it->second.get();
    }
    // Both checks at once; `d` is set when the symbol is found.
    Symbol* FindSymbol(uint32_t drawing, uint32_t symbol, LoadedDrawing*& d);

    // Notes the call for the stale-handle report and, when on, the journal;
    // `describe` gives the argument list and runs only for the journal.
    template <typename F>
    void BeginCall(const char* function, uint32_t drawing, uint32_t symbol, F&& describe) {
        currentFunction_ = function;
        currentDrawing_ = drawing;
        currentSymbol_ = symbol;
        if (journalOn) Record(std::string(function) + "(" + describe() + ")");
    }
    void Refused();
    // Counts a refusal for a call other than the latest one begun: an enumeration
    // whose callback freed the drawing without asking the visit to stop.
    void RefusedFor(const char* function, uint32_t drawing, uint32_t symbol);

    LoadError lastLoadError;
    unsigned staleCount = 0;
    std::string lastStaleCall;
    bool journalOn = false;
    std::deque<std::string> journal;
    size_t LiveDrawings() const { return drawings_.size(); }

private:
    std::unordered_map<uint32_t, std::unique_ptr<LoadedDrawing>> drawings_;
    uint32_t lastFound_ = 0;
    LoadedDrawing* lastFoundDrawing_ = nullptr;
    uint32_t nextDrawing_ = 1;
    uint32_t nextSymbol_ = 1;
    void Record(std::string entry);
    const char* currentFunction_ = "";
    uint32_t currentDrawing_ = 0, currentSymbol_ = 0;
};

// Journal formatting.
std::string Quote(const char* text);
std::string RectText(const RECT* r);
std::string PointText(const POINT* p);
std::string Hex(DWORD v);

}  // namespace cvl
