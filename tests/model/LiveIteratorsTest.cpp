// Random edits with many cursors open: surviving points keep their ticks, the song's
// length stays the sum of its deltas, and no cursor rests on a removed point (the
// sanitizer build would catch a cursor touching freed memory).
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <vector>

#include "model/SongIter.h"
#include "model/ViewFilter.h"
#include "support/SongBuilder.h"

namespace {

std::int32_t SumOfDeltas(Song& song) {
    std::int32_t sum = 0;
    for (auto n = song.Points().Begin(); n != song.Points().End(); ++n)
        sum += (*n)->delta;
    return sum;
}

std::map<const SongTimePoint*, std::int32_t> Ticks(Song& song) {
    std::map<const SongTimePoint*, std::int32_t> ticks;
    std::int32_t tick = 0;
    for (auto n = song.Points().Begin(); n != song.Points().End(); ++n) {
        tick += (*n)->delta;
        ticks[n->get()] = tick;
    }
    return ticks;
}

void CheckCursors(Song& song, const std::vector<std::unique_ptr<SongTimeIter>>& timeIters,
                  const std::vector<std::unique_ptr<SongIter>>& iters) {
    const auto ticks = Ticks(song);
    for (const auto& it : timeIters) {
        if (it->AtEnd()) {
            EXPECT_EQ(it->Tick(), song.LastTick());
            continue;
        }
        auto found = ticks.find(it->Point());
        ASSERT_NE(found, ticks.end()) << "cursor on a point that is not in the song";
        EXPECT_EQ(found->second, it->Tick());
    }
    for (const auto& it : iters) {
        if (it->AtEnd())
            continue;
        auto found = ticks.find(it->Point());
        ASSERT_NE(found, ticks.end());
        EXPECT_EQ(found->second, it->Tick());
        EXPECT_EQ(it->MsgIter().Point(), it->Point());
        EXPECT_LE(it->MsgIter().Index(), static_cast<long>(it->Point()->msgs.Count()));
    }
}

} // namespace

TEST(LiveIterators, RandomEditsKeepEveryCursorOnALivePointAtItsTick) {
    std::mt19937 rng(20261206);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

    for (int round = 0; round < 20; ++round) {
        Song song;
        for (int t = 0; t < 4; ++t)
            song.AddTrack(kNoChannel, kNoProgram, kNoBank);
        for (int i = 0; i < 40; ++i) {
            auto note = std::make_unique<MidiMsgNote>(0, pick(128), 100, 1 + pick(500));
            note->track = static_cast<std::uint16_t>(pick(4));
            song.AddMsg(pick(5000), std::move(note));
        }
        ViewFilter filter;
        filter.ShowOnlyTrack(1);
        std::vector<std::unique_ptr<SongTimeIter>> timeIters;
        std::vector<std::unique_ptr<SongIter>> iters;
        for (int i = 0; i < 4; ++i) {
            timeIters.push_back(std::make_unique<SongTimeIter>(song));
            timeIters.back()->Seek(pick(5000));
            iters.push_back(std::make_unique<SongIter>(song, i % 2 ? &filter : nullptr));
            iters.back()->Seek(pick(5000));
        }

        for (int step = 0; step < 300; ++step) {
            auto before = Ticks(song);
            bool rescaled = false;
            switch (pick(7)) {
            case 0: { // add a record anywhere
                auto note = std::make_unique<MidiMsgNote>(0, pick(128), 100, 1 + pick(500));
                note->track = static_cast<std::uint16_t>(
                    pick(std::max(1, static_cast<int>(song.TrackCount()))));
                if (pick(2))
                    song.RewindInsertion();
                song.AddMsg(pick(6000), std::move(note));
                break;
            }
            case 1: { // remove the point under a time cursor
                auto& it = *timeIters[pick(4)];
                it.RemovePoint();
                break;
            }
            case 2: { // remove a record through a filtered cursor, then its point if empty
                auto& it = *iters[pick(4)];
                if (it.Msg()) {
                    it.RemoveMsg();
                    it.RemoveEmptyPoint();
                }
                break;
            }
            case 3: // delete a track
                if (song.TrackCount() > 1) {
                    song.DeleteTrack(
                        static_cast<std::size_t>(pick(static_cast<int>(song.TrackCount()))));
                    filter.RemoveTrack(0);
                }
                break;
            case 4: { // change the resolution
                static const int kResolutions[] = {48, 96, 120, 192, 384, 480};
                song.SetTicksPerQuarter(kResolutions[pick(6)]);
                rescaled = true;
                break;
            }
            case 5: { // insert an empty point after a cursor, within its gap
                auto& it = *timeIters[pick(4)];
                if (!it.AtEnd()) {
                    auto next = std::next(it.GetNode());
                    const std::int32_t room = next == song.Points().End() ? 100 : (*next)->delta;
                    it.InsertAfter(pick(room + 1));
                }
                break;
            }
            default: // move cursors about
                timeIters[pick(4)]->Seek(pick(6000));
                if (!iters[pick(4)]->Next())
                    iters[pick(4)]->Seek(pick(6000));
                break;
            }
            const auto after = Ticks(song);
            if (!rescaled) {
                for (const auto& [point, tick] : after) {
                    auto old = before.find(point);
                    if (old != before.end()) {
                        ASSERT_EQ(old->second, tick) << "a surviving point moved";
                    }
                }
            }
            ASSERT_EQ(song.LastTick(), SumOfDeltas(song));
            CheckCursors(song, timeIters, iters);
        }
    }
}
