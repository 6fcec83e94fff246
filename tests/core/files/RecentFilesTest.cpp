#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "files/RecentFiles.h"

namespace zan {
namespace {

// An in-memory store; names in `unreadable` are listed but cannot be read.
class TMemoryStore : public TSettingsStore {
public:
    std::map<std::string, std::string> Values;
    std::set<std::string> Unreadable;

    bool Get(const std::string& name, std::string& value) const override {
        const auto it = Values.find(name);
        if (it == Values.end() || Unreadable.count(name) != 0)
            return false;
        value = it->second;
        return true;
    }
    void Set(const std::string& name, const std::string& value) override { Values[name] = value; }
    std::vector<std::string> ValueNames() const override {
        std::vector<std::string> names;
        for (const auto& [name, value] : Values)
            names.push_back(name);
        return names;
    }
};

std::vector<std::string> Names(const TRecentFiles& list) {
    std::vector<std::string> names;
    for (const TRecentFile& e : list.Entries())
        names.push_back(e.Name);
    return names;
}

// ---------------------------------------------------------------------------------------------
// The list.

TEST(RecentFiles, FiveClosesKeepTheLastFourMostRecentFirst) {
    TRecentFiles list;
    for (const char* name : {"a.dta", "b.dta", "c.dta", "d.dta", "e.dta"})
        EXPECT_TRUE(list.UpdateReopen(name, std::string("pref-") + name));
    EXPECT_EQ(Names(list), (std::vector<std::string>{"e.dta", "d.dta", "c.dta", "b.dta"}));
    EXPECT_EQ(list.Entry(1)->PrefString, "pref-e.dta");
    EXPECT_EQ(list.Entry(4)->PrefString, "pref-b.dta");
    EXPECT_EQ(list.Entry(5), nullptr);
    EXPECT_EQ(list.Entry(0), nullptr);
}

TEST(RecentFiles, AFileAlreadyThirdMovesToTheFrontWithItsNewPreferences) {
    TRecentFiles list;
    for (const char* name : {"a.dta", "b.dta", "c.dta", "d.dta"})
        list.UpdateReopen(name, "old");
    ASSERT_EQ(list.Entry(3)->Name, "b.dta");
    list.UpdateReopen("b.dta", "new");
    EXPECT_EQ(Names(list), (std::vector<std::string>{"b.dta", "d.dta", "c.dta", "a.dta"}));
    EXPECT_EQ(list.Entry(1)->PrefString, "new");

    // In a list that is not full the count does not grow either.
    TRecentFiles shortList;
    for (const char* name : {"a.dta", "b.dta", "c.dta"})
        shortList.UpdateReopen(name, "");
    shortList.UpdateReopen("a.dta", "");
    EXPECT_EQ(Names(shortList), (std::vector<std::string>{"a.dta", "c.dta", "b.dta"}));
}

TEST(RecentFiles, NamesAreComparedExactly) {
    TRecentFiles list;
    list.UpdateReopen("roads.dta", "");
    list.UpdateReopen("Roads.dta", "");
    EXPECT_EQ(list.Count(), 2);
}

TEST(RecentFiles, TheDefaultNameNeverEnters) {
    TRecentFiles list;
    list.UpdateReopen("a.dta", "p");
    for (const char* name : {kDefaultName, ""}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(list.UpdateReopen(name, "q"));
        EXPECT_EQ(Names(list), std::vector<std::string>{"a.dta"});
    }
}

TEST(RecentFiles, ReopenCaptions) {
    TRecentFiles list;
    list.UpdateReopen("/home/u/R&D.dta", "");
    list.UpdateReopen("C:\\nets\\roads.dta", "");
    EXPECT_EQ(list.ReopenCaption(1), "&1  C:\\nets\\roads.dta");
    EXPECT_EQ(list.ReopenCaption(2), "&2  /home/u/R&&D.dta");
    EXPECT_EQ(list.ReopenCaption(3), "");
    EXPECT_EQ(list.ReopenCaption(0), "");
}

struct TLoadCase {
    const char* what;
    std::map<std::string, std::string> values;
    std::set<std::string> unreadable;
    std::vector<TRecentFile> expected;
};

TEST(RecentFiles, LoadReadsOnlyTheRunOfFileNames) {
    const std::vector<TLoadCase> cases = {
        {"empty store", {}, {}, {}},
        {"two entries",
         {{"file1", "a.dta"}, {"filepref1", "13,"}, {"file2", "b.dta"}, {"filepref2", "12,"}},
         {},
         {{"a.dta", "13,"}, {"b.dta", "12,"}}},
        {"four entries and more",
         {{"file1", "a"}, {"file2", "b"}, {"file3", "c"}, {"file4", "d"}, {"file5", "e"}},
         {},
         {{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}}},
        {"a gap ends the run", {{"file1", "a"}, {"file3", "c"}, {"filepref3", "x"}}, {}, {{"a", ""}}},
        {"no file1", {{"file2", "b"}, {"filepref1", "p"}}, {}, {}},
        {"other names ignored",
         {{"file1", "a"},
          {"file0", "z"},
          {"file01", "z"},
          {"file1x", "z"},
          {"fileA", "z"},
          {"filepref9", "z"},
          {"fileprefX", "z"},
          {"other", "z"}},
         {},
         {{"a", ""}}},
        {"an unreadable name ends the run",
         {{"file1", "a"}, {"file2", "b"}, {"file3", "c"}},
         {"file2"},
         {{"a", ""}}},
        {"an unreadable preference reads empty",
         {{"file1", "a"}, {"filepref1", "p"}},
         {"filepref1"},
         {{"a", ""}}},
        {"an empty name ends the run", {{"file1", ""}, {"file2", "b"}}, {}, {}},
    };
    for (const TLoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        TMemoryStore store;
        store.Values = c.values;
        store.Unreadable = c.unreadable;
        TRecentFiles list;
        list.UpdateReopen("stale.dta", "stale"); // loading replaces what was there
        list.Load(store);
        EXPECT_EQ(list.Entries(), c.expected);
    }
}

TEST(RecentFiles, SaveWritesTheCountAndLeavesLaterValues) {
    TMemoryStore store;
    store.Values = {{"file3", "old3"}, {"filepref3", "oldpref3"}, {"unrelated", "u"}};
    TRecentFiles list;
    list.UpdateReopen("a.dta", "pa");
    list.UpdateReopen("b.dta", "pb");
    list.Save(store);
    const std::map<std::string, std::string> expected = {
        {"file1", "b.dta"}, {"filepref1", "pb"},       {"file2", "a.dta"}, {"filepref2", "pa"},
        {"file3", "old3"},  {"filepref3", "oldpref3"}, {"unrelated", "u"}};
    EXPECT_EQ(store.Values, expected);

    TRecentFiles reread;
    reread.Load(store);
    EXPECT_EQ(Names(reread), (std::vector<std::string>{"b.dta", "a.dta", "old3"}));
    EXPECT_EQ(reread.Entry(1)->PrefString, "pb");
}

// ---------------------------------------------------------------------------------------------
// Preference strings.

TPrefFields WorkedExample() {
    TPrefFields f;
    f.ZoomState = 13;
    f.DarkCursor = false;
    f.ShowMargins = false;
    f.HorzPosition = 0;
    f.VertPosition = 0;
    f.SnapDistance = 1;
    f.Mode = 0;
    f.Toolbars = {{{true, 0, 0}, {true, 1, 0}, {false, 0, 0}, {true, 2, 234}}};
    f.AutoBackup = true;
    return f;
}

TEST(PrefString, WorkedExampleRoundTrips) {
    const std::string text = "13,0,0,0,0,1,0,0,0,1,0,-1,2,234,1,";
    EXPECT_EQ(CreatePrefString(WorkedExample()), text);
    EXPECT_EQ(ParsePrefString(text), WorkedExample());
}

TEST(PrefString, EveryFieldInItsPlace) {
    TPrefFields f;
    f.ZoomState = 18;
    f.DarkCursor = true;
    f.ShowMargins = true;
    f.HorzPosition = 1234;
    f.VertPosition = -56;
    f.SnapDistance = 1000;
    f.Mode = 27;
    f.Toolbars = {{{false, 0, 0}, {true, 5, 32767}, {true, 3, 7}, {false, 0, 0}}};
    f.AutoBackup = false;
    const std::string text = CreatePrefString(f);
    EXPECT_EQ(text, "18,1,1,1234,-56,1000,27,-1,5,32767,3,7,-1,0,");
    EXPECT_EQ(ParsePrefString(text), f);
}

TEST(PrefString, AShownToolbarNeverWritesANegativeRow) {
    TPrefFields f = WorkedExample();
    f.Toolbars[0] = {true, -4, 9};
    EXPECT_EQ(CreatePrefString(f), "13,0,0,0,0,1,0,0,9,1,0,-1,2,234,1,");
}

struct TParseCase {
    const char* text;
    std::int32_t zoom;
    std::int32_t snap;
    std::int32_t mode;
    bool backup;
};

TEST(PrefString, SanitisesEachField) {
    const std::vector<TParseCase> cases = {
        {"", 10, 1, 0, false},
        {"0,", 10, 1, 0, false},
        {"1,0,0,0,0,5,27,", 1, 5, 27, false},
        {"18,0,0,0,0,999,3,", 18, 999, 3, false},
        {"19,0,0,0,0,1001,28,", 10, 1000, kNoMode, false},
        {"-3,0,0,0,0,-7,-1,", 10, 1, kNoMode, false},
        {"2147483647,0,0,0,0,0,2147483647,", 10, 1, kNoMode, false},
        {"99999999999,0,0,0,0,99999999999,", 10, 1, 0, false},
        {"x,y,z,,,4q,1.5,", 10, 1, 0, false},
        {" 7,0,0,0,0, 12,", 7, 12, 0, false},
        {"13,0,0,0,0,1,0,-1,-1,-1,-1,1,", 13, 1, 0, true},
        {"13,0,0,0,0,1,0,-1,-1,-1,-1,2,", 13, 1, 0, false},
        {"13,0,0,0,0,1,0,-1,-1,-1,-1,1", 13, 1, 0, true}, // the last field without its ","
    };
    for (const TParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const TPrefFields f = ParsePrefString(c.text);
        EXPECT_EQ(f.ZoomState, c.zoom);
        EXPECT_EQ(f.SnapDistance, c.snap);
        EXPECT_EQ(f.Mode, c.mode);
        EXPECT_EQ(f.AutoBackup, c.backup);
    }
}

TEST(PrefString, AHiddenToolbarTakesOneFieldAndAShownOneTwo) {
    struct TCase {
        const char* bars; // the toolbar fields and the backup field
        std::array<TToolbarPlace, kPrefToolbars> expected;
        bool backup;
    };
    const std::vector<TCase> cases = {
        {"-1,-1,-1,-1,1,", {}, true},
        {"-7,3,40,-1,0,0,1,", {{{false, 0, 0}, {true, 3, 40}, {false, 0, 0}, {true, 0, 0}}}, true},
        {"0,0,1,0,2,0,2,234,0,", kStartToolbarPlaces, false},
        // A row above 5 or a position out of range gives the start placement.
        {"6,9,1,-1,2,40000,-1,1,",
         {{kStartToolbarPlaces[0], {true, 1, 0}, {true, 2, 0}, {false, 0, 0}}},
         true},
        // Missing fields read 0: shown at row 0, position 0.
        {"-1,", {{{false, 0, 0}, {true, 0, 0}, {true, 0, 0}, {true, 0, 0}}}, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.bars);
        const TPrefFields f = ParsePrefString(std::string("13,0,0,0,0,1,0,") + c.bars);
        EXPECT_EQ(f.Toolbars, c.expected);
        EXPECT_EQ(f.AutoBackup, c.backup);
    }
}

TEST(PrefString, FlagsAndScrollPositionsAsRead) {
    const TPrefFields f = ParsePrefString("13,2,-1,-500,99999,");
    EXPECT_TRUE(f.DarkCursor);
    EXPECT_TRUE(f.ShowMargins);
    EXPECT_EQ(f.HorzPosition, -500); // the caller clamps them to its scroll ranges
    EXPECT_EQ(f.VertPosition, 99999);
}

TEST(PrefString, GarbageNeverCrashesAndAlwaysReadsInRange) {
    std::vector<std::string> texts = {
        ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,",  std::string(100000, ','),    std::string(5000, '9'),
        "-,-,-,+,+,+,--1,++1,1e3,0x10,inf,nan,", std::string("13\0,1,1,", 8), "\xff\xfe,\x80,\r\n,\t,",
    };
    std::mt19937 random(12345);
    const std::string alphabet = "0123456789,-+ x.";
    for (int n = 0; n < 500; ++n) {
        std::string text;
        const int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        texts.push_back(text);
    }
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 80));
        const TPrefFields f = ParsePrefString(text);
        EXPECT_GE(f.ZoomState, 1);
        EXPECT_LE(f.ZoomState, kZoomStates);
        EXPECT_GE(f.SnapDistance, 1);
        EXPECT_LE(f.SnapDistance, 1000);
        EXPECT_TRUE(f.Mode == kNoMode || (f.Mode >= 0 && f.Mode <= 27));
        for (const TToolbarPlace& bar : f.Toolbars) {
            if (bar.Shown) {
                EXPECT_GE(bar.Row, 0);
                EXPECT_LE(bar.Row, kMaxToolbarRow);
                EXPECT_GE(bar.Position, 0);
                EXPECT_LE(bar.Position, kMaxToolbarPosition);
            }
        }
        // What was read writes back to a string that reads the same.
        EXPECT_EQ(ParsePrefString(CreatePrefString(f)), f);
    }
}

TEST(PrefString, ModeToApply) {
    const std::vector<std::pair<std::int32_t, std::optional<std::int32_t>>> cases = {
        {0, std::nullopt}, {13, std::nullopt}, {kNoMode, std::nullopt}, {1, 1}, {12, 12}, {14, 14}, {27, 27},
    };
    for (const auto& [mode, expected] : cases) {
        SCOPED_TRACE(mode);
        TPrefFields f;
        f.Mode = mode;
        EXPECT_EQ(ModeToApply(f), expected);
    }
    EXPECT_EQ(ModeToApply(ParsePrefString("13,0,0,0,0,1,13,")), std::nullopt);
    EXPECT_EQ(ModeToApply(ParsePrefString("13,0,0,0,0,1,40,")), std::nullopt);
}

// ---------------------------------------------------------------------------------------------
// Backups.

TEST(Backup, Names) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {"roads.dta", "roads.dt~"},
        {"C:\\nets\\city.dta", "C:\\nets\\city.dt~"},
        {"/home/u/city.DTA", "/home/u/city.DT~"},
        {kDefaultName, kDefaultBackupName},
        {"x", "~"},
        {"roads.dt~", std::nullopt}, // would overwrite the file itself
        {"~", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(BackupName(name), expected);
    }
}

TEST(Backup, DueOnlyWhenModifiedOnOldEnoughAndIdle) {
    struct TCase {
        const char* what;
        TBackupState state;
        bool due;
    };
    TBackupState due;
    due.Modified = true;
    due.AutoBackup = true;
    due.SecondsSinceCreate = 901;
    auto with = [&](auto change) {
        TBackupState s = due;
        change(s);
        return s;
    };
    const std::vector<TCase> cases = {
        {"due", due, true},
        {"long ago", with([](TBackupState& s) { s.SecondsSinceCreate = 100000; }), true},
        {"exactly one interval", with([](TBackupState& s) { s.SecondsSinceCreate = 900; }), false},
        {"young", with([](TBackupState& s) { s.SecondsSinceCreate = 10; }), false},
        {"saved", with([](TBackupState& s) { s.Modified = false; }), false},
        {"auto backup off", with([](TBackupState& s) { s.AutoBackup = false; }), false},
        {"file operation", with([](TBackupState& s) { s.FileOperationInProgress = true; }), false},
        {"modal box", with([](TBackupState& s) { s.ModalBoxOpen = true; }), false},
        {"long operation", with([](TBackupState& s) { s.LongOperationInProgress = true; }), false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(BackupDue(c.state), c.due);
    }
    EXPECT_EQ(kBackupIntervalMs, 900000);
}

} // namespace
} // namespace zan
