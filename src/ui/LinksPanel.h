#pragma once

#include "outlook/LinkDeletion.h"
#include "outlook/LinkList.h"
#include "outlook/LinkReader.h"
#include "outlook/TimeCardSnapshot.h"

#include <QWidget>
#include <functional>
#include <optional>

class QAction;
class QComboBox;
class QMenu;
class QStandardItemModel;
class QTableView;
class QToolButton;

namespace quorvale {

class ErrorHandler;
class OutlookSession;
class Prompts;
namespace db {
class Connection;
}

// What the Links page needs of the window around it. Unset functions leave
// their actions out.
struct LinksPanelHooks {
    // The current TimeCard's ID; nothing when there is none or it is not saved.
    std::function<std::optional<qint64>()> timeCardId;
    // The current TimeCard's journal entry, written anew first when it has gone
    // from the store; its EntryID, empty when it has none.
    std::function<QString()> journalEntryId;
    // The time spent as stored ("0013000"), and writing it back; false when the
    // TimeCard cannot take it (locked, or the person's edit was refused).
    std::function<QString()> timeSpent;
    std::function<bool(const QString &sevenDigits)> writeTimeSpent;
    // Runs a main window tool (the new-item commands behind Add).
    std::function<void(int toolId)> runTool;
    // Whether the window offers that tool now; unset: every tool is offered.
    std::function<bool(int toolId)> toolAvailable;
    // Expenses (8) and fixed charges (9): add one, or edit the one with that ID.
    std::function<void(int linkKind)> addCharge;
    std::function<void(int linkKind, qint64 id)> editCharge;
    // Opens a file with the desktop's program.
    std::function<bool(const QString &path)> openDocument;
    // Asks what a delete takes; nothing when cancelled. Default: the dialog.
    std::function<std::optional<LinkDeleteOption>()> askDeleteOption;
    // The "Default Billing Interval" the Adjust Time amounts follow.
    QString billingInterval;
};

// The Links page of the main window: the kind selector, the abLinks tools and
// the grid of the current TimeCard's links of that kind.
class LinksPanel : public QWidget {
    Q_OBJECT

public:
    // The tools' failures go to `errors`, the program's common handler.
    LinksPanel(OutlookSession &session, db::Connection &cnnLink, Prompts &prompts,
               ErrorHandler &errors, LinksPanelHooks hooks, QWidget *parent = nullptr);

    // The grid's pop-up menu (LinksPopup); its Mark Task Complete follows the
    // selected task.
    void setPopup(QMenu *popup, QAction *markComplete);

    // What Add runs for an item kind, in place of the main window's tool.
    void setRunTool(std::function<void(int toolId)> run)
    {
        m_hooks.runTool = std::move(run);
        syncTools();
    }

    // Expenses and fixed charges are added and edited by the charges' dialog.
    void setChargeHooks(std::function<void(int linkKind)> add,
                        std::function<void(int linkKind, qint64 id)> edit)
    {
        m_hooks.addCharge = std::move(add);
        m_hooks.editCharge = std::move(edit);
        syncTools();
    }

    LinkListKind kind() const { return m_list.kind; }
    const LinkList &list() const { return m_list; }
    QComboBox *selector() const { return m_selector; }
    QTableView *grid() const { return m_grid; }
    QAction *editTool() const { return m_edit; }
    QAction *addTool() const { return m_add; }
    QAction *deleteTool() const { return m_delete; }
    QAction *adjustTool() const { return m_adjust; }

    // ProcessLinks: rebuilds the list of the kind shown (or of `kind`).
    void ProcessLinks();
    void showKind(LinkListKind kind);
    // The kind the page opens on: listed at once while the page is shown,
    // else when it is next shown.
    void setFirstKind(LinkListKind kind);
    // Refreshes only while the page is visible or its list belongs to another
    // TimeCard: the window calls this after every command.
    void currentChanged();

    // The tools; each acts on the selected row.
    void editSelected();
    void addLinked();
    void deleteSelected();
    void adjustTime(bool add);
    // The selected task is marked complete (mnuMarkComplete).
    void markComplete();
    // The heading of that model column was clicked.
    void sortBy(int column);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildTools();
    void fillGrid();
    void syncTools();
    std::optional<std::size_t> selectedRow() const;
    void selectRow(std::optional<std::size_t> row);
    SelectedLink selectedLink(std::size_t row) const;
    void showPopup(const QPoint &pos);
    QString cellText(std::size_t row, int column) const;
    void report(const std::exception &error);
    std::optional<qint64> currentId() const;

    OutlookSession &m_session;
    db::Connection &m_cnn;
    Prompts &m_prompts;
    ErrorHandler &m_errors;
    LinksPanelHooks m_hooks;
    LinkReader m_reader;
    LinkList m_list;
    std::optional<qint64> m_listedFor;
    bool m_stale = true;
    bool m_reading = false;

    QComboBox *m_selector = nullptr;
    QTableView *m_grid = nullptr;
    QStandardItemModel *m_model = nullptr;
    QAction *m_edit = nullptr;
    QAction *m_add = nullptr;
    QAction *m_delete = nullptr;
    QAction *m_adjust = nullptr;
    QMenu *m_popup = nullptr;
    QAction *m_markComplete = nullptr;
};

// The grid's heading of a field for a kind ("Due Date" for DueDate, ...).
QString linkColumnCaption(LinkListKind kind, const QString &field);

} // namespace quorvale
