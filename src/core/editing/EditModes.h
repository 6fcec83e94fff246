// The edit modes of a sketch window and what the pointer means in each of them: choosing a mode,
// dispatching a click to the node and link operations, the picks of multi-click operations and their
// daisy chains, the Insert and Delete keys, dragging a node or shape point in Select Object mode and
// the hover hint. The window converts pixels to plane points, serves zoom clicks, draws the plot
// cursor, the drag handle and the highlights, opens the dialogs this code asks for and repaints what
// the results say.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editing/EditResult.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan {

// The edit modes, by the numbers stored in preference strings.
enum class sketchstates : std::int32_t {
    noaction = 0,
    nodeplotmode = 1,
    linkplotmode = 2,
    nodeopenmode = 3,
    linkopenmode = 4,
    nodedeletemode = 5,
    polygoninsertmode = 6,
    polygondeletemode = 7,
    linkdeletemode = 8,
    nodeplotopen = 9,
    linkplotopen = 10,
    nodemovemode = 11,
    linkreversemode = 12,
    noderestoremode = 13,
    linksplitmode = 14,
    nodelinkplot = 15,
    linkfusemode = 16,
    linkshapeinsert = 17,
    linkshaperestore = 18,
    linkshaperemove = 19,
    nodereinitialize = 20,
    linkreinitialize = 21,
    nodetoshape = 22,
    shapetonode = 23,
    nodemerge = 24,
    linkintersect = 25,
    polygonmove = 26,
    shapeopen = 27,
};

inline constexpr std::int32_t kModeCount = 28;

// The mode stored as `value`, or nothing when the value names no mode.
std::optional<sketchstates> ModeFromInt(std::int64_t value);

// The mode's name in the status bar's mode panel.
std::string_view ModeStatusText(sketchstates mode);
// The caption of the menu entry that chooses the mode ("&" before the accelerator); empty for the
// modes that only another mode enters (Node Restore, the new-node step of Link Split, the placing
// step of Link Shape Insert).
std::string_view ModeMenuCaption(sketchstates mode);
// The tooltip of the mode's toolbar button; empty for the same three modes.
std::string_view ModeToolbarHint(sketchstates mode);
// The help line shown as the status bar's hint when the mode is chosen; empty for the same three.
std::string_view ModeHelpLine(sketchstates mode);

// The modes in which the window shows the plot cursor and a right click commits at the cursor.
bool IsPlotCursorMode(sketchstates mode);

// The coordinates as the mode panel shows them: "x,y".
std::string CoordinatesText(std::int32_t x, std::int32_t y);

// What the window must do after a click, beyond repainting: open a dialog on the element found, or
// hand the click to the polygon operations.
enum class TClickRequest {
    none,
    nodeOpen,         // the node's entity dialog (attributes worksheet with rightClick)
    nodeReinitialize, // reinitialize `node` from the template
    linkOpen,         // the link's entity dialog (attributes worksheet with rightClick)
    linkReinitialize, // reinitialize `link` from the template
    shapeLinkOpen,    // the entity dialog of a shape point's link; afterwards repaint the link grown by 100
    shapeGeography,   // the longitude/latitude/elevation dialog of `shape`
    polygon,          // a polygon mode: the polygon operations handle the click
};

struct TClickOutcome {
    TEditResult result;
    TClickRequest request = TClickRequest::none;
    TNode* node = nullptr;
    TLinkValues* link = nullptr;
    TShapePoint* shape = nullptr;
    bool rightClick = false; // the request came from the right button
    // Shape points freed by the action. No reference to them may remain: the window calls Forget
    // on the edit session of every other view of the network.
    std::vector<const TNetworkPoint*> freed;
    // The freed points cannot be listed (link intersection consumes shape points): every other view
    // must drop its shape point references (ForgetShapePoints).
    bool shapePointsFreed = false;
};

// The edit state of one sketch window: its mode and the picks of the operation in hand. The
// highlighted picks (LastNode, LastSp, the current polygon) and the point being dragged live in the
// window's settings, where the renderer finds them; the rest lives here. Nothing is owned: every
// pick refers to an element of the network.
class TEditSession {
public:
    sketchstates Mode() const { return mode_; }

    // Ends any pick in progress (and a drag), switches the zoom flags off and enters `mode`. The
    // status is the cursor coordinates in a plot-cursor mode, the mode's status text otherwise; the
    // repaint covers the highlights that were cleared.
    TEditResult ChooseMode(TNetwork& net, TWindowSettings& window, sketchstates mode);

    // A click at the plane point (x, y) (already converted by the window). Zoom clicks never reach
    // the modes: while a zoom flag is on, nothing happens here.
    TClickOutcome Click(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y,
                        bool rightButton);

    // The Insert key where the edit steps give it a meaning of their own: in Node Restore it puts the
    // moved node back at its old position, in the new-node step of Link Split it brings the split
    // link back; both return to the mode they came from. Nothing (no value) in every other mode: the
    // window runs the general undelete.
    std::optional<TEditResult> Insert(TNetwork& net, TWindowSettings& window);

    // The Delete key: in Select Object mode deletes the selected node with its links or removes the
    // selected shape point; nothing in other modes.
    TClickOutcome Delete(TNetwork& net, TWindowSettings& window);

    // The Select Object selection: the node or shape point the drag handle stands on, or null.
    TNetworkPoint* Selected() const;

    // Dragging the selection. (x, y) is the plane point under the handle's centre. BeginDrag marks
    // the point as being dragged (it stays drawn); DragTo moves it there;
    // EndDrag moves it to its final place, clears the mark and reports everything the drag touched.
    // CancelDrag ends a drag whose release was lost (grab taken away, focus lost) at its last place.
    TEditResult BeginDrag(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y);
    TEditResult DragTo(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y);
    TEditResult EndDrag(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y);
    TEditResult CancelDrag(TNetwork& net, TWindowSettings& window);
    bool Dragging() const { return drag_.point != nullptr; }

    // The hover hint at (LastMouseX, LastMouseY): a node's label, or a shape point's 1-based position
    // in its link, ": " and the link's label, followed by its geographic position when any of its
    // coordinates is above 0. Nothing when no point is there.
    std::optional<std::string> GenerateHint(TNetwork& net, const TWindowSettings& window) const;

    // Drops every reference of this session and of `window` to a point another view freed.
    void Forget(TWindowSettings& window, const TNetworkPoint* point);
    // Drops every reference to shape points (another view freed some it cannot name).
    void ForgetShapePoints(TWindowSettings& window);

    // The picks, for the window and for tests.
    TNode* FirstNode() const { return firstnode_; }
    TNode* SecondNode() const { return secondnode_; }
    TShapePoint* Sp() const { return sp_; }
    TShapePoint* FirstSp() const { return FirstSp_; }
    TLinkValues* FirstLink() const { return firstlink_; }
    bool LastIsShape() const { return lastisshape_; }
    std::int32_t ShapePosition() const { return shapeposition_; }
    // The link deleted by the first step of Link Split, while its new-node step runs.
    TLinkValues* SplitLink() const { return splitLink_; }
    // The node lifted by Node Move, while Node Restore runs.
    TNode* MovingNode() const { return movingNode_; }

private:
    struct TDrag {
        TNetworkPoint* point = nullptr;
        TRect touched; // everything the drag has touched, plane units
        std::int32_t x = 0, y = 0;
    };

    void KillDaisy(TNetwork& net, TWindowSettings& window, TEditResult& result);
    void ClearPicks(TWindowSettings& window);
    // The picks of a one- or two-point operation (not the split and move steps).
    void ClearPairPicks(TWindowSettings& window);
    // Ends the point pair of Link Shape Insert (after the insertion or an invalid second pick).
    void DropShapePicks(TWindowSettings& window, TEditResult& result);
    void ValidatePicks(TWindowSettings& window);

    void SelectObject(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y,
                      TClickOutcome& out);
    void LinkPlotClick(TNetwork& net, TWindowSettings& window, TClickOutcome& out);
    void TwoClickLinkPick(TNetwork& net, TWindowSettings& window, bool rightButton, TClickOutcome& out);
    void NodeClick(TNetwork& net, TWindowSettings& window, TClickOutcome& out);
    void ShapeInsertClick(TNetwork& net, TWindowSettings& window, TClickOutcome& out);
    void NodeMergeClick(TNetwork& net, TWindowSettings& window, TClickOutcome& out);

    void PlotAtCursor(TNetwork& net, TWindowSettings& window, TClickOutcome& out);
    void RestoreAtCursor(TNetwork& net, TWindowSettings& window, TClickOutcome& out);
    void InsertShapeAtCursor(TNetwork& net, TWindowSettings& window, TClickOutcome& out);
    void LeaveSplitStep(TWindowSettings& window);
    void LeaveRestoreStep();
    bool SplitItemOnTop(const TNetwork& net) const;
    bool RestoreItemOnTop(const TNetwork& net) const;
    void DropShapePoint(TWindowSettings& window, const TNetworkPoint* point, TClickOutcome& out);

    void Highlight(const TWindowSettings& window, const TNetworkPoint* point, TEditResult& result) const;
    TEditResult FinishDrag(TNetwork& net, TWindowSettings& window, std::int32_t x, std::int32_t y);

    sketchstates mode_ = sketchstates::noaction;
    TNode* firstnode_ = nullptr;
    TNode* secondnode_ = nullptr; // in Select Object mode the selected node
    TShapePoint* sp_ = nullptr;   // in Select Object mode the selected shape point
    TShapePoint* FirstSp_ = nullptr;
    TLinkValues* firstlink_ = nullptr;
    bool lastisshape_ = false;
    std::int32_t shapeposition_ = 0;
    // Link Split: the deleted link and the depth of the undelete stack with its record on top.
    TLinkValues* splitLink_ = nullptr;
    std::size_t splitDepth_ = 0;
    // Node Move: the lifted node, its old place and the depth of the stack with its record on top.
    TNode* movingNode_ = nullptr;
    std::size_t movingDepth_ = 0;
    std::int32_t movingX_ = 0, movingY_ = 0;
    TDrag drag_;
};

} // namespace zan
