#pragma once

#include <QDialog>
#include <cstdint>

class QSpinBox;

// "Note Properties": the current note's time (shown), its length in ticks and its two
// velocities (changed).
class NotePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    struct Values {
        std::int32_t duration = 0;
        int velocity = 0;
        int releaseVelocity = 0;
    };
    NotePropertiesDialog(QWidget* parent, const QString& time, const Values& values);
    Values Chosen() const;
    static bool Ask(QWidget* parent, const QString& time, Values& values);

private:
    QSpinBox* ticks_ = nullptr;
    QSpinBox* velocity_ = nullptr;
    QSpinBox* release_ = nullptr;
};
