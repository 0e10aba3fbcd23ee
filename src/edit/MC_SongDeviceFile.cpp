#include "edit/MC_SongDeviceFile.h"

MC_SongDeviceFile::MC_SongDeviceFile(Song& song, AString fileName)
    : CPCommand(kCmdSongDeviceFile), song_(song), fileName_(std::move(fileName)),
      oldFileName_(song.DeviceFile()) {}

void MC_SongDeviceFile::Execute() {
    song_.SetDeviceFile(fileName_);
}
