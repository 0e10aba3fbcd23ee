#pragma once

#include "devices/SongDeviceChoice.h"
#include "devices/qt/DefinitionDialog.h"

class QComboBox;

// "Song Device Selection": which device definition a song is written for.
class DeviceSelDialog : public DefinitionDialog {
    Q_OBJECT
public:
    DeviceSelDialog(QWidget* parent, const AString& songDeviceFile);
    const AString& Chosen() const { return chosen_; }

    // True with the chosen device file when the user pressed OK on a device.
    static bool Ask(QWidget* parent, const AString& songDeviceFile, AString& chosen);

private:
    SongDeviceChoice choice_;
    QComboBox* devices_ = nullptr;
    AString chosen_;
};
