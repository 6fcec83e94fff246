#include "files/RecentFiles.h"

#include <algorithm>
#include <set>

#include "calc/NumberText.h"

namespace zan {

// ---------------------------------------------------------------------------------------------
// Recent files.

const TRecentFile* TRecentFiles::Entry(int n) const {
    if (n < 1 || n > Count())
        return nullptr;
    return &entries_[static_cast<std::size_t>(n - 1)];
}

bool TRecentFiles::UpdateReopen(const std::string& name, const std::string& prefstring) {
    if (name.empty() || name == kDefaultName)
        return false;
    const auto found =
        std::find_if(entries_.begin(), entries_.end(), [&](const TRecentFile& e) { return e.Name == name; });
    if (found != entries_.end())
        entries_.erase(found);
    entries_.insert(entries_.begin(), TRecentFile{name, prefstring});
    if (entries_.size() > static_cast<std::size_t>(kRecentFileCount))
        entries_.resize(kRecentFileCount);
    return true;
}

std::string TRecentFiles::ReopenCaption(int n) const {
    const TRecentFile* e = Entry(n);
    if (e == nullptr)
        return {};
    std::string caption = "&" + std::to_string(n) + "  ";
    for (char c : e->Name) {
        if (c == '&')
            caption += '&';
        caption += c;
    }
    return caption;
}

namespace {

std::string FileKey(int n) {
    return "file" + std::to_string(n);
}
std::string PrefKey(int n) {
    return "filepref" + std::to_string(n);
}

} // namespace

void TRecentFiles::Load(const TSettingsStore& store) {
    entries_.clear();
    const std::vector<std::string> listed = store.ValueNames();
    const std::set<std::string> names(listed.begin(), listed.end());
    for (int n = 1; n <= kRecentFileCount; ++n) {
        TRecentFile e;
        if (names.count(FileKey(n)) == 0 || !store.Get(FileKey(n), e.Name) || e.Name.empty())
            break;
        if (names.count(PrefKey(n)) == 0 || !store.Get(PrefKey(n), e.PrefString))
            e.PrefString.clear();
        entries_.push_back(std::move(e));
    }
}

void TRecentFiles::Save(TSettingsStore& store) const {
    for (int n = 1; n <= Count(); ++n) {
        const TRecentFile& e = entries_[static_cast<std::size_t>(n - 1)];
        store.Set(FileKey(n), e.Name);
        store.Set(PrefKey(n), e.PrefString);
    }
}

// ---------------------------------------------------------------------------------------------
// Preference strings.

std::string CreatePrefString(const TPrefFields& f) {
    std::string text;
    auto put = [&](std::int64_t v) {
        text += std::to_string(v);
        text += ',';
    };
    put(f.ZoomState);
    put(f.DarkCursor ? 1 : 0);
    put(f.ShowMargins ? 1 : 0);
    put(f.HorzPosition);
    put(f.VertPosition);
    put(f.SnapDistance);
    put(f.Mode);
    for (const TToolbarPlace& bar : f.Toolbars) {
        if (bar.Shown) {
            put(std::max<std::int32_t>(bar.Row, 0));
            put(bar.Position);
        } else {
            put(-1);
        }
    }
    put(f.AutoBackup ? 1 : 0);
    return text;
}

namespace {

// The fields of a preference string in order, each read up to its ","; the text after the last ","
// is a field too when it is not empty. Past the end every field reads 0.
class TPrefReader {
public:
    explicit TPrefReader(std::string_view text) : text_(text) {}

    std::int32_t Next() {
        if (pos_ >= text_.size())
            return 0;
        std::size_t end = text_.find(',', pos_);
        if (end == std::string_view::npos)
            end = text_.size();
        const std::string_view field = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        std::int32_t value = 0;
        if (!ParseInt32(field, value, true))
            return 0;
        return value;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

TPrefFields ParsePrefString(std::string_view text) {
    TPrefReader in(text);
    TPrefFields f;

    std::int32_t zoom = in.Next();
    if (zoom < 1 || zoom > kZoomStates)
        zoom = 0;
    f.ZoomState = zoom == 0 ? kUnsetZoomState : zoom;
    f.DarkCursor = in.Next() != 0;
    f.ShowMargins = in.Next() != 0;
    f.HorzPosition = in.Next();
    f.VertPosition = in.Next();
    f.SnapDistance = std::clamp<std::int32_t>(in.Next(), kMinSnapDistance, kMaxSnapDistance);
    const std::int32_t mode = in.Next();
    f.Mode = (mode >= 0 && mode <= kLastSketchMode) ? mode : kNoMode;

    for (std::size_t k = 0; k < f.Toolbars.size(); ++k) {
        TToolbarPlace& bar = f.Toolbars[k];
        const std::int32_t row = in.Next();
        if (row < 0) {
            bar = TToolbarPlace{};
            continue;
        }
        const std::int32_t position = in.Next();
        bar = kStartToolbarPlaces[k];
        if (row <= kMaxToolbarRow) {
            bar.Row = row;
            if (position >= 0 && position <= kMaxToolbarPosition)
                bar.Position = position;
        }
    }
    f.AutoBackup = in.Next() == 1;
    return f;
}

std::optional<std::int32_t> ModeToApply(const TPrefFields& fields) {
    if (fields.Mode < 1 || fields.Mode > kLastSketchMode || fields.Mode == kNodeRestoreMode)
        return std::nullopt;
    return fields.Mode;
}

// ---------------------------------------------------------------------------------------------
// Backups.

std::optional<std::string> BackupName(const std::string& currentName) {
    if (currentName == kDefaultName)
        return std::string(kDefaultBackupName);
    if (currentName.empty())
        return std::nullopt;
    std::string backup = currentName;
    backup.back() = '~';
    if (backup == currentName)
        return std::nullopt;
    return backup;
}

bool BackupDue(const TBackupState& s) {
    if (s.FileOperationInProgress || s.ModalBoxOpen || s.LongOperationInProgress)
        return false;
    return s.Modified && s.AutoBackup && s.SecondsSinceCreate > kBackupIntervalSeconds;
}

} // namespace zan
