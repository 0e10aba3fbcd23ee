#include "views/qt/NoteLengthIcons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kSize = 40; // drawn large, shown scaled down

// Head glyphs of the music font: filled, half and whole; flags hang from an up stem's
// end: "J" sixty-fourth, "L" thirty-second, "N" sixteenth, "P" eighth.
QPixmap Draw(int button) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font("Vorlan");
    font.setPixelSize(30);
    p.setFont(font);
    p.setPen(Qt::black);
    const char head = button == 6 ? 'E' : button == 5 ? 'C' : 'A';
    const int headX = 8, baseline = 31;
    p.drawText(QPoint(headX, baseline), QString(QChar(head)));
    if (button == 6)
        return pixmap;
    const int headWidth = QFontMetrics(font).horizontalAdvance(QChar(head));
    const int stemX = headX + headWidth - 1;
    const int stemTop = 4;
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(stemX, baseline - 2, stemX, stemTop);
    if (button <= 3) {
        const char flags[4] = {'J', 'L', 'N', 'P'};
        p.setPen(Qt::black);
        // An up flag's baseline lies 160 units (two line spaces) below the stem end.
        p.drawText(QPoint(stemX, stemTop + 12), QString(QChar(flags[button])));
    }
    return pixmap;
}

} // namespace

QIcon NoteLengthIcon(int button) {
    return QIcon(Draw(button));
}
