#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QDateTime>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QDialog>
#include <QPixmap>
#include <QScrollBar>
#include <QSettings>
#include <QSet>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/CommandTree.h"
#include "app/SketchPadWindow.h"
#include "ScriptedWindow.h"
#include "TestNetworks.h"
#include "files/NetworkFile.h"

namespace zan {
namespace {

std::vector<std::string> VisibleMenus(QMainWindow& window) {
    std::vector<std::string> titles;
    for (const QAction* a : window.menuBar()->actions())
        titles.push_back(a->text().toStdString());
    return titles;
}

std::vector<std::string> Captions(const QMenu* menu) {
    std::vector<std::string> texts;
    for (const QAction* a : menu->actions())
        texts.push_back(a->text().toStdString());
    return texts;
}

// A saved network of two nodes, at (0, 0) and (x, 100), and a link.
QString SmallNetwork(const QTemporaryDir& dir, const QString& name, int x = 300) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(testing::SaveTwoNodeNetwork(path.toStdString(), x, 100));
    return path;
}

using testing::TScriptedWindow;

TEST(MainWindow, MenusFollowTheCommandTreeAndItsWindows) {
    TZanMainWindow window;
    EXPECT_EQ(window.windowTitle().toStdString(), "Zan");
    EXPECT_EQ(qobject_cast<QMdiArea*>(window.centralWidget()), window.MdiArea());

    // Without a sketch window the frame shows its short menu.
    EXPECT_EQ(VisibleMenus(window), (std::vector<std::string>{"&File", "&Help"}));
    const QMenu* frameFile = window.findChild<QMenu*>(QStringLiteral("frame.fileMenu"));
    ASSERT_NE(frameFile, nullptr);
    EXPECT_EQ(Captions(frameFile), (std::vector<std::string>{"&New", "&Open", "&Reopen", "E&xit"}));

    ASSERT_NE(window.NewSketchWindow(), nullptr);
    EXPECT_EQ(VisibleMenus(window), (std::vector<std::string>{"&File", "&View", "&Modes", "&Tools", "&Schema",
                                                              "&Transform", "&Window", "&Help"}));
    // Every command of the tree is present with its caption and shortcut; what works is enabled,
    // what a later part of the program brings is present and disabled.
    for (const TCommandDef& def : SketchCommands()) {
        const QAction* a = window.Command(std::string(def.id));
        ASSERT_NE(a, nullptr) << def.id;
        EXPECT_EQ(a->text().toStdString(), def.caption);
        EXPECT_EQ(a->shortcut(), QKeySequence(QString::fromUtf8(def.shortcut.data(), def.shortcut.size())));
    }
    struct Case {
        const char* id;
        bool enabled;
    };
    for (const Case& c : {Case{"file.open", true}, Case{"file.save", true}, Case{"view.zoom.4", true},
                          Case{"transform.trim", true}, Case{"file.append", true},
                          Case{"tools.calculate", false}, Case{"schema.styles.nodes", false},
                          Case{"mode.nodeplot", true}, Case{"mode.polygoninsert", false}}) {
        EXPECT_EQ(window.Command(c.id)->isEnabled(), c.enabled) << c.id;
    }
    EXPECT_EQ(window.Command("file.open")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(window.Command("mode.nodeplot")->shortcut(), QKeySequence(QStringLiteral("H")));
}

TEST(MainWindow, StatusBarHasSixPanelsShowingSnapAndZoom) {
    TZanMainWindow window;
    TSketchPadWindow* sketch = window.NewSketchWindow();
    ASSERT_NE(sketch, nullptr);
    const int widths[] = {180, 40, 40, 70, 140, 50};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(window.StatusPanel(i)->width(), widths[i]) << i;
    EXPECT_EQ(window.StatusPanel(1)->text(), QStringLiteral("1"));
    EXPECT_EQ(window.StatusPanel(2)->text(), QStringLiteral("1:1"));
    window.Command("view.zoom.4")->trigger();
    EXPECT_EQ(window.StatusPanel(2)->text(), QStringLiteral("1:24"));
    EXPECT_EQ(sketch->Settings().ZoomState, 4);
    EXPECT_TRUE(window.Command("view.zoom.4")->isChecked());
    QTest::keyClick(sketch, Qt::Key_Plus);
    EXPECT_EQ(window.StatusPanel(2)->text(), QStringLiteral("1:18"));
    QTest::keyClick(sketch, Qt::Key_7);
    EXPECT_EQ(window.SnapDistance(), 7);
    EXPECT_EQ(window.StatusPanel(1)->text(), QStringLiteral("7"));
}

TEST(MainWindow, CommandLineFileTakesTheFirstWindowAndOpenReplacesOnlyAnUntouchedOne) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString first = SmallNetwork(dir, QStringLiteral("first.dta"));
    const QString second = SmallNetwork(dir, QStringLiteral("second.dta"));
    TScriptedWindow s;
    s.window.NewSketchWindow();
    s.window.OpenCommandLineFile(first);
    ASSERT_EQ(s.window.SketchWindows().size(), 1);
    EXPECT_EQ(s.window.SketchWindows().front()->CurrentName, first);
    EXPECT_EQ(s.window.SketchWindows().front()->windowTitle(), QStringLiteral("first.dta"));

    // A missing command-line file is ignored.
    s.window.OpenCommandLineFile(dir.filePath(QStringLiteral("missing.dta")));
    EXPECT_EQ(s.window.SketchWindows().size(), 1);

    // Opening another file keeps the window that holds a network.
    s.window.OpenFiles({second});
    ASSERT_EQ(s.window.SketchWindows().size(), 2);
    // A new untouched window gives way; a touched one stays.
    s.window.NewSketchWindow();
    TSketchPadWindow* touched = s.window.NewSketchWindow();
    touched->Network().NodeDef.Classs[1].ename = "Zone";
    s.window.OpenFiles({first});
    QApplication::processEvents();
    EXPECT_EQ(s.window.SketchWindows().size(), 4);
    EXPECT_TRUE(s.window.SketchWindows().contains(touched));
    EXPECT_TRUE(s.asked.empty());
}

TEST(MainWindow, UnreadableFileShowsTheReadMessageAndClosesItsWindow) {
    QTemporaryDir dir;
    const QString bad = dir.filePath(QStringLiteral("bad.dta"));
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a network\r\n");
    }
    TScriptedWindow s;
    EXPECT_TRUE(s.window.OpenFiles({bad}).isEmpty());
    QApplication::processEvents();
    EXPECT_TRUE(s.window.SketchWindows().isEmpty());
    ASSERT_EQ(s.asked.size(), 1u);
    EXPECT_EQ(s.asked[0].first, QStringLiteral("Network Read Error 1"));
    EXPECT_EQ(s.asked[0].second, QStringLiteral("Network will be closed."));
}

TEST(MainWindow, ClosingAModifiedWindowAsksAndKeepsItOnCancel) {
    QTemporaryDir dir;
    const QString file = SmallNetwork(dir, QStringLiteral("roads.dta"));
    TScriptedWindow s;
    s.window.OpenFiles({file});
    TSketchPadWindow* w = s.window.SketchWindows().front();
    w->Network().Modified = true;

    s.answer = QMessageBox::Cancel;
    EXPECT_FALSE(w->parentWidget()->close());
    ASSERT_EQ(s.asked.size(), 1u);
    EXPECT_EQ(s.asked[0].first, QStringLiteral("Close: roads.dta"));
    EXPECT_EQ(s.asked[0].second, QStringLiteral("Do you want to save?"));
    EXPECT_EQ(s.window.SketchWindows().size(), 1);

    // The frame does not close while a window stays open.
    s.window.show();
    s.window.close();
    EXPECT_TRUE(s.window.isVisible());
    EXPECT_EQ(s.window.SketchWindows().size(), 1);

    // Yes saves and closes; the file holds the change.
    s.answer = QMessageBox::Yes;
    THashEntry* cell = nullptr;
    w->Network().Hash.InsertNode(50, 50, 0, true, cell);
    EXPECT_TRUE(w->parentWidget()->close());
    QApplication::processEvents();
    EXPECT_TRUE(s.window.SketchWindows().isEmpty());
    TNetwork reread;
    TWindowSettings settings;
    ASSERT_EQ(OpenNetworkFile(file.toStdString(), reread, settings).code, kFileOK);
    EXPECT_EQ(reread.Hash.PointCount(), 3);
}

TEST(MainWindow, NoDiscardsAndAFailedSaveKeepsTheWindow) {
    QTemporaryDir dir;
    TScriptedWindow s;
    TSketchPadWindow* unnamed = s.window.NewSketchWindow();
    unnamed->Network().Modified = true;
    // Yes on a never-saved network asks for a name; a name in a missing folder fails to save.
    s.answer = QMessageBox::Yes;
    s.files = {dir.filePath(QStringLiteral("no/such/folder/net.dta"))};
    EXPECT_FALSE(unnamed->parentWidget()->close());
    ASSERT_GE(s.asked.size(), 2u);
    EXPECT_EQ(s.asked.back().first, QStringLiteral("Cannot Write File"));
    EXPECT_TRUE(unnamed->Network().Modified);
    // No discards.
    s.answer = QMessageBox::No;
    EXPECT_TRUE(unnamed->parentWidget()->close());
}

TEST(MainWindow, ViewsShareTheNetworkAndCopyTheSettings) {
    QTemporaryDir dir;
    const QString file = SmallNetwork(dir, QStringLiteral("city.dta"));
    TScriptedWindow s;
    TSketchPadWindow* base = s.window.OpenFiles({file}).front();
    base->SetZoomState(11);
    TSketchPadWindow* view = s.window.NewView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(&view->Network(), &base->Network());
    EXPECT_EQ(view->Settings().ZoomState, 11);
    EXPECT_TRUE(view->windowTitle().endsWith(QStringLiteral("city.dta")));
    view->SetZoomState(13);
    EXPECT_EQ(base->Settings().ZoomState, 11); // the settings are the view's own
}

TEST(MainWindow, SketchWindowPaintsTheNetwork) {
    QTemporaryDir dir;
    const QString file = SmallNetwork(dir, QStringLiteral("paint.dta"), 200);
    TScriptedWindow s;
    s.window.show();
    TSketchPadWindow* w = s.window.OpenFiles({file}).front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    w->SetZoomState(kDefaultZoomState);
    w->viewport()->repaint();
    const QImage& picture = w->Picture();
    ASSERT_FALSE(picture.isNull());
    // Node A at plane (0, 0) is at pixel (10, 10); B at (200, 100) at (210, 110); the link between.
    EXPECT_EQ(picture.pixel(10, 10), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(210, 110), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(110, 60), qRgb(0, 0, 255));
}

TEST(MainWindow, AppendAddsTheElementsToEveryViewAndMarksTheNetworkModified) {
    QTemporaryDir dir;
    const QString base = SmallNetwork(dir, QStringLiteral("base.dta"));
    const QString more = SmallNetwork(dir, QStringLiteral("more.dta"), 900);
    TScriptedWindow s;
    TSketchPadWindow* w = s.window.OpenFiles({base}).front();
    s.window.NewView();
    s.window.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    s.answer = QMessageBox::No; // keep the window's own system attribute values
    s.files = {more};
    EXPECT_TRUE(s.window.Append(*w));
    EXPECT_EQ(s.asked.front().first, QStringLiteral("System Attribute Disposition"));
    EXPECT_EQ(w->Network().Hash.PointCount(), 4);
    EXPECT_TRUE(w->Network().Modified);
    EXPECT_EQ(w->Settings().XMax, 900);
    // Choosing no file ends the command.
    s.files.clear();
    EXPECT_FALSE(s.window.Append(*w));
    EXPECT_EQ(w->Network().Hash.PointCount(), 4);
}

TEST(MainWindow, StatusBarDoubleClickOpensSnapThenCoordinatesInAPlotMode) {
    TScriptedWindow s;
    s.window.show();
    TSketchPadWindow* w = s.window.NewSketchWindow();
    std::vector<QString> opened;
    QTimer closer;
    closer.setInterval(10);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            opened.push_back(dialog->windowTitle());
            dialog->reject();
        }
    });
    closer.start();
    QStatusBar* bar = s.window.statusBar();
    struct Case {
        int x;
        int mode;
        std::vector<QString> dialogs;
    };
    const Case cases[] = {
        {150, 1, {QStringLiteral("Snap"), QStringLiteral("Coordinates")}},
        {150, 0, {QStringLiteral("Snap")}},
        {50, 1, {QStringLiteral("Coordinates")}},
        {300, 1, {}},
    };
    for (const Case& c : cases) {
        opened.clear();
        w->ChooseMode(static_cast<sketchstates>(c.mode));
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(c.x, 5));
        QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(c.x, 5));
        EXPECT_EQ(opened, c.dialogs) << c.x << " mode " << c.mode;
    }
}

TEST(MainWindow, ScrollBarsFollowTheViewportArithmetic) {
    QTemporaryDir dir;
    const QString file = SmallNetwork(dir, QStringLiteral("wide.dta"), 3000);
    TScriptedWindow s;
    s.window.show();
    TSketchPadWindow* w = s.window.OpenFiles({file}).front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    w->SetZoomState(kDefaultZoomState);
    EXPECT_EQ(w->horizontalScrollBar()->maximum(), w->Settings().HorzRange);
    EXPECT_EQ(w->Settings().HorzRange, 3020); // (3000 - 0 + 20) pixels at 1:1
    w->horizontalScrollBar()->setValue(1000);
    EXPECT_EQ(w->Settings().HorzPosition, 1000);
    EXPECT_EQ(w->Settings().horzbarpos, 1000);
    w->SetZoomState(11); // 1:2: the plane point at the top left stays there
    EXPECT_EQ(w->Settings().HorzPosition, 500);
    EXPECT_EQ(w->horizontalScrollBar()->value(), 500);
    EXPECT_EQ(w->horizontalScrollBar()->maximum(), 1510);
    QTest::keyClick(w, Qt::Key_Home);
    EXPECT_EQ(w->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(w->Settings().HorzPosition, 0);
}

TEST(MainWindow, WindowLimitHoldsOnEveryPathThatCreatesOne) {
    TScriptedWindow s;
    for (int i = 0; i < kMaxSketchWindows; ++i)
        ASSERT_NE(s.window.NewSketchWindow(), nullptr) << i;
    EXPECT_EQ(s.window.NewSketchWindow(), nullptr);
    EXPECT_EQ(s.window.NewView(), nullptr);
    QTemporaryDir dir;
    EXPECT_TRUE(s.window.OpenFiles({SmallNetwork(dir, QStringLiteral("x.dta"))}).isEmpty());
    EXPECT_EQ(s.window.SketchWindows().size(), kMaxSketchWindows);
    ASSERT_FALSE(s.asked.empty());
    EXPECT_TRUE(s.asked.back().second.contains(QStringLiteral("100")));
}

// The recent files live in the user's settings; these tests run with Qt's test locations.
void ClearRecentFiles() {
    QSettings settings(QStringLiteral("ZAN7"), QStringLiteral("zanwin"));
    settings.clear();
    settings.sync();
}

TEST(MainWindow, RecentFilesSurviveARestartWithTheirWindowSettings) {
    ClearRecentFiles();
    QTemporaryDir dir;
    const QString file = SmallNetwork(dir, QStringLiteral("recent.dta"));
    {
        TScriptedWindow s;
        TSketchPadWindow* w = s.window.OpenFiles({file}).front();
        w->SetZoomState(11);
        w->Settings().DarkCursor = true;
        w->AutoBackup = false;
        s.window.setsnap(25);
        s.window.show();
        s.window.close(); // the frame records every open window
        EXPECT_FALSE(s.window.isVisible());
    }
    TScriptedWindow again;
    ASSERT_EQ(again.window.RecentFiles().Count(), 1);
    EXPECT_EQ(again.window.RecentFiles().Entry(1)->Name, file.toStdString());
    auto* reopen = again.window.findChild<QMenu*>(QStringLiteral("frame.file.reopen"));
    ASSERT_NE(reopen, nullptr);
    ASSERT_EQ(reopen->actions().size(), 1);
    EXPECT_EQ(reopen->actions().front()->text(), QStringLiteral("&1  ") + file);
    reopen->actions().front()->trigger();
    ASSERT_EQ(again.window.SketchWindows().size(), 1);
    TSketchPadWindow* w = again.window.SketchWindows().front();
    EXPECT_EQ(w->Settings().ZoomState, 11);
    EXPECT_TRUE(w->Settings().DarkCursor);
    EXPECT_FALSE(w->AutoBackup);
    EXPECT_EQ(again.window.SnapDistance(), 25);
    ClearRecentFiles();
}

TEST(MainWindow, CorruptedStoredPreferenceStringsAreIgnoredFieldByField) {
    ClearRecentFiles();
    QTemporaryDir dir;
    const QString file = SmallNetwork(dir, QStringLiteral("stored.dta"));
    const char* garbage[] = {"", "abc", "99,x,,-5,1e9,0,400,", "0,0,0,0,0,0,0,7,7,7,7,7,7,7,7,7,7,7,7",
                             "13,1,1,999999999,-999999999,5000,27,-1,-1,-1,-1,1,"};
    for (const char* text : garbage) {
        {
            QSettings settings(QStringLiteral("ZAN7"), QStringLiteral("zanwin"));
            settings.beginGroup(QStringLiteral("ClosedFiles"));
            settings.setValue(QStringLiteral("file1"), file);
            settings.setValue(QStringLiteral("filepref1"), QString::fromLatin1(text));
            settings.setValue(QStringLiteral("file7"), QStringLiteral("ignored.dta"));
        }
        TScriptedWindow s;
        ASSERT_EQ(s.window.RecentFiles().Count(), 1) << text;
        s.window.Reopen(1);
        ASSERT_EQ(s.window.SketchWindows().size(), 1) << text;
        const TWindowSettings& w = s.window.SketchWindows().front()->Settings();
        EXPECT_GE(w.ZoomState, 1) << text;
        EXPECT_LE(w.ZoomState, 18) << text;
        EXPECT_GE(w.HorzPosition, 0) << text;
        EXPECT_LE(w.HorzPosition, w.HorzRange) << text;
        EXPECT_GE(s.window.SnapDistance(), 1) << text;
        EXPECT_LE(s.window.SnapDistance(), 1000) << text;
    }
    ClearRecentFiles();
}

TEST(MainWindow, BackupWritesTheTildeFileAndLeavesTheWindowModified) {
    QTemporaryDir dir;
    const QString file = SmallNetwork(dir, QStringLiteral("city.dta"));
    TScriptedWindow s;
    TSketchPadWindow* w = s.window.OpenFiles({file}).front();
    const QString backup = dir.filePath(QStringLiteral("city.dt~"));
    s.window.BackupTick(); // not modified: nothing
    EXPECT_FALSE(QFileInfo::exists(backup));
    w->Network().Modified = true;
    s.window.BackupTick(); // modified but younger than 15 minutes: nothing
    EXPECT_FALSE(QFileInfo::exists(backup));
    const QDateTime created = QDateTime::currentDateTime().addSecs(-901);
    w->createtime = created;
    s.window.BackupTick();
    ASSERT_TRUE(QFileInfo::exists(backup));
    EXPECT_TRUE(w->Network().Modified);
    EXPECT_EQ(w->createtime, created);
    EXPECT_EQ(w->CurrentName, file);
    TNetwork copy;
    TWindowSettings settings;
    EXPECT_EQ(OpenNetworkFile(backup.toStdString(), copy, settings).code, kFileOK);
    // Closing still asks.
    s.answer = QMessageBox::Cancel;
    EXPECT_FALSE(w->parentWidget()->close());
    EXPECT_EQ(s.asked.back().second, QStringLiteral("Do you want to save?"));
}

TEST(MainWindow, BusyKeepsWindowsAndClosingABaseClosesItsViews) {
    QTemporaryDir dir;
    TScriptedWindow s;
    TSketchPadWindow* base = s.window.OpenFiles({SmallNetwork(dir, QStringLiteral("b.dta"))}).front();
    s.window.NewView();
    s.window.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(base->parentWidget()));
    TSketchPadWindow* second = s.window.NewView();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->windowTitle(), QStringLiteral("View 2 of b.dta"));
    ASSERT_EQ(s.window.SketchWindows().size(), 3);
    s.window.Busy = true;
    EXPECT_FALSE(base->parentWidget()->close());
    ASSERT_FALSE(s.asked.empty());
    EXPECT_EQ(s.asked.back().first, QStringLiteral("Calculate"));
    EXPECT_EQ(s.asked.back().second, QStringLiteral("Stop Calculate before closing."));
    s.window.Busy = false;
    EXPECT_TRUE(base->parentWidget()->close());
    QApplication::processEvents();
    EXPECT_TRUE(s.window.SketchWindows().isEmpty());
}

TEST(MainWindow, ShownWindowRendersMenuBarAndMdiBackground) {
    TZanMainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), window.size());
    QMdiArea* mdi = window.MdiArea();
    const QPoint centre = mdi->mapTo(&window, mdi->rect().center());
    EXPECT_EQ(image.pixel(centre), mdi->background().color().rgb());
    const QRect bar = window.menuBar()->geometry();
    ASSERT_GT(bar.height(), 0);
    QSet<QRgb> colours;
    for (int y = bar.top(); y <= bar.bottom(); ++y) {
        for (int x = bar.left(); x <= bar.right(); ++x)
            colours.insert(image.pixel(x, y));
    }
    EXPECT_GT(colours.size(), 1);
}

// Keys typed into the shown window, as a user would reach a menu item with the keyboard.
TEST(MainWindow, ExitFromFileMenuClosesTheWindow) {
    TZanMainWindow window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
    QMenu* fileMenu = window.findChild<QMenu*>(QStringLiteral("frame.fileMenu"));
    ASSERT_NE(fileMenu, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fileMenu->isVisible(); }));
    QTest::keyClick(fileMenu, Qt::Key_X);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }));
}

TEST(MainWindow, AboutBoxShowsProgramAndVersion) {
    TZanMainWindow window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // The box is modal; a timer running inside its event loop reads it and closes it.
    QString title;
    QString text;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            poll.stop();
            box->accept();
        }
    });
    poll.start();
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    giveUp.start(10000);

    QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
    QMenu* helpMenu = window.findChild<QMenu*>(QStringLiteral("frame.helpMenu"));
    ASSERT_NE(helpMenu, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return helpMenu->isVisible(); }));
    QTest::keyClick(helpMenu, Qt::Key_A);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }));

    EXPECT_EQ(title.toStdString(), "About Zan");
    EXPECT_TRUE(text.contains(QStringLiteral("Zan " ZAN_VERSION))) << text.toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace zan
