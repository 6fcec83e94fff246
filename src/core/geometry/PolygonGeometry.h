// Plane geometry of polygons: point location. The measures of a polygon owned by a node (area,
// centroid, perimeter, orientation, reversal) are members of TMyPolygonList and TNode and are
// defined in PolygonGeometry.cpp as well.
//
// The plane has x growing east and y growing south (down on screen). Coordinates are 32-bit;
// every product is formed in at least 64 bits, cross products of differences in 128 bits.
#pragma once

#include <cstdint>
#include <vector>

#include "model/NetworkElements.h"
#include "model/Rect.h"

namespace zan {

// Point location results.
inline constexpr int kOutsidePolygon = 0;
inline constexpr int kOnPolygonBoundary = 1;
inline constexpr int kInsidePolygon = 2;

// Where (x, y) lies relative to the closed polygon through `points`: 0 outside, 1 on a vertex or an
// edge, 2 inside. `rect` is the polygon's bounding rectangle; a point outside it is outside. A
// polygon of fewer than 3 points, or one whose points are collinear, has no inside.
int PointInPolygon(std::int32_t x, std::int32_t y, const std::vector<TPoint>& points, const TRect& rect);

// The same for the drawn vertices of a polygon vertex list, inside their bounding rectangle.
int PointInPolygon(std::int32_t x, std::int32_t y, const TMyPolygonList& polygon);

} // namespace zan
