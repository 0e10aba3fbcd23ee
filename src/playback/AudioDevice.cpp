#include "playback/AudioDevice.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace {

std::mutex gLogMutex;
std::string gLastError;
std::atomic<AudioStandIn*> gStandIn{nullptr};

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

AudioStandIn* AudioDevice::SetStandIn(AudioStandIn* standIn) {
    return gStandIn.exchange(standIn);
}

bool AudioDevice::Open(fluid_settings_t* settings, AudioSource& source, AString& error,
                       const AString& driver) {
    Close();
    if (AudioStandIn* standIn = gStandIn.load()) {
        if (!standIn->Open(source)) {
            error = "The built-in synthesizer cannot play: no audio output device could be "
                    "opened.";
            return false;
        }
        standIn_ = standIn;
        source_ = &source;
        return true;
    }
    QuietLibraryLog();
    std::vector<std::string> available;
    fluid_settings_foreach_option(
        settings, "audio.driver", &available, [](void* data, const char*, const char* option) {
            static_cast<std::vector<std::string>*>(data)->push_back(option);
        });
    // An empty name leaves the library's own choice in place.
    std::vector<std::string> tries{driver.str()};
    if (driver.IsEmpty()) {
        // Not JACK: asking for it may start a server.
        for (const char* server : {"pulseaudio", "pipewire"})
            if (std::find(available.begin(), available.end(), server) != available.end())
                tries.push_back(server);
    }
    AString firstError;
    source_ = &source;
    for (const std::string& name : tries) {
        {
            std::lock_guard lock(gLogMutex);
            gLastError.clear();
        }
        if (!name.empty())
            fluid_settings_setstr(settings, "audio.driver", name.c_str());
        driver_.reset(new_fluid_audio_driver2(settings, Callback, this));
        if (driver_)
            return true;
        if (firstError.IsEmpty())
            firstError = LastLibraryError();
    }
    source_ = nullptr;
    error = "The built-in synthesizer cannot play: no audio output device could be opened";
    error += firstError.IsEmpty() ? AString(".") : " (" + firstError + ").";
    return false;
}

void AudioDevice::Close() {
    // Deleting the driver waits for its thread.
    driver_.reset();
    if (standIn_)
        standIn_->Close(*source_);
    standIn_ = nullptr;
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
