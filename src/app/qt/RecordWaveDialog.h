#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class RecordWave;

// "MIDI Record Wave / Voice": records as soon as it opens; Done ends the take and offers
// the options; OK places the take in the song; "Convert wave to MIDI notes" asks for the
// take to be turned into notes instead.
class RecordWaveDialog : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { Cancelled, Placed, Convert };
    using Hook = std::function<void()>;

    // `started` runs as recording starts and `stopped` as it ends (the song plays along).
    static Outcome Run(QWidget* parent, RecordWave& record, Hook started, Hook stopped);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    RecordWaveDialog(QWidget* parent, RecordWave& record, Hook started, Hook stopped);
    void StartRecording();
    void Done();
    void Ok();
    void Convert();
    void StopRecording();
    void EnableOptions(bool on);

    RecordWave& record_;
    Hook started_, stopped_;
    bool began_ = false;
    bool recording_ = false;
    Outcome outcome_ = Outcome::Cancelled;
    QLabel* message_ = nullptr;
    QLineEdit* name_ = nullptr;
    QCheckBox* trimBegin_ = nullptr;
    QCheckBox* trimEnd_ = nullptr;
    QPushButton* convert_ = nullptr;
    QPushButton* done_ = nullptr;
    QPushButton* ok_ = nullptr;
};
