#include <gtest/gtest.h>

#include <cstring>

#include "StaffLayoutHelpers.h"
#include "model/SongIter.h"

TEST(StaffArranger, WrittenValuesFollowTheThresholdsAtEachResolution) {
    StaffArranger arranger;
    arranger.SetTicksPerQuarter(480);
    EXPECT_EQ(arranger.DurationType(480), kDurQuarter);
    EXPECT_EQ(arranger.DurationType(420), kDurQuarter);
    EXPECT_EQ(arranger.DurationType(419), kDurDotted8th);
    EXPECT_EQ(arranger.DurationType(559), kDurHalfTriplet); // 1.16664 x 480, truncated
    EXPECT_EQ(arranger.DurationType(558), kDurQuarter);
    EXPECT_EQ(arranger.DurationType(480 * 10), kDurWhole);
    arranger.SetTicksPerQuarter(384);
    EXPECT_EQ(arranger.DurationType(543), kDurDottedQuarter); // 1.4164 x 384 = 543.9
    EXPECT_EQ(arranger.DurationType(542), kDurHalfTriplet);
    EXPECT_EQ(arranger.DurationType(128), kDur8thTriplet);
    arranger.SetTicksPerQuarter(96);
    EXPECT_EQ(arranger.DurationType(6), kDur64th);
    EXPECT_EQ(arranger.DurationType(7), kDurDotted64th);
    EXPECT_EQ(arranger.DurationType(0), kDur64th);
    EXPECT_EQ(arranger.Threshold(kDurWhole), 336);
}

TEST(StaffArranger, MeasureSetUpFollowsTheSignatures) {
    ArrangedSong s("0 n60 384, 7000 n60 384");
    s.song->SetTimeSignature(1, 3, 4);
    s.song->SetTimeSignature(2, 6, 8);
    s.song->SetKeySignature(3, -2, 0);
    s.song->SetTimeSignature(4, 5, 4);
    s.Arrange(5);
    struct Expect {
        std::int32_t start, length, groups, groupLength;
        bool timeChanged, keyChanged;
    };
    const Expect expected[] = {{0, 1536, 2, 768, true, true},
                               {1536, 1152, 3, 384, true, false},
                               {2688, 1152, 2, 576, true, false},
                               {3840, 1152, 2, 576, false, true},
                               {4992, 1920, 5, 384, true, false}};
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE("measure " + std::to_string(i));
        EXPECT_EQ(s[i].startTick, expected[i].start);
        EXPECT_EQ(s[i].length, expected[i].length);
        EXPECT_EQ(s[i].beatGroupCount, expected[i].groups);
        EXPECT_EQ(s[i].beatGroupLength, expected[i].groupLength);
        EXPECT_EQ(s[i].timeSigChanged, expected[i].timeChanged);
        EXPECT_EQ(s[i].keySigChanged, expected[i].keyChanged);
        EXPECT_EQ(s[i].measureNumber, static_cast<std::int32_t>(i));
        EXPECT_EQ(s[i].firstMeasureOfSong, i == 0);
        EXPECT_EQ(s[i].firstAfterStart, i == 0);
    }
    // Starting inside measure 3 shows its signatures again.
    const MeasureDrawInfo& restarted = s.Arrange(1, 4000);
    EXPECT_EQ(restarted.measureNumber, 3);
    EXPECT_EQ(restarted.startTick, 3840);
    EXPECT_TRUE(restarted.timeSigChanged);
    EXPECT_TRUE(restarted.keySigChanged);
    EXPECT_TRUE(restarted.firstAfterStart);
    EXPECT_EQ(restarted.signature.key, -2);
}

TEST(StaffArranger, NoteOverTheBarLineIsTiedIntoTheNextMeasure) {
    ArrangedSong s("1152 n67 768");
    s.Arrange(2);
    const auto first = Notes(s[0]);
    const auto second = Notes(s[1]);
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(first[0]->durationType, kDurQuarter);
    EXPECT_EQ(first[0]->duration, 768);
    EXPECT_GE(first[0]->tieStart, 0);
    EXPECT_EQ(first[0]->carriedDuration, 384);
    EXPECT_EQ(second[0]->time, 0);
    EXPECT_EQ(second[0]->durationType, kDurQuarter);
    EXPECT_EQ(second[0]->tieEnd, first[0]->tieStart);
    EXPECT_EQ(second[0]->tieStart, -1);
    EXPECT_EQ(second[0]->msgIndex, -1); // the message itself stands in measure 0
    EXPECT_EQ(second[0]->accidental, kAccNone);
    EXPECT_EQ(RestText(s[1]), "384:11 768:14");
}

TEST(StaffArranger, LongNoteIsTiedOverSeveralBarLines) {
    ArrangedSong s("1152 n61 2304");
    s.Arrange(3);
    const NoteDrawItem* a = Notes(s[0]).at(0);
    const NoteDrawItem* b = Notes(s[1]).at(0);
    const NoteDrawItem* c = Notes(s[2]).at(0);
    EXPECT_EQ(a->accidental, kAccSharp);
    EXPECT_EQ(b->durationType, kDurWhole);
    EXPECT_EQ(b->tieEnd, a->tieStart);
    EXPECT_NE(b->tieStart, a->tieStart);
    EXPECT_EQ(b->carriedDuration, 384);
    EXPECT_EQ(c->tieEnd, b->tieStart);
    EXPECT_EQ(c->tieStart, -1);
    EXPECT_EQ(c->partLength, 384);
    EXPECT_TRUE(s.arranger->Finished());
    EXPECT_TRUE(s[2].endOfSong);
}

TEST(StaffArranger, CarriedLengthsPastSixteenBitsAreBoundedButKept) {
    ArrangedSong s("0 n60 100000");
    std::int64_t drawn = 0;
    s.arranger->Start(*s.song, nullptr, 0);
    int measures = 0;
    while (!s.arranger->Finished() || measures == 0) {
        auto m = s.arranger->ArrangeNextMeasure();
        const NoteDrawItem* n = Notes(*m).at(0);
        drawn += n->partLength;
        EXPECT_GE(n->carriedDuration, 0);
        if (measures == 0) {
            EXPECT_EQ(n->carriedDuration, 32767);
        }
        ASSERT_LT(++measures, 100);
    }
    EXPECT_EQ(drawn, 100000);
}

TEST(StaffArranger, TieIdsStayInsideTheAnchorTable) {
    auto song = std::make_unique<Song>();
    song->AddTrack(0, 0, -1);
    const int count = kTieIdCount + 2;
    for (int m = 0; m < count; ++m)
        song->AddMsg(m * 1536 + 1152, std::make_unique<MidiMsgNote>(0, 60, 100, 768));
    StaffArranger arranger;
    arranger.Start(*song, nullptr, 0);
    std::int16_t last = -1;
    for (int m = 0; m < count; ++m) {
        auto measure = arranger.ArrangeNextMeasure();
        for (const NoteDrawItem* n : Notes(*measure)) {
            ASSERT_LT(n->tieStart, kTieIdCount);
            if (n->tieStart >= 0)
                last = n->tieStart;
        }
    }
    EXPECT_EQ(last, 1); // ids wrapped past the table's end
}

TEST(StaffArranger, RestsFillGapsPerBeatGroup) {
    // A dotted-quarter gap inside one group: an eighth rest, then a quarter rest.
    ArrangedSong a("576 n60 192, 768 n62 768");
    EXPECT_EQ(RestText(a.Arrange(1)), "0:8 192:11");
    // A gap over a group boundary is cut there.
    ArrangedSong b("0 n60 384, 1152 n62 384");
    EXPECT_EQ(RestText(b.Arrange(1)), "384:11 768:11");
    // Shorter than a thirty-second: nothing; exactly one: a rest.
    ArrangedSong c("0 n60 337, 384 n62 1152");
    EXPECT_EQ(RestText(c.Arrange(1)), "");
    ArrangedSong d("0 n60 336, 384 n62 1152");
    EXPECT_EQ(RestText(d.Arrange(1)), "336:2");
    // Trailing rests run to the bar line.
    ArrangedSong e("0 n60 384");
    EXPECT_EQ(RestText(e.Arrange(1)), "384:11 768:14");
}

TEST(StaffArranger, EmptyMeasuresHoldRestsPerBeatGroupOnEveryStaff) {
    ArrangedSong s("0 n60 1", 384, kClefGrand);
    s.song->SetTimeSignature(1, 6, 8);
    s.song->SetTimeSignature(2, 5, 4);
    s.Arrange(1);
    auto sixEight = s.arranger->ArrangeEmptyMeasure();
    // Each dotted-quarter group splits into an eighth and a quarter rest, on both staves.
    EXPECT_EQ(RestText(*sixEight), "0:8 0:8 192:11 192:11 576:8 576:8 768:11 768:11");
    for (const RestDrawItem* r : Rests(*sixEight))
        EXPECT_TRUE(r->position == 16 || r->position == 38);
    EXPECT_TRUE(sixEight->endOfSong);
    auto fiveFour = s.arranger->ArrangeEmptyMeasure();
    EXPECT_EQ(Rests(*fiveFour).size(), 10u);
    EXPECT_EQ(fiveFour->shortestType, kDurNone);
}

TEST(StaffArranger, CloseGroupsShareAColumn) {
    auto columnsFor = [](const std::string& text) {
        ArrangedSong s(text, 480);
        ViewOptions options;
        options.clefType = kClefTreble;
        options.timeGroupMerge = 0.025; // 12 ticks at 480
        s.arranger->Configure(options);
        const MeasureDrawInfo& m = s.Arrange(1);
        std::size_t withNotes = 0;
        for (const DrawItemInfoList& column : m.columns)
            for (const DrawItemInfo* item : column)
                if (item->kind == kItemNote) {
                    ++withNotes;
                    break;
                }
        return withNotes;
    };
    EXPECT_EQ(columnsFor("0 n60 480, 10 n64 470, 20 n67 460"), 1u); // chained merges
    EXPECT_EQ(columnsFor("0 n60 480, 13 n64 467"), 2u);
}

TEST(StaffArranger, PedalsAudioCuesAndTextsBecomeItems) {
    ArrangedSong s("0 cc64=127 n60 384, 96 cc64=100, 192 cc64=0 cc67=64 cc7=127, "
                   "288 text7=Audio:bell.wav text5=la text1=note, 384 bend9000");
    const MeasureDrawInfo& m = s.Arrange(1);
    auto symbols = ItemsOf<SymbolDrawItem>(m, kItemSymbol);
    ASSERT_EQ(symbols.size(), 4u);
    EXPECT_EQ(symbols[0]->symbol, kSymbolPedalDown);
    EXPECT_EQ(symbols[0]->position, 32);
    EXPECT_EQ(symbols[1]->symbol, kSymbolPedalUp);
    EXPECT_EQ(symbols[1]->time, 192);
    EXPECT_EQ(symbols[2]->symbol, kSymbolPedalDown); // controller 67 on
    EXPECT_EQ(symbols[3]->symbol, kSymbolAudioCue);
    EXPECT_EQ(symbols[3]->position, 34);
    auto texts = ItemsOf<TextDrawItem>(m, kItemText);
    ASSERT_EQ(texts.size(), 1u); // comments are off by default
    EXPECT_STREQ(texts[0]->text, "la");
    EXPECT_EQ(texts[0]->position, 26);

    ViewOptions options;
    options.clefType = kClefGrand;
    options.showComments = 1;
    s.arranger->Configure(options);
    auto grand = ItemsOf<TextDrawItem>(s.Arrange(1), kItemText);
    ASSERT_EQ(grand.size(), 2u);
    EXPECT_EQ(grand[0]->position, 48); // six below the lower staff
}

TEST(StaffArranger, LongTextsAreCutToTheItemSize) {
    ArrangedSong s("0 n60 384");
    s.song->RewindInsertion();
    auto text = std::make_unique<MidiMsgText>(5, AString(std::string(600, 'x')));
    text->track = 0;
    s.song->AddMsg(0, std::move(text));
    auto texts = ItemsOf<TextDrawItem>(s.Arrange(1), kItemText);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(std::strlen(texts[0]->text), TextDrawItem::kMaxText);
}

TEST(StaffArranger, AFullItemBlockGrowsInsteadOfOverflowing) {
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += (text.empty() ? "" : ", ") + std::to_string(i % 1536) + " n" +
                std::to_string(40 + i % 50) + " 96";
    ArrangedSong s(text);
    s.arranger = std::make_unique<StaffArranger>(4096);
    const MeasureDrawInfo& m = s.Arrange(1);
    EXPECT_EQ(Notes(m).size(), 3000u);
    EXPECT_GT(s.arranger->Block().Used(), s.arranger->Block().Capacity());
    const std::size_t used = s.arranger->Block().Used();
    s.Arrange(1);
    EXPECT_GE(s.arranger->Block().Peak(), used);
}
