#pragma once

#include <QMainWindow>
#include <map>
#include <string>
#include <vector>

class QAction;
class QMdiArea;
class QMenu;
class TVorlaune;

// The main window: its menus (built from the command table), the area that holds the
// song windows, and the first look at every key press.
class TFrameWin : public QMainWindow {
    Q_OBJECT
public:
    explicit TFrameWin(TVorlaune& app);
    ~TFrameWin() override;

    QMdiArea* Area() const { return area_; }

    // Installs menu 100 (no song), 101 (basic) or 102 (advanced) with the history, the
    // output devices and the window list.
    void InstallMenu(int menuId, const std::vector<std::string>& history,
                     const std::vector<std::string>& ports,
                     const std::vector<std::string>& windowCaptions);
    // Enables and checks every item from the application's state.
    void RefreshItems();
    void SetItemText(int id, const QString& text);
    QAction* Action(int id) const;
    QMenu* Menu(const QString& title) const;

    // Finds the command a key sequence ("Ctrl+S") belongs to, or 0.
    int CommandForShortcut(const QKeySequence& sequence) const;

signals:
    void firstPaint();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* MakeAction(int id, const QString& text);

    TVorlaune& app_;
    QMdiArea* area_ = nullptr;
    std::map<int, QAction*> actions_;
    std::vector<QAction*> dynamic_; // history, output devices and the window list
    bool painted_ = false;
};
