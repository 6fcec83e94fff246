// The view of a sketch window onto the network plane: the mapping between plane coordinates,
// logical drawing units and window pixels, zooming, scrolling, the extents of the sketch pad, and the
// plot cursor. These are the window's arithmetic only; the window calls them and then repaints,
// shows messages or moves its scroll bars as the results say.
//
// Units: plane coordinates are the network's integers. Logical units are plane units shifted by
// XScroll/YScroll and moved back by the scroll position (horzbarpos/vertbarpos); the drawing surface
// scales one logical unit to ViewportFactor pixels. Pixels are the client coordinates of the window;
// HorzPosition/VertPosition are the scroll positions in pixels.
//
// Every sum is formed in 64 bits (products with the zoom factor in 128) and every result is clamped
// into 32 bits. A product or quotient with the zoom factor is rounded to the nearest integer with
// halves to even.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "geometry/ZoomTable.h"
#include "model/Rect.h"
#include "model/WindowSettings.h"

namespace zan {

class THashTable;

// The usable plane is -512000..512000 on both axes.
inline constexpr std::int32_t kPlaneLimit = 512000;

// The snap distance (shared by all windows, kept by the application) lies within 1..1000.
inline constexpr std::int32_t kMinSnapDistance = 1;
inline constexpr std::int32_t kMaxSnapDistance = 1000;

// A zoom-in step is refused when denominator x screen width / numerator of the target row exceeds this.
inline constexpr std::int64_t kZoomScreenLimit = 320000;

// Room added by one press of a room button, in plane units.
inline constexpr std::int32_t kRoomStep = 80;

// The margin around the extents: plane XMin - 10 is logical 0.
inline constexpr std::int32_t kPadMargin = 10;

// Hotkeys of the snap steps.
inline constexpr int kSnapEast = 51;
inline constexpr int kSnapWest = 52;
inline constexpr int kSnapNorth = 53;
inline constexpr int kSnapSouth = 54;

// A value clamped into the plane.
std::int32_t ClampToPlane(std::int64_t v);
// A snap distance clamped into 1..1000.
std::int32_t ClampSnapDistance(std::int64_t snap);

// ---- mapping ----

// Plane point to logical drawing units: lx = x + XScroll - horzbarpos, ly = y + YScroll - vertbarpos.
TPoint PlaneToLogical(const TWindowSettings& w, std::int32_t x, std::int32_t y);

// Client pixel to plane point (every click and pointer move):
// x = round((X + HorzPosition) / ViewportFactor) + XMin - 10, and likewise for y.
TPoint PixelToPlane(const TWindowSettings& w, std::int32_t X, std::int32_t Y);

// The point a zoom click passes to ZoomToPoint: the clicked plane point plus 10 on each axis.
TPoint ZoomClickPoint(const TWindowSettings& w, std::int32_t X, std::int32_t Y);

// Refreshes horzbarpos/vertbarpos from the scroll positions: round(position / ViewportFactor). The
// window calls it before every paint and every click; the operations here that move the scroll
// positions call it themselves.
void UpdateBarPositions(TWindowSettings& w);

// The pixel rectangle to invalidate for a plane rectangle grown by `buffer` plane units:
// left = round((XScroll + left - buffer) x ViewportFactor) - HorzPosition, and likewise. An empty
// rectangle has nothing to repaint.
std::optional<TRect> RefreshRectangle(const TWindowSettings& w, const TRect& rect, std::int32_t buffer);

// A plane rectangle in logical units (before the scroll position), grown by `buffer` on every side:
// left + XScroll - buffer, right + XScroll + buffer, and likewise. An empty rectangle gives nothing.
std::optional<TRect> adjustrectangle(const TWindowSettings& w, const TRect& rect, std::int32_t buffer);

// The area the renderer must draw for a clip rectangle given in client pixels: the clip rectangle in
// logical units (rounded outward, so that a partly visible unit counts), moved by horzbarpos and
// vertbarpos. The result is in the units of adjustrectangle (plane + XScroll/YScroll), the units the
// hash table's Touch takes. An empty clip rectangle gives the empty rectangle.
TRect VisiblePlaneArea(const TWindowSettings& w, const TRect& clipPixels);

// ---- zoom and scrolling ----

// Scroll ranges from the extents: round((XMax - XMin + 20) x ViewportFactor), a negative range
// counting as 0; likewise vertically. The scroll positions are kept within their new ranges.
void SetScrollRange(TWindowSettings& w);

// Sets both scroll positions, each kept within 0..its range as a scroll bar keeps it, and refreshes
// the bar positions.
void SetScrollPositions(TWindowSettings& w, std::int64_t horz, std::int64_t vert);

// Changes the zoom to row AZoomState (clamped into 1..18) and sets ZoomState. With UseCursor the plane
// point (x, y) goes to the centre of the client area; otherwise the plane point at the top left stays
// where it is. Returns the new row: the caller sets the scroll step and the drag handle sizes from it
// and repaints the whole window.
const TZoomRow& SetZoom(TWindowSettings& w, std::int32_t AZoomState, std::int32_t x, std::int32_t y,
                        bool UseCursor);

// The core of choosing a zoom row from the menu, the keys or a saved state: SetZoom(NewZoomState, 0,
// 0, false). Returns the status text of the row, numerator:denominator ("1:24"). The caller checks
// menu entry NewZoomState, resizes the drag handles and shows the text.
std::string ResetZoomCheck(TWindowSettings& w, std::int32_t NewZoomState);

// Whether a zoom-in step to `row` is allowed on a screen `screenWidthPixels` wide. False means
// refused; the caller shows "Zoom factor too large for network." and the zoom stays.
bool ZoomOK(std::int32_t row, std::int32_t screenWidthPixels);

struct TZoomStepResult {
    bool Refused = false;   // a zoom-in step was refused by ZoomOK
    std::string StatusText; // the status text of the resulting row
};

// One zoom step out (ZoomDown) or in, keeping the plane point (x, y) in the centre of the window.
// Zooming in asks ZoomOK first; when it refuses the row stays and Refused is set.
TZoomStepResult ZoomToPoint(TWindowSettings& w, std::int32_t x, std::int32_t y, bool ZoomDown,
                            std::int32_t screenWidthPixels);

// The "+" and "-" keys: one row in (out) without the ZoomOK check; nothing at row 18 (row 1).
// Returns the status text when the zoom changed.
std::optional<std::string> ZoomInKey(TWindowSettings& w);
std::optional<std::string> ZoomOutKey(TWindowSettings& w);

// ---- extents of the sketch pad ----

// Widens the extents to take in the plane point (x, y) (clamped into the plane). XScroll, YScroll and
// the scroll ranges follow. Returns true when a minimum changed: the picture moved and the whole
// window must be repainted.
bool AdjustExtents(TWindowSettings& w, std::int32_t x, std::int32_t y);

// Shrinks the extents to every point of the network, nodes and shape points, drawn or deleted. A
// network without points gets a new network's extents, so that clicks and new nodes keep their
// places. Both scroll positions go to 0. The caller repaints the whole window.
void Trim(TWindowSettings& w, const THashTable& hash);

// Room buttons: 80 plane units of room on one side, never past the plane's edge. Each returns true
// when the whole window must be repainted (the picture moved); otherwise the picture stays where it
// is. WestButton adds room east (XMax), NorthButton south (YMax), EastButton west (XMin) and
// SouthButton north (YMin).
bool WestButton(TWindowSettings& w);
bool EastButton(TWindowSettings& w);
bool NorthButton(TWindowSettings& w);
bool SouthButton(TWindowSettings& w);

// The Extents dialog's OK: stores the four values (each clamped into the plane, with no check that a
// minimum lies below its maximum) as YMin, YMax, XMin, XMax; XScroll and YScroll follow; the scroll
// ranges are recomputed. The caller repaints the whole window.
void SetExtents(TWindowSettings& w, std::int32_t top, std::int32_t bottom, std::int32_t left,
                std::int32_t right);

// ---- plot cursor ----

// One snap step of the plot cursor for hotkey 51 (east), 52 (west), 53 (north) or 54 (south); `snap`
// is clamped into 1..1000. A step that would reach or pass the plane's edge is not taken. Returns
// whether the cursor moved. The caller erases the cursor before, draws it after and shows the
// coordinates.
bool SnapPlotCursor(TWindowSettings& w, int hotkey, std::int32_t snap);

// Places the plot cursor, clamped into the plane.
void SetCursorPosition(TWindowSettings& w, std::int64_t x, std::int64_t y);

struct TLineSegment {
    TPoint from;
    TPoint to;
    friend bool operator==(const TLineSegment&, const TLineSegment&) = default;
};

// The plot cursor's two lines in logical units, for the window's client size (ClientWidth and
// ClientHeight, pixels). The horizontal line runs from logical x 0 to round(ClientWidth /
// ViewportFactor) at the cursor's logical y, present only when both logical coordinates of the cursor
// lie within -320000..320000; the vertical line runs from logical y 0 to round(ClientHeight /
// ViewportFactor) at the cursor's logical x, present only when that x is below 65535.
struct TPlotCursorLines {
    std::optional<TLineSegment> horizontal;
    std::optional<TLineSegment> vertical;
};
TPlotCursorLines PlotCursorLines(const TWindowSettings& w);

// The plot cursor's pen colour (drawn in exclusive-or mode), 24 bits with red in the low byte: blue
// (0, 0, 255) with DarkCursor, navy (0, 0, 127) otherwise.
std::int32_t PlotCursorColor(const TWindowSettings& w);

} // namespace zan
