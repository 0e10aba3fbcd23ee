#include "app/SongDocument.h"

#include <atomic>
#include <system_error>

#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "midifile/SongExtensions.h"
#include "model/AudioFileRegistry.h"
#include "model/Song.h"

namespace fs = std::filesystem;

namespace {

std::atomic<std::uint64_t> gSerials{0};

} // namespace

SongDocument::SongDocument() : SongDocument(std::make_unique<Song>()) {}

SongDocument::SongDocument(std::unique_ptr<Song> song)
    : song_(std::move(song)), serial_(++gSerials) {
    commands_.SetMaxUndo(CommandProcessor::kMaxUndo);
    savedLevel_ = autosavedLevel_ = commands_.ChangeLevel();
}

// The history goes first: its commands may hold copies that refer to the song.
SongDocument::~SongDocument() = default;

std::unique_ptr<SongDocument> SongDocument::Open(const fs::path& file, FileResult* result) {
    std::unique_ptr<Song> song;
    const FileResult loaded = MidiReader::LoadSong(file, song);
    if (result)
        *result = loaded;
    if (!loaded)
        return nullptr;
    return std::make_unique<SongDocument>(std::move(song));
}

bool SongDocument::HasFileName() const {
    return !song_->fileName.IsEmpty();
}

fs::path SongDocument::FilePath() const {
    return fs::path(song_->fileName.str());
}

AString SongDocument::Caption() const {
    return HasFileName() ? song_->fileName : AString(kUntitled);
}

AString SongDocument::Folder() const {
    return SongBaseDirectory(song_->fileName);
}

FileResult SongDocument::Write(const fs::path& file, bool takeName) {
    const AString oldFolder = Folder();
    const FileResult saved = MidiWriter::SaveSong(*song_, file, takeName);
    if (!saved)
        return saved;
    if (takeName) {
        savedLevel_ = autosavedLevel_ = commands_.ChangeLevel();
        if (Folder().str() != oldFolder.str())
            RegisterCues();
    }
    return saved;
}

FileResult SongDocument::Save() {
    if (!HasFileName())
        return FileResult::Refused(kUntitled, "The song has no file name yet");
    return Write(FilePath(), true);
}

FileResult SongDocument::SaveAs(const fs::path& file) {
    return Write(file, true);
}

namespace {

// Whether two names lead to one file: the same path, or links to one file.
bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec) && !ec;
}

} // namespace

FileResult SongDocument::Rename(const fs::path& file, std::string* note) {
    const bool hadName = HasFileName();
    const fs::path old = FilePath();
    // Asked before writing: the write may replace a link by a file.
    const bool same = hadName && SameFile(old, file);
    const FileResult saved = Write(file, true);
    if (!saved || !hadName || same)
        return saved;
    // The old file goes only when the new one is there and reads back as a song.
    std::unique_ptr<Song> check;
    if (const FileResult reread = MidiReader::LoadSong(file, check); !reread) {
        if (note)
            *note = "The new file could not be read back (" + reread.Reason() + "); " +
                    old.string() + " was kept.";
        return saved;
    }
    std::error_code ec;
    fs::remove(old, ec);
    if (ec && note)
        *note = "The old file " + old.string() + " could not be deleted: " + ec.message() + ".";
    return saved;
}

FileResult SongDocument::Autosave(const fs::path& folder) {
    const FileResult saved = Write(folder / kAutosaveName, false);
    if (saved)
        autosavedLevel_ = commands_.ChangeLevel();
    return saved;
}

void SongDocument::AttachCues(AudioFileRegistry* registry) {
    cues_ = registry;
    RegisterCues();
}

void SongDocument::RegisterCues() {
    if (!cues_)
        return;
    const AString folder = Folder();
    for (const AString& file : SongAudioCueFiles(*song_))
        cues_->AddAudioWAVFile(file, folder);
}
