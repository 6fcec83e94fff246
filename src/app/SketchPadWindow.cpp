#include "app/SketchPadWindow.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>

#include "app/EntityDialog.h"
#include "display/Widths.h"
#include "geometry/Viewport.h"
#include "render/BitmapStore.h"
#include "render/Renderer.h"
#include "render/TextCodec.h"

namespace zan {

TSketchPadWindow::TSketchPadWindow(std::shared_ptr<TNetwork> network, const TBitmapStore& bitmaps,
                                   const int& snapDistance, QWidget* parent)
    : QAbstractScrollArea(parent), network_(network ? std::move(network) : std::make_shared<TNetwork>()),
      bitmaps_(bitmaps), snapDistance_(snapDistance) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWindowTitle(CurrentName);
    ComputeWorstSizes(*network_, settings_, bitmaps_);
    SettingsChanged();
}

TSketchPadWindow::~TSketchPadWindow() = default;

TReadReport TSketchPadWindow::OpenFile(const QString& path) {
    const TReadReport report = OpenNetworkFile(path.toLocal8Bit().toStdString(), *network_, settings_);
    if (report.code == kFileOK)
        CurrentName = path;
    createtime = QDateTime::currentDateTime();
    ComputeWorstSizes(*network_, settings_, bitmaps_);
    SettingsChanged();
    return report;
}

TWriteReport TSketchPadWindow::SaveFile(const QString& path, int version) {
    return SaveNetworkFile(path.toLocal8Bit().toStdString(), *network_, settings_, version);
}

void TSketchPadWindow::SettingsChanged() {
    settings_.ClientWidth = viewport()->width();
    settings_.ClientHeight = viewport()->height();
    SetScrollRange(settings_);
    SyncScrollBars();
    RefreshNetwork();
}

QString TSketchPadWindow::SetZoomState(int state) {
    const QString text = QString::fromStdString(ResetZoomCheck(settings_, state));
    SyncScrollBars();
    RefreshNetwork();
    emit ZoomChanged(text);
    return text;
}

int TSketchPadWindow::FittingZoomState() const {
    const double w = static_cast<double>(settings_.XMax) - settings_.XMin + 20;
    const double h = static_cast<double>(settings_.YMax) - settings_.YMin + 20;
    for (int state = kZoomStates; state > 1; --state) {
        const double f = ViewportFactor(state);
        if (w * f <= viewport()->width() && h * f <= viewport()->height())
            return state;
    }
    return 1;
}

void TSketchPadWindow::ZoomToFit() {
    // A network without points has nothing to fit; it keeps its zoom.
    if (network_->Hash.PointCount() == 0 || settings_.XMax < settings_.XMin ||
        settings_.YMax < settings_.YMin)
        return;
    SetZoomState(FittingZoomState());
    SetScrollPositions(0, 0);
}

QString TSketchPadWindow::ZoomText() const {
    const TZoomRow& row = ZoomRow(settings_.ZoomState);
    return QStringLiteral("%1:%2").arg(row.numerator).arg(row.denominator);
}

void TSketchPadWindow::SetScrollPositions(int horz, int vert) {
    zan::SetScrollPositions(settings_, horz, vert);
    SyncScrollBars();
    RefreshNetwork();
}

void TSketchPadWindow::RefreshNetwork() {
    viewport()->update();
}

void TSketchPadWindow::SyncScrollBars() {
    syncing_ = true;
    const TZoomRow& row = ZoomRow(settings_.ZoomState);
    horizontalScrollBar()->setRange(0, std::max(0, settings_.HorzRange));
    verticalScrollBar()->setRange(0, std::max(0, settings_.VertRange));
    horizontalScrollBar()->setPageStep(std::max(1, viewport()->width()));
    verticalScrollBar()->setPageStep(std::max(1, viewport()->height()));
    horizontalScrollBar()->setSingleStep(row.scrollstep);
    verticalScrollBar()->setSingleStep(row.scrollstep);
    horizontalScrollBar()->setValue(settings_.HorzPosition);
    verticalScrollBar()->setValue(settings_.VertPosition);
    syncing_ = false;
}

void TSketchPadWindow::scrollContentsBy(int, int) {
    if (syncing_)
        return;
    zan::SetScrollPositions(settings_, horizontalScrollBar()->value(), verticalScrollBar()->value());
    RefreshNetwork();
}

void TSketchPadWindow::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    settings_.ClientWidth = viewport()->width();
    settings_.ClientHeight = viewport()->height();
    SetScrollRange(settings_);
    SyncScrollBars();
}

void TSketchPadWindow::paintEvent(QPaintEvent* event) {
    const QSize size = viewport()->size();
    if (picture_.size() != size) {
        picture_ = QImage(size, QImage::Format_RGB32);
        picture_.fill(palette().color(QPalette::Base));
    }
    const QRect clip = event->rect().intersected(picture_.rect());
    const QColor background = palette().color(QPalette::Base);
    {
        QPainter painter(&picture_);
        painter.setClipRect(clip);
        painter.fillRect(clip, background);
        TNetworkRenderer renderer(*network_, settings_, bitmaps_, background);
        renderer.Paint(painter, clip);
    }
    QPainter painter(viewport());
    painter.drawImage(clip, picture_, clip);
    if (const QRect handle = HandleRect(); !handle.isEmpty()) {
        painter.setPen(Qt::black);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(handle.adjusted(0, 0, -1, -1));
    }
    if (IsPlotCursorMode(Session.Mode())) {
        TNetworkRenderer renderer(*network_, settings_, bitmaps_, background);
        TRedrawOptions options;
        options.factor = settings_.ViewportFactor();
        options.horzbarpos = settings_.horzbarpos;
        options.vertbarpos = settings_.vertbarpos;
        renderer.DrawPlotCursor(painter, options);
    }
}

QPoint TSketchPadWindow::ClientPixel(const QPointF& p) const {
    return QPoint(static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

void TSketchPadWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint pixel = ClientPixel(event->position());
    if (settings_.NextClickIsInZoom || settings_.NextClickIsOutZoom) {
        const TPoint at = ZoomClickPoint(settings_, pixel.x(), pixel.y());
        const bool out = settings_.NextClickIsOutZoom || event->button() == Qt::RightButton;
        const int screenWidth = screen() != nullptr ? screen()->size().width() : width();
        const TZoomStepResult result = ZoomToPoint(settings_, at.x, at.y, out, screenWidth);
        SyncScrollBars();
        RefreshNetwork();
        emit ZoomChanged(QString::fromStdString(result.StatusText));
        if (result.Refused)
            QMessageBox::warning(this, QStringLiteral("Zoom"),
                                 QStringLiteral("Zoom factor too large for network."));
        return;
    }
    viewport()->setCursor(Qt::CrossCursor);
    // Pressing the drag handle of the selection starts a drag.
    const QRect handle = HandleRect();
    if (event->button() == Qt::LeftButton && handle.contains(pixel)) {
        dragOffset_ = pixel - handle.center();
        const TPoint at = HandleCentrePlane(handle.center());
        Apply(Session.BeginDrag(*network_, settings_, at.x, at.y));
        return;
    }
    ClickAt(pixel, event->button() == Qt::RightButton);
}

void TSketchPadWindow::ClickAt(QPoint pixel, bool rightButton) {
    UpdateBarPositions(settings_);
    const TPoint at = PixelToPlane(settings_, pixel.x(), pixel.y());
    Apply(Session.Click(*network_, settings_, at.x, at.y, rightButton));
}

void TSketchPadWindow::ChooseMode(sketchstates mode) {
    Apply(Session.ChooseMode(*network_, settings_, mode));
    RefreshNetwork(); // the plot cursor comes or goes with the mode
}

QRect TSketchPadWindow::HandleRect() const {
    const TNetworkPoint* p = Session.Selected();
    if (p == nullptr || Session.Mode() != sketchstates::noaction)
        return QRect();
    const int size = ZoomRow(settings_.ZoomState).handlesize;
    const double f = settings_.ViewportFactor();
    const TPoint logical = PlaneToLogical(settings_, p->x_cent, p->y_cent);
    const QPoint centre(static_cast<int>(std::nearbyint(logical.x * f)),
                        static_cast<int>(std::nearbyint(logical.y * f)));
    return QRect(centre.x() - size / 2, centre.y() - size / 2, size, size);
}

TPoint TSketchPadWindow::HandleCentrePlane(QPoint handleCentre) const {
    return PixelToPlane(settings_, handleCentre.x(), handleCentre.y());
}

void TSketchPadWindow::Apply(const TEditResult& result) {
    for (const TRect& r : result.repaint) {
        if (const auto pixels = RefreshRectangle(settings_, r, 1))
            viewport()->update(
                QRect(QPoint(pixels->left, pixels->top), QPoint(pixels->right, pixels->bottom)));
    }
    if (result.repaintAll)
        viewport()->update();
    // The handle follows the selection: off where it was, on where it is.
    viewport()->update(shownHandle_.adjusted(-2, -2, 2, 2));
    shownHandle_ = HandleRect();
    viewport()->update(shownHandle_.adjusted(-2, -2, 2, 2));
    if (result.status)
        emit StatusText(QString::fromStdString(*result.status));
    if (!result.reshapedLinks.empty() || !result.reshapedPolygons.empty())
        emit Reshaped(this, result);
    if (result.changed)
        emit NetworkEdited(this);
}

void TSketchPadWindow::Apply(const TClickOutcome& outcome) {
    Apply(outcome.result);
    if (!outcome.freed.empty() || outcome.shapePointsFreed)
        emit PointsFreed(this, outcome.freed, outcome.shapePointsFreed);
    if (IsPlotCursorMode(Session.Mode()))
        RefreshNetwork(); // the plot cursor moved
    switch (outcome.request) {
    case TClickRequest::nodeOpen:
        if (outcome.node != nullptr)
            OpenEntity(*outcome.node);
        break;
    case TClickRequest::linkOpen:
    case TClickRequest::shapeLinkOpen:
        if (outcome.link != nullptr)
            OpenEntity(*outcome.link);
        break;
    default:
        break;
    }
}

template <class Element> bool TSketchPadWindow::EditEntity(Element& element) {
    TEntityDialog dialog(*network_, element, this);
    if ((DialogHook ? DialogHook(dialog) : dialog.exec()) != QDialog::Accepted)
        return false;
    // A changed label or value shows here at once; the other views follow through NetworkEdited.
    RefreshNetwork();
    emit NetworkEdited(this);
    return true;
}

bool TSketchPadWindow::OpenEntity(TNode& node) {
    return EditEntity(node);
}

bool TSketchPadWindow::OpenEntity(TLinkValues& link) {
    return EditEntity(link);
}

void TSketchPadWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (!Session.Dragging())
        return;
    const QPoint centre = ClientPixel(event->position()) - dragOffset_;
    const TPoint at = HandleCentrePlane(centre);
    Apply(Session.EndDrag(*network_, settings_, at.x, at.y));
}

void TSketchPadWindow::focusOutEvent(QFocusEvent* event) {
    // A drag whose release never comes ends where it is.
    if (Session.Dragging())
        Apply(Session.CancelDrag(*network_, settings_));
    QAbstractScrollArea::focusOutEvent(event);
}

void TSketchPadWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pixel = ClientPixel(event->position());
    if (Session.Dragging()) {
        const TPoint at = HandleCentrePlane(pixel - dragOffset_);
        Apply(Session.DragTo(*network_, settings_, at.x, at.y));
        RefreshNetwork();
    }
    const TPoint at = PixelToPlane(settings_, pixel.x(), pixel.y());
    settings_.LastMouseX = at.x;
    settings_.LastMouseY = at.y;
    emit PointerMoved(QStringLiteral("%1, %2").arg(at.x).arg(at.y));
}

void TSketchPadWindow::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    const bool shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    auto zoomed = [this](const std::optional<std::string>& text) {
        if (!text)
            return;
        SyncScrollBars();
        RefreshNetwork();
        emit ZoomChanged(QString::fromStdString(*text));
    };
    auto room = [this](bool (*button)(TWindowSettings&)) {
        button(settings_);
        SyncScrollBars();
        RefreshNetwork();
    };
    auto snapStep = [this](int hotkey) {
        if (IsPlotCursorMode(Session.Mode()) && SnapPlotCursor(settings_, hotkey, snapDistance_)) {
            RefreshNetwork();
            emit StatusText(QString::fromStdString(CoordinatesText(settings_.CurPosX, settings_.CurPosY)));
        }
    };
    switch (key) {
    case Qt::Key_Plus:
        zoomed(ZoomInKey(settings_));
        return;
    case Qt::Key_Minus:
        zoomed(ZoomOutKey(settings_));
        return;
    case Qt::Key_Left:
        ctrl ? room(&WestButton) : snapStep(kSnapWest);
        return;
    case Qt::Key_Right:
        ctrl ? room(&EastButton) : snapStep(kSnapEast);
        return;
    case Qt::Key_Up:
        ctrl ? room(&NorthButton) : snapStep(kSnapNorth);
        return;
    case Qt::Key_Down:
        ctrl ? room(&SouthButton) : snapStep(kSnapSouth);
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        const int sign = key == Qt::Key_PageUp ? -1 : 1;
        if (shift)
            SetScrollPositions(settings_.HorzPosition + sign * viewport()->width(), settings_.VertPosition);
        else
            SetScrollPositions(settings_.HorzPosition, settings_.VertPosition + sign * viewport()->height());
        return;
    }
    case Qt::Key_Home:
        SetScrollPositions(0, 0);
        return;
    case Qt::Key_End:
        SetScrollPositions(settings_.HorzRange, settings_.VertRange);
        return;
    case Qt::Key_Z:
        settings_.NextClickIsInZoom = !settings_.NextClickIsInZoom;
        settings_.NextClickIsOutZoom = false;
        emit ZoomClickModeChanged();
        return;
    case Qt::Key_Y:
        settings_.NextClickIsOutZoom = !settings_.NextClickIsOutZoom;
        settings_.NextClickIsInZoom = false;
        emit ZoomClickModeChanged();
        return;
    case Qt::Key_A:
        emit SnapChangeRequested(10);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // A click where the pointer is, when it is over the client area.
        const QPoint pixel = viewport()->mapFromGlobal(QCursor::pos());
        if (pixel.x() >= 0 && pixel.y() >= 0 && pixel.x() <= viewport()->width() &&
            pixel.y() <= viewport()->height())
            ClickAt(pixel, shift);
        return;
    }
    case Qt::Key_Insert:
        if (const std::optional<TEditResult> done = Session.Insert(*network_, settings_)) {
            Apply(*done);
            RefreshNetwork();
        }
        return;
    case Qt::Key_Delete:
        Apply(Session.Delete(*network_, settings_));
        return;
    default:
        if (key >= Qt::Key_1 && key <= Qt::Key_9) {
            emit SnapChangeRequested(key - Qt::Key_0);
            return;
        }
        break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void TSketchPadWindow::closeEvent(QCloseEvent* event) {
    if (CanClose && !CanClose(*this)) {
        event->ignore();
        return;
    }
    event->accept();
    emit Closed(this);
}

} // namespace zan
