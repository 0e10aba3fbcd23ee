#include "app/SongDocument.h"

#include <system_error>

#include "midifile/MidiReader.h"
#include "midifile/MidiWriter.h"
#include "midifile/SongExtensions.h"
#include "model/AudioFileRegistry.h"
#include "model/Song.h"

namespace fs = std::filesystem;

SongDocument::SongDocument() : SongDocument(std::make_unique<Song>()) {}

SongDocument::SongDocument(std::unique_ptr<Song> song) : song_(std::move(song)) {
    commands_.SetMaxUndo(CommandProcessor::kMaxUndo);
    savedLevel_ = autosavedLevel_ = commands_.ChangeLevel();
}

// The history goes first: its commands may hold copies that refer to the song.
SongDocument::~SongDocument() = default;

std::unique_ptr<SongDocument> SongDocument::Open(const fs::path& file, std::string* error) {
    std::unique_ptr<Song> song;
    if (!MidiReader::LoadSong(file, song, error))
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

bool SongDocument::Write(const fs::path& file, bool takeName, std::string* error) {
    const AString oldFolder = Folder();
    if (!MidiWriter::SaveSong(*song_, file, takeName, error))
        return false;
    if (takeName) {
        savedLevel_ = autosavedLevel_ = commands_.ChangeLevel();
        if (Folder().str() != oldFolder.str())
            RegisterCues();
    }
    return true;
}

bool SongDocument::Save(std::string* error) {
    if (!HasFileName()) {
        if (error)
            *error = "The song has no file name yet.";
        return false;
    }
    return Write(FilePath(), true, error);
}

bool SongDocument::SaveAs(const fs::path& file, std::string* error) {
    return Write(file, true, error);
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

bool SongDocument::Rename(const fs::path& file, std::string* error) {
    const bool hadName = HasFileName();
    const fs::path old = FilePath();
    // Asked before writing: the write may replace a link by a file.
    const bool same = hadName && SameFile(old, file);
    if (!Write(file, true, error))
        return false;
    if (!hadName || same)
        return true;
    // The old file goes only when the new one is there and reads back as a song.
    std::unique_ptr<Song> check;
    std::string why;
    if (!MidiReader::LoadSong(file, check, &why)) {
        if (error)
            *error =
                "The new file could not be read back (" + why + "); " + old.string() + " was kept.";
        return true;
    }
    std::error_code ec;
    fs::remove(old, ec);
    if (ec && error)
        *error = "The old file " + old.string() + " could not be deleted: " + ec.message() + ".";
    return true;
}

bool SongDocument::Autosave(const fs::path& folder, std::string* error) {
    if (!Write(folder / kAutosaveName, false, error))
        return false;
    autosavedLevel_ = commands_.ChangeLevel();
    return true;
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
