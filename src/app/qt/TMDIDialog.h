#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/BarBeatScroll.h"
#include "app/Transport.h"
#include "devices/KeyOperation.h"
#include "views/ViewCallbacks.h"
#include "views/qt/BasicView.h"

class CPCommand;
struct DetectedNote;
class QAbstractButton;
class QScrollBar;
class SongDocument;
class SubWindow;
class TVorlaune;
class WaveCapture;
class ViewFilter;
struct ViewCallbacks;

// The window of one open song: a stack of views (one per track at first, at most ten),
// the horizontal scroll bar in bars and beats that all views share, the vertical one
// that moves through the stack, and the tool bar along the bottom with the option
// toggles, the transport and the push buttons. It owns the song's document.
class TMDIDialog : public QWidget, private TransportHost {
    Q_OBJECT
public:
    // The tool bar's option toggles, in their order.
    enum Option {
        kHesitatePlay,
        kPlayOnlyCurrentView,
        kAutoRewind,
        kMovePitchToKey,
        kShowNotePlacement,
        kShowLyrics,
        kShowControllerGraph,
        kPlayDuringRecord,
        kOptionCount
    };
    static constexpr int kToolBarHeight = 51;
    static constexpr int kScrollBarSize = 18;

    TMDIDialog(TVorlaune& app, std::unique_ptr<SongDocument> document, bool advanced,
               QWidget* parent = nullptr);
    ~TMDIDialog() override;

    SongDocument& Document() const { return *document_; }
    QString Caption() const;
    bool IsModified() const;
    void SetAdvanced(bool advanced) { advanced_ = advanced; }

    // Creates the views: one per track, at most ten, at least one.
    void FirstLayout();
    // Editing operations from keys and menus, for the active view; transport ones here.
    void KeyOperationCommand(KeyOperation op);
    // The song window's own commands (transport, views, Note menu items).
    void Command(int id);
    void Undo();
    void Redo();
    // Converts a recording to notes in the "Voice to MIDI Notes" dialog and, on OK,
    // inserts them at the cursor.
    void WaveToNotes(const std::filesystem::path& wave);
    // Asks to save a modified song: false when the user cancels. Once it agreed, the
    // window closes without asking again, unless CancelClose withdraws the agreement
    // (another window refused to let the program end).
    bool MayClose();
    void CancelClose();
    bool Closing() const { return closing_; }
    // After a save, or when the song was saved another way: the song counts as unchanged.
    void MarkSaved();
    // The song changed outside the views (undo, redo, a track property): refresh all.
    void SongChanged();
    void RefreshCaption();
    // Reads the song's device definition again (after the definitions were edited).
    void RefreshDevice();

    bool OptionOn(Option option) const;
    void SetOption(Option option, bool on);
    double SnapTo() const { return snapTo_; }

    // The player's notices for this window.
    void OnPlayPosition(std::int32_t tick);
    void OnPlayStopped();
    Transport& GetTransport() { return transport_; }

    const std::vector<SubWindow*>& Views() const { return views_; }
    SubWindow* ActiveView() const;
    int ActiveViewIndex() const { return activeView_; }
    void ActivateView(int index);
    bool NewView();
    // Shows `view` as another kind (0 piano roll, 1 staff, 2 message), keeping its filter
    // and placement.
    void ChangeViewKind(SubWindow* view, int kind);
    void DeleteView(int index);
    const BarBeatScroll& Scroll() const { return scroll_; }
    void ScrollTo(std::int32_t tick);
    // The scroll bar's arrows and page steps, on the grid of bars and beats.
    bool ScrollLineRight();
    bool ScrollPageRight();

    // "Record Wave": records from the microphone into an audio cue at the cursor.
    void RecordWaveCommand();

    // The tool bar's buttons, for tests and the script driver.
    QAbstractButton* OptionButton(Option option) const {
        return options_[static_cast<std::size_t>(option)];
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // TransportHost
    bool PlayerBusy() const override;
    void StopPlayer() override;
    void StartPlayer(std::int32_t from, std::int32_t to) override;
    std::int32_t SongEnd() const override;
    std::int32_t TicksPerQuarter() const override;
    std::int32_t FirstVisibleTick() const override;
    std::int32_t LastVisibleTick() const override;
    void ScrollViewsTo(std::int32_t tick) override;
    void ShowPlayBar(std::int32_t tick) override;
    std::int32_t NextEventTime(std::int32_t tick) const override;

    void BuildToolBar();
    SubWindow* MakeView(int kind, const ViewFilter& filter, int track);
    SubWindow* MakeView(int kind, const ViewFilter& filter, const ViewPlacement& placement);
    ViewCallbacks Callbacks();
    void LayoutViews();
    void CloseView(SubWindow* view);
    void ScrollChanged();
    void HorizontalAction(int action);
    void ViewChanged(bool songChanged);
    void ChangeTrackInstrument(std::uint16_t track, std::uint8_t program, std::int32_t bank);
    void Tick();
    void OptionPressed(Option option, bool on);
    void LaterFeature(const char* what);
    // The song-level dialogs (properties, tempo, signatures, Delete Track).
    void SongCommand(int id);
    // Views hear of a track deletion, and of its undo, by track number.
    void TrackCommandDone(const CPCommand* command, bool undone);
    void SelectDeviceType();
    NoteEditorHost::AudioFileCheck CheckAudioFile(const AString& fileName, const MidiMsg& cue);
    // "Voice to MIDI Notes": a new take or a chosen file.
    void VoiceToNotes();
    // The folder a new take goes to: empty when there is none, or when the user keeps an
    // earlier take that was never placed (said or asked here).
    std::filesystem::path TakeFolder();
    // Converts `wave`, recording it first with `recorder` when one is given.
    void ConvertVoice(const std::filesystem::path& wave, WaveCapture* recorder);
    void PlaceVoiceNotes(const std::vector<DetectedNote>& notes, int restMethod, std::int32_t at);

    TVorlaune& app_;
    std::unique_ptr<SongDocument> document_;
    std::vector<SubWindow*> views_;
    int activeView_ = -1;
    int firstShown_ = 0;
    BarBeatScroll scroll_;
    Transport transport_;
    QWidget* viewArea_ = nullptr;
    QScrollBar* horizontal_ = nullptr;
    QScrollBar* vertical_ = nullptr;
    QWidget* toolBar_ = nullptr;
    std::array<QAbstractButton*, kOptionCount> options_{};
    QTimer timer_;
    bool advanced_ = false;
    bool closing_ = false;
    bool agreed_ = false;
    bool laidOut_ = false;
    bool settingScroll_ = false;
    double snapTo_ = 1.0 / 16; // until the snap-to dialog exists: a sixteenth
    qint64 lastTick_ = 0;
    qint64 lastAutosave_ = 0;
};
