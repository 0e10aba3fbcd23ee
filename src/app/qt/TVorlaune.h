#pragma once

#include <QObject>
#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/FileHistory.h"
#include "app/KeyDispatch.h"
#include "app/WindowLayout.h"
#include "devices/KeyTranslator.h"
#include "views/SubWindowMaker.h"

class MidiInputSystem;
class AudioCaptureSource;
class MidiPlayer;
class ProgramEnvironment;
class QKeyEvent;
class QPrinter;
class QtPostTarget;
class RecoveryKeeper;
class SongDocument;
class TFrameWin;
class HelpWindow;
class TMDIDialog;
class VorlauneGuts;

// The application: everything that is not one song. It owns the player, the song
// windows, the file history, the choice of output device and the key assignments; every
// menu command arrives here and those that concern one song go on to the active window.
class TVorlaune : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kTitle = " Vorlaune";

    TVorlaune(ProgramEnvironment& environment, std::unique_ptr<MidiPlayer> player);
    ~TVorlaune() override;

    // Opens the main window. After its first paint the fonts are checked and `file` (or a
    // new song) is opened. False when the program cannot run (the fonts are missing).
    bool Start(const std::string& file);

    // Every menu command, by number.
    void Command(int id);
    bool CommandEnabled(int id) const;
    bool CommandChecked(int id) const;

    // A key press in the main window: true when the key assignments claim it, and with
    // `dispatch` it is carried out too.
    bool OfferKey(int qtKey, Qt::KeyboardModifiers modifiers, bool dispatch);
    KeyDispatch& Keys() { return keys_; }

    // Opens a MIDI file in a song window as Open Song does; false (after the message)
    // when it cannot be read.
    bool OpenFile(const std::string& file);
    // Opens a song window on a document made elsewhere (a recording, a benchmark).
    void OpenDocument(std::unique_ptr<SongDocument> document);

    TFrameWin* Frame() const { return frame_.get(); }
    HelpWindow* Help() const { return help_; }
    TMDIDialog* ActiveWindow() const { return active_; }
    const std::vector<TMDIDialog*>& SongWindows() const { return windows_; }
    VorlauneGuts& Guts() const { return *guts_; }
    const FileHistory& History() const { return history_; }
    const SubWindowMaker& Strip() const { return strip_; }
    int OutputDevice() const { return outputDevice_; }
    bool Advanced() const { return advanced_; }
    int MenuId() const { return menuId_; }
    const std::vector<std::string>& OutputPortNames() const { return ports_; }
    // The printer, made on first use with the exports' page.
    QPrinter& Printer();
    // True while nothing plays and no song window waits to be destroyed.
    bool Idle() const;
    // The program is ending: the last window has closed and the main window with it.
    bool Finished() const { return finished_; }

    // --- what song windows ask of the application ----------------------------------
    void WindowActivated(TMDIDialog* window);
    void WindowClosed(TMDIDialog* window);
    void UndoStateChanged(TMDIDialog* window);
    bool SaveWindow(TMDIDialog* window, const std::string& file, bool addToHistory);
    void AutosaveWindow(TMDIDialog* window);
    void RefreshChecks();
    // The window whose song now plays gets the player's position notices.
    void SetPlayingWindow(TMDIDialog* window) { playing_ = window; }
    TMDIDialog* PlayingWindow() const { return playing_; }
    // The main window is asked to close: true when it may (no song left open).
    bool MayCloseFrame();
    // --- wave recording --------------------------------------------------------------
    // Where the next wave recording's sound comes from: the file a script queued with
    // `mic-in`, else the sound card's input.
    std::unique_ptr<AudioCaptureSource> NextCaptureSource();
    void QueueMicIn(const std::string& file);
    // How the script's played-in file stands: none queued, queued or still playing in,
    // or played in to its end.
    enum class MicIn { None, Playing, Finished };
    MicIn MicInState() const;
    // The script driver has finished the recording the file was played into.
    void ForgetMicIn();

    // Opens the help window on `page` (a file of the help, with an anchor if wanted).
    void ShowHelp(const char* page);

    // The MIDI inputs of the next recording instead of the system's ports (scripts).
    void SetNextMidiInput(std::shared_ptr<MidiInputSystem> inputs);
    // The inputs a recording starting now uses: the ones set for it, else the system's.
    std::shared_ptr<MidiInputSystem> TakeMidiInput();

signals:
    void finished();

protected:
    void customEvent(QEvent* event) override;

private:
    void FirstPaint();
    void OpenWindow(std::unique_ptr<SongDocument> document);
    void DestroyClosed();
    void NewSong();
    void OpenSong();
    void OpenHistory(int index);
    void SaveSong(bool askName);
    void RenameSong();
    void ChooseOutput(int id);
    void SetMode(bool advanced);
    void ToggleOption(int id);
    void Cascade();
    void Tile();
    void ActivateListed(int index);
    void InstallMenu(int menuId);
    void KeepRecovery();
    void Later(int id);
    void EditKeyAssignments();
    void DefineDeviceTypes();
    void Print();
    void PrintPreviewCommand();
    void PrintSetup();
    void Exit();
    static bool BasicCompatible(const TMDIDialog& window);

    ProgramEnvironment& environment_;
    std::unique_ptr<VorlauneGuts> guts_;
    std::unique_ptr<QtPostTarget> posts_;
    std::unique_ptr<TFrameWin> frame_;
    HelpWindow* help_ = nullptr; // a window of the frame, closed with it
    std::unique_ptr<RecoveryKeeper> recovery_;
    std::vector<TMDIDialog*> windows_;
    std::vector<TMDIDialog*> closed_;
    TMDIDialog* active_ = nullptr;
    TMDIDialog* playing_ = nullptr;
    std::unique_ptr<SongDocument> pending_;
    std::string commandLineFile_;
    FileHistory history_;
    KeyTranslator translator_;
    KeyDispatch keys_;
    SubWindowMaker strip_;
    WindowLayout layout_;
    std::vector<std::string> ports_;
    int outputDevice_ = -1;
    int menuId_ = 0;
    bool advanced_ = false;
    bool closing_ = false;
    bool finished_ = false;
    int openState_ = 0;
    int cascadeStep_ = 0;
    std::string openSaveDir_;
    std::unique_ptr<QPrinter> printer_; // made on first use
    std::shared_ptr<MidiInputSystem> nextMidiInput_;
    std::deque<std::string> micIn_;
    std::shared_ptr<const std::atomic<bool>> micInFinished_;
};
