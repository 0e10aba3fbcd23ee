#pragma once

#include <string>

#include "record/WaveToNotes.h"
#include "util/Messages.h"

class INIFile;
class Song;

// The notes of a recording placed on the first track of `song` (channel 1, Grand
// Piano), timed at the song's opening tempo, with the converter's settings from
// `settings` (defaults when null). A song made from a recording keeps its timing: a note
// sung 1.25 s in starts 1.25 s into the song, as rests are only left out when notes go
// in at a cursor. False with the message the user is to see when the conversion fails
// or finds nothing.
bool ConvertWaveToSong(const std::string& wavePath, INIFile* settings, Song& song,
                       WaveToNotes::ProgressCallback progress, Message& failure);
