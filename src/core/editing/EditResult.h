// What an editing operation reports to the window that called it: the plane rectangles to repaint
// (already grown by what the symbols and labels there may reach), whether the whole window must be
// repainted, texts for the status bar, and the links and polygons whose point lists changed.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/Rect.h"

namespace zan {

class TNode;
struct TLinkValues;

struct TEditResult {
    std::vector<TRect> repaint; // plane units
    bool repaintAll = false;
    bool changed = false;              // the network was edited: its other views repaint
    std::optional<std::string> status; // new text of the mode panel, when set
    // Links whose shape point list changed or that stopped being drawn, and polygon owners whose
    // vertex list changed (NoteShapeChange). A shape point removal that a view can still undo
    // refers to its link and polygons by index; every view drops a record that one of these
    // concerns (ForgetStaleShapeUndo).
    std::vector<const TLinkValues*> reshapedLinks;
    std::vector<const TNode*> reshapedPolygons;

    // Adds a plane rectangle grown by `buffer` on every side (empty rectangles add nothing).
    void Repaint(const TRect& r, std::int32_t buffer = 0) {
        if (r.IsEmpty())
            return;
        TRect g = r;
        g.left = ClampToInt32(std::int64_t{g.left} - buffer);
        g.top = ClampToInt32(std::int64_t{g.top} - buffer);
        g.right = ClampToInt32(std::int64_t{g.right} + buffer);
        g.bottom = ClampToInt32(std::int64_t{g.bottom} + buffer);
        repaint.push_back(g);
    }
    void RepaintPoint(std::int32_t x, std::int32_t y, std::int32_t buffer) {
        Repaint(TRect::At(x, y), buffer);
    }
};

} // namespace zan
