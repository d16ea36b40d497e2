// A drawing laid out on a page: device bounds, rendering and hit testing, with a
// grid of top-level symbols so that both cost what the area asked about holds.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "geometry.h"
#include "model.h"
#include "raster.h"

namespace cvl {

struct RenderOptions {
    bool paper = false;         // paint the drawing's paper colour inside its page
    bool hiddenBounds = false;  // dashed frames where hidden symbols are
    int layer = 0;              // 0: every visible layer; n: layer n alone
};

class Scene {
public:
    explicit Scene(Drawing& drawing) : drawing_(drawing) {}
    virtual ~Scene() = default;

    void SetMapping(const PageMapping& mapping);
    const PageMapping& Mapping() const { return mapping_; }
    // The page rectangle the mapping was made for.
    static PageMapping FitPage(const Drawing& d, const PixelRect& page, bool fit, int zoomPercent);

    // Geometry, stacking or text changed somewhere: drop cached bounds and the grid.
    void Invalidate() { ++stamp_; }
    // One symbol moved, turned or changed its text: drop its bounds, those of the
    // groups around it and of its members, and file its top-level symbol anew in the
    // grid, so that an edit costs the same in a drawing of any size.
    void Invalidate(const Symbol& changed);

    // Device box of what the symbol paints (a group: its members), empty when nothing.
    Box DeviceBox(const Symbol& s);
    PixelRect DevicePixels(const Symbol& s) { return DeviceBox(s).Pixels(); }

    // `useIndex` false visits every symbol: the plain reference for the indexed path.
    void Render(Canvas& canvas, const RenderOptions& options, bool useIndex = true);
    // The topmost shown symbol under the point; the top-level one unless `innermost`.
    Symbol* HitTest(Point device, double tolerance, bool innermost, bool useIndex = true);

private:
    // The stamp of no scene state: geometry that carries it is out of date.
    static constexpr uint64_t kNoStamp = 0;

    // What a symbol covers on the device, for the current stamp; a leaf's outline is
    // kept too once it was hit tested, because pointer moves ask about the same
    // symbols again and again.
    struct CachedGeometry {
        uint64_t stamp = kNoStamp;
        Box box;
        bool outlineKnown = false;
        bool closed = true;
        Contour outline;
        OutlineRuns runs;  // of the outline, for its tests
    };
    // The cells a top-level symbol is filed in: columns c0..c1 and rows r0..r1, or
    // the `everywhere` list, or nowhere (empty bounds).
    struct Filing {
        enum class Where : uint8_t { Nowhere, Cells, Everywhere } where = Where::Nowhere;
        int c0 = 0, c1 = -1, r0 = 0, r1 = -1;
    };
    // A top-level symbol as a cell holds it: its index and the box DeviceBox gives,
    // widened to the floats around it, so that a point's walk reads one run of memory.
    struct FiledSymbol {
        FiledSymbol(uint32_t index, const Box& exact);
        uint32_t index;
        float minX, minY, maxX, maxY;
        // Whether the box grown by `by` may hold the point: never false when the
        // exact box grown the same way holds it.
        bool MayHold(Point p, double by) const {
            // Counted, not and-ed: compilers then test all four with one branch, not
            // four hard to foretell.
            return (int{p.x >= minX - by} + int{p.x <= maxX + by} + int{p.y >= minY - by} + int{p.y <= maxY + by}) == 4;
        }
    };
    struct Grid {
        uint64_t stamp = ~uint64_t{0};
        double originX = 0, originY = 0, cell = 64;
        int columns = 0, rows = 0;
        std::vector<std::vector<FiledSymbol>> cells;  // ascending by index
        std::vector<FiledSymbol> everywhere;          // symbols too large for cells, ascending
        std::vector<Filing> filings;                  // by top-level index
        std::vector<Box> boxes;                       // by top-level index, grown by kGridReach
        // By top-level index: the symbol's entry in `geometry_`, whose place stays
        // while it is there; an entry's drop re-files its symbol or rebuilds the grid.
        std::vector<CachedGeometry*> geometry;
        std::unordered_map<const Symbol*, uint32_t> indices;  // top-level symbol to index
    };
    static constexpr double kGridReach = 8;  // hit tolerance the grid allows for

    // At most this many outline points are kept (4 MiB, with their runs' bounds counted
    // as points); past it every kept outline is dropped and the count starts again.
    static constexpr size_t kMostKeptOutlinePoints = size_t{1} << 18;
    static size_t KeptPoints(const CachedGeometry& g);

    CachedGeometry& Geometry(const Symbol& s);
    // The entry the caller holds when it is current, else the symbol's own.
    CachedGeometry& Geometry(const Symbol& s, CachedGeometry* known);
    void ForgetOutline(CachedGeometry& g);
    // The leaf's device outline, built at its first hit test, within groups placed
    // as `parentPlacement` says.
    const CachedGeometry& HitOutline(const Symbol& s, CachedGeometry& g, const Placement& parentPlacement);

    const Grid& CurrentGrid();
    // Where a top-level symbol's bounds go in `grid`; false when they reach above or
    // left of the grid's origin, which only a rebuild can cover.
    static bool FileBox(const Grid& grid, const Box& grown, Filing& filing);
    // Forgets the geometry of the symbol and its members, or of the symbol alone.
    void DropBoxes(const Symbol& s);
    void DropGeometry(const Symbol& s);
    std::vector<uint32_t> Candidates(const Box& area);
    // The topmost answer among the symbols filed where the point lies, walking them
    // from the top and stopping at the first that answers.
    Symbol* HitTestFiled(Point device, double tolerance, bool innermost);
    // `known`: the symbol's geometry when the caller has it at hand, else null.
    void RenderSymbol(Canvas& canvas, const Symbol& s, CachedGeometry* known, const Placement& parentPlacement,
                      const RenderOptions& options);
    // `known`: the symbol's geometry when the caller has it at hand, else null.
    Symbol* HitSymbol(Symbol& s, CachedGeometry* known, const Placement& parentPlacement, Point p, double tolerance,
                      bool innermost);

    Drawing& drawing_;
    PageMapping mapping_;
    uint64_t stamp_ = kNoStamp + 1;
    std::unordered_map<const Symbol*, CachedGeometry> geometry_;
    size_t keptOutlinePoints_ = 0;
    Grid grid_;
};

}  // namespace cvl
