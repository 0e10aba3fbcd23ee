#pragma once

#include <string>

#include "model/MidiMsg.h"

class Song;

// The song as text, one item per line: what `vorlaune --dump` prints and what tests
// compare against.
std::string DumpSong(Song& song);
// Only the records, "TICK TRACK FORM" per line, in song order.
std::string DumpRecords(Song& song);
// "note ch=0 key=60 ..." for one record.
std::string DumpRecordForm(const MidiMsg& msg);
