#include "app/qt/PrintPreview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "views/PagePainter.h"
#include "views/StaffPrinter.h"
#include "views/qt/QtDrawSurface.h"

namespace {

// Pages on screen: a page's width in pixels.
constexpr int kPreviewWidth = 560;

} // namespace

int CountPrinterPages(PagePainter& painter, QPrinter& printer) {
    const int dpi = printer.resolution();
    const QRect paint = printer.pageLayout().paintRectPixels(dpi);
    const int perCm = StaffPrinter::PixelsPerCentimetre(dpi);
    return painter.CountPages(paint.width(), paint.height(), perCm, perCm);
}

bool PrintPages(PagePainter& painter, QPrinter& printer, int from, int to, int* pages) {
    const int count = CountPrinterPages(painter, printer);
    if (pages)
        *pages = count;
    QPainter device;
    if (!device.begin(&printer))
        return false;
    device.setRenderHint(QPainter::Antialiasing);
    QtDrawSurface surface(device);
    from = std::max(from, 1);
    to = to <= 0 ? count : std::min(to, count);
    for (int page = from; page <= to; ++page) {
        if (page > from)
            printer.newPage();
        painter.PaintPage(page, surface);
    }
    device.end();
    return true;
}

PrintPreview::PrintPreview(QWidget* parent, PagePainter& painter, QPrinter& printer)
    : QDialog(parent), painter_(painter), printer_(printer) {
    setWindowTitle("Print Preview");
    pages_ = std::max(CountPrinterPages(painter_, printer_), 0);
    auto* row = new QHBoxLayout;
    left_ = new QLabel(this);
    right_ = new QLabel(this);
    row->addWidget(left_);
    row->addWidget(right_);
    auto* buttons = new QHBoxLayout;
    previous_ = new QPushButton("Previous", this);
    next_ = new QPushButton("Next", this);
    pagesButton_ = new QPushButton("Two Pages", this);
    auto* print = new QPushButton("Print...", this);
    auto* close = new QPushButton("Close", this);
    status_ = new QLabel(this);
    for (QWidget* w : {static_cast<QWidget*>(previous_), static_cast<QWidget*>(next_),
                       static_cast<QWidget*>(pagesButton_), static_cast<QWidget*>(print),
                       static_cast<QWidget*>(close)})
        buttons->addWidget(w);
    buttons->addStretch(1);
    buttons->addWidget(status_);
    connect(previous_, &QPushButton::clicked, this, &PrintPreview::Previous);
    connect(next_, &QPushButton::clicked, this, &PrintPreview::Next);
    connect(pagesButton_, &QPushButton::clicked, this, [this] { SetTwoPages(!two_); });
    connect(print, &QPushButton::clicked, this, [this] {
        printAsked_ = true;
        accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(row);
    Show();
}

QString PrintPreview::StatusText() const {
    if (!two_ || first_ == second_)
        return QString("Page %1").arg(first_);
    return QString("Page %1 - %2").arg(first_).arg(second_);
}

void PrintPreview::Previous() {
    if (first_ > 1) {
        --first_;
        --second_;
    }
    Show();
}

void PrintPreview::Next() {
    if (second_ < pages_) {
        ++first_;
        ++second_;
    }
    Show();
}

void PrintPreview::SetTwoPages(bool two) {
    two_ = two;
    second_ = two_ ? std::min(first_ + 1, std::max(pages_, 1)) : first_;
    pagesButton_->setText(two_ ? "One Page" : "Two Pages");
    Show();
}

QImage PrintPreview::Page(int page) {
    if (const auto found = images_.find(page); found != images_.end())
        return found->second;
    const int dpi = printer_.resolution();
    const QRect full = printer_.pageLayout().fullRectPixels(dpi);
    const QRect paint = printer_.pageLayout().paintRectPixels(dpi);
    const double shrink = static_cast<double>(kPreviewWidth) / std::max(full.width(), 1);
    QImage image(kPreviewWidth, static_cast<int>(full.height() * shrink), QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        painter.scale(shrink, shrink);
        painter.translate(paint.topLeft());
        QtDrawSurface surface(painter);
        painter_.PaintPage(page, surface);
    }
    images_[page] = image;
    return image;
}

void PrintPreview::Show() {
    if (pages_ == 0) {
        left_->setText("There is nothing to print.");
        right_->clear();
    } else {
        left_->setPixmap(QPixmap::fromImage(Page(first_)));
        if (two_ && second_ != first_)
            right_->setPixmap(QPixmap::fromImage(Page(second_)));
        else
            right_->clear();
    }
    status_->setText(StatusText());
    previous_->setEnabled(first_ > 1);
    next_->setEnabled(second_ < pages_);
}
