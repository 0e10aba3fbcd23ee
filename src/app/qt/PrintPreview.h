#pragma once

#include <QDialog>
#include <QImage>
#include <map>

class PagePainter;
class QLabel;
class QPrinter;
class QPushButton;

// "Print Preview": one page or two side by side, as the printer will print them, with
// previous and next and printing from here.
class PrintPreview : public QDialog {
    Q_OBJECT
public:
    // Lays the pages out for `printer`'s page; `painter` must outlive the preview.
    PrintPreview(QWidget* parent, PagePainter& painter, QPrinter& printer);

    int PageCount() const { return pages_; }
    int FirstShown() const { return first_; }
    int SecondShown() const { return second_; }
    bool TwoPages() const { return two_; }
    QString StatusText() const;
    void Previous();
    void Next();
    void SetTwoPages(bool two);
    // True when the user chose to print from the preview.
    bool PrintAsked() const { return printAsked_; }

private:
    void Show();
    QImage Page(int page);

    PagePainter& painter_;
    QPrinter& printer_;
    int pages_ = 0;
    int first_ = 1;
    int second_ = 1;
    bool two_ = false;
    bool printAsked_ = false;
    std::map<int, QImage> images_;
    QLabel* left_ = nullptr;
    QLabel* right_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* pagesButton_ = nullptr;
};

// Paints pages `from` to `to` of `painter` on `printer` (laid out for its page first).
// False when the printer cannot be started; `pages` gets how many the painter has.
bool PrintPages(PagePainter& painter, QPrinter& printer, int from, int to, int* pages = nullptr);
// Lays `painter` out for `printer`'s page; the number of pages.
int CountPrinterPages(PagePainter& painter, QPrinter& printer);
