#include "devices/SongDeviceChoice.h"

SongDeviceChoice::SongDeviceChoice(const AString& songDeviceFile) {
    devices_.Load();
    preselected_ = devices_.IndexOf(songDeviceFile);
}

std::optional<Message> SongDeviceChoice::Choose(int selected, AString& fileName) const {
    if (selected < 0 || selected >= static_cast<int>(Entries().size()))
        return Message{kAppTitle, kNoChoice, MessageIcon::Stop, MessageButtons::Ok};
    fileName = Entries()[static_cast<std::size_t>(selected)].fileName;
    return std::nullopt;
}
