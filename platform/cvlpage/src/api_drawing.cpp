// Exported functions over whole drawings: loading, painting, palette, enumeration.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "api_support.h"
#include "gdi_target.h"

using namespace cvl;

namespace {

// Handles of the symbols an enumeration will visit, taken before any callback runs so
// that callbacks may restack, hide or move symbols without upsetting the visit.
void Collect(const Drawing& d, const std::vector<std::unique_ptr<Symbol>>& list, int options,
             std::vector<uint32_t>& out) {
    auto visit = [&](const Symbol& s) {
        if (!(options & CVL_ENUM_ALL) && !d.Shown(s)) return;
        out.push_back(s.handle);
        if ((options & CVL_ENUM_NESTED) && !s.members.empty()) Collect(d, s.members, options, out);
    };
    if (options & CVL_ENUM_BOTTOM_UP)
        for (const auto& s : list) visit(*s);
    else
        for (auto it = list.rbegin(); it != list.rend(); ++it) visit(**it);
}

// A callback that frees the drawing must also stop the visit: an engine that walks
// its own symbol list would go on through freed memory. Here the visit ends and the
// next symbol is counted as a stale use, so tests see the fault.
int RunEnumeration(const char* function, uint32_t drawing, const std::vector<uint32_t>& handles,
                   CVLSYMBOLENUMPROC proc, void* context) {
    for (uint32_t h : handles) {
        if (!State().Peek(drawing)) {
            State().RefusedFor(function, drawing, h);
            return 0;
        }
        if (proc(h, context) != 0) return 1;
    }
    return 1;
}

}  // namespace

extern "C" {

CVLDRAWING WINAPI LoadDrawing(LPCSTR path) {
    auto& state = State();
    state.BeginCall("LoadDrawing", 0, 0, [&] { return Quote(path); });
    LoadError error;
    std::unique_ptr<Drawing> drawing = LoadDrawingFile(path, error);
    if (!drawing) {
        state.lastLoadError = error;
        return 0;
    }
    state.lastLoadError = LoadError{};
    return state.Add(std::move(drawing));
}

int WINAPI FreeDrawing(CVLDRAWING drawing) {
    auto& state = State();
    state.BeginCall("FreeDrawing", drawing, 0, [&] { return Args(drawing); });
    if (!state.FindDrawing(drawing)) return 0;
    return state.Free(drawing) ? 1 : 0;
}

int WINAPI DrawPage(CVLDRAWING drawing, HDC dc, const RECT* page, const RECT* update, int layer, int mode,
                    DWORD flags, int zoomPercent) {
    auto& state = State();
    state.BeginCall("DrawPage", drawing, 0, [&] {
        return Args(drawing, RectText(page), RectText(update), layer, mode, Hex(flags), zoomPercent);
    });
    LoadedDrawing* d = state.FindDrawing(drawing);
    if (!d || !page || (mode != CVL_MODE_RENDER && mode != CVL_MODE_LAYOUT)) return 0;
    const bool printing = (flags & CVL_DRAW_PRINTING) != 0;
    DWORD options = flags;
    if (flags & CVL_DRAW_INCREMENTAL)
        options = d->lastFullFlags;
    else if (!printing)
        d->lastFullFlags = flags;
    const PixelRect pageRect = ToPixelRect(*page);
    PageMapping mapping = Scene::FitPage(*d->drawing, pageRect, (options & CVL_DRAW_FIT) != 0, zoomPercent);
    // A print pass maps the drawing onto the printer's page without moving the
    // coordinates that hit tests and edits use on screen.
    const PageMapping screenMapping = d->scene->Mapping();
    d->scene->SetMapping(mapping);
    int result = 1;
    if (mode == CVL_MODE_RENDER) {
        PixelRect clip = update ? pageRect.Intersect(ToPixelRect(*update)) : pageRect;
        // No device is larger than this; a wild rectangle must not mean endless work.
        constexpr int64_t kMaxSide = 1 << 15;
        if (int64_t{clip.right} - clip.left > kMaxSide) clip.right = static_cast<int32_t>(clip.left + kMaxSide);
        if (int64_t{clip.bottom} - clip.top > kMaxSide) clip.bottom = static_cast<int32_t>(clip.top + kMaxSide);
        RenderOptions render;
        render.paper = (options & CVL_DRAW_PAPER) != 0;
        render.hiddenBounds = (options & CVL_DRAW_HIDDEN_BOUNDS) != 0;
        render.layer = layer;
        result = dc && PaintIntoDC(dc, clip, *d->scene, render, printing) ? 1 : 0;
    }
    if (printing) d->scene->SetMapping(screenMapping);
    return result;
}

HPALETTE WINAPI GetDrawingPalette(void) {
    auto& state = State();
    state.BeginCall("GetDrawingPalette", 0, 0, [] { return std::string(); });
    // A colour cube of 6 levels per primary and a ramp of greys: the colours the
    // engine's drawings look right in on a palette display. The caller owns the handle.
    struct {
        WORD version, count;
        PALETTEENTRY entries[256];
    } palette;
    palette.version = 0x300;
    palette.count = 0;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.entries[palette.count++] = {static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51),
                                                    static_cast<BYTE>(b * 51), 0};
    for (int i = 1; i <= 24; ++i) {
        BYTE v = static_cast<BYTE>(i * 255 / 25);
        palette.entries[palette.count++] = {v, v, v, 0};
    }
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&palette));
}

int WINAPI EnumSymbols(CVLDRAWING drawing, CVLSYMBOLENUMPROC proc, void* context, int options) {
    auto& state = State();
    state.BeginCall("EnumSymbols", drawing, 0, [&] { return Args(drawing, options); });
    LoadedDrawing* d = state.FindDrawing(drawing);
    if (!d || !proc) return 0;
    std::vector<uint32_t> handles;
    Collect(*d->drawing, d->drawing->symbols, options, handles);
    return RunEnumeration("EnumSymbols", drawing, handles, proc, context);
}

int WINAPI EnumGroupedSymbol(CVLDRAWING drawing, CVLSYMBOL group, CVLSYMBOLENUMPROC proc, void* context,
                             int options) {
    auto& state = State();
    state.BeginCall("EnumGroupedSymbol", drawing, group, [&] { return Args(drawing, group, options); });
    LoadedDrawing* d = nullptr;
    Symbol* g = state.FindSymbol(drawing, group, d);
    if (!g || !proc) return 0;
    std::vector<uint32_t> handles;
    Collect(*d->drawing, g->members, options, handles);
    return RunEnumeration("EnumGroupedSymbol", drawing, handles, proc, context);
}

}  // extern "C"
