#include "record/WaveToNotes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#include "record/PitchConversions.h"
#include "record/RecordingReader.h"
#include "record/SungNoteFinder.h"
#include "util/INIFile.h"

const char kWaveToNotesNoNotesText[] =
    "No notes found. Make Sure:\n     - your microphone is plugged in securely\n     - you are "
    "singing close to the microphone\n     - you sing in LOUD, long even tones\n     - The "
    "Voice-To-Note settings are correct";
const char kWaveToNotesExceptionText[] =
    "Error occurred converting. Probably ran out of memory. Save files and close down program.";

namespace {

constexpr const char* kKeyTolerance = "WTMMaxAccuracyTolerance";
constexpr const char* kKeyLowPitch = "WTMLowPitch";
constexpr const char* kKeyHighPitch = "WTMHighPitch";
constexpr const char* kKeyPeakWeight = "WTMExtremesWorthMultiplier";
constexpr const char* kKeyPeakFraction = "WTMMaximaPercentOfHigh";
constexpr const char* kKeySkipBlank = "WTMSkipBlankToAppend";
constexpr const char* kKeyBlankMax = "WTMBlankMaxToAppend";
constexpr const char* kKeyMinInNote = "WTMMinInNote";
constexpr const char* kKeyMinOutNote = "WTMMinOutNote";
constexpr const char* kKeyMinVolume = "WTMMinVolumeLevel";
constexpr const char* kKeyEraseRest = "WTMEraseRest";
constexpr const char* kKeyMethod = "WTMMethod";

int ClampToInt(long value) {
    return static_cast<int>(
        std::clamp<long>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::uint32_t ToMicroseconds(std::int64_t value) {
    return static_cast<std::uint32_t>(
        std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
}

// Note numbers past the MIDI range (only reachable with odd settings) move by octaves.
std::uint8_t NoteInRange(long note) {
    while (note < 0)
        note += 12;
    while (note > 127)
        note -= 12;
    return static_cast<std::uint8_t>(note);
}

} // namespace

// --- parameters ------------------------------------------------------------------------

std::uint32_t NoteValueMicroseconds(double divisor, std::int32_t usPerQuarter) {
    if (!(std::fabs(divisor) >= 0.01))
        return 0;
    const double us = std::trunc(usPerQuarter * 4.0 / divisor);
    if (!(us > 0.0))
        return 0;
    return us >= 4294967295.0 ? std::numeric_limits<std::uint32_t>::max()
                              : static_cast<std::uint32_t>(us);
}

void WaveToNotesParameters::SetTempo(std::int32_t usPerQuarter) {
    minInNoteMicroseconds = NoteValueMicroseconds(minInNoteDivisor, usPerQuarter);
    minOutNoteMicroseconds = NoteValueMicroseconds(minOutNoteDivisor, usPerQuarter);
}

void WaveToNotesParameters::Read(INIFile& ini, std::int32_t usPerQuarter) {
    const WaveToNotesParameters defaults;
    tolerance = ini.ReadDouble(kKeyTolerance, defaults.tolerance);
    lowPitch = ClampToInt(ini.ReadInt(kKeyLowPitch, defaults.lowPitch));
    highPitch = ClampToInt(ini.ReadInt(kKeyHighPitch, defaults.highPitch));
    peakWeight = ini.ReadDouble(kKeyPeakWeight, defaults.peakWeight);
    peakFraction = ini.ReadDouble(kKeyPeakFraction, defaults.peakFraction);
    skipBlankToAppend = ini.ReadInt(kKeySkipBlank, defaults.skipBlankToAppend);
    blankMaxToAppend = ini.ReadInt(kKeyBlankMax, defaults.blankMaxToAppend);
    minInNoteDivisor = ini.ReadDouble(kKeyMinInNote, defaults.minInNoteDivisor);
    minOutNoteDivisor = ini.ReadDouble(kKeyMinOutNote, defaults.minOutNoteDivisor);
    minVolume = ini.ReadInt(kKeyMinVolume, defaults.minVolume);
    eraseRest = ClampToInt(ini.ReadInt(kKeyEraseRest, defaults.eraseRest));
    const long chosen = ini.ReadInt(kKeyMethod, defaults.method);
    method = chosen == WaveToNotes::kFrameMethod || chosen == WaveToNotes::kSungMethod
                 ? static_cast<int>(chosen)
                 : defaults.method;
    SetTempo(usPerQuarter);
}

FrameSearch FrameSearchOf(const WaveToNotesParameters& p) {
    FrameSearch search;
    search.tolerance = p.tolerance;
    search.minVolume = p.minVolume;
    search.lowFrequency = FrequencyOfNote(p.lowPitch);
    search.highFrequency = FrequencyOfNote(p.highPitch);
    search.peakFraction = p.peakFraction;
    search.peakWeight = p.peakWeight;
    return search;
}

// --- the sample window -----------------------------------------------------------------

// A fixed window over the recording's 16-bit samples that slides forward, so that a
// recording of any length is analysed in little memory. Positions count bytes.
class WaveToNotes::SampleWindow {
public:
    explicit SampleWindow(RecordingReader& reader) : reader_(reader) {}

    void Allocate() { samples_.assign(kWindowBytes / 2, 0); }
    std::uint64_t TotalBytes() const { return 2 * reader_.ExpectedSamples(); }

    void Load() {
        const std::size_t got = Fill(samples_.data(), samples_.size());
        endOfData_ = got < samples_.size();
        readEnd_ = 2 * got;
    }

    // Moves the window so that it starts at `position` once that lies more than half a
    // window past its start.
    void SlideFor(std::uint64_t position) {
        const std::uint64_t distance = position - start_;
        if (distance <= kSlideBytes || endOfData_)
            return;
        const std::size_t shift =
            static_cast<std::size_t>(std::min<std::uint64_t>(distance, kWindowBytes)) / 2;
        std::copy(samples_.begin() + static_cast<std::ptrdiff_t>(shift), samples_.end(),
                  samples_.begin());
        const std::size_t keep = samples_.size() - shift;
        const std::size_t got = Fill(samples_.data() + keep, shift);
        endOfData_ = got < shift;
        start_ += 2 * shift;
        readEnd_ += 2 * got;
    }

    const std::int16_t* At(std::uint64_t position) const {
        return samples_.data() + (position - start_) / 2;
    }
    long Available(std::uint64_t position) const {
        return position >= readEnd_ ? 0 : static_cast<long>((readEnd_ - position) / 2);
    }

private:
    // Reads up to `count` samples and zeroes what the recording did not fill.
    std::size_t Fill(std::int16_t* to, std::size_t count) {
        const std::size_t got = reader_.Read(to, count);
        std::fill(to + got, to + count, std::int16_t{0});
        return got;
    }

    RecordingReader& reader_;
    std::vector<std::int16_t> samples_;
    std::uint64_t start_ = 0;   // byte offset of the window's first sample
    std::uint64_t readEnd_ = 0; // byte offset just past the last sample read
    bool endOfData_ = false;
};

// --- conversion ------------------------------------------------------------------------

const char* WaveToNotes::ErrorText(int code) {
    switch (code) {
    case kBadFormat:
        return "Error Occurred Converting: Wave file not in correct format.";
    case kNot16Bits:
        return "Error Occurred Converting: Wave file not 16-bits per sample.";
    case kNotMono:
        return "Error Occurred Converting: Wave file needs to be mono/single channel, not "
               "stereo.";
    case kOutOfMemory:
        return "Error Occurred Converting: Out of memory. Save files and close down program.";
    default:
        return "";
    }
}

void WaveToNotes::ReportProgress(std::uint64_t position, std::uint64_t total) {
    if (!progress_ || total == 0)
        return;
    const int percent = static_cast<int>(std::min<std::uint64_t>(position, total) * 100 / total);
    if (percent != lastPercent_) {
        lastPercent_ = percent;
        progress_(percent);
    }
}

int WaveToNotes::Convert(const WaveToNotesParameters& parameters, std::vector<DetectedNote>& notes,
                         int& voicedFrameCount) {
    notes.clear();
    voicedFrameCount = 0;
    lastPercent_ = -1;
    fileProblem_ = FileResult();

    const bool sung = parameters.method == kSungMethod;
    const double rate = sung ? SungNoteFinder::kAnalysisRate : kAnalysisRate;
    RecordingReader reader;
    if (parameters.samples) {
        if (!reader.OpenSamples(parameters.samples, parameters.sampleBytes, parameters.sampleRate,
                                rate))
            return kBadFormat;
    } else if (FileResult opened = reader.OpenFile(parameters.fileName, rate); !opened) {
        fileProblem_ = std::move(opened);
        return kBadFormat;
    }

    std::vector<DetectedNote> found;
    if (sung) {
        SungNoteFinder finder(parameters);
        const std::uint64_t total = reader.ExpectedSamples();
        std::uint64_t done = 0;
        std::vector<float> block(SungNoteFinder::kBlockSamples);
        for (;;) {
            ReportProgress(done, total);
            const std::size_t got = reader.Read(block.data(), block.size());
            if (got == 0 || Cancelled())
                break;
            finder.Push(block.data(), got);
            done += got;
        }
        if (Cancelled())
            return kOk;
        found = finder.Finish();
        voicedFrameCount = finder.VoicedFrames();
    } else {
        std::unique_ptr<SampleWindow> window;
        std::vector<FrequencyAnalysisSegment> frames;
        try {
            window = std::make_unique<SampleWindow>(reader);
            window->Allocate();
            frames.resize(kMaxFrames);
        } catch (const std::bad_alloc&) {
            return kOutOfMemory;
        }
        window->Load();
        std::size_t frameCount = 0;
        const int code = Analyse(*window, rate, parameters, frames, frameCount, voicedFrameCount);
        if (code != kOk)
            return code;
        if (Cancelled())
            return kOk;
        found = Segment(frames.data(), frameCount, rate, parameters);
    }
    if (progress_)
        progress_(100);
    notes = std::move(found);
    return kOk;
}

int WaveToNotes::Analyse(SampleWindow& window, double sampleRate,
                         const WaveToNotesParameters& parameters,
                         std::vector<FrequencyAnalysisSegment>& frames, std::size_t& frameCount,
                         int& voicedFrameCount) {
    const FrameSearch search = FrameSearchOf(parameters);
    const std::uint64_t total = window.TotalBytes();
    std::uint64_t position = 0;
    // A stretch of unvoiced frames shares one slot, which learns its length when the
    // stretch ends.
    bool inSilentRun = false;
    std::size_t silentSlot = 0;
    std::uint64_t silentLength = 0;
    auto closeSilentRun = [&] {
        if (inSilentRun)
            frames[silentSlot].length = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(silentLength, std::numeric_limits<std::uint32_t>::max()));
        inSilentRun = false;
    };

    std::uint32_t length = 0;
    do {
        ReportProgress(position, total);
        FrequencyAnalysisSegment& frame = frames[frameCount];
        window.SlideFor(position);
        DetectFrame(window.At(position), window.Available(position), sampleRate, search, frame);
        length = frame.length;
        position += 2ull * length;
        if (frame.candidateCount == 0) {
            if (inSilentRun) {
                silentLength += length;
            } else {
                inSilentRun = true;
                silentSlot = frameCount++;
                silentLength = length;
            }
        } else {
            closeSilentRun();
            ++frameCount;
            ++voicedFrameCount;
        }
    } while (length != 0 && frameCount < kMaxFrames - 1 && !Cancelled());
    closeSilentRun();
    return kOk;
}

std::vector<DetectedNote> WaveToNotes::Segment(const FrequencyAnalysisSegment* frames,
                                               std::size_t frameCount, double sampleRate,
                                               const WaveToNotesParameters& parameters) {
    constexpr int kBins = 21;
    constexpr int kSameOctave = 10;
    std::vector<DetectedNote> notes;
    std::int64_t t = 0;
    bool blank = false;
    double average = 0.0;
    int joins = 0;
    int histogram[kBins] = {};

    for (std::size_t f = 0; f < frameCount; ++f) {
        const FrequencyAnalysisSegment& frame = frames[f];
        const double frequency = frame.candidateCount > 0 ? frame.frequency : 0.0;
        const std::int64_t d =
            static_cast<std::int64_t>(std::trunc(frame.length * 1000000.0 / sampleRate));
        if (frequency > 0.0) {
            double pitch = FractionalNote(frequency);
            bool joined = false;
            if (!notes.empty()) {
                DetectedNote& last = notes.back();
                const std::int64_t lastEnd = std::int64_t{last.start} + last.length;
                if (!blank || t - lastEnd < parameters.skipBlankToAppend) {
                    double delta = std::fabs(average - pitch);
                    while (delta > 10.0)
                        delta -= 12.0;
                    int bin = kSameOctave;
                    if (std::fabs(delta) < 0.8 && std::fabs(average - pitch) >= 0.8) {
                        const double octaves = pitch > average ? (pitch - average + 0.5) / 12.0
                                                               : (pitch - average - 0.5) / 12.0;
                        bin = kSameOctave + static_cast<int>(std::trunc(octaves));
                    }
                    // A jump past the histogram's ten octaves each way starts a new note.
                    if (std::fabs(delta) < 0.8 && bin >= 0 && bin < kBins) {
                        pitch -= 12.0 * (bin - kSameOctave);
                        ++histogram[bin];
                        average = (joins * average + pitch) / (joins + 1);
                        ++joins;
                        int top = 0;
                        for (int b = 1; b < kBins; ++b)
                            if (histogram[b] > histogram[top])
                                top = b;
                        last.note = NoteInRange(static_cast<long>(std::trunc(average + 0.5)) +
                                                12L * (top - kSameOctave));
                        last.length = ToMicroseconds(t + d - last.start);
                        last.voicedLength = ToMicroseconds(std::int64_t{last.voicedLength} + d);
                        joined = true;
                    }
                }
            }
            if (!joined && notes.size() < kMaxNotes) {
                joins = 1;
                average = pitch;
                std::fill(std::begin(histogram), std::end(histogram), 0);
                histogram[kSameOctave] = 1;
                DetectedNote note;
                note.start = ToMicroseconds(t);
                note.note = NoteInRange(static_cast<long>(std::trunc(pitch + 0.5)));
                note.velocity = kVelocity;
                note.length = ToMicroseconds(d);
                note.voicedLength = ToMicroseconds(d);
                notes.push_back(note);
            }
            blank = false;
        } else if (d < parameters.blankMaxToAppend && !notes.empty()) {
            notes.back().length = ToMicroseconds(std::int64_t{notes.back().length} + d);
        } else {
            blank = true;
        }
        t += d;
    }

    std::erase_if(notes, [&](const DetectedNote& note) {
        return note.voicedLength < parameters.minInNoteMicroseconds;
    });
    return notes;
}
