#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "model/ViewFilter.h"
#include "util/Refusal.h"

// The choices of the View Filter Selection dialog, apart from its controls: which
// tracks, channels and instruments are ticked, and the three "all" boxes.
struct ViewFilterChoice {
    bool allTracks = true;
    std::vector<bool> tracks; // one per track of the song
    bool allChannels = true;
    std::array<bool, 16> channels{};
    bool allInstruments = true;
    std::array<bool, 128> instruments{};
    // The narrow dialog offers tracks only; channels and instruments stay as they were.
    bool tracksOnly = false;

    static ViewFilterChoice From(const ViewFilter& filter, std::size_t trackCount);
    // Refuses a choice that would show nothing; otherwise copies it into `filter`.
    Refusal ApplyTo(ViewFilter& filter) const;
};
