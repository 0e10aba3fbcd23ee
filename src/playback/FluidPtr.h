#pragma once

#include <memory>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_audio_driver_t fluid_audio_driver_t;

// Frees the synthesizer library's objects with the library's own calls. A synthesizer
// takes its loaded SoundFonts with it.
struct FluidDeleter {
    void operator()(fluid_settings_t* settings) const;
    void operator()(fluid_synth_t* synth) const;
    void operator()(fluid_audio_driver_t* driver) const;
};

template <class T> using FluidPtr = std::unique_ptr<T, FluidDeleter>;
