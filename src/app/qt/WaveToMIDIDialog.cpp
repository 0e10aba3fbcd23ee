#include "app/qt/WaveToMIDIDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <chrono>

#include "app/qt/PitchTraceWidget.h"
#include "record/PitchTrace.h"
#include "record/WaveCapture.h"
#include "record/WaveToNotesWorker.h"
#include "util/Messages.h"

namespace {

// Cancel waits this long for the worker to stop, then closes regardless.
constexpr std::chrono::milliseconds kCancelWait{10000};
constexpr int kPollMs = 20;

QPushButton* Button(const char* text, QLayout* row, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    row->addWidget(button);
    return button;
}

} // namespace

WaveToMIDIDialog::WaveToMIDIDialog(const WaveToNotesParameters& parameters, WaveCapture* recorder,
                                   std::function<void()> help, QWidget* parent)
    : QDialog(parent), parameters_(parameters), recorder_(recorder), help_(std::move(help)),
      posts_(this), worker_(std::make_unique<WaveToNotesWorker>()) {
    setWindowTitle(WaveToMIDIModel::kTitle);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    message_ = new QLabel(this);
    message_->setAccessibleName("Message");
    layout->addWidget(message_);
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setAccessibleName("Progress");
    QPalette bar = progress_->palette();
    bar.setColor(QPalette::Highlight, QColor(0, 192, 0));
    progress_->setPalette(bar);
    layout->addWidget(progress_);
    trace_ = new PitchTraceWidget(this);
    layout->addWidget(trace_, 1);
    delay_ = new QLabel(QString::fromStdString(PitchTrace::StatusLine(0, 0)), this);
    delay_->setAccessibleName("Processing Delay");
    layout->addWidget(delay_);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    done_ = Button("Done", row, this);
    ok_ = Button("OK", row, this);
    helpButton_ = Button("Help", row, this);
    cancel_ = Button("Cancel", row, this);
    layout->addLayout(row);

    timer_.setInterval(kPollMs);
    connect(&timer_, &QTimer::timeout, this, &WaveToMIDIDialog::Poll);
    connect(done_, &QPushButton::clicked, this, [this] { Carry(model_.PressDone()); });
    connect(ok_, &QPushButton::clicked, this, [this] { Carry(model_.PressOk()); });
    connect(cancel_, &QPushButton::clicked, this, [this] { Carry(model_.PressCancel()); });
    connect(helpButton_, &QPushButton::clicked, this, [this] {
        if (help_)
            help_();
    });
    Refresh();
}

WaveToMIDIDialog::~WaveToMIDIDialog() {
    timer_.stop();
    if (recorder_ && recorder_->Recording())
        recorder_->Stop();
    // The worker is stopped and joined before this object stops taking its posts.
    worker_.reset();
}

bool WaveToMIDIDialog::Run(QWidget* parent, const WaveToNotesParameters& parameters,
                           WaveCapture* recorder, std::function<void()> help,
                           std::vector<DetectedNote>& notes) {
    WaveToMIDIDialog dialog(parameters, recorder, std::move(help), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    notes = dialog.TakeNotes();
    return !notes.empty();
}

void WaveToMIDIDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_)
        return;
    opened_ = true;
    Carry(model_.Open(recorder_ != nullptr));
}

// OK and Cancel reach the dialog also from the keyboard and the window's close button:
// each goes through the steps, so that nothing ends a conversion halfway.
void WaveToMIDIDialog::accept() {
    Carry(model_.PressOk());
}

void WaveToMIDIDialog::reject() {
    Carry(model_.PressCancel());
}

void WaveToMIDIDialog::Carry(unsigned actions) {
    using M = WaveToMIDIModel;
    if (actions & M::kStartRecorder)
        StartRecorder();
    if (actions & M::kStopRecorder)
        StopRecorder();
    if (actions & M::kStartWorker) {
        progress_->setValue(0);
        if (recorder_)
            parameters_.fileName = recorder_->TakePath().string();
        worker_->Start(parameters_, &posts_, kProgressMessage, kFinishedMessage);
    }
    if (actions & M::kCancelWorker) {
        worker_->Cancel();
        worker_->WaitFinished(kCancelWait);
    }
    Refresh();
    if (actions & M::kShowNotice)
        ShowMessage(model_.Notice());
    if (actions & M::kAccept)
        QDialog::accept();
    if (actions & M::kReject)
        QDialog::reject();
}

void WaveToMIDIDialog::StartRecorder() {
    std::string error;
    if (!recorder_ || !recorder_->Prepare(error) || !recorder_->Start(error)) {
        // Said and closed from the dialog's own event loop: closing while the dialog is
        // still being shown would leave that loop running for ever.
        QTimer::singleShot(0, this, [this, error] { Carry(model_.RecorderFailed(error)); });
        return;
    }
    fetched_ = 0;
    clock_.start();
    timer_.start();
}

void WaveToMIDIDialog::StopRecorder() {
    timer_.stop();
    if (!recorder_ || !recorder_->Recording())
        return;
    recorder_->Stop();
    Poll();
    // The take is converted all the same; what went wrong is said, not hidden.
    if (const std::string problem = recorder_->Problem(); !problem.empty())
        ShowMessage(kAppTitle, AString(problem), MessageIcon::Exclamation);
}

void WaveToMIDIDialog::Poll() {
    if (!recorder_)
        return;
    const std::size_t count = recorder_->FrameCount();
    FrequencyAnalysisSegment frame;
    while (fetched_ < count && recorder_->GetFrame(fetched_, frame) && trace_->Add(frame))
        ++fetched_;
    const auto analysedMs =
        static_cast<std::int64_t>(recorder_->AnalysedSamples() * 1000 / AudioCaptureSource::kRate);
    delay_->setText(QString::fromStdString(PitchTrace::StatusLine(clock_.elapsed(), analysedMs)));
}

void WaveToMIDIDialog::Refresh() {
    const WaveToMIDIModel::Look look = model_.Shown();
    message_->setText(QString::fromStdString(look.message));
    done_->setVisible(look.done);
    ok_->setVisible(look.ok);
    helpButton_->setVisible(look.help);
    cancel_->setVisible(look.cancel);
    delay_->setVisible(look.delayLine);
    if (look.ok)
        ok_->setDefault(true);
    // Scripts wait while the dialog works, then answer it.
    setProperty("working", model_.GetState() == WaveToMIDIModel::State::Recording ||
                               model_.GetState() == WaveToMIDIModel::State::Converting);
}

void WaveToMIDIDialog::customEvent(QEvent* event) {
    if (event->type() != PostedMessage::EventType()) {
        QDialog::customEvent(event);
        return;
    }
    const auto* posted = static_cast<PostedMessage*>(event);
    if (posted->Message() == kProgressMessage)
        progress_->setValue(static_cast<int>(posted->Value()));
    else if (posted->Message() == kFinishedMessage)
        ConversionEnded();
}

void WaveToMIDIDialog::ConversionEnded() {
    if (model_.GetState() != WaveToMIDIModel::State::Converting)
        return;
    // The worker has handed over its results before it posted its end.
    notes_ = worker_->TakeNotes();
    const bool failed = worker_->Failed();
    Carry(model_.ConversionEnded(notes_.size(), failed, worker_->ErrorText()));
    if (model_.GetState() != WaveToMIDIModel::State::Finished)
        notes_.clear();
}
