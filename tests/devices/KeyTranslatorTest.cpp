#include "devices/KeyTranslator.h"
#include "devices/VirtualKeys.h"

#include <gtest/gtest.h>

#include <set>

#include "support/TempDir.h"
#include "util/INIFile.h"

namespace {

struct Keys : ::testing::Test {
    TempDir dir;
    INIFile ini{dir.Path()};
    void Settings(const std::string& text) { dir.Write(INIFile::kFileName, text); }
    std::string Contents() const { return TempDir::Read(dir / INIFile::kFileName); }
};

} // namespace

TEST_F(Keys, StoredValueAssignsAKeyWithModifierStates) {
    Settings("KeyTr0=65,0,1,0,9\n");
    KeyTranslator keys(ini);
    KeyOperation op{};
    EXPECT_TRUE(keys.Find('A', false, true, false, op));
    EXPECT_EQ(op, KeyOperation::Play);
    EXPECT_STREQ(KeyOperationName(op), "Play");
    EXPECT_FALSE(keys.Find('A', false, false, false, op));
    EXPECT_FALSE(keys.Find('A', true, true, false, op));
    EXPECT_FALSE(keys.Find('B', false, true, false, op));
}

TEST_F(Keys, IgnoreMatchesBothStatesAndTheFirstEntryWins) {
    KeyTranslator keys(ini);
    keys.Add('C', kKeyIgnore, kKeyOff, kKeyOff, KeyOperation::ChordCycle);
    keys.Add('C', kKeyOn, kKeyOff, kKeyOff, KeyOperation::ChordCycleBackward);
    KeyOperation op{};
    ASSERT_TRUE(keys.Find('C', false, false, false, op));
    EXPECT_EQ(op, KeyOperation::ChordCycle);
    ASSERT_TRUE(keys.Find('C', true, false, false, op));
    EXPECT_EQ(op, KeyOperation::ChordCycle); // the second entry never gets a turn

    keys.Remove(0);
    ASSERT_TRUE(keys.Find('C', true, false, false, op));
    EXPECT_EQ(op, KeyOperation::ChordCycleBackward);
    EXPECT_FALSE(keys.Find('C', false, false, false, op));
    keys.Remove(7); // past the end: nothing happens
    EXPECT_EQ(keys.Entries().size(), 1u);
}

TEST_F(Keys, LoadingStopsAtTheFirstMissingOrMalformedEntry) {
    Settings("KeyTr0=65,0,0,0,0\nKeyTr1= 66, 0, 0, 0, 1\nKeyTr3=67,0,0,0,2\n");
    EXPECT_EQ(KeyTranslator(ini).Entries().size(), 2u); // KeyTr2 is missing

    Settings("KeyTr0=65,0,0,0,0\nKeyTr1=66,0,0,0\nKeyTr2=67,0,0,0,2\n");
    EXPECT_EQ(KeyTranslator(ini).Entries().size(), 1u); // four numbers only

    for (const char* bad : {"x,0,0,0,0", "65,0,0,0,", "", "256,0,0,0,0", "65,3,0,0,0",
                            "65,0,0,0,51", "65,0,-1,0,0"}) {
        Settings(std::string("KeyTr0=65,0,0,0,1\nKeyTr1=") + bad + "\nKeyTr2=66,0,0,0,2\n");
        EXPECT_EQ(KeyTranslator(ini).Entries().size(), 1u) << bad;
    }

    Settings("Other=1\n");
    EXPECT_TRUE(KeyTranslator(ini).Entries().empty());
}

TEST_F(Keys, SavingWritesPlainNumbersAndBlanksStaleKeys) {
    Settings("Color=red\n");
    KeyTranslator keys(ini);
    keys.Add(37, kKeyOn, kKeyIgnore, kKeyOff, KeyOperation::SelectNotesBackward);
    keys.Add('A', kKeyOff, kKeyOff, kKeyOff, KeyOperation::AddNoteAfterCurrent);
    keys.Add('E', kKeyOff, kKeyOff, kKeyOff, KeyOperation::AddNoteAtEnd);
    keys.Save(ini);
    EXPECT_EQ(Contents(), "Color=red\nKeyTr0=37,1,2,0,32\nKeyTr1=65,0,0,0,0\nKeyTr2=69,0,0,0,1\n");

    keys.Remove(0);
    keys.Remove(0);
    keys.Save(ini);
    AString value;
    EXPECT_TRUE(ini.ReadString("KeyTr1", value));
    EXPECT_EQ(value.str(), "");
    EXPECT_TRUE(ini.ReadString("KeyTr2", value));
    EXPECT_EQ(value.str(), "");
    KeyTranslator reloaded(ini);
    ASSERT_EQ(reloaded.Entries().size(), 1u);
    EXPECT_EQ(reloaded.Entries()[0].key, 'E');
}

TEST(KeyNames, EveryCodeHasAName) {
    EXPECT_EQ(KeyTranslator::KeyName(8).str(), "Backspace");
    EXPECT_EQ(KeyTranslator::KeyName(10).str(), "Code 10");
    EXPECT_EQ(KeyTranslator::KeyName(48).str(), "0");
    EXPECT_EQ(KeyTranslator::KeyName(65).str(), "A");
    EXPECT_EQ(KeyTranslator::KeyName(96).str(), "NumPad 0");
    EXPECT_EQ(KeyTranslator::KeyName(112).str(), "F1");
    EXPECT_EQ(KeyTranslator::KeyName(135).str(), "F24");
    EXPECT_EQ(KeyTranslator::KeyName(220).str(), "\\ or |");
    EXPECT_EQ(KeyTranslator::KeyName(222).str(), "' or \"");
    EXPECT_EQ(KeyTranslator::KeyName(255).str(), "Code 255");
    std::set<std::string> names;
    for (int code = 0; code < KeyTranslator::kKeyCount; ++code)
        names.insert(KeyTranslator::KeyName(code).str());
    EXPECT_EQ(names.size(), 256u); // no two codes share a name

    EXPECT_STREQ(KeyOperationName(KeyOperation::AddNoteAfterCurrent), "Add Note After Current");
    EXPECT_STREQ(KeyOperationName(KeyOperation::Undo), "Undo");
    EXPECT_STREQ(KeyOperationName(KeyOperation::MoveToPreviousNoteAtCurrentTime),
                 "Move To Previous Note At Current Time");
    EXPECT_STREQ(KeyOperationName(KeyOperation::DownInPitchInKey), "Down In Pitch In Key");
    EXPECT_STREQ(KeyTranslator::OperationName(51), "");
    EXPECT_STREQ(KeyTranslator::StateName(kKeyIgnore), "Ignore");
}

TEST(DefaultKeys, EveryOperationIsReachableAndNoEntryIsShadowed) {
    KeyTranslator keys;
    keys.SetEntries(KeyTranslator::DefaultTable());
    std::set<KeyOperation> reached;
    for (std::size_t i = 0; i < keys.Entries().size(); ++i) {
        const KeyTranslation e = keys.Entries()[i];
        ASSERT_NE(e.shift, kKeyIgnore);
        ASSERT_NE(e.ctrl, kKeyIgnore);
        ASSERT_NE(e.alt, kKeyIgnore);
        KeyOperation op{};
        ASSERT_TRUE(keys.Find(e.key, e.shift == kKeyOn, e.ctrl == kKeyOn, e.alt == kKeyOn, op));
        EXPECT_EQ(op, e.operation) << "entry " << i << " (" << KeyTranslator::KeyName(e.key).str()
                                   << ") is hidden by an earlier one";
        reached.insert(op);
    }
    EXPECT_EQ(reached.size(), static_cast<std::size_t>(KeyTranslator::kOperationCount));

    KeyOperation op{};
    ASSERT_TRUE(keys.Find('C', false, false, false, op));
    EXPECT_EQ(op, KeyOperation::ChordCycle);
    ASSERT_TRUE(keys.Find('C', true, false, false, op));
    EXPECT_EQ(op, KeyOperation::ChordCycleBackward);
    for (char letter : {'A', 'E', 'M', 'I'}) {
        ASSERT_TRUE(keys.Find(static_cast<std::uint8_t>(letter), false, false, false, op));
        EXPECT_LE(op, KeyOperation::InsertNoteBeforeCurrentTime);
    }
}

// A modifier alone is no key and cannot be assigned; every key of the shipped table
// can, Tab among them (the main window offers keys to the table before focus handling).
TEST(KeyCapture, LoneModifiersAreRefused) {
    for (std::uint8_t modifier : {vk::kShift, vk::kCtrl, vk::kAlt})
        EXPECT_TRUE(KeyTranslator::CanAssign(modifier));
    for (const KeyTranslation& entry : KeyTranslator::DefaultTable())
        EXPECT_FALSE(KeyTranslator::CanAssign(entry.key))
            << KeyTranslator::KeyName(entry.key).str();
}
