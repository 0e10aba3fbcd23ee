#include "app/qt/WaveToNoteSettingsDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QStringList>

#include "record/WaveToNoteSettings.h"
#include "util/Messages.h"
#include "views/qt/EditDialog.h"

namespace {

QStringList Texts(const std::vector<std::string>& names) {
    QStringList texts;
    for (const std::string& n : names)
        texts << QString::fromStdString(n);
    return texts;
}

class Dialog : public EditDialog {
public:
    Dialog(QWidget* parent, WaveToNoteSettings& settings)
        : EditDialog(parent, "Voice/Wave To Note Settings"), settings_(settings) {
        method_ = List("Method:", Texts(WaveToNoteSettings::MethodNames()), settings.method);
        const QStringList values = Texts(WaveToNoteSettings::NoteValueNames());
        const QStringList pitches = Texts(WaveToNoteSettings::PitchNames());
        minIn_ = List("Minimum Note Size Used:", values, settings.minInNote);
        minOut_ = List("Minimum Output Note Size:", values, settings.minOutNote);
        high_ = List("Highest Pitch Detected: ", pitches, settings.highPitch);
        low_ = List("Lowest Pitch Detected:", pitches, settings.lowPitch);
        erase_ = List("Delete Rests Method:", Texts(WaveToNoteSettings::EraseRestNames()),
                      settings.eraseRest);
        tolerance_ = Slider("Accuracy Tolerance", "Less Notes", "More Notes",
                            WaveToNoteSettings::kToleranceLow, WaveToNoteSettings::kToleranceHigh,
                            WaveToNoteSettings::kToleranceStep, settings.tolerance);
        noise_ =
            Slider("Noise Threshold Level", "Low", "High", WaveToNoteSettings::kNoiseLow,
                   WaveToNoteSettings::kNoiseHigh, WaveToNoteSettings::kNoiseStep, settings.noise);
        AddButtons();
        SetCheck([this] {
            WaveToNoteSettings chosen = settings_;
            chosen.minInNote = minIn_->currentIndex();
            chosen.minOutNote = minOut_->currentIndex();
            chosen.highPitch = high_->currentIndex();
            chosen.lowPitch = low_->currentIndex();
            chosen.eraseRest = erase_->currentIndex();
            chosen.tolerance = tolerance_->value();
            chosen.noise = noise_->value();
            chosen.method = method_->currentIndex();
            const Refusal refusal = chosen.Check();
            if (!refusal)
                settings_ = chosen;
            return refusal;
        });
    }

private:
    QComboBox* List(const QString& label, const QStringList& entries, int chosen) {
        auto* list = new QComboBox(this);
        list->addItems(entries);
        list->setCurrentIndex(chosen);
        AddField(label, list);
        return list;
    }

    QSlider* Slider(const QString& label, const char* low, const char* high, int from, int to,
                    int step, int value) {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(from, to);
        slider->setTickInterval(step);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setValue(value);
        auto* field = new QWidget(this);
        auto* grid = new QGridLayout(field);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->addWidget(slider, 0, 0, 1, 2);
        grid->addWidget(new QLabel(low, field), 1, 0, Qt::AlignLeft);
        grid->addWidget(new QLabel(high, field), 1, 1, Qt::AlignRight);
        AddField(label, field);
        slider->setAccessibleName(label);
        field->setAccessibleName(QString());
        return slider;
    }

    WaveToNoteSettings& settings_;
    QComboBox* method_ = nullptr;
    QComboBox* minIn_ = nullptr;
    QComboBox* minOut_ = nullptr;
    QComboBox* high_ = nullptr;
    QComboBox* low_ = nullptr;
    QComboBox* erase_ = nullptr;
    QSlider* tolerance_ = nullptr;
    QSlider* noise_ = nullptr;
};

} // namespace

namespace WaveToNoteSettingsDialog {

bool Edit(QWidget* parent, INIFile& ini) {
    WaveToNoteSettings settings;
    settings.Read(ini);
    Dialog dialog(parent, settings);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (!settings.Write(ini)) {
        ShowMessage(kAppTitle,
                    "The voice-to-notes settings could not be saved in the settings "
                    "file.",
                    MessageIcon::Exclamation);
        return false;
    }
    return true;
}

} // namespace WaveToNoteSettingsDialog
