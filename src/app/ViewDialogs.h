// Small dialogs of a sketch window's view: the snap distance, the plot cursor's coordinates and the
// extents of the sketch pad. Each dialog is preset from the values given to its constructor and
// hands back what the user entered; the free functions below apply an accepted dialog to a
// window's settings through the viewport arithmetic, so the window itself only repaints.
#pragma once

#include <QDialog>

#include <cstdint>

class QSpinBox;

namespace zan {

struct TWindowSettings;

// "Snap": the snap distance shared by all sketch windows, 1..1000.
class TSnapDB : public QDialog {
    Q_OBJECT

public:
    explicit TSnapDB(std::int32_t snapDistance, QWidget* parent = nullptr);

    // The distance entered, within 1..1000.
    std::int32_t SnapDistance() const;

    void accept() override;

private:
    QSpinBox* SnapEB_ = nullptr;
};

// "Coordinates": the plot cursor's position, each axis within the plane.
class TCoordinates : public QDialog {
    Q_OBJECT

public:
    TCoordinates(std::int32_t x, std::int32_t y, QWidget* parent = nullptr);

    std::int32_t X() const;
    std::int32_t Y() const;

    void accept() override;

private:
    QSpinBox* XCoord_ = nullptr;
    QSpinBox* YCoord_ = nullptr;
};

// "Sketch Pad Extents": the four edges of the sketch pad, each within the plane. No check that a
// minimum lies below its maximum.
class TExtentsDB : public QDialog {
    Q_OBJECT

public:
    // Preset with YMin, YMax, XMin, XMax.
    TExtentsDB(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right,
               QWidget* parent = nullptr);

    std::int32_t Top() const;
    std::int32_t Bottom() const;
    std::int32_t Left() const;
    std::int32_t Right() const;

    void accept() override;

private:
    QSpinBox* TopSE_ = nullptr;
    QSpinBox* BottomSE_ = nullptr;
    QSpinBox* LeftSE_ = nullptr;
    QSpinBox* RightSE_ = nullptr;
};

// Moves the plot cursor to the accepted coordinates. The caller erases the cursor before, draws it
// after and shows the coordinates in the status bar.
void ApplyCoordinates(const TCoordinates& dialog, TWindowSettings& w);

// Stores the accepted extents as YMin, YMax, XMin, XMax; XScroll, YScroll and the scroll ranges
// follow. The caller repaints the whole window.
void ApplyExtents(const TExtentsDB& dialog, TWindowSettings& w);

} // namespace zan
