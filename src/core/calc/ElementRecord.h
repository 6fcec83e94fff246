// The inputs an expression reads for one node or link: its attribute values in the slots of an
// evaluationrecord, each slot's kind from the attribute's format letter, and the texts of its string
// attributes. Made for evaluating the same expressions for many elements in a row (every redraw):
// the kinds are written once per entity type, and each element only writes its own value slots and
// string texts.
#pragma once

#include <cstdint>
#include <vector>

#include "calc/Expression.h"

namespace zan {

class TNetwork;
class TNode;
struct TLinkValues;
struct TWindowSettings;
struct TEntityType;

// The slot kind of an attribute format letter: R and I 0 (an I value is rounded when loaded), C the
// code width (the category's variable count, 1..8; a category without variables reads its eight
// blanks as a one-character code), D 16, X 17, T 18, S 19. An unknown letter reads as a number.
std::int32_t SlotKindOf(char aformat, std::int32_t wcount);

class TElementRecord {
public:
    TElementRecord() = default;

    // Loads a node of `net`: attribute i (1..atcount of its type) into slot i, slot 0 the node's
    // layer (the word LAYER reads it), and the texts of its string attributes. Values the node does
    // not carry read 0, missing texts read empty. Integer attributes are rounded to whole numbers,
    // halves to even.
    void LoadNode(const TNetwork& net, const TNode& node);
    // The same for a link; slot 0 holds 0.
    void LoadLink(const TNetwork& net, const TLinkValues& link);
    // Makes every slot a number 0 and every text empty; the next load rewrites all kinds. Needed
    // when the schema changed while this object was kept.
    void Reset();

    // The record, for reading, or for callers that fill the slots themselves.
    const evaluationrecord& Record() const { return record_; }
    evaluationrecord& Record() { return record_; }
    const stringsetarray& Texts() const { return texts_; }

private:
    // Prepares the kinds, the zeroed value slots and the cleared texts for elements of `type`.
    void SelectType(const TEntityType& type);
    void LoadValues(const double* values, std::int32_t valueCount, const TStringList& strings);

    evaluationrecord record_;
    stringsetarray texts_;
    const TEntityType* type_ = nullptr; // the type whose kinds the record holds
    int count_ = 0;                     // value slots 1..count_ belong to that type
    std::vector<std::uint8_t> integerSlots_;
    struct TStringSlot {
        std::uint8_t slot;
        std::uint8_t stringloc;
    };
    std::vector<TStringSlot> stringSlots_;
};

} // namespace zan
