#include "devices/KeyTranslator.h"
#include "devices/VirtualKeys.h"

// The shipped assignments (documented in the README). Plain letters follow the Note menu
// (A, E, M, I) and the chord keys (C, Shift+C); arrows move in pitch and time, Shift
// selects, Ctrl moves notes and octaves, Alt steps by half tones.
KeyTranslationList KeyTranslator::DefaultTable() {
    constexpr std::int32_t o = kKeyOff, on = kKeyOn;
    auto key = [](char c) { return static_cast<std::uint8_t>(c); };
    return {
        {key('A'), o, o, o, 0},           {key('E'), o, o, o, 1},
        {key('M'), o, o, o, 2},           {key('I'), o, o, o, 3},
        {key('C'), o, o, o, 4},           {key('C'), on, o, o, 5},
        {key('V'), o, o, o, 6},           {vk::kPageDown, on, o, o, 7},
        {vk::kPageUp, on, o, o, 8},       {vk::kSpace, o, o, o, 9},
        {vk::kF1 + 6, o, o, o, 10}, // F7
        {vk::kHome, o, on, o, 11},        {key('R'), o, on, o, 12},
        {vk::kF1 + 7, o, o, o, 13}, // F8
        {vk::kEnd, o, on, o, 14},         {vk::kEscape, o, o, o, 15},
        {key('P'), o, o, o, 16},          {vk::kOpenBracket, o, o, o, 17},
        {vk::kCloseBracket, o, o, o, 18}, {vk::kMinus, o, o, o, 19},
        {vk::kNumPadMinus, o, o, o, 19},  {vk::kPlus, o, o, o, 20},
        {vk::kNumPadPlus, o, o, o, 20},   {vk::kDown, o, o, o, 21},
        {vk::kUp, o, o, o, 22},           {vk::kLeft, o, o, o, 23},
        {vk::kRight, o, o, o, 24},        {key('V'), o, on, o, 25},
        {key('C'), o, on, o, 26},         {vk::kDelete, o, on, o, 27},
        {key('X'), o, on, o, 28},         {key('Z'), o, on, o, 29},
        {vk::kUp, on, o, o, 30},          {vk::kTab, on, o, o, 30},
        {vk::kDown, on, o, o, 31},        {vk::kTab, o, o, o, 31},
        {vk::kLeft, on, o, o, 32},        {vk::kRight, on, o, o, 33},
        {vk::kLeft, o, on, o, 34},        {vk::kRight, o, on, o, 35},
        {vk::kPeriod, o, o, o, 36},       {key('T'), o, o, o, 37},
        {key('A'), on, on, o, 38},        {key('B'), on, on, o, 39},
        {key('C'), on, on, o, 40},        {key('D'), on, on, o, 41},
        {key('E'), on, on, o, 42},        {key('F'), on, on, o, 43},
        {key('G'), on, on, o, 44},        {vk::kDown, o, on, o, 45},
        {vk::kUp, o, on, o, 46},          {vk::kUp, o, o, on, 47},
        {vk::kDown, o, o, on, 48},        {vk::kUp, on, on, o, 49},
        {vk::kDown, on, on, o, 50},
    };
}
