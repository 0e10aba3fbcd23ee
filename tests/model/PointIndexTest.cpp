// The index of time points against a plain walk of the list it indexes, and its balance
// whatever the order the points arrive in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <random>
#include <vector>

#include "model/PointIndex.h"

namespace {

using List = PointIndex::List;
using Node = PointIndex::Node;

class IndexedList {
public:
    Node Add(Node where, std::int32_t delta) {
        Node n = list.InsertBefore(where, std::make_unique<SongTimePoint>(delta));
        index.Link(n);
        return n;
    }
    void Drop(Node n) {
        index.Unlink(n);
        list.Remove(n);
    }
    // The same, checking that no other point moves.
    void Insert(Node where, std::int32_t delta) {
        const auto before = Ticks();
        Add(where, delta);
        ExpectSameTicks(before);
    }
    void Remove(Node n) {
        auto before = Ticks();
        before.erase(n->get());
        Drop(n);
        ExpectSameTicks(before);
    }
    void ExpectSameTicks(const std::map<const SongTimePoint*, std::int32_t>& before) {
        for (const auto& [point, tick] : Ticks()) {
            auto old = before.find(point);
            if (old != before.end()) {
                ASSERT_EQ(old->second, tick) << "a surviving point moved";
            }
        }
    }
    Node At(std::size_t position) { return std::next(list.Begin(), static_cast<long>(position)); }

    std::map<const SongTimePoint*, std::int32_t> Ticks() {
        std::map<const SongTimePoint*, std::int32_t> ticks;
        std::int32_t tick = 0;
        for (Node n = list.Begin(); n != list.End(); ++n)
            ticks[n->get()] = tick += (*n)->delta;
        return ticks;
    }

    // Every point's tick, summed from the start, checked against the index; then seeks
    // to ticks before, at, between and after the points.
    void ExpectAgreesWithAWalk(std::mt19937& rng) {
        std::vector<std::int32_t> ticks;
        std::int32_t tick = 0;
        for (Node n = list.Begin(); n != list.End(); ++n) {
            tick += (*n)->delta;
            ticks.push_back(tick);
            ASSERT_EQ(index.TickOf(n), tick) << "point " << ticks.size() - 1;
        }
        ASSERT_EQ(index.Total(), tick);
        for (int k = 0; k < 30; ++k) {
            const std::int32_t target =
                std::uniform_int_distribution<std::int32_t>(-1, tick + 1)(rng);
            const auto first = std::lower_bound(ticks.begin(), ticks.end(), target);
            std::int32_t at = -1;
            const Node found = index.Seek(target, at);
            if (first == ticks.end()) {
                ASSERT_EQ(found, list.End()) << "seek " << target;
                ASSERT_EQ(at, tick);
            } else {
                ASSERT_EQ(std::distance(list.Begin(), found), first - ticks.begin())
                    << "seek " << target;
                ASSERT_EQ(at, *first);
            }
        }
    }

    List list;
    PointIndex index{list};
};

std::size_t HeightLimit(std::size_t points) {
    // A treap's height stays near 3 log2 n; an unbalanced tree reaches n.
    return static_cast<std::size_t>(4 * std::log2(static_cast<double>(points)));
}

} // namespace

TEST(PointIndex, RandomChangesAgreeWithAWalk) {
    std::mt19937 rng(1207);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    for (int round = 0; round < 10; ++round) {
        IndexedList points;
        for (int step = 0; step < 600; ++step) {
            const int count = static_cast<int>(points.list.Count());
            switch (count == 0 ? 0 : pick(6)) {
            case 0:
            case 1: { // zero deltas too: points may share a tick
                const Node where = points.At(static_cast<std::size_t>(pick(count + 1)));
                const int room = where == points.list.End() ? 40 : (*where)->delta + 1;
                points.Insert(where, pick(room));
                break;
            }
            case 2:
                points.Remove(points.At(static_cast<std::size_t>(pick(count))));
                break;
            case 3:
            case 4: { // the answer is the point's new tick, checked against a walk below
                const Node n = points.At(static_cast<std::size_t>(pick(count)));
                const std::int32_t tick = points.index.SetDelta(n, pick(60));
                ASSERT_EQ(tick, points.index.TickOf(n));
                break;
            }
            default: {
                const int scale = 1 + pick(3);
                points.index.SetAllDeltas([&](std::int32_t d) { return d * scale / 2; });
                break;
            }
            }
            points.ExpectAgreesWithAWalk(rng);
            if (HasFatalFailure())
                return;
        }
        // Emptied point by point, the index ends with nothing in it.
        while (!points.list.IsEmpty())
            points.Remove(points.list.Begin());
        std::int32_t at = -1;
        EXPECT_EQ(points.index.Seek(0, at), points.list.End());
        EXPECT_EQ(at, 0);
        EXPECT_EQ(points.index.Height(), 0u);
    }
}

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
