#include "app/qt/TFrameWin.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include "app/AppCommands.h"
#include "app/CommandTable.h"
#include "app/qt/TVorlaune.h"

namespace {

bool IsMidiName(const QString& file) {
    const QString lower = file.toLower();
    return lower.endsWith(".mid") || lower.endsWith(".midi") || lower.endsWith(".rmi");
}

} // namespace

TFrameWin::TFrameWin(TVorlaune& app) : app_(app) {
    setWindowTitle("Vorlaune");
    setObjectName("vorlauneFrame");
    area_ = new QMdiArea(this);
    area_->setViewMode(QMdiArea::SubWindowView);
    area_->setBackground(QBrush(QColor(96, 104, 116)));
    setCentralWidget(area_);
    setAcceptDrops(true);
    for (const MenuCommand& command : CommandTable()) {
        QString text = command.text;
        if (*command.keyHint)
            text += QString("\t") + command.keyHint;
        QAction* action = MakeAction(command.id, text);
        action->setCheckable(command.checkable);
        if (*command.shortcut)
            action->setShortcut(QKeySequence(command.shortcut));
    }
    // Redo also answers the other desktop habit.
    actions_[cmd::kRedo]->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    qApp->installEventFilter(this);
}

TFrameWin::~TFrameWin() {
    qApp->removeEventFilter(this);
}

QAction* TFrameWin::MakeAction(int id, const QString& text) {
    auto* action = new QAction(text, this);
    action->setData(id);
    // Shortcuts work while any part of the main window has the focus.
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, id] { app_.Command(id); });
    actions_[id] = action;
    return action;
}

QAction* TFrameWin::Action(int id) const {
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* TFrameWin::Menu(const QString& title) const {
    for (QAction* action : menuBar()->actions())
        if (action->menu() && action->menu()->title() == title)
            return action->menu();
    return nullptr;
}

void TFrameWin::SetItemText(int id, const QString& text) {
    if (QAction* action = Action(id))
        action->setText(text);
}

int TFrameWin::CommandForShortcut(const QKeySequence& sequence) const {
    for (const auto& [id, action] : actions_)
        for (const QKeySequence& s : action->shortcuts())
            if (s == sequence)
                return id;
    return 0;
}

void TFrameWin::InstallMenu(int menuId, const std::vector<std::string>& history,
                            const std::vector<std::string>& ports,
                            const std::vector<std::string>& windowCaptions) {
    for (QAction* action : dynamic_)
        action->deleteLater();
    dynamic_.clear();
    menuBar()->clear();
    const bool noSong = menuId == cmd::kMenuNoSong;
    const auto& titles = noSong ? NoSongMenuTitles() : SongMenuTitles();
    for (const char* title : titles) {
        QMenu* menu = menuBar()->addMenu(title);
        bool pendingSeparator = false;
        for (const MenuCommand& c : CommandTable()) {
            if (std::string(c.menu) != title || (noSong && !c.inNoSongMenu))
                continue;
            if ((c.id == cmd::kAdvancedMode && menuId != cmd::kMenuBasic) ||
                (c.id == cmd::kBasicMode && menuId != cmd::kMenuAdvanced))
                continue;
            if (c.separatorBefore && !menu->isEmpty())
                pendingSeparator = true;
            if (c.id == cmd::kExit && !history.empty()) {
                // The history stands just above Exit.
                menu->addSeparator();
                for (std::size_t i = 0; i < history.size() && i < cmd::kHistoryCount; ++i) {
                    QAction* entry = new QAction(
                        QString("&%1 %2").arg(i + 1).arg(QString::fromStdString(history[i])), this);
                    const int id = cmd::kHistoryFirst + static_cast<int>(i);
                    entry->setData(id);
                    connect(entry, &QAction::triggered, this, [this, id] { app_.Command(id); });
                    menu->addAction(entry);
                    dynamic_.push_back(entry);
                }
            }
            if (pendingSeparator) {
                menu->addSeparator();
                pendingSeparator = false;
            }
            menu->addAction(Action(c.id));
            if (c.id == cmd::kMidiMapper) {
                for (std::size_t i = 0; i < ports.size() && i < cmd::kOutputCount; ++i) {
                    QAction* port = new QAction(QString::fromStdString(ports[i]), this);
                    const int id = cmd::kOutputFirst + static_cast<int>(i);
                    port->setData(id);
                    port->setCheckable(true);
                    connect(port, &QAction::triggered, this, [this, id] { app_.Command(id); });
                    menu->addAction(port);
                    dynamic_.push_back(port);
                    actions_[id] = port;
                }
            }
        }
        if (std::string(title) == "&Window" && !windowCaptions.empty()) {
            menu->addSeparator();
            for (std::size_t i = 0; i < windowCaptions.size() && i < cmd::kWindowCount; ++i) {
                QAction* entry = new QAction(
                    QString("&%1 %2").arg(i + 1).arg(QString::fromStdString(windowCaptions[i])),
                    this);
                const int id = cmd::kWindowFirst + static_cast<int>(i);
                entry->setData(id);
                connect(entry, &QAction::triggered, this, [this, id] { app_.Command(id); });
                menu->addAction(entry);
                dynamic_.push_back(entry);
            }
        }
    }
    RefreshItems();
}

void TFrameWin::RefreshItems() {
    for (const auto& [id, action] : actions_) {
        action->setEnabled(app_.CommandEnabled(id));
        if (action->isCheckable())
            action->setChecked(app_.CommandChecked(id));
    }
}

bool TFrameWin::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::Paint || event->type() == QEvent::UpdateRequest ||
        event->type() == QEvent::Show) {
        if (!painted_) {
            painted_ = true;
            // After this first paint: the fonts, then the first song.
            QMetaObject::invokeMethod(this, &TFrameWin::firstPaint, Qt::QueuedConnection);
        }
    }
    return handled;
}

// Every key press in the main window is first offered to the key assignments, so that a
// key they claim never reaches a menu shortcut or a focus change.
bool TFrameWin::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || QApplication::activeModalWidget())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // Lists and buttons of a view's strip keep their own keys while they are open.
    if (QApplication::activePopupWidget())
        return false;
    if (!app_.Keys().Enabled() || !app_.ActiveWindow())
        return false;
    if (type == QEvent::ShortcutOverride) {
        // A claimed key arrives as a key press instead of as a shortcut.
        if (app_.OfferKey(key->key(), key->modifiers(), false)) {
            key->accept();
            return true;
        }
        return false;
    }
    return app_.OfferKey(key->key(), key->modifiers(), true);
}

void TFrameWin::closeEvent(QCloseEvent* event) {
    if (app_.MayCloseFrame())
        event->accept();
    else
        event->ignore();
}

void TFrameWin::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        for (const QUrl& url : event->mimeData()->urls())
            if (url.isLocalFile() && IsMidiName(url.toLocalFile())) {
                event->acceptProposedAction();
                return;
            }
}

void TFrameWin::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile() && IsMidiName(url.toLocalFile()))
            app_.OpenFile(url.toLocalFile().toStdString());
    event->acceptProposedAction();
}
