#include "app/qt/QtMessageSink.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

MessageAnswer QtMessageSink::Show(const Message& message) {
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (message.icon) {
    case MessageIcon::Information:
        icon = QMessageBox::Information;
        break;
    case MessageIcon::Exclamation:
        icon = QMessageBox::Warning;
        break;
    case MessageIcon::Stop:
        icon = QMessageBox::Critical;
        break;
    case MessageIcon::Question:
        icon = QMessageBox::Question;
        break;
    }
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (message.buttons) {
    case MessageButtons::Ok:
        break;
    case MessageButtons::OkCancel:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MessageButtons::YesNo:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case MessageButtons::YesNoCancel:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    }
    QMessageBox box(icon, QString::fromUtf8(message.title.c_str()),
                    QString::fromUtf8(message.text.c_str()), buttons, parent_);
    if (QAbstractButton* yes = box.button(QMessageBox::Yes); yes && !message.yesText.IsEmpty())
        yes->setText(QString::fromUtf8(message.yesText.c_str()));
    if (QAbstractButton* no = box.button(QMessageBox::No); no && !message.noText.IsEmpty())
        no->setText(QString::fromUtf8(message.noText.c_str()));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

QString QtMessageSink::NameFilter(const AString& filter) {
    const QStringList parts = QString::fromStdString(filter.str()).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const int paren = name.indexOf('(');
        if (paren >= 0)
            name = name.left(paren).trimmed();
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        filters << name + " (" + patterns.join(' ') + ")";
    }
    return filters.join(";;");
}

bool QtMessageSink::ChooseFile(const FileRequest& request, std::string& chosen) {
    QFileDialog dialog(parent_, QString::fromStdString(request.title.str()),
                       QString::fromStdString(request.directory.str()), NameFilter(request.filter));
    const bool save = request.mode == FileRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Names on Linux are case-sensitive: a missing suffix is added in lower case.
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultSuffix.str()).toLower());
    if (!request.initialName.IsEmpty())
        dialog.selectFile(QString::fromStdString(request.initialName.str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    chosen = dialog.selectedFiles().front().toStdString();
    return true;
}
