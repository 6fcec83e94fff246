// The editing operations on nodes that the edit modes call: plotting a node at the plot cursor,
// deleting (which only hides the node and records it for undelete), moving a point, merging two
// nodes, and turning a node into a shape point or a shape point into a node. Every operation works
// on the network and one window's settings, keeps the derived rectangles (cells, links, polygons)
// up to date and reports what to repaint.
#pragma once

#include <cstdint>

#include "editing/EditResult.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan {

// The drawn node of a visible layer at (x, y) or in the rings of the hit test around it (no shape
// points), or null.
TNode* HitNode(TNetwork& net, const TWindowSettings& window, std::int32_t x, std::int32_t y);
// The same with shape points of drawn links: returns the node, or sets `sp` to a shape point.
TNode* HitPoint(TNetwork& net, const TWindowSettings& window, std::int32_t x, std::int32_t y,
                TShapePoint*& sp);

// Whether a node of `layer` may be placed at (x, y): the layer is shown at the window's zoom and no
// drawn node of a visible layer sits exactly there.
bool NodePlotable(TNetwork& net, const TWindowSettings& window, std::int32_t x, std::int32_t y, int layer);

// Plots a new node from the template at (x, y) (the plot cursor): next serial, the template's type,
// label, values and strings; widens the extents. Marks the network modified. Null when the point is
// not plotable or the cell is full (nothing changes then).
TNode* NodePlotAction(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y,
                      TEditResult& result);

// Deletes a node with its drawn links (they come back with it) and records it on the undelete stack.
// With `spliceMode` the deleted links' types become 0.
void DoNodeDelete(TNetwork& net, TWindowSettings& window, TNode& node, bool spliceMode, TEditResult& result);
// The same record-keeping without a window: nothing is repainted and no window's shape point
// removal undo is told that the node's links stopped being drawn (UndoShapeRemove still refuses a
// link that is not drawn).
void DeleteNode(TNetwork& net, TNode& node);

// Moves a node or shape point to (x, y): re-files it in the hash table, widens the extents, updates
// the rectangles of its links and of the polygons it is a vertex of (and owns), and its longitude and
// latitude when the window asks for that.
void MoveNode(TNetwork& net, TWindowSettings& window, TNetworkPoint& point, std::int32_t x, std::int32_t y,
              TEditResult& result);

// Merges node `m` into the node or shape point `target` (the second click of Node Merge). Returns
// whether a merge happened.
bool NodeMerge(TNetwork& net, TWindowSettings& window, TNode& m, TNode* targetNode, TShapePoint* targetShape,
               TEditResult& result);

// Node to Shape Point on a node with exactly one entering and one leaving drawn link. Returns
// whether anything changed.
bool NodeToShapePoint(TNetwork& net, TWindowSettings& window, TNode& n, TEditResult& result);

// Shape Point to Node: splits the shape point's link into two at a new node there. Returns the new
// node, or null when nothing changed (the node could not be placed).
TNode* ShapePointToNode(TNetwork& net, TWindowSettings& window, TShapePoint& s, TEditResult& result);

// Node Restore (the second step of Node Move): when the deleted `node` may be placed at (x, y) on its
// own layer, moves it there and undeletes it with the links that were deleted with it (those whose
// other end is drawn), and removes its record from the undelete stack. Returns whether it was
// restored; nothing changes otherwise.
bool NodeRestore(TNetwork& net, TWindowSettings& window, TNode& node, std::int32_t x, std::int32_t y,
                 TEditResult& result);

// Merges the polygon of `giving` into the polygon of `receiving` along the run of vertices they
// share (or hands the whole polygon over when `receiving` has none). Returns false, changing
// nothing, when the polygons do not share one unbroken run of at least two vertices that leaves
// each of them a vertex of its own, or when `receiving` would become a vertex of its own polygon.
// The caller updates both polygons' rectangles (TNode::UpdateRectangle).
bool MergePolygons(TNode& giving, TNode& receiving);

// Clears every pick and drag reference of `window` to `point` (called before a shape point is freed;
// the caller does the same for every other view of the network).
void ForgetPoint(TWindowSettings& window, const TNetworkPoint* point);

// "Initialize Attributes, Clear": the node template goes back to type 0 on layer 1 with no values,
// strings, label or notes and every setting 0; the link template to a drawn link record of type 0
// with no values or strings.
void ClearTemplates(TNetwork& net);

} // namespace zan
