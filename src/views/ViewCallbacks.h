#pragma once

#include <cstdint>
#include <functional>

#include "devices/KeyOperation.h"
#include "model/MidiMsg.h"

class SubWindow;

// What a view may ask of the song window that holds it. The window fills the table when
// it makes the view; an empty entry is passed over.
struct ViewCallbacks {
    // The view changed something; `songChanged` when the song itself changed.
    std::function<void(bool songChanged)> changed;
    // The options of the song window.
    std::function<bool()> movePitchToKey;
    std::function<bool()> hesitatePlay;
    std::function<bool()> showLyrics;
    // Snap-to resolution as a fraction of a whole note, 0 unset.
    std::function<double()> snapTo;
    // Play, stop, record, fast forward (to the end), rewind (to the beginning).
    std::function<void(KeyOperation)> transport;
    std::function<void(std::int32_t from, std::int32_t to)> playRange;
    std::function<void(std::int32_t tick)> setPlayBar;
    // Sounds one note now, on the output in use.
    std::function<void(const MidiMsgNote& note)> soundNote;
    // Gives every message of a track this instrument.
    std::function<void(std::uint16_t track, std::uint8_t program, std::int32_t bank)>
        changeTrackInstrument;
    // The view's filter or placement changed: menus and captions follow.
    std::function<void()> filterChanged;
    // Replace the view by one of another kind (0 piano roll, 1 staff, 2 message).
    std::function<void(SubWindow& view, int kind)> changeKind;
    std::function<void(SubWindow& view)> close;
    // A click in a view that is not the active one.
    std::function<void(SubWindow& view)> activate;
    // The shared horizontal position, and moving it so that a tick shows.
    std::function<std::int32_t()> scrollTime;
    std::function<void(std::int32_t tick)> scrollToShow;
    // Moves the shared position by some ticks (a drag held near an edge).
    std::function<void(std::int32_t ticks)> scrollBy;
    // The "Show Note Placement" option.
    std::function<bool()> showNotePlacement;
    // Where the play bar is, and whether the song plays.
    std::function<std::int32_t()> playPosition;
    std::function<bool()> playing;
};
