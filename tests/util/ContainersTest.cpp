#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "util/LinkedList.h"
#include "util/PArray.h"

namespace {

// Counts its own destruction, to prove who deletes what.
struct Tracked {
    explicit Tracked(int v, int* deaths) : value(v), deaths_(deaths) {}
    ~Tracked() { ++*deaths_; }
    int value;
    int* deaths_;
};

} // namespace

TEST(PArray, OwnsItsElementsUnlessDetached) {
    int deaths = 0;
    {
        PArray<Tracked> array;
        for (int i = 0; i < 5; ++i)
            array.Add(std::make_unique<Tracked>(i, &deaths));
        array.Remove(1);
        EXPECT_EQ(deaths, 1);
        std::unique_ptr<Tracked> kept = array.Detach(0);
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(kept->value, 0);
        array.Insert(1, std::make_unique<Tracked>(9, &deaths));
        std::vector<int> values;
        for (Tracked* t : array)
            values.push_back(t->value);
        EXPECT_EQ(values, (std::vector<int>{2, 9, 3, 4}));
    }
    EXPECT_EQ(deaths, 6);
}

TEST(PAIter, RemovingTheCurrentElementLetsTheNextAdvanceLandOnItsFollower) {
    int deaths = 0;
    PArray<Tracked> array;
    for (int i = 0; i < 4; ++i)
        array.Add(std::make_unique<Tracked>(i, &deaths));
    std::vector<int> seen;
    PAIter<Tracked> it(array);
    for (; it.Valid(); it.Next()) {
        seen.push_back(it.Current()->value);
        if (it.Current()->value % 2 == 0)
            it.RemoveCurrent();
    }
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
    ASSERT_EQ(array.Count(), 2u);
    EXPECT_EQ(array[0]->value, 1);

    PArray<Tracked> single;
    single.Add(std::make_unique<Tracked>(1, &deaths));
    PAIter<Tracked> last(single);
    last.RemoveCurrent();
    EXPECT_EQ(last.Index(), 0);
    EXPECT_FALSE(last.Valid());
}

TEST(LinkedList, IteratorsSurviveInsertionsElsewhere) {
    LinkedList<int> list;
    list.AddTail(std::make_unique<int>(1));
    auto three = list.AddTail(std::make_unique<int>(3));
    LLIter<int> it(list, three);
    list.InsertBefore(three, std::make_unique<int>(2));
    list.AddHead(std::make_unique<int>(0));
    EXPECT_EQ(*it.Current(), 3);
    ASSERT_TRUE(it.Prev());
    EXPECT_EQ(*it.Current(), 2);
    it.First();
    EXPECT_FALSE(it.Prev()); // before the first node is "no node"
    EXPECT_FALSE(it.Valid());
    EXPECT_EQ(list.Count(), 4u);
}
