#pragma once

#include "playback/FluidPtr.h"
#include "util/AString.h"

// Fills the sound card's buffers; called on the audio thread.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Writes (not adds) `frames` frames into `left` and `right`.
    virtual void Render(float* left, float* right, int frames) = 0;
};

// Takes the place of the system's audio output where there is none to use (tests): while
// one is installed, audio devices open it instead of a driver.
class AudioStandIn {
public:
    virtual ~AudioStandIn() = default;
    // Starts calling `source.Render` from a thread of its own; false when it cannot.
    virtual bool Open(AudioSource& source) = 0;
    // Stops calling `source`; no call is running on return.
    virtual void Close(AudioSource& source) = 0;
};

// The system's audio output, reached through the synthesizer library's drivers (ALSA,
// PulseAudio, JACK, PipeWire, whatever it was built with).
class AudioDevice {
public:
    AudioDevice() = default;
    ~AudioDevice() { Close(); }
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // Tries `driver` (the library's name: "alsa", "pulseaudio", "jack", ...; empty: the
    // library's default), then the sound servers the library knows, in case the default
    // is not what this desktop uses. False with `error` set (about the first one tried)
    // when none opens.
    bool Open(fluid_settings_t* settings, AudioSource& source, AString& error,
              const AString& driver = AString());
    void Close();
    bool IsOpen() const { return driver_ || standIn_; }

    // Installs `standIn` (not owned; null: the real drivers again) for devices opened from
    // now on. Returns the one it replaces.
    static AudioStandIn* SetStandIn(AudioStandIn* standIn);

    // Routes the library's error messages to the last-error text below and keeps its
    // other chatter off the terminal. Safe to call more than once.
    static void QuietLibraryLog();
    // The library's last error message, "" when none.
    static AString LastLibraryError();

private:
    static int Callback(void* data, int len, int nfx, float* fx[], int nout, float* out[]);

    FluidPtr<fluid_audio_driver_t> driver_;
    AudioStandIn* standIn_ = nullptr; // the one this device opened, if any
    AudioSource* source_ = nullptr;
};
