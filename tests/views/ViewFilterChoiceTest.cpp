#include <gtest/gtest.h>

#include "model/ViewFilter.h"
#include "views/ViewFilterChoice.h"

TEST(ViewFilterChoice, RefusesToShowNothingAndNamesWhatIsMissing) {
    ViewFilter filter;
    ViewFilterChoice choice = ViewFilterChoice::From(filter, 3);
    choice.allTracks = false;
    Refusal refusal = choice.ApplyTo(filter);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal.Text().str(), "Please select at least 1 track.");
    choice.tracks[1] = true;
    choice.allChannels = false;
    EXPECT_EQ(choice.ApplyTo(filter).Text().str(), "Please select at least 1 channel.");
    choice.channels[9] = true;
    choice.allInstruments = false;
    EXPECT_EQ(choice.ApplyTo(filter).Text().str(), "Please select at least 1 instrument.");
    // A refused choice changed nothing.
    EXPECT_TRUE(filter.AllTracks());

    choice.allInstruments = true;
    EXPECT_FALSE(choice.ApplyTo(filter));
    EXPECT_EQ(filter.Description().str(), "Tr 2; Ch 10; All Instr'ts");
}

TEST(ViewFilterChoice, TheNarrowFormKeepsChannelsAndInstruments) {
    ViewFilter filter;
    filter.SetAllChannels(false);
    filter.SelectChannel(3);
    filter.BuildDescription();
    ViewFilterChoice choice = ViewFilterChoice::From(filter, 2);
    choice.tracksOnly = true;
    choice.allChannels = false;
    choice.channels.fill(false); // ignored in the narrow form
    choice.allTracks = false;
    choice.tracks = {true, false};
    EXPECT_FALSE(choice.ApplyTo(filter));
    EXPECT_TRUE(filter.ChannelSelected(3));
    EXPECT_EQ(filter.Description().str(), "Tr 1; Ch 4; All Instr'ts");
}
