#include "render/TextCodec.h"

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

// Lets failure messages show the text instead of the bytes of the QString object.
static void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace zan {
namespace {

TEST(TextCodec, EveryByteHasItsOwnCharacterAndComesBack) {
    std::string all;
    std::set<char16_t> seen;
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const QString text = ToQString(one);
        ASSERT_EQ(text.size(), 1) << "byte " << b;
        EXPECT_TRUE(seen.insert(text.at(0).unicode()).second) << "byte " << b << " shares its character";
        EXPECT_EQ(FromQString(text), one) << "byte " << b;
        if (b < 0x80 || b >= 0xA0) {
            EXPECT_EQ(text.at(0).unicode(), b) << "byte " << b;
        }
        all += one;
    }
    // The same holds for a whole text, including the NUL byte at its start.
    const QString text = ToQString(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(FromQString(text), all);
}

struct TCodecCase {
    const char* Name;
    std::string Bytes;
    QString Text;
};

void PrintTo(const TCodecCase& c, std::ostream* os) {
    *os << c.Name;
}

class TextCodecPairs : public ::testing::TestWithParam<TCodecCase> {};

TEST_P(TextCodecPairs, ConvertsBothWays) {
    const TCodecCase& c = GetParam();
    EXPECT_EQ(ToQString(c.Bytes), c.Text);
    EXPECT_EQ(FromQString(c.Text), c.Bytes);
}

const std::vector<TCodecCase> kPairs = {
    {"Empty", "", QString()},
    {"Euro", "\x80", QString(QChar(0x20AC))},
    {"Undefined81", "\x81", QString(QChar(0x81))},
    {"Undefined8D", std::string(1, static_cast<char>(141)), QString(QChar(0x8D))},
    {"Undefined9D", "\x9D", QString(QChar(0x9D))},
    {"Quotes", "a\x84\x93", QString::fromUtf16(u"a\u201E\u201C")},
    {"YDiaeresis", "\x9F", QString(QChar(0x178))},
    {"Latin1Part", "Gr\xFC\xDF, \xE9t\xE9 \xA0\xFF",
     QString::fromUtf16(u"Gr\u00FC\u00DF, \u00E9t\u00E9 \u00A0\u00FF")},
    {"EmbeddedNul", std::string("a\0b", 3), QString::fromUtf16(u"a\0b", 3)},
};

INSTANTIATE_TEST_SUITE_P(Table, TextCodecPairs, ::testing::ValuesIn(kPairs),
                         [](const ::testing::TestParamInfo<TCodecCase>& info) {
                             return std::string(info.param.Name);
                         });

struct TUnmappableCase {
    const char* Name;
    QString Text;
    std::string Bytes;
};

void PrintTo(const TUnmappableCase& c, std::ostream* os) {
    *os << c.Name;
}

class TextCodecUnmappable : public ::testing::TestWithParam<TUnmappableCase> {};

TEST_P(TextCodecUnmappable, BecomesQuestionMark) {
    EXPECT_EQ(FromQString(GetParam().Text), GetParam().Bytes);
}

const std::vector<TUnmappableCase> kUnmappable = {
    {"Cjk", QString(QChar(0x4E2D)), "?"},
    // U+0080 is a control character whose byte already stands for the euro sign.
    {"ControlOfEuroByte", QString(QChar(0x80)), "?"},
    {"LatinExtended", QString::fromUtf16(u"\u0141\u00F3\u017A\u017E"), "?\xF3?\x9E"},
    // One character outside the basic plane is one '?', not one per UTF-16 half.
    {"OutsideBasicPlane", QString::fromUtf16(u"x\U0001F600y"), "x?y"},
    {"LoneSurrogate", QString::fromUtf16(u"a\xD800z", 3), "a?z"},
};

INSTANTIATE_TEST_SUITE_P(Table, TextCodecUnmappable, ::testing::ValuesIn(kUnmappable),
                         [](const ::testing::TestParamInfo<TUnmappableCase>& info) {
                             return std::string(info.param.Name);
                         });

} // namespace
} // namespace zan
