#include <gtest/gtest.h>

#include "views/StaffSettingsChoice.h"

TEST(StaffSettings, TheDialogsNumbersBecomeTheStoredValuesAndOnlyChangesAreFlagged) {
    ViewOptions options;
    StaffSettingsChoice choice = StaffSettingsChoice::From(options);
    EXPECT_EQ(choice.split, 7); // C5, the middle C of the list
    EXPECT_EQ(choice.mergePercent, 1);
    EXPECT_EQ(choice.scalePosition, 25);
    // Nothing touched: nothing flagged.
    choice.ApplyTo(options);
    EXPECT_FALSE(options.splitPitch.changed);
    EXPECT_FALSE(options.timeGroupMerge.changed);
    EXPECT_FALSE(options.printoutScale.changed);

    choice.split = 0;        // C6
    choice.mergePercent = 1; // the same 0.01
    choice.beamPercent = 25;
    choice.scalePosition = 50; // 1.8
    choice.clef = 2;
    choice.lyrics = false;
    choice.ApplyTo(options);
    EXPECT_EQ(options.splitPitch, 42);
    EXPECT_TRUE(options.splitPitch.changed);
    EXPECT_DOUBLE_EQ(options.timeGroupMerge, 0.01);
    EXPECT_FALSE(options.timeGroupMerge.changed);
    EXPECT_DOUBLE_EQ(options.beamNoteTolerance, 0.25);
    EXPECT_DOUBLE_EQ(options.printoutScale, 1.8);
    EXPECT_EQ(options.clefType, kClefBass);
    EXPECT_EQ(options.showLyrics, 0);
    EXPECT_EQ(StaffSettingsChoice::From(options).scalePosition, 50);
}
