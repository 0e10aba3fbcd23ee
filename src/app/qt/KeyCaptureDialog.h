#pragma once

#include <QDialog>

#include "devices/qt/QtVirtualKey.h"

class QLabel;

// "Press a Key": takes the next key pressed, with the Shift, Ctrl and Alt held, as the
// key table names it. Keys the table cannot hold are refused with a message and the
// dialog waits for another.
class KeyCaptureDialog : public QDialog {
    Q_OBJECT
public:
    explicit KeyCaptureDialog(QWidget* parent);
    const VirtualKeyPress& Pressed() const { return pressed_; }

protected:
    // Tab and Backtab come here before the focus chain takes them.
    bool event(QEvent* event) override;

private:
    void Take(int qtKey, Qt::KeyboardModifiers modifiers);

    VirtualKeyPress pressed_;
};
