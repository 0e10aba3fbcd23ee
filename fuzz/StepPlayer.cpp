#include "StepPlayer.h"

#include <algorithm>
#include <memory>

#include "model/Song.h"
#include "playback/MidiSink.h"
#include "playback/PostTarget.h"
#include "playback/VorlauneGuts.h"

namespace {

constexpr std::int64_t kStepNs = 10'000'000;
// As far ahead as the real player keeps the queue filled.
constexpr std::int64_t kAheadNs = 1'500'000'000;

} // namespace

StepPlayer::StepPlayer(std::size_t capacity) : queue_(capacity) {
    cueSound_.samples.assign(64, 0.0f);
}

void StepPlayer::AdvanceTo(std::int64_t now, MidiSink& sink) {
    if (busy_ && !stopAsked_)
        seq_.Advance(now, sink);
}

bool StepPlayer::WantsData(std::int64_t now, std::int64_t ahead) {
    if (!busy_ || !moreComing_ || stopAsked_ || dataAsked_)
        return false;
    // Half the last block played, or what is left ends soon.
    const std::size_t size = queue_.Size();
    if (size * 2 > fillLevel_ && (size >= fillLevel_ || queuedDue_ - now >= ahead))
        return false;
    dataAsked_ = true;
    return true;
}

void StepPlayer::AddPlaySound(const AString& file) {
    soundsPlayed_.push_back(file.str());
    builder_.Sound(&cueSound_);
}

bool StepPlayer::AddDoneWithBlock() {
    const std::size_t left = builder_.MoveTo(queue_);
    fillLevel_ = queue_.Size();
    queuedDue_ = builder_.LastDue();
    dataAsked_ = false;
    if (left == 0)
        return true;
    SetStatusText("The queue is full.");
    return false;
}

void StepPlayer::DoneWithMessageAdd() {
    builder_.Finish();
    builder_.MoveTo(queue_);
    queuedDue_ = builder_.LastDue();
    moreComing_ = false;
}

bool StepPlayer::StartMusic() {
    if (busy_)
        return false;
    seq_.Reset(TicksPerQuarter(), builder_.StartTick());
    busy_ = true;
    stopAsked_ = false;
    return true;
}

void StepPlayer::StopMusic() {
    busy_ = false;
    queue_.Clear();
    builder_.Reset(TicksPerQuarter());
    moreComing_ = true;
    dataAsked_ = false;
    fillLevel_ = 0;
    queuedDue_ = 0;
}

void StepPlayer::SetTicksPerQuarter(std::int32_t ticks) {
    MidiPlayer::SetTicksPerQuarter(ticks);
    if (!busy_)
        StopMusic();
}

bool PlayFirstSeconds(Song& song, double seconds, MidiSink& sink, bool& ended,
                      std::vector<std::string>* cues) {
    auto owned = std::make_unique<StepPlayer>();
    StepPlayer& player = *owned;
    VorlauneGuts guts(std::move(owned));
    ended = false;
    guts.PlayAll(&song, nullptr);
    if (!player.MMSystemInUse())
        return false;
    const auto until = static_cast<std::int64_t>(seconds * 1e9);
    std::int64_t now = 0;
    while (!player.Ended()) {
        player.AdvanceTo(now, sink);
        // What the notifier would post as the queue runs low.
        if (player.WantsData(now, kAheadNs))
            guts.HandlePlayerMessage(kPlayerWantsData);
        if (player.Ended() || player.StopAsked() || now == until)
            break;
        // Through silence in one step.
        std::int64_t next = now + kStepNs;
        if (std::int64_t due = 0; player.NextDue(due) && due > next)
            next = due;
        now = std::min(next, until);
    }
    ended = player.Ended();
    if (!ended)
        player.Silence(now, sink);
    if (cues)
        *cues = player.SoundsPlayed();
    guts.HandlePlayerMessage(kPlayerStopped);
    return true;
}
