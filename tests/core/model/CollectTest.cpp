#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/Collect.h"

namespace zan {
namespace {

struct Item {
    int key;
};

struct ItemTraits {
    using Key = int;
    static Key KeyOf(Item* const& item) { return item->key; }
    static int Compare(Key a, Key b) { return a < b ? -1 : (a > b ? 1 : 0); }
};

using PlainList = TMyList<Item*>;
using SortedList = TMySortedList<Item*, ItemTraits>;

std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const CollException& e) {
        return e.what();
    }
    return "no exception";
}

class ListTest : public ::testing::Test {
protected:
    Item* Make(int key) {
        pool.push_back(std::make_unique<Item>(Item{key}));
        return pool.back().get();
    }
    std::vector<std::unique_ptr<Item>> pool;
};

TEST_F(ListTest, MisuseRaisesTheThreeMessagesAndChangesNothing) {
    PlainList list(2, 0);
    Item* a = Make(1);
    Item* b = Make(2);
    list.Add(a);
    list.Add(b);

    EXPECT_EQ(MessageOf([&] { list.Insert(3, Make(3)); }), "Collection error; wrong index: 3");
    EXPECT_EQ(MessageOf([&] { list.Insert(-1, Make(3)); }), "Collection error; wrong index: -1");
    EXPECT_EQ(MessageOf([&] { list.Insert(2, Make(3)); }), "Collection overflow - cannot grow!");
    EXPECT_EQ(MessageOf([&] { list.Delete(2); }), "Collection error; wrong index: 2");
    EXPECT_EQ(MessageOf([&] { list.Remove(Make(9)); }), "Collection error; wrong index: -1");
    EXPECT_EQ(MessageOf([&] { list.SetLimit(1); }), "Collection underflow - cannot shrink!");

    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Limit(), 2);
    EXPECT_EQ(list[0], a);
    EXPECT_EQ(list[1], b);
}

TEST_F(ListTest, CapacityGrowsByDeltaAndInsertAtCountAppends) {
    PlainList list(1, 4);
    EXPECT_EQ(list.Limit(), 1);
    EXPECT_EQ(list.Delta(), 4);
    for (int i = 0; i < 6; ++i)
        list.Insert(list.Count(), Make(i));
    // 1 -> 5 -> 9
    EXPECT_EQ(list.Limit(), 9);
    list.Insert(0, Make(100));
    EXPECT_EQ(list[0]->key, 100);
    EXPECT_EQ(list[6]->key, 5);

    list.SetLimit(9); // the current limit: nothing happens
    EXPECT_EQ(list.Limit(), 9);
    list.SetLimit(200); // long lists keep their reported limit exactly
    EXPECT_EQ(list.Limit(), 200);
    for (int i = 0; i < 193; ++i)
        list.Add(Make(i));
    EXPECT_EQ(list.Count(), 200);
    list.Add(Make(0));
    EXPECT_EQ(list.Limit(), 204);
}

TEST_F(ListTest, DeleteRemoveClearPack) {
    PlainList list(8, 4);
    Item* a = Make(1);
    Item* b = Make(2);
    list.Add(nullptr);
    list.Add(a);
    list.Add(nullptr);
    list.Add(b);
    list.Add(nullptr);
    list.Pack();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], a);
    EXPECT_EQ(list[1], b);
    list.Pack(); // no nulls: unchanged
    EXPECT_EQ(list.Count(), 2);

    list.Remove(a);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], b);

    PlainList nulls(4, 4);
    nulls.Add(nullptr);
    nulls.Add(nullptr);
    nulls.Pack();
    EXPECT_EQ(nulls.Count(), 0);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Limit(), 8);
    EXPECT_EQ(b->key, 2); // items survive Clear
}

TEST_F(ListTest, FreeDestroysTheItem) {
    TMyList<std::string*> list(2, 2);
    auto owned = std::make_unique<std::string>("x");
    std::string* raw = owned.release();
    list.Add(raw);
    list.Free(raw); // leak-checked by the sanitizer build
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(ListTest, SearchFindsFirstEqualOrInsertionPoint) {
    SortedList unique(4, 4, false);
    SortedList dups(4, 4, true);
    std::int32_t index = -5;
    EXPECT_FALSE(unique.Search(7, index));
    EXPECT_EQ(index, 0);

    for (int k : {10, 20, 30, 40, 50})
        unique.InsertSort(Make(k));
    for (int k : {10, 20, 20, 20, 30})
        dups.InsertSort(Make(k));

    struct Case {
        SortedList* list;
        int key;
        bool found;
        std::int32_t index;
    };
    const Case cases[] = {
        {&unique, 5, false, 0},  {&unique, 10, true, 0}, {&unique, 35, false, 3}, {&unique, 50, true, 4},
        {&unique, 60, false, 5}, {&dups, 20, true, 1},   {&dups, 25, false, 4},   {&dups, 30, true, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.list->Search(c.key, index), c.found) << c.key;
        EXPECT_EQ(index, c.index) << c.key;
    }
}

TEST_F(ListTest, InsertSortDuplicateRuleAndBothIndexOfs) {
    SortedList unique(4, 4, false);
    Item* first = Make(5);
    EXPECT_TRUE(unique.InsertSort(first));
    EXPECT_FALSE(unique.InsertSort(Make(5)));
    EXPECT_EQ(unique.Count(), 1);
    EXPECT_EQ(unique[0], first);

    SortedList dups(4, 4, true);
    Item* a = Make(5);
    Item* b = Make(5);
    Item* c = Make(5);
    dups.InsertSort(Make(1));
    dups.InsertSort(a);
    dups.InsertSort(b);
    dups.InsertSort(c);
    dups.InsertSort(Make(9));
    // A new item with an equal key goes in front of the equal ones.
    EXPECT_EQ(dups[1], c);
    EXPECT_EQ(dups[2], b);
    EXPECT_EQ(dups[3], a);
    for (Item* item : {a, b, c}) {
        EXPECT_EQ(dups.IndexOf(item), dups.TMyList::IndexOf(item));
    }
    EXPECT_EQ(dups.IndexOf(Make(5)), -1); // same key, other item
    EXPECT_EQ(dups.IndexOf(Make(7)), -1); // key not held
    dups.Remove(b);                       // Remove uses the linear search
    EXPECT_EQ(dups.Count(), 4);
    EXPECT_EQ(dups.IndexOf(b), -1);
}

} // namespace
} // namespace zan
