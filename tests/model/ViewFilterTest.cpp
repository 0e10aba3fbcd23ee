#include <gtest/gtest.h>

#include <vector>

#include "model/MidiMsg.h"
#include "model/ViewFilter.h"

TEST(ViewFilter, FreshFilterShowsEverything) {
    ViewFilter f;
    EXPECT_EQ(f.Description().str(), "All Tracks; All Ch'ls; All Instr'ts");
    EXPECT_EQ(f.CaptionText().str(), "All Tracks Shown");
    MidiMsgNote note(15, 60, 100, 1, 127);
    note.track = 1023;
    EXPECT_TRUE(f.Matches(note));
}

TEST(ViewFilter, DescriptionsListWhatIsSelected) {
    ViewFilter f;
    f.SetAllTracks(false);
    f.SelectTrack(1);
    f.SetAllChannels(false);
    f.SelectChannel(9);
    f.BuildDescription();
    EXPECT_EQ(f.Description().str(), "Tr 2; Ch 10; All Instr'ts");
    f.SelectTrack(3);
    EXPECT_EQ(f.CaptionText().str(), "Track 2,Track 4");

    ViewFilter g;
    g.SetAllInstruments(false);
    g.SelectInstrument(0);
    g.SelectInstrument(52);
    g.BuildDescription();
    EXPECT_EQ(g.Description().str(), "Grand Piano,Choir Aahs; All Tracks; All Ch'ls");
}

TEST(ViewFilter, MatchingChecksKindChannelTrackAndInstrument) {
    ViewFilter f;
    f.SetAllChannels(false);
    f.SelectChannel(2);
    f.SetAllInstruments(false);
    f.SelectInstrument(5);
    f.ShowOnlyTrack(1);

    MidiMsgText lyric(5, "la");
    lyric.track = 1;
    EXPECT_TRUE(f.Matches(lyric)); // no channel, no program
    lyric.track = 0;
    EXPECT_FALSE(f.Matches(lyric));

    MidiMsgNote note(2, 60, 100, 1, 5);
    note.track = 1;
    EXPECT_TRUE(f.Matches(note));
    note.instrument = 6;
    EXPECT_FALSE(f.Matches(note));
    MidiMsgControlChange cc(3, 7, 100);
    cc.track = 1;
    EXPECT_FALSE(f.Matches(cc)); // channel 4 hidden
    cc.channel = 2;
    EXPECT_TRUE(f.Matches(cc)); // controllers have no program

    f.PushKind(kMsgControlChange, 10);
    EXPECT_FALSE(f.Matches(cc));
    EXPECT_FALSE(f.Matches(note));
    f.PopKind();
    f.PushKind(kMsgNote);
    EXPECT_FALSE(f.Matches(note)); // program 6 is still hidden
    note.instrument = 5;
    EXPECT_TRUE(f.Matches(note));
    EXPECT_FALSE(f.Matches(cc));
    f.PopKind();
    EXPECT_EQ(f.Kind(), kAllKinds);
    EXPECT_TRUE(f.Matches(cc));
}

TEST(ViewFilter, DeletedTracksShiftTheFlagsDown) {
    ViewFilter f;
    f.SetAllTracks(false);
    f.SelectTrack(0);
    f.SelectTrack(2);
    f.RemoveTrack(1);
    EXPECT_TRUE(f.TrackSelected(0));
    EXPECT_TRUE(f.TrackSelected(1));
    EXPECT_FALSE(f.TrackSelected(2));

    ViewFilter only;
    only.ShowOnlyTrack(4);
    only.RemoveTrack(4);
    EXPECT_TRUE(only.TrackSelected(0)); // a view never shows nothing
    EXPECT_EQ(only.Description().str(), "Tr 1; All Ch'ls; All Instr'ts");
}

TEST(ViewFilter, UndoingATrackDeletionGivesTheFilterBack) {
    auto shown = [](const ViewFilter& f) {
        std::vector<std::size_t> tracks;
        for (std::size_t t = 0; t < 8; ++t)
            if (f.TrackSelected(t))
                tracks.push_back(t);
        return tracks;
    };
    // Showing the deleted track among others, showing only it (the fall-back to track 1
    // must go again), showing only track 1 when track 1 goes, showing other tracks.
    const std::vector<std::vector<std::size_t>> selections = {{0, 2, 3}, {2}, {0}, {1, 4}};
    for (const auto& selection : selections)
        for (std::size_t deleted : {std::size_t{0}, std::size_t{2}}) {
            ViewFilter f;
            f.SetAllTracks(false);
            for (std::size_t t : selection)
                f.SelectTrack(t);
            f.BuildDescription();
            const AString description = f.Description();
            const ViewFilter::TrackRemoval removal = f.RemoveTrack(deleted);
            f.RestoreTrack(removal);
            EXPECT_EQ(shown(f), selection) << "deleting " << deleted;
            EXPECT_EQ(f.Description(), description);
        }

    // A filter made after the deletion makes room for the track without showing it.
    ViewFilter later;
    later.ShowOnlyTrack(2);
    later.RestoreTrack(ViewFilter::TrackRemoval{1});
    EXPECT_EQ(shown(later), std::vector<std::size_t>{3});
}
