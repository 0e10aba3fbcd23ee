#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/SongDocument.h"
#include "edit/MC_PutMsgAtTime.h"
#include "model/Song.h"
#include "model/SongDump.h"
#include "model/SongIter.h"

// Puts one note down at `tick`, as a view would.
inline void PutNote(SongDocument& document, std::int32_t tick, int key = 60) {
    SongIter it(document.GetSong());
    const MidiMsgNote note(0, static_cast<std::uint8_t>(key), 96, 96);
    document.Commands().Submit(std::make_unique<MC_PutMsgAtTime>(it, note, tick));
}

// The song's records in the dump's form, to compare songs by what they hold.
inline std::string Dump(const SongDocument& document) {
    return DumpRecords(document.GetSong());
}
