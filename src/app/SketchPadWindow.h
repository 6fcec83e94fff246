// A sketch window: one view of a network. It owns its window settings (zoom, scrolling, styles,
// layers, widths, ...) and shares its network with the other views of the same base window. It
// paints through the renderer into an image of its client area and shows that image, with the
// plot cursor drawn over it.
#pragma once

#include <QAbstractScrollArea>
#include <QDateTime>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

#include "app/WindowTable.h"
#include "editing/EditModes.h"
#include "files/NetworkFile.h"
#include "files/RecentFiles.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

class QDialog;

namespace zan {

class TBitmapStore;

// The name of a network that was never saved.
inline const QString kDefaultNetworkName = QString::fromLatin1(kDefaultName);

class TSketchPadWindow : public QAbstractScrollArea {
    Q_OBJECT

public:
    // A window on `network` (a new one when null); `snapDistance` is the distance shared by all
    // windows, kept by the main window.
    TSketchPadWindow(std::shared_ptr<TNetwork> network, const TBitmapStore& bitmaps, const int& snapDistance,
                     QWidget* parent = nullptr);
    ~TSketchPadWindow() override;

    TNetwork& Network() { return *network_; }
    const std::shared_ptr<TNetwork>& SharedNetwork() const { return network_; }
    TWindowSettings& Settings() { return settings_; }
    const TWindowSettings& Settings() const { return settings_; }

    // The window's entry in the main window's window table.
    TWindowId Id = kNoWindow;
    // Full path of the network file, or the default name.
    QString CurrentName = kDefaultNetworkName;
    // The edit mode and the picks of the operation in hand.
    TEditSession Session;
    int currentmode() const { return static_cast<int>(Session.Mode()); }
    QDateTime createtime = QDateTime::currentDateTime();
    bool AutoBackup = true;

    // Reads a network file into this (new) window. Returns the report; the caller shows messages.
    TReadReport OpenFile(const QString& path);
    // Writes the network in `version` to `path`; the caller names the windows.
    TWriteReport SaveFile(const QString& path, int version);

    // Makes the window show what its settings say after they changed wholesale (opened file, copied
    // view settings): scroll ranges, bars, zoom, repaint.
    void SettingsChanged();
    // Applies a zoom state (1..18) as the zoom menu does; returns the status text ("1:24").
    QString SetZoomState(int state);
    // The largest zoom state at which the whole sketch pad fits the client area (at least 1).
    int FittingZoomState() const;
    // Zooms to that state with the sketch pad's top-left corner in view: the whole network shows.
    void ZoomToFit();
    // The zoom state's status text.
    QString ZoomText() const;
    // Scroll positions in pixels (kept within the ranges).
    void SetScrollPositions(int horz, int vert);
    // Repaints the whole client area.
    void RefreshNetwork();

    // Chooses an edit mode as its menu entry or toolbar button does.
    void ChooseMode(sketchstates mode);
    // Shows what an editing step reported: repaints, status text, dialogs it asks for.
    void Apply(const TClickOutcome& outcome);
    void Apply(const TEditResult& result);
    // A click at client pixel `pixel` as the mouse gives it (also Enter and Shift+Enter).
    void ClickAt(QPoint pixel, bool rightButton);
    // The entity dialog of a node or link of this window's network; OK repaints the window and
    // reports the edit. Returns whether OK was pressed.
    bool OpenEntity(TNode& node);
    bool OpenEntity(TLinkValues& link);

    // Replaces the entity dialog's run for tests: receives the dialog and returns its result.
    std::function<int(QDialog&)> DialogHook;

    // The picture of the client area as last painted.
    const QImage& Picture() const { return picture_; }

    // Asked when the window is about to close; returning false keeps it open.
    std::function<bool(TSketchPadWindow&)> CanClose;

signals:
    void ZoomChanged(const QString& text);
    void PointerMoved(const QString& text);
    void SnapChangeRequested(int distance);
    void ZoomClickModeChanged();
    // The mode panel's text changed (mode name or cursor coordinates).
    void StatusText(const QString& text);
    // An edit changed the network: its other views repaint, the window counts as modified.
    void NetworkEdited(TSketchPadWindow* window);
    // Shape points were freed: the other views drop their references (null: all shape points).
    void PointsFreed(TSketchPadWindow* window, std::vector<const TNetworkPoint*> points, bool all);
    // An edit changed shape point lists or polygons: the other views drop what they can no longer undo.
    void Reshaped(TSketchPadWindow* window, const TEditResult& result);
    void Closed(TSketchPadWindow* window);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    template <class Element> bool EditEntity(Element& element);
    void SyncScrollBars();
    QPoint ClientPixel(const QPointF& p) const;
    // The drag handle's square around the selected point, in client pixels, or an empty rectangle.
    QRect HandleRect() const;
    TPoint HandleCentrePlane(QPoint handleCentre) const;

    std::shared_ptr<TNetwork> network_;
    TWindowSettings settings_;
    const TBitmapStore& bitmaps_;
    const int& snapDistance_;
    QImage picture_;
    bool syncing_ = false;
    QPoint dragOffset_; // pointer position inside the handle at the press
    QRect shownHandle_; // where the drag handle was last drawn, in client pixels
};

} // namespace zan
