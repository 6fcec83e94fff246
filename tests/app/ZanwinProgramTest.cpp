// Runs the built zanwin program. The options that only print must work on a machine without a
// display, so these cases run it with the X11 platform and no DISPLAY: had it created its
// application object, it would have aborted.

#include <QProcess>
#include <QTemporaryDir>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace {

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return env;
}

struct TRunCase {
    const char* Name;
    QStringList Args;
    int ExitCode;
    std::string StdoutStartsWith;
    std::string StderrContains; // empty: stderr must be empty
};

void PrintTo(const TRunCase& c, std::ostream* os) {
    *os << c.Name;
}

class ZanwinWithoutDisplay : public ::testing::TestWithParam<TRunCase> {};

TEST_P(ZanwinWithoutDisplay, PrintsAndExits) {
    const TRunCase& c = GetParam();
    QProcess process;
    process.setProcessEnvironment(WithoutDisplay());
    process.start(QStringLiteral(ZANWIN_PROGRAM), c.Args);
    ASSERT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    const std::string out = process.readAllStandardOutput().toStdString();
    const std::string err = process.readAllStandardError().toStdString();
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), c.ExitCode) << err;
    EXPECT_EQ(out.substr(0, c.StdoutStartsWith.size()), c.StdoutStartsWith);
    if (c.StdoutStartsWith.empty()) {
        EXPECT_EQ(out, "");
    }
    if (c.StderrContains.empty()) {
        EXPECT_EQ(err, "");
    } else {
        EXPECT_NE(err.find(c.StderrContains), std::string::npos) << err;
        EXPECT_NE(err.find("Usage: zanwin"), std::string::npos) << err;
    }
}

const std::vector<TRunCase> kRuns = {
    {"Version", {"--version"}, 0, "zanwin " ZAN_VERSION "\n", ""},
    {"Help", {"--help"}, 0, "Usage: zanwin [OPTIONS] [FILE]\n", ""},
    {"HelpWithFile", {"net.dt", "-h"}, 0, "Usage: zanwin", ""},
    {"UnknownOption", {"--frobnicate"}, 1, "", "zanwin: unknown option '--frobnicate'"},
    {"TwoFiles", {"a.dt", "b.dt"}, 1, "", "zanwin: only one file"},
};

INSTANTIATE_TEST_SUITE_P(Table, ZanwinWithoutDisplay, ::testing::ValuesIn(kRuns),
                         [](const ::testing::TestParamInfo<TRunCase>& info) {
                             return std::string(info.param.Name);
                         });

struct TRun {
    int exitCode;
    std::string out, err;
};

TRun RunZanwin(const QStringList& args) {
    QProcess process;
    process.setProcessEnvironment(WithoutDisplay());
    process.start(QStringLiteral(ZANWIN_PROGRAM), args);
    EXPECT_TRUE(process.waitForFinished(60000)) << process.errorString().toStdString();
    return {process.exitCode(), process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

// --info and --save-as work on network files without a display.
TEST(Zanwin, SummarisesAndConvertsNetworkFiles) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string net9 = dir.filePath(QStringLiteral("net.dta")).toStdString();
    {
        zan::TNetwork net;
        zan::TWindowSettings window;
        net.NodeDef.Classs[1].ename = "Zone";
        net.NodeDef.Classs[1].atcount = 2;
        net.InitialNode.NType = 1;
        zan::THashEntry* cell = nullptr;
        zan::TNode* a = net.Hash.InsertNode(0, 0, 2, true, cell);
        zan::TNode* b = net.Hash.InsertNode(300, -40, 2, true, cell);
        zan::TLink* l1 = nullptr;
        zan::TLink* l2 = nullptr;
        zan::TLinkValues* link = net.Hash.InsertLink(*a, *b, l1, l2, 0, true);
        net.Hash.InsertShapePoint(150, 20, *link, 0);
        net.Hash.fixrectangles(window);
        ASSERT_EQ(zan::SaveNetworkFile(net9, net, window, 9).code, zan::kFileOK);
    }

    const TRun info = RunZanwin({QStringLiteral("--info"), QString::fromStdString(net9)});
    EXPECT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(info.out, "version: 9\nnodes: 2\nlinks: 1\nshape points: 1\npolygons: 0\n"
                        "node type 1: Zone, 2 attributes\nextents: 0 -40 300 0\n");

    const QString net5 = dir.filePath(QStringLiteral("net.dt4"));
    const TRun saved = RunZanwin({QStringLiteral("--save-as"), net5, QStringLiteral("--version"),
                                  QStringLiteral("5"), QString::fromStdString(net9)});
    EXPECT_EQ(saved.exitCode, 0) << saved.err;
    const TRun info5 = RunZanwin({QStringLiteral("--info"), net5});
    // Version 5 has no shape points.
    const std::string head5 = "version: 5\nnodes: 2\nlinks: 1\nshape points: 0\npolygons: 0\n";
    EXPECT_EQ(info5.out.substr(0, head5.size()), head5);

    const TRun bad = RunZanwin({QStringLiteral("--info"), dir.filePath(QStringLiteral("missing.dta"))});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.err, "Network will be closed. (Network Read Error 1)\n");
}

// With a display (here the offscreen one) and a file name, the editor starts and keeps running.
TEST(Zanwin, StartsWithAFileArgument) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZANWIN_PROGRAM), {QStringLiteral("no-such-network.dt")});
    ASSERT_TRUE(process.waitForStarted(10000)) << process.errorString().toStdString();
    EXPECT_FALSE(process.waitForFinished(2000))
        << "exited with " << process.exitCode() << ": " << process.readAllStandardError().toStdString();
    process.kill();
    process.waitForFinished(10000);
}

} // namespace
