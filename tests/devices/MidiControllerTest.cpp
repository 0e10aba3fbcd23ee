#include "devices/MidiController.h"
#include "HomeFixture.h"

#include <filesystem>
#include <sys/stat.h>

namespace {

using Controllers = HomeFixture;

// Marker, number, on/off, low, high, default, name.
std::string CtrFile(unsigned number, bool onOff, unsigned low, unsigned high, unsigned def,
                    const std::string& name) {
    return "%" + U16(number) + std::string(1, onOff ? '\1' : '\0') + U16(low) + U16(high) +
           U16(def) + Str(name);
}

} // namespace

TEST_F(Controllers, WrittenInTheFileOrderAndReadBack) {
    MidiController c;
    c.SetName("Mod Wheel");
    c.SetNumber(1);
    c.SetRange(10, 16000);
    c.SetDefaultValue(300);
    ASSERT_TRUE(c.Write());
    EXPECT_EQ(c.FileName().str(), "Mod_Whee.CTR");
    // Low and high come before the default in the file.
    EXPECT_EQ(Bytes("Mod_Whee.CTR"), CtrFile(1, false, 10, 16000, 300, "Mod Wheel"));

    MidiController back("Mod_Whee.CTR");
    EXPECT_TRUE(back.IsValid());
    EXPECT_FALSE(back.IsReadOnly());
    EXPECT_EQ(back.Name().str(), "Mod Wheel");
    EXPECT_EQ(back.Number(), 1);
    EXPECT_EQ(back.Low(), 10);
    EXPECT_EQ(back.High(), 16000);
    EXPECT_EQ(back.DefaultValue(), 300);
    EXPECT_FALSE(back.OnOff());
    EXPECT_TRUE(shown.empty());
}

TEST_F(Controllers, MissingFileIsReportedWithItsReasonAndInvalid) {
    MidiController c("NOPE.CTR");
    EXPECT_FALSE(c.IsValid());
    EXPECT_EQ(c.Number(), 0);
    EXPECT_FALSE(c.OnOff());
    EXPECT_EQ(c.Low(), 0);
    EXPECT_EQ(c.High(), 127);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.str(),
              "Bad Read\n\n" + (home / "NOPE.CTR").string() + ": No such file or directory");
    EXPECT_EQ(shown[0].title.str(), "");
    EXPECT_EQ(shown[0].icon, MessageIcon::Exclamation);

    // A folder or a pipe by that name is no definition either, and reading one never waits.
    std::filesystem::create_directory(home / "DIR.CTR");
    ASSERT_EQ(::mkfifo((home / "PIPE.CTR").c_str(), 0600), 0);
    EXPECT_FALSE(MidiController("DIR.CTR").IsValid());
    EXPECT_FALSE(MidiController("PIPE.CTR").IsValid());
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].text.str(),
              "Bad Read\n\n" + (home / "DIR.CTR").string() + ": Is a directory");
    EXPECT_EQ(shown[2].text.str(),
              "Bad Read\n\n" + (home / "PIPE.CTR").string() + ": Not a regular file");
}

TEST_F(Controllers, DamagedFilesAreInvalidWithoutAMessage) {
    home.Write("NOMARK.CTR", "#" + CtrFile(7, false, 0, 127, 0, "x").substr(1));
    home.Write("SHORT.CTR", CtrFile(7, false, 0, 127, 0, "Volume").substr(0, 6));
    // A name length of 4 GB in a file of 15 bytes.
    home.Write("HUGE.CTR", "%" + U16(7) + '\0' + U16(0) + U16(127) + U16(0) + U32(0xFFFFFFF0u));
    home.Write("CUT.CTR", CtrFile(7, false, 0, 127, 0, "Volume").substr(0, 17));
    for (const char* name : {"NOMARK.CTR", "SHORT.CTR", "HUGE.CTR", "CUT.CTR"}) {
        const MidiController damaged(name);
        EXPECT_FALSE(damaged.IsValid()) << name;
        EXPECT_EQ(damaged.LoadResult().Reason(), "Not a controller definition the program can read")
            << name;
    }
    EXPECT_TRUE(shown.empty());
}

TEST_F(Controllers, ReadOnlyComesFromThePermissionsAndIsNotOverwritten) {
    const auto file = home.Write("LOCKED.CTR", CtrFile(7, false, 0, 127, 100, "Volume"));
    std::filesystem::permissions(file, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    MidiController c("LOCKED.CTR");
    EXPECT_TRUE(c.IsReadOnly());
    c.SetDefaultValue(5);
    EXPECT_FALSE(c.Write());
    EXPECT_EQ(Bytes("LOCKED.CTR"), CtrFile(7, false, 0, 127, 100, "Volume"));
}

TEST_F(Controllers, ListEntriesPadTheNumberOnlyInTheControllerList) {
    MidiController c;
    c.SetName("Volume");
    c.SetNumber(7);
    EXPECT_EQ(c.ListEntry().str(), "  7: Volume");
    EXPECT_EQ(c.DeviceEntry().str(), "7: Volume");
    c.SetNumber(119);
    EXPECT_EQ(c.ListEntry().str(), "119: Volume");
}
