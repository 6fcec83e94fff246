#include "app/PreferencesDialog.h"

#include "calc/NumberText.h"
#include "files/SettingsSections.h"
#include "model/WindowSettings.h"
#include "render/TextCodec.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>
#include <string>
#include <utility>

namespace zan {
namespace {

constexpr std::int32_t kUnitCount = 5;
constexpr int kUnitColumns = 3;

std::int32_t ValidUnits(std::int32_t units) {
    return units >= 0 && units < kUnitCount ? units : 0;
}

} // namespace

bool ApplyPreferences(TWindowSettings& w, std::string_view scaleText, std::int32_t scaleUnits,
                      bool updateLongLat) {
    double scale = 0;
    // Every length, area and perimeter is divided by the scale, so only a positive finite one is
    // usable.
    if (!ParseReal(scaleText, scale) || !std::isfinite(scale) || !(scale > 0))
        return false;
    const std::int32_t units = ValidUnits(scaleUnits);
    w.NetworkScale = scale;
    w.Geo.ScaleUnits = units;
    w.Geo.ScaleString = ScaleUnitName(units);
    w.Geo.UpdateLongLat = updateLongLat;
    return true;
}

TPreferencesDB::TPreferencesDB(TWindowSettings& settings, QWidget* parent)
    : QDialog(parent), Settings_(settings),
      Warn_([](QWidget* owner, const QString& caption, const QString& text) {
          QMessageBox::warning(owner, caption, text);
      }) {
    setWindowTitle(tr("Preferences"));
    auto* outer = new QVBoxLayout(this);

    auto* form = new QFormLayout;
    ScaleEdit_ = new QLineEdit(ToQString(FormatReal(settings.NetworkScale)), this);
    ScaleEdit_->setObjectName(QStringLiteral("ScaleEB"));
    form->addRow(tr("Pixels per Linear Unit:"), ScaleEdit_);
    outer->addLayout(form);
    SetScaleTextColor(Qt::black);

    // The units in three columns, filled column by column.
    auto* unitsBox = new QGroupBox(tr("Distance Units"), this);
    unitsBox->setObjectName(QStringLiteral("DistanceUnits"));
    auto* grid = new QGridLayout(unitsBox);
    Units_ = new QButtonGroup(this);
    const char* const unitCaptions[kUnitCount] = {"pixels", "mi", "ft", "km", "m"};
    constexpr int rows = (kUnitCount + kUnitColumns - 1) / kUnitColumns;
    for (int i = 0; i < kUnitCount; ++i) {
        auto* radio = new QRadioButton(tr(unitCaptions[i]), unitsBox);
        radio->setObjectName(QStringLiteral("Unit%1").arg(i));
        Units_->addButton(radio, i);
        grid->addWidget(radio, i % rows, i / rows);
    }
    Units_->button(ValidUnits(settings.Geo.ScaleUnits))->setChecked(true);
    outer->addWidget(unitsBox);

    UpdateLongLat_ = new QCheckBox(tr("Update long/lat on node move"), this);
    UpdateLongLat_->setObjectName(QStringLiteral("UpdateLongLatCB"));
    UpdateLongLat_->setChecked(settings.Geo.UpdateLongLat);
    outer->addWidget(UpdateLongLat_);

    // The longitude and latitude settings have their own dialog, not available here yet.
    ComputeLongLat_ = new QPushButton(tr("Compute Long/Lat Settings"), this);
    ComputeLongLat_->setObjectName(QStringLiteral("ComputeLongLatButton"));
    ComputeLongLat_->setEnabled(false);
    ComputeLongLat_->setAutoDefault(false);
    outer->addWidget(ComputeLongLat_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TPreferencesDB::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TPreferencesDB::reject);
    outer->addWidget(buttons);
}

void TPreferencesDB::SetWarningHook(TWarningHook hook) {
    Warn_ = std::move(hook);
}

std::int32_t TPreferencesDB::ScaleUnits() const {
    return ValidUnits(Units_->checkedId());
}

void TPreferencesDB::SetScaleTextColor(Qt::GlobalColor color) {
    QPalette palette = ScaleEdit_->palette();
    palette.setColor(QPalette::Text, color);
    ScaleEdit_->setPalette(palette);
}

void TPreferencesDB::accept() {
    const std::string scaleText = FromQString(ScaleEdit_->text());
    if (!ApplyPreferences(Settings_, scaleText, ScaleUnits(), UpdateLongLat_->isChecked())) {
        SetScaleTextColor(Qt::red);
        if (Warn_)
            Warn_(this, tr("Preferences"), tr("Error in scale"));
        return;
    }
    SetScaleTextColor(Qt::black);
    QDialog::accept();
}

} // namespace zan
