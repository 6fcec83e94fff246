// Network files written by hand, one per version, read with the program's reader. Unlike a round
// trip, these catch a layout mistake that the reader and the writer share.
//
// Every file holds the same small network, as far as its version can hold it:
//   nodes   North Gate (100, 200) Zone, East Hall (900, 300) Zone, Depot (400, 800) Stop,
//           Market (1200, 1000) Zone;
//   links   Main Street North Gate -> East Hall, shape points (300, 220) (600, 260);
//           River Road East Hall -> Market, shape point (1100, 600);
//           Depot Lane Depot -> North Gate;
//   Market owns a polygon through Depot, North Gate, (from version 7) the second shape point of
//   Main Street, and East Hall.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "calc/DateTime.h"
#include "files/FileText.h"
#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"
#include "schema/AttributeValues.h"

namespace zan {
namespace {

using testing::FirstDifference;
using testing::Loaded;

std::unique_ptr<Loaded> Open(const std::string& file) {
    auto l = std::make_unique<Loaded>();
    l->report = OpenNetworkFile(std::string(ZAN_FIXTURES) + "/" + file, l->net, l->window);
    return l;
}

std::string Contents(const std::string& file) {
    std::string data;
    EXPECT_TRUE(LoadFile(std::string(ZAN_FIXTURES) + "/" + file, data)) << file;
    return data;
}

TNode* NodeNamed(const TNetwork& net, std::string_view name) {
    return net.Hash.FindNodeByName(name, false, TWindowSettings());
}

TLinkValues* LinkNamed(const TNetwork& net, std::string_view name) {
    TLink* half = net.Hash.FindLinkByName(name, false, TWindowSettings());
    return half != nullptr ? half->LinkData : nullptr;
}

std::string Letters(const TEntityType& type) {
    std::string s;
    for (int i = 1; i <= type.atcount; ++i)
        s += type.Attribute(i)->aformat;
    return s;
}

std::vector<TPoint> ShapeOf(const TLinkValues& link) {
    std::vector<TPoint> points;
    for (const TShapePoint* sp : link.ShapePoints)
        points.push_back(sp->Position());
    return points;
}

std::vector<TPoint> PolygonOf(const TNode& owner) {
    std::vector<TPoint> points;
    for (const TNetworkPoint* p : owner.MyPolygonList)
        points.push_back(p->Position());
    return points;
}

struct FixtureCase {
    const char* file;
    int version;
    const char* zoneLetters;  // the Zone type's attribute letters as read
    const char* roadLetters;  // the Road type's
    int systemCount;          // named system attributes
    int shapePoints;          // in the whole network
    int polygonVertices;      // of Market's polygon
    int marketLabel1;         // Market's first label code as read (above 10: shifted before version 6)
    const char* openedSystem; // system attribute 4 as date and time, "" when the version has no dates
};

const FixtureCase kCases[] = {
    {"v1.dt1", 1, "RR", "RR", 2, 0, 0, 0, ""},
    {"v3.dt2", 3, "RRCR", "RRC", 4, 0, 0, 0, ""},
    {"v4.dt3", 4, "RRCR", "RRC", 4, 0, 3, 10, ""},
    {"v5.dt4", 5, "RICX", "RIC", 4, 0, 3, 10, "3/7/2004,14:5:0"},
    {"v6.dt5", 6, "RICXR", "RIC", 5, 3, 3, 4, "3/7/2004,14:5:0"},
    {"v7.dt6", 7, "RICXR", "RIC", 5, 3, 4, 4, "3/7/2004,14:5:0"},
    {"v8.dt7", 8, "RICXSDT", "RICS", 5, 3, 4, 4, "3/7/2004,14:5:0"},
    {"v9.dta", 9, "RICXSDTRRRR", "RICS", 5, 3, 4, 4, "3/7/2004,14:5:0"},
};

void PrintTo(const FixtureCase& c, std::ostream* os) {
    *os << c.file;
}

class NetworkFixtureTest : public ::testing::TestWithParam<FixtureCase> {};

TEST_P(NetworkFixtureTest, ReadsTheSchemaAndTheSettings) {
    const FixtureCase& c = GetParam();
    auto l = Open(c.file);
    ASSERT_EQ(l->report.code, kFileOK);
    EXPECT_EQ(l->report.version, c.version);
    const int v = c.version;
    const TNetwork& n = l->net;

    // Types and their attributes.
    const TEntityType& zone = n.NodeDef.Classs[1];
    EXPECT_EQ(zone.ename, "Zone");
    EXPECT_EQ(n.NodeDef.Classs[2].ename, "Stop");
    EXPECT_EQ(n.NodeDef.Classs[3].ename, "");
    EXPECT_EQ(n.LinkDef.Classs[1].ename, "Road");
    EXPECT_EQ(n.NodeDef.Classs[0].ename, "Undefined");
    EXPECT_EQ(Letters(zone), c.zoneLetters);
    EXPECT_EQ(Letters(n.NodeDef.Classs[2]), v <= 4 ? "R" : "I");
    EXPECT_EQ(Letters(n.LinkDef.Classs[1]), c.roadLetters);
    EXPECT_EQ(zone.shape, 3);
    EXPECT_EQ(zone.ecolor, 2);
    EXPECT_EQ(n.LinkDef.Classs[1].shape, 2);
    EXPECT_EQ(n.LinkDef.Classs[1].hasarrow, v >= 7);
    EXPECT_EQ(zone.Attribute(1)->atname, "Population");
    EXPECT_EQ(zone.pielist[2], v >= 8 ? 2 : 0);
    if (v == 1) {
        // A linear worksheet; the rows of version 1 carry no codes.
        const TAttrib& area = *zone.Attribute(2);
        EXPECT_EQ(area.wcount, 1);
        EXPECT_EQ(area.wftype, 1);
        ASSERT_NE(area.WorkSheet, nullptr);
        EXPECT_EQ(area.WorkSheet->WorkDef[0].param, 1.5);
        EXPECT_EQ(area.WorkSheet->WorkDef[1].wname, "Acres");
        EXPECT_EQ(area.WorkSheet->WorkDef[1].param, 2);
        EXPECT_EQ(area.WorkSheet->WorkDef[1].varab, 10);
    } else {
        const TAttrib& landUse = *zone.Attribute(3);
        EXPECT_EQ(landUse.wcount, 2);
        ASSERT_NE(landUse.WorkSheet, nullptr);
        EXPECT_EQ(landUse.WorkSheet->WorkDef[2].wname, "Density");
        EXPECT_EQ(landUse.WorkSheet->WorkDef[2].subset, "LMH");
        EXPECT_EQ(landUse.WorkSheet->WorkDef[2].hint, v >= 6 ? "Low&&Medium&&High&&" : "");
        EXPECT_EQ(n.LinkDef.Classs[1].Attribute(3)->WorkSheet->WorkDef[1].subset, "PG");
    }
    if (v == 9) {
        EXPECT_EQ(zone.Alias, "ZN");
        EXPECT_EQ(zone.Attribute(1)->AliasUp, "POP");
        EXPECT_EQ(zone.Attribute(8)->funct, "POP/1");
        EXPECT_EQ(n.SystemDef.Classs[1].Attribute(1)->Alias, "YR");
    }

    // System attributes.
    const TEntityType& sys = n.SystemDef.Classs[1];
    EXPECT_EQ(sys.atcount, c.systemCount);
    EXPECT_EQ(sys.Attribute(1)->atname, "Year");
    EXPECT_EQ(sys.Attribute(1)->aformat, v >= 5 ? 'I' : 'R');
    EXPECT_EQ(n.SystemValues[0], 2024);
    EXPECT_EQ(n.SystemValues[1], 1500000);
    if (v >= 3) {
        EXPECT_EQ(sys.Attribute(2)->funct, "YEAR*100");
        EXPECT_EQ(sys.Attribute(3)->aformat, 'C');
        EXPECT_EQ(CodeToText(n.SystemValues[2]), "NE      ");
        ASSERT_NE(sys.Attribute(3)->WorkSheet, nullptr);
        EXPECT_EQ(sys.Attribute(3)->WorkSheet->WorkDef[1].subset, "NS");
        EXPECT_EQ(sys.Attribute(3)->WorkSheet->WorkDef[2].hint, v >= 6 ? "East&&West&&" : "");
        EXPECT_EQ(sys.Attribute(4)->atname, "Opened");
    }
    if (*c.openedSystem != '\0') {
        EXPECT_EQ(sys.Attribute(4)->aformat, 'D');
        EXPECT_EQ(FormatDateText(n.SystemValues[3], kDateAndTime), c.openedSystem);
    }
    EXPECT_EQ(sys.Attribute(5)->atname, v >= 6 ? "Motto" : "");
    ASSERT_EQ(n.SystemStrings.size(), v >= 8 ? 1u : 0u);
    if (v >= 8) {
        EXPECT_EQ(n.SystemStrings[0], "Keep moving");
    }

    // Range filters (from version 4).
    const TAttrib& population = *zone.Attribute(1);
    EXPECT_EQ(population.rangeset, v >= 4);
    if (v >= 4) {
        EXPECT_EQ(population.brange, 100);
        EXPECT_EQ(population.trange, 5000);
        EXPECT_TRUE(zone.Attribute(3)->rangeset);
        EXPECT_EQ(CodeToText(zone.Attribute(3)->brange), "C?      ");
        EXPECT_EQ(CodeToText(zone.Attribute(3)->trange), "R?      ");
        EXPECT_FALSE(zone.Attribute(2)->rangeset);
        const TAttrib& speed = *n.LinkDef.Classs[1].Attribute(1);
        EXPECT_TRUE(speed.rangeset);
        EXPECT_EQ(speed.brange, 0);
        EXPECT_EQ(speed.trange, 80);
        EXPECT_EQ(zone.andor, v >= 8);
    }
    if (v >= 8) {
        const MyDateTime bottom = DoubleToDate(zone.Attribute(4)->brange);
        const MyDateTime top = DoubleToDate(zone.Attribute(4)->trange);
        EXPECT_EQ(bottom.Year, 104);
        EXPECT_EQ(top.Month, 12);
        EXPECT_EQ(top.Sec, 59);
        EXPECT_EQ(zone.Attribute(5)->brangestr, "lot");
        EXPECT_EQ(zone.Attribute(5)->trangestr, "open");
    }

    // The settings sections hold the new-network defaults, but for one layer name.
    const TWindowSettings defaults;
    EXPECT_TRUE(l->window.Labels == defaults.Labels);
    EXPECT_TRUE(l->window.wd == defaults.wd);
    EXPECT_TRUE(l->window.Display == defaults.Display);
    EXPECT_TRUE(l->window.Geo == defaults.Geo);
    EXPECT_TRUE(l->window.adescription == defaults.adescription);
    EXPECT_TRUE(l->window.Extract == defaults.Extract);
    EXPECT_EQ(l->window.layernames[2], v >= 5 ? "Rail lines" : "2");
    EXPECT_EQ(l->window.layernames[3], "3");
}

TEST_P(NetworkFixtureTest, ReadsTheElements) {
    const FixtureCase& c = GetParam();
    auto l = Open(c.file);
    ASSERT_EQ(l->report.code, kFileOK);
    const int v = c.version;
    const TNetwork& n = l->net;
    EXPECT_FALSE(l->report.DroppedLinks());

    // Counts.
    EXPECT_EQ(n.NumberOfNodes, 4);
    EXPECT_EQ(n.NumberOfLinks, 3);
    int nodes = 0;
    n.Hash.ForEachNode([&](TNode&) { ++nodes; });
    EXPECT_EQ(nodes, 4);
    int links = 0;
    std::size_t shapePoints = 0;
    n.Hash.ForEachLink([&](TLinkValues& link) {
        ++links;
        shapePoints += link.ShapePoints.size();
    });
    EXPECT_EQ(links, 3);
    EXPECT_EQ(shapePoints, static_cast<std::size_t>(c.shapePoints));

    // Nodes: names, positions, layers, serials, types and values.
    TNode* gate = NodeNamed(n, "North Gate");
    TNode* hall = NodeNamed(n, "East Hall");
    TNode* depot = NodeNamed(n, "Depot");
    TNode* market = NodeNamed(n, "Market");
    ASSERT_NE(gate, nullptr);
    ASSERT_NE(hall, nullptr);
    ASSERT_NE(depot, nullptr);
    ASSERT_NE(market, nullptr);
    EXPECT_EQ(gate->Position(), (TPoint{100, 200}));
    EXPECT_EQ(market->Position(), (TPoint{1200, 1000}));
    EXPECT_EQ(hall->Layer, 2);
    EXPECT_EQ(market->Layer, 3);
    EXPECT_EQ(depot->snumb, 3);
    EXPECT_EQ(depot->NType, 2);
    EXPECT_EQ(gate->NType, 1);
    EXPECT_EQ(gate->ValueCount(), static_cast<int>(std::string(c.zoneLetters).size()));
    EXPECT_EQ(gate->NValue[0], 2500);
    EXPECT_EQ(hall->NValue[0], 0.25);
    EXPECT_EQ(market->NValue[0], 12000);
    EXPECT_EQ(depot->NValue[0], 4);
    if (v == 1) {
        EXPECT_EQ(gate->NValue[1], 7.25);
    } else {
        EXPECT_EQ(gate->NValue[1], 810);
        EXPECT_EQ(CodeToText(gate->NValue[2]), "CH      ");
        EXPECT_EQ(CodeToText(market->NValue[2]), "IM      ");
        // Before version 5 a date is written as 0.0 and read as a real.
        if (v >= 5) {
            EXPECT_EQ(FormatDateText(gate->NValue[3], kDateOnly), "3/7/2004");
            EXPECT_EQ(FormatDateText(hall->NValue[3], kDateOnly), "12/31/1999");
        } else {
            EXPECT_EQ(gate->NValue[3], 0);
        }
    }
    if (v >= 8) {
        ASSERT_EQ(gate->AttString.size(), 1u);
        EXPECT_EQ(gate->AttString[0], "corner lot");
        EXPECT_EQ(market->AttString[0], "open air");
        EXPECT_EQ(FormatDateText(gate->NValue[5], kDateAndTime), "3/7/2004,14:5:0");
        EXPECT_EQ(FormatDateText(market->NValue[5], kDateAndTime), "6/15/1987,8:30:0");
        EXPECT_EQ(FormatDateText(gate->NValue[6], kTimeOnly), "7:30:0");
        EXPECT_EQ(gate->long_, -870000000);
        EXPECT_EQ(gate->lat, 410000000);
        EXPECT_EQ(gate->elev, 12);
    } else {
        EXPECT_TRUE(gate->AttString.empty());
        EXPECT_EQ(gate->long_, 0);
    }
    if (v == 9) {
        EXPECT_EQ(gate->NValue[7], 0.5);
        EXPECT_EQ(gate->NValue[8], 12000);
        EXPECT_EQ(gate->NValue[9], -3);
    }

    // Links: names, ends, values and shape points.
    TLinkValues* main = LinkNamed(n, "Main Street");
    TLinkValues* river = LinkNamed(n, "River Road");
    TLinkValues* lane = LinkNamed(n, "Depot Lane");
    ASSERT_NE(main, nullptr);
    ASSERT_NE(river, nullptr);
    ASSERT_NE(lane, nullptr);
    EXPECT_EQ(main->AEnd, gate);
    EXPECT_EQ(main->BEnd, hall);
    EXPECT_EQ(lane->AEnd, depot);
    EXPECT_EQ(lane->BEnd, gate);
    EXPECT_EQ(main->LType, 1);
    EXPECT_EQ(main->LValue[0], 50);
    EXPECT_EQ(river->LValue[0], 37.5);
    EXPECT_EQ(main->LValue[1], 2);
    if (v >= 3) {
        EXPECT_EQ(CodeToText(river->LValue[2]), "G       ");
    }
    if (v >= 8) {
        ASSERT_EQ(main->AttString.size(), 1u);
        EXPECT_EQ(main->AttString[0], "Main St");
    }
    if (v >= 6) {
        EXPECT_EQ(ShapeOf(*main), (std::vector<TPoint>{{300, 220}, {600, 260}}));
        EXPECT_EQ(ShapeOf(*river), (std::vector<TPoint>{{1100, 600}}));
        EXPECT_EQ(main->ShapePoints[0]->long_, v >= 8 ? -871000000 : 0);
    }

    // Extents: the nodes', widened by the extents line from version 4.
    if (v >= 4) {
        EXPECT_EQ((TRect{l->window.XMin, l->window.YMin, l->window.XMax, l->window.YMax}),
                  (TRect{0, 100, 1500, 1200}));
    } else {
        EXPECT_EQ((TRect{l->window.XMin, l->window.YMin, l->window.XMax, l->window.YMax}),
                  (TRect{100, 200, 1200, 1000}));
    }
    EXPECT_EQ(l->window.XScroll, 10 - l->window.XMin);

    // Polygon search (from version 5).
    EXPECT_EQ(l->window.PolygonSearchNode, v >= 5 ? market : nullptr);
    EXPECT_EQ(l->window.PolygonSearchString, v >= 5 ? "Market area" : "");
    EXPECT_EQ(l->window.PolygonSearchbyNode, v >= 5);

    // Node display and polygon records (from version 4).
    std::vector<TPoint> polygon;
    if (v >= 4)
        polygon = {{400, 800}, {100, 200}, {900, 300}};
    if (v >= 7)
        polygon.insert(polygon.begin() + 2, TPoint{600, 260});
    EXPECT_EQ(PolygonOf(*market), polygon);
    EXPECT_EQ(static_cast<int>(polygon.size()), c.polygonVertices);
    if (v >= 7) {
        EXPECT_EQ(market->MyPolygonList[2], main->ShapePoints[1]);
    }
    EXPECT_EQ(market->Font, v >= 4 ? 2 : 0);
    EXPECT_EQ(market->Place, v >= 4 ? 3 : 0);
    EXPECT_EQ(market->PolygonStyle, v >= 4 ? 5 : 0);
    EXPECT_EQ(market->selectlabel[0], c.marketLabel1);
    EXPECT_EQ(market->selectlabel[1], v >= 4 ? 101 : 0);
    EXPECT_EQ(gate->selectlabel[0], v >= 4 ? 102 : 0);
    EXPECT_EQ(gate->selectlabel[1], v >= 4 ? 3 : 0);
    EXPECT_EQ(gate->Place, v >= 4 ? 2 : 0);
    EXPECT_EQ(market->XOffset, v >= 7 ? 5 : 0);
    EXPECT_EQ(market->YOffset, v >= 7 ? -7 : 0);
    EXPECT_EQ(market->IsFeature, v >= 8);
    EXPECT_EQ(market->notes, v >= 7 ? "Zone office&&open weekdays" : "");
    EXPECT_EQ(n.InitialNode.Font, v >= 6 ? 3 : 0);
    EXPECT_EQ(n.InitialNode.NType, v >= 6 ? 2 : TNetwork().InitialNode.NType);
    if (v >= 6) {
        // The templates' records.
        EXPECT_EQ(n.InitialNode.NValue[0], 2);
        EXPECT_EQ(n.InitialLink.LType, 1);
        EXPECT_EQ(n.InitialLink.LValue[0], 30);
        EXPECT_EQ(CodeToText(n.InitialLink.LValue[2]), "P       ");
        ASSERT_EQ(n.InitialLink.AttString.size(), v >= 8 ? 1u : 0u);
        if (v >= 8) {
            EXPECT_EQ(n.InitialLink.AttString[0], "unnamed");
        }
    }

    // Link display records (from version 4).
    EXPECT_EQ(main->Font, v >= 4 ? 1 : 0);
    EXPECT_EQ(main->Place, v >= 4 ? 2 : 0);
    EXPECT_EQ(main->selectlabel[0], v >= 4 ? 101 : 0);
    EXPECT_EQ(main->notes, v >= 7 ? "Paved 2019" : "");
    EXPECT_EQ(lane->Suppress, v >= 4);
    EXPECT_EQ(lane->IsFeature, v >= 8);
    EXPECT_FALSE(river->Suppress);
}

// Writing a network read from a file in the file's version gives the file back, byte for byte.
TEST_P(NetworkFixtureTest, WritingWhatWasReadGivesTheFileBack) {
    const FixtureCase& c = GetParam();
    auto l = Open(c.file);
    ASSERT_EQ(l->report.code, kFileOK);
    int errors = 0;
    const std::string written = WriteNetworkText(l->net, l->window, c.version, errors);
    EXPECT_EQ(errors, 0);
    std::string expected = Contents(c.file);
    ASSERT_FALSE(expected.empty());
    if (c.version == 3 || c.version == 4) {
        // These versions do not store the letter of a date system attribute: it reads back as a real
        // attribute and is written in the real layout, with one blank more before its value.
        const std::size_t opened = expected.find("\nOpened ");
        ASSERT_NE(opened, std::string::npos);
        expected.insert(opened + 1 + 30, " ");
    }
    EXPECT_EQ(FirstDifference(written, expected), "");
}

INSTANTIATE_TEST_SUITE_P(EveryVersion, NetworkFixtureTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<FixtureCase>& info) {
                             return "Version" + std::to_string(info.param.version);
                         });

// A version 1 file keeps at most 10 attributes per type, and no shape points, polygons or display
// settings.
TEST(NetworkFixtureVersion1, KeepsWhatVersion1CanHold) {
    auto current = Open("v9.dta");
    ASSERT_EQ(current->report.code, kFileOK);
    ASSERT_EQ(current->net.NodeDef.Classs[1].atcount, 11);
    int errors = 0;
    const std::string text = WriteNetworkText(current->net, current->window, 1, errors);
    ASSERT_EQ(text.rfind("ZAN 1.0\r\n", 0), 0u);
    Loaded old;
    old.report = ReadNetworkText(text, old.net, old.window);
    ASSERT_EQ(old.report.code, kFileOK);
    EXPECT_EQ(old.report.version, 1);
    EXPECT_EQ(old.net.NodeDef.Classs[1].atcount, 10);
    EXPECT_EQ(Letters(old.net.NodeDef.Classs[1]), "RRRRRRRRRR");
    EXPECT_EQ(old.net.NumberOfLinks, 3);
    TNode* gate = NodeNamed(old.net, "North Gate");
    ASSERT_NE(gate, nullptr);
    EXPECT_EQ(gate->ValueCount(), 10);
    EXPECT_EQ(gate->NValue[0], 2500);
    EXPECT_EQ(gate->NValue[7], 0.5);
    EXPECT_EQ(gate->NValue[2], 0); // a category is written as 0.0
    EXPECT_EQ(gate->selectlabel[0], 0);
    TNode* market = NodeNamed(old.net, "Market");
    ASSERT_NE(market, nullptr);
    EXPECT_TRUE(market->MyPolygonList.IsEmpty());
    EXPECT_EQ(market->Font, 0);
    EXPECT_EQ(market->PolygonStyle, 0);
    old.net.Hash.ForEachLink([](TLinkValues& link) {
        EXPECT_TRUE(link.ShapePoints.empty()) << link.alabel.str();
        EXPECT_EQ(link.Font, 0);
        EXPECT_FALSE(link.Suppress);
    });
    EXPECT_EQ(old.net.SystemValues[0], 2024);
}

// ---------------------------------------------------------------------------------------------
// Damaged files

// The offset of each line end (just past its LF) of the network part, that is after the line
// "END OF APPLICATION".
std::vector<std::size_t> NetworkPartLineEnds(const std::string& text) {
    std::vector<std::size_t> ends;
    std::size_t at = text.find(std::string(kEndOfApplication) + "\r\n");
    EXPECT_NE(at, std::string::npos);
    while ((at = text.find('\n', at)) != std::string::npos)
        ends.push_back(++at);
    return ends;
}

// What a window looks like to a user: enough to see whether an append changed it.
struct WindowState {
    std::int64_t points;
    std::int32_t nodes, links;
    std::uint8_t templateType, templateFont;
    bool operator==(const WindowState&) const = default;
};
WindowState StateOf(const TNetwork& net) {
    return {net.Hash.PointCount(), net.NumberOfNodes, net.NumberOfLinks, net.InitialNode.NType,
            net.InitialNode.Font};
}

struct WholeEnds {
    const char* file;
    std::vector<int> linesDropped; // cuts at line ends that a version's layout allows, from the end
};

// A file may end early only where its version's layout lets it end: every version after its last
// section, and version 9 also after any whole link display record (it writes no terminator there).
// Everywhere else in the network part, a file that ends at a line end is a damaged one: code 1 for
// Open, and for Append too, which then leaves the window as it was.
TEST(DamagedNetworkFiles, EndingAtALineEndIsAReadErrorExceptWhereTheLayoutMayEnd) {
    const WholeEnds cases[] = {
        {"v1.dt1", {0}}, {"v3.dt2", {0}}, {"v4.dt3", {0}},       {"v5.dt4", {0}}, {"v6.dt5", {0}},
        {"v7.dt6", {0}}, {"v8.dt7", {0}}, {"v9.dta", {0, 1, 3}}, // the whole file, without its last record,
                                                                 // without both records
    };
    for (const WholeEnds& c : cases) {
        const std::string text = Contents(c.file);
        const std::vector<std::size_t> ends = NetworkPartLineEnds(text);
        ASSERT_GT(ends.size(), 10u) << c.file;
        ASSERT_EQ(ends.back(), text.size()) << c.file;
        Loaded window;
        ASSERT_EQ((window.report = ReadNetworkText(text, window.net, window.window)).code, kFileOK);
        for (std::size_t i = 0; i < ends.size(); ++i) {
            const int dropped = static_cast<int>(ends.size() - 1 - i);
            const bool mayEnd =
                std::find(c.linesDropped.begin(), c.linesDropped.end(), dropped) != c.linesDropped.end();
            const int expected = mayEnd ? kFileOK : kFileFormatError;
            const std::string cut = text.substr(0, ends[i]);
            Loaded l;
            l.report = ReadNetworkText(cut, l.net, l.window);
            EXPECT_EQ(l.report.code, expected) << c.file << " without its last " << dropped << " lines";
            EXPECT_EQ(ReadErrorMessage(l.report), mayEnd ? "" : "Network will be closed.");

            const WindowState before = StateOf(window.net);
            const TReadReport appended = AppendNetworkText(cut, window.net, window.window, false);
            EXPECT_EQ(appended.code, expected) << "append " << c.file << " without " << dropped << " lines";
            if (appended.code != kFileOK) {
                EXPECT_TRUE(StateOf(window.net) == before) << c.file << " without " << dropped << " lines";
            }
        }
        // Blank lines after the last line are no damage.
        Loaded l;
        EXPECT_EQ(ReadNetworkText(text + "\r\n  \r\n\r\n", l.net, l.window).code, kFileOK) << c.file;
    }
}

struct CutInside {
    const char* file;
    const char* line; // the last line of the file that starts with this text ...
    std::size_t keep; // ... is cut after this many characters
    const char* what;
};

// A file cut inside a line of the network part: the record or line is incomplete.
TEST(DamagedNetworkFiles, EndingInsideALineIsAReadError) {
    const CutInside cases[] = {
        {"v4.dt3", "1500 0 1200 100", 7, "the extents"},
        {"v5.dt4", "4 1200 1000 1 0 0 0", 6, "the polygon search node"},
        {"v6.dt5", "4 1200 1000 2 3 4 101", 14, "a node display record"},
        {"v7.dt6", "0 600 260 1 2 1", 11, "a shape point vertex"},
        {"v8.dt7", "3 1 400 800 0 0 0 0 1", 13, "a link display record"},
        {"v9.dta", "3 1 400 800 0 0 0 0 1 0 0 0 0 1", 25, "the last link display record"},
        {"v9.dta", "1 2 100 200 1 2 101 0 0 1", 20, "a link display record with notes"},
        {"v9.dta", "1 400 800 100 200 1 3 1 4 0", 12, "a link record"},
    };
    for (const CutInside& c : cases) {
        const std::string text = Contents(c.file);
        const std::size_t at = text.rfind(std::string("\n") + c.line);
        ASSERT_NE(at, std::string::npos) << c.file << ": " << c.line;
        ASSERT_LT(c.keep, std::string(c.line).size());
        const std::string cut = text.substr(0, at + 1 + c.keep);
        Loaded l;
        EXPECT_EQ(ReadNetworkText(cut, l.net, l.window).code, kFileFormatError) << c.file << ": " << c.what;
        Loaded window;
        ASSERT_EQ(ReadNetworkText(text, window.net, window.window).code, kFileOK);
        const WindowState before = StateOf(window.net);
        EXPECT_EQ(AppendNetworkText(cut, window.net, window.window, true).code, kFileFormatError)
            << c.file << ": " << c.what;
        EXPECT_TRUE(StateOf(window.net) == before) << c.file << ": " << c.what;
    }
}

// ---------------------------------------------------------------------------------------------
// Appending and the window's templates

class AppendTemplates : public ::testing::Test {
protected:
    void SetUp() override {
        l.report = OpenNetworkFile(std::string(ZAN_FIXTURES) + "/v9.dta", l.net, l.window);
        ASSERT_EQ(l.report.code, kFileOK);
        // The window's templates, set the way a user sets them.
        TNode& n = l.net.InitialNode;
        n.NType = 1;
        n.ResizeValues(l.net.NodeDef.Classs[1].atcount);
        n.NValue[0] = 77;
        n.NValue[1] = 5;
        n.AttString.clear();
        n.AttString.push_back(TText("template lot"));
        n.alabel = "New zone";
        n.Layer = 4;
        n.Font = 4;
        n.Place = 5;
        n.selectlabel = {7, 103};
        n.Suppress = true;
        n.PolygonStyle = 9;
        n.XOffset = 3;
        n.YOffset = -2;
        n.BitmapOverride = 6;
        n.IsFeature = true;
        n.notes = "node notes";
        TLinkValues& k = l.net.InitialLink;
        k.LType = 1;
        k.ResizeValues(l.net.LinkDef.Classs[1].atcount);
        k.LValue[0] = 90;
        k.AttString.clear();
        k.AttString.push_back(TText("template street"));
        k.alabel = "New road";
        k.Font = 2;
        k.Place = 6;
        k.selectlabel = {1, 2};
        k.Suppress = true;
        k.XOffset = -4;
        k.BitmapOverride = 8;
        k.IsFeature = true;
        k.notes = "link notes";
        nodeBefore = Snapshot(n);
        linkBefore = Snapshot(k);
    }

    // Every field of a template a file could hold.
    struct Fields {
        int type;
        std::vector<double> values;
        std::vector<std::string> strings;
        std::string label;
        int layer, font, place, sel1, sel2, style, xoff, yoff, bitmap;
        bool suppress, feature;
        std::string notes;
        bool operator==(const Fields&) const = default;
    };
    template <class Element>
    static Fields Common(const Element& e, int type, const double* values, int count) {
        Fields f{};
        f.type = type;
        f.values.assign(values, values + count);
        for (const TText& t : e.AttString)
            f.strings.push_back(t.str());
        f.label = e.alabel.str();
        f.font = e.Font;
        f.place = e.Place;
        f.sel1 = e.selectlabel[0];
        f.sel2 = e.selectlabel[1];
        f.xoff = e.XOffset;
        f.yoff = e.YOffset;
        f.bitmap = e.BitmapOverride;
        f.suppress = e.Suppress;
        f.feature = e.IsFeature;
        f.notes = e.notes.str();
        return f;
    }
    static Fields Snapshot(const TNode& n) {
        Fields f = Common(n, n.NType, n.NValue.get(), n.ValueCount());
        f.layer = n.Layer;
        f.style = n.PolygonStyle;
        return f;
    }
    static Fields Snapshot(const TLinkValues& k) {
        return Common(k, k.LType, k.LValue.get(), k.ValueCount());
    }

    TReadReport Append(const std::string& text) { return AppendNetworkText(text, l.net, l.window, false); }

    Loaded l;
    Fields nodeBefore{};
    Fields linkBefore{};
};

// Files before version 6 hold no template records: appending one leaves both templates exactly as
// they were.
TEST_F(AppendTemplates, AFileWithoutTemplateRecordsLeavesTheTemplates) {
    ASSERT_EQ(Append(Contents("v5.dt4")).code, kFileOK);
    EXPECT_EQ(l.net.NumberOfLinks, 6); // the file was appended
    EXPECT_TRUE(Snapshot(l.net.InitialNode) == nodeBefore);
    EXPECT_TRUE(Snapshot(l.net.InitialLink) == linkBefore);
}

// A version 9 file always holds the template element records but holds a template's display record
// only when that template's display fields are not all neutral: the type, name and values come
// from the element record, the display fields stay.
TEST_F(AppendTemplates, TemplateElementRecordsReplaceTypeNameAndValuesOnly) {
    std::string text = Contents("v9.dta");
    const std::string display = "\n-1 0 0 3 0 0 0 0 0 0 0 0 0 0 0\r\n";
    const std::size_t at = text.find(display);
    ASSERT_NE(at, std::string::npos);
    text.erase(at + 1, display.size() - 1);
    ASSERT_EQ(Append(text).code, kFileOK);

    Fields node = nodeBefore;
    node.type = 2; // the file's template node: a Stop with one value, unnamed
    node.values = {2};
    node.strings = {};
    node.label = "";
    EXPECT_TRUE(Snapshot(l.net.InitialNode) == node);
    Fields link = linkBefore;
    link.values = {30, 1, TextToCode("P"), 0};
    link.strings = {"unnamed"};
    link.label = "";
    EXPECT_TRUE(Snapshot(l.net.InitialLink) == link);
}

// Template display records replace the template's display fields; the layer, which no record holds,
// stays.
TEST_F(AppendTemplates, TemplateDisplayRecordsReplaceTheDisplayFields) {
    std::string text = Contents("v9.dta");
    // The file's node template display record is "-1 0 0 3 0 0 0 0 0 0 0 0 0 0 0"; add one for the link
    // template, with notes, in front of the link display records.
    const std::string nodeTerminator = "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\r\n";
    const std::size_t at = text.rfind(nodeTerminator);
    ASSERT_NE(at, std::string::npos);
    text.insert(at + nodeTerminator.size(), "-1 -1 0 0 1 4 105 2 0 1 5 -6 7 0\r\nfrom the file\r\n");
    ASSERT_EQ(Append(text).code, kFileOK);

    Fields node = nodeBefore;
    node.type = 2;
    node.values = {2};
    node.strings = {};
    node.label = "";
    node.font = 3;
    node.place = node.sel1 = node.sel2 = node.style = node.xoff = node.yoff = node.bitmap = 0;
    node.suppress = node.feature = false;
    node.notes = "";
    EXPECT_TRUE(Snapshot(l.net.InitialNode) == node);
    EXPECT_EQ(l.net.InitialNode.Layer, 4);

    Fields link = linkBefore;
    link.values = {30, 1, TextToCode("P"), 0};
    link.strings = {"unnamed"};
    link.label = "";
    link.font = 1;
    link.place = 4;
    link.sel1 = 105;
    link.sel2 = 2;
    link.suppress = false;
    link.xoff = 5;
    link.yoff = -6;
    link.bitmap = 7;
    link.feature = false;
    link.notes = "from the file";
    EXPECT_TRUE(Snapshot(l.net.InitialLink) == link);
}

} // namespace
} // namespace zan
