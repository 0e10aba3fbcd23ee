#pragma once

// Names of the 128 General MIDI programs as the program shows them; "" outside 0-127.
const char* InstrumentName(int program);
