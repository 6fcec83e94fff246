// The settings of one sketch window: each window (and each view of a network) has its own copy,
// saved with the network file. Core operations that depend on what a window shows or where it
// looks take these settings as a parameter; nothing in the core reaches for an "active" window.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "geometry/ZoomTable.h"

namespace zan {

class TNode;
class TShapePoint;
struct TLinkValues;
class TNetworkPoint;

inline constexpr int kLayers = 10; // layers 1..10

inline constexpr int kLastEntityType = 10;     // entity types 0..10 of a class (0 = "Undefined")
inline constexpr int kFontSlots = 12;          // 0..10 label fonts, 11 the plot title font
inline constexpr int kWidthIntervals = 40;     // width and size intervals 1..40
inline constexpr int kUserPolygonStyles = 41;  // polygon styles 0..40 the user edits
inline constexpr int kBackgroundSlots = 10;    // picture and metafile slots 1..10
inline constexpr int kShortestPathGroups = 10; // start groups 1..10 (the dialog shows 1..5)

// One font slot's description: the face, the height in pixels (negative: the character height
// without internal leading, as the platform's font description stores it), the weight (400
// normal, 700 bold) and the style flags.
struct TLogFont {
    std::string FaceName = "Arial"; // at most 32 characters
    std::int32_t Height = -17;
    std::int32_t Weight = 400;
    bool Italic = false;
    bool StrikeOut = false;
    bool Underline = false;
    bool operator==(const TLogFont&) const = default;
};

// Which side of a rotated link label gets line 1.
enum class TFirstLabelPosition : std::int32_t { ontop = 0, onright = 1, onleft = 2 };

// Label codes of one entity type: line 1 and line 2.
using TLabelCodes = std::array<std::int32_t, 2>;

inline std::array<TLabelCodes, kLastEntityType + 2> DefaultLabelCodes() {
    std::array<TLabelCodes, kLastEntityType + 2> codes{};
    codes[kLastEntityType + 1][0] = 30; // entry 11, line 1: the maximum label length
    return codes;
}

inline std::array<std::string, kFontSlots> DefaultFontNames() {
    std::array<std::string, kFontSlots> names;
    names[0] = "0. Arial";
    for (int j = 1; j <= 10; ++j)
        names[static_cast<std::size_t>(j)] = (j == 10 ? std::string("a") : std::to_string(j)) + ". Free";
    names[11] = "Title";
    return names;
}

inline std::array<TLogFont, kFontSlots> DefaultLogFonts() {
    std::array<TLogFont, kFontSlots> fonts{};
    fonts[11].Height = -32; // the plot title: slot 0 at a larger size
    return fonts;
}

// Labels: what each entity type shows, where, and in which font.
struct TLabelSettings {
    // Entity types 0..10: the codes of line 1 and line 2. Entry 11, line 1, holds the maximum number
    // of characters of a label line.
    std::array<TLabelCodes, kLastEntityType + 2> labelnodes = DefaultLabelCodes();
    std::array<TLabelCodes, kLastEntityType + 2> labellinks = DefaultLabelCodes();
    // Per entity type: whether either code is above 0 (derived from the codes).
    std::array<bool, kLastEntityType + 1> NodeLabelsThere{};
    std::array<bool, kLastEntityType + 1> LinkLabelsThere{};
    std::array<std::int32_t, kLastEntityType + 1> NodeLabelFonts{}; // font slot 0..10 per type
    std::array<std::int32_t, kLastEntityType + 1> LinkLabelFonts{};
    std::int32_t NodeLabelPosition = 1; // placement code 1..7
    std::int32_t LinkLabelPosition = 1;
    TFirstLabelPosition firstlabel = TFirstLabelPosition::ontop;
    bool rotatelinklabels = false;
    bool LabelOpaque = false;
    bool SuppressAllLabels = false;
    bool RoundedNumbers = false;
    std::int32_t RealPrecision = 15;
    std::array<std::string, kFontSlots> FontNames = DefaultFontNames();
    std::array<std::int32_t, kFontSlots> FontColorArray{}; // 24-bit colours, red in the low byte
    std::array<TLogFont, kFontSlots> LogFontArray = DefaultLogFonts();

    std::int32_t MaxNodeLabelLength() const { return labelnodes[kLastEntityType + 1][0]; }
    std::int32_t MaxLinkLabelLength() const { return labellinks[kLastEntityType + 1][0]; }

    bool operator==(const TLabelSettings&) const = default;
};

// What width expressions mean for a class (links or nodes).
enum class TWidthStatus : std::int32_t { widthh = 0, colorr = 1, nonee = 2, traverse = 3, arrow = 4 };
// How every node is drawn.
enum class TGlobalShape : std::int32_t { nodraw = 0, entity = 1, box = 2, circle = 3, dot = 4, piegraph = 5 };
// The mark drawn near the A end of every link; linkbitmap draws link codes above 10 as bitmaps.
enum class TAEndDotShape : std::int32_t {
    nodot = 0,
    smalldot = 1,
    openarrow = 2,
    closedarrow = 3,
    biggerclosedarrow = 4,
    linkbitmap = 5
};

// A legend box: its anchor (top-left, plane units), its font slot and whether it is outlined.
struct TLegendRecord {
    std::int32_t x = 0, y = 0;
    std::int32_t afont = 0;
    bool dobox = false;

    bool operator==(const TLegendRecord&) const = default;
};

inline std::array<std::int32_t, kWidthIntervals + 1> DefaultIntervalValues() {
    std::array<std::int32_t, kWidthIntervals + 1> values{};
    values[0] = 1;
    for (int k = 1; k <= kWidthIntervals; ++k)
        values[static_cast<std::size_t>(k)] = k;
    return values;
}

// Link widths and node sizes from attribute values: intervals 1..40 (entry 0 unused), the
// expression texts per entity type 1..10, the statuses and the legends.
struct TWidthData {
    std::array<double, kWidthIntervals + 1> linktop{}, linkbottom{};
    std::array<double, kWidthIntervals + 1> nodetopf{}, nodebottomf{};
    std::array<std::int32_t, kWidthIntervals + 1> linkactual = DefaultIntervalValues();
    std::array<std::int32_t, kWidthIntervals + 1> nodeactual = DefaultIntervalValues();
    std::array<std::string, kLastEntityType + 1> linkcriterion, nodecriterion; // at most 255 characters
    std::string desirecriterion;
    TWidthStatus linkwidthstatus = TWidthStatus::nonee;
    TWidthStatus nodewidthstatus = TWidthStatus::nonee;
    bool linknotfoundaction = true;
    bool nodenotfoundaction = true;
    TGlobalShape GlobalShape = TGlobalShape::entity;
    TAEndDotShape showaend = TAEndDotShape::nodot;
    bool SuppressShapes = false;
    bool UsePolygonColors = false;
    TLegendRecord anodelegend, alinklegend;
    std::array<bool, kWidthIntervals + 1> nodelegend{}, linklegend{}; // intervals listed in the legend
    std::array<bool, kLastEntityType + 1> nodeentitylegend{}, linkentitylegend{}; // types listed

    bool operator==(const TWidthData&) const = default;
};

// A polygon's look. Pen styles: 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, 5 clear. Brush
// styles: 0 solid, 1 clear, 2 horizontal, 3 vertical, 4 forward diagonal, 5 backward diagonal, 6
// cross-hatch, 7 diagonal cross-hatch, 8 open polyline without fill, 11..250 fill bitmap (code - 10).
struct TPolygonStyle {
    std::int32_t pencolor = 0;
    std::int32_t penstyle = 0;
    std::int32_t penwidth = 1;
    std::int32_t brushcolor = 0;
    std::int32_t brushstyle = 6;
    bool operator==(const TPolygonStyle&) const = default;
};

inline std::array<TPolygonStyle, kUserPolygonStyles + 1> DefaultPolygonStyles() {
    std::array<TPolygonStyle, kUserPolygonStyles + 1> styles{};
    // Style 41 highlights the polygon being edited: teal border and diagonal cross-hatch.
    const std::int32_t teal = 0x7F7F00; // 0,127,127 with red in the low byte
    styles[kUserPolygonStyles] = TPolygonStyle{teal, 0, 1, teal, 7};
    return styles;
}

// The user palette: standard colours 0..10, black for 11..16, then the renderer's marks 17..25.
inline std::array<std::int32_t, 26> DefaultCustomColors() {
    auto rgb = [](int r, int g, int b) { return static_cast<std::int32_t>(r | (g << 8) | (b << 16)); };
    return {rgb(255, 255, 255),
            rgb(0, 0, 0),
            rgb(0, 0, 255),
            rgb(0, 255, 0),
            rgb(255, 0, 0),
            rgb(0, 0, 127),
            rgb(0, 127, 0),
            rgb(127, 0, 0),
            rgb(127, 0, 127),
            rgb(127, 127, 127),
            rgb(255, 0, 255),
            0,
            0,
            0,
            0,
            0,
            0,
            rgb(0, 127, 127),
            rgb(127, 127, 0),
            rgb(191, 191, 191),
            rgb(255, 255, 0),
            rgb(0, 255, 255),
            rgb(0, 255, 255),
            rgb(0, 0, 127),
            rgb(255, 255, 255),
            rgb(255, 0, 0)};
}

inline std::array<std::int32_t, 11> DefaultPieColors() {
    return {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}; // slice i in pie colour i
}

// Display, plotting, polygon styles, colours, coverage and shortest-path selections, desire lines.
struct TDisplaySettings {
    bool PrimaryOnRight = true;
    bool PolygonsAreOpaque = false;
    bool PolygonLayerIsFirst = true;
    bool Monochrome = false;
    bool CenterTitle = false;
    // Page set-up, in inches from the sheet's top-left corner.
    double ClipLeft = 0.5, ClipRight = 8.0, ClipTop = 0.5, ClipBottom = 10.5;
    double plotterscale = 96.0; // plane units per inch on paper (the screen's dots per inch)
    double ImageLeft = 0.5, ImageDown = 0.5;
    std::string plotlabel;                                             // plot title, at most 80 characters
    std::array<std::int32_t, 26> customcolors = DefaultCustomColors(); // entries 1..16 user-edited
    std::array<TPolygonStyle, kUserPolygonStyles + 1> polygonstyles = DefaultPolygonStyles();
    std::array<std::int32_t, kLastEntityType + 1> entitypolygonstyles{}; // per node entity type
    std::vector<std::string> CoverageNameList;
    // Shortest paths: per link (node) type 1..10 the attribute receiving the mark (0 = none), the
    // blocking node types, the start groups 1..10 with their names and mark values.
    std::array<std::int32_t, kLastEntityType + 1> MarkedAttributesL{}, MarkedAttributesN{};
    std::array<bool, kLastEntityType + 1> BlockingNodes{};
    std::array<std::vector<std::string>, kShortestPathGroups + 1> ShortestPathNameList;
    std::array<std::int32_t, kShortestPathGroups + 1> LinkMark{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::string ShortestPathEndName;                                // at most 255 characters
    std::int32_t HowNodesMarked = 0;                                // 0 distance, 1 mark value
    double MarkMaxDistance = 0;                                     // 0 = unlimited
    std::array<std::int32_t, 11> PieColorList = DefaultPieColors(); // pie colour of slice 1..10
    bool ShowDesireLines = false;
    std::int32_t DesirePlacement = 0; // 0 centre, 1 right side, 2 left side
    bool GhostDrawLinks = false;
    std::int32_t GhostColor = 19; // standard colour index (silver)

    bool operator==(const TDisplaySettings&) const = default;
};

// Background pictures: slots 1..10 of pictures (Back*) and of metafiles (WBack*). A metafile pasted
// from the clipboard is named "Clipboard". An empty name is an empty slot.
struct TBackgrounds {
    std::array<std::string, kBackgroundSlots + 1> BackgroundName, WBackgroundName;
    std::array<double, kBackgroundSlots + 1> BackTop{}, BackLeft{}, WBackTop{}, WBackLeft{};
    std::array<double, kBackgroundSlots + 1> BackXScale{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::array<double, kBackgroundSlots + 1> BackYScale{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::array<double, kBackgroundSlots + 1> WBackXScale{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    std::array<double, kBackgroundSlots + 1> WBackYScale{1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    bool JpegFirst = true; // pictures drawn before metafiles

    bool operator==(const TBackgrounds&) const = default;
};

// Geographic projection and the length unit (the scale itself is TWindowSettings::NetworkScale).
struct TGeoParameters {
    std::int32_t ProjectionMethod = 0; // 0..3
    double ShapeXTranslate = 0;
    double ShapeYTranslate = 0;
    double ShapeYScale = -10000;         // plane units per degree of latitude
    std::int32_t InterpolationRange = 5; // minutes of latitude, 1..600
    bool UpdateLongLat = false;
    std::string PivotNodeName;
    std::string SecondNodeName;
    std::int32_t ScaleUnits = 0;        // 0 pixels, 1 miles, 2 feet, 3 kilometres, 4 metres
    std::string ScaleString = "Pixels"; // the unit's name, derived from ScaleUnits

    bool operator==(const TGeoParameters&) const = default;
};

// The description box drawn into every picture of the network.
struct TDescriptionBox {
    std::string project, organization, job, customer, author;
    std::string description; // lines separated by CR LF
    std::int32_t x = 0, y = 0;
    std::int32_t projectfont = 0, organizationfont = 0, jobfont = 0, customerfont = 0, authorfont = 0,
                 descriptionfont = 0;
    bool writeproject = false, writedescription = false, writejob = false, writecustomer = false,
         writeauthor = false, writeorganization = false;
    bool showcaptions = true;
    bool addtoday = false;
    bool drawbox = true;

    bool operator==(const TDescriptionBox&) const = default;
};

enum class TExtractFormat : std::int32_t { fixed = 0, commas = 1, tabs = 2, dbf = 3 };

// Extract and update settings: report formats reports[0][i] for node type i and reports[1][i] for
// link type i (i = 1..10), the field separation and the update options.
struct TExtractSettings {
    std::array<std::array<std::string, kLastEntityType + 1>, 2> reports;
    TExtractFormat extractform = TExtractFormat::fixed;
    std::int32_t updatetype = 0; // 0 update existing, 1 new nodes, 2 new links
    bool UpdateAssumeNames = false;
    bool ExtractPolygonsOnly = false;
    bool filternodes = false;

    bool operator==(const TExtractSettings&) const = default;
};

// One trip table (an origin-destination matrix) shown as desire lines: origin nodes by row,
// destination nodes by column, and the cell values row by row. Kept in memory only.
struct TDesireTable {
    std::vector<TNode*> DesireOrigin;
    std::vector<TNode*> DesireDestination;
    std::int32_t DesireRows = 0;
    std::int32_t DesireColumns = 0;
    std::vector<float> DesireLines; // DesireRows x DesireColumns
};

// How Link Splice (and Node to Shape Point) fills the link that replaces two: the rule for its
// values (0 template, 1 the upstream link's, 2 the downstream link's), the attributes whose two
// values are added (derived from the text: "1".."9" attributes 1..9, "a".."z" 10..35, "A" 10), and
// whether the types must match for the sums.
struct TSpliceRules {
    std::int32_t linkfuserule = 0;
    std::string linkfuseadd; // at most 30 characters
    bool MatchTypes = false;
    std::array<bool, 36> attributestoadd{}; // entries 1..35
};

// The one shape point removal that can be undone.
struct TShapePointUndo {
    TLinkValues* TheLink = nullptr; // null: nothing to undo
    std::int32_t ThePosition = 0;   // index in the link's shape point list
    std::int32_t x = 0, y = 0;
    // The polygon owners the point was a vertex of, with its index in each vertex list.
    std::vector<std::pair<TNode*, std::int32_t>> polygons;
};

inline std::array<std::string, kLayers + 1> DefaultLayerNames() {
    return {"", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A"};
}

struct TWindowSettings {
    // View.
    std::int32_t ZoomState = kDefaultZoomState;
    std::int32_t XMin = 0, YMin = 0, XMax = 0, YMax = 0; // extents of the sketch pad
    std::int32_t XScroll = 10, YScroll = 10;             // plane-to-logical offsets
    std::int32_t CurPosX = 10, CurPosY = 10;             // plot cursor
    bool Plotting = false;                               // a plot or print of this window is running

    // Scroll bars and client area in pixels; the window keeps them current.
    std::int32_t HorzPosition = 0, VertPosition = 0;
    std::int32_t HorzRange = 0, VertRange = 0;
    std::int32_t ClientWidth = 0, ClientHeight = 0;
    // The scroll positions in plane units, round(position / ViewportFactor), refreshed before every
    // paint and every click.
    std::int32_t horzbarpos = 0, vertbarpos = 0;
    std::int32_t LastMouseX = 10, LastMouseY = 10; // last pointer position, plane units
    bool DarkCursor = false;                       // draw the plot cursor in the dark colour
    bool NextClickIsInZoom = false;                // the next click zooms instead of editing
    bool NextClickIsOutZoom = false;

    // Picks, drawn highlighted: the node and shape point last picked, and the owner of the polygon
    // being edited.
    TNode* LastNode = nullptr;
    TShapePoint* LastSp = nullptr;
    TNode* currentpolygon = nullptr;
    // The point being dragged in this view. The drag moves the point itself (it stays drawn and is
    // saved where it is), so a drag whose release is lost leaves nothing hidden.
    TNetworkPoint* Dragged = nullptr;
    TSpliceRules SpliceRules;
    TShapePointUndo shapepointhold;

    // Layers: entry i is the lowest zoom state at which layer i is shown, 0 = never. Entry 0 unused.
    std::array<std::int32_t, kLayers + 1> selectedlayers{0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

    // Node symbol half-size; also the radius of the hit test around a click, in plane units.
    std::int32_t NodeExtent = 3;

    // Plane units per length unit: lengths shown to the user are divided by it.
    double NetworkScale = 1.0;

    // Largest label extents and symbol sizes drawn so far, kept by the renderer; a repaint of a
    // rectangle also redraws cells whose labels or symbols may reach into it.
    std::int32_t nodelabelxleft = 0, nodelabelxright = 0, nodelabelytop = 0, nodelabelybot = 0;
    std::int32_t linklabelxleft = 0, linklabelxright = 0, linklabelytop = 0, linklabelybot = 0;
    std::int32_t NodeWorstSize = 0, LinkWorstSize = 0;
    bool BigNodes = false, BigLinks = false; // the worst sizes exceed 20

    // Width file last written, without its folder.
    std::string LastWDTName;
    // Trip tables loaded for desire lines.
    std::vector<TDesireTable> DesireTables;

    // Polygon search: the polygon of PolygonSearchNode restricts the range filter for nodes and/or
    // links, to elements inside (or on the boundary) or, with PolygonSearchOutside, outside it. A
    // link passes with one end there, or with PolygonSearch2Ends with both.
    TNode* PolygonSearchNode = nullptr;
    std::string PolygonSearchString; // the search's description, saved with the network
    bool PolygonSearchbyNode = false;
    bool PolygonSearchbyLink = false;
    bool PolygonSearchOutside = false;
    bool PolygonSearch2Ends = false;

    // Entity types selected for extracts and updates (entries 1..10 used); name searches restricted to
    // the selection consult them.
    std::array<bool, 11> ExtractNodeTypes{};
    std::array<bool, 11> ExtractLinkTypes{};

    // Settings saved with the network, starting from the new-network defaults.
    TLabelSettings Labels;
    TWidthData wd;
    TDisplaySettings Display;
    std::array<std::string, kLayers + 1> layernames = DefaultLayerNames(); // at most 30 characters
    TBackgrounds Backgrounds;
    TGeoParameters Geo;
    TDescriptionBox adescription;
    TExtractSettings Extract;

    double ViewportFactor() const { return zan::ViewportFactor(ZoomState); }

    // Whether a node on `layer` is shown at the current zoom.
    bool LayerShown(int layer) const {
        if (layer < 0 || layer > kLayers)
            return false;
        const std::int32_t threshold = selectedlayers[static_cast<std::size_t>(layer)];
        return threshold != 0 && ZoomState >= threshold;
    }
};

} // namespace zan
