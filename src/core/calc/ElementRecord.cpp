#include "calc/ElementRecord.h"

#include <algorithm>
#include <cstring>

#include "calc/NumberText.h"
#include "model/Network.h"

namespace zan {

std::int32_t SlotKindOf(char aformat, std::int32_t wcount) {
    switch (aformat) {
    case 'C':
        return std::clamp<std::int32_t>(wcount, 1, 8);
    case 'D':
        return kSlotDateTime;
    case 'X':
        return kSlotDate;
    case 'T':
        return kSlotTime;
    case 'S':
        return kSlotString;
    default:
        return kSlotNumber;
    }
}

void TElementRecord::Reset() {
    record_ = evaluationrecord{};
    for (std::string& s : texts_)
        s.clear();
    type_ = nullptr;
    count_ = 0;
    integerSlots_.clear();
    stringSlots_.clear();
}

void TElementRecord::SelectType(const TEntityType& type) {
    if (&type == type_)
        return;
    // Undo what the previous type left behind: its kinds, values and texts.
    for (int i = 1; i <= count_; ++i) {
        record_.kinds[static_cast<std::size_t>(i)] = kSlotNumber;
        record_.attributes[static_cast<std::size_t>(i)] = 0;
    }
    for (const TStringSlot& s : stringSlots_)
        texts_[s.slot].clear();
    integerSlots_.clear();
    stringSlots_.clear();

    type_ = &type;
    count_ = std::clamp<int>(type.atcount, 0, kMaxAttributes);
    for (int i = 1; i <= count_; ++i) {
        const TAttrib* a = type.Attribute(i);
        const char format = a != nullptr ? a->aformat : 'R';
        record_.kinds[static_cast<std::size_t>(i)] = SlotKindOf(format, a != nullptr ? a->wcount : 0);
        if (format == 'I')
            integerSlots_.push_back(static_cast<std::uint8_t>(i));
        else if (format == 'S')
            stringSlots_.push_back({static_cast<std::uint8_t>(i), a->stringloc});
    }
}

void TElementRecord::LoadValues(const double* values, std::int32_t valueCount, const TStringList& strings) {
    const int carried = values != nullptr ? std::clamp<int>(valueCount, 0, count_) : 0;
    double* slots = record_.attributes.data() + 1;
    if (carried > 0)
        std::memcpy(slots, values, static_cast<std::size_t>(carried) * sizeof(double));
    std::fill(slots + carried, slots + count_, 0.0);
    for (const std::uint8_t i : integerSlots_)
        record_.attributes[i] = RoundHalfEven(record_.attributes[i]);
    for (const TStringSlot& s : stringSlots_) {
        if (s.stringloc < strings.size())
            texts_[s.slot].assign(strings[s.stringloc].view());
        else
            texts_[s.slot].clear();
    }
}

void TElementRecord::LoadNode(const TNetwork& net, const TNode& node) {
    SelectType(net.NodeDef.TypeOf(node.NType));
    LoadValues(node.NValue.get(), node.ValueCount(), node.AttString);
    record_.attributes[0] = node.Layer;
}

void TElementRecord::LoadLink(const TNetwork& net, const TLinkValues& link) {
    SelectType(net.LinkDef.TypeOf(link.LType));
    LoadValues(link.LValue.get(), link.ValueCount(), link.AttString);
    record_.attributes[0] = 0;
}

} // namespace zan
