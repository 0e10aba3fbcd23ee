#include "edit/MC_TrackProperties.h"

#include "model/SongIter.h"

MC_TrackProperties::MC_TrackProperties(Song& song, std::uint16_t track, std::uint8_t channel,
                                       std::uint8_t program, std::int32_t bank)
    : CPCommand(kCmdTrackProperties), song_(song), track_(track), channel_(channel),
      program_(program), bank_(bank) {}

namespace {

// Calls `f` with every record of `track`, in song order.
template <class F> void ForEachRecord(Song& song, std::uint16_t track, F f) {
    for (SongTimeIter it(song); !it.AtEnd(); it.Next())
        for (MidiMsg* m : it.Point()->msgs)
            if (m->track == track)
                f(*m);
}

} // namespace

void MC_TrackProperties::Execute() {
    before_.clear();
    const Track* t = song_.GetTrack(track_);
    if (!t)
        return;
    before_.push_back({t->channel, t->program, t->bank});
    ForEachRecord(song_, track_, [this](MidiMsg& m) {
        const auto* note = m.kind == kMsgNote ? static_cast<const MidiMsgNote*>(&m) : nullptr;
        before_.push_back({m.channel, m.instrument, note ? note->bank : kNoBank});
    });
    song_.SetTrackProperties(track_, channel_, program_, bank_);
}

void MC_TrackProperties::Undo() {
    Track* t = song_.GetTrack(track_);
    if (!t || before_.empty())
        return;
    t->channel = before_[0].channel;
    t->program = before_[0].program;
    t->bank = before_[0].bank;
    std::size_t next = 1;
    ForEachRecord(song_, track_, [this, &next](MidiMsg& m) {
        if (next >= before_.size())
            return;
        const Use& use = before_[next++];
        m.channel = use.channel;
        if (m.kind == kMsgNote) {
            auto& note = static_cast<MidiMsgNote&>(m);
            note.instrument = use.program;
            note.bank = use.bank;
        }
    });
    song_.InvalidateTrackLookup();
}
