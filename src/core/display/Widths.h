// Link widths and node sizes from attribute values: each entity type's width expression text holds
// up to ten expressions; each value falls into one of forty intervals, whose values give a width,
// an arrow size, a node size, a colour index or a polygon style, as the class's width status says.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "calc/ElementRecord.h"
#include "calc/Expression.h"
#include "display/BitmapCatalog.h"
#include "model/WindowSettings.h"

namespace zan {

class TNetwork;
class TNode;
struct TLinkValues;

// Values of the expressions of a width text: entry j is the value of expression j + 1 (entry 10
// stays 0). Under node status widthh, entries 1..9 (expressions 2..10) are also the pie slices.
using TSliceValues = std::array<double, 11>;

// Splits a width expression text at its top-level ":" separators (not inside '...' or {...}). The
// separator is searched within the first 50 characters of the remaining text (a ":" that comes later
// is part of the expression); after each separator the remaining text is cut to 100 characters. At
// most ten expressions; an empty text gives none.
std::vector<std::string> SplitWidthExpressions(std::string_view text);

// The first interval k (1..40) with bottom[k] <= value <= top[k], or 0 when none holds it.
int IntervalOf(double value, const std::array<double, kWidthIntervals + 1>& bottom,
               const std::array<double, kWidthIntervals + 1>& top);

// What linkshape gives a link: its line code (width), colour index and second width.
struct TLinkShape {
    std::int32_t code = 1;
    std::int32_t color = 1;
    std::int32_t secondwidth = 0;
};

// What nodeshape gives a node: its size, colour index, polygon style and slice values.
struct TNodeShape {
    std::int32_t size = 1;
    std::int32_t color = 1;
    std::int32_t polygonstyle = 0;
    TSliceValues slices{};
};

// What finalnodeshape gives a node: the code, colour and slice values the renderer draws with.
struct TFinalNodeShape {
    std::int32_t code = 1;
    std::int32_t color = 1;
    TSliceValues slices{};
};

// Evaluates the width settings of one window for many elements: the expression texts are translated
// once per entity type when it is made, so make one per redraw (or after the settings or the schema
// change). The network and the settings must outlive it. One evaluator serves one thread: the
// element's inputs are loaded into a record it keeps.
class TWidthEvaluator {
public:
    TWidthEvaluator(const TNetwork& net, const TWindowSettings& window);

    TLinkShape linkshape(const TLinkValues& link) const;
    TNodeShape nodeshape(const TNode& node) const;
    TFinalNodeShape finalnodeshape(const TNode& node) const;

private:
    struct TTypeExpressions {
        std::vector<TExpression> parts; // up to ten
        std::vector<bool> blank;        // the part is empty or blanks only: absent
    };
    // The preshape step: evaluates every expression of the element's type; returns the number of
    // expressions, fills the values and the interval numbers of expressions 1..3 (0 = not found or
    // absent).
    int preshape(const TTypeExpressions& exprs, const TEvalContext& ctx,
                 const std::array<double, kWidthIntervals + 1>& bottom,
                 const std::array<double, kWidthIntervals + 1>& top, TSliceValues& values,
                 std::array<int, 4>& interval) const;

    // The entity-type fallbacks and polygon style of a node, before the status table applies.
    TNodeShape EntityNodeShape(const TNode& node) const;

    const TNetwork& net_;
    const TWindowSettings& window_;
    std::array<TTypeExpressions, kLastEntityType + 1> linkExprs_;
    std::array<TTypeExpressions, kLastEntityType + 1> nodeExprs_;
    mutable TElementRecord record_;
};

// Recomputes LinkWorstSize, NodeWorstSize, BigLinks and BigNodes from the width and style settings.
void ComputeWorstSizes(const TNetwork& net, TWindowSettings& window, const TBitmapCatalog& bitmaps);

// Clear Widths (also part of a new network): bounds 0, texts empty, statuses nonee, not-found
// actions on, legends reset, interval values 1..40; then the worst sizes.
void ClearWidths(const TNetwork& net, TWindowSettings& window, const TBitmapCatalog& bitmaps);

} // namespace zan
