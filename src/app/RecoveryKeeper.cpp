#include "app/RecoveryKeeper.h"

#include <algorithm>

#include "app/CrashLog.h"
#include "app/SongDocument.h"
#include "midifile/MidiReader.h"
#include "model/Song.h"
#include "util/Messages.h"

namespace fs = std::filesystem;

namespace {

std::string NameOf(const SongDocument& document) {
    return document.HasFileName() ? document.FilePath().string() : "";
}

std::string Shown(const std::string& name) {
    return name.empty() ? SongDocument::kUntitled : name;
}

} // namespace

RecoveryKeeper::RecoveryKeeper(fs::path home, int autosaveMinutes)
    : home_(std::move(home)), autosaveMs_(std::int64_t{std::max(autosaveMinutes, 0)} * 60000) {}

RecoveryKeeper::~RecoveryKeeper() = default;

RecoveryKeeper::Kept& RecoveryKeeper::Find(SongDocument& document, std::int64_t nowMs) {
    const auto it = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& kept) {
        return kept.serial == document.Serial();
    });
    if (it != kept_.end()) {
        it->document = &document;
        return *it;
    }
    Kept kept;
    kept.serial = document.Serial();
    kept.document = &document;
    kept.autosavedAt = nowMs; // its clock starts when it is first seen
    kept_.push_back(kept);
    return kept_.back();
}

std::vector<SongDocument*> RecoveryKeeper::Documents() const {
    std::vector<SongDocument*> documents;
    for (const Kept& kept : kept_)
        documents.push_back(kept.document);
    return documents;
}

void RecoveryKeeper::Autosave(Kept& kept, std::int64_t nowMs) {
    SongDocument& document = *kept.document;
    if (autosaveMs_ == 0 || !document.IsModified() || !document.AutosaveDue() ||
        nowMs - kept.autosavedAt < autosaveMs_)
        return;
    // Once per period even when it fails: an autosave never gets in the way.
    kept.autosavedAt = nowMs;
    (void)document.Autosave(home_);
}

void RecoveryKeeper::AutosaveIfDue(SongDocument& document, std::int64_t nowMs) {
    Autosave(Find(document, nowMs), nowMs);
}

// True when the song has a copy: one of its present state, or an older one when the
// present state could not be written.
bool RecoveryKeeper::KeepCopy(Kept& kept, std::int64_t nowMs) {
    SongDocument& document = *kept.document;
    const std::int32_t level = document.Commands().ChangeLevel();
    if (kept.copy != 0 && kept.copiedLevel == level)
        return true;
    if (level == kept.failedLevel && nowMs < kept.retryAt)
        return kept.copy != 0;
    if (!session_)
        session_ = RecoverySession::Begin(home_);
    const int copy = kept.copy != 0 ? kept.copy : copies_ + 1;
    if (!session_ || !document.SaveCopy(session_->Path(session_->CopyName(copy)))) {
        kept.failedLevel = level;
        kept.retryAt = nowMs + kRetryMs;
        return kept.copy != 0;
    }
    copies_ = std::max(copies_, copy);
    kept.copy = copy;
    kept.copiedLevel = level;
    return true;
}

void RecoveryKeeper::Tick(const std::vector<SongDocument*>& open, std::int64_t nowMs) {
    std::vector<Kept> now;
    std::vector<RecoverySession::Song> list;
    std::string log;
    for (SongDocument* document : open) {
        Kept kept = Find(*document, nowMs);
        Autosave(kept, nowMs);
        const std::string name = NameOf(*document);
        std::string line = "  " + Shown(name);
        if (document->IsModified()) {
            if (KeepCopy(kept, nowMs)) {
                list.push_back({session_->CopyName(kept.copy), name});
                line += " (changed; copy " + list.back().copy + ")";
            } else {
                line += " (changed; no copy)";
            }
        } else {
            kept.copy = 0;
            kept.copiedLevel = -1;
        }
        log += line + "\n";
        now.push_back(kept);
    }
    kept_ = std::move(now);

    // The copies are written before the list names them, and dropped after it no longer
    // does: a list never names a copy that is not there.
    if (session_ && list != session_->Songs()) {
        (void)session_->Settle(list);
        if (list.empty())
            session_.reset();
    }
    if (log != logged_) {
        logged_ = log;
        CrashLog::SetSongs(log);
    }
}

std::vector<std::unique_ptr<SongDocument>> RecoveryKeeper::OfferRecovery(std::int64_t nowMs) {
    std::vector<std::unique_ptr<RecoverySession>> runs = RecoverySession::FindAbandoned(home_);
    if (runs.empty())
        return {};
    std::string names;
    for (const auto& run : runs)
        for (const RecoverySession::Song& song : run->Songs())
            names += Shown(song.original) + "\n";
    Message question;
    question.title = kAppTitle;
    question.text = "Vorlaune did not end the ordinary way the last time it ran. Copies were "
                    "kept of the songs that had unsaved changes:\n\n" +
                    names +
                    "\nRecover opens them with those changes; their files stay as they are "
                    "until you save. Discard deletes the copies. Cancel keeps the copies and "
                    "asks again at the next start.";
    question.icon = MessageIcon::Question;
    question.buttons = MessageButtons::YesNoCancel;
    question.yesText = "Recover";
    question.noText = "Discard";
    const MessageAnswer answer = ShowMessage(question);
    if (answer == MessageAnswer::No)
        for (const auto& run : runs)
            (void)run->Settle({});
    if (answer != MessageAnswer::Yes)
        return {};

    std::vector<std::unique_ptr<SongDocument>> recovered;
    std::vector<std::vector<RecoverySession::Song>> unread(runs.size());
    for (std::size_t r = 0; r < runs.size(); ++r) {
        for (const RecoverySession::Song& song : runs[r]->Songs()) {
            FileResult loaded;
            std::unique_ptr<SongDocument> document =
                SongDocument::Open(runs[r]->Path(song.copy), &loaded);
            if (!document) {
                unread[r].push_back(song);
                ShowMessage(MidiReader::kReadErrorTitle,
                            loaded.Explain(MidiReader::kReadErrorText) + "\n\nThe copy of " +
                                Shown(song.original) + " stays for the next start.",
                            MessageIcon::Exclamation);
                continue;
            }
            document->GetSong().fileName = AString(song.original);
            document->MarkUnsaved();
            recovered.push_back(std::move(document));
        }
    }

    // This run's copies first; only once every recovered song has one, the old ones go.
    std::vector<SongDocument*> open = Documents();
    for (const auto& document : recovered)
        open.push_back(document.get());
    Tick(open, nowMs);
    const bool copied = std::all_of(recovered.begin(), recovered.end(), [this](const auto& d) {
        return std::any_of(kept_.begin(), kept_.end(), [&](const Kept& kept) {
            return kept.serial == d->Serial() && kept.copy != 0 &&
                   kept.copiedLevel == d->Commands().ChangeLevel();
        });
    });
    if (copied)
        for (std::size_t r = 0; r < runs.size(); ++r)
            (void)runs[r]->Settle(unread[r]);
    return recovered;
}
