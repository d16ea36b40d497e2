// Exported functions over symbols and layers: queries and edits.
#include <cmath>
#include <vector>

#include "api_support.h"

using namespace cvl;

namespace {

// Breadth first, so that a top-level symbol wins over a nested one of the same name.
Symbol* FindByName(Drawing& d, const std::string& name) {
    std::vector<std::vector<std::unique_ptr<Symbol>>*> level{&d.symbols}, next;
    while (!level.empty()) {
        next.clear();
        for (auto* list : level)
            for (auto& s : *list) {
                if (s->named && !s->name.empty() && s->name == name) return s.get();
                if (!s->members.empty()) next.push_back(&s->members);
            }
        level.swap(next);
    }
    return nullptr;
}

// Moves the symbol within its siblings: to `target` index, clamped.
int Restack(LoadedDrawing& d, Symbol& s, long target) {
    auto& list = d.drawing->SiblingsOf(s);
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == &s; });
    if (it == list.end()) return 0;
    long from = it - list.begin();
    target = std::clamp<long>(target, 0, static_cast<long>(list.size()) - 1);
    if (target != from) {
        auto owned = std::move(*it);
        list.erase(it);
        list.insert(list.begin() + target, std::move(owned));
        d.scene->Invalidate();
    }
    return 1;
}

long StackIndex(LoadedDrawing& d, Symbol& s) {
    auto& list = d.drawing->SiblingsOf(s);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == &s) return static_cast<long>(i);
    return 0;
}

}  // namespace

extern "C" {

CVLSYMBOL WINAPI SymbolFromName(CVLDRAWING drawing, LPCSTR name) {
    auto& state = State();
    state.BeginCall("SymbolFromName", drawing, 0, [&] { return Args(drawing, Quote(name)); });
    LoadedDrawing* d = state.FindDrawing(drawing);
    if (!d || !name) return 0;
    Symbol* s = FindByName(*d->drawing, name);
    return s ? s->handle : 0;
}

CVLSYMBOL WINAPI SymbolFromPoint(CVLDRAWING drawing, const POINT* point, int* tolerance, int options) {
    auto& state = State();
    state.BeginCall("SymbolFromPoint", drawing, 0, [&] {
        return Args(drawing, PointText(point), tolerance ? std::to_string(*tolerance) : std::string("null"), options);
    });
    LoadedDrawing* d = state.FindDrawing(drawing);
    if (!d || !point) return 0;
    double reach = tolerance ? *tolerance : 0;
    // Pixel centres, as the renderer paints them.
    Point p{point->x + 0.5, point->y + 0.5};
    Symbol* s = d->scene->HitTest(p, reach, (options & CVL_HIT_INNERMOST) != 0);
    return s ? s->handle : 0;
}

int WINAPI GetSymbolRect(CVLDRAWING drawing, CVLSYMBOL symbol, RECT* bounds) {
    auto& state = State();
    state.BeginCall("GetSymbolRect", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s || !bounds) return 0;
    PixelRect r = d->scene->DevicePixels(*s);
    if (r.Empty()) return 0;
    bounds->left = r.left;
    bounds->top = r.top;
    bounds->right = r.right;
    bounds->bottom = r.bottom;
    return 1;
}

int WINAPI GetSymbolNameLength(CVLDRAWING drawing, CVLSYMBOL symbol) {
    auto& state = State();
    state.BeginCall("GetSymbolNameLength", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s) return -1;
    return s->named ? static_cast<int>(s->name.size()) : 0;
}

int WINAPI GetSymbolName(CVLDRAWING drawing, CVLSYMBOL symbol, LPSTR buffer, int size) {
    auto& state = State();
    state.BeginCall("GetSymbolName", drawing, symbol, [&] { return Args(drawing, symbol, size); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s) return CopyOut("", buffer, size);
    return CopyOut(s->name, buffer, size);
}

int WINAPI GetPropertyLength(CVLDRAWING drawing, CVLSYMBOL symbol, LPCSTR name) {
    auto& state = State();
    state.BeginCall("GetPropertyLength", drawing, symbol, [&] { return Args(drawing, symbol, Quote(name)); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s || !name) return -1;
    const Property* p = s->FindProperty(name);
    return p ? static_cast<int>(p->value.size()) : -1;
}

int WINAPI GetProperty(CVLDRAWING drawing, CVLSYMBOL symbol, LPCSTR name, LPSTR buffer, int size) {
    auto& state = State();
    state.BeginCall("GetProperty", drawing, symbol, [&] { return Args(drawing, symbol, Quote(name), size); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    const Property* p = s && name ? s->FindProperty(name) : nullptr;
    return CopyOut(p ? p->value : std::string(), buffer, size);
}

int WINAPI SetProperty(CVLDRAWING drawing, CVLSYMBOL symbol, LPCSTR name, LPCSTR value) {
    auto& state = State();
    state.BeginCall("SetProperty", drawing, symbol, [&] { return Args(drawing, symbol, Quote(name), Quote(value)); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s || !name) return 0;
    s->SetProperty(name, value ? value : "");
    return 1;
}

int WINAPI GetSymbolVisibleFlag(CVLDRAWING drawing, CVLSYMBOL symbol) {
    auto& state = State();
    state.BeginCall("GetSymbolVisibleFlag", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    return s && s->visible ? 1 : 0;
}

int WINAPI SetSymbolVisibleFlag(CVLDRAWING drawing, CVLSYMBOL symbol, int visible) {
    auto& state = State();
    state.BeginCall("SetSymbolVisibleFlag", drawing, symbol, [&] { return Args(drawing, symbol, visible); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s) return 0;
    s->visible = visible != 0;
    return 1;
}

int WINAPI GetLayerVisibleFlag(CVLDRAWING drawing, int layer) {
    auto& state = State();
    state.BeginCall("GetLayerVisibleFlag", drawing, 0, [&] { return Args(drawing, layer); });
    LoadedDrawing* d = state.FindDrawing(drawing);
    return d && d->drawing->LayerVisible(layer) ? 1 : 0;
}

int WINAPI SetLayerVisibleFlag(CVLDRAWING drawing, int layer, int visible) {
    auto& state = State();
    state.BeginCall("SetLayerVisibleFlag", drawing, 0, [&] { return Args(drawing, layer, visible); });
    LoadedDrawing* d = state.FindDrawing(drawing);
    if (!d || layer < 1 || layer > static_cast<int>(d->drawing->layers.size())) return 0;
    d->drawing->layers[layer - 1].visible = visible != 0;
    return 1;
}

int WINAPI GetNumberOfLayers(CVLDRAWING drawing) {
    auto& state = State();
    state.BeginCall("GetNumberOfLayers", drawing, 0, [&] { return Args(drawing); });
    LoadedDrawing* d = state.FindDrawing(drawing);
    return d ? static_cast<int>(d->drawing->layers.size()) : 0;
}

int WINAPI SetCurrentLayer(CVLDRAWING drawing, int layer) {
    auto& state = State();
    state.BeginCall("SetCurrentLayer", drawing, 0, [&] { return Args(drawing, layer); });
    LoadedDrawing* d = state.FindDrawing(drawing);
    if (!d || layer < 1 || layer > static_cast<int>(d->drawing->layers.size())) return 0;
    d->drawing->currentLayer = layer;
    return 1;
}

int WINAPI GetSymbolFillType(CVLDRAWING drawing, CVLSYMBOL symbol, int* fillType) {
    auto& state = State();
    state.BeginCall("GetSymbolFillType", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s || !fillType) return 0;
    *fillType = static_cast<int>(s->fill);
    return 1;
}

int WINAPI GetSolidSymbolFill(CVLDRAWING drawing, CVLSYMBOL symbol, COLORREF* colour) {
    auto& state = State();
    state.BeginCall("GetSolidSymbolFill", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s || !colour) return 0;
    *colour = s->fillColour;
    return s->fill == FillKind::Solid ? 1 : 0;
}

int WINAPI SetSolidSymbolFill(CVLDRAWING drawing, CVLSYMBOL symbol, COLORREF colour, int scope) {
    auto& state = State();
    state.BeginCall("SetSolidSymbolFill", drawing, symbol, [&] { return Args(drawing, symbol, Hex(colour), scope); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s) return 0;
    // Palette-relative and palette-index tags in the high byte do not belong to the colour.
    SetFillTree(*s, colour & 0xFFFFFF, scope == CVL_FILL_WITH_MEMBERS);
    return 1;
}

int WINAPI SetSymbolText(CVLDRAWING drawing, CVLSYMBOL symbol, LPCSTR text) {
    auto& state = State();
    state.BeginCall("SetSymbolText", drawing, symbol, [&] { return Args(drawing, symbol, Quote(text)); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s || s->kind == SymbolKind::Group) return 0;
    // Drawn text is kept to the length a file may give it, which bounds its glyphs.
    s->text = text ? std::string(text).substr(0, FormatLimits::maxTextBytes) : std::string();
    d->scene->Invalidate(*s);
    return 1;
}

int WINAPI MoveSymbol(CVLDRAWING drawing, CVLSYMBOL symbol, const POINT* offset) {
    auto& state = State();
    state.BeginCall("MoveSymbol", drawing, symbol, [&] { return Args(drawing, symbol, PointText(offset)); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s || !offset) return 0;
    const double scale = d->scene->Mapping().scale;
    // Device offset to drawing units, then into the frame of the enclosing group.
    Point local = Rotate(Point{offset->x / scale, offset->y / scale}, -ParentWorld(*s).tenths);
    s->placement = s->placement.Moved(local.x, local.y);
    d->scene->Invalidate(*s);
    return 1;
}

int WINAPI RotateSymbol(CVLDRAWING drawing, CVLSYMBOL symbol, short angle, const POINT* centre) {
    auto& state = State();
    state.BeginCall("RotateSymbol", drawing, symbol, [&] { return Args(drawing, symbol, angle, PointText(centre)); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    if (!s || !centre) return 0;
    Point c = d->scene->Mapping().ToDrawing(Point{static_cast<double>(centre->x), static_cast<double>(centre->y)});
    s->placement = s->placement.Turned(angle, ParentWorld(*s).Unapply(c));
    d->scene->Invalidate(*s);
    return 1;
}

int WINAPI MoveSymbolToTop(CVLDRAWING drawing, CVLSYMBOL symbol) {
    auto& state = State();
    state.BeginCall("MoveSymbolToTop", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    return s ? Restack(*d, *s, static_cast<long>(d->drawing->SiblingsOf(*s).size())) : 0;
}

int WINAPI StepSymbolUp(CVLDRAWING drawing, CVLSYMBOL symbol) {
    auto& state = State();
    state.BeginCall("StepSymbolUp", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    return s ? Restack(*d, *s, StackIndex(*d, *s) + 1) : 0;
}

int WINAPI MoveSymbolToBottom(CVLDRAWING drawing, CVLSYMBOL symbol) {
    auto& state = State();
    state.BeginCall("MoveSymbolToBottom", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    return s ? Restack(*d, *s, 0) : 0;
}

int WINAPI StepSymbolDown(CVLDRAWING drawing, CVLSYMBOL symbol) {
    auto& state = State();
    state.BeginCall("StepSymbolDown", drawing, symbol, [&] { return Args(drawing, symbol); });
    LoadedDrawing* d = nullptr;
    Symbol* s = state.FindSymbol(drawing, symbol, d);
    return s ? Restack(*d, *s, StackIndex(*d, *s) - 1) : 0;
}

}  // extern "C"
