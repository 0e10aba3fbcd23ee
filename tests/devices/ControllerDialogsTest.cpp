#include "HomeFixture.h"

#include <filesystem>

#include "devices/ControllerForm.h"
#include "devices/ControllerList.h"

namespace {

using ControllerDialogs = HomeFixture;
namespace fs = std::filesystem;

std::vector<std::string> Entries(const ControllerList& list) {
    std::vector<std::string> entries;
    for (const MidiController* c : list.Controllers())
        entries.push_back(c->ListEntry().str());
    return entries;
}

// The form's refusal text, or "" when the controller took the fields.
std::string Apply(const ControllerForm& form, MidiController& controller) {
    const std::optional<Message> refusal = form.ApplyTo(controller);
    return refusal ? refusal->text.str() : "";
}

} // namespace

TEST_F(ControllerDialogs, TheListIsSortedByNumberAndFollowsAddsAndChanges) {
    home.Write("A.CTR", CtrFile(64, "Hold"));
    home.Write("B.CTR", CtrFile(7, "Volume"));
    home.Write("C.CTR", "not a controller");
    ControllerList list;
    list.Load();
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"  7: Volume", " 64: Hold"}));

    auto added = std::make_unique<MidiController>();
    ControllerForm form(*added);
    form.name = "Pan";
    form.number = "10";
    ASSERT_EQ(Apply(form, *added), "");
    std::size_t at = 99;
    ASSERT_FALSE(list.Add(std::move(added), at));
    EXPECT_EQ(at, 1u);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"  7: Volume", " 10: Pan", " 64: Hold"}));
    EXPECT_EQ(Bytes("Pan.CTR"), "%" + U16(10) + '\0' + U16(0) + U16(16383) + U16(0) + Str("Pan"));

    // A new number moves the entry, and the selection with it.
    MidiController edited = *list.Controllers()[0];
    edited.SetNumber(91);
    at = 0;
    ASSERT_FALSE(list.Store(at, edited));
    EXPECT_EQ(at, 2u);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{" 10: Pan", " 64: Hold", " 91: Volume"}));
    EXPECT_EQ(MidiController("B.CTR").Number(), 91);

    ASSERT_FALSE(list.Delete(0));
    EXPECT_FALSE(fs::exists(home / "Pan.CTR"));
    EXPECT_EQ(Entries(list), (std::vector<std::string>{" 64: Hold", " 91: Volume"}));
    EXPECT_TRUE(shown.empty());
}

TEST_F(ControllerDialogs, AReadOnlyDefinitionIsNeitherChangedNorDeleted) {
    const fs::path file = home.Write("HOLD.CTR", CtrFile(64, "Hold"));
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    ControllerList list;
    list.Load();
    ASSERT_EQ(list.Controllers().Count(), 1u);
    for (const std::optional<Message>& refusal : {list.CheckChange(0), list.Delete(0)}) {
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->text.str(), "This Controller is Read-Only.");
        EXPECT_EQ(refusal->icon, MessageIcon::Stop);
    }
    EXPECT_TRUE(fs::exists(file));
    // Even a store that gets past the dialog leaves the file alone.
    MidiController edited = *list.Controllers()[0];
    edited.SetName("Sustain");
    std::size_t at = 0;
    EXPECT_TRUE(list.Store(at, edited));
    EXPECT_EQ(list.Controllers()[0]->Name().str(), "Hold");
    EXPECT_EQ(TempDir::Read(file), CtrFile(64, "Hold"));
}

TEST_F(ControllerDialogs, NumbersOutsideTheirFieldsAreRefusedFieldByField) {
    MidiController c;
    ControllerForm form(c);
    form.name = "Changed";
    form.number = "120";
    EXPECT_EQ(Apply(form, c), "Input not in range(0 to 119)");
    form.number = "119";
    for (AString* field : {&form.low, &form.high, &form.defaultValue}) {
        const AString kept = *field;
        for (const char* typed : {"16384", "-1", "x"}) {
            *field = typed;
            EXPECT_EQ(Apply(form, c), "Input not in range(0 to 16383)") << typed;
        }
        *field = kept;
    }
    EXPECT_EQ(c.Name().str(), "Undefined");
    form.low = "0";
    form.high = "16383";
    form.defaultValue = "16383";
    EXPECT_EQ(Apply(form, c), "");
    EXPECT_EQ(c.Number(), 119);
    EXPECT_EQ(c.DefaultValue(), 16383);
}

TEST_F(ControllerDialogs, TheRangeIsCheckedBeforeTheDefaultAndItsEndsAreAccepted) {
    MidiController c;
    ControllerForm form(c);
    form.number = "10";
    form.low = "10";
    form.high = "5";
    form.defaultValue = "99";
    const std::optional<Message> refusal = form.ApplyTo(c);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text.str(), "Low range is higher than the high range.");
    EXPECT_EQ(refusal->title.str(), "Validation Error");
    EXPECT_EQ(refusal->icon, MessageIcon::Stop);
    form.high = "20";
    form.defaultValue = "21";
    EXPECT_EQ(Apply(form, c), "Default value not within range.");
    EXPECT_EQ(c.Number(), 0); // nothing taken yet
    for (const char* end : {"10", "20"}) {
        form.defaultValue = end;
        EXPECT_EQ(Apply(form, c), "");
        EXPECT_EQ(c.DefaultValue(), AString(end).ToInt());
    }
}

TEST_F(ControllerDialogs, ASwitchIgnoresItsHiddenFieldsAndGetsZeroTo127) {
    MidiController c;
    ControllerForm form(c);
    form.name = "Hold";
    form.number = "64";
    form.onOff = true;
    // What the hidden fields hold cannot refuse OK: the user cannot see them.
    form.low = "10";
    form.high = "5";
    form.defaultValue = "16000";
    EXPECT_EQ(Apply(form, c), "");
    EXPECT_TRUE(c.OnOff());
    EXPECT_EQ(c.Low(), 0);
    EXPECT_EQ(c.High(), 127);
    EXPECT_EQ(c.DefaultValue(), 0); // a default the switch cannot take is not kept
    form.defaultValue = "127";
    EXPECT_EQ(Apply(form, c), "");
    EXPECT_EQ(c.DefaultValue(), 127);
}
