#include "devices/qt/QtVirtualKey.h"

#include <gtest/gtest.h>

namespace {

int Code(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    VirtualKeyPress press;
    return TranslateQtKey(key, modifiers, press) ? press.key : -1;
}

} // namespace

TEST(QtVirtualKey, KeysGetTheCodesOfTheKeyTable) {
    EXPECT_EQ(Code(Qt::Key_A), 65);
    EXPECT_EQ(Code(Qt::Key_0), 48);
    EXPECT_EQ(Code(Qt::Key_F24), 135);
    EXPECT_EQ(Code(Qt::Key_Left), 37);
    EXPECT_EQ(Code(Qt::Key_Print), 44);
    // Shifted characters give the key that carries them on a US keyboard.
    EXPECT_EQ(Code(Qt::Key_Exclam, Qt::ShiftModifier), '1');
    EXPECT_EQ(Code(Qt::Key_BraceLeft, Qt::ShiftModifier), 219);
    EXPECT_EQ(Code(Qt::Key_Plus, Qt::ShiftModifier), 187);
    EXPECT_EQ(Code(Qt::Key_Backtab, Qt::ShiftModifier), 9);
    // The numeric pad has codes of its own, and sends navigation keys without NumLock.
    EXPECT_EQ(Code(Qt::Key_7, Qt::KeypadModifier), 103);
    EXPECT_EQ(Code(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(Code(Qt::Key_Home, Qt::KeypadModifier), 36);
    // Keys without a code are not translated.
    EXPECT_EQ(Code(Qt::Key_ssharp), -1);
    EXPECT_EQ(Code(Qt::Key_VolumeUp), -1);
}

TEST(QtVirtualKey, ModifiersAreReportedSeparately) {
    VirtualKeyPress p;
    ASSERT_TRUE(TranslateQtKey(Qt::Key_C, Qt::ShiftModifier | Qt::ControlModifier, p));
    EXPECT_TRUE(p.shift);
    EXPECT_TRUE(p.ctrl);
    EXPECT_FALSE(p.alt);
    ASSERT_TRUE(TranslateQtKey(Qt::Key_Up, Qt::AltModifier, p));
    EXPECT_FALSE(p.shift);
    EXPECT_TRUE(p.alt);
}
