#include "playback/VorlauneGuts.h"

#include <algorithm>
#include <filesystem>

#include "model/Song.h"
#include "model/SongIter.h"
#include "model/ViewFilter.h"
#include "playback/MidiPlayer.h"
#include "playback/PostTarget.h"
#include "util/INIFile.h"
#include "util/Messages.h"

namespace {

constexpr const char* kSystemCaption = "MIDI System:";
constexpr const char* kErrorCaption = "Error:";
constexpr const char* kCuePrefix = "Audio:";

long ReadSetting(const char* key, long defaultValue) {
    INIFile* ini = INIFile::Global();
    return ini ? ini->ReadInt(key, defaultValue) : defaultValue;
}

} // namespace

VorlauneGuts::VorlauneGuts(std::unique_ptr<MidiPlayer> player) : player_(std::move(player)) {
    const long perRefill = ReadSetting("NumPlayEachTime", 200);
    messagesPerRefill_ = perRefill < 10 || perRefill > 400 ? 200 : static_cast<int>(perRefill);
    player_->SetDrawResolution(static_cast<std::int32_t>(ReadSetting("DrawResolution", 20)));
}

VorlauneGuts::~VorlauneGuts() {
    shuttingDown_ = true;
    cursor_.reset();
    player_.reset();
}

void VorlauneGuts::WarmUp() {
    player_->WarmUpMidiDriver();
}

void VorlauneGuts::Play(Song* song, std::int32_t start, std::int32_t end,
                        const ViewFilter* filter) {
    if (!song)
        return;
    if (player_->MMSystemInUse()) {
        // Stop first; the stopped message starts this request. Later ones are dropped.
        if (!restartPending_) {
            player_->SetToStopMusic();
            restartPending_ = true;
            pendingSong_ = song;
            pendingStart_ = start;
            pendingEnd_ = end;
            pendingFilter_ = filter ? std::make_unique<ViewFilter>(*filter) : nullptr;
        }
        return;
    }
    player_->SetTicksPerQuarter(song->TicksPerQuarter());
    player_->SetCueFolder(SongDirectory(*song));
    player_->SetDoesChannelSpecificInstrument(song->Device().ChannelSpecificInstruments() ? 1 : 0);
    programChangeTime_ = song->Device().ProgramChangeDelay();
    pendingDelta_ = 0;
    pendingFirst_ = 0;
    // A play that never started leaves no 402 to clear the tempo state.
    currentTempo_ = 0;
    lastNoteEnd_ = 0;
    nextTempoTick_ = kEndTick;
    nextTempo_ = 0;
    song_ = song;
    startTick_ = start;
    endTick_ = end;
    cursor_.reset();
    filter_.reset();
    if (filter) {
        filter_ = std::make_unique<ViewFilter>(*filter);
        filter_->SetKind(kAllKinds);
    }
    cursor_ = std::make_unique<SongIter>(*song, filter_.get());
    if (song->PointCount() == 0) {
        EndUnstarted();
        return;
    }
    cursor_->Seek(start);
    if (!Refill() || !player_->StartMusic()) {
        ShowMessage(kSystemCaption, player_->StatusText(), MessageIcon::Exclamation);
        EndUnstarted();
    }
}

// No stopped notice follows a play that never started, so its window hears of the end
// here; otherwise it would wait for that notice for ever.
void VorlauneGuts::EndUnstarted() {
    cursor_.reset();
    filter_.reset();
    song_ = nullptr;
    startTick_ = 0;
    endTick_ = kEndTick;
    currentTempo_ = 0;
    if (stopCallback_)
        stopCallback_();
}

void VorlauneGuts::StopRequest() {
    if (player_->MMSystemInUse())
        player_->SetToStopMusic();
}

bool VorlauneGuts::Refill() {
    bool first = true;
    std::int32_t tempoToSend = 0;
    if (currentTempo_ == 0) {
        // By index rather than the song's own tempo cursor, which views move while we play.
        currentTempo_ = song_->TempoAt(startTick_);
        nextTempoIndex_ = 0;
        std::int32_t tick = 0, tempo = 0;
        while (song_->GetTempo(nextTempoIndex_, tick, tempo) && tick <= startTick_)
            ++nextTempoIndex_;
        FetchNextTempo();
        tempoToSend = currentTempo_;
    }
    const std::uint64_t groupsBefore = groupsOpened_;
    const int limit = messagesPerRefill_ * 8;
    while (player_->NumMessagesInCurrentBuffer() < limit && !cursor_->AtEnd() &&
           cursor_->Tick() <= endTick_) {
        const std::int32_t tick = cursor_->Tick();
        std::int32_t delta = cursor_->SkippedDelta() + cursor_->Point()->delta;
        if (tick - delta < startTick_)
            delta = tick - startTick_;
        while (nextTempoTick_ <= tick) {
            const std::int32_t changeTick = nextTempoTick_;
            currentTempo_ = nextTempo_;
            FetchNextTempo();
            if (changeTick < tick) {
                // Nothing sounds where this change sits: it still takes effect there,
                // in a group of its own, not with the next notes.
                const std::int32_t before = tick - delta;
                if (tempoToSend > 0)
                    SendTempoGroup(0, before, first, tempoToSend);
                SendTempoGroup(changeTick - before, changeTick, first, currentTempo_);
                delta = tick - changeTick;
                tempoToSend = 0;
            } else {
                tempoToSend = currentTempo_;
            }
        }
        BuildGroup(delta, first, tempoToSend);
        first = false;
        tempoToSend = 0;
        cursor_->ResetSkippedDelta();
        cursor_->NextPoint();
    }
    if (groupsOpened_ == groupsBefore) {
        player_->AddMessageGroup(1, startTick_, 0);
        player_->AddBenignMessage();
    }
    if (cursor_->AtEnd() || cursor_->Tick() > endTick_) {
        // Tempo changes while the last notes still sound (a ritardando over the final
        // chord) would otherwise never reach the player.
        const std::int32_t lastPoint = cursor_->AtEnd() ? song_->LastTick() : cursor_->Tick();
        std::int32_t passed = lastPoint;
        while (nextTempoTick_ < lastNoteEnd_ && nextTempoTick_ > passed) {
            const std::int32_t changeTick = nextTempoTick_;
            currentTempo_ = nextTempo_;
            FetchNextTempo();
            SendTempoGroup(changeTick - passed, changeTick, first, currentTempo_);
            passed = changeTick;
        }
        if (cursor_->AtEnd()) {
            const std::int32_t closing = 2 * song_->TicksPerQuarter();
            player_->AddMessageGroup(std::max(closing - (passed - lastPoint), 0), song_->LastTick(),
                                     0);
            player_->AddBenignMessage();
        }
        player_->DoneWithMessageAdd();
    }
    return player_->AddDoneWithBlock();
}

void VorlauneGuts::FetchNextTempo() {
    std::int32_t tick = 0, tempo = 0;
    if (song_->GetTempo(nextTempoIndex_, tick, tempo)) {
        ++nextTempoIndex_;
        nextTempoTick_ = tick;
        nextTempo_ = tempo;
    } else {
        nextTempoTick_ = kEndTick;
        nextTempo_ = 0;
    }
}

void VorlauneGuts::SendTempoGroup(std::int32_t delta, std::int32_t tick, bool& first,
                                  std::int32_t tempo) {
    if (pendingFirst_)
        first = true;
    player_->AddMessageGroup(delta + pendingDelta_, tick, first ? 1 : 0);
    ++groupsOpened_;
    first = false;
    pendingDelta_ = 0;
    pendingFirst_ = 0;
    player_->AddTempoChange(tempo);
    player_->SetProgramChangeEffectTime(static_cast<unsigned>(programChangeTime_));
}

void VorlauneGuts::BuildGroup(std::int32_t delta, bool& first, std::int32_t tempoToSend) {
    if (pendingFirst_)
        first = true;
    const std::int32_t tick = cursor_->Tick();
    bool opened = false;
    const auto open = [&] {
        if (opened)
            return;
        player_->AddMessageGroup(delta + pendingDelta_, tick, first ? 1 : 0);
        ++groupsOpened_;
        first = false;
        opened = true;
    };
    if (tempoToSend > 0) {
        open();
        player_->AddTempoChange(tempoToSend);
        player_->SetProgramChangeEffectTime(static_cast<unsigned>(programChangeTime_));
    }
    const SongTimePoint* point = cursor_->Point();
    for (std::size_t i = 0; i < point->msgs.Count(); ++i) {
        const MidiMsg* msg = point->msgs[i];
        if (!cursor_->Matches(*msg))
            continue;
        switch (msg->kind) {
        case kMsgControlChange: {
            const auto& cc = static_cast<const MidiMsgControlChange&>(*msg);
            open();
            if (cc.controller == kPitchBend)
                player_->AddPitchBend(cc.channel, cc.value);
            else
                player_->AddControlChange(cc.channel, cc.controller, cc.value,
                                          IsCoarseController(cc.controller) ? 0 : 1);
            break;
        }
        case kMsgNote: {
            const auto& note = static_cast<const MidiMsgNote&>(*msg);
            open();
            const std::int32_t duration = std::min(note.duration, 65535);
            player_->AddNote(note.channel, note.key, duration, note.velocity, note.bank,
                             note.Program(), note.releaseVelocity);
            lastNoteEnd_ = std::max(lastNoteEnd_, tick + duration);
            break;
        }
        case kMsgText: {
            const auto& text = static_cast<const MidiMsgText&>(*msg);
            if (text.textType == 7 && text.text.Length() > 6 && text.text.StartsWith(kCuePrefix)) {
                open();
                player_->AddPlaySound(text.text.Mid(6));
            }
            break;
        }
        default:
            break; // other texts, system exclusive, meta events and aftertouch are not played
        }
    }
    if (!opened) {
        pendingDelta_ += delta;
        pendingFirst_ = first ? 1 : 0;
    } else {
        pendingDelta_ = 0;
        pendingFirst_ = 0;
    }
}

void VorlauneGuts::HandlePlayerMessage(std::uint32_t message) {
    switch (message) {
    case kPlayerWantsData:
        OnMoreData();
        break;
    case kPlayerStopped:
        OnStopped();
        break;
    case kPlayerError:
        OnError();
        break;
    default:
        break;
    }
}

void VorlauneGuts::OnMoreData() {
    if (!player_->MMSystemInUse() || !cursor_ || !song_ || cursor_->AtEnd() ||
        cursor_->Tick() > endTick_)
        return;
    if (!Refill())
        StopRequest();
}

void VorlauneGuts::OnStopped() {
    player_->StopMusic();
    cursor_.reset();
    filter_.reset();
    if (stopCallback_)
        stopCallback_();
    song_ = nullptr;
    startTick_ = 0;
    endTick_ = kEndTick;
    currentTempo_ = 0;
    nextTempoTick_ = kEndTick;
    nextTempo_ = 0;
    pendingDelta_ = 0;
    pendingFirst_ = 0;
    if (restartPending_) {
        restartPending_ = false;
        Song* song = pendingSong_;
        const std::unique_ptr<ViewFilter> filter = std::move(pendingFilter_);
        pendingSong_ = nullptr;
        Play(song, pendingStart_, pendingEnd_, filter.get());
    }
}

void VorlauneGuts::OnError() {
    // One message for whatever went wrong since the last one.
    const AString text = player_->TakeErrorText();
    if (!text.IsEmpty())
        ShowMessage(kErrorCaption, text, MessageIcon::Exclamation);
}

bool VorlauneGuts::SoundNoteOn(const MidiMsgNote& note) {
    const std::uint8_t channel = note.channel & 0x0F;
    if (!player_->MMSystemInUse()) {
        // Between plays the channel may hold another instrument.
        if (note.bank >= 0) {
            const std::uint8_t coarse[3] = {static_cast<std::uint8_t>(0xB0 | channel), 0,
                                            static_cast<std::uint8_t>((note.bank >> 7) & 0x7F)};
            const std::uint8_t fine[3] = {static_cast<std::uint8_t>(0xB0 | channel), 32,
                                          static_cast<std::uint8_t>(note.bank & 0x7F)};
            player_->SendLiveMidi(coarse, 3);
            player_->SendLiveMidi(fine, 3);
        }
        const std::uint8_t program[2] = {static_cast<std::uint8_t>(0xC0 | channel),
                                         static_cast<std::uint8_t>(note.instrument & 0x7F)};
        player_->SendLiveMidi(program, 2);
    }
    const std::uint8_t on[3] = {static_cast<std::uint8_t>(0x90 | channel),
                                static_cast<std::uint8_t>(note.key & 0x7F),
                                static_cast<std::uint8_t>(std::max(note.velocity & 0x7F, 1))};
    return player_->SendLiveMidi(on, 3);
}

void VorlauneGuts::SoundNoteOff(const MidiMsgNote& note) {
    const std::uint8_t off[3] = {static_cast<std::uint8_t>(0x80 | (note.channel & 0x0F)),
                                 static_cast<std::uint8_t>(note.key & 0x7F), 0};
    player_->SendLiveMidi(off, 3);
}

void VorlauneGuts::SongClosing(Song* song) {
    if (shuttingDown_ || !song)
        return;
    if (pendingSong_ == song) {
        restartPending_ = false;
        pendingSong_ = nullptr;
        pendingFilter_.reset();
    }
    if (song_ != song)
        return;
    cursor_.reset();
    song_ = nullptr;
    // The stop callback belongs to the window of the song that goes away; what is still
    // queued would play on to nobody.
    stopCallback_ = nullptr;
    StopRequest();
}

void VorlauneGuts::AddAudioWAVFile(const AString& file, const AString& baseDirectory) {
    player_->AddAudioWAVFile(file, baseDirectory);
}

void VorlauneGuts::DeleteAudioWAVFile(const AString& file) {
    player_->DeleteAudioWAVFile(file);
}

void VorlauneGuts::DeleteAudioWAVFiles() {
    player_->DeleteAudioWAVFiles();
}

AString VorlauneGuts::SongDirectory(const Song& song) {
    if (song.fileName.IsEmpty())
        return AString();
    return AString(std::filesystem::path(song.fileName.str()).parent_path().string());
}
