#pragma once

#include "playback/PlayEvent.h"
#include "playback/SpscRing.h"

// The play stream between the thread that feeds the player (producer) and the audio
// callback or timing thread that plays it (consumer).
class EventQueue : public SpscRing<PlayEvent> {
public:
    using SpscRing::SpscRing;
};
