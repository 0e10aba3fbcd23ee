#include "app/qt/SignatureDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include "model/TimeTexts.h"

SignatureDialog::SignatureDialog(QWidget* parent, long index,
                                 const SignatureEditing::Fields& fields)
    : EditDialog(parent, kTitle) {
    bar_ = new QSpinBox(this);
    bar_->setRange(1, SignatureEditing::kMaxBar);
    bar_->setValue(fields.bar);
    bar_->setEnabled(SignatureEditing::BarEditable(index));
    AddField("At Bar #", bar_);
    time_ = new QLineEdit(QString("%1/%2").arg(fields.numerator).arg(fields.denominator), this);
    AddField("Time Signature:", time_);
    key_ = new QComboBox(this);
    for (int i = 0; i < kSignatureDialogKeyCount; ++i)
        key_->addItem(SignatureDialogKeyName(i));
    key_->setCurrentIndex(fields.keyIndex);
    AddField("Key Signature:", key_);
    scale_ = new QComboBox(this);
    for (int mode = 0; mode < 5; ++mode)
        scale_->addItem(ScaleName(mode));
    scale_->setCurrentIndex(fields.scale);
    AddField("Scale:", scale_);
    // A minor key and a major scale (or the other way round) do not go together.
    connect(key_, &QComboBox::currentIndexChanged, this, [this](int key) {
        if (following_)
            return;
        following_ = true;
        scale_->setCurrentIndex(SignatureEditing::ScaleForKey(key, scale_->currentIndex()));
        following_ = false;
    });
    connect(scale_, &QComboBox::currentIndexChanged, this, [this](int scale) {
        if (following_)
            return;
        following_ = true;
        key_->setCurrentIndex(SignatureEditing::KeyForScale(key_->currentIndex(), scale));
        following_ = false;
    });
    AddButtons();
}

bool SignatureDialog::Chosen(SignatureEditing::Fields& fields) const {
    fields.bar = bar_->value();
    fields.keyIndex = key_->currentIndex();
    fields.scale = scale_->currentIndex();
    return SignatureEditing::ReadTimeSignature(AString(time_->text().toStdString()), fields);
}
