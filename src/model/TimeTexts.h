#pragma once

#include <cstdint>

#include "model/MusicalTime.h"
#include "util/AString.h"

class Song;

// Texts of the tempo and signature lists and their entry dialogs.

// "m:b:t  120 beats per minute" for tempo entry `index`.
AString TempoListLine(const Song& song, std::size_t index);
// "3:0:000  3/4  D (2 sharps)  Major" for a signature entry.
AString SignatureListLine(const TimeAndKeySignature& sig);
// Key name for keys -6..6; modes 1 and 2 use the minor names.
const char* KeyName(std::int32_t key, std::int32_t mode);
// "  Major", "  Natural Minor", ... for modes 0-4; "" otherwise.
const char* ModeListName(std::int32_t mode);
// The "Scale:" choices of the entry dialog, modes 0-4.
const char* ScaleName(std::int32_t mode);
// The thirteen major and thirteen minor keys of the entry dialog: index 0-12 major
// ("C Major", "F Major (1 b)", ...), 13-25 minor ("A minor", ...). Also their key values.
constexpr int kSignatureDialogKeyCount = 26;
const char* SignatureDialogKeyName(int index);
std::int32_t SignatureDialogKeyValue(int index);

// The tempo dialog's reading of a typed position: while the position does not exist,
// the beat is lowered by one and tried again. False when no beat fits.
bool TypedPositionToTick(const Song& song, MusicalTime time, std::int32_t& tick);
