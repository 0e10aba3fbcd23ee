#pragma once

#include <memory>
#include <string>

#include "model/Song.h"

// Builds a song from a compact text form so that a test shows its input:
//   "0 n60 384, 384 t1 c9 n38 96, 0 cc7=100, 96 text5=la"
// Entries are separated by ",". Each starts with its tick, then settings that hold for
// the rest of the entry (tN track, cN channel 0-15, vN velocity, pN program, bN bank)
// and items: nKEY DURATION (a note), ccCTL=VALUE, bendVALUE, textTYPE=WORD,
// atKEY=PRESSURE, catVALUE. Tracks that are used are created.
std::unique_ptr<Song> BuildSong(const std::string& text, int ticksPerQuarter = 384);
void AddToSong(Song& song, const std::string& text);
