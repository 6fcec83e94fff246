// The network file: one line-oriented text file holding a network's schema, its window's settings
// and its elements, in eight versions (1, 3, 4, ..., 9). Every version is read and written.
#pragma once

#include <string>
#include <string_view>

namespace zan {

class TNetwork;
struct TWindowSettings;

// Outcome codes of reading and writing.
enum : int { kFileOK = 0, kFileFormatError = 1, kFileWriteError = 2, kFileOutOfMemory = 30 };

inline constexpr int kCurrentVersion = 9;
inline constexpr const char* kEndOfApplication = "END OF APPLICATION";

// The version a header line names, or 0.
int VersionOfHeader(std::string_view line);
// The header line of a version (1, 3..9), or null.
const char* HeaderOfVersion(int version);
// The extension offered for a version: ".dt1" .. ".dt7", ".dta".
const char* ExtensionOfVersion(int version);

struct TReadReport {
    int code = kFileOK;
    int version = 0;
    int redundantLinks = 0; // dropped: the two ends were joined already
    int loopedLinks = 0;    // dropped: both ends the same node
    bool DroppedLinks() const { return redundantLinks > 0 || loopedLinks > 0; }
};

struct TWriteReport {
    int code = kFileOK;
    bool created = true; // false when the file could not be created at all
    int realErrors = 0;  // values that could not be formatted and were written as 0.0
};

// Reads a whole network file into a network that holds nothing yet (a new window's), and its
// window's settings. On code 30 the part read so far stays.
TReadReport OpenNetworkFile(const std::string& path, TNetwork& net, TWindowSettings& window);
TReadReport ReadNetworkText(std::string data, TNetwork& net, TWindowSettings& window);

// Reads the network part of a file into a scratch network with the window's schemas and merges it
// into `net` only when the whole read succeeded; on failure `net` is unchanged. Node serials of the
// appended file are shifted past those in use. With useAppendedSystemValues the appended file's
// system attribute values replace the window's.
TReadReport AppendNetworkFile(const std::string& path, TNetwork& net, TWindowSettings& window,
                              bool useAppendedSystemValues);
TReadReport AppendNetworkText(std::string data, TNetwork& net, TWindowSettings& window,
                              bool useAppendedSystemValues);

// Writes the network in the given version, through a temporary file renamed over the target only
// when everything was written. Node serials are renumbered 1, 2, 3, ... in writing order.
TWriteReport SaveNetworkFile(const std::string& path, TNetwork& net, const TWindowSettings& window,
                             int version);
std::string WriteNetworkText(TNetwork& net, const TWindowSettings& window, int version, int& realErrors);

// The program's messages for a finished read or write (empty when there is nothing to say).
std::string DroppedLinksMessage(const TReadReport& report); // caption "Open/Append"
std::string ReadErrorMessage(const TReadReport& report);    // caption "Network Read Error" + " " + code
std::string AppendErrorMessage(const TReadReport& report);  // caption "Network Read Error" + " " + code

} // namespace zan
