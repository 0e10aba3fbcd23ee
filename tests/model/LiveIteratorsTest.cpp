// Random edits with many cursors open: surviving points keep their ticks, the song's
// length stays the sum of its deltas, no cursor rests on a removed point (the sanitizer
// build would catch a cursor touching freed memory), and the song's index of points
// agrees with a plain walk: every point's tick, and where a seek lands.
#include <gtest/gtest.h>

#include <algorithm>
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

// Seeking to `tick` must land on the first point at or after it.
void CheckSeek(Song& song, SongTimeIter& it, std::int32_t tick) {
    it.Seek(tick);
    std::int32_t walked = 0;
    auto n = song.Points().Begin();
    for (; n != song.Points().End(); ++n)
        if ((walked += (*n)->delta) >= tick)
            break;
    ASSERT_EQ(it.GetNode(), n) << "seek " << tick;
    EXPECT_EQ(it.Tick(), n == song.Points().End() ? song.LastTick() : walked);
}

void CheckIndex(Song& song, const SongTimeIter& cursor, std::mt19937& rng) {
    std::int32_t tick = 0;
    for (auto n = song.Points().Begin(); n != song.Points().End(); ++n)
        ASSERT_EQ(song.TickOf(n), tick += (*n)->delta);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    SongTimeIter near(cursor), fresh(song);
    CheckSeek(song, near, near.Tick() + pick(9) - 4);
    CheckSeek(song, near, pick(song.LastTick() + 2) - 1);
    CheckSeek(song, fresh, pick(song.LastTick() + 2));
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

        std::int32_t added = 0;
        for (int step = 0; step < 300; ++step) {
            auto before = Ticks(song);
            bool moved = false;
            SongTimeIter& cursor = *timeIters[pick(4)];
            switch (pick(10)) {
            case 0: { // add a record anywhere
                auto note = std::make_unique<MidiMsgNote>(0, pick(128), 100, 1 + pick(500));
                note->track = static_cast<std::uint16_t>(
                    pick(std::max(1, static_cast<int>(song.TrackCount()))));
                if (pick(2))
                    song.RewindInsertion();
                // Anywhere, or a little after the last one, as a file or a recording adds.
                added = pick(2) ? pick(6000) : added + pick(60);
                song.AddMsg(added, std::move(note));
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
                moved = true;
                break;
            }
            case 5: // an empty point after a cursor within its gap, often at its very tick
                if (!cursor.AtEnd()) {
                    auto next = std::next(cursor.GetNode());
                    const std::int32_t room = next == song.Points().End() ? 100 : (*next)->delta;
                    cursor.InsertAfter(pick(2) ? 0 : pick(room + 1));
                }
                break;
            case 6: // an empty point before a cursor
                if (!cursor.AtEnd())
                    cursor.InsertBefore(pick(cursor.Point()->delta + 1));
                break;
            case 7: // the cursor's point and all after it move, either way
                if (!cursor.AtEnd()) {
                    const std::int32_t delta = cursor.Point()->delta;
                    song.ShiftPoints(cursor.GetNode(), cursor.Tick(), pick(delta + 300) - delta);
                    moved = true;
                }
                break;
            default: // move cursors about
                timeIters[pick(4)]->Seek(pick(6000));
                for (int k = pick(6); k > 0; --k)
                    pick(2) ? cursor.Next() : cursor.Prev();
                if (!iters[pick(4)]->Next())
                    iters[pick(4)]->Seek(pick(6000));
                break;
            }
            const auto after = Ticks(song);
            if (!moved) {
                for (const auto& [point, tick] : after) {
                    auto old = before.find(point);
                    if (old != before.end()) {
                        ASSERT_EQ(old->second, tick) << "a surviving point moved";
                    }
                }
            }
            ASSERT_EQ(song.LastTick(), SumOfDeltas(song));
            CheckCursors(song, timeIters, iters);
            CheckIndex(song, cursor, rng);
            if (HasFailure())
                return;
        }
    }
}
