// zan_makesample: builds Kestrel Falls, the invented river town that zanwin ships as its sample
// network, and saves it as a network file of the current version.
//
//   zan_makesample examples/sample.dta
//
// The town is described as road centre lines: straight streets, a parkway ringing the town on an
// ellipse, a road winding along the river, local streets drawn as smooth curves through a few
// control points, and a freeway with its interchanges. Wherever two roads that meet at grade
// cross, the crossing becomes a node; the freeway and its ramps pass over the other roads. The
// blocks enclosed by the main roads become the traffic zones: each is a polygon owned by a
// centroid node, tied to nearby intersections by centroid connectors. One plane unit is 1/600
// mile; the town is six miles across.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "calc/NumberText.h"
#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"
#include "schema/AttributeValues.h"

namespace {

using namespace zan;

constexpr double kPi = 3.14159265358979323846;
constexpr double kUnitsPerMile = 600;
constexpr double kWidth = 3600;
constexpr double kHeight = 2600;
constexpr double kCrossTolerance = 2.5; // a road end this close to another road meets it
constexpr double kSnap = 4;             // crossings this close are one node

struct P {
    double x = 0;
    double y = 0;
};
double Dist(P a, P b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

// ---- entity types -------------------------------------------------------------------------------

enum NodeKind : std::uint8_t {
    kIntersection = 1,
    kSignal = 2,
    kInterchange = 3,
    kExternal = 4,
    kCentroid = 5
};
enum LinkKind : std::uint8_t {
    kFreeway = 1,
    kRamp = 2,
    kArterial = 3,
    kCollector = 4,
    kLocal = 5,
    kOneWay = 6,
    kConnector = 7
};

struct TNodeTypeStyle {
    const char* name;
    const char* alias;
    int shape; // symbol code
    int color; // colour index
};
constexpr TNodeTypeStyle kNodeTypes[] = {
    {"Intersection", "INT", 1, 9},             // grey square
    {"Signalized Intersection", "SIG", 10, 4}, // red dot
    {"Interchange", "IC", 3, 7},               // dark red diamond
    {"External Station", "EXT", 2, 6},         // dark green triangle
    {"Zone Centroid", "ZONE", 9, 8},           // purple boxed cross
};

struct TLinkTypeStyle {
    const char* name;
    const char* alias;
    int width; // pen width
    int color; // colour index
    bool oneway;
    std::int32_t lanes;
    double speed;      // miles per hour
    double laneHourly; // vehicles per lane and hour
    const char* funclass;
};
constexpr TLinkTypeStyle kLinkTypes[] = {
    {"Freeway", "FWY", 7, 4, false, 4, 65, 1900, "FWY"},
    {"Ramp", "RAMP", 2, 7, true, 1, 35, 1500, "RAMP"},
    {"Arterial", "ART", 5, 5, false, 4, 40, 800, "ART"},
    {"Collector", "COL", 3, 6, false, 2, 30, 700, "COL"},
    {"Local", "LOC", 1, 1, false, 2, 25, 500, "LOC"},
    {"One-Way Street", "ONEWAY", 2, 2, true, 3, 25, 600, "ONEWAY"},
    {"Centroid Connector", "CONN", 1, 10, false, 1, 20, 9999, "CONN"},
};

// Link attributes (every link type has the same ones).
enum : int { kLinkName = 1, kLanes = 2, kSpeed = 3, kCapacity = 4, kFunClass = 5, kLength = 6 };

struct TAttrSpec {
    const char* name;
    const char* alias;
    char format;
};

void DefineAttributes(TEntityType& type, std::initializer_list<TAttrSpec> specs) {
    int i = 0;
    for (const TAttrSpec& s : specs) {
        TAttrib& a = type.EnsureAttribute(++i);
        a.atname = s.name;
        a.SetAlias(s.alias);
        a.aformat = s.format;
    }
    type.atcount = i;
}

void DefineSchemas(TNetwork& net) {
    for (int t = 1; t <= 5; ++t) {
        const TNodeTypeStyle& s = kNodeTypes[t - 1];
        TEntityType& type = net.NodeDef.Classs[static_cast<std::size_t>(t)];
        type.ename = s.name;
        type.Alias = s.alias;
        type.shape = s.shape;
        type.ecolor = s.color;
    }
    DefineAttributes(net.NodeDef.Classs[kIntersection],
                     {{"Traffic control", "CONTROL", 'C'}, {"Links at node", "LEGS", 'I'}});
    DefineAttributes(net.NodeDef.Classs[kSignal], {{"Traffic control", "CONTROL", 'C'},
                                                   {"Links at node", "LEGS", 'I'},
                                                   {"Signal cycle (s)", "CYCLE", 'R'}});
    DefineAttributes(net.NodeDef.Classs[kInterchange],
                     {{"Exit number", "EXIT", 'I'}, {"Links at node", "LEGS", 'I'}});
    DefineAttributes(net.NodeDef.Classs[kExternal],
                     {{"Station number", "STATION", 'I'}, {"Daily traffic", "AADT", 'R'}});
    DefineAttributes(net.NodeDef.Classs[kCentroid], {{"Zone number", "ZONE", 'I'},
                                                     {"Population", "POP", 'R'},
                                                     {"Households", "HH", 'R'},
                                                     {"Employment", "EMP", 'R'},
                                                     {"Area (sq mi)", "AREA", 'R'},
                                                     {"Land use", "LANDUSE", 'C'}});
    for (int t = 1; t <= 7; ++t) {
        const TLinkTypeStyle& s = kLinkTypes[t - 1];
        TEntityType& type = net.LinkDef.Classs[static_cast<std::size_t>(t)];
        type.ename = s.name;
        type.Alias = s.alias;
        type.shape = s.width;
        type.ecolor = s.color;
        type.hasarrow = s.oneway;
        DefineAttributes(type, {{"Street name", "NAME", 'S'},
                                {"Lanes", "LANES", 'I'},
                                {"Speed (mph)", "SPEED", 'R'},
                                {"Capacity (veh/h)", "CAPACITY", 'R'},
                                {"Functional class", "FUNCLASS", 'C'},
                                {"Length (mi)", "LENGTH", 'R'}});
    }
    DefineAttributes(
        net.SystemDef.Classs[1],
        {{"Town", "TOWN", 'S'}, {"Base year", "YEAR", 'I'}, {"Total population", "POPTOTAL", 'R'}});
    net.NodeDef.ResetStringPosList();
    net.LinkDef.ResetStringPosList();
    net.SystemDef.ResetStringPosList();
}

// ---- the roads ----------------------------------------------------------------------------------

struct TRoad {
    std::string name;
    LinkKind type = kLocal;
    std::vector<P> pts;     // centre line, in the direction of travel for one-way roads
    std::vector<bool> node; // which of pts are nodes (the ends always are)
    bool bridged = false;   // crosses other roads without meeting them
    bool boundary = false;  // bounds traffic zones
    std::int32_t lanes = 0; // 0: the type's
    double speed = 0;       // 0: the type's
};

TRoad Road(std::string name, LinkKind type, std::vector<P> pts) {
    TRoad r;
    r.name = std::move(name);
    r.type = type;
    r.pts = std::move(pts);
    r.node.assign(r.pts.size(), false);
    r.node.front() = r.node.back() = true;
    return r;
}

// Points of y = f(x) from x0 to x1 every `step`.
template <class F> std::vector<P> Graph(F f, double x0, double x1, double step) {
    std::vector<P> pts;
    const int n = std::max(1, RealToInt32(std::abs(x1 - x0) / step));
    for (int i = 0; i <= n; ++i) {
        const double x = x0 + (x1 - x0) * i / n;
        pts.push_back({x, f(x)});
    }
    return pts;
}

// A smooth curve through the control points (Catmull-Rom), about every `step` units.
std::vector<P> Smooth(const std::vector<P>& c, double step = 40) {
    std::vector<P> pts{c.front()};
    for (std::size_t i = 0; i + 1 < c.size(); ++i) {
        const P p0 = c[i == 0 ? 0 : i - 1];
        const P p1 = c[i];
        const P p2 = c[i + 1];
        const P p3 = c[std::min(i + 2, c.size() - 1)];
        const int n = std::max(1, RealToInt32(Dist(p1, p2) / step));
        for (int k = 1; k <= n; ++k) {
            const double t = static_cast<double>(k) / n;
            const double t2 = t * t;
            const double t3 = t2 * t;
            auto blend = [&](double a, double b, double cc, double d) {
                return 0.5 * (2 * b + (-a + cc) * t + (2 * a - 5 * b + 4 * cc - d) * t2 +
                              (-a + 3 * b - 3 * cc + d) * t3);
            };
            pts.push_back({blend(p0.x, p1.x, p2.x, p3.x), blend(p0.y, p1.y, p2.y, p3.y)});
        }
    }
    return pts;
}

// The town's geography.
double FreewayY(double x) {
    return 330 - 0.04 * x + 45 * std::sin(2 * kPi * x / 2400);
}
double RiverY(double x) {
    return 1700 + 100 * std::sin(2 * kPi * (x - 1000) / 2000);
}
constexpr P kRingCentre{1800, 1260};
constexpr double kRingRx = 1250;
constexpr double kRingRy = 760;
// Where the ring parkway meets x = const (top or bottom half).
double RingY(double x, bool top) {
    const double u = (x - kRingCentre.x) / kRingRx;
    const double h = kRingRy * std::sqrt(std::max(0.0, 1 - u * u));
    return top ? kRingCentre.y - h : kRingCentre.y + h;
}
// Where the ring parkway meets y = const (left or right half).
double RingX(double y, bool left) {
    const double v = (y - kRingCentre.y) / kRingRy;
    const double w = kRingRx * std::sqrt(std::max(0.0, 1 - v * v));
    return left ? kRingCentre.x - w : kRingCentre.x + w;
}

struct TTown {
    std::vector<TRoad> roads;
    // Explicit nodes with their own name and type: interchange gores and ramp terminals.
    struct TNamed {
        P at;
        std::string name;
        NodeKind type;
        std::int32_t exit;
    };
    std::vector<TNamed> named;
};

TTown LayOutTown() {
    TTown town;
    auto& roads = town.roads;
    // The freeway along the north, with a diamond interchange at Main Street (exit 12) and simple
    // interchanges at Northgate Road (exit 10) and Eastgate Road (exit 14).
    TRoad fwy = Road("Kestrel Expressway", kFreeway, Graph(FreewayY, 0, kWidth, 50));
    fwy.bridged = true;
    for (std::size_t i = 0; i < fwy.pts.size(); ++i) {
        const double x = fwy.pts[i].x;
        if (x == 1000 || x == 1600 || x == 2000 || x == 2650)
            fwy.node[i] = true;
    }
    roads.push_back(fwy);
    const double mx = 1800;
    const P north{mx, FreewayY(mx) - 90};
    const P south{mx, FreewayY(mx) + 90};
    const P gw{1600, FreewayY(1600)};
    const P ge{2000, FreewayY(2000)};
    town.named.push_back({gw, "Exit 12 West Gore", kInterchange, 12});
    town.named.push_back({ge, "Exit 12 East Gore", kInterchange, 12});
    town.named.push_back({{1000, FreewayY(1000)}, "Exit 10 Northgate Rd", kInterchange, 10});
    town.named.push_back({{2650, FreewayY(2650)}, "Exit 14 Eastgate Rd", kInterchange, 14});
    auto ramp = [&](const char* name, P a, P b, double bulge) {
        const P mid{(a.x + b.x) / 2 + bulge, (a.y + b.y) / 2};
        TRoad r = Road(name, kRamp, Smooth({a, mid, b}, 30));
        r.bridged = true;
        roads.push_back(r);
    };
    ramp("Exit 12 EB Off Ramp", gw, south, -40);
    ramp("Exit 12 EB On Ramp", south, ge, 40);
    ramp("Exit 12 WB Off Ramp", ge, north, 40);
    ramp("Exit 12 WB On Ramp", north, gw, -40);

    // Arterials.
    TRoad main = Road("Main St", kArterial, {{mx, 0}, north, south, {mx, kHeight}});
    main.node = {true, true, true, true};
    main.boundary = true;
    roads.push_back(main);
    TRoad market = Road("Market St", kArterial, {{0, 1260}, {kWidth, 1260}});
    market.boundary = true;
    roads.push_back(market);
    TRoad northgate = Road("Northgate Rd", kArterial, {{1000, FreewayY(1000)}, {1000, RiverY(1000)}});
    northgate.boundary = true;
    northgate.lanes = 2;
    northgate.speed = 35;
    roads.push_back(northgate);
    TRoad eastgate = Road("Eastgate Rd", kArterial, {{2650, FreewayY(2650)}, {2650, kHeight}});
    eastgate.boundary = true;
    roads.push_back(eastgate);
    std::vector<P> ring;
    for (int k = 0; k <= 96; ++k) {
        const double a = 2 * kPi * k / 96;
        ring.push_back({kRingCentre.x + kRingRx * std::cos(a), kRingCentre.y + kRingRy * std::sin(a)});
    }
    ring.back() = ring.front();
    TRoad parkway = Road("Ridgeline Pkwy", kArterial, ring);
    parkway.boundary = true;
    parkway.speed = 45;
    roads.push_back(parkway);

    // Collectors.
    TRoad river = Road("River Rd", kCollector, Graph(RiverY, 0, kWidth, 50));
    river.boundary = true;
    roads.push_back(river);
    // Elm Avenue bounds the zones between the two gate roads only.
    roads.push_back(Road("Elm Ave", kCollector, {{RingX(880, true), 880}, {1000, 880}}));
    TRoad elm = Road("Elm Ave", kCollector, {{1000, 880}, {2650, 880}});
    elm.boundary = true;
    roads.push_back(elm);
    roads.push_back(Road("Elm Ave", kCollector, {{2650, 880}, {RingX(880, false), 880}}));
    roads.push_back(Road("Ridge Rd", kCollector, {{1350, RingY(1350, true)}, {1350, RiverY(1350)}}));
    roads.push_back(Road("Quarry Rd", kCollector, {{2300, RingY(2300, true)}, {2300, RiverY(2300)}}));
    TRoad ferry = Road("Ferry Rd", kCollector, {{mx, 2300}, {2650, 2300}});
    ferry.boundary = true;
    roads.push_back(ferry);
    roads.push_back(Road("Ferry Rd", kLocal, Smooth({{1050, 2250}, {1400, 2330}, {mx, 2300}})));
    roads.push_back(Road(
        "Old Mill Rd", kCollector,
        Smooth({{300, 1260}, {340, 1450}, {470, 1700}, {640, 2060}, {900, 2330}, {1400, 2460}, {mx, 2450}})));

    // Downtown: a grid around Main and Market, with a one-way pair.
    const double gx[] = {1500, 1600, 1700, 1900, 2000, 2100};
    const char* const gxName[] = {"Alder St", "Cedar St", "Birch St", "Spruce St", "Willow St", "Hazel St"};
    for (int i = 0; i < 6; ++i)
        roads.push_back(Road(gxName[i], kLocal, {{gx[i], 1060}, {gx[i], 1460}}));
    roads.push_back(Road("Court St", kLocal, {{1500, 1060}, {2100, 1060}}));
    roads.push_back(Road("Mill St", kLocal, {{1500, 1460}, {2100, 1460}}));
    roads.push_back(Road("1st Ave", kOneWay, {{1350, 1160}, {2300, 1160}}));
    roads.push_back(Road("2nd Ave", kOneWay, {{2300, 1360}, {1350, 1360}}));

    // Neighbourhood streets.
    roads.push_back(
        Road("Heron Crescent", kLocal, Smooth({{800, 880}, {760, 980}, {820, 1070}, {1000, 1110}})));
    roads.push_back(Road("Kingfisher Ct", kLocal, Smooth({{1000, 990}, {930, 975}, {880, 1000}})));
    roads.push_back(
        Road("Summit Dr", kLocal, Smooth({{1000, 790}, {1180, 730}, {1420, 745}, {1640, 800}, {mx, 790}})));
    roads.push_back(Road("Lookout Ln", kLocal, Smooth({{mx, 790}, {2050, 730}, {2380, 760}, {2650, 790}})));
    roads.push_back(Road("Orchard Way", kLocal,
                         Smooth({{2760, 880}, {2720, 980}, {2770, 1100}, {2870, 1190}, {2920, 1260}})));
    roads.push_back(Road("Pippin Ct", kLocal, Smooth({{2650, 1130}, {2700, 1150}, {2740, 1190}})));
    roads.push_back(
        Road("Willow Bend", kLocal, Smooth({{880, 1260}, {830, 1400}, {900, 1560}, {960, RiverY(960)}})));
    roads.push_back(Road("Tannery Row", kLocal, Smooth({{2300, 1530}, {2450, 1510}, {2650, 1540}})));
    roads.push_back(
        Road("Brickyard Rd", kLocal,
             Smooth({{2650, 1420}, {2760, 1400}, {2860, 1460}, {2900, 1560}, {2890, RiverY(2890)}})));
    roads.push_back(Road("Meadow Ln", kLocal, {{1300, RiverY(1300)}, {1300, RingY(1300, false)}}));
    roads.push_back(Road("Lark St", kLocal, Smooth({{1300, 1850}, {1550, 1830}, {mx, 1860}})));
    roads.push_back(
        Road("Landing Way", kLocal, Smooth({{2200, RingY(2200, false)}, {2240, 2150}, {2200, 2300}})));
    roads.push_back(Road("Sandbar Ct", kLocal, Smooth({{2650, 2100}, {2520, 2130}, {2450, 2200}})));
    roads.push_back(Road("Foundry Way", kLocal,
                         Smooth({{3250, 1260}, {3270, 1380}, {3380, 1440}, {3490, 1380}, {3500, 1260}})));
    roads.push_back(Road("Depot St", kLocal, Smooth({{3380, 1260}, {3390, 1330}, {3380, 1440}})));
    roads.push_back(
        Road("Fox Run", kLocal, Smooth({{120, 1260}, {140, 1120}, {280, 1050}, {420, 1110}, {450, 1260}})));
    roads.push_back(Road("Vixen Ct", kLocal, Smooth({{280, 1260}, {270, 1190}, {290, 1140}})));
    roads.push_back(Road("Hilltop Rd", kLocal, Smooth({{mx, 110}, {2050, 60}, {2350, 90}, {2550, 50}})));
    roads.push_back(Road("Kiln Rd", kLocal, Smooth({{2050, 60}, {2080, 160}, {2150, 190}})));
    return town;
}

// ---- crossings and nodes ------------------------------------------------------------------------

bool Crosses(P a, P b, P c, P d, double& t, double& u) {
    const double rx = b.x - a.x, ry = b.y - a.y, sx = d.x - c.x, sy = d.y - c.y;
    const double den = rx * sy - ry * sx;
    if (std::abs(den) < 1e-9)
        return false; // parallel: no two roads of the town run on top of each other
    const double qx = c.x - a.x, qy = c.y - a.y;
    t = (qx * sy - qy * sx) / den;
    u = (qx * ry - qy * rx) / den;
    const double et = kCrossTolerance / std::hypot(rx, ry);
    const double eu = kCrossTolerance / std::hypot(sx, sy);
    if (t < -et || t > 1 + et || u < -eu || u > 1 + eu)
        return false;
    t = std::clamp(t, 0.0, 1.0);
    u = std::clamp(u, 0.0, 1.0);
    return true;
}

struct TSite {
    P at;
    std::vector<int> roads; // roads through or ending here
    NodeKind type = kIntersection;
    std::string name;
    std::int32_t exit = 0;
    TNode* node = nullptr;
};

struct TEdge {
    int a = 0, b = 0;
    std::vector<P> shape;
    int road = 0;
    TLinkValues* link = nullptr;
};

struct TBuilt {
    std::vector<TSite> sites;
    std::vector<TEdge> edges;
};

int SiteAt(std::vector<TSite>& sites, P at, int road) {
    for (std::size_t i = 0; i < sites.size(); ++i) {
        if (Dist(sites[i].at, at) < kSnap) {
            if (road >= 0 &&
                std::find(sites[i].roads.begin(), sites[i].roads.end(), road) == sites[i].roads.end())
                sites[i].roads.push_back(road);
            return static_cast<int>(i);
        }
    }
    TSite s;
    s.at = {RoundHalfEven(at.x), RoundHalfEven(at.y)};
    if (road >= 0)
        s.roads.push_back(road);
    sites.push_back(std::move(s));
    return static_cast<int>(sites.size() - 1);
}

// Splits the roads at their crossings into node-to-node pieces.
TBuilt SplitRoads(const TTown& town) {
    const auto& roads = town.roads;
    struct TCut {
        std::size_t seg;
        double t;
        P at;
    };
    std::vector<std::vector<TCut>> cuts(roads.size());
    for (std::size_t i = 0; i < roads.size(); ++i) {
        for (std::size_t j = i + 1; j < roads.size(); ++j) {
            if (roads[i].bridged || roads[j].bridged)
                continue;
            const auto& a = roads[i].pts;
            const auto& b = roads[j].pts;
            for (std::size_t s = 0; s + 1 < a.size(); ++s) {
                for (std::size_t k = 0; k + 1 < b.size(); ++k) {
                    double t = 0, u = 0;
                    if (!Crosses(a[s], a[s + 1], b[k], b[k + 1], t, u))
                        continue;
                    const P at{a[s].x + t * (a[s + 1].x - a[s].x), a[s].y + t * (a[s + 1].y - a[s].y)};
                    cuts[i].push_back({s, t, at});
                    cuts[j].push_back({k, u, at});
                }
            }
        }
    }

    TBuilt built;
    for (const auto& n : town.named) {
        const int s = SiteAt(built.sites, n.at, -1);
        built.sites[static_cast<std::size_t>(s)].name = n.name;
        built.sites[static_cast<std::size_t>(s)].type = n.type;
        built.sites[static_cast<std::size_t>(s)].exit = n.exit;
    }
    for (std::size_t r = 0; r < roads.size(); ++r) {
        const TRoad& road = roads[r];
        std::sort(cuts[r].begin(), cuts[r].end(),
                  [](const TCut& x, const TCut& y) { return x.seg != y.seg ? x.seg < y.seg : x.t < y.t; });
        // The road's vertices in order: site index, or -1 for a bend.
        struct TVertex {
            P at;
            int site;
        };
        std::vector<TVertex> vs;
        std::size_t c = 0;
        for (std::size_t s = 0; s < road.pts.size(); ++s) {
            vs.push_back(
                {road.pts[s], road.node[s] ? SiteAt(built.sites, road.pts[s], static_cast<int>(r)) : -1});
            for (; c < cuts[r].size() && cuts[r][c].seg == s; ++c)
                vs.push_back({cuts[r][c].at, SiteAt(built.sites, cuts[r][c].at, static_cast<int>(r))});
        }
        int from = -1;
        std::vector<P> bends;
        for (const TVertex& v : vs) {
            if (v.site < 0) {
                bends.push_back(v.at);
                continue;
            }
            if (from >= 0 && v.site != from) {
                TEdge e;
                e.a = from;
                e.b = v.site;
                e.road = static_cast<int>(r);
                // Bends too close to an end or to each other add nothing to the drawing.
                const P pa = built.sites[static_cast<std::size_t>(from)].at;
                const P pb = built.sites[static_cast<std::size_t>(v.site)].at;
                for (const P& p : bends) {
                    if (Dist(p, pa) < 8 || Dist(p, pb) < 8 ||
                        (!e.shape.empty() && Dist(p, e.shape.back()) < 8))
                        continue;
                    e.shape.push_back({RoundHalfEven(p.x), RoundHalfEven(p.y)});
                }
                const bool taken = std::any_of(built.edges.begin(), built.edges.end(), [&](const TEdge& o) {
                    return (o.a == e.a && o.b == e.b) || (o.a == e.b && o.b == e.a);
                });
                if (!taken)
                    built.edges.push_back(std::move(e));
            }
            if (from < 0 || v.site != from)
                bends.clear();
            from = v.site;
        }
    }
    return built;
}

int Rank(LinkKind t) {
    switch (t) {
    case kFreeway:
        return 0;
    case kArterial:
        return 1;
    case kCollector:
        return 2;
    case kOneWay:
        return 3;
    case kRamp:
        return 4;
    default:
        return 5;
    }
}

// Types and names of the nodes, from the roads that meet there.
void ClassifySites(TBuilt& built, const TTown& town) {
    std::int32_t station = 100;
    for (TSite& s : built.sites) {
        std::vector<int> roads = s.roads;
        std::stable_sort(roads.begin(), roads.end(), [&](int a, int b) {
            return Rank(town.roads[static_cast<std::size_t>(a)].type) <
                   Rank(town.roads[static_cast<std::size_t>(b)].type);
        });
        std::vector<std::string> names;
        int major = 0;
        int arterial = 0;
        for (int r : roads) {
            const TRoad& road = town.roads[static_cast<std::size_t>(r)];
            if (std::find(names.begin(), names.end(), road.name) == names.end())
                names.push_back(road.name);
            if (road.type == kArterial || road.type == kOneWay)
                ++arterial;
            if (road.type != kLocal)
                ++major;
        }
        const bool edge = s.at.x <= 0 || s.at.x >= kWidth || s.at.y <= 0 || s.at.y >= kHeight;
        if (edge && !names.empty()) {
            s.type = kExternal;
            s.exit = ++station;
            const char* side = s.at.x <= 0        ? " West"
                               : s.at.x >= kWidth ? " East"
                               : s.at.y <= 0      ? " North"
                                                  : " South";
            s.name = names.front() + side;
            continue;
        }
        if (!s.name.empty())
            continue; // named with its type already
        if (names.size() >= 2) {
            s.name = names[0] + " & " + names[1];
        } else if (names.size() == 1) {
            s.name = names[0] + " End";
        }
        s.type = (major >= 2 && arterial >= 1) ? kSignal : kIntersection;
    }
}

// ---- zones --------------------------------------------------------------------------------------

struct TZoneInfo {
    const char* name;
    P anchor;          // roughly where the zone lies
    int style;         // polygon style
    const char* use;   // land use code
    double popDensity; // people per square mile
    double empDensity; // jobs per square mile
};
// Polygon styles 1..6.
enum : int {
    kDowntownStyle = 1,
    kHomesStyle = 2,
    kIndustryStyle = 3,
    kParkStyle = 4,
    kCampusStyle = 5,
    kMixedStyle = 6
};
constexpr TZoneInfo kZones[] = {
    {"Heron Park", {820, 1000}, kHomesStyle, "RES", 6200, 450},
    {"Summit Heights", {1400, 800}, kHomesStyle, "RES", 5400, 380},
    {"Lookout Hill", {2200, 790}, kCampusStyle, "INST", 2100, 5200},
    {"Orchard Hill", {2850, 1050}, kHomesStyle, "RES", 5800, 500},
    {"Old Town", {1450, 1100}, kDowntownStyle, "CBD", 3500, 21000},
    {"Courthouse Square", {2200, 1100}, kDowntownStyle, "CBD", 3100, 18500},
    {"Willow Bend", {820, 1450}, kHomesStyle, "RES", 6500, 420},
    {"Old Town South", {1400, 1450}, kMixedStyle, "MIX", 7400, 9800},
    {"Tannery District", {2250, 1450}, kMixedStyle, "MIX", 4100, 6600},
    {"Brickyard", {2800, 1450}, kIndustryStyle, "IND", 300, 6400},
    {"Meadowbrook", {1400, 1850}, kHomesStyle, "RES", 5200, 350},
    {"Riverside Park", {2100, 1850}, kParkStyle, "PARK", 600, 250},
    {"Ferry Landing", {2250, 2150}, kHomesStyle, "RES", 4800, 900},
};

double SignedArea(const std::vector<P>& ring) {
    double a = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const P& p = ring[i];
        const P& q = ring[(i + 1) % ring.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}
P AreaCentroid(const std::vector<P>& ring) {
    double cx = 0, cy = 0;
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const P& p = ring[i];
        const P& q = ring[(i + 1) % ring.size()];
        const double w = p.x * q.y - q.x * p.y;
        cx += (p.x + q.x) * w;
        cy += (p.y + q.y) * w;
    }
    const double a6 = 6 * SignedArea(ring);
    return {cx / a6, cy / a6};
}
bool Inside(const std::vector<P>& ring, P p) {
    if (ring.size() < 3)
        return false;
    bool in = false;
    for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const P& a = ring[i];
        const P& b = ring[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}
double SegmentDistance(P p, P a, P b) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0.0;
    return Dist(p, {a.x + t * dx, a.y + t * dy});
}

// One side of an edge, walked from `from` to the other end.
struct THalf {
    int edge;
    bool forward;
};

std::vector<P> HalfLine(const TBuilt& b, THalf h) {
    const TEdge& e = b.edges[static_cast<std::size_t>(h.edge)];
    std::vector<P> pts{b.sites[static_cast<std::size_t>(e.a)].at};
    pts.insert(pts.end(), e.shape.begin(), e.shape.end());
    pts.push_back(b.sites[static_cast<std::size_t>(e.b)].at);
    if (!h.forward)
        std::reverse(pts.begin(), pts.end());
    return pts;
}

struct TFace {
    std::vector<THalf> halves;
    std::vector<P> ring;
};

// The faces enclosed by the zone-bounding roads, the outer ones left out.
std::vector<TFace> ZoneFaces(const TBuilt& b, const TTown& town) {
    std::vector<bool> use(b.edges.size());
    for (std::size_t i = 0; i < b.edges.size(); ++i)
        use[i] = town.roads[static_cast<std::size_t>(b.edges[i].road)].boundary;
    // Dead ends bound nothing.
    for (bool changed = true; changed;) {
        changed = false;
        std::vector<int> degree(b.sites.size());
        for (std::size_t i = 0; i < b.edges.size(); ++i) {
            if (use[i]) {
                ++degree[static_cast<std::size_t>(b.edges[i].a)];
                ++degree[static_cast<std::size_t>(b.edges[i].b)];
            }
        }
        for (std::size_t i = 0; i < b.edges.size(); ++i) {
            if (use[i] && (degree[static_cast<std::size_t>(b.edges[i].a)] < 2 ||
                           degree[static_cast<std::size_t>(b.edges[i].b)] < 2)) {
                use[i] = false;
                changed = true;
            }
        }
    }
    // The halves leaving each site, in angle order.
    std::vector<std::vector<THalf>> out(b.sites.size());
    auto angle = [&](THalf h) {
        const std::vector<P> pts = HalfLine(b, h);
        return std::atan2(pts[1].y - pts[0].y, pts[1].x - pts[0].x);
    };
    auto from = [&](THalf h) {
        const TEdge& e = b.edges[static_cast<std::size_t>(h.edge)];
        return h.forward ? e.a : e.b;
    };
    for (std::size_t i = 0; i < b.edges.size(); ++i) {
        if (!use[i])
            continue;
        for (bool f : {true, false}) {
            const THalf h{static_cast<int>(i), f};
            out[static_cast<std::size_t>(from(h))].push_back(h);
        }
    }
    for (auto& list : out)
        std::sort(list.begin(), list.end(), [&](THalf x, THalf y) { return angle(x) < angle(y); });

    std::vector<std::array<bool, 2>> seen(b.edges.size(), {false, false});
    std::vector<TFace> faces;
    for (std::size_t i = 0; i < b.edges.size(); ++i) {
        for (bool f : {true, false}) {
            if (!use[i] || seen[i][f ? 0 : 1])
                continue;
            TFace face;
            THalf h{static_cast<int>(i), f};
            while (!seen[static_cast<std::size_t>(h.edge)][h.forward ? 0 : 1]) {
                seen[static_cast<std::size_t>(h.edge)][h.forward ? 0 : 1] = true;
                face.halves.push_back(h);
                const std::vector<P> pts = HalfLine(b, h);
                face.ring.insert(face.ring.end(), pts.begin(), pts.end() - 1);
                // At the far end, turn onto the next half in angle order after the way back.
                const THalf back{h.edge, !h.forward};
                const auto& list = out[static_cast<std::size_t>(from(back))];
                std::size_t k = 0;
                while (list[k].edge != back.edge || list[k].forward != back.forward)
                    ++k;
                h = list[(k + 1) % list.size()];
            }
            faces.push_back(std::move(face));
        }
    }
    // Outer faces run the other way round from the largest face.
    const auto largest = std::max_element(faces.begin(), faces.end(), [](const TFace& x, const TFace& y) {
        return std::abs(SignedArea(x.ring)) < std::abs(SignedArea(y.ring));
    });
    const bool outerSign = SignedArea(largest->ring) > 0;
    std::erase_if(faces, [&](const TFace& f) { return (SignedArea(f.ring) > 0) == outerSign; });
    return faces;
}

// ---- the network --------------------------------------------------------------------------------

void SetLinkValues(TNetwork& net, TLinkValues& link, const TLinkTypeStyle& style, const std::string& name,
                   std::int32_t lanes, double speed) {
    const TEntityType& type = net.LinkDef.TypeOf(link.LType);
    link.AttString[type.Attribute(kLinkName)->stringloc] = CutText(name, kMaxNameLength);
    link.LValue[kLanes - 1] = lanes;
    link.LValue[kSpeed - 1] = speed;
    link.LValue[kCapacity - 1] = style.laneHourly >= 9999 ? 9999 : lanes * style.laneHourly;
    link.LValue[kFunClass - 1] = TextToCode(style.funclass);
    link.LValue[kLength - 1] = RoundHalfEven(link.PathLength(nullptr, kUnitsPerMile) * 100) / 100;
}

TNode* MakeNode(TNetwork& net, P at, NodeKind type, std::uint8_t layer) {
    net.InitialNode.NType = type;
    net.InitialNode.Layer = layer;
    THashEntry* cell = nullptr;
    return net.Hash.InsertNode(RealToInt32(at.x), RealToInt32(at.y), 0, true, cell);
}

TLinkValues* MakeLink(TNetwork& net, TNode& a, TNode& b, LinkKind type, const std::vector<P>& shape,
                      std::int32_t& serial) {
    TLink* existing = nullptr;
    if (&a == &b || a.LinkList.FindLink(&b, existing))
        return nullptr;
    net.InitialLink.LType = type;
    TLink* l1 = nullptr;
    TLink* l2 = nullptr;
    TLinkValues* link = net.Hash.InsertLink(a, b, l1, l2, 0, true);
    link->serial = ++serial;
    std::int32_t position = 0;
    for (const P& p : shape) {
        if (net.Hash.InsertShapePoint(RealToInt32(p.x), RealToInt32(p.y), *link, position) != nullptr)
            ++position;
    }
    return link;
}

double RoundTo(double v, double unit) {
    return RoundHalfEven(v / unit) * unit;
}

bool Build(TNetwork& net, TWindowSettings& window) {
    DefineSchemas(net);
    const TTown town = LayOutTown();
    TBuilt built = SplitRoads(town);
    ClassifySites(built, town);

    // Road nodes.
    for (TSite& s : built.sites) {
        s.node = MakeNode(net, s.at, s.type, 1);
        if (s.node == nullptr)
            return false;
        s.node->alabel = CutText(s.name, kMaxNameLength);
    }
    // Road links.
    std::int32_t serial = 0;
    for (TEdge& e : built.edges) {
        const TRoad& road = town.roads[static_cast<std::size_t>(e.road)];
        const TLinkTypeStyle& style = kLinkTypes[road.type - 1];
        e.link = MakeLink(net, *built.sites[static_cast<std::size_t>(e.a)].node,
                          *built.sites[static_cast<std::size_t>(e.b)].node, road.type, e.shape, serial);
        if (e.link == nullptr)
            return false;
        e.link->alabel = CutText(road.name, kMaxNameLength);
        SetLinkValues(net, *e.link, style, road.name, road.lanes > 0 ? road.lanes : style.lanes,
                      road.speed > 0 ? road.speed : style.speed);
        // The shape points as made (the polygons below use them).
        e.shape.clear();
        for (const TShapePoint* sp : e.link->ShapePoints)
            e.shape.push_back({static_cast<double>(sp->x_cent), static_cast<double>(sp->y_cent)});
    }

    // Zones: the faces of the main roads, each matched with the zone whose anchor it holds.
    std::vector<TFace> faces = ZoneFaces(built, town);
    std::vector<std::pair<P, P>> segments; // every link segment, for placing centroids clear of roads
    for (const TEdge& e : built.edges) {
        const std::vector<P> pts = HalfLine(built, {static_cast<int>(&e - built.edges.data()), true});
        for (std::size_t i = 0; i + 1 < pts.size(); ++i)
            segments.emplace_back(pts[i], pts[i + 1]);
    }
    double totalPopulation = 0;
    std::int32_t zoneNumber = 0;
    for (const TZoneInfo& zone : kZones) {
        const auto face = std::find_if(faces.begin(), faces.end(),
                                       [&](const TFace& f) { return Inside(f.ring, zone.anchor); });
        if (face == faces.end() || face->halves.empty()) {
            std::fprintf(stderr, "zan_makesample: no block holds zone %s\n", zone.name);
            return false;
        }
        // The centroid: near the middle of the block, clear of its streets.
        const P middle = AreaCentroid(face->ring);
        double left = kWidth, top = kHeight, right = 0, bottom = 0;
        for (const P& p : face->ring) {
            left = std::min(left, p.x);
            right = std::max(right, p.x);
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
        P best = middle;
        double bestScore = -std::numeric_limits<double>::infinity();
        for (double y = top; y <= bottom; y += 10) {
            for (double x = left; x <= right; x += 10) {
                const P p{std::round(x), std::round(y)};
                if (!Inside(face->ring, p))
                    continue;
                double clear = 1e9;
                for (const auto& [a, b] : segments)
                    clear = std::min(clear, SegmentDistance(p, a, b));
                const double score = std::min(clear, 70.0) - 0.08 * Dist(p, middle);
                if (score > bestScore) {
                    bestScore = score;
                    best = p;
                }
            }
        }
        TNode* owner = MakeNode(net, best, kCentroid, 2);
        if (owner == nullptr)
            return false;
        owner->alabel = zone.name;
        owner->PolygonStyle = static_cast<std::uint8_t>(zone.style);
        for (const THalf& h : face->halves) {
            const TEdge& e = built.edges[static_cast<std::size_t>(h.edge)];
            std::vector<TNetworkPoint*> pts{
                built.sites[static_cast<std::size_t>(h.forward ? e.a : e.b)].node};
            std::vector<TNetworkPoint*> bends(e.link->ShapePoints.begin(), e.link->ShapePoints.end());
            if (!h.forward)
                std::reverse(bends.begin(), bends.end());
            pts.insert(pts.end(), bends.begin(), bends.end());
            for (TNetworkPoint* v : pts) {
                owner->MyPolygonList.Add(v);
                v->YourPolygonList.Add(owner);
            }
        }
        owner->UpdateRectangle(net.Hash);
        const double area = owner->MyPolygonList.Area(kUnitsPerMile);
        const double pop = RoundTo(zone.popDensity * area, 10);
        owner->NValue[0] = ++zoneNumber;
        owner->NValue[1] = pop;
        owner->NValue[2] = RoundHalfEven(pop / 2.4);
        owner->NValue[3] = RoundTo(zone.empDensity * area, 10);
        owner->NValue[4] = RoundHalfEven(area * 1000) / 1000;
        owner->NValue[5] = TextToCode(zone.use);
        totalPopulation += pop;

        // Connectors to up to three nearby intersections in the block, spread around the centroid.
        std::vector<const TSite*> candidates;
        for (const TSite& s : built.sites) {
            if (s.type != kIntersection && s.type != kSignal)
                continue;
            bool onRing = false;
            for (const THalf& h : face->halves) {
                const TEdge& e = built.edges[static_cast<std::size_t>(h.edge)];
                onRing = onRing || &built.sites[static_cast<std::size_t>(e.a)] == &s ||
                         &built.sites[static_cast<std::size_t>(e.b)] == &s;
            }
            if (onRing || Inside(face->ring, s.at))
                candidates.push_back(&s);
        }
        std::sort(candidates.begin(), candidates.end(),
                  [&](const TSite* x, const TSite* y) { return Dist(x->at, best) < Dist(y->at, best); });
        std::vector<double> directions;
        for (const TSite* s : candidates) {
            if (directions.size() == 3)
                break;
            const double dir = std::atan2(s->at.y - best.y, s->at.x - best.x);
            const bool apart = std::all_of(directions.begin(), directions.end(), [&](double d) {
                const double diff = std::abs(std::remainder(dir - d, 2 * kPi));
                return diff > kPi / 2.5;
            });
            if (!apart)
                continue;
            TLinkValues* link = MakeLink(net, *owner, *s->node, kConnector, {}, serial);
            if (link == nullptr)
                continue;
            link->alabel = CutText(std::string(zone.name) + " Connector", kMaxNameLength);
            const TLinkTypeStyle& style = kLinkTypes[kConnector - 1];
            SetLinkValues(net, *link, style, "Zone connector", style.lanes, style.speed);
            directions.push_back(dir);
        }
        if (directions.empty()) {
            std::fprintf(stderr, "zan_makesample: zone %s has no connector\n", zone.name);
            return false;
        }
        // Each block is one zone.
        face->halves.clear();
        face->ring.clear();
    }

    // Node values that depend on the finished network.
    for (const TSite& s : built.sites) {
        TNode& n = *s.node;
        const std::int32_t legs = DrawnLinkCount(n);
        switch (s.type) {
        case kIntersection:
            n.NValue[0] = TextToCode(legs <= 1 ? "NONE" : legs >= 4 ? "STOP" : "YIELD");
            n.NValue[1] = legs;
            break;
        case kSignal:
            n.NValue[0] = TextToCode("SIGNAL");
            n.NValue[1] = legs;
            n.NValue[2] = legs >= 4 ? 90 : 60;
            break;
        case kInterchange:
            n.NValue[0] = s.exit;
            n.NValue[1] = legs;
            break;
        case kExternal: {
            const TRoad& road = town.roads[static_cast<std::size_t>(s.roads.front())];
            n.NValue[0] = s.exit;
            n.NValue[1] = road.type == kFreeway ? 38500 : road.type == kArterial ? 14200 : 4600;
            break;
        }
        case kCentroid:
            break;
        }
    }

    FitStrings(net.SystemStrings, net.SystemDef.StringCount(1));
    net.SystemStrings[0] = "Kestrel Falls";
    net.SystemValues[1] = 2024;
    net.SystemValues[2] = totalPopulation;

    // New elements drawn by the user start as local streets and plain intersections.
    net.InitialNode.NType = kIntersection;
    net.InitialNode.Layer = 1;
    net.InitialLink.LType = kLocal;
    net.InitialLink.serial = 0;
    net.Hash.fixrectangles(window);
    return true;
}

constexpr std::int32_t Rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

void SetWindow(TWindowSettings& window) {
    window.NetworkScale = kUnitsPerMile;
    window.Geo.ScaleUnits = 1;
    window.Geo.ScaleString = "Miles";
    window.NodeExtent = 5;
    window.wd.SuppressShapes = true;

    // Layer 1 holds the roads; layer 2 the zones, shown from 1:4 on.
    window.layernames[1] = "Roads";
    window.layernames[2] = "Zones";
    window.selectedlayers[2] = 9;

    // Zone fills by land use; style 0 (and the unused 7..40) an outline only.
    auto& styles = window.Display.polygonstyles;
    styles[0] = {Rgb(96, 96, 96), 0, 1, Rgb(255, 255, 255), 1};
    for (int i = 7; i < kUserPolygonStyles; ++i)
        styles[static_cast<std::size_t>(i)] = styles[0];
    styles[kDowntownStyle] = {Rgb(170, 120, 100), 0, 1, Rgb(250, 214, 200), 0};
    styles[kHomesStyle] = {Rgb(190, 170, 110), 0, 1, Rgb(255, 245, 205), 0};
    styles[kIndustryStyle] = {Rgb(120, 120, 120), 0, 1, Rgb(165, 165, 165), 5};
    styles[kParkStyle] = {Rgb(90, 150, 80), 1, 1, Rgb(205, 235, 190), 0};
    styles[kCampusStyle] = {Rgb(100, 130, 170), 0, 1, Rgb(210, 226, 245), 0};
    styles[kMixedStyle] = {Rgb(150, 120, 170), 0, 1, Rgb(232, 218, 242), 0};
    window.Display.entitypolygonstyles[kCentroid] = kHomesStyle;

    // Zone centroids show their names; every type is listed in the legends.
    window.Labels.labelnodes[kCentroid] = {101, 0};
    window.Labels.NodeLabelsThere[kCentroid] = true;
    for (int t = 1; t <= 5; ++t)
        window.wd.nodeentitylegend[static_cast<std::size_t>(t)] = true;
    for (int t = 1; t <= 7; ++t)
        window.wd.linkentitylegend[static_cast<std::size_t>(t)] = true;
    window.wd.anodelegend = {40, 2000, 0, true};
    window.wd.alinklegend = {3150, 2000, 0, true};
    window.Display.plotlabel = "Kestrel Falls street network";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zan_makesample OUTPUT.dta\n");
        return 2;
    }
    TNetwork net;
    TWindowSettings window;
    SetWindow(window);
    if (!Build(net, window)) {
        std::fprintf(stderr, "zan_makesample: the town could not be built\n");
        return 1;
    }
    const TWriteReport report = SaveNetworkFile(argv[1], net, window, kCurrentVersion);
    if (report.code != kFileOK || report.realErrors != 0) {
        std::fprintf(stderr, "zan_makesample: cannot write %s (code %d)\n", argv[1], report.code);
        return 1;
    }
    std::int64_t shapes = 0, polygons = 0;
    net.Hash.ForEachPoint([&](const TNetworkPoint& p) {
        if (p.IsShapePoint())
            ++shapes;
        else if (!p.AsNode()->MyPolygonList.IsEmpty())
            ++polygons;
    });
    std::printf("%s: %d nodes, %d links, %lld shape points, %lld polygons\n", argv[1], net.NumberOfNodes,
                net.NumberOfLinks, static_cast<long long>(shapes), static_cast<long long>(polygons));
    return 0;
}
