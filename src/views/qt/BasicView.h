#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "edit/NoteEditor.h"
#include "model/ViewFilter.h"
#include "views/qt/SubWindow.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QPushButton;
class SubWindowMaker;

// Where a view puts new notes: track, channel and instrument.
using ViewPlacement = NoteEditor::Placement;

// A view with its filter and the tool strip every kind carries: view kind, filter
// button, placement track, channel and instrument, the note-length buttons with dot and
// triplet, and Close View. The strip's controls stand where the tool strip template puts
// them.
class BasicView : public SubWindow {
    Q_OBJECT
public:
    static constexpr int kStripHeight = 30;

    // Without a template (`strip` null) the strip holds only the kind list and Close View,
    // as the Message view has it.
    BasicView(Song& song, ViewCallbacks callbacks, const ViewFilter& filter,
              const ViewPlacement& placement, const SubWindowMaker* strip, int tooltipLevel,
              QWidget* parent = nullptr);
    ~BasicView() override;

    const ViewFilter& Filter() const { return filter_; }
    ViewFilter& Filter() { return filter_; }
    const ViewPlacement& Placement() const { return placement_; }

    // Opens the View Filter Selection dialog.
    void ChooseFilter();
    // Rebuilds the strip's lists from the song and the filter.
    void RefreshStrip();
    void TrackDeleted(std::size_t track) override;
    void TrackRestored(std::size_t track) override;

    // The strip's controls, for tests and the script driver.
    QComboBox* KindList() const { return kind_; }
    QPushButton* FilterButton() const { return filterButton_; }
    QComboBox* TrackList() const { return trackList_; }
    QComboBox* ChannelList() const { return channelList_; }
    QComboBox* InstrumentList() const { return instrumentList_; }
    QAbstractButton* LengthButton(int index) const {
        return lengths_[static_cast<std::size_t>(index)];
    }
    QAbstractButton* DotButton() const { return dot_; }
    QAbstractButton* TripletButton() const { return triplet_; }

protected:
    // The note views keep the length buttons in step with their current note.
    virtual void LengthPressed(int /*button*/) {}
    virtual void DotToggled(bool /*on*/) {}
    virtual void TripletToggled(bool /*on*/) {}
    void ShowLengths(int button, bool dot, bool triplet);
    // Where the view's own drawing starts, below the strip.
    int ContentTop() const { return kStripHeight; }

    ViewFilter filter_;
    ViewPlacement placement_;

private:
    void BuildStrip(const SubWindowMaker& strip, int tooltipLevel);
    void BuildShortStrip(int tooltipLevel);
    void InstrumentChosen(int index);
    void ChooseBank();
    void AskToChangeTrack(const char* what);

    QComboBox* kind_ = nullptr;
    QPushButton* filterButton_ = nullptr;
    QComboBox* trackList_ = nullptr;
    QComboBox* channelList_ = nullptr;
    QComboBox* instrumentList_ = nullptr;
    std::array<QAbstractButton*, 7> lengths_{};
    QButtonGroup* lengthGroup_ = nullptr;
    QAbstractButton* dot_ = nullptr;
    QAbstractButton* triplet_ = nullptr;
    QPushButton* close_ = nullptr;
    bool filling_ = false; // the lists are being filled: their signals mean nothing
    // Track deletions this view was told of, latest last, for their undo.
    struct RemovedTrack {
        ViewFilter::TrackRemoval removal;
        std::uint16_t placementTrack;
    };
    std::vector<RemovedTrack> removedTracks_;
};
