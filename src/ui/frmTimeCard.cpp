#include "frmTimeCard.h"

#include "data/WorkingSet.h"
#include "session/TimeCardBinder.h"
#include "support/Version.h"
#include "timecards/CommandSet.h"
#include "timecards/CommandTable.h"
#include "timecards/MainCommands.h"
#include "timecards/TimeCardEditor.h"
#include "ui/GuardedApplication.h"
#include "ui/TimeCardFields.h"
#include "ui/ToolIcons.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace quorvale {

namespace {

const QString kReview = QStringLiteral("Review");

// The command table's keys reach their tools from every field of the window.
// A focused text field claims the keys it binds itself (Ctrl+A selects all;
// under some desktops' key schemes Ctrl+K and Ctrl+U delete text), which would
// put the tools out of reach just where people type. Text fields keep only
// undo, cut, copy and paste, as a person expects of any text field: the
// table's cut, copy and paste do the same there, and Mass Edit (Ctrl+Z
// elsewhere) is on the Edit menu, Alt+E then M, from any field.
class TableKeysFirst final : public QObject {
public:
    explicit TableKeysFirst(QWidget *window) : QObject(window), m_window(window)
    {
        // On the application: the fields' own inner editors see the key first.
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() != m_window)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Cut) ||
            key->matches(QKeySequence::Copy) || key->matches(QKeySequence::Paste))
            return false;
        const QKeySequence pressed(key->keyCombination());
        for (const QAction *action : m_window->actions()) {
            if (action->shortcut() == pressed) {
                // Not overridden: the shortcut goes to the tool.
                key->ignore();
                return true;
            }
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

int twipsToPixels(int twips, int dpi)
{
    return (twips * dpi + 720) / 1440;
}

int pixelsToTwips(int pixels, int dpi)
{
    return dpi > 0 ? (pixels * 1440 + dpi / 2) / dpi : pixels * 15;
}

frmTimeCard::frmTimeCard(WorkingSet &workingSet, MainCommands &commands, const Terms &terms,
                         QWidget *parent)
    : QMainWindow(parent), m_set(workingSet), m_commands(commands), m_terms(terms)
{
    setObjectName(QStringLiteral("frmTimeCard"));
    m_fields = new TimeCardFields(workingSet, terms, this);
    setCentralWidget(m_fields);
    buildTools();
    buildBands();
    new TableKeysFirst(this);
    addCommandSet(commands);
    setWindowTitle(m_set.windowCaption());
    statusBar()->showMessage(kReview);
    // Beside the status text, not in its place: "Review" and the progress
    // messages go on while a timer runs elsewhere.
    m_timerNote = new QLabel(statusBar());
    m_timerNote->setObjectName(QStringLiteral("lblTimerNote"));
    m_timerNote->setAccessibleName(QStringLiteral("Running timer"));
    m_timerNote->hide();
    statusBar()->addPermanentWidget(m_timerNote);
    showCurrent();
}

void frmTimeCard::setTimerNote(const QString &note)
{
    if (m_timerNote->text() != note)
        m_timerNote->setText(note);
    m_timerNote->setVisible(!note.isEmpty());
}

void frmTimeCard::buildTools()
{
    const auto add = [this](const ToolInfo &info, const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(info.name));
        action->setData(info.id);
        action->setToolTip(QString::fromLatin1(info.description));
        action->setStatusTip(QString::fromLatin1(info.description));
        action->setCheckable(info.checkable);
        action->setIcon(toolIcon(info.id, *style()));
        if (*info.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
        connect(action, &QAction::triggered, this, [this, id = info.id] {
            try {
                abMainMenu_ToolClick(id);
            } catch (const std::exception &error) {
                auto *app = dynamic_cast<GuardedApplication *>(QCoreApplication::instance());
                if (!app || !app->handle(error))
                    throw;
            }
        });
        m_tools.insert(info.id, action);
        addAction(action); // shortcuts work whichever band shows the tool
    };
    for (const ToolInfo &info : CommandTable::tools())
        add(info, QString::fromLatin1(info.caption));
    for (const SortOrder &order : SortOrders::all())
        add(*CommandTable::find(order.toolId), order.menuCaption(m_terms));
    syncChecks();
}

void frmTimeCard::buildBands()
{
    QHash<QString, QMenu *> menus;
    QList<QAction *> timePopUp;
    // The main tool bar above the navigator, each on its own row: side by side
    // they would not fit a window of the size people leave it at.
    QToolBar *mainToolbar = addToolBar(QStringLiteral("Main"));
    mainToolbar->setObjectName(QLatin1String(Band::MainToolbar));
    mainToolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    addToolBarBreak();
    QToolBar *navigator = addToolBar(QStringLiteral("Navigator"));
    navigator->setObjectName(QLatin1String(Band::Navigator));
    navigator->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (const BandEntry &entry : CommandTable::layout()) {
        const QString band = QLatin1String(entry.band);
        QAction *action = entry.toolId ? m_tools.value(entry.toolId) : nullptr;
        if (band == QLatin1String(Band::Navigator)) {
            navigator->addAction(action);
            continue;
        }
        if (band == QLatin1String(Band::MainToolbar)) {
            if (!action) {
                mainToolbar->addSeparator();
                continue;
            }
            // "Create New..." drops down the File menu's New menu, made before it.
            if (QMenu *newMenu = menus.value(QLatin1String(Band::NewMenu));
                newMenu && action->objectName() == QLatin1String("tbNewItem"))
                action->setMenu(newMenu);
            mainToolbar->addAction(action);
            if (auto *button = qobject_cast<QToolButton *>(mainToolbar->widgetForAction(action)))
                button->setPopupMode(QToolButton::InstantPopup);
            continue;
        }
        if (band == QLatin1String(Band::TimePopUp)) {
            if (!action) {
                action = new QAction(this);
                action->setSeparator(true);
            }
            timePopUp.append(action);
            continue;
        }
        if (entry.opens) {
            auto *menu = new QMenu(action->text(), this);
            menu->setIcon(action->icon()); // shown where the menu stands on a tool bar
            menu->setObjectName(QLatin1String(entry.opens));
            menu->menuAction()->setObjectName(action->objectName());
            menus.insert(QLatin1String(entry.opens), menu);
            if (band == QLatin1String(Band::MainMenu))
                menuBar()->addMenu(menu);
            else
                menus.value(band)->addMenu(menu);
            // The opening tool lives on as the menu's own action.
            m_tools.insert(entry.toolId, menu->menuAction());
            continue;
        }
        QMenu *menu = menus.value(band);
        if (!menu) {
            // A pop-up band no menu opens: a page of the window shows it itself.
            menu = new QMenu(this);
            menu->setObjectName(band);
            menus.insert(band, menu);
        }
        if (!action)
            menu->addSeparator();
        else
            menu->addAction(action);
    }
    m_fields->setTimePopUp(timePopUp);
    // The tool bars' buttons are where tips show.
    for (QToolBar *bar : findChildren<QToolBar *>())
        for (QWidget *button : bar->findChildren<QWidget *>())
            button->installEventFilter(this);
    m_position = new QLabel(navigator);
    m_position->setObjectName(QStringLiteral("lblPosition"));
    m_position->setAccessibleName(QStringLiteral("TimeCard position"));
    m_position->setContentsMargins(8, 0, 8, 0);
    navigator->addWidget(m_position);
}

QAction *frmTimeCard::tool(const QString &name) const
{
    for (QAction *action : m_tools)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

QAction *frmTimeCard::toolById(int toolId) const
{
    return m_tools.value(toolId);
}

void frmTimeCard::applyToolChanges(const std::vector<ToolChange> &changes)
{
    for (const ToolChange &change : changes) {
        // A pop-up copy of a tool shares its name and follows it.
        for (QAction *action : std::as_const(m_tools)) {
            if (action->objectName() != change.toolName)
                continue;
            action->setVisible(change.visible);
            if (!change.caption.isEmpty())
                action->setText(change.caption);
        }
    }
}

void frmTimeCard::syncChecks()
{
    for (QAction *action : std::as_const(m_tools)) {
        const int id = action->data().toInt();
        if (id >= ToolId::SortFirst && id <= ToolId::SortLast)
            action->setChecked(id == m_commands.sortToolId());
    }
    if (QAction *hidden = m_tools.value(ToolId::ShowHiddenTimeCards))
        hidden->setChecked(m_commands.showHidden());
}

void frmTimeCard::setToolTipsShown(bool shown)
{
    m_toolTipsShown = shown;
}

bool frmTimeCard::eventFilter(QObject *watched, QEvent *event)
{
    // An empty tip would fall back to the caption; the tip event itself must go.
    if (event->type() == QEvent::ToolTip && !m_toolTipsShown)
        return true;
    return QMainWindow::eventFilter(watched, event);
}

void frmTimeCard::addCommandSet(CommandSet &commands)
{
    m_commandSets.push_back(&commands);
    enableHandledTools();
}

CommandSet *frmTimeCard::commandSetFor(int toolId) const
{
    for (CommandSet *set : m_commandSets)
        if (set->handles(toolId))
            return set;
    return nullptr;
}

void frmTimeCard::enableHandledTools()
{
    for (QAction *action : std::as_const(m_tools)) {
        const int id = action->data().toInt();
        // Menu openers carry no ID of their own; Exit and About are the window's.
        if (id == 0 || action->menu() || id == ToolId::Exit || id == ToolId::About)
            continue;
        action->setEnabled(commandSetFor(id) != nullptr);
    }
}

void frmTimeCard::abMainMenu_ToolClick(int toolId)
{
    if (toolId == ToolId::Exit) {
        close();
        return;
    }
    if (toolId == ToolId::About) {
        statusBar()->showMessage(QStringLiteral("Viewing About screen..."));
        showAbout();
        return;
    }
    CommandSet *commands = commandSetFor(toolId);
    if (!commands)
        return;
    // Cut, copy and paste act on the field itself, a time being typed included.
    const bool editsField =
        toolId == ToolId::Cut || toolId == ToolId::Copy || toolId == ToolId::Paste;
    const ToolInfo *info = CommandTable::find(toolId);
    runCommand([commands, toolId] { commands->run(toolId); }, !editsField,
               info && *info->status ? QString::fromLatin1(info->status) : QString());
}

void frmTimeCard::runCommand(const std::function<void()> &work, bool takeTypedTimes,
                             const QString &status)
{
    // A shortcut leaves the focus where it was: a time still being typed is
    // taken (or refused) before the command sees the TimeCard.
    if (takeTypedTimes && !m_fields->commitTypedTimes())
        return;
    if (m_guard && !m_guard())
        return;
    if (!status.isEmpty())
        statusBar()->showMessage(status);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        work();
    } catch (const std::exception &error) {
        QApplication::restoreOverrideCursor();
        if (m_closed)
            return;
        syncChecks();
        statusBar()->showMessage(kReview);
        if (m_onError)
            m_onError(error);
        showCurrent();
        return;
    }
    QApplication::restoreOverrideCursor();
    // A command that closed the window (a restore) may have closed the
    // databases too: there is no TimeCard left to show.
    if (m_closed)
        return;
    syncChecks();
    statusBar()->showMessage(kReview);
    showCurrent();
}

void frmTimeCard::showCurrent()
{
    m_fields->showCurrent();
    m_position->setText(m_commands.positionText());
    const NavigationButtons buttons = m_commands.navigationButtons();
    m_tools.value(ToolId::GoToFirst)->setEnabled(buttons.first);
    m_tools.value(ToolId::GoToPrevious)->setEnabled(buttons.previous);
    m_tools.value(ToolId::GoToNext)->setEnabled(buttons.next);
    m_tools.value(ToolId::GoToLast)->setEnabled(buttons.last);
}

QString frmTimeCard::positionText() const
{
    return m_position->text();
}

void frmTimeCard::showAbout()
{
    QMessageBox::about(
        this, QStringLiteral("About Quorvale"),
        QStringLiteral("Quorvale %1\nTime and billing for professionals.").arg(Version::text()));
    statusBar()->showMessage(kReview);
}

void frmTimeCard::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Q_EMIT stateChanged();
}

void frmTimeCard::closeEvent(QCloseEvent *event)
{
    // Asked and answered once: what closed it may have closed the databases.
    if (m_closed) {
        event->accept();
        return;
    }
    if (!m_fields->commitTypedTimes() || (m_closeGuard && !m_closeGuard())) {
        event->ignore();
        return;
    }
    statusBar()->showMessage(QStringLiteral("Unloading..."));
    m_closed = true;
    if (m_onClose)
        m_onClose(WindowState{m_commands.currentTimeCardId(), size(), m_commands.showHidden()});
    event->accept();
}

} // namespace quorvale
