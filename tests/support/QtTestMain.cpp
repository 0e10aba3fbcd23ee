// The main of the widget tests: one application object for every test, on the offscreen
// platform, with the music fonts loaded.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "views/qt/StaffFonts.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!LoadStaffFonts(VORLAUNE_RESOURCE_DIR)) {
        std::fprintf(stderr, "%s\n", kStaffFontsMissing);
        return 1;
    }
    return RUN_ALL_TESTS();
}
