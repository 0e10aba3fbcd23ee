#pragma once

#include <QDialog>

class QListWidget;

// "Mouse Snap-To Resolution": the step by which Move Note moves a note, as a fraction
// of a whole note (0: none).
class SnapToDialog : public QDialog {
    Q_OBJECT
public:
    SnapToDialog(QWidget* parent, double current);
    double Chosen() const;
    static bool Ask(QWidget* parent, double& snap);

    struct Choice {
        const char* name;
        double fraction;
    };
    static const Choice kChoices[12];

private:
    QListWidget* list_ = nullptr;
};
