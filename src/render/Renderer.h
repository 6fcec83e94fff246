// The network renderer: paints a network as one window's settings show it onto any QPainter (a
// window, a printer page, an SVG or PDF generator, an image). RedrawNetwork draws everything in a
// fixed order, restricted to a rectangle; DrawNodeSymbol and DrawLinkSymbol draw single elements.
//
// Coordinates: elements have integer plane coordinates. Adding the window's XScroll and YScroll
// gives logical units; on the screen the scroll positions (horzbarpos, vertbarpos) are subtracted,
// and one logical unit is `factor` pixels. Sizes (symbol half-sizes, pen widths, arrow lengths) are
// logical units, so they scale with the zoom. The renderer maps every vertex itself (rounding to
// the nearest pixel, halves to even) and draws with integer pixel coordinates and no antialiasing,
// so the same network, settings and size always give the same pixels.
#pragma once

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "display/Styles.h"
#include "display/Widths.h"
#include "model/Rect.h"

namespace zan {

class TNetwork;
class TNode;
class TNetworkPoint;
class TShapePoint;
struct TLinkValues;
struct TWindowSettings;
class TBitmapStore;
class TElementFilter;

// On the screen a point is drawable when both its logical coordinates lie in -320000..320000;
// nothing outside is handed to the painter.
inline constexpr std::int64_t kDrawableLimit = 320000;

struct TRedrawOptions {
    bool IsPenPlot = false;
    bool IsInterruptable = false;
    // Scroll positions in logical units: the window's on the screen, the plot's own on a plot.
    std::int32_t horzbarpos = 0;
    std::int32_t vertbarpos = 0;
    double factor = 1.0; // pixels per logical unit
    // Points whose logical coordinates lie outside +-drawableLimit are not drawn. On the screen
    // the limit keeps far-away elements from the painter; a picture fitted around the whole
    // network raises it.
    std::int64_t drawableLimit = kDrawableLimit;
    // Interruptible redraws call this before each cell; it lets pending events run and returns true
    // when the user asked to stop.
    std::function<bool()> ProcessEvents;
    // Whether the picture goes to the screen (highlights of picks are drawn only there).
    bool OnScreen() const { return !IsPenPlot; }
};

// Labels are drawn by a separate painter; without one no element has a label.
class TLabelPainter {
public:
    virtual ~TLabelPainter() = default;
    virtual bool NodeHasLabel(const TNode& node) const = 0;
    virtual bool LinkHasLabel(const TLinkValues& link) const = 0;
    virtual void DrawNodeLabel(QPainter& painter, const TNode& node) = 0;
    virtual void DrawLinkLabel(QPainter& painter, const TLinkValues& link) = 0;
};

// Width and height of what a primitive drew (or would draw), in logical units.
struct TExtent {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

class TNetworkRenderer {
public:
    // `windowColor` is the window background (standard colour 0).
    TNetworkRenderer(TNetwork& net, TWindowSettings& window, const TBitmapStore& bitmaps,
                     QColor windowColor = Qt::white);
    ~TNetworkRenderer();
    TNetworkRenderer(const TNetworkRenderer&) = delete;
    TNetworkRenderer& operator=(const TNetworkRenderer&) = delete;

    void SetLabelPainter(TLabelPainter* labels) { labels_ = labels; }
    void SetWindowColor(QColor color);

    // Draws the whole picture, restricted to `rect` (logical units, already moved by the scroll
    // positions). The cells to visit must have been marked by THashTable::Touch for the same
    // rectangle. Returns false when an interruptible redraw was stopped.
    bool RedrawNetwork(QPainter& painter, const TRect& rect, const TRedrawOptions& options);

    // A screen repaint of `clip` (pixels of the window's client area) with the window's own scroll
    // positions and zoom: marks the cells that touch it and redraws.
    void Paint(QPainter& painter, const QRect& clip);

    // A whole picture of the network's extents fitted into an image of `size` pixels (the
    // command-line plot): returns the factor and scroll positions used.
    TRedrawOptions FitOptions(QSize size) const;

    // Single elements, with the options of the current drawing surface. Coordinates are plane
    // units; the offsets XScroll, YScroll are added when `addOffsets`, the scroll positions are
    // subtracted when `subtractScroll`. With `draw` false only the extent is computed.
    TExtent DrawNodeSymbol(QPainter& painter, const TRedrawOptions& options, std::int32_t x, std::int32_t y,
                           int colorIndex, int code, int halfSize, bool addOffsets, bool subtractScroll,
                           bool draw, bool forceEntity, const TNode* node, const TSliceValues* slices);
    TExtent DrawLinkSymbol(QPainter& painter, const TRedrawOptions& options, std::int32_t x1, std::int32_t y1,
                           std::int32_t x2, std::int32_t y2, int colorIndex, int code, int secondWidth,
                           bool addOffsets, bool subtractScroll, bool draw, const TLinkValues* link,
                           bool hasArrow);
    void drawthenode(QPainter& painter, const TRedrawOptions& options, const TNetworkPoint& point,
                     bool multiple, bool monochrome);
    void drawpolygon(QPainter& painter, const TRedrawOptions& options, const TNode& owner, bool addOffsets,
                     bool subtractScroll);
    // Desire lines of the loaded trip tables.
    void DrawDesireLines(QPainter& painter, const TRedrawOptions& options);
    // The plot cursor's cross-hair, drawn by exclusive-or (drawing it twice removes it).
    // Its lines span the window's client area (ClientWidth, ClientHeight).
    void DrawPlotCursor(QPainter& painter, const TRedrawOptions& options);

    // Half-size of a node symbol for repainting its square (RefreshNodeRect).
    int NodeSymbolHalfSize(int code, bool isBitmap) const;

    const TColorTable& Standard() const { return standard_; }

private:
    class TCanvas;
    struct TPass;

    QColor ColorOf(int colorIndex) const;
    void PolygonPass(TPass& pass);
    void LinkPass(TPass& pass, bool labelPass);
    void NodePass(TPass& pass, bool labelPass);
    void PickedShapePoint(TPass& pass);
    void EndMarker(TCanvas& canvas, bool draw, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                   std::int64_t y2, std::int64_t px, std::int64_t py, int code, QColor color,
                   TExtent& extent);
    void DrawBand(TCanvas& canvas, const TRedrawOptions& o, const std::vector<QPoint>& logical, int width,
                  QColor color, int bitmap);
    void StampLinkBitmap(TCanvas& canvas, const TRedrawOptions& o, QPoint a, QPoint b, int bitmap,
                         QColor color, bool erase);

    TNetwork& net_;
    TWindowSettings& window_;
    const TBitmapStore& bitmaps_;
    TColorTable standard_;
    TLabelPainter* labels_ = nullptr;
    std::unique_ptr<TWidthEvaluator> widths_;
    TCanvas* canvas_ = nullptr;      // the canvas of the redraw in progress, if any
    std::vector<QPoint> linkPoints_; // scratch: the points of the link being drawn
    QBrush lastBrush_;               // a polygon whose fill bitmap is missing keeps the previous fill
};

} // namespace zan
