// The settings of one sketch window: each window (and each view of a network) has its own copy,
// saved with the network file. Core operations that depend on what a window shows or where it
// looks take these settings as a parameter; nothing in the core reaches for an "active" window.
#pragma once

#include <array>
#include <cstdint>

#include "geometry/ZoomTable.h"

namespace zan {

inline constexpr int kLayers = 10; // layers 1..10

struct TWindowSettings {
    // View.
    std::int32_t ZoomState = kDefaultZoomState;
    std::int32_t XMin = 0, YMin = 0, XMax = 0, YMax = 0; // extents of the sketch pad
    std::int32_t XScroll = 10, YScroll = 10;             // plane-to-logical offsets
    std::int32_t CurPosX = 10, CurPosY = 10;             // plot cursor
    bool Plotting = false;                               // a plot or print of this window is running

    // Layers: entry i is the lowest zoom state at which layer i is shown, 0 = never. Entry 0 unused.
    std::array<std::int32_t, kLayers + 1> selectedlayers{0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};

    // Node symbol half-size; also the radius of the hit test around a click, in plane units.
    std::int32_t NodeExtent = 3;

    // Plane units per length unit: lengths shown to the user are divided by it.
    double NetworkScale = 1.0;

    // Largest label extents and symbol sizes drawn so far, kept by the renderer; a repaint of a
    // rectangle also redraws cells whose labels or symbols may reach into it.
    std::int32_t nodelabelxleft = 0, nodelabelxright = 0, nodelabelytop = 0, nodelabelybot = 0;
    std::int32_t linklabelxleft = 0, linklabelxright = 0, linklabelytop = 0, linklabelybot = 0;
    std::int32_t NodeWorstSize = 0, LinkWorstSize = 0;

    // Entity types selected for extracts and updates (entries 1..10 used); name searches restricted to
    // the selection consult them.
    std::array<bool, 11> ExtractNodeTypes{};
    std::array<bool, 11> ExtractLinkTypes{};

    // Whether a node on `layer` is shown at the current zoom.
    bool LayerShown(int layer) const {
        if (layer < 0 || layer > kLayers)
            return false;
        const std::int32_t threshold = selectedlayers[static_cast<std::size_t>(layer)];
        return threshold != 0 && ZoomState >= threshold;
    }
};

} // namespace zan
