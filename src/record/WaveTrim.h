#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

// Cuts the silence off the beginning and/or the end of a recorded take. The take is
// looked at in stretches of 10 ms; a stretch is silent when its swing from lowest to
// highest sample stays below the noise threshold (the same minimum swing the pitch
// analysis calls silence). Only whole silent stretches before the first and after the
// last sounding one go. The shortened take is written beside the original and renamed
// over it, so a failure leaves the take as it was. A take without any sounding stretch
// is left alone: cutting it would leave nothing.
class WaveTrim {
public:
    static constexpr int kStretchesPerSecond = 100;

    // `removed`: microseconds cut from the beginning. False with `error` set.
    static bool Trim(const std::filesystem::path& take, long minVolume, bool begin, bool end,
                     std::uint32_t& removed, std::string& error);

    // Where the shortened take is written before it replaces the original.
    static std::filesystem::path PartPath(const std::filesystem::path& take);
};
