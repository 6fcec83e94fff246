#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/TripTable.h"
#include "core/model/NetworkFixture.h"

namespace zan {
namespace {

class TripTables : public testing::NetworkFixture {
protected:
    void SetUp() override {
        a = Named(0, 0, "ALPHA", 11);
        b = Named(100, 0, "BETA", 12);
        c = Named(100, 100, "GAMMA", 13);
    }
    TNode* Named(std::int32_t x, std::int32_t y, const char* name, std::int32_t serial) {
        TNode* n = Node(x, y);
        n->alabel = name;
        n->snumb = serial;
        return n;
    }
    TTripTableResult Load(const std::string& text) { return LoadDesireTablesFromText(text, net, window); }

    TNode* a = nullptr;
    TNode* b = nullptr;
    TNode* c = nullptr;
};

TEST_F(TripTables, LoadsTables) {
    const std::string text = "ALPHA\r\n"
                             "BETA   \r\n"
                             "END OF ROWS\r\n"
                             "GAMMA\r\n"
                             "ALPHA\r\n"
                             "BETA\r\n"
                             "END OF COLUMNS\r\n"
                             "1, 2.5, -3\r\n"
                             "4e1\t+5 ; 6E-1 and more text\r\n"
                             "\r\n"
                             "G?MMA\n"
                             "END OF ROWS here\n"
                             "B*\n"
                             "END OF COLUMNS\n"
                             "7 8\n"
                             "END OF TABLES\n"
                             "anything after the end\n";
    const TTripTableResult r = Load(text);
    ASSERT_TRUE(r.ok) << r.status;
    EXPECT_EQ(r.status, "Table loaded.");
    ASSERT_EQ(window.DesireTables.size(), 2u);
    const TDesireTable& t1 = window.DesireTables[0];
    EXPECT_EQ(t1.DesireRows, 2);
    EXPECT_EQ(t1.DesireColumns, 3);
    EXPECT_EQ(t1.DesireOrigin, (std::vector<TNode*>{a, b}));
    EXPECT_EQ(t1.DesireDestination, (std::vector<TNode*>{c, a, b}));
    EXPECT_EQ(t1.DesireLines, (std::vector<float>{1, 2.5f, -3, 40, 5, 0.6f}));
    const TDesireTable& t2 = window.DesireTables[1];
    EXPECT_EQ(t2.DesireOrigin, (std::vector<TNode*>{c})); // name patterns work as in a search
    EXPECT_EQ(t2.DesireDestination, (std::vector<TNode*>{b}));
    EXPECT_EQ(t2.DesireLines, (std::vector<float>{7}));
    // The rest of the line after the last number is not read: "8" is ignored.

    ClearDesireTables(window);
    EXPECT_TRUE(window.DesireTables.empty());
}

TEST_F(TripTables, NamesFindTheNodeASearchFinds) {
    // Several nodes of one name, a deleted one among them: the table takes the node a name search
    // finds.
    TNode* deleted = Named(-50, -50, "DUP", 1);
    deleted->IsDrawnN = false;
    Named(300, 300, "DUP", 2);
    Named(-300, 300, "DUP", 3);
    const TNode* found = net.Hash.FindNodeByName("DUP", false, window);
    ASSERT_NE(found, nullptr);
    ASSERT_TRUE(Load("DUP\nEND OF ROWS\nDUP  \nEND OF COLUMNS\n1\n").ok);
    EXPECT_EQ(window.DesireTables[0].DesireOrigin[0], found);
    EXPECT_EQ(window.DesireTables[0].DesireDestination[0], found);
}

TEST_F(TripTables, ErrorsReportTableAndPositionAndLoadNothing) {
    const std::string table1 = "ALPHA\nEND OF ROWS\nBETA\nEND OF COLUMNS\n1\n";
    struct Case {
        const char* name;
        std::string text;
        std::string status;
    };
    const Case cases[] = {
        {"unknown origin", table1 + "ALPHA\nDELTA\nEND OF ROWS\nBETA\nEND OF COLUMNS\n1 2\n",
         "Unknown name in user trip table! Table 2, Row is 2"},
        {"unknown destination", "ALPHA\nEND OF ROWS\nBETA\nGAMMA\nOMEGA\nEND OF COLUMNS\n1 2 3\n",
         "Unknown name in user trip table! Table 1, Column is 3"},
        {"blank name", "ALPHA\n  \nEND OF ROWS\nBETA\nEND OF COLUMNS\n1 2\n",
         "Unknown name in user trip table! Table 1, Row is 2"},
        {"empty file", "", "Unexpected end of user trip table! Table 1"},
        {"end in the rows", "ALPHA\nBETA", "Unexpected end of user trip table! Table 1"},
        {"end in the columns", table1 + "ALPHA\nEND OF ROWS\nBETA\n",
         "Unexpected end of user trip table! Table 2"},
        {"end in the numbers", "ALPHA\nBETA\nEND OF ROWS\nBETA\nEND OF COLUMNS\n1\n",
         "Unexpected end of user trip table! Table 1"},
        {"end of tables in the rows", "ALPHA\nEND OF TABLES\n",
         "Unexpected END OF TABLES in user trip table! Table 1"},
        {"end of tables in the columns", "ALPHA\nEND OF ROWS\nBETA\nEND OF TABLES\n",
         "Unexpected END OF TABLES in user trip table! Table 1"},
        {"end of tables in the numbers", "ALPHA\nBETA\nEND OF ROWS\nBETA\nEND OF COLUMNS\n1\nEND OF TABLES\n",
         "Unexpected END OF TABLES in user trip table! Table 1"},
        {"end of columns in the rows", "ALPHA\nEND OF COLUMNS\n",
         "Unexpected END OF COLUMNS in user trip table! Table 1"},
        {"end of rows in the columns", table1 + "ALPHA\nEND OF ROWS\nBETA\nEND OF ROWS\n",
         "Unexpected END OF ROWS in user trip table! Table 2"},
        {"no rows", "END OF ROWS\nBETA\nEND OF COLUMNS\n1\n",
         "Zero rows or zero columns in a trip table! Table 1"},
        {"no columns", "ALPHA\nEND OF ROWS\nEND OF COLUMNS\n1\n",
         "Zero rows or zero columns in a trip table! Table 1"},
        {"no table at all", "END OF TABLES\n", "Zero rows or zero columns in a trip table! Table 1"},
        {"bad number", "ALPHA\nEND OF ROWS\nBETA\nEND OF COLUMNS\n1.2.3\n",
         "Unable to read numbers in user trip table! Table 1"},
        {"lone sign", table1 + "ALPHA\nEND OF ROWS\nBETA\nEND OF COLUMNS\n- 5\n",
         "Unable to read numbers in user trip table! Table 2"},
        {"beyond single precision", "ALPHA\nEND OF ROWS\nBETA\nEND OF COLUMNS\n1e39\n",
         "Unable to read numbers in user trip table! Table 1"},
        {"not a number", "ALPHA\nEND OF ROWS\nBETA\nEND OF COLUMNS\n1e999\n",
         "Unable to read numbers in user trip table! Table 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Load(table1).ok); // tables loaded before are cleared by a failure
        const TTripTableResult r = Load(c.text);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(window.DesireTables.empty());
    }
}

TEST_F(TripTables, HugeTableIsRefusedBeforeAllocating) {
    // 6000 x 6000 cells named by short lines, with few numbers: refused without allocating 144 MB.
    std::string names;
    for (int i = 0; i < 6000; ++i)
        names += "ALPHA\n";
    const std::string text = names + "END OF ROWS\n" + names + "END OF COLUMNS\n1 2 3\n";
    const TTripTableResult r = Load(text);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.status, "Unexpected end of user trip table! Table 1");
}

// Desire lines: link intervals 1 [0, 10] -> 2, 2 [10.5, 100] -> 4, 3 [200, 300] -> 20, 4 [400, 400] -> 0.
class DesireLines : public TripTables {
protected:
    void SetUp() override {
        TripTables::SetUp();
        TWidthData& wd = window.wd;
        for (int k = 1; k <= kWidthIntervals; ++k) {
            wd.linkbottom[static_cast<std::size_t>(k)] = 1000;
            wd.linktop[static_cast<std::size_t>(k)] = 999;
        }
        wd.linkbottom[1] = 0, wd.linktop[1] = 10, wd.linkactual[1] = 2;
        wd.linkbottom[2] = 10.5, wd.linktop[2] = 100, wd.linkactual[2] = 4;
        wd.linkbottom[3] = 200, wd.linktop[3] = 300, wd.linkactual[3] = 20;
        wd.linkbottom[4] = 400, wd.linktop[4] = 400, wd.linkactual[4] = 0;
    }
    void Table(std::vector<TNode*> origins, std::vector<TNode*> destinations, std::vector<float> cells) {
        TDesireTable t;
        t.DesireRows = static_cast<std::int32_t>(origins.size());
        t.DesireColumns = static_cast<std::int32_t>(destinations.size());
        t.DesireOrigin = std::move(origins);
        t.DesireDestination = std::move(destinations);
        t.DesireLines = std::move(cells);
        window.DesireTables.push_back(std::move(t));
    }
};

TEST_F(DesireLines, ColourWidthAndSkippedCells) {
    window.wd.desirecriterion = "A1:A1";
    Table({a}, {b, c, a, b, c, b}, {5, 50, 250, 500, 400, -1});
    const std::vector<TDesireLine> lines = DesireLineGeometry(net, window);
    const std::vector<TDesireLine> expected = {
        {{0, 0}, {100, 0}, 2, 2},
        {{0, 0}, {100, 100}, 4, 4},
        {{0, 0}, {0, 0}, 20, 0}, // a colour above 16 draws in the window colour
        // 500: in no interval; 400: colour and width 0; -1: in no interval
    };
    EXPECT_EQ(lines, expected);
}

TEST_F(DesireLines, SerialsReachTheExpression) {
    // Attribute 1 is the cell value, 2 the origin's serial, 3 the destination's.
    window.wd.desirecriterion = "(A2 - 11) * 20:A3 * 10 - A1";
    Table({a, b}, {c}, {30, 60});
    const std::vector<TDesireLine> expected = {
        {{0, 0}, {100, 100}, 4, 2},   // colour 0 -> 2, width 130 - 30 = 100 -> 4
        {{100, 0}, {100, 100}, 4, 4}, // colour 20 -> 4, width 130 - 60 = 70 -> 4
    };
    EXPECT_EQ(DesireLineGeometry(net, window), expected);
}

TEST_F(DesireLines, Placement) {
    window.wd.desirecriterion = "A1:A1";
    TNode* same = Named(100, 0, "ECHO", 20); // at B's position: length 0
    Table({a, b}, {b, same}, {50, 50, 50, 50});
    struct Case {
        std::int32_t placement;
        std::vector<TDesireLine> lines;
    };
    const Case cases[] = {
        {0,
         {{{0, 0}, {100, 0}, 4, 4},
          {{0, 0}, {100, 0}, 4, 4},
          {{100, 0}, {100, 0}, 4, 4},
          {{100, 0}, {100, 0}, 4, 4}}},
        // Right of the direction east on a screen whose y grows downwards: y + 2.
        {1,
         {{{0, 2}, {100, 2}, 4, 4},
          {{0, 2}, {100, 2}, 4, 4},
          {{100, 0}, {100, 0}, 4, 4},
          {{100, 0}, {100, 0}, 4, 4}}},
        {2,
         {{{0, -2}, {100, -2}, 4, 4},
          {{0, -2}, {100, -2}, 4, 4},
          {{100, 0}, {100, 0}, 4, 4},
          {{100, 0}, {100, 0}, 4, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.placement);
        window.Display.DesirePlacement = c.placement;
        EXPECT_EQ(DesireLineGeometry(net, window), c.lines);
    }
    // Diagonal, to the right: (round(-0.5 * 4 * 100 / 141.42), round(0.5 * 4 * 100 / 141.42)).
    window.Display.DesirePlacement = 1;
    window.DesireTables.clear();
    Table({a}, {c}, {50});
    const std::vector<TDesireLine> diagonal = {{{-1, 1}, {99, 101}, 4, 4}};
    EXPECT_EQ(DesireLineGeometry(net, window), diagonal);
}

TEST_F(DesireLines, NothingWithoutTwoExpressionsOrWithDeletedNodes) {
    Table({a}, {b}, {5});
    for (const char* text : {"", "A1", " :A1", "A1:"}) {
        SCOPED_TRACE(text);
        window.wd.desirecriterion = text;
        EXPECT_TRUE(DesireLineGeometry(net, window).empty());
    }
    window.wd.desirecriterion = "A1:A1";
    EXPECT_EQ(DesireLineGeometry(net, window).size(), 1u);
    b->IsDrawnN = false;
    EXPECT_TRUE(DesireLineGeometry(net, window).empty());
}

} // namespace
} // namespace zan
