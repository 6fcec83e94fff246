// The objects a network is made of: network points (the common base of nodes and shape points),
// nodes, shape points, links and polygon vertex lists.
//
// A link from A to B is one TLinkValues record holding two half-links (TLink): the A-end half sits
// in A's LinkList, the B-end half in B's. The half-links live inside the record, so a half-link
// reference stays valid for as long as the link exists.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "model/Collect.h"
#include "model/CompactVector.h"
#include "model/Rect.h"
#include "model/Text.h"

namespace zan {

class TNetworkPoint;
class TNode;
class TShapePoint;
struct TLinkValues;
struct TLink;
class THashTable;
struct TWindowSettings;

inline constexpr std::uint8_t kShapePointType = 101; // NType of a shape point
inline constexpr int kMaxNameLength = 30;            // names of elements and entity types
inline constexpr int kMaxCenIdLength = 11;

// Offset of a point inside its cell (or the cell numbers of a cell): two 16-bit halves, compared
// as one 32-bit integer. x is the low half, y the high half.
struct MyKeyRecord {
    std::int32_t whole = 0;

    static MyKeyRecord Make(std::int64_t x, std::int64_t y) {
        const auto lo = static_cast<std::uint32_t>(static_cast<std::uint16_t>(x));
        const auto hi = static_cast<std::uint32_t>(static_cast<std::uint16_t>(y));
        return MyKeyRecord{static_cast<std::int32_t>(lo | (hi << 16))};
    }
    std::int16_t xkey() const {
        return static_cast<std::int16_t>(static_cast<std::uint32_t>(whole) & 0xFFFFu);
    }
    std::int16_t ykey() const { return static_cast<std::int16_t>(static_cast<std::uint32_t>(whole) >> 16); }
    friend bool operator==(const MyKeyRecord&, const MyKeyRecord&) = default;
};

// Destroys a network point through its real type (node or shape point).
struct PointDispose {
    void operator()(TNetworkPoint* point) const;
};
struct NoDispose {
    template <class T> void operator()(T) const {}
};

using TStringList = TCompactVector<TText>;

// The polygon owners (nodes) whose polygons use a point as a vertex.
class TYourPolygonList : public TMyList<TNode*, NoDispose> {
public:
    TYourPolygonList() : TMyList(1, 4) {}
};

// The vertices of the polygon a node owns, in drawing order, without a repeated closing vertex.
class TMyPolygonList : public TMyList<TNetworkPoint*, NoDispose> {
public:
    TMyPolygonList() : TMyList(1, 4) {}

    // Positions of the drawn vertices, in order; no closing point is added.
    std::vector<TPoint> GetPolygonPoints() const;
    // Drawn node vertices, plus (IncludeShape) drawn shape-point vertices whose link is drawn.
    std::int32_t NetCount(bool IncludeShape) const;
    // 1-based position of npoint counting only drawn vertices; the number of drawn vertices when absent.
    std::int32_t NetOrder(const TNetworkPoint* npoint) const;
    // Whether MyNode is a vertex; insertion receives its index (0 for an empty list).
    bool IsInList(const TNetworkPoint* MyNode, std::int32_t& insertion) const;

    // Measures over the drawn vertices (core/geometry/PolygonGeometry.cpp). A NetworkScale that is
    // not a positive finite number counts as 1.
    // Enclosed area divided by NetworkScale squared; 0 for a list of fewer than 3 vertices.
    double Area(double NetworkScale) const;
    // The area centroid's x (IsX) or y in plane units; 0 for a list of fewer than 3 vertices.
    double Centroid(bool IsX) const;
    // Length of the outline divided by NetworkScale, closed back to the first vertex unless IsOpen.
    // With APoint given, the open path from the first vertex up to and including APoint.
    double Perimeter(bool IsOpen, const TNetworkPoint* APoint, double NetworkScale) const;
};

class TNetworkPoint {
public:
    TNetworkPoint(const TNetworkPoint&) = delete;
    TNetworkPoint& operator=(const TNetworkPoint&) = delete;

    // Field order and [[no_unique_address]] on the lists (which lets the next fields use a list's
    // tail padding) keep nodes and shape points small: a large network holds millions of them.
    std::int32_t x_cent = 0;
    std::int32_t y_cent = 0;
    std::int32_t long_ = 0; // longitude in 1e-7 degree; 0 until computed or read
    std::int32_t lat = 0;
    std::int32_t elev = 0;
    MyKeyRecord MyKey;
    double xreal = 0;
    double yreal = 0;
    [[no_unique_address]] TYourPolygonList YourPolygonList;
    std::uint8_t NType = 0; // entity type of a node (0..10); kShapePointType for a shape point
    bool IsDrawnN = true;   // false for a deleted point kept for undelete
    bool Flag = false;      // general mark for the duration of one command
    bool IsActivePolygonCorner = false;

    bool IsShapePoint() const { return NType == kShapePointType; }
    TNode* AsNode();
    const TNode* AsNode() const;
    TShapePoint* AsShapePoint();
    const TShapePoint* AsShapePoint() const;
    TPoint Position() const { return {x_cent, y_cent}; }
    bool IsAt(std::int32_t x, std::int32_t y) const { return x_cent == x && y_cent == y; }

    // The point's offset inside the cell whose origin is (hashaddressx, hashaddressy).
    void setkey(std::int32_t x, std::int32_t y, std::int32_t hashaddressx, std::int32_t hashaddressy) {
        MyKey = MyKeyRecord::Make(std::int64_t{x} - hashaddressx, std::int64_t{y} - hashaddressy);
    }

protected:
    TNetworkPoint(std::int32_t x, std::int32_t y, std::int32_t hashaddx, std::int32_t hashaddy)
        : x_cent(x), y_cent(y), xreal(x), yreal(y) {
        setkey(x, y, hashaddx, hashaddy);
    }
    // Points are destroyed through their real type only (PointDispose).
    ~TNetworkPoint() = default;
};

class TShapePoint final : public TNetworkPoint {
public:
    TShapePoint(std::int32_t x, std::int32_t y, std::int32_t hashaddx, std::int32_t hashaddy)
        : TNetworkPoint(x, y, hashaddx, hashaddy) {
        NType = kShapePointType;
    }
    ~TShapePoint() = default;

    TLinkValues* MyLink = nullptr; // the link this point bends
};

// One half of a link, held in an end node's LinkList.
struct TLink {
    TLinkValues* LinkData = nullptr; // the shared record
    TNode* OppEndNode = nullptr;     // the node at the other end

    // Whether this half is held by the link's A node (the link leaves this half's node).
    bool IsAEnd() const;
    // The node holding this half.
    TNode* OwnNode() const;

    // Direction from A to B as a compass bearing in [0, 360): 0 north (smaller y), 90 east.
    double ABOrientation() const;
};

// The half-links at a node: one for every link that starts here and one for every link ending here.
class TLinkList : public TCompactVector<TLink*> {
public:
    // The first half-link leading to MyNode with a record attached (drawn or deleted).
    bool FindLink(const TNode* MyNode, TLink*& MyLink) const;
    // The same, by the opposite node's serial number. Leaves position unchanged when nothing is found.
    bool FindLinkSerial(std::int32_t MyNodeSerial, TLink*& position) const;
    // Exactly two drawn links, one arriving and one leaving: the arriving one is returned first.
    bool ValidCount(TNode*& nodeone, TNode*& nodetwo, TLinkValues*& linkdataone,
                    TLinkValues*& linkdatatwo) const;
};

class TNode final : public TNetworkPoint {
public:
    // A node that is not yet complete: lists empty, no values. The hash table's InsertNode
    // completes new nodes from the network's template node.
    TNode(std::int32_t x, std::int32_t y, std::int32_t hashaddx, std::int32_t hashaddy)
        : TNetworkPoint(x, y, hashaddx, hashaddy) {}
    ~TNode() = default;

    std::int16_t ValueSize = 0; // bytes in NValue: 8 x number of values
    std::uint8_t Font = 0;
    std::uint8_t Place = 0;
    std::uint8_t Layer = 0;
    std::uint8_t PolygonStyle = 0;
    std::uint8_t BitmapOverride = 0;
    bool HasALabel = false;
    bool Suppress = false; // exists but is not drawn
    bool IsFeature = false;
    // The node's own mark, separate from the point's (reach the point's as TNetworkPoint::Flag).
    bool Flag = false;
    bool IsActivePolygonOwner = false;
    std::array<std::uint8_t, 2> selectlabel{};
    std::int16_t XOffset = 0;
    std::int16_t YOffset = 0;
    std::int32_t snumb = 0; // serial number
    std::int32_t NInteger = 0;
    std::int32_t PolyId = 0;
    TRect PolygonRectangle;
    std::unique_ptr<double[]> NValue;
    TLinkList LinkList;
    [[no_unique_address]] TMyPolygonList MyPolygonList;
    TText alabel;
    TText notes;
    TText CENID;
    double NReal = 0;
    TLink* NLink = nullptr;
    TStringList AttString;

    std::int32_t ValueCount() const { return ValueSize / 8; }
    // Resizes the value array to n values, keeping the first ones and setting new ones to 0.
    void ResizeValues(std::int32_t n);
    // Takes the settings new nodes copy from the template node (not the values or strings).
    void CopyTemplateSettings(const TNode& tmpl);

    bool ValidLayer(const TWindowSettings& window) const;
    void SetActivePolygon(bool astate);
    // Bounding box of the drawn vertices of the owned polygon; the node's cell in `table` then
    // recomputes its polygon rectangle.
    void UpdateRectangle(THashTable& table);
    void UpdateRectangleOnly();

    // Whether the owned polygon runs clockwise as seen on screen (y down); true with fewer than 3
    // vertices. Every vertex counts, deleted ones too (core/geometry/PolygonGeometry.cpp).
    bool PolygonIsClockwise() const;
    // Puts the polygon's vertices in the opposite order.
    void ReversePolygon();
};

// Number of drawn links at a node.
std::int32_t DrawnLinkCount(const TNode& node);

// The record shared by the two halves of a link.
struct TLinkValues {
    TLinkValues() = default;
    TLinkValues(const TLinkValues&) = delete;
    TLinkValues& operator=(const TLinkValues&) = delete;

    std::unique_ptr<double[]> LValue;
    std::int16_t ValueSize = 0;
    std::uint8_t LType = 0;
    std::uint8_t Font = 0;
    std::uint8_t Place = 0;
    std::uint8_t BitmapOverride = 0;
    bool IsDrawnL = true;
    bool IsFeature = false;
    bool Mark = false;
    bool Suppress = false;
    bool IsNodeDelete = false;
    bool HasALabel = false;
    bool Retired = false; // replaced by Link Intersect: hidden for good, never restored
    std::array<std::uint8_t, 2> selectlabel{};
    std::int16_t XOffset = 0;
    std::int16_t YOffset = 0;
    std::int32_t serial = 0;
    TText alabel;
    TText notes;
    TCompactVector<TShapePoint*> ShapePoints; // from A to B
    TNode* AEnd = nullptr;
    TNode* BEnd = nullptr;
    TRect LinkRect;
    TStringList AttString;
    std::array<TLink, 2> Half; // the A-end half as created, then the B-end half

    std::int32_t ValueCount() const { return ValueSize / 8; }
    void ResizeValues(std::int32_t n);
    // Copies the record's own settings (type, label, notes, marks, label format) from a template.
    void CopyTemplateSettings(const TLinkValues& tmpl);

    TLink& AHalf() { return Half[0].OppEndNode == BEnd ? Half[0] : Half[1]; }
    TLink& BHalf() { return Half[0].OppEndNode == BEnd ? Half[1] : Half[0]; }

    // Grows LinkRect to include the point; A's cell in `table` takes the grown rectangle.
    void ExtendRectangle(THashTable& table, const TNetworkPoint& point);
    // LinkRect from A, B and every shape point; A's cell in `table` recomputes its link rectangle.
    void RecomputeRectangle(THashTable& table);
    void RecomputeRectangleOnly();

    // Length of the polyline from A through the shape points to B (or up to and including `item`,
    // a shape point of this link), divided by NetworkScale.
    double PathLength(const TShapePoint* item, double NetworkScale) const;
    // The point halfway along the link (a proposed label position).
    TPoint MidPoint() const;
    // The polyline from A through the shape points to B.
    std::vector<TPoint> Polyline() const;
};

inline bool TLink::IsAEnd() const {
    return OppEndNode == LinkData->BEnd;
}
inline TNode* TLink::OwnNode() const {
    return IsAEnd() ? LinkData->AEnd : LinkData->BEnd;
}

inline TNode* TNetworkPoint::AsNode() {
    return IsShapePoint() ? nullptr : static_cast<TNode*>(this);
}
inline const TNode* TNetworkPoint::AsNode() const {
    return IsShapePoint() ? nullptr : static_cast<const TNode*>(this);
}
inline TShapePoint* TNetworkPoint::AsShapePoint() {
    return IsShapePoint() ? static_cast<TShapePoint*>(this) : nullptr;
}
inline const TShapePoint* TNetworkPoint::AsShapePoint() const {
    return IsShapePoint() ? static_cast<const TShapePoint*>(this) : nullptr;
}

// A bearing from (ax, ay) to (bx, by): 0 north (smaller y), 90 east, 180 south, 270 west.
double Orientation(std::int32_t ax, std::int32_t ay, std::int32_t bx, std::int32_t by);

// Sets an element's strings to exactly n, removing surplus from the end or appending empty texts.
void FitStrings(TStringList& strings, std::int32_t n);

} // namespace zan
