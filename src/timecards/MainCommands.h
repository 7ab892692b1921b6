#pragma once

#include "data/WorkingSet.h"
#include "timecards/CommandSet.h"

#include <QString>
#include <functional>

namespace quorvale {

class Prompts;
namespace db {
class Connection;
}

// Which of the navigator's moves make sense at the current row.
struct NavigationButtons {
    bool first = false;
    bool previous = false;
    bool next = false;
    bool last = false;
};

// The TimeCard commands of the main window that work on the working set: moving,
// sorting, showing hidden TimeCards. The window hands each tool ID here; nothing
// in this class knows a widget.
// The navigator's actions, numbered as the go-to tools are ordered; 6 takes back
// the current TimeCard while it is still empty.
enum class NavigationAction { First = 0, Previous = 1, Next = 2, Last = 3, DiscardEmpty = 6 };

class MainCommands : public CommandSet {
public:
    // saveDefaultSort stores the clause in force as the "Default Sort" setting.
    MainCommands(WorkingSet &workingSet, db::Connection &cnnLink, WorkingSetContext context,
                 bool showHidden, Prompts &prompts,
                 std::function<void(const QString &)> saveDefaultSort);

    // Asked before the current TimeCard is left (moves, sorts, showing hidden
    // TimeCards); false keeps it current and the command does nothing.
    void setLeaveCurrent(std::function<bool()> leave) { m_leave = std::move(leave); }

    // Navigation, sorting and showing hidden TimeCards.
    bool handles(int toolId) const override;
    void run(int toolId) override;

    // What action 6 does: discard the current TimeCard when it is empty.
    void setDiscardEmpty(std::function<bool()> discard) { m_discardEmpty = std::move(discard); }

    // A move past either end stays on the first or last TimeCard.
    void RecordNavigation(NavigationAction action);
    // Re-opens the set in the order of the sort tool, keeping the same TimeCard
    // current. False when nothing was re-sorted.
    bool ProcessSort(int toolId);
    // Makes the TimeCard with that ID current; false (the first current) when
    // the set does not hold it.
    bool goToTimeCard(const QVariant &id);
    // Rebuilds the set with or without hidden TimeCards.
    bool SetShowHidden(bool showHidden);

    bool showHidden() const { return m_showHidden; }
    int sortToolId() const { return m_sortToolId; }
    // The row number, " of " and the number of TimeCards ("0 of 0" when empty).
    QString positionText() const;
    NavigationButtons navigationButtons() const;
    // The current TimeCard's ID, or an invalid variant.
    QVariant currentTimeCardId() const;

private:
    bool hasCurrent() const;
    void findTimeCard(const QVariant &id);

    WorkingSet &m_set;
    db::Connection &m_link;
    WorkingSetContext m_context;
    bool m_showHidden;
    Prompts &m_prompts;
    std::function<void(const QString &)> m_saveDefaultSort;
    int m_sortToolId;
    std::function<bool()> m_leave;
    std::function<bool()> m_discardEmpty;
};

} // namespace quorvale
