#include "playback/MemoryWavePlayer.h"

#include <memory>
#include <mutex>

#include "playback/CueHost.h"
#include "playback/MemoryWave.h"
#include "playback/SoundDecoder.h"

namespace {

struct Preview {
    std::mutex mutex;
    CueHost host;
    std::shared_ptr<const SoundBuffer> playing;

    // Ends the wave playing; it is freed once the audio thread has let go of it.
    void End() {
        RetiredSounds::Sounds ended;
        if (playing)
            ended.push_back(std::move(playing));
        host.Retire(std::move(ended));
    }
};

Preview& ThePreview() {
    static Preview preview;
    return preview;
}

} // namespace

bool PlayMemoryWave(std::span<const std::uint8_t> buffer) {
    if (!IsRiffData(buffer))
        return false;
    AString error;
    std::shared_ptr<SoundBuffer> sound = DecodeSoundMemory(buffer, CueHost::kSampleRate, error);
    if (!sound)
        return false;
    Preview& preview = ThePreview();
    std::lock_guard lock(preview.mutex);
    if (!preview.host.Open(error))
        return false;
    preview.End();
    preview.playing = std::move(sound);
    return preview.host.Play(*preview.playing);
}

void StopSound() {
    Preview& preview = ThePreview();
    std::lock_guard lock(preview.mutex);
    preview.End();
}
