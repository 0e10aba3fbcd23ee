#include "views/qt/ControllerRangeDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>

namespace {

std::optional<ControllerRangeChoice>& Scripted() {
    static std::optional<ControllerRangeChoice> answer;
    return answer;
}

// One shape drawn with the dialog's levels and adjustments; the middle one is framed.
class ShapePreview : public QWidget {
public:
    ShapePreview(QWidget* parent, std::function<ControllerRangeChoice()> choice, int offset)
        : QWidget(parent), choice_(std::move(choice)), offset_(offset) {
        setMinimumSize(110, 80);
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        ControllerRangeChoice c = choice_();
        c.shape += offset_;
        painter.setPen(offset_ == 0 ? QPen(QColor(70, 130, 220), 2) : QPen(Qt::gray));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
        if (c.shape < 0 || c.shape >= ControllerGraphType::kShapeCount)
            return;
        painter.setPen(Qt::black);
        painter.drawText(QRect(4, 2, width() - 8, 14), Qt::AlignLeft,
                         ControllerGraphType::Name(c.shape));
        if (c.eraseOnly)
            return;
        const std::unique_ptr<ControllerGraphType> shape =
            c.MakeShape(ControllerRangeChoice::kLevelTop);
        const int top = 18, bottom = height() - 6, left = 6, right = width() - 6;
        QPainterPath path;
        for (int x = left; x <= right; ++x) {
            const double level =
                shape->Value(static_cast<double>(x - left) / std::max(right - left, 1));
            const double y = bottom - level * (bottom - top) / ControllerRangeChoice::kLevelTop;
            if (x == left)
                path.moveTo(x, y);
            else
                path.lineTo(x, y);
        }
        painter.setPen(QPen(QColor(0, 0, 160), 1.5));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawPath(path);
    }

private:
    std::function<ControllerRangeChoice()> choice_;
    int offset_;
};

QScrollBar* Bar(QWidget* parent, Qt::Orientation orientation, int top, int value) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setRange(0, top);
    bar->setValue(orientation == Qt::Vertical ? top - value : value);
    if (orientation == Qt::Vertical)
        bar->setMinimumHeight(100);
    else
        bar->setMinimumWidth(200);
    return bar;
}

} // namespace

ControllerRangeDialog::ControllerRangeDialog(QWidget* parent, const ControllerRangeChoice& choice)
    : QDialog(parent), choice_(choice) {
    setWindowTitle("Controller Range Options");
    auto current = [this] { return Chosen(); };
    auto* shapes = new QHBoxLayout;
    auto* back = new QToolButton(this);
    back->setArrowType(Qt::LeftArrow);
    auto* forward = new QToolButton(this);
    forward->setArrowType(Qt::RightArrow);
    shapes->addWidget(back);
    for (int i = 0; i < 3; ++i) {
        previews_[static_cast<std::size_t>(i)] = new ShapePreview(this, current, i - 1);
        shapes->addWidget(previews_[static_cast<std::size_t>(i)]);
    }
    shapes->addWidget(forward);
    connect(back, &QToolButton::clicked, this, [this] { StepShape(-1); });
    connect(forward, &QToolButton::clicked, this, [this] { StepShape(1); });

    // Levels read upwards: the bars' top is the highest level.
    const int top = ControllerRangeChoice::kLevelTop;
    start_ = Bar(this, Qt::Vertical, top, choice.startLevel);
    end_ = Bar(this, Qt::Vertical, top, choice.endLevel);
    adjust1_ = Bar(this, Qt::Horizontal, ControllerRangeChoice::kAdjustmentTop, choice.adjustment1);
    adjust2_ = Bar(this, Qt::Horizontal, ControllerRangeChoice::kAdjustmentTop, choice.adjustment2);
    for (QScrollBar* bar : {start_, end_, adjust1_, adjust2_})
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            for (QWidget* preview : previews_)
                preview->update();
        });
    auto* levels = new QGridLayout;
    levels->addWidget(new QLabel("Start", this), 0, 0);
    levels->addWidget(new QLabel("End", this), 0, 1);
    levels->addWidget(start_, 1, 0, Qt::AlignHCenter);
    levels->addWidget(end_, 1, 1, Qt::AlignHCenter);
    auto* adjustments = new QGridLayout;
    adjustments->addWidget(new QLabel("Adjustment #1", this), 0, 0);
    adjustments->addWidget(adjust1_, 0, 1);
    adjustments->addWidget(new QLabel("Adjustment #2", this), 1, 0);
    adjustments->addWidget(adjust2_, 1, 1);

    auto* mode = new QGroupBox(this);
    auto* modeColumn = new QVBoxLayout(mode);
    erase_ = new QRadioButton("Erase Selected Range", mode);
    apply_ = new QRadioButton("Apply Pattern", mode);
    (choice.eraseOnly ? erase_ : apply_)->setChecked(true);
    modeColumn->addWidget(erase_);
    modeColumn->addWidget(apply_);
    connect(erase_, &QRadioButton::toggled, this, [this] {
        for (QWidget* preview : previews_)
            preview->update();
    });

    auto* middle = new QHBoxLayout;
    middle->addLayout(levels);
    middle->addLayout(adjustments, 1);
    middle->addWidget(mode);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(shapes);
    layout->addLayout(middle);
    layout->addWidget(buttons);
}

void ControllerRangeDialog::StepShape(int step) {
    choice_.shape = std::clamp(choice_.shape + step, 0, ControllerGraphType::kShapeCount - 1);
    for (QWidget* preview : previews_)
        preview->update();
}

ControllerRangeChoice ControllerRangeDialog::Chosen() const {
    ControllerRangeChoice c = choice_;
    const int top = ControllerRangeChoice::kLevelTop;
    c.startLevel = top - start_->value();
    c.endLevel = top - end_->value();
    c.adjustment1 = adjust1_->value();
    c.adjustment2 = adjust2_->value();
    c.eraseOnly = erase_->isChecked();
    return c;
}

void ControllerRangeDialog::AnswerNext(const ControllerRangeChoice& choice) {
    Scripted() = choice;
}

bool ControllerRangeDialog::Ask(QWidget* parent, ControllerRangeChoice& choice) {
    if (std::optional<ControllerRangeChoice>& scripted = Scripted()) {
        choice = *scripted;
        scripted.reset();
        return true;
    }
    ControllerRangeDialog dialog(parent, choice);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.Chosen();
    return true;
}
