#include "app/TrackPropertiesChoice.h"

#include "edit/MC_TrackProperties.h"
#include "model/Instruments.h"
#include "model/MidiMsg.h"
#include "model/Song.h"

Refusal TrackPropertiesChoice::Available(const Song& song) {
    if (song.TrackCount() == 0)
        return Refusal(kNoTracks, MessageIcon::Information);
    return {};
}

TrackPropertiesChoice TrackPropertiesChoice::For(const Song& song, std::size_t track) {
    TrackPropertiesChoice c;
    if (song.TrackCount() == 0)
        return c;
    track = std::min(track, song.TrackCount() - 1);
    std::uint8_t channel = kNoChannel, program = kNoProgram;
    std::int32_t bank = -1;
    song.GetTrackProperties(track, channel, program, bank);
    c.track = static_cast<int>(track) + 1;
    c.channel = channel < 16 ? channel : kNoDefaultChannel;
    c.instrument = program < 128 ? program : kNoDefaultInstrument;
    c.bank = c.BankUsed() && bank >= 0 && bank <= kMaxBank ? bank : -1;
    return c;
}

AString TrackPropertiesChoice::ChannelText(int index) {
    if (index >= 0 && index < kNoDefaultChannel)
        return AString("Channel ") + AString::FromInt(index + 1);
    return AString(kNoDefault);
}

AString TrackPropertiesChoice::InstrumentText(int index) {
    if (index >= 0 && index < kNoDefaultInstrument)
        return AString(InstrumentName(index));
    return AString(kNoDefault);
}

Refusal TrackPropertiesChoice::Make(Song& song, std::unique_ptr<CPCommand>& command) const {
    command.reset();
    if (Refusal r = Available(song))
        return r;
    if (track < 1 || static_cast<std::size_t>(track) > song.TrackCount())
        return AString("There is no track #") + AString::FromInt(track) + ".";
    if (channel < 0 || channel > kNoDefaultChannel || instrument < 0 ||
        instrument > kNoDefaultInstrument || bank < -1 || bank > kMaxBank)
        return "There is no such channel, instrument or bank.";
    const auto n = static_cast<std::size_t>(track - 1);
    const auto newChannel =
        channel < kNoDefaultChannel ? static_cast<std::uint8_t>(channel) : kNoChannel;
    const auto newProgram = BankUsed() ? static_cast<std::uint8_t>(instrument) : kNoProgram;
    const std::int32_t newBank = BankUsed() ? bank : -1;
    const TrackPropertiesChoice now = For(song, n);
    const bool channelChanges = newChannel != kNoChannel && channel != now.channel;
    const bool instrumentChanges =
        newProgram != kNoProgram && (instrument != now.instrument || newBank != now.bank);
    if (!channelChanges && !instrumentChanges)
        return {};
    command = std::make_unique<MC_TrackProperties>(song, static_cast<std::uint16_t>(n), newChannel,
                                                   newProgram, newBank);
    return {};
}
