// The table of sketch windows, without any widget: which windows exist in which order, which are
// views of which base, which network each shows, whether each may close without asking, and which
// window is active. The widget layer keeps one widget per entry and finds it by the entry's id; the
// table decides, the widget layer shows boxes and frees widgets.
//
// Ids are stable for the whole run and never reused; a window's number is its 1-based position in
// creation order and changes when an earlier window closes. Code that must survive other windows
// closing (long operations that let events run) holds an id, never a number or an entry pointer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zan {

class TNetwork;

using TWindowId = std::uint64_t; // 0 is no window
inline constexpr TWindowId kNoWindow = 0;

inline constexpr int kMaxSketchWindows = 100;
inline constexpr const char* kWindowLimitText = "At most 100 sketch windows can be open.";
inline constexpr const char* kWindowLimitCaption = "Zan";

struct TWindowEntry {
    TWindowId Id = kNoWindow;
    // Shared by a base window and all its views.
    std::shared_ptr<TNetwork> Network;
    // The file name and the saved state belong to the network: a base and its views always hold
    // the same, so a Save in any of them names and clears all.
    std::string CurrentName;      // full file name, or the default name
    std::string Caption;          // the file name, or "View n of file" for a view
    bool AllowClose = true;       // no unsaved changes
    bool IsBase = false;          // views of this window exist
    TWindowId BaseId = kNoWindow; // the base window of a view
    int ViewCount = 0;            // views made of this window so far (numbers view captions)
    int ViewNumber = 0;           // a view's n in "View n of file"

    bool HasBase() const { return BaseId != kNoWindow; }
};

// What closing a window needs.
enum class TCloseAction {
    Refuse, // show Text with Caption (stop icon); the window stays
    Close,  // close without asking
    Ask,    // ask Text with Caption, yes/no/cancel
};
struct TCloseDecision {
    TCloseAction Action = TCloseAction::Close;
    std::string Text;
    std::string Caption;
};

// How a window is saved when the user answers Yes to "Do you want to save?".
enum class TSaveOnClose {
    SaveAs, // never saved: ask for a name (then reset its creation time)
    Save,   // the File, Save path; the window closes only when that succeeded
};

struct TShutdownResult {
    bool Proceed = false;           // every window agreed; the main window may close
    std::vector<TWindowId> Removed; // windows taken out of the table, in table order
};

class TWindowTable {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    bool CanCreate() const { return Count() < kMaxSketchWindows; }

    // A new window showing `network` (a new empty network when null), named `name` and captioned
    // with it, appended to the table and made active. None when 100 windows exist: the caller shows
    // kWindowLimitText.
    std::optional<TWindowId> Create(const std::string& name, std::shared_ptr<TNetwork> network = nullptr);

    // A new view of `of`, bound to its base when `of` is itself a view. The view shares the base's
    // network, its file name and its saved state, and is captioned "View " n " of " + the base's
    // file name without its folder, where n is the base's view count after it grew by one; the base
    // gets IsBase. The view becomes active. None when `of` does not exist or 100 windows exist.
    std::optional<TWindowId> CreateView(TWindowId of);

    // The entry of a window, null when it does not exist. The pointer stays valid until that
    // window is removed.
    TWindowEntry* Find(TWindowId id);
    const TWindowEntry* Find(TWindowId id) const;
    // The window's number, 1..Count(), or 0 when it does not exist.
    int Number(TWindowId id) const;
    // The window with a number, or kNoWindow.
    TWindowId IdAt(int number) const;
    // Every window's id in table order.
    std::vector<TWindowId> Ids() const;

    TWindowId Active() const { return active_; }
    // Makes a window active; false when it does not exist.
    bool Activate(TWindowId id);

    // The base window of a view, or the window itself.
    TWindowId BaseOf(TWindowId id) const;
    // The window and every window sharing its network (its base and all views of the same base),
    // in table order.
    std::vector<TWindowId> SameBase(TWindowId id) const;

    // Sets the file name of the window and of every window of the same base; the captions follow
    // (a view's as "View n of " + the file name).
    void SetName(TWindowId id, const std::string& name);
    // Sets or clears the flag on the window and on every window of the same base.
    void SetAllowClose(TWindowId id, bool allow);

    // What a close request for the window needs: refused while `busy` ("Stop Calculate before
    // closing.", caption "Calculate"), closing at once when AllowClose, else the question "Do you
    // want to save?" with caption "Close: " + the caption.
    TCloseDecision DecideClose(TWindowId id, bool busy) const;
    TSaveOnClose SaveOnClose(TWindowId id) const;

    // Takes a window out of the table: a base takes its views with it; a view that was the last of
    // its base clears the base's IsBase. Later windows move down (their numbers follow). Returns the
    // ids removed (the window first, then its views in table order), empty when it did not exist. An
    // active window that is removed leaves no window active.
    std::vector<TWindowId> Remove(TWindowId id);

    // The windows other than `except` that are still untouched: named with the default name, and
    // their network has no node types, no link types, no system attributes and no nodes. A snapshot:
    // close them one by one, skipping ids that an earlier close already removed.
    std::vector<TWindowId> UntouchedWindows(TWindowId except) const;

    // Closing the main window: asks `agreesToClose` for each window in table order (views whose base
    // agreed are not asked: they go with their base). It answers whether the window may close,
    // after any box and save it needs (it returns false for a refused, cancelled or failed close).
    // At the first window that stays, nothing is removed and the shutdown is cancelled; when all
    // agree, every window is removed. `agreesToClose` must not create or remove windows.
    TShutdownResult Shutdown(const std::function<bool(const TWindowEntry&)>& agreesToClose);

private:
    std::vector<std::unique_ptr<TWindowEntry>> entries_;
    TWindowId nextId_ = 1;
    TWindowId active_ = kNoWindow;

    std::optional<TWindowId> Append(TWindowEntry entry);
};

// The file name of a full path, without its folder ("/" or "\" separated).
std::string FileNameOfPath(const std::string& path);

// Whether a network is still untouched: no node types, no link types, no system attributes, no nodes.
bool IsEmptyNetwork(const TNetwork& net);

} // namespace zan
