#pragma once

#include <QString>
#include <span>

namespace quorvale {

// The administrator's words for the contact and the two activity levels; every
// caption that names those fields uses them.
struct Terms {
    QString contact = QStringLiteral("Client");
    QString activity1 = QStringLiteral("Service");
    QString activity2 = QStringLiteral("Project");
};

// One of the 22 orders of the working set. The clause is stored as "Default Sort"
// and compared as text, so it must stay byte-for-byte as it is here.
struct SortOrder {
    enum class Field {
        DateCreated,
        Contact,
        Activity1,
        Activity2,
        StartDate,
        EndDate,
        BillStatus,
        RateSource,
        EntryType,
        Rate,
        Value
    };

    Field field;
    bool descending;
    int toolId;
    const char *clause;
    const char *toolName; // the sort menu tool, e.g. "mnuContactASC"

    // The current-sort caption ("Start Date", contact term + " ID", ...).
    QString caption(const Terms &terms) const;
    // The sort menu caption with its access key ("&Start Date", "Ac&tivity:" + term, ...).
    QString menuCaption(const Terms &terms) const;
};

namespace SortOrders {

inline constexpr int DefaultToolId = 6024;
inline constexpr const char *DefaultClause = " ORDER BY tblTimeCards.TimeCardID ASC";

std::span<const SortOrder> all();
// The order whose clause is exactly `clause`, or nullptr: an unknown stored text
// is never run, it leaves the set unsorted.
const SortOrder *findByClause(const QString &clause);
const SortOrder *findByToolId(int toolId);

} // namespace SortOrders

} // namespace quorvale
