#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/TempDir.h"
#include "util/INIFile.h"
#include "util/SettingsReport.h"

namespace {

struct IniFixture : ::testing::Test {
    TempDir dir;
    INIFile ini{dir.Path()};
    void Write(const std::string& text) { dir.Write(INIFile::kFileName, text); }
    std::string Contents() const { return TempDir::Read(dir / INIFile::kFileName); }
};

} // namespace

TEST_F(IniFixture, KeysMatchWholeAndIgnoringCaseFirstLineWins) {
    Write("; comment\n\nColor=red\ncolor=blue\nSpaced =yes\nnoequals\n");
    AString value;
    ASSERT_TRUE(ini.ReadString("COLOR", value));
    EXPECT_EQ(value.str(), "red");
    EXPECT_FALSE(ini.ReadString("Spaced", value)); // the blank belongs to the key
    EXPECT_EQ(value.str(), "");
    ASSERT_TRUE(ini.ReadString("spaced ", value));
    EXPECT_EQ(value.str(), "yes");
    EXPECT_FALSE(ini.ReadString("noequals", value));
    EXPECT_EQ(ini.ReadValue("missing").str(), "");
}

TEST_F(IniFixture, NumbersReadLikeThePlatformDid) {
    Write("A=  12  \nB=-7\nC=- 7\nD=abc\nE=\nF=2.5\nG=\t-\t3x\n");
    AString raw;
    ini.ReadString("A", raw);
    EXPECT_EQ(raw.str(), "12  ");
    EXPECT_EQ(ini.ReadInt("A", 0), 12);
    EXPECT_EQ(ini.ReadInt("B", 0), -7);
    EXPECT_EQ(ini.ReadInt("C", 0), -7);
    EXPECT_EQ(ini.ReadInt("D", 99), 99);
    EXPECT_EQ(ini.ReadInt("E", 99), 99);
    EXPECT_EQ(ini.ReadInt("G", 0), -3);
    EXPECT_EQ(ini.ReadInt("missing", 5), 5);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("F", 0), 2.5);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("D", 1.5), 1.5);
}

TEST_F(IniFixture, WritingMovesTheKeyToTheEndAndDropsCommentsAndDuplicates) {
    Write("; keep me?\nColor=red\n\nSize=3\ncolor=blue\n");
    ASSERT_TRUE(ini.WriteString("COLOR", "green"));
    EXPECT_EQ(Contents(), "Size=3\nCOLOR=green\n");
    ASSERT_TRUE(ini.WriteInt("Count", -4));
    ASSERT_TRUE(ini.WriteDouble("Ratio", 0.25));
    EXPECT_EQ(Contents(), "Size=3\nCOLOR=green\nCount=-4\nRatio=0.2500000000\n");
    EXPECT_EQ(ini.ReadInt("count", 0), -4);
}

TEST_F(IniFixture, AMissingFileReadsEmptyAndRefusesWrites) {
    EXPECT_EQ(ini.ReadInt("X", 3), 3);
    EXPECT_FALSE(ini.WriteString("X", "1"));
    EXPECT_FALSE(std::filesystem::exists(dir / INIFile::kFileName));
}

TEST_F(IniFixture, HomeDirIsAnsweredWithoutTheFile) {
    AString value;
    ASSERT_TRUE(ini.ReadString("homedir", value));
    EXPECT_EQ(value.str(), dir.Path().string());
    EXPECT_EQ(ini.ReadValue("HomeDir").str(), dir.Path().string());
}

TEST_F(IniFixture, NonsenseNumbersAreHeldToTheirRangeAndReported) {
    SettingsReport::Global().Clear();
    Write("NumPlayEachTime=5\nWTMLowPitch=-2147483648\nWTMMaxAccuracyTolerance=nan\n"
          "WTMMaximaPercentOfHigh=inf\nWTMEraseRest=2\nDrawResolution=abc\nOther=nan\n");
    EXPECT_EQ(ini.ReadInt("NumPlayEachTime", 200), 200); // outside means the default here
    EXPECT_EQ(ini.ReadInt("WTMLowPitch", 20), 12);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("WTMMaxAccuracyTolerance", 3.1717), 3.1717);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("WTMMaximaPercentOfHigh", 0.5), 0.5);
    EXPECT_EQ(ini.ReadInt("WTMEraseRest", 1), 2);
    EXPECT_DOUBLE_EQ(ini.ReadDouble("Other", 1.5), 1.5);
    // Reading again reports nothing new; the start-up check lists the rest.
    EXPECT_EQ(ini.ReadInt("WTMLowPitch", 20), 12);
    ini.CheckKnownSettings();
    EXPECT_EQ(SettingsReport::Global().Text(),
              "VORLAUNE.INI: NumPlayEachTime=5 is outside 10 to 400; the default is used\n"
              "VORLAUNE.INI: WTMLowPitch=-2147483648 is outside 12 to 108; 12 is used\n"
              "VORLAUNE.INI: WTMMaxAccuracyTolerance=nan is not a number; the default is used\n"
              "VORLAUNE.INI: WTMMaximaPercentOfHigh=inf is not a number; the default is used\n"
              "VORLAUNE.INI: DrawResolution=abc is not a number; the default is used\n");
    SettingsReport::Global().Clear();
}

TEST_F(IniFixture, ASettingsFileThatIsAPipeOrFolderReadsAsMissing) {
    ASSERT_EQ(::mkfifo((dir / INIFile::kFileName).c_str(), 0600), 0);
    AString value;
    EXPECT_FALSE(ini.ReadString("Anything", value)); // at once, not waiting for a writer
    EXPECT_FALSE(ini.WriteString("Anything", "1"));
    EXPECT_EQ(ini.ReadInt("NumPlayEachTime", 200), 200);
}
