#include "app/RecordWave.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <system_error>

#include "edit/CommandProcessor.h"
#include "edit/MC_PutMsgAtTime.h"
#include "edit/NoteEditor.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "record/WaveCapture.h"

namespace fs = std::filesystem;

RecordWave::RecordWave(const Target& target, std::unique_ptr<WaveCapture> capture)
    : target_(target), capture_(std::move(capture)) {}

RecordWave::~RecordWave() {
    capture_->Stop();
}

std::string RecordWave::PresetName(const std::string& songFileName) {
    std::string name = songFileName;
    if (name.size() >= 4) {
        std::string tail = name.substr(name.size() - 4);
        std::transform(tail.begin(), tail.end(), tail.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (tail == ".mid")
            name.resize(name.size() - 4);
    }
    return name + ".WAV";
}

std::int32_t RecordWave::ShiftedTime(std::int32_t at, std::uint32_t removedMicroseconds,
                                     std::int32_t ticksPerQuarter, std::int32_t usPerQuarter) {
    if (usPerQuarter <= 0)
        return at;
    const std::int64_t shift = std::int64_t{removedMicroseconds} * ticksPerQuarter / usPerQuarter;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(std::int64_t{at} + shift, std::numeric_limits<std::int32_t>::max()));
}

std::string RecordWave::PresetName() const {
    return PresetName(target_.songFile.filename().string());
}

fs::path RecordWave::TakePath() const {
    return capture_->TakePath();
}

std::int32_t RecordWave::PlaceAt() const {
    Song& song = *target_.song;
    return ShiftedTime(target_.placeAt, removed_, song.TicksPerQuarter(),
                       song.TempoAt(target_.placeAt));
}

bool RecordWave::MayRecordOverTake(const fs::path& take) {
    std::error_code ec;
    if (!fs::exists(take, ec))
        return true;
    return ShowMessage(kAppTitle, AString(kReplaceTake) + take.string() + kReplaceTakeQuestion,
                       MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes;
}

Refusal RecordWave::Start() {
    std::string error;
    if (!capture_->Prepare(error) || !capture_->Start(error))
        return AString(kStartFailed) + "\n\n" + error;
    return {};
}

void RecordWave::Finish() {
    capture_->Stop();
    if (const std::string problem = capture_->Problem(); !problem.empty())
        ShowMessage(kAppTitle, AString(kIncomplete) + problem, MessageIcon::Exclamation);
}

void RecordWave::Cancel() {
    capture_->Stop();
}

bool RecordWave::Move(const fs::path& to, std::string& error) {
    const fs::path take = TakePath();
    std::error_code ec;
    fs::rename(take, to, ec);
    if (!ec)
        return true;
    if (ec != std::errc::cross_device_link) {
        error = to.string() + ": " + ec.message();
        return false;
    }
    // Another file system: copied beside the target first, so that a failure midway
    // leaves neither a half file under the name nor the take gone.
    fs::path part = to;
    part += ".part";
    fs::copy_file(take, part, fs::copy_options::overwrite_existing, ec);
    if (!ec)
        fs::rename(part, to, ec);
    if (ec) {
        error = to.string() + ": " + ec.message();
        std::error_code ignored;
        fs::remove(part, ignored);
        return false;
    }
    fs::remove(take, ec);
    return true;
}

bool RecordWave::Place(bool trimBegin, bool trimEnd, const std::string& name) {
    if (name.find_first_not_of(" \t") == std::string::npos) {
        ShowMessage(kAppTitle, kNoName, MessageIcon::Exclamation);
        return false;
    }
    const fs::path to = target_.songFile.parent_path() / name;
    std::error_code ec;
    // Kept under the take's own name, the next recording would write over it.
    if (fs::weakly_canonical(to, ec) == fs::weakly_canonical(TakePath(), ec)) {
        ShowMessage(kAppTitle, kTakeItself, MessageIcon::Exclamation);
        return false;
    }
    if (fs::exists(to, ec) &&
        ShowMessage(kAppTitle, AString(kReplaceFile) + to.string() + kReplaceFileQuestion,
                    MessageIcon::Question, MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;
    if (trimBegin || trimEnd) {
        std::uint32_t removed = 0;
        std::string error;
        if (!capture_->Trim(trimBegin, trimEnd, removed, error)) {
            ShowMessage(kAppTitle, AString(kTrimFailed) + "\n\n" + error, MessageIcon::Exclamation);
            return false;
        }
        // A second OK (after a refusal) trims an already trimmed take: the shifts add up.
        removed_ = removed > std::numeric_limits<std::uint32_t>::max() - removed_
                       ? std::numeric_limits<std::uint32_t>::max()
                       : removed_ + removed;
    }
    std::string error;
    if (!Move(to, error)) {
        ShowMessage(kAppTitle, AString(kMoveFailed) + "\n\n" + error, MessageIcon::Exclamation);
        return false;
    }
    SongIter iter(*target_.song);
    target_.commands->Submit(std::make_unique<MC_PutMsgAtTime>(
        iter, NoteEditor::AudioCue(AString(name), target_.track), PlaceAt()));
    return true;
}
