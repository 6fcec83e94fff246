#include "app/ViewDialogs.h"

#include "geometry/Viewport.h"
#include "model/WindowSettings.h"

#include <QAbstractSpinBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zan {
namespace {

// A spin field limited to min..max. A typed value outside the range is corrected to the nearest
// bound instead of silently falling back to the previous value.
QSpinBox* MakeSpinField(QWidget* parent, const char* name, std::int32_t min, std::int32_t max,
                        std::int32_t value) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(min, max);
    spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    spin->setValue(value); // clamps into the range
    return spin;
}

// The dialog's layout: the fields in a form, OK and Cancel below.
QFormLayout* MakeLayout(QDialog* dialog) {
    auto* outer = new QVBoxLayout(dialog);
    auto* form = new QFormLayout;
    outer->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    outer->addWidget(buttons);
    return form;
}

// Text still being edited (for example a lone "-", or a value beyond a bound) becomes the field's
// value before the dialog closes, so what the dialog returns is what the field shows.
void CommitText(QSpinBox* spin) {
    spin->interpretText();
}

} // namespace

// ---- Snap ----

TSnapDB::TSnapDB(std::int32_t snapDistance, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Snap"));
    QFormLayout* form = MakeLayout(this);
    SnapEB_ = MakeSpinField(this, "SnapEB", kMinSnapDistance, kMaxSnapDistance, snapDistance);
    form->addRow(tr("Snap Distance:"), SnapEB_);
}

std::int32_t TSnapDB::SnapDistance() const {
    return ClampSnapDistance(SnapEB_->value());
}

void TSnapDB::accept() {
    CommitText(SnapEB_);
    QDialog::accept();
}

// ---- Coordinates ----

TCoordinates::TCoordinates(std::int32_t x, std::int32_t y, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Coordinates"));
    QFormLayout* form = MakeLayout(this);
    XCoord_ = MakeSpinField(this, "XCoord", -kPlaneLimit, kPlaneLimit, x);
    YCoord_ = MakeSpinField(this, "YCoord", -kPlaneLimit, kPlaneLimit, y);
    form->addRow(tr("X Coordinate:"), XCoord_);
    form->addRow(tr("Y Coordinate"), YCoord_);
}

std::int32_t TCoordinates::X() const {
    return ClampToPlane(XCoord_->value());
}
std::int32_t TCoordinates::Y() const {
    return ClampToPlane(YCoord_->value());
}

void TCoordinates::accept() {
    CommitText(XCoord_);
    CommitText(YCoord_);
    QDialog::accept();
}

// ---- Sketch Pad Extents ----

TExtentsDB::TExtentsDB(std::int32_t top, std::int32_t bottom, std::int32_t left, std::int32_t right,
                       QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Sketch Pad Extents"));
    QFormLayout* form = MakeLayout(this);
    TopSE_ = MakeSpinField(this, "TopSE", -kPlaneLimit, kPlaneLimit, top);
    BottomSE_ = MakeSpinField(this, "BottomSE", -kPlaneLimit, kPlaneLimit, bottom);
    LeftSE_ = MakeSpinField(this, "LeftSE", -kPlaneLimit, kPlaneLimit, left);
    RightSE_ = MakeSpinField(this, "RightSE", -kPlaneLimit, kPlaneLimit, right);
    form->addRow(tr("Top:"), TopSE_);
    form->addRow(tr("Bottom:"), BottomSE_);
    form->addRow(tr("Left:"), LeftSE_);
    form->addRow(tr("Right:"), RightSE_);
}

std::int32_t TExtentsDB::Top() const {
    return ClampToPlane(TopSE_->value());
}
std::int32_t TExtentsDB::Bottom() const {
    return ClampToPlane(BottomSE_->value());
}
std::int32_t TExtentsDB::Left() const {
    return ClampToPlane(LeftSE_->value());
}
std::int32_t TExtentsDB::Right() const {
    return ClampToPlane(RightSE_->value());
}

void TExtentsDB::accept() {
    for (QSpinBox* spin : {TopSE_, BottomSE_, LeftSE_, RightSE_})
        CommitText(spin);
    QDialog::accept();
}

// ---- applying accepted dialogs ----

void ApplyCoordinates(const TCoordinates& dialog, TWindowSettings& w) {
    SetCursorPosition(w, dialog.X(), dialog.Y());
}

void ApplyExtents(const TExtentsDB& dialog, TWindowSettings& w) {
    SetExtents(w, dialog.Top(), dialog.Bottom(), dialog.Left(), dialog.Right());
}

} // namespace zan
