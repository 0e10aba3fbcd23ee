#include "app/qt/KeyCaptureDialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "devices/KeyTranslator.h"

KeyCaptureDialog::KeyCaptureDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("keyCapture");
    setWindowTitle("Press a Key");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Press the key to assign, holding Shift, Ctrl or Alt as "
                                 "wanted.\nEscape with nothing held cancels.",
                                 this));
}

bool KeyCaptureDialog::event(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::event(event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        reject();
        return true;
    }
    Take(key->key(), key->modifiers());
    return true;
}

void KeyCaptureDialog::Take(int qtKey, Qt::KeyboardModifiers modifiers) {
    VirtualKeyPress press;
    if (qtKey == Qt::Key_Backtab)
        qtKey = Qt::Key_Tab;
    if (!TranslateQtKey(qtKey, modifiers, press))
        return; // a key without a code: wait for another
    // A lone modifier is the start of a combination: wait for the key itself.
    if (KeyTranslator::CanAssign(press.key))
        return;
    pressed_ = press;
    accept();
}
