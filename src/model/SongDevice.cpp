#include "model/SongDevice.h"

#include "util/INIFile.h"

namespace {

SongDeviceLoader& Loader() {
    static SongDeviceLoader loader;
    return loader;
}

} // namespace

void SetSongDeviceLoader(SongDeviceLoader loader) {
    Loader() = std::move(loader);
}

std::unique_ptr<SongDevice> LoadSongDevice(const AString& fileName) {
    if (Loader())
        if (auto device = Loader()(fileName))
            return device;
    return std::make_unique<SongDevice>();
}

AString DefaultDeviceFileName() {
    AString name;
    if (INIFile* ini = INIFile::Global())
        name = ini->ReadValue("DEFAULTDEVICE");
    return name.IsEmpty() ? AString("GENERAL.MDV") : name;
}
