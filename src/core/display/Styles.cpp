#include "display/Styles.h"

#include <cmath>

#include "calc/NumberText.h"
#include "model/NetworkElements.h"

namespace zan {

TColorTable StandardColors(TColor24 background) {
    const TColor24 black = RGB24(0, 0, 0);
    return {background,
            black,
            RGB24(0, 0, 255),
            RGB24(0, 255, 0),
            RGB24(255, 0, 0),
            RGB24(0, 0, 127),
            RGB24(0, 127, 0),
            RGB24(127, 0, 0),
            RGB24(127, 0, 127),
            RGB24(127, 127, 127),
            RGB24(255, 0, 255),
            black,
            black,
            black,
            black,
            black,
            black,
            RGB24(0, 127, 127),
            RGB24(127, 127, 0),
            RGB24(191, 191, 191),
            RGB24(255, 255, 0),
            RGB24(0, 255, 255),
            RGB24(0, 255, 255),
            RGB24(0, 0, 127),
            RGB24(255, 255, 255),
            RGB24(255, 0, 0)};
}

int CheckedColorIndex(std::int64_t index) {
    if (index < 0)
        return 0;
    if (index >= kColorIndices)
        return 1;
    return static_cast<int>(index);
}

TColor24 ResolveColor(const TWindowSettings& window, const TColorTable& standard, std::int64_t index) {
    const auto i = static_cast<std::size_t>(CheckedColorIndex(index));
    return window.wd.UsePolygonColors ? window.Display.customcolors[i] : standard[i];
}

TColor24 PieColor(std::int64_t index) {
    static constexpr std::array<TColor24, 16> kPieColors{
        RGB24(0, 0, 0),       RGB24(128, 0, 0),   RGB24(0, 128, 0),   RGB24(128, 128, 0),
        RGB24(0, 0, 128),     RGB24(128, 0, 128), RGB24(0, 128, 128), RGB24(128, 128, 128),
        RGB24(192, 192, 192), RGB24(255, 0, 0),   RGB24(0, 255, 0),   RGB24(255, 255, 0),
        RGB24(0, 0, 255),     RGB24(255, 0, 255), RGB24(0, 255, 255), RGB24(255, 255, 255)};
    if (index < 0 || index >= static_cast<std::int64_t>(kPieColors.size()))
        index = 0;
    return kPieColors[static_cast<std::size_t>(index)];
}

TColor24 SliceColor(const TWindowSettings& window, int slice) {
    if (slice < 1 || slice > 10)
        return PieColor(0);
    return PieColor(window.Display.PieColorList[static_cast<std::size_t>(slice)]);
}

bool LayerVisible(const TWindowSettings& window, int layer) {
    return window.LayerShown(layer);
}

int CheckedPolygonStyle(std::int64_t style) {
    if (style < 0)
        return -1;
    return static_cast<int>(std::min<std::int64_t>(style, kUserPolygonStyles - 1));
}

int PolygonStyleIndex(const TNode& owner, const TWindowSettings& window, int traverseStyle) {
    if (owner.IsActivePolygonOwner)
        return kUserPolygonStyles; // the highlight style 41
    if (owner.PolygonStyle != 0)
        return CheckedPolygonStyle(owner.PolygonStyle);
    if (window.wd.nodewidthstatus == TWidthStatus::traverse)
        return CheckedPolygonStyle(traverseStyle);
    const int type = owner.NType <= kLastEntityType ? owner.NType : 0;
    return CheckedPolygonStyle(window.Display.entitypolygonstyles[static_cast<std::size_t>(type)]);
}

namespace {

struct TScheme {
    std::string_view name;
    int kind; // 0 the standard colours, 2 two-colour, 3 three-colour
    TColor24 start, middle, end;
};

constexpr TColor24 kLime = RGB24(0, 255, 0);
constexpr TColor24 kRed = RGB24(255, 0, 0);
constexpr TColor24 kBlue = RGB24(0, 0, 255);
constexpr TColor24 kYellow = RGB24(255, 255, 0);
constexpr TColor24 kBlack = RGB24(0, 0, 0);
constexpr TColor24 kMagenta = RGB24(255, 0, 255);

constexpr std::array<TScheme, kColorSchemes> kSchemes{{
    {"Default", 0, 0, 0, 0},
    {"Grays", 2, kWhite, 0, kBlack},
    {"Reds", 2, kWhite, 0, kRed},
    {"Greens", 2, kWhite, 0, kLime},
    {"Blues", 2, kWhite, 0, kBlue},
    {"Maroons", 2, kWhite, 0, RGB24(128, 0, 0)},
    {"Fuchsias", 2, kWhite, 0, kMagenta},
    {"Teals", 2, kWhite, 0, RGB24(0, 128, 128)},
    {"Olives", 2, kWhite, 0, RGB24(128, 128, 0)},
    {"Navys", 2, kWhite, 0, RGB24(0, 0, 128)},
    {"Purples", 2, kWhite, 0, RGB24(128, 0, 128)},
    {"Dark Greens", 2, kWhite, 0, RGB24(0, 128, 0)},
    {"Green to Red", 2, kLime, 0, kRed},
    {"Green to Blue", 2, kLime, 0, kBlue},
    {"Blue to Red", 2, kBlue, 0, kRed},
    {"Red to Yellow", 2, kRed, 0, kYellow},
    {"Yellow to Green", 2, kYellow, 0, kLime},
    {"Yellow to Blue", 2, kYellow, 0, kBlue},
    {"Traffic Lights", 3, kLime, kYellow, kRed},
    {"Yellow/Green/Blue", 3, kYellow, kLime, kBlue},
    {"White/Red/Black", 3, kWhite, kRed, kBlack},
    {"White/Blue/Black", 3, kWhite, kBlue, kBlack},
    {"White/Green/Black", 3, kWhite, kLime, kBlack},
    {"White/Yellow/Black", 3, kWhite, kYellow, kBlack},
    {"White/Fuchsia/Black", 3, kWhite, kMagenta, kBlack},
}};

// start + round(t * (end - start)) channel by channel, halves to even.
TColor24 Interpolate(TColor24 from, TColor24 to, double t) {
    auto channel = [t](int a, int b) { return a + static_cast<int>(RoundHalfEven(t * (b - a))); };
    return RGB24(channel(RedOf(from), RedOf(to)), channel(GreenOf(from), GreenOf(to)),
                 channel(BlueOf(from), BlueOf(to)));
}

} // namespace

std::string_view ColorSchemeName(int scheme) {
    if (scheme < 0 || scheme >= kColorSchemes)
        return {};
    return kSchemes[static_cast<std::size_t>(scheme)].name;
}

std::array<TColor24, 17> ColorSchemeSwatches(int scheme) {
    std::array<TColor24, 17> swatches{};
    if (scheme < 0 || scheme >= kColorSchemes)
        scheme = 0;
    const TScheme& s = kSchemes[static_cast<std::size_t>(scheme)];
    const TColorTable standard = StandardColors();
    for (int i = 1; i <= 16; ++i) {
        TColor24& c = swatches[static_cast<std::size_t>(i)];
        if (s.kind == 0)
            c = standard[static_cast<std::size_t>(i)];
        else if (s.kind == 2)
            c = Interpolate(s.start, s.end, (i - 1) / 15.0);
        else if (i <= 8)
            c = Interpolate(s.start, s.middle, (i - 1) / 7.0);
        else
            c = Interpolate(s.middle, s.end, (i - 8) / 8.0);
    }
    return swatches;
}

int StandardSizeShown(int nodeExtent) {
    if (nodeExtent <= 2)
        return 2;
    if (nodeExtent <= 5)
        return nodeExtent;
    if (nodeExtent <= 7)
        return 7;
    return 10;
}

int PieSizeToCode(int size) {
    return size <= 10 ? size : size + 10;
}

int CodeToPieSize(int code) {
    return code <= 10 ? code : code - 10;
}

} // namespace zan
