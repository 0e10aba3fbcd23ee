#pragma once

#include <QString>
#include <QWidget>

#include "model/MusicalTime.h"

class QSpinBox;

// Bars, beat and ticks typed into three boxes. A position counts bars and beats from 1
// and shows the ticks of a quarter note after the ticks ("/384"); an amount counts all
// three from 0. As one text the value reads "bars:beat:ticks", as shown.
class MusicalTimeEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString time READ Text WRITE SetText USER true)
public:
    enum class Kind { Position, Amount };
    MusicalTimeEdit(Kind kind, int ticksPerQuarter, QWidget* parent = nullptr);

    // Zero-based, whatever the kind.
    void SetTime(const MusicalTime& time);
    MusicalTime Time() const;
    QString Text() const;
    void SetText(const QString& text);

private:
    Kind kind_;
    QSpinBox* bars_ = nullptr;
    QSpinBox* beats_ = nullptr;
    QSpinBox* ticks_ = nullptr;
};
