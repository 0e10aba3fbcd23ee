#include "app/qt/TVorlaune.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <utility>

#include "app/AppCommands.h"
#include "app/CommandTable.h"
#include "app/OutputDevices.h"
#include "app/RecoveryKeeper.h"
#include "app/SongDocument.h"
#include "app/Startup.h"
#include "app/qt/HelpWindow.h"
#include "app/qt/KeyTranslationDialog.h"
#include "app/qt/PrintPreview.h"
#include "app/qt/QtPostTarget.h"
#include "app/qt/TFrameWin.h"
#include "app/qt/TMDIDialog.h"
#include "app/qt/WaveToNoteSettingsDialog.h"
#include "devices/qt/ControllerListDialog.h"
#include "devices/qt/DeviceListDialog.h"
#include "devices/qt/QtVirtualKey.h"
#include "midifile/MidiReader.h"
#include "model/Song.h"
#include "playback/MidiPlayer.h"
#include "playback/MidiPorts.h"
#include "playback/VorlauneGuts.h"
#include "record/PortAudioCaptureSource.h"
#include "record/RtMidiInputSystem.h"
#include "record/WaveFileCaptureSource.h"
#include "util/HomeDirectory.h"
#include "util/INIFile.h"
#include "util/Messages.h"
#include "util/SettingsReport.h"
#include "views/StaffPrinter.h"
#include "views/qt/StaffExport.h"
#include "views/qt/StaffFonts.h"
#include "views/qt/SubWindow.h"

namespace {

constexpr const char* kMidiOpenFilter = "MIDI Files (*.MID,*.MIDI,*.RMI)|*.mid;*.midi;*.rmi|";
constexpr const char* kMidiSaveFilter = "MIDI Files (*.MID)|*.mid|";
constexpr const char* kMidiRenameFilter = "MIDI Files (*.MID,*.RMI)|*.mid|";

constexpr const char* kChordsNotice =
    "Note: This file controls the chords used\nin chord commands (such as 'C' and shift-'C')."
    "\n\nAll chords are relative to middle C.\nNotes of a chord in this file must all be at\n"
    "exactly the same time.\nYou must restart the program for these to\ntake effect.\n\nAny "
    "problems with this file, or the absense of this\nfile can cause problems in Vorlaune.";

QMdiSubWindow* SubWindowOf(TMDIDialog* window) {
    return window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
}

bool IsChordFile(const std::string& file) {
    if (file.size() <= 9)
        return false;
    std::string tail = file.substr(file.size() - 10);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == "chords.mid";
}

// The menu text without its mnemonic and its dots, for messages.
QString PlainText(const char* text) {
    QString s = QString(text).remove("...");
    s.replace("&&", "\x01").remove('&').replace("\x01", "&");
    return s;
}

} // namespace

TVorlaune::TVorlaune(ProgramEnvironment& environment, std::unique_ptr<MidiPlayer> player)
    : environment_(environment), guts_(std::make_unique<VorlauneGuts>(std::move(player))),
      posts_(std::make_unique<QtPostTarget>(this)), translator_(environment.Settings()),
      keys_(translator_), strip_(environment.Home() / "PIANOROL.DLG") {
    MidiPlayer& p = guts_->Player();
    p.SetAddCallbackMsg(posts_.get(), cmd::kPlayerWantsData);
    p.SetStopMusicCallbackMsg(posts_.get(), cmd::kPlayerStopped);
    p.SetErrorCallbackMsg(posts_.get(), cmd::kPlayerError);
    p.SetDrawCallbackMsg(posts_.get(), cmd::kPlayPosition);

    std::string why;
    ports_ = ListOutputPorts(&why);
    INIFile& ini = environment_.Settings();
    outputDevice_ = ChooseOutputDevice(ini.ReadInt("DEFAULTOUTPUT", -1), ports_);
    p.SetOutputDevice(outputDevice_);
    ini.WriteInt("DEFAULTOUTPUT", outputDevice_);
    openSaveDir_ = ini.ReadValue("OPENSAVEDIR").str();
    if (openSaveDir_.empty())
        openSaveDir_ = environment_.Home().string();
}

TVorlaune::~TVorlaune() {
    // Windows go first: they tell the player their songs are gone.
    for (TMDIDialog* window : windows_)
        guts_->SongClosing(&window->Document().GetSong());
    frame_.reset();
    guts_.reset();
}

bool TVorlaune::Start(const std::string& file) {
    commandLineFile_ = file;
    const QScreen* screen = QGuiApplication::primaryScreen();
    layout_ = WindowLayout::ForScreenWidth(screen ? screen->size().width() : 1920);
    history_.Load(environment_.Settings());
    frame_ = std::make_unique<TFrameWin>(*this);
    connect(frame_->Area(), &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* sub) {
        if (auto* window = sub ? qobject_cast<TMDIDialog*>(sub->widget()) : nullptr)
            WindowActivated(window);
    });
    connect(frame_.get(), &TFrameWin::firstPaint, this, &TVorlaune::FirstPaint);
    connect(frame_.get(), &QObject::destroyed, this, [this] { finished_ = true; });
    recovery_ = std::make_unique<RecoveryKeeper>(
        environment_.Home(),
        static_cast<int>(environment_.Settings().ReadInt(RecoveryKeeper::kAutosaveSetting,
                                                         RecoveryKeeper::kDefaultAutosaveMinutes)));
    auto* keeper = new QTimer(this);
    connect(keeper, &QTimer::timeout, this, &TVorlaune::KeepRecovery);
    keeper->start(RecoveryKeeper::kTickMs);
    InstallMenu(cmd::kMenuNoSong);
    frame_->resize(1280, 860);
    frame_->showMaximized();
    return true;
}

void TVorlaune::FirstPaint() {
    if (!LoadStaffFonts(environment_.Resources())) {
        ShowMessage(kAppTitle, kStaffFontsMissing, MessageIcon::Stop);
        finished_ = true;
        frame_->hide();
        emit finished();
        return;
    }
    // What the start-up check of the settings and definition files set aside, in one box.
    if (!SettingsReport::Global().Empty())
        ShowMessage(kAppTitle,
                    "Some settings or definition files could not be used as they stand:\n\n" +
                        SettingsReport::Global().Text(),
                    MessageIcon::Exclamation);
    guts_->WarmUp();
    // What an earlier run left comes first; a song named on the command line opens too.
    std::vector<std::unique_ptr<SongDocument>> recovered =
        recovery_->OfferRecovery(QDateTime::currentMSecsSinceEpoch());
    const bool anyRecovered = !recovered.empty();
    for (std::unique_ptr<SongDocument>& document : recovered)
        OpenWindow(std::move(document));
    if (!commandLineFile_.empty()) {
        const std::string file = commandLineFile_;
        commandLineFile_.clear();
        if (OpenFile(file))
            return;
    }
    if (!anyRecovered)
        NewSong();
}

// --- commands ------------------------------------------------------------------------

void TVorlaune::Command(int id) {
    using namespace cmd;
    if (!CommandEnabled(id))
        return;
    if (id >= kHistoryFirst && id < kHistoryFirst + kHistoryCount) {
        OpenHistory(id - kHistoryFirst);
        return;
    }
    if (id >= kMidiMapper && id < kOutputFirst + kOutputCount) {
        ChooseOutput(id);
        return;
    }
    if (id >= kWindowFirst && id < kWindowFirst + kWindowCount) {
        ActivateListed(id - kWindowFirst);
        return;
    }
    const MenuCommand* command = FindCommand(id);
    if (!command)
        return;
    switch (command->route) {
    case MenuCommand::Route::Later:
        Later(id);
        return;
    case MenuCommand::Route::Forward:
        if (active_ && command->operation)
            active_->KeyOperationCommand(*command->operation);
        return;
    case MenuCommand::Route::Window:
        if (active_)
            active_->Command(id);
        return;
    case MenuCommand::Route::Frame:
        break;
    }
    switch (id) {
    case kNewSong:
        NewSong();
        break;
    case kOpenSong:
        OpenSong();
        break;
    case kCloseSong:
        if (QMdiSubWindow* sub = SubWindowOf(active_))
            sub->close();
        break;
    case kSaveSong:
        SaveSong(false);
        break;
    case kSaveAs:
        SaveSong(true);
        break;
    case kRenameSong:
        RenameSong();
        break;
    case kExit:
        Exit();
        break;
    case kKeyAssignments:
    case kHelpQuickKeys:
        EditKeyAssignments();
        break;
    case kHelpContents:
        ShowHelp("index.html");
        break;
    case kVoiceSettings:
        if (INIFile* ini = INIFile::Global())
            WaveToNoteSettingsDialog::Edit(frame_.get(), *ini);
        break;
    case kHelpMouse:
        ShowHelp("mouse.html");
        break;
    case kHelpToolbar:
        ShowHelp("toolbar.html");
        break;
    case kHelpTroubleshooting:
        ShowHelp("troubleshooting.html");
        break;
    case kUndo:
        if (active_)
            active_->Undo();
        break;
    case kRedo:
        if (active_)
            active_->Redo();
        break;
    case kBasicMode:
        SetMode(false);
        break;
    case kAdvancedMode:
        SetMode(true);
        break;
    case kCascade:
        Cascade();
        break;
    case kPrint:
        Print();
        break;
    case kPrintPreview:
        PrintPreviewCommand();
        break;
    case kPrintSetup:
        PrintSetup();
        break;
    case kTile:
        Tile();
        break;
    case kDefineDeviceType:
        DefineDeviceTypes();
        break;
    case kDefineController:
        ControllerListDialog::Run(frame_.get());
        break;
    default:
        ToggleOption(id);
        break;
    }
}

bool TVorlaune::CommandEnabled(int id) const {
    using namespace cmd;
    if (id >= kHistoryFirst && id < kHistoryFirst + kHistoryCount)
        return static_cast<std::size_t>(id - kHistoryFirst) < history_.Count();
    if (id >= kOutputFirst && id < kOutputFirst + kOutputCount)
        return static_cast<std::size_t>(id - kOutputFirst) < ports_.size();
    if (id >= kWindowFirst && id < kWindowFirst + kWindowCount)
        return static_cast<std::size_t>(id - kWindowFirst) < windows_.size();
    const MenuCommand* command = FindCommand(id);
    if (!command)
        return false;
    // Without a song only the items of the no-song menu can be chosen.
    if (!active_ && !command->inNoSongMenu && id != kMidiMapper)
        return false;
    switch (command->enable) {
    case MenuCommand::Enable::Always:
        return true;
    case MenuCommand::Enable::WithSong:
        return active_ != nullptr || command->inNoSongMenu;
    case MenuCommand::Enable::WithFileName:
        return active_ && active_->Document().HasFileName();
    case MenuCommand::Enable::CanUndo:
        return active_ && active_->Document().Commands().CanUndo();
    case MenuCommand::Enable::CanRedo:
        return active_ && active_->Document().Commands().CanRedo();
    case MenuCommand::Enable::CanDeleteView:
        return active_ && active_->Views().size() > 1;
    }
    return false;
}

bool TVorlaune::CommandChecked(int id) const {
    using namespace cmd;
    if (id == kMidiMapper)
        return outputDevice_ == -1;
    if (id >= kOutputFirst && id < kOutputFirst + kOutputCount)
        return outputDevice_ == id - kOutputFirst;
    if (!active_)
        return false;
    switch (id) {
    case kPlayOnHesitation:
        return active_->OptionOn(TMDIDialog::kHesitatePlay);
    case kPlayOnlyCurrentView:
        return active_->OptionOn(TMDIDialog::kPlayOnlyCurrentView);
    case kAutoRewind:
        return active_->OptionOn(TMDIDialog::kAutoRewind);
    case kMovePitchToKey:
        return active_->OptionOn(TMDIDialog::kMovePitchToKey);
    case kShowNotePlacement:
        return active_->OptionOn(TMDIDialog::kShowNotePlacement);
    case kShowLyrics:
        return active_->OptionOn(TMDIDialog::kShowLyrics);
    case kShowControllerGraph:
        return active_->OptionOn(TMDIDialog::kShowControllerGraph);
    case kPlayOnRecord:
        return active_->OptionOn(TMDIDialog::kPlayDuringRecord);
    default:
        return false;
    }
}

void TVorlaune::ShowHelp(const char* page) {
    if (!help_)
        help_ = new HelpWindow(ResourceDirectory() / "help", frame_.get());
    help_->Show(page);
}

void TVorlaune::EditKeyAssignments() {
    // Keys are being chosen, not pressed for their operations.
    keys_.SetEnabled(false);
    KeyTranslationDialog::Edit(frame_.get(), translator_);
    keys_.SetEnabled(true);
}

void TVorlaune::SetNextMidiInput(std::shared_ptr<MidiInputSystem> inputs) {
    nextMidiInput_ = std::move(inputs);
}

std::shared_ptr<MidiInputSystem> TVorlaune::TakeMidiInput() {
    if (nextMidiInput_)
        return std::exchange(nextMidiInput_, nullptr);
    return std::make_shared<RtMidiInputSystem>();
}

void TVorlaune::Later(int id) {
    const MenuCommand* command = FindCommand(id);
    const QString what = command ? PlainText(command->text) : QString("This command");
    ShowMessage(kAppTitle,
                AString((what + " is not available in this version of Vorlaune.").toStdString()),
                MessageIcon::Information);
}

// Songs hold their device definitions read; edited ones are read again.
void TVorlaune::DefineDeviceTypes() {
    DeviceListDialog::Run(frame_.get());
    for (TMDIDialog* window : windows_)
        window->RefreshDevice();
}

// --- printing ------------------------------------------------------------------------

QPrinter& TVorlaune::Printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // The page of the command line's export, so that both lay out alike.
        printer_->setResolution(StaffExport::kDeviceDpi);
        printer_->setPageLayout(StaffExport::DefaultPageLayout());
        printer_->setDocName("Music Printout Title");
    }
    return *printer_;
}

namespace {

// The active view's page painter, or a message saying why there is none.
std::unique_ptr<PagePainter> PainterOf(TMDIDialog* window) {
    SubWindow* view = window ? window->ActiveView() : nullptr;
    std::unique_ptr<PagePainter> painter = view ? view->MakePrinter() : nullptr;
    if (!painter)
        ShowMessage(kAppTitle, "This view cannot be printed.", MessageIcon::Information);
    return painter;
}

// Zero pages: the song is empty, or too long to print (the printer says why).
bool Printable(PagePainter& painter, int pages) {
    if (pages > 0)
        return true;
    const std::string why = painter.Refusal();
    ShowMessage(kAppTitle, why.empty() ? "There is nothing to print." : why,
                MessageIcon::Information);
    return false;
}

} // namespace

void TVorlaune::Print() {
    std::unique_ptr<PagePainter> painter = PainterOf(active_);
    if (!painter)
        return;
    QPrinter& printer = Printer();
    const int pages = CountPrinterPages(*painter, printer);
    if (!Printable(*painter, pages))
        return;
    QPrintDialog dialog(&printer, frame_.get());
    dialog.setMinMax(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const bool range = printer.printRange() == QPrinter::PageRange;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool printed = PrintPages(*painter, printer, range ? printer.fromPage() : 1,
                                    range ? printer.toPage() : pages);
    QApplication::restoreOverrideCursor();
    if (!printed)
        ShowMessage(kAppTitle, "The printer could not be started.", MessageIcon::Exclamation);
}

void TVorlaune::PrintPreviewCommand() {
    std::unique_ptr<PagePainter> painter = PainterOf(active_);
    if (!painter)
        return;
    QPrinter& printer = Printer();
    PrintPreview preview(frame_.get(), *painter, printer);
    if (!Printable(*painter, preview.PageCount()))
        return;
    preview.resize(1240, 900);
    if (preview.exec() == QDialog::Accepted && preview.PrintAsked())
        Print();
}

void TVorlaune::PrintSetup() {
    QPageSetupDialog dialog(&Printer(), frame_.get());
    dialog.exec();
}

void TVorlaune::ToggleOption(int id) {
    using namespace cmd;
    if (!active_)
        return;
    TMDIDialog::Option option;
    switch (id) {
    case kPlayOnHesitation:
        option = TMDIDialog::kHesitatePlay;
        break;
    case kPlayOnlyCurrentView:
        option = TMDIDialog::kPlayOnlyCurrentView;
        break;
    case kAutoRewind:
        option = TMDIDialog::kAutoRewind;
        break;
    case kMovePitchToKey:
        option = TMDIDialog::kMovePitchToKey;
        break;
    case kShowNotePlacement:
        option = TMDIDialog::kShowNotePlacement;
        break;
    case kShowLyrics:
        option = TMDIDialog::kShowLyrics;
        break;
    case kShowControllerGraph:
        option = TMDIDialog::kShowControllerGraph;
        break;
    case kPlayOnRecord:
        option = TMDIDialog::kPlayDuringRecord;
        break;
    default:
        return;
    }
    active_->SetOption(option, !active_->OptionOn(option));
}

// --- keys ----------------------------------------------------------------------------

bool TVorlaune::OfferKey(int qtKey, Qt::KeyboardModifiers modifiers, bool dispatch) {
    VirtualKeyPress press;
    if (!TranslateQtKey(qtKey, modifiers, press))
        return false;
    const KeyDispatch::Result route =
        keys_.Route(press.key, press.shift, press.ctrl, press.alt, active_ != nullptr);
    if (route.action == KeyDispatch::Action::None)
        return false;
    if (!dispatch)
        return true;
    if (route.action == KeyDispatch::Action::Undo)
        active_->Undo();
    else
        active_->KeyOperationCommand(route.operation);
    return true;
}

// --- opening -------------------------------------------------------------------------

void TVorlaune::NewSong() {
    OpenWindow(std::make_unique<SongDocument>());
}

bool TVorlaune::OpenFile(const std::string& name) {
    // Songs keep their full name: cues and the history must not depend on where the
    // program was started.
    const QFileInfo info(QString::fromStdString(name));
    const std::string file = info.absoluteFilePath().toStdString();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FileResult loaded;
    std::unique_ptr<SongDocument> document = SongDocument::Open(file, &loaded);
    QApplication::restoreOverrideCursor();
    TMDIDialog* previous = active_;
    if (!document) {
        ShowMessage(MidiReader::kReadErrorTitle, loaded.Explain(MidiReader::kReadErrorText),
                    MessageIcon::Exclamation);
        if (previous)
            previous->SongChanged();
        return false;
    }
    openSaveDir_ = info.absolutePath().toStdString();
    environment_.Settings().WriteString("OPENSAVEDIR", AString(openSaveDir_));
    history_.AddFront(info.absoluteFilePath().toStdString());
    OpenWindow(std::move(document));
    return true;
}

void TVorlaune::OpenDocument(std::unique_ptr<SongDocument> document) {
    OpenWindow(std::move(document));
}

void TVorlaune::OpenSong() {
    FileRequest request;
    request.mode = FileRequest::Mode::Open;
    request.title = "Open Song";
    request.filter = kMidiOpenFilter;
    request.defaultSuffix = "MID";
    request.directory = AString(openSaveDir_);
    std::string file;
    if (!ChooseFile(request, file))
        return;
    OpenFile(file);
}

void TVorlaune::OpenHistory(int index) {
    const std::string file = history_.Take(static_cast<std::size_t>(index));
    if (file.empty())
        return;
    FileResult loaded;
    std::unique_ptr<SongDocument> document = SongDocument::Open(file, &loaded);
    if (!document) {
        // A file that vanished leaves the history.
        InstallMenu(menuId_);
        ShowMessage(MidiReader::kReadErrorTitle, loaded.Explain(MidiReader::kReadErrorText),
                    MessageIcon::Exclamation);
        return;
    }
    history_.AddFront(file);
    OpenWindow(std::move(document));
}

void TVorlaune::OpenWindow(std::unique_ptr<SongDocument> document) {
    // The empty song the program started with gives way to the first song opened.
    if (active_ && openState_ == 1 && windows_.size() == 1 &&
        active_->Document().GetSong().PointCount() == 0 && !active_->IsModified() &&
        !active_->Document().HasFileName()) {
        pending_ = std::move(document);
        if (QMdiSubWindow* sub = SubWindowOf(active_))
            sub->close();
        return;
    }
    openState_ = windows_.empty() && openState_ == 0 ? 1 : 2;
    const std::string name = document->HasFileName() ? document->FilePath().string() : "";
    if (IsChordFile(name))
        ShowMessage(kAppTitle, kChordsNotice, MessageIcon::Information);

    Song& song = document->GetSong();
    advanced_ = song.TrackCount() > 0 && !song.TracksConsistent();
    document->AttachCues(guts_.get());
    auto* window = new TMDIDialog(*this, std::move(document), advanced_);
    QMdiSubWindow* sub = frame_->Area()->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->setWindowIcon(QApplication::windowIcon());
    const WindowLayout::Placement place = layout_.Place(cascadeStep_);
    sub->setGeometry(place.x, place.y, place.width, place.height);
    windows_.push_back(window);
    window->RefreshCaption();
    InstallMenu(advanced_ ? cmd::kMenuAdvanced : cmd::kMenuBasic);
    if (windows_.size() == 1 || place.maximised)
        sub->showMaximized();
    else
        sub->show();
    frame_->Area()->setActiveSubWindow(sub);
    WindowActivated(window);
    QMetaObject::invokeMethod(window, &TMDIDialog::FirstLayout, Qt::QueuedConnection);
    RefreshChecks();
    cascadeStep_ = (cascadeStep_ + 1) % 5;
}

// --- saving --------------------------------------------------------------------------

bool TVorlaune::SaveWindow(TMDIDialog* window, const std::string& file, bool addToHistory) {
    if (!window)
        return false;
    SongDocument& document = window->Document();
    std::string target = file;
    if (target.empty()) {
        FileRequest request;
        request.mode = FileRequest::Mode::Save;
        request.title = "Save As";
        request.filter = kMidiSaveFilter;
        request.defaultSuffix = "MID";
        request.directory = AString(openSaveDir_);
        if (!ChooseFile(request, target))
            return false;
        addToHistory = true;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FileResult saved = document.SaveAs(target);
    QApplication::restoreOverrideCursor();
    if (!saved) {
        ShowMessage(kAppTitle, saved.Explain("An error occurred\nsaving the file." + target + "."),
                    MessageIcon::Exclamation);
        return false;
    }
    window->MarkSaved();
    if (addToHistory) {
        history_.AddFront(
            QFileInfo(QString::fromStdString(target)).absoluteFilePath().toStdString());
        InstallMenu(menuId_);
    }
    return true;
}

void TVorlaune::SaveSong(bool askName) {
    if (!active_)
        return;
    SongDocument& document = active_->Document();
    if (!askName && document.HasFileName())
        SaveWindow(active_, document.FilePath().string(), false);
    else
        SaveWindow(active_, "", true);
    RefreshChecks();
}

void TVorlaune::RenameSong() {
    if (!active_ || !active_->Document().HasFileName())
        return;
    SongDocument& document = active_->Document();
    FileRequest request;
    request.mode = FileRequest::Mode::Save;
    request.title = "Rename Song";
    request.filter = kMidiRenameFilter;
    request.defaultSuffix = "MID";
    request.directory = AString(document.FilePath().parent_path().string());
    request.initialName = AString(document.FilePath().string());
    std::string target;
    if (!ChooseFile(request, target))
        return;
    std::string note;
    if (const FileResult renamed = document.Rename(target, &note); !renamed) {
        ShowMessage("Write Error:", renamed.Explain("An Error Occurred\nSaving " + target + "."),
                    MessageIcon::Exclamation);
        return;
    }
    active_->MarkSaved();
    history_.ReplaceFirst(
        QFileInfo(QString::fromStdString(target)).absoluteFilePath().toStdString());
    InstallMenu(menuId_);
    ShowMessage(kAppTitle, "Save Successful.", MessageIcon::Information);
    if (!note.empty())
        ShowMessage(kAppTitle, AString(note), MessageIcon::Exclamation);
    active_->SongChanged();
}

void TVorlaune::AutosaveWindow(TMDIDialog* window) {
    if (!window || !recovery_)
        return;
    // At the keeper's pace ("AutosaveMinutes"), which autosaves on its own ticks too.
    recovery_->AutosaveIfDue(window->Document(), QDateTime::currentMSecsSinceEpoch());
}

// Copies of the modified songs for the case that the program does not end the ordinary
// way, and the crash log's list of songs.
void TVorlaune::KeepRecovery() {
    if (!recovery_)
        return;
    std::vector<SongDocument*> open;
    for (TMDIDialog* window : windows_)
        if (!window->Closing())
            open.push_back(&window->Document());
    recovery_->Tick(open, QDateTime::currentMSecsSinceEpoch());
}

// --- windows -------------------------------------------------------------------------

void TVorlaune::WindowActivated(TMDIDialog* window) {
    if (!window || window == active_)
        return;
    active_ = window;
    Song& song = window->Document().GetSong();
    const bool advanced = song.TrackCount() > 0 && !song.TracksConsistent();
    if (advanced != advanced_ || menuId_ == cmd::kMenuNoSong) {
        advanced_ = advanced;
        InstallMenu(advanced_ ? cmd::kMenuAdvanced : cmd::kMenuBasic);
    }
    UndoStateChanged(window);
    RefreshChecks();
}

void TVorlaune::UndoStateChanged(TMDIDialog* window) {
    if (window != active_ || !frame_)
        return;
    const CommandProcessor& commands = window->Document().Commands();
    frame_->SetItemText(cmd::kUndo, QString::fromStdString(UndoItemText(commands).str()));
    frame_->SetItemText(cmd::kRedo, QString::fromStdString(RedoItemText(commands).str()));
    RefreshChecks();
}

void TVorlaune::RefreshChecks() {
    if (!frame_)
        return;
    frame_->RefreshItems();
}

void TVorlaune::WindowClosed(TMDIDialog* window) {
    Song* song = &window->Document().GetSong();
    if (playing_ == window || guts_->PlayingSong() == song) {
        guts_->StopRequest();
        playing_ = nullptr;
    }
    // Nothing the player still posts reaches the window or its song from here on.
    guts_->SongClosing(song);
    closed_.push_back(window);
    if (active_ == window) {
        active_ = nullptr;
        for (TMDIDialog* other : windows_)
            if (other != window &&
                std::find(closed_.begin(), closed_.end(), other) == closed_.end()) {
                frame_->Area()->setActiveSubWindow(SubWindowOf(other));
                WindowActivated(other);
                break;
            }
    }
    QCoreApplication::postEvent(this, new PostedMessage(cmd::kDestroyClosed, 0));
}

void TVorlaune::DestroyClosed() {
    if (closed_.empty())
        return;
    TMDIDialog* window = closed_.front();
    closed_.erase(closed_.begin());
    std::erase(windows_, window);
    if (QMdiSubWindow* sub = SubWindowOf(window)) {
        frame_->Area()->removeSubWindow(sub);
        delete sub;
    } else {
        delete window;
    }
    if (pending_) {
        OpenWindow(std::move(pending_));
        return;
    }
    if (windows_.empty())
        guts_->DeleteAudioWAVFiles();
    if (!closing_) {
        InstallMenu(windows_.empty() ? cmd::kMenuNoSong : menuId_);
        RefreshChecks();
    } else if (windows_.empty()) {
        frame_->close();
    }
}

void TVorlaune::ActivateListed(int index) {
    if (index < 0 || index >= static_cast<int>(windows_.size()))
        return;
    TMDIDialog* window = windows_[static_cast<std::size_t>(index)];
    if (QMdiSubWindow* sub = SubWindowOf(window)) {
        frame_->Area()->setActiveSubWindow(sub);
        sub->raise();
    }
    WindowActivated(window);
}

void TVorlaune::Cascade() {
    const int caption = frame_->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    int x = 0, y = 0;
    for (TMDIDialog* window : windows_) {
        QMdiSubWindow* sub = SubWindowOf(window);
        if (!sub)
            continue;
        sub->showNormal();
        sub->setGeometry(x, y, layout_.cascadeWidth, layout_.cascadeHeight);
        x += caption + 4;
        y += caption + 2;
    }
    if (QMdiSubWindow* sub = SubWindowOf(active_))
        sub->raise();
}

void TVorlaune::Tile() {
    const QRect area = frame_->Area()->viewport()->rect();
    const int n = static_cast<int>(windows_.size());
    if (n == 0)
        return;
    const int height = area.height() / n;
    int y = 0;
    for (TMDIDialog* window : windows_) {
        QMdiSubWindow* sub = SubWindowOf(window);
        if (!sub)
            continue;
        sub->showNormal();
        sub->setGeometry(0, y, area.width(), height);
        y += height;
    }
    if (QMdiSubWindow* sub = SubWindowOf(active_))
        frame_->Area()->setActiveSubWindow(sub);
}

void TVorlaune::InstallMenu(int menuId) {
    if (!frame_)
        return;
    menuId_ = menuId;
    std::vector<std::string> captions;
    for (TMDIDialog* window : windows_)
        captions.push_back(window->Caption().toStdString());
    frame_->InstallMenu(menuId, history_.Entries(), ports_, captions);
    if (active_)
        UndoStateChanged(active_);
}

bool TVorlaune::BasicCompatible(const TMDIDialog& window) {
    const Song& song = window.Document().GetSong();
    return song.TrackCount() == 0 || song.TracksConsistent();
}

void TVorlaune::SetMode(bool advanced) {
    if (!advanced && active_ && !BasicCompatible(*active_)) {
        ShowMessage(kAppTitle,
                    "Basic mode cannot be used\nwhen the song has more\nthan one channel or\n"
                    "instrument per track.",
                    MessageIcon::Stop);
        return;
    }
    advanced_ = advanced;
    environment_.Settings().WriteInt("AdvancedMode", advanced ? 1 : 0);
    for (TMDIDialog* window : windows_)
        window->SetAdvanced(advanced);
    InstallMenu(advanced ? cmd::kMenuAdvanced : cmd::kMenuBasic);
}

void TVorlaune::ChooseOutput(int id) {
    const int device = id == cmd::kMidiMapper ? -1 : id - cmd::kOutputFirst;
    if (device >= static_cast<int>(ports_.size()))
        return;
    if (guts_->Player().MMSystemInUse())
        guts_->StopRequest();
    outputDevice_ = device;
    guts_->Player().SetOutputDevice(device);
    environment_.Settings().WriteInt("DEFAULTOUTPUT", device);
    RefreshChecks();
}

// --- shutting down -------------------------------------------------------------------

void TVorlaune::Exit() {
    frame_->close();
}

bool TVorlaune::MayCloseFrame() {
    if (guts_->Player().MMSystemInUse())
        guts_->StopRequest();
    std::vector<TMDIDialog*> open;
    for (TMDIDialog* window : windows_)
        if (std::find(closed_.begin(), closed_.end(), window) == closed_.end())
            open.push_back(window);
    if (!open.empty()) {
        if (closing_)
            return false; // the windows are on their way out
        closing_ = true;
        for (TMDIDialog* window : open) {
            if (!window->MayClose()) {
                closing_ = false;
                for (TMDIDialog* other : open)
                    other->CancelClose();
                return false;
            }
        }
        for (TMDIDialog* window : open)
            if (QMdiSubWindow* sub = SubWindowOf(window))
                sub->close();
        return false; // the last window destroyed closes the frame again
    }
    if (!closed_.empty())
        return false;
    KeepRecovery(); // nothing is open: this run's copies go
    history_.Save(environment_.Settings());
    finished_ = true;
    emit finished();
    return true;
}

bool TVorlaune::Idle() const {
    return !guts_->Player().MMSystemInUse() && guts_->PlayingSong() == nullptr && closed_.empty();
}

void TVorlaune::customEvent(QEvent* event) {
    if (event->type() != PostedMessage::EventType())
        return;
    const auto* posted = static_cast<PostedMessage*>(event);
    switch (posted->Message()) {
    case cmd::kPlayPosition:
        if (playing_)
            playing_->OnPlayPosition(guts_->Player().GetTickTime());
        break;
    case cmd::kDestroyClosed:
        DestroyClosed();
        break;
    case cmd::kForceCtrl:
        keys_.ForceCtrl(true);
        break;
    case cmd::kReleaseCtrl:
        keys_.ForceCtrl(false);
        break;
    default:
        guts_->HandlePlayerMessage(posted->Message());
        break;
    }
}

// --- wave recording ------------------------------------------------------------------

std::unique_ptr<AudioCaptureSource> TVorlaune::NextCaptureSource() {
    if (micIn_.empty())
        return std::make_unique<PortAudioCaptureSource>();
    auto source = std::make_unique<WaveFileCaptureSource>(micIn_.front());
    micIn_.pop_front();
    micInFinished_ = source->FinishedFlag();
    return source;
}

void TVorlaune::QueueMicIn(const std::string& file) {
    micIn_.push_back(file);
}

TVorlaune::MicIn TVorlaune::MicInState() const {
    if (micInFinished_)
        return micInFinished_->load(std::memory_order_acquire) ? MicIn::Finished : MicIn::Playing;
    return micIn_.empty() ? MicIn::None : MicIn::Playing;
}

void TVorlaune::ForgetMicIn() {
    micInFinished_.reset();
}
