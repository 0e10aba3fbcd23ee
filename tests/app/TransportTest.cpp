// The play position of a song window and the shared bar-and-beat scrolling.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/BarBeatScroll.h"
#include "app/Transport.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "support/SongBuilder.h"

namespace {

// A song window as the transport sees it: views showing `first` to `last`.
class FakeWindow : public TransportHost {
public:
    explicit FakeWindow(Song& s) : song(s) {}
    bool PlayerBusy() const override { return busy; }
    void StopPlayer() override { log.push_back("stop"); }
    void StartPlayer(std::int32_t from, std::int32_t to) override {
        log.push_back("play " + std::to_string(from) + "-" + std::to_string(to));
    }
    std::int32_t SongEnd() const override { return song.LastTick(); }
    std::int32_t TicksPerQuarter() const override { return song.TicksPerQuarter(); }
    std::int32_t FirstVisibleTick() const override { return first; }
    std::int32_t LastVisibleTick() const override { return last; }
    void ScrollViewsTo(std::int32_t tick) override {
        log.push_back("scroll " + std::to_string(tick));
        last += tick - first;
        first = tick;
    }
    void ShowPlayBar(std::int32_t tick) override { bar = tick; }
    std::int32_t NextEventTime(std::int32_t tick) const override {
        SongIter it(song);
        return it.Seek(tick) ? it.Tick() : -1;
    }

    Song& song;
    bool busy = false;
    std::int32_t first = 0, last = 100000;
    std::int32_t bar = -1;
    std::vector<std::string> log;
};

} // namespace

TEST(Transport, RewindAndForwardStepByQuarterNotesWithinTheSong) {
    auto song = BuildSong("0 n60 384, 4000 n62 384", 384);
    FakeWindow w(*song);
    Transport t(w);
    t.Rewind();
    EXPECT_EQ(t.PlayPosition(), 0); // at 0 it stays
    t.SetPlayPosition(1000);
    t.Rewind();
    EXPECT_EQ(t.PlayPosition(), 616);
    EXPECT_EQ(w.bar, 616);
    t.SetPlayPosition(3900);
    t.Forward();
    EXPECT_EQ(t.PlayPosition(), 4000); // not past the end

    // Rewinding before what the views show scrolls them two quarters before it.
    w.first = 1536;
    w.last = 3000;
    t.SetPlayPosition(1600);
    t.Rewind();
    EXPECT_EQ(t.PlayPosition(), 1216);
    EXPECT_EQ(w.log.back(), "scroll 768");
    // Forward past the last shown tick scrolls two quarters on from the first.
    w.first = 0;
    w.last = 1000;
    t.SetPlayPosition(900);
    t.Forward();
    EXPECT_EQ(w.log.back(), "scroll 768");

    // While playing, each button stops the player and moves nothing.
    w.busy = true;
    w.log.clear();
    t.Forward();
    t.RewindToBeginning();
    EXPECT_EQ(w.log, (std::vector<std::string>{"stop", "stop"}));
    EXPECT_EQ(t.PlayPosition(), 1284);
}

TEST(Transport, PlayingARangeBringsThePlayBarBack) {
    auto song = BuildSong("0 n60 384, 768 n62 384, 1536 n64 384", 384);
    FakeWindow w(*song);
    Transport t(w);
    t.SetPlayPosition(768);
    t.PlayRange(0, 1000);
    EXPECT_EQ(w.log.back(), "play 0-1000");
    t.OnPosition(900, 1);
    EXPECT_EQ(w.bar, 900);
    t.OnStopped();
    EXPECT_EQ(t.PlayPosition(), 768);

    // A range from the play bar itself leaves the bar where playing ended (on an event).
    t.PlayRange(768, 1536);
    t.OnPosition(1200, 1);
    t.OnStopped();
    EXPECT_EQ(t.PlayPosition(), 1536);
}

TEST(Transport, AutoRewindSendsTheBarHomeOnlyWhenPlayReachedTheEnd) {
    auto song = BuildSong("0 n60 384, 768 n62 384", 384);
    FakeWindow w(*song);
    Transport t(w);
    t.SetAutoRewind(true);
    t.Play();
    EXPECT_EQ(w.log.back(), "play 0-768");
    t.OnPosition(768, 1);
    t.OnStopped();
    EXPECT_EQ(t.PlayPosition(), 0);

    t.SetAutoRewind(false);
    t.Play();
    t.OnPosition(768, 1);
    t.OnStopped();
    EXPECT_EQ(t.PlayPosition(), 768); // stays at the last event

    // Stopped half way: the bar snaps to the next event.
    t.SetAutoRewind(true);
    t.SetPlayPosition(0);
    t.Play();
    t.OnPosition(300, 1);
    t.OnStopped();
    EXPECT_EQ(t.PlayPosition(), 768);
}

TEST(Transport, StalePositionNoticesOnlyMoveThePositionAndTheBarScrollsByQuarters) {
    auto song = BuildSong("0 n60 384, 8000 n62 384", 384);
    FakeWindow w(*song);
    w.first = 0;
    w.last = 2000;
    Transport t(w);
    t.Play();
    t.OnPosition(100, 3); // two newer notices already sent
    EXPECT_EQ(w.bar, -1);
    t.OnPosition(200, 3);
    t.OnPosition(2500, 3); // the newest, past the views: scroll to its quarter
    EXPECT_EQ(w.log.back(), "scroll 2304");
    EXPECT_EQ(w.bar, 2500);
}

TEST(BarBeatScroll, MovesOnTheGridOfBarsAndBeatsWithinTheSong) {
    auto song = BuildSong("0 n60 384, 3072 n62 384", 384); // the end is bar 2 beat 1
    song->SetTimeSignature(1, 3, 4);
    BarBeatScroll s(*song);
    EXPECT_FALSE(s.LineLeft()); // at bar 0 beat 0 nothing moves
    EXPECT_TRUE(s.LineRight());
    EXPECT_EQ(s.Time(), 384);
    EXPECT_TRUE(s.PageRight()); // bar 1 has three beats
    EXPECT_EQ(s.Bar(), 1);
    EXPECT_EQ(s.Time(), 1536 + 384);
    EXPECT_TRUE(s.LineRight());
    EXPECT_TRUE(s.LineRight()); // past the bar's last beat: the next bar
    EXPECT_EQ(s.Bar(), 2);
    EXPECT_EQ(s.Beat(), 0);
    EXPECT_TRUE(s.LineLeft()); // back over the bar line to its last beat
    EXPECT_EQ(s.Beat(), 2);
    EXPECT_TRUE(s.End());
    EXPECT_EQ(s.Time(), 3072);
    EXPECT_FALSE(s.LineRight()); // the next beat lies beyond the end
    EXPECT_FALSE(s.PageRight());
    EXPECT_TRUE(s.PageLeft());
    EXPECT_TRUE(s.Home());
    EXPECT_EQ(s.Time(), 0);
    EXPECT_TRUE(s.ToTime(2000));
    EXPECT_EQ(s.Time(), 1536 + 384);

    Song empty;
    BarBeatScroll none(empty);
    EXPECT_FALSE(none.LineRight());
    EXPECT_FALSE(none.PageRight());
    EXPECT_FALSE(none.End());
    EXPECT_EQ(none.Time(), 0);
}
