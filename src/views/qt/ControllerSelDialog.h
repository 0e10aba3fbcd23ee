#pragma once

#include <QDialog>
#include <cstdint>

class MidiDevice;
class QListWidget;

// "Controller Selection": pitch bend or one of the 128 controllers, named where the
// song's device defines them. Bank select is refused and the dialog stays.
class ControllerSelDialog : public QDialog {
    Q_OBJECT
public:
    ControllerSelDialog(QWidget* parent, const MidiDevice* device, std::uint8_t controller);
    std::uint8_t Chosen() const;
    QListWidget* List() const { return list_; }
    static bool Ask(QWidget* parent, const MidiDevice* device, std::uint8_t& controller);

    void accept() override;

private:
    QListWidget* list_ = nullptr;
};
