#include "app/qt/ScriptDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMetaProperty>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>

#include "app/AppCommands.h"
#include "app/qt/TFrameWin.h"
#include "app/qt/TMDIDialog.h"
#include "app/qt/TVorlaune.h"
#include "record/ScriptedMidiInput.h"
#include "record/qt/RecordDialog.h"
#include "views/qt/ControllerBand.h"
#include "views/qt/ControllerRangeDialog.h"
#include "views/qt/PianoRollView.h"
#include "views/qt/StaffView.h"
#include "views/qt/SubWindow.h"

namespace {

std::string OneLine(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c != '\r')
            out += c;
    }
    return out;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

constexpr int kIdleLimitMs = 120000;

} // namespace

ScriptDriver::ScriptDriver(TVorlaune& app, std::vector<ScriptStatement> statements, std::FILE* out)
    : app_(app), statements_(std::move(statements)), out_(out) {
    previous_ = SetMessageSink(this);
    qApp->installEventFilter(this);
}

ScriptDriver::~ScriptDriver() {
    SetMessageSink(previous_);
}

void ScriptDriver::Print(const std::string& line) {
    std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
}

void ScriptDriver::Start() {
    if (started_)
        return;
    started_ = true;
    // Answers that open the script may answer the questions the program asks as it
    // starts (what to do with songs an earlier run left); the rest wait their turn.
    while (next_ < statements_.size() && statements_[next_].kind == ScriptStatement::Kind::Answer)
        startAnswers_.push_back(statements_[next_++].argument);
    connect(app_.Frame(), &QWidget::windowTitleChanged, this,
            [this](const QString& title) { Print("title: " + title.toStdString()); });
    // The first song window opens after the main window's first paint.
    auto waitForWindow = std::make_shared<std::function<void()>>();
    *waitForWindow = [this, waitForWindow] {
        if (app_.ActiveWindow() || app_.Finished()) {
            QTimer::singleShot(0, this, &ScriptDriver::Next);
            return;
        }
        QTimer::singleShot(10, this, *waitForWindow);
    };
    QTimer::singleShot(0, this, *waitForWindow);
}

MessageAnswer ScriptDriver::Show(const Message& message) {
    Print("message: " + OneLine(message.title.str()) + " | " + OneLine(message.text.str()));
    const bool question = message.buttons != MessageButtons::Ok;
    if (finishing_)
        return question ? MessageAnswer::No : MessageAnswer::Ok;
    std::string answer;
    if (!running_ && question && !startAnswers_.empty()) {
        answer = Lower(startAnswers_.front());
        startAnswers_.pop_front();
    } else if (!answers_.empty()) {
        answer = Lower(answers_.front());
        answers_.pop_front();
    } else if (question) {
        // A question nobody answered: the script is wrong, and Cancel changes nothing.
        std::fprintf(stderr, "script: a question was asked and no answer given: %s\n",
                     OneLine(message.text.str()).c_str());
        exitCode_ = 1;
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Cancel;
    }
    if (answer == "yes" || (!message.yesText.IsEmpty() && answer == Lower(message.yesText.str())))
        return MessageAnswer::Yes;
    if (answer == "no" || (!message.noText.IsEmpty() && answer == Lower(message.noText.str())))
        return MessageAnswer::No;
    if (answer == "cancel")
        return MessageAnswer::Cancel;
    return MessageAnswer::Ok;
}

bool ScriptDriver::ChooseFile(const FileRequest& request, std::string& chosen) {
    Print("dialog: " + request.title.str());
    if (finishing_ || answers_.empty())
        return false;
    const std::string answer = answers_.front();
    answers_.pop_front();
    if (Lower(answer) == "cancel")
        return false;
    chosen = answer;
    return true;
}

bool ScriptDriver::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isModal()) {
            QPointer<QDialog> guarded(dialog);
            QTimer::singleShot(0, this, [this, guarded] {
                if (!guarded || !guarded->isVisible())
                    return;
                if (guarded->objectName() == "keyCapture")
                    CaptureKey(guarded);
                else if (guarded->objectName() == RecordDialog::kObjectName)
                    FinishRecording(guarded);
                else if (!RecordMicIn(guarded))
                    FillWhenReady(guarded, 0);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

namespace {

QString Plain(QString text) {
    return text.remove('&');
}

QWidget* FindField(QDialog* dialog, const QString& name) {
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (w->accessibleName() == name)
            return w;
        if (auto* button = qobject_cast<QAbstractButton*>(w);
            button && Plain(button->text()) == name)
            return w;
    }
    return nullptr;
}

// Sets a field as a person would and reads it back; false with the reason when the field
// would not take the value.
bool SetField(QWidget* field, const QString& value, std::string& why) {
    if (!field->isEnabled()) {
        why = "is disabled";
        return false;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(field)) {
        const QString v = value.toLower();
        if (!button->isCheckable()) {
            // A push button, such as Add... of a list: pressed. A dialog it opens is
            // filled by the next dialog statement.
            if (v != "click") {
                why = "is a button: its value is click";
                return false;
            }
            button->click();
            return true;
        }
        button->setChecked(v == "on" || v == "yes" || v == "true" || v == "1");
        return true;
    }
    if (auto* lines = qobject_cast<QListWidget*>(field)) {
        // An entry by its whole text, else the first line that starts so.
        QList<QListWidgetItem*> found = lines->findItems(value, Qt::MatchExactly);
        if (found.isEmpty())
            found = lines->findItems(value, Qt::MatchStartsWith);
        if (found.isEmpty()) {
            why = "has no line \"" + value.toStdString() + "\"";
            return false;
        }
        lines->setCurrentItem(found.front());
        return true;
    }
    if (auto* list = qobject_cast<QComboBox*>(field)) {
        const int index = list->findText(value);
        if (index < 0) {
            why = "has no entry \"" + value.toStdString() + "\"";
            return false;
        }
        list->setCurrentIndex(index);
        return true;
    }
    if (auto* spin = qobject_cast<QSpinBox*>(field)) {
        bool number = false;
        const int n = value.toInt(&number);
        spin->setValue(n);
        if (!number || spin->value() != n) {
            why = "does not take " + value.toStdString() + " (" + std::to_string(spin->minimum()) +
                  " to " + std::to_string(spin->maximum()) + ")";
            return false;
        }
        return true;
    }
    const QMetaProperty user = field->metaObject()->userProperty();
    if (!user.isValid() || !user.write(field, value) || user.read(field).toString() != value) {
        why = "does not take \"" + value.toStdString() + "\"";
        return false;
    }
    return true;
}

} // namespace

void ScriptDriver::FillDialog(QDialog* dialog) {
    const std::string title = dialog->windowTitle().toStdString();
    Print("dialog: " + title);
    if (dialogs_.empty()) {
        std::fprintf(stderr, "script: a dialog opened and no dialog statement fills it: %s\n",
                     title.c_str());
        dialog->reject();
        return;
    }
    const ScriptStatement fill = dialogs_.front();
    dialogs_.pop_front();
    for (const auto& [name, value] : fill.fields) {
        if (name == "screenshot") {
            if (!dialog->grab().save(QString::fromStdString(value), "PNG"))
                Fail(fill, "cannot write the screenshot " + value);
            continue;
        }
        if (name.empty()) {
            auto* button =
                qobject_cast<QAbstractButton*>(FindField(dialog, QString::fromStdString(value)));
            if (!button || !button->isEnabled()) {
                Fail(fill, "\"" + title + "\" has no button \"" + value + "\" to press");
                dialog->reject();
                return;
            }
            button->click();
            continue;
        }
        QWidget* field = FindField(dialog, QString::fromStdString(name));
        std::string why = "not found";
        if (!field || !SetField(field, QString::fromStdString(value), why)) {
            Fail(fill, "field \"" + name + "\" of \"" + title + "\" " + why);
            dialog->reject();
            return;
        }
    }
    if (fill.argument == "cancel") {
        dialog->reject();
        return;
    }
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    QPushButton* ok = buttons ? buttons->button(QDialogButtonBox::Ok) : nullptr;
    if (ok)
        ok->click();
    else
        dialog->accept();
    if (dialog->isVisible()) {
        Print("dialog: " + title + " stayed open");
        dialog->reject();
    }
}

void ScriptDriver::FinishRecording(QDialog* dialog) {
    const auto start = std::chrono::steady_clock::now();
    QPointer<QDialog> guarded(dialog);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, poll, start, guarded] {
        if (!guarded || !guarded->isVisible())
            return;
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
        // Without a file played in nobody plays: Done at once.
        if (midiIn_ && !midiIn_->Finished() && waited < kIdleLimitMs) {
            QTimer::singleShot(20, this, *poll);
            return;
        }
        midiIn_.reset();
        Print("midi-in: played");
        if (auto* record = qobject_cast<RecordDialog*>(guarded.data()))
            record->DoneButton()->click();
        if (guarded && guarded->isVisible())
            FillDialog(guarded);
    };
    QTimer::singleShot(0, this, *poll);
}

bool ScriptDriver::QueueMidiInput(const ScriptStatement& s, std::string& why) {
    std::shared_ptr<ScriptedMidiInput> input;
    if (s.argument == "none") {
        input = std::make_shared<ScriptedMidiInput>(std::vector<ScriptedMidiPort>{});
    } else {
        AString error;
        input = ScriptedMidiInput::FromMidiFile(s.argument, s.number, error);
        if (!input) {
            why = "midi-in cannot read " + s.argument + ": " + error.str();
            return false;
        }
    }
    midiIn_ = input;
    app_.SetNextMidiInput(input);
    return true;
}

// A dialog that works before it can be answered (a conversion) says so by its "working"
// property; it is filled once it is done, as a person would wait for it.
void ScriptDriver::FillWhenReady(QPointer<QDialog> dialog, int waitedMs) {
    constexpr int kStepMs = 20;
    if (!dialog || !dialog->isVisible())
        return;
    if (dialog->property("working").toBool() && waitedMs < kIdleLimitMs) {
        QTimer::singleShot(kStepMs, this,
                           [this, dialog, waitedMs] { FillWhenReady(dialog, waitedMs + kStepMs); });
        return;
    }
    FillDialog(dialog);
}

bool ScriptDriver::RecordMicIn(QDialog* dialog) {
    auto* done = qobject_cast<QAbstractButton*>(FindField(dialog, "Done"));
    if (!done || !done->isVisible() || app_.MicInState() == TVorlaune::MicIn::None)
        return false;
    const std::string title = dialog->windowTitle().toStdString();
    Print("dialog: " + title + " records");
    QPointer<QDialog> guarded(dialog);
    QPointer<QAbstractButton> pressDone(done);
    const auto start = std::chrono::steady_clock::now();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, poll, guarded, pressDone, start, title] {
        if (!guarded || !guarded->isVisible()) {
            // The dialog ended by itself (the recording could not start).
            app_.ForgetMicIn();
            return;
        }
        if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(kIdleLimitMs)) {
            std::fprintf(stderr, "script: \"%s\" still records after %d seconds\n", title.c_str(),
                         kIdleLimitMs / 1000);
            exitCode_ = 1;
            app_.ForgetMicIn();
            guarded->reject();
            return;
        }
        if (pressDone && pressDone->isVisible()) {
            if (app_.MicInState() != TVorlaune::MicIn::Finished) {
                QTimer::singleShot(20, this, *poll);
                return;
            }
            app_.ForgetMicIn();
            Print("dialog: " + title + " Done");
            pressDone->click();
        }
        // Done may lead to more work (a conversion) before OK can be pressed.
        auto* ok = qobject_cast<QAbstractButton*>(FindField(guarded, "OK"));
        if (guarded->isVisible() && ok && ok->isVisible() && ok->isEnabled())
            FillDialog(guarded);
        else
            QTimer::singleShot(20, this, *poll);
    };
    QTimer::singleShot(20, this, *poll);
    return true;
}

void ScriptDriver::CaptureKey(QDialog* dialog) {
    Print("dialog: " + dialog->windowTitle().toStdString());
    // A refused key leaves the window waiting; the next key-capture statement answers it.
    while (dialog->isVisible() && !captures_.empty()) {
        const ScriptStatement s = captures_.front();
        captures_.pop_front();
        const QKeySequence sequence(QString::fromStdString(s.argument));
        if (sequence.isEmpty()) {
            Fail(s, "\"" + s.argument + "\" is not a key");
            break;
        }
        const QKeyCombination combination = sequence[0];
        QKeyEvent press(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        QApplication::sendEvent(dialog, &press);
    }
    if (dialog->isVisible()) {
        Print("dialog: " + dialog->windowTitle().toStdString() + " stayed open");
        dialog->reject();
    }
}

void ScriptDriver::Next() {
    if (!running_) {
        running_ = true;
        answers_.insert(answers_.begin(), startAnswers_.begin(), startAnswers_.end());
        startAnswers_.clear();
    }
    if (exitCode_ != 0) {
        Finish();
        return;
    }
    if (next_ >= statements_.size() || app_.Finished()) {
        Finish();
        return;
    }
    const ScriptStatement& statement = statements_[next_++];
    Run(statement);
}

void ScriptDriver::Fail(const ScriptStatement& statement, const std::string& why) {
    std::fprintf(stderr, "script line %d: %s\n", statement.line, why.c_str());
    exitCode_ = 1;
}

void ScriptDriver::Run(const ScriptStatement& s) {
    using Kind = ScriptStatement::Kind;
    // What the last statement started and a person would wait for (a window laying out
    // its views) is done first.
    QApplication::processEvents();
    int delay = 0;
    switch (s.kind) {
    case Kind::Key: {
        std::string why;
        if (!PressKey(s.argument, why))
            Fail(s, why);
        break;
    }
    case Kind::Command:
        if (!app_.CommandEnabled(s.number))
            Fail(s, "command " + std::to_string(s.number) + " is not enabled now");
        else
            app_.Command(s.number);
        break;
    case Kind::Dialog:
        dialogs_.push_back(s);
        break;
    case Kind::KeyCapture:
        captures_.push_back(s);
        break;
    case Kind::MidiIn: {
        std::string why;
        if (!QueueMidiInput(s, why))
            Fail(s, why);
        break;
    }
    case Kind::Answer:
        answers_.push_back(s.argument);
        break;
    case Kind::View: {
        TMDIDialog* window = app_.ActiveWindow();
        if (!window || s.number < 1 || s.number > static_cast<int>(window->Views().size()))
            Fail(s, "there is no view " + std::to_string(s.number));
        else
            window->ActivateView(s.number - 1);
        break;
    }
    case Kind::WaitIdle:
        WaitIdle(s.line);
        return;
    case Kind::Wait:
        delay = std::max(s.number, 0);
        break;
    case Kind::Screenshot: {
        QApplication::processEvents();
        const QPixmap shot = app_.Frame()->grab();
        if (shot.isNull() || !shot.save(QString::fromStdString(s.argument), "PNG"))
            Fail(s, "cannot write the screenshot " + s.argument);
        break;
    }
    case Kind::Click:
    case Kind::Drag: {
        std::string why;
        if (!Mouse(s, why))
            Fail(s, why);
        break;
    }
    case Kind::RightClick: {
        std::string why;
        if (!RightClick(s, why)) {
            Fail(s, why);
            break;
        }
        // The menu runs its own loop; the next statement comes once it is open.
        WaitForPopup(s.line);
        return;
    }
    case Kind::Menu: {
        std::string why;
        if (!ChooseMenuItem(s.argument, why))
            Fail(s, why);
        break;
    }
    case Kind::ViewKind: {
        TMDIDialog* window = app_.ActiveWindow();
        const int kind = s.argument == "roll" || s.argument == "piano roll" ? SubWindow::kPianoRoll
                         : s.argument == "staff"                            ? SubWindow::kStaff
                         : s.argument == "message"                          ? SubWindow::kMessage
                                                                            : -1;
        if (!window || !window->ActiveView() || kind < 0)
            Fail(s, "cannot show the active view as \"" + s.argument + "\"");
        else
            window->ChangeViewKind(window->ActiveView(), kind);
        break;
    }
    case Kind::Heads: {
        TMDIDialog* window = app_.ActiveWindow();
        auto* staff = window ? dynamic_cast<StaffView*>(window->ActiveView()) : nullptr;
        if (!staff) {
            Fail(s, "the active view is not a staff view");
            break;
        }
        QApplication::processEvents();
        staff->repaint();
        for (const NoteSpot& spot : staff->Screen().NoteSpots())
            Print("head: " + std::to_string(spot.tick) + " " +
                  std::to_string((spot.rect.left + spot.rect.right) / 2) + " " +
                  std::to_string(staff->StaffTop() + (spot.rect.top + spot.rect.bottom) / 2));
        break;
    }
    case Kind::Bars: {
        TMDIDialog* window = app_.ActiveWindow();
        auto* roll = window ? dynamic_cast<PianoRollView*>(window->ActiveView()) : nullptr;
        if (!roll) {
            Fail(s, "the active view is not a piano roll");
            break;
        }
        QApplication::processEvents();
        roll->repaint();
        for (const PianoRollDrawer::NoteBar& bar : roll->Drawer().Bars()) {
            const PianoRollDrawer::Rect& r = bar.rect;
            Print("bar: " + std::to_string(bar.tick) + " " + std::to_string(bar.pitch) + " " +
                  std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                  std::to_string(r.right) + " " + std::to_string(r.bottom));
        }
        break;
    }
    case Kind::Graph: {
        std::string why;
        if (!ShowGraph(s, why))
            Fail(s, why);
        break;
    }
    case Kind::Range: {
        ControllerRangeChoice choice;
        choice.eraseOnly = s.number < 0;
        if (!choice.eraseOnly) {
            choice.shape = s.number;
            choice.startLevel = s.points[0];
            choice.endLevel = s.points[1];
            if (s.points.size() == 4) {
                choice.adjustment1 = s.points[2];
                choice.adjustment2 = s.points[3];
            }
        }
        ControllerRangeDialog::AnswerNext(choice);
        break;
    }
    case Kind::MicIn:
        if (!std::filesystem::is_regular_file(s.argument))
            Fail(s, "there is no file " + s.argument + " to play in");
        else
            app_.QueueMicIn(s.argument);
        break;
    case Kind::ExpectTitle: {
        const std::string title = app_.Frame()->windowTitle().toStdString();
        if (title != s.argument)
            Fail(s, "the title is \"" + title + "\", not \"" + s.argument + "\"");
        break;
    }
    }
    QTimer::singleShot(delay, this, &ScriptDriver::Next);
}

// Until nothing plays and every posted message is handled.
void ScriptDriver::WaitIdle(int line) {
    const auto start = std::chrono::steady_clock::now();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, poll, start, line] {
        QApplication::sendPostedEvents();
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count();
        if (app_.Idle()) {
            QApplication::processEvents();
            QTimer::singleShot(0, this, &ScriptDriver::Next);
            return;
        }
        if (waited > kIdleLimitMs) {
            std::fprintf(stderr, "script line %d: still busy after %d seconds\n", line,
                         kIdleLimitMs / 1000);
            exitCode_ = 1;
            QTimer::singleShot(0, this, &ScriptDriver::Next);
            return;
        }
        QTimer::singleShot(20, this, *poll);
    };
    QTimer::singleShot(0, this, *poll);
}

QWidget* ScriptDriver::ActiveView(std::string& why) const {
    TMDIDialog* window = app_.ActiveWindow();
    SubWindow* view = window ? window->ActiveView() : nullptr;
    if (!view)
        why = "there is no active view";
    return view;
}

// The option goes through its menu command, so that the menu's check mark follows.
bool ScriptDriver::ShowGraph(const ScriptStatement& s, std::string& why) {
    TMDIDialog* window = app_.ActiveWindow();
    if (!window) {
        why = "there is no song window";
        return false;
    }
    if (window->OptionOn(TMDIDialog::kShowControllerGraph) != s.on)
        app_.Command(cmd::kShowControllerGraph);
    QApplication::processEvents();
    auto* view = dynamic_cast<NoteView*>(window->ActiveView());
    if (!s.on || (!view && s.controller < 0))
        return true;
    if (!view || !view->Graph()) {
        why = "the active view shows no controller graph";
        return false;
    }
    if (s.controller >= 0 && !view->SetGraphController(static_cast<std::uint8_t>(s.controller))) {
        why = "the graph refused controller " + std::to_string(s.controller);
        return false;
    }
    // Where the graph lies in the view, for the mouse statements that follow.
    const QRect at = view->Graph()->geometry();
    Print("graph: " + std::to_string(at.left()) + " " + std::to_string(at.top()) + " " +
          std::to_string(at.right() + 1) + " " + std::to_string(at.bottom() + 1));
    return true;
}

// Presses, moves and lets go the way a hand would: the moves in between come as the
// pointer travels, so that the view follows the drag.
bool ScriptDriver::Mouse(const ScriptStatement& s, std::string& why) {
    QWidget* view = ActiveView(why);
    if (!view)
        return false;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    if (s.shift)
        modifiers |= Qt::ShiftModifier;
    if (s.ctrl)
        modifiers |= Qt::ControlModifier;
    // A person sees the view before clicking in it: what waits to be painted is painted.
    QApplication::processEvents();
    view->repaint();
    QPoint from(s.points[0], s.points[1]);
    QPoint to = s.points.size() == 4 ? QPoint(s.points[2], s.points[3]) : from;
    // A press in the controller graph under a note view goes to the graph, in its own
    // coordinates.
    if (auto* graph = dynamic_cast<ControllerBand*>(view->childAt(from))) {
        from = graph->mapFrom(view, from);
        to = graph->mapFrom(view, to);
        view = graph;
    }
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, view->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          modifiers);
        QApplication::sendEvent(view, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    constexpr int kSteps = 8;
    if (to != from)
        for (int i = 1; i <= kSteps; ++i)
            send(QEvent::MouseMove, from + (to - from) * i / kSteps, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    return true;
}

bool ScriptDriver::RightClick(const ScriptStatement& s, std::string& why) {
    QWidget* view = ActiveView(why);
    if (!view)
        return false;
    QApplication::processEvents();
    view->repaint();
    const QPoint at(s.points[0], s.points[1]);
    // Posted, not sent: the pop-up menu it opens runs a loop of its own, in which the
    // script goes on.
    QCoreApplication::postEvent(view,
                                new QMouseEvent(QEvent::MouseButtonPress, at, view->mapToGlobal(at),
                                                Qt::RightButton, Qt::RightButton, Qt::NoModifier));
    QCoreApplication::postEvent(view, new QMouseEvent(QEvent::MouseButtonRelease, at,
                                                      view->mapToGlobal(at), Qt::RightButton,
                                                      Qt::NoButton, Qt::NoModifier));
    return true;
}

void ScriptDriver::WaitForPopup(int line) {
    const auto start = std::chrono::steady_clock::now();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, poll, start, line] {
        if (QApplication::activePopupWidget()) {
            QTimer::singleShot(0, this, &ScriptDriver::Next);
            return;
        }
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
            // A click where no menu opens (outside the staff, say) is not a failure by
            // itself; the `menu` statement that follows will say what is missing.
            QTimer::singleShot(0, this, &ScriptDriver::Next);
            return;
        }
        QTimer::singleShot(10, this, *poll);
    };
    (void)line;
    QTimer::singleShot(0, this, *poll);
}

bool ScriptDriver::ChooseMenuItem(const std::string& text, std::string& why) {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) {
        why = "no pop-up menu is open";
        return false;
    }
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() || action->text().remove('&').toStdString() != text)
            continue;
        if (!action->isEnabled()) {
            why = "the menu item \"" + text + "\" is disabled";
            menu->close();
            return false;
        }
        // Chosen as the keyboard would choose it, so that the menu closes as it does.
        menu->setActiveAction(action);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(menu, &enter);
        return true;
    }
    why = "the menu has no item \"" + text + "\"";
    menu->close();
    return false;
}

// The same way as a key press on the keyboard: the key assignments first, then the
// menus' shortcuts, then the widget with the focus.
bool ScriptDriver::PressKey(const std::string& sequence, std::string& why) {
    const QKeySequence keys(QString::fromStdString(sequence), QKeySequence::PortableText);
    if (keys.isEmpty() || keys.count() != 1) {
        why = "\"" + sequence + "\" is not one key";
        return false;
    }
    const QKeyCombination combination = keys[0];
    const int key = combination.key();
    const Qt::KeyboardModifiers modifiers = combination.keyboardModifiers();
    if (app_.OfferKey(key, modifiers, true))
        return true;
    if (const int id = app_.Frame()->CommandForShortcut(keys)) {
        app_.Command(id);
        return true;
    }
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = app_.Frame();
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
    return true;
}

// The script is over: the program ends, closing what is still open without saving.
void ScriptDriver::Finish() {
    if (finishing_)
        return;
    finishing_ = true;
    if (app_.Finished()) {
        QApplication::exit(exitCode_);
        return;
    }
    app_.Command(cmd::kExit);
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [this, poll] {
        if (app_.Finished()) {
            QApplication::exit(exitCode_);
            return;
        }
        QTimer::singleShot(10, this, *poll);
    };
    QTimer::singleShot(0, this, *poll);
}
