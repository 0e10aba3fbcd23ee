#include "app/qt/SongPropertiesDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <algorithm>

#include "app/qt/DialogFields.h"

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
    : QDialog(parent), resolutions_(std::move(resolutions)) {
    setWindowTitle(kTitle);
    auto* form = new QFormLayout(this);
    title_ = TextField(this, choice.title);
    AddLabelledField(*form, "Title:", title_);
    author_ = TextField(this, choice.author);
    AddLabelledField(*form, "Author:", author_);
    copyright_ = TextField(this, choice.copyright);
    AddLabelledField(*form, "Copyright:", copyright_);
    instructions_ = TextField(this, choice.instructions);
    AddLabelledField(*form, "Instructions:", instructions_);
    resolution_ = new QComboBox(this);
    for (std::int32_t ticks : resolutions_)
        resolution_->addItem(QString::number(ticks));
    const auto at = std::find(resolutions_.begin(), resolutions_.end(), choice.ticksPerQuarter);
    resolution_->setCurrentIndex(
        at == resolutions_.end() ? 0 : static_cast<int>(at - resolutions_.begin()));
    AddLabelledField(*form, "Ticks per Quarter Note", resolution_);
    AddOkCancel(*this, *form);
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
