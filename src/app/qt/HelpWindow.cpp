#include "app/qt/HelpWindow.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const std::filesystem::path& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder) {
    setObjectName("help");
    setWindowTitle("Vorlaune Help");
    resize(760, 620);
    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    auto* contents = new QPushButton("Contents", this);
    auto* back = new QPushButton("Back", this);
    auto* forward = new QPushButton("Forward", this);
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    browser_ = new QTextBrowser(this);
    browser_->setSearchPaths({QString::fromStdString(folder.string())});
    browser_->setOpenLinks(false);
    layout->addWidget(browser_);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { Show("index.html"); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle("Vorlaune Help - " + browser_->documentTitle()); });
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.scheme() == "http" || url.scheme() == "https" || url.scheme() == "mailto")
            QDesktopServices::openUrl(url);
        else
            browser_->setSource(url);
    });
}

void HelpWindow::Show(const QString& page) {
    const QString path =
        QString::fromStdString((folder_ / page.section('#', 0, 0).toStdString()).string());
    QUrl url = QUrl::fromLocalFile(path);
    if (page.contains('#'))
        url.setFragment(page.section('#', 1));
    browser_->setSource(url);
    show();
    raise();
    activateWindow();
}

QString HelpWindow::CurrentPage() const {
    const QUrl source = browser_->source();
    const QString name = QUrl(source).fileName();
    return source.hasFragment() ? name + "#" + source.fragment() : name;
}
