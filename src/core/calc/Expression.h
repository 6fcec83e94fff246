// The expression language: one line of at most 255 characters that yields one number. It reads
// the attributes and built-in properties of one element (node, link or the system), system
// attributes, calculate-program parameters and variables, and literal numbers, texts and dates.
//
// Evaluation has two stages. TranslateNames upper-cases nothing itself; it replaces every
// attribute alias and property name by a reference code ("A3", "S1", "NX"). The translated text is
// then read by a recursive-descent scanner that computes the value as it goes. TExpression keeps
// the translation and, when the text allows, a compiled stack program that gives the same results
// much faster; whatever the program cannot decide is handed back to the scanner.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "schema/AttributeValues.h"

namespace zan {

class TNetwork;
class TNode;
struct TLinkValues;
struct TWindowSettings;

inline constexpr int kSlots = 101;                 // slot-indexed arrays run 0..100
inline constexpr std::size_t kMaxExpression = 255; // characters in an expression and its translation

// Slot kinds, as the caller derives them from an attribute's format letter.
enum : std::int32_t {
    kSlotNumber = 0,    // R, and I after rounding
    kSlotCodeMin = 1,   // C: the code width 1..15
    kSlotCodeMax = 15,  //
    kSlotDateTime = 16, // D
    kSlotDate = 17,     // X
    kSlotTime = 18,     // T
    kSlotString = 19,   // S
};

struct evaluationrecord {
    std::array<double, kSlots> parameters{};
    std::array<double, kSlots> attributes{};
    std::array<double, kSlots> variables{};
    std::array<std::int32_t, kSlots> kinds{};
};

// The text of every string attribute slot: stringsetarray, with the attribute values.
static_assert(std::tuple_size_v<stringsetarray> == kSlots);

// Element contexts of a translation.
enum : int { kContextNode = 0, kContextLink = 1, kContextSystem = 2 };

// Everything an evaluation reads. The element context is "node" when only a node is given, "link"
// when only a link is given, and "system" otherwise.
struct TEvalContext {
    const TNetwork* network = nullptr;       // system values, strings and schemas; null: they read 0
    const TWindowSettings* window = nullptr; // LAYER function and NetworkScale; null: defaults
    const TNode* node = nullptr;
    const TLinkValues* link = nullptr;
    const evaluationrecord* record = nullptr; // null: every slot reads 0
    const stringsetarray* texts = nullptr;    // null: string slots read empty
    std::string_view label;                   // the element's label, read by the code "B"
    const std::string* dialogNotes = nullptr; // note box of an open entity dialog, read by "(" and ")"
    int currentYear = 0;                      // for two-digit and zero years in dates; 0: the clock

    int Context() const;
};

// Replaces aliases and property names in an upper-cased expression by reference codes. Context is
// kContextNode, kContextLink or kContextSystem; entityType is the element's NType or LType (1 for
// the system). In target mode (the left side of a calculate-program assignment) the property names
// are replaced by one name, ENTITY, for parameter 0. When the translation would pass 255
// characters, errorPos receives the 1-based position of the first character whose translation
// does not fit (else 0); the returned text is then the translation so far, uncut.
std::string TranslateNames(std::string_view expression, const TNetwork* net, int entityType, int context,
                           bool targetMode, int& errorPos);

// An expression translated once for one entity type and context, evaluated for many elements.
class TExpression {
public:
    TExpression() = default;

    // Upper-cases letters outside quotes, translates names and drops a leading "+".
    static TExpression Translate(std::string_view text, const TNetwork* net, int entityType, int context,
                                 bool targetMode = false);

    // The value; errorPos receives 0 when the expression is accepted, else the 1-based position of
    // the error in the translated text (counting a dropped leading "+"). A rejected expression with a
    // type error gives 0; otherwise the value read up to where reading stopped.
    double Evaluate(const TEvalContext& ctx, int& errorPos) const;
    // The same, always by the scanner (the reference the compiled program is tested against).
    double EvaluateByScanner(const TEvalContext& ctx, int& errorPos) const;

    // The translated text, with a leading "+" still in place.
    const std::string& Translated() const { return translated_; }
    // Whether a compiled program exists for this text.
    bool IsCompiled() const { return compiled_; }

    // One step of the compiled program.
    struct TOp {
        std::uint8_t code = 0;
        std::uint8_t a = 0; // slot number, function number or property code
        std::uint8_t b = 0; // last slot of a range
        double value = 0;   // constant
    };

private:
    bool RunCompiled(const TEvalContext& ctx, double& result) const;
    void Compile();

    std::string translated_;    // what the caller gets back
    std::string scanned_;       // the same without a leading "+"
    int correction_ = 0;        // 1 when a leading "+" was dropped
    int translateErrorPos_ = 0; // the translation did not fit
    bool compiled_ = false;
    std::vector<TOp> program_;
    std::vector<std::uint8_t> numberSlots_; // attribute slots the program reads as numbers
    std::vector<std::uint8_t> systemSlots_; // system attributes the program reads as numbers
};

// One-shot evaluation: the expression comes back translated. Returns whether it was accepted.
bool EvaluateExpression(std::string& expression, double& result, int& errorPos, const TEvalContext& ctx);

// The value of a real or integer attribute from its worksheet (function types 0..6) for the element
// in `element` (node, link or system; its texts and label as there). Function type 0 evaluates the
// attribute's expression with parameters 0..n = p0..pn and variables 1..n = x1..xn and every other
// slot 0; `result` keeps its value when the expression is rejected or the computation is impossible.
void ComputeWorksheetValue(const TAttrib& attribute, const TWorksheetInputs& inputs, double& result,
                           const TEvalContext& element);

// A number typed into an entry field: a plain number or an expression such as "2*3.5", in system
// context with every slot 0. Returns whether it was accepted.
bool EvaluateNumberEntry(std::string_view text, double& value, int& errorPos);

// The text of the "Expression Error" box: the expression with a blank and two characters 187
// inserted before the error position.
std::string MarkErrorPosition(std::string_view text, int errorPos);

} // namespace zan
