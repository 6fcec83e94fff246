#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "display/WidthFile.h"
#include "core/files/FileTestSupport.h"
#include "files/FileText.h"
#include "model/Network.h"

namespace zan {
namespace {

namespace fs = std::filesystem;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// Settings where every item a width file holds differs from the defaults.
TWidthData Distinctive() {
    TWidthData wd;
    for (int k = 1; k <= kWidthIntervals; ++k) {
        wd.linktop[At(k)] = k * 1.5;
        // Values the 15 significant digits of the file hold exactly.
        wd.linkbottom[At(k)] = -k * 0.25;
        wd.nodetopf[At(k)] = k * 1e20;
        wd.nodebottomf[At(k)] = -k * 0.0009765625;
        wd.nodeactual[At(k)] = 255 - k;
        wd.linkactual[At(k)] = k % 7;
        wd.nodelegend[At(k)] = k % 2 == 0;
        wd.linklegend[At(k)] = k % 3 == 0;
    }
    for (int i = 1; i <= kLastEntityType; ++i) {
        wd.linkcriterion[At(i)] = "A" + std::to_string(i % 10) + ":'x: y':{1/2/2003}";
        wd.nodecriterion[At(i)] = i == 5 ? std::string() : "  N" + std::to_string(i) + " * 2";
        wd.nodeentitylegend[At(i)] = i == 2;
        wd.linkentitylegend[At(i)] = i == 3;
    }
    return wd;
}

// The items a width file gives back: bounds, texts and values.
void ExpectSameReadItems(const TWidthData& a, const TWidthData& b) {
    EXPECT_EQ(a.linktop, b.linktop);
    EXPECT_EQ(a.linkbottom, b.linkbottom);
    EXPECT_EQ(a.nodetopf, b.nodetopf);
    EXPECT_EQ(a.nodebottomf, b.nodebottomf);
    EXPECT_EQ(a.linkcriterion, b.linkcriterion);
    EXPECT_EQ(a.nodecriterion, b.nodecriterion);
    EXPECT_EQ(a.linkactual, b.linkactual);
    EXPECT_EQ(a.nodeactual, b.nodeactual);
}

TEST(WidthFile, TextLayout) {
    TWidthData wd;
    wd.linktop[1] = 1.5;
    wd.linkbottom[1] = -2;
    wd.linkcriterion[1] = "A1:A2";
    wd.nodeactual[1] = 12;
    wd.linkactual[1] = 3;
    wd.nodelegend[1] = true;
    wd.linkentitylegend[1] = true;
    const std::string text = WidthFileText(wd);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        ASSERT_NE(end, std::string::npos) << "every line ends with CR LF";
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 1u + 40 + 10 + 40 + 10 + 40 + 40 + 10);
    EXPECT_EQ(lines[0], "LINK WIDTHS/NODE CIRCLES 6");
    EXPECT_EQ(lines[1], " 1.50000000000000E+0000 -2.00000000000000E+0000");
    EXPECT_EQ(lines[41], "A1:A2");
    EXPECT_EQ(lines[42], "");
    EXPECT_EQ(lines[51], " 0.00000000000000E+0000  0.00000000000000E+0000");
    EXPECT_EQ(lines[101], "12 3");
    EXPECT_EQ(lines[102], "2 2");
    EXPECT_EQ(lines[141], "1 0");
    EXPECT_EQ(lines[142], "0 0");
    EXPECT_EQ(lines[181], "0 1");
}

TEST(WidthFile, RoundTrip) {
    const TWidthData original = Distinctive();
    TWidthData read;
    ASSERT_TRUE(ParseWidthFile(WidthFileText(original), read));
    ExpectSameReadItems(read, original);
    // The legend flags are written but not read back.
    EXPECT_EQ(read.nodelegend, TWidthData().nodelegend);
    EXPECT_EQ(read.linkentitylegend, TWidthData().linkentitylegend);
}

TEST(WidthFile, OlderFormAndMissingValues) {
    // The older form: ten intervals, LF line ends, no values; everything else keeps its value.
    std::string text = "LINK WIDTHS/NODE CIRCLES\n";
    for (int k = 1; k <= 10; ++k)
        text += std::to_string(k + 100) + " " + std::to_string(k) + "\n";
    for (int i = 1; i <= 10; ++i)
        text += "L" + std::to_string(i) + "\n";
    for (int k = 1; k <= 10; ++k)
        text += std::to_string(k + 200) + " -" + std::to_string(k) + "\n";
    for (int i = 1; i <= 10; ++i)
        text += "N" + std::to_string(i) + "\n";
    TWidthData wd = Distinctive();
    ASSERT_TRUE(ParseWidthFile(text, wd));
    const TWidthData before = Distinctive();
    for (int k = 1; k <= kWidthIntervals; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(wd.linktop[At(k)], k <= 10 ? k + 100 : before.linktop[At(k)]);
        EXPECT_EQ(wd.linkbottom[At(k)], k <= 10 ? k : before.linkbottom[At(k)]);
        EXPECT_EQ(wd.nodetopf[At(k)], k <= 10 ? k + 200 : before.nodetopf[At(k)]);
        EXPECT_EQ(wd.nodebottomf[At(k)], k <= 10 ? -k : before.nodebottomf[At(k)]);
    }
    EXPECT_EQ(wd.linkcriterion[10], "L10");
    EXPECT_EQ(wd.nodecriterion[1], "N1");
    EXPECT_EQ(wd.linkactual, before.linkactual);
    EXPECT_EQ(wd.nodeactual, before.nodeactual);

    // With values: only intervals 1..10 take them; a value outside 0..255 takes its default.
    for (int k = 1; k <= 10; ++k)
        text +=
            (k == 4 ? std::string("300") : std::to_string(k + 20)) + " " + std::to_string(k + 30) + "\r\n";
    wd = Distinctive();
    ASSERT_TRUE(ParseWidthFile(text, wd));
    EXPECT_EQ(wd.nodeactual[1], 21);
    EXPECT_EQ(wd.nodeactual[4], 4);
    EXPECT_EQ(wd.linkactual[10], 40);
    EXPECT_EQ(wd.linkactual[11], before.linkactual[11]);
    EXPECT_EQ(wd.nodeactual[40], before.nodeactual[40]);
}

TEST(WidthFile, HostileTexts) {
    const std::string good = WidthFileText(Distinctive());
    // Positions of the lines in the good text.
    auto lineStart = [&](int line) {
        std::size_t pos = 0;
        for (int i = 0; i < line; ++i)
            pos = good.find("\r\n", pos) + 2;
        return pos;
    };
    auto replaceLine = [&](int line, const std::string& with) {
        std::string t = good;
        const std::size_t s = lineStart(line);
        t.replace(s, good.find("\r\n", s) - s, with);
        return t;
    };
    struct Case {
        const char* name;
        std::string text;
        bool ok;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"wrong header", replaceLine(0, "LINK WIDTHS"), false},
        {"unknown version", replaceLine(0, "LINK WIDTHS/NODE CIRCLES 7"), false},
        {"header with trailing blanks", replaceLine(0, "LINK WIDTHS/NODE CIRCLES 6  "), true},
        {"cut in the bounds", good.substr(0, lineStart(20)), false},
        {"cut in a bound line", good.substr(0, lineStart(20) + 10), false},
        {"cut in the texts", good.substr(0, lineStart(45)), false},
        {"cut in the node bounds", good.substr(0, lineStart(60)), false},
        {"ends before the values", good.substr(0, lineStart(101)), true},
        {"blank lines before the end", good.substr(0, lineStart(101)) + "\r\n  \r\n", true},
        {"cut in the values", good.substr(0, lineStart(120)), false},
        {"ends after the values", good.substr(0, lineStart(141)), true},
        {"no line end at the end", good.substr(0, lineStart(101) - 2), true},
        {"Nan bound", replaceLine(3, "Nan 1"), false},
        {"Inf bound", replaceLine(3, "1 +Inf"), false},
        {"bound with a unit", replaceLine(3, "1.5 ft"), false},
        {"one bound", replaceLine(3, "1.5"), false},
        {"three bounds", replaceLine(3, "1 2 3"), false},
        {"hex bound", replaceLine(3, "0x10 1"), false},
        {"plain bounds", replaceLine(3, "1 -2.5e3"), true},
        {"value too large", replaceLine(105, "99999999999 1"), false},
        {"real value", replaceLine(105, "1.5 1"), false},
        {"one value", replaceLine(105, "7"), false},
        {"binary junk", std::string("LINK WIDTHS/NODE CIRCLES 6\r\n\0\xff\x01", 31), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TWidthData wd;
        EXPECT_EQ(ParseWidthFile(c.text, wd), c.ok);
    }
    // A long expression line is cut to 255 characters.
    TWidthData wd;
    ASSERT_TRUE(ParseWidthFile(replaceLine(41, std::string(300, 'x')), wd));
    EXPECT_EQ(wd.linkcriterion[1], std::string(255, 'x'));
}

class WidthFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("zan_widths_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    static std::string Read(const fs::path& p) {
        std::string data;
        EXPECT_TRUE(LoadFile(p.string(), data));
        return data;
    }
    fs::path dir;
    TNetwork net;
};

TEST_F(WidthFileOnDisk, PutThenGet) {
    TWindowSettings source;
    source.wd = Distinctive();
    const fs::path file = dir / "set.wdt";
    const TWidthFileResult put = PutWidths(file.string(), source);
    ASSERT_TRUE(put.ok) << put.message;
    EXPECT_EQ(source.LastWDTName, "set.wdt");
    EXPECT_EQ(testing::FirstDifference(Read(file), WidthFileText(source.wd)), "");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);

    TWindowSettings target;
    target.wd.linkwidthstatus = TWidthStatus::widthh;
    const TWidthFileResult got = GetWidths(file.string(), net, target, TBitmapCatalog());
    ASSERT_TRUE(got.ok) << got.message;
    ExpectSameReadItems(target.wd, source.wd);
    // The worst sizes follow the new values: link values up to 6 under widthh.
    EXPECT_EQ(target.LinkWorstSize, 6);
    EXPECT_FALSE(target.BigLinks);
}

TEST_F(WidthFileOnDisk, FailuresLeaveEverythingAsItWas) {
    TWindowSettings window;
    window.wd = Distinctive();
    window.LinkWorstSize = 77;
    const TWidthData before = window.wd;

    // A file that ends in the middle: nothing of it is taken.
    const fs::path cut = dir / "cut.wdt";
    {
        const std::string text = WidthFileText(TWidthData());
        std::ofstream(cut, std::ios::binary) << text.substr(0, text.size() / 3);
    }
    for (const fs::path& p : {cut, dir / "missing.wdt", dir}) {
        SCOPED_TRACE(p.string());
        const TWidthFileResult r = GetWidths(p.string(), net, window, TBitmapCatalog());
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "Valid widths file not found.");
        EXPECT_EQ(r.caption, "Get Widths");
        EXPECT_TRUE(window.wd == before);
        EXPECT_EQ(window.LinkWorstSize, 77);
    }

    // Writing into a folder that does not exist fails and keeps the last name.
    window.LastWDTName = "old.wdt";
    const TWidthFileResult r = PutWidths((dir / "no" / "such.wdt").string(), window);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, "Cannot create widths file.");
    EXPECT_EQ(window.LastWDTName, "old.wdt");
}

} // namespace
} // namespace zan
