#pragma once

#include <QString>
#include <QWidget>
#include <filesystem>

class QTextBrowser;

// The help: pages of the program's own, shown in one window with Contents, Back and
// Forward. Links between the pages follow inside the window; links elsewhere open in
// the desktop's browser.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    HelpWindow(const std::filesystem::path& folder, QWidget* parent = nullptr);
    // Shows a page ("mouse.html", "keys.html#assign") and brings the window up.
    void Show(const QString& page);
    QString CurrentPage() const;
    QTextBrowser* Browser() const { return browser_; }

private:
    std::filesystem::path folder_;
    QTextBrowser* browser_ = nullptr;
};
