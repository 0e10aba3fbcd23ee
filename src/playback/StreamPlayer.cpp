#include "playback/StreamPlayer.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <utility>

#include "playback/CueLocation.h"
#include "playback/PostTarget.h"

namespace {

// Ask for more while this much music is still queued.
constexpr std::int64_t kAheadNs = 1500000000;

} // namespace

StreamPlayer::StreamPlayer() = default;

StreamPlayer::~StreamPlayer() {
    Halt();
}

void StreamPlayer::SetDrawResolution(std::int32_t milliseconds) {
    drawResolution_ = std::max(milliseconds, 1);
}

void StreamPlayer::SetTarget(Target& which, PostTarget* target, unsigned message) {
    std::lock_guard lock(targetsMutex_);
    which = {target, message};
}

void StreamPlayer::SetAddCallbackMsg(PostTarget* target, unsigned message) {
    SetTarget(add_, target, message);
}
void StreamPlayer::SetStopMusicCallbackMsg(PostTarget* target, unsigned message) {
    SetTarget(stop_, target, message);
}
void StreamPlayer::SetErrorCallbackMsg(PostTarget* target, unsigned message) {
    SetTarget(error_, target, message);
}
void StreamPlayer::SetDrawCallbackMsg(PostTarget* target, unsigned message) {
    SetTarget(draw_, target, message);
}

void StreamPlayer::PostTo(const Target& which, std::int64_t value) {
    std::lock_guard lock(targetsMutex_);
    if (which.target)
        which.target->Post(which.message, value);
}

void StreamPlayer::SetDoesChannelSpecificInstrument(std::uint8_t flag) {
    builder_.SetChannelSpecificInstruments(flag != 0);
}

void StreamPlayer::SetProgramChangeEffectTime(unsigned milliseconds) {
    builder_.SetProgramChangeDelay(milliseconds);
}

void StreamPlayer::SetTicksPerQuarter(std::int32_t ticks) {
    MidiPlayer::SetTicksPerQuarter(ticks);
    if (!busy_)
        DiscardStream();
}

// --- the stream ----------------------------------------------------------------------

void StreamPlayer::AddMessageGroup(std::int32_t deltaTicks, std::int32_t absoluteTick,
                                   std::uint8_t /*first*/) {
    builder_.BeginGroup(deltaTicks, absoluteTick);
}

void StreamPlayer::AddTempoChange(std::int32_t microsPerQuarter) {
    builder_.Tempo(microsPerQuarter);
}

void StreamPlayer::AddNote(std::uint8_t channel, std::uint8_t key, std::int32_t duration,
                           std::uint8_t velocity, int bank, std::uint8_t program,
                           std::uint8_t releaseVelocity) {
    builder_.Note(channel, key, duration, velocity, bank, program, releaseVelocity);
}

void StreamPlayer::AddControlChange(std::uint8_t channel, unsigned controller, unsigned value,
                                    std::uint8_t sevenBit) {
    builder_.Control(channel, controller, value, sevenBit != 0);
}

void StreamPlayer::AddPitchBend(std::uint8_t channel, unsigned value) {
    builder_.PitchBend(channel, value);
}

void StreamPlayer::AddPlaySound(const AString& file) {
    builder_.Sound(SoundFor(file));
}

bool StreamPlayer::AddDoneWithBlock() {
    const std::size_t left = builder_.MoveTo(queue_);
    lastQueuedDue_ = builder_.LastDue();
    fillLevel_ = queue_.Size();
    dataRequested_ = false;
    if (output_)
        output_->Wake();
    if (left > 0) {
        SetStatusText("The player cannot take this block: its queue is full (" +
                      AString::FromInt(static_cast<long>(queue_.Capacity())) +
                      " events). Play a shorter range or fewer tracks.");
        return false;
    }
    return true;
}

void StreamPlayer::DoneWithMessageAdd() {
    builder_.Finish();
    builder_.MoveTo(queue_);
    lastQueuedDue_ = builder_.LastDue();
    moreDataComing_ = false;
    if (output_)
        output_->Wake();
}

int StreamPlayer::NumMessagesInCurrentBuffer() {
    return static_cast<int>(builder_.Ready().size() + queue_.Size());
}

void StreamPlayer::DiscardStream() {
    queue_.Clear();
    builder_.Reset(TicksPerQuarter());
    if (!playSounds_.empty())
        RetireSounds(std::exchange(playSounds_, Sounds()));
    CollectSounds();
    moreDataComing_ = true;
    dataRequested_ = false;
    fillLevel_ = 0;
    lastQueuedDue_ = 0;
}

// --- transport -----------------------------------------------------------------------

bool StreamPlayer::StartMusic() {
    if (busy_) {
        SetStatusText("The player is already playing.");
        return false;
    }
    CollectSounds();
    AString error;
    std::unique_ptr<PlayOutput> output = CreateOutput(error);
    if (!output) {
        SetStatusText(error);
        DiscardStream();
        return false;
    }
    seq_.Reset(TicksPerQuarter(), builder_.StartTick());
    stopRequested_ = false;
    stoppedPosted_ = false;
    problems_ = 0;
    drawPosts_ = 0;
    fillLevel_ = queue_.Size();
    dataRequested_ = false;
    quitNotifier_ = false;
    notifier_ = std::thread([this] { RunNotifier(); });
    if (!output->Start(*this, error)) {
        StopNotifier();
        SetStatusText(error);
        DiscardStream();
        return false;
    }
    output_ = std::move(output);
    busy_ = true;
    return true;
}

void StreamPlayer::SetToStopMusic() {
    if (!busy_)
        return;
    stopRequested_ = true;
    output_->Wake();
}

void StreamPlayer::StopMusic() {
    Halt();
    DiscardStream();
}

void StreamPlayer::Halt() {
    if (!busy_)
        return;
    stopRequested_ = true;
    output_->Wake();
    output_->Stop();
    OutputStopped(*output_);
    output_.reset();
    StopNotifier();
    busy_ = false;
}

void StreamPlayer::StopNotifier() {
    quitNotifier_ = true;
    notify_.release();
    if (notifier_.joinable())
        notifier_.join();
}

void StreamPlayer::Flag(PlayProblem problem) {
    problems_.fetch_or(static_cast<int>(problem));
    notify_.release();
}

bool StreamPlayer::DataLow() const {
    const std::size_t size = queue_.Size();
    const std::size_t fill = fillLevel_.load();
    if (size * 2 <= fill)
        return true;
    return size < fill && lastQueuedDue_.load() - seq_.Now() < kAheadNs;
}

void StreamPlayer::RunNotifier() {
    using Clock = std::chrono::steady_clock;
    Clock::time_point lastDraw = Clock::now() - std::chrono::hours(1);
    std::int32_t lastPosition = std::numeric_limits<std::int32_t>::min();
    while (!quitNotifier_.load()) {
        const std::int32_t resolution = drawResolution_.load();
        const auto interval = std::chrono::milliseconds(std::clamp(resolution, 1, 10));
        if (notify_.try_acquire_for(interval))
            while (notify_.try_acquire()) {
            }
        if (quitNotifier_.load())
            break;
        if (problems_.exchange(0) & static_cast<int>(PlayProblem::CueWithoutAudio))
            ReportError("Cannot play the audio cues of this song:\n\nThere is no audio output "
                        "device for them.");
        const std::int32_t position = seq_.Position();
        if (seq_.Ended()) {
            if (!stoppedPosted_.exchange(true))
                PostTo(stop_, position);
            continue;
        }
        if (moreDataComing_.load() && !dataRequested_.load() && DataLow()) {
            dataRequested_ = true;
            PostTo(add_, position);
        }
        const Clock::time_point now = Clock::now();
        if (position != lastPosition && now - lastDraw >= std::chrono::milliseconds(resolution)) {
            bool posted = false;
            {
                std::lock_guard lock(targetsMutex_);
                if (draw_.target) {
                    ++drawPosts_;
                    draw_.target->Post(draw_.message, position);
                    posted = true;
                }
            }
            if (posted) {
                lastPosition = position;
                lastDraw = now;
            }
        }
    }
}

// --- audio cues ------------------------------------------------------------------------

std::shared_ptr<const SoundBuffer> StreamPlayer::LoadSound(const std::filesystem::path& /*file*/,
                                                           AString& error) {
    error = "This player cannot play sounds.";
    return nullptr;
}

void StreamPlayer::ReportError(const AString& text) {
    if (AddErrorText(text))
        PostTo(error_, 0);
}

StreamPlayer::Cue& StreamPlayer::Register(const AString& file, const std::string& folder) {
    Cue& cue = cues_[{folder, file.str()}];
    cue = Cue();
    const CueLocation where = LocateCue(file, AString(folder));
    if (where.path.empty()) {
        cue.problem = where.error;
        return cue;
    }
    cue.sound = LoadSound(where.path, cue.problem);
    if (cue.sound && where.outside)
        cue.problem = "The audio cue " + file + " plays the file " + AString(where.path.string()) +
                      ", which lies outside the song's folder.";
    return cue;
}

bool StreamPlayer::AddAudioWAVFile(const AString& file, const AString& baseDirectory) {
    CollectSounds();
    if (file.IsEmpty())
        return false;
    const Cue& cue = Register(file, baseDirectory.str());
    if (!cue.sound) {
        SetErrorText("Cannot load the audio cue " + file + ":\n\n" + cue.problem);
        return false;
    }
    return true;
}

void StreamPlayer::DeleteAudioWAVFile(const AString& file) {
    std::erase_if(cues_, [&](const auto& entry) { return entry.first.second == file.str(); });
    CollectSounds();
}

void StreamPlayer::DeleteAudioWAVFiles() {
    cues_.clear();
    CollectSounds();
}

void StreamPlayer::ReportCue(const AString& file, Cue& cue) {
    if (cue.problem.IsEmpty() || cue.reported)
        return;
    cue.reported = true;
    ReportError(cue.sound ? cue.problem
                          : "Cannot play the audio cue " + file + ":\n\n" + cue.problem);
}

const SoundBuffer* StreamPlayer::SoundFor(const AString& file) {
    // A cue is found the same way whether or not it was registered as its song loaded.
    auto found = cues_.find({cueFolder_, file.str()});
    Cue& cue = found != cues_.end() ? found->second : Register(file, cueFolder_);
    ReportCue(file, cue);
    if (!cue.sound)
        return nullptr;
    if (std::find(playSounds_.begin(), playSounds_.end(), cue.sound) == playSounds_.end())
        playSounds_.push_back(cue.sound);
    return cue.sound.get();
}
