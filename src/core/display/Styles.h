// The rules that decide how an element looks: colour tables and palettes, the checked reads of every
// style table, layer visibility, the polygon style of a polygon, the colour schemes of the palette
// and the size items of the shapes settings. The data itself lives in the window's settings and in
// the entity types; the renderer draws with what these rules give.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "model/WindowSettings.h"

namespace zan {

class TNetwork;
class TNode;

// A 24-bit colour with red in the low byte, green in the middle byte and blue in the high byte.
using TColor24 = std::int32_t;

constexpr TColor24 RGB24(int r, int g, int b) {
    return static_cast<TColor24>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(TColor24 c) {
    return c & 0xFF;
}
constexpr int GreenOf(TColor24 c) {
    return (c >> 8) & 0xFF;
}
constexpr int BlueOf(TColor24 c) {
    return (c >> 16) & 0xFF;
}

inline constexpr int kColorIndices = 26;   // 0..25; 0..16 are offered to the user
inline constexpr int kUserColorIndex = 16; // highest index a user may choose
inline constexpr TColor24 kWhite = RGB24(255, 255, 255);

// Colour indices the renderer uses for its own marks.
inline constexpr int kActiveCornerColor = 17; // corners of the polygon being edited
inline constexpr int kMultipleColor = 20;     // a node drawn on top of another at the same point
inline constexpr int kPickColor = 22;         // the picked node or shape point

using TColorTable = std::array<TColor24, kColorIndices>;

// The program's standard colours, with entry 0 the window background colour.
TColorTable StandardColors(TColor24 background = kWhite);

// An index read from an element, a type, an expression or a file, made safe for the tables: below 0
// is 0 (not drawn), above 25 is 1 (black).
int CheckedColorIndex(std::int64_t index);

// The colour of an index: through the window's palette when "Use for Links && Nodes" is set, else
// through the standard colours. The index is checked first.
TColor24 ResolveColor(const TWindowSettings& window, const TColorTable& standard, std::int64_t index);

// The fixed pie slice colours, index 0..15; any other index reads as 0.
TColor24 PieColor(std::int64_t index);
// The pie colour of slice 1..10 of the window (its PieColorList entry, checked).
TColor24 SliceColor(const TWindowSettings& window, int slice);

// Whether nodes of `layer` are shown at the window's zoom state.
bool LayerVisible(const TWindowSettings& window, int layer);

// A style number made safe for the polygon styles: above 40 is 40; negative stays negative (the
// polygon is hidden).
int CheckedPolygonStyle(std::int64_t style);

// The polygon style of `owner`'s polygon: the active polygon's highlight (41) when it is being
// edited; else the node's own style when not 0; else the style the node's type gives, or under the
// node width status traverse the style the width expressions computed (`traverseStyle`). A negative
// result hides the polygon.
int PolygonStyleIndex(const TNode& owner, const TWindowSettings& window, int traverseStyle);

// The colour schemes of the palette dialog, in list order.
inline constexpr int kColorSchemes = 25;
std::string_view ColorSchemeName(int scheme);
// Swatches 1..16 of a scheme (entry 0 unused); scheme 0 gives the standard colours 1..16.
std::array<TColor24, 17> ColorSchemeSwatches(int scheme);

// The node half-size the "Standard Size" items store: Tiny 2, Small 3, Medium 4, Large 5, Extra 7,
// Jumbo 10. StandardSizeShown gives the stored value of the item that shows a stored size (6 shows
// as Extra, 8 and 9 as Jumbo; smaller sizes as Tiny, larger as Jumbo).
inline constexpr std::array<int, 6> kStandardSizes{2, 3, 4, 5, 7, 10};
int StandardSizeShown(int nodeExtent);

// The pie size chosen in the pie dialog stored as a node type's code (s itself up to 10, s + 10
// above, so that sizes above 10 do not read as bitmap codes), and back.
int PieSizeToCode(int size);
int CodeToPieSize(int code);

} // namespace zan
