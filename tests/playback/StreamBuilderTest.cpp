#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "playback/EventQueue.h"
#include "playback/StreamBuilder.h"

using Lines = std::vector<std::string>;

namespace {

constexpr std::int64_t kMs = 1000000;

// "ms:bytes" for the MIDI events, "ms:end" for the end mark.
Lines Midi(const StreamBuilder& builder) {
    Lines out;
    for (const PlayEvent& e : builder.Ready()) {
        std::ostringstream line;
        line << e.due / kMs << ":";
        if (e.type == PlayEvent::kEnd)
            line << "end";
        else if (e.type == PlayEvent::kMidi)
            for (int i = 0; i < e.size; ++i)
                line << (i ? " " : "") << std::hex << int(e.bytes[i]);
        else
            continue;
        out.push_back(line.str());
    }
    return out;
}

} // namespace

TEST(StreamBuilder, TicksBecomeTimeThroughTheTempoChangesAsTheyCome) {
    StreamBuilder b;
    b.Reset(480);
    b.BeginGroup(0, 0);
    b.Tempo(500000);
    b.Note(0, 60, 960, 100, -1, 255, 0); // over the change below: ends at 500 + 250 ms
    b.BeginGroup(480, 480);
    b.Tempo(250000);
    b.BeginGroup(480, 960);
    b.Note(0, 60, 480, 90, -1, 255, 64);
    b.Finish();
    EXPECT_EQ(Midi(b),
              (Lines{"0:90 3c 64", "750:80 3c 0", "750:90 3c 5a", "1000:80 3c 40", "1000:end"}));
}

TEST(StreamBuilder, TheFirstTempoAlsoTimesTheLeadInFromTheStart) {
    StreamBuilder b;
    b.Reset(480);
    b.BeginGroup(240, 1240); // starts at 1000, first notes 240 ticks in
    b.Tempo(1000000);
    b.Note(1, 64, 10, 100, -1, 255, 0);
    EXPECT_EQ(b.StartTick(), 1000);
    EXPECT_EQ(Midi(b).front(), "500:91 40 64");
    EXPECT_EQ(b.Ready().front().tick, 1000); // the position starts at the start tick
}

TEST(StreamBuilder, OverlappingNotesOfOneKeyRestrikeAndEndWithTheLast) {
    StreamBuilder b;
    b.Reset(1000); // 1 tick = 0.5 ms
    b.BeginGroup(0, 0);
    b.Note(0, 60, 1000, 100, -1, 255, 0);
    b.BeginGroup(500, 500);
    b.Note(0, 60, 200, 100, -1, 255, 0);
    b.Finish();
    EXPECT_EQ(Midi(b),
              (Lines{"0:90 3c 64", "250:80 3c 0", "250:90 3c 64", "500:80 3c 0", "500:end"}));
}

TEST(StreamBuilder, InstrumentGoesBeforeANoteOnlyWhenItsChannelNeedsIt) {
    StreamBuilder b;
    b.Reset(480);
    b.BeginGroup(0, 0);
    b.Note(0, 60, 10, 100, 130, 5, 0); // bank 130 = MSB 1, LSB 2
    b.Note(0, 64, 10, 100, 130, 5, 0);
    b.Note(1, 64, 10, 100, -1, 5, 0);
    b.Note(2, 64, 10, 100, -1, 255, 0); // no instrument: none sent
    b.BeginGroup(480, 480);
    b.Note(0, 60, 10, 100, -1, 5, 0); // same program, no bank now
    EXPECT_EQ(Midi(b), (Lines{"0:b0 0 1", "0:b0 20 2", "0:c0 5", "0:90 3c 64", "0:90 40 64",
                              "0:c1 5", "0:91 40 64", "0:92 40 64", "10:80 3c 0", "10:80 40 0",
                              "10:81 40 0", "10:82 40 0", "500:c0 5", "500:90 3c 64"}));

    b.Reset(480);
    b.SetChannelSpecificInstruments(true);
    b.BeginGroup(0, 0);
    b.Note(0, 60, 10, 100, 130, 5, 0);
    EXPECT_EQ(Midi(b), (Lines{"0:90 3c 64"}));
}

TEST(StreamBuilder, ProgramChangeDelayGivesEachChangeItsTimeBeforeTheNote) {
    StreamBuilder b;
    b.SetProgramChangeDelay(100);
    b.Reset(500); // 1 tick = 1 ms
    b.BeginGroup(0, 0);
    b.Tempo(500000);
    b.Note(0, 60, 10, 100, -1, 1, 0); // no room at the start: the music waits
    b.Note(1, 60, 10, 100, -1, 2, 0); // fits in the same wait
    b.BeginGroup(1000, 1000);
    b.Note(0, 62, 10, 100, -1, 3, 0); // room enough: the change goes ahead
    b.BeginGroup(30, 1030);
    b.Note(1, 64, 10, 100, -1, 4, 0); // only 20 ms since the last note off: waits 80
    b.BeginGroup(100, 1130);
    b.Note(1, 65, 10, 100, -1, 4, 0);
    b.Finish();
    EXPECT_EQ(Midi(b), (Lines{"0:c0 1", "0:c1 2", "100:90 3c 64", "100:91 3c 64", "110:80 3c 0",
                              "110:81 3c 0", "1000:c0 3", "1100:90 3e 64", "1110:80 3e 0",
                              "1110:c1 4", "1210:91 40 64", "1220:81 40 0", "1310:91 41 64",
                              "1320:81 41 0", "1320:end"}));
}

TEST(StreamBuilder, CoarseControllersSendTheirFinePartner) {
    StreamBuilder b;
    b.Reset(480);
    b.BeginGroup(0, 0);
    b.Control(3, 7, 100 * 128 + 5, false);
    b.Control(3, 101, 2 * 128 + 1, false);
    b.Control(3, 64, 300, true); // clamped to seven bits
    b.Control(16, 64, 1, true);  // no such channel
    b.Control(3, 200, 1, true);  // no such controller
    b.PitchBend(3, 20000);
    EXPECT_EQ(Midi(b), (Lines{"0:b3 7 64", "0:b3 27 5", "0:b3 65 2", "0:b3 64 1", "0:b3 40 7f",
                              "0:e3 7f 7f"}));
}

TEST(StreamBuilder, StaysInTimeOrderWhateverComes) {
    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        StreamBuilder b;
        b.SetProgramChangeDelay(static_cast<unsigned>(random() % 60));
        b.Reset(96 + static_cast<int>(random() % 400));
        EventQueue queue(1 << 14);
        std::vector<PlayEvent> all;
        int tick = 0;
        for (int group = 0; group < 200; ++group) {
            const int delta = static_cast<int>(random() % 50);
            tick += delta;
            b.BeginGroup(delta, tick);
            if (random() % 5 == 0)
                b.Tempo(100000 + static_cast<int>(random() % 900000));
            for (int n = static_cast<int>(random() % 4); n > 0; --n)
                b.Note(static_cast<std::uint8_t>(random() % 3),
                       static_cast<std::uint8_t>(60 + random() % 5),
                       static_cast<int>(random() % 300), 100, -1,
                       static_cast<std::uint8_t>(random() % 3), 0);
            if (group % 37 == 0) {
                b.MoveTo(queue);
                while (const PlayEvent* e = queue.Peek()) {
                    all.push_back(*e);
                    queue.Pop();
                }
            }
        }
        b.Finish();
        all.insert(all.end(), b.Ready().begin(), b.Ready().end());
        int sounding[3][128] = {};
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (i > 0) {
                ASSERT_LE(all[i - 1].due, all[i].due) << "round " << round << " event " << i;
            }
            const PlayEvent& e = all[i];
            if (e.type == PlayEvent::kMidi && (e.bytes[0] & 0xE0) == 0x80) {
                int& s = sounding[e.bytes[0] & 0x0F][e.bytes[1]];
                s += (e.bytes[0] & 0xF0) == 0x90 ? 1 : -1;
                ASSERT_GE(s, 0);
                ASSERT_LE(s, 1);
            }
        }
        for (auto& channel : sounding)
            for (int s : channel)
                ASSERT_EQ(s, 0) << "a note was left sounding";
        ASSERT_EQ(all.back().type, PlayEvent::kEnd);
    }
}
