#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "util/Messages.h"

class QDialogButtonBox;
class QLayout;
class QWidget;

// The frame of the device and controller dialogs: the dialog's own layout above OK and
// Cancel, and a check that may refuse OK. A refusal is shown and the dialog stays open
// with what the user typed.
class DefinitionDialog : public QDialog {
    Q_OBJECT
public:
    DefinitionDialog(QWidget* parent, const QString& title);

    void SetCheck(std::function<std::optional<Message>()> check) { check_ = std::move(check); }
    void done(int result) override;

    // Names an input after its label, without the colon: scripts and screen readers find
    // it by that name.
    static QWidget* Named(QWidget* field, QString label);

protected:
    // Puts the body and the buttons into the dialog; `cancel` false leaves only OK.
    void Finish(QLayout* body, bool cancel = true);

private:
    std::function<std::optional<Message>()> check_;
};
