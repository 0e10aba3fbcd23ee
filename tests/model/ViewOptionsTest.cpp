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
    o.printPianoType = 2;
    const ViewOptions back = ParseViewOptions(FormatViewOptions(o));
    EXPECT_EQ(back.clefType.value, kClefBass);
    EXPECT_EQ(back.splitPitch.value, 30);
    EXPECT_DOUBLE_EQ(back.printoutScale.value, 0.8);
    EXPECT_EQ(back.printPianoType.value, 2);

    for (const char* bad : {"VLOPT:0,1,0,0,1,2,35,0.01,0.02,1.3,30",      // eleven values
                            "VLOPT:0,1,0,0,1,2,35,0.01,0.02,1.3,30,0,9",  // thirteen
                            "VLOPT:0,1,0,0,1,2,35,0.01,0.02,1.3,30,0x",   // trailing text
                            "VLOPT:0,1,0,0,1,2,,0.01,0.02,1.3,30,0",      // empty value
                            "vlopt:0,1,0,0,1,2,35,0.01,0.02,1.3,30,0"}) { // wrong prefix
        EXPECT_EQ(ParseViewOptions(bad).clefType.value, kClefGrand) << bad;
    }
}

TEST(ViewOptions, NonsenseValuesAreHeldToWhatTheDialogsOffer) {
    // The lowest split there is (its staff position overflowed), no number for the
    // merge, values far beyond every list and scroll bar.
    const ViewOptions o =
        ParseViewOptions("VLOPT:7,-1,2,300,99,-5,-2147483648,nan,inf,100.0,9999,-3");
    EXPECT_EQ(FormatViewOptions(o).str(), "VLOPT:1,0,1,1,4,0,28,0.010000,0.020000,1.800000,50,0");
    EXPECT_EQ(ParseViewOptions("VLOPT:0,1,0,0,0,9,2147483647,-1,0.3,0,0,9").splitPitch.value, 42);
    EXPECT_EQ(
        FormatViewOptions(ParseViewOptions("VLOPT:0,1,0,0,0,9,2147483647,-1,0.3,0,0,9")).str(),
        "VLOPT:0,1,0,0,1,5,42,0.000000,0.250000,0.800000,10,2");
}
