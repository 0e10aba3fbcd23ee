#include "playback/MemoryWave.h"

bool IsRiffData(std::span<const std::uint8_t> buffer) {
    return buffer.size() >= 4 && buffer[0] == 'R' && buffer[1] == 'I' && buffer[2] == 'F' &&
           buffer[3] == 'F';
}
