// THashTable: the container of one network. It owns every node and shape point, grouped into square
// cells of the plane, and finds elements by position, name and serial.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "model/Collect.h"
#include "model/NetworkElements.h"

namespace zan {

class TNetwork;
class TEntityClass;
struct TWindowSettings;

inline constexpr std::int32_t kDefaultCellSize = 1600;
inline constexpr std::int32_t kMinCellSize = 16;    // below this, cell numbers of the plane leave 16 bits
inline constexpr std::int32_t kMaxCellSize = 32767; // offsets inside a cell stay within 16 bits
inline constexpr std::int32_t kCellLimit = 163840;  // most cells in a table, most points in a cell

struct PointKeyTraits {
    using Key = std::int32_t;
    static Key KeyOf(TNetworkPoint* const& p) { return p->MyKey.whole; }
    static int Compare(Key a, Key b) { return a < b ? -1 : (a > b ? 1 : 0); }
};

// A cell's points, sorted by their offset key; several points may share a position.
class TNodeList : public TMySortedList<TNetworkPoint*, PointKeyTraits, NoDispose> {
public:
    TNodeList() : TMySortedList(4, 4, true) {}
};

// One cell of the table.
class THashEntry {
public:
    THashEntry(std::int32_t cx, std::int32_t cy, THashTable& AHash);
    ~THashEntry(); // destroys the points the cell still holds
    THashEntry(const THashEntry&) = delete;
    THashEntry& operator=(const THashEntry&) = delete;

    std::int32_t x1, y1, x2, y2; // the cell's extent
    std::int32_t xdist = 0, ydist = 0;
    std::int32_t latmin = 900000001, latmax = -900000001;
    std::int32_t longmin = 1800000001, longmax = -1800000001;
    THashTable* MyHash;
    bool NodeTouch = true;
    bool LinkTouch = true;
    bool HasLabels = false;
    bool HasPolygons = false;
    MyKeyRecord MyKey;
    TNodeList NodeList;
    TRect compositerectangle;
    TRect linkcomprectangle;

    // The first point exactly at (x, y), compared by position, or null.
    TNetworkPoint* PointAt(std::int32_t x, std::int32_t y) const;
    // Index of the first point whose key is that of (x, y).
    std::int32_t FirstIndexAt(std::int32_t x, std::int32_t y) const;
    // Whether the cell's extent contains (x, y).
    bool Holds(std::int64_t x, std::int64_t y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }

    void updatenoderectangle();
    void updatelinkrectangle();
    void updatelonglat(const TNetworkPoint& n);
    void ResetLongLat();

private:
    friend class THashTable;
    // While the table loads (THashTable::BeginLoad), the last waiting_ points of NodeList wait there
    // out of key order, all to go in front of the points with their key (waitInFront_) or all behind
    // them. Lookups by position see only the points before them.
    std::int32_t Ordered() const { return NodeList.Count() - waiting_; }
    std::int32_t waiting_ = 0;
    bool waitInFront_ = false;
};

struct CellKeyTraits {
    using Key = std::int32_t;
    static Key KeyOf(THashEntry* const& c) { return c->MyKey.whole; }
    static int Compare(Key a, Key b) { return a < b ? -1 : (a > b ? 1 : 0); }
};

// Decides whether an element is in the current search (the range filter). The default lets every
// element pass, which is the filter of a window whose search is off.
class TElementFilter {
public:
    virtual ~TElementFilter() = default;
    virtual bool PassesNode(const TNode&) const { return true; }
    virtual bool PassesLink(const TLinkValues&) const { return true; }
};

using elevenintegers = std::array<std::int32_t, 11>;

// A name pattern: "?" matches any one character (or nothing at the end), a final "*" any ending.
class TNamePattern {
public:
    static constexpr std::size_t kCapacity = 255;
    explicit TNamePattern(std::string_view pattern);
    bool Matches(std::string_view name) const;
    const std::string& Text() const { return pattern_; }

private:
    std::string pattern_;
};

std::int32_t totalascii(std::string_view aname);

class THashTable : public TMySortedList<THashEntry*, CellKeyTraits> {
public:
    explicit THashTable(TNetwork& owner, std::int32_t XCell = kDefaultCellSize,
                        std::int32_t YCell = kDefaultCellSize);
    ~THashTable();
    THashTable(const THashTable&) = delete;
    THashTable& operator=(const THashTable&) = delete;

    bool HasPolygons = false;
    std::int32_t MyXCellSize;
    std::int32_t MyYCellSize;
    // Since the last network file was read, the grid was enlarged (cells doubled) or shrunk (halved).
    bool GridEnlarged = false;
    bool GridShrunk = false;

    TNetwork& Network() const { return *network_; }

    // ---- addressing ----
    // Cell numbers of a position (floor division); false when they do not fit the 16-bit key.
    bool CellNumbers(std::int64_t x, std::int64_t y, std::int32_t& cx, std::int32_t& cy) const;
    MyKeyRecord key(std::int64_t x, std::int64_t y) const;
    THashEntry* Address(std::int64_t x, std::int64_t y) const;

    // ---- insertion ----
    // A new node at (x, y), completed from the network's template node; null when the position is
    // off the grid or the cell limits are reached. hashaddress receives the cell.
    // With keepOrder, a node lands behind the points at the same position instead of in front of them
    // (reading a file keeps the order of coincident nodes).
    TNode* InsertNode(std::int32_t x, std::int32_t y, std::int32_t NumAttributes, bool NeedsInitialize,
                      THashEntry*& hashaddress, bool keepOrder = false);
    // A new shape point at position ShapePosition (0-based) of the link; null when (x, y) is off the grid.
    TShapePoint* InsertShapePoint(std::int32_t x, std::int32_t y, TLinkValues& TheLink,
                                  std::int32_t ShapePosition);
    // A new link from n1 (A) to n2 (B), made from the network's template link. The caller makes sure
    // that no link joins n1 and n2 yet and that they differ. l1 and l2 receive the A and B halves.
    TLinkValues* InsertLink(TNode& n1, TNode& n2, TLink*& l1, TLink*& l2, std::int32_t NumAttributes,
                            bool NeedsInitialize);
    // Puts an existing point into the cell of its position (after moving it); false when off the grid
    // or the cell limits are reached. With keepOrder it lands behind the points at the same position.
    bool PlacePoint(TNetworkPoint& point, bool keepOrder = false);
    // Takes a point out of its cell without destroying it.
    void UnplacePoint(TNetworkPoint& point);
    // Removes a link completely: both halves, its shape points, its record.
    void DestroyLink(TLinkValues* link);

    // ---- searches ----
    bool SearchMe(TNode*& position, TShapePoint*& sp, std::int32_t x, std::int32_t y, bool once, bool shapeok,
                  const TWindowSettings& window) const;
    bool Plotable(const TNode& NewNode, const TWindowSettings& window) const;
    bool SearchInput(TNode*& n1, std::int32_t x, std::int32_t y, std::int32_t A_or_B) const;
    bool SearchInputLink(TLink*& l, std::int32_t x, std::int32_t y, std::int32_t A, std::int32_t B) const;
    bool SearchLongLat(std::int32_t x, std::int32_t y, std::int32_t longn, std::int32_t latn,
                       std::int32_t layern, TNode*& n, TShapePoint*& sp, bool shapeok) const;
    bool SearchNodePoly(std::int32_t polyidn, std::string_view CENIDn, TNode*& n) const;
    // restrict: only types 1..10 selected in the window's extract node (link) types.
    TNode* FindNodeByName(std::string_view pattern, bool restrict, const TWindowSettings& window) const;
    TLink* FindLinkByName(std::string_view pattern, bool restrict, const TWindowSettings& window) const;
    TLink* FindLinkBySerial(std::int32_t serial, std::int32_t x, std::int32_t y) const;

    // ---- upkeep of derived data ----
    void updatepolygons();
    // Recomputes every link and polygon rectangle and the window's extents.
    void fixrectangles(TWindowSettings& window);
    void fixlonglat();
    void ResetDistances();
    void FixStrings();
    // ResetDistances, fixrectangles, fixlonglat and FixStrings, in the order a merged network needs.
    void FixAll(TWindowSettings& window);
    void ResetAttributeSizes(const TEntityClass& EntityDef);
    // Marks the cells a repaint of arect (logical coordinates) must draw.
    void Touch(const TRect& arect, bool IsPenPlot, const TWindowSettings& window);
    std::int32_t MaxNodeListSize() const;

    // ---- counts by entity type (entry 0 always 0) ----
    void NumberOfNodes(elevenintegers& NumberElements, const TWindowSettings& window,
                       const TElementFilter& filter = TElementFilter()) const;
    void NumberOfPolygons(elevenintegers& NumberElements, const TWindowSettings& window,
                          const TElementFilter& filter = TElementFilter()) const;
    void NumberOfLinks(elevenintegers& NumberElements, const TWindowSettings& window,
                       const TElementFilter& filter = TElementFilter()) const;

    // ---- name tables ----
    void BuildNameTables();
    TNode* GetTabledNodeName(std::string_view aname) const;
    TLink* GetTabledLinkName(std::string_view aname) const;
    void DestroyNameTables();

    // Replaces FromText by ToText in the names of drawn nodes (or drawn links), cutting to 30 characters.
    void ReplaceNames(std::string_view FromText, std::string_view ToText, bool nodes);

    // ---- the grid ----
    // After bulk insertion: halves the cells while one holds too many points, doubles them while
    // there are too many cells.
    void Rebalance(TWindowSettings& window);
    // Rebuilds the grid in place with new cell sizes (clamped to 16..32767); every cell pointer held
    // elsewhere goes stale.
    void RebuildWithCells(std::int32_t XCell, std::int32_t YCell, TWindowSettings& window);

    // ---- loading many points ----
    // Between BeginLoad and EndLoad, an insertion (InsertNode, InsertShapePoint, PlacePoint) that would
    // have to move many points of a cell, or many cells of the table, appends instead, and what was
    // appended out of order is put in order when the table settles: at SettleLoad, EndLoad, Rebalance
    // and RebuildWithCells, and for one cell when SearchInput or UnplacePoint looks into it. The order
    // after settling is the order the same insertions give one at a time, so that loading n points
    // costs n log n however many of them share a cell or a position. Until the table settles, only
    // insertions, Address, SearchInput, SearchInputLink, UnplacePoint, Rebalance and counts may be
    // used; traversals see a cell's points in no particular order.
    void BeginLoad() { loading_ = true; }
    void SettleLoad() noexcept;
    void EndLoad() noexcept;
    bool Loading() const { return loading_; }

    // Takes every point out of the table, in table order, leaving the table without cells; the points
    // and their links are the caller's until they are placed again.
    std::vector<TNetworkPoint*> TakePoints();
    // Places points in a table without cells, at its cell sizes (grown where a point's cell numbers
    // would not fit) and without the cell limits, each behind the points already at its position: the
    // points TakePoints gave come back in their order. Rectangles, distances and bounds are left for
    // the caller to recompute.
    void RestorePoints(const std::vector<TNetworkPoint*>& points);

    // ---- traversal in table order: cells by key, points in list order ----
    template <class F> void ForEachPoint(F&& f) const {
        for (THashEntry* cell : *this) {
            for (TNetworkPoint* p : cell->NodeList)
                f(*p);
        }
    }
    template <class F> void ForEachNode(F&& f) const {
        for (THashEntry* cell : *this) {
            for (TNetworkPoint* p : cell->NodeList) {
                if (TNode* n = p->AsNode())
                    f(*n);
            }
        }
    }
    // Every link once, through its A-end half.
    template <class F> void ForEachLink(F&& f) const {
        ForEachNode([&](TNode& n) {
            for (TLink* half : n.LinkList) {
                if (half->IsAEnd())
                    f(*half->LinkData);
            }
        });
    }

    std::int64_t PointCount() const;
    // Cells keep count of how many of them have polygons.
    void NotePolygonCell(int change) { polygonCells_ += change; }

private:
    THashEntry* CellOfKey(std::int32_t key) const;
    THashEntry* FindOrCreateCell(std::int32_t cx, std::int32_t cy, bool& refused, bool limitCells);
    // Puts a point into a cell's list, in front of or behind the points with its key.
    void AddToCell(THashEntry& cell, TNetworkPoint* point, bool behind);
    static void SettleCell(THashEntry& cell) noexcept;
    void SettleCells() noexcept;
    std::int32_t OrderedCells() const { return Count() - waitingCells_; }
    bool ProbeAt(std::int64_t a, std::int64_t b, bool shapeok, const TWindowSettings& window,
                 THashEntry*& cellCache, TNode*& node, TShapePoint*& sp) const;
    void ReleaseAll();
    void NoteListSize(std::int32_t size) { maxListBound_ = std::max(maxListBound_, size); }

    TNetwork* network_;
    static constexpr std::size_t kCellCacheSize = 1024;
    mutable std::array<THashEntry*, kCellCacheSize> cellCache_{}; // cleared whenever cells are destroyed
    std::int32_t polygonCells_ = 0;
    std::int32_t maxListBound_ = 0; // at least MaxNodeListSize(); exact after Rebalance checks it
    bool loading_ = false;
    std::vector<THashEntry*> cellsWithWaiting_; // cells that were given waiting points during a load
    // Cells created out of key order during a load wait at the end of the table, found by key here.
    std::int32_t waitingCells_ = 0;
    std::unordered_map<std::int32_t, THashEntry*> waitingCellsByKey_;
    struct NameTables {
        std::array<std::vector<TNode*>, 128> nodes;
        std::array<std::vector<TLink*>, 128> links;
    };
    std::unique_ptr<NameTables> nameTables_;
};

} // namespace zan
