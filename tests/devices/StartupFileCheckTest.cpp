// What the program sets aside at start is listed once, with the file and the reason.
#include "HomeFixture.h"

#include <sys/stat.h>

#include "devices/Chords.h"
#include "devices/StartupFileCheck.h"
#include "util/SettingsReport.h"

namespace {

struct StartupCheck : HomeFixture {
    void SetUp() override {
        HomeFixture::SetUp();
        SettingsReport::Global().Clear();
    }
    void TearDown() override {
        SettingsReport::Global().Clear();
        HomeFixture::TearDown();
    }
};

} // namespace

TEST_F(StartupCheck, ListsNonsenseSettingsBrokenKeysChordsAndDefinitions) {
    home.Write(INIFile::kFileName, "DrawResolution=0\nKeyTr0=65,0,0,0,1\nKeyTr1=65,0,0\n"
                                   "WTMMaxAccuracyTolerance=nan\nMaxPrintPages=-3\n");
    ASSERT_EQ(::mkfifo((home / Chords::kFileName).c_str(), 0600), 0);
    home.Write("GOOD.CTR", "%" + U16(7) + '\0' + U16(0) + U16(127) + U16(0) + Str("Volume"));
    home.Write("BAD.CTR", "#not a controller");
    home.Write("BAD.MDV", U32(0xFFFFFFF0u) + "abc");
    home.Write("GOOD.MDV", Str("Synth") + "\xED" + U32(0) + '\0' + U16(0));
    StartupFileCheck::Run(ini);
    EXPECT_EQ(SettingsReport::Global().Text(),
              "VORLAUNE.INI: DrawResolution=0 is outside 1 to 1000; 1 is used\n"
              "VORLAUNE.INI: WTMMaxAccuracyTolerance=nan is not a number; the default is used\n"
              "VORLAUNE.INI: MaxPrintPages=-3 is outside 1 to 1000000; 1 is used\n"
              "VORLAUNE.INI: KeyTr1=65,0,0 is no key assignment; the key table ends before it\n"
              "chords.mid: Not a regular file; the built-in chords are used\n"
              "BAD.MDV: Not a device definition the program can read; it is left out\n"
              "BAD.CTR: Not a controller definition the program can read; it is left out\n");
    // Reading definitions here shows no message box.
    EXPECT_TRUE(shown.empty());
}

TEST_F(StartupCheck, AHealthyHomeListsNothing) {
    home.Write(INIFile::kFileName, "KeyTr0=65,0,0,0,1\nKeyTr1=\nNumPlayEachTime=200\n");
    ASSERT_TRUE(Chords().Save(home / Chords::kFileName));
    StartupFileCheck::Run(ini);
    EXPECT_EQ(SettingsReport::Global().Text(), "");
}
