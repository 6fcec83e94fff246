#include "display/WidthFile.h"

#include <filesystem>

#include "calc/NumberText.h"
#include "display/Widths.h"
#include "files/FileText.h"

namespace zan {

namespace {

constexpr std::size_t kCriterionLength = 255;
constexpr int kOldIntervals = 10;
constexpr std::int32_t kMaxIntervalValue = 255;
constexpr const char* kCaption = "Get Widths";
constexpr const char* kNotFound = "Valid widths file not found.";
constexpr const char* kCannotCreate = "Cannot create widths file.";

std::size_t At(int i) {
    return static_cast<std::size_t>(i);
}

// Lines of a text: each without its LF and one trailing CR.
class TLines {
public:
    explicit TLines(std::string_view text) : text_(text) {}

    bool Next(std::string_view& line) { return NextTextLine(text_, pos_, line); }
    // Whether nothing but blanks and line ends is left.
    bool OnlyBlanksLeft() const {
        for (std::size_t i = pos_; i < text_.size(); ++i) {
            const char c = text_[i];
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                return false;
        }
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The two blank-separated fields of a line, and nothing else.
bool TwoFields(std::string_view line, std::string_view& a, std::string_view& b) {
    std::string_view fields[2];
    int n = 0;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (n == 2)
            return false;
        fields[n++] = line.substr(i, end - i);
        i = end;
    }
    a = fields[0];
    b = fields[1];
    return n == 2;
}

bool TwoReals(TLines& lines, double& a, double& b) {
    std::string_view line, fa, fb;
    return lines.Next(line) && TwoFields(line, fa, fb) && ParseReal(fa, a) && ParseReal(fb, b);
}

bool TwoInts(TLines& lines, std::int32_t& a, std::int32_t& b) {
    std::string_view line, fa, fb;
    return lines.Next(line) && TwoFields(line, fa, fb) && ParseInt32(fa, a) && ParseInt32(fb, b);
}

bool Criteria(TLines& lines, std::array<std::string, kLastEntityType + 1>& texts) {
    for (int i = 1; i <= kLastEntityType; ++i) {
        std::string_view line;
        if (!lines.Next(line))
            return false;
        texts[At(i)].assign(line.substr(0, kCriterionLength));
    }
    return true;
}

void RealsLine(TFileWriter& out, double a, double b) {
    out.Real(a);
    out.Blank();
    out.Real(b);
    out.EndLine();
}

void IntsLine(TFileWriter& out, std::int64_t a, std::int64_t b) {
    out.Int(a);
    out.Blank();
    out.Int(b);
    out.EndLine();
}

void WriteWidthFile(TFileWriter& out, const TWidthData& wd) {
    out.Line(kWidthFileHeader);
    for (int k = 1; k <= kWidthIntervals; ++k)
        RealsLine(out, wd.linktop[At(k)], wd.linkbottom[At(k)]);
    for (int i = 1; i <= kLastEntityType; ++i)
        out.Line(std::string_view(wd.linkcriterion[At(i)]).substr(0, kCriterionLength));
    for (int k = 1; k <= kWidthIntervals; ++k)
        RealsLine(out, wd.nodetopf[At(k)], wd.nodebottomf[At(k)]);
    for (int i = 1; i <= kLastEntityType; ++i)
        out.Line(std::string_view(wd.nodecriterion[At(i)]).substr(0, kCriterionLength));
    for (int k = 1; k <= kWidthIntervals; ++k)
        IntsLine(out, wd.nodeactual[At(k)], wd.linkactual[At(k)]);
    for (int k = 1; k <= kWidthIntervals; ++k)
        IntsLine(out, wd.nodelegend[At(k)], wd.linklegend[At(k)]);
    for (int i = 1; i <= kLastEntityType; ++i)
        IntsLine(out, wd.nodeentitylegend[At(i)], wd.linkentitylegend[At(i)]);
}

} // namespace

std::string WidthFileText(const TWidthData& wd) {
    TFileWriter out;
    WriteWidthFile(out, wd);
    return out.Data();
}

bool ParseWidthFile(std::string_view text, TWidthData& wd) {
    TLines lines(text);
    std::string_view header;
    if (!lines.Next(header))
        return false;
    header = TrimRight(header);
    int intervals = 0;
    if (header == kWidthFileHeader)
        intervals = kWidthIntervals;
    else if (header == kOldWidthFileHeader)
        intervals = kOldIntervals;
    else
        return false;

    for (int k = 1; k <= intervals; ++k) {
        if (!TwoReals(lines, wd.linktop[At(k)], wd.linkbottom[At(k)]))
            return false;
    }
    if (!Criteria(lines, wd.linkcriterion))
        return false;
    for (int k = 1; k <= intervals; ++k) {
        if (!TwoReals(lines, wd.nodetopf[At(k)], wd.nodebottomf[At(k)]))
            return false;
    }
    if (!Criteria(lines, wd.nodecriterion))
        return false;
    // The values may be missing; when they are there, all of them are.
    if (lines.OnlyBlanksLeft())
        return true;
    const auto defaults = DefaultIntervalValues();
    for (int k = 1; k <= intervals; ++k) {
        std::int32_t node = 0, link = 0;
        if (!TwoInts(lines, node, link))
            return false;
        // Sizes, widths, colour indices, polygon styles and bitmap numbers: 0..255.
        wd.nodeactual[At(k)] = node >= 0 && node <= kMaxIntervalValue ? node : defaults[At(k)];
        wd.linkactual[At(k)] = link >= 0 && link <= kMaxIntervalValue ? link : defaults[At(k)];
    }
    return true;
}

TWidthFileResult GetWidths(const std::string& path, const TNetwork& net, TWindowSettings& window,
                           const TBitmapCatalog& bitmaps) {
    std::string data;
    TWidthData wd = window.wd;
    if (!LoadFile(path, data) || !ParseWidthFile(data, wd))
        return {false, kNotFound, kCaption};
    window.wd = std::move(wd);
    ComputeWorstSizes(net, window, bitmaps);
    return {};
}

TWidthFileResult PutWidths(const std::string& path, TWindowSettings& window) {
    TSafeFile file(path);
    if (!file.IsOpen())
        return {false, kCannotCreate, kCaption};
    TFileWriter out(file);
    WriteWidthFile(out, window.wd);
    out.Flush();
    if (!file.Commit())
        return {false, kCannotCreate, kCaption};
    window.LastWDTName = std::filesystem::path(path).filename().string();
    return {};
}

} // namespace zan
