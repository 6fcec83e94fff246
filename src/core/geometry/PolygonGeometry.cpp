#include "geometry/PolygonGeometry.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace zan {

namespace {

// Differences of 32-bit coordinates need 33 bits, their products 65: cross and dot products of
// differences, and sums of them, are formed in 128 bits so that they are exact.
__extension__ using Int128 = __int128;

double Magnitude(Int128 v) {
    return static_cast<double>(v < 0 ? -v : v);
}

// A network file may carry a scale of 0, a negative one or not a number at all; such a scale
// leaves plane units unchanged.
double UsableScale(double NetworkScale) {
    return (std::isfinite(NetworkScale) && NetworkScale > 0) ? NetworkScale : 1.0;
}

double Distance(const TPoint& a, const TPoint& b) {
    return std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y);
}

// Adds term to sum; false when a 128-bit sum would overflow (the sum is then unusable).
template <class T> bool Accumulate(T& sum, T term) {
    if constexpr (std::is_same_v<T, Int128>) {
        return !__builtin_add_overflow(sum, term, &sum);
    } else {
        sum += term;
        return true;
    }
}

// The triangles p0 p(i-1) p(i) fanned from the first point: s sums their doubled signed areas c,
// sx and sy sum c times the triangle's coordinate sum relative to p0. In 128-bit integers every
// term is exact (|c| <= 2^65, coordinate sums <= 2^33); the sums can only overflow for hundreds of
// millions of points spread over the whole 32-bit plane, and then the caller sums in long double.
template <class T> bool FanSums(const std::vector<TPoint>& p, T& s, T& sx, T& sy) {
    const std::int64_t x0 = p[0].x;
    const std::int64_t y0 = p[0].y;
    for (std::size_t i = 2; i < p.size(); ++i) {
        const std::int64_t ax = p[i].x - x0;
        const std::int64_t ay = p[i].y - y0;
        const std::int64_t bx = p[i - 1].x - x0;
        const std::int64_t by = p[i - 1].y - y0;
        const Int128 c = Int128{ax} * by - Int128{bx} * ay;
        const T weight = static_cast<T>(c);
        if (!Accumulate(s, weight) || !Accumulate(sx, static_cast<T>(weight * static_cast<T>(ax + bx))) ||
            !Accumulate(sy, static_cast<T>(weight * static_cast<T>(ay + by)))) {
            return false;
        }
    }
    return true;
}

// Whether (x, y) lies on the segment from a to b (a single point when a equals b).
bool OnSegment(const TPoint& a, const TPoint& b, std::int64_t x, std::int64_t y) {
    if (x < std::min(a.x, b.x) || x > std::max(a.x, b.x) || y < std::min(a.y, b.y) ||
        y > std::max(a.y, b.y)) {
        return false;
    }
    const Int128 cross =
        Int128{std::int64_t{b.x} - a.x} * (y - a.y) - Int128{std::int64_t{b.y} - a.y} * (x - a.x);
    return cross == 0;
}

} // namespace

// ---- measures of a polygon vertex list ----

double TMyPolygonList::Area(double NetworkScale) const {
    if (Count() <= 2)
        return 0;
    const std::vector<TPoint> p = GetPolygonPoints();
    const std::size_t n = p.size();
    // Shoelace sum: each x_i times (y_next - y_previous), cyclic over the drawn vertices. Every
    // term is below 2^63 and fewer than 2^31 of them fit in the list, so the sum stays exact.
    Int128 twice = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const TPoint& next = p[i + 1 == n ? 0 : i + 1];
        const TPoint& previous = p[i == 0 ? n - 1 : i - 1];
        twice += Int128{p[i].x} * (std::int64_t{next.y} - previous.y);
    }
    const double scale = UsableScale(NetworkScale);
    return Magnitude(twice) / 2 / scale / scale;
}

double TMyPolygonList::Centroid(bool IsX) const {
    if (Count() <= 2)
        return 0;
    const std::vector<TPoint> p = GetPolygonPoints();
    if (p.empty())
        return 0;
    const double origin = IsX ? p[0].x : p[0].y;
    Int128 s = 0;
    Int128 sx = 0;
    Int128 sy = 0;
    if (FanSums(p, s, sx, sy)) {
        // No enclosed area (fewer than 3 drawn vertices, or all on one line): the first vertex.
        if (s == 0)
            return origin;
        return origin + static_cast<double>(IsX ? sx : sy) / (3.0 * static_cast<double>(s));
    }
    long double ls = 0;
    long double lsx = 0;
    long double lsy = 0;
    FanSums(p, ls, lsx, lsy);
    if (ls == 0)
        return origin;
    return origin + static_cast<double>((IsX ? lsx : lsy) / (3 * ls));
}

double TMyPolygonList::Perimeter(bool IsOpen, const TNetworkPoint* APoint, double NetworkScale) const {
    if (Count() <= 1)
        return 0;
    std::vector<TPoint> p = GetPolygonPoints();
    bool closed = !IsOpen;
    if (APoint != nullptr) {
        // The path from the first vertex to APoint: NetOrder counts the drawn vertices up to and
        // including it (all of them when APoint is not a drawn vertex).
        p.resize(static_cast<std::size_t>(NetOrder(APoint)));
        closed = false;
    }
    if (p.empty())
        return 0;
    double length = 0;
    for (std::size_t i = 1; i < p.size(); ++i)
        length += Distance(p[i - 1], p[i]);
    if (closed)
        length += Distance(p.back(), p.front());
    return length / UsableScale(NetworkScale);
}

// ---- orientation of an owned polygon ----

bool TNode::PolygonIsClockwise() const {
    const TMyPolygonList& list = MyPolygonList;
    const std::int32_t n = list.Count();
    if (n < 3)
        return true;
    // Sum of the signed turning angles at every vertex, from the edge arriving there (u) to the
    // edge leaving it (v). Both are taken with x mirrored, as (-dx, dy). Mirroring negates the
    // cross product, and with y down a positive screen cross product is a clockwise turn, so a
    // positive u x v is a counterclockwise turn on screen. A clockwise outline turns by -2 pi in
    // total: the square (0,0) (10,0) (10,10) (0,10), which runs right, down, left and up on
    // screen, sums to -2 pi. The angle between u and v is arccos(u.v / |u||v|), computed as
    // atan2(|u x v|, u.v), which equals it and needs no clamping of the cosine.
    double turning = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        const TNetworkPoint& previous = *list[i == 0 ? n - 1 : i - 1];
        const TNetworkPoint& current = *list[i];
        const TNetworkPoint& next = *list[i + 1 == n ? 0 : i + 1];
        const std::int64_t ux = -(std::int64_t{current.x_cent} - previous.x_cent);
        const std::int64_t uy = std::int64_t{current.y_cent} - previous.y_cent;
        const std::int64_t vx = -(std::int64_t{next.x_cent} - current.x_cent);
        const std::int64_t vy = std::int64_t{next.y_cent} - current.y_cent;
        if ((ux == 0 && uy == 0) || (vx == 0 && vy == 0))
            continue; // a repeated vertex makes no turn
        const Int128 dot = Int128{ux} * vx + Int128{uy} * vy;
        const Int128 cross = Int128{ux} * vy - Int128{uy} * vx;
        const double angle = std::atan2(Magnitude(cross), static_cast<double>(dot));
        turning += cross > 0 ? angle : -angle;
    }
    return turning <= 0;
}

void TNode::ReversePolygon() {
    std::reverse(MyPolygonList.begin(), MyPolygonList.end());
}

// ---- point location ----

int PointInPolygon(std::int32_t x, std::int32_t y, const std::vector<TPoint>& points, const TRect& rect) {
    if (!rect.Contains(x, y) || points.empty())
        return kOutsidePolygon;
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (OnSegment(points[i], points[i + 1 == n ? 0 : i + 1], x, y))
            return kOnPolygonBoundary;
    }
    // Ray towards increasing x. An edge counts when exactly one of its ends has a y greater than
    // the point's and it meets the ray's height strictly right of the point. A vertex on the ray
    // thus goes with the smaller-y side: where the boundary passes through the ray's height there
    // it counts once, where it only touches the height it counts zero or two times. An edge lying
    // on the ray never counts, so the edges before and after it decide in the same way.
    bool inside = false;
    for (std::size_t i = 0; i < n; ++i) {
        const TPoint& a = points[i];
        const TPoint& b = points[i + 1 == n ? 0 : i + 1];
        if ((a.y > y) == (b.y > y))
            continue;
        // The crossing is at a.x + (y - a.y)(b.x - a.x)/dy; it is right of x when
        // t = (a.x - x) dy + (y - a.y)(b.x - a.x) has the sign of dy. t is never 0 here: that would
        // put the point on the edge, which was found above.
        const std::int64_t dy = std::int64_t{b.y} - a.y;
        const Int128 t =
            Int128{std::int64_t{a.x} - x} * dy + Int128{std::int64_t{y} - a.y} * (std::int64_t{b.x} - a.x);
        if (dy > 0 ? t > 0 : t < 0)
            inside = !inside;
    }
    return inside ? kInsidePolygon : kOutsidePolygon;
}

int PointInPolygon(std::int32_t x, std::int32_t y, const TMyPolygonList& polygon) {
    const std::vector<TPoint> points = polygon.GetPolygonPoints();
    TRect bounds = TRect::Empty();
    for (const TPoint& p : points)
        bounds.Include(p.x, p.y);
    return PointInPolygon(x, y, points, bounds);
}

} // namespace zan
