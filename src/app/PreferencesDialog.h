// The "Preferences" dialog of a sketch window: the length scale (plane units per unit of length),
// the unit, and whether moved nodes recompute their longitude and latitude.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string_view>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zan {

struct TWindowSettings;

// Stores the preferences into the window's settings when the scale text is a complete real number
// that is positive (and finite): NetworkScale, Geo.ScaleUnits (0..4, anything else counts as 0),
// Geo.ScaleString from the unit and Geo.UpdateLongLat. Returns false and changes nothing otherwise.
bool ApplyPreferences(TWindowSettings& w, std::string_view scaleText, std::int32_t scaleUnits,
                      bool updateLongLat);

class TPreferencesDB : public QDialog {
    Q_OBJECT

public:
    // Shows a warning; the dialog stays open behind it. The default is a modal warning box.
    using TWarningHook = std::function<void(QWidget* parent, const QString& caption, const QString& text)>;

    // Preset from the window's settings; OK stores into them.
    explicit TPreferencesDB(TWindowSettings& settings, QWidget* parent = nullptr);

    // Replaces the warning shown for a refused scale (tests record it instead of blocking).
    void SetWarningHook(TWarningHook hook);

    // The unit chosen, 0 pixels, 1 miles, 2 feet, 3 kilometres, 4 metres.
    std::int32_t ScaleUnits() const;

    // Checks the scale: a refused text turns red, the warning is shown and the dialog stays open;
    // an accepted one turns black, the values are stored and the dialog closes.
    void accept() override;

private:
    void SetScaleTextColor(Qt::GlobalColor color);

    TWindowSettings& Settings_;
    TWarningHook Warn_;
    QLineEdit* ScaleEdit_ = nullptr;
    QButtonGroup* Units_ = nullptr;
    QCheckBox* UpdateLongLat_ = nullptr;
    QPushButton* ComputeLongLat_ = nullptr;
};

} // namespace zan
