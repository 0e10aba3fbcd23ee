#include "app/qt/SongPropertiesDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>

namespace {

QLineEdit* TextField(QWidget* parent, const AString& text) {
    auto* edit = new QLineEdit(QString::fromStdString(text.str()), parent);
    edit->setMinimumWidth(320);
    return edit;
}

AString Text(const QLineEdit* edit) {
    return AString(edit->text().toStdString());
}

} // namespace

SongPropertiesDialog::SongPropertiesDialog(QWidget* parent, const SongPropertiesChoice& choice,
                                           std::vector<std::int32_t> resolutions)
    : EditDialog(parent, kTitle), resolutions_(std::move(resolutions)) {
    title_ = TextField(this, choice.title);
    AddField("Title:", title_);
    author_ = TextField(this, choice.author);
    AddField("Author:", author_);
    copyright_ = TextField(this, choice.copyright);
    AddField("Copyright:", copyright_);
    instructions_ = TextField(this, choice.instructions);
    AddField("Instructions:", instructions_);
    resolution_ = new QComboBox(this);
    for (std::int32_t ticks : resolutions_)
        resolution_->addItem(QString::number(ticks));
    const auto at = std::find(resolutions_.begin(), resolutions_.end(), choice.ticksPerQuarter);
    resolution_->setCurrentIndex(
        at == resolutions_.end() ? 0 : static_cast<int>(at - resolutions_.begin()));
    AddField("Ticks per Quarter Note", resolution_);
    AddButtons();
}

SongPropertiesChoice SongPropertiesDialog::Chosen() const {
    SongPropertiesChoice c;
    c.title = Text(title_);
    c.author = Text(author_);
    c.copyright = Text(copyright_);
    c.instructions = Text(instructions_);
    const int row = resolution_->currentIndex();
    c.ticksPerQuarter =
        row >= 0 && static_cast<std::size_t>(row) < resolutions_.size() ? resolutions_[row] : 0;
    return c;
}
