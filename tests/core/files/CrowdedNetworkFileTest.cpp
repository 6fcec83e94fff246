// Network files whose points crowd one position, one cell, or one node's links. Reading any of them
// takes time in proportion to its size: each of these files takes minutes when inserting a point,
// a cell or a link costs time in proportion to how many are there already, and a second or so
// otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileTestSupport.h"
#include "files/NetworkFile.h"
#include "model/HashTable.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan {
namespace {

using testing::Loaded;

// A version 9 file of a network without a schema, built record by record.
class FileBuilder {
public:
    void Node(std::int32_t x, std::int32_t y, std::int32_t serial) {
        nodes_ += "1 " + Ints({x, y, 1, serial}) + " 0 0 0 0 0\r\n\r\n";
    }
    void Link(TPoint a, std::int32_t aSerial, TPoint b, std::int32_t bSerial,
              const std::vector<TPoint>& shape) {
        links_ +=
            "1 " +
            Ints({a.x, a.y, b.x, b.y, 0, aSerial, bSerial, 0, static_cast<std::int32_t>(shape.size())}) +
            "\r\n\r\n";
        for (const TPoint& p : shape)
            links_ += Ints({p.x, p.y}) + " 0 0 0\r\n";
    }
    // A link display record giving the link the font.
    void LinkFont(TPoint a, std::int32_t aSerial, std::int32_t bSerial, int font) {
        linkDisplay_ += Ints({aSerial, bSerial, a.x, a.y, font}) + " 0 0 0 0 0 0 0 0 0\r\n";
    }
    std::string Text() const {
        TNetwork empty;
        TWindowSettings window;
        int errors = 0;
        const std::string model = WriteNetworkText(empty, window, 9, errors);
        const std::string application = model.substr(0, model.find(kEndOfApplication));
        return application + kEndOfApplication + "\r\n" + "1 0 0 1 -1 0 0 0 0 0\r\n\r\n" + nodes_ +
               "0 0 0 0 0 0 0 0 0 0\r\n" + "1 0 0 0 0 0 -1 -1 0 0\r\n\r\n" + links_ +
               "0 0 0 0 0 0 0 0 0 0\r\n" + "0 0 0 0\r\n" + "\r\n0 0 0 0 0 0 0\r\n" +
               "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0\r\n" + linkDisplay_;
    }

private:
    static std::string Ints(std::initializer_list<std::int32_t> values) {
        std::string s;
        for (std::int32_t v : values)
            s += (s.empty() ? "" : " ") + std::to_string(v);
        return s;
    }
    std::string nodes_, links_, linkDisplay_;
};

std::unique_ptr<Loaded> Read(const std::string& text) {
    auto l = std::make_unique<Loaded>();
    l->report = ReadNetworkText(text, l->net, l->window);
    return l;
}

// The points at a position, in the order of their cell.
std::vector<TNetworkPoint*> PointsAt(const TNetwork& net, std::int32_t x, std::int32_t y) {
    std::vector<TNetworkPoint*> points;
    const THashEntry* cell = net.Hash.Address(x, y);
    if (cell == nullptr)
        return points;
    for (TNetworkPoint* p : cell->NodeList) {
        if (p->IsAt(x, y))
            points.push_back(p);
    }
    return points;
}

std::vector<std::int32_t> SerialsOf(const std::vector<TNetworkPoint*>& points) {
    std::vector<std::int32_t> serials;
    for (const TNetworkPoint* p : points)
        serials.push_back(p->AsNode() != nullptr ? p->AsNode()->snumb : 0);
    return serials;
}

std::vector<std::int32_t> Range(std::int32_t first, std::int32_t last) {
    std::vector<std::int32_t> values;
    for (std::int32_t v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}

// A cell takes at most kCellLimit points: the node after them does not fit anywhere, since no grid
// can part nodes at one position, and the read stops there with the nodes before it, in file order.
TEST(CrowdedNetworkFiles, NodesAtOnePositionFillTheirCellAndTheReadStops) {
    FileBuilder file;
    for (std::int32_t serial = 1; serial <= 163900; ++serial)
        file.Node(500, 500, serial);
    auto l = Read(file.Text());
    EXPECT_EQ(l->report.code, kFileOutOfMemory);
    EXPECT_EQ(ReadErrorMessage(l->report), "Memory limits exceeded.");
    EXPECT_EQ(l->net.Hash.PointCount(), kCellLimit);
    EXPECT_EQ(l->net.NumberOfNodes, kCellLimit);
    EXPECT_EQ(SerialsOf(PointsAt(l->net, 500, 500)), Range(1, kCellLimit));
}

// The first failure in the file is the one reported: a crowded file that also ends before its
// node terminator stops where the cell is full, with the nodes read so far, whether the end comes
// in the batch of records being read or after it.
TEST(CrowdedNetworkFiles, TheCellFillingUpComesBeforeAnEarlyEndAfterIt) {
    for (std::int32_t count : {kCellLimit + 10, kCellLimit + 5000}) {
        SCOPED_TRACE(count);
        FileBuilder file;
        for (std::int32_t serial = 1; serial <= count; ++serial)
            file.Node(500, 500, serial);
        std::string text = file.Text();
        text.resize(text.find("0 0 0 0 0 0 0 0 0 0\r\n", text.find(kEndOfApplication)));
        auto l = Read(text);
        EXPECT_EQ(l->report.code, kFileOutOfMemory);
        EXPECT_EQ(l->net.Hash.PointCount(), kCellLimit);
    }
}

// Nodes at one position keep their file order among nodes of the same cell before and behind them,
// and links between them are found by position and serial.
TEST(CrowdedNetworkFiles, NodesAtOnePositionAmongOthersKeepTheirFileOrder) {
    FileBuilder file;
    std::vector<std::int32_t> coincident;
    const std::int32_t count = 160000;
    for (std::int32_t serial = 1; serial <= count; ++serial) {
        if (serial % 4 != 0) {
            file.Node(800, 800, serial);
            coincident.push_back(serial);
        } else {
            // Other points of the cell, in no order: some with keys below the crowded position's.
            const std::int32_t i = serial * 7919 % 640000;
            file.Node(i % 1600, i / 1600 % 1600, serial);
        }
    }
    for (std::size_t i = 1; i < coincident.size(); ++i)
        file.Link({800, 800}, coincident[i - 1], {800, 800}, coincident[i], {});
    auto l = Read(file.Text());
    ASSERT_EQ(l->report.code, kFileOK);
    EXPECT_EQ(l->net.Hash.PointCount(), count);
    EXPECT_EQ(SerialsOf(PointsAt(l->net, 800, 800)), coincident);
    EXPECT_EQ(l->net.NumberOfLinks, static_cast<std::int32_t>(coincident.size()) - 1);
    const THashEntry* cell = l->net.Hash.Address(800, 800);
    for (std::int32_t i = 1; i < cell->NodeList.Count(); ++i)
        ASSERT_LE(cell->NodeList[i - 1]->MyKey.whole, cell->NodeList[i]->MyKey.whole) << i;
}

// Shape points at one position: each goes in front of the points already there, the node among
// them included, and the link keeps them in file order.
TEST(CrowdedNetworkFiles, ShapePointsAtOnePosition) {
    FileBuilder file;
    file.Node(0, 0, 1);
    file.Node(3000, 0, 2);
    file.Node(500, 500, 3);
    const std::vector<TPoint> shape(200000, TPoint{500, 500});
    file.Link({0, 0}, 1, {3000, 0}, 2, shape);
    file.LinkFont({0, 0}, 1, 2, 4);
    auto l = Read(file.Text());
    ASSERT_EQ(l->report.code, kFileOK);
    ASSERT_EQ(l->net.NumberOfLinks, 1);
    TNetworkPoint* first = l->net.Hash.Address(0, 0)->PointAt(0, 0);
    ASSERT_NE(first, nullptr);
    const TLinkValues& link = *first->AsNode()->LinkList[0]->LinkData;
    EXPECT_EQ(link.Font, 4);
    ASSERT_EQ(link.ShapePoints.size(), shape.size());
    const std::vector<TNetworkPoint*> there = PointsAt(l->net, 500, 500);
    ASSERT_EQ(there.size(), shape.size() + 1);
    for (std::uint32_t i = 0; i < shape.size(); ++i)
        ASSERT_EQ(there[i], link.ShapePoints[static_cast<std::uint32_t>(shape.size()) - 1 - i]) << i;
    EXPECT_EQ(SerialsOf({there.back()}), std::vector<std::int32_t>{3});
}

// Shape points that each open a cell, in the reverse of the cells' order.
TEST(CrowdedNetworkFiles, ShapePointsOpeningCellsInReverseOrder) {
    FileBuilder file;
    file.Node(0, 0, 1);
    file.Node(10, 10, 2);
    std::vector<TPoint> shape;
    for (std::int32_t c = 390000; c > 0; --c)
        shape.push_back({(c % 620 - 310) * 1600 + 5, (c / 620 - 310) * 1600 + 5});
    file.Link({0, 0}, 1, {10, 10}, 2, shape);
    auto l = Read(file.Text());
    ASSERT_EQ(l->report.code, kFileOK);
    const TNetwork& net = l->net;
    for (std::int32_t i = 1; i < net.Hash.Count(); ++i)
        ASSERT_LT(net.Hash[i - 1]->MyKey.whole, net.Hash[i]->MyKey.whole) << i;
    const TLinkValues& link = *net.Hash.Address(0, 0)->PointAt(0, 0)->AsNode()->LinkList[0]->LinkData;
    ASSERT_EQ(link.ShapePoints.size(), shape.size());
    for (std::uint32_t i = 0; i < shape.size(); ++i) {
        const TShapePoint* sp = link.ShapePoints[i];
        ASSERT_EQ(sp->Position(), shape[i]) << i;
        const THashEntry* cell = net.Hash.Address(sp->x_cent, sp->y_cent);
        ASSERT_NE(cell, nullptr) << i;
        ASSERT_EQ(cell->PointAt(sp->x_cent, sp->y_cent), sp) << i;
    }
}

// One node with very many links, each with a display record, and one record joining a pair again.
TEST(CrowdedNetworkFiles, ANodeWithVeryManyLinks) {
    FileBuilder file;
    const std::int32_t leaves = 200000;
    file.Node(0, 0, 1);
    for (std::int32_t i = 1; i <= leaves; ++i)
        file.Node(i % 1000 * 100 + 100, i / 1000 * 100, i + 1);
    for (std::int32_t i = 1; i <= leaves; ++i) {
        const TPoint leaf{i % 1000 * 100 + 100, i / 1000 * 100};
        if (i % 2 == 0) {
            file.Link({0, 0}, 1, leaf, i + 1, {});
        } else {
            file.Link(leaf, i + 1, {0, 0}, 1, {});
        }
    }
    file.Link({0, 0}, 1, {200, 0}, 2, {}); // joins the hub and its first leaf again
    for (std::int32_t i = 2; i <= leaves; i += 2)
        file.LinkFont({0, 0}, 1, i + 1, 3);
    auto l = Read(file.Text());
    ASSERT_EQ(l->report.code, kFileOK);
    EXPECT_EQ(l->report.redundantLinks, 1);
    EXPECT_EQ(l->net.NumberOfLinks, leaves);
    const TNode& hub = *l->net.Hash.Address(0, 0)->PointAt(0, 0)->AsNode();
    ASSERT_EQ(hub.LinkList.size(), static_cast<std::uint32_t>(leaves));
    int withFont = 0;
    for (const TLink* half : hub.LinkList)
        withFont += half->LinkData->Font == 3 ? 1 : 0;
    EXPECT_EQ(withFont, leaves / 2);
}

std::string CoincidentNodes(std::int32_t count) {
    FileBuilder file;
    for (std::int32_t serial = 1; serial <= count; ++serial)
        file.Node(500, 500, serial);
    return file.Text();
}

// Appended nodes land where reading the file into the window would put them: behind the window's
// own nodes at their position, in file order.
TEST(CrowdedNetworkFiles, AppendedNodesGoBehindTheWindowsOwnInFileOrder) {
    auto l = Read(CoincidentNodes(3));
    ASSERT_EQ(l->report.code, kFileOK);
    ASSERT_EQ(AppendNetworkText(CoincidentNodes(50000), l->net, l->window, false).code, kFileOK);
    EXPECT_EQ(SerialsOf(PointsAt(l->net, 500, 500)), Range(1, 50003));
}

// When the appended nodes do not fit the window's cell, nothing is appended and the window keeps
// everything as it was.
TEST(CrowdedNetworkFiles, AnAppendThatDoesNotFitChangesNothing) {
    auto l = Read(CoincidentNodes(10));
    ASSERT_EQ(l->report.code, kFileOK);
    const std::int32_t cellSize = l->net.Hash.MyXCellSize;
    const TReadReport report = AppendNetworkText(CoincidentNodes(kCellLimit - 5), l->net, l->window, false);
    EXPECT_EQ(report.code, kFileOutOfMemory);
    EXPECT_EQ(AppendErrorMessage(report), "The file was not appended.");
    EXPECT_EQ(l->net.Hash.PointCount(), 10);
    EXPECT_EQ(l->net.NumberOfNodes, 10);
    EXPECT_FALSE(l->net.Modified);
    EXPECT_EQ(l->net.Hash.MyXCellSize, cellSize);
    EXPECT_EQ(SerialsOf(PointsAt(l->net, 500, 500)), Range(1, 10));
    // The window still takes a file that fits.
    EXPECT_EQ(AppendNetworkText(CoincidentNodes(5), l->net, l->window, false).code, kFileOK);
    EXPECT_EQ(SerialsOf(PointsAt(l->net, 500, 500)), Range(1, 15));
}

} // namespace
} // namespace zan
