#pragma once

#include "data/SortOrders.h"
#include "settings/AdjustInterface.h"
#include "timecards/Validation.h"
#include "ui/TimeCardFields.h"

#include <QHash>
#include <QMainWindow>
#include <functional>

class QAction;
class QLabel;

namespace quorvale {

class CommandSet;
class MainCommands;
class TimeCardBinder;
class WorkingSet;

// What the window hands back when it closes, for the settings to keep.
struct WindowState {
    QVariant lastRecord;
    QSize size;
    bool showHidden = false;
};

// The main window: one TimeCard at a time out of the working set, the menu bar
// and the navigator. Every tool sends its ID to abMainMenu_ToolClick, which hands
// it to the commands; the window only shows what they leave behind.
class frmTimeCard : public QMainWindow {
    Q_OBJECT

public:
    // onClose receives the window's state before it goes; a QvError thrown by a
    // command reaches onError, never the event loop.
    frmTimeCard(WorkingSet &workingSet, MainCommands &commands, const Terms &terms,
                QWidget *parent = nullptr);

    void applyToolChanges(const std::vector<ToolChange> &changes);
    void setCloseHandler(std::function<void(const WindowState &)> onClose)
    {
        m_onClose = std::move(onClose);
    }
    // Asked before the window closes; false keeps it open (the guard has told
    // the person why).
    void setCloseGuard(std::function<bool()> guard) { m_closeGuard = std::move(guard); }
    // Runs before every command; a command whose guard fails does not run (the
    // guard has told the person why). The item store's connection check.
    void setCommandGuard(std::function<bool()> guard) { m_guard = std::move(guard); }
    // Runs work as the tools run their commands (the tray's too): a time being
    // typed is taken first, the command guard asked, the busy pointer shown, an
    // error handed to the error handler, and the status bar back to "Review".
    void runCommand(const std::function<void()> &work, bool takeTypedTimes = true,
                    const QString &status = QString());
    // Another set of commands the tools dispatch to, asked after those given
    // before it; it must outlive the window's use of it. Tools that no set
    // handles are disabled.
    void addCommandSet(CommandSet &commands);
    // Enables exactly the tools some command set handles now.
    void refreshToolStates() { enableHandledTools(); }
    void setErrorHandler(std::function<void(const std::exception &)> onError)
    {
        m_onError = std::move(onError);
    }

    // Makes the fields editable through the binder (nullptr: shown only).
    // timeFormat is in Qt's notation; rateSources are the offered sources.
    void bind(TimeCardBinder *binder, const QString &timeFormat, const QStringList &rateSources)
    {
        m_fields->bind(binder, timeFormat, rateSources);
    }
    TimeCardFields &fields() { return *m_fields; }
    // The time spent and value again, as the timer wrote them into the row.
    void showTimerFields() { m_fields->showTimerFields(); }
    // Puts the focus where a validation message says the TimeCard needs mending.
    void focusField(FocusField field) { m_fields->focusField(field); }
    // The time commands adjust the estimate only while the person is in it.
    bool timeEstimatedHasFocus() const { return m_fields->timeEstimatedHasFocus(); }
    // "Tooltips": the tools' tips shown or not.
    void setToolTipsShown(bool shown);
    // The running timer's note in the status bar (which TimeCard is timed,
    // while another is shown); hidden when empty.
    void setTimerNote(const QString &note);

    // The tool of that name (every band shares it), or nullptr.
    QAction *tool(const QString &name) const;
    QAction *toolById(int toolId) const;
    QString positionText() const;

public Q_SLOTS:
    void abMainMenu_ToolClick(int toolId);
    // Fills the fields from the current row and refreshes the navigator.
    void showCurrent();

    // The command set that runs the tool; null when none does.
    CommandSet *commandSetFor(int toolId) const;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

Q_SIGNALS:
    // The window was minimized or restored (its caption follows).
    void stateChanged();

private:
    void buildTools();
    void buildBands();
    void syncChecks();
    void showAbout();
    void enableHandledTools();

    WorkingSet &m_set;
    MainCommands &m_commands;
    Terms m_terms;
    std::function<void(const WindowState &)> m_onClose;
    std::function<void(const std::exception &)> m_onError;
    std::function<bool()> m_guard;
    std::function<bool()> m_closeGuard;
    std::vector<CommandSet *> m_commandSets;
    QHash<int, QAction *> m_tools;
    QLabel *m_position = nullptr;
    QLabel *m_timerNote = nullptr;
    TimeCardFields *m_fields = nullptr;
    bool m_toolTipsShown = true;
    bool m_closed = false; // the close was accepted
};

// Window sizes are kept in twips, 1440 to the inch, as the settings hold them.
int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);

} // namespace quorvale
