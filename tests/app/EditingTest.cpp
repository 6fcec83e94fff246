// The sketch window driven by synthetic clicks and keys, as a user edits a network: plotting nodes
// and a chain of links, moving a node, deleting a node with its links, and saving an edited copy of
// the sample network.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "app/SketchPadWindow.h"
#include "editing/LinkOperations.h"
#include "files/NetworkFile.h"

namespace zan {
namespace {

class Editing : public ::testing::Test {
protected:
    void SetUp() override {
        main.MessageHook = [](const QString&, const QString&, int) { return QMessageBox::No; };
        main.show();
        w = main.NewSketchWindow();
        ASSERT_NE(w, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }

    // The client pixel of a plane point (the sketch pad starts at 0, so at 1:1 it is the point + 10).
    QPoint Pixel(int x, int y) const {
        const TWindowSettings& s = w->Settings();
        return QPoint(x + s.XScroll - s.horzbarpos, y + s.YScroll - s.vertbarpos);
    }
    void Click(int x, int y, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(w->viewport(), button, {}, Pixel(x, y));
    }
    TNode* NodeAt(int x, int y) {
        TNetworkPoint* p = nullptr;
        w->Network().Hash.ForEachPoint([&](TNetworkPoint& q) {
            if (q.x_cent == x && q.y_cent == y && !q.IsShapePoint())
                p = &q;
        });
        return p != nullptr ? p->AsNode() : nullptr;
    }
    // Node Plot: a left click places the cursor, a right click plots there.
    TNode* Plot(int x, int y) {
        main.ChooseMode(sketchstates::nodeplotmode);
        Click(x, y);
        Click(x, y, Qt::RightButton);
        return NodeAt(x, y);
    }

    // Two plotted nodes joined by a link drawn in Link Plot mode.
    std::pair<TNode*, TNode*> PlotLinked(int ax, int ay, int bx, int by) {
        TNode* a = Plot(ax, ay);
        TNode* b = Plot(bx, by);
        main.ChooseMode(sketchstates::linkplotmode);
        Click(ax, ay);
        Click(bx, by);
        return {a, b};
    }

    // A link from (ax, y) to (bx, y) with one shape point at (sx, sy), placed with the cursor in
    // Link Shape Insert.
    TLinkValues* LinkWithShapePoint(int ax, int bx, int y, int sx, int sy) {
        auto [a, b] = PlotLinked(ax, y, bx, y);
        main.ChooseMode(sketchstates::linkshapeinsert);
        Click(ax, y);
        Click(bx, y);
        Click(sx, sy);
        Click(sx, sy, Qt::RightButton);
        TLinkValues* link = FindLinkBetween(*a, *b);
        EXPECT_NE(link, nullptr);
        EXPECT_TRUE(link == nullptr || link->ShapePoints.size() == 1u);
        return link;
    }

    TZanMainWindow main;
    TSketchPadWindow* w = nullptr;
};

TEST_F(Editing, PlotsNodesAndAChainOfLinks) {
    TNode* a = Plot(100, 50);
    TNode* b = Plot(300, 60);
    TNode* c = Plot(300, 250);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(b->snumb, a->snumb + 1);
    EXPECT_EQ(main.StatusPanel(0)->text(), QStringLiteral("300,250"));

    main.ChooseMode(sketchstates::linkplotmode);
    EXPECT_EQ(main.StatusPanel(0)->text(), QStringLiteral("Link Plot"));
    Click(100, 50);
    Click(100, 50); // the same node again: ignored
    Click(300, 60);
    Click(300, 250);
    TLinkValues* ab = FindLinkBetween(*a, *b);
    TLinkValues* bc = FindLinkBetween(*b, *c);
    ASSERT_NE(ab, nullptr);
    ASSERT_NE(bc, nullptr);
    EXPECT_EQ(ab->AEnd, a);
    EXPECT_EQ(bc->AEnd, b);
    EXPECT_EQ(FindLinkBetween(*a, *c), nullptr);
    EXPECT_TRUE(w->Network().Modified);

    // The picture shows the links where the mapping puts them.
    w->viewport()->repaint();
    EXPECT_NE(w->Picture().pixel(Pixel(300, 150)), qRgb(255, 255, 255));
    EXPECT_NE(w->Picture().pixel(Pixel(200, 55)), qRgb(255, 255, 255));
}

TEST_F(Editing, MovesANodeWithItsLinks) {
    auto [a, b] = PlotLinked(100, 100, 300, 100);
    ASSERT_NE(FindLinkBetween(*a, *b), nullptr);

    main.ChooseMode(sketchstates::nodemovemode);
    Click(300, 100); // lifts the node; the cursor stands on its old place
    EXPECT_EQ(w->Session.Mode(), sketchstates::noderestoremode);
    Click(250, 200);                  // places the cursor
    Click(250, 200, Qt::RightButton); // puts the node there
    EXPECT_EQ(w->Session.Mode(), sketchstates::nodemovemode);
    EXPECT_EQ(b->x_cent, 250);
    EXPECT_EQ(b->y_cent, 200);
    EXPECT_TRUE(b->IsDrawnN);
    TLinkValues* link = FindLinkBetween(*a, *b);
    ASSERT_NE(link, nullptr);
    EXPECT_TRUE(link->IsDrawnL);
    EXPECT_TRUE(link->LinkRect.Contains(250, 200));
    w->viewport()->repaint();
    EXPECT_NE(w->Picture().pixel(Pixel(250, 200)), qRgb(255, 255, 255));
    EXPECT_EQ(w->Picture().pixel(Pixel(300, 100)), qRgb(255, 255, 255));
}

TEST_F(Editing, DeletesANodeWithItsLinks) {
    TNode* a = Plot(100, 100);
    TNode* b = Plot(300, 100);
    TNode* c = Plot(300, 300);
    main.ChooseMode(sketchstates::linkplotmode);
    Click(100, 100);
    Click(300, 100);
    Click(300, 300);
    main.ChooseMode(sketchstates::nodedeletemode);
    Click(300, 100);
    EXPECT_FALSE(b->IsDrawnN);
    EXPECT_FALSE(FindLinkBetween(*a, *b)->IsDrawnL);
    EXPECT_FALSE(FindLinkBetween(*b, *c)->IsDrawnL);
    EXPECT_TRUE(a->IsDrawnN);
    EXPECT_TRUE(c->IsDrawnN);
    ASSERT_EQ(w->Network().DeleteStack.size(), 1u);
    EXPECT_EQ(w->Network().DeleteStack.back().node, b);
    w->viewport()->repaint();
    EXPECT_EQ(w->Picture().pixel(Pixel(200, 100)), qRgb(255, 255, 255));
}

TEST_F(Editing, AShapePointRemovedInOneViewIsForgottenByTheOthers) {
    TLinkValues* link = LinkWithShapePoint(100, 300, 100, 200, 160);
    ASSERT_NE(link, nullptr);

    // A view selects the shape point; the base removes it.
    TSketchPadWindow* base = w;
    TSketchPadWindow* view = main.NewView();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    w = view;
    Click(200, 160);
    EXPECT_NE(view->Session.Selected(), nullptr);
    main.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(base->parentWidget()));
    w = base;
    main.ChooseMode(sketchstates::linkshaperemove);
    Click(200, 160);
    EXPECT_TRUE(link->ShapePoints.empty());
    EXPECT_EQ(view->Session.Selected(), nullptr);
    view->viewport()->repaint(); // nothing of the freed point is drawn or touched
    // Undo brings it back in place.
    main.Command("mode.undoshaperemove")->trigger();
    ASSERT_EQ(link->ShapePoints.size(), 1u);
    EXPECT_EQ(link->ShapePoints[0]->x_cent, 200);
    EXPECT_EQ(link->ShapePoints[0]->y_cent, 160);
}

// A removal one view can undo goes stale when another view changes that link.
TEST_F(Editing, AnEditInAnotherViewDropsTheRemovalThisViewCouldUndo) {
    TLinkValues* link = LinkWithShapePoint(100, 300, 100, 150, 160);
    ASSERT_NE(link, nullptr);
    TNode* b = link->BEnd;
    main.ChooseMode(sketchstates::linkshaperemove);
    Click(150, 160);
    ASSERT_TRUE(link->ShapePoints.empty());
    ASSERT_TRUE(main.Command("mode.undoshaperemove")->isEnabled());

    // A view of the network reverses the link: the base's record no longer fits it.
    TSketchPadWindow* base = w;
    TSketchPadWindow* view = main.NewView();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    w = view;
    main.ChooseMode(sketchstates::linkreversemode);
    Click(300, 100); // the link from B to A
    Click(100, 100);
    ASSERT_EQ(link->AEnd, b);
    main.MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(base->parentWidget()));
    EXPECT_EQ(base->Settings().shapepointhold.TheLink, nullptr);
    EXPECT_FALSE(main.Command("mode.undoshaperemove")->isEnabled());
    main.Command("mode.undoshaperemove")->trigger();
    EXPECT_TRUE(link->ShapePoints.empty());
}

TEST(EditingTheSample, EditsAreSavedAndOpenAgain) {
    QTemporaryDir dir;
    const QString copy = dir.filePath(QStringLiteral("town.dta"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZAN_EXAMPLES "/sample.dta"), copy));
    TNetwork before;
    TWindowSettings beforeSettings;
    ASSERT_EQ(OpenNetworkFile(copy.toStdString(), before, beforeSettings).code, kFileOK);
    const std::int64_t points = before.Hash.PointCount();

    TZanMainWindow main;
    main.MessageHook = [](const QString&, const QString&, int) { return QMessageBox::No; };
    main.show();
    TSketchPadWindow* w = main.OpenFiles({copy}).front();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    main.ChooseMode(sketchstates::nodeplotmode);
    // An empty place of the town, near its top-left corner.
    const QPoint pixel(15, 15);
    QTest::mouseClick(w->viewport(), Qt::LeftButton, {}, pixel);
    QTest::mouseClick(w->viewport(), Qt::RightButton, {}, pixel);
    ASSERT_TRUE(main.Save(*w));
    EXPECT_FALSE(w->Network().Modified);

    TNetwork after;
    TWindowSettings afterSettings;
    ASSERT_EQ(OpenNetworkFile(copy.toStdString(), after, afterSettings).code, kFileOK);
    EXPECT_EQ(after.Hash.PointCount(), points + 1);
}

} // namespace
} // namespace zan
