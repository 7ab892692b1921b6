#pragma once

#include "data/SortOrders.h"
#include "data/SqlFragment.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QVariant>
#include <functional>
#include <optional>
#include <vector>

namespace quorvale {

class Prompts;

namespace db {
class Connection;
}

// What the person set in the mass edit dialog; a field left unset takes no part.
// A contact or activity of 0 clears it.
struct MassEditRequest {
    std::optional<qint32> contactId;
    std::optional<qint32> activity1Id;
    std::optional<qint32> activity2Id;
    std::optional<QString> billStatus;
    std::optional<QString> rateSource;
    std::optional<QString> rateLevel; // "1" .. "6"
    std::optional<QString> entryType;
    std::optional<QString> category;
    std::optional<QString> timeEstimated; // the stored seven digits
    std::optional<QDate> startDate;
    std::optional<QDate> endDate;
    std::optional<QTime> startTime;
    std::optional<QTime> endTime;
};

// One column every TimeCard of the set takes, with the label the progress shows.
struct MassEditChange {
    QString column; // always one of tblTimeCards' editable columns, never typed text
    QString label;
    QVariant value;
};

// The request's fields in the order they are applied: contact, activity 1,
// activity 2, billing status, rate source, rate level, entry type, category,
// time estimated, start date, end date, start time, end time.
std::vector<MassEditChange> massEditChanges(const MassEditRequest &request, const Terms &terms);

// Whether a column is one whose change items linked to a TimeCard follow.
bool followedByLinks(const QString &column);
// Whether a change of the column may change a TimeCard's rate or value.
bool changesValue(const QString &column);

// One entry of the dialog's activity lists.
struct MassEditEntry {
    qint32 id = 0; // 0: the empty entry, no change
    QString text;
};

// The active activities of a level (1: tblMainActivities, 2: tblSubActivities)
// by name, the empty entry first; with numbers shown, "number - name".
std::vector<MassEditEntry> massEditActivities(db::Connection &cnn, int level, bool showNumbers);

// The working set the edit applies to: the main window's statement with the
// filter in force.
struct MassEditSet {
    QString sql; // selects tblTimeCards rows, ORDER BY allowed
    QVariantList params;
};

struct MassEditHooks {
    // " Modify Outlook Fields?" once for the whole edit; false: cancelled.
    std::function<bool()> askLinks;
    // Carries a contact or activity change into one TimeCard's charges and
    // items without asking again; false stops the edit.
    std::function<bool(const QString &column, const QVariant &value, qint64 timeCardId)>
        updateLinks;
    // Recomputes one TimeCard's rate and value after value-changing edits.
    std::function<void(qint64 timeCardId)> recompute;
    // Brings one TimeCard's journal entry in step with its stored values, as
    // leaving a changed TimeCard does.
    std::function<void(qint64 timeCardId)> mirror;
    // The label above the bar ("Please wait...") and the bar's position.
    std::function<void(const QString &label)> label;
    std::function<void(int done, int total)> progress;
};

// Sets the chosen fields of every TimeCard of the working set to the same value.
class MassEdit {
public:
    enum class Outcome {
        Cancelled, // back to the dialog, nothing written
        Declined,  // "No": the dialog closes, nothing written
        Applied,
    };
    struct Result {
        Outcome outcome = Outcome::Cancelled;
        int edited = 0; // TimeCards of the set
    };

    MassEdit(db::Connection &cnnLink, Prompts &prompts, MassEditHooks hooks);

    // The TimeCards of the set, in its order.
    std::vector<qint64> timeCardIds(const MassEditSet &set) const;

    // Reads the set's TimeCards now, asks "Are you sure ..." for their count,
    // then writes every change to each of them in one transaction: the
    // columns, the linked charges and items, the recomputed values, the
    // journal entries. An
    // invoiced TimeCard keeps its values. Failures roll the database back and
    // come out as QvError.
    Result apply(const MassEditRequest &request, const Terms &terms, const MassEditSet &set,
                 bool recomputeValues);

private:
    db::Connection &m_cnn;
    Prompts &m_prompts;
    MassEditHooks m_hooks;
};

} // namespace quorvale
