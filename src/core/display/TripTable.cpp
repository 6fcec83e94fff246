#include "display/TripTable.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <unordered_map>

#include "calc/Expression.h"
#include "calc/NumberText.h"
#include "display/Widths.h"
#include "files/FileText.h"
#include "model/Network.h"

namespace zan {

namespace {

constexpr std::string_view kEndOfRows = "END OF ROWS";
constexpr std::string_view kEndOfColumns = "END OF COLUMNS";
constexpr std::string_view kEndOfTables = "END OF TABLES";
constexpr std::size_t kNameLength = 30;

constexpr const char* kUnknownName = "Unknown name in user trip table!";
constexpr const char* kUnexpectedEnd = "Unexpected end of user trip table!";
constexpr const char* kUnexpectedTables = "Unexpected END OF TABLES in user trip table!";
constexpr const char* kUnexpectedColumns = "Unexpected END OF COLUMNS in user trip table!";
constexpr const char* kUnexpectedRows = "Unexpected END OF ROWS in user trip table!";
constexpr const char* kZeroSize = "Zero rows or zero columns in a trip table!";
constexpr const char* kBadNumbers = "Unable to read numbers in user trip table!";
constexpr const char* kNoMemory = "Not enough memory for the trip table!";
constexpr const char* kCannotOpen = "Unable to open the trip table file.";

bool StartsWith(std::string_view line, std::string_view word) {
    return line.substr(0, word.size()) == word;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool IsBlank(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c == ' ' || c == '\t'; });
}

bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'E' || c == 'e';
}

// A load error: the message, the table number and where in the table.
struct TTripError {
    const char* message;
    std::string position; // "Row is 3", "Column is 2" or empty
};

// Finds nodes by the names of a trip table. Plain names go through an index of the drawn nodes built
// on first use (the first node in table order wins, as a search would find it); names with the
// wildcards of a name search go through the search itself.
class TNameLookup {
public:
    TNameLookup(const TNetwork& net, const TWindowSettings& window) : net_(net), window_(window) {}

    TNode* Find(std::string_view name) {
        name = TrimRight(name);
        if (name.empty())
            return nullptr; // a blank line is no name
        if (name.find('?') != std::string_view::npos || name.back() == '*')
            return net_.Hash.FindNodeByName(name, false, window_);
        if (!built_) {
            net_.Hash.ForEachNode([&](TNode& n) {
                if (n.IsDrawnN)
                    index_.emplace(std::string(TrimRight(n.alabel.view())), &n);
            });
            built_ = true;
        }
        const auto it = index_.find(std::string(name));
        return it == index_.end() ? nullptr : it->second;
    }

private:
    const TNetwork& net_;
    const TWindowSettings& window_;
    bool built_ = false;
    std::unordered_map<std::string, TNode*> index_;
};

class TTripTableParser {
public:
    TTripTableParser(std::string_view text, const TNetwork& net, const TWindowSettings& window)
        : text_(text), names_(net, window) {}

    // Reads every table; on failure `error` says why and `table` which table.
    bool Parse(std::vector<TDesireTable>& tables, TTripError& error) {
        while (true) {
            std::string_view line;
            bool more = NextLine(line);
            while (more && IsBlank(line))
                more = NextLine(line);
            if (!more || StartsWith(line, kEndOfTables)) {
                if (!tables.empty())
                    return true;
                table_ = 1;
                error = {more ? kZeroSize : kUnexpectedEnd, {}};
                return false;
            }
            ++table_;
            TDesireTable t;
            if (!ReadTable(line, t, error))
                return false;
            tables.push_back(std::move(t));
        }
    }

    int Table() const { return table_; }

private:
    bool NextLine(std::string_view& line) { return NextTextLine(text_, pos_, line); }

    // One list of names up to its end line; `first` is the list's first line when given.
    bool ReadNames(const std::string_view* first, bool origins, std::vector<TNode*>& nodes,
                   TTripError& error) {
        const std::string_view ending = origins ? kEndOfRows : kEndOfColumns;
        const std::string_view other = origins ? kEndOfColumns : kEndOfRows;
        std::string_view line;
        bool have = first != nullptr;
        if (have)
            line = *first;
        while (true) {
            if (!have && !NextLine(line)) {
                error = {kUnexpectedEnd, {}};
                return false;
            }
            have = false;
            if (StartsWith(line, ending))
                return true;
            if (StartsWith(line, kEndOfTables)) {
                error = {kUnexpectedTables, {}};
                return false;
            }
            if (StartsWith(line, other)) {
                error = {origins ? kUnexpectedColumns : kUnexpectedRows, {}};
                return false;
            }
            TNode* node = names_.Find(line.substr(0, kNameLength));
            if (node == nullptr) {
                error = {kUnknownName,
                         std::string(origins ? "Row is " : "Column is ") + std::to_string(nodes.size() + 1)};
                return false;
            }
            nodes.push_back(node);
        }
    }

    bool ReadTable(std::string_view firstLine, TDesireTable& t, TTripError& error) {
        if (!ReadNames(&firstLine, true, t.DesireOrigin, error) ||
            !ReadNames(nullptr, false, t.DesireDestination, error))
            return false;
        const std::int64_t rows = static_cast<std::int64_t>(t.DesireOrigin.size());
        const std::int64_t columns = static_cast<std::int64_t>(t.DesireDestination.size());
        if (rows == 0 || columns == 0) {
            error = {kZeroSize, {}};
            return false;
        }
        // Every number takes a character and a separator: a count the rest of the text cannot hold
        // is refused before anything is allocated.
        const std::int64_t cells = rows * columns;
        const auto remaining = static_cast<std::int64_t>(text_.size() - std::min(pos_, text_.size()));
        constexpr std::int64_t kMaxCount = std::numeric_limits<std::int32_t>::max();
        if (rows > kMaxCount || columns > kMaxCount || cells > (remaining + 1) / 2) {
            error = {kUnexpectedEnd, {}};
            return false;
        }
        t.DesireRows = static_cast<std::int32_t>(rows);
        t.DesireColumns = static_cast<std::int32_t>(columns);
        t.DesireLines.resize(static_cast<std::size_t>(cells));
        return ReadNumbers(t.DesireLines, error);
    }

    bool ReadNumbers(std::vector<float>& cells, TTripError& error) {
        std::size_t filled = 0;
        while (filled < cells.size()) {
            std::string_view line;
            if (!NextLine(line)) {
                error = {kUnexpectedEnd, {}};
                return false;
            }
            const char* keyword = StartsWith(line, kEndOfTables)    ? kUnexpectedTables
                                  : StartsWith(line, kEndOfColumns) ? kUnexpectedColumns
                                  : StartsWith(line, kEndOfRows)    ? kUnexpectedRows
                                                                    : nullptr;
            if (keyword != nullptr) {
                error = {keyword, {}};
                return false;
            }
            std::size_t i = 0;
            while (i < line.size() && filled < cells.size()) {
                if (!IsNumberChar(line[i])) {
                    ++i;
                    continue;
                }
                std::size_t end = i;
                while (end < line.size() && IsNumberChar(line[end]))
                    ++end;
                double v = 0;
                // Cells are single precision: a value beyond its range is refused as well.
                if (!ParseReal(line.substr(i, end - i), v) ||
                    std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) {
                    error = {kBadNumbers, {}};
                    return false;
                }
                cells[filled++] = static_cast<float>(v);
                i = end;
            }
        }
        return true;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int table_ = 0;
    TNameLookup names_;
};

std::int32_t Saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

TTripTableResult LoadDesireTablesFromText(std::string_view text, const TNetwork& net,
                                          TWindowSettings& window) {
    std::vector<TDesireTable> tables;
    TTripTableParser parser(text, net, window);
    TTripError error{nullptr, {}};
    bool ok = false;
    try {
        ok = parser.Parse(tables, error);
    } catch (const std::bad_alloc&) {
        error = {kNoMemory, {}};
    }
    if (!ok) {
        window.DesireTables.clear();
        std::string status = std::string(error.message) + " Table " + std::to_string(parser.Table());
        if (!error.position.empty())
            status += ", " + error.position;
        return {false, std::move(status)};
    }
    window.DesireTables = std::move(tables);
    return {true, std::string(kTableLoadedStatus)};
}

TTripTableResult LoadDesireTables(const std::string& path, const TNetwork& net, TWindowSettings& window) {
    std::string data;
    if (!LoadFile(path, data)) {
        window.DesireTables.clear();
        return {false, kCannotOpen};
    }
    return LoadDesireTablesFromText(data, net, window);
}

void ClearDesireTables(TWindowSettings& window) {
    window.DesireTables.clear();
    window.DesireTables.shrink_to_fit();
}

std::vector<TDesireLine> DesireLineGeometry(const TNetwork& net, const TWindowSettings& window) {
    std::vector<TDesireLine> lines;
    const TWidthData& wd = window.wd;
    if (window.DesireTables.empty())
        return lines;
    // Expression 1 gives the colour and expression 2 the width; without both there is no line.
    const std::vector<std::string> parts = SplitWidthExpressions(wd.desirecriterion);
    if (parts.size() < 2 || IsBlank(parts[0]) || IsBlank(parts[1]))
        return lines;
    const TExpression colorExpr = TExpression::Translate(parts[0], &net, 1, kContextSystem);
    const TExpression widthExpr = TExpression::Translate(parts[1], &net, 1, kContextSystem);

    evaluationrecord record;
    TEvalContext ctx;
    ctx.network = &net;
    ctx.window = &window;
    ctx.record = &record;
    // The value of an expression's interval, or 0 when it fails or falls in no interval.
    auto intervalValue = [&](const TExpression& e) {
        int errorPos = 0;
        const double v = e.Evaluate(ctx, errorPos);
        if (errorPos != 0)
            return 0;
        const int k = IntervalOf(v, wd.linkbottom, wd.linktop);
        return k == 0 ? 0 : wd.linkactual[static_cast<std::size_t>(k)];
    };
    const double u = window.Display.DesirePlacement == 1   ? 0.5
                     : window.Display.DesirePlacement == 2 ? -0.5
                                                           : 0.0;

    for (const TDesireTable& t : window.DesireTables) {
        const auto rows = static_cast<std::size_t>(std::max(t.DesireRows, 0));
        const auto columns = static_cast<std::size_t>(std::max(t.DesireColumns, 0));
        if (t.DesireOrigin.size() < rows || t.DesireDestination.size() < columns ||
            t.DesireLines.size() / std::max<std::size_t>(columns, 1) < rows)
            continue; // not a complete table
        for (std::size_t i = 0; i < rows; ++i) {
            const TNode* o = t.DesireOrigin[i];
            if (o == nullptr || !o->IsDrawnN)
                continue;
            for (std::size_t j = 0; j < columns; ++j) {
                const TNode* d = t.DesireDestination[j];
                if (d == nullptr || !d->IsDrawnN)
                    continue;
                record.attributes[1] = t.DesireLines[i * columns + j];
                record.attributes[2] = o->snumb;
                record.attributes[3] = d->snumb;
                std::int32_t color = intervalValue(colorExpr);
                if (color <= 0)
                    continue;
                const std::int32_t width = intervalValue(widthExpr);
                if (width <= 0)
                    continue;
                if (color > 16)
                    color = 0; // drawn in the window's background colour
                TDesireLine line{o->Position(), d->Position(), width, color};
                const double dx = static_cast<double>(d->x_cent) - o->x_cent;
                const double dy = static_cast<double>(d->y_cent) - o->y_cent;
                const double length = std::hypot(dx, dy);
                if (u != 0 && length > 0) {
                    const std::int64_t sx = RealToInt32(-u * width * dy / length);
                    const std::int64_t sy = RealToInt32(u * width * dx / length);
                    line.from = {Saturate(line.from.x + sx), Saturate(line.from.y + sy)};
                    line.to = {Saturate(line.to.x + sx), Saturate(line.to.y + sy)};
                }
                lines.push_back(line);
            }
        }
    }
    return lines;
}

} // namespace zan
