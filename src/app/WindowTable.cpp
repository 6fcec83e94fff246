#include "app/WindowTable.h"

#include <algorithm>

#include "app/CommandRules.h"
#include "files/RecentFiles.h"
#include "model/Network.h"

namespace zan {

namespace {

// A window's caption for its file: the name without folders, at most 80 characters.
std::string CaptionOfName(const std::string& name) {
    return FileNameOfPath(name).substr(0, 80);
}

std::string ViewCaption(int number, const std::string& baseName) {
    return "View " + std::to_string(number) + " of " + FileNameOfPath(baseName);
}

} // namespace

std::string FileNameOfPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsEmptyNetwork(const TNetwork& net) {
    const TNetworkFacts f = FactsOf(net);
    return !f.NodeTypesExist && !f.LinkTypesExist && !f.SystemAttributesExist && !f.HasNodes;
}

std::optional<TWindowId> TWindowTable::Append(TWindowEntry entry) {
    if (!CanCreate())
        return std::nullopt;
    entry.Id = nextId_++;
    active_ = entry.Id;
    entries_.push_back(std::make_unique<TWindowEntry>(std::move(entry)));
    return active_;
}

std::optional<TWindowId> TWindowTable::Create(const std::string& name, std::shared_ptr<TNetwork> network) {
    if (!CanCreate())
        return std::nullopt;
    TWindowEntry e;
    e.Network = network ? std::move(network) : std::make_shared<TNetwork>();
    e.CurrentName = name;
    e.Caption = CaptionOfName(name);
    return Append(std::move(e));
}

std::optional<TWindowId> TWindowTable::CreateView(TWindowId of) {
    TWindowEntry* base = Find(BaseOf(of));
    if (base == nullptr || !CanCreate())
        return std::nullopt;
    TWindowEntry e;
    e.Network = base->Network;
    e.CurrentName = base->CurrentName;
    e.AllowClose = base->AllowClose;
    e.BaseId = base->Id;
    ++base->ViewCount;
    base->IsBase = true;
    e.ViewNumber = base->ViewCount;
    e.Caption = ViewCaption(e.ViewNumber, base->CurrentName);
    return Append(std::move(e));
}

TWindowEntry* TWindowTable::Find(TWindowId id) {
    for (auto& e : entries_) {
        if (e->Id == id)
            return e.get();
    }
    return nullptr;
}

const TWindowEntry* TWindowTable::Find(TWindowId id) const {
    return const_cast<TWindowTable*>(this)->Find(id);
}

int TWindowTable::Number(TWindowId id) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i]->Id == id)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

TWindowId TWindowTable::IdAt(int number) const {
    if (number < 1 || number > Count())
        return kNoWindow;
    return entries_[static_cast<std::size_t>(number - 1)]->Id;
}

std::vector<TWindowId> TWindowTable::Ids() const {
    std::vector<TWindowId> ids;
    ids.reserve(entries_.size());
    for (const auto& e : entries_)
        ids.push_back(e->Id);
    return ids;
}

bool TWindowTable::Activate(TWindowId id) {
    if (Find(id) == nullptr)
        return false;
    active_ = id;
    return true;
}

TWindowId TWindowTable::BaseOf(TWindowId id) const {
    const TWindowEntry* e = Find(id);
    if (e == nullptr)
        return kNoWindow;
    return e->HasBase() ? e->BaseId : e->Id;
}

std::vector<TWindowId> TWindowTable::SameBase(TWindowId id) const {
    std::vector<TWindowId> ids;
    const TWindowId base = BaseOf(id);
    if (base == kNoWindow)
        return ids;
    for (const auto& e : entries_) {
        if (e->Id == base || e->BaseId == base)
            ids.push_back(e->Id);
    }
    return ids;
}

void TWindowTable::SetName(TWindowId id, const std::string& name) {
    for (TWindowId other : SameBase(id)) {
        TWindowEntry* e = Find(other);
        e->CurrentName = name;
        e->Caption = e->HasBase() ? ViewCaption(e->ViewNumber, name) : CaptionOfName(name);
    }
}

void TWindowTable::SetAllowClose(TWindowId id, bool allow) {
    for (TWindowId other : SameBase(id))
        Find(other)->AllowClose = allow;
}

TCloseDecision TWindowTable::DecideClose(TWindowId id, bool busy) const {
    if (busy)
        return {TCloseAction::Refuse, "Stop Calculate before closing.", "Calculate"};
    const TWindowEntry* e = Find(id);
    if (e == nullptr || e->AllowClose)
        return {TCloseAction::Close, {}, {}};
    return {TCloseAction::Ask, "Do you want to save?", "Close: " + e->Caption};
}

TSaveOnClose TWindowTable::SaveOnClose(TWindowId id) const {
    const TWindowEntry* e = Find(id);
    if (e != nullptr && e->CurrentName == kDefaultName)
        return TSaveOnClose::SaveAs;
    return TSaveOnClose::Save;
}

std::vector<TWindowId> TWindowTable::Remove(TWindowId id) {
    std::vector<TWindowId> removed;
    const TWindowEntry* e = Find(id);
    if (e == nullptr)
        return removed;
    removed.push_back(id);
    const TWindowId base = e->BaseId;
    for (const auto& other : entries_) {
        if (other->BaseId == id)
            removed.push_back(other->Id);
    }
    std::erase_if(entries_, [&](const std::unique_ptr<TWindowEntry>& x) {
        return std::find(removed.begin(), removed.end(), x->Id) != removed.end();
    });
    if (base != kNoWindow && SameBase(base).size() == 1)
        Find(base)->IsBase = false;
    if (std::find(removed.begin(), removed.end(), active_) != removed.end())
        active_ = kNoWindow;
    return removed;
}

std::vector<TWindowId> TWindowTable::UntouchedWindows(TWindowId except) const {
    std::vector<TWindowId> ids;
    for (const auto& e : entries_) {
        if (e->Id != except && e->CurrentName == kDefaultName && e->Network && IsEmptyNetwork(*e->Network))
            ids.push_back(e->Id);
    }
    return ids;
}

TShutdownResult TWindowTable::Shutdown(const std::function<bool(const TWindowEntry&)>& agreesToClose) {
    TShutdownResult result;
    std::vector<TWindowId> agreed;
    // A snapshot: the answers may run event loops (message boxes, saving).
    for (TWindowId id : Ids()) {
        const TWindowEntry* e = Find(id);
        if (e == nullptr)
            continue;
        if (e->HasBase() && std::find(agreed.begin(), agreed.end(), e->BaseId) != agreed.end())
            continue;
        if (!agreesToClose(*e))
            return result;
        agreed.push_back(id);
    }
    result.Proceed = true;
    result.Removed = Ids();
    entries_.clear();
    active_ = kNoWindow;
    return result;
}

} // namespace zan
