// Playback figures: how late the real-time timing thread hands events to its output.
// Prints the median, 99th percentile and worst lateness over 10,000 events played on
// the wall clock into a null sink.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "model/Song.h"
#include "playback/NullSink.h"
#include "playback/PacedOutput.h"
#include "playback/PostQueue.h"
#include "playback/PostTarget.h"
#include "playback/StreamPlayer.h"
#include "playback/VorlauneGuts.h"

namespace {

class NullPlayer : public StreamPlayer {
public:
    ~NullPlayer() override { Halt(); }
    NullSink sink{1 << 15};

protected:
    std::unique_ptr<PlayOutput> CreateOutput(AString&) override {
        return std::make_unique<PacedOutput>(sink);
    }
};

// 1,000 five-note chords, 25 ms apart, each ending as the next starts: 10,000 events.
std::unique_ptr<Song> ChordSong() {
    auto song = std::make_unique<Song>();
    song->SetTicksPerQuarter(480);
    song->SetTempo(0, 600000); // 1 tick = 1.25 ms
    for (int i = 0; i < 1000; ++i)
        for (int k = 0; k < 5; ++k)
            song->AddMsg(i * 20, std::make_unique<MidiMsgNote>(k, 48 + (i + 7 * k) % 40, 90, 20));
    return song;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const auto i = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[i];
}

} // namespace

int main() {
    auto song = ChordSong();
    auto owned = std::make_unique<NullPlayer>();
    NullPlayer& player = *owned;
    VorlauneGuts guts(std::move(owned));
    PostQueue posts;
    player.SetAddCallbackMsg(&posts, kPlayerWantsData);
    player.SetStopMusicCallbackMsg(&posts, kPlayerStopped);
    player.SetErrorCallbackMsg(&posts, kPlayerError);
    const auto started = std::chrono::steady_clock::now();
    guts.PlayAll(song.get(), nullptr);
    PostQueue::Posted posted;
    for (;;) {
        if (!posts.Wait(posted, std::chrono::seconds(5)))
            continue;
        guts.HandlePlayerMessage(posted.message);
        if (posted.message == kPlayerStopped)
            break;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::vector<double> late;
    for (const NullSink::Sent& sent : player.sink.SentItems())
        late.push_back(static_cast<double>(sent.at - sent.due) / 1000.0);
    if (late.empty()) {
        std::puts("timing thread: nothing was played");
        return 1;
    }
    std::printf("timing thread lateness over %zu events in %.1f s (null sink):\n", late.size(),
                seconds);
    std::printf("  median %.1f us, 99th percentile %.1f us, worst %.1f us\n", Percentile(late, 0.5),
                Percentile(late, 0.99), *std::max_element(late.begin(), late.end()));
    return 0;
}
