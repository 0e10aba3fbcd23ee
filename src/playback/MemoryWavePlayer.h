#pragma once

#include <cstdint>
#include <span>

// Plays a wave held in memory without waiting for it, replacing whatever such wave
// still plays. False when the buffer is not a readable wave or there is no audio
// output. The buffer need not outlive the call.
bool PlayMemoryWave(std::span<const std::uint8_t> buffer);
// Silences the wave started by PlayMemoryWave.
void StopSound();
