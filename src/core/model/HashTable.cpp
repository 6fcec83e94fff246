#include "model/HashTable.h"

#include <algorithm>
#include <cstdlib>

#include "model/Network.h"
#include "model/WindowSettings.h"
#include "schema/EntityClass.h"

namespace zan {

namespace {

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

bool InInt16(std::int64_t v) {
    return v >= INT16_MIN && v <= INT16_MAX;
}

void ResetStrings(TStringList& strings, const TEntityClass& def, int type) {
    FitStrings(strings, def.StringCount(type));
}

bool PointKeyLess(const TNetworkPoint* a, const TNetworkPoint* b) {
    return a->MyKey.whole < b->MyKey.whole;
}

// In the first `count` points of a list, which are in key order: the index of the first point with
// the key, or of the first point behind all points with the key.
std::int32_t FirstWithKey(const TNodeList& list, std::int32_t count, std::int32_t key) {
    const auto at =
        std::lower_bound(list.begin(), list.begin() + count, key,
                         [](const TNetworkPoint* p, std::int32_t k) { return p->MyKey.whole < k; });
    return static_cast<std::int32_t>(at - list.begin());
}
std::int32_t BehindKey(const TNodeList& list, std::int32_t count, std::int32_t key) {
    const auto at =
        std::upper_bound(list.begin(), list.begin() + count, key,
                         [](std::int32_t k, const TNetworkPoint* p) { return k < p->MyKey.whole; });
    return static_cast<std::int32_t>(at - list.begin());
}

// While a table loads, an insertion that would move more points of a cell, or more cells of the
// table, than this appends instead.
constexpr std::int32_t kMostPointsMoved = 256;
constexpr std::int32_t kMostCellsMoved = 4096;

} // namespace

// ---------------------------------------------------------------------------------------------
// Cells

THashEntry::THashEntry(std::int32_t cx, std::int32_t cy, THashTable& AHash)
    : x1(static_cast<std::int32_t>(std::int64_t{cx} * AHash.MyXCellSize)),
      y1(static_cast<std::int32_t>(std::int64_t{cy} * AHash.MyYCellSize)),
      x2(static_cast<std::int32_t>(std::int64_t{cx} * AHash.MyXCellSize + AHash.MyXCellSize - 1)),
      y2(static_cast<std::int32_t>(std::int64_t{cy} * AHash.MyYCellSize + AHash.MyYCellSize - 1)),
      MyHash(&AHash), MyKey(MyKeyRecord::Make(cx, cy)) {}

THashEntry::~THashEntry() {
    if (HasPolygons)
        MyHash->NotePolygonCell(-1);
    for (TNetworkPoint* p : NodeList)
        PointDispose{}(p);
}

std::int32_t THashEntry::FirstIndexAt(std::int32_t x, std::int32_t y) const {
    return FirstWithKey(NodeList, Ordered(),
                        MyKeyRecord::Make(std::int64_t{x} - x1, std::int64_t{y} - y1).whole);
}

TNetworkPoint* THashEntry::PointAt(std::int32_t x, std::int32_t y) const {
    const std::int32_t key = MyKeyRecord::Make(std::int64_t{x} - x1, std::int64_t{y} - y1).whole;
    const std::int32_t end = Ordered();
    // Keys are offsets cut to 16 bits: compare the full position as well.
    for (std::int32_t i = FirstWithKey(NodeList, end, key); i < end && NodeList[i]->MyKey.whole == key; ++i) {
        if (NodeList[i]->IsAt(x, y))
            return NodeList[i];
    }
    return nullptr;
}

void THashEntry::updatenoderectangle() {
    const bool had = HasPolygons;
    compositerectangle = TRect::Empty();
    HasPolygons = false;
    for (TNetworkPoint* p : NodeList) {
        const TNode* n = p->AsNode();
        if (n == nullptr || !n->IsDrawnN || n->MyPolygonList.IsEmpty())
            continue;
        HasPolygons = true;
        compositerectangle.Include(n->PolygonRectangle);
    }
    if (had != HasPolygons)
        MyHash->NotePolygonCell(HasPolygons ? 1 : -1);
    MyHash->updatepolygons();
}

void THashEntry::updatelinkrectangle() {
    linkcomprectangle = TRect::Empty();
    for (TNetworkPoint* p : NodeList) {
        const TNode* n = p->AsNode();
        if (n == nullptr || !n->IsDrawnN)
            continue;
        for (const TLink* half : n->LinkList) {
            if (half->IsAEnd())
                linkcomprectangle.Include(half->LinkData->LinkRect);
        }
    }
}

void THashEntry::updatelonglat(const TNetworkPoint& n) {
    latmin = std::min(latmin, n.lat);
    latmax = std::max(latmax, n.lat);
    longmin = std::min(longmin, n.long_);
    longmax = std::max(longmax, n.long_);
}

void THashEntry::ResetLongLat() {
    latmin = 900000001;
    latmax = -900000001;
    longmin = 1800000001;
    longmax = -1800000001;
}

// ---------------------------------------------------------------------------------------------
// Name patterns

TNamePattern::TNamePattern(std::string_view pattern) {
    while (!pattern.empty() && pattern.back() == ' ')
        pattern.remove_suffix(1);
    pattern_ = std::string(CutText(pattern, kCapacity));
    if (!pattern_.empty() && pattern_.back() == '*') {
        pattern_.back() = '?';
        pattern_.resize(kCapacity, '?');
    }
}

bool TNamePattern::Matches(std::string_view name) const {
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    if (name.empty() && pattern_.empty())
        return true;
    if (name.size() > pattern_.size())
        return false;
    for (std::size_t i = 0; i < pattern_.size(); ++i) {
        if (pattern_[i] == '?')
            continue;
        if (i >= name.size() || pattern_[i] != name[i])
            return false;
    }
    return true;
}

std::int32_t totalascii(std::string_view aname) {
    while (!aname.empty() && aname.back() == ' ')
        aname.remove_suffix(1);
    std::uint32_t sum = 0;
    for (char c : aname)
        sum += static_cast<unsigned char>(c);
    return static_cast<std::int32_t>(sum % 128);
}

// ---------------------------------------------------------------------------------------------
// Table

THashTable::THashTable(TNetwork& owner, std::int32_t XCell, std::int32_t YCell)
    : TMySortedList(64, 64, false), MyXCellSize(std::clamp(XCell, kMinCellSize, kMaxCellSize)),
      MyYCellSize(std::clamp(YCell, kMinCellSize, kMaxCellSize)), network_(&owner) {}

THashTable::~THashTable() {
    ReleaseAll();
}

void THashTable::ReleaseAll() {
    nameTables_.reset();
    cellCache_.fill(nullptr);
    // Every link once, through the half held by its A node, before the points go.
    std::vector<TLinkValues*> links;
    ForEachLink([&](TLinkValues& link) { links.push_back(&link); });
    for (TLinkValues* link : links)
        std::default_delete<TLinkValues>{}(link);
    // Then the cells, each with its points.
    for (THashEntry* cell : *this)
        DisposeItem(cell);
    Clear();
}

bool THashTable::CellNumbers(std::int64_t x, std::int64_t y, std::int32_t& cx, std::int32_t& cy) const {
    const std::int64_t fx = FloorDiv(x, MyXCellSize);
    const std::int64_t fy = FloorDiv(y, MyYCellSize);
    if (!InInt16(fx) || !InInt16(fy))
        return false;
    cx = static_cast<std::int32_t>(fx);
    cy = static_cast<std::int32_t>(fy);
    return true;
}

MyKeyRecord THashTable::key(std::int64_t x, std::int64_t y) const {
    return MyKeyRecord::Make(FloorDiv(x, MyXCellSize), FloorDiv(y, MyYCellSize));
}

THashEntry* THashTable::Address(std::int64_t x, std::int64_t y) const {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    if (!CellNumbers(x, y, cx, cy))
        return nullptr;
    return CellOfKey(MyKeyRecord::Make(cx, cy).whole);
}

THashEntry* THashTable::CellOfKey(std::int32_t key) const {
    // Lookups cluster (a click's ring, a link's ends, consecutive file records): a small cache of
    // recently found cells saves most binary searches.
    const auto slot =
        static_cast<std::size_t>((static_cast<std::uint32_t>(key) * 2654435761u) >> 22) % kCellCacheSize;
    THashEntry* cached = cellCache_[slot];
    if (cached != nullptr && cached->MyKey.whole == key)
        return cached;
    const auto first = begin();
    const auto last = first + OrderedCells();
    const auto at = std::lower_bound(first, last, key,
                                     [](const THashEntry* c, std::int32_t k) { return c->MyKey.whole < k; });
    THashEntry* found = (at != last && (*at)->MyKey.whole == key) ? *at : nullptr;
    if (found == nullptr && waitingCells_ > 0) {
        const auto waiting = waitingCellsByKey_.find(key);
        if (waiting != waitingCellsByKey_.end())
            found = waiting->second;
    }
    if (found != nullptr)
        cellCache_[slot] = found;
    return found;
}

THashEntry* THashTable::FindOrCreateCell(std::int32_t cx, std::int32_t cy, bool& refused, bool limitCells) {
    refused = false;
    const std::int32_t k = MyKeyRecord::Make(cx, cy).whole;
    if (THashEntry* cell = CellOfKey(k))
        return cell;
    if (limitCells && Count() > kCellLimit - 1) {
        refused = true;
        return nullptr;
    }
    auto cell = std::make_unique<THashEntry>(cx, cy, *this);
    const std::int32_t ordered = OrderedCells();
    const auto at =
        std::lower_bound(begin(), begin() + ordered, k,
                         [](const THashEntry* c, std::int32_t key) { return c->MyKey.whole < key; });
    const auto index = static_cast<std::int32_t>(at - begin());
    if (waitingCells_ == 0 && (!loading_ || Count() - index <= kMostCellsMoved)) {
        Insert(index, cell.get());
    } else {
        // Inserting would move every cell behind it: the cell waits at the end until the table settles.
        const auto entry = waitingCellsByKey_.emplace(k, nullptr).first;
        try {
            Insert(Count(), cell.get());
        } catch (...) {
            waitingCellsByKey_.erase(entry);
            throw;
        }
        entry->second = cell.get();
        ++waitingCells_;
    }
    return cell.release();
}

void THashTable::AddToCell(THashEntry& cell, TNetworkPoint* point, bool behind) {
    TNodeList& list = cell.NodeList;
    const std::int32_t key = point->MyKey.whole;
    // The points waiting in a cell all go one way: points going the other way wait for them to settle.
    if (cell.waiting_ > 0 && cell.waitInFront_ == behind)
        SettleCell(cell);
    if (cell.waiting_ == 0) {
        const std::int32_t count = list.Count();
        const std::int32_t index = behind ? BehindKey(list, count, key) : FirstWithKey(list, count, key);
        if (!loading_ || count - index <= kMostPointsMoved) {
            list.Insert(index, point);
            return;
        }
        cellsWithWaiting_.push_back(&cell);
        cell.waitInFront_ = !behind;
    }
    list.Add(point);
    ++cell.waiting_;
}

// The waiting points, in their order of insertion, go where insertion one at a time would have put
// them: behind the points with their key in insertion order, or in front of them, the last first.
void THashTable::SettleCell(THashEntry& cell) noexcept {
    if (cell.waiting_ == 0)
        return;
    TNetworkPoint** const first = cell.NodeList.begin();
    TNetworkPoint** const last = cell.NodeList.end();
    const std::int32_t waiting = cell.waiting_;
    TNetworkPoint** const middle = last - waiting;
    if (cell.waitInFront_) {
        std::reverse(middle, last);
        std::stable_sort(middle, last, PointKeyLess);
        std::rotate(first, middle, last);
        std::inplace_merge(first, first + waiting, last, PointKeyLess);
    } else {
        std::stable_sort(middle, last, PointKeyLess);
        std::inplace_merge(first, middle, last, PointKeyLess);
    }
    cell.waiting_ = 0;
}

void THashTable::SettleCells() noexcept {
    if (waitingCells_ == 0)
        return;
    auto byKey = [](const THashEntry* a, const THashEntry* b) { return a->MyKey.whole < b->MyKey.whole; };
    THashEntry** const first = begin();
    THashEntry** const middle = first + OrderedCells();
    THashEntry** const last = end();
    std::sort(middle, last, byKey);
    std::inplace_merge(first, middle, last, byKey);
    waitingCells_ = 0;
    std::unordered_map<std::int32_t, THashEntry*>().swap(waitingCellsByKey_); // its buckets too
}

void THashTable::SettleLoad() noexcept {
    for (THashEntry* cell : cellsWithWaiting_)
        SettleCell(*cell);
    std::vector<THashEntry*>().swap(cellsWithWaiting_);
    SettleCells();
}

void THashTable::EndLoad() noexcept {
    SettleLoad();
    loading_ = false;
}

TNode* THashTable::InsertNode(std::int32_t x, std::int32_t y, std::int32_t NumAttributes,
                              bool NeedsInitialize, THashEntry*& hashaddress, bool keepOrder) {
    hashaddress = nullptr;
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    if (!CellNumbers(x, y, cx, cy))
        return nullptr;
    hashaddress = Address(x, y);
    if (hashaddress != nullptr && hashaddress->NodeList.Count() > kCellLimit - 1)
        return nullptr;
    if (hashaddress == nullptr && Count() > kCellLimit - 1)
        return nullptr;

    TNetwork& net = *network_;
    ++net.NumberOfNodes;
    bool refused = false;
    hashaddress = FindOrCreateCell(cx, cy, refused, false);

    auto node = std::make_unique<TNode>(x, y, hashaddress->x1, hashaddress->y1);
    node->snumb = net.NumberOfNodes;
    node->PolygonRectangle = TRect::Empty();
    node->ResizeValues(NumAttributes);
    const TNode& tmpl = net.InitialNode;
    node->CopyTemplateSettings(tmpl);
    if (NeedsInitialize) {
        const std::int32_t n = net.NodeDef.AttributeCount(node->NType);
        node->ResizeValues(n);
        std::copy_n(tmpl.NValue.get(), std::min(n, tmpl.ValueCount()), node->NValue.get());
        const std::int32_t k = net.NodeDef.StringCount(node->NType);
        for (std::int32_t i = 0; i < k; ++i) {
            node->AttString.push_back(i < static_cast<std::int32_t>(tmpl.AttString.size())
                                          ? tmpl.AttString[static_cast<std::uint32_t>(i)]
                                          : TText());
        }
    }
    AddToCell(*hashaddress, node.get(), keepOrder);
    NoteListSize(hashaddress->NodeList.Count());
    return node.release();
}

TShapePoint* THashTable::InsertShapePoint(std::int32_t x, std::int32_t y, TLinkValues& TheLink,
                                          std::int32_t ShapePosition) {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    if (!CellNumbers(x, y, cx, cy))
        return nullptr;
    bool refused = false;
    THashEntry* cell = FindOrCreateCell(cx, cy, refused, false);
    auto sp = std::make_unique<TShapePoint>(x, y, cell->x1, cell->y1);
    AddToCell(*cell, sp.get(), false);
    NoteListSize(cell->NodeList.Count());
    const auto pos =
        static_cast<std::uint32_t>(std::clamp<std::int64_t>(ShapePosition, 0, TheLink.ShapePoints.size()));
    TheLink.ShapePoints.insert(pos, sp.get());
    sp->MyLink = &TheLink;
    TheLink.ExtendRectangle(*this, *sp);
    return sp.release();
}

TLinkValues* THashTable::InsertLink(TNode& n1, TNode& n2, TLink*& l1, TLink*& l2, std::int32_t NumAttributes,
                                    bool NeedsInitialize) {
    TNetwork& net = *network_;
    const TLinkValues& tmpl = net.InitialLink;
    auto link = std::make_unique<TLinkValues>();
    link->CopyTemplateSettings(tmpl);
    link->AEnd = &n1;
    link->BEnd = &n2;
    link->LinkRect = TRect::At(n1.x_cent, n1.y_cent);
    link->ResizeValues(NumAttributes);
    if (NeedsInitialize) {
        const std::int32_t n = net.LinkDef.AttributeCount(link->LType);
        link->ResizeValues(n);
        std::copy_n(tmpl.LValue.get(), std::min(n, tmpl.ValueCount()), link->LValue.get());
        const std::int32_t k = net.LinkDef.StringCount(link->LType);
        for (std::int32_t i = 0; i < k; ++i) {
            link->AttString.push_back(i < static_cast<std::int32_t>(tmpl.AttString.size())
                                          ? tmpl.AttString[static_cast<std::uint32_t>(i)]
                                          : TText());
        }
    }
    TLinkValues* record = link.release();
    record->Half[0] = TLink{record, &n2};
    record->Half[1] = TLink{record, &n1};
    l1 = &record->Half[0];
    l2 = &record->Half[1];
    // Most nodes end up with two to four links: one allocation instead of three.
    for (TNode* end : {&n1, &n2}) {
        if (end->LinkList.capacity() == 0)
            end->LinkList.reserve(4);
    }
    n2.LinkList.push_back(l2);
    n1.LinkList.push_back(l1);
    record->ExtendRectangle(*this, n2);
    ++net.NumberOfLinks;
    if (THashEntry* cell = Address(n1.x_cent, n1.y_cent)) {
        cell->xdist = std::max<std::int32_t>(cell->xdist,
                                             ClampToInt32(std::llabs(std::int64_t{n1.x_cent} - n2.x_cent)));
        cell->ydist = std::max<std::int32_t>(cell->ydist,
                                             ClampToInt32(std::llabs(std::int64_t{n1.y_cent} - n2.y_cent)));
    }
    return record;
}

bool THashTable::PlacePoint(TNetworkPoint& point, bool keepOrder) {
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    if (!CellNumbers(point.x_cent, point.y_cent, cx, cy))
        return false;
    bool refused = false;
    THashEntry* cell = FindOrCreateCell(cx, cy, refused, !point.IsShapePoint());
    if (cell == nullptr)
        return false;
    if (!point.IsShapePoint() && cell->NodeList.Count() > kCellLimit - 1)
        return false;
    point.setkey(point.x_cent, point.y_cent, cell->x1, cell->y1);
    AddToCell(*cell, &point, keepOrder);
    NoteListSize(cell->NodeList.Count());
    return true;
}

void THashTable::UnplacePoint(TNetworkPoint& point) {
    THashEntry* cell = Address(point.x_cent, point.y_cent);
    if (cell == nullptr)
        return;
    SettleCell(*cell);
    const std::int32_t i = cell->NodeList.IndexOf(&point);
    if (i >= 0)
        cell->NodeList.Delete(i);
}

void THashTable::DestroyLink(TLinkValues* link) {
    if (link == nullptr)
        return;
    for (TNode* end : {link->AEnd, link->BEnd}) {
        for (std::uint32_t i = 0; i < end->LinkList.size(); ++i) {
            if (end->LinkList[i]->LinkData == link) {
                end->LinkList.erase(i);
                break;
            }
        }
    }
    for (TShapePoint* sp : link->ShapePoints) {
        UnplacePoint(*sp);
        PointDispose{}(sp);
    }
    TNode* a = link->AEnd;
    std::default_delete<TLinkValues>{}(link);
    if (THashEntry* cell = Address(a->x_cent, a->y_cent))
        cell->updatelinkrectangle();
}

// ---------------------------------------------------------------------------------------------
// Searches

bool THashTable::ProbeAt(std::int64_t a, std::int64_t b, bool shapeok, const TWindowSettings& window,
                         THashEntry*& cellCache, TNode*& node, TShapePoint*& sp) const {
    node = nullptr;
    sp = nullptr;
    if (a < INT32_MIN || a > INT32_MAX || b < INT32_MIN || b > INT32_MAX)
        return false;
    const auto x = static_cast<std::int32_t>(a);
    const auto y = static_cast<std::int32_t>(b);
    // The ring around a click mostly stays in one cell: look the cell up again only when leaving it.
    if (cellCache == nullptr || !cellCache->Holds(x, y))
        cellCache = Address(x, y);
    THashEntry* cell = cellCache;
    if (cell == nullptr)
        return false;
    SettleCell(*cell);
    TNetworkPoint* first = cell->PointAt(x, y);
    if (first == nullptr)
        return false;

    auto linkDrawn = [](const TShapePoint* s) { return s->MyLink != nullptr && s->MyLink->IsDrawnL; };
    bool lookFurther = false;
    if (TShapePoint* s = first->AsShapePoint()) {
        if (shapeok && s->IsDrawnN && linkDrawn(s)) {
            sp = s;
        } else {
            lookFurther = true;
        }
    } else if (!first->IsDrawnN) {
        lookFurther = true;
    } else {
        node = first->AsNode();
    }
    if (lookFurther) {
        // The first drawn node at exactly this position, or with shapeok a drawn shape point of a drawn link.
        for (std::int32_t i = cell->FirstIndexAt(x, y); i < cell->NodeList.Count(); ++i) {
            TNetworkPoint* p = cell->NodeList[i];
            if (p->MyKey.whole != first->MyKey.whole)
                break;
            if (!p->IsAt(x, y) || !p->IsDrawnN)
                continue;
            if (TShapePoint* s = p->AsShapePoint()) {
                if (shapeok && linkDrawn(s)) {
                    sp = s;
                    break;
                }
            } else {
                node = p->AsNode();
                break;
            }
        }
    }
    if (node != nullptr && !(node->IsDrawnN && node->ValidLayer(window)))
        node = nullptr;
    return node != nullptr || sp != nullptr;
}

bool THashTable::SearchMe(TNode*& position, TShapePoint*& sp, std::int32_t x, std::int32_t y, bool once,
                          bool shapeok, const TWindowSettings& window) const {
    position = nullptr;
    sp = nullptr;
    THashEntry* cache = nullptr;
    auto probe = [&](std::int64_t a, std::int64_t b) {
        return ProbeAt(a, b, shapeok, window, cache, position, sp);
    };
    auto finish = [&](bool success) {
        if (!success) {
            position = nullptr;
            sp = nullptr;
            return false;
        }
        return shapeok ? true : position != nullptr;
    };
    if (probe(x, y))
        return finish(true);
    if (once)
        return finish(false);
    const std::int64_t cx = x;
    const std::int64_t cy = y;
    for (std::int64_t r = 1; r <= window.NodeExtent; ++r) {
        for (std::int64_t a = cx - r; a <= cx + r; ++a) {
            if (probe(a, cy - r))
                return finish(true);
        }
        for (std::int64_t a = cx - r; a <= cx + r; ++a) {
            if (probe(a, cy + r))
                return finish(true);
        }
        for (std::int64_t b = cy - r + 1; b <= cy + r - 1; ++b) {
            if (probe(cx - r, b))
                return finish(true);
        }
        for (std::int64_t b = cy - r + 1; b <= cy + r - 1; ++b) {
            if (probe(cx + r, b))
                return finish(true);
        }
    }
    return finish(false);
}

bool THashTable::Plotable(const TNode& NewNode, const TWindowSettings& window) const {
    if (!window.LayerShown(NewNode.Layer))
        return false;
    TNode* found = nullptr;
    TShapePoint* sp = nullptr;
    return !SearchMe(found, sp, window.CurPosX, window.CurPosY, true, false, window);
}

bool THashTable::SearchInput(TNode*& n1, std::int32_t x, std::int32_t y, std::int32_t A_or_B) const {
    n1 = nullptr;
    THashEntry* cell = Address(x, y);
    if (cell == nullptr)
        return false;
    // While the table loads, the file reader looks nodes up as it goes: the cell's order must be final.
    SettleCell(*cell);
    TNetworkPoint* first = cell->PointAt(x, y);
    if (first == nullptr)
        return false;
    if (TNode* n = first->AsNode(); n != nullptr && n->snumb == A_or_B) {
        n1 = n;
        return true;
    }
    for (TNetworkPoint* p : cell->NodeList) {
        if (TNode* n = p->AsNode(); n != nullptr && n->snumb == A_or_B) {
            n1 = n;
            return true;
        }
    }
    return false;
}

bool THashTable::SearchInputLink(TLink*& l, std::int32_t x, std::int32_t y, std::int32_t A,
                                 std::int32_t B) const {
    l = nullptr;
    TNode* n = nullptr;
    if (!SearchInput(n, x, y, A))
        return false;
    if (!n->LinkList.FindLinkSerial(B, l)) {
        l = nullptr;
        return false;
    }
    return true;
}

bool THashTable::SearchLongLat(std::int32_t x, std::int32_t y, std::int32_t longn, std::int32_t latn,
                               std::int32_t layern, TNode*& n, TShapePoint*& sp, bool shapeok) const {
    n = nullptr;
    sp = nullptr;
    const THashEntry* cell = Address(x, y);
    if (cell == nullptr)
        return false;
    if (longn < cell->longmin || longn > cell->longmax || latn < cell->latmin || latn > cell->latmax)
        return false;
    for (TNetworkPoint* p : cell->NodeList) {
        if (p->lat != latn || p->long_ != longn)
            continue;
        if (p->IsShapePoint() && !shapeok)
            continue;
        const std::int32_t layer = p->IsShapePoint() ? 0 : p->AsNode()->Layer;
        if (layer != layern && layer != 0)
            continue;
        if (p->IsShapePoint()) {
            sp = p->AsShapePoint();
        } else {
            n = p->AsNode();
        }
        return true;
    }
    return false;
}

bool THashTable::SearchNodePoly(std::int32_t polyidn, std::string_view CENIDn, TNode*& n) const {
    n = nullptr;
    for (THashEntry* cell : *this) {
        for (TNetworkPoint* p : cell->NodeList) {
            TNode* node = p->AsNode();
            if (node != nullptr && node->PolyId == polyidn && node->CENID.view() == CENIDn) {
                n = node;
                return true;
            }
        }
    }
    return false;
}

namespace {
bool TypeSelected(int type, const std::array<bool, 11>& selection) {
    return type >= 1 && type <= 10 && selection[static_cast<std::size_t>(type)];
}
} // namespace

TNode* THashTable::FindNodeByName(std::string_view pattern, bool restrict,
                                  const TWindowSettings& window) const {
    const TNamePattern prepared(pattern);
    for (THashEntry* cell : *this) {
        for (TNetworkPoint* p : cell->NodeList) {
            TNode* n = p->AsNode();
            if (n == nullptr || !n->IsDrawnN)
                continue;
            if (restrict && !TypeSelected(n->NType, window.ExtractNodeTypes))
                continue;
            if (prepared.Matches(n->alabel))
                return n;
        }
    }
    return nullptr;
}

TLink* THashTable::FindLinkByName(std::string_view pattern, bool restrict,
                                  const TWindowSettings& window) const {
    const TNamePattern prepared(pattern);
    for (THashEntry* cell : *this) {
        for (TNetworkPoint* p : cell->NodeList) {
            const TNode* n = p->AsNode();
            if (n == nullptr)
                continue;
            for (TLink* half : n->LinkList) {
                const TLinkValues& link = *half->LinkData;
                if (!link.IsDrawnL || !half->IsAEnd())
                    continue;
                if (restrict && !TypeSelected(link.LType, window.ExtractLinkTypes))
                    continue;
                if (prepared.Matches(link.alabel))
                    return half;
            }
        }
    }
    return nullptr;
}

TLink* THashTable::FindLinkBySerial(std::int32_t serial, std::int32_t x, std::int32_t y) const {
    const THashEntry* first = Address(x, y);
    if (first == nullptr)
        return nullptr;
    auto inCell = [serial](const THashEntry& cell) -> TLink* {
        for (TNetworkPoint* p : cell.NodeList) {
            const TNode* n = p->AsNode();
            if (n == nullptr)
                continue;
            for (TLink* half : n->LinkList) {
                if (half->LinkData->IsDrawnL && half->IsAEnd() && half->LinkData->serial == serial)
                    return half;
            }
        }
        return nullptr;
    };
    if (TLink* found = inCell(*first))
        return found;
    for (THashEntry* cell : *this) {
        if (cell == first)
            continue;
        if (TLink* found = inCell(*cell))
            return found;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Upkeep of derived data

void THashTable::updatepolygons() {
    // The same as scanning the cells for one with polygons: the cells keep count.
    if (polygonCells_ > 0)
        HasPolygons = true;
}

void THashTable::fixrectangles(TWindowSettings& window) {
    window.XMin = window.YMin = 512000;
    window.XMax = window.YMax = -512000;
    for (THashEntry* cell : *this) {
        for (TNetworkPoint* p : cell->NodeList) {
            TNode* n = p->AsNode();
            if (n == nullptr)
                continue;
            // The cell's own unions are recomputed once after its nodes, which gives the same result
            // as recomputing them after every link and polygon.
            for (TLink* half : n->LinkList) {
                if (half->IsAEnd())
                    half->LinkData->RecomputeRectangleOnly();
            }
            n->UpdateRectangleOnly();
            window.XMin = std::min(window.XMin, n->x_cent);
            window.YMin = std::min(window.YMin, n->y_cent);
            window.XMax = std::max(window.XMax, n->x_cent);
            window.YMax = std::max(window.YMax, n->y_cent);
        }
        cell->updatelinkrectangle();
        cell->updatenoderectangle();
    }
}

void THashTable::fixlonglat() {
    for (THashEntry* cell : *this) {
        cell->ResetLongLat();
        for (const TNetworkPoint* p : cell->NodeList)
            cell->updatelonglat(*p);
    }
}

void THashTable::ResetDistances() {
    for (THashEntry* cell : *this) {
        bool any = false;
        std::int64_t xd = 0;
        std::int64_t yd = 0;
        for (TNetworkPoint* p : cell->NodeList) {
            const TNode* n = p->AsNode();
            if (n == nullptr)
                continue;
            for (const TLink* half : n->LinkList) {
                if (!half->IsAEnd())
                    continue;
                any = true;
                xd = std::max(xd, half->LinkData->LinkRect.Width());
                yd = std::max(yd, half->LinkData->LinkRect.Height());
            }
        }
        if (any) {
            cell->xdist = ClampToInt32(xd);
            cell->ydist = ClampToInt32(yd);
        }
    }
}

void THashTable::FixStrings() {
    TNetwork& net = *network_;
    for (THashEntry* cell : *this) {
        for (TNetworkPoint* p : cell->NodeList) {
            TNode* n = p->AsNode();
            if (n == nullptr)
                continue;
            ResetStrings(n->AttString, net.NodeDef, n->NType);
            for (TLink* half : n->LinkList)
                ResetStrings(half->LinkData->AttString, net.LinkDef, half->LinkData->LType);
        }
        cell->updatenoderectangle();
    }
    // The templates are not in the cells, and the system strings follow the system type.
    ResetStrings(net.InitialNode.AttString, net.NodeDef, net.InitialNode.NType);
    ResetStrings(net.InitialLink.AttString, net.LinkDef, net.InitialLink.LType);
    ResetStrings(net.SystemStrings, net.SystemDef, 1);
}

void THashTable::FixAll(TWindowSettings& window) {
    ResetDistances();
    fixrectangles(window);
    fixlonglat();
    FixStrings();
}

void THashTable::ResetAttributeSizes(const TEntityClass& EntityDef) {
    TNetwork& net = *network_;
    const bool nodes = &EntityDef == &net.NodeDef;
    auto fitNode = [&](TNode& n) {
        const std::int32_t count = EntityDef.AttributeCount(n.NType);
        if (8 * count != n.ValueSize)
            n.ResizeValues(count);
    };
    auto fitLink = [&](TLinkValues& l) {
        const std::int32_t count = EntityDef.AttributeCount(l.LType);
        if (8 * count != l.ValueSize)
            l.ResizeValues(count);
    };
    ForEachNode([&](TNode& n) {
        if (nodes) {
            fitNode(n);
        } else {
            for (TLink* half : n.LinkList)
                fitLink(*half->LinkData);
        }
    });
    if (nodes) {
        fitNode(net.InitialNode);
    } else {
        fitLink(net.InitialLink);
    }
}

void THashTable::Touch(const TRect& arect, bool IsPenPlot, const TWindowSettings& w) {
    if (w.Plotting)
        return;
    if (arect.IsEmpty() && !IsPenPlot) {
        // Nothing to repaint.
        for (THashEntry* cell : *this)
            cell->NodeTouch = cell->LinkTouch = false;
        return;
    }
    using I = std::int64_t;
    const I mL = std::max<I>(I{w.nodelabelxleft} + 20, w.NodeWorstSize);
    const I mR = std::max<I>(I{w.nodelabelxright} + 20, w.NodeWorstSize);
    const I mT = std::max<I>(I{w.nodelabelytop} + 20, w.NodeWorstSize);
    const I mB = std::max<I>(I{w.nodelabelybot} + 20, w.NodeWorstSize);
    const I lL = I{w.linklabelxleft} + w.LinkWorstSize + 20;
    const I lR = I{w.linklabelxright} + w.LinkWorstSize + 20;
    const I lT = I{w.linklabelytop} + w.LinkWorstSize + 20;
    const I lB = I{w.linklabelybot} + w.LinkWorstSize + 20;
    const I g = ZoomRow(w.ZoomState).scrollstep;
    auto touches = [&](TRect box, I grow, I left, I right, I top, I bottom) {
        const I bl = I{box.left} + w.XScroll - grow;
        const I br = I{box.right} + w.XScroll + grow;
        const I bt = I{box.top} + w.YScroll - grow;
        const I bb = I{box.bottom} + w.YScroll + grow;
        return bl <= I{arect.right} + left && br >= I{arect.left} - right && bt <= I{arect.bottom} + top &&
               bb >= I{arect.top} - bottom;
    };
    for (THashEntry* cell : *this) {
        if (IsPenPlot) {
            cell->NodeTouch = cell->LinkTouch = true;
            continue;
        }
        TRect nodeBox{cell->x1, cell->y1, cell->x2, cell->y2};
        nodeBox.Include(cell->compositerectangle);
        TRect linkBox{cell->x1, cell->y1, cell->x2, cell->y2};
        linkBox.Include(cell->linkcomprectangle);
        cell->NodeTouch = touches(nodeBox, I{w.NodeWorstSize} + g, mL, mR, mT, mB);
        cell->LinkTouch = touches(linkBox, I{w.LinkWorstSize} + g, lL, lR, lT, lB);
    }
}

std::int32_t THashTable::MaxNodeListSize() const {
    std::int32_t m = 0;
    for (const THashEntry* cell : *this)
        m = std::max(m, cell->NodeList.Count());
    return m;
}

std::int64_t THashTable::PointCount() const {
    std::int64_t n = 0;
    for (const THashEntry* cell : *this)
        n += cell->NodeList.Count();
    return n;
}

// ---------------------------------------------------------------------------------------------
// Counts

namespace {
bool CountedNode(const TNode& n, const TWindowSettings& w, const TElementFilter& filter) {
    return n.IsDrawnN && n.ValidLayer(w) && n.NType >= 1 && n.NType <= 10 && filter.PassesNode(n);
}
} // namespace

void THashTable::NumberOfNodes(elevenintegers& NumberElements, const TWindowSettings& window,
                               const TElementFilter& filter) const {
    NumberElements.fill(0);
    ForEachNode([&](const TNode& n) {
        if (CountedNode(n, window, filter))
            ++NumberElements[n.NType];
    });
}

void THashTable::NumberOfPolygons(elevenintegers& NumberElements, const TWindowSettings& window,
                                  const TElementFilter& filter) const {
    NumberElements.fill(0);
    ForEachNode([&](const TNode& n) {
        if (CountedNode(n, window, filter) && !n.MyPolygonList.IsEmpty())
            ++NumberElements[n.NType];
    });
}

void THashTable::NumberOfLinks(elevenintegers& NumberElements, const TWindowSettings& window,
                               const TElementFilter& filter) const {
    NumberElements.fill(0);
    ForEachNode([&](const TNode& n) {
        if (!n.IsDrawnN || !n.ValidLayer(window))
            return;
        for (const TLink* half : n.LinkList) {
            const TLinkValues& l = *half->LinkData;
            // Deleted links are not counted: an export must not announce elements it will not write.
            if (half->IsAEnd() && l.IsDrawnL && l.LType >= 1 && l.LType <= 10 && filter.PassesLink(l)) {
                ++NumberElements[l.LType];
            }
        }
    });
}

// ---------------------------------------------------------------------------------------------
// Name tables and renaming

void THashTable::BuildNameTables() {
    nameTables_ = std::make_unique<NameTables>();
    ForEachNode([&](TNode& n) {
        nameTables_->nodes[static_cast<std::size_t>(totalascii(n.alabel))].push_back(&n);
        for (TLink* half : n.LinkList) {
            if (half->IsAEnd())
                nameTables_->links[static_cast<std::size_t>(totalascii(half->LinkData->alabel))].push_back(
                    half);
        }
    });
}

TNode* THashTable::GetTabledNodeName(std::string_view aname) const {
    if (!nameTables_)
        return nullptr;
    const TNamePattern pattern(aname);
    for (TNode* n : nameTables_->nodes[static_cast<std::size_t>(totalascii(aname))]) {
        if (n->IsDrawnN && pattern.Matches(n->alabel))
            return n;
    }
    return nullptr;
}

TLink* THashTable::GetTabledLinkName(std::string_view aname) const {
    if (!nameTables_)
        return nullptr;
    const TNamePattern pattern(aname);
    for (TLink* half : nameTables_->links[static_cast<std::size_t>(totalascii(aname))]) {
        if (half->LinkData->IsDrawnL && pattern.Matches(half->LinkData->alabel))
            return half;
    }
    return nullptr;
}

void THashTable::DestroyNameTables() {
    nameTables_.reset();
}

namespace {
// Replaces left to right, resuming after each inserted text, so that a replacement containing the
// searched text cannot loop; an empty search text changes nothing.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    std::string result(text);
    if (from.empty())
        return result;
    std::size_t pos = 0;
    while ((pos = result.find(from, pos)) != std::string::npos) {
        result.replace(pos, from.size(), to);
        pos += to.size();
    }
    return result;
}
} // namespace

void THashTable::ReplaceNames(std::string_view FromText, std::string_view ToText, bool nodes) {
    if (FromText.empty())
        return;
    auto rename = [&](TText& name) {
        if (name.view().find(FromText) == std::string_view::npos)
            return;
        name = CutText(ReplaceAll(name.view(), FromText, ToText), kMaxNameLength);
    };
    ForEachNode([&](TNode& n) {
        if (nodes) {
            if (n.IsDrawnN)
                rename(n.alabel);
            return;
        }
        for (TLink* half : n.LinkList) {
            if (half->IsAEnd() && half->LinkData->IsDrawnL)
                rename(half->LinkData->alabel);
        }
    });
}

// ---------------------------------------------------------------------------------------------
// The grid

void THashTable::Rebalance(TWindowSettings& window) {
    SettleLoad();
    if (!GridEnlarged && maxListBound_ >= kCellLimit) {
        std::int32_t current = MaxNodeListSize();
        maxListBound_ = current;
        while (current >= kCellLimit) {
            const std::int32_t nx = MyXCellSize / 2;
            const std::int32_t ny = MyYCellSize / 2;
            // Coincident points never spread out: stop when halving no longer helps or cells get too small.
            if (nx < kMinCellSize || ny < kMinCellSize)
                break;
            RebuildWithCells(nx, ny, window);
            GridShrunk = true;
            const std::int32_t after = MaxNodeListSize();
            maxListBound_ = after;
            if (after >= current)
                break;
            current = after;
        }
    }
    if (!GridShrunk) {
        while (Count() >= kCellLimit) {
            const std::int32_t nx = std::min(MyXCellSize * 2, kMaxCellSize);
            const std::int32_t ny = std::min(MyYCellSize * 2, kMaxCellSize);
            if (nx == MyXCellSize && ny == MyYCellSize)
                break;
            RebuildWithCells(nx, ny, window);
            GridEnlarged = true;
        }
    }
}

void THashTable::RebuildWithCells(std::int32_t XCell, std::int32_t YCell, TWindowSettings& window) {
    const std::vector<TNetworkPoint*> points = TakePoints();
    MyXCellSize = XCell;
    MyYCellSize = YCell;
    RestorePoints(points);
    ResetDistances();
    fixrectangles(window);
    fixlonglat();
}

std::vector<TNetworkPoint*> THashTable::TakePoints() {
    SettleLoad();
    std::vector<TNetworkPoint*> points;
    points.reserve(static_cast<std::size_t>(PointCount()));
    nameTables_.reset();
    cellCache_.fill(nullptr);
    for (THashEntry* cell : *this) {
        for (TNetworkPoint* p : cell->NodeList)
            points.push_back(p);
        cell->NodeList.Clear(); // the points move; the cell releases only its list
        DisposeItem(cell);
    }
    Clear();
    maxListBound_ = 0;
    return points;
}

void THashTable::RestorePoints(const std::vector<TNetworkPoint*>& points) {
    // Cells must stay small enough for every point's cell numbers to fit the 16-bit key.
    std::int64_t xFar = 0;
    std::int64_t yFar = 0;
    for (const TNetworkPoint* p : points) {
        xFar = std::max({xFar, std::int64_t{p->x_cent} + 1, -std::int64_t{p->x_cent}});
        yFar = std::max({yFar, std::int64_t{p->y_cent} + 1, -std::int64_t{p->y_cent}});
    }
    auto fitting = [](std::int32_t size, std::int64_t far) {
        const std::int64_t least = (far + 32767) / 32768; // floor(x / size) within -32768..32767
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(std::max<std::int64_t>(size, least), kMinCellSize, kMaxCellSize));
    };
    MyXCellSize = fitting(MyXCellSize, xFar);
    MyYCellSize = fitting(MyYCellSize, yFar);
    // Points come in table order, which a grid of other cell sizes does not keep: they are loaded,
    // so that putting them in order costs one sort rather than an ordered insertion each.
    const bool wasLoading = loading_;
    loading_ = true;
    for (TNetworkPoint* p : points) {
        std::int32_t cx = 0;
        std::int32_t cy = 0;
        CellNumbers(p->x_cent, p->y_cent, cx, cy);
        bool refused = false;
        THashEntry* cell = FindOrCreateCell(cx, cy, refused, false);
        p->setkey(p->x_cent, p->y_cent, cell->x1, cell->y1);
        AddToCell(*cell, p, true); // points at one position keep their order
        NoteListSize(cell->NodeList.Count());
    }
    SettleLoad();
    loading_ = wasLoading;
}

} // namespace zan
