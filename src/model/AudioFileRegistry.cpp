#include "model/AudioFileRegistry.h"

namespace {

RecordingAudioFileRegistry& Fallback() {
    static RecordingAudioFileRegistry registry;
    return registry;
}

AudioFileRegistry* gRegistry = nullptr;

} // namespace

AudioFileRegistry& GetAudioFileRegistry() {
    return gRegistry ? *gRegistry : Fallback();
}

void SetAudioFileRegistry(AudioFileRegistry* registry) {
    gRegistry = registry;
}
