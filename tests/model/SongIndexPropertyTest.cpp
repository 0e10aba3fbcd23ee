// Random edits of every structural kind with several cursors open. After each step the
// song's index must agree with a plain walk of its points: every point's tick, the last
// tick, each cursor's tick, and where a seek lands.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "model/SongIter.h"
#include "model/ViewFilter.h"

namespace {

class Walk {
public:
    explicit Walk(Song& song) {
        std::int32_t tick = 0;
        for (auto n = song.Points().Begin(); n != song.Points().End(); ++n) {
            tick += (*n)->delta;
            nodes.push_back(n);
            ticks.push_back(tick);
            tickOf[n->get()] = tick;
        }
        last = tick;
    }

    std::vector<Song::Node> nodes;
    std::vector<std::int32_t> ticks;
    std::map<const SongTimePoint*, std::int32_t> tickOf;
    std::int32_t last = 0;
};

void ExpectOnItsTick(const Walk& walk, Song& song, SongTimeIter& it) {
    if (it.AtEnd()) {
        EXPECT_EQ(it.Tick(), song.LastTick());
        return;
    }
    auto found = walk.tickOf.find(it.Point());
    ASSERT_NE(found, walk.tickOf.end()) << "cursor on a point that is not in the song";
    EXPECT_EQ(it.Tick(), found->second);
}

// Seeking to `tick` must land on the first point at or after it.
void ExpectSeekLands(const Walk& walk, SongTimeIter& it, std::int32_t tick) {
    it.Seek(tick);
    const auto first = std::lower_bound(walk.ticks.begin(), walk.ticks.end(), tick);
    if (first == walk.ticks.end()) {
        EXPECT_TRUE(it.AtEnd()) << "seek " << tick;
        EXPECT_EQ(it.Tick(), walk.last);
        return;
    }
    const auto position = static_cast<std::size_t>(first - walk.ticks.begin());
    EXPECT_EQ(it.GetNode(), walk.nodes[position]) << "seek " << tick;
    EXPECT_EQ(it.Tick(), *first);
}

} // namespace

TEST(SongIndexProperty, RandomEditsKeepTheIndexInStepWithTheList) {
    std::mt19937 rng(20261207);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const int kResolutions[] = {48, 96, 120, 192, 384, 480};

    for (int round = 0; round < 12; ++round) {
        Song song;
        song.AddTrack(kNoChannel, kNoProgram, kNoBank);
        song.AddTrack(kNoChannel, kNoProgram, kNoBank);
        auto note = [&] {
            auto n = std::make_unique<MidiMsgNote>(0, pick(128), 100, 1 + pick(300));
            n->track = static_cast<std::uint16_t>(pick(2));
            return n;
        };
        for (int i = 0; i < 80; ++i)
            song.AddMsg(pick(4000), note());
        ViewFilter filter;
        filter.ShowOnlyTrack(1);
        std::vector<std::unique_ptr<SongTimeIter>> timeIters;
        std::vector<std::unique_ptr<SongIter>> iters;
        for (int i = 0; i < 5; ++i) {
            timeIters.push_back(std::make_unique<SongTimeIter>(song));
            timeIters.back()->Seek(pick(4000));
        }
        for (int i = 0; i < 3; ++i) {
            iters.push_back(std::make_unique<SongIter>(song, i == 0 ? &filter : nullptr));
            iters.back()->Seek(pick(4000));
        }
        std::int32_t added = 0; // the last tick added at, for runs in time order

        for (int step = 0; step < 400; ++step) {
            SongTimeIter& cursor = *timeIters[static_cast<std::size_t>(pick(5))];
            SongIter& iter = *iters[static_cast<std::size_t>(pick(3))];
            const std::int32_t last = song.LastTick();
            switch (pick(10)) {
            case 0: // anywhere, sometimes from a rewound insertion cursor
                if (pick(2))
                    song.RewindInsertion();
                added = pick(last + 200);
                song.AddMsg(added, note());
                break;
            case 1: // a little after the last one, as a file or a recording adds them
                added += pick(60);
                song.AddMsg(added, note());
                break;
            case 2:
                cursor.RemovePoint();
                break;
            case 3: { // an empty point after the cursor, sometimes at the same tick
                const auto next =
                    cursor.AtEnd() ? song.Points().End() : std::next(cursor.GetNode());
                const std::int32_t room = next == song.Points().End() ? 100 : (*next)->delta;
                cursor.InsertAfter(pick(2) ? 0 : pick(room + 1));
                break;
            }
            case 4:
                if (!cursor.AtEnd())
                    cursor.InsertBefore(pick(cursor.Point()->delta + 1));
                break;
            case 5: // move the cursor's point and everything after it, either way
                if (!cursor.AtEnd()) {
                    const std::int32_t delta = cursor.Point()->delta;
                    song.ShiftPoints(cursor.GetNode(), cursor.Tick(), pick(delta + 300) - delta);
                }
                break;
            case 6:
                if (pick(4) == 0) {
                    ASSERT_TRUE(song.SetTicksPerQuarter(kResolutions[pick(6)]));
                }
                break;
            case 7:
                if (iter.Msg()) {
                    iter.RemoveMsg();
                    iter.RemoveEmptyPoint();
                }
                break;
            case 8: // a cursor jumps, or walks a short way
                if (pick(2)) {
                    cursor.Seek(pick(last + 100));
                } else {
                    for (int k = pick(6); k > 0; --k)
                        pick(2) ? cursor.Next() : cursor.Prev();
                }
                break;
            default:
                if (!iter.Next())
                    iter.Seek(pick(last + 1));
                break;
            }

            const Walk walk(song);
            ASSERT_EQ(song.LastTick(), walk.last);
            for (std::size_t i = 0; i < walk.nodes.size(); ++i)
                ASSERT_EQ(song.TickOf(walk.nodes[i]), walk.ticks[i]) << "point " << i;
            for (const auto& it : timeIters)
                ExpectOnItsTick(walk, song, *it);
            for (const auto& it : iters) {
                ExpectOnItsTick(walk, song, it->TimeIter());
                EXPECT_EQ(it->MsgIter().Point(), it->Point());
            }
            // Near and far, from a cursor that stays and from a fresh one.
            SongTimeIter probe(cursor);
            ExpectSeekLands(walk, probe, probe.Tick() + pick(5) - 2);
            ExpectSeekLands(walk, probe, pick(walk.last + 2) - 1);
            SongTimeIter fresh(song);
            ExpectSeekLands(walk, fresh, pick(walk.last + 2));
            if (HasFailure())
                return;
        }
    }
}
