// The in-memory drawing: its page, layers and a tree of symbols.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "geometry.h"

namespace cvl {

using Colour = uint32_t;  // 0x00BBGGRR, as COLORREF

enum class SymbolKind { Rectangle, Ellipse, Polygon, Polyline, Text, Group };
enum class FillKind { None = 0, Hatch = 1, Solid = 2 };

const char* KindName(SymbolKind kind);

struct Property {
    std::string name;
    std::string value;
};

struct Symbol {
    virtual ~Symbol() = default;

    // What a hit test and an event's property look-ups read come first and together:
    // a pointer move reads them from many symbols it has not touched for a while.
    uint32_t handle = 0;
    SymbolKind kind = SymbolKind::Rectangle;
    int layer = 1;
    FillKind fill = FillKind::None;
    bool visible = true;
    bool stroked = true;
    double strokeWidth = 1;
    std::vector<Property> properties;

    Colour fillColour = 0;
    Colour strokeColour = 0;
    Symbol* parent = nullptr;
    bool named = false;
    std::string name;

    // Shape in the symbol's own units: the box of rectangles and ellipses (two
    // corners), the vertices of polygons and polylines, the anchor of a text.
    std::vector<Point> points;
    std::string text;
    double textSize = 12;

    Placement placement;  // relative to the parent group
    std::vector<std::unique_ptr<Symbol>> members;  // groups only, bottom to top

    const Property* FindProperty(std::string_view propertyName) const;
    void SetProperty(const std::string& propertyName, const std::string& value);
};

struct Layer {
    bool visible = true;
    std::string title;
};

struct Drawing {
    virtual ~Drawing() = default;

    double pageWidth = 0, pageHeight = 0;
    bool hasPaper = false;
    Colour paper = 0xFFFFFF;
    std::vector<Layer> layers;  // layer n is layers[n - 1]
    int currentLayer = 1;
    std::vector<std::unique_ptr<Symbol>> symbols;  // top level, bottom to top

    bool LayerVisible(int layer) const;
    // Shown: own flag on, own layer visible, and every enclosing group shown.
    bool Shown(const Symbol& s) const;
    std::vector<std::unique_ptr<Symbol>>& SiblingsOf(const Symbol& s);
    // Every symbol, each group before its members, in stacking order from the bottom.
    template <typename F>
    void ForEach(F&& visit) const {
        for (const auto& s : symbols) ForEachIn(*s, visit);
    }

private:
    template <typename F>
    static void ForEachIn(const Symbol& s, F& visit) {
        visit(s);
        for (const auto& m : s.members) ForEachIn(*m, visit);
    }
};

// The symbol's full placement, its own composed with its groups'.
Placement WorldPlacement(const Symbol& s);

}  // namespace cvl
