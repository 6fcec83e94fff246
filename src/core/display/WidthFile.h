// Width files (".wdt"): the width and size intervals, their values and the expression texts of a
// window, saved on their own so that another network can use them.
//
// The text, one item per line, lines ending in CR LF: the header "LINK WIDTHS/NODE CIRCLES 6"; 40
// lines "top bottom" of the link intervals; 10 lines of link expression texts (types 1..10); 40
// lines "top bottom" of the node intervals; 10 lines of node expression texts; 40 lines "node value
// link value"; 40 lines of interval legend flags "node link" and 10 lines of entity-type legend flags
// "node link". Reals are in the 23-character scientific form, integers in their shortest form. A
// file with the header "LINK WIDTHS/NODE CIRCLES" is the older form with 10 intervals. Reading takes
// everything up to the values, which may be missing; the legend flags are not read back.
#pragma once

#include <string>
#include <string_view>

#include "display/BitmapCatalog.h"
#include "model/WindowSettings.h"

namespace zan {

class TNetwork;

inline constexpr std::string_view kWidthFileHeader = "LINK WIDTHS/NODE CIRCLES 6";
inline constexpr std::string_view kOldWidthFileHeader = "LINK WIDTHS/NODE CIRCLES";

// The outcome of Get Widths or Put Widths: on failure, a message and its caption for the caller to
// show.
struct TWidthFileResult {
    bool ok = true;
    std::string message;
    std::string caption;
};

// The width file text of the settings.
std::string WidthFileText(const TWidthData& wd);

// Reads a width file text into wd: the intervals the file holds (40, or 10 in the older form), the
// expression texts and, when present, the values. False when the header is wrong or an item is
// missing or malformed; wd may then be partly changed (read into a copy).
bool ParseWidthFile(std::string_view text, TWidthData& wd);

// Get Widths: reads the file into the window's width settings and recomputes the worst sizes. On
// failure the settings are unchanged and the result carries "Valid widths file not found.".
TWidthFileResult GetWidths(const std::string& path, const TNetwork& net, TWindowSettings& window,
                           const TBitmapCatalog& bitmaps);

// Put Widths: writes the file through a temporary file renamed over the target. On success
// LastWDTName becomes the file's name without its folder; on failure the result carries "Cannot
// create widths file." and the old file is untouched.
TWidthFileResult PutWidths(const std::string& path, TWindowSettings& window);

} // namespace zan
