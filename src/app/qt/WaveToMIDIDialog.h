#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "app/qt/QtPostTarget.h"
#include "record/WaveToMIDIModel.h"
#include "record/WaveToNotes.h"

class PitchTraceWidget;
class QLabel;
class QProgressBar;
class QPushButton;
class WaveCapture;
class WaveToNotesWorker;

// "Voice to MIDI Notes": records a new take while drawing its pitch, or takes a wave
// file, and converts it to notes on a worker thread, with a progress bar and Cancel; OK
// hands the notes to the caller.
class WaveToMIDIDialog : public QDialog {
    Q_OBJECT
public:
    // With a recorder (the caller's, prepared with its folder and analysis), records
    // until Done and converts the take; without one, converts the file the parameters
    // name. `help` opens the help on this dialog.
    WaveToMIDIDialog(const WaveToNotesParameters& parameters, WaveCapture* recorder,
                     std::function<void()> help, QWidget* parent = nullptr);
    ~WaveToMIDIDialog() override;

    // Runs the dialog: true, with the notes, when the user took them with OK.
    static bool Run(QWidget* parent, const WaveToNotesParameters& parameters, WaveCapture* recorder,
                    std::function<void()> help, std::vector<DetectedNote>& notes);

    const WaveToMIDIModel& Model() const { return model_; }
    std::vector<DetectedNote> TakeNotes() { return std::move(notes_); }
    PitchTraceWidget* Trace() const { return trace_; }

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    static constexpr std::uint32_t kProgressMessage = 1;
    static constexpr std::uint32_t kFinishedMessage = 2;

    void Carry(unsigned actions);
    void StartRecorder();
    void StopRecorder();
    // The 20 ms timer while recording: new frames to the trace, the delay line.
    void Poll();
    void Refresh();
    void ConversionEnded();

    WaveToNotesParameters parameters_;
    WaveCapture* recorder_;
    QTimer timer_;
    QElapsedTimer clock_;
    std::size_t fetched_ = 0;
    std::function<void()> help_;
    WaveToMIDIModel model_;
    QtPostTarget posts_;
    std::unique_ptr<WaveToNotesWorker> worker_;
    std::vector<DetectedNote> notes_;
    bool opened_ = false;

    QLabel* message_ = nullptr;
    QProgressBar* progress_ = nullptr;
    PitchTraceWidget* trace_ = nullptr;
    QLabel* delay_ = nullptr;
    QPushButton* done_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* helpButton_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
