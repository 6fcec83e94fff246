// Runs the built zanwin program. The options that only print must work on a machine without a
// display, so these cases run it with the X11 platform and no DISPLAY: had it created its
// application object, it would have aborted.

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

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
