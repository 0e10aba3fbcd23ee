#include "HomeFixture.h"

#include <filesystem>

#include "devices/DeviceDefinitionForm.h"
#include "devices/DeviceList.h"
#include "devices/SongDeviceChoice.h"

namespace {

using DeviceDialogs = HomeFixture;
namespace fs = std::filesystem;

std::string MdvFile(const std::string& name, const std::vector<std::string>& controllers) {
    std::string bytes = Str(name) + "\xED" + U32(static_cast<unsigned>(controllers.size()));
    for (const std::string& c : controllers)
        bytes += "\1" + Str(c);
    return bytes + '\0' + U16(0);
}

std::vector<std::string> Labels(const std::vector<DeviceDefinitionForm::Controller>& list) {
    std::vector<std::string> labels;
    for (const auto& c : list)
        labels.push_back(c.label.str());
    return labels;
}

void MakeReadOnly(const fs::path& file) {
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

} // namespace

TEST_F(DeviceDialogs, ANewDeviceWithTwoControllersIsWrittenAsTheWriterWritesIt) {
    home.Write("VOLUME.CTR", CtrFile(7, "Volume"));
    home.Write("PAN.CTR", CtrFile(10, "Pan"));
    home.Write("BROKEN.CTR", "no marker");
    DeviceList list;
    list.Load();
    EXPECT_TRUE(list.Entries().empty());

    std::unique_ptr<MidiDevice> device = DeviceList::NewDevice();
    DeviceDefinitionForm form(*device);
    EXPECT_EQ(form.name.str(), "UNDEFINED");
    // A file that is no controller definition is not offered.
    EXPECT_EQ(Labels(form.Available()), (std::vector<std::string>{"10: Pan", "7: Volume"}));
    // Each move keeps a selection at the same place, or the last one, or none.
    EXPECT_EQ(form.Add(1), 0);
    EXPECT_EQ(form.Add(0), -1);
    EXPECT_EQ(Labels(form.DeviceControllers()), (std::vector<std::string>{"7: Volume", "10: Pan"}));
    form.name = "My Synth Module";
    form.channelSpecific = true;
    form.delay = "250";
    ASSERT_FALSE(form.ApplyTo(*device));
    ASSERT_FALSE(list.Add(*device));

    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].fileName.str(), "My_Synth.MDV");
    EXPECT_EQ(list.Entries()[0].name.str(), "My Synth Module");
    const std::string expected = Str("My Synth Module") + "\xED" + U32(2) + "\1" +
                                 Str("VOLUME.CTR") + "\1" + Str("PAN.CTR") + "\1" + U16(250);
    EXPECT_EQ(Bytes("My_Synth.MDV"), expected);

    // Reopened for a change: the same definition, whose unchanged save is the same bytes.
    std::optional<Message> refusal;
    std::unique_ptr<MidiDevice> back = list.OpenForChange(0, refusal);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Bytes(), expected);
    DeviceDefinitionForm again(*back);
    EXPECT_EQ(Labels(again.DeviceControllers()),
              (std::vector<std::string>{"7: Volume", "10: Pan"}));
    EXPECT_TRUE(again.Available().empty());
    ASSERT_FALSE(again.ApplyTo(*back));
    ASSERT_FALSE(list.Store(0, *back));
    EXPECT_EQ(Bytes("My_Synth.MDV"), expected);
    EXPECT_TRUE(shown.empty());
}

TEST_F(DeviceDialogs, ControllersThatCannotBeReadKeepTheirPlaceUnderTheirFileName) {
    home.Write("VOLUME.CTR", CtrFile(7, "Volume"));
    home.Write("DEV.MDV", MdvFile("Dev", {"GONE.CTR", "VOLUME.CTR"}));
    MidiDevice device("DEV.MDV");
    DeviceDefinitionForm form(device);
    EXPECT_EQ(Labels(form.DeviceControllers()),
              (std::vector<std::string>{"GONE.CTR", "7: Volume"}));
    // Removing the last keeps the selection on the new last entry.
    EXPECT_EQ(form.Remove(1), 0);
    EXPECT_EQ(Labels(form.Available()), (std::vector<std::string>{"7: Volume"}));
    ASSERT_FALSE(form.ApplyTo(device));
    ASSERT_EQ(device.ControllerFiles().Count(), 1u);
    EXPECT_EQ(device.ControllerFiles()[0]->str(), "GONE.CTR");
    EXPECT_TRUE(shown.empty());
}

TEST_F(DeviceDialogs, AProgramChangeDelayOutsideSixteenBitsIsRefused) {
    MidiDevice device;
    device.SetName("Kept");
    DeviceDefinitionForm form(device);
    form.name = "Changed";
    for (const char* typed : {"65536", "-1", "", "12ms", "99999999999999999999"}) {
        form.delay = typed;
        const std::optional<Message> refusal = form.ApplyTo(device);
        ASSERT_TRUE(refusal) << typed;
        EXPECT_EQ(refusal->text.str(), "Input not in range(0 to 65535)");
        EXPECT_EQ(refusal->title.str(), "Validation Error");
        EXPECT_EQ(refusal->icon, MessageIcon::Stop);
    }
    EXPECT_EQ(device.Name().str(), "Kept");
    form.delay = " 65535 ";
    ASSERT_FALSE(form.ApplyTo(device));
    EXPECT_EQ(device.ProgramChangeDelay(), 65535);
    EXPECT_EQ(device.Name().str(), "Changed");
}

TEST_F(DeviceDialogs, ReadOnlyAndUnreadableDefinitionsAreNeitherChangedNorDeleted) {
    const fs::path locked = home.Write("LOCKED.MDV", MdvFile("Locked", {}));
    MakeReadOnly(locked);
    home.Write("DAMAGED.MDV", Str("Damaged") + "\xED" + U32(1) + "\1" + U32(1000));
    DeviceList list;
    list.Load();
    ASSERT_EQ(list.Entries().size(), 2u);
    // Listed by file name when the definition cannot be read.
    EXPECT_EQ(list.Entries()[0].name.str(), "DAMAGED.MDV");
    EXPECT_FALSE(list.Entries()[0].valid);
    EXPECT_EQ(list.Entries()[1].name.str(), "Locked");
    EXPECT_TRUE(list.Entries()[1].readOnly);

    std::optional<Message> refusal;
    EXPECT_FALSE(list.OpenForChange(1, refusal));
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text.str(), "This Device is Read-Only.");
    EXPECT_EQ(refusal->title.str(), "Vorlaune");
    EXPECT_EQ(refusal->icon, MessageIcon::Stop);
    const std::optional<Message> notDeleted = list.Delete(1);
    ASSERT_TRUE(notDeleted);
    EXPECT_EQ(notDeleted->text.str(), "This Device is Read-Only.");
    EXPECT_TRUE(fs::exists(locked));

    // Saving what could not be read would replace the file with an empty device.
    EXPECT_FALSE(list.OpenForChange(0, refusal));
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->text.StartsWith("This Device cannot be read."));

    EXPECT_FALSE(list.Delete(0));
    EXPECT_FALSE(fs::exists(home / "DAMAGED.MDV"));
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_EQ(list.Entries()[0].name.str(), "Locked");
}

TEST_F(DeviceDialogs, AFailedWriteIsReportedAndTheListStaysAsTheFilesAre) {
    home.Write("DEV.MDV", MdvFile("Dev", {}));
    DeviceList list;
    list.Load();
    std::optional<Message> refusal;
    std::unique_ptr<MidiDevice> device = list.OpenForChange(0, refusal);
    ASSERT_TRUE(device);
    device->SetName("Renamed");
    // A folder where the file should go cannot be replaced, not even by root.
    fs::create_directory(home / "TAKEN.MDV");
    device->SetFileName("TAKEN.MDV");
    const std::optional<Message> failed = list.Store(0, *device);
    ASSERT_TRUE(failed);
    EXPECT_TRUE(failed->text.StartsWith("The definition could not be saved."));
    EXPECT_EQ(list.Entries()[0].name.str(), "Dev");
}

TEST_F(DeviceDialogs, SongDeviceSelectionPreselectsTheSongsDeviceAndNeedsAChoice) {
    home.Write("GENERAL.MDV", MdvFile("General MIDI", {}));
    home.Write("SYNTH.MDV", MdvFile("Synth", {}));
    const SongDeviceChoice choice("synth.mdv");
    ASSERT_EQ(choice.Entries().size(), 2u);
    EXPECT_EQ(choice.Preselected(), 1);
    EXPECT_EQ(SongDeviceChoice("MISSING.MDV").Preselected(), -1);

    AString chosen("unchanged");
    const std::optional<Message> refusal = choice.Choose(-1, chosen);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text.str(), "Please select a device to continue.");
    EXPECT_EQ(refusal->title.str(), "Vorlaune");
    EXPECT_EQ(refusal->icon, MessageIcon::Stop);
    EXPECT_EQ(chosen.str(), "unchanged");
    ASSERT_FALSE(choice.Choose(0, chosen));
    EXPECT_EQ(chosen.str(), "GENERAL.MDV");
}
