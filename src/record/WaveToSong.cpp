#include "record/WaveToSong.h"

#include "model/Song.h"
#include "record/NotePlacement.h"
#include "util/INIFile.h"

bool ConvertWaveToSong(const std::string& wavePath, INIFile* settings, Song& song,
                       WaveToNotes::ProgressCallback progress, Message& failure) {
    const std::int32_t tempo = song.TempoAt(0);
    WaveToNotesParameters parameters;
    if (settings)
        parameters.Read(*settings, tempo);
    else
        parameters.SetTempo(tempo);
    parameters.fileName = wavePath;

    std::vector<DetectedNote> notes;
    int voicedFrames = 0;
    int code = WaveToNotes::kOk;
    WaveToNotes converter;
    try {
        converter.SetProgressCallback(std::move(progress));
        code = converter.Convert(parameters, notes, voicedFrames);
    } catch (...) {
        failure = Message{kAppTitle, kWaveToNotesExceptionText, MessageIcon::Exclamation};
        return false;
    }
    if (code != WaveToNotes::kOk) {
        // The file and the system's reason follow the converter's own words.
        failure = Message{kAppTitle,
                          AString(converter.FileProblem().Explain(WaveToNotes::ErrorText(code))),
                          MessageIcon::Exclamation};
        return false;
    }
    if (notes.empty()) {
        failure = Message{kAppTitle, kWaveToNotesNoNotesText, MessageIcon::Information};
        return false;
    }
    PlaceDetectedNotes(notes, kNoTimeDeletion, tempo, NoteDestination{}, song);
    return true;
}
