// Saving and reading network files through the editor's file commands: a network saved from any of
// its windows, files that cannot be created, names without an extension, appends that fail, and
// files that hold a schema but no elements.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "ScriptedWindow.h"
#include "TestNetworks.h"
#include "app/MainWindow.h"
#include "app/SketchPadWindow.h"
#include "files/NetworkFile.h"

namespace zan {
namespace {

// Boxes are answered No unless a test says otherwise.
struct TScripted : testing::TScriptedWindow {
    TScripted() { answer = QMessageBox::No; }
};

QString TwoNodes(const QTemporaryDir& dir, const QString& name, int x = 300) {
    const QString path = dir.filePath(name);
    EXPECT_TRUE(testing::SaveTwoNodeNetwork(path.toStdString(), x, 100));
    return path;
}

// Points in a network file.
std::int64_t PointsIn(const QString& path) {
    TNetwork net;
    TWindowSettings window;
    if (OpenNetworkFile(path.toStdString(), net, window).code != kFileOK)
        return -1;
    return net.Hash.PointCount();
}

void AddNode(TSketchPadWindow& w, int x, int y) {
    THashEntry* cell = nullptr;
    ASSERT_NE(w.Network().Hash.InsertNode(x, y, 0, true, cell), nullptr);
    w.Network().Modified = true;
}

TEST(Saving, AViewAndItsBaseSaveToTheOneFileTheNetworkLivesIn) {
    QTemporaryDir dir;
    const QString first = TwoNodes(dir, QStringLiteral("first.dta"));
    const QString renamed = dir.filePath(QStringLiteral("renamed.dta"));
    TScripted s;
    TSketchPadWindow* base = s.window.OpenFiles({first}).front();
    TSketchPadWindow* view = s.window.NewView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->CurrentName, first);

    // Save As in the base moves the whole network to the new file.
    s.files = {renamed};
    ASSERT_TRUE(s.window.SaveAs(*base));
    EXPECT_EQ(base->CurrentName, renamed);
    EXPECT_EQ(view->CurrentName, renamed);
    EXPECT_EQ(base->windowTitle(), QStringLiteral("renamed.dta"));
    EXPECT_EQ(view->windowTitle(), QStringLiteral("View 1 of renamed.dta"));

    // A later Save in the view writes that file, not the old one.
    AddNode(*view, 50, 50);
    ASSERT_TRUE(s.window.Save(*view));
    EXPECT_EQ(PointsIn(renamed), 3);
    EXPECT_EQ(PointsIn(first), 2);

    // Saved from the view, the base closes without asking, and so does the view.
    AddNode(*base, 70, 70);
    ASSERT_TRUE(s.window.Save(*view));
    s.asked.clear();
    EXPECT_TRUE(view->parentWidget()->close());
    EXPECT_TRUE(base->parentWidget()->close());
    QApplication::processEvents();
    EXPECT_TRUE(s.asked.empty());
    EXPECT_EQ(PointsIn(renamed), 4);

    // Save As in a view renames its base too.
    TSketchPadWindow* again = s.window.OpenFiles({renamed}).front();
    TSketchPadWindow* againView = s.window.NewView();
    const QString third = dir.filePath(QStringLiteral("third.dta"));
    s.files = {third};
    ASSERT_TRUE(s.window.SaveAs(*againView));
    EXPECT_EQ(again->CurrentName, third);
    EXPECT_EQ(again->windowTitle(), QStringLiteral("third.dta"));
}

TEST(Saving, AFileThatCannotBeCreatedSaysSoAndAMissingExtensionIsAdded) {
    QTemporaryDir dir;
    TScripted s;
    TSketchPadWindow* w = s.window.NewSketchWindow();
    AddNode(*w, 10, 10);

    s.files = {dir.filePath(QStringLiteral("no/such/folder/net.dta"))};
    EXPECT_FALSE(s.window.SaveAs(*w));
    ASSERT_EQ(s.asked.size(), 1u);
    EXPECT_EQ(s.asked[0],
              std::make_pair(QStringLiteral("Cannot Write File"), QStringLiteral("File creation error")));
    EXPECT_EQ(w->CurrentName, kDefaultNetworkName);
    EXPECT_TRUE(w->Network().Modified);

    // The name as typed, without an extension, gets the one of the version written.
    s.asked.clear();
    s.files = {dir.filePath(QStringLiteral("net"))};
    ASSERT_TRUE(s.window.SaveAs(*w));
    EXPECT_TRUE(s.asked.empty());
    EXPECT_EQ(w->CurrentName, dir.filePath(QStringLiteral("net.dta")));
    EXPECT_EQ(PointsIn(dir.filePath(QStringLiteral("net.dta"))), 1);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("net"))));
    // A name with an extension of its own keeps it.
    s.files = {dir.filePath(QStringLiteral("net.roads"))};
    ASSERT_TRUE(s.window.SaveAs(*w));
    EXPECT_EQ(w->CurrentName, dir.filePath(QStringLiteral("net.roads")));
}

TEST(Saving, AFailedAppendChangesNothingAndSaysTheFileWasNotAppended) {
    QTemporaryDir dir;
    const QString base = TwoNodes(dir, QStringLiteral("base.dta"));
    // A whole file cut in the middle of its node records, and a file that is no network at all.
    const QString cut = dir.filePath(QStringLiteral("cut.dta"));
    {
        QFile whole(TwoNodes(dir, QStringLiteral("whole.dta"), 900));
        ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
        const QByteArray text = whole.readAll();
        const qsizetype end = text.indexOf("END OF APPLICATION");
        ASSERT_GT(end, 0);
        QFile out(cut);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text.left(end + 40));
    }
    const QString junk = dir.filePath(QStringLiteral("junk.dta"));
    {
        QFile out(junk);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("not a network\r\n");
    }
    for (const QString& bad : {cut, junk}) {
        SCOPED_TRACE(bad.toStdString());
        TScripted s;
        TSketchPadWindow* w = s.window.OpenFiles({base}).front();
        s.answer = QMessageBox::No;
        s.files = {bad};
        EXPECT_FALSE(s.window.Append(*w));
        ASSERT_FALSE(s.asked.empty());
        EXPECT_EQ(s.asked.back(), std::make_pair(QStringLiteral("Network Read Error 1"),
                                                 QStringLiteral("The file was not appended.")));
        EXPECT_EQ(w->Network().Hash.PointCount(), 2);
        EXPECT_FALSE(w->Network().Modified);
        EXPECT_EQ(s.window.SketchWindows().size(), 1);
        // Nothing to save: closing does not ask.
        s.asked.clear();
        EXPECT_TRUE(w->parentWidget()->close());
        EXPECT_TRUE(s.asked.empty());
    }
}

// A file that runs the network out of room is read in part; that part must never be saved over the
// whole file.
TEST(Saving, APartlyReadNetworkTakesTheDefaultName) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("crowded.dta"));
    {
        TNetwork empty;
        TWindowSettings window;
        int realErrors = 0;
        std::string text = WriteNetworkText(empty, window, kCurrentVersion, realErrors);
        text.resize(text.find(kEndOfApplication) + std::string(kEndOfApplication).size());
        text += "\r\n";
        // More nodes at one position than one cell of the table can hold.
        for (int serial = 1; serial <= kCellLimit + 10; ++serial)
            text += "1 5 5 1 " + std::to_string(serial) + " 0 0 0 0 0\r\n\r\n";
        text += "0 0 0 0 0 0 0 0 0 0\r\n";
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text.data(), static_cast<qint64>(text.size()));
    }
    const QByteArray before = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    TScripted s;
    const QList<TSketchPadWindow*> opened = s.window.OpenFiles({path});
    ASSERT_EQ(opened.size(), 1);
    ASSERT_FALSE(s.asked.empty());
    EXPECT_EQ(s.asked.back(), std::make_pair(QStringLiteral("Network Read Error"),
                                             QStringLiteral("Memory limits exceeded.")));
    TSketchPadWindow* w = opened.front();
    EXPECT_EQ(w->Network().Hash.PointCount(), kCellLimit);
    EXPECT_EQ(w->CurrentName, kDefaultNetworkName);
    EXPECT_EQ(w->windowTitle(), kDefaultNetworkName);
    // Save asks for a name instead of overwriting the file.
    const QString elsewhere = dir.filePath(QStringLiteral("part.dta"));
    s.files = {elsewhere};
    ASSERT_TRUE(s.window.Save(*w));
    EXPECT_EQ(w->CurrentName, elsewhere);
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_TRUE(after.readAll() == before); // the crowded file is as it was
}

// A file holding only a schema (named types, no elements) asks whether to keep its name.
TEST(Saving, ASchemaOnlyFileAsksWhetherToSaveToItsNameLater) {
    QTemporaryDir dir;
    const QString schema = dir.filePath(QStringLiteral("schema.dta"));
    {
        TNetwork net;
        TWindowSettings window;
        net.NodeDef.Classs[1].ename = "Zone";
        net.LinkDef.Classs[1].ename = "Road";
        ASSERT_EQ(SaveNetworkFile(schema.toStdString(), net, window, kCurrentVersion).code, kFileOK);
    }
    struct Case {
        int answer;
        QString name;
    };
    for (const Case& c : {Case{QMessageBox::No, kDefaultNetworkName}, Case{QMessageBox::Yes, schema}}) {
        TScripted s;
        s.answer = c.answer;
        TSketchPadWindow* w = s.window.OpenFiles({schema}).front();
        ASSERT_EQ(s.asked.size(), 1u);
        EXPECT_EQ(s.asked[0],
                  std::make_pair(QStringLiteral("Open"), QStringLiteral("Later save to this file name?")));
        EXPECT_EQ(w->CurrentName, c.name);
        EXPECT_EQ(w->Network().NodeDef.Classs[1].ename, "Zone");
    }
    // A file with elements does not ask.
    TScripted s;
    s.window.OpenFiles({TwoNodes(dir, QStringLiteral("nodes.dta"))});
    EXPECT_TRUE(s.asked.empty());
}

} // namespace
} // namespace zan
