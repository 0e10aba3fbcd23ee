#include "devices/MidiDevice.h"
#include "HomeFixture.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "devices/DefinitionFiles.h"
#include "model/Song.h"
#include "util/AtomicFile.h"

namespace {

using Devices = HomeFixture;

} // namespace

TEST_F(Devices, RoundTripKeepsEmptyEntriesAndSpacesInTheName) {
    MidiDevice d;
    d.SetName("Studio Rack 2");
    d.AddControllerFile("Volume.CTR");
    d.AddControllerFile("Pan.CTR");
    d.SetChannelSpecificInstruments(true);
    d.SetProgramChangeDelay(350);
    ASSERT_TRUE(d.Write());
    EXPECT_EQ(d.FileName().str(), "Studio_R.MDV");
    EXPECT_EQ(Bytes("Studio_R.MDV"), Str("Studio Rack 2") + "\xED" + U32(2) + "\1" +
                                         Str("Volume.CTR") + "\1" + Str("Pan.CTR") + "\1" +
                                         U16(350));

    // An empty entry is a single 0 byte and survives the trip; spaces in controller file
    // names are read as underscores.
    auto gaps = [](const std::string& first) {
        return Str("Gaps") + "\xED" + U32(3) + "\1" + Str(first) + '\0' + "\1" + Str("B.CTR") +
               '\0' + U16(0);
    };
    home.Write("GAPS.MDV", gaps("A B.CTR"));
    MidiDevice back("GAPS.MDV");
    ASSERT_TRUE(back.IsValid());
    ASSERT_EQ(back.ControllerFiles().Count(), 3u);
    EXPECT_EQ(back.ControllerFiles()[0]->str(), "A_B.CTR");
    EXPECT_EQ(back.ControllerFiles()[1], nullptr);
    back.SetFileName("GAPS2.MDV");
    ASSERT_TRUE(back.Write());
    EXPECT_EQ(Bytes("GAPS2.MDV"), gaps("A_B.CTR"));

    MidiDevice studio("Studio_R.MDV");
    EXPECT_EQ(studio.Name().str(), "Studio Rack 2");
    EXPECT_TRUE(studio.ChannelSpecificInstruments());
    EXPECT_EQ(studio.ProgramChangeDelay(), 350);
    EXPECT_TRUE(studio.HasControllerFile("pan.ctr"));
    EXPECT_FALSE(studio.HasControllerFile("Pan"));
}

TEST_F(Devices, NoControllersWritesMarkerAndZeroCount) {
    MidiDevice d;
    d.SetName("X");
    ASSERT_TRUE(d.Write());
    EXPECT_EQ(Bytes("X.MDV"), Str("X") + "\xED" + U32(0) + '\0' + U16(0));
}

TEST_F(Devices, FileNamesCountUpWhenNamesCollide) {
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        MidiDevice d;
        d.SetName("My Synth Module");
        ASSERT_TRUE(d.Write());
        names.push_back(d.FileName().str());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"My_Synth.MDV", "My_Synt0.MDV", "My_Synt1.MDV"}));

    // After "9" come the letters; when all are taken nothing is overwritten.
    MidiDevice first;
    first.SetName(" ");
    ASSERT_TRUE(first.Write());
    for (char c : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
        MidiDevice d;
        d.SetName(" ");
        ASSERT_TRUE(d.Write());
        EXPECT_EQ(d.FileName().str(), std::string(1, c) + ".MDV");
    }
    MidiDevice extra;
    extra.SetName(" ");
    EXPECT_FALSE(extra.Write());

    MidiDevice unnamed;
    ASSERT_TRUE(unnamed.Write());
    EXPECT_EQ(unnamed.FileName().str(), "UNDEFINE.MDV");
}

TEST_F(Devices, NamesCannotReachOutsideTheHomeDirectory) {
    MidiDevice d;
    d.SetName("../x");
    ASSERT_TRUE(d.Write());
    EXPECT_EQ(d.FileName().str(), ".._x.MDV");
    EXPECT_TRUE(std::filesystem::exists(home / ".._x.MDV"));
}

TEST_F(Devices, UnreadableAndDamagedFilesAreInvalidAndEmpty) {
    MidiDevice missing("NONE.MDV");
    EXPECT_FALSE(missing.IsValid());
    EXPECT_EQ(missing.Name().str(), "");
    EXPECT_EQ(missing.LoadResult().Describe(),
              (home / "NONE.MDV").string() + ": No such file or directory");
    // Pipes and folders are refused at once instead of waiting or reading a folder.
    std::filesystem::create_directory(home / "DIR.MDV");
    ASSERT_EQ(::mkfifo((home / "PIPE.MDV").c_str(), 0600), 0);
    EXPECT_EQ(MidiDevice("DIR.MDV").LoadResult().Reason(), "Is a directory");
    EXPECT_EQ(MidiDevice("PIPE.MDV").LoadResult().Reason(), "Not a regular file");

    // Lengths that run past the end: of the name, and of an entry.
    home.Write("HUGE.MDV", U32(0xFFFFFFF0u) + "abc");
    home.Write("ENTRY.MDV", Str("Dev") + "\xED" + U32(1) + "\1" + U32(500) + "short");
    home.Write("FLAG.MDV", Str("Dev") + "\xED" + U32(1) + "\7" + Str("A.CTR"));
    for (const char* name : {"HUGE.MDV", "ENTRY.MDV", "FLAG.MDV"}) {
        MidiDevice d(name);
        EXPECT_FALSE(d.IsValid()) << name;
        EXPECT_EQ(d.Name().str(), "") << name;
        EXPECT_EQ(d.ControllerFiles().Count(), 0u) << name;
        EXPECT_EQ(d.LoadResult().Reason(), "Not a device definition the program can read");
    }

    // A count larger than the entries present stops at the end of the file.
    home.Write("COUNT.MDV", Str("Dev") + "\xED" + U32(0x7FFFFFFF) + "\1" + Str("A.CTR"));
    MidiDevice counted("COUNT.MDV");
    EXPECT_TRUE(counted.IsValid());
    EXPECT_EQ(counted.ControllerFiles().Count(), 1u);
    EXPECT_FALSE(counted.ChannelSpecificInstruments());
    EXPECT_EQ(counted.ProgramChangeDelay(), 0);
}

TEST_F(Devices, NamesResolveAgainstTheHomeDirectoryNotTheCurrentOne) {
    TempDir elsewhere;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(elsewhere.Path());
    elsewhere.Write("LOCAL.MDV", Str("Wrong one") + "\xED" + U32(0) + '\0' + U16(0));
    home.Write("LOCAL.MDV", Str("Right one") + "\xED" + U32(0) + '\0' + U16(0));
    MidiDevice d("LOCAL.MDV");
    EXPECT_EQ(d.Name().str(), "Right one");
    d.SetFileName("");
    ASSERT_TRUE(d.Write());
    EXPECT_TRUE(std::filesystem::exists(home / "Right_on.MDV"));
    EXPECT_EQ(std::filesystem::current_path(), elsewhere.Path());
    std::filesystem::current_path(before);
}

TEST_F(Devices, LoadControllersIndexesTheReadableValidOnes) {
    home.Write("Vol.CTR", CtrFile(7, "Volume"));
    home.Write("Pan.CTR", CtrFile(10, "Pan"));
    home.Write("Bad.CTR", "not a controller");
    home.Write("Big.CTR", CtrFile(300, "Out of range"));
    MidiDevice d;
    for (const char* f : {"Vol.CTR", "Gone.CTR", "Bad.CTR", "Pan.CTR", "Big.CTR"})
        d.AddControllerFile(f);
    d.LoadControllers();
    EXPECT_EQ(d.Controllers().Count(), 3u);
    ASSERT_NE(d.Controller(7), nullptr);
    EXPECT_EQ(d.Controller(7)->Name().str(), "Volume");
    EXPECT_EQ(d.Controller(10)->Name().str(), "Pan");
    EXPECT_EQ(d.Controller(11), nullptr);
    EXPECT_EQ(d.Controller(300), nullptr);
    EXPECT_EQ(d.Controller(-1), nullptr);
    EXPECT_TRUE(shown.empty()); // the missing file is skipped quietly

    d.LoadControllers(); // a second load replaces the first
    EXPECT_EQ(d.Controllers().Count(), 3u);
}

TEST_F(Devices, SongsBindTheDefaultDeviceThroughTheLoader) {
    home.Write(INIFile::kFileName, "");
    home.Write("Vol.CTR", CtrFile(7, "Volume"));
    MidiDevice general;
    general.SetName("General");
    general.SetFileName("GENERAL.MDV");
    general.AddControllerFile("Vol.CTR");
    general.SetProgramChangeDelay(20);
    ASSERT_TRUE(general.Write());
    MidiDevice other;
    other.SetName("Other");
    other.SetProgramChangeDelay(90);
    ASSERT_TRUE(other.Write());

    InstallMidiDeviceLoader();
    {
        Song song;
        EXPECT_EQ(song.DeviceFile().str(), "GENERAL.MDV");
        auto* device = dynamic_cast<MidiDevice*>(&song.Device());
        ASSERT_NE(device, nullptr);
        EXPECT_EQ(device->ProgramChangeDelay(), 20);
        ASSERT_NE(device->Controller(7), nullptr);

        ini.WriteString("DEFAULTDEVICE", "Other.MDV");
        Song second;
        EXPECT_EQ(second.DeviceFile().str(), "Other.MDV");
        EXPECT_EQ(second.Device().ProgramChangeDelay(), 90);
        EXPECT_TRUE(MidiDevice::Exists("Other.MDV"));
        EXPECT_FALSE(MidiDevice::Exists("Missing.MDV"));
    }
    SetSongDeviceLoader({});
}

TEST_F(Devices, DefinitionFilesAreListedFromTheHomeDirectoryInAnyCase) {
    for (const char* name : {"b.mdv", "A.MDV", "c.MDV.bak", "Vol.CTR"})
        home.Write(name, "");
    std::filesystem::create_directory(home / "dir.MDV");
    std::vector<std::string> names;
    for (const AString& name : DefinitionFileNames(".MDV"))
        names.push_back(name.str());
    EXPECT_EQ(names, (std::vector<std::string>{"A.MDV", "b.mdv"}));
}

TEST_F(Devices, WritingNeverFollowsALinkPlantedBesideTheFile) {
    TempDir elsewhere;
    const auto victim = elsewhere.Write("victim", "precious");
    MidiDevice d;
    d.SetName("Synth");
    d.SetFileName("SYNTH.MDV");
    // The names a writer could use for its temporary file, the old fixed one included.
    std::filesystem::create_symlink(victim, home / "SYNTH.MDV.new~");
    for (int i = 0; i + 1 < AtomicFile::kNameAttempts; ++i)
        std::filesystem::create_symlink(victim, AtomicFile::TemporaryName(home / "SYNTH.MDV", i));
    ASSERT_TRUE(d.Write());
    EXPECT_EQ(TempDir::Read(victim), "precious");
    EXPECT_EQ(MidiDevice("SYNTH.MDV").Name().str(), "Synth");
}
