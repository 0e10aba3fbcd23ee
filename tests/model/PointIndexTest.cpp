// The index of time points stays shallow whatever the order points arrive and leave in;
// that it answers right is checked through the song, by the live-iterator edits.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

#include "model/PointIndex.h"

namespace {

using Node = PointIndex::Node;

struct IndexedList {
    Node Add(Node where, std::int32_t delta) {
        Node n = list.InsertBefore(where, std::make_unique<SongTimePoint>(delta));
        index.Link(n);
        return n;
    }
    void Drop(Node n) {
        index.Unlink(n);
        list.Remove(n);
    }

    PointIndex::List list;
    PointIndex index{list};
};

// A treap's height stays near 3 log2 n; a tree that never rotates reaches n.
std::size_t HeightLimit(std::size_t points) {
    return static_cast<std::size_t>(4 * std::log2(static_cast<double>(points)));
}

} // namespace

TEST(PointIndex, StaysShallowWhateverTheOrderPointsArriveIn) {
    constexpr std::size_t kPoints = 1 << 16;
    IndexedList appended, prepended, middle;
    for (std::size_t i = 0; i < kPoints; ++i) {
        appended.Add(appended.list.End(), 1);
        prepended.Add(prepended.list.Begin(), 0);
    }
    // Always before the same point: every new one lands in the middle of the others.
    const Node centre = middle.Add(middle.list.End(), 1);
    for (std::size_t i = 1; i < kPoints; ++i)
        middle.Add(i % 2 ? centre : middle.list.End(), i % 2 ? 0 : 1);
    for (IndexedList* points : {&appended, &prepended, &middle})
        EXPECT_LE(points->index.Height(), HeightLimit(kPoints));
    EXPECT_EQ(appended.index.Total(), static_cast<std::int32_t>(kPoints));

    // Removing every other point keeps it shallow too; the ones left are two ticks apart.
    for (Node n = appended.list.Begin(); n != appended.list.End();) {
        const Node next = std::next(n);
        appended.Drop(n);
        n = next == appended.list.End() ? next : std::next(next);
    }
    EXPECT_EQ(appended.list.Count(), kPoints / 2);
    EXPECT_LE(appended.index.Height(), HeightLimit(kPoints / 2));
    std::int32_t at = -1;
    const Node found = appended.index.Seek(999, at);
    EXPECT_EQ(at, 1000);
    EXPECT_EQ(appended.index.TickOf(found), 1000);
    EXPECT_EQ(std::distance(appended.list.Begin(), found), 499);
}
