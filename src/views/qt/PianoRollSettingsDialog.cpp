#include "views/qt/PianoRollSettingsDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// Two bars centred one above the other: the reference and the chosen quarter note.
class LengthPreview : public QWidget {
public:
    LengthPreview(QWidget* parent, const QSlider* length) : QWidget(parent), length_(length) {
        setMinimumSize(120, 40);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const int middle = width() / 2;
        painter.setPen(Qt::black);
        painter.setBrush(QColor(0, 128, 255));
        const int reference = PianoRollSettingsDialog::kReferenceWidth;
        painter.drawRect(middle - reference / 2, 6, reference, 10);
        painter.setBrush(QColor(255, 128, 0));
        painter.drawRect(middle - length_->value() / 2, 24, length_->value(), 10);
    }

private:
    const QSlider* length_;
};

} // namespace

PianoRollSettingsDialog::PianoRollSettingsDialog(QWidget* parent,
                                                 const PianoRollSettingsChoice& choice)
    : QDialog(parent) {
    setWindowTitle("Piano Roll Settings");
    auto* texts = new QGroupBox("Show Text Types", this);
    auto* textColumn = new QVBoxLayout(texts);
    tempo_ = new QCheckBox("Display Tempo", texts);
    lyrics_ = new QCheckBox("Lyrics", texts);
    comments_ = new QCheckBox("Comments", texts);
    trackName_ = new QCheckBox("Track Name", texts);
    const bool checked[] = {choice.displayTempo, choice.lyrics, choice.comments, choice.trackName};
    int i = 0;
    for (QCheckBox* box : {tempo_, lyrics_, comments_, trackName_}) {
        box->setChecked(checked[i++]);
        textColumn->addWidget(box);
    }

    auto* colorBox = new QGroupBox("Color Changes With:", this);
    auto* colorColumn = new QVBoxLayout(colorBox);
    colors_ = new QButtonGroup(this);
    for (int mode = kColorByVolume; mode <= kColorByTrack; ++mode) {
        auto* button =
            new QRadioButton(PianoRollSettingsChoice::kColorModes[mode - kColorByVolume], colorBox);
        button->setChecked(mode == choice.colorMode);
        colors_->addButton(button, mode);
        colorColumn->addWidget(button);
    }

    auto* form = new QFormLayout;
    length_ = new QSlider(Qt::Horizontal, this);
    length_->setRange(kShortestQuarter, kLongestQuarter);
    length_->setValue(choice.quarterLength);
    length_->setMinimumWidth(200);
    form->addRow("Set the Quarter Note Display Length:", length_);
    preview_ = new LengthPreview(this, length_);
    form->addRow("", preview_);
    connect(length_, &QSlider::valueChanged, preview_, qOverload<>(&QWidget::update));
    piano_ = new QComboBox(this);
    for (const char* name : PianoRollSettingsChoice::kPianoTypes)
        piano_->addItem(name);
    piano_->setCurrentIndex(choice.pianoType);
    form->addRow("Print Piano Type:", piano_);
    all_ = new QCheckBox("Change All Tracks", this);
    all_->setChecked(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(texts);
    layout->addWidget(colorBox);
    layout->addLayout(form);
    layout->addWidget(all_);
    layout->addWidget(buttons);
}

PianoRollSettingsChoice PianoRollSettingsDialog::Chosen() const {
    PianoRollSettingsChoice c;
    c.displayTempo = tempo_->isChecked();
    c.lyrics = lyrics_->isChecked();
    c.comments = comments_->isChecked();
    c.trackName = trackName_->isChecked();
    c.colorMode = colors_->checkedId() > 0 ? colors_->checkedId() : kColorByVolume;
    c.quarterLength = length_->value();
    c.pianoType = piano_->currentIndex();
    c.changeAllTracks = all_->isChecked();
    return c;
}

bool PianoRollSettingsDialog::Ask(QWidget* parent, PianoRollSettingsChoice& choice) {
    PianoRollSettingsDialog dialog(parent, choice);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Chosen();
    return true;
}
