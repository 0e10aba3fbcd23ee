#pragma once

#include <cstdint>
#include <memory>

#include "edit/BlockCopy.h"
#include "model/SongIter.h"

enum class PasteMethod : std::int32_t { Mix = 0, WriteOver = 1, Insert = 2 };

// Where pasted events go: the view's placement, the song's track for each event's
// channel and instrument, or each event's own track (undo and recording).
enum class TrackPlacement : std::int32_t { ForceCurrent = 0, AssignByChannel = 1, Keep = 2 };

struct PasteTarget {
    TrackPlacement placement = TrackPlacement::ForceCurrent;
    std::uint16_t track = 0;
    std::uint8_t channel = 0;
    std::uint8_t program = 0;
    std::int32_t bank = kNoBank;
};

// A property of the selection left as it is.
constexpr int kUnchanged = 255;

struct SelectionProps {
    int startVelocity = kUnchanged;
    int endVelocity = kUnchanged;
    int program = kUnchanged;
    std::int32_t bank = kNoBank;
    int channel = kUnchanged;
};

// The block operations on a range of a song. Positions are ticks, ranges inclusive; the
// iterator's filter decides which events are touched, while moving time moves every
// event of the song.
class BlockOps {
public:
    // The events from `from` to `to` that pass the filter, with times relative to the
    // start: `from` when relative, else the first point with such an event. Null when
    // to < from.
    static std::unique_ptr<BlockCopy> Copy(SongIter& it, std::int32_t from, std::int32_t to,
                                           bool relative = true);
    // The same into the clipboard.
    static void CopyToClipboard(SongIter& it, std::int32_t from, std::int32_t to,
                                bool relative = true);
    // Copy to the clipboard, then delete the span from the song.
    static void Cut(SongIter& it, std::int32_t from, std::int32_t to);
    // Removes the events of the span that pass the filter, later events staying where
    // they are; returns what it removed.
    static std::unique_ptr<BlockCopy> Clear(SongIter& it, std::int32_t from, std::int32_t to);
    // False, moving nothing, when it would push an event past the last tick there is.
    static bool InsertSpace(Song& song, std::int32_t at, std::int32_t length);
    // Whether the events at or after `at` can move `length` later.
    static bool HasRoom(const Song& song, std::int32_t at, std::int64_t length);
    // Removes the events of at..at+length-1 that pass the filter and moves every later
    // event earlier by length. Events the filter hides inside the span are kept at `at`.
    static void DeleteSpace(SongIter& it, std::int32_t at, std::int32_t length);

    // One paste of `source` at `at`.
    static void Paste(SongIter& it, std::int32_t at, PasteMethod method, const PasteTarget& target,
                      const BlockCopy& source);
    // `copies` pastes, each `space` ticks after the end of the one before. Returns the
    // span they cover, 0 when nothing was pasted.
    static std::int32_t PasteCopies(SongIter& it, std::int32_t at, PasteMethod method,
                                    const PasteTarget& target, const BlockCopy& source,
                                    std::int32_t copies, std::int32_t space);
    // The span PasteCopies covers (and opens, for Insert); 0 when it pastes nothing.
    static std::int32_t PasteSpan(std::int32_t length, std::int32_t copies, std::int32_t space);

    static void Transpose(SongIter& it, std::int32_t from, std::int32_t to, int semitones);
    // Grid in ticks; beginnings and durations above half a step round up.
    static void Quantize(SongIter& it, std::int32_t from, std::int32_t to, std::int32_t grid,
                         bool alignBeginnings, bool alignDurations);
    // Scales the range to `newLength`; with `moveRest` the rest of the song follows.
    static void FitToTime(SongIter& it, std::int32_t from, std::int32_t to, std::int32_t newLength,
                          bool moveRest);
    static void SetProperties(SongIter& it, std::int32_t from, std::int32_t to,
                              const SelectionProps& props);

    // The length FitToTime scales from: the range, and the longest event at its last
    // point when that point ends the range.
    static std::int32_t RangeLength(SongIter& it, std::int32_t from, std::int32_t to);
    static std::int32_t RoundToGrid(std::int32_t value, std::int32_t grid);
    static std::int32_t RoundDuration(std::int32_t duration, std::int32_t grid);
};

// The track records the channel and instrument a new record uses, where it had none.
void RecordTrackUse(Song& song, const MidiMsg& msg);
