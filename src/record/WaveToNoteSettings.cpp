#include "record/WaveToNoteSettings.h"

#include <algorithm>
#include <cmath>

#include "record/WaveToNotes.h"
#include "util/INIFile.h"

namespace {

struct NoteValue {
    const char* name;
    double divisor;
};

constexpr NoteValue kNoteValues[] = {{"Quarter Note", 4},
                                     {"Sixth Note", 6},
                                     {"Eighth Note", 8},
                                     {"Twelfth Note", 12},
                                     {"Sixteenth Note", 16},
                                     {"Twenty-Fourth Note", 24},
                                     {"Thirty-Second Note", 32},
                                     {"Forty-Eighth Note", 48},
                                     {"Sixty-Fourth Note", 64},
                                     {"1/96", 96},
                                     {"1/128", 128},
                                     {"None", 0}};

// The entry within 0.001 of a stored divisor; a divisor no entry has falls back on the
// default's entry.
int IndexOfDivisor(double divisor, double fallback) {
    for (int i = 0; i < static_cast<int>(std::size(kNoteValues)); ++i)
        if (std::fabs(kNoteValues[i].divisor - divisor) < 0.001)
            return i;
    return divisor == fallback ? 0 : IndexOfDivisor(fallback, fallback);
}

} // namespace

const std::vector<std::string>& WaveToNoteSettings::NoteValueNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const NoteValue& v : kNoteValues)
            all.emplace_back(v.name);
        return all;
    }();
    return names;
}

double WaveToNoteSettings::NoteValueDivisor(int index) {
    return kNoteValues[std::clamp<int>(index, 0, static_cast<int>(std::size(kNoteValues)) - 1)]
        .divisor;
}

std::vector<std::string> WaveToNoteSettings::PitchNames() {
    static const char* const kNames[] = {"C",  "C#", "D",  "D#", "E",  "F",
                                         "F#", "G",  "G#", "A",  "A#", "B"};
    std::vector<std::string> names;
    for (int note = 108; note >= 12; --note)
        names.push_back(kNames[note % 12] + std::to_string(note / 12));
    return names;
}

int WaveToNoteSettings::IndexOfPitch(int note) {
    return 108 - std::clamp(note, 12, 108);
}

const std::vector<std::string>& WaveToNoteSettings::EraseRestNames() {
    static const std::vector<std::string> names{"No Time Deletion", "Delete Beginning Rest",
                                                "Delete All Rests"};
    return names;
}

const std::vector<std::string>& WaveToNoteSettings::MethodNames() {
    static const std::vector<std::string> names{"Frame by Frame (instruments)",
                                                "Sung Notes (voices)"};
    return names;
}

void WaveToNoteSettings::Read(INIFile& ini) {
    const WaveToNotesParameters defaults;
    WaveToNotesParameters stored;
    stored.Read(ini, 500000);
    minInNote = IndexOfDivisor(stored.minInNoteDivisor, defaults.minInNoteDivisor);
    minOutNote = IndexOfDivisor(stored.minOutNoteDivisor, defaults.minOutNoteDivisor);
    highPitch = IndexOfPitch(stored.highPitch);
    lowPitch = IndexOfPitch(stored.lowPitch);
    eraseRest = std::clamp(stored.eraseRest, 0, 2);
    tolerance = std::clamp(static_cast<int>(std::lround(stored.tolerance * 200)), kToleranceLow,
                           kToleranceHigh);
    noise = std::clamp(static_cast<int>(stored.minVolume / 10), kNoiseLow, kNoiseHigh);
    method = stored.method;
}

Refusal WaveToNoteSettings::Check() const {
    // The list runs from high to low notes.
    if (lowPitch < highPitch)
        return "The lowest pitch detected must not be above the highest pitch detected.";
    return {};
}

bool WaveToNoteSettings::Write(INIFile& ini) const {
    bool ok = ini.WriteDouble("WTMMinInNote", NoteValueDivisor(minInNote));
    ok = ini.WriteDouble("WTMMinOutNote", NoteValueDivisor(minOutNote)) && ok;
    ok = ini.WriteInt("WTMHighPitch", PitchAt(highPitch)) && ok;
    ok = ini.WriteInt("WTMLowPitch", PitchAt(lowPitch)) && ok;
    ok = ini.WriteInt("WTMEraseRest", eraseRest) && ok;
    ok = ini.WriteDouble("WTMMaxAccuracyTolerance", tolerance / 200.0) && ok;
    ok = ini.WriteInt("WTMMinVolumeLevel", static_cast<long>(noise) * 10) && ok;
    ok = ini.WriteInt("WTMMethod", method) && ok;
    return ok;
}
