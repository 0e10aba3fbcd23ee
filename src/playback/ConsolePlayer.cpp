#include "playback/ConsolePlayer.h"

#include <sndfile.h>

#include <vector>

#include "model/Song.h"
#include "model/SongExtent.h"
#include "playback/PlayerEngine.h"
#include "playback/PostTarget.h"
#include "playback/SoundFilePtr.h"
#include "playback/SynthRenderer.h"
#include "playback/VorlauneGuts.h"
#include "util/AtomicFile.h"
#include "util/Messages.h"

namespace {

// Collects what would have been shown in message boxes.
class CollectingSink : public MessageSink {
public:
    CollectingSink() : previous_(SetMessageSink(this)) {}
    ~CollectingSink() override { SetMessageSink(previous_); }
    MessageAnswer Show(const Message& message) override {
        if (!text.IsEmpty())
            text += "\n";
        text += message.text;
        return MessageAnswer::Ok;
    }
    AString text;

private:
    MessageSink* previous_;
};

// A song with nothing in it still renders its closing two quarter notes.
bool WriteSilence(const std::filesystem::path& file, Song& song, AString& error) {
    const double seconds = 2.0 * song.TempoAt(0) / 1e6;
    const auto frames = static_cast<sf_count_t>(seconds * SynthRenderer::kSampleRate + 0.5);
    SF_INFO info{};
    info.samplerate = SynthRenderer::kSampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    AtomicFile output(file);
    if (const FileResult opened = output.Open(); !opened) {
        error =
            "Cannot write the file " + AString(file.string()) + ":\n\n" + AString(opened.Reason());
        return false;
    }
    SoundFilePtr out(sf_open_fd(output.Descriptor(), SFM_WRITE, &info, SF_FALSE));
    if (!out) {
        error = "Cannot write the file " + AString(file.string()) + ":\n\n" +
                AString(sf_strerror(nullptr));
        return false;
    }
    const std::vector<float> zeros(static_cast<std::size_t>(frames) * 2, 0.0f);
    const bool written = sf_writef_float(out.get(), zeros.data(), frames) == frames;
    const bool closed = sf_close(out.release()) == 0;
    const FileResult committed = written && closed ? output.Commit() : FileResult();
    if (!written || !closed || !committed) {
        error =
            "Cannot write the file " + AString(file.string()) + ":\n\n" +
            AString(committed ? std::string("the sound could not be written") : committed.Reason());
        return false;
    }
    return true;
}

} // namespace

ConsolePlayer::ConsolePlayer(const std::filesystem::path& renderFile) : renderFile_(renderFile) {
    auto engine = std::make_unique<PlayerEngine>();
    engine_ = engine.get();
    engine_->SetRenderFile(renderFile);
    guts_ = std::make_unique<VorlauneGuts>(std::move(engine));
    engine_->SetAddCallbackMsg(&posts_, kPlayerWantsData);
    engine_->SetStopMusicCallbackMsg(&posts_, kPlayerStopped);
    engine_->SetErrorCallbackMsg(&posts_, kPlayerError);
    engine_->SetDrawCallbackMsg(&posts_, kPlayPosition);
}

ConsolePlayer::~ConsolePlayer() = default;

bool ConsolePlayer::RunUntilStopped(Song& song, const std::atomic<bool>* interrupt,
                                    const std::function<void(std::int32_t tick)>& onPosition) {
    guts_->PlayAll(&song, nullptr);
    if (!engine_->MMSystemInUse())
        return false;
    bool stopAsked = false;
    PostQueue::Posted posted;
    for (;;) {
        if (interrupt && *interrupt && !stopAsked) {
            guts_->StopRequest();
            stopAsked = true;
        }
        if (!posts_.Wait(posted, std::chrono::milliseconds(50)))
            continue;
        if (posted.message == kPlayPosition) {
            if (onPosition)
                onPosition(static_cast<std::int32_t>(posted.value));
            continue;
        }
        guts_->HandlePlayerMessage(posted.message);
        if (posted.message == kPlayerStopped && !engine_->MMSystemInUse())
            return true;
    }
}

bool ConsolePlayer::Render(Song& song, AString& error, AString& notes) {
    const std::string tooLong = SongExtent::Of(song).RenderRefusal(SongExtent::RenderHourLimit());
    if (!tooLong.empty()) {
        error = AString(tooLong);
        return false;
    }
    if (song.PointCount() == 0)
        return WriteSilence(renderFile_, song, error);
    CollectingSink shown;
    const bool played = RunUntilStopped(song, nullptr, {});
    if (!played) {
        error = shown.text.IsEmpty() ? AString("The song could not be rendered.") : shown.text;
        return false;
    }
    notes = shown.text;
    if (!engine_->RenderError().IsEmpty()) {
        error = engine_->RenderError();
        return false;
    }
    return true;
}

bool ConsolePlayer::Play(Song& song, const std::atomic<bool>& interrupt,
                         const std::function<void(std::int32_t tick)>& onPosition, AString& error) {
    if (song.PointCount() == 0)
        return true;
    // Messages show as they come (on standard error, without a window).
    error = AString();
    return RunUntilStopped(song, &interrupt, onPosition);
}
