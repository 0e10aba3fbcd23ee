// The rules behind the song-level dialogs: tempo and signature lists, song and track
// properties, Delete Track. Each refusal is checked for its exact text and for leaving
// the song alone; each accepted choice is run as the window would run it.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/SignatureEditing.h"
#include "app/SongPropertiesChoice.h"
#include "app/TempoEditing.h"
#include "app/TrackDeletion.h"
#include "app/TrackPropertiesChoice.h"
#include "edit/CPCommand.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "model/TimeTexts.h"
#include "support/SongBuilder.h"

namespace {

std::vector<std::pair<std::int32_t, std::int32_t>> TempoList(const Song& song) {
    std::vector<std::pair<std::int32_t, std::int32_t>> list;
    for (const SongTempo& t : song.Tempos())
        list.emplace_back(t.tick, t.tempo);
    return list;
}

// A song of 4/4 at 384 ticks per quarter: a bar is 1536 ticks.
std::unique_ptr<Song> ThreeTempos() {
    auto song = BuildSong("0 n60 384, 12288 n62 384");
    song->ReplaceTempos({{0, 500000}, {3072, 600000}, {6144, 400000}});
    return song;
}

TempoEditing::Fields Typed(const char* time, std::int32_t bpm, bool moveLater = false) {
    TempoEditing::Fields f;
    f.time = time;
    f.bpm = bpm;
    f.moveLater = moveLater;
    return f;
}

} // namespace

TEST(TempoEditing, ListsEntriesAndOpensThemAsTyped) {
    auto song = ThreeTempos();
    TempoEditing editing(*song);
    const std::vector<AString> lines = editing.ListLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].str(), "1:1:0  120 beats per minute");
    EXPECT_EQ(lines[1].str(), "3:1:0  100 beats per minute");
    EXPECT_EQ(lines[2].str(), "5:1:0  150 beats per minute");

    std::optional<Message> notice;
    TempoEditing::Fields f = editing.Open(1, 0, notice);
    EXPECT_FALSE(notice);
    EXPECT_EQ(f.time.str(), "3:1:0");
    EXPECT_EQ(f.bpm, 100);
    // A new entry starts with the tempo in force where it goes.
    f = editing.Open(TempoEditing::kNewEntry, 4000, notice);
    EXPECT_EQ(f.time.str(), "3:3:160");
    EXPECT_EQ(f.bpm, 100);

    // A stored tempo of zero is reported and shown as the default.
    song->ReplaceTempos({{0, 500000}, {1536, 0}});
    f = editing.Open(1, 0, notice);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text.str(), TempoEditing::kZeroTempo);
    EXPECT_EQ(notice->icon, MessageIcon::Information);
    EXPECT_EQ(f.bpm, 120);
}

TEST(TempoEditing, RefusesTimesThatWouldDisorderTheListAndLeavesItAlone) {
    auto song = ThreeTempos();
    TempoEditing editing(*song);
    const auto before = TempoList(*song);
    std::unique_ptr<CPCommand> command;
    struct Case {
        long index;
        TempoEditing::Fields fields;
        const char* text;
    };
    const Case cases[] = {
        {1, Typed("1:1:0", 100), TempoEditing::kBeforePrevious}, // onto the previous entry
        {2, Typed("2:4:0", 150), TempoEditing::kBeforePrevious}, // before it
        // Past the next entry or onto it, with the later entries left where they are.
        {1, Typed("6:1:0", 100), TempoEditing::kAfterNext},
        {1, Typed("5:1:0", 100), TempoEditing::kAfterNext},
        {1, Typed("three", 100), TempoEditing::kNotATime},
        {1, Typed("3:1", 100), TempoEditing::kNotATime},
        {1, Typed("0:1:0", 100), TempoEditing::kNotATime},
        {1, Typed("3:1:384", 100), TempoEditing::kNoSuchTime}, // no such tick in a beat
        {TempoEditing::kNewEntry, Typed("2000000:1:0", 100), TempoEditing::kNoSuchTime},
        {1, Typed("3:1:0", 0), TempoEditing::kBpmRange},
        {1, Typed("3:1:0", 961), TempoEditing::kBpmRange},
    };
    for (const Case& c : cases) {
        const Refusal r = editing.Make(c.index, c.fields, command);
        ASSERT_TRUE(r) << c.fields.time.str();
        EXPECT_EQ(r.Text().str(), c.text) << c.fields.time.str();
        EXPECT_EQ(r.AsMessage().title.str(), "Vorlaune");
        EXPECT_EQ(r.AsMessage().icon, MessageIcon::Stop);
        EXPECT_FALSE(command);
    }
    EXPECT_EQ(TempoList(*song), before);
}

TEST(TempoEditing, AcceptedEntriesChangeTheListAndUndoBack) {
    auto song = ThreeTempos();
    TempoEditing editing(*song);
    const auto before = TempoList(*song);
    std::unique_ptr<CPCommand> command;
    auto run = [&](long index, const TempoEditing::Fields& f) {
        ASSERT_FALSE(editing.Make(index, f, command));
        ASSERT_TRUE(command);
        command->Execute();
    };

    // Within its neighbours, with a new tempo: 90 bpm is 666666 microseconds.
    run(1, Typed("4:1:0", 90));
    EXPECT_EQ(TempoList(*song), (decltype(before){{0, 500000}, {4608, 666666}, {6144, 400000}}));
    command->Undo();
    EXPECT_EQ(TempoList(*song), before);

    // Past the next entry with the later entries moving along by the same two bars.
    run(1, Typed("5:1:0", 100, true));
    EXPECT_EQ(TempoList(*song), (decltype(before){{0, 500000}, {6144, 600000}, {9216, 400000}}));
    command->Undo();

    // A beat past the bar's last is read as the last beat.
    run(1, Typed("4:9:0", 100));
    EXPECT_EQ(song->Tempos()[1].tick, 4608 + 3 * 384);
    command->Undo();

    // The first entry stays at the start whatever time is typed.
    run(0, Typed("2:1:0", 60));
    EXPECT_EQ(song->Tempos()[0].tick, 0);
    EXPECT_EQ(song->Tempos()[0].tempo, 1000000);
    command->Undo();

    // A new entry goes in order; one typed at an entry's time changes that entry.
    run(TempoEditing::kNewEntry, Typed("2:1:0", 200));
    EXPECT_EQ(TempoList(*song),
              (decltype(before){{0, 500000}, {1536, 300000}, {3072, 600000}, {6144, 400000}}));
    command->Undo();
    run(TempoEditing::kNewEntry, Typed("3:1:0", 200));
    EXPECT_EQ(song->TempoCount(), 3u);
    EXPECT_EQ(song->Tempos()[1].tempo, 300000);
    command->Undo();
    EXPECT_EQ(TempoList(*song), before);

    // OK on an unchanged entry records nothing.
    EXPECT_FALSE(editing.Make(2, Typed("5:1:0", 150), command));
    EXPECT_FALSE(command);
}

TEST(SignatureEditing, ListOpenAndTheKeyAndScaleFollowEachOther) {
    auto song = BuildSong("0 n60 384");
    song->SetSignature(2, 3, 4, 2, 0);
    song->SetSignature(4, 6, 8, -3, 1);
    SignatureEditing editing(*song);
    const std::vector<AString> lines = editing.ListLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].str(), "3:0:000  3/4  D (2 sharps)  Major");
    EXPECT_EQ(lines[2].str(), "5:0:000  6/8  C (3 flats)  Natural Minor");

    SignatureEditing::Fields f = editing.Open(2, 0);
    EXPECT_EQ(f.bar, 5);
    EXPECT_EQ(f.numerator, 6);
    EXPECT_EQ(f.denominator, 8);
    EXPECT_STREQ(SignatureDialogKeyName(f.keyIndex), "C minor (3 b)");
    EXPECT_EQ(f.scale, 1);
    // A new entry starts from what is in force at its bar.
    f = editing.Open(SignatureEditing::kNewEntry, 4);
    EXPECT_EQ(f.bar, 4);
    EXPECT_EQ(f.numerator, 3);
    EXPECT_STREQ(SignatureDialogKeyName(f.keyIndex), "D Major (2 #)");

    // Picking a minor key turns a major scale minor, and a minor scale turns the key to
    // its relative minor; the other scales go with the major names.
    const int dMajor = 8, bMinor = 21;
    EXPECT_EQ(SignatureEditing::ScaleForKey(bMinor, 0), 1);
    EXPECT_EQ(SignatureEditing::ScaleForKey(bMinor, 2), 2);
    EXPECT_EQ(SignatureEditing::ScaleForKey(dMajor, 2), 0);
    EXPECT_EQ(SignatureEditing::ScaleForKey(dMajor, 3), 3);
    EXPECT_EQ(SignatureEditing::KeyForScale(dMajor, 1), bMinor);
    EXPECT_EQ(SignatureEditing::KeyForScale(bMinor, 4), dMajor);
    EXPECT_EQ(SignatureEditing::KeyForScale(dMajor, 4), dMajor);

    // The time signature is typed as "upper/lower".
    SignatureEditing::Fields typed;
    EXPECT_TRUE(SignatureEditing::ReadTimeSignature(" 6 / 8 ", typed));
    EXPECT_EQ(typed.numerator, 6);
    EXPECT_EQ(typed.denominator, 8);
    for (const char* bad : {"3", "3/4/4", "a/4", "3/", ""})
        EXPECT_FALSE(SignatureEditing::ReadTimeSignature(bad, typed)) << bad;
}

TEST(SignatureEditing, RefusalsAndChanges) {
    auto song = BuildSong("0 n60 384");
    song->SetSignature(2, 3, 4, 2, 0);
    SignatureEditing editing(*song);
    const std::vector<AString> before = editing.ListLines();
    std::unique_ptr<CPCommand> command;
    auto fields = [](int bar, int num, int den) {
        SignatureEditing::Fields f;
        f.bar = bar;
        f.numerator = num;
        f.denominator = den;
        return f;
    };
    struct Case {
        long index;
        SignatureEditing::Fields f;
        const char* text;
    };
    const Case cases[] = {
        {SignatureEditing::kNewEntry, fields(0, 4, 4), SignatureEditing::kBadBar},
        {SignatureEditing::kNewEntry, fields(100000, 4, 4), SignatureEditing::kBadBar},
        {1, fields(3, 0, 4), SignatureEditing::kBadNumerator},
        {1, fields(3, 100, 4), SignatureEditing::kBadNumerator},
        {1, fields(3, 4, 3), SignatureEditing::kBadDenominator},
        {1, fields(3, 4, 256), SignatureEditing::kBadDenominator},
        {1, fields(3, 4, 0), SignatureEditing::kBadDenominator},
        // Moving an entry onto another would silently replace that one.
        {1, fields(1, 3, 4), SignatureEditing::kBarTaken},
    };
    for (const Case& c : cases) {
        const Refusal r = editing.Make(c.index, c.f, command);
        ASSERT_TRUE(r) << c.f.bar << " " << c.f.numerator << "/" << c.f.denominator;
        EXPECT_EQ(r.Text().str(), c.text);
        EXPECT_FALSE(command);
    }
    Refusal r = editing.MakeDelete(0, command);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.Text().str(), SignatureEditing::kFirstStays);
    EXPECT_EQ(editing.ListLines(), before);

    // A new entry in E minor, 6/8 at bar 5; moving the 3/4 entry to bar 4; deleting it.
    SignatureEditing::Fields f = fields(5, 6, 8);
    f.keyIndex = 20; // "E minor (1 #)"
    f.scale = 0;     // follows the key: natural minor
    ASSERT_FALSE(editing.Make(SignatureEditing::kNewEntry, f, command));
    command->Execute();
    EXPECT_EQ(editing.ListLines().back().str(), "5:0:000  6/8  E (1 sharp)  Natural Minor");
    f = editing.Open(1, 0);
    f.bar = 4;
    ASSERT_FALSE(editing.Make(1, f, command));
    command->Execute();
    EXPECT_EQ(editing.ListLines()[1].str(), "4:0:000  3/4  D (2 sharps)  Major");
    // The first entry keeps the first bar whatever is typed.
    f = editing.Open(0, 0);
    f.bar = 7;
    f.numerator = 2;
    ASSERT_FALSE(editing.Make(0, f, command));
    command->Execute();
    EXPECT_EQ(editing.ListLines()[0].str(), "1:0:000  2/4  C  Major");
    ASSERT_FALSE(editing.MakeDelete(1, command));
    command->Execute();
    EXPECT_EQ(editing.ListLines().size(), 2u);
    command->Undo();
    EXPECT_EQ(editing.ListLines().size(), 3u);
    // Unchanged: nothing recorded.
    ASSERT_FALSE(editing.Make(1, editing.Open(1, 0), command));
    EXPECT_FALSE(command);
}

TEST(SongPropertiesChoice, OffersTheResolutionsAndRefusesOnesTheSongCannotTake) {
    auto song = BuildSong("0 n60 384", 100);
    const std::vector<std::int32_t> offered = SongPropertiesChoice::Resolutions(*song);
    const std::vector<std::int32_t> expected = {48,  72,  96,  100, 120, 144, 168,
                                                192, 216, 240, 360, 384, 480};
    EXPECT_EQ(offered, expected);
    std::unique_ptr<CPCommand> command;
    SongPropertiesChoice c = SongPropertiesChoice::From(*song);
    ASSERT_FALSE(c.Make(*song, command));
    EXPECT_FALSE(command); // OK without a change records nothing

    c.ticksPerQuarter = 97;
    EXPECT_EQ(c.Make(*song, command).Text().str(), SongPropertiesChoice::kNotOffered);

    // Texts and resolution in one command, and back.
    c = SongPropertiesChoice::From(*song);
    c.title = "Song";
    c.instructions = "Slowly";
    c.ticksPerQuarter = 48;
    ASSERT_FALSE(c.Make(*song, command));
    ASSERT_TRUE(command);
    command->Execute();
    EXPECT_EQ(song->TicksPerQuarter(), 48);
    EXPECT_EQ(song->title.text.str(), "Song");
    EXPECT_EQ(song->instructions.text.str(), "Slowly");
    command->Undo();
    EXPECT_EQ(song->TicksPerQuarter(), 100);
    EXPECT_FALSE(song->title.set);

    // A song whose end would pass the last tick at a finer resolution.
    auto late = BuildSong("0 n60 384");
    late->AddMsg(2000000000, std::make_unique<MidiMsgNote>(0, 60, 96, 96));
    c = SongPropertiesChoice::From(*late);
    c.ticksPerQuarter = 480;
    const Refusal r = c.Make(*late, command);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.Text().str(), SongPropertiesChoice::kTooLong);
    EXPECT_FALSE(command);
    EXPECT_EQ(late->TicksPerQuarter(), 384);
}

TEST(TrackPropertiesChoice, NoTracksAndWhatEachChoiceChanges) {
    Song empty;
    std::unique_ptr<CPCommand> command;
    Refusal r = TrackPropertiesChoice::Available(empty);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.AsMessage().text.str(),
              "This operation can not be performed\nsince there are no notes in the song,\nand "
              "therefore no tracks.");
    EXPECT_EQ(r.AsMessage().title.str(), "Vorlaune");
    EXPECT_TRUE(TrackPropertiesChoice().Make(empty, command));

    auto song = BuildSong("0 t0 c2 n60 384, 0 t1 c3 n64 384, 384 t1 c4 n65 384");
    song->SetTrackProperties(0, 2, 5, -1);
    song->SetTrackProperties(1, kNoChannel, 7, -1);
    TrackPropertiesChoice c = TrackPropertiesChoice::For(*song, 0);
    EXPECT_EQ(c.track, 1);
    EXPECT_EQ(TrackPropertiesChoice::ChannelText(c.channel).str(), "Channel 3");
    EXPECT_EQ(TrackPropertiesChoice::InstrumentText(c.instrument).str(), "Chorused Piano");
    // Track 2 mixes two channels.
    c = TrackPropertiesChoice::For(*song, 1);
    EXPECT_EQ(TrackPropertiesChoice::ChannelText(c.channel).str(), "No Default");
    ASSERT_FALSE(c.Make(*song, command));
    EXPECT_FALSE(command); // nothing changed

    // "No Default" leaves the instrument, and the bank goes with an instrument only.
    c.channel = 9;
    c.instrument = TrackPropertiesChoice::kNoDefaultInstrument;
    c.bank = 5;
    EXPECT_FALSE(c.BankUsed());
    ASSERT_FALSE(c.Make(*song, command));
    ASSERT_TRUE(command);
    command->Execute();
    std::uint8_t channel = 0, program = 0;
    std::int32_t bank = 0;
    song->GetTrackProperties(1, channel, program, bank);
    EXPECT_EQ(channel, 9);
    EXPECT_EQ(program, 7);
    EXPECT_EQ(bank, -1);
    command->Undo();
    song->GetTrackProperties(1, channel, program, bank);
    EXPECT_EQ(channel, kNoChannel);

    c = TrackPropertiesChoice::For(*song, 0);
    c.instrument = 40;
    c.bank = 2;
    ASSERT_FALSE(c.Make(*song, command));
    command->Execute();
    song->GetTrackProperties(0, channel, program, bank);
    EXPECT_EQ(program, 40);
    EXPECT_EQ(bank, 2);

    c.track = 3;
    EXPECT_TRUE(c.Make(*song, command));
    EXPECT_FALSE(command);
}

TEST(TrackDeletion, RefusesTheLastTrackAndAsksBeforeDeleting) {
    auto one = BuildSong("0 n60 384");
    std::unique_ptr<CPCommand> command;
    Refusal r = TrackDeletion::Available(*one);
    ASSERT_TRUE(r);
    EXPECT_EQ(r.AsMessage().text.str(), "There must be at least 2 tracks active to delete one.");
    EXPECT_EQ(r.AsMessage().icon, MessageIcon::Exclamation);
    EXPECT_TRUE(TrackDeletion::Make(*one, 0, command));
    EXPECT_FALSE(command);

    EXPECT_EQ(TrackDeletion::Question(2).str(), "Are you sure you want to delete track #3");

    auto song = BuildSong("0 t0 n60 384, 0 t1 n64 384, 384 t2 n67 384");
    const std::string before = DumpRecords(*song);
    EXPECT_TRUE(TrackDeletion::Make(*song, 3, command));
    ASSERT_FALSE(TrackDeletion::Make(*song, 1, command));
    command->Execute();
    EXPECT_EQ(song->TrackCount(), 2u);
    command->Undo();
    EXPECT_EQ(DumpRecords(*song), before);
}
