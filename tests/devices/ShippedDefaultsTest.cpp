#include "devices/ShippedDefaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/Startup.h"
#include "devices/Chords.h"
#include "devices/KeyTranslator.h"
#include "devices/MidiDevice.h"
#include "model/Song.h"
#include "support/TempDir.h"
#include "util/INIFile.h"

namespace fs = std::filesystem;

namespace {

const fs::path kShipped = fs::path(VORLAUNE_RESOURCE_DIR) / "home";

const std::vector<int> kControllerNumbers = {1,  2,  4,  5,  7,  8,  10, 11, 64,
                                             65, 66, 67, 71, 72, 73, 74, 91, 93};

} // namespace

TEST(ShippedDefaults, CommittedFilesAreWhatOurWritersProduce) {
    TempDir out;
    std::string error;
    ASSERT_TRUE(WriteShippedDefaults(out.Path(), error)) << error;
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(out.Path())) {
        const fs::path shipped = kShipped / entry.path().filename();
        ASSERT_TRUE(fs::exists(shipped))
            << shipped << " is missing: run `cmake --build build --target vorlaune_defaults`";
        EXPECT_EQ(TempDir::Read(entry.path()), TempDir::Read(shipped))
            << shipped << " differs from what the writers produce";
        ++files;
    }
    EXPECT_EQ(files, static_cast<int>(kControllerNumbers.size()) + 3);
}

TEST(ShippedDefaults, GeneralMidiDeviceAndKeyTableLoad) {
    INIFile shipped(kShipped);
    INIFile* previous = INIFile::Global();
    INIFile::SetGlobal(&shipped);

    MidiDevice general("GENERAL.MDV");
    ASSERT_TRUE(general.IsValid());
    EXPECT_EQ(general.Name().str(), "General MIDI");
    general.LoadControllers();
    std::vector<int> numbers;
    for (const MidiController* c : general.Controllers()) {
        numbers.push_back(c->Number());
        EXPECT_EQ(c->OnOff(), c->Number() >= 64 && c->Number() <= 67) << c->Name().str();
        EXPECT_GE(c->DefaultValue(), c->Low());
        EXPECT_LE(c->DefaultValue(), c->High());
    }
    EXPECT_EQ(numbers, kControllerNumbers);
    ASSERT_NE(general.Controller(7), nullptr);
    EXPECT_EQ(general.Controller(7)->Name().str(), "Volume");
    EXPECT_EQ(general.Controller(7)->High(), 16383);

    EXPECT_EQ(KeyTranslator(shipped).Entries(), KeyTranslator::DefaultTable());

    // The chord file holds the built-in shapes, lowest note first.
    Chords chords;
    ASSERT_TRUE(chords.Load(kShipped / Chords::kFileName));
    ASSERT_EQ(chords.Count(), Chords::BuiltIn().size());
    for (std::size_t i = 0; i < chords.Count(); ++i) {
        Chords::Chord expected = Chords::BuiltIn()[i];
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(chords.At(i), expected) << "chord " << i;
    }
    INIFile::SetGlobal(previous);
}

TEST(ShippedDefaults, FirstStartSeedsTheHomeAndNewSongsBindGeneralMidi) {
    TempDir home;
    setenv("VORLAUNE_HOME", home.Path().c_str(), 1);
    setenv("VORLAUNE_RESOURCES", VORLAUNE_RESOURCE_DIR, 1);
    {
        ProgramEnvironment environment;
        std::string error;
        ASSERT_TRUE(environment.Start(error)) << error;
        EXPECT_TRUE(fs::exists(home / "GENERAL.MDV"));
        EXPECT_TRUE(fs::exists(home / "Volume.CTR"));
        Song song;
        auto* device = dynamic_cast<MidiDevice*>(&song.Device());
        ASSERT_NE(device, nullptr);
        EXPECT_TRUE(device->IsValid());
        EXPECT_EQ(device->Controllers().Count(), kControllerNumbers.size());
        EXPECT_FALSE(Chords::Global().IsBuiltIn());
    }
    unsetenv("VORLAUNE_RESOURCES");
}
