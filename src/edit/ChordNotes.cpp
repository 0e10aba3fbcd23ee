#include "edit/ChordNotes.h"

#include <cstdlib>

#include "edit/BlockOps.h"

ChordNotes::ChordNotes(SongTimePoint& point, const MidiMsgNote& note) : current(note) {
    for (const MidiMsg* m : point.msgs) {
        if (!BelongsWith(*m))
            continue;
        const int key = static_cast<const MidiMsgNote*>(m)->key;
        present.set(static_cast<std::size_t>(key));
        if (std::abs(key - current.key) < 12)
            ++near;
    }
}

bool ChordNotes::BelongsWith(const MidiMsg& msg) const {
    if (msg.kind != kMsgNote)
        return false;
    const auto& note = static_cast<const MidiMsgNote&>(msg);
    return note.track == current.track && note.channel == current.channel &&
           note.instrument == current.instrument && note.bank == current.bank;
}

bool AddChordTone(Song& song, SongTimePoint& point, const MidiMsgNote& current, int pitch) {
    if (pitch < 0 || pitch > 127)
        return false;
    auto note = std::make_unique<MidiMsgNote>(current);
    note->key = static_cast<std::uint8_t>(pitch);
    RecordTrackUse(song, *note);
    song.AddToPoint(point, std::move(note));
    return true;
}
