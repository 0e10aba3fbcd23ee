#include "views/qt/BlockDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <filesystem>

#include "edit/Clipboard.h"
#include "edit/QuantizeChoice.h"
#include "edit/TypedTime.h"
#include "util/Messages.h"
#include "views/qt/EditDialog.h"
#include "views/qt/MusicalTimeEdit.h"

namespace BlockDialogs {

namespace {

MusicalTimeEdit* PositionField(EditDialog& dialog, const QString& label, const Song& song,
                               std::int32_t tick) {
    auto* edit = new MusicalTimeEdit(MusicalTimeEdit::Kind::Position, song.TicksPerQuarter());
    edit->SetTime(song.TickToMusicalTime(tick));
    dialog.AddField(label, edit);
    return edit;
}

MusicalTimeEdit* AmountField(EditDialog& dialog, const QString& label, const Song& song) {
    auto* edit = new MusicalTimeEdit(MusicalTimeEdit::Kind::Amount, song.TicksPerQuarter());
    dialog.AddField(label, edit);
    return edit;
}

QSpinBox* NumberField(EditDialog& dialog, const QString& label, int low, int high, int value) {
    auto* spin = new QSpinBox;
    spin->setRange(low, high);
    spin->setValue(value);
    dialog.AddField(label, spin);
    return spin;
}

QComboBox* ListField(EditDialog& dialog, const QString& label, const QStringList& entries,
                     int chosen) {
    auto* list = new QComboBox;
    list->addItems(entries);
    list->setCurrentIndex(chosen);
    dialog.AddField(label, list);
    return list;
}

// The buttons are added once every field is there.
class Dialog : public EditDialog {
public:
    using EditDialog::EditDialog;
    void Finish() { AddButtons(); }
};

} // namespace

std::optional<Range> AskTimeRange(QWidget* parent, const NoteEditor& editor) {
    const Song& song = editor.GetSong();
    const auto& selection = editor.GetSelection();
    const std::int32_t from = selection ? selection->start : editor.CurrentTime();
    const std::int32_t to = selection ? selection->end : from;
    Dialog dialog(parent, "Time Range Select");
    MusicalTimeEdit* start = PositionField(dialog, "Start Time:", song, from);
    MusicalTimeEdit* end = PositionField(dialog, "End Time:", song, to);
    dialog.Finish();
    Range range;
    dialog.SetCheck([&]() -> Refusal {
        if (Refusal r =
                TypedTime::ToTick(song, start->Time(), range.start, TypedTime::Reach::WithinSong))
            return r;
        if (Refusal r = TypedTime::ToTick(song, end->Time(), range.end))
            return r;
        range.end = std::max(range.end, range.start);
        return {};
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return range;
}

bool AskPasteOptions(QWidget* parent, const NoteEditor& editor, PasteOptions& options) {
    const Song& song = editor.GetSong();
    Dialog dialog(parent, "Paste Options");
    MusicalTimeEdit* at = PositionField(dialog, "Paste At:", song, options.at);
    QComboBox* method = ListField(dialog, "Paste Method:", {"Mix", "Write Over", "Insert"},
                                  static_cast<int>(options.method));
    QComboBox* placement = ListField(
        dialog, "Track Placement:",
        {"Force to Current Track/Channel/Instrument", "Assign Tracks by Channel and Instrument"},
        options.target.placement == TrackPlacement::AssignByChannel ? 1 : 0);
    QSpinBox* copies = NumberField(dialog, "Number of Copies:", 1, 9999, options.copies);
    QSpinBox* space =
        NumberField(dialog, "Space Between Copies (in ticks):", -kEndTick, kEndTick, options.space);
    if (const BlockCopy* clip = Clipboard::Get())
        dialog.AddRow(
            new QLabel(QString::fromStdString(NoteEditor::SelectionDurationText(*clip).str())));
    dialog.Finish();
    PasteOptions chosen = options;
    dialog.SetCheck([&]() -> Refusal {
        if (Refusal r = TypedTime::ToTick(song, at->Time(), chosen.at))
            return r;
        chosen.method = static_cast<PasteMethod>(method->currentIndex());
        chosen.target.placement = placement->currentIndex() == 1 ? TrackPlacement::AssignByChannel
                                                                 : TrackPlacement::ForceCurrent;
        chosen.copies = copies->value();
        chosen.space = space->value();
        return {};
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options = chosen;
    return true;
}

std::optional<Space> AskSpace(QWidget* parent, const NoteEditor& editor, bool insert,
                              std::int32_t at) {
    const Song& song = editor.GetSong();
    Dialog dialog(parent, insert ? "Insert Space" : "Delete Range");
    MusicalTimeEdit* start =
        PositionField(dialog, insert ? "Insert Space At:" : "Delete Starting At:", song, at);
    MusicalTimeEdit* amount = AmountField(dialog, "Amount Of Time:", song);
    dialog.Finish();
    Space space;
    dialog.SetCheck([&]() -> Refusal {
        if (Refusal r =
                TypedTime::ToTick(song, start->Time(), space.at, TypedTime::Reach::WithinSong))
            return r;
        space.length = editor.AmountToTicks(space.at, amount->Time());
        if (space.length <= 0)
            return "Please set the amount of time to a value greater than zero.";
        return {};
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return space;
}

std::optional<int> AskTranspose(QWidget* parent) {
    Dialog dialog(parent, "Transpose");
    auto* up = new QRadioButton("Up");
    auto* down = new QRadioButton("Down");
    up->setChecked(true);
    auto* directions = new QWidget;
    auto* row = new QHBoxLayout(directions);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(up);
    row->addWidget(down);
    dialog.AddRow(directions);
    QSpinBox* octaves = NumberField(dialog, "Octaves", 0, 10, 0);
    QSpinBox* halfSteps = NumberField(dialog, "Half Steps", 0, 127, 0);
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const int semitones = octaves->value() * 12 + halfSteps->value();
    return down->isChecked() ? -semitones : semitones;
}

std::optional<NoteEditor::QuantizeOptions> AskQuantize(QWidget* parent, const NoteEditor& editor,
                                                       std::int32_t selectionStart) {
    const Song& song = editor.GetSong();
    Dialog dialog(parent, "Quantize");
    QStringList entries;
    for (const char* e : QuantizeChoice::kEntries)
        entries << e;
    QComboBox* alignTo = ListField(dialog, "Align To:", entries, 0);
    auto* beginnings = new QCheckBox("Align note beginnings");
    auto* durations = new QCheckBox("Align note durations");
    auto* fit = new QCheckBox("Fit to time");
    dialog.AddRow(beginnings);
    dialog.AddRow(durations);
    dialog.AddRow(fit);
    MusicalTimeEdit* amount = AmountField(dialog, "Amount Of Time:", song);
    auto* moveRest = new QCheckBox("Shrink/Expand rest of song");
    moveRest->setChecked(true);
    dialog.AddRow(moveRest);
    dialog.Finish();
    QuantizeChoice choice;
    auto follow = [&] {
        choice.entry = alignTo->currentIndex();
        choice.fitToTime = fit->isChecked();
        beginnings->setEnabled(choice.AlignBoxesEnabled());
        durations->setEnabled(choice.AlignBoxesEnabled());
        amount->setEnabled(choice.FitFieldsEnabled());
        moveRest->setEnabled(choice.FitFieldsEnabled());
    };
    follow();
    QObject::connect(alignTo, &QComboBox::currentIndexChanged, &dialog, follow);
    QObject::connect(fit, &QCheckBox::toggled, &dialog, follow);
    NoteEditor::QuantizeOptions options;
    dialog.SetCheck([&]() -> Refusal {
        choice.alignBeginnings = beginnings->isChecked();
        choice.alignDurations = durations->isChecked();
        choice.fitAmount = amount->Time();
        choice.moveRest = moveRest->isChecked();
        return choice.Accept(editor, selectionStart, options);
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return options;
}

std::optional<SelectionProps> AskSelectionProperties(QWidget* parent, bool withInstrument) {
    Dialog dialog(parent, withInstrument ? "Range Selection Properties" : "Selection Velocity");
    // Each property has a box that says whether it changes; a value is only read when
    // its box is ticked.
    auto property = [&](const char* text, int low, int high, int value) {
        auto* use = new QCheckBox(text);
        auto* spin = new QSpinBox;
        spin->setRange(low, high);
        spin->setValue(value);
        spin->setEnabled(false);
        QObject::connect(use, &QCheckBox::toggled, spin, &QWidget::setEnabled);
        dialog.AddRow(use);
        dialog.AddField(QString(text) + " To:", spin);
        return std::pair{use, spin};
    };
    const auto velocity = property("Change Velocity", 0, 127, 64);
    const auto ramp = property("Cresendo/Decresendo", 0, 127, 100);
    std::pair<QCheckBox*, QSpinBox*> instrument{}, channel{};
    if (withInstrument) {
        instrument = property("Change Instrument", 0, 127, 0);
        channel = property("Change Channel", 1, 16, 1);
    }
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    SelectionProps props;
    if (velocity.first->isChecked())
        props.startVelocity = velocity.second->value();
    if (ramp.first->isChecked()) {
        // A ramp alone starts from where the velocity box would.
        if (props.startVelocity == kUnchanged)
            props.startVelocity = velocity.second->value();
        props.endVelocity = ramp.second->value();
    }
    if (instrument.first && instrument.first->isChecked())
        props.program = instrument.second->value();
    if (channel.first && channel.first->isChecked())
        props.channel = channel.second->value() - 1;
    return props;
}

std::optional<AString> AskLyric(QWidget* parent, const AString& text) {
    Dialog dialog(parent, "Enter Lyric");
    auto* line = new QLineEdit(QString::fromStdString(text.str()));
    dialog.AddField("Lyric:", line);
    dialog.Finish();
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return AString(line->text().toStdString());
}

std::optional<AString> AskAudioFileName(QWidget* parent, const AString& name,
                                        const AString& songFolder) {
    Dialog dialog(parent, "Enter Audio File Name");
    auto* line = new QLineEdit(QString::fromStdString(name.str()));
    auto* field = new QWidget;
    auto* row = new QHBoxLayout(field);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(line);
    auto* browse = new QPushButton("Browse...");
    row->addWidget(browse);
    dialog.AddField("File Name:", line);
    dialog.AddRow(field);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        FileRequest request;
        request.mode = FileRequest::Mode::Open;
        request.title = "Audio File";
        request.filter = "Wave Files (*.WAV)|*.wav;*.WAV|";
        request.directory = songFolder;
        std::string chosen;
        if (!ChooseFile(request, chosen))
            return;
        // A file beside the song is named without its folder, so that the cue still
        // finds it when the song's folder moves.
        namespace fs = std::filesystem;
        const fs::path path(chosen);
        if (!songFolder.IsEmpty()) {
            std::error_code ec;
            const fs::path relative = fs::relative(path, fs::path(songFolder.str()), ec);
            if (!ec && !relative.empty() && *relative.begin() != "..")
                chosen = relative.string();
        }
        line->setText(QString::fromStdString(chosen));
    });
    dialog.Finish();
    dialog.SetCheck([&]() -> Refusal {
        if (line->text().trimmed().isEmpty())
            return "Please enter the name of a wave file.";
        return {};
    });
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return AString(line->text().trimmed().toStdString());
}

} // namespace BlockDialogs
