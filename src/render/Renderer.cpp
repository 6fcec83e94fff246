#include "render/Renderer.h"

#include <QBrush>
#include <QPen>
#include <QPolygon>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "display/TripTable.h"
#include "geometry/Viewport.h"
#include "model/HashTable.h"
#include "model/Network.h"
#include "model/NetworkElements.h"
#include "model/WindowSettings.h"
#include "render/BitmapStore.h"
#include "render/RasterTarget.h"
#include "schema/RangeFilter.h"

namespace zan {

namespace {

QColor ToQColor(TColor24 c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

// Nearest integer, halves to even (the default rounding mode).
std::int64_t Round(double v) {
    return static_cast<std::int64_t>(std::nearbyint(v));
}

bool Meets(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, const TRect& rect) {
    return !rect.IsEmpty() && l <= rect.right && r >= rect.left && t <= rect.bottom && b >= rect.top;
}

bool IsHighlight(int colorIndex) {
    return colorIndex == 0 || colorIndex == kActiveCornerColor || colorIndex == kMultipleColor ||
           colorIndex == kPickColor;
}

// How far a node's symbol may reach from its point, in logical units. A plain symbol reaches the
// node extent, or 10 for the circles of the circle, dot and pie styles. No symbol is larger than
// NodeWorstSize (the largest radius, half-size or bitmap side the window's styles and widths give)
// plus the outline's pen: 1, or for the circle style a pen of an eighth of the radius plus 1.
// Culling by less would leave the part of a large symbol that reaches into a partial repaint
// undrawn whenever its point lies outside.
std::int64_t NodeSymbolReach(const TWindowSettings& w) {
    const TGlobalShape gs = w.wd.GlobalShape;
    const bool circles =
        gs == TGlobalShape::circle || gs == TGlobalShape::dot || gs == TGlobalShape::piegraph;
    const std::int64_t plain = circles ? 10 : w.NodeExtent;
    const std::int64_t worst = std::max<std::int64_t>(w.NodeWorstSize, w.NodeExtent);
    const std::int64_t pen = gs == TGlobalShape::circle ? worst / 16 + 2 : 1;
    return std::max(plain, worst + pen);
}

// How far a link's drawing may reach beyond its rectangle (which holds A, B and the shape points),
// in logical units. The crosses on its shape points reach the node extent. A link of width w draws
// two bands up to w + 1 off its centre line, or an arrow head whose back corners lie up to
// (w + 3) x 1.42 away on each axis, outlined with a pen of width w; 2w + 6 covers them all. The
// widest link is LinkWorstSize, and at least 10: widths up to 10 are not counted there.
std::int64_t LinkSymbolReach(const TWindowSettings& w) {
    const std::int64_t widest = std::max<std::int64_t>(w.LinkWorstSize, 10);
    return std::max<std::int64_t>(std::int64_t{w.NodeExtent} + 1, 2 * widest + 6);
}

// How far a polygon's border may reach beyond its rectangle, in logical units: half the widest pen
// of the polygon styles, and at least 3.
std::int64_t PolygonBorderReach(const TWindowSettings& w) {
    std::int64_t pen = 1;
    for (const TPolygonStyle& style : w.Display.polygonstyles)
        pen = std::max<std::int64_t>(pen, style.penwidth);
    return std::max<std::int64_t>(3, pen / 2 + 1);
}

} // namespace

// The drawing surface of one redraw: maps logical units to pixels. One-pixel lines and filled
// rectangles go straight into the pixels of an image where that gives the painter's result;
// elsewhere runs of them with the same colour and width are gathered into one painter call.
// Anything drawn through the painter first flushes the pending run, so the drawing order (and
// hence the picture) is unchanged.
class TNetworkRenderer::TCanvas {
public:
    TCanvas(QPainter& painter, const TRedrawOptions& options)
        : painter_(painter), factor_(options.factor),
          limit_(std::clamp<std::int64_t>(options.drawableLimit, 0, std::int64_t{1} << 30)) {
        const double factor = factor_;
        painter_.setRenderHint(QPainter::Antialiasing, false);
        // The zoom ladder's factors are whole multiples of 1/288: map with integers then, so that
        // halves round to even exactly as the click mapping does.
        const double scaled = factor * 288.0;
        if (scaled >= 1 && scaled <= 1 << 20 && scaled == std::floor(scaled))
            scaled_ = static_cast<std::int64_t>(scaled);
        raster_ = TRasterTarget::For(painter_);
        if (!raster_) {
            lines_.reserve(kBatch);
            rects_.reserve(kBatch);
        }
    }
    ~TCanvas() { Flush(); }
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    QPainter& Painter() {
        Flush();
        return painter_;
    }
    QPainter& Target() const { return painter_; }
    double Factor() const { return factor_; }
    // Whether a logical point may be handed to the painter.
    bool Drawable(std::int64_t lx, std::int64_t ly) const {
        return lx >= -limit_ && lx <= limit_ && ly >= -limit_ && ly <= limit_;
    }
    // A logical coordinate held just outside the drawable range (for points that are not drawn).
    int Hold(std::int64_t l) const {
        return static_cast<int>(std::clamp<std::int64_t>(l, -limit_ - 1, limit_ + 1));
    }

    // Pixel of a logical point (drawable points only, so the products stay far inside int).
    QPoint Device(std::int64_t lx, std::int64_t ly) const { return QPoint(Map(lx), Map(ly)); }
    int Map(std::int64_t l) const {
        if (scaled_ == 0)
            return static_cast<int>(Round(static_cast<double>(l) * factor_));
        // round(l * scaled / 288), halves to even.
        const std::int64_t n = l * scaled_;
        std::int64_t q = n / 288;
        std::int64_t r = n % 288;
        if (r < 0) {
            r += 288;
            --q;
        }
        if (2 * r > 288 || (2 * r == 288 && (q & 1) != 0))
            ++q;
        return static_cast<int>(q);
    }
    // A pen width of `w` logical units in pixels, at least 1.
    int PenWidth(double w) const { return static_cast<int>(std::max<std::int64_t>(1, Round(w * factor_))); }

    // A solid line; lines whose ends fall on the same pixel draw nothing, as a line ends before its
    // last point.
    void Line(QColor color, int width, QPoint a, QPoint b) {
        if (a == b)
            return;
        if (raster_ && width <= 1) {
            Flush();
            raster_->Line(color.rgb(), a, b);
            return;
        }
        if (kind_ != Kind::lines || color != color_ || width != width_) {
            Flush();
            kind_ = Kind::lines;
            color_ = color;
            width_ = width;
        }
        lines_.emplace_back(a, b);
        if (lines_.size() >= kBatch)
            Flush();
    }
    // A filled rectangle from corner to corner, both included.
    void Fill(QColor color, QPoint tl, QPoint br) {
        if (raster_) {
            Flush();
            raster_->Fill(color.rgb(), tl, br);
            return;
        }
        if (kind_ != Kind::rects || color != color_) {
            Flush();
            kind_ = Kind::rects;
            color_ = color;
        }
        rects_.emplace_back(tl, br);
        if (rects_.size() >= kBatch)
            Flush();
    }
    void Flush() {
        if (kind_ == Kind::lines && !lines_.empty()) {
            painter_.setPen(LinePen(color_, width_));
            painter_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
        } else if (kind_ == Kind::rects && !rects_.empty()) {
            painter_.setPen(Qt::NoPen);
            painter_.setBrush(color_);
            painter_.drawRects(rects_.data(), static_cast<int>(rects_.size()));
        }
        lines_.clear();
        rects_.clear();
        kind_ = Kind::none;
    }

    static QPen LinePen(QColor color, int width, Qt::PenStyle style = Qt::SolidLine) {
        if (width <= 1) {
            QPen pen(color, 0, style, Qt::FlatCap, Qt::MiterJoin);
            return pen;
        }
        return QPen(color, width, style, Qt::RoundCap, Qt::RoundJoin);
    }

private:
    static constexpr std::size_t kBatch = 8192;
    enum class Kind { none, lines, rects };
    QPainter& painter_;
    double factor_;
    std::int64_t limit_;
    std::int64_t scaled_ = 0; // factor * 288 when that is whole
    Kind kind_ = Kind::none;
    QColor color_;
    int width_ = 1;
    std::vector<QLine> lines_;
    std::vector<QRect> rects_;
    std::optional<TRasterTarget> raster_; // the image's pixels, when they can be written directly
};

// The state of one RedrawNetwork call.
struct TNetworkRenderer::TPass {
    TCanvas& canvas;
    const TRedrawOptions& options;
    const TRect& rect;
    const TElementFilter& filter;
    bool notAnyNodeRanges;
    bool notAnyLinkRanges;
    bool monochrome;
    bool anyLabels = false;
    bool aborted = false;

    // In an interruptible redraw, lets pending events run before a cell; true once the user
    // asked to stop.
    bool Interrupted() {
        if (options.IsInterruptable && options.ProcessEvents && options.ProcessEvents())
            aborted = true;
        return aborted;
    }
};

TNetworkRenderer::TNetworkRenderer(TNetwork& net, TWindowSettings& window, const TBitmapStore& bitmaps,
                                   QColor windowColor)
    : net_(net), window_(window), bitmaps_(bitmaps) {
    SetWindowColor(windowColor);
}

TNetworkRenderer::~TNetworkRenderer() = default;

void TNetworkRenderer::SetWindowColor(QColor color) {
    standard_ = StandardColors(RGB24(color.red(), color.green(), color.blue()));
}

QColor TNetworkRenderer::ColorOf(int colorIndex) const {
    return ToQColor(ResolveColor(window_, standard_, colorIndex));
}

// ---------------------------------------------------------------------------------------------
// Whole pictures

bool TNetworkRenderer::RedrawNetwork(QPainter& painter, const TRect& rect, const TRedrawOptions& options) {
    TCanvas canvas(painter, options);
    canvas_ = &canvas;
    widths_ = std::make_unique<TWidthEvaluator>(net_, window_);
    const TRangeFilter filter(net_, window_);
    TPass pass{canvas,
               options,
               rect,
               filter,
               filter.NotAnyNodeRanges,
               filter.NotAnyLinkRanges,
               options.IsPenPlot && window_.Display.Monochrome};

    // Backgrounds and an underlay network come first when they are set; they have their own painters.
    if (window_.Display.PolygonLayerIsFirst && net_.Hash.HasPolygons)
        PolygonPass(pass);
    if (!pass.aborted)
        LinkPass(pass, false);
    if (!pass.aborted && window_.wd.GlobalShape != TGlobalShape::nodraw)
        NodePass(pass, false);
    if (!pass.aborted)
        PickedShapePoint(pass);
    if (!pass.aborted && !window_.Display.PolygonLayerIsFirst && net_.Hash.HasPolygons)
        PolygonPass(pass);
    if (!pass.aborted && pass.anyLabels && labels_ != nullptr) {
        LinkPass(pass, true);
        if (!pass.aborted)
            NodePass(pass, true);
    }
    if (!pass.aborted && window_.Display.ShowDesireLines)
        DrawDesireLines(painter, options);
    canvas.Flush();
    canvas_ = nullptr;
    return !pass.aborted;
}

void TNetworkRenderer::Paint(QPainter& painter, const QRect& clip) {
    if (window_.Plotting)
        return;
    UpdateBarPositions(window_);
    TRedrawOptions options;
    options.factor = window_.ViewportFactor();
    options.horzbarpos = window_.horzbarpos;
    options.vertbarpos = window_.vertbarpos;
    const TRect rect = VisiblePlaneArea(window_, TRect{clip.left(), clip.top(), clip.right(), clip.bottom()});
    net_.Hash.Touch(rect, false, window_);
    painter.save();
    RedrawNetwork(painter, rect, options);
    painter.restore();
}

TRedrawOptions TNetworkRenderer::FitOptions(QSize size) const {
    TRedrawOptions options;
    options.IsPenPlot = false;
    const std::int64_t w = std::int64_t{window_.XMax} - window_.XMin + 20;
    const std::int64_t h = std::int64_t{window_.YMax} - window_.YMin + 20;
    if (w <= 0 || h <= 0 || size.width() <= 0 || size.height() <= 0) {
        options.factor = 1.0;
        return options;
    }
    options.factor = std::min(static_cast<double>(size.width()) / static_cast<double>(w),
                              static_cast<double>(size.height()) / static_cast<double>(h));
    // The sketch pad starts 10 units before the extents; logical 0 is XMin - 10, so no scrolling.
    options.horzbarpos = 0;
    options.vertbarpos = 0;
    // The whole sketch pad is in the picture, however far its logical units reach.
    options.drawableLimit = std::int64_t{1} << 30;
    return options;
}

// ---------------------------------------------------------------------------------------------
// Passes

void TNetworkRenderer::PolygonPass(TPass& pass) {
    const TRedrawOptions& o = pass.options;
    const std::int64_t dx = window_.XScroll;
    const std::int64_t dy = window_.YScroll;
    const std::int64_t g = PolygonBorderReach(window_);
    for (THashEntry* cell : net_.Hash) {
        if (!cell->HasPolygons)
            continue;
        const TRect& c = cell->compositerectangle;
        if (!o.IsPenPlot && (c.IsEmpty() || !Meets(c.left + dx - g, c.top + dy - g, c.right + dx + g,
                                                   c.bottom + dy + g, pass.rect)))
            continue;
        if (pass.Interrupted())
            return;
        for (TNetworkPoint* p : cell->NodeList) {
            const TNode* n = p->AsNode();
            if (n == nullptr || !n->IsDrawnN || n->MyPolygonList.Count() < 2 || !n->ValidLayer(window_))
                continue;
            if (!pass.notAnyNodeRanges && !pass.filter.PassesNode(*n))
                continue;
            const TRect& r = n->PolygonRectangle;
            if (!o.IsPenPlot && (r.IsEmpty() || !Meets(r.left + dx - g, r.top + dy - g, r.right + dx + g,
                                                       r.bottom + dy + g, pass.rect)))
                continue;
            drawpolygon(pass.canvas.Target(), o, *n, true, true);
        }
    }
}

void TNetworkRenderer::LinkPass(TPass& pass, bool labelPass) {
    const TRedrawOptions& o = pass.options;
    const TWindowSettings& w = window_;
    const std::int64_t dx = w.XScroll;
    const std::int64_t dy = w.YScroll;
    // How far a link's symbol or label may reach beyond its rectangle.
    const std::int64_t grow = w.BigLinks ? w.LinkWorstSize : 0;
    const std::int64_t reach = LinkSymbolReach(w);
    const std::int64_t gl = std::max<std::int64_t>(reach, std::int64_t{w.linklabelxleft} + grow);
    const std::int64_t gr = std::max<std::int64_t>(reach, std::int64_t{w.linklabelxright} + grow);
    const std::int64_t gt = std::max<std::int64_t>(reach, std::int64_t{w.linklabelytop} + grow);
    const std::int64_t gb = std::max<std::int64_t>(reach, std::int64_t{w.linklabelybot} + grow);
    const auto& types = net_.LinkDef;
    for (THashEntry* cell : net_.Hash) {
        if (!labelPass)
            cell->HasLabels = false;
        if (!cell->LinkTouch || (labelPass && !cell->HasLabels))
            continue;
        if (pass.Interrupted())
            return;
        for (TNetworkPoint* p : cell->NodeList) {
            TNode* n = p->AsNode();
            if (n == nullptr)
                continue;
            for (TLink* half : n->LinkList) {
                if (!half->IsAEnd())
                    continue;
                TLinkValues& link = *half->LinkData;
                if (!link.IsDrawnL || (labelPass && !link.HasALabel))
                    continue;
                // Whether the link (grown by what its symbol and label may reach) meets the
                // rectangle; tested first as it is the cheapest way to skip a link.
                const TRect& r = link.LinkRect;
                const bool meets =
                    o.IsPenPlot || (!r.IsEmpty() && Meets(r.left + dx - gl, r.top + dy - gt,
                                                          r.right + dx + gr, r.bottom + dy + gb, pass.rect));
                if (!meets || !link.AEnd->ValidLayer(w) || !link.BEnd->ValidLayer(w))
                    continue;
                if (pass.notAnyLinkRanges || pass.filter.PassesLink(link)) {
                    const TLinkShape shape = widths_->linkshape(link);
                    if (!labelPass && shape.color > 0) {
                        const int color = pass.monochrome ? 1 : shape.color;
                        int code = shape.code;
                        if (link.BitmapOverride != 0 && (w.wd.linkwidthstatus != TWidthStatus::widthh ||
                                                         w.wd.showaend == TAEndDotShape::linkbitmap))
                            code =
                                link.BitmapOverride + (w.wd.linkwidthstatus == TWidthStatus::nonee ? 10 : 0);
                        const bool hasArrow = types.TypeOf(link.LType).hasarrow;
                        DrawLinkSymbol(pass.canvas.Target(), o, link.AEnd->x_cent, link.AEnd->y_cent,
                                       link.BEnd->x_cent, link.BEnd->y_cent, color, code, shape.secondwidth,
                                       true, true, true, &link, hasArrow);
                        link.HasALabel = labels_ != nullptr && labels_->LinkHasLabel(link);
                        if (link.HasALabel) {
                            cell->HasLabels = true;
                            pass.anyLabels = true;
                        }
                    } else if (labels_ != nullptr) {
                        labels_->DrawLinkLabel(pass.canvas.Painter(), link);
                    }
                } else if (!labelPass && w.Display.GhostDrawLinks) {
                    const std::int64_t ax = link.AEnd->x_cent + dx - o.horzbarpos;
                    const std::int64_t ay = link.AEnd->y_cent + dy - o.vertbarpos;
                    const std::int64_t bx = link.BEnd->x_cent + dx - o.horzbarpos;
                    const std::int64_t by = link.BEnd->y_cent + dy - o.vertbarpos;
                    if (pass.canvas.Drawable(ax, ay) && pass.canvas.Drawable(bx, by)) {
                        const QColor ghost = ToQColor(
                            standard_[static_cast<std::size_t>(CheckedColorIndex(w.Display.GhostColor))]);
                        pass.canvas.Line(ghost, 1, pass.canvas.Device(ax, ay), pass.canvas.Device(bx, by));
                    }
                }
            }
        }
    }
}

void TNetworkRenderer::NodePass(TPass& pass, bool labelPass) {
    const TRedrawOptions& o = pass.options;
    const TWindowSettings& w = window_;
    const std::int64_t dx = w.XScroll;
    const std::int64_t dy = w.YScroll;
    // A node is drawn when its symbol or its label may reach into the rectangle.
    const std::int64_t reach = NodeSymbolReach(w);
    bool havePrevious = false;
    std::int32_t px = 0, py = 0;
    for (THashEntry* cell : net_.Hash) {
        if (!cell->NodeTouch || (labelPass && !cell->HasLabels))
            continue;
        if (pass.Interrupted())
            return;
        for (TNetworkPoint* p : cell->NodeList) {
            TNode* n = p->AsNode();
            if (n == nullptr || !n->IsDrawnN || !n->ValidLayer(w))
                continue;
            if (labelPass && !n->HasALabel)
                continue;
            if (!pass.notAnyNodeRanges && !pass.filter.PassesNode(*n))
                continue;
            const std::int64_t x = n->x_cent + dx;
            const std::int64_t y = n->y_cent + dy;
            bool meets = o.IsPenPlot;
            if (!meets) {
                const std::size_t t = n->NType <= kLastEntityType ? n->NType : 0;
                if (w.Labels.NodeLabelsThere[t] && labels_ != nullptr) {
                    const std::int64_t l = std::max<std::int64_t>(w.nodelabelxleft, reach);
                    const std::int64_t r = std::max<std::int64_t>(w.nodelabelxright, reach);
                    const std::int64_t tp = std::max<std::int64_t>(w.nodelabelytop, reach);
                    const std::int64_t b = std::max<std::int64_t>(w.nodelabelybot, reach);
                    meets = Meets(x - l, y - tp, x + r, y + b, pass.rect);
                } else {
                    meets = Meets(x - reach, y - reach, x + reach, y + reach, pass.rect);
                }
            }
            if (!meets)
                continue;
            if (!labelPass) {
                const bool multiple = havePrevious && px == n->x_cent && py == n->y_cent;
                drawthenode(pass.canvas.Target(), o, *n, multiple, pass.monochrome);
                havePrevious = true;
                px = n->x_cent;
                py = n->y_cent;
                n->HasALabel = labels_ != nullptr && labels_->NodeHasLabel(*n);
                if (n->HasALabel) {
                    cell->HasLabels = true;
                    pass.anyLabels = true;
                }
            } else {
                labels_->DrawNodeLabel(pass.canvas.Painter(), *n);
            }
        }
    }
}

void TNetworkRenderer::PickedShapePoint(TPass& pass) {
    // The link pass draws shape points in their link's colour (or not at all under colour 0): the
    // picked one is drawn again on top, in the pick colour, like a picked node.
    const TShapePoint* sp = window_.LastSp;
    if (!pass.options.OnScreen() || sp == nullptr || !sp->IsDrawnN || sp->MyLink == nullptr)
        return;
    const TLinkValues& link = *sp->MyLink;
    if (!link.IsDrawnL || !link.AEnd->ValidLayer(window_) || !link.BEnd->ValidLayer(window_))
        return;
    if (!pass.notAnyLinkRanges && !pass.filter.PassesLink(link))
        return;
    const std::int64_t x = std::int64_t{sp->x_cent} + window_.XScroll;
    const std::int64_t y = std::int64_t{sp->y_cent} + window_.YScroll;
    const std::int64_t reach = std::int64_t{window_.NodeExtent} + 1;
    if (Meets(x - reach, y - reach, x + reach, y + reach, pass.rect))
        drawthenode(pass.canvas.Target(), pass.options, *sp, false, pass.monochrome);
}

// ---------------------------------------------------------------------------------------------
// Nodes

void TNetworkRenderer::drawthenode(QPainter& painter, const TRedrawOptions& options,
                                   const TNetworkPoint& point, bool multiple, bool monochrome) {
    if (canvas_ == nullptr || !widths_)
        widths_ = std::make_unique<TWidthEvaluator>(net_, window_);
    int code = 0;
    int color = 0;
    TSliceValues slices{};
    const TNode* node = point.AsNode();
    if (const TShapePoint* sp = point.AsShapePoint()) {
        if (sp->MyLink == nullptr)
            return;
        color = widths_->linkshape(*sp->MyLink).color;
        code = 251;
    } else {
        const TFinalNodeShape s = widths_->finalnodeshape(*node);
        code = s.code;
        color = s.color;
        slices = s.slices;
    }
    // The highlights come first: a picked, coincident or active point shows even when its own
    // colour is 0 (not drawn), and so does every point of a monochrome plot.
    if (options.OnScreen() && (&point == window_.LastNode || &point == window_.LastSp))
        color = kPickColor;
    if (multiple)
        color = kMultipleColor;
    if (monochrome)
        color = 1;
    if (point.IsActivePolygonCorner)
        color = kActiveCornerColor;
    if (color <= 0)
        return;
    if (node == nullptr) {
        DrawNodeSymbol(painter, options, point.x_cent, point.y_cent, color, 251, window_.NodeExtent, true,
                       true, true, true, nullptr, nullptr);
        return;
    }
    if (node->BitmapOverride != 0 && window_.wd.GlobalShape == TGlobalShape::entity)
        code = node->BitmapOverride + (window_.wd.nodewidthstatus == TWidthStatus::nonee ? 10 : 0);
    DrawNodeSymbol(painter, options, node->x_cent, node->y_cent, color, code, window_.NodeExtent, true, true,
                   true, false, node, &slices);
}

TExtent TNetworkRenderer::DrawNodeSymbol(QPainter& painter, const TRedrawOptions& o, std::int32_t x,
                                         std::int32_t y, int colorIndex, int code, int halfSize,
                                         bool addOffsets, bool subtractScroll, bool draw, bool forceEntity,
                                         const TNode* node, const TSliceValues* slices) {
    std::optional<TCanvas> local;
    TCanvas& canvas =
        canvas_ != nullptr && &canvas_->Target() == &painter ? *canvas_ : local.emplace(painter, o);
    const TWindowSettings& w = window_;
    const TGlobalShape gs = w.wd.GlobalShape;
    const TWidthStatus nstat = w.wd.nodewidthstatus;
    const QColor color = ColorOf(colorIndex);
    const std::int64_t lx =
        std::int64_t{x} + (addOffsets ? w.XScroll : 0) - (subtractScroll ? o.horzbarpos : 0);
    const std::int64_t ly =
        std::int64_t{y} + (addOffsets ? w.YScroll : 0) - (subtractScroll ? o.vertbarpos : 0);
    draw = draw && canvas.Drawable(lx, ly);
    const std::int64_t u = halfSize;
    TExtent extent;

    // A numbered bitmap in place of the symbol.
    int bitmap = 0;
    if (gs == TGlobalShape::entity || forceEntity) {
        if (nstat == TWidthStatus::widthh && code >= 1 && code <= 250 &&
            bitmaps_.Exists(TBitmapFamily::node, code))
            bitmap = code;
        else if (nstat == TWidthStatus::nonee && code >= 11 && code <= 250 &&
                 bitmaps_.Exists(TBitmapFamily::node, code - 10))
            bitmap = code - 10;
    } else if ((gs == TGlobalShape::circle || gs == TGlobalShape::dot || gs == TGlobalShape::piegraph) &&
               nstat == TWidthStatus::nonee && code >= 11 && code <= 250) {
        code -= 10;
    }
    if (bitmap != 0) {
        const QImage& image = bitmaps_.Image(TBitmapFamily::node, bitmap);
        extent = {image.width(), image.height()};
        if (draw) {
            const std::int64_t left = lx - image.width() / 2;
            const std::int64_t top = ly - image.height() / 2;
            const QPoint tl = canvas.Device(left, top);
            const QPoint br = canvas.Device(left + image.width(), top + image.height());
            const QRect target(tl, QSize(std::max(1, br.x() - tl.x()), std::max(1, br.y() - tl.y())));
            QPainter& p = canvas.Painter();
            if (IsHighlight(colorIndex))
                p.drawImage(target, bitmaps_.Silhouette(
                                        TBitmapFamily::node, bitmap,
                                        ToQColor(standard_[static_cast<std::size_t>(colorIndex)]).rgb()));
            else
                p.drawImage(target, bitmaps_.Transparent(TBitmapFamily::node, bitmap));
        }
        return extent;
    }

    auto device = [&](std::int64_t px, std::int64_t py) { return canvas.Device(px, py); };
    auto polygon = [&](std::initializer_list<std::pair<std::int64_t, std::int64_t>> points, QColor fill) {
        QPolygon poly;
        poly.reserve(static_cast<int>(points.size()));
        for (const auto& [px, py] : points)
            poly << device(px, py);
        QPainter& p = canvas.Painter();
        p.setPen(TCanvas::LinePen(color, 1));
        p.setBrush(fill);
        p.drawPolygon(poly);
    };
    auto outlinedSquare = [&](QColor fill, bool filled) {
        const QPoint tl = device(lx - u, ly - u);
        const QPoint br = device(lx + u, ly + u);
        QPainter& p = canvas.Painter();
        p.setPen(TCanvas::LinePen(color, 1));
        if (filled)
            p.setBrush(fill);
        else
            p.setBrush(Qt::NoBrush);
        p.drawRect(QRect(tl.x(), tl.y(), br.x() - tl.x(), br.y() - tl.y()));
    };
    auto ellipse = [&](std::int64_t r, QPen pen, QBrush brush) {
        const QPoint tl = device(lx - r, ly - r);
        const QPoint br = device(lx + r, ly + r);
        QPainter& p = canvas.Painter();
        p.setPen(pen);
        p.setBrush(brush);
        p.drawEllipse(QRect(tl.x(), tl.y(), br.x() - tl.x(), br.y() - tl.y()));
    };

    if (gs == TGlobalShape::entity || forceEntity) {
        extent = {static_cast<std::int32_t>(2 * u + 2), static_cast<std::int32_t>(2 * u + 2)};
        if (!draw)
            return extent;
        const QColor background = ToQColor(standard_[0]);
        switch (code) {
        case 0:
            if (gs == TGlobalShape::entity && nstat == TWidthStatus::widthh)
                break;
            [[fallthrough]];
        case 1:
            canvas.Fill(color, device(lx - u, ly - u), device(lx + u, ly + u));
            break;
        case 7:
            outlinedSquare(background, true);
            break;
        case 9: {
            outlinedSquare(background, true);
            canvas.Line(color, 1, device(lx - u, ly), device(lx + u, ly));
            canvas.Line(color, 1, device(lx, ly + u), device(lx, ly - u));
            break;
        }
        case 2:
            polygon({{lx, ly - u}, {lx - u, ly + u}, {lx + u, ly + u}}, color);
            break;
        case 3:
            polygon({{lx, ly - u}, {lx - u, ly}, {lx, ly + u}, {lx + u, ly}}, color);
            break;
        case 4: {
            const std::int64_t s = Round(static_cast<double>(u) / 3.0);
            polygon({{lx, ly - u},
                     {lx + s, ly - s},
                     {lx + u, ly},
                     {lx + s, ly + s},
                     {lx, ly + u},
                     {lx - s, ly + s},
                     {lx - u, ly},
                     {lx - s, ly - s}},
                    color);
            break;
        }
        case 5:
            polygon({{lx - u, ly - u}, {lx, ly + u}, {lx + u, ly - u}}, color);
            break;
        case 6:
            polygon({{lx, ly - u}, {lx - u, ly}, {lx - u, ly + u}, {lx + u, ly + u}, {lx + u, ly}}, color);
            break;
        case 8: {
            const std::int64_t b = u / 2;
            polygon({{lx - u, ly - u},
                     {lx, ly - b},
                     {lx + u, ly - u},
                     {lx + b, ly},
                     {lx + u, ly + u},
                     {lx, ly + b},
                     {lx - u, ly + u},
                     {lx - b, ly}},
                    color);
            break;
        }
        case 10:
            ellipse(u, TCanvas::LinePen(color, 1), QBrush(color));
            break;
        default:
            if (code >= 251 && code <= 255) {
                if (!w.wd.SuppressShapes) {
                    canvas.Line(color, 1, device(lx - u, ly - u), device(lx + u, ly + u));
                    canvas.Line(color, 1, device(lx + u, ly - u), device(lx - u, ly + u));
                }
            } else if (code >= 11) {
                outlinedSquare(color, false);
            }
            break;
        }
        return extent;
    }

    switch (gs) {
    case TGlobalShape::box:
        extent = {static_cast<std::int32_t>(2 * u + 1), static_cast<std::int32_t>(2 * u + 1)};
        if (draw)
            outlinedSquare(color, false);
        break;
    case TGlobalShape::circle:
    case TGlobalShape::dot:
    case TGlobalShape::piegraph: {
        const std::int64_t r = code;
        extent = {static_cast<std::int32_t>(std::max<std::int64_t>(0, 2 * r - 1)),
                  static_cast<std::int32_t>(std::max<std::int64_t>(0, 2 * r - 1))};
        if (!draw || r < 0 || (r == 0 && w.wd.linkwidthstatus == TWidthStatus::widthh))
            break;
        if (gs == TGlobalShape::circle) {
            ellipse(r, TCanvas::LinePen(color, canvas.PenWidth(Round(static_cast<double>(r) * 0.125 + 1.0))),
                    Qt::NoBrush);
            break;
        }
        // Pie slices: the node's attribute values named by its type's pie list, or the positive
        // values of the width expressions.
        std::array<double, 11> values{};
        double total = 0;
        int count = 0;
        if (gs == TGlobalShape::piegraph && node != nullptr && !IsHighlight(colorIndex)) {
            bool fromWidths = false;
            if (nstat == TWidthStatus::widthh && slices != nullptr) {
                for (int i = 1; i <= 10; ++i)
                    fromWidths = fromWidths || (*slices)[static_cast<std::size_t>(i)] > 0;
            }
            const TEntityType& type = net_.NodeDef.TypeOf(node->NType);
            for (int i = 1; i <= 10; ++i) {
                double v = 0;
                if (fromWidths) {
                    v = (*slices)[static_cast<std::size_t>(i)];
                    if (!(v > 0))
                        v = 0;
                } else {
                    const int attribute = type.pielist[static_cast<std::size_t>(i)];
                    if (attribute >= 1 && attribute <= node->ValueCount())
                        v = node->NValue[static_cast<std::size_t>(attribute - 1)];
                }
                values[static_cast<std::size_t>(i)] = v;
                if (v != 0)
                    ++count;
                total += v;
            }
        }
        if (gs == TGlobalShape::dot || count == 0 || !(total > 0)) {
            ellipse(r, TCanvas::LinePen(color, 1), QBrush(color));
            break;
        }
        const QPoint tl = device(lx - r, ly - r);
        const QPoint br = device(lx + r, ly + r);
        const QRect box(tl.x(), tl.y(), br.x() - tl.x(), br.y() - tl.y());
        QPainter& p = canvas.Painter();
        double start = std::numbers::pi / 2;
        for (int i = 1; i <= 10; ++i) {
            const double v = values[static_cast<std::size_t>(i)];
            if (v == 0)
                continue;
            const double span = 2 * std::numbers::pi * v / total;
            const QColor slice = ToQColor(SliceColor(w, i));
            p.setPen(TCanvas::LinePen(slice, 1));
            p.setBrush(slice);
            // Angles in sixteenths of a degree, counter-clockwise positive: slices run clockwise.
            p.drawPie(box, static_cast<int>(Round(start * 180 / std::numbers::pi * 16)),
                      -static_cast<int>(Round(span * 180 / std::numbers::pi * 16)));
            start -= span;
            if (start < 0)
                start += 2 * std::numbers::pi;
        }
        break;
    }
    default:
        break;
    }
    return extent;
}

int TNetworkRenderer::NodeSymbolHalfSize(int code, bool isBitmap) const {
    const TGlobalShape gs = window_.wd.GlobalShape;
    if (gs == TGlobalShape::entity) {
        if ((code >= 11 && code <= 250) || isBitmap) {
            const int n = window_.wd.nodewidthstatus == TWidthStatus::nonee ? code - 10 : code;
            const int side = bitmaps_.LargerSide(TBitmapFamily::node, n);
            return side > 0 ? side / 2 + 1 : window_.NodeExtent;
        }
        return window_.NodeExtent;
    }
    if (gs == TGlobalShape::circle || gs == TGlobalShape::dot || gs == TGlobalShape::piegraph)
        return code;
    return window_.NodeExtent;
}

// ---------------------------------------------------------------------------------------------
// Links

TExtent TNetworkRenderer::DrawLinkSymbol(QPainter& painter, const TRedrawOptions& o, std::int32_t x1,
                                         std::int32_t y1, std::int32_t x2, std::int32_t y2, int colorIndex,
                                         int code, int secondWidth, bool addOffsets, bool subtractScroll,
                                         bool draw, const TLinkValues* link, bool hasArrow) {
    std::optional<TCanvas> local;
    TCanvas& canvas =
        canvas_ != nullptr && &canvas_->Target() == &painter ? *canvas_ : local.emplace(painter, o);
    const TWindowSettings& w = window_;
    const TWidthStatus lstat = w.wd.linkwidthstatus;
    const TAEndDotShape aend = w.wd.showaend;
    const std::int64_t ox = (addOffsets ? w.XScroll : 0) - (subtractScroll ? o.horzbarpos : 0);
    const std::int64_t oy = (addOffsets ? w.YScroll : 0) - (subtractScroll ? o.vertbarpos : 0);
    const std::int64_t ax = x1 + ox, ay = y1 + oy, bx = x2 + ox, by = y2 + oy;

    int bitmap = 0;
    if (aend == TAEndDotShape::linkbitmap && lstat == TWidthStatus::widthh && code >= 1 &&
        code <= kBitmapNumbers && bitmaps_.Exists(TBitmapFamily::link, code))
        bitmap = code;
    else if (lstat == TWidthStatus::nonee && code >= 11 && code <= 250 &&
             bitmaps_.Exists(TBitmapFamily::link, code - 10))
        bitmap = code - 10;
    const int bitmapWidth = bitmap != 0 ? bitmaps_.Size(TBitmapFamily::link, bitmap)->width : 0;

    TExtent extent;
    extent.width = extent.height = bitmap != 0 ? bitmapWidth : std::max(code, 0);
    const QColor color = ColorOf(colorIndex);

    static const TCompactVector<TShapePoint*> kNoShape;
    const auto& shape = link != nullptr ? link->ShapePoints : kNoShape;
    const bool hasShape = !shape.empty();
    const bool twoBands = lstat == TWidthStatus::widthh &&
                          (hasShape ? (code >= 1 && secondWidth >= 1) : (code > 0 && secondWidth > 0));
    const bool oneBand = !twoBands && code >= 0 && (lstat != TWidthStatus::widthh || code != 0);
    if (!twoBands && !oneBand)
        return extent;

    // The points of the link in logical units: A, the shape points, B.
    std::vector<QPoint>& points = linkPoints_;
    points.clear();
    bool allDrawable = canvas.Drawable(ax, ay) && canvas.Drawable(bx, by);
    points.emplace_back(static_cast<int>(ax), static_cast<int>(ay));
    for (const TShapePoint* sp : shape) {
        const std::int64_t sx = sp->x_cent + ox, sy = sp->y_cent + oy;
        allDrawable = allDrawable && canvas.Drawable(sx, sy);
        points.emplace_back(canvas.Hold(sx), canvas.Hold(sy));
    }
    points.emplace_back(canvas.Hold(bx), canvas.Hold(by));
    if (!canvas.Drawable(ax, ay))
        points.front() = QPoint(canvas.Hold(ax), canvas.Hold(ay));

    // Crosses on the shape points: all but the first, and the first too in some modes.
    auto crosses = [&]() {
        if (!draw)
            return;
        const bool first = aend == TAEndDotShape::nodot || aend == TAEndDotShape::linkbitmap ||
                           (lstat == TWidthStatus::arrow && code == 0);
        for (std::size_t i = 0; i < shape.size(); ++i) {
            if (i == 0 && !first)
                continue;
            const TShapePoint* sp = shape[i];
            const int c = sp->IsActivePolygonCorner ? kActiveCornerColor : colorIndex;
            DrawNodeSymbol(painter, o, sp->x_cent, sp->y_cent, c, 251, w.NodeExtent, addOffsets,
                           subtractScroll, true, true, nullptr, nullptr);
        }
    };

    if (oneBand) {
        const int width = std::max(1, lstat == TWidthStatus::arrow ? secondWidth : code);
        if (hasShape)
            crosses();
        if (draw && allDrawable)
            DrawBand(canvas, o, points, width, color, bitmap);
        const bool marker =
            (aend != TAEndDotShape::nodot && !(hasShape && aend == TAEndDotShape::linkbitmap)) ||
            (aend == TAEndDotShape::nodot && lstat == TWidthStatus::nonee && code <= 10 && hasArrow);
        if (marker) {
            std::int64_t px, py;
            if (hasShape) {
                px = points[1].x();
                py = points[1].y();
            } else {
                px = ax + Round(static_cast<double>(bx - ax) / 3.0);
                py = ay + Round(static_cast<double>(by - ay) / 3.0);
            }
            // The marker's pen is the band's.
            TExtent markerExtent{width, width};
            EndMarker(canvas, draw, ax, ay, bx, by, px, py, code, color, markerExtent);
            extent.width = std::max(extent.width, markerExtent.width);
            extent.height = std::max(extent.height, markerExtent.height);
        }
        return extent;
    }

    // Two bands side by side: band 1 (the second width) and band 2 (the code), each moved off the
    // centre line by half its width plus one.
    crosses();
    const double length = std::hypot(static_cast<double>(bx - ax), static_cast<double>(by - ay));
    auto shifted = [&](double s) {
        std::vector<QPoint> out = points;
        if (length == 0)
            return out;
        const int sx = static_cast<int>(Round(s * static_cast<double>(by - ay) / length));
        const int sy = static_cast<int>(-Round(s * static_cast<double>(bx - ax) / length));
        for (QPoint& p : out)
            p += QPoint(sx, sy);
        return out;
    };
    const double s1 = (bitmap != 0 ? bitmapWidth : secondWidth) / 2.0 + 1;
    const double s2 = (bitmap != 0 ? bitmapWidth : code) / 2.0 + 1;
    const double sign = w.Display.PrimaryOnRight ? 1.0 : -1.0;
    if (draw && allDrawable) {
        DrawBand(canvas, o, shifted(sign * s1), secondWidth, color, bitmap);
        DrawBand(canvas, o, shifted(-sign * s2), code, color, bitmap);
    }
    return extent;
}

void TNetworkRenderer::DrawBand(TCanvas& canvas, const TRedrawOptions& o, const std::vector<QPoint>& logical,
                                int width, QColor color, int bitmap) {
    const int pen = canvas.PenWidth(std::max(1, width));
    for (std::size_t i = 1; i < logical.size(); ++i) {
        const QPoint a = logical[i - 1];
        const QPoint b = logical[i];
        if (a == b)
            continue;
        const QPoint da = canvas.Device(a.x(), a.y());
        const QPoint db = canvas.Device(b.x(), b.y());
        if (bitmap != 0)
            StampLinkBitmap(canvas, o, da, db, bitmap, color, false);
        else
            canvas.Line(color, pen, da, db);
    }
}

void TNetworkRenderer::EndMarker(TCanvas& canvas, bool draw, std::int64_t x1, std::int64_t y1,
                                 std::int64_t x2, std::int64_t y2, std::int64_t px, std::int64_t py, int code,
                                 QColor color, TExtent& extent) {
    const TWindowSettings& w = window_;
    TAEndDotShape kind = w.wd.showaend;
    if (kind == TAEndDotShape::nodot)
        kind = TAEndDotShape::closedarrow; // a type with an arrow under the plain style
    const int penWidth = extent.width;
    if (kind == TAEndDotShape::smalldot) {
        extent.width = std::max(extent.width, penWidth + 4);
        extent.height = extent.width;
        if (!draw || !canvas.Drawable(x1, y1))
            return;
        const double cx = static_cast<double>(x1) + static_cast<double>(x2 - x1) / 4.0;
        const double cy = static_cast<double>(y1) + static_cast<double>(y2 - y1) / 4.0;
        const QPoint tl = canvas.Device(Round(cx - 2), Round(cy - 2));
        const QPoint br = canvas.Device(Round(cx + 2), Round(cy + 2));
        QPainter& p = canvas.Painter();
        p.setPen(TCanvas::LinePen(color, canvas.PenWidth(penWidth)));
        p.setBrush(color);
        p.drawEllipse(QRect(tl.x(), tl.y(), br.x() - tl.x(), br.y() - tl.y()));
        return;
    }
    if (kind != TAEndDotShape::openarrow && kind != TAEndDotShape::closedarrow &&
        kind != TAEndDotShape::biggerclosedarrow)
        return;
    std::int64_t a = 0;
    if (w.wd.linkwidthstatus == TWidthStatus::arrow)
        a = code;
    else if (kind == TAEndDotShape::openarrow)
        a = Round(0.6 * code) + 1;
    else if (kind == TAEndDotShape::closedarrow)
        a = Round(0.8 * code) + 2;
    else
        a = std::int64_t{code} + 3;
    extent.width = std::max<std::int32_t>(extent.width, static_cast<std::int32_t>(penWidth + 2 * a));
    extent.height = extent.width;
    const double length = std::hypot(static_cast<double>(x2 - x1), static_cast<double>(y2 - y1));
    if (!draw || length == 0)
        return;
    const double ux = static_cast<double>(x2 - x1) / length;
    const double uy = static_cast<double>(y2 - y1) / length;
    const auto ad = static_cast<double>(a);
    const std::int64_t c1x = px - Round(ad * (ux - uy)), c1y = py - Round(ad * (uy + ux));
    const std::int64_t c2x = px - Round(ad * (ux + uy)), c2y = py - Round(ad * (uy - ux));
    if (!canvas.Drawable(c1x, c1y) || !canvas.Drawable(c2x, c2y) || !canvas.Drawable(px, py))
        return;
    QPolygon triangle;
    triangle << canvas.Device(px, py) << canvas.Device(c1x, c1y) << canvas.Device(c2x, c2y);
    QPainter& p = canvas.Painter();
    p.setPen(TCanvas::LinePen(color, canvas.PenWidth(penWidth)));
    p.setBrush(color);
    p.drawPolygon(triangle);
}

void TNetworkRenderer::StampLinkBitmap(TCanvas& canvas, const TRedrawOptions&, QPoint a, QPoint b, int bitmap,
                                       QColor color, bool erase) {
    const QImage& source = erase ? bitmaps_.Image(TBitmapFamily::link, bitmap)
                                 : bitmaps_.Transparent(TBitmapFamily::link, bitmap);
    if (source.isNull())
        return;
    (void)color;
    const double f = canvas.Factor();
    // The stamp at the zoom: its logical size scaled to pixels.
    const int sw = std::max(1, static_cast<int>(Round(source.width() * f)));
    const int sh = std::max(1, static_cast<int>(Round(source.height() * f)));
    QImage stamp = source.scaled(sw, sh, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double length = std::hypot(dx, dy);
    if (length == 0)
        return;
    const double angle = std::atan2(-dy, dx);
    if (angle != 0) {
        QTransform rotation;
        rotation.rotate(-angle * 180 / std::numbers::pi);
        stamp = stamp.transformed(rotation, Qt::FastTransformation);
    }
    // One stamp every `k` steps of the digital line, so that the stamps follow each other at the
    // bitmap's height.
    const int steps = static_cast<int>(std::max(std::abs(dx), std::abs(dy)));
    const int k = std::max<int>(
        1, static_cast<int>(std::max(Round(std::abs(dx) * sh / length), Round(std::abs(dy) * sh / length))));
    QPainter& p = canvas.Painter();
    for (int i = 0; i < steps; i += k) {
        const int x = a.x() + static_cast<int>(Round(dx * i / steps));
        const int y = a.y() + static_cast<int>(Round(dy * i / steps));
        p.drawImage(QPoint(x - stamp.width() / 2, y - stamp.height() / 2), stamp);
    }
}

// ---------------------------------------------------------------------------------------------
// Polygons

void TNetworkRenderer::drawpolygon(QPainter& painter, const TRedrawOptions& o, const TNode& owner,
                                   bool addOffsets, bool subtractScroll) {
    std::optional<TCanvas> local;
    TCanvas& canvas =
        canvas_ != nullptr && &canvas_->Target() == &painter ? *canvas_ : local.emplace(painter, o);
    if (canvas_ == nullptr || !widths_)
        widths_ = std::make_unique<TWidthEvaluator>(net_, window_);
    const TWindowSettings& w = window_;
    const int traverse =
        w.wd.nodewidthstatus == TWidthStatus::traverse ? widths_->nodeshape(owner).polygonstyle : 0;
    const int index = PolygonStyleIndex(owner, w, traverse);
    if (index < 0)
        return;
    const TPolygonStyle& style = w.Display.polygonstyles[static_cast<std::size_t>(index)];

    const std::int64_t ox = (addOffsets ? w.XScroll : 0) - (subtractScroll ? o.horzbarpos : 0);
    const std::int64_t oy = (addOffsets ? w.YScroll : 0) - (subtractScroll ? o.vertbarpos : 0);
    const std::vector<TPoint> vertices = owner.MyPolygonList.GetPolygonPoints();
    if (vertices.size() < 2)
        return;
    QPolygon poly;
    poly.reserve(static_cast<int>(vertices.size()));
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const std::int64_t lx = vertices[i].x + ox, ly = vertices[i].y + oy;
        if (i > 0 && !canvas.Drawable(lx, ly))
            return;
        poly << canvas.Device(canvas.Hold(lx), canvas.Hold(ly));
    }

    QPainter& p = canvas.Painter();
    const int bs = style.brushstyle;
    if (bs > 10) {
        const QImage& fill = bitmaps_.Image(TBitmapFamily::fill, bs - 10);
        if (!fill.isNull())
            lastBrush_ = QBrush(fill);
    } else if (bs >= 0 && bs <= 8) {
        static constexpr Qt::BrushStyle kStyles[] = {Qt::SolidPattern, Qt::NoBrush,          Qt::HorPattern,
                                                     Qt::VerPattern,   Qt::FDiagPattern,     Qt::BDiagPattern,
                                                     Qt::CrossPattern, Qt::DiagCrossPattern, Qt::NoBrush};
        lastBrush_ = QBrush(ToQColor(style.brushcolor), kStyles[bs]);
    }
    static constexpr Qt::PenStyle kPens[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                             Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    const Qt::PenStyle penStyle =
        style.penstyle >= 0 && style.penstyle <= 5 ? kPens[style.penstyle] : Qt::SolidLine;
    p.setPen(penStyle == Qt::NoPen
                 ? QPen(Qt::NoPen)
                 : TCanvas::LinePen(ToQColor(style.pencolor), canvas.PenWidth(style.penwidth), penStyle));
    p.setBackgroundMode(w.Display.PolygonsAreOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    p.setBackground(ToQColor(standard_[0]));
    if (bs == 8) {
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(poly);
    } else {
        p.setBrush(lastBrush_);
        p.drawPolygon(poly);
    }
    p.setBackgroundMode(Qt::TransparentMode);
}

// ---------------------------------------------------------------------------------------------
// Desire lines and the plot cursor

void TNetworkRenderer::DrawDesireLines(QPainter& painter, const TRedrawOptions& o) {
    std::optional<TCanvas> local;
    TCanvas& canvas =
        canvas_ != nullptr && &canvas_->Target() == &painter ? *canvas_ : local.emplace(painter, o);
    const TWindowSettings& w = window_;
    for (const TDesireLine& line : DesireLineGeometry(net_, w)) {
        const std::int64_t ax = std::int64_t{line.from.x} + w.XScroll - o.horzbarpos;
        const std::int64_t ay = std::int64_t{line.from.y} + w.YScroll - o.vertbarpos;
        const std::int64_t bx = std::int64_t{line.to.x} + w.XScroll - o.horzbarpos;
        const std::int64_t by = std::int64_t{line.to.y} + w.YScroll - o.vertbarpos;
        if (!canvas.Drawable(ax, ay) || !canvas.Drawable(bx, by))
            continue;
        const QColor color = ToQColor(standard_[static_cast<std::size_t>(CheckedColorIndex(line.color))]);
        canvas.Line(color, canvas.PenWidth(line.width), canvas.Device(ax, ay), canvas.Device(bx, by));
    }
}

void TNetworkRenderer::DrawPlotCursor(QPainter& painter, const TRedrawOptions& o) {
    if (canvas_ != nullptr)
        canvas_->Flush();
    // The cursor of the window's own view: its lines are in logical units on the screen.
    TWindowSettings view = window_;
    view.horzbarpos = o.horzbarpos;
    view.vertbarpos = o.vertbarpos;
    const TPlotCursorLines lines = PlotCursorLines(view);
    TCanvas canvas(painter, o);
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(TCanvas::LinePen(ToQColor(PlotCursorColor(window_)), 1));
    for (const auto& line : {lines.horizontal, lines.vertical}) {
        if (line)
            painter.drawLine(canvas.Device(line->from.x, line->from.y),
                             canvas.Device(line->to.x, line->to.y));
    }
    painter.restore();
}

} // namespace zan
