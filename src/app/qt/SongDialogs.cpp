#include "app/qt/SongDialogs.h"

#include <optional>

#include "app/SignatureEditing.h"
#include "app/SongDocument.h"
#include "app/SongPropertiesChoice.h"
#include "app/TempoEditing.h"
#include "app/TrackDeletion.h"
#include "app/TrackPropertiesChoice.h"
#include "app/qt/ChangeListDialog.h"
#include "app/qt/DeleteTrackDialog.h"
#include "app/qt/SetTempoDialog.h"
#include "app/qt/SignatureDialog.h"
#include "app/qt/SongPropertiesDialog.h"
#include "app/qt/TrackPropertiesDialog.h"
#include "edit/CPCommand.h"
#include "model/Song.h"
#include "util/Messages.h"

bool SongDialogs::Submit(std::unique_ptr<CPCommand> command, bool notify) {
    if (!command)
        return false; // nothing to change
    document_.Commands().Submit(std::move(command));
    if (notify && changed_)
        changed_();
    return true;
}

// The dialogs check their fields on OK: a refusal keeps the dialog open with what the user
// typed, and a choice that passes leaves its command behind.

void SongDialogs::SongProperties() {
    Song& song = document_.GetSong();
    SongPropertiesDialog dialog(parent_, SongPropertiesChoice::From(song),
                                SongPropertiesChoice::Resolutions(song));
    std::unique_ptr<CPCommand> command;
    dialog.SetCheck([&] { return dialog.Chosen().Make(song, command); });
    if (dialog.exec() == QDialog::Accepted)
        Submit(std::move(command));
}

void SongDialogs::TrackProperties(std::size_t track) {
    Song& song = document_.GetSong();
    if (Refusal r = TrackPropertiesChoice::Available(song)) {
        ShowMessage(r.AsMessage());
        return;
    }
    TrackPropertiesDialog dialog(parent_, song, track);
    std::unique_ptr<CPCommand> command;
    dialog.SetCheck([&] { return dialog.Chosen().Make(song, command); });
    if (dialog.exec() == QDialog::Accepted)
        Submit(std::move(command));
}

void SongDialogs::Tempo(std::int32_t tick) {
    TempoEditing editing(document_.GetSong());
    ChangeListDialog::Actions actions;
    actions.lines = [&] { return editing.ListLines(); };
    actions.edit = [&](long index) {
        std::optional<Message> notice;
        const TempoEditing::Fields fields = editing.Open(index, tick, notice);
        if (notice)
            ShowMessage(*notice);
        SetTempoDialog dialog(parent_, index, fields);
        std::unique_ptr<CPCommand> command;
        dialog.SetCheck([&] { return editing.Make(index, dialog.Chosen(), command); });
        if (dialog.exec() == QDialog::Accepted)
            Submit(std::move(command));
    };
    ChangeListDialog list(parent_, kTempoListTitle, std::move(actions));
    list.exec();
}

void SongDialogs::TimeKeySignature(std::int32_t tick) {
    Song& song = document_.GetSong();
    SignatureEditing editing(song);
    const std::int32_t bar = song.TickToMusicalTime(std::max(tick, 0)).measure + 1;
    ChangeListDialog::Actions actions;
    actions.lines = [&] { return editing.ListLines(); };
    actions.edit = [&](long index) {
        SignatureDialog dialog(parent_, index, editing.Open(index, bar));
        std::unique_ptr<CPCommand> command;
        dialog.SetCheck([&] {
            SignatureEditing::Fields fields;
            if (!dialog.Chosen(fields))
                return Refusal(SignatureEditing::kNotATimeSignature);
            return editing.Make(index, fields, command);
        });
        if (dialog.exec() == QDialog::Accepted)
            Submit(std::move(command));
    };
    actions.remove = [&](long index) {
        std::unique_ptr<CPCommand> command;
        if (Refusal refusal = editing.MakeDelete(index, command))
            ShowMessage(refusal.AsMessage());
        else
            Submit(std::move(command));
    };
    actions.removable = [](long index) { return SignatureEditing::Deletable(index); };
    ChangeListDialog list(parent_, kSignatureListTitle, std::move(actions));
    list.exec();
}

long SongDialogs::DeleteTrack(std::size_t preselected) {
    Song& song = document_.GetSong();
    if (Refusal r = TrackDeletion::Available(song)) {
        ShowMessage(r.AsMessage());
        return -1;
    }
    DeleteTrackDialog dialog(parent_, song, preselected);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    const std::size_t track = dialog.Chosen();
    if (ShowMessage(kAppTitle, TrackDeletion::Question(track), MessageIcon::Question,
                    MessageButtons::YesNo) != MessageAnswer::Yes)
        return -1;
    std::unique_ptr<CPCommand> command;
    if (Refusal refusal = TrackDeletion::Make(song, track, command)) {
        ShowMessage(refusal.AsMessage());
        return -1;
    }
    // The window tells its views which track went before it shows the song again.
    return Submit(std::move(command), false) ? static_cast<long>(track) : -1;
}
