#include "files/SettingsSections.h"

#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace zan {

namespace {

using i32 = std::int32_t;

// Name lists (coverage names, shortest-path groups) hold a few names typed by the user; a count
// beyond this is a damaged file.
constexpr i32 kMaxNameCount = 100000;
constexpr std::size_t kCriterionLength = 255;
constexpr std::size_t kPlotLabelLength = 80;
constexpr std::size_t kFaceNameLength = 32;
constexpr std::size_t kLayerNameLength = 30;
constexpr i32 kMaxLabelCode = 110;

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

i32 InRange(i32 v, i32 lo, i32 hi, i32 fallback) {
    return v < lo || v > hi ? fallback : v;
}

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::string Cut(std::string s, std::size_t n) {
    if (s.size() > n)
        s.resize(n);
    return s;
}

// Reading. A "line" layout: the integers (reals) it names, then the rest of the line is discarded.

bool Ints(TFileReader& in, std::initializer_list<i32*> values) {
    for (i32* v : values) {
        if (!in.ReadInt(*v))
            return false;
    }
    in.SkipLine();
    return true;
}

bool Reals(TFileReader& in, std::initializer_list<double*> values) {
    for (double* v : values) {
        if (!in.ReadReal(*v))
            return false;
    }
    in.SkipLine();
    return true;
}

bool Flags(TFileReader& in, std::initializer_list<bool*> values) {
    for (bool* b : values) {
        i32 v = 0;
        if (!in.ReadInt(v))
            return false;
        *b = v != 0;
    }
    in.SkipLine();
    return true;
}

// One whole line of text; false at the end of the data.
bool TextLine(TFileReader& in, std::string& s) {
    return in.ReadLine(s);
}

// A count line followed by that many name lines.
bool NameList(TFileReader& in, i32 count, std::vector<std::string>& names) {
    if (count < 0 || count > kMaxNameCount)
        return false;
    std::vector<std::string> read;
    for (i32 i = 0; i < count; ++i) {
        std::string name;
        if (!TextLine(in, name))
            return false;
        read.push_back(std::move(name));
    }
    names = std::move(read);
    return true;
}

// Writing.

void IntsLine(TFileWriter& out, std::initializer_list<std::int64_t> values) {
    bool first = true;
    for (std::int64_t v : values) {
        if (!first)
            out.Blank();
        out.Int(v);
        first = false;
    }
    out.EndLine();
}

void RealsLine(TFileWriter& out, std::initializer_list<double> values) {
    bool first = true;
    for (double v : values) {
        if (!first)
            out.Blank();
        out.Real(v);
        first = false;
    }
    out.EndLine();
}

void TextLine(TFileWriter& out, std::string_view s) {
    out.Line(s);
}

template <class E> i32 Code(E e) {
    return static_cast<i32>(e);
}

// Polygon styles are stored by file codes. Brush: 0 clear, 1 solid, 2 backward diagonal, 3 cross,
// 4 diagonal cross, 5 forward diagonal, 6 horizontal, 7 vertical, 8 open polyline, 11..250 fill
// bitmaps. Pen: 0 clear, 1..6 solid of that width, 7..10 dash, dot, dash-dot, dash-dot-dot of width 1.
constexpr i32 kFileBrushToStyle[9] = {1, 0, 5, 6, 7, 4, 2, 3, 8};
constexpr i32 kStyleToFileBrush[9] = {1, 0, 6, 7, 5, 2, 3, 4, 8};
constexpr i32 kClearPen = 5;

bool IsBitmapBrush(i32 code) {
    return code >= 11 && code <= 250;
}

i32 BrushCodeForWrite(i32 brushstyle, int version) {
    if (brushstyle >= 0 && brushstyle <= 8)
        return kStyleToFileBrush[brushstyle];
    if (IsBitmapBrush(brushstyle))
        return version >= 7 ? brushstyle : 1; // older versions have no fill bitmaps: solid
    return kStyleToFileBrush[TPolygonStyle{}.brushstyle];
}

i32 BrushStyleOnRead(i32 code) {
    if (code >= 0 && code <= 8)
        return kFileBrushToStyle[code];
    if (IsBitmapBrush(code))
        return code;
    return TPolygonStyle{}.brushstyle;
}

i32 PenCodeForWrite(const TPolygonStyle& s) {
    if (s.penstyle == kClearPen)
        return 0;
    if (s.penstyle >= 1 && s.penstyle <= 4)
        return 6 + s.penstyle;
    return s.penwidth < 1 ? 1 : s.penwidth > 6 ? 6 : s.penwidth;
}

void PenOnRead(i32 code, TPolygonStyle& s) {
    if (code == 0) {
        s.penstyle = kClearPen;
        s.penwidth = 0;
    } else if (code >= 1 && code <= 6) {
        s.penstyle = 0;
        s.penwidth = code;
    } else if (code >= 7 && code <= 10) {
        s.penstyle = code - 6;
        s.penwidth = 1;
    } else {
        s.penstyle = TPolygonStyle{}.penstyle;
        s.penwidth = TPolygonStyle{}.penwidth;
    }
}

// The description's line breaks travel as "&&" so that it stays on one line.
std::string EncodeLineBreaks(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "&&";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::string DecodeLineBreaks(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] == '&') {
            out += "\r\n";
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

int IntervalCount(int version) {
    return version < 6 ? 10 : kWidthIntervals;
}

bool FileExists(const std::string& name) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(name), ec) && !ec;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Label codes

int LabelCodeForWrite(int code, int version) {
    if (version < 8 && code >= 108 && code <= 110)
        return 0;
    if (version < 7 && (code == 106 || code == 107))
        return 0;
    if (version < 6) {
        if (code >= 11 && code <= 100)
            return 10; // attributes beyond 10 do not exist there; 100 goes with them
        if (code > 100)
            return code - 90;
    }
    return code;
}

int LabelCodeOnRead(int code, int version) {
    if (version <= 5 && code > 10)
        code += 90;
    return code < 0 || code > kMaxLabelCode ? 0 : code;
}

const char* ScaleUnitName(int units) {
    static const char* const names[] = {"Pixels", "Miles", "Feet", "Kilometers", "Meters"};
    return units >= 0 && units <= 4 ? names[units] : names[0];
}

// ---------------------------------------------------------------------------------------------
// Label settings

bool ReadLabelSettings(TFileReader& in, TWindowSettings& ws, int version) {
    TLabelSettings& l = ws.Labels;
    const TLabelSettings defaults;
    i32 nodePos = 0, linkPos = 0, maxNode = 0, maxLink = 0;
    if (!in.ReadInt(nodePos) || !in.ReadInt(linkPos) || !in.ReadInt(maxNode) || !in.ReadInt(maxLink) ||
        !Flags(in, {&l.rotatelinklabels, &l.LabelOpaque, &l.SuppressAllLabels, &l.RoundedNumbers})) {
        return false;
    }
    l.NodeLabelPosition = InRange(nodePos, 1, 7, defaults.NodeLabelPosition);
    if (version >= 5) {
        // The link position carries the side of line 1 of rotated labels in its hundreds.
        const i32 first = linkPos < 0 ? -1 : linkPos / 100;
        l.LinkLabelPosition = InRange(linkPos < 0 ? -1 : linkPos % 100, 1, 7, defaults.LinkLabelPosition);
        l.firstlabel = static_cast<TFirstLabelPosition>(InRange(first, 0, 2, Code(defaults.firstlabel)));
    } else {
        l.LinkLabelPosition = InRange(linkPos, 1, 7, defaults.LinkLabelPosition);
    }
    l.labelnodes[kLastEntityType + 1][0] = maxNode < 0 ? 0 : maxNode;
    l.labellinks[kLastEntityType + 1][0] = maxLink < 0 ? 0 : maxLink;
    if (version >= 6) {
        i32 precision = 0;
        if (!Ints(in, {&precision}))
            return false;
        l.RealPrecision = InRange(precision, 0, 30, defaults.RealPrecision);
    }
    for (int i = 0; i <= kLastEntityType; ++i) {
        i32 nodeFont = 0, linkFont = 0;
        TLabelCodes& links = l.labellinks[At(i)];
        TLabelCodes& nodes = l.labelnodes[At(i)];
        if (!Ints(in, {&nodeFont, &linkFont, &links[0], &links[1], &nodes[0], &nodes[1]}))
            return false;
        l.NodeLabelFonts[At(i)] = InRange(nodeFont, 0, 10, 0);
        l.LinkLabelFonts[At(i)] = InRange(linkFont, 0, 10, 0);
        for (i32* code : {&links[0], &links[1], &nodes[0], &nodes[1]})
            *code = LabelCodeOnRead(*code, version);
        l.NodeLabelsThere[At(i)] = nodes[0] > 0 || nodes[1] > 0;
        l.LinkLabelsThere[At(i)] = links[0] > 0 || links[1] > 0;
    }
    for (int j = 0; j < kFontSlots; ++j) {
        if (!TextLine(in, l.FontNames[At(j)]) || !Ints(in, {&l.FontColorArray[At(j)]}))
            return false;
    }
    for (int k = 0; k < kFontSlots; ++k) {
        TLogFont& f = l.LogFontArray[At(k)];
        std::string face;
        if (!TextLine(in, face))
            return false;
        f.FaceName = TrimRight(Cut(std::move(face), kFaceNameLength));
        i32 height = 0, weight = 0;
        if (!in.ReadInt(height) || !in.ReadInt(weight) || !Flags(in, {&f.Italic, &f.StrikeOut, &f.Underline}))
            return false;
        f.Height = InRange(height, -32767, 32767, defaults.LogFontArray[At(k)].Height);
        f.Weight = InRange(weight, 0, 1000, defaults.LogFontArray[At(k)].Weight);
    }
    return true;
}

void WriteLabelSettings(TFileWriter& out, const TWindowSettings& ws, int version) {
    const TLabelSettings& l = ws.Labels;
    const std::int64_t linkPos = l.LinkLabelPosition + (version >= 5 ? 100 * Code(l.firstlabel) : 0);
    IntsLine(out, {l.NodeLabelPosition, linkPos, l.MaxNodeLabelLength(), l.MaxLinkLabelLength(),
                   l.rotatelinklabels, l.LabelOpaque, l.SuppressAllLabels, l.RoundedNumbers});
    if (version >= 6)
        IntsLine(out, {l.RealPrecision});
    for (int i = 0; i <= kLastEntityType; ++i) {
        const TLabelCodes& links = l.labellinks[At(i)];
        const TLabelCodes& nodes = l.labelnodes[At(i)];
        IntsLine(out, {l.NodeLabelFonts[At(i)], l.LinkLabelFonts[At(i)], LabelCodeForWrite(links[0], version),
                       LabelCodeForWrite(links[1], version), LabelCodeForWrite(nodes[0], version),
                       LabelCodeForWrite(nodes[1], version)});
    }
    for (int j = 0; j < kFontSlots; ++j) {
        TextLine(out, l.FontNames[At(j)]);
        IntsLine(out, {l.FontColorArray[At(j)]});
    }
    for (int k = 0; k < kFontSlots; ++k) {
        const TLogFont& f = l.LogFontArray[At(k)];
        TextLine(out, std::string_view(f.FaceName).substr(0, kFaceNameLength));
        IntsLine(out, {f.Height, f.Weight, f.Italic, f.StrikeOut, f.Underline});
    }
}

// ---------------------------------------------------------------------------------------------
// Width and size settings

bool ReadWidthSettings(TFileReader& in, TWindowSettings& ws, int version) {
    TWidthData& wd = ws.wd;
    const int c = IntervalCount(version);
    for (int k = 1; k <= c; ++k) {
        if (!Reals(in, {&wd.linktop[At(k)], &wd.linkbottom[At(k)]}))
            return false;
    }
    for (int i = 1; i <= kLastEntityType; ++i) {
        std::string text;
        if (!TextLine(in, text))
            return false;
        wd.linkcriterion[At(i)] = Cut(std::move(text), kCriterionLength);
    }
    for (int k = 1; k <= c; ++k) {
        if (!Reals(in, {&wd.nodetopf[At(k)], &wd.nodebottomf[At(k)]}))
            return false;
    }
    for (int i = 1; i <= kLastEntityType; ++i) {
        std::string text;
        if (!TextLine(in, text))
            return false;
        wd.nodecriterion[At(i)] = Cut(std::move(text), kCriterionLength);
    }
    // Files of some older releases end here.
    if (in.AtEnd())
        return true;
    const auto defaults = DefaultIntervalValues();
    for (int k = 1; k <= c; ++k) {
        i32 node = 0, link = 0;
        if (!Ints(in, {&node, &link}))
            return false;
        // Interval values are sizes, widths, colour indices, polygon styles or bitmap numbers: 0..255.
        wd.nodeactual[At(k)] = InRange(node, 0, 255, defaults[At(k)]);
        wd.linkactual[At(k)] = InRange(link, 0, 255, defaults[At(k)]);
    }
    if (version >= 7) {
        for (int k = 1; k <= c; ++k) {
            if (!Flags(in, {&wd.nodelegend[At(k)], &wd.linklegend[At(k)]}))
                return false;
        }
        for (int i = 1; i <= kLastEntityType; ++i) {
            if (!Flags(in, {&wd.nodeentitylegend[At(i)], &wd.linkentitylegend[At(i)]}))
                return false;
        }
    }
    return true;
}

void WriteWidthSettings(TFileWriter& out, const TWindowSettings& ws, int version) {
    const TWidthData& wd = ws.wd;
    const int c = IntervalCount(version);
    for (int k = 1; k <= c; ++k)
        RealsLine(out, {wd.linktop[At(k)], wd.linkbottom[At(k)]});
    for (int i = 1; i <= kLastEntityType; ++i)
        TextLine(out, std::string_view(wd.linkcriterion[At(i)]).substr(0, kCriterionLength));
    for (int k = 1; k <= c; ++k)
        RealsLine(out, {wd.nodetopf[At(k)], wd.nodebottomf[At(k)]});
    for (int i = 1; i <= kLastEntityType; ++i)
        TextLine(out, std::string_view(wd.nodecriterion[At(i)]).substr(0, kCriterionLength));
    for (int k = 1; k <= c; ++k)
        IntsLine(out, {wd.nodeactual[At(k)], wd.linkactual[At(k)]});
    if (version >= 7) {
        for (int k = 1; k <= c; ++k)
            IntsLine(out, {wd.nodelegend[At(k)], wd.linklegend[At(k)]});
        for (int i = 1; i <= kLastEntityType; ++i)
            IntsLine(out, {wd.nodeentitylegend[At(i)], wd.linkentitylegend[At(i)]});
    }
}

// ---------------------------------------------------------------------------------------------
// Display settings

namespace {

// The shortest-path settings of versions 6 and later.
bool ReadShortestPaths(TFileReader& in, TDisplaySettings& d, int version) {
    const TDisplaySettings defaults;
    for (int i = 1; i <= kLastEntityType; ++i) {
        i32 l = 0, n = 0, blocking = 0;
        if (!Ints(in, {&l, &n, &blocking}))
            return false;
        d.MarkedAttributesL[At(i)] = InRange(l, 0, 100, 0);
        d.MarkedAttributesN[At(i)] = InRange(n, 0, 100, 0);
        d.BlockingNodes[At(i)] = blocking != 0;
    }
    auto mark = [&](i32 v) { return InRange(v, -999999, 999999, defaults.LinkMark[1]); };
    for (int i = 1; i <= 9; ++i) {
        i32 m = 0;
        if (version >= 8) {
            i32 count = 0;
            if (!Ints(in, {&m, &count}) || !NameList(in, count, d.ShortestPathNameList[At(i)]))
                return false;
        } else {
            std::string name;
            if (!TextLine(in, name) || !Ints(in, {&m}))
                return false;
            d.ShortestPathNameList[At(i)].clear();
            if (!name.empty())
                d.ShortestPathNameList[At(i)].push_back(std::move(name));
        }
        d.LinkMark[At(i)] = mark(m);
    }
    std::string endName;
    i32 m10 = 0, how = 0;
    if (!TextLine(in, endName) || !Ints(in, {&m10}) || !Ints(in, {&how}))
        return false;
    d.ShortestPathEndName = Cut(std::move(endName), 255);
    d.LinkMark[10] = mark(m10);
    d.HowNodesMarked = InRange(how, 0, 1, defaults.HowNodesMarked);
    return true;
}

void WriteShortestPaths(TFileWriter& out, const TDisplaySettings& d, int version) {
    for (int i = 1; i <= kLastEntityType; ++i)
        IntsLine(out, {d.MarkedAttributesL[At(i)], d.MarkedAttributesN[At(i)], d.BlockingNodes[At(i)]});
    for (int i = 1; i <= 9; ++i) {
        const std::vector<std::string>& names = d.ShortestPathNameList[At(i)];
        if (version >= 8) {
            IntsLine(out, {d.LinkMark[At(i)], static_cast<std::int64_t>(names.size())});
            for (const std::string& name : names)
                TextLine(out, name);
        } else {
            TextLine(out, names.empty() ? std::string_view() : std::string_view(names.front()));
            IntsLine(out, {d.LinkMark[At(i)]});
        }
    }
    TextLine(out, std::string_view(d.ShortestPathEndName).substr(0, 255));
    IntsLine(out, {d.LinkMark[10]});
    IntsLine(out, {d.HowNodesMarked});
}

} // namespace

bool ReadDisplaySettings(TFileReader& in, TWindowSettings& ws, int version) {
    TWidthData& wd = ws.wd;
    TDisplaySettings& d = ws.Display;
    const TDisplaySettings defaults;
    const TWidthData wdDefaults;
    const TWindowSettings wsDefaults;

    i32 linkStatus = 0, nodeStatus = 0, linkNotFound = 0, nodeNotFound = 0, shape = 0, extent = 0, aend = 0;
    if (!Ints(in, {&linkStatus, &nodeStatus, &linkNotFound, &nodeNotFound, &shape, &extent, &aend}))
        return false;
    wd.linkwidthstatus =
        static_cast<TWidthStatus>(InRange(linkStatus, 0, 4, Code(wdDefaults.linkwidthstatus)));
    wd.nodewidthstatus =
        static_cast<TWidthStatus>(InRange(nodeStatus, 0, 4, Code(wdDefaults.nodewidthstatus)));
    wd.linknotfoundaction = linkNotFound != 0;
    wd.nodenotfoundaction = nodeNotFound != 0;
    wd.GlobalShape = static_cast<TGlobalShape>(InRange(shape, 0, 5, Code(wdDefaults.GlobalShape)));
    // The node extent also sizes the ring search around a click: keep it small.
    ws.NodeExtent = InRange(extent, 2, 10, wsDefaults.NodeExtent);
    wd.showaend = static_cast<TAEndDotShape>(InRange(aend, 0, 5, Code(wdDefaults.showaend)));

    if (version >= 6) {
        if (!Flags(in, {&d.PrimaryOnRight, &wd.SuppressShapes}))
            return false;
    } else {
        d.PrimaryOnRight = true;
        wd.SuppressShapes = false;
    }
    if (!Flags(in, {&d.PolygonsAreOpaque, &d.PolygonLayerIsFirst, &d.Monochrome, &d.CenterTitle}))
        return false;
    if (version >= 5) {
        if (!Flags(in, {&wd.UsePolygonColors}))
            return false;
    } else {
        wd.UsePolygonColors = false;
    }
    if (!Reals(in, {&d.ClipLeft, &d.ClipRight, &d.ClipTop, &d.ClipBottom}) ||
        !Reals(in, {&d.plotterscale, &d.ImageLeft, &d.ImageDown})) {
        return false;
    }
    std::string title;
    if (!TextLine(in, title))
        return false;
    d.plotlabel = Cut(std::move(title), kPlotLabelLength);

    // Custom colours 1..16. Versions below 6 hold a marker line and then colours 1..15 only.
    std::array<i32, 17> colors{};
    for (int i = 1; i <= 16; ++i) {
        if (!Ints(in, {&colors[At(i)]}))
            return false;
    }
    for (int i = 1; i <= 16; ++i) {
        if (version >= 6)
            d.customcolors[At(i)] = colors[At(i)];
        else
            d.customcolors[At(i)] = i < 16 ? colors[At(i + 1)] : 0;
    }

    const int c = IntervalCount(version);
    for (int row = 0; row <= c; ++row) {
        TPolygonStyle& s = d.polygonstyles[At(row)];
        i32 brushColor = 0, brushCode = 0, penColor = 0, penCode = 0;
        if (!Ints(in, {&brushColor, &brushCode, &penColor, &penCode}))
            return false;
        s.brushcolor = brushColor;
        s.brushstyle = BrushStyleOnRead(brushCode);
        s.pencolor = penColor;
        PenOnRead(penCode, s);
    }
    for (int i = 0; i <= kLastEntityType; ++i) {
        i32 style = 0;
        if (!Ints(in, {&style}))
            return false;
        // Negative styles hide the polygon; styles above 40 do not exist.
        d.entitypolygonstyles[At(i)] = style > kUserPolygonStyles - 1 ? kUserPolygonStyles - 1 : style;
    }
    if (version >= 8) {
        i32 count = 0;
        if (!Ints(in, {&count}) || !NameList(in, count, d.CoverageNameList))
            return false;
    }
    if (version >= 6 && !ReadShortestPaths(in, d, version))
        return false;
    if (version >= 7) {
        i32 nodeBox = 0, linkBox = 0, nodeFont = 0, linkFont = 0;
        if (!Ints(in, {&wd.anodelegend.x, &wd.anodelegend.y, &wd.alinklegend.x, &wd.alinklegend.y}) ||
            !Ints(in, {&nodeBox, &linkBox, &nodeFont, &linkFont})) {
            return false;
        }
        wd.anodelegend.dobox = nodeBox != 0;
        wd.alinklegend.dobox = linkBox != 0;
        wd.anodelegend.afont = InRange(nodeFont, 0, kFontSlots - 1, wdDefaults.anodelegend.afont);
        wd.alinklegend.afont = InRange(linkFont, 0, kFontSlots - 1, wdDefaults.alinklegend.afont);
    }
    if (version >= 8) {
        std::array<i32, 11> pie{};
        for (int i = 1; i <= 10; ++i) {
            if (!in.ReadInt(pie[At(i)]))
                return false;
        }
        in.SkipLine();
        for (int i = 1; i <= 10; ++i)
            d.PieColorList[At(i)] = InRange(pie[At(i)], 0, 15, defaults.PieColorList[At(i)]);
        if (!Reals(in, {&d.MarkMaxDistance}))
            return false;
        std::string desire;
        i32 show = 0, placement = 0, ghost = 0, ghostColor = 0;
        if (!TextLine(in, desire) || !Ints(in, {&show, &placement, &ghost, &ghostColor}))
            return false;
        wd.desirecriterion = Cut(std::move(desire), kCriterionLength);
        d.ShowDesireLines = show != 0;
        d.DesirePlacement = InRange(placement, 0, 2, defaults.DesirePlacement);
        d.GhostDrawLinks = ghost != 0;
        d.GhostColor = InRange(ghostColor, 0, 25, defaults.GhostColor);
    }
    return true;
}

void WriteDisplaySettings(TFileWriter& out, const TWindowSettings& ws, int version) {
    const TWidthData& wd = ws.wd;
    const TDisplaySettings& d = ws.Display;

    TWidthStatus linkStatus = wd.linkwidthstatus;
    if (version < 6 && linkStatus == TWidthStatus::arrow)
        linkStatus = TWidthStatus::nonee;
    TAEndDotShape aend = wd.showaend;
    if (version < 7 && aend == TAEndDotShape::linkbitmap)
        aend = TAEndDotShape::nodot;
    IntsLine(out, {Code(linkStatus), Code(wd.nodewidthstatus), wd.linknotfoundaction, wd.nodenotfoundaction,
                   Code(wd.GlobalShape), ws.NodeExtent, Code(aend)});
    if (version >= 6)
        IntsLine(out, {d.PrimaryOnRight, wd.SuppressShapes});
    IntsLine(out, {d.PolygonsAreOpaque, d.PolygonLayerIsFirst, d.Monochrome, d.CenterTitle});
    if (version >= 5)
        IntsLine(out, {wd.UsePolygonColors});
    RealsLine(out, {d.ClipLeft, d.ClipRight, d.ClipTop, d.ClipBottom});
    RealsLine(out, {d.plotterscale, d.ImageLeft, d.ImageDown});
    TextLine(out, std::string_view(d.plotlabel).substr(0, kPlotLabelLength));
    if (version >= 6) {
        for (int i = 1; i <= 16; ++i)
            IntsLine(out, {d.customcolors[At(i)]});
    } else {
        IntsLine(out, {-16777215});
        for (int i = 1; i <= 15; ++i)
            IntsLine(out, {d.customcolors[At(i)]});
    }
    const int c = IntervalCount(version);
    for (int row = 0; row <= c; ++row) {
        const TPolygonStyle& s = d.polygonstyles[At(row)];
        IntsLine(out,
                 {s.brushcolor, BrushCodeForWrite(s.brushstyle, version), s.pencolor, PenCodeForWrite(s)});
    }
    for (int i = 0; i <= kLastEntityType; ++i) {
        i32 style = d.entitypolygonstyles[At(i)];
        if (version < 6 && style > 10)
            style = 10;
        IntsLine(out, {style, 0, 0, 0});
    }
    if (version >= 8) {
        IntsLine(out, {static_cast<std::int64_t>(d.CoverageNameList.size())});
        for (const std::string& name : d.CoverageNameList)
            TextLine(out, name);
    }
    if (version >= 6)
        WriteShortestPaths(out, d, version);
    if (version >= 7) {
        IntsLine(out, {wd.anodelegend.x, wd.anodelegend.y, wd.alinklegend.x, wd.alinklegend.y});
        IntsLine(out,
                 {wd.anodelegend.dobox, wd.alinklegend.dobox, wd.anodelegend.afont, wd.alinklegend.afont});
    }
    if (version >= 8) {
        for (int i = 1; i <= 10; ++i) {
            out.Blank();
            out.Int(d.PieColorList[At(i)]);
        }
        out.EndLine();
        RealsLine(out, {d.MarkMaxDistance});
        TextLine(out, std::string_view(wd.desirecriterion).substr(0, kCriterionLength));
        IntsLine(out, {d.ShowDesireLines, d.DesirePlacement, d.GhostDrawLinks, d.GhostColor});
    }
}

// ---------------------------------------------------------------------------------------------
// Layers

bool ReadLayers(TFileReader& in, TWindowSettings& ws, int /*version*/) {
    const TWindowSettings defaults;
    for (int i = 1; i <= kLayers; ++i) {
        i32 threshold = 0;
        if (!in.ReadInt(threshold))
            return false;
        in.SkipBlank();
        std::string name = TrimRight(in.ReadText(kLayerNameLength));
        in.SkipLine();
        ws.selectedlayers[At(i)] = InRange(threshold, 0, kZoomStates, defaults.selectedlayers[At(i)]);
        ws.layernames[At(i)] = std::move(name);
    }
    return true;
}

void WriteLayers(TFileWriter& out, const TWindowSettings& ws, int version) {
    for (int i = 1; i <= kLayers; ++i) {
        i32 threshold = ws.selectedlayers[At(i)];
        if (version < 7 && threshold > 0)
            threshold = 1; // older versions only know shown or hidden
        out.Int(threshold);
        out.Blank();
        out.Text(ws.layernames[At(i)], kLayerNameLength);
        out.EndLine();
    }
}

// ---------------------------------------------------------------------------------------------
// Backgrounds

bool ReadBackgrounds(TFileReader& in, TWindowSettings& ws, int /*version*/) {
    TBackgrounds& b = ws.Backgrounds;
    for (int i = 1; i <= kBackgroundSlots; ++i) {
        std::string name;
        i32 unused = 0, notJpegFirst = 0;
        if (!TextLine(in, name) || !in.ReadInt(unused) || !in.ReadInt(notJpegFirst) ||
            !Reals(in, {&b.BackTop[At(i)], &b.BackLeft[At(i)], &b.BackXScale[At(i)], &b.BackYScale[At(i)]})) {
            return false;
        }
        b.BackgroundName[At(i)] = std::move(name);
        if (i == 1)
            b.JpegFirst = notJpegFirst == 0;
    }
    for (int i = 1; i <= kBackgroundSlots; ++i) {
        std::string name;
        i32 unused = 0, jpegFirst = 0;
        if (!TextLine(in, name) || !in.ReadInt(unused) || !in.ReadInt(jpegFirst) ||
            !Reals(in,
                   {&b.WBackTop[At(i)], &b.WBackLeft[At(i)], &b.WBackXScale[At(i)], &b.WBackYScale[At(i)]})) {
            return false;
        }
        if (name == "Clipboard") {
            // A pasted metafile is not in the file; the slot stays empty rather than taking whatever
            // the clipboard holds now.
            name.clear();
            b.WBackTop[At(i)] = b.WBackLeft[At(i)] = 0;
            b.WBackXScale[At(i)] = b.WBackYScale[At(i)] = 1;
        }
        b.WBackgroundName[At(i)] = std::move(name);
    }
    return true;
}

void WriteBackgrounds(TFileWriter& out, const TWindowSettings& ws, int /*version*/) {
    const TBackgrounds& b = ws.Backgrounds;
    for (int i = 1; i <= kBackgroundSlots; ++i) {
        TextLine(out, b.BackgroundName[At(i)]);
        out.Raw("0 ");
        out.Int(b.JpegFirst ? 0 : 1);
        out.Blank();
        RealsLine(out, {b.BackTop[At(i)], b.BackLeft[At(i)], b.BackXScale[At(i)], b.BackYScale[At(i)]});
    }
    for (int i = 1; i <= kBackgroundSlots; ++i) {
        if (b.WBackgroundName[At(i)] == "Clipboard") {
            out.EndLine();
            out.Raw("0 ");
            out.Int(b.JpegFirst ? 1 : 0);
            out.Raw(" 0.0 0.0 1.0 1.0");
            out.EndLine();
            continue;
        }
        TextLine(out, b.WBackgroundName[At(i)]);
        out.Raw("0 ");
        out.Int(b.JpegFirst ? 1 : 0);
        out.Blank();
        RealsLine(out, {b.WBackTop[At(i)], b.WBackLeft[At(i)], b.WBackXScale[At(i)], b.WBackYScale[At(i)]});
    }
}

std::vector<std::string> MissingBackgroundFiles(const TBackgrounds& b) {
    std::vector<std::string> missing;
    for (const auto* names : {&b.BackgroundName, &b.WBackgroundName}) {
        for (int i = 1; i <= kBackgroundSlots; ++i) {
            const std::string& name = (*names)[At(i)];
            if (!name.empty() && name != "Clipboard" && !FileExists(name))
                missing.push_back(name);
        }
    }
    return missing;
}

// ---------------------------------------------------------------------------------------------
// Geographic parameters

bool ReadGeoParameters(TFileReader& in, TWindowSettings& ws, int /*version*/) {
    TGeoParameters& g = ws.Geo;
    const TGeoParameters defaults;
    i32 method = 0, range = 0, update = 0, units = 0;
    if (!in.ReadInt(method) || !in.ReadReal(g.ShapeXTranslate) || !in.ReadReal(g.ShapeYTranslate) ||
        !in.ReadReal(g.ShapeYScale) || !Ints(in, {&range, &update})) {
        return false;
    }
    g.ProjectionMethod = InRange(method, 0, 3, defaults.ProjectionMethod);
    g.InterpolationRange = InRange(range, 1, 600, defaults.InterpolationRange);
    g.UpdateLongLat = update != 0;
    if (!TextLine(in, g.PivotNodeName) || !TextLine(in, g.SecondNodeName))
        return false;
    if (!in.ReadInt(units) || !Reals(in, {&ws.NetworkScale}))
        return false;
    g.ScaleUnits = InRange(units, 0, 4, defaults.ScaleUnits);
    g.ScaleString = ScaleUnitName(g.ScaleUnits);
    return true;
}

void WriteGeoParameters(TFileWriter& out, const TWindowSettings& ws, int /*version*/) {
    const TGeoParameters& g = ws.Geo;
    out.Int(g.ProjectionMethod);
    for (double v : {g.ShapeXTranslate, g.ShapeYTranslate, g.ShapeYScale}) {
        out.Blank();
        out.Real(v);
    }
    out.Blank();
    IntsLine(out, {g.InterpolationRange, g.UpdateLongLat});
    TextLine(out, g.PivotNodeName);
    TextLine(out, g.SecondNodeName);
    out.Int(g.ScaleUnits);
    out.Blank();
    RealsLine(out, {ws.NetworkScale});
}

// ---------------------------------------------------------------------------------------------
// Description box

bool ReadDescriptionBox(TFileReader& in, TWindowSettings& ws, int /*version*/) {
    TDescriptionBox& a = ws.adescription;
    std::string description;
    if (!TextLine(in, a.job) || !TextLine(in, a.project) || !TextLine(in, a.author) ||
        !TextLine(in, a.customer) || !TextLine(in, a.organization) || !TextLine(in, description)) {
        return false;
    }
    a.description = DecodeLineBreaks(description);
    if (!Flags(in, {&a.writejob, &a.writeproject, &a.writeauthor, &a.writecustomer, &a.writeorganization,
                    &a.writedescription, &a.showcaptions, &a.drawbox, &a.addtoday}) ||
        !Ints(in, {&a.x, &a.y})) {
        return false;
    }
    std::array<i32*, 6> fonts{&a.projectfont,  &a.organizationfont, &a.jobfont,
                              &a.customerfont, &a.authorfont,       &a.descriptionfont};
    for (i32* f : fonts) {
        if (!in.ReadInt(*f))
            return false;
    }
    in.SkipLine();
    for (i32* f : fonts)
        *f = InRange(*f, 0, kFontSlots - 1, 0);
    return true;
}

void WriteDescriptionBox(TFileWriter& out, const TWindowSettings& ws, int /*version*/) {
    const TDescriptionBox& a = ws.adescription;
    for (const std::string* s : {&a.job, &a.project, &a.author, &a.customer, &a.organization})
        TextLine(out, *s);
    TextLine(out, EncodeLineBreaks(a.description));
    IntsLine(out, {a.writejob, a.writeproject, a.writeauthor, a.writecustomer, a.writeorganization,
                   a.writedescription, a.showcaptions, a.drawbox, a.addtoday});
    IntsLine(out, {a.x, a.y});
    IntsLine(out,
             {a.projectfont, a.organizationfont, a.jobfont, a.customerfont, a.authorfont, a.descriptionfont});
}

// ---------------------------------------------------------------------------------------------
// Extract and update settings

bool ReadExtractSettings(TFileReader& in, TWindowSettings& ws, int /*version*/) {
    TExtractSettings& e = ws.Extract;
    const TExtractSettings defaults;
    for (auto& family : e.reports) {
        for (int i = 1; i <= kLastEntityType; ++i) {
            if (!TextLine(in, family[At(i)]))
                return false;
        }
    }
    i32 form = 0, type = 0;
    if (!Ints(in, {&form}) || !Ints(in, {&type}) || !Flags(in, {&e.UpdateAssumeNames}) ||
        !Flags(in, {&e.ExtractPolygonsOnly}) || !Flags(in, {&e.filternodes})) {
        return false;
    }
    e.extractform = static_cast<TExtractFormat>(InRange(form, 0, 3, Code(defaults.extractform)));
    e.updatetype = InRange(type, 0, 2, defaults.updatetype);
    return true;
}

void WriteExtractSettings(TFileWriter& out, const TWindowSettings& ws, int /*version*/) {
    const TExtractSettings& e = ws.Extract;
    for (const auto& family : e.reports) {
        for (int i = 1; i <= kLastEntityType; ++i)
            TextLine(out, family[At(i)]);
    }
    IntsLine(out, {Code(e.extractform)});
    IntsLine(out, {e.updatetype});
    IntsLine(out, {e.UpdateAssumeNames});
    IntsLine(out, {e.ExtractPolygonsOnly});
    IntsLine(out, {e.filternodes});
}

} // namespace zan
