#include "app/qt/MidiRecordCommand.h"

#include <memory>

#include "app/SongDocument.h"
#include "app/qt/TMDIDialog.h"
#include "app/qt/TVorlaune.h"
#include "model/Song.h"
#include "model/SongIter.h"
#include "playback/MidiPlayer.h"
#include "playback/VorlauneGuts.h"
#include "record/MidiRecorder.h"
#include "record/MidiTakePlacer.h"
#include "record/qt/RecordDialog.h"
#include "util/INIFile.h"
#include "views/qt/NoteView.h"

void MidiRecordCommand::Run(TVorlaune& app, TMDIDialog& window) {
    Song& song = window.Document().GetSong();
    auto* notes = dynamic_cast<NoteView*>(window.ActiveView());
    auto* basic = dynamic_cast<BasicView*>(window.ActiveView());
    // The take goes to the play/record line, where a song played along starts too.
    Transport& transport = window.GetTransport();
    const std::int32_t cursor = transport.PlayPosition();
    const bool playAlong = window.OptionOn(TMDIDialog::kPlayDuringRecord);
    // Played along with notes already there, the take keeps its time from the start of
    // input, which is where the song started playing.
    const bool relativeTimes = !(playAlong && song.PointCount() > 0);

    std::shared_ptr<MidiInputSystem> inputs = app.TakeMidiInput();
    MidiRecorder recorder(*inputs, &app.Guts().Player());
    recorder.ReadSettings(INIFile::Global());
    MidiRecordSession session(song, song.TempoAt(cursor), cursor, relativeTimes, recorder);
    // An empty song has nothing to play along.
    auto startHook = [&] {
        if (playAlong && song.PointCount() > 0 && app.Idle())
            transport.Play();
    };
    auto stopPlayer = [&] { transport.Stop(); };
    RecordDialog dialog(&window, song, session, startHook, stopPlayer);
    dialog.SetHelp([&app] { app.ShowHelp("midi-recording.html"); });
    if (!dialog.Begin() || dialog.exec() != QDialog::Accepted)
        return;

    PasteTarget current;
    if (notes) {
        current = notes->Editor().DefaultPasteOptions().target;
        MidiTakePlacer::Place(window.Document().Commands(), notes->Editor().Position(),
                              session.TakeSong(), dialog.Placement(), current);
        return;
    }
    if (basic) {
        current.track = basic->Placement().track;
        current.channel = basic->Placement().channel;
        current.program = basic->Placement().program;
        current.bank = basic->Placement().bank;
    }
    SongIter it(song, basic ? &basic->Filter() : nullptr);
    MidiTakePlacer::Place(window.Document().Commands(), it, session.TakeSong(), dialog.Placement(),
                          current);
}
