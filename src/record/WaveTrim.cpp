#include "record/WaveTrim.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <system_error>
#include <vector>

namespace {

struct Closer {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, Closer>;

std::string SoundError(SNDFILE* file) {
    return sf_strerror(file);
}

} // namespace

std::filesystem::path WaveTrim::PartPath(const std::filesystem::path& take) {
    std::filesystem::path part = take;
    part += ".part";
    return part;
}

bool WaveTrim::Trim(const std::filesystem::path& take, long minVolume, bool begin, bool end,
                    std::uint32_t& removed, std::string& error) {
    removed = 0;
    if (!begin && !end)
        return true;
    SF_INFO info{};
    SoundFile in(sf_open(take.c_str(), SFM_READ, &info));
    if (!in) {
        error = "Cannot read " + take.string() + ": " + SoundError(nullptr);
        return false;
    }
    if (info.channels < 1 || info.samplerate < 1 || info.frames < 0) {
        error = take.string() + " holds no sound.";
        return false;
    }
    const auto channels = static_cast<std::size_t>(info.channels);
    const sf_count_t stretch = std::max(1, info.samplerate / kStretchesPerSecond);
    std::vector<short> buffer(static_cast<std::size_t>(stretch) * channels);

    // The first and the last sounding stretch.
    sf_count_t firstLoud = -1, lastLoud = -1;
    for (sf_count_t index = 0;; ++index) {
        const sf_count_t got = sf_readf_short(in.get(), buffer.data(), stretch);
        if (got <= 0)
            break;
        const auto used = buffer.begin() + static_cast<std::ptrdiff_t>(got * info.channels);
        const auto [low, high] = std::minmax_element(buffer.begin(), used);
        if (long{*high} - long{*low} >= minVolume) {
            if (firstLoud < 0)
                firstLoud = index;
            lastLoud = index;
        }
    }
    if (firstLoud < 0)
        return true;
    const sf_count_t from = begin ? firstLoud * stretch : 0;
    const sf_count_t to = end ? std::min((lastLoud + 1) * stretch, info.frames) : info.frames;
    if (from == 0 && to == info.frames)
        return true;

    const std::filesystem::path part = PartPath(take);
    auto fail = [&](std::string why) {
        std::error_code ignored;
        std::filesystem::remove(part, ignored);
        error = std::move(why);
        return false;
    };
    if (sf_seek(in.get(), from, SEEK_SET) != from)
        return fail("Cannot read " + take.string() + ": " + SoundError(in.get()));
    SF_INFO outInfo{};
    outInfo.samplerate = info.samplerate;
    outInfo.channels = info.channels;
    outInfo.format = info.format;
    SNDFILE* out = sf_open(part.c_str(), SFM_WRITE, &outInfo);
    if (!out)
        return fail("Cannot write " + part.string() + ": " + SoundError(nullptr));
    bool copied = true;
    for (sf_count_t left = to - from; left > 0 && copied;) {
        const sf_count_t want = std::min(left, stretch);
        const sf_count_t got = sf_readf_short(in.get(), buffer.data(), want);
        copied = got == want && sf_writef_short(out, buffer.data(), got) == got;
        left -= want;
    }
    const std::string writeError = copied ? "" : SoundError(out);
    if (sf_close(out) != 0 || !copied)
        return fail("Cannot write " + part.string() + ": " +
                    (writeError.empty() ? "the file could not be completed" : writeError));
    in.reset();
    std::error_code ec;
    std::filesystem::rename(part, take, ec);
    if (ec)
        return fail("Cannot replace " + take.string() + ": " + ec.message());
    const double us = std::trunc(static_cast<double>(from) * 1000000.0 / info.samplerate);
    removed = us >= std::numeric_limits<std::uint32_t>::max()
                  ? std::numeric_limits<std::uint32_t>::max()
                  : static_cast<std::uint32_t>(us);
    return true;
}
