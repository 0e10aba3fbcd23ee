#include "model/TimeTexts.h"

#include <algorithm>
#include <cstdio>

#include "model/Song.h"

namespace {

const char* const kMajorKeys[13] = {"Gb (6 flats)",
                                    "Db (5 flats)",
                                    "Ab (4 flats)",
                                    "Eb (3 flats)",
                                    "Bb (2 flats)",
                                    "F (1 flat)",
                                    "C",
                                    "G (1 sharp)",
                                    "D (2 sharps)",
                                    "A (3 sharps)",
                                    "E (4 sharps)",
                                    "B (5 sharps)",
                                    "F# (6 sharps)"};
const char* const kMinorKeys[13] = {"Eb (6 flats)",
                                    "Bb (5 flats)",
                                    "F (4 flats)",
                                    "C (3 flats)",
                                    "G (2 flats)",
                                    "D (1 flat)",
                                    "A",
                                    "E (1 sharp)",
                                    "B (2 sharps)",
                                    "F# (3 sharps)",
                                    "C# (4 sharps)",
                                    "G# (5 sharps)",
                                    "D# (6 sharps)"};
const char* const kModeNames[5] = {"  Major", "  Natural Minor", "  Harmonic Minor",
                                   "  Pentatonic Scale", "  Whole Step Scale"};
const char* const kScaleNames[5] = {"Major", "Natural Minor", "Harmonic Minor", "Pentatonic",
                                    "Whole Tone"};

// Entry dialog keys, in the order the dialog lists them.
struct DialogKey {
    const char* name;
    std::int32_t key;
};
const DialogKey kDialogKeys[kSignatureDialogKeyCount] = {
    {"C Major", 0},         {"F Major (1 b)", -1},  {"Bb Major (2 b)", -2}, {"Eb Major (3 b)", -3},
    {"Ab Major (4 b)", -4}, {"Db Major (5 b)", -5}, {"Gb Major (6 b)", -6}, {"G Major (1 #)", 1},
    {"D Major (2 #)", 2},   {"A Major (3 #)", 3},   {"E Major (4 #)", 4},   {"B Major (5 #)", 5},
    {"F# Major (6 #)", 6},  {"A minor", 0},         {"D minor (1 b)", -1},  {"G minor (2 b)", -2},
    {"C minor (3 b)", -3},  {"F minor (4 b)", -4},  {"Bb minor (5 b)", -5}, {"Eb minor (6 b)", -6},
    {"E minor (1 #)", 1},   {"B minor (2 #)", 2},   {"F# minor (3 #)", 3},  {"C# minor (4 #)", 4},
    {"G# minor (5 #)", 5},  {"D# minor (6 #)", 6}};

} // namespace

const char* KeyName(std::int32_t key, std::int32_t mode) {
    if (key < -6 || key > 6)
        return "";
    const bool minor = mode == 1 || mode == 2;
    return (minor ? kMinorKeys : kMajorKeys)[key + 6];
}

const char* ModeListName(std::int32_t mode) {
    return mode >= 0 && mode < 5 ? kModeNames[mode] : "";
}

const char* ScaleName(std::int32_t mode) {
    return mode >= 0 && mode < 5 ? kScaleNames[mode] : "";
}

const char* SignatureDialogKeyName(int index) {
    return index >= 0 && index < kSignatureDialogKeyCount ? kDialogKeys[index].name : "";
}

std::int32_t SignatureDialogKeyValue(int index) {
    return index >= 0 && index < kSignatureDialogKeyCount ? kDialogKeys[index].key : 0;
}

AString TempoListLine(const Song& song, std::size_t index) {
    std::int32_t tick = 0, tempo = 0;
    if (!song.GetTempo(index, tick, tempo))
        return AString();
    const MusicalTime at = song.TickToMusicalTime(tick);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%ld:%d:%d  %ld beats per minute",
                  static_cast<long>(at.measure) + 1, at.beat + 1, at.tick,
                  static_cast<long>(TempoToBpm(tempo)));
    return AString(buf);
}

AString SignatureListLine(const TimeAndKeySignature& sig) {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%ld:0:000  %d/%d  %s%s", static_cast<long>(sig.measure) + 1,
                  sig.numerator, sig.denominator, KeyName(sig.key, sig.mode),
                  ModeListName(sig.mode));
    return AString(buf);
}

bool TypedPositionToTick(const Song& song, MusicalTime time, std::int32_t& tick) {
    // No beat past the measure's last exists: lowering starts there, or a beat typed
    // in the millions would be tried one by one.
    const std::int32_t beats =
        std::max(1, song.SignatureAtMeasure(std::max(time.measure, 0)).numerator);
    time.beat = std::min(time.beat, beats - 1);
    while (time.beat >= 0) {
        if (song.MusicalTimeToTick(time, tick))
            return true;
        --time.beat;
    }
    return false;
}
