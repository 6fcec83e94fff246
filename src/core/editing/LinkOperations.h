// The editing operations on links and shape points: plotting a link between two nodes (or restoring
// a deleted one), deleting, setting the direction, splitting by a new node, splicing the two links of
// a through node, inserting and removing shape points with one-step undo, and making nodes at the
// intersections of a link with others.
#pragma once

#include <cstdint>
#include <optional>

#include "editing/EditResult.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan {

// The link between two nodes in either direction: a drawn one if there is one, else a deleted one,
// or null. Links retired by Link Intersect never count.
TLinkValues* FindLinkBetween(TNode& a, TNode& b);
TLinkValues* FindLinkBetween(const TNetwork& net, TNode& a, TNode& b);

// Whether a link was retired by Link Intersect: hidden for good, never restored.
bool IsRetiredLink(const TNetwork& net, const TLinkValues& link);

enum class TLinkPlotOutcome { existed, restored, created, refused };

// Link plot from `first` (A end) to `second` (B end): an existing drawn link changes nothing, a
// deleted one is restored fully (shape points drawn again) with `first` as its A end, otherwise a new
// link is made from the template. Marks the network modified. Returns the link (null when refused).
TLinkValues* LinkPlot(TNetwork& net, TWindowSettings& window, TNode& first, TNode& second,
                      TLinkPlotOutcome& outcome, TEditResult& result);

// Deletes a link on its own (its shape points hidden) and records it on the undelete stack with the
// node picked first.
void LinkDelete(TNetwork& net, TWindowSettings& window, TNode& firstPicked, TLinkValues& link,
                TEditResult& result);

// Makes `newA` the A end of the link (reversing the shape points when the direction changes).
void LinkDirection(TNetwork& net, TWindowSettings& window, TLinkValues& link, TNode& newA,
                   TEditResult& result);

// The last step of Link Split: two links `firstnode`-n and n-`secondnode`, oriented as the deleted
// link, each a copy of its record; the deleted link's type becomes 0.
void LinkSplitFinish(TNetwork& net, TWindowSettings& window, TLinkValues& deleted, TNode& firstnode,
                     TNode& secondnode, TNode& n, TEditResult& result);

// Link Splice on node n (exactly one entering and one leaving drawn link, and no drawn link between
// their other ends). Returns whether the splice happened.
bool LinkSplice(TNetwork& net, TWindowSettings& window, TNode& n, TEditResult& result);

// Fills a link that replaces an upstream and a downstream link by the window's splice rules (the
// old links' types as they were before they were set to 0; `up` and `down` must still hold their
// values).
void ApplySpliceRules(TNetwork& net, const TSpliceRules& rules, TLinkValues& made, const TLinkValues& up,
                      int upType, const TLinkValues& down, int downType);
// Derives attributestoadd from linkfuseadd.
void DeriveAttributesToAdd(TSpliceRules& rules);

// Where a new shape point goes between two picked points of one drawn link (nodes or shape points):
// between two shape points whose indices differ by 1; at the start (A end) or the end (B end) for
// an end node and any shape point of the link; at 0 for two nodes joined by a link without shape
// points. Nothing for any other pair. Sets `link`.
std::optional<std::int32_t> ShapeInsertPosition(TNode* nodeA, TShapePoint* spA, TNode* nodeB,
                                                TShapePoint* spB, TLinkValues*& link);
// Inserts a shape point at (x, y) into the link at `position`; clears the removal undo.
TShapePoint* ShapePointInsert(TNetwork& net, TWindowSettings& window, TLinkValues& link,
                              std::int32_t position, std::int32_t x, std::int32_t y, TEditResult& result);
// Removes a shape point, keeping the undo record; the point is freed after this window forgets it
// (the caller makes every other view of the network forget it too).
bool ShapePointRemove(TNetwork& net, TWindowSettings& window, TShapePoint& s, TEditResult& result);
// Undoes the last removal; false when there is nothing to undo.
bool UndoShapeRemove(TNetwork& net, TWindowSettings& window, TEditResult& result);

// The removal undo record puts a point back by its index in the link's shape point list and in
// each polygon's vertex list, so it only holds while those lists stay as they were and the link
// stays drawn. Every operation that changes a link's shape point list, stops drawing a link, or
// changes a polygon's vertex list reports it here: the change is noted in `result`, and `window`'s
// record is dropped when it refers to that link or polygon.
void NoteShapeChange(TWindowSettings& window, TEditResult& result, const TLinkValues& link);
void NoteShapeChange(TWindowSettings& window, TEditResult& result, const TNode& polygonOwner);
// Drops `window`'s removal undo record when `result` notes a change of its link or of one of its
// polygons; returns whether it did. The window an operation ran in has already dropped its own
// record; the application calls this for every other view of the same network with the result of
// each operation, so that no view keeps a record gone stale.
bool ForgetStaleShapeUndo(TWindowSettings& window, const TEditResult& result);

// Makes nodes at every intersection of link `a` with other drawn links. Returns whether any node
// was made.
bool LinkIntersectAction(TNetwork& net, TWindowSettings& window, TLinkValues& a, TEditResult& result);

// Where two segments p1-p2 and q1-q2 cross, exactly (64-bit cross products), rounded to the nearest
// integer point; nothing for parallel segments, segments that do not meet, or a point outside
// +-512000.
std::optional<TPoint> SegmentCrossing(TPoint p1, TPoint p2, TPoint q1, TPoint q2);

} // namespace zan
