#pragma once

#include <QString>

#include "util/Messages.h"

class QWidget;

// Shows messages in Qt message boxes and asks for files in Qt file dialogs, over
// `parent`.
class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    MessageAnswer Show(const Message& message) override;
    bool ChooseFile(const FileRequest& request, std::string& chosen) override;

    // "MIDI Files (*.MID,*.RMI)|*.mid|" as a Qt name filter: "MIDI Files (*.mid)".
    static QString NameFilter(const AString& filter);

private:
    QWidget* parent_;
};
