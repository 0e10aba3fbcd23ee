#pragma once

#include <cstdint>
#include <span>

// True when `buffer` holds something whose first four bytes are "RIFF": a wave kept in
// memory that PlayMemoryWave can be given.
bool IsRiffData(std::span<const std::uint8_t> buffer);
