#pragma once

class INIFile;
class QWidget;

// "Voice/Wave To Note Settings": the converter's settings a person tunes, read from the
// settings file and written back on OK.
namespace WaveToNoteSettingsDialog {
// False on Cancel or when the settings could not be written (said so).
bool Edit(QWidget* parent, INIFile& ini);
} // namespace WaveToNoteSettingsDialog
