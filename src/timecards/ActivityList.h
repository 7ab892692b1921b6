#pragma once

#include "timecards/ContactList.h"
#include "timecards/RateFields.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace quorvale {

struct Terms;

namespace db {
class Connection;
}

// Activity 1 lives in tblMainActivities, Activity 2 in tblSubActivities.
enum class ActivityLevel { Activity1, Activity2 };

// One row of either activity table as the maintenance edits it.
struct ActivityRow {
    std::optional<qint32> id; // nullopt until the row is first saved
    QString name;
    QString number;
    QString description;
    std::optional<qint32> contactId; // nullopt: offered for every contact
    bool active = true;
    RateSet rates{};
};

// The maintenance of one activity level. Every write is one transaction;
// database failures are thrown as QvError.
class ActivityList {
public:
    ActivityList(db::Connection &cnnLink, ActivityLevel level) : m_link(cnnLink), m_level(level) {}

    ActivityLevel level() const { return m_level; }
    QString table() const;
    // The administrator's word for this level ("Service", "Project", ...).
    QString term(const Terms &terms) const;

    // Every activity of the level, active or not, by name.
    std::vector<ActivityRow> load();

    // Why the row cannot be saved ("" when it can): a name is required.
    static QString problem(const ActivityRow &row);

    // Inserts a new row or updates the existing one; returns its ActivityID.
    // Throws QvError (number InvalidCharacter) when problem() is not empty.
    qint32 save(const ActivityRow &row);

    // Deletes the activity, or makes it inactive when TimeCards or charges
    // refer to it at this level, so that their IDs stay valid.
    RemoveOutcome remove(qint32 activityId);

private:
    bool isReferenced(qint32 activityId);

    db::Connection &m_link;
    ActivityLevel m_level;
};

} // namespace quorvale
