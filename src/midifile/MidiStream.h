#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

// A MIDI file as it stands: its tracks' events with their deltas, before any meaning is
// given to them (that is building the song, a separate step).

struct MSMMiscMetaEvent { // kind 3: a meta event the program keeps as it is
    std::uint8_t type = 0;
    std::vector<std::uint8_t> bytes;
};
struct MSMSetTempo { // 4
    std::int32_t microsPerQuarter = 500000;
};
struct MSMTimeSignature { // 5
    std::uint8_t numerator = 4;
    std::uint8_t denominator = 4; // the power of two itself
    std::uint8_t clocksPerClick = 24;
    std::uint8_t thirtySecondsPerQuarter = 8;
};
struct MSMKeySignature { // 6
    std::int32_t key = 0;
    std::int32_t mode = 0;
};
struct MSMText { // 7
    std::int32_t type = 1;
    std::string text;
};
struct MSMNoteOn { // 8 (velocity never 0)
    std::uint8_t channel, key, velocity;
};
struct MSMNoteOff { // 9
    std::uint8_t channel, key, velocity;
};
struct MSMProgramChange { // 10
    std::uint8_t channel, program;
};
struct MSMPolyAfterTouch { // 11
    std::uint8_t channel, key, pressure;
};
struct MSMChannelAfterTouch { // 12
    std::uint8_t channel, pressure;
};
struct MSMPitchWheel { // 13
    std::uint8_t channel;
    std::int32_t value; // MSB * 128 + LSB
};
struct MSMControlChange { // 14
    std::uint8_t channel, controller, value;
};
struct MSMBankSelect { // 15
    std::uint8_t channel;
    std::int32_t bank; // MSB * 128 + LSB
};
struct MSMSystemExclusive { // 16: the status byte (F0 or F7) first
    std::vector<std::uint8_t> bytes;
};

// The kinds in the order of their numbers 3..16.
using MidiStreamBody =
    std::variant<MSMMiscMetaEvent, MSMSetTempo, MSMTimeSignature, MSMKeySignature, MSMText,
                 MSMNoteOn, MSMNoteOff, MSMProgramChange, MSMPolyAfterTouch, MSMChannelAfterTouch,
                 MSMPitchWheel, MSMControlChange, MSMBankSelect, MSMSystemExclusive>;

struct MidiStreamMessage {
    std::int32_t delta = 0; // ticks since the previous message of the same track
    MidiStreamBody body;
    int Kind() const { return static_cast<int>(body.index()) + 3; }
};

struct MidiStreamTrack {
    std::vector<MidiStreamMessage> messages;
};

struct MidiStream {
    std::uint16_t format = 1;
    std::vector<MidiStreamTrack> tracks;
    std::int32_t ticksPerQuarter = -1;
    std::int32_t smpteFramesPerSecond = -1; // 24, 25, 29 (29.97 drop frame) or 30
    std::int32_t ticksPerFrame = -1;
};
