#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <unistd.h>

#include "files/SettingsSections.h"

namespace zan {
namespace {

using Reader = bool (*)(TFileReader&, TWindowSettings&, int);
using Writer = void (*)(TFileWriter&, const TWindowSettings&, int);

struct Section {
    const char* name;
    Writer write;
    Reader read;
};

// In file order.
const Section kSections[] = {
    {"labels", WriteLabelSettings, ReadLabelSettings},
    {"widths", WriteWidthSettings, ReadWidthSettings},
    {"display", WriteDisplaySettings, ReadDisplaySettings},
    {"layers", WriteLayers, ReadLayers},
    {"backgrounds", WriteBackgrounds, ReadBackgrounds},
    {"geo", WriteGeoParameters, ReadGeoParameters},
    {"description", WriteDescriptionBox, ReadDescriptionBox},
    {"extract", WriteExtractSettings, ReadExtractSettings},
};

const Section& SectionNamed(std::string_view name) {
    for (const Section& s : kSections) {
        if (name == s.name)
            return s;
    }
    throw std::logic_error("no such section");
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && i < lines.size(); ++i)
        text += lines[i] + "\r\n";
    return text;
}

std::string Write(const Section& s, const TWindowSettings& ws, int version) {
    TFileWriter out;
    s.write(out, ws, version);
    return out.Data();
}

// Settings that differ from a new network's wherever the format can carry it.
TWindowSettings NonDefault() {
    TWindowSettings ws;
    TLabelSettings& l = ws.Labels;
    l.NodeLabelPosition = 2;
    l.LinkLabelPosition = 3;
    l.firstlabel = TFirstLabelPosition::onleft;
    l.labelnodes[11][0] = 25;
    l.labellinks[11][0] = 40;
    l.rotatelinklabels = true;
    l.SuppressAllLabels = true;
    l.RealPrecision = 4;
    l.labelnodes[3] = {101, 7};
    l.labellinks[10] = {0, 110};
    l.NodeLabelFonts[3] = 4;
    l.LinkLabelFonts[10] = 10;
    l.NodeLabelsThere[3] = true;
    l.LinkLabelsThere[10] = true;
    l.FontNames[5] = "5. Courier New, 12";
    l.FontColorArray[5] = 0x0000FF;
    l.LogFontArray[5] = TLogFont{"Courier New", -20, 700, true, false, true};
    l.LogFontArray[11].FaceName = "Times New Roman";

    TWidthData& wd = ws.wd;
    wd.linktop[1] = 1.5;
    wd.linkbottom[1] = -2.5;
    wd.linktop[40] = 1e10;
    wd.nodetopf[40] = 0.125;
    wd.nodebottomf[2] = -7;
    wd.linkcriterion[1] = "A1*2";
    wd.nodecriterion[10] = "{x}:'a:b'";
    wd.nodeactual[40] = 200;
    wd.linkactual[1] = 0;
    wd.nodelegend[40] = true;
    wd.linklegend[1] = true;
    wd.nodeentitylegend[10] = true;
    wd.linkentitylegend[1] = true;
    wd.linkwidthstatus = TWidthStatus::arrow;
    wd.nodewidthstatus = TWidthStatus::traverse;
    wd.linknotfoundaction = false;
    wd.GlobalShape = TGlobalShape::piegraph;
    ws.NodeExtent = 6;
    wd.showaend = TAEndDotShape::linkbitmap;
    wd.SuppressShapes = true;
    wd.UsePolygonColors = true;
    wd.anodelegend = TLegendRecord{-100, 250, 11, true};
    wd.alinklegend = TLegendRecord{7, -8, 2, false};
    wd.desirecriterion = "A1:A2";

    TDisplaySettings& d = ws.Display;
    d.PrimaryOnRight = false;
    d.PolygonsAreOpaque = true;
    d.PolygonLayerIsFirst = false;
    d.CenterTitle = true;
    d.ClipLeft = 1.25;
    d.ClipBottom = 11;
    d.plotterscale = 300;
    d.ImageDown = -0.75;
    d.plotlabel = "City network, 2024";
    for (int i = 1; i <= 16; ++i)
        d.customcolors[static_cast<std::size_t>(i)] = 0x010101 * i;
    d.polygonstyles[0] = TPolygonStyle{0x00FF00, 2, 1, 0x112233, 5};  // dotted border, backward diagonal
    d.polygonstyles[7] = TPolygonStyle{0, 0, 4, 0x445566, 137};       // solid width 4, fill bitmap
    d.polygonstyles[40] = TPolygonStyle{0x778899, 5, 0, 0xAABBCC, 8}; // no border, open polyline
    d.entitypolygonstyles[2] = 40;
    d.entitypolygonstyles[3] = -1;
    d.CoverageNameList = {"Zone A", "", "Zone C"};
    d.MarkedAttributesL[1] = 3;
    d.MarkedAttributesN[10] = 100;
    d.BlockingNodes[4] = true;
    d.ShortestPathNameList[1] = {"Depot", "Yard"};
    d.ShortestPathNameList[9] = {"Harbour"};
    d.LinkMark[1] = -999999;
    d.LinkMark[9] = 42;
    d.LinkMark[10] = 999999;
    d.ShortestPathEndName = "Terminal";
    d.HowNodesMarked = 1;
    d.PieColorList[1] = 15;
    d.PieColorList[10] = 0;
    d.MarkMaxDistance = 2500.5;
    d.ShowDesireLines = true;
    d.DesirePlacement = 2;
    d.GhostDrawLinks = true;
    d.GhostColor = 4;

    ws.selectedlayers[1] = 5;
    ws.selectedlayers[2] = 0;
    ws.selectedlayers[10] = 18;
    ws.layernames[1] = "Roads";
    ws.layernames[10] = "Thirty characters exactly here";

    TBackgrounds& b = ws.Backgrounds;
    b.BackgroundName[1] = "/nonexistent/zanwin/scan.jpg";
    b.BackTop[1] = 100;
    b.BackLeft[1] = -50;
    b.BackXScale[1] = 0.5;
    b.BackYScale[1] = -2;
    b.WBackgroundName[10] = "C:\\maps\\plan.emf";
    b.WBackTop[10] = 3;
    b.WBackYScale[10] = 4;
    b.JpegFirst = false;

    TGeoParameters& g = ws.Geo;
    g.ProjectionMethod = 2;
    g.ShapeXTranslate = -73.5;
    g.ShapeYTranslate = 40.25;
    g.ShapeYScale = -12000;
    g.InterpolationRange = 600;
    g.UpdateLongLat = true;
    g.PivotNodeName = "Pivot";
    g.SecondNodeName = "Second";
    g.ScaleUnits = 3;
    g.ScaleString = "Kilometers";
    ws.NetworkScale = 12.5;

    TDescriptionBox& a = ws.adescription;
    a.job = "Job 7";
    a.project = "Ring road";
    a.author = "A. Author";
    a.customer = "County";
    a.organization = "Planning office";
    a.description = "first\r\nsecond\r\n\r\nfourth";
    a.writejob = a.writeauthor = a.writedescription = a.addtoday = true;
    a.showcaptions = a.drawbox = false;
    a.x = -300;
    a.y = 4000;
    a.projectfont = 1;
    a.organizationfont = 2;
    a.jobfont = 3;
    a.customerfont = 4;
    a.authorfont = 5;
    a.descriptionfont = 11;

    TExtractSettings& e = ws.Extract;
    e.reports[0][1] = "N,A1,A2";
    e.reports[1][10] = "L,A5";
    e.extractform = TExtractFormat::dbf;
    e.updatetype = 2;
    e.UpdateAssumeNames = true;
    e.filternodes = true;
    return ws;
}

void ExpectSameSettings(const TWindowSettings& a, const TWindowSettings& b) {
    EXPECT_TRUE(a.Labels == b.Labels);
    EXPECT_TRUE(a.wd == b.wd);
    EXPECT_TRUE(a.Display == b.Display);
    EXPECT_EQ(a.selectedlayers, b.selectedlayers);
    EXPECT_EQ(a.layernames, b.layernames);
    EXPECT_TRUE(a.Backgrounds == b.Backgrounds);
    EXPECT_TRUE(a.Geo == b.Geo);
    EXPECT_TRUE(a.adescription == b.adescription);
    EXPECT_TRUE(a.Extract == b.Extract);
    EXPECT_EQ(a.NodeExtent, b.NodeExtent);
    EXPECT_EQ(a.NetworkScale, b.NetworkScale);
}

TEST(SettingsSections, AllSectionsRoundTripInTheCurrentVersion) {
    const TWindowSettings original = NonDefault();
    TFileWriter out;
    for (const Section& s : kSections)
        s.write(out, original, 9);
    TFileReader in(out.Data());
    TWindowSettings back;
    for (const Section& s : kSections)
        ASSERT_TRUE(s.read(in, back, 9)) << s.name;
    EXPECT_TRUE(in.AtEnd());
    ExpectSameSettings(original, back);
    // Sanity: the settings really differ from a new network's, so the comparison means something.
    EXPECT_FALSE(TWindowSettings{}.Display == back.Display);
}

TEST(SettingsSections, LinesHaveTheExactLayout) {
    const TWindowSettings ws = NonDefault();
    struct Case {
        const char* section;
        std::size_t line;
        std::string text;
    };
    const Case cases[] = {
        {"labels", 0, "2 203 25 40 1 0 1 0"},
        {"labels", 1, "4"},
        {"labels", 5, "4 0 0 0 101 7"},
        {"labels", 12, "0 10 0 110 0 0"},
        {"labels", 23, "5. Courier New, 12"},
        {"labels", 24, "255"},
        {"labels", 47, "Courier New"},
        {"labels", 48, "-20 700 1 0 1"},
        {"widths", 0, " 1.50000000000000E+0000 -2.50000000000000E+0000"},
        {"widths", 40, "A1*2"},
        {"widths", 100, "1 0"},
        {"widths", 139, "200 40"},
        {"display", 0, "4 3 0 1 5 6 5"},
        {"display", 1, "0 1"},
        {"display", 5, " 3.00000000000000E+0002  5.00000000000000E-0001 -7.50000000000000E-0001"},
        {"display", 6, "City network, 2024"},
        {"display", 23, "1122867 2 65280 8"},
        {"display", 30, "4478310 137 0 4"},
        {"display", 63, "11189196 8 7833753 0"},
        {"display", 66, "40 0 0 0"},
        {"display", 75, "3"},
        {"display", 79, "3 0 0"},
        {"display", 89, "-999999 2"},
        {"display", 91, "Yard"},
        {"display", 100, "Harbour"},
        {"display", 106, " 15 2 3 4 5 6 7 8 9 0"},
        {"layers", 0, "5 Roads                         "},
        {"layers", 1, "0 2                             "},
        {"layers", 9, "18 Thirty characters exactly here"},
        {"backgrounds", 0, "/nonexistent/zanwin/scan.jpg"},
        {"backgrounds", 1,
         "0 1  1.00000000000000E+0002 -5.00000000000000E+0001  5.00000000000000E-0001 "
         "-2.00000000000000E+0000"},
        {"backgrounds", 39,
         "0 0  3.00000000000000E+0000  0.00000000000000E+0000  1.00000000000000E+0000  "
         "4.00000000000000E+0000"},
        {"geo", 0, "2 -7.35000000000000E+0001  4.02500000000000E+0001 -1.20000000000000E+0004 600 1"},
        {"geo", 3, "3  1.25000000000000E+0001"},
        {"description", 0, "Job 7"},
        {"description", 5, "first&&second&&&&fourth"},
        {"description", 6, "1 0 1 0 0 1 0 0 1"},
        {"description", 8, "1 2 3 4 5 11"},
        {"extract", 0, "N,A1,A2"},
        {"extract", 19, "L,A5"},
        {"extract", 20, "3"},
        {"extract", 24, "1"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> lines = Lines(Write(SectionNamed(c.section), ws, 9));
        ASSERT_LT(c.line, lines.size()) << c.section;
        EXPECT_EQ(lines[c.line], c.text) << c.section << " line " << c.line;
    }
}

TEST(SettingsSections, SectionLengthsFollowTheVersion) {
    const TWindowSettings ws = NonDefault();
    struct Case {
        const char* section;
        int version;
        std::size_t lines;
    };
    const Case cases[] = {
        {"labels", 4, 1 + 11 + 24 + 24},
        {"labels", 9, 2 + 11 + 24 + 24},
        {"widths", 5, 10 + 10 + 10 + 10 + 10},
        {"widths", 6, 40 + 10 + 40 + 10 + 40},
        {"widths", 9, 40 + 10 + 40 + 10 + 40 + 40 + 10},
        {"display", 4, 1 + 1 + 2 + 1 + 16 + 11 + 11},
        {"display", 5, 1 + 1 + 1 + 2 + 1 + 16 + 11 + 11},
        {"display", 6, 1 + 1 + 1 + 1 + 2 + 1 + 16 + 41 + 11 + 10 + 18 + 3},
        {"display", 9, 7 + 16 + 41 + 11 + (1 + 3) + 10 + (9 + 3) + 3 + 2 + 1 + 1 + 2},
        {"layers", 5, 10},
        {"backgrounds", 6, 40},
        {"geo", 8, 4},
        {"description", 7, 9},
        {"extract", 9, 25},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Lines(Write(SectionNamed(c.section), ws, c.version)).size(), c.lines)
            << c.section << " v" << c.version;
}

TEST(SettingsSections, LabelCodeConversions) {
    struct Case {
        int code, version, written;
    };
    const Case writes[] = {
        {108, 7, 0},  {110, 7, 0},   {108, 8, 108}, {106, 6, 0}, {107, 6, 0},   {106, 7, 106},
        {101, 5, 11}, {105, 4, 15},  {100, 5, 10},  {50, 5, 10}, {11, 5, 10},   {10, 5, 10},
        {109, 5, 0},  {101, 6, 101}, {55, 6, 55},   {0, 4, 0},   {110, 9, 110},
    };
    for (const Case& c : writes)
        EXPECT_EQ(LabelCodeForWrite(c.code, c.version), c.written) << c.code << " v" << c.version;
    const Case reads[] = {
        {11, 5, 101}, {15, 4, 105}, {10, 5, 10}, {11, 6, 11}, {20, 5, 110},
        {21, 5, 0},   {-3, 9, 0},   {111, 9, 0}, {0, 3, 0},   {110, 9, 110},
    };
    for (const Case& c : reads)
        EXPECT_EQ(LabelCodeOnRead(c.code, c.version), c.written) << c.code << " v" << c.version;
}

// Writing in an older version and reading back gives what a user of that version would see.
TEST(SettingsSections, OlderVersionsConvertWhatTheyCannotHold) {
    struct Case {
        const char* what;
        const char* section;
        int version;
        std::function<void(TWindowSettings&)> set;
        std::function<void(const std::vector<std::string>&, const TWindowSettings&)> check;
    };
    const Case cases[] = {
        {"layer threshold 5 in v7", "layers", 7, [](TWindowSettings& ws) { ws.selectedlayers[3] = 5; },
         [](auto&, const TWindowSettings& back) { EXPECT_EQ(back.selectedlayers[3], 5); }},
        {"layer threshold 5 in v6", "layers", 6,
         [](TWindowSettings& ws) {
             ws.selectedlayers[3] = 5;
             ws.selectedlayers[4] = 0;
         },
         [](auto& lines, const TWindowSettings& back) {
             EXPECT_EQ(lines[2].substr(0, 2), "1 ");
             EXPECT_EQ(back.selectedlayers[3], 1);
             EXPECT_EQ(back.selectedlayers[4], 0);
         }},
        {"link label 108 in v7", "labels", 7,
         [](TWindowSettings& ws) {
             ws.Labels.labellinks[2] = {108, 3};
         },
         [](auto&, const TWindowSettings& back) {
             EXPECT_EQ(back.Labels.labellinks[2][0], 0);
             EXPECT_EQ(back.Labels.labellinks[2][1], 3);
         }},
        {"label 101 in v5", "labels", 5,
         [](TWindowSettings& ws) {
             ws.Labels.labellinks[2] = {101, 0};
         },
         [](auto& lines, const TWindowSettings& back) {
             EXPECT_EQ(lines[3], "0 0 11 0 0 0");
             EXPECT_EQ(back.Labels.labellinks[2][0], 101);
             EXPECT_TRUE(back.Labels.LinkLabelsThere[2]);
         }},
        {"first label side not in v4", "labels", 4,
         [](TWindowSettings& ws) {
             ws.Labels.LinkLabelPosition = 6;
             ws.Labels.firstlabel = TFirstLabelPosition::onright;
         },
         [](auto& lines, const TWindowSettings& back) {
             EXPECT_EQ(lines[0].substr(0, 4), "1 6 ");
             EXPECT_EQ(back.Labels.LinkLabelPosition, 6);
             EXPECT_EQ(back.Labels.firstlabel, TFirstLabelPosition::ontop);
         }},
        {"16 custom colours from v5", "display", 5,
         [](TWindowSettings& ws) {
             for (int i = 1; i <= 16; ++i)
                 ws.Display.customcolors[static_cast<std::size_t>(i)] = 1000 + i;
         },
         [](auto& lines, const TWindowSettings& back) {
             EXPECT_EQ(lines[6], "-16777215");
             EXPECT_EQ(lines[7], "1001");
             for (int i = 1; i <= 15; ++i)
                 EXPECT_EQ(back.Display.customcolors[static_cast<std::size_t>(i)], 1000 + i);
             EXPECT_EQ(back.Display.customcolors[16], 0);
         }},
        {"arrow status below v6", "display", 5,
         [](TWindowSettings& ws) { ws.wd.linkwidthstatus = TWidthStatus::arrow; },
         [](auto& lines, const TWindowSettings& back) {
             EXPECT_EQ(lines[0].substr(0, 2), "2 ");
             EXPECT_EQ(back.wd.linkwidthstatus, TWidthStatus::nonee);
         }},
        {"arrow status in v6", "display", 6,
         [](TWindowSettings& ws) { ws.wd.linkwidthstatus = TWidthStatus::arrow; },
         [](auto&, const TWindowSettings& back) { EXPECT_EQ(back.wd.linkwidthstatus, TWidthStatus::arrow); }},
        {"link bitmap end mark below v7", "display", 6,
         [](TWindowSettings& ws) { ws.wd.showaend = TAEndDotShape::linkbitmap; },
         [](auto&, const TWindowSettings& back) { EXPECT_EQ(back.wd.showaend, TAEndDotShape::nodot); }},
        {"fill bitmap below v7", "display", 6,
         [](TWindowSettings& ws) { ws.Display.polygonstyles[3].brushstyle = 250; },
         [](auto& lines, const TWindowSettings& back) {
             EXPECT_EQ(lines[23 + 3], "0 1 0 1");
             EXPECT_EQ(back.Display.polygonstyles[3].brushstyle, 0); // solid
         }},
        {"fill bitmap in v7", "display", 7,
         [](TWindowSettings& ws) { ws.Display.polygonstyles[3].brushstyle = 11; },
         [](auto&, const TWindowSettings& back) { EXPECT_EQ(back.Display.polygonstyles[3].brushstyle, 11); }},
        {"entity polygon style below v6", "display", 5,
         [](TWindowSettings& ws) { ws.Display.entitypolygonstyles[1] = 33; },
         [](auto&, const TWindowSettings& back) { EXPECT_EQ(back.Display.entitypolygonstyles[1], 10); }},
        {"older files: primary on right, shapes shown", "display", 5,
         [](TWindowSettings& ws) {
             ws.Display.PrimaryOnRight = false;
             ws.wd.SuppressShapes = true;
         },
         [](auto&, const TWindowSettings& back) {
             EXPECT_TRUE(back.Display.PrimaryOnRight);
             EXPECT_FALSE(back.wd.SuppressShapes);
         }},
        {"one name per start group in v7", "display", 7,
         [](TWindowSettings& ws) {
             ws.Display.ShortestPathNameList[2] = {"Depot", "Yard"};
         },
         [](auto&, const TWindowSettings& back) {
             EXPECT_EQ(back.Display.ShortestPathNameList[2], std::vector<std::string>{"Depot"});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TWindowSettings ws;
        c.set(ws);
        const Section& s = SectionNamed(c.section);
        const std::string text = Write(s, ws, c.version);
        TFileReader in(text);
        TWindowSettings back;
        // Start from values an older file cannot hold, to see what reading sets.
        back.Display.PrimaryOnRight = false;
        back.wd.SuppressShapes = true;
        ASSERT_TRUE(s.read(in, back, c.version));
        EXPECT_TRUE(in.AtEnd());
        c.check(Lines(text), back);
    }
}

TEST(SettingsSections, OlderVersionsRoundTripWhatTheyHold) {
    // Width settings of version 5 hold intervals 1..10 only and no legends.
    TWindowSettings ws;
    ws.wd.linktop[10] = 9;
    ws.wd.nodeactual[10] = 77;
    ws.wd.linktop[11] = 5;
    ws.wd.nodelegend[1] = true;
    const std::string text = Write(SectionNamed("widths"), ws, 5);
    TFileReader in(text);
    TWindowSettings back;
    ASSERT_TRUE(ReadWidthSettings(in, back, 5));
    EXPECT_EQ(back.wd.linktop[10], 9);
    EXPECT_EQ(back.wd.nodeactual[10], 77);
    EXPECT_EQ(back.wd.linktop[11], 0);
    EXPECT_FALSE(back.wd.nodelegend[1]);
}

TEST(SettingsSections, DescriptionLineBreaksTravelAsDoubleAmpersands) {
    const std::string descriptions[] = {"one", "", "a\r\nb", "\r\n\r\nend\r\n", "x && y"};
    for (const std::string& d : descriptions) {
        TWindowSettings ws;
        ws.adescription.description = d;
        ws.adescription.job = "single\r\nline"; // single-line fields lose their breaks
        const std::string text = Write(SectionNamed("description"), ws, 7);
        EXPECT_EQ(Lines(text).size(), 9u);
        TFileReader in(text);
        TWindowSettings back;
        ASSERT_TRUE(ReadDescriptionBox(in, back, 7));
        const std::string expected = d == "x && y" ? "x \r\n y" : d;
        EXPECT_EQ(back.adescription.description, expected);
        EXPECT_EQ(back.adescription.job, "single  line");
    }
}

TEST(SettingsSections, BackgroundsKeepSlotsWhoseFileIsMissing) {
    const std::filesystem::path present =
        std::filesystem::temp_directory_path() / ("zan_background_" + std::to_string(getpid()) + ".jpg");
    std::ofstream(present) << "picture";
    TWindowSettings ws;
    ws.Backgrounds.BackgroundName[1] = "/nonexistent/zanwin/scan.jpg";
    ws.Backgrounds.BackTop[1] = 10;
    ws.Backgrounds.BackXScale[1] = 3;
    ws.Backgrounds.BackgroundName[2] = present.string();
    ws.Backgrounds.WBackgroundName[1] = "Clipboard";
    ws.Backgrounds.WBackgroundName[4] = "/nonexistent/zanwin/plan.emf";
    ws.Geo.PivotNodeName = "after the backgrounds";

    TFileWriter out;
    WriteBackgrounds(out, ws, 8);
    WriteGeoParameters(out, ws, 8);
    const std::vector<std::string> lines = Lines(out.Data());
    EXPECT_EQ(lines[20], "");
    EXPECT_EQ(lines[21], "0 1 0.0 0.0 1.0 1.0");

    TFileReader in(out.Data());
    TWindowSettings back;
    ASSERT_TRUE(ReadBackgrounds(in, back, 8));
    ASSERT_TRUE(ReadGeoParameters(in, back, 8));
    EXPECT_EQ(back.Geo.PivotNodeName, "after the backgrounds");
    EXPECT_EQ(back.Backgrounds.BackgroundName[1], "/nonexistent/zanwin/scan.jpg");
    EXPECT_EQ(back.Backgrounds.BackTop[1], 10);
    EXPECT_EQ(back.Backgrounds.BackXScale[1], 3);
    EXPECT_EQ(back.Backgrounds.BackgroundName[2], present.string());
    EXPECT_EQ(back.Backgrounds.WBackgroundName[1], "");
    EXPECT_EQ(MissingBackgroundFiles(back.Backgrounds),
              (std::vector<std::string>{"/nonexistent/zanwin/scan.jpg", "/nonexistent/zanwin/plan.emf"}));
    std::filesystem::remove(present);

    // A "Clipboard" name found in a file leaves the slot empty.
    std::vector<std::string> edited = lines;
    edited[20] = "Clipboard";
    edited[21] = "0 1  5.0 6.0 7.0 8.0";
    TFileReader in2(Join(edited, edited.size()));
    TWindowSettings back2;
    ASSERT_TRUE(ReadBackgrounds(in2, back2, 8));
    EXPECT_EQ(back2.Backgrounds.WBackgroundName[1], "");
    EXPECT_EQ(back2.Backgrounds.WBackTop[1], 0);
    EXPECT_EQ(back2.Backgrounds.WBackXScale[1], 1);
}

TEST(SettingsSections, JpegFirstIsStoredNegatedInThePictureLines) {
    for (bool jpegFirst : {true, false}) {
        TWindowSettings ws;
        ws.Backgrounds.JpegFirst = jpegFirst;
        const std::string text = Write(SectionNamed("backgrounds"), ws, 9);
        const std::vector<std::string> lines = Lines(text);
        EXPECT_EQ(lines[1].substr(0, 4), jpegFirst ? "0 0 " : "0 1 ");
        EXPECT_EQ(lines[21].substr(0, 4), jpegFirst ? "0 1 " : "0 0 ");
        TFileReader in(text);
        TWindowSettings back;
        back.Backgrounds.JpegFirst = !jpegFirst;
        ASSERT_TRUE(ReadBackgrounds(in, back, 9));
        EXPECT_EQ(back.Backgrounds.JpegFirst, jpegFirst);
    }
}

// Every strict prefix of a section that ends at a line end is a read error, except that the width
// section may end right after its expression texts.
TEST(SettingsSections, TruncatedSectionsAreReadErrors) {
    const TWindowSettings ws = NonDefault();
    for (int version : {6, 9}) {
        for (const Section& s : kSections) {
            const std::vector<std::string> lines = Lines(Write(s, ws, version));
            for (std::size_t k = 0; k < lines.size(); ++k) {
                TFileReader in(Join(lines, k));
                TWindowSettings back;
                const bool widthsEnd = std::string_view(s.name) == "widths" && k == 100;
                EXPECT_EQ(s.read(in, back, version), widthsEnd)
                    << s.name << " v" << version << " cut after " << k;
            }
        }
    }
}

TEST(SettingsSections, WidthSectionMayEndAfterItsExpressions) {
    TWindowSettings ws = NonDefault();
    const std::vector<std::string> lines = Lines(Write(SectionNamed("widths"), ws, 9));
    TFileReader in(Join(lines, 100));
    TWindowSettings back;
    ASSERT_TRUE(ReadWidthSettings(in, back, 9));
    EXPECT_EQ(back.wd.nodecriterion[10], ws.wd.nodecriterion[10]);
    EXPECT_EQ(back.wd.nodeactual, TWidthData{}.nodeactual);
}

// Values out of range take the new-network default; bad counts are read errors.
TEST(SettingsSections, OutOfRangeValuesTakeDefaults) {
    struct Case {
        const char* what;
        const char* section;
        std::size_t line;
        const char* text;
        bool readable;
        std::function<void(const TWindowSettings&)> check;
    };
    const Case cases[] = {
        {"display enumerations", "display", 0, "9 -1 1 0 6 50 6", true,
         [](const TWindowSettings& ws) {
             EXPECT_EQ(ws.wd.linkwidthstatus, TWidthStatus::nonee);
             EXPECT_EQ(ws.wd.nodewidthstatus, TWidthStatus::nonee);
             EXPECT_FALSE(ws.wd.nodenotfoundaction);
             EXPECT_EQ(ws.wd.GlobalShape, TGlobalShape::entity);
             EXPECT_EQ(ws.NodeExtent, 3);
             EXPECT_EQ(ws.wd.showaend, TAEndDotShape::nodot);
         }},
        {"node extent too small", "display", 0, "0 0 1 1 0 1 0", true,
         [](const TWindowSettings& ws) { EXPECT_EQ(ws.NodeExtent, 3); }},
        {"label positions and lengths", "labels", 0, "0 399 -5 30 0 0 0 0", true,
         [](const TWindowSettings& ws) {
             EXPECT_EQ(ws.Labels.NodeLabelPosition, 1);
             EXPECT_EQ(ws.Labels.LinkLabelPosition, 1);
             EXPECT_EQ(ws.Labels.firstlabel, TFirstLabelPosition::ontop);
             EXPECT_EQ(ws.Labels.MaxNodeLabelLength(), 0);
         }},
        {"label fonts and codes", "labels", 3, "11 -1 999 5 105 -2", true,
         [](const TWindowSettings& ws) {
             EXPECT_EQ(ws.Labels.NodeLabelFonts[1], 0);
             EXPECT_EQ(ws.Labels.LinkLabelFonts[1], 0);
             EXPECT_EQ(ws.Labels.labellinks[1], (TLabelCodes{0, 5}));
             EXPECT_EQ(ws.Labels.labelnodes[1], (TLabelCodes{105, 0}));
         }},
        {"entity polygon style", "display", 64, "99 0 0 0", true,
         [](const TWindowSettings& ws) { EXPECT_EQ(ws.Display.entitypolygonstyles[0], 40); }},
        {"polygon codes", "display", 23, "5 9 6 11", true,
         [](const TWindowSettings& ws) {
             EXPECT_EQ(ws.Display.polygonstyles[0], (TPolygonStyle{6, 0, 1, 5, 6}));
         }},
        {"negative coverage count", "display", 75, "-1", false, nullptr},
        {"absurd coverage count", "display", 75, "2000000000", false, nullptr},
        {"negative start group count", "display", 86, "1 -4", false, nullptr},
        {"absurd start group count", "display", 86, "1 1000000", false, nullptr},
        {"legend fonts", "display", 99, "1 0 12 -1", true,
         [](const TWindowSettings& ws) {
             EXPECT_TRUE(ws.wd.anodelegend.dobox);
             EXPECT_EQ(ws.wd.anodelegend.afont, 0);
             EXPECT_EQ(ws.wd.alinklegend.afont, 0);
         }},
        {"desire placement and ghost colour", "display", 103, "1 3 1 26", true,
         [](const TWindowSettings& ws) {
             EXPECT_TRUE(ws.Display.ShowDesireLines);
             EXPECT_EQ(ws.Display.DesirePlacement, 0);
             EXPECT_EQ(ws.Display.GhostColor, 19);
         }},
        {"layer threshold", "layers", 0, "19 Top", true,
         [](const TWindowSettings& ws) {
             EXPECT_EQ(ws.selectedlayers[1], 1);
             EXPECT_EQ(ws.layernames[1], "Top");
         }},
        {"projection", "geo", 0, "7 0.0 0.0 1.0 0 1", true,
         [](const TWindowSettings& ws) {
             EXPECT_EQ(ws.Geo.ProjectionMethod, 0);
             EXPECT_EQ(ws.Geo.InterpolationRange, 5);
             EXPECT_TRUE(ws.Geo.UpdateLongLat);
         }},
        {"scale units", "geo", 3, "9 2.0", true,
         [](const TWindowSettings& ws) {
             EXPECT_EQ(ws.Geo.ScaleUnits, 0);
             EXPECT_EQ(ws.Geo.ScaleString, "Pixels");
             EXPECT_EQ(ws.NetworkScale, 2.0);
         }},
        {"metres", "geo", 3, "4 1.0", true,
         [](const TWindowSettings& ws) { EXPECT_EQ(ws.Geo.ScaleString, "Meters"); }},
        {"description fonts", "description", 8, "12 -1 3 0 0 11", true,
         [](const TWindowSettings& ws) {
             EXPECT_EQ(ws.adescription.projectfont, 0);
             EXPECT_EQ(ws.adescription.organizationfont, 0);
             EXPECT_EQ(ws.adescription.jobfont, 3);
             EXPECT_EQ(ws.adescription.descriptionfont, 11);
         }},
        {"extract form", "extract", 20, "4", true,
         [](const TWindowSettings& ws) { EXPECT_EQ(ws.Extract.extractform, TExtractFormat::fixed); }},
        {"update type", "extract", 21, "3", true,
         [](const TWindowSettings& ws) { EXPECT_EQ(ws.Extract.updatetype, 0); }},
        {"integer beyond 32 bits", "extract", 22, "99999999999", false, nullptr},
        {"text where a number belongs", "widths", 0, "wide narrow", false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Section& s = SectionNamed(c.section);
        std::vector<std::string> lines = Lines(Write(s, TWindowSettings{}, 9));
        ASSERT_LT(c.line, lines.size());
        lines[c.line] = c.text;
        TFileReader in(Join(lines, lines.size()));
        TWindowSettings back;
        ASSERT_EQ(s.read(in, back, 9), c.readable);
        if (c.check)
            c.check(back);
    }
}

TEST(SettingsSections, LayerNamesReadPaddedOrNot) {
    const std::string text =
        "1 Roads\r\n2 Rail                          \r\n3\r\n4 \r\n5 A name longer than thirty "
        "characters\r\n6 6\r\n7 7\r\n8 8\r\n9 9\r\n10 A\r\n";
    TFileReader in(text);
    TWindowSettings ws;
    ASSERT_TRUE(ReadLayers(in, ws, 9));
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(ws.layernames[1], "Roads");
    EXPECT_EQ(ws.layernames[2], "Rail");
    EXPECT_EQ(ws.layernames[3], "");
    EXPECT_EQ(ws.layernames[4], "");
    EXPECT_EQ(ws.layernames[5], "A name longer than thirty char");
    EXPECT_EQ(ws.selectedlayers[10], 10);
}

} // namespace
} // namespace zan
