#include <gtest/gtest.h>

#include "model/ViewOptions.h"

TEST(ViewOptions, DefaultRecordRoundTrips) {
    const AString text = FormatViewOptions(ViewOptions());
    EXPECT_EQ(text.str(), "VLOPT:0,1,0,0,1,0,35,0.010000,0.020000,1.300000,30,0");
    EXPECT_EQ(FormatViewOptions(ParseViewOptions(text)).str(), text.str());
}

TEST(ViewOptions, ChangedValuesSurviveAndBadRecordsFallBackWhole) {
    ViewOptions o;
    o.clefType = kClefBass;
    o.splitPitch = 30;
    o.printoutScale = 0.8;
    o.colorMode = kColorByTrack;
    o.printPianoType = -2;
    const ViewOptions back = ParseViewOptions(FormatViewOptions(o));
    EXPECT_EQ(back.clefType.value, kClefBass);
    EXPECT_EQ(back.splitPitch.value, 30);
    EXPECT_DOUBLE_EQ(back.printoutScale.value, 0.8);
    EXPECT_EQ(back.printPianoType.value, -2);

    for (const char* bad : {"VLOPT:0,1,0,0,1,2,35,0.01,0.02,1.3,30",      // eleven values
                            "VLOPT:0,1,0,0,1,2,35,0.01,0.02,1.3,30,0,9",  // thirteen
                            "VLOPT:0,1,0,0,1,2,35,0.01,0.02,1.3,30,0x",   // trailing text
                            "VLOPT:0,1,0,0,1,2,,0.01,0.02,1.3,30,0",      // empty value
                            "vlopt:0,1,0,0,1,2,35,0.01,0.02,1.3,30,0"}) { // wrong prefix
        EXPECT_EQ(ParseViewOptions(bad).clefType.value, kClefGrand) << bad;
    }
}
