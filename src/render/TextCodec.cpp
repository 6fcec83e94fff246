#include "render/TextCodec.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace zan {

namespace {

// Characters of bytes 0x80..0x9F. All other bytes stand for the code point of the same number.
constexpr std::array<char16_t, 32> kCharsOf80To9F = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021', // 0x80
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F', // 0x88
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014', // 0x90
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178', // 0x98
};

constexpr char16_t CharOfByte(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? kCharsOf80To9F[byte - 0x80] : char16_t{byte};
}

// Byte for a code point, or '?' when the table has none.
char ByteOfCodePoint(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<char>(static_cast<unsigned char>(code));
    }
    const auto it = std::find(kCharsOf80To9F.begin(), kCharsOf80To9F.end(), code);
    if (it == kCharsOf80To9F.end()) {
        return '?';
    }
    return static_cast<char>(static_cast<unsigned char>(0x80 + (it - kCharsOf80To9F.begin())));
}

} // namespace

QString ToQString(std::string_view bytes) {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        *out++ = QChar(CharOfByte(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string FromQString(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        // A surrogate pair is one character outside the table, so it becomes a single '?'.
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            ++i;
            bytes += '?';
            continue;
        }
        bytes += ByteOfCodePoint(c.unicode());
    }
    return bytes;
}

} // namespace zan
