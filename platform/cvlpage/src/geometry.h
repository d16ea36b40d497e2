// Plane geometry of the engine: points, exact rotations and the page mapping.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace cvl {

struct Point {
    double x = 0;
    double y = 0;
};

// An integer rectangle in device pixels; right and bottom exclusive.
struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool Empty() const { return right <= left || bottom <= top; }
    bool Intersects(const PixelRect& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    PixelRect Intersect(const PixelRect& o) const;
    PixelRect Unite(const PixelRect& o) const;
    bool operator==(const PixelRect&) const = default;
};

// A real-valued box, empty until a point is added.
struct Box {
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    bool Empty() const { return !(minX <= maxX && minY <= maxY); }
    void Add(Point p);
    void Add(const Box& b);
    Box Grown(double by) const {
        if (Empty()) return *this;
        return {minX - by, minY - by, maxX + by, maxY + by};
    }
    // The pixels whose centres can lie in the box.
    PixelRect Pixels() const;
};

// A placement: a rotation by a whole number of tenths of a degree about the origin
// followed by a translation. The angle is kept as an integer so that small turns that
// add up to a full circle give back exactly the original orientation.
struct Placement {
    int32_t tenths = 0;  // counter-clockwise on screen, kept in 0..3599
    Point offset;

    Point Apply(Point p) const;
    Point Unapply(Point p) const;
    // This placement followed by a turn of `tenths` about `centre`.
    Placement Turned(int32_t turnTenths, Point centre) const;
    Placement Moved(double dx, double dy) const;
    // parent ∘ child: first the child's placement, then the parent's.
    static Placement Compose(const Placement& parent, const Placement& child);
};

// Rotates about the origin, counter-clockwise on a screen whose y axis points down.
Point Rotate(Point p, int32_t tenths);

// Maps drawing units onto device pixels: uniform scale and an offset.
struct PageMapping {
    double scale = 1;
    double originX = 0, originY = 0;
    Point ToDevice(Point p) const { return {originX + p.x * scale, originY + p.y * scale}; }
    Point ToDrawing(Point p) const { return {(p.x - originX) / scale, (p.y - originY) / scale}; }
    bool operator==(const PageMapping&) const = default;
};

// A placement followed by the page mapping, with the turn's cosine and sine found
// once: the same arithmetic as mapping.ToDevice(placement.Apply(p)), for the many
// points of one shape.
class DeviceTransform {
public:
    DeviceTransform(const Placement& placement, const PageMapping& mapping);
    Point operator()(Point p) const {
        const double x = p.x * c_ + p.y * s_ + offset_.x, y = -p.x * s_ + p.y * c_ + offset_.y;
        return mapping_.ToDevice({x, y});
    }

private:
    double c_, s_;
    Point offset_;
    PageMapping mapping_;
};

double DistanceToSegment(Point p, Point a, Point b);
// Even-odd test against a closed outline.
bool InsideOutline(Point p, const std::vector<Point>& outline);
// Whether the point lies within `reach` of an edge of the outline (each edge with the
// next vertex, and the last with the first when closed). The outline is not empty.
bool NearOutline(Point p, const std::vector<Point>& outline, bool closed, double reach);

// The bounds of every run of edges of a long outline, so that the tests of a point
// pass over the runs that lie wholly apart from it and give the same answers as the
// tests of every edge. Run k holds the edges that start or end at vertices
// k * kEdgesPerRun up to the next run's first: its bounds also hold the vertex before
// and the one after. Empty for short outlines, whose every edge is looked at.
struct OutlineRuns {
    static constexpr size_t kEdgesPerRun = 8;
    std::vector<Box> bounds;

    void Build(const std::vector<Point>& outline);
};
bool InsideOutline(Point p, const std::vector<Point>& outline, const OutlineRuns& runs);
bool NearOutline(Point p, const std::vector<Point>& outline, bool closed, double reach, const OutlineRuns& runs);

}  // namespace cvl
