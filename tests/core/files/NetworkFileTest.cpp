#include <gtest/gtest.h>

#include <string>

#include "calc/DateTime.h"
#include "core/model/NetworkFixture.h"
#include "FileTestSupport.h"
#include "files/NetworkFile.h"
#include "schema/AttributeValues.h"

namespace zan {
namespace {

using testing::FirstDifference;
using testing::Loaded;

// A network that uses every kind of record: a schema with each attribute format, system attributes,
// nodes with values and names, links with shape points, a polygon through a node and a shape point,
// display fields and notes, and templates.
class NetworkFileTest : public testing::NetworkFixture {
protected:
    void SetUp() override {
        TEntityType& zone = net.NodeDef.Classs[1];
        zone.ename = "Zone";
        zone.Alias = "ZN";
        zone.atcount = 5;
        const char formats[] = {'R', 'I', 'C', 'X', 'S'};
        for (int i = 1; i <= 5; ++i) {
            TAttrib& a = zone.EnsureAttribute(i);
            a.aformat = formats[i - 1];
            a.atname = std::string("Attr") + formats[i - 1];
            a.SetAlias(std::string("a") + formats[i - 1]);
        }
        TAttrib& cat = *zone.Attribute(3);
        cat.wcount = 3;
        cat.WorkSheet = std::make_unique<TWorkSheet>();
        cat.WorkSheet->WorkDef[1] = {0, 0, "Area", "UR", "Urban&&Rural&&", 254, 0};
        zone.Attribute(1)->rangeset = true;
        zone.Attribute(1)->brange = 1.5;
        zone.Attribute(1)->trange = 99;
        zone.Attribute(1)->wcount = 1;
        zone.Attribute(1)->wftype = wfLinear;
        zone.Attribute(1)->WorkSheet = std::make_unique<TWorkSheet>();
        zone.Attribute(1)->WorkSheet->WorkDef[1].param = 2.5;
        net.NodeDef.Classs[2].ename = "Stop";
        net.NodeDef.ResetStringPosList();

        TEntityType& road = net.LinkDef.Classs[1];
        road.ename = "Road";
        road.atcount = 2;
        road.hasarrow = true;
        road.EnsureAttribute(1).aformat = 'R';
        road.Attribute(1)->atname = "Speed";
        road.EnsureAttribute(2).aformat = 'S';
        road.Attribute(2)->atname = "Street";
        net.LinkDef.ResetStringPosList();

        TEntityType& sys = net.SystemDef.Classs[1];
        sys.atcount = 3;
        sys.Attribute(1)->atname = "Year";
        sys.Attribute(2)->atname = "Region";
        sys.Attribute(2)->aformat = 'S';
        sys.Attribute(3)->atname = "Code";
        sys.Attribute(3)->aformat = 'C';
        net.SystemDef.ResetStringPosList();
        net.SystemValues[0] = 2026;
        net.SystemValues[2] = TextToCode("AB");
        net.SystemStrings.push_back(TText("North"));

        a = Node(-1000, 2000, 1);
        b = Node(5000, 2000, 1);
        c = Node(5000, -3000, 2);
        a->alabel = "Alpha";
        a->NValue[0] = 12.25;
        a->NValue[1] = 7;
        a->NValue[2] = TextToCode("UR");
        MyDateTime d = MyDateTime::Zero();
        d.Year = 126;
        d.Month = 12;
        d.Day = 9;
        a->NValue[3] = DateToDouble(d);
        a->AttString[0] = "first street";
        a->Font = 2;
        a->notes = "line one&&line two";
        a->long_ = -870000000;
        a->lat = 410000000;
        ab = Link(a, b, {{2000, 2500}, {3000, 2400}}, 1);
        ab->alabel = "Main";
        ab->LValue[0] = 55;
        ab->AttString[0] = "Main Street";
        ab->Place = 3;
        bc = Link(b, c, {}, 1);
        Polygon(c, {a, ab->ShapePoints[1], b});
        net.Hash.fixrectangles(window);
    }

    std::string Write(int version) {
        int errors = 0;
        return WriteNetworkText(net, window, version, errors);
    }

    TNode* a = nullptr;
    TNode* b = nullptr;
    TNode* c = nullptr;
    TLinkValues* ab = nullptr;
    TLinkValues* bc = nullptr;
};

std::unique_ptr<Loaded> Read(const std::string& text) {
    auto l = std::make_unique<Loaded>();
    l->report = ReadNetworkText(text, l->net, l->window);
    return l;
}

TNode* NodeNamed(TNetwork& net, std::string_view name) {
    return net.Hash.FindNodeByName(name, false, TWindowSettings());
}

TEST_F(NetworkFileTest, CurrentVersionRoundTripsEverything) {
    const std::string text = Write(9);
    ASSERT_EQ(text.rfind("ZAN 1.09\r\n", 0), 0u);
    auto l = Read(text);
    ASSERT_EQ(l->report.code, kFileOK);
    EXPECT_EQ(l->report.version, 9);
    // Writing what was read gives the same file.
    int errors = 0;
    EXPECT_EQ(FirstDifference(WriteNetworkText(l->net, l->window, 9, errors), text), "");

    TNetwork& n = l->net;
    EXPECT_EQ(n.NodeDef.Classs[1].ename, "Zone");
    EXPECT_EQ(n.NodeDef.Classs[1].Alias, "ZN");
    EXPECT_EQ(n.NodeDef.Classs[1].Attribute(5)->AliasUp, "AS");
    EXPECT_EQ(n.NodeDef.Classs[1].Attribute(3)->WorkSheet->WorkDef[1].hint, "Urban&&Rural&&");
    EXPECT_EQ(n.NodeDef.Classs[1].numstrings, 1);
    EXPECT_TRUE(n.LinkDef.Classs[1].hasarrow);
    EXPECT_TRUE(n.NodeDef.Classs[1].Attribute(1)->rangeset);
    EXPECT_EQ(n.NodeDef.Classs[1].Attribute(1)->brange, 1.5);
    EXPECT_EQ(n.SystemValues[0], 2026);
    EXPECT_EQ(CodeToText(n.SystemValues[2]), "AB      ");
    ASSERT_EQ(n.SystemStrings.size(), 1u);
    EXPECT_EQ(n.SystemStrings[0], "North");

    TNode* ra = NodeNamed(n, "Alpha");
    ASSERT_NE(ra, nullptr);
    EXPECT_EQ(ra->NValue[0], 12.25);
    EXPECT_EQ(ra->NValue[1], 7);
    EXPECT_EQ(CodeToText(ra->NValue[2]), "UR      ");
    EXPECT_EQ(FormatDateText(ra->NValue[3], 2), "12/9/2026");
    EXPECT_EQ(ra->AttString[0], "first street");
    EXPECT_EQ(ra->notes, "line one&&line two");
    EXPECT_EQ(ra->Font, 2);
    EXPECT_EQ(ra->long_, -870000000);
    ASSERT_EQ(ra->LinkList.size(), 1u);
    const TLinkValues& rab = *ra->LinkList[0]->LinkData;
    EXPECT_EQ(rab.alabel, "Main");
    EXPECT_EQ(rab.LValue[0], 55);
    EXPECT_EQ(rab.AttString[0], "Main Street");
    EXPECT_EQ(rab.Place, 3);
    ASSERT_EQ(rab.ShapePoints.size(), 2u);
    EXPECT_EQ(rab.ShapePoints[1]->Position(), (TPoint{3000, 2400}));
    // The polygon keeps its shape point vertex.
    TNode* rc = n.Hash.Address(5000, -3000)->PointAt(5000, -3000)->AsNode();
    ASSERT_EQ(rc->MyPolygonList.Count(), 3);
    EXPECT_EQ(rc->MyPolygonList[1], rab.ShapePoints[1]);
    EXPECT_EQ(n.NumberOfNodes, 3);
    EXPECT_EQ(n.NumberOfLinks, 2);
    EXPECT_EQ(l->window.XMin, -1000);
    EXPECT_EQ(l->window.YMax, 2000);
}

// Reading keeps every derived rectangle, distance and bound up to date as it inserts: recomputing
// them all afterwards changes nothing.
TEST_F(NetworkFileTest, ReadingLeavesDerivedDataAsARecomputeWould) {
    a->long_ = -870000000;
    auto l = Read(Write(9));
    ASSERT_EQ(l->report.code, kFileOK);
    struct CellState {
        TRect link, node;
        std::int32_t xdist, ydist, latmin, latmax, longmin, longmax;
        bool polygons;
        bool operator==(const CellState&) const = default;
    };
    auto snapshot = [](const TNetwork& net) {
        std::vector<CellState> cells;
        for (const THashEntry* c : net.Hash) {
            cells.push_back({c->linkcomprectangle, c->compositerectangle, c->xdist, c->ydist, c->latmin,
                             c->latmax, c->longmin, c->longmax, c->HasPolygons});
        }
        std::vector<TRect> rects;
        net.Hash.ForEachLink([&](TLinkValues& link) { rects.push_back(link.LinkRect); });
        return std::pair{cells, rects};
    };
    const auto before = snapshot(l->net);
    const TWindowSettings windowBefore = l->window;
    l->net.Hash.FixAll(l->window);
    EXPECT_TRUE(snapshot(l->net) == before);
    EXPECT_EQ(l->window.XMin, windowBefore.XMin);
    EXPECT_EQ(l->window.YMax, windowBefore.YMax);
}

TEST_F(NetworkFileTest, EveryVersionRereadsWhatItWrote) {
    for (int v : {1, 3, 4, 5, 6, 7, 8, 9}) {
        // What a version cannot hold is lost on the first trip; after that a file reads back unchanged.
        auto l = Read(Write(v));
        ASSERT_EQ(l->report.code, kFileOK) << "version " << v;
        int errors = 0;
        const std::string text = WriteNetworkText(l->net, l->window, v, errors);
        auto again = Read(text);
        ASSERT_EQ(again->report.code, kFileOK) << "version " << v;
        EXPECT_EQ(FirstDifference(WriteNetworkText(again->net, again->window, v, errors), text), "")
            << "version " << v;
        EXPECT_EQ(NodeNamed(l->net, "Alpha")->long_, v >= 8 ? -870000000 : 0) << v;
        EXPECT_EQ(l->net.NumberOfLinks, 2) << v;
        TNode* ra = NodeNamed(l->net, "Alpha");
        ASSERT_NE(ra, nullptr) << v;
        EXPECT_EQ(ra->NValue[0], 12.25) << v;
        const TLinkValues& rab = *ra->LinkList[0]->LinkData;
        EXPECT_EQ(rab.ShapePoints.size(), v >= 6 ? 2u : 0u) << v;
        TNode* rc = l->net.Hash.Address(5000, -3000)->PointAt(5000, -3000)->AsNode();
        // Version 1..3 keep no polygons; before 7 the shape point vertex is lost.
        EXPECT_EQ(rc->MyPolygonList.Count(), v < 4 ? 0 : (v < 7 ? 2 : 3)) << v;
        // Categories keep 6 characters before version 6 ("UR" fits); dates exist from version 5.
        EXPECT_EQ(CodeToText(ra->NValue[2]).substr(0, 2), v == 1 ? std::string("  ") : std::string("UR"))
            << v;
    }
}

TEST_F(NetworkFileTest, OlderVersionsLoseWhatTheyCannotHold) {
    TEntityType& zone = net.NodeDef.Classs[1];
    zone.atcount = 12;
    for (int i = 6; i <= 12; ++i)
        zone.EnsureAttribute(i).aformat = 'R';
    a->ResizeValues(12);
    a->NValue[10] = 11;
    a->NValue[11] = 12;
    a->NValue[2] = TextToCode("ABCDEFGH");
    zone.Attribute(3)->wcount = 8;
    ab->alabel = std::string(30, 'x');

    auto v5 = Read(Write(5));
    ASSERT_EQ(v5->report.code, kFileOK);
    TNode* ra = NodeNamed(v5->net, "Alpha");
    EXPECT_EQ(v5->net.NodeDef.Classs[1].atcount, 10);
    EXPECT_EQ(ra->ValueCount(), 10);
    EXPECT_EQ(CodeToText(ra->NValue[2]), "ABCDEF  ");

    auto v9 = Read(Write(9));
    ra = NodeNamed(v9->net, "Alpha");
    EXPECT_EQ(ra->ValueCount(), 12);
    EXPECT_EQ(ra->NValue[11], 12);
    EXPECT_EQ(CodeToText(ra->NValue[2]), "ABCDEFGH");
}

TEST_F(NetworkFileTest, HeadersAndTruncatedFilesAreRefused) {
    const std::string text = Write(9);
    const std::string body = text.substr(text.find("\r\n"));
    struct Case {
        std::string text;
        int code;
    };
    const Case cases[] = {
        {"ZAN 1.09 " + body, kFileFormatError},
        {"ZAN 1.01" + body, kFileFormatError},
        {"ZAN 1.09\r\n", kFileFormatError},
        {"", kFileFormatError},
        {text.substr(0, text.size() / 2), kFileFormatError},
        {text.substr(0, text.find(kEndOfApplication)), kFileFormatError},
        {text, kFileOK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.text)->report.code, c.code) << c.text.substr(0, 12);
}

TEST_F(NetworkFileTest, LoopedAndRedundantLinksAreCountedAndDropped) {
    std::string text = Write(9);
    // Append a looped link (A to A) and a redundant one (B to A, already joined A to B) to the records.
    const std::string terminator = "0 0 0 0 0 0 0 0 0 0\r\n";
    const std::size_t nodesEnd = text.find(terminator, text.find(kEndOfApplication));
    const std::size_t links = text.find(terminator, nodesEnd + terminator.size());
    ASSERT_NE(links, std::string::npos);
    // Serials in writing order: (5000, -3000) 1, (5000, 2000) 2, (-1000, 2000) 3.
    const std::string extra = "1 -1000 2000 -1000 2000 1 3 3 0 0\r\nloop\r\n"
                              "1 5000 2000 -1000 2000 1 2 3 0 0\r\nagain\r\n"
                              "1 5000 2000 -1000 2000 1 2 99 0 0\r\nmissing end\r\n";
    text.insert(links, extra);
    auto l = Read(text);
    ASSERT_EQ(l->report.code, kFileOK);
    EXPECT_EQ(l->report.loopedLinks, 1);
    EXPECT_EQ(l->report.redundantLinks, 1);
    EXPECT_EQ(l->net.NumberOfLinks, 2);
    EXPECT_EQ(DroppedLinksMessage(l->report),
              "Illegal Links Detected.\nRedundant Links = 1\nLooped Links = 1");
}

TEST_F(NetworkFileTest, HostileNumbersAreReadErrors) {
    const std::string text = Write(9);
    const std::size_t node = text.find("1 -1000 2000 ");
    ASSERT_NE(node, std::string::npos);
    struct Case {
        const char* from;
        const char* to;
    };
    const Case cases[] = {
        {"1 -1000 2000 ", "1 -1000 2000000 "},               // off the plane
        {"1 -1000 2000 ", "1 -1000 99999999999 "},           // beyond 32 bits
        {"1 -1000 2000 1 3 1 5 ", "1 -1000 2000 1 3 1 -5 "}, // negative value count
    };
    for (const Case& c : cases) {
        std::string bad = text;
        const std::size_t at = bad.find(c.from, node);
        ASSERT_NE(at, std::string::npos) << c.from;
        bad.replace(at, std::string(c.from).size(), c.to);
        EXPECT_EQ(Read(bad)->report.code, kFileFormatError) << c.to;
    }
}

TEST_F(NetworkFileTest, AppendShiftsSerialsAndMergesOnlyOnSuccess) {
    const std::string text = Write(9);
    auto l = Read(text);
    ASSERT_EQ(l->report.code, kFileOK);
    const TReadReport appended = AppendNetworkText(text, l->net, l->window, false);
    ASSERT_EQ(appended.code, kFileOK);
    EXPECT_EQ(l->net.Hash.PointCount(), 2 * (3 + 2));
    EXPECT_EQ(l->net.NumberOfLinks, 4);
    EXPECT_EQ(l->net.NumberOfNodes, 6);
    EXPECT_TRUE(l->net.Modified);
    // Every link joins nodes of its own copy: serials 1..3 or 4..6.
    l->net.Hash.ForEachLink([](TLinkValues& link) {
        EXPECT_EQ(link.AEnd->snumb > 3, link.BEnd->snumb > 3);
        EXPECT_NE(link.AEnd, link.BEnd);
    });

    const std::int64_t before = l->net.Hash.PointCount();
    const TReadReport failed = AppendNetworkText(text.substr(0, text.size() - 200), l->net, l->window, true);
    EXPECT_NE(failed.code, kFileOK);
    EXPECT_EQ(l->net.Hash.PointCount(), before);
    EXPECT_EQ(AppendErrorMessage(failed), "The file was not appended.");
}

TEST_F(NetworkFileTest, DisplayRecordsForMissingElementsAndAMissingTerminator) {
    std::string text = Write(9);
    // A node display record for a node that does not exist, with notes, before the terminator.
    const std::string nodeTerminator = "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\r\n";
    const std::size_t at = text.rfind(nodeTerminator);
    ASSERT_NE(at, std::string::npos);
    text.insert(at, "77 1 1 1 0 0 0 0 0 0 1 0 0 0 0\r\nnotes of nobody\r\n");
    auto l = Read(text);
    ASSERT_EQ(l->report.code, kFileOK);
    TNode* ra = NodeNamed(l->net, "Alpha");
    ASSERT_NE(ra, nullptr);
    EXPECT_EQ(ra->LinkList[0]->LinkData->Place, 3); // the link display record after it was read
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

} // namespace
} // namespace zan
