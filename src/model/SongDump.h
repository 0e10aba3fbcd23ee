#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include "model/MidiMsg.h"

class Song;

// The song as text, one item per line: what `vorlaune --dump` prints and what tests
// compare against. Texts are shown without the zero bytes that end them; control
// bytes in them are written as escapes (\n, \t, \x1b, ...), never raw.
std::string DumpSong(Song& song);
// Streams the same text line by line, so that a song of any size dumps in little
// memory. False when the stream reports a write error.
bool DumpSong(Song& song, std::FILE* out);
// Hands each line (with its line end) to `put`.
void DumpSong(Song& song, const std::function<void(std::string_view)>& put);
// Only the records, "TICK TRACK FORM" per line, in song order.
std::string DumpRecords(Song& song);
// "note ch=0 key=60 ..." for one record.
std::string DumpRecordForm(const MidiMsg& msg);
// A text as the dump writes it: quotes, backslashes and control bytes escaped.
std::string EscapeDumpText(std::string_view text);
