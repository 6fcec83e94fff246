// Trip tables (origin-destination matrices) and the desire lines that show them.
//
// A trip table file holds one or more tables. A table is: origin node names, one per line, ended by
// a line starting "END OF ROWS"; destination node names, one per line, ended by a line starting
// "END OF COLUMNS"; then rows x columns numbers, row by row, separated by any characters other than
// digits, signs, ".", "E" and "e". The next table starts on the line after its last number; a line
// starting "END OF TABLES" where a table would begin, or the end of the file after at least one
// table, ends the file. Names are the first 30 characters of their lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/Rect.h"
#include "model/WindowSettings.h"

namespace zan {

class TNetwork;

inline constexpr std::string_view kNoTableStatus = "No table.";
inline constexpr std::string_view kTableLoadedStatus = "Table loaded.";

// The outcome of loading: ok with the status "Table loaded.", or the error message, the table's
// number and (for unknown names) the row or column, e.g. "Unknown name in user trip table! Table 2,
// Row is 3".
struct TTripTableResult {
    bool ok = false;
    std::string status;
};

// Loads the trip tables of a file text into window.DesireTables, replacing the tables there. Node
// names are looked up among the drawn nodes of the network. Any error stops loading and leaves no
// table.
TTripTableResult LoadDesireTablesFromText(std::string_view text, const TNetwork& net,
                                          TWindowSettings& window);
// The same from a file.
TTripTableResult LoadDesireTables(const std::string& path, const TNetwork& net, TWindowSettings& window);
// Frees the trip tables.
void ClearDesireTables(TWindowSettings& window);

// One desire line to draw: from the origin node to the destination node (plane units, shifted to a
// side by the window's placement), its pen width and its colour index (1..16; 0 draws in the
// window's background colour).
struct TDesireLine {
    TPoint from;
    TPoint to;
    std::int32_t width = 0;
    std::int32_t color = 0;
    friend bool operator==(const TDesireLine&, const TDesireLine&) = default;
};

// The desire lines of every loaded table, in table, row and column order. For each cell the desire
// expression text is evaluated with attribute 1 = the cell value, attribute 2 = the origin node's
// serial number and attribute 3 = the destination's; expression 1 gives the colour index and
// expression 2 the width through the link intervals. A cell whose colour or width is in no interval
// or not positive gets no line, nor does a cell with a deleted end node.
std::vector<TDesireLine> DesireLineGeometry(const TNetwork& net, const TWindowSettings& window);

} // namespace zan
