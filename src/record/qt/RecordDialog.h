#pragma once

#include <QTimer>
#include <functional>

#include "record/MidiRecordSession.h"
#include "views/qt/EditDialog.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class MusicalTimeEdit;

// "MIDI Record": records while open, then asks where and how the take goes. The widgets
// only mirror the session, which decides.
class RecordDialog : public EditDialog {
    Q_OBJECT
public:
    static constexpr const char* kObjectName = "midiRecord";
    static constexpr int kDrainMs = 20;

    RecordDialog(QWidget* parent, Song& song, MidiRecordSession& session,
                 std::function<void()> startHook, std::function<void()> stopPlayer);

    // Starts recording; false when it cannot (the report was shown and nothing is open).
    bool Begin();
    // After OK: where and how the take goes.
    const MidiTakePlacement& Placement() const { return placement_; }
    QPushButton* DoneButton() const { return done_; }
    // What the Help button opens.
    void SetHelp(std::function<void()> help) { help_ = std::move(help); }

    void reject() override;

private:
    void Finish();
    void Follow();
    void Collect();

    MidiRecordSession& session_;
    std::function<void()> startHook_;
    std::function<void()> stopPlayer_;
    std::function<void()> help_;
    MidiTakePlacement placement_;
    QTimer drain_;
    QLabel* message_ = nullptr;
    MusicalTimeEdit* placeAt_ = nullptr;
    QRadioButton* mix_ = nullptr;
    QRadioButton* overwrite_ = nullptr;
    QRadioButton* insert_ = nullptr;
    QRadioButton* force_ = nullptr;
    QRadioButton* assign_ = nullptr;
    QComboBox* alignTo_ = nullptr;
    QCheckBox* beginnings_ = nullptr;
    QCheckBox* durations_ = nullptr;
    QCheckBox* fit_ = nullptr;
    MusicalTimeEdit* amount_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* done_ = nullptr;
};
