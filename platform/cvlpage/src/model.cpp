#include "model.h"

namespace cvl {

const char* KindName(SymbolKind kind) {
    switch (kind) {
        case SymbolKind::Rectangle: return "rectangle";
        case SymbolKind::Ellipse: return "ellipse";
        case SymbolKind::Polygon: return "polygon";
        case SymbolKind::Polyline: return "polyline";
        case SymbolKind::Text: return "text";
        case SymbolKind::Group: return "group";
    }
    return "?";
}

const Property* Symbol::FindProperty(std::string_view propertyName) const {
    for (const auto& p : properties)
        if (p.name == propertyName) return &p;
    return nullptr;
}

void Symbol::SetProperty(const std::string& propertyName, const std::string& value) {
    for (auto& p : properties) {
        if (p.name == propertyName) {
            p.value = value;
            return;
        }
    }
    properties.push_back({propertyName, value});
}

bool Drawing::LayerVisible(int layer) const {
    return layer >= 1 && layer <= static_cast<int>(layers.size()) && layers[layer - 1].visible;
}

bool Drawing::Shown(const Symbol& s) const {
    for (const Symbol* p = &s; p; p = p->parent)
        if (!p->visible || !LayerVisible(p->layer)) return false;
    return true;
}

std::vector<std::unique_ptr<Symbol>>& Drawing::SiblingsOf(const Symbol& s) {
    return s.parent ? s.parent->members : symbols;
}

Placement WorldPlacement(const Symbol& s) {
    Placement p = s.placement;
    for (const Symbol* g = s.parent; g; g = g->parent) p = Placement::Compose(g->placement, p);
    return p;
}

}  // namespace cvl
