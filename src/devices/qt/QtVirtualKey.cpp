#include "devices/qt/QtVirtualKey.h"

#include <iterator>

#include "devices/VirtualKeys.h"

namespace {

struct KeyPair {
    int qt;
    std::uint8_t code;
};

// Navigation, editing and system keys.
constexpr KeyPair kSpecialKeys[] = {
    {Qt::Key_Backspace, vk::kBackspace},
    {Qt::Key_Tab, vk::kTab},
    {Qt::Key_Backtab, vk::kTab},
    {Qt::Key_Clear, vk::kClear},
    {Qt::Key_Return, vk::kEnter},
    {Qt::Key_Enter, vk::kEnter},
    {Qt::Key_Shift, vk::kShift},
    {Qt::Key_Control, vk::kCtrl},
    {Qt::Key_Alt, vk::kAlt},
    {Qt::Key_Pause, vk::kPause},
    {Qt::Key_CapsLock, vk::kCapsLock},
    {Qt::Key_Escape, vk::kEscape},
    {Qt::Key_Space, vk::kSpace},
    {Qt::Key_PageUp, vk::kPageUp},
    {Qt::Key_PageDown, vk::kPageDown},
    {Qt::Key_End, vk::kEnd},
    {Qt::Key_Home, vk::kHome},
    {Qt::Key_Left, vk::kLeft},
    {Qt::Key_Up, vk::kUp},
    {Qt::Key_Right, vk::kRight},
    {Qt::Key_Down, vk::kDown},
    {Qt::Key_Select, vk::kSelect},
    {Qt::Key_Printer, vk::kPrint},
    {Qt::Key_Execute, vk::kExecute},
    {Qt::Key_Print, vk::kSnapShot},
    {Qt::Key_Insert, vk::kInsert},
    {Qt::Key_Delete, vk::kDelete},
    {Qt::Key_Help, vk::kHelp},
    {Qt::Key_Meta, vk::kWindowsStart},
    {Qt::Key_Super_L, vk::kWindowsStart},
    {Qt::Key_Super_R, vk::kWindowsStart},
    {Qt::Key_Menu, vk::kMenu},
    {Qt::Key_NumLock, vk::kNumLock},
    {Qt::Key_ScrollLock, vk::kScrollLock},
    {Qt::Key_Play, vk::kPlay},
    {Qt::Key_Zoom, vk::kZoom},
};

// Punctuation by the key that carries it, unshifted and shifted.
constexpr KeyPair kPunctuation[] = {
    {Qt::Key_Semicolon, vk::kSemicolon},
    {Qt::Key_Colon, vk::kSemicolon},
    {Qt::Key_Equal, vk::kPlus},
    {Qt::Key_Plus, vk::kPlus},
    {Qt::Key_Comma, vk::kComma},
    {Qt::Key_Less, vk::kComma},
    {Qt::Key_Minus, vk::kMinus},
    {Qt::Key_Underscore, vk::kMinus},
    {Qt::Key_Period, vk::kPeriod},
    {Qt::Key_Greater, vk::kPeriod},
    {Qt::Key_Slash, vk::kSlash},
    {Qt::Key_Question, vk::kSlash},
    {Qt::Key_QuoteLeft, vk::kBackquote},
    {Qt::Key_AsciiTilde, vk::kBackquote},
    {Qt::Key_BracketLeft, vk::kOpenBracket},
    {Qt::Key_BraceLeft, vk::kOpenBracket},
    {Qt::Key_Backslash, vk::kBackslash},
    {Qt::Key_Bar, vk::kBackslash},
    {Qt::Key_BracketRight, vk::kCloseBracket},
    {Qt::Key_BraceRight, vk::kCloseBracket},
    {Qt::Key_Apostrophe, vk::kQuote},
    {Qt::Key_QuoteDbl, vk::kQuote},
    // Shifted digits.
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
};

bool FromTable(const KeyPair* begin, const KeyPair* end, int qtKey, std::uint8_t& code) {
    for (const KeyPair* p = begin; p != end; ++p) {
        if (p->qt == qtKey) {
            code = p->code;
            return true;
        }
    }
    return false;
}

// Keys of the numeric pad that have codes of their own.
bool KeypadKey(int qtKey, std::uint8_t& code) {
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) {
        code = static_cast<std::uint8_t>(vk::kNumPad0 + (qtKey - Qt::Key_0));
        return true;
    }
    switch (qtKey) {
    case Qt::Key_Asterisk:
        code = vk::kNumPadMultiply;
        return true;
    case Qt::Key_Plus:
        code = vk::kNumPadPlus;
        return true;
    case Qt::Key_Minus:
        code = vk::kNumPadMinus;
        return true;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        code = vk::kNumPadDecimal;
        return true;
    case Qt::Key_Slash:
        code = vk::kNumPadDivide;
        return true;
    default:
        return false;
    }
}

bool KeyCode(int qtKey, bool keypad, std::uint8_t& code) {
    if (keypad && KeypadKey(qtKey, code))
        return true;
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        code = static_cast<std::uint8_t>(qtKey);
        return true;
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        code = static_cast<std::uint8_t>(vk::kF1 + (qtKey - Qt::Key_F1));
        return true;
    }
    return FromTable(std::begin(kSpecialKeys), std::end(kSpecialKeys), qtKey, code) ||
           FromTable(std::begin(kPunctuation), std::end(kPunctuation), qtKey, code);
}

} // namespace

bool TranslateQtKey(int qtKey, Qt::KeyboardModifiers modifiers, VirtualKeyPress& press) {
    std::uint8_t code = 0;
    if (!KeyCode(qtKey, modifiers.testFlag(Qt::KeypadModifier), code))
        return false;
    press.key = code;
    press.shift = modifiers.testFlag(Qt::ShiftModifier);
    press.ctrl = modifiers.testFlag(Qt::ControlModifier);
    press.alt = modifiers.testFlag(Qt::AltModifier);
    return true;
}
