#include "playback/FluidPtr.h"

#include <fluidsynth.h>

void FluidDeleter::operator()(fluid_settings_t* settings) const {
    delete_fluid_settings(settings);
}

void FluidDeleter::operator()(fluid_synth_t* synth) const {
    delete_fluid_synth(synth);
}

void FluidDeleter::operator()(fluid_audio_driver_t* driver) const {
    delete_fluid_audio_driver(driver);
}
