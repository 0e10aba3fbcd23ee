#include <gtest/gtest.h>

#include <string>

#include "model/KeyScale.h"

namespace {

// The pitch classes of one octave from C that belong to the scale, as note names.
std::string Scale(int key, int mode) {
    static const char* kNames[] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    std::string out;
    for (int p = 60; p < 72; ++p)
        if (PitchInKey(p, key, mode))
            out += std::string(kNames[p % 12]) + " ";
    return out;
}

} // namespace

TEST(KeyScale, ModesBuildTheirScalesOnTheKey) {
    EXPECT_EQ(Scale(0, 0), "C D E F G A B ");
    EXPECT_EQ(Scale(2, 0), "C# D E F# G A B ");
    EXPECT_EQ(Scale(-3, 0), "C D D# F G G# A# ");
    // Minor modes take the relative minor: A minor for no accidentals.
    EXPECT_EQ(Scale(0, 1), "C D E F G A B ");
    EXPECT_EQ(Scale(0, 2), "C D E F G# A B ");
    EXPECT_EQ(Scale(0, 3), "C D E G A ");
    EXPECT_EQ(Scale(0, 4), "C D E F# G# A# ");
    EXPECT_TRUE(PitchInKey(0, 0, 0));
    EXPECT_FALSE(PitchInKey(1, 0, 0));
}
