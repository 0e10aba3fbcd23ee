#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "edit/CommandProcessor.h"
#include "util/AString.h"
#include "util/FileResult.h"

class AudioFileRegistry;
class Song;

// One open song: the song itself, its undo history, its file name and whether it
// differs from what was last saved. Song windows hold one each; the command line uses
// one for its conversions.
class SongDocument {
public:
    static constexpr const char* kUntitled = "UNTITLED";
    static constexpr const char* kAutosaveName = "AUTOSAVE.MID";

    // A new, empty song.
    SongDocument();
    explicit SongDocument(std::unique_ptr<Song> song);
    ~SongDocument();
    SongDocument(const SongDocument&) = delete;
    SongDocument& operator=(const SongDocument&) = delete;

    // Loads a MIDI file; null, with what went wrong in `result`, when it cannot be read.
    static std::unique_ptr<SongDocument> Open(const std::filesystem::path& file,
                                              FileResult* result = nullptr);

    Song& GetSong() const { return *song_; }
    CommandProcessor& Commands() { return commands_; }
    const CommandProcessor& Commands() const { return commands_; }

    bool HasFileName() const;
    std::filesystem::path FilePath() const;
    // The file name as a window caption shows it, or "UNTITLED".
    AString Caption() const;

    // True whenever the song differs from the one last saved (or, for a new song, from
    // the empty one), also after undoing past the save.
    bool IsModified() const { return commands_.ChangeLevel() != savedLevel_; }
    // Counts the present state as saved (a window closing without saving uses it too).
    void MarkSaved() { savedLevel_ = commands_.ChangeLevel(); }
    // Counts the song as differing from its file until it is saved: a recovered copy.
    void MarkUnsaved() { savedLevel_ = autosavedLevel_ = kNeverSaved; }

    // Saves under the song's own name; fails without one or when the write fails, the
    // document staying modified and the old file as it was.
    FileResult Save();
    // Saves under a new name, which the song takes on.
    FileResult SaveAs(const std::filesystem::path& file);
    // Saves under a new name, and deletes the old file only once the new one reads back
    // as a song, and never when both names lead to the same file. `note` tells of an old
    // file that was kept or could not be deleted; the rename itself succeeded then.
    FileResult Rename(const std::filesystem::path& file, std::string* note = nullptr);
    // A copy in `folder` (the home directory) under "AUTOSAVE.MID": the song's name, its
    // modified state and its file stay as they are.
    FileResult Autosave(const std::filesystem::path& folder);
    // True when the song changed since the last autosave (or save).
    bool AutosaveDue() const { return commands_.ChangeLevel() != autosavedLevel_; }
    // Writes the song to `file` as it is now; its name and state stay as they are.
    FileResult SaveCopy(const std::filesystem::path& file) { return Write(file, false); }
    // Tells documents apart over the program's run, also where one takes the place in
    // memory of another that was closed.
    std::uint64_t Serial() const { return serial_; }

    // The player prepares the cues' wave files from this registry. Registers every cue of
    // the song now, relative to the song's folder, and again when the song moves to
    // another folder. Null stops that.
    void AttachCues(AudioFileRegistry* registry);
    // The song's folder, "" for a song without a file.
    AString Folder() const;

private:
    // No state of the history has this level: its levels start at 0 and only grow.
    static constexpr std::int32_t kNeverSaved = -1;

    FileResult Write(const std::filesystem::path& file, bool takeName);
    void RegisterCues();

    std::unique_ptr<Song> song_;
    CommandProcessor commands_;
    std::int32_t savedLevel_ = 0;
    std::int32_t autosavedLevel_ = 0;
    AudioFileRegistry* cues_ = nullptr;
    std::uint64_t serial_;
};
