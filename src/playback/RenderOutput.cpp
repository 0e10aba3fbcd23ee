#include "playback/RenderOutput.h"

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <system_error>
#include <vector>

#include "playback/Sequencer.h"
#include "playback/SynthRenderer.h"

RenderOutput::RenderOutput(std::unique_ptr<SynthRenderer> renderer, std::filesystem::path file)
    : renderer_(std::move(renderer)), file_(std::move(file)) {}

RenderOutput::~RenderOutput() {
    Stop();
}

bool RenderOutput::Start(PlayContext& context, AString& error) {
    SF_INFO info{};
    info.samplerate = SynthRenderer::kSampleRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (const FileResult opened = target_.Open(); !opened) {
        error =
            "Cannot write the file " + AString(file_.string()) + ":\n\n" + AString(opened.Reason());
        return false;
    }
    SoundFilePtr file(sf_open_fd(target_.Descriptor(), SFM_WRITE, &info, SF_FALSE));
    if (!file) {
        target_.Discard();
        error = "Cannot write the file " + AString(file_.string()) + ":\n\n" +
                AString(sf_strerror(nullptr));
        return false;
    }
    // Loud passages are clipped rather than wrapped around.
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    output_ = std::move(file);
    context_ = &context;
    renderer_->BeginPlay();
    quit_ = false;
    thread_ = std::thread([this] { Run(); });
    return true;
}

void RenderOutput::Fail(const AString& why) {
    std::lock_guard lock(errorMutex_);
    if (error_.IsEmpty())
        error_ = why;
}

AString RenderOutput::Error() const {
    std::lock_guard lock(errorMutex_);
    return error_;
}

void RenderOutput::Run() {
    SNDFILE* file = output_.get();
    Sequencer& seq = context_->Seq();
    constexpr int kChunk = 64 * SynthRenderer::kBlock;
    std::vector<float> left(kChunk), right(kChunk), interleaved(2 * kChunk);
    int filled = 0;
    const auto write = [&] {
        for (int i = 0; i < filled; ++i) {
            interleaved[2 * i] = left[i];
            interleaved[2 * i + 1] = right[i];
        }
        const bool written = sf_writef_float(file, interleaved.data(), filled) == filled;
        frames_ += filled;
        filled = 0;
        if (!written)
            Fail("Cannot write the file " + AString(file_.string()) + ":\n\n" +
                 AString(sf_strerror(file)));
        return written;
    };
    while (!quit_.load() && !seq.Ended()) {
        // With the queue empty, the next block may hold an event due right now.
        std::int64_t due = 0;
        if (!seq.NextDue(due) && context_->MoreDataComing() && !context_->StopRequested()) {
            if (filled > 0 && !write())
                break;
            context_->Notify();
            wake_.try_acquire_for(std::chrono::milliseconds(20));
            continue;
        }
        renderer_->Render(context_, left.data() + filled, right.data() + filled,
                          SynthRenderer::kBlock);
        filled += SynthRenderer::kBlock;
        if (filled == kChunk && !write())
            break;
    }
    if (!seq.Ended())
        seq.Silence(*renderer_, SynthRenderer::FramesToNs(renderer_->PlayFrames()));
    // The file ends with the music, not with the block the end fell in.
    const std::int64_t end = SynthRenderer::NsToFrames(seq.EndTime());
    const std::int64_t over = renderer_->PlayFrames() - std::max(end, frames_.load());
    filled -= static_cast<int>(std::clamp<std::int64_t>(over, 0, filled));
    if (filled > 0)
        write();
    context_->Notify();
}

void RenderOutput::Stop() {
    quit_ = true;
    wake_.release();
    if (thread_.joinable())
        thread_.join();
    if (!output_)
        return;
    // Closing writes the header: its outcome counts.
    if (sf_close(output_.release()) != 0)
        Fail("Cannot finish the file " + AString(file_.string()) + ".");
    if (Error().IsEmpty()) {
        if (const FileResult committed = target_.Commit(); !committed)
            Fail("Cannot write the file " + AString(file_.string()) + ":\n\n" +
                 AString(committed.Reason()));
    }
    target_.Discard();
}
