// The commands of a sketch window's menu bar, and the short menu of the frame when no sketch
// window is open, as data: each command's identifier, its menu path, its caption with access key,
// its shortcut and whether it carries a check mark. The main window builds its menus from these
// tables and connects the identifiers it implements; the others stay present and disabled.
#pragma once

#include <string_view>
#include <vector>

namespace zan {

struct TCommandDef {
    std::string_view id;       // stable identifier, e.g. "file.open"
    std::string_view menu;     // submenu path, levels separated by '/', e.g. "&File/&New"
    std::string_view caption;  // e.g. "&Schema"
    std::string_view shortcut; // portable key text, e.g. "Ctrl+O", or empty
    bool checkable = false;
    bool radio = false; // one of a group of exclusive checks (the zoom entries)
};

// Every command of a sketch window, in menu order.
const std::vector<TCommandDef>& SketchCommands();
// The frame's own menu while no sketch window is open.
const std::vector<TCommandDef>& FrameCommands();

// The identifier of zoom state 1..18 ("view.zoom.13").
std::string_view ZoomCommandId(int state);

} // namespace zan
