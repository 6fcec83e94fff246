#include "app/CommandRules.h"
#include "app/WindowTable.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "files/RecentFiles.h"
#include "model/Network.h"

namespace zan {
namespace {

TWindowId MustCreate(TWindowTable& table, const std::string& name) {
    const std::optional<TWindowId> id = table.Create(name);
    EXPECT_TRUE(id.has_value());
    return id.value_or(kNoWindow);
}

TWindowId MustView(TWindowTable& table, TWindowId of) {
    const std::optional<TWindowId> id = table.CreateView(of);
    EXPECT_TRUE(id.has_value());
    return id.value_or(kNoWindow);
}

std::vector<std::string> Captions(const TWindowTable& table) {
    std::vector<std::string> captions;
    for (TWindowId id : table.Ids())
        captions.push_back(table.Find(id)->Caption);
    return captions;
}

// ---------------------------------------------------------------------------------------------
// Creation, numbers, the cap.

TEST(WindowTable, NumbersFollowPositionsWhenWindowsClose) {
    TWindowTable table;
    const TWindowId a = MustCreate(table, "a.dta");
    const TWindowId b = MustCreate(table, "b.dta");
    const TWindowId c = MustCreate(table, "c.dta");
    EXPECT_EQ(table.Number(a), 1);
    EXPECT_EQ(table.Number(b), 2);
    EXPECT_EQ(table.Number(c), 3);
    EXPECT_EQ(table.Active(), c);

    EXPECT_EQ(table.Remove(b), std::vector<TWindowId>{b});
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table.Number(a), 1);
    EXPECT_EQ(table.Number(c), 2);
    EXPECT_EQ(table.Number(b), 0);
    EXPECT_EQ(table.IdAt(2), c);
    EXPECT_EQ(table.IdAt(3), kNoWindow);
    EXPECT_EQ(table.Find(b), nullptr);
    EXPECT_TRUE(table.Remove(b).empty());

    // Ids are never reused.
    const TWindowId d = MustCreate(table, "d.dta");
    EXPECT_NE(d, b);
    EXPECT_EQ(table.Number(d), 3);
}

TEST(WindowTable, NewWindowsHaveTheirOwnNetworkAndCaption) {
    TWindowTable table;
    const TWindowId a = MustCreate(table, kDefaultName);
    auto shared = std::make_shared<TNetwork>();
    const std::optional<TWindowId> b = table.Create("C:\\nets\\roads.dta", shared);
    ASSERT_TRUE(b);
    const TWindowEntry* ea = table.Find(a);
    const TWindowEntry* eb = table.Find(*b);
    ASSERT_NE(ea->Network, nullptr);
    EXPECT_EQ(eb->Network, shared);
    EXPECT_EQ(ea->Caption, kDefaultName);
    EXPECT_EQ(eb->Caption, "roads.dta");
    EXPECT_TRUE(ea->AllowClose);
    EXPECT_FALSE(ea->IsBase);
    EXPECT_FALSE(ea->HasBase());
}

TEST(WindowTable, AtMostOneHundredWindowsOnEveryPath) {
    TWindowTable table;
    TWindowId first = kNoWindow;
    for (int i = 0; i < kMaxSketchWindows; ++i) {
        const std::optional<TWindowId> id = table.Create("w" + std::to_string(i));
        ASSERT_TRUE(id);
        if (i == 0)
            first = *id;
    }
    EXPECT_FALSE(table.CanCreate());
    EXPECT_EQ(table.Create("one more"), std::nullopt);
    EXPECT_EQ(table.CreateView(first), std::nullopt);
    EXPECT_EQ(table.Count(), kMaxSketchWindows);
    EXPECT_FALSE(table.Find(first)->IsBase);
    EXPECT_EQ(table.Find(first)->ViewCount, 0);

    table.Remove(first);
    EXPECT_TRUE(table.CanCreate());
    EXPECT_TRUE(table.Create("again"));
    EXPECT_EQ(table.Create("and again"), std::nullopt);
}

// ---------------------------------------------------------------------------------------------
// Views.

TEST(WindowTable, AViewOfAViewBindsToTheFirstBase) {
    TWindowTable table;
    const TWindowId base = MustCreate(table, "C:\\nets\\roads.dta");
    const TWindowId v1 = MustView(table, base);
    const TWindowId v2 = MustView(table, v1);
    const TWindowEntry* eb = table.Find(base);
    const TWindowEntry* e1 = table.Find(v1);
    const TWindowEntry* e2 = table.Find(v2);
    EXPECT_TRUE(eb->IsBase);
    EXPECT_EQ(eb->ViewCount, 2);
    EXPECT_EQ(e1->BaseId, base);
    EXPECT_EQ(e2->BaseId, base);
    EXPECT_FALSE(e1->IsBase);
    EXPECT_EQ(e1->Network, eb->Network);
    EXPECT_EQ(e2->Network, eb->Network);
    EXPECT_EQ(e1->Caption, "View 1 of roads.dta");
    EXPECT_EQ(e2->Caption, "View 2 of roads.dta");
    EXPECT_EQ(e2->CurrentName, "C:\\nets\\roads.dta"); // the network's file, shared
    EXPECT_EQ(table.Active(), v2);
    EXPECT_EQ(table.SameBase(v1), (std::vector<TWindowId>{base, v1, v2}));
    EXPECT_EQ(table.CreateView(kNoWindow), std::nullopt);
}

TEST(WindowTable, ViewCaptionsUseTheFileNameWithoutFolder) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/home/u/nets/city.dta", "View 1 of city.dta"},
        {"C:\\nets\\a/b\\city.dta", "View 1 of city.dta"},
        {kDefaultName, "View 1 of noname.DTA"},
    };
    for (const auto& [name, caption] : cases) {
        SCOPED_TRACE(name);
        TWindowTable table;
        const TWindowId base = MustCreate(table, name);
        EXPECT_EQ(table.Find(MustView(table, base))->Caption, caption);
    }
}

TEST(WindowTable, ClosingTheBaseClosesItsViews) {
    TWindowTable table;
    const TWindowId other = MustCreate(table, "other.dta");
    const TWindowId base = MustCreate(table, "roads.dta");
    const TWindowId v1 = MustView(table, base);
    const TWindowId otherView = MustView(table, other);
    const TWindowId v2 = MustView(table, v1);
    const TWindowId last = MustCreate(table, "last.dta");
    std::weak_ptr<TNetwork> network = table.Find(base)->Network;

    EXPECT_EQ(table.Remove(base), (std::vector<TWindowId>{base, v1, v2}));
    EXPECT_EQ(table.Ids(), (std::vector<TWindowId>{other, otherView, last}));
    EXPECT_EQ(table.Number(last), 3);
    EXPECT_TRUE(network.expired()); // nothing holds the closed network any more
    EXPECT_TRUE(table.Find(other)->IsBase);
}

TEST(WindowTable, ClosingTheLastViewClearsIsBase) {
    TWindowTable table;
    const TWindowId base = MustCreate(table, "roads.dta");
    const TWindowId v1 = MustView(table, base);
    const TWindowId v2 = MustView(table, base);
    table.Remove(v1);
    EXPECT_TRUE(table.Find(base)->IsBase);
    table.Remove(v2);
    EXPECT_FALSE(table.Find(base)->IsBase);
    EXPECT_NE(table.Find(base)->Network, nullptr);

    // View numbers keep counting.
    EXPECT_EQ(table.Find(MustView(table, base))->Caption, "View 3 of roads.dta");
}

TEST(WindowTable, RemovingTheActiveWindowLeavesNoneActive) {
    TWindowTable table;
    const TWindowId a = MustCreate(table, "a.dta");
    const TWindowId b = MustCreate(table, "b.dta");
    EXPECT_TRUE(table.Activate(a));
    EXPECT_FALSE(table.Activate(kNoWindow));
    table.Remove(b);
    EXPECT_EQ(table.Active(), a);
    table.Remove(a);
    EXPECT_EQ(table.Active(), kNoWindow);
}

// A base and its views show one network held in one file: naming it in any of them names all.
TEST(WindowTable, ANameSetInAnyWindowNamesTheWholeNetwork) {
    TWindowTable table;
    const TWindowId base = MustCreate(table, kDefaultName);
    const TWindowId view = MustView(table, base);
    const TWindowId other = MustCreate(table, "/n/other.dta");
    table.SetName(base, "/n/roads.dta");
    EXPECT_EQ(Captions(table), (std::vector<std::string>{"roads.dta", "View 1 of roads.dta", "other.dta"}));
    table.SetName(view, "/n/renamed.dta");
    EXPECT_EQ(Captions(table),
              (std::vector<std::string>{"renamed.dta", "View 1 of renamed.dta", "other.dta"}));
    for (TWindowId id : {base, view})
        EXPECT_EQ(table.Find(id)->CurrentName, "/n/renamed.dta");
    EXPECT_EQ(table.Find(other)->CurrentName, "/n/other.dta");
}

// ---------------------------------------------------------------------------------------------
// Unsaved changes and closing.

TEST(WindowTable, TheSavedStateReachesTheBaseAndEveryView) {
    TWindowTable table;
    const TWindowId base = MustCreate(table, "roads.dta");
    const TWindowId other = MustCreate(table, "other.dta");
    const TWindowId v1 = MustView(table, base);
    const TWindowId v2 = MustView(table, base);
    const TWindowId otherView = MustView(table, other);

    table.SetAllowClose(v1, false);
    for (TWindowId id : {base, v1, v2})
        EXPECT_FALSE(table.Find(id)->AllowClose);
    EXPECT_TRUE(table.Find(other)->AllowClose);
    EXPECT_TRUE(table.Find(otherView)->AllowClose);

    // Saving from any of them saves the one network: none asks any more.
    table.SetAllowClose(v2, true);
    for (TWindowId id : {base, v1, v2})
        EXPECT_TRUE(table.Find(id)->AllowClose);
    // A view made of a modified network is modified too.
    table.SetAllowClose(base, false);
    EXPECT_FALSE(table.Find(MustView(table, v1))->AllowClose);
}

TEST(WindowTable, CloseDecisions) {
    TWindowTable table;
    const TWindowId saved = MustCreate(table, "saved.dta");
    const TWindowId changed = MustCreate(table, "/n/changed.dta");
    table.SetAllowClose(changed, false);
    struct TCase {
        const char* what;
        TWindowId id;
        bool busy;
        TCloseAction action;
        std::string text;
        std::string caption;
    };
    const std::vector<TCase> cases = {
        {"saved", saved, false, TCloseAction::Close, "", ""},
        {"changed", changed, false, TCloseAction::Ask, "Do you want to save?", "Close: changed.dta"},
        {"busy keeps a saved window", saved, true, TCloseAction::Refuse, "Stop Calculate before closing.",
         "Calculate"},
        {"busy keeps a changed window", changed, true, TCloseAction::Refuse, "Stop Calculate before closing.",
         "Calculate"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TCloseDecision d = table.DecideClose(c.id, c.busy);
        EXPECT_EQ(d.Action, c.action);
        EXPECT_EQ(d.Text, c.text);
        EXPECT_EQ(d.Caption, c.caption);
    }
}

TEST(WindowTable, SaveOnCloseAsksForANameOnlyForANeverSavedWindow) {
    TWindowTable table;
    const TWindowId noname = MustCreate(table, kDefaultName);
    const TWindowId named = MustCreate(table, "roads.dta");
    const TWindowId view = MustView(table, noname);
    EXPECT_EQ(table.SaveOnClose(noname), TSaveOnClose::SaveAs);
    EXPECT_EQ(table.SaveOnClose(named), TSaveOnClose::Save);
    EXPECT_EQ(table.SaveOnClose(view), TSaveOnClose::SaveAs); // a view of it shares its missing name
    EXPECT_EQ(table.SaveOnClose(MustView(table, named)), TSaveOnClose::Save);
}

TEST(WindowTable, UntouchedWindowsForANewWindow) {
    TWindowTable table;
    const TWindowId untouched = MustCreate(table, kDefaultName);
    const TWindowId named = MustCreate(table, "roads.dta");
    const TWindowId nodeType = MustCreate(table, kDefaultName);
    table.Find(nodeType)->Network->NodeDef.Classs[4].ename = "Towns";
    const TWindowId linkType = MustCreate(table, kDefaultName);
    table.Find(linkType)->Network->LinkDef.Classs[1].ename = "Roads";
    const TWindowId system = MustCreate(table, kDefaultName);
    table.Find(system)->Network->SystemDef.Classs[1].atcount = 1;
    const TWindowId nodes = MustCreate(table, kDefaultName);
    table.Find(nodes)->Network->NumberOfNodes = 1;
    const TWindowId second = MustCreate(table, kDefaultName);
    const TWindowId fresh = MustCreate(table, "new.dta");

    EXPECT_EQ(table.UntouchedWindows(fresh), (std::vector<TWindowId>{untouched, second}));
    EXPECT_EQ(table.UntouchedWindows(second), std::vector<TWindowId>{untouched});
    static_cast<void>(named);

    // Closing from the snapshot: a base's views go with it, and their ids are then skipped.
    const TWindowId view = MustView(table, untouched);
    const std::vector<TWindowId> snapshot = table.UntouchedWindows(fresh);
    EXPECT_EQ(snapshot, (std::vector<TWindowId>{untouched, second, view}));
    for (TWindowId id : snapshot) {
        if (table.Find(id) != nullptr)
            table.Remove(id);
    }
    EXPECT_EQ(table.Count(), 6);
    EXPECT_TRUE(table.UntouchedWindows(fresh).empty());
}

TEST(WindowTable, ShutdownClosesAllWhenEveryWindowAgrees) {
    TWindowTable table;
    const TWindowId a = MustCreate(table, "a.dta");
    const TWindowId v = MustView(table, a);
    const TWindowId b = MustCreate(table, "b.dta");
    std::vector<TWindowId> asked;
    const TShutdownResult r = table.Shutdown([&](const TWindowEntry& e) {
        asked.push_back(e.Id);
        return true;
    });
    EXPECT_TRUE(r.Proceed);
    EXPECT_EQ(asked, (std::vector<TWindowId>{a, b})); // the view goes with its base
    EXPECT_EQ(r.Removed, (std::vector<TWindowId>{a, v, b}));
    EXPECT_EQ(table.Count(), 0);
    EXPECT_EQ(table.Active(), kNoWindow);
}

TEST(WindowTable, ShutdownIsCancelledWhenOneWindowStays) {
    TWindowTable table;
    const TWindowId a = MustCreate(table, "a.dta");
    const TWindowId b = MustCreate(table, "b.dta");
    const TWindowId c = MustCreate(table, "c.dta");
    std::vector<TWindowId> asked;
    const TShutdownResult r = table.Shutdown([&](const TWindowEntry& e) {
        asked.push_back(e.Id);
        return e.Id != b;
    });
    EXPECT_FALSE(r.Proceed);
    EXPECT_TRUE(r.Removed.empty());
    EXPECT_EQ(asked, (std::vector<TWindowId>{a, b}));
    EXPECT_EQ(table.Ids(), (std::vector<TWindowId>{a, b, c}));
    EXPECT_EQ(table.Active(), c);
}

// ---------------------------------------------------------------------------------------------
// Command enabling.

TEST(CommandRules, StatesFollowTheFacts) {
    struct TCase {
        TNetworkFacts facts;
        TCommandStates states;
    };
    const std::vector<TCase> cases = {
        {{false, false, false, false}, {false, false, false, false}},
        {{true, false, false, false}, {true, false, false, false}},
        {{false, true, false, false}, {false, true, false, false}},
        {{false, false, true, false}, {false, false, true, false}},
        {{false, false, false, true}, {false, false, false, true}},
        {{true, true, true, true}, {true, true, true, true}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CommandStates(c.facts), c.states);
}

TEST(CommandRules, FactsOfANetwork) {
    TNetwork net;
    EXPECT_EQ(FactsOf(net), (TNetworkFacts{false, false, false, false})); // "Undefined" is no type

    net.NodeDef.Classs[10].ename = "Stops"; // any named type counts, not only leading ones
    EXPECT_EQ(FactsOf(net), (TNetworkFacts{true, false, false, false}));
    net.LinkDef.Classs[2].ename = "Roads";
    EXPECT_EQ(FactsOf(net), (TNetworkFacts{true, true, false, false}));
    net.SystemDef.Classs[1].atcount = 3;
    EXPECT_EQ(FactsOf(net), (TNetworkFacts{true, true, true, false}));
    net.NumberOfNodes = 2;
    EXPECT_EQ(FactsOf(net), (TNetworkFacts{true, true, true, true}));
    EXPECT_EQ(CommandStates(net), (TCommandStates{true, true, true, true}));
    EXPECT_FALSE(IsEmptyNetwork(net));
    EXPECT_TRUE(IsEmptyNetwork(TNetwork{}));
}

TEST(CommandRules, NetworkStatusText) {
    EXPECT_EQ(NetworkStatusText(12, 34, 567890),
              "Node Count = 12\n\rLink Count = 34\n\rAllocated Memory = 567890");
    EXPECT_EQ(NetworkStatusText(0, 0, 0), "Node Count = 0\n\rLink Count = 0\n\rAllocated Memory = 0");
}

} // namespace
} // namespace zan
