// The range filter: which elements are in the current search. Each entity type may restrict its
// attributes to ranges (all of them must hold, or any one suffices), and a search polygon may
// restrict nodes and links by position. The renderer, the counts, the extract, the shapefile export
// and bulk deletion all ask the same filter.
#pragma once

#include <vector>

#include "model/HashTable.h"
#include "model/Rect.h"
#include "schema/EntityClass.h"

namespace zan {

class TNetwork;
struct TWindowSettings;

// Whether a category value lies in the attribute's range, variable by variable (the range bytes of
// the worksheet rows must have been derived by TRangeFilter).
bool CategoryInRange(const TAttrib& attribute, double value, bool allOf);

class TRangeFilter final : public TElementFilter {
public:
    // Prepares a batch of range tests: derives each type's checkrange and the category range bytes in
    // the network's schemas, and takes the search polygon of the window.
    TRangeFilter(TNetwork& net, const TWindowSettings& window);

    // No node (link) type has a range and the polygon search does not apply to nodes (links):
    // callers may skip the test.
    bool NotAnyNodeRanges = true;
    bool NotAnyLinkRanges = true;

    bool PassesNode(const TNode& node) const override;
    // A link, with the polygon search applied to its A end and its other end.
    bool PassesLink(const TLinkValues& link) const override;

private:
    bool PassesValues(const TEntityType& type, const double* values, int valueCount,
                      const TStringList& strings) const;
    int Where(const TNode& node) const; // PointInPolygon result for the search polygon

    const TNetwork* net_;
    std::vector<TPoint> polygon_;
    TRect polygonRect_;
    bool polygonForNodes_ = false;
    bool polygonForLinks_ = false;
    bool outside_ = false;
    bool bothEnds_ = false;
};

} // namespace zan
