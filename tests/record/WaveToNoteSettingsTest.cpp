// The voice-to-notes settings as the dialog holds them: lists chosen from what is
// stored, sliders in their ranges, and the seven keys written back.
#include <gtest/gtest.h>

#include "record/WaveToNoteSettings.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

TEST(WaveToNoteSettings, ReadChoosesEntriesAndWriteStoresTheKeys) {
    TempDir home;
    home.Write(INIFile::kFileName, "");
    INIFile ini(home.Path());
    WaveToNoteSettings settings;
    settings.Read(ini); // nothing stored: the converter's defaults
    EXPECT_EQ(WaveToNoteSettings::NoteValueNames()[settings.minInNote], "Sixty-Fourth Note");
    EXPECT_EQ(WaveToNoteSettings::NoteValueNames()[settings.minOutNote], "Eighth Note");
    EXPECT_EQ(settings.tolerance, 634); // 3.1717 x 200, rounded
    EXPECT_EQ(settings.noise, 225);
    EXPECT_EQ(WaveToNoteSettings::PitchNames()[settings.highPitch], "A#7"); // note 94
    EXPECT_EQ(settings.method, 1);

    // A divisor within 0.001 of an entry selects it; one no entry has keeps the default.
    ini.WriteDouble("WTMMinInNote", 16.0004);
    ini.WriteDouble("WTMMinOutNote", 5);
    ini.WriteInt("WTMHighPitch", 60);
    ini.WriteDouble("WTMMaxAccuracyTolerance", 9.0);
    ini.WriteInt("WTMMinVolumeLevel", 65535);
    settings.Read(ini);
    EXPECT_EQ(WaveToNoteSettings::NoteValueNames()[settings.minInNote], "Sixteenth Note");
    EXPECT_EQ(WaveToNoteSettings::NoteValueNames()[settings.minOutNote], "Eighth Note");
    EXPECT_EQ(WaveToNoteSettings::PitchNames()[settings.highPitch], "C5");
    EXPECT_EQ(settings.tolerance, WaveToNoteSettings::kToleranceHigh);
    EXPECT_EQ(settings.noise, WaveToNoteSettings::kNoiseHigh);

    settings.minOutNote = 11; // "None"
    settings.lowPitch = WaveToNoteSettings::IndexOfPitch(48);
    settings.tolerance = 400;
    settings.noise = 30;
    settings.eraseRest = 2;
    settings.method = 0;
    EXPECT_FALSE(settings.Check());
    ASSERT_TRUE(settings.Write(ini));
    EXPECT_DOUBLE_EQ(ini.ReadDouble("WTMMinOutNote", -1), 0.0);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("WTMMinInNote", -1), 16.0);
    EXPECT_EQ(ini.ReadInt("WTMLowPitch", -1), 48);
    EXPECT_EQ(ini.ReadInt("WTMHighPitch", -1), 60);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("WTMMaxAccuracyTolerance", -1), 2.0);
    EXPECT_EQ(ini.ReadInt("WTMMinVolumeLevel", -1), 300);
    EXPECT_EQ(ini.ReadInt("WTMEraseRest", -1), 2);
    EXPECT_EQ(ini.ReadInt("WTMMethod", -1), 0);

    // A lowest pitch above the highest would find nothing: refused.
    settings.lowPitch = WaveToNoteSettings::IndexOfPitch(72);
    EXPECT_TRUE(settings.Check());
}
