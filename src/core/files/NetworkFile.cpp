#include "files/NetworkFile.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_set>
#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "calc/DateTime.h"
#include "calc/NumberText.h"
#include "files/FileText.h"
#include "files/SettingsSections.h"
#include "model/Network.h"
#include "model/WindowSettings.h"
#include "schema/AttributeValues.h"

namespace zan {

namespace {

constexpr std::array<std::pair<int, const char*>, 8> kHeaders{{
    {1, "ZAN 1.0"},
    {3, "ZAN 1.03"},
    {4, "ZAN 1.04"},
    {5, "ZAN 1.05"},
    {6, "ZAN 1.06"},
    {7, "ZAN 1.07"},
    {8, "ZAN 1.08"},
    {9, "ZAN 1.09"},
}};

constexpr std::int32_t kPlaneLimit = 512000;
constexpr std::size_t kMaxStringValue = 255;

// Thrown inside a read to stop it with a code; caught at the top of the read.
struct ReadStop {
    int code;
};

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

bool InPlane(std::int32_t v) {
    return v >= -kPlaneLimit && v <= kPlaneLimit;
}

int KindOfLetter(char letter) {
    return letter == 'T' ? kTimeOnly : (letter == 'X' ? kDateOnly : kDateAndTime);
}

bool IsDateLetter(char c) {
    return c == 'D' || c == 'T' || c == 'X';
}

// The letter an attribute is written with in version v.
char WrittenLetter(char letter, int v) {
    if (v == 1)
        return 'R';
    if ((v == 3 || v == 4) && (letter == 'D' || letter == 'I' || letter == 'T' || letter == 'X'))
        return 'R';
    if (v < 8 && letter == 'S')
        return 'R';
    return letter;
}

// The number of worksheet rows written for an attribute in version v (its wcount as written).
int WrittenWcount(const TAttrib& a, int v) {
    int w = std::clamp(a.wcount, 0, 10);
    if (a.aformat == 'C' && v < 6)
        w = std::min(w, 6);
    return w;
}

// Number of leading entity types 1..10 with a name.
int LeadingNamedTypes(const TEntityClass& c) {
    int k = 0;
    while (k < 10 && !c.Classs[static_cast<std::size_t>(k + 1)].ename.empty())
        ++k;
    return k;
}

MyDateTime DefaultFileDate() {
    MyDateTime d = MyDateTime::Zero();
    d.Month = 1;
    d.Day = 1;
    return d;
}

// ---------------------------------------------------------------------------------------------
// One attribute value as a line of text.

void WriteValueLine(TFileWriter& w, char letter, int v, const TAttrib* a, double value,
                    std::string_view text) {
    switch (letter) {
    case 'C': {
        if (v == 1) {
            w.Raw("0.0");
            break;
        }
        const int wc = a ? std::clamp(a->wcount, 0, 8) : 0;
        const std::string code = CodeToText(value);
        w.FreeText(code.substr(0, static_cast<std::size_t>(v < 6 ? std::min(wc, 6) : wc)));
        break;
    }
    case 'D':
    case 'T':
    case 'X':
        if (v < 5) {
            w.Raw("0.0");
        } else {
            w.FreeText(FormatDateText(value, KindOfLetter(letter)));
        }
        break;
    case 'S':
        if (v < 8) {
            w.Raw("0.0");
        } else {
            w.FreeText(text.substr(0, std::min(text.size(), kMaxStringValue)));
        }
        break;
    default:
        w.ShortReal(value);
        break;
    }
    w.EndLine();
}

// A real value line: the first 30 characters as a number, 0 when they are not one.
double ParseValueReal(std::string_view line) {
    line = line.substr(0, 30);
    while (!line.empty() && line.back() == ' ')
        line.remove_suffix(1);
    while (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    double value = 0;
    if (ParseReal(line, value))
        return value;
    if (line.size() == 3 && (line[0] == 'N' || line[0] == 'n') && (line[1] == 'a' || line[1] == 'A') &&
        (line[2] == 'N' || line[2] == 'n')) {
        return std::nan("");
    }
    return 0;
}

void ReadValueLine(std::string_view line, char letter, int v, double& value, std::string& text) {
    value = 0;
    text.clear();
    switch (letter) {
    case 'C':
        value = TextToCode(line.substr(0, v < 6 ? 6 : 8));
        break;
    case 'D':
    case 'T':
    case 'X':
        value = DateToDouble(ParseDateText(line.substr(0, 30), KindOfLetter(letter), DefaultFileDate()));
        break;
    case 'S':
        text = line.substr(0, v >= 8 ? kMaxStringValue : 30);
        break;
    default:
        value = ParseValueReal(line);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Writing

class NetworkWriter {
public:
    NetworkWriter(TNetwork& net, const TWindowSettings& window, int v) : net_(net), window_(window), v_(v) {}
    NetworkWriter(TNetwork& net, const TWindowSettings& window, int v, TSafeFile& file)
        : net_(net), window_(window), v_(v), w_(file) {}

    std::string Write() {
        w_.Line(HeaderOfVersion(v_));
        WriteSystem();
        WriteSchema(net_.NodeDef);
        WriteSchema(net_.LinkDef);
        if (v_ >= 4) {
            WriteLabelSettings(w_, window_, v_);
            WriteWidthSettings(w_, window_, v_);
            WriteDisplaySettings(w_, window_, v_);
            WriteRanges(net_.NodeDef);
            WriteRanges(net_.LinkDef);
        }
        if (v_ >= 5)
            WriteLayers(w_, window_, v_);
        if (v_ >= 6)
            WriteBackgrounds(w_, window_, v_);
        if (v_ >= 8)
            WriteGeoParameters(w_, window_, v_);
        if (v_ >= 7)
            WriteDescriptionBox(w_, window_, v_);
        if (v_ == 9)
            WriteExtractSettings(w_, window_, v_);
        WriteNetworkPart();
        w_.Flush();
        return std::move(w_.Data());
    }
    int RealErrors() const { return w_.RealErrors(); }

private:
    void Name30(const std::string& name) { w_.Text(name, 30); }
    void Alias10(const std::string& alias) {
        if (v_ == 9)
            w_.Text(alias, 10);
    }

    void WriteRows(const TAttrib& a) {
        const int rows = WrittenWcount(a, v_);
        if (rows <= 0)
            return;
        for (int r = 0; r <= rows; ++r) {
            const TWorkDef row = a.WorkSheet ? a.WorkSheet->WorkDef[static_cast<std::size_t>(r)] : TWorkDef{};
            w_.Text(row.wname, 30);
            w_.Blank();
            w_.Real(row.param);
            w_.Blank();
            w_.Real(row.varab);
            w_.Blank();
            if (v_ > 1)
                w_.FreeText(row.subset);
            w_.EndLine();
            if (v_ >= 6)
                w_.Line(row.hint);
        }
    }

    void Tail(const TAttrib& a) {
        w_.Int(WrittenWcount(a, v_));
        w_.Blank();
        w_.Int(a.wftype);
        w_.Blank();
        w_.FreeText(a.funct.substr(0, std::min<std::size_t>(a.funct.size(), kMaxFunctLength)));
        w_.EndLine();
    }

    void WriteSystem() {
        const int n = v_ < 6 ? 10 : kSystemAttributes;
        const TEntityType& type = net_.SystemDef.Classs[1];
        for (int q = 1; q <= n; ++q) {
            const TAttrib blank;
            const TAttrib& a = type.Attribute(q) ? *type.Attribute(q) : blank;
            const double value = net_.SystemValues[static_cast<std::size_t>(q - 1)];
            const char letter = WrittenLetter(a.aformat, v_);
            if (v_ == 1) {
                Name30(a.atname);
                w_.Blank();
                w_.Real(a.aformat == 'R' || a.aformat == 'I' ? value : 0.0);
                w_.Blank();
                w_.Blank(8);
                w_.Blank();
                Tail(a);
                WriteRows(a);
                continue;
            }
            Name30(a.atname);
            Alias10(a.Alias);
            switch (letter) {
            case 'I':
                w_.Raw(" I ");
                w_.Real(value);
                if (v_ < 8)
                    w_.Blank();
                w_.Blank(8);
                w_.Blank();
                break;
            case 'C': {
                w_.Raw(" C ");
                const std::string code = CodeToText(value);
                w_.Text(code, v_ < 6 ? 6 : 8);
                w_.Blank();
                w_.Blank(8);
                w_.Blank(v_ >= 8 ? 15 : 1);
                break;
            }
            case 'D':
            case 'T':
            case 'X': {
                w_.Blank();
                w_.Raw(std::string(1, letter));
                w_.Blank();
                const std::string date = FormatDateText(value, KindOfLetter(letter));
                w_.Text(date, 20);
                w_.Blank();
                w_.Blank(8);
                w_.Blank(v_ >= 8 ? 3 : 1);
                break;
            }
            case 'S': {
                w_.Raw(" S ");
                const TStringList& strings = net_.SystemStrings;
                const std::string text =
                    a.stringloc < strings.size() ? strings[a.stringloc].str() : std::string();
                w_.Text(text, 30);
                w_.Blank(2);
                break;
            }
            default: {
                // Dates (3, 4) and strings (before 8) are written as reals of value 0; a date's
                // line has one blank fewer before its value than the others.
                const bool numeric = a.aformat == 'R' || a.aformat == 'I';
                w_.Blank(a.IsDate() && v_ < 5 ? 1 : 2);
                w_.Real(numeric ? value : 0.0);
                w_.Blank();
                w_.Blank(8);
                w_.Blank();
                break;
            }
            }
            Tail(a);
            WriteRows(a);
        }
    }

    void WriteSchema(const TEntityClass& c) {
        for (int t = 0; t < kEntityTypes; ++t) {
            const TEntityType& type = c.Classs[static_cast<std::size_t>(t)];
            Name30(t == 0 ? std::string("Undefined") : type.ename);
            Alias10(type.Alias);
            int shape = type.shape;
            if (v_ < 7)
                shape = std::min(shape, 10);
            if (v_ >= 7 && type.hasarrow)
                shape += 1000;
            const int count = WrittenCount(type);
            w_.Blank();
            w_.Int(shape);
            w_.Blank();
            w_.Int(v_ < 6 ? std::min(type.ecolor, 10) : type.ecolor);
            w_.Blank();
            w_.Int(count);
            if (v_ <= 5)
                w_.Blank(9);
            w_.EndLine();
            if (v_ >= 8) {
                for (int i = 1; i <= 10; ++i) {
                    w_.Blank();
                    w_.Int(type.pielist[static_cast<std::size_t>(i)]);
                }
                w_.EndLine();
            }
            for (int i = 1; i <= count; ++i) {
                const TAttrib blank;
                const TAttrib& a = type.Attribute(i) ? *type.Attribute(i) : blank;
                Name30(a.atname);
                if (v_ == 1) {
                    w_.Blank();
                    w_.Int(WrittenWcount(a, v_));
                    w_.Blank();
                    w_.Blank(8);
                    w_.Blank();
                    w_.Int(a.wftype);
                    w_.Blank();
                    w_.FreeText(a.funct.substr(0, std::min<std::size_t>(a.funct.size(), kMaxFunctLength)));
                    w_.EndLine();
                } else {
                    Alias10(a.Alias);
                    w_.Blank();
                    w_.Int(WrittenWcount(a, v_));
                    w_.Blank();
                    w_.Raw(std::string(1, WrittenLetter(a.aformat, v_)));
                    w_.Blank();
                    w_.Int(a.wftype);
                    w_.Blank();
                    w_.FreeText(a.funct.substr(0, std::min<std::size_t>(a.funct.size(), kMaxFunctLength)));
                    w_.EndLine();
                }
                WriteRows(a);
            }
        }
    }

    // The attribute count of a type as this version writes it.
    int WrittenCount(const TEntityType& type) const {
        const int count = std::clamp(type.atcount, 0, kMaxAttributes);
        return v_ < 6 ? std::min(count, 10) : count;
    }

    void WriteRanges(const TEntityClass& c) {
        const int k = LeadingNamedTypes(c);
        for (int t = 1; t <= k; ++t) {
            const TEntityType& type = c.Classs[static_cast<std::size_t>(t)];
            w_.Flag(type.andor);
            w_.EndLine();
            const int count = v_ <= 5 ? std::min(WrittenCount(type), 10) : WrittenCount(type);
            for (int i = 1; i <= count; ++i) {
                const TAttrib* a = type.Attribute(i);
                if (a == nullptr || !a->rangeset) {
                    w_.Line("0");
                    continue;
                }
                w_.Raw("1");
                const char letter = WrittenLetter(a->aformat, v_);
                if (letter == 'C') {
                    w_.Blank();
                    w_.Text(CodeToText(a->brange), 8);
                    w_.Blank();
                    w_.Text(CodeToText(a->trange), 8);
                } else if (IsDateLetter(letter)) {
                    for (double bound : {a->brange, a->trange}) {
                        const MyDateTime d = DoubleToDate(bound);
                        for (int part :
                             {int{d.Year}, int{d.Month}, int{d.Day}, int{d.Hour}, int{d.Min}, int{d.Sec}}) {
                            w_.Blank();
                            w_.Int(part);
                        }
                    }
                } else if (letter == 'S') {
                    w_.Blank();
                    w_.FreeText(a->brangestr);
                    w_.Raw("&&");
                    w_.FreeText(a->trangestr);
                } else {
                    for (double bound : {a->brange, a->trange}) {
                        w_.Blank();
                        if (bound == 0) {
                            w_.Raw("0.0");
                        } else {
                            w_.Real(bound);
                        }
                    }
                }
                w_.EndLine();
            }
        }
    }

    // n value lines of an element of `type` (values and strings by attribute).
    void WriteValues(const TEntityType& type, int n, const double* values, int valueCount,
                     const TStringList& strings) {
        for (int i = 1; i <= n; ++i) {
            const TAttrib* a = type.Attribute(i);
            const char letter = a ? a->aformat : 'R';
            const double value = (values != nullptr && i <= valueCount) ? values[i - 1] : 0.0;
            std::string_view text;
            if (a != nullptr && a->IsString() && a->stringloc < strings.size())
                text = strings[a->stringloc].view();
            WriteValueLine(w_, letter, v_, a, value, text);
        }
    }

    void Mark() {
        if (v_ < 6) {
            w_.Raw(" TRUE ");
        } else {
            w_.Raw("1 ");
        }
    }

    void Ints(std::initializer_list<std::int64_t> values) {
        bool first = true;
        for (std::int64_t x : values) {
            if (!first)
                w_.Blank();
            w_.Int(x);
            first = false;
        }
    }

    void WriteNetworkPart() {
        w_.Line(kEndOfApplication);
        const TEntityClass& nodes = net_.NodeDef;
        const TEntityClass& links = net_.LinkDef;

        // Nodes, renumbered in writing order.
        if (v_ >= 6) {
            const TNode& t = net_.InitialNode;
            const int n = WrittenCount(nodes.TypeOf(t.NType));
            w_.Raw("1 0 0 1 -1 ");
            Ints({t.NType, n});
            if (v_ >= 8)
                w_.Raw(" 0 0 0");
            w_.EndLine();
            w_.Line(t.alabel);
            WriteValues(nodes.TypeOf(t.NType), n, t.NValue.get(), t.ValueCount(), t.AttString);
        }
        std::int32_t serial = 0;
        net_.Hash.ForEachNode([&](TNode& node) {
            if (!node.IsDrawnN)
                return;
            node.snumb = ++serial;
            const TEntityType& type = nodes.TypeOf(node.NType);
            const int n = WrittenCount(type);
            Mark();
            Ints({node.x_cent, node.y_cent, node.Layer, node.snumb, node.NType, n, node.long_, node.lat,
                  node.elev});
            w_.EndLine();
            w_.Line(node.alabel);
            WriteValues(type, n, node.NValue.get(), node.ValueCount(), node.AttString);
        });
        w_.Line(v_ <= 5 ? "FALSE 0 0 0 0 0 0" : (v_ <= 7 ? "0 0 0 0 0 0 0" : "0 0 0 0 0 0 0 0 0 0"));

        // Links, from their A node.
        if (v_ >= 6) {
            const TLinkValues& t = net_.InitialLink;
            const int n = WrittenCount(links.TypeOf(t.LType));
            w_.Raw("1 0 0 0 0 ");
            w_.Int(t.LType);
            w_.Raw(" -1 -1 ");
            w_.Int(n);
            w_.Raw(" 0");
            w_.EndLine();
            w_.Line(t.alabel);
            WriteValues(links.TypeOf(t.LType), n, t.LValue.get(), t.ValueCount(), t.AttString);
        }
        ForEachDrawnLink([&](const TLinkValues& link) {
            const TEntityType& type = links.TypeOf(link.LType);
            const int n = WrittenCount(type);
            std::vector<const TShapePoint*> shape;
            for (const TShapePoint* sp : link.ShapePoints) {
                if (sp->IsDrawnN)
                    shape.push_back(sp);
            }
            Mark();
            Ints({link.AEnd->x_cent, link.AEnd->y_cent, link.BEnd->x_cent, link.BEnd->y_cent, link.LType,
                  link.AEnd->snumb, link.BEnd->snumb, n});
            if (v_ >= 6) {
                w_.Blank();
                w_.Int(static_cast<std::int64_t>(shape.size()));
            }
            w_.EndLine();
            if (v_ >= 8) {
                w_.Line(link.alabel);
            } else {
                w_.Line(CutText(link.alabel, kMaxNameLength));
            }
            WriteValues(type, n, link.LValue.get(), link.ValueCount(), link.AttString);
            if (v_ >= 6) {
                for (const TShapePoint* sp : shape) {
                    if (v_ >= 8) {
                        Ints({sp->x_cent, sp->y_cent, sp->long_, sp->lat, sp->elev});
                    } else {
                        Ints({sp->x_cent, sp->y_cent});
                    }
                    w_.EndLine();
                }
            }
        });
        w_.Line(v_ <= 5 ? "FALSE 0 0 0 0 0 0 0 0" : "0 0 0 0 0 0 0 0 0 0");
        if (v_ < 4)
            return;

        // Extents and the polygon search.
        Ints({window_.XMax, window_.XMin, window_.YMax, window_.YMin});
        w_.EndLine();
        if (v_ >= 5) {
            if (v_ >= 8) {
                w_.Line(window_.PolygonSearchString);
            } else {
                w_.Line(CutText(window_.PolygonSearchString, kMaxNameLength));
            }
            const TNode* s = window_.PolygonSearchNode;
            if (s != nullptr && s->IsDrawnN) {
                Ints({s->snumb, s->x_cent, s->y_cent});
            } else {
                Ints({0, 0, 0});
            }
            for (bool f : {window_.PolygonSearchbyNode, window_.PolygonSearchbyLink,
                           window_.PolygonSearchOutside, window_.PolygonSearch2Ends}) {
                w_.Blank();
                w_.Flag(f);
            }
            w_.EndLine();
        }

        // Node display and polygon records.
        if (v_ >= 6 && NodeNeedsDisplayRecord(net_.InitialNode))
            WriteNodeDisplay(net_.InitialNode, true);
        net_.Hash.ForEachNode([&](TNode& node) {
            if (node.IsDrawnN && NodeNeedsDisplayRecord(node))
                WriteNodeDisplay(node, false);
        });
        w_.Line(v_ <= 6 ? "0 0 0 0 0 0 0 0 0 0 0"
                        : (v_ == 7 ? "0 0 0 0 0 0 0 0 0 0 0 0 0 0" : "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0"));

        // Link display records.
        if (v_ >= 6 && LinkNeedsDisplayRecord(net_.InitialLink))
            WriteLinkDisplay(net_.InitialLink, true);
        ForEachDrawnLink([&](const TLinkValues& link) {
            if (LinkNeedsDisplayRecord(link))
                WriteLinkDisplay(link, false);
        });
        if (v_ <= 6) {
            w_.Line("0 0 0 0 0 0 0 0 0");
        } else if (v_ == 7) {
            w_.Line("0 0 0 0 0 0 0 0 0 0 0 0 0");
        } else if (v_ == 8) {
            w_.Line("0 0 0 0 0 0 0 0 0 0 0 0 0 0");
        }
    }

    template <class F> void ForEachDrawnLink(F&& f) {
        net_.Hash.ForEachNode([&](TNode& node) {
            if (!node.IsDrawnN)
                return;
            for (const TLink* half : node.LinkList) {
                if (half->IsAEnd() && half->LinkData->IsDrawnL)
                    f(*half->LinkData);
            }
        });
    }

    static bool HasNotes(const TText& notes) { return !notes.empty() && notes.view() != "&&"; }

    bool NodeNeedsDisplayRecord(const TNode& n) const {
        if (n.Font != 0 || n.Place != 0 || n.selectlabel[0] != 0 || n.selectlabel[1] != 0 || n.Suppress)
            return true;
        if (!n.MyPolygonList.IsEmpty())
            return true;
        return v_ >= 7 && (HasNotes(n.notes) || n.XOffset != 0 || n.YOffset != 0 || n.IsFeature ||
                           n.BitmapOverride != 0);
    }

    bool LinkNeedsDisplayRecord(const TLinkValues& l) const {
        if (l.Font != 0 || l.Place != 0 || l.selectlabel[0] != 0 || l.selectlabel[1] != 0 || l.Suppress)
            return true;
        return v_ >= 7 && (HasNotes(l.notes) || l.XOffset != 0 || l.YOffset != 0 || l.IsFeature ||
                           l.BitmapOverride != 0);
    }

    int PolygonStyleForWrite(int style) const { return v_ < 6 ? std::min(style, 10) : style; }

    void DisplayTail(bool hasNotes, int xoff, int yoff, int bitmap, bool feature) {
        if (v_ >= 7) {
            w_.Blank();
            Ints({hasNotes ? 1 : 0, xoff, yoff, bitmap});
        }
        if (v_ >= 8) {
            w_.Blank();
            w_.Flag(feature);
        }
    }

    void WriteNodeDisplay(const TNode& n, bool isTemplate) {
        const bool withShape = v_ >= 7;
        std::vector<const TNetworkPoint*> vertices;
        for (const TNetworkPoint* p : n.MyPolygonList) {
            if (!p->IsDrawnN)
                continue;
            if (const TShapePoint* sp = p->AsShapePoint()) {
                if (withShape && sp->MyLink != nullptr && sp->MyLink->IsDrawnL)
                    vertices.push_back(p);
            } else {
                vertices.push_back(p);
            }
        }
        if (isTemplate) {
            Ints({-1, 0, 0});
        } else {
            Ints({n.snumb, n.x_cent, n.y_cent});
        }
        w_.Blank();
        Ints({n.Font, n.Place, LabelCodeForWrite(n.selectlabel[0], v_),
              LabelCodeForWrite(n.selectlabel[1], v_), n.Suppress ? 1 : 0,
              PolygonStyleForWrite(n.PolygonStyle), static_cast<std::int64_t>(vertices.size())});
        const bool notes = HasNotes(n.notes);
        DisplayTail(notes, n.XOffset, n.YOffset, n.BitmapOverride, n.IsFeature);
        w_.EndLine();
        for (const TNetworkPoint* p : vertices) {
            if (const TShapePoint* sp = p->AsShapePoint()) {
                const TLinkValues& l = *sp->MyLink;
                const std::int64_t index = l.ShapePoints.find(const_cast<TShapePoint*>(sp));
                w_.Raw("0 ");
                Ints({sp->x_cent, sp->y_cent, l.AEnd->snumb, l.BEnd->snumb, index, l.AEnd->x_cent,
                      l.AEnd->y_cent, l.BEnd->x_cent, l.BEnd->y_cent});
            } else {
                const TNode* vn = p->AsNode();
                Ints({vn->snumb, vn->x_cent, vn->y_cent});
                if (v_ >= 7)
                    w_.Raw(" 0 0 0 0 0 0 0");
            }
            w_.EndLine();
        }
        if (v_ >= 7 && notes)
            w_.Line(n.notes);
    }

    void WriteLinkDisplay(const TLinkValues& l, bool isTemplate) {
        if (isTemplate) {
            w_.Raw("-1 -1 0 0");
        } else {
            Ints({l.AEnd->snumb, l.BEnd->snumb, l.AEnd->x_cent, l.AEnd->y_cent});
        }
        w_.Blank();
        Ints({l.Font, l.Place, LabelCodeForWrite(l.selectlabel[0], v_),
              LabelCodeForWrite(l.selectlabel[1], v_), l.Suppress ? 1 : 0});
        const bool notes = HasNotes(l.notes);
        DisplayTail(notes, l.XOffset, l.YOffset, l.BitmapOverride, l.IsFeature);
        w_.EndLine();
        if (v_ >= 7 && notes)
            w_.Line(l.notes);
    }

    TNetwork& net_;
    const TWindowSettings& window_;
    int v_;
    TFileWriter w_;
};

// ---------------------------------------------------------------------------------------------
// Reading

class NetworkReader {
public:
    NetworkReader(std::string data, TNetwork& net, TWindowSettings& window, bool append)
        : r_(std::move(data)), net_(net), window_(window), append_(append) {}

    // Reads the header; returns the version or stops.
    int Header() {
        std::string line;
        if (!r_.ReadLine(line))
            throw ReadStop{kFileFormatError};
        if (line.size() > 30)
            line.resize(30);
        const int v = VersionOfHeader(line);
        if (v == 0)
            throw ReadStop{kFileFormatError};
        v_ = v;
        return v;
    }

    void ApplicationPart() {
        ReadSystem(false);
        ReadSchema(net_.NodeDef);
        ReadSchema(net_.LinkDef);
        if (v_ >= 4) {
            if (!ReadLabelSettings(r_, window_, v_))
                Fail();
            if (!ReadWidthSettings(r_, window_, v_))
                Fail();
            if (!ReadDisplaySettings(r_, window_, v_))
                Fail();
            ReadRanges(net_.NodeDef);
            ReadRanges(net_.LinkDef);
        }
        if (v_ >= 5 && !ReadLayers(r_, window_, v_))
            Fail();
        if (v_ >= 6 && !ReadBackgrounds(r_, window_, v_))
            Fail();
        if (v_ >= 8 && !ReadGeoParameters(r_, window_, v_))
            Fail();
        if (v_ >= 7 && !ReadDescriptionBox(r_, window_, v_))
            Fail();
        if (v_ == 9 && !ReadExtractSettings(r_, window_, v_))
            Fail();
        SeekEndOfApplication();
    }

    // For Append: the system values only, then everything up to the end of the application part.
    void ApplicationPartForAppend() {
        ReadSystem(true);
        SeekEndOfApplication();
    }

    // The element sections a version holds. Only the link display section of version 9 may end with
    // the data; any other section that the data ends in, or before, makes the file a damaged one.
    void NetworkPart(std::int32_t serialShift) {
        shift_ = serialShift;
        ReadNodesAndLinks();
        if (v_ < 4)
            return;
        ReadExtents();
        if (v_ >= 5)
            ReadPolygonSearch();
        ReadNodeDisplay();
        ReadLinkDisplay();
    }

    const std::array<double, kSystemAttributes>& AppendedSystemValues() const { return systemValues_; }
    int AppendedSystemCount() const { return systemCount_; }
    int Redundant() const { return redundant_; }
    int Looped() const { return looped_; }
    std::int32_t LargestSerial() const { return largestSerial_; }
    bool HaveFileExtents() const { return haveExtents_; }
    TRect FileExtents() const { return fileExtents_; }

private:
    [[noreturn]] static void Fail() { throw ReadStop{kFileFormatError}; }

    std::int32_t Int() {
        std::int32_t v = 0;
        if (!r_.ReadInt(v))
            Fail();
        return v;
    }
    double Real() {
        double v = 0;
        if (!r_.ReadReal(v))
            Fail();
        return v;
    }
    std::int32_t Coordinate() {
        const std::int32_t v = Int();
        if (!InPlane(v))
            Fail();
        return v;
    }
    std::int32_t Count() {
        const std::int32_t v = Int();
        if (v < 0)
            Fail();
        return v;
    }
    std::string Line() {
        std::string line;
        if (!r_.ReadLine(line))
            Fail();
        return line;
    }
    std::string_view LineView() {
        std::string_view line;
        if (!r_.ReadLineView(line))
            Fail();
        return line;
    }
    std::string Funct() {
        r_.SkipBlank();
        std::string f = r_.ReadFreeText();
        if (f.size() > kMaxFunctLength)
            f.resize(kMaxFunctLength);
        return f;
    }

    void SeekEndOfApplication() {
        std::string line;
        while (r_.ReadLine(line)) {
            if (TrimRight(line.substr(0, 30)) == kEndOfApplication)
                return;
        }
        Fail();
    }

    // Worksheet rows 0..rows of an attribute just read.
    void ReadRows(TAttrib& a, int rowsInFile) {
        a.WorkSheet = std::make_unique<TWorkSheet>();
        for (int r = 0; r <= rowsInFile; ++r) {
            TWorkDef row;
            row.wname = TrimRight(r_.ReadText(30));
            row.param = Real();
            row.varab = Real();
            if (v_ > 1) {
                r_.SkipBlank();
                row.subset = TrimRight(r_.ReadText(30));
            }
            r_.SkipLine();
            if (v_ >= 6)
                row.hint = Line();
            if (r <= a.wcount)
                a.WorkSheet->WorkDef[static_cast<std::size_t>(r)] = row;
        }
    }

    // The worksheet variable count of an attribute line; a category keeps at most 8.
    int Wcount(TAttrib& a) {
        const std::int32_t w = Int();
        if (w < 0 || w > 10)
            Fail();
        a.wcount = (a.aformat == 'C') ? std::min(w, 8) : w;
        return w;
    }

    void ReadSystem(bool valuesOnly) {
        const int n = v_ < 6 ? 10 : kSystemAttributes;
        systemCount_ = n;
        TEntityType& type = net_.SystemDef.Classs[1];
        std::vector<std::pair<int, std::string>> strings; // (attribute, text) of string entries
        for (int q = 1; q <= n; ++q) {
            TAttrib a;
            double value = 0;
            std::string text;
            a.atname = TrimRight(r_.ReadText(30));
            if (v_ == 9)
                a.SetAlias(TrimRight(r_.ReadText(10)));
            if (v_ == 1) {
                value = Real();
            } else {
                r_.Skip(1);
                const std::string letter = r_.ReadText(1);
                const char c = letter.empty() ? ' ' : letter[0];
                a.aformat = (c == 'I' || c == 'C' || c == 'S' || IsDateLetter(c)) ? c : 'R';
                r_.SkipBlank();
                switch (a.aformat) {
                case 'C':
                    value = TextToCode(r_.ReadText(v_ < 6 ? 6 : 8));
                    break;
                case 'D':
                case 'T':
                case 'X':
                    value = DateToDouble(
                        ParseDateText(r_.ReadText(20), KindOfLetter(a.aformat), DefaultFileDate()));
                    break;
                case 'S':
                    text = TrimRight(r_.ReadText(30));
                    break;
                default:
                    value = Real();
                    break;
                }
            }
            const int rows = Wcount(a);
            a.wftype = Int();
            a.funct = Funct();
            if (rows > 0)
                ReadRows(a, (a.aformat == 'C' && v_ < 6) ? std::min(rows, 6) : rows);
            if (a.atname.empty())
                a.aformat = 'R';
            systemValues_[static_cast<std::size_t>(q - 1)] = a.IsString() ? 0.0 : value;
            if (valuesOnly)
                continue;
            if (a.IsString())
                strings.emplace_back(q, text);
            net_.SystemValues[static_cast<std::size_t>(q - 1)] = a.IsString() ? 0.0 : value;
            *type.Attrib[static_cast<std::size_t>(q)] = std::move(a);
        }
        if (valuesOnly)
            return;
        int named = 0;
        while (named < n && !type.Attribute(named + 1)->atname.empty())
            ++named;
        type.atcount = named;
        net_.SystemDef.ResetStringPosList();
        TStringList list;
        for (const auto& [q, text] : strings) {
            if (q <= named)
                list.push_back(TText(text));
        }
        net_.SystemStrings = std::move(list);
        FitStrings(net_.SystemStrings, type.numstrings);
    }

    void ReadSchema(TEntityClass& c) {
        for (int t = 0; t < kEntityTypes; ++t) {
            TEntityType& type = c.Classs[static_cast<std::size_t>(t)];
            const std::string name = TrimRight(r_.ReadText(30));
            std::string alias;
            if (v_ == 9)
                alias = TrimRight(r_.ReadText(10));
            if (t != 0)
                type.ename = name;
            type.Alias.clear();
            for (char ch : alias) {
                if (ch != ' ')
                    type.Alias += ch;
            }
            std::int32_t shape = Int();
            type.hasarrow = shape >= 1000;
            if (type.hasarrow)
                shape -= 1000;
            type.shape = shape;
            type.ecolor = Int();
            const std::int32_t count = Int();
            if (count < 0 || count > kMaxAttributes)
                Fail();
            type.atcount = count;
            r_.SkipLine();
            if (v_ >= 8) {
                for (int i = 1; i <= 10; ++i) {
                    const std::int32_t slice = Int();
                    type.pielist[static_cast<std::size_t>(i)] =
                        static_cast<std::uint8_t>(slice >= 0 && slice <= kMaxAttributes ? slice : 0);
                }
                r_.SkipLine();
            }
            for (int i = 1; i <= count; ++i) {
                TAttrib a;
                a.atname = TrimRight(r_.ReadText(30));
                int rows = 0;
                if (v_ == 1) {
                    a.aformat = 'R';
                    rows = Wcount(a);
                    a.wftype = Int();
                } else {
                    if (v_ == 9)
                        a.SetAlias(TrimRight(r_.ReadText(10)));
                    const std::int32_t w = Int();
                    if (w < 0 || w > 10)
                        Fail();
                    r_.SkipBlank();
                    const std::string letter = r_.ReadText(1);
                    const char ch = letter.empty() ? ' ' : letter[0];
                    if (!(ch == 'R' || ch == 'I' || ch == 'C' || ch == 'S' || IsDateLetter(ch)))
                        Fail();
                    a.aformat = ch;
                    rows = w;
                    a.wcount = ch == 'C' ? std::min(w, 8) : w;
                    a.wftype = Int();
                }
                a.funct = Funct();
                if (rows > 0)
                    ReadRows(a, (a.aformat == 'C' && v_ < 6) ? std::min(rows, 6) : rows);
                type.Attrib[static_cast<std::size_t>(i)] = std::make_unique<TAttrib>(std::move(a));
            }
        }
        c.ResetStringPosList();
    }

    void ReadRanges(TEntityClass& c) {
        const int k = LeadingNamedTypes(c);
        for (int t = 1; t <= k; ++t) {
            TEntityType& type = c.Classs[static_cast<std::size_t>(t)];
            type.andor = Int() != 0;
            r_.SkipLine();
            const int count = v_ <= 5 ? std::min(type.atcount, 10) : type.atcount;
            for (int i = 1; i <= count; ++i) {
                TAttrib& a = type.EnsureAttribute(i);
                a.rangeset = Int() != 0;
                if (!a.rangeset) {
                    a.brange = a.trange = 0;
                    r_.SkipLine();
                    continue;
                }
                if (a.aformat == 'C') {
                    r_.SkipBlank();
                    a.brange = TextToCode(r_.ReadText(8));
                    r_.SkipBlank();
                    a.trange = TextToCode(r_.ReadText(8));
                } else if (IsDateLetter(a.aformat)) {
                    for (double* bound : {&a.brange, &a.trange}) {
                        MyDateTime d;
                        d.Year = static_cast<std::int16_t>(std::clamp(Int(), -32768, 32767));
                        for (std::uint8_t* part : {&d.Month, &d.Day, &d.Hour, &d.Min, &d.Sec}) {
                            *part = static_cast<std::uint8_t>(std::clamp(Int(), 0, 255));
                        }
                        d.MSec = 0;
                        *bound = DateToDouble(d);
                    }
                } else if (a.aformat == 'S') {
                    r_.SkipBlank();
                    const std::string rest(r_.RestOfLine());
                    const std::size_t sep = rest.find("&&");
                    a.brangestr = rest.substr(0, std::min<std::size_t>(sep, 50));
                    a.trangestr = sep == std::string::npos ? std::string() : rest.substr(sep + 2, 50);
                } else {
                    a.brange = Real();
                    a.trange = Real();
                }
                r_.SkipLine();
            }
        }
    }

    // The first field of a record: true for a record mark, false for a terminator.
    bool RecordMark() {
        if (v_ < 6) {
            std::string token;
            // " TRUE" / "FALSE" as a trimmed token.
            std::string_view rest = r_.RestOfLine();
            while (rest.empty() && !r_.AtEnd()) {
                r_.SkipLine();
                rest = r_.RestOfLine();
            }
            const std::size_t start = rest.find_first_not_of(' ');
            if (start == std::string_view::npos)
                Fail();
            const std::size_t end = rest.find(' ', start);
            token = std::string(
                rest.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
            r_.Skip(start + token.size());
            if (token == "TRUE")
                return true;
            if (token == "FALSE")
                return false;
            Fail();
        }
        const std::int32_t mark = Int();
        return mark != 0;
    }

    std::int32_t Shifted(std::int32_t serial) const { return serial > 0 ? serial + shift_ : serial; }

    // Elements read from a file start with neutral display fields; display records set them.
    template <class Element> void ClearDisplay(Element& e) {
        e.Font = e.Place = 0;
        e.selectlabel = {0, 0};
        e.Suppress = e.IsFeature = false;
        e.XOffset = e.YOffset = 0;
        e.BitmapOverride = 0;
        e.notes = std::string_view();
        if constexpr (std::is_same_v<Element, TNode>)
            e.PolygonStyle = 0;
    }

    // ---- node and link records ----
    //
    // A large file spends most of its reading time in two kinds of work: turning text into numbers
    // and putting elements into the table. They run on two threads: a parser turns the node and link
    // records into batches of plain values, and the calling thread inserts them in file order.

    struct ParsedNode {
        std::int32_t x, y, layer, serial, type, lon, lat, elev;
        std::string_view name;
        std::uint32_t values, valueCount, texts, textCount;
    };
    struct ParsedShape {
        std::int32_t x, y, lon, lat, elev;
    };
    struct ParsedLink {
        std::int32_t ax, ay, bx, by, type, aSerial, bSerial;
        std::string_view name;
        std::uint32_t values, valueCount, texts, textCount, shapes, shapeCount;
    };
    struct Batch {
        std::vector<ParsedNode> nodes;
        std::vector<ParsedLink> links;
        std::vector<double> values;
        std::vector<std::string_view> texts;
        std::vector<ParsedShape> shapes;
        bool last = false;
    };
    static constexpr std::size_t kBatchRecords = 4096;
    static constexpr std::size_t kQueuedBatches = 4;

    // Values of one element: n lines in the file, the first min(n, D) kept (a string value as text).
    void ParseValues(const TEntityType& type, int n, Batch& batch, std::uint32_t& values,
                     std::uint32_t& valueCount, std::uint32_t& texts, std::uint32_t& textCount) {
        const int D = type.atcount;
        values = static_cast<std::uint32_t>(batch.values.size());
        texts = static_cast<std::uint32_t>(batch.texts.size());
        std::string text;
        for (int i = 1; i <= n; ++i) {
            const std::string_view line = LineView();
            if (i > D)
                continue;
            const TAttrib* a = type.Attribute(i);
            const char letter = (D < n || a == nullptr) ? 'R' : a->aformat;
            if (letter == 'R' || letter == 'I') {
                batch.values.push_back(ParseValueReal(line));
                continue;
            }
            if (letter == 'S') {
                batch.values.push_back(0.0);
                if (batch.texts.size() - texts < type.numstrings)
                    batch.texts.push_back(line.substr(0, v_ >= 8 ? kMaxStringValue : 30));
                continue;
            }
            double value = 0;
            ReadValueLine(line, letter, v_, value, text);
            batch.values.push_back(value);
        }
        valueCount = static_cast<std::uint32_t>(batch.values.size()) - values;
        textCount = static_cast<std::uint32_t>(batch.texts.size()) - texts;
    }

    // Fills an element's values and strings from a parsed record.
    static void TakeValues(const Batch& batch, std::uint32_t values, std::uint32_t valueCount,
                           std::uint32_t texts, std::uint32_t textCount, const TEntityType& type,
                           double* target, std::int32_t targetCount, TStringList& strings) {
        if (target != nullptr) {
            std::copy_n(batch.values.begin() + values, std::min<std::int64_t>(valueCount, targetCount),
                        target);
        }
        strings.clear();
        for (std::uint32_t i = 0; i < textCount; ++i)
            strings.push_back(TText(batch.texts[texts + i]));
        FitStrings(strings, type.numstrings);
    }

    // The parser's side: node records, then link records, in batches.
    void ParseRecords() {
        std::unique_ptr<Batch> batch;
        auto hand = [&](bool last) {
            batch->last = last;
            if (!Enqueue(std::move(batch)))
                throw ReadStop{kFileOK}; // the reading side stopped
            batch = std::make_unique<Batch>();
        };
        try {
            batch = std::make_unique<Batch>();
            const TEntityClass& nodes = net_.NodeDef;
            const int kn = LeadingNamedTypes(nodes);
            while (true) {
                if (r_.AtEnd())
                    Fail();
                if (!RecordMark()) {
                    r_.SkipLine();
                    break;
                }
                ParsedNode p{};
                p.x = Int();
                p.y = Int();
                p.layer = Int();
                p.serial = Int();
                p.type = Int();
                const std::int32_t n = Count();
                if (v_ >= 8) {
                    p.lon = Int();
                    p.lat = Int();
                    p.elev = Int();
                }
                r_.SkipLine();
                if (p.type < 0 || p.type > kn)
                    p.type = 0;
                const bool isTemplate = p.serial == -1 && v_ >= 6;
                if (!isTemplate && (!InPlane(p.x) || !InPlane(p.y)))
                    Fail();
                p.name = LineView();
                ParseValues(nodes.TypeOf(p.type), n, *batch, p.values, p.valueCount, p.texts, p.textCount);
                batch->nodes.push_back(p);
                if (batch->nodes.size() >= kBatchRecords)
                    hand(false);
            }
            const TEntityClass& links = net_.LinkDef;
            const int kl = LeadingNamedTypes(links);
            while (true) {
                if (r_.AtEnd())
                    Fail();
                if (!RecordMark()) {
                    r_.SkipLine();
                    break;
                }
                ParsedLink p{};
                p.ax = Int();
                p.ay = Int();
                p.bx = Int();
                p.by = Int();
                p.type = Int();
                p.aSerial = Int();
                p.bSerial = Int();
                const std::int32_t n = Count();
                std::int32_t shapes = 0;
                if (v_ >= 6)
                    shapes = Count();
                r_.SkipLine();
                if (p.type < 0 || p.type > kl)
                    p.type = 0;
                const bool isTemplate = p.aSerial == -1 && p.bSerial == -1;
                if (!isTemplate && (!InPlane(p.ax) || !InPlane(p.ay) || !InPlane(p.bx) || !InPlane(p.by)))
                    Fail();
                p.name = LineView();
                ParseValues(links.TypeOf(p.type), n, *batch, p.values, p.valueCount, p.texts, p.textCount);
                p.shapes = static_cast<std::uint32_t>(batch->shapes.size());
                for (std::int32_t s = 0; s < shapes; ++s) {
                    if (isTemplate) {
                        LineView();
                        continue;
                    }
                    ParsedShape sp{};
                    sp.x = Coordinate();
                    sp.y = Coordinate();
                    if (v_ >= 8) {
                        sp.lon = Int();
                        sp.lat = Int();
                        sp.elev = Int();
                    }
                    r_.SkipLine();
                    batch->shapes.push_back(sp);
                }
                p.shapeCount = static_cast<std::uint32_t>(batch->shapes.size()) - p.shapes;
                batch->links.push_back(p);
                if (batch->links.size() >= kBatchRecords)
                    hand(false);
            }
            hand(true);
        } catch (const ReadStop& stop) {
            // The records parsed before the failure still go in first, so that a failure of theirs
            // (the table running out of room) is the one reported, as it comes first in the file.
            if (stop.code != kFileOK && batch && (!batch->nodes.empty() || !batch->links.empty()))
                Enqueue(std::move(batch));
            ParserStopped(stop.code);
        } catch (const std::bad_alloc&) {
            ParserStopped(kFileOutOfMemory);
        } catch (...) {
            ParserStopped(kFileFormatError);
        }
    }

    // The parser ended without handing over a last batch: the reading side stops with `code` once
    // it has inserted what came before (kFileOK: the reading side asked it to stop).
    void ParserStopped(int code) noexcept {
        {
            std::lock_guard lock(queueMutex_);
            parserError_ = code == kFileOK ? kFileFormatError : code;
            parserStopped_ = true;
        }
        queueChanged_.notify_all();
    }

    bool Enqueue(std::unique_ptr<Batch> batch) {
        std::unique_lock lock(queueMutex_);
        queueChanged_.wait(lock, [&] { return stopParsing_ || queue_.size() < kQueuedBatches; });
        if (stopParsing_)
            return false;
        queue_.push_back(std::move(batch));
        queueChanged_.notify_all();
        return true;
    }

    std::unique_ptr<Batch> Dequeue() {
        std::unique_lock lock(queueMutex_);
        queueChanged_.wait(lock, [&] { return !queue_.empty() || parserStopped_; });
        if (queue_.empty())
            throw ReadStop{parserError_};
        auto batch = std::move(queue_.front());
        queue_.pop_front();
        queueChanged_.notify_all();
        return batch;
    }

    // The reading side: inserts the parsed records in file order while the parser runs ahead. The
    // table loads meanwhile, so that many points in one cell or at one position cost no more than
    // others; it settles once the nodes are in, and whatever ends the records.
    void ReadNodesAndLinks() {
        struct Load {
            THashTable& table;
            explicit Load(THashTable& t) : table(t) { table.BeginLoad(); }
            ~Load() { table.EndLoad(); }
            Load(const Load&) = delete;
            Load& operator=(const Load&) = delete;
        } load{net_.Hash};
        std::thread parser([this] { ParseRecords(); });
        struct Join {
            NetworkReader& reader;
            std::thread& thread;
            ~Join() {
                {
                    std::lock_guard lock(reader.queueMutex_);
                    reader.stopParsing_ = true;
                }
                reader.queueChanged_.notify_all();
                thread.join();
            }
        } join{*this, parser};
        bool nodesSettled = false;
        while (true) {
            const std::unique_ptr<Batch> batch = Dequeue();
            for (const ParsedNode& p : batch->nodes)
                InsertParsedNode(*batch, p);
            if (!nodesSettled && (!batch->links.empty() || batch->last)) {
                net_.Hash.SettleLoad();
                nodesSettled = true;
            }
            for (const ParsedLink& p : batch->links)
                InsertParsedLink(*batch, p);
            if (batch->last)
                return;
        }
    }

    void InsertParsedNode(const Batch& batch, const ParsedNode& p) {
        const TEntityClass& schema = net_.NodeDef;
        const TEntityType& et = schema.TypeOf(p.type);
        if (p.serial == -1 && v_ >= 6) {
            templateNodeRead_ = true;
            TNode& t = net_.InitialNode;
            t.NType = static_cast<std::uint8_t>(p.type);
            t.alabel = CutText(p.name, kMaxNameLength);
            t.ResizeValues(et.atcount);
            TakeValues(batch, p.values, p.valueCount, p.texts, p.textCount, et, t.NValue.get(),
                       t.ValueCount(), t.AttString);
            return;
        }
        const int D = et.atcount;
        THashEntry* cell = nullptr;
        TNode* node = net_.Hash.InsertNode(p.x, p.y, D, false, cell, true);
        if (node == nullptr) {
            // The grid is full where this node goes: spread it and try once more.
            net_.Hash.Rebalance(window_);
            node = net_.Hash.InsertNode(p.x, p.y, D, false, cell, true);
            if (node == nullptr)
                throw ReadStop{kFileOutOfMemory};
        }
        ClearDisplay(*node);
        node->NType = static_cast<std::uint8_t>(p.type);
        node->Layer = static_cast<std::uint8_t>(p.layer >= 1 && p.layer <= 10 ? p.layer : 1);
        node->snumb = Shifted(p.serial);
        NoteSerial(node, p.serial);
        largestSerial_ = std::max(largestSerial_, node->snumb);
        node->long_ = p.lon;
        node->lat = p.lat;
        node->elev = p.elev;
        cell->updatelonglat(*node);
        node->alabel = CutText(p.name, kMaxNameLength);
        TakeValues(batch, p.values, p.valueCount, p.texts, p.textCount, et, node->NValue.get(),
                   node->ValueCount(), node->AttString);
        window_.XMin = std::min(window_.XMin, p.x);
        window_.YMin = std::min(window_.YMin, p.y);
        window_.XMax = std::max(window_.XMax, p.x);
        window_.YMax = std::max(window_.YMax, p.y);
    }

    // The node a record names by position and serial. Nodes read from this file are found through
    // their serial directly when it is unique and the node sits at the position, which is the answer
    // the position search gives then too; anything else takes the search.
    TNode* FindNode(std::int32_t x, std::int32_t y, std::int32_t serial) const {
        if (serial > shift_) {
            const auto index = static_cast<std::size_t>(serial - shift_);
            if (index < bySerial_.size() && bySerial_[index] != nullptr && bySerial_[index] != kAmbiguous &&
                bySerial_[index]->IsAt(x, y)) {
                return bySerial_[index];
            }
        }
        TNode* n = nullptr;
        if (!net_.Hash.SearchInput(n, x, y, serial))
            return nullptr;
        return n;
    }

    // The node of this file with a serial (shifted) when no other node has it, else null.
    TNode* OnlyNodeWithSerial(std::int32_t serial) const {
        if (serial <= shift_)
            return nullptr;
        const auto index = static_cast<std::size_t>(serial - shift_);
        if (index >= bySerial_.size() || bySerial_[index] == kAmbiguous)
            return nullptr;
        return bySerial_[index];
    }

    // Whether a link joins two nodes, in either direction, and a half of it. Looked up from the end
    // with fewer links, so that a node with very many links does not slow down every record at it.
    static bool Joined(const TNode& a, const TNode& b, TLink*& half) {
        return a.LinkList.size() <= b.LinkList.size() ? a.LinkList.FindLink(&b, half)
                                                      : b.LinkList.FindLink(&a, half);
    }

    // Remembers a node read from this file under its serial as written.
    void NoteSerial(TNode* node, std::int32_t serial) {
        if (serial <= 0 || serial > kMaxIndexedSerial)
            return;
        const auto index = static_cast<std::size_t>(serial);
        if (index >= bySerial_.size())
            bySerial_.resize(std::max(index + 1, bySerial_.size() * 2), nullptr);
        bySerial_[index] = bySerial_[index] == nullptr ? node : kAmbiguous;
    }

    void InsertParsedLink(const Batch& batch, const ParsedLink& p) {
        const TEntityType& et = net_.LinkDef.TypeOf(p.type);
        if (p.aSerial == -1 && p.bSerial == -1) {
            templateLinkRead_ = true;
            TLinkValues& t = net_.InitialLink;
            t.LType = static_cast<std::uint8_t>(p.type);
            t.alabel = CutText(p.name, kMaxNameLength);
            t.ResizeValues(et.atcount);
            TakeValues(batch, p.values, p.valueCount, p.texts, p.textCount, et, t.LValue.get(),
                       t.ValueCount(), t.AttString);
            return;
        }
        TNode* a = FindNode(p.ax, p.ay, Shifted(p.aSerial));
        TNode* b = FindNode(p.bx, p.by, Shifted(p.bSerial));
        if (a == nullptr || b == nullptr)
            return;
        TLink* existing = nullptr;
        if (a == b) {
            ++looped_;
            return;
        }
        if (Joined(*a, *b, existing)) {
            ++redundant_;
            return;
        }
        TLink* l1 = nullptr;
        TLink* l2 = nullptr;
        TLinkValues* link = net_.Hash.InsertLink(*a, *b, l1, l2, et.atcount, false);
        ClearDisplay(*link);
        link->IsDrawnL = true;
        link->Mark = false;
        link->HasALabel = false;
        link->serial = 0;
        link->IsNodeDelete = true;
        link->LType = static_cast<std::uint8_t>(p.type);
        link->alabel = CutText(p.name, kMaxNameLength);
        TakeValues(batch, p.values, p.valueCount, p.texts, p.textCount, et, link->LValue.get(),
                   link->ValueCount(), link->AttString);
        for (std::uint32_t i = 0; i < p.shapeCount; ++i) {
            const ParsedShape& sp = batch.shapes[p.shapes + i];
            TShapePoint* point = net_.Hash.InsertShapePoint(
                sp.x, sp.y, *link, static_cast<std::int32_t>(link->ShapePoints.size()));
            if (point == nullptr)
                throw ReadStop{kFileOutOfMemory};
            point->long_ = sp.lon;
            point->lat = sp.lat;
            point->elev = sp.elev;
            if (THashEntry* cell = net_.Hash.Address(sp.x, sp.y))
                cell->updatelonglat(*point);
        }
        // The cell of A keeps the largest link extent leaving it.
        if (THashEntry* cell = net_.Hash.Address(a->x_cent, a->y_cent)) {
            cell->xdist = std::max(cell->xdist, ClampToInt32(link->LinkRect.Width()));
            cell->ydist = std::max(cell->ydist, ClampToInt32(link->LinkRect.Height()));
        }
    }

    void ReadExtents() {
        std::int32_t xmax = Int();
        std::int32_t xmin = Int();
        std::int32_t ymax = Int();
        std::int32_t ymin = Int();
        r_.SkipLine();
        auto clamp = [](std::int32_t v) { return std::clamp(v, -kPlaneLimit, kPlaneLimit); };
        fileExtents_ = TRect{clamp(xmin), clamp(ymin), clamp(xmax), clamp(ymax)};
        haveExtents_ = true;
        window_.XMin = std::min(window_.XMin, fileExtents_.left);
        window_.YMin = std::min(window_.YMin, fileExtents_.top);
        window_.XMax = std::max(window_.XMax, fileExtents_.right);
        window_.YMax = std::max(window_.YMax, fileExtents_.bottom);
    }

    void ReadPolygonSearch() {
        std::string text = Line();
        if (v_ < 8 && text.size() > 30)
            text.resize(30);
        const std::int32_t serial = Int();
        const std::int32_t x = Int();
        const std::int32_t y = Int();
        std::array<bool, 4> flags{};
        for (bool& f : flags)
            f = Int() != 0;
        r_.SkipLine();
        if (append_)
            return; // the window keeps its own polygon search
        window_.PolygonSearchString = text;
        window_.PolygonSearchNode =
            (serial > 0 && InPlane(x) && InPlane(y)) ? FindNode(x, y, serial) : nullptr;
        window_.PolygonSearchbyNode = flags[0];
        window_.PolygonSearchbyLink = flags[1];
        window_.PolygonSearchOutside = flags[2];
        window_.PolygonSearch2Ends = flags[3];
    }

    struct DisplayFields {
        std::int32_t font, place, sel1, sel2, suppress;
        std::int32_t notesFlag = 0, xoff = 0, yoff = 0, bitmap = 0, feature = 0;
    };

    DisplayFields ReadDisplayFields() {
        DisplayFields d{};
        d.font = Int();
        d.place = Int();
        d.sel1 = Int();
        d.sel2 = Int();
        d.suppress = Int();
        return d;
    }
    void ReadDisplayTail(DisplayFields& d) {
        if (v_ >= 7) {
            d.notesFlag = Int();
            d.xoff = Int();
            d.yoff = Int();
            d.bitmap = Int();
        }
        if (v_ >= 8)
            d.feature = Int();
    }

    static std::int32_t InRange(std::int32_t v, std::int32_t hi) { return (v >= 0 && v <= hi) ? v : 0; }

    // The fields a display record holds in every version.
    template <class Element> void ApplyLabelFields(Element& e, const DisplayFields& d) const {
        e.Font = static_cast<std::uint8_t>(InRange(d.font, 10));
        e.Place = static_cast<std::uint8_t>(InRange(d.place, 7));
        e.selectlabel[0] = static_cast<std::uint8_t>(InRange(LabelCodeOnRead(d.sel1, v_), 110));
        e.selectlabel[1] = static_cast<std::uint8_t>(InRange(LabelCodeOnRead(d.sel2, v_), 110));
        e.Suppress = d.suppress != 0;
    }
    template <class Element> void ApplyOffsets(Element& e, const DisplayFields& d) const {
        e.XOffset = static_cast<std::int16_t>(std::clamp(d.xoff, -32768, 32767));
        e.YOffset = static_cast<std::int16_t>(std::clamp(d.yoff, -32768, 32767));
        e.BitmapOverride = static_cast<std::uint8_t>(InRange(d.bitmap, 250));
    }

    // An element's display fields from its record; what an older version does not hold becomes 0.
    template <class Element> void ApplyDisplay(Element& e, const DisplayFields& d) const {
        ApplyLabelFields(e, d);
        ApplyOffsets(e, d);
        e.IsFeature = v_ >= 8 && d.feature != 0;
    }

    static std::uint8_t PolygonStyleOnRead(std::int32_t style, int v) {
        const auto s = static_cast<std::uint8_t>(InRange(style, 40));
        return v < 6 ? std::min<std::uint8_t>(s, 10) : s;
    }

    // A template display record of an appended file, kept until the file has been read whole.
    struct HeldDisplay {
        bool held = false;
        DisplayFields fields{};
        std::int32_t style = 0;
        std::string notes;
    };

    // A window template's display fields from a held record: only the fields this version's records
    // hold are replaced (notes included from version 7 on: a record without them says there are none).
    template <class Element> void ApplyHeldDisplay(Element& e, const HeldDisplay& h) const {
        if (!h.held)
            return;
        ApplyLabelFields(e, h.fields);
        if (v_ >= 7) {
            ApplyOffsets(e, h.fields);
            e.notes = h.notes;
        }
        if (v_ >= 8)
            e.IsFeature = h.fields.feature != 0;
    }

public:
    // Gives the window's templates what an appended file holds for them: the type, name and values of
    // its template element records and the display fields of its template display records. Where the
    // file holds no such record (before version 6 it holds none), the window's template keeps all it
    // had.
    void ApplyTemplates(const TNetwork& scratch, TNetwork& net) const {
        if (templateNodeRead_) {
            const TNode& from = scratch.InitialNode;
            TNode& to = net.InitialNode;
            to.NType = from.NType;
            to.alabel = from.alabel;
            to.ResizeValues(from.ValueCount());
            std::copy_n(from.NValue.get(), from.ValueCount(), to.NValue.get());
            to.AttString = from.AttString;
        }
        if (templateLinkRead_) {
            const TLinkValues& from = scratch.InitialLink;
            TLinkValues& to = net.InitialLink;
            to.LType = from.LType;
            to.alabel = from.alabel;
            to.ResizeValues(from.ValueCount());
            std::copy_n(from.LValue.get(), from.ValueCount(), to.LValue.get());
            to.AttString = from.AttString;
        }
        ApplyHeldDisplay(net.InitialNode, nodeTemplateDisplay_);
        if (nodeTemplateDisplay_.held)
            net.InitialNode.PolygonStyle = PolygonStyleOnRead(nodeTemplateDisplay_.style, v_);
        ApplyHeldDisplay(net.InitialLink, linkTemplateDisplay_);
    }

private:
    // Records up to the terminator, which every version writes: the end of the data before it is a
    // read error.
    void ReadNodeDisplay() {
        while (true) {
            const std::int32_t serial = Int();
            if (serial == 0) {
                r_.SkipLine();
                return;
            }
            const std::int32_t x = Int();
            const std::int32_t y = Int();
            DisplayFields d = ReadDisplayFields();
            const std::int32_t style = Int();
            const std::int32_t vertices = Count();
            ReadDisplayTail(d);
            r_.SkipLine();
            TNode* node = nullptr;
            const bool heldTemplate = serial == -1 && append_;
            if (heldTemplate) {
                nodeTemplateDisplay_ = HeldDisplay{true, d, style, {}};
            } else if (serial == -1) {
                node = &net_.InitialNode;
            } else if (InPlane(x) && InPlane(y)) {
                node = FindNode(x, y, Shifted(serial));
            } else {
                Fail();
            }
            if (node != nullptr) {
                ApplyDisplay(*node, d);
                node->PolygonStyle = PolygonStyleOnRead(style, v_);
            }
            for (std::int32_t i = 0; i < vertices; ++i) {
                TNetworkPoint* vertex = ReadVertex();
                if (node == nullptr || vertex == nullptr || serial == -1)
                    continue;
                std::int32_t at = 0;
                if (node->MyPolygonList.IsInList(vertex, at))
                    continue;
                node->MyPolygonList.Add(vertex);
                vertex->YourPolygonList.Add(node);
            }
            if (node != nullptr && serial != -1)
                node->UpdateRectangle(net_.Hash);
            if (v_ >= 7 && d.notesFlag != 0) {
                std::string notes = Line();
                if (heldTemplate) {
                    nodeTemplateDisplay_.notes = std::move(notes);
                } else if (node != nullptr) {
                    node->notes = notes;
                }
            }
        }
    }

    TNetworkPoint* ReadVertex() {
        const std::int32_t serial = Int();
        const std::int32_t x = Coordinate();
        const std::int32_t y = Coordinate();
        if (v_ < 7) {
            r_.SkipLine();
            return serial > 0 ? FindNode(x, y, Shifted(serial)) : nullptr;
        }
        const std::int32_t aSerial = Int();
        const std::int32_t bSerial = Int();
        const std::int32_t index = Int();
        const std::int32_t ax = Int();
        const std::int32_t ay = Int();
        const std::int32_t bx = Int();
        const std::int32_t by = Int();
        r_.SkipLine();
        if (serial > 0)
            return FindNode(x, y, Shifted(serial));
        if (!InPlane(ax) || !InPlane(ay) || !InPlane(bx) || !InPlane(by))
            Fail();
        TNode* a = FindNode(ax, ay, Shifted(aSerial));
        TNode* b = FindNode(bx, by, Shifted(bSerial));
        if (a == nullptr || b == nullptr)
            return nullptr;
        TLink* half = nullptr;
        if (!Joined(*a, *b, half))
            return nullptr;
        const TLinkValues& link = *half->LinkData;
        if (index < 0 || static_cast<std::uint32_t>(index) >= link.ShapePoints.size())
            return nullptr;
        return link.ShapePoints[static_cast<std::uint32_t>(index)];
    }

    // Records up to the terminator. Version 9 writes none: its data may end after any whole record
    // (blank lines at the very end included); older versions must reach the terminator.
    // The link a display record names: A by position and serial, then the first link at A whose other
    // end has the B serial. When only one node has that serial, that is the link joining A to it.
    TLinkValues* FindLink(std::int32_t ax, std::int32_t ay, std::int32_t aSerial,
                          std::int32_t bSerial) const {
        TNode* a = FindNode(ax, ay, aSerial);
        if (a == nullptr)
            return nullptr;
        TLink* half = nullptr;
        if (const TNode* b = OnlyNodeWithSerial(bSerial)) {
            if (!Joined(*a, *b, half))
                return nullptr;
        } else if (!a->LinkList.FindLinkSerial(bSerial, half)) {
            return nullptr;
        }
        return half->LinkData;
    }

    void ReadLinkDisplay() {
        while (true) {
            if (r_.AtEnd()) {
                if (v_ == 9)
                    return;
                Fail();
            }
            std::int32_t aSerial = 0;
            if (!r_.ReadInt(aSerial)) {
                if (v_ != 9)
                    Fail();
                // Blank lines at the very end of a file without terminator.
                std::string rest;
                while (r_.ReadLine(rest)) {
                    if (rest.find_first_not_of(" \t") != std::string::npos)
                        Fail();
                }
                return;
            }
            if (aSerial == 0) {
                r_.SkipLine();
                return;
            }
            const std::int32_t bSerial = Int();
            const std::int32_t ax = Int();
            const std::int32_t ay = Int();
            DisplayFields d = ReadDisplayFields();
            ReadDisplayTail(d);
            r_.SkipLine();
            TLinkValues* link = nullptr;
            const bool heldTemplate = aSerial == -1 && bSerial == -1 && append_;
            if (heldTemplate) {
                linkTemplateDisplay_ = HeldDisplay{true, d, 0, {}};
            } else if (aSerial == -1 && bSerial == -1) {
                link = &net_.InitialLink;
            } else if (InPlane(ax) && InPlane(ay)) {
                link = FindLink(ax, ay, Shifted(aSerial), Shifted(bSerial));
            } else {
                Fail();
            }
            if (link != nullptr)
                ApplyDisplay(*link, d);
            if (v_ >= 7 && d.notesFlag != 0) {
                std::string notes = Line();
                if (heldTemplate) {
                    linkTemplateDisplay_.notes = std::move(notes);
                } else if (link != nullptr) {
                    link->notes = notes;
                }
            }
        }
    }

    // Nodes of this file by serial (as written); serials used twice are marked and searched for.
    static constexpr std::int32_t kMaxIndexedSerial = 50000000;
    inline static TNode* const kAmbiguous = reinterpret_cast<TNode*>(alignof(TNode));
    std::vector<TNode*> bySerial_;

    std::mutex queueMutex_;
    std::condition_variable queueChanged_;
    std::deque<std::unique_ptr<Batch>> queue_;
    bool stopParsing_ = false;
    bool parserStopped_ = false;
    int parserError_ = kFileOK;

    TFileReader r_;
    TNetwork& net_;
    TWindowSettings& window_;
    bool append_;
    int v_ = 0;
    std::int32_t shift_ = 0;
    int redundant_ = 0;
    int looped_ = 0;
    std::int32_t largestSerial_ = 0;
    std::array<double, kSystemAttributes> systemValues_{};
    int systemCount_ = 0;
    bool haveExtents_ = false;
    TRect fileExtents_;
    // What an appended file holds for the window's templates.
    bool templateNodeRead_ = false;
    bool templateLinkRead_ = false;
    HeldDisplay nodeTemplateDisplay_;
    HeldDisplay linkTemplateDisplay_;
};

// The derived data every read leaves consistent. Reading a file keeps rectangles, distances and
// long/lat bounds up to date as it inserts; a merge recomputes them.
void FinishRead(TNetwork& net, TWindowSettings& window, bool recompute) {
    net.Hash.Rebalance(window);
    if (recompute)
        net.Hash.FixAll(window);
    net.NodeDef.ResetStringPosList();
    net.LinkDef.ResetStringPosList();
}

// Moves every point of a scratch network into the window's table where reading the file into the
// window would have put it: the file's nodes behind the points already at their positions, in file
// order, its shape points in front of them. Links travel with their nodes. When a node does not fit
// even after the grid has been rebalanced, every point goes back where it was and the result is false.
bool MergePoints(TNetwork& scratch, TNetwork& net, const TWindowSettings& window) {
    const std::vector<TNetworkPoint*> points = scratch.Hash.TakePoints();
    THashTable& table = net.Hash;
    const std::int32_t xCell = table.MyXCellSize;
    const std::int32_t yCell = table.MyYCellSize;
    const bool enlarged = table.GridEnlarged;
    const bool shrunk = table.GridShrunk;
    TWindowSettings grid = window; // a rebalance on the way recomputes extents the merge settles later
    bool fits = true;
    table.BeginLoad();
    for (TNetworkPoint* p : points) {
        if (p->IsShapePoint() || table.PlacePoint(*p, true))
            continue;
        table.Rebalance(grid);
        if (!table.PlacePoint(*p, true)) {
            fits = false;
            break;
        }
    }
    // Each shape point goes in front of those placed before it: the last first keeps their order.
    for (auto p = points.rbegin(); fits && p != points.rend(); ++p) {
        if ((*p)->IsShapePoint() && !table.PlacePoint(**p, false))
            fits = false;
    }
    table.EndLoad();
    if (!fits) {
        const std::unordered_set<const TNetworkPoint*> appended(points.begin(), points.end());
        std::vector<TNetworkPoint*> own = table.TakePoints();
        std::erase_if(own, [&](const TNetworkPoint* p) { return appended.count(p) != 0; });
        table.MyXCellSize = xCell;
        table.MyYCellSize = yCell;
        table.RestorePoints(own);
        table.GridEnlarged = enlarged;
        table.GridShrunk = shrunk;
        table.ResetDistances();
        table.fixrectangles(grid);
        table.fixlonglat();
        scratch.Hash.RestorePoints(points);
        return false;
    }
    for (const TNetworkPoint* p : points) {
        if (const TNode* n = p->AsNode()) {
            for (const TLink* half : n->LinkList) {
                if (half->IsAEnd())
                    ++net.NumberOfLinks;
            }
        }
    }
    return true;
}

void IncludeExtents(TWindowSettings& window, const TRect& r) {
    window.XMin = std::min(window.XMin, r.left);
    window.YMin = std::min(window.YMin, r.top);
    window.XMax = std::max(window.XMax, r.right);
    window.YMax = std::max(window.YMax, r.bottom);
}

} // namespace

int VersionOfHeader(std::string_view line) {
    for (const auto& [v, header] : kHeaders) {
        if (line == header)
            return v;
    }
    return 0;
}

const char* HeaderOfVersion(int version) {
    for (const auto& [v, header] : kHeaders) {
        if (v == version)
            return header;
    }
    return nullptr;
}

const char* ExtensionOfVersion(int version) {
    switch (version) {
    case 1:
        return ".dt1";
    case 3:
        return ".dt2";
    case 4:
        return ".dt3";
    case 5:
        return ".dt4";
    case 6:
        return ".dt5";
    case 7:
        return ".dt6";
    case 8:
        return ".dt7";
    default:
        return ".dta";
    }
}

TReadReport ReadNetworkText(std::string data, TNetwork& net, TWindowSettings& window) {
    TReadReport report;
    NetworkReader reader(std::move(data), net, window, false);
    net.Hash.GridEnlarged = net.Hash.GridShrunk = false;
    try {
        report.version = reader.Header();
        reader.ApplicationPart();
        window.XMin = window.YMin = 512000;
        window.XMax = window.YMax = -512000;
        reader.NetworkPart(net.NumberOfNodes);
    } catch (const ReadStop& stop) {
        report.code = stop.code;
    } catch (const std::bad_alloc&) {
        report.code = kFileOutOfMemory;
    }
    report.redundantLinks = reader.Redundant();
    report.loopedLinks = reader.Looped();
    net.NumberOfNodes = std::max(net.NumberOfNodes, reader.LargestSerial());
    FinishRead(net, window, false);
    if (reader.HaveFileExtents())
        IncludeExtents(window, reader.FileExtents());
    if (report.code == kFileOK || report.code == kFileOutOfMemory) {
        window.XScroll = 10 - window.XMin;
        window.YScroll = 10 - window.YMin;
        window.CurPosX = window.XMin + 10;
        window.CurPosY = window.YMin + 10;
    }
    return report;
}

TReadReport OpenNetworkFile(const std::string& path, TNetwork& net, TWindowSettings& window) {
    std::string data;
    if (!LoadFile(path, data)) {
        TReadReport report;
        report.code = kFileFormatError;
        return report;
    }
    return ReadNetworkText(std::move(data), net, window);
}

TReadReport AppendNetworkText(std::string data, TNetwork& net, TWindowSettings& window,
                              bool useAppendedSystemValues) {
    TReadReport report;
    // The file is read into a scratch network with this network's schemas and merged only on success.
    TNetwork scratch;
    scratch.NodeDef = net.NodeDef.Duplicate();
    scratch.LinkDef = net.LinkDef.Duplicate();
    scratch.SystemDef = net.SystemDef.Duplicate();
    scratch.NumberOfNodes = net.NumberOfNodes;
    TWindowSettings scratchWindow = window;
    NetworkReader reader(std::move(data), scratch, scratchWindow, true);
    try {
        report.version = reader.Header();
        reader.ApplicationPartForAppend();
        reader.NetworkPart(net.NumberOfNodes);
    } catch (const ReadStop& stop) {
        report.code = stop.code;
    } catch (const std::bad_alloc&) {
        report.code = kFileOutOfMemory;
    }
    report.redundantLinks = reader.Redundant();
    report.loopedLinks = reader.Looped();
    if (report.code != kFileOK)
        return report;

    if (!MergePoints(scratch, net, window)) {
        report.code = kFileOutOfMemory;
        return report;
    }
    net.NumberOfNodes = std::max(scratch.NumberOfNodes, reader.LargestSerial());
    reader.ApplyTemplates(scratch, net);
    if (useAppendedSystemValues) {
        // An older file holds 10 system values: the others stay.
        const auto& values = reader.AppendedSystemValues();
        std::copy_n(values.begin(), reader.AppendedSystemCount(), net.SystemValues.begin());
    }
    const TRect before{window.XMin, window.YMin, window.XMax, window.YMax};
    FinishRead(net, window, true);
    IncludeExtents(window, before);
    net.Modified = true;
    return report;
}

TReadReport AppendNetworkFile(const std::string& path, TNetwork& net, TWindowSettings& window,
                              bool useAppendedSystemValues) {
    std::string data;
    if (!LoadFile(path, data)) {
        TReadReport report;
        report.code = kFileFormatError;
        return report;
    }
    return AppendNetworkText(std::move(data), net, window, useAppendedSystemValues);
}

std::string WriteNetworkText(TNetwork& net, const TWindowSettings& window, int version, int& realErrors) {
    if (HeaderOfVersion(version) == nullptr)
        version = kCurrentVersion;
    NetworkWriter writer(net, window, version);
    std::string text = writer.Write();
    realErrors = writer.RealErrors();
    return text;
}

TWriteReport SaveNetworkFile(const std::string& path, TNetwork& net, const TWindowSettings& window,
                             int version) {
    TWriteReport report;
    if (HeaderOfVersion(version) == nullptr)
        version = kCurrentVersion;
    TSafeFile file(path);
    if (!file.IsOpen()) {
        report.created = false;
        report.code = kFileWriteError;
        return report;
    }
    try {
        NetworkWriter writer(net, window, version, file);
        writer.Write();
        report.realErrors = writer.RealErrors();
        if (!file.Commit())
            report.code = kFileWriteError;
    } catch (const std::bad_alloc&) {
        report.code = kFileWriteError;
    }
    if (report.code == kFileOK)
        net.Modified = false;
    return report;
}

std::string DroppedLinksMessage(const TReadReport& report) {
    if (!report.DroppedLinks())
        return {};
    return "Illegal Links Detected.\nRedundant Links = " + std::to_string(report.redundantLinks) +
           "\nLooped Links = " + std::to_string(report.loopedLinks);
}

std::string ReadErrorMessage(const TReadReport& report) {
    if (report.code == kFileOK)
        return {};
    if (report.code == kFileOutOfMemory)
        return "Memory limits exceeded.";
    return "Network will be closed.";
}

std::string AppendErrorMessage(const TReadReport& report) {
    return report.code == kFileOK ? std::string() : std::string("The file was not appended.");
}

} // namespace zan
