#include "views/qt/MusicalTimeEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QStringList>

#include "model/MidiMsg.h"

MusicalTimeEdit::MusicalTimeEdit(Kind kind, int ticksPerQuarter, QWidget* parent)
    : QWidget(parent), kind_(kind) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    const int first = kind == Kind::Position ? 1 : 0;
    auto box = [&](const char* label, int minimum) {
        auto* spin = new QSpinBox(this);
        spin->setRange(minimum, kEndTick);
        row->addWidget(new QLabel(label, this));
        row->addWidget(spin);
        return spin;
    };
    bars_ = box(kind == Kind::Position ? "Bar" : "Bars", first);
    beats_ = box(kind == Kind::Position ? "Beat" : "Beats", first);
    ticks_ = box("Ticks", 0);
    if (kind == Kind::Position)
        row->addWidget(new QLabel(QString("/%1").arg(ticksPerQuarter), this));
}

void MusicalTimeEdit::SetTime(const MusicalTime& time) {
    const int first = kind_ == Kind::Position ? 1 : 0;
    bars_->setValue(time.measure + first);
    beats_->setValue(time.beat + first);
    ticks_->setValue(time.tick);
}

MusicalTime MusicalTimeEdit::Time() const {
    const int first = kind_ == Kind::Position ? 1 : 0;
    return MusicalTime{bars_->value() - first, beats_->value() - first, ticks_->value()};
}

QString MusicalTimeEdit::Text() const {
    return QString("%1:%2:%3").arg(bars_->value()).arg(beats_->value()).arg(ticks_->value());
}

void MusicalTimeEdit::SetText(const QString& text) {
    const QStringList parts = text.split(':');
    if (parts.size() != 3)
        return;
    bars_->setValue(parts[0].toInt());
    beats_->setValue(parts[1].toInt());
    ticks_->setValue(parts[2].toInt());
}
