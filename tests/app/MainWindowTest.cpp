#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QSet>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zan {
namespace {

struct TMenuCase {
    std::string Title;
    std::vector<std::string> Actions;
};

TEST(MainWindow, HasTitleMdiAreaStatusBarAndMenus) {
    TZanMainWindow window;
    EXPECT_EQ(window.windowTitle().toStdString(), "Zan");
    auto* mdi = qobject_cast<QMdiArea*>(window.centralWidget());
    ASSERT_NE(mdi, nullptr);
    EXPECT_EQ(mdi, window.MdiArea());
    EXPECT_NE(window.findChild<QStatusBar*>(), nullptr);

    const std::vector<TMenuCase> expected = {
        {"&File", {"E&xit"}},
        {"&Help", {"&About..."}},
    };
    const QList<QAction*> top = window.menuBar()->actions();
    ASSERT_EQ(top.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t m = 0; m < expected.size(); ++m) {
        QAction* menuAction = top.at(static_cast<qsizetype>(m));
        EXPECT_EQ(menuAction->text().toStdString(), expected[m].Title);
        ASSERT_NE(menuAction->menu(), nullptr) << expected[m].Title;
        std::vector<std::string> texts;
        for (const QAction* a : menuAction->menu()->actions()) {
            texts.push_back(a->text().toStdString());
        }
        EXPECT_EQ(texts, expected[m].Actions) << expected[m].Title;
    }
}

TEST(MainWindow, ShownWindowRendersMenuBarAndMdiBackground) {
    TZanMainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.size(), QSize(1024, 720));

    const QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), window.size());

    // The middle of the MDI area shows the area's background brush.
    QMdiArea* mdi = window.MdiArea();
    const QPoint centre = mdi->mapTo(&window, mdi->rect().center());
    EXPECT_EQ(image.pixel(centre), mdi->background().color().rgb());

    // The menu bar is drawn with its titles: the strip holds more than one colour.
    const QRect bar = window.menuBar()->geometry();
    ASSERT_GT(bar.height(), 0);
    QSet<QRgb> colours;
    for (int y = bar.top(); y <= bar.bottom(); ++y) {
        for (int x = bar.left(); x <= bar.right(); ++x) {
            colours.insert(image.pixel(x, y));
        }
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
    QMenu* fileMenu = window.findChild<QMenu*>(QStringLiteral("fileMenu"));
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
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    giveUp.start(10000);

    QTest::keyClick(&window, Qt::Key_H, Qt::AltModifier);
    QMenu* helpMenu = window.findChild<QMenu*>(QStringLiteral("helpMenu"));
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
