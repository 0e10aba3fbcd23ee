// Notes sounded at once, beside any play: the note an edit changed.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "FakeAudioDevice.h"
#include "FakePlayer.h"
#include "TestSounds.h"
#include "playback/PlayerEngine.h"
#include "playback/VorlauneGuts.h"

using namespace std::chrono_literals;

TEST(LiveNotes, AnEditedNoteSoundsAtOnceOnTheSynthesizerAndEndsWithItsNoteOff) {
    if (TestSoundFont().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    FakeAudioDevice device;
    auto owned = std::make_unique<PlayerEngine>();
    owned->SetSoundFont(TestSoundFont());
    VorlauneGuts guts(std::move(owned));
    guts.WarmUp();
    FakeAudioDevice::Lane* lane = device.Last();
    ASSERT_NE(lane, nullptr);
    ASSERT_TRUE(lane->WaitDone(lane->Done() + 8, 2s));
    EXPECT_LT(lane->PeakSince(lane->Done() - 4), 0.001f); // nothing plays yet

    const MidiMsgNote note(0, 72, 110, 384, 0);
    ASSERT_TRUE(guts.SoundNoteOn(note));
    EXPECT_TRUE(lane->WaitLouder(lane->Done(), 0.01f, 2s));
    guts.SoundNoteOff(note);
    // The piano's release dies away: a second later the output is near silent again.
    std::this_thread::sleep_for(1500ms);
    const std::uint64_t later = lane->Done();
    ASSERT_TRUE(lane->WaitDone(later + 8, 2s));
    EXPECT_LT(lane->PeakSince(later), 0.01f);
}

TEST(LiveNotes, TheInstrumentComesFirstOnlyWhileNothingPlays) {
    auto owned = std::make_unique<FakePlayer>();
    FakePlayer& player = *owned;
    VorlauneGuts guts(std::move(owned));
    MidiMsgNote note(3, 64, 90, 100, 41, 130);
    ASSERT_TRUE(guts.SoundNoteOn(note));
    guts.SoundNoteOff(note);
    EXPECT_EQ(player.Stream(0).size(), 0u);
    std::vector<std::string> live;
    for (const std::string& call : player.calls)
        if (call.rfind("live", 0) == 0)
            live.push_back(call);
    // Bank 130 = coarse 1, fine 2; program 41; the note on channel 4; its note off.
    EXPECT_EQ(live, (std::vector<std::string>{"live 179 0 1", "live 179 32 2", "live 195 41",
                                              "live 147 64 90", "live 131 64 0"}));
    player.busy = true; // a song plays: its instruments stay as they are
    player.calls.clear();
    guts.SoundNoteOn(note);
    EXPECT_EQ(player.calls, (std::vector<std::string>{"live 147 64 90"}));
}
