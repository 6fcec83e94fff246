// The program's own small state around network files: the list of the four most recently closed
// files with the preference string that restores how each one's window looked, the preference
// string itself, and the names and timing of the automatic backup.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/Viewport.h"
#include "geometry/ZoomTable.h"

namespace zan {

// The name of a network that was never saved.
inline constexpr const char* kDefaultName = "noname.DTA";
// The backup name of a network that was never saved (in the current folder).
inline constexpr const char* kDefaultBackupName = "noname.dt~";

inline constexpr int kRecentFileCount = 4;

// Where the application keeps the list between runs (organisation and group of its settings).
inline constexpr const char* kRecentFilesOrganisation = "ZAN7";
inline constexpr const char* kRecentFilesGroup = "ClosedFiles";

// A key/value store of texts, such as the user's settings. Implementations report every failure
// through the return values and never throw.
class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;
    // The value of `name`; false when it does not exist or cannot be read.
    virtual bool Get(const std::string& name, std::string& value) const = 0;
    // Stores `value` under `name`; a store that cannot be written ignores it.
    virtual void Set(const std::string& name, const std::string& value) = 0;
    // The names of all values in the store.
    virtual std::vector<std::string> ValueNames() const = 0;
};

struct TRecentFile {
    std::string Name;       // full file name
    std::string PrefString; // how its window looked when it closed
    bool operator==(const TRecentFile&) const = default;
};

// The recently closed files, the most recent first, at most four. Entry numbers are 1-based.
class TRecentFiles {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    const std::vector<TRecentFile>& Entries() const { return entries_; }
    // Entry n (1..Count()); null outside.
    const TRecentFile* Entry(int n) const;

    // Records a closing window's file: the default name never enters; a name already in the list
    // (exact comparison) moves to the front with the new preference string; a full list drops its
    // last entry. Returns whether the list changed (the "Reopen" menus then need refilling).
    bool UpdateReopen(const std::string& name, const std::string& prefstring);

    // The menu caption of entry n: "&" n "  " path, with any "&" of the path doubled so that it
    // shows as itself. Empty outside 1..Count().
    std::string ReopenCaption(int n) const;

    // Replaces the list by the one in the store. Only "file1".."file4" and "filepref1".."filepref4"
    // are read; the count is the run file1, file2, ... of names that exist, can be read and are not
    // empty; every other value is ignored. A missing preference string reads as empty.
    void Load(const TSettingsStore& store);
    // Writes "file" n and "filepref" n for n = 1..Count(). Values beyond the count stay in the store.
    void Save(TSettingsStore& store) const;

private:
    std::vector<TRecentFile> entries_;
};

// ---------------------------------------------------------------------------------------------
// Preference strings: decimal integers each followed by ",".

// The toolbars whose placement the preference string keeps, in its order.
enum : int { kPrefSketchModes = 0, kPrefSketchOperations = 1, kPrefLabels = 2, kPrefWidths = 3 };
inline constexpr int kPrefToolbars = 4;

inline constexpr int kLastSketchMode = 27;  // edit modes are 0..27
inline constexpr int kNodeRestoreMode = 13; // entered by Node Move only
inline constexpr std::int32_t kNoMode = -1; // a stored mode that switches nothing
inline constexpr int kMaxToolbarRow = 5;    // six toolbars need at most six dock rows
inline constexpr int kMaxToolbarPosition = 32767;
inline constexpr int kUnsetZoomState = 10; // what a zoom state of 0 (or a bad one) becomes

struct TToolbarPlace {
    bool Shown = false;
    std::int32_t Row = 0;      // dock row, when shown
    std::int32_t Position = 0; // position within the row, when shown
    bool operator==(const TToolbarPlace&) const = default;
};

// Where the four toolbars are placed when the program starts.
inline constexpr std::array<TToolbarPlace, kPrefToolbars> kStartToolbarPlaces{{
    {true, 0, 0},   // Sketch Modes
    {true, 1, 0},   // Sketch Operations
    {true, 2, 0},   // Labels
    {true, 2, 234}, // Widths and Sizes
}};

struct TPrefFields {
    std::int32_t ZoomState = kDefaultZoomState; // 1..18
    bool DarkCursor = false;
    bool ShowMargins = false;
    std::int32_t HorzPosition = 0; // scroll positions
    std::int32_t VertPosition = 0;
    std::int32_t SnapDistance = 1;
    std::int32_t Mode = 0; // an edit mode 0..27, or kNoMode
    std::array<TToolbarPlace, kPrefToolbars> Toolbars = kStartToolbarPlaces;
    bool AutoBackup = true;
    bool operator==(const TPrefFields&) const = default;
};

// The text of the fields: zoom, dark cursor, margins, the two scroll positions, snap distance,
// mode, for each toolbar its row and position when shown or -1 alone when hidden, and the auto
// backup flag. A shown toolbar's negative row is written as 0 (it would read back as hidden).
std::string CreatePrefString(const TPrefFields& fields);

// Reads a stored preference string, which may have been edited by hand. Fields are taken in order,
// each up to its ","; a missing, empty or non-numeric field reads 0. Then: a zoom state outside
// 1..18 reads as 0 and a zoom state of 0 becomes 10; a mode outside 0..27 becomes kNoMode; the snap
// distance is clamped to 1..1000; the two flags are set by any value but 0 and the auto backup only by
// 1. A negative row hides a toolbar (one field); any other row shows it, with the position from the
// next field; a row above 5 or a position outside 0..32767 gives the toolbar its start placement.
// The scroll positions are returned as read: the caller clamps them to the window's scroll ranges,
// which only it knows.
TPrefFields ParsePrefString(std::string_view text);

// The mode a window switches to when the preference string is applied: none for kNoMode, for 0
// (the mode every window starts in) and for 13, which only Node Move enters.
std::optional<std::int32_t> ModeToApply(const TPrefFields& fields);

// ---------------------------------------------------------------------------------------------
// Automatic backup.

inline constexpr int kBackupIntervalMs = 900000; // 15 minutes
inline constexpr std::int64_t kBackupIntervalSeconds = kBackupIntervalMs / 1000;

// The backup file of a network: its name with the last character replaced by "~" ("roads.dta" ->
// "roads.dt~"), "noname.dt~" for the default name. None for an empty name, and none when the backup
// name would be the file itself (a name already ending in "~"): the backup must never overwrite the
// user's file.
std::optional<std::string> BackupName(const std::string& currentName);

struct TBackupState {
    bool Modified = false;                // the window has unsaved changes (AllowClose is false)
    bool AutoBackup = true;               // the window's "Auto Backup" is on
    std::int64_t SecondsSinceCreate = 0;  // since its creation or last save
    bool FileOperationInProgress = false; // an Open, Append, Save, ... is running
    bool ModalBoxOpen = false;            // a modal message box is showing
    bool LongOperationInProgress = false; // a calculation, import, plot, ... is running
};

// Whether a backup timer tick writes a backup of the active window: it must be modified, have
// "Auto Backup" on, be more than one interval old, and nothing else may be in progress.
bool BackupDue(const TBackupState& state);

} // namespace zan
