#pragma once

#include "data/SortOrders.h"
#include "settings/AdjustInterface.h"

#include <QHash>
#include <QMainWindow>
#include <functional>

class QAction;
class QLabel;
class QMenu;

namespace quorvale {

class MainCommands;
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
    // Runs before every command; a command whose guard fails does not run (the
    // guard has told the person why). The item store's connection check.
    void setCommandGuard(std::function<bool()> guard) { m_guard = std::move(guard); }
    void setErrorHandler(std::function<void(const std::exception &)> onError)
    {
        m_onError = std::move(onError);
    }

    // The tool of that name (every band shares it), or nullptr.
    QAction *tool(const QString &name) const;
    QAction *toolById(int toolId) const;
    QString positionText() const;

public Q_SLOTS:
    void abMainMenu_ToolClick(int toolId);
    // Fills the fields from the current row and refreshes the navigator.
    void showCurrent();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildTools();
    void buildBands();
    void buildFields();
    void syncChecks();
    void showAbout();

    WorkingSet &m_set;
    MainCommands &m_commands;
    Terms m_terms;
    std::function<void(const WindowState &)> m_onClose;
    std::function<void(const std::exception &)> m_onError;
    std::function<bool()> m_guard;
    QHash<int, QAction *> m_tools;
    QLabel *m_position = nullptr;
    std::vector<std::pair<QString, QLabel *>> m_fields;
};

// Window sizes are kept in twips, 1440 to the inch, as the settings hold them.
int twipsToPixels(int twips, int dpi);
int pixelsToTwips(int pixels, int dpi);

} // namespace quorvale
