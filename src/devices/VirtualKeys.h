#pragma once

#include <cstdint>

// The virtual-key codes stored in the key table. Digits and letters are their ASCII
// upper-case codes ('0' to '9', 'A' to 'Z').
namespace vk {
constexpr std::uint8_t kBackspace = 8;
constexpr std::uint8_t kTab = 9;
constexpr std::uint8_t kClear = 12;
constexpr std::uint8_t kEnter = 13;
constexpr std::uint8_t kShift = 16;
constexpr std::uint8_t kCtrl = 17;
constexpr std::uint8_t kAlt = 18;
constexpr std::uint8_t kPause = 19;
constexpr std::uint8_t kCapsLock = 20;
constexpr std::uint8_t kEscape = 27;
constexpr std::uint8_t kSpace = 32;
constexpr std::uint8_t kPageUp = 33;
constexpr std::uint8_t kPageDown = 34;
constexpr std::uint8_t kEnd = 35;
constexpr std::uint8_t kHome = 36;
constexpr std::uint8_t kLeft = 37;
constexpr std::uint8_t kUp = 38;
constexpr std::uint8_t kRight = 39;
constexpr std::uint8_t kDown = 40;
constexpr std::uint8_t kSelect = 41;
constexpr std::uint8_t kPrint = 42;
constexpr std::uint8_t kExecute = 43;
constexpr std::uint8_t kSnapShot = 44;
constexpr std::uint8_t kInsert = 45;
constexpr std::uint8_t kDelete = 46;
constexpr std::uint8_t kHelp = 47;
constexpr std::uint8_t kWindowsStart = 91;
constexpr std::uint8_t kMenu = 93;
constexpr std::uint8_t kNumPad0 = 96;
constexpr std::uint8_t kNumPadMultiply = 106;
constexpr std::uint8_t kNumPadPlus = 107;
constexpr std::uint8_t kNumPadMinus = 109;
constexpr std::uint8_t kNumPadDecimal = 110;
constexpr std::uint8_t kNumPadDivide = 111;
constexpr std::uint8_t kF1 = 112;
constexpr std::uint8_t kNumLock = 144;
constexpr std::uint8_t kScrollLock = 145;
constexpr std::uint8_t kSemicolon = 186;    // ; or :
constexpr std::uint8_t kPlus = 187;         // = or +
constexpr std::uint8_t kComma = 188;        // , or <
constexpr std::uint8_t kMinus = 189;        // - or _
constexpr std::uint8_t kPeriod = 190;       // . or >
constexpr std::uint8_t kSlash = 191;        // / or ?
constexpr std::uint8_t kBackquote = 192;    // ` or ~
constexpr std::uint8_t kOpenBracket = 219;  // [ or {
constexpr std::uint8_t kBackslash = 220;    // \ or |
constexpr std::uint8_t kCloseBracket = 221; // ] or }
constexpr std::uint8_t kQuote = 222;        // ' or "
constexpr std::uint8_t kPlay = 250;
constexpr std::uint8_t kZoom = 251;
} // namespace vk
