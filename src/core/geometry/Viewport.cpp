#include "geometry/Viewport.h"

#include <algorithm>
#include <limits>

#include "model/HashTable.h"

namespace zan {

namespace {

using I64 = std::int64_t;
__extension__ using I128 = __int128;

// The zoom factor of a row as an exact fraction: scaled / 288 pixels per plane unit. The factor of
// every row is a whole number of 288ths, so the mapping below is computed exactly in integers and
// only the final quotient is rounded (to the nearest integer, halves to even). A double factor
// such as 12 / 288 is not exact in binary and could turn a true half into a near-half.
constexpr I64 kFactorBase = 288;

I64 ScaledFactor(std::int32_t zoomState) {
    const TZoomRow& row = ZoomRow(zoomState);
    return I64{row.numerator} * kFactorBase / row.denominator;
}

// n / d rounded to the nearest integer, halves to even; d > 0.
I128 DivRound(I128 n, I128 d) {
    I128 q = n / d;
    I128 r = n % d;
    if (r < 0) { // make it the floor quotient with 0 <= r < d
        r += d;
        q -= 1;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0))
        q += 1;
    return q;
}

// n / d rounded down and up; d > 0.
I128 DivFloor(I128 n, I128 d) {
    I128 q = n / d;
    if (n % d < 0)
        q -= 1;
    return q;
}
I128 DivCeil(I128 n, I128 d) {
    return -DivFloor(-n, d);
}

std::int32_t Clamp32(I128 v) {
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

// Plane units (or logical units) to pixels at a zoom: round(v x factor).
I128 ToPixels(I64 v, I64 scaled) {
    return DivRound(I128{v} * scaled, kFactorBase);
}

// Pixels to plane units at a zoom: round(p / factor).
I128 ToUnits(I64 p, I64 scaled) {
    return DivRound(I128{p} * kFactorBase, scaled);
}

// The scroll-bar range for an extent from lo to hi; inverted extents give 0.
std::int32_t RangeOf(std::int32_t lo, std::int32_t hi, I64 scaled) {
    const I64 span = I64{hi} - lo + 2 * kPadMargin;
    return std::max(0, Clamp32(ToPixels(span, scaled)));
}

// A scroll position kept within 0..range, as a scroll bar keeps its position.
std::int32_t ClampPosition(I128 pos, std::int32_t range) {
    if (pos < 0)
        return 0;
    return pos > range ? std::max(0, range) : static_cast<std::int32_t>(pos);
}

// The new scroll position of one bar when the zoom changes (see SetZoom).
std::int32_t ZoomedPosition(std::int32_t oldPos, I64 oldScaled, I64 newScaled, bool UseCursor, std::int32_t c,
                            std::int32_t lo, std::int32_t hi, std::int32_t range, std::int32_t clientSize) {
    I128 pos = 0;
    if (UseCursor) {
        // round((c - lo) x range / (hi - lo + 20) - clientSize / 2): plane coordinate c goes to the
        // middle of the client area. Inverted extents (the Extents dialog allows them) leave nothing to
        // divide by: the bar starts at 0.
        const I64 denom = I64{hi} - lo + 2 * kPadMargin;
        if (denom > 0)
            pos = DivRound(I128{I64{c} - lo} * range * 2 - I128{clientSize} * denom, I128{denom} * 2);
    } else {
        // round(oldPos x new factor / old factor): the plane point at the top left stays in place.
        pos = DivRound(I128{oldPos} * newScaled, oldScaled);
    }
    return ClampPosition(pos, range);
}

// Pixel to plane on one axis before the margin: round((pixel + position) / factor) + min.
I128 PixelAxis(std::int32_t pixel, std::int32_t position, std::int32_t min, I64 scaled) {
    return ToUnits(I64{pixel} + position, scaled) + min;
}

} // namespace

std::int32_t ClampToPlane(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<I64>(v, -kPlaneLimit, kPlaneLimit));
}

std::int32_t ClampSnapDistance(std::int64_t snap) {
    return static_cast<std::int32_t>(std::clamp<I64>(snap, kMinSnapDistance, kMaxSnapDistance));
}

// ---- mapping ----

TPoint PlaneToLogical(const TWindowSettings& w, std::int32_t x, std::int32_t y) {
    return TPoint{ClampToInt32(I64{x} + w.XScroll - w.horzbarpos),
                  ClampToInt32(I64{y} + w.YScroll - w.vertbarpos)};
}

TPoint PixelToPlane(const TWindowSettings& w, std::int32_t X, std::int32_t Y) {
    const I64 scaled = ScaledFactor(w.ZoomState);
    return TPoint{Clamp32(PixelAxis(X, w.HorzPosition, w.XMin, scaled) - kPadMargin),
                  Clamp32(PixelAxis(Y, w.VertPosition, w.YMin, scaled) - kPadMargin)};
}

TPoint ZoomClickPoint(const TWindowSettings& w, std::int32_t X, std::int32_t Y) {
    const I64 scaled = ScaledFactor(w.ZoomState);
    return TPoint{Clamp32(PixelAxis(X, w.HorzPosition, w.XMin, scaled)),
                  Clamp32(PixelAxis(Y, w.VertPosition, w.YMin, scaled))};
}

void UpdateBarPositions(TWindowSettings& w) {
    const I64 scaled = ScaledFactor(w.ZoomState);
    w.horzbarpos = Clamp32(ToUnits(w.HorzPosition, scaled));
    w.vertbarpos = Clamp32(ToUnits(w.VertPosition, scaled));
}

std::optional<TRect> RefreshRectangle(const TWindowSettings& w, const TRect& rect, std::int32_t buffer) {
    if (rect.IsEmpty())
        return std::nullopt;
    const I64 scaled = ScaledFactor(w.ZoomState);
    auto pixel = [scaled](I64 v, std::int32_t position) { return Clamp32(ToPixels(v, scaled) - position); };
    TRect r;
    r.left = pixel(I64{w.XScroll} + rect.left - buffer, w.HorzPosition);
    r.right = pixel(I64{w.XScroll} + rect.right + buffer, w.HorzPosition);
    r.top = pixel(I64{w.YScroll} + rect.top - buffer, w.VertPosition);
    r.bottom = pixel(I64{w.YScroll} + rect.bottom + buffer, w.VertPosition);
    return r;
}

std::optional<TRect> adjustrectangle(const TWindowSettings& w, const TRect& rect, std::int32_t buffer) {
    if (rect.IsEmpty())
        return std::nullopt;
    TRect r;
    r.left = ClampToInt32(I64{rect.left} + w.XScroll - buffer);
    r.right = ClampToInt32(I64{rect.right} + w.XScroll + buffer);
    r.top = ClampToInt32(I64{rect.top} + w.YScroll - buffer);
    r.bottom = ClampToInt32(I64{rect.bottom} + w.YScroll + buffer);
    return r;
}

TRect VisiblePlaneArea(const TWindowSettings& w, const TRect& clipPixels) {
    if (clipPixels.IsEmpty())
        return TRect::Empty();
    const I64 scaled = ScaledFactor(w.ZoomState);
    auto lower = [scaled](std::int32_t p, std::int32_t bar) {
        return Clamp32(DivFloor(I128{p} * kFactorBase, scaled) + bar);
    };
    auto upper = [scaled](std::int32_t p, std::int32_t bar) {
        return Clamp32(DivCeil(I128{p} * kFactorBase, scaled) + bar);
    };
    return TRect{lower(clipPixels.left, w.horzbarpos), lower(clipPixels.top, w.vertbarpos),
                 upper(clipPixels.right, w.horzbarpos), upper(clipPixels.bottom, w.vertbarpos)};
}

// ---- zoom and scrolling ----

void SetScrollRange(TWindowSettings& w) {
    const I64 scaled = ScaledFactor(w.ZoomState);
    w.HorzRange = RangeOf(w.XMin, w.XMax, scaled);
    w.VertRange = RangeOf(w.YMin, w.YMax, scaled);
    // A scroll bar whose range shrinks below its position moves the position back into the range.
    SetScrollPositions(w, w.HorzPosition, w.VertPosition);
}

void SetScrollPositions(TWindowSettings& w, std::int64_t horz, std::int64_t vert) {
    w.HorzPosition = ClampPosition(horz, w.HorzRange);
    w.VertPosition = ClampPosition(vert, w.VertRange);
    UpdateBarPositions(w);
}

const TZoomRow& SetZoom(TWindowSettings& w, std::int32_t AZoomState, std::int32_t x, std::int32_t y,
                        bool UseCursor) {
    const I64 oldScaled = ScaledFactor(w.ZoomState);
    w.ZoomState = std::clamp<std::int32_t>(AZoomState, 1, kZoomStates);
    const I64 newScaled = ScaledFactor(w.ZoomState);
    w.HorzRange = RangeOf(w.XMin, w.XMax, newScaled);
    w.VertRange = RangeOf(w.YMin, w.YMax, newScaled);
    // The positions are kept within 0..range, as the scroll bars themselves keep them.
    w.HorzPosition = ZoomedPosition(w.HorzPosition, oldScaled, newScaled, UseCursor, x, w.XMin, w.XMax,
                                    w.HorzRange, w.ClientWidth);
    w.VertPosition = ZoomedPosition(w.VertPosition, oldScaled, newScaled, UseCursor, y, w.YMin, w.YMax,
                                    w.VertRange, w.ClientHeight);
    UpdateBarPositions(w);
    return ZoomRow(w.ZoomState);
}

std::string ResetZoomCheck(TWindowSettings& w, std::int32_t NewZoomState) {
    const TZoomRow& row = SetZoom(w, NewZoomState, 0, 0, false);
    return std::to_string(row.numerator) + ":" + std::to_string(row.denominator);
}

bool ZoomOK(std::int32_t row, std::int32_t screenWidthPixels) {
    const TZoomRow& r = ZoomRow(row);
    // denominator x width / numerator > limit, without the division.
    return I64{r.denominator} * screenWidthPixels <= kZoomScreenLimit * r.numerator;
}

TZoomStepResult ZoomToPoint(TWindowSettings& w, std::int32_t x, std::int32_t y, bool ZoomDown,
                            std::int32_t screenWidthPixels) {
    TZoomStepResult result;
    std::int32_t target = w.ZoomState;
    if (ZoomDown) {
        target = std::max(w.ZoomState - 1, 1);
    } else {
        target = std::min(w.ZoomState + 1, kZoomStates);
        if (!ZoomOK(target, screenWidthPixels)) {
            result.Refused = true;
            target = w.ZoomState;
        }
    }
    if (target != w.ZoomState)
        SetZoom(w, target, x, y, true);
    // With the target already in place this keeps the positions and only yields the status text.
    result.StatusText = ResetZoomCheck(w, target);
    return result;
}

std::optional<std::string> ZoomInKey(TWindowSettings& w) {
    if (w.ZoomState > kZoomStates - 1)
        return std::nullopt;
    return ResetZoomCheck(w, w.ZoomState + 1);
}

std::optional<std::string> ZoomOutKey(TWindowSettings& w) {
    if (w.ZoomState < 2)
        return std::nullopt;
    return ResetZoomCheck(w, w.ZoomState - 1);
}

// ---- extents of the sketch pad ----

bool AdjustExtents(TWindowSettings& w, std::int32_t x, std::int32_t y) {
    x = ClampToPlane(x);
    y = ClampToPlane(y);
    const bool minChanged = x < w.XMin || y < w.YMin;
    const bool maxChanged = x > w.XMax || y > w.YMax;
    w.XMin = std::min(w.XMin, x);
    w.XMax = std::max(w.XMax, x);
    w.YMin = std::min(w.YMin, y);
    w.YMax = std::max(w.YMax, y);
    if (minChanged) {
        w.XScroll = ClampToInt32(I64{kPadMargin} - w.XMin);
        w.YScroll = ClampToInt32(I64{kPadMargin} - w.YMin);
    }
    // The ranges follow any change of the extents, so that the pad can be scrolled to its new edge.
    if (minChanged || maxChanged)
        SetScrollRange(w);
    return minChanged;
}

void Trim(TWindowSettings& w, const THashTable& hash) {
    std::int32_t xmin = kPlaneLimit, ymin = kPlaneLimit;
    std::int32_t xmax = -kPlaneLimit, ymax = -kPlaneLimit;
    bool any = false;
    hash.ForEachPoint([&](const TNetworkPoint& p) {
        any = true;
        xmin = std::min(xmin, p.x_cent);
        xmax = std::max(xmax, p.x_cent);
        ymin = std::min(ymin, p.y_cent);
        ymax = std::max(ymax, p.y_cent);
    });
    if (any) {
        w.XMin = xmin;
        w.YMin = ymin;
        w.XMax = xmax;
        w.YMax = ymax;
    } else {
        // Inverted extents would map every click to the plane's far corner, and the next node
        // would be plotted there: a network without points gets the pad of a new network.
        const TWindowSettings fresh;
        w.XMin = fresh.XMin;
        w.YMin = fresh.YMin;
        w.XMax = fresh.XMax;
        w.YMax = fresh.YMax;
    }
    w.XScroll = ClampToInt32(I64{kPadMargin} - w.XMin);
    w.YScroll = ClampToInt32(I64{kPadMargin} - w.YMin);
    SetScrollRange(w);
    SetScrollPositions(w, 0, 0);
}

namespace {

// Room added towards the east or south (a maximum grows); the picture does not move. The pad never
// reaches past the plane's edge, as the Extents dialog keeps it.
bool AddRoomAfter(std::int32_t& max, std::int32_t& range, I64 scaled) {
    const I64 grown = std::min<I64>(I64{max} + kRoomStep, kPlaneLimit);
    if (grown > max) {
        const I64 added = grown - max;
        max = static_cast<std::int32_t>(grown);
        range = Clamp32(I128{range} + ToPixels(added, scaled));
    }
    return false;
}

// Room added towards the west or north (a minimum shrinks); the picture shifts, so the whole window
// must be repainted.
bool AddRoomBefore(std::int32_t& min, std::int32_t& scroll, std::int32_t& range, I64 scaled) {
    const I64 shrunk = std::max<I64>(I64{min} - kRoomStep, -kPlaneLimit);
    if (shrunk >= min)
        return false;
    const I64 added = I64{min} - shrunk;
    min = static_cast<std::int32_t>(shrunk);
    scroll = ClampToInt32(I64{scroll} + added);
    range = Clamp32(I128{range} + ToPixels(added, scaled));
    return true;
}

} // namespace

bool WestButton(TWindowSettings& w) {
    return AddRoomAfter(w.XMax, w.HorzRange, ScaledFactor(w.ZoomState));
}

bool NorthButton(TWindowSettings& w) {
    return AddRoomAfter(w.YMax, w.VertRange, ScaledFactor(w.ZoomState));
}

bool EastButton(TWindowSettings& w) {
    return AddRoomBefore(w.XMin, w.XScroll, w.HorzRange, ScaledFactor(w.ZoomState));
}

bool SouthButton(TWindowSettings& w) {
    return AddRoomBefore(w.YMin, w.YScroll, w.VertRange, ScaledFactor(w.ZoomState));
}

void SetExtents(TWindowSettings& w, std::int32_t top, std::int32_t bottom, std::int32_t left,
                std::int32_t right) {
    w.YMin = ClampToPlane(top);
    w.YMax = ClampToPlane(bottom);
    w.XMin = ClampToPlane(left);
    w.XMax = ClampToPlane(right);
    w.XScroll = kPadMargin - w.XMin;
    w.YScroll = kPadMargin - w.YMin;
    SetScrollRange(w);
}

// ---- plot cursor ----

bool SnapPlotCursor(TWindowSettings& w, int hotkey, std::int32_t snap) {
    const I64 s = ClampSnapDistance(snap);
    // The cursor stays strictly inside the plane; a step that would leave it is not taken at all.
    auto step = [](std::int32_t& pos, I64 delta) {
        const I64 moved = I64{pos} + delta;
        if (moved <= -kPlaneLimit || moved >= kPlaneLimit)
            return false;
        pos = static_cast<std::int32_t>(moved);
        return true;
    };
    switch (hotkey) {
    case kSnapEast:
        return step(w.CurPosX, s);
    case kSnapWest:
        return step(w.CurPosX, -s);
    case kSnapNorth:
        return step(w.CurPosY, -s);
    case kSnapSouth:
        return step(w.CurPosY, s);
    default:
        return false;
    }
}

void SetCursorPosition(TWindowSettings& w, std::int64_t x, std::int64_t y) {
    w.CurPosX = ClampToPlane(x);
    w.CurPosY = ClampToPlane(y);
}

TPlotCursorLines PlotCursorLines(const TWindowSettings& w) {
    constexpr I64 kHorizontalLimit = 320000;
    constexpr I64 kVerticalLimit = 65535;
    const I64 scaled = ScaledFactor(w.ZoomState);
    const I64 lx = I64{w.CurPosX} + w.XScroll - w.horzbarpos;
    const I64 ly = I64{w.CurPosY} + w.YScroll - w.vertbarpos;
    TPlotCursorLines lines;
    if (lx >= -kHorizontalLimit && lx <= kHorizontalLimit && ly >= -kHorizontalLimit &&
        ly <= kHorizontalLimit) {
        const auto y = static_cast<std::int32_t>(ly);
        lines.horizontal = TLineSegment{TPoint{0, y}, TPoint{Clamp32(ToUnits(w.ClientWidth, scaled)), y}};
    }
    if (lx < kVerticalLimit) {
        const std::int32_t x = ClampToInt32(lx);
        lines.vertical = TLineSegment{TPoint{x, 0}, TPoint{x, Clamp32(ToUnits(w.ClientHeight, scaled))}};
    }
    return lines;
}

std::int32_t PlotCursorColor(const TWindowSettings& w) {
    const std::int32_t blue = w.DarkCursor ? 255 : 127;
    return blue << 16; // red and green 0; red is the low byte
}

} // namespace zan
