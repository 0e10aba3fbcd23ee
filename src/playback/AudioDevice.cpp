#include "playback/AudioDevice.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <algorithm>
#include <mutex>
#include <string>

namespace {

std::mutex gLogMutex;
std::string gLastError;

void LogError(int, const char* message, void*) {
    // The audio thread may log too: never wait for the lock there.
    std::unique_lock lock(gLogMutex, std::try_to_lock);
    if (lock.owns_lock() && message)
        gLastError = message;
}

// The sound library's own complaints (no card, no sequencer) would otherwise land on
// the terminal; our messages say what matters.
void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

void AudioDevice::QuietLibraryLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        fluid_set_log_function(FLUID_PANIC, LogError, nullptr);
        fluid_set_log_function(FLUID_ERR, LogError, nullptr);
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
        snd_lib_error_set_handler(QuietAlsa);
    });
}

AString AudioDevice::LastLibraryError() {
    std::lock_guard lock(gLogMutex);
    return AString(gLastError);
}

bool AudioDevice::Open(fluid_settings_t* settings, AudioSource& source, AString& error) {
    Close();
    QuietLibraryLog();
    {
        std::lock_guard lock(gLogMutex);
        gLastError.clear();
    }
    source_ = &source;
    driver_ = new_fluid_audio_driver2(settings, Callback, this);
    if (!driver_) {
        source_ = nullptr;
        const AString why = LastLibraryError();
        error = "The built-in synthesizer cannot play: no audio output device could be opened";
        error += why.IsEmpty() ? AString(".") : " (" + why + ").";
        return false;
    }
    return true;
}

void AudioDevice::Close() {
    if (driver_)
        delete_fluid_audio_driver(driver_);
    driver_ = nullptr;
    source_ = nullptr;
}

int AudioDevice::Callback(void* data, int len, int /*nfx*/, float* /*fx*/[], int nout,
                          float* out[]) {
    auto* self = static_cast<AudioDevice*>(data);
    if (nout < 2 || !out || !out[0] || !out[1]) {
        for (int i = 0; i < nout; ++i)
            if (out && out[i])
                std::fill(out[i], out[i] + len, 0.0f);
        return 0;
    }
    self->source_->Render(out[0], out[1], len);
    for (int i = 2; i < nout; ++i)
        std::fill(out[i], out[i] + len, 0.0f);
    return 0;
}
