#pragma once

// All texts of a network (names, attribute values, file contents) are kept as 8-bit bytes in
// Windows-1252. They become QStrings only where they meet Qt: when shown or typed in the GUI,
// or drawn by the renderer. The conversion uses one table in which every byte 0..255 has its
// own character, so a text read from a file and shown in the GUI comes back unchanged.

#include <QString>

#include <string>
#include <string_view>

namespace zan {

// Converts Windows-1252 bytes to a QString with exactly one character per byte.
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, which Windows-1252 leaves undefined, become the
// control characters U+0081, U+008D, U+008F, U+0090 and U+009D.
QString ToQString(std::string_view bytes);

// Converts a QString to Windows-1252 bytes, one byte per character (code point). A character
// the table has no byte for becomes '?'.
std::string FromQString(const QString& text);

} // namespace zan
