#include "app/PreferencesDialog.h"
#include "app/ViewDialogs.h"

#include "model/WindowSettings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zan {
namespace {

// Shows a dialog without a modal loop, so a test can type into it and click its buttons.
void ShowDialog(QDialog& dialog) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
}

void ClickButton(QDialog& dialog, QDialogButtonBox::StandardButton which) {
    auto* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    QPushButton* button = box->button(which);
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
}

template <class T> T* Child(QWidget& parent, const char* name) {
    return parent.findChild<T*>(QString::fromLatin1(name));
}

// Replaces the field's text as a user would: select everything, then type.
template <class T> void TypeInto(T* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}

// Clicks a check box or radio button on its indicator: the widget may be wider than its label.
void ClickIndicator(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// ---- Preferences ----

struct TWarning {
    QString Caption;
    QString Text;
};

class PreferencesDialog : public ::testing::Test {
protected:
    void Open() {
        Dialog = std::make_unique<TPreferencesDB>(Settings);
        Dialog->SetWarningHook([this](QWidget* parent, const QString& caption, const QString& text) {
            EXPECT_EQ(parent, Dialog.get());
            Warnings.push_back({caption, text});
        });
        ShowDialog(*Dialog);
        Scale = Child<QLineEdit>(*Dialog, "ScaleEB");
        ASSERT_NE(Scale, nullptr);
    }

    QColor ScaleColor() const { return Scale->palette().color(QPalette::Text); }

    TWindowSettings Settings;
    std::unique_ptr<TPreferencesDB> Dialog;
    QLineEdit* Scale = nullptr;
    std::vector<TWarning> Warnings;
};

TEST_F(PreferencesDialog, PresetFromSettings) {
    Settings.NetworkScale = 0.1;
    Settings.Geo.ScaleUnits = 3;
    Settings.Geo.UpdateLongLat = true;
    ASSERT_NO_FATAL_FAILURE(Open());

    EXPECT_EQ(Dialog->windowTitle().toStdString(), "Preferences");
    EXPECT_EQ(Scale->text().toStdString(), "0.1");
    EXPECT_EQ(ScaleColor(), QColor(Qt::black));
    auto* km = Child<QRadioButton>(*Dialog, "Unit3");
    ASSERT_NE(km, nullptr);
    EXPECT_EQ(km->text().toStdString(), "km");
    EXPECT_TRUE(km->isChecked());
    EXPECT_EQ(Dialog->ScaleUnits(), 3);
    auto* update = Child<QCheckBox>(*Dialog, "UpdateLongLatCB");
    ASSERT_NE(update, nullptr);
    EXPECT_TRUE(update->isChecked());
    auto* compute = Child<QPushButton>(*Dialog, "ComputeLongLatButton");
    ASSERT_NE(compute, nullptr);
    EXPECT_EQ(compute->text().toStdString(), "Compute Long/Lat Settings");
    EXPECT_FALSE(compute->isEnabled());
}

TEST_F(PreferencesDialog, ScaleShownInShortestForm) {
    struct TCase {
        double Scale;
        const char* Shown;
    };
    for (const TCase& c :
         {TCase{1.0, "1"}, TCase{2.5, "2.5"}, TCase{1.0 / 3.0, "0.333333333333333"}, TCase{1e20, "1e+20"}}) {
        Settings.NetworkScale = c.Scale;
        ASSERT_NO_FATAL_FAILURE(Open());
        EXPECT_EQ(Scale->text().toStdString(), c.Shown) << c.Scale;
    }
}

TEST_F(PreferencesDialog, AcceptedScalesAreStored) {
    struct TCase {
        const char* Typed;
        double Stored;
    };
    for (const TCase& c : {TCase{"2.5E1", 25.0}, TCase{"0.5", 0.5}, TCase{"+3", 3.0}, TCase{"1e-3", 0.001}}) {
        Settings = TWindowSettings{};
        Warnings.clear();
        ASSERT_NO_FATAL_FAILURE(Open());
        TypeInto(Scale, QString::fromLatin1(c.Typed));
        ClickButton(*Dialog, QDialogButtonBox::Ok);
        EXPECT_EQ(Dialog->result(), QDialog::Accepted) << c.Typed;
        EXPECT_FALSE(Dialog->isVisible()) << c.Typed;
        EXPECT_TRUE(Warnings.empty()) << c.Typed;
        EXPECT_EQ(Settings.NetworkScale, c.Stored) << c.Typed;
    }
}

TEST_F(PreferencesDialog, RefusedScaleTurnsRedWarnsAndStaysOpen) {
    for (const char* typed : {"25 ft", "0", "-4", "-0", "", " 25", "inf", "nan", "0x10", "1e999", "2,5"}) {
        Settings = TWindowSettings{};
        Settings.NetworkScale = 7.0;
        Warnings.clear();
        ASSERT_NO_FATAL_FAILURE(Open());
        TypeInto(Scale, QString::fromLatin1(typed));
        Child<QRadioButton>(*Dialog, "Unit4")->setChecked(true);
        ClickButton(*Dialog, QDialogButtonBox::Ok);

        EXPECT_TRUE(Dialog->isVisible()) << typed;
        EXPECT_NE(Dialog->result(), QDialog::Accepted) << typed;
        EXPECT_EQ(ScaleColor(), QColor(Qt::red)) << typed;
        ASSERT_EQ(Warnings.size(), 1u) << typed;
        EXPECT_EQ(Warnings[0].Caption.toStdString(), "Preferences");
        EXPECT_EQ(Warnings[0].Text.toStdString(), "Error in scale");
        EXPECT_EQ(Settings.NetworkScale, 7.0) << typed;
        EXPECT_EQ(Settings.Geo.ScaleUnits, 0) << typed;
        EXPECT_EQ(Settings.Geo.ScaleString, "Pixels") << typed;
    }
}

TEST_F(PreferencesDialog, CorrectedScaleAfterRefusalTurnsBlackAndCloses) {
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeInto(Scale, QStringLiteral("25 ft"));
    ClickButton(*Dialog, QDialogButtonBox::Ok);
    ASSERT_TRUE(Dialog->isVisible());
    ASSERT_EQ(ScaleColor(), QColor(Qt::red));

    TypeInto(Scale, QStringLiteral("25"));
    ClickButton(*Dialog, QDialogButtonBox::Ok);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(ScaleColor(), QColor(Qt::black));
    EXPECT_EQ(Settings.NetworkScale, 25.0);
    EXPECT_EQ(Warnings.size(), 1u);
}

TEST_F(PreferencesDialog, EachUnitStoresItsName) {
    const std::vector<std::pair<const char*, std::string>> units = {
        {"pixels", "Pixels"}, {"mi", "Miles"}, {"ft", "Feet"}, {"km", "Kilometers"}, {"m", "Meters"}};
    for (std::size_t i = 0; i < units.size(); ++i) {
        Settings = TWindowSettings{};
        Settings.Geo.ScaleUnits = i == 0 ? 1 : 0; // start from another unit
        Settings.Geo.ScaleString = "Other";
        ASSERT_NO_FATAL_FAILURE(Open());
        auto* radio = Child<QRadioButton>(*Dialog, ("Unit" + std::to_string(i)).c_str());
        ASSERT_NE(radio, nullptr);
        EXPECT_EQ(radio->text().toStdString(), units[i].first);
        ClickIndicator(radio);
        ASSERT_TRUE(radio->isChecked()) << units[i].first;
        ClickButton(*Dialog, QDialogButtonBox::Ok);
        EXPECT_EQ(Settings.Geo.ScaleUnits, static_cast<std::int32_t>(i));
        EXPECT_EQ(Settings.Geo.ScaleString, units[i].second);
    }
}

TEST_F(PreferencesDialog, UpdateLongLatIsStored) {
    ASSERT_NO_FATAL_FAILURE(Open());
    ClickIndicator(Child<QCheckBox>(*Dialog, "UpdateLongLatCB"));
    ClickButton(*Dialog, QDialogButtonBox::Ok);
    EXPECT_TRUE(Settings.Geo.UpdateLongLat);
    EXPECT_EQ(Settings.NetworkScale, 1.0);
}

TEST_F(PreferencesDialog, CancelChangesNothing) {
    Settings.NetworkScale = 3.0;
    Settings.Geo.ScaleUnits = 2;
    Settings.Geo.ScaleString = "Feet";
    const TWindowSettings before = Settings;
    ASSERT_NO_FATAL_FAILURE(Open());
    TypeInto(Scale, QStringLiteral("99"));
    ClickIndicator(Child<QRadioButton>(*Dialog, "Unit4"));
    ClickIndicator(Child<QCheckBox>(*Dialog, "UpdateLongLatCB"));
    ClickButton(*Dialog, QDialogButtonBox::Cancel);
    EXPECT_EQ(Dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Settings.NetworkScale, before.NetworkScale);
    EXPECT_EQ(Settings.Geo, before.Geo);
    EXPECT_TRUE(Warnings.empty());
}

TEST(PreferencesApply, UnitOutOfRangeCountsAsPixels) {
    TWindowSettings w;
    w.Geo.ScaleUnits = 2;
    ASSERT_TRUE(ApplyPreferences(w, "2", 9, false));
    EXPECT_EQ(w.Geo.ScaleUnits, 0);
    EXPECT_EQ(w.Geo.ScaleString, "Pixels");
    EXPECT_EQ(w.NetworkScale, 2.0);
}

// ---- Snap, Coordinates, Extents ----

struct TSpinCase {
    const char* Name;
    int Min;
    int Max;
};

// Every spin field of the three dialogs: its range, presets beyond it, typing beyond it and setting
// beyond it all end within the range.
TEST(ViewDialogs, SpinFieldsKeepTheirRanges) {
    TSnapDB snap(5000);
    TCoordinates coords(2000000000, -2000000000);
    TExtentsDB extents(600000, -600000, -600000, 600000);
    struct TDialogCase {
        QDialog* Dialog;
        std::vector<TSpinCase> Fields;
    };
    const std::vector<TDialogCase> dialogs = {
        {&snap, {{"SnapEB", 1, 1000}}},
        {&coords, {{"XCoord", -512000, 512000}, {"YCoord", -512000, 512000}}},
        {&extents,
         {{"TopSE", -512000, 512000},
          {"BottomSE", -512000, 512000},
          {"LeftSE", -512000, 512000},
          {"RightSE", -512000, 512000}}},
    };
    for (const TDialogCase& d : dialogs) {
        for (const TSpinCase& f : d.Fields) {
            auto* spin = Child<QSpinBox>(*d.Dialog, f.Name);
            ASSERT_NE(spin, nullptr) << f.Name;
            EXPECT_EQ(spin->minimum(), f.Min) << f.Name;
            EXPECT_EQ(spin->maximum(), f.Max) << f.Name;
            EXPECT_GE(spin->value(), f.Min) << f.Name;
            EXPECT_LE(spin->value(), f.Max) << f.Name;
            spin->setValue(f.Max);
            TypeInto(spin, QString::number(static_cast<qint64>(f.Max) * 10));
            EXPECT_LE(spin->value(), f.Max) << f.Name;
            spin->setValue(f.Min - 1);
            EXPECT_EQ(spin->value(), f.Min) << f.Name;
            spin->setValue(f.Max + 1);
            EXPECT_EQ(spin->value(), f.Max) << f.Name;
        }
    }
    EXPECT_EQ(snap.SnapDistance(), 1000);
    EXPECT_EQ(coords.X(), 512000);
    EXPECT_EQ(coords.Y(), 512000);
}

TEST(ViewDialogs, SnapDialogReturnsTypedDistance) {
    struct TCase {
        const char* Typed;
        std::int32_t Expected;
    };
    // "0" is below the range and is corrected to the nearest bound when OK is pressed.
    for (const TCase& c : {TCase{"250", 250}, TCase{"1000", 1000}, TCase{"0", 1}}) {
        TSnapDB dialog(3);
        ASSERT_NO_FATAL_FAILURE(ShowDialog(dialog));
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Snap");
        auto* spin = Child<QSpinBox>(dialog, "SnapEB");
        ASSERT_NE(spin, nullptr);
        EXPECT_EQ(spin->value(), 3);
        TypeInto(spin, QString::fromLatin1(c.Typed));
        ClickButton(dialog, QDialogButtonBox::Ok);
        EXPECT_EQ(dialog.result(), QDialog::Accepted) << c.Typed;
        EXPECT_EQ(dialog.SnapDistance(), c.Expected) << c.Typed;
    }
}

TEST(ViewDialogs, CoordinatesMovePlotCursorWithinPlane) {
    struct TCase {
        const char* TypedX;
        const char* TypedY;
        std::int32_t X;
        std::int32_t Y;
    };
    // Typing past a bound stops at the digit that would leave the range.
    for (const TCase& c : {TCase{"-1234", "5678", -1234, 5678}, TCase{"9999999", "-9999999", 99999, -99999},
                           TCase{"512000", "-512000", 512000, -512000}}) {
        TWindowSettings w;
        TCoordinates dialog(w.CurPosX, w.CurPosY);
        ASSERT_NO_FATAL_FAILURE(ShowDialog(dialog));
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Coordinates");
        auto* x = Child<QSpinBox>(dialog, "XCoord");
        auto* y = Child<QSpinBox>(dialog, "YCoord");
        ASSERT_NE(x, nullptr);
        ASSERT_NE(y, nullptr);
        EXPECT_EQ(x->value(), 10);
        EXPECT_EQ(y->value(), 10);
        TypeInto(x, QString::fromLatin1(c.TypedX));
        TypeInto(y, QString::fromLatin1(c.TypedY));
        ClickButton(dialog, QDialogButtonBox::Ok);
        ASSERT_EQ(dialog.result(), QDialog::Accepted);
        ApplyCoordinates(dialog, w);
        EXPECT_EQ(w.CurPosX, c.X) << c.TypedX;
        EXPECT_EQ(w.CurPosY, c.Y) << c.TypedY;
    }
}

TEST(ViewDialogs, CoordinatesPresetBeyondPlaneIsClamped) {
    TWindowSettings w;
    TCoordinates dialog(700000, -2147483647);
    ApplyCoordinates(dialog, w);
    EXPECT_EQ(w.CurPosX, 512000);
    EXPECT_EQ(w.CurPosY, -512000);
}

TEST(ViewDialogs, ExtentsOkStoresValuesAndScrollFollows) {
    TWindowSettings w;
    w.XMin = 1, w.XMax = 2, w.YMin = 3, w.YMax = 4;
    TExtentsDB dialog(w.YMin, w.YMax, w.XMin, w.XMax);
    ASSERT_NO_FATAL_FAILURE(ShowDialog(dialog));
    EXPECT_EQ(dialog.windowTitle().toStdString(), "Sketch Pad Extents");
    struct TField {
        const char* Name;
        std::int32_t Preset;
        const char* Typed;
    };
    // Inverted extents (minimum above maximum) are taken as they are.
    const std::vector<TField> fields = {
        {"TopSE", 3, "-250"}, {"BottomSE", 4, "-300"}, {"LeftSE", 1, "-100"}, {"RightSE", 2, "900"}};
    for (const TField& f : fields) {
        auto* spin = Child<QSpinBox>(dialog, f.Name);
        ASSERT_NE(spin, nullptr) << f.Name;
        EXPECT_EQ(spin->value(), f.Preset) << f.Name;
        TypeInto(spin, QString::fromLatin1(f.Typed));
    }
    ClickButton(dialog, QDialogButtonBox::Ok);
    ASSERT_EQ(dialog.result(), QDialog::Accepted);
    ApplyExtents(dialog, w);
    EXPECT_EQ(w.YMin, -250);
    EXPECT_EQ(w.YMax, -300);
    EXPECT_EQ(w.XMin, -100);
    EXPECT_EQ(w.XMax, 900);
    EXPECT_EQ(w.XScroll, 110);
    EXPECT_EQ(w.YScroll, 260);
    EXPECT_EQ(w.HorzRange, 1020); // (900 + 100 + 20) at 1:1
    EXPECT_EQ(w.VertRange, 0);    // inverted: a negative range counts as 0
}

} // namespace
} // namespace zan
