// What a sketch window shows and remembers around the edits: modes that are not edits, the help
// line beside the status panels, the zoom buttons and mode entries in step with the window, a view
// that starts clean, the entity dialog's values and repaint, and a network opened to fit its window.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPaintEvent>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "TestNetworks.h"
#include "app/EntityDialog.h"
#include "app/MainWindow.h"
#include "app/SketchPadWindow.h"
#include "calc/DateTime.h"
#include "files/NetworkFile.h"
#include "files/RecentFiles.h"
#include "geometry/Viewport.h"
#include "schema/AttributeValues.h"

namespace zan {
namespace {

class WindowState : public ::testing::Test {
protected:
    void SetUp() override {
        main.MessageHook = [this](const QString& caption, const QString& text, int) {
            asked.emplace_back(caption, text);
            return QMessageBox::No;
        };
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        file = dir.filePath(QStringLiteral("roads.dta"));
        ASSERT_TRUE(testing::SaveTwoNodeNetwork(file.toStdString(), 300, 100));
        w = main.OpenFiles({file}).front();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        w->SetZoomState(kDefaultZoomState);
    }

    QPoint Pixel(int x, int y) const {
        const TWindowSettings& s = w->Settings();
        return QPoint(x + s.XScroll - s.horzbarpos, y + s.YScroll - s.vertbarpos);
    }

    QTemporaryDir dir;
    QString file;
    TZanMainWindow main;
    TSketchPadWindow* w = nullptr;
    std::vector<std::pair<QString, QString>> asked;
};

TEST_F(WindowState, ChoosingModesAndSelectingAreNoEdits) {
    for (const char* id : {"mode.nodeplot", "mode.linkplot", "mode.nodemove", "mode.select"}) {
        main.Command(id)->trigger();
        EXPECT_FALSE(w->Network().Modified) << id;
    }
    // Selecting a node in Select Object mode picks it and changes nothing.
    QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, Pixel(0, 0));
    EXPECT_FALSE(w->Network().Modified);
    EXPECT_TRUE(w->parentWidget()->close());
    EXPECT_TRUE(asked.empty()); // nothing to save
}

TEST_F(WindowState, AStoredModeAppliedOnReopenIsNoEdit) {
    QSettings settings(QString::fromLatin1(kRecentFilesOrganisation), QStringLiteral("zanwin"));
    settings.clear();
    settings.beginGroup(QString::fromLatin1(kRecentFilesGroup));
    TPrefFields fields;
    fields.Mode = static_cast<int>(sketchstates::nodeplotmode);
    settings.setValue(QStringLiteral("file1"), file);
    settings.setValue(QStringLiteral("filepref1"), QString::fromStdString(CreatePrefString(fields)));
    settings.sync();
    TZanMainWindow again;
    again.MessageHook = [](const QString&, const QString&, int) { return QMessageBox::No; };
    again.Reopen(1);
    ASSERT_EQ(again.SketchWindows().size(), 1);
    TSketchPadWindow* reopened = again.SketchWindows().front();
    EXPECT_EQ(reopened->Session.Mode(), sketchstates::nodeplotmode);
    EXPECT_FALSE(reopened->Network().Modified);
    settings.clear();
}

TEST_F(WindowState, TheHelpLineLeavesTheStatusPanelsInView) {
    main.ChooseMode(sketchstates::nodeplotmode);
    const std::string_view help = ModeHelpLine(sketchstates::nodeplotmode);
    EXPECT_EQ(main.HelpLine()->text().toStdString(), help);
    EXPECT_TRUE(main.statusBar()->currentMessage().isEmpty());
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(main.StatusPanel(i)->isVisible()) << i;
    // The cursor coordinates of the plot mode are readable in panel 0.
    EXPECT_EQ(main.StatusPanel(0)->text().toStdString(),
              CoordinatesText(w->Settings().CurPosX, w->Settings().CurPosY));
    // The help line goes after 100 ms per character.
    auto* timer = main.findChild<QTimer*>(QStringLiteral("helpLineTimer"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), static_cast<int>(help.size()) * 100);
    timer->start(0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.HelpLine()->text().isEmpty(); }, 2000));
}

TEST_F(WindowState, ZoomButtonsAndModeEntriesFollowTheWindow) {
    QAction* zoomIn = main.findChild<QAction*>(QStringLiteral("button Zoom In"));
    QAction* zoomOut = main.findChild<QAction*>(QStringLiteral("button Zoom Out"));
    ASSERT_NE(zoomIn, nullptr);
    ASSERT_NE(zoomOut, nullptr);
    QTest::keyClick(w, Qt::Key_Z);
    EXPECT_TRUE(zoomIn->isChecked());
    EXPECT_FALSE(zoomOut->isChecked());
    QTest::keyClick(w, Qt::Key_Y);
    EXPECT_FALSE(zoomIn->isChecked());
    EXPECT_TRUE(zoomOut->isChecked());
    EXPECT_TRUE(w->Settings().NextClickIsOutZoom);
    // Pressing the button switches the window's flag.
    zoomIn->trigger();
    EXPECT_TRUE(w->Settings().NextClickIsInZoom);
    EXPECT_FALSE(w->Settings().NextClickIsOutZoom);
    EXPECT_FALSE(zoomOut->isChecked());

    // Choosing a mode ends the zoom clicks and releases both buttons.
    main.Command("mode.linkplot")->trigger();
    EXPECT_FALSE(zoomIn->isChecked());
    EXPECT_FALSE(zoomOut->isChecked());
    EXPECT_FALSE(w->Settings().NextClickIsInZoom);
    // The Modes menu shows the current mode as the one checked entry.
    for (const char* id : {"mode.linkplot", "mode.nodeplot", "mode.select", "mode.nodemove"}) {
        ASSERT_TRUE(main.Command(id)->isCheckable()) << id;
        EXPECT_EQ(main.Command(id)->isChecked(), std::string(id) == "mode.linkplot") << id;
    }
    QTest::keyClick(w, Qt::Key_Z);
    main.Command("mode.nodeplot")->trigger();
    EXPECT_TRUE(main.Command("mode.nodeplot")->isChecked());
    EXPECT_FALSE(main.Command("mode.linkplot")->isChecked());
    EXPECT_FALSE(zoomIn->isChecked());
}

TEST_F(WindowState, ANewViewStartsWithNoPicksZoomClickOrUndo) {
    TNetwork& net = w->Network();
    TNode* a = nullptr;
    net.Hash.ForEachNode([&](TNode& n) {
        if (n.x_cent == 0)
            a = &n;
    });
    ASSERT_NE(a, nullptr);
    // The base is in the middle of things: a node picked, a zoom click pending, a removal to undo.
    TWindowSettings& s = w->Settings();
    s.LastNode = a;
    s.NextClickIsInZoom = true;
    TLinkValues* link = a->LinkList[0]->LinkData;
    s.shapepointhold.TheLink = link;
    s.shapepointhold.ThePosition = 0;
    TSketchPadWindow* view = main.NewView();
    ASSERT_NE(view, nullptr);
    const TWindowSettings& v = view->Settings();
    EXPECT_EQ(v.LastNode, nullptr);
    EXPECT_EQ(v.LastSp, nullptr);
    EXPECT_FALSE(v.NextClickIsInZoom);
    EXPECT_FALSE(v.NextClickIsOutZoom);
    EXPECT_EQ(v.shapepointhold.TheLink, nullptr);
    EXPECT_FALSE(main.Command("mode.undoshaperemove")->isEnabled());
    // The base keeps what it had.
    EXPECT_EQ(s.LastNode, a);
    EXPECT_EQ(s.shapepointhold.TheLink, link);
}

// Counts the paint events of a widget and whether one covered all of it.
struct TPaintWatch : QObject {
    QWidget* widget;
    bool whole = false;
    explicit TPaintWatch(QWidget* w) : widget(w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint && static_cast<QPaintEvent*>(e)->rect() == widget->rect())
            whole = true;
        return false;
    }
};

TEST_F(WindowState, AnEntityEditedThroughItsDialogRepaintsTheWindow) {
    for (sketchstates mode : {sketchstates::nodeopenmode, sketchstates::nodeplotopen}) {
        SCOPED_TRACE(static_cast<int>(mode));
        main.ChooseMode(mode);
        QApplication::processEvents();
        int opened = 0;
        w->DialogHook = [&](QDialog& dialog) {
            ++opened;
            dialog.findChild<QLineEdit*>(QStringLiteral("LabelEdit"))
                ->setText(QStringLiteral("Main & First"));
            dialog.accept();
            return int(QDialog::Accepted);
        };
        TPaintWatch watch(w->viewport());
        if (mode == sketchstates::nodeopenmode) {
            QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, Pixel(0, 0));
        } else {
            // A left click places the cursor, a right click plots there and opens the new node.
            QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, Pixel(150, 50));
            QTest::mouseClick(w->viewport(), Qt::RightButton, {}, Pixel(150, 50));
        }
        QApplication::processEvents();
        EXPECT_EQ(opened, 1);
        EXPECT_TRUE(watch.whole);
        EXPECT_TRUE(w->Network().Modified);
    }
}

TEST(EntityDialog, ValuesShowAsTheirFormatSays) {
    TNetwork net;
    TEntityType& type = net.NodeDef.Classs[1];
    type.ename = "Zone";
    auto add = [&](const char* name, char letter, int wcount) {
        auto a = std::make_unique<TAttrib>();
        a->atname = name;
        a->aformat = letter;
        a->wcount = wcount;
        type.Attrib[static_cast<std::size_t>(++type.atcount)] = std::move(a);
    };
    add("Area", 'C', 2);
    add("Opened", 'X', 0);
    add("Name", 'S', 0);
    add("Lanes", 'I', 0);
    net.NodeDef.ResetStringPosList();
    TNode node(0, 0, 0, 0);
    node.NType = 1;
    node.ResizeValues(4);
    MyDateTime opened{};
    opened.Year = 99;
    opened.Month = 12;
    opened.Day = 31;
    node.NValue[0] = TextToCode("UR");
    node.NValue[1] = DateToDouble(opened);
    node.NValue[3] = 2.5;
    node.AttString.push_back(TText("Kestrel Falls"));
    TEntityDialog dialog(net, node);
    const auto* values = dialog.findChild<QListWidget*>(QStringLiteral("Values"));
    ASSERT_NE(values, nullptr);
    QStringList rows;
    for (int i = 0; i < values->count(); ++i)
        rows << values->item(i)->text();
    EXPECT_EQ(rows, (QStringList{QStringLiteral("Area = UR"), QStringLiteral("Opened = 12/31/1999"),
                                 QStringLiteral("Name = Kestrel Falls"), QStringLiteral("Lanes = 2")}));
}

TEST(FirstView, AnOpenedNetworkFitsItsWindow) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("wide.dta"));
    ASSERT_TRUE(testing::SaveTwoNodeNetwork(file.toStdString(), 20000, 9000));
    TZanMainWindow main;
    main.MessageHook = [](const QString&, const QString&, int) { return QMessageBox::No; };
    main.show();
    TSketchPadWindow* w = main.OpenFiles({file}).front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    const TWindowSettings& s = w->Settings();
    const int width = w->viewport()->width();
    const int height = w->viewport()->height();
    auto fits = [&](int state) {
        const double f = ViewportFactor(state);
        return (s.XMax - s.XMin + 20) * f <= width && (s.YMax - s.YMin + 20) * f <= height;
    };
    ASSERT_LT(s.ZoomState, kDefaultZoomState);
    EXPECT_TRUE(fits(s.ZoomState));
    EXPECT_FALSE(fits(s.ZoomState + 1)); // the largest such zoom
    EXPECT_EQ(s.HorzPosition, 0);
    EXPECT_EQ(s.VertPosition, 0);
    // Both nodes are on the picture.
    w->viewport()->repaint();
    const QImage& picture = w->Picture();
    const double f = s.ViewportFactor();
    for (const QPoint plane : {QPoint(0, 0), QPoint(20000, 9000)}) {
        const QPoint pixel(static_cast<int>((plane.x() - s.XMin + 10) * f),
                           static_cast<int>((plane.y() - s.YMin + 10) * f));
        ASSERT_TRUE(picture.rect().contains(pixel));
    }
}

TEST(FirstView, TheFrameStartsOverTheWholeScreen) {
    TZanMainWindow main;
    main.ShowAtStart();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QRect available = main.screen()->availableGeometry();
    EXPECT_GE(main.frameGeometry().width(), std::min(1280, available.width()));
    EXPECT_GE(main.frameGeometry().height(), std::min(800, available.height()));
}

} // namespace
} // namespace zan
