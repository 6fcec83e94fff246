#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace zan {
namespace {

using EAction = TCommandLine::EAction;

struct TArgsCase {
    const char* Name;
    QStringList Args;
    EAction Action;
    QString File;
    QString ErrorContains; // part of the error message, for the Error cases
};

void PrintTo(const TArgsCase& c, std::ostream* os) {
    *os << c.Name;
}

class CommandLineCases : public ::testing::TestWithParam<TArgsCase> {};

TEST_P(CommandLineCases, Parses) {
    const TArgsCase& c = GetParam();
    const TCommandLine parsed = ParseCommandLine(c.Args);
    EXPECT_EQ(parsed.Action, c.Action);
    EXPECT_EQ(parsed.File.toStdString(), c.File.toStdString());
    if (c.Action == EAction::Error) {
        EXPECT_TRUE(parsed.ErrorMessage.contains(c.ErrorContains))
            << "message: " << parsed.ErrorMessage.toStdString();
    } else {
        EXPECT_TRUE(parsed.ErrorMessage.isEmpty()) << parsed.ErrorMessage.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineCases,
    ::testing::Values(
        TArgsCase{"Nothing", {}, EAction::Run, {}, {}},
        TArgsCase{"LongHelp", {"--help"}, EAction::ShowHelp, {}, {}},
        TArgsCase{"ShortHelp", {"-h"}, EAction::ShowHelp, {}, {}},
        TArgsCase{"HelpAfterFile", {"net.dt", "--help"}, EAction::ShowHelp, "net.dt", {}},
        TArgsCase{"Version", {"--version"}, EAction::ShowVersion, {}, {}},
        TArgsCase{"File", {"city network.dt"}, EAction::Run, "city network.dt", {}},
        TArgsCase{"DashIsAFileName", {"-"}, EAction::Run, "-", {}},
        TArgsCase{"FileAfterDoubleDash", {"--", "--help"}, EAction::Run, "--help", {}},
        TArgsCase{"QtOptionWithValue", {"-platform", "offscreen", "net.dt"}, EAction::Run, "net.dt", {}},
        TArgsCase{"QtOptionTwoDashes", {"--style", "Fusion"}, EAction::Run, {}, {}},
        TArgsCase{"QtFlag", {"net.dt", "-reverse"}, EAction::Run, "net.dt", {}},
        TArgsCase{"UnknownLongOption", {"--frobnicate"}, EAction::Error, {}, "unknown option '--frobnicate'"},
        TArgsCase{"UnknownShortOption", {"net.dt", "-x"}, EAction::Error, "net.dt", "unknown option '-x'"},
        TArgsCase{"QtOptionWithoutValue", {"-style"}, EAction::Error, {}, "needs a value"},
        TArgsCase{"TwoFiles", {"a.dt", "b.dt"}, EAction::Error, "a.dt", "only one file"},
        TArgsCase{"Info", {"--info", "net.dta"}, EAction::Info, "net.dta", {}},
        TArgsCase{"InfoWithoutFile", {"--info"}, EAction::Error, {}, "no network file"},
        TArgsCase{"SaveAsWithoutOutput", {"--save-as"}, EAction::Error, {}, "needs the file to write"},
        TArgsCase{"SaveAsBadVersion",
                  {"--save-as", "o.dt1", "--version", "2", "n.dta"},
                  EAction::Error,
                  {},
                  "network file version"},
        TArgsCase{"PlotWithoutOutput", {"--plot"}, EAction::Error, {}, "needs the picture to write"},
        TArgsCase{"PlotWithoutFile", {"--plot", "a.png"}, EAction::Error, {}, "no network file"},
        TArgsCase{"PlotSizeNotAPair",
                  {"--plot", "a.png", "--size", "640", "n.dta"},
                  EAction::Error,
                  {},
                  "WIDTHxHEIGHT"},
        TArgsCase{"PlotSizeZero",
                  {"--plot", "a.png", "--size", "0x10", "n.dta"},
                  EAction::Error,
                  {},
                  "WIDTHxHEIGHT"},
        TArgsCase{"PlotSizeHuge",
                  {"--plot", "a.png", "--size", "99999x10", "n.dta"},
                  EAction::Error,
                  {},
                  "WIDTHxHEIGHT"}),
    [](const ::testing::TestParamInfo<TArgsCase>& info) { return std::string(info.param.Name); });

TEST(CommandLine, SaveAsTakesOutputAndVersion) {
    struct Case {
        QStringList args;
        QString output;
        int version;
        QString file;
    };
    const Case cases[] = {
        {{"--save-as", "out.dt5", "--version", "6", "in.dta"}, "out.dt5", 6, "in.dta"},
        {{"--save-as", "out.dta", "in.dta"}, "out.dta", 9, "in.dta"},
        {{"in.dta", "--save-as", "old.dt1", "--version", "1"}, "old.dt1", 1, "in.dta"},
    };
    for (const Case& c : cases) {
        const TCommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.Action, EAction::SaveAs) << parsed.ErrorMessage.toStdString();
        EXPECT_EQ(parsed.Output, c.output);
        EXPECT_EQ(parsed.Version, c.version);
        EXPECT_EQ(parsed.File, c.file);
    }
}

TEST(CommandLine, PlotTakesPictureSizeAndFile) {
    struct Case {
        QStringList args;
        QSize size;
    };
    const Case cases[] = {
        {{"--plot", "net.png", "in.dta"}, QSize(1920, 1080)},
        {{"--plot", "net.png", "--size", "640x480", "in.dta"}, QSize(640, 480)},
        {{"in.dta", "--size", "1x16384", "--plot", "net.png"}, QSize(1, 16384)},
    };
    for (const Case& c : cases) {
        const TCommandLine parsed = ParseCommandLine(c.args);
        EXPECT_EQ(parsed.Action, EAction::Plot) << parsed.ErrorMessage.toStdString();
        EXPECT_EQ(parsed.Output, QStringLiteral("net.png"));
        EXPECT_EQ(parsed.File, QStringLiteral("in.dta"));
        EXPECT_EQ(parsed.PlotSize, c.size);
    }
}

} // namespace
} // namespace zan
