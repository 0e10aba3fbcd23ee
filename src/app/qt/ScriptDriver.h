#pragma once

#include <QObject>
#include <QPointer>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/ScriptParser.h"
#include "util/Messages.h"

class QDialog;
class QWidget;
class ScriptedMidiInput;
class TVorlaune;

// Runs the real windows from a script (`vorlaune --script FILE`), one statement at a time
// from the event loop, so that everything a statement starts (dialogs, playback, posted
// messages) runs as it would for a person. Message boxes and file dialogs are not shown:
// each is printed ("message: TITLE | TEXT", "dialog: TITLE") and answered from the
// `answer` statements. Window title changes are printed as "title: TEXT". When the
// script ends, the program ends: songs still open are closed without saving.
class ScriptDriver : public QObject, public MessageSink {
    Q_OBJECT
public:
    ScriptDriver(TVorlaune& app, std::vector<ScriptStatement> statements, std::FILE* out = stdout);
    ~ScriptDriver() override;

    // Begins once the program has opened its first song window.
    void Start();
    // 0 when every statement passed; otherwise 1, with the failing line on stderr.
    int ExitCode() const { return exitCode_; }

    MessageAnswer Show(const Message& message) override;
    bool ChooseFile(const FileRequest& request, std::string& chosen) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Next();
    void Run(const ScriptStatement& statement);
    void Fail(const ScriptStatement& statement, const std::string& why);
    void Finish();
    void WaitIdle(int line);
    bool PressKey(const std::string& sequence, std::string& why);
    QWidget* ActiveView(std::string& why) const;
    bool Mouse(const ScriptStatement& statement, std::string& why);
    bool ShowGraph(const ScriptStatement& statement, std::string& why);
    bool RightClick(const ScriptStatement& statement, std::string& why);
    void WaitForPopup(int line);
    bool ChooseMenuItem(const std::string& text, std::string& why);
    void Print(const std::string& line);
    // Fills a dialog that opened from the next `dialog` statement and presses its button.
    void FillDialog(QDialog* dialog);
    void FillWhenReady(QPointer<QDialog> dialog, int waitedMs);
    // Presses the key of the next `key-capture` statement in a "Press a Key" window.
    void CaptureKey(QDialog* dialog);
    // "MIDI Record": once the input of `midi-in` has been played, presses Done and fills
    // the dialog.
    void FinishRecording(QDialog* dialog);
    bool QueueMidiInput(const ScriptStatement& statement, std::string& why);
    // A recording dialog (one with a "Done" button) fed by `mic-in`: once the file has
    // played in, presses Done, waits for OK and fills the dialog. False when the dialog
    // is not one of those.
    bool RecordMicIn(QDialog* dialog);

    TVorlaune& app_;
    std::vector<ScriptStatement> statements_;
    std::size_t next_ = 0;
    std::deque<std::string> answers_;
    std::deque<ScriptStatement> dialogs_;
    std::deque<ScriptStatement> captures_;
    std::deque<std::string> startAnswers_;
    std::shared_ptr<ScriptedMidiInput> midiIn_;
    std::FILE* out_;
    MessageSink* previous_ = nullptr;
    int exitCode_ = 0;
    bool finishing_ = false;
    bool started_ = false;
    bool running_ = false;
};
