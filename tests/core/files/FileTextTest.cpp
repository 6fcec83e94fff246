#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include <unistd.h>

#include "files/FileText.h"

namespace zan {
namespace {

TEST(FileText, RealFormsAreExact) {
    struct Case {
        double v;
        const char* real;
        const char* shortReal;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {1.5, " 1.50000000000000E+0000", " 1.50000000000000E+0000"},
        {-0.0025, "-2.50000000000000E-0003", "-2.50000000000000E-0003"},
        {0.0, " 0.00000000000000E+0000", "0.0"},
        {12, " 1.20000000000000E+0001", "12.0"},
        {-5, "-5.00000000000000E+0000", "-5.0"},
        {1, " 1.00000000000000E+0000", "1.0"},
        {9999, " 9.99900000000000E+0003", "9999.0"},
        {10000, " 1.00000000000000E+0004", " 1.00000000000000E+0004"},
        {20000, " 2.00000000000000E+0004", " 2.00000000000000E+0004"},
        {0.5, " 5.00000000000000E-0001", " 5.00000000000000E-0001"},
        {1e300, " 1.00000000000000E+0300", " 1.00000000000000E+0300"},
        {5e-324, " 4.94065645841247E-0324", " 4.94065645841247E-0324"},
        {inf, "+Inf", "0.0"},
        {-inf, "-Inf", "0.0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatReal23(c.v), c.real) << c.v;
        EXPECT_EQ(std::string(FormatReal23(c.v)).size(), std::isinf(c.v) ? 4u : 23u);
        TFileWriter w;
        w.ShortReal(c.v);
        EXPECT_EQ(w.Data(), c.shortReal) << c.v;
        EXPECT_EQ(w.RealErrors(), std::isinf(c.v) ? 1 : 0);
    }
    EXPECT_EQ(FormatReal23(std::numeric_limits<double>::quiet_NaN()), "Nan");
}

TEST(FileText, ReaderFollowsLayouts) {
    TFileReader r("ZAN 1.09\r\n  12 -7\r\n\r\n 3 NAME      rest of line\r\n"
                  " 1.50000000000000E+0000 Nan -INF\nshort\r\nlast");
    std::string line;
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "ZAN 1.09");
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int32_t c = 0;
    ASSERT_TRUE(r.ReadInt(a));
    ASSERT_TRUE(r.ReadInt(b));
    ASSERT_TRUE(r.ReadInt(c)); // across an empty line
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -7);
    EXPECT_EQ(c, 3);
    r.SkipBlank();
    EXPECT_EQ(r.ReadText(10), "NAME      ");
    EXPECT_EQ(r.ReadFreeText(), "rest of line");
    double x = 0;
    double y = 0;
    double z = 0;
    ASSERT_TRUE(r.ReadReal(x));
    ASSERT_TRUE(r.ReadReal(y));
    ASSERT_TRUE(r.ReadReal(z));
    EXPECT_EQ(x, 1.5);
    EXPECT_TRUE(std::isnan(y));
    EXPECT_EQ(z, -std::numeric_limits<double>::infinity());
    r.SkipLine();
    EXPECT_EQ(r.ReadText(30), "short"); // fewer characters when the line ends
    r.SkipLine();
    EXPECT_FALSE(r.ReadInt(a)); // "last" is no number; the cursor stays
    EXPECT_EQ(r.ReadFreeText(), "last");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_FALSE(r.ReadLine(line));
}

TEST(FileText, ReaderRefusesWhatDoesNotFit) {
    std::int32_t v = 0;
    double d = 0;
    EXPECT_FALSE(TFileReader("2147483648").ReadInt(v));
    EXPECT_TRUE(TFileReader("-2147483648").ReadInt(v));
    EXPECT_EQ(v, std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(TFileReader("").ReadInt(v));
    EXPECT_FALSE(TFileReader("- 5").ReadInt(v));
    EXPECT_FALSE(TFileReader("25ft").ReadReal(d));
    EXPECT_FALSE(TFileReader("0x1p3").ReadReal(d));
    std::string line;
    EXPECT_FALSE(TFileReader(std::string(TFileReader::kMaxLineLength + 1, 'x')).ReadLine(line));
}

TEST(FileText, WriterKeepsFieldsOnOneLine) {
    TFileWriter w;
    w.Text("Main\r\nStreet", 8);
    w.Blank();
    w.Text("ab", 4);
    w.Int(-42);
    w.EndLine();
    w.Line("two\nlines");
    EXPECT_EQ(w.Data(), "Main  St ab  -42\r\ntwo lines\r\n");
    // A CR inside a line reads as the blank the writer would store.
    TFileReader r("Main\rStreet\r\nnext\r");
    std::string line;
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "Main Street");
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line, "next");
}

TEST(FileText, SavingReplacesOnlyAfterACompleteWrite) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("zan_save_test_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string target = (dir / "net.dta").string();

    ASSERT_TRUE(SaveFileSafely(target, "first\r\n"));
    ASSERT_TRUE(SaveFileSafely(target, "second\r\n"));
    std::string data;
    ASSERT_TRUE(LoadFile(target, data));
    EXPECT_EQ(data, "second\r\n");

    // A target that cannot be replaced (a folder with contents) is left alone, with no stray files.
    const fs::path blocked = dir / "blocked.dta";
    fs::create_directories(blocked / "inside");
    EXPECT_FALSE(SaveFileSafely(blocked.string(), "x"));
    EXPECT_TRUE(fs::is_directory(blocked / "inside"));
    EXPECT_FALSE(SaveFileSafely((dir / "missing" / "net.dta").string(), "x"));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 2u); // net.dta and blocked.dta
    EXPECT_FALSE(LoadFile((dir / "nothing").string(), data));
    fs::remove_all(dir);
}

} // namespace
} // namespace zan
