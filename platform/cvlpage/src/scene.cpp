#include "scene.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "shapes.h"

namespace cvl {

namespace {
constexpr Colour kHiddenFrameColour = 0x808080;

// The float nearest to v on its low side, and on its high side.
float FloatBelow(double v) {
    constexpr float kLargest = std::numeric_limits<float>::max(), kInfinity = std::numeric_limits<float>::infinity();
    if (v >= kLargest) return kLargest;
    if (v < -kLargest) return -kInfinity;
    const float f = static_cast<float>(v);
    return f > v ? std::nextafter(f, -kInfinity) : f;
}

float FloatAbove(double v) { return -FloatBelow(-v); }

// Shapes of more points than this give their memory back once drawn or measured.
constexpr size_t kMostReusedPoints = size_t{1} << 16;

// Memory that painting reuses from one symbol to the next and from one paint to the
// next: a paint goes through many symbols, each built here and drawn at once. Paints
// never nest (the engine runs on its caller's one thread), so every scene shares it.
struct PaintScratch {
    Contour outline;
    std::vector<Contour> strokePieces;
    std::vector<Contour> glyphPieces;

    // What a shape of a great many points or pieces took is given back once it is drawn.
    void Trim() {
        constexpr size_t kMostKeptPieces = size_t{1} << 12;
        if (outline.capacity() > kMostReusedPoints) Contour().swap(outline);
        if (strokePieces.size() > kMostKeptPieces) std::vector<Contour>().swap(strokePieces);
        if (glyphPieces.size() > kMostKeptPieces) std::vector<Contour>().swap(glyphPieces);
    }
};

PaintScratch& Scratch() {
    static PaintScratch scratch;
    return scratch;
}

// The shape a symbol's bounds are measured on, reused likewise: an animation asks for
// the bounds of a symbol it has just turned or moved at every step.
DeviceShape& BoundsScratch() {
    static DeviceShape shape;
    return shape;
}
}  // namespace

Scene::FiledSymbol::FiledSymbol(uint32_t index, const Box& exact)
    : index(index),
      minX(FloatBelow(exact.minX)),
      minY(FloatBelow(exact.minY)),
      maxX(FloatAbove(exact.maxX)),
      maxY(FloatAbove(exact.maxY)) {}

PageMapping Scene::FitPage(const Drawing& d, const PixelRect& page, bool fit, int zoomPercent) {
    PageMapping m;
    double zoom = (zoomPercent > 0 ? zoomPercent : 100) / 100.0;
    // In floating point: a page rectangle may span more than an int holds.
    double w = double(page.right) - double(page.left), h = double(page.bottom) - double(page.top);
    if (fit && d.pageWidth > 0 && d.pageHeight > 0 && w > 0 && h > 0)
        m.scale = std::min(w / d.pageWidth, h / d.pageHeight) * zoom;
    else
        m.scale = zoom;
    m.originX = page.left + (w - d.pageWidth * m.scale) / 2;
    m.originY = page.top + (h - d.pageHeight * m.scale) / 2;
    if (!fit) {
        m.originX = page.left;
        m.originY = page.top;
    }
    return m;
}

void Scene::SetMapping(const PageMapping& mapping) {
    if (mapping == mapping_) return;
    mapping_ = mapping;
    Invalidate();
}

Scene::CachedGeometry& Scene::Geometry(const Symbol& s) {
    CachedGeometry& g = geometry_[&s];
    if (g.stamp == stamp_) return g;
    ForgetOutline(g);
    Box box;
    if (s.kind == SymbolKind::Group) {
        for (const auto& m : s.members) box.Add(DeviceBox(*m));
    } else {
        DeviceShape& shape = BoundsScratch();
        // Only the box is kept: glyph cells and fill are not built for it.
        BuildDeviceShape(s, WorldPlacement(s), mapping_, shape, ShapeParts::OutlineAndBox);
        box = shape.box;
        if (shape.outline.capacity() > kMostReusedPoints) Contour().swap(shape.outline);
    }
    g.stamp = stamp_;
    g.box = box;
    return g;
}

Scene::CachedGeometry& Scene::Geometry(const Symbol& s, CachedGeometry* known) {
    return known != nullptr && known->stamp == stamp_ ? *known : Geometry(s);
}

Box Scene::DeviceBox(const Symbol& s) { return Geometry(s).box; }

size_t Scene::KeptPoints(const CachedGeometry& g) {
    // A run's bounds take the room of two points.
    return g.outline.size() + 2 * g.runs.bounds.size();
}

void Scene::ForgetOutline(CachedGeometry& g) {
    keptOutlinePoints_ -= KeptPoints(g);
    Contour().swap(g.outline);
    std::vector<Box>().swap(g.runs.bounds);
    g.outlineKnown = false;
}

const Scene::CachedGeometry& Scene::HitOutline(const Symbol& s, CachedGeometry& g, const Placement& parentPlacement) {
    if (g.outlineKnown) return g;
    g.closed = BuildDeviceOutline(s, Placement::Compose(parentPlacement, s.placement), mapping_, g.outline);
    g.runs.Build(g.outline);
    g.outlineKnown = true;
    keptOutlinePoints_ += KeptPoints(g);
    if (keptOutlinePoints_ > kMostKeptOutlinePoints) {
        // Kept for this answer alone: the others go, so memory stays bounded.
        for (auto& entry : geometry_)
            if (&entry.second != &g) ForgetOutline(entry.second);
    }
    return g;
}

bool Scene::FileBox(const Grid& g, const Box& b, Filing& filing) {
    filing = Filing{};
    if (b.Empty()) return true;
    if (b.minX < g.originX || b.minY < g.originY) return false;
    int c0 = std::clamp(static_cast<int>((b.minX - g.originX) / g.cell), 0, g.columns - 1);
    int c1 = std::clamp(static_cast<int>((b.maxX - g.originX) / g.cell), 0, g.columns - 1);
    int r0 = std::clamp(static_cast<int>((b.minY - g.originY) / g.cell), 0, g.rows - 1);
    int r1 = std::clamp(static_cast<int>((b.maxY - g.originY) / g.cell), 0, g.rows - 1);
    if (static_cast<int64_t>(c1 - c0 + 1) * (r1 - r0 + 1) > 1024) {
        filing.where = Filing::Where::Everywhere;
        return true;
    }
    filing = Filing{Filing::Where::Cells, c0, c1, r0, r1};
    return true;
}

const Scene::Grid& Scene::CurrentGrid() {
    if (grid_.stamp == stamp_) return grid_;
    Grid g;
    g.stamp = stamp_;
    Box all;
    std::vector<Box> boxes;
    boxes.reserve(drawing_.symbols.size());
    std::vector<Box> exact;
    exact.reserve(drawing_.symbols.size());
    g.geometry.reserve(drawing_.symbols.size());
    for (const auto& s : drawing_.symbols) {
        g.geometry.push_back(&Geometry(*s));
        exact.push_back(g.geometry.back()->box);
        boxes.push_back(exact.back().Grown(kGridReach));
        all.Add(boxes.back());
    }
    g.filings.resize(boxes.size());
    g.boxes = boxes;
    g.indices.reserve(boxes.size());
    for (uint32_t i = 0; i < boxes.size(); ++i) g.indices[drawing_.symbols[i].get()] = i;
    if (!all.Empty()) {
        constexpr int kMaxCells = 256;
        // Cells of at least 32 pixels, at most 256 a side, and a few per symbol, so
        // that a drawing of few symbols spread wide makes a small grid.
        const double width = all.maxX - all.minX, height = all.maxY - all.minY;
        const double cellsWanted = std::max<double>(64, 4.0 * static_cast<double>(boxes.size()));
        g.cell = std::max({32.0, std::max(width, height) / kMaxCells, std::sqrt(width * height / cellsWanted)});
        // Cells to spare above and left of the symbols: one that turns or moves a little
        // past the others' edge is filed again there, rather than building the grid anew.
        constexpr int kSpareCells = 2;
        g.originX = all.minX - kSpareCells * g.cell;
        g.originY = all.minY - kSpareCells * g.cell;
        g.columns = std::min(kMaxCells, static_cast<int>((all.maxX - g.originX) / g.cell) + 1);
        g.rows = std::min(kMaxCells, static_cast<int>((all.maxY - g.originY) / g.cell) + 1);
        g.cells.resize(static_cast<size_t>(g.columns) * g.rows);
        for (uint32_t i = 0; i < boxes.size(); ++i) {
            Filing& f = g.filings[i];
            FileBox(g, boxes[i], f);  // every box lies within `all`
            const FiledSymbol filed(i, exact[i]);
            if (f.where == Filing::Where::Everywhere) g.everywhere.push_back(filed);
            if (f.where != Filing::Where::Cells) continue;
            for (int r = f.r0; r <= f.r1; ++r)
                for (int c = f.c0; c <= f.c1; ++c) g.cells[static_cast<size_t>(r) * g.columns + c].push_back(filed);
        }
    }
    grid_ = std::move(g);
    return grid_;
}

void Scene::DropBoxes(const Symbol& s) {
    DropGeometry(s);
    for (const auto& m : s.members) DropBoxes(*m);
}

void Scene::DropGeometry(const Symbol& s) {
    auto it = geometry_.find(&s);
    if (it == geometry_.end()) return;
    // The entry stays, out of date, for the symbol's next bounds: an animated symbol
    // is dropped and measured again at every step.
    ForgetOutline(it->second);
    it->second.stamp = kNoStamp;
}

void Scene::Invalidate(const Symbol& changed) {
    DropBoxes(changed);
    const Symbol* top = &changed;
    for (const Symbol* p = changed.parent; p; p = p->parent) {
        DropGeometry(*p);
        top = p;
    }
    if (grid_.stamp != stamp_) return;  // rebuilt at its next use anyway
    auto found = grid_.indices.find(top);
    Filing filing;
    if (found == grid_.indices.end() || !FileBox(grid_, DeviceBox(*top).Grown(kGridReach), filing)) {
        Invalidate();
        return;
    }
    const uint32_t index = found->second;
    grid_.geometry[index] = &Geometry(*top);
    const Box exact = grid_.geometry[index]->box;
    grid_.boxes[index] = exact.Grown(kGridReach);
    auto before = [](const FiledSymbol& filed, uint32_t i) { return filed.index < i; };
    auto remove = [index, before](std::vector<FiledSymbol>& list) {
        auto it = std::lower_bound(list.begin(), list.end(), index, before);
        if (it != list.end() && it->index == index) list.erase(it);
    };
    const FiledSymbol moved(index, exact);
    auto insert = [index, before, &moved](std::vector<FiledSymbol>& list) {
        list.insert(std::lower_bound(list.begin(), list.end(), index, before), moved);
    };
    auto forEachCell = [this](const Filing& f, auto&& action) {
        if (f.where == Filing::Where::Everywhere) action(grid_.everywhere);
        if (f.where != Filing::Where::Cells) return;
        for (int r = f.r0; r <= f.r1; ++r)
            for (int c = f.c0; c <= f.c1; ++c) action(grid_.cells[static_cast<size_t>(r) * grid_.columns + c]);
    };
    Filing& filed = grid_.filings[index];
    forEachCell(filed, remove);
    forEachCell(filing, insert);
    filed = filing;
}

std::vector<uint32_t> Scene::Candidates(const Box& area) {
    const Grid& g = CurrentGrid();
    auto indices = [](const std::vector<FiledSymbol>& list) {
        std::vector<uint32_t> out;
        out.reserve(list.size());
        for (const FiledSymbol& filed : list) out.push_back(filed.index);
        return out;
    };
    if (g.columns == 0 || area.Empty() || area.maxX < g.originX || area.maxY < g.originY) return indices(g.everywhere);
    int c0 = std::clamp(static_cast<int>(std::floor((area.minX - g.originX) / g.cell)), 0, g.columns - 1);
    int c1 = static_cast<int>(std::min<double>(std::floor((area.maxX - g.originX) / g.cell), g.columns - 1));
    int r0 = std::clamp(static_cast<int>(std::floor((area.minY - g.originY) / g.cell)), 0, g.rows - 1);
    int r1 = static_cast<int>(std::min<double>(std::floor((area.maxY - g.originY) / g.cell), g.rows - 1));
    // A cell holds every symbol that reaches into it; only those whose bounds (with a
    // pixel to spare) meet the area itself are asked to paint. A cell's entry has the
    // box the symbol paints within at hand; a filing only the box grown for hit tests.
    auto meets = [&](const auto& b) {
        return b.maxX + 1 >= area.minX && b.minX - 1 <= area.maxX && b.maxY + 1 >= area.minY &&
               b.minY - 1 <= area.maxY;
    };
    std::vector<uint32_t> out;
    if (r0 == r1 && c0 == c1) {
        // One cell, as for a small area: the cell and `everywhere` are ascending and share no
        // symbol, so merging them keeps the order without a sort.
        const std::vector<FiledSymbol>& cell = g.cells[static_cast<size_t>(r0) * g.columns + c0];
        out.reserve(g.everywhere.size() + cell.size());
        auto wide = g.everywhere.begin();
        for (const FiledSymbol& filed : cell) {
            if (!meets(filed)) continue;
            for (; wide != g.everywhere.end() && wide->index < filed.index; ++wide) out.push_back(wide->index);
            out.push_back(filed.index);
        }
        for (; wide != g.everywhere.end(); ++wide) out.push_back(wide->index);
        return out;
    }
    size_t filedInCells = 0;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) filedInCells += g.cells[static_cast<size_t>(r) * g.columns + c].size();
    if (filedInCells >= g.filings.size()) {
        // An area over many cells meets most symbols in several of them: one look at
        // each symbol's filing, in order, gives the same list without repeats to sort out.
        for (uint32_t i = 0; i < g.filings.size(); ++i) {
            const Filing& f = g.filings[i];
            const bool inCells = f.where == Filing::Where::Cells && f.c0 <= c1 && c0 <= f.c1 && f.r0 <= r1 &&
                                 r0 <= f.r1 && meets(g.boxes[i]);
            if (inCells || f.where == Filing::Where::Everywhere) out.push_back(i);
        }
        return out;
    }
    out = indices(g.everywhere);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c)
            for (const FiledSymbol& filed : g.cells[static_cast<size_t>(r) * g.columns + c])
                if (meets(filed)) out.push_back(filed.index);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void Scene::Render(Canvas& canvas, const RenderOptions& options, bool useIndex) {
    if (canvas.clip.Empty()) return;
    if (options.paper && drawing_.hasPaper) {
        Box page;
        page.Add(mapping_.ToDevice({0, 0}));
        page.Add(mapping_.ToDevice({drawing_.pageWidth, drawing_.pageHeight}));
        FillContours(canvas, {{{page.minX, page.minY}, {page.maxX, page.minY}, {page.maxX, page.maxY}, {page.minX, page.maxY}}},
                     drawing_.paper);
    }
    const PixelRect& c = canvas.clip;
    Box area{static_cast<double>(c.left), static_cast<double>(c.top), static_cast<double>(c.right),
             static_cast<double>(c.bottom)};
    if (!useIndex) {
        for (const auto& s : drawing_.symbols) RenderSymbol(canvas, *s, nullptr, Placement{}, options);
        return;
    }
    const std::vector<uint32_t> candidates = Candidates(area);
    // The grid holds each candidate's geometry: its box is at hand without a lookup.
    const Grid& g = CurrentGrid();
    for (uint32_t i : candidates) RenderSymbol(canvas, *drawing_.symbols[i], g.geometry[i], Placement{}, options);
}

void Scene::RenderSymbol(Canvas& canvas, const Symbol& s, CachedGeometry* known, const Placement& parentPlacement,
                         const RenderOptions& options) {
    const Box box = Geometry(s, known).box;
    if (box.Empty() || !box.Pixels().Intersects(canvas.clip)) return;
    bool layerShown = drawing_.LayerVisible(s.layer) && (options.layer == 0 || options.layer == s.layer);
    if (!s.visible || !layerShown) {
        if (options.hiddenBounds && layerShown) DashedFrame(canvas, box.Pixels(), kHiddenFrameColour);
        return;
    }
    Placement world = Placement::Compose(parentPlacement, s.placement);
    if (s.kind == SymbolKind::Group) {
        for (const auto& m : s.members) RenderSymbol(canvas, *m, nullptr, world, options);
        return;
    }
    PaintScratch& scratch = Scratch();
    if (s.kind == SymbolKind::Text) {
        Colour ink = s.fill == FillKind::Solid ? s.fillColour : s.stroked ? s.strokeColour : 0;
        if (s.fill == FillKind::Hatch) ink = s.fillColour;
        const size_t cells = GlyphCellsOver(s, world, mapping_, scratch.glyphPieces);
        FillPieces(canvas, std::span<const Contour>(scratch.glyphPieces.data(), cells), ink);
    } else {
        const bool closed = BuildDeviceOutline(s, world, mapping_, scratch.outline);
        if (s.fill != FillKind::None && closed) {
            const Paint fillPaint = s.fill == FillKind::Hatch ? Paint::Hatch : Paint::Solid;
            FillContours(canvas, std::span<const Contour>(&scratch.outline, 1), s.fillColour, fillPaint);
        }
        const double halfStroke = DeviceHalfStroke(s, mapping_);
        if (halfStroke > 0) {
            const size_t pieces =
                StrokeContoursOver(scratch.outline, closed, halfStroke, scratch.strokePieces, &canvas.clip);
            FillPieces(canvas, std::span<const Contour>(scratch.strokePieces.data(), pieces), s.strokeColour);
        }
        // A shape's text goes over its fill and stroke.
        if (!s.text.empty()) {
            const size_t cells = GlyphCellsOver(s, world, mapping_, scratch.glyphPieces);
            FillPieces(canvas, std::span<const Contour>(scratch.glyphPieces.data(), cells),
                       s.stroked ? s.strokeColour : 0);
        }
    }
    scratch.Trim();
}

Symbol* Scene::HitTest(Point device, double tolerance, bool innermost, bool useIndex) {
    tolerance = std::clamp(tolerance, 0.0, 1000.0);
    if (useIndex && tolerance <= kGridReach) return HitTestFiled(device, tolerance, innermost);
    for (auto it = drawing_.symbols.rbegin(); it != drawing_.symbols.rend(); ++it)
        if (Symbol* hit = HitSymbol(**it, nullptr, Placement{}, device, tolerance, innermost)) return hit;
    return nullptr;
}

Symbol* Scene::HitTestFiled(Point p, double tolerance, bool innermost) {
    const Grid& g = CurrentGrid();
    static const std::vector<FiledSymbol> kNoCell;
    const std::vector<FiledSymbol>* cell = &kNoCell;
    if (g.columns > 0 && p.x >= g.originX && p.y >= g.originY) {
        // Past the right or bottom edge, the last cell: a tolerance may reach out there.
        const double column = std::min<double>(std::floor((p.x - g.originX) / g.cell), g.columns - 1);
        const double row = std::min<double>(std::floor((p.y - g.originY) / g.cell), g.rows - 1);
        cell = &g.cells[static_cast<size_t>(row) * g.columns + static_cast<size_t>(column)];
    }
    // The cell and `everywhere` are ascending and share no symbol: merged from their
    // ends, they give the symbols that may answer from the top down.
    const double grow = tolerance + 0.5;
    auto filed = cell->rbegin(), wide = g.everywhere.rbegin();
    while (filed != cell->rend() || wide != g.everywhere.rend()) {
        const bool fromCell = wide == g.everywhere.rend() || (filed != cell->rend() && filed->index > wide->index);
        const FiledSymbol& next = fromCell ? *filed++ : *wide++;
        // HitSymbol tests the exact box first: only the rare point between it and its
        // float bounds costs a look at the symbol.
        if (!next.MayHold(p, grow)) continue;
        Symbol& s = *drawing_.symbols[next.index];
        if (Symbol* hit = HitSymbol(s, g.geometry[next.index], Placement{}, p, tolerance, innermost)) return hit;
    }
    return nullptr;
}

Symbol* Scene::HitSymbol(Symbol& s, CachedGeometry* known, const Placement& parentPlacement, Point p, double tolerance,
                         bool innermost) {
    if (!s.visible || !drawing_.LayerVisible(s.layer)) return nullptr;
    CachedGeometry& geometry = Geometry(s, known);
    Box box = geometry.box.Grown(tolerance + 0.5);
    if (box.Empty() || p.x < box.minX || p.x > box.maxX || p.y < box.minY || p.y > box.maxY) return nullptr;
    if (s.kind == SymbolKind::Group) {
        const Placement world = Placement::Compose(parentPlacement, s.placement);
        for (auto it = s.members.rbegin(); it != s.members.rend(); ++it)
            if (Symbol* hit = HitSymbol(**it, nullptr, world, p, tolerance, innermost)) return innermost ? hit : &s;
        return nullptr;
    }
    const CachedGeometry& shape = HitOutline(s, geometry, parentPlacement);
    const Contour& o = shape.outline;
    const bool closed = shape.closed;
    if (o.empty()) return nullptr;
    bool solidInside = s.kind == SymbolKind::Text || (s.fill != FillKind::None && closed);
    if (solidInside && o.size() >= 3 && InsideOutline(p, o, shape.runs)) return &s;
    double reach = tolerance + (s.kind == SymbolKind::Text ? 0 : std::max(DeviceHalfStroke(s, mapping_), 0.5));
    if (s.kind != SymbolKind::Text && !s.stroked && s.fill == FillKind::None) return nullptr;
    return NearOutline(p, o, closed, reach, shape.runs) ? &s : nullptr;
}

}  // namespace cvl
