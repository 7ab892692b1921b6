#include "filters/MassEdit.h"

#include "data/TimeCardRepository.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "support/Prompts.h"
#include "support/Trace.h"

#include <QSqlQuery>
#include <algorithm>

namespace quorvale {

namespace {

const QString LinkColumns[] = {QStringLiteral("ContactID"), QStringLiteral("Activity1ID"),
                               QStringLiteral("Activity2ID")};

QVariant idValue(qint32 id)
{
    return id == 0 ? QVariant() : QVariant(id);
}

} // namespace

std::vector<MassEditChange> massEditChanges(const MassEditRequest &r, const Terms &terms)
{
    std::vector<MassEditChange> changes;
    const auto add = [&changes](const char *column, const QString &label, const QVariant &value) {
        changes.push_back({QLatin1String(column), label, value});
    };
    if (r.contactId)
        add("ContactID", terms.contact, idValue(*r.contactId));
    if (r.activity1Id)
        add("Activity1ID", terms.activity1, idValue(*r.activity1Id));
    if (r.activity2Id)
        add("Activity2ID", terms.activity2, idValue(*r.activity2Id));
    if (r.billStatus)
        add("BillStatus", QStringLiteral("Billing Status"), *r.billStatus);
    if (r.rateSource)
        add("RateSource", QStringLiteral("Rate Source"), *r.rateSource);
    if (r.rateLevel)
        add("RateLevel", QStringLiteral("Rate Level"), *r.rateLevel);
    if (r.entryType)
        add("EntryType", QStringLiteral("Entry Type"), *r.entryType);
    if (r.category)
        add("Category", QStringLiteral("Category"), *r.category);
    if (r.timeEstimated)
        add("TimeEstimated", QStringLiteral("Time Estimated"), *r.timeEstimated);
    if (r.startDate)
        add("StartDate", QStringLiteral("Start Date"), *r.startDate);
    if (r.endDate)
        add("EndDate", QStringLiteral("End Date"), *r.endDate);
    if (r.startTime)
        add("StartTime", QStringLiteral("Start Time"), *r.startTime);
    if (r.endTime)
        add("EndTime", QStringLiteral("End Time"), *r.endTime);
    return changes;
}

std::vector<MassEditEntry> massEditActivities(db::Connection &cnn, int level, bool showNumbers)
{
    QSqlQuery query = cnn.prepare(
        QStringLiteral("SELECT ActivityID, ActivityName, ActivityNumber FROM %1 WHERE Active <> 0 "
                       "ORDER BY ActivityName")
            .arg(level == 1 ? QLatin1String("tblMainActivities")
                            : QLatin1String("tblSubActivities")));
    cnn.run(query, {});
    std::vector<MassEditEntry> entries{MassEditEntry{}};
    while (query.next()) {
        const QString name = query.value(1).toString();
        const QVariant number = query.value(2);
        entries.push_back(
            {query.value(0).toInt(), showNumbers && !number.isNull()
                                         ? number.toString() + QStringLiteral(" - ") + name
                                         : name});
    }
    return entries;
}

bool followedByLinks(const QString &column)
{
    return std::ranges::find(LinkColumns, column) != std::end(LinkColumns);
}

bool changesValue(const QString &column)
{
    // Rates come from the contact, the activities or the chosen source and level.
    return followedByLinks(column) || column == QLatin1String("RateSource") ||
           column == QLatin1String("RateLevel");
}

MassEdit::MassEdit(db::Connection &cnnLink, Prompts &prompts, MassEditHooks hooks)
    : m_cnn(cnnLink), m_prompts(prompts), m_hooks(std::move(hooks))
{
}

std::vector<qint64> MassEdit::timeCardIds(const MassEditSet &set) const
{
    db::Recordset rs;
    rs.open(m_cnn, set.sql, db::CursorType::Keyset, db::LockType::ReadOnly, set.params);
    std::vector<qint64> ids;
    for (; !rs.eof(); rs.moveNext())
        ids.push_back(rs.value(QStringLiteral("TimeCardID")).toLongLong());
    return ids;
}

MassEdit::Result MassEdit::apply(const MassEditRequest &request, const Terms &terms,
                                 const MassEditSet &set, bool recomputeValues)
{
    TraceScope trace(u"frmMassEdit: cmdApply_Click");
    Result result;
    const std::vector<qint64> ids = timeCardIds(set);
    const int n = static_cast<int>(ids.size());
    const PromptResult answer = m_prompts.messageBox(
        QStringLiteral(" Confirm Request"),
        QStringLiteral("Are you sure you want to apply this change to %1 records?").arg(n),
        PromptButtons::YesNoCancel, PromptIcon::Question);
    if (answer == PromptResult::No) {
        result.outcome = Outcome::Declined;
        return result;
    }
    if (answer != PromptResult::Yes)
        return result;

    const std::vector<MassEditChange> changes = massEditChanges(request, terms);
    const bool linked = std::ranges::any_of(
        changes, [](const MassEditChange &c) { return followedByLinks(c.column); });
    if (linked && m_hooks.askLinks && !m_hooks.askLinks())
        return result;

    const auto label = [this](const QString &text) {
        if (m_hooks.label)
            m_hooks.label(text);
    };
    const auto progress = [this, n](int done) {
        if (m_hooks.progress)
            m_hooks.progress(done, n);
    };
    label(QStringLiteral("Please wait..."));

    db::Transaction transaction(m_cnn);
    TimeCardRepository timeCards(m_cnn);
    for (const MassEditChange &change : changes) {
        label(QStringLiteral("Please wait, editing the %1 field...").arg(change.label));
        int done = 0;
        progress(0);
        for (const qint64 id : ids) {
            timeCards.setColumn(id, change.column, change.value);
            progress(++done);
        }
    }

    for (const MassEditChange &change : changes) {
        if (!followedByLinks(change.column) || !m_hooks.updateLinks)
            continue;
        label(QStringLiteral("Updating linked items..."));
        int done = 0;
        progress(0);
        for (const qint64 id : ids) {
            if (!m_hooks.updateLinks(change.column, change.value, id))
                return result; // the transaction rolls back
            progress(++done);
        }
    }

    const bool valuesChanged = std::ranges::any_of(
        changes, [](const MassEditChange &c) { return changesValue(c.column); });
    const bool recompute = recomputeValues && valuesChanged && m_hooks.recompute;
    if (recompute || m_hooks.mirror) {
        label(QStringLiteral("Please wait, refreshing TimeCard values..."));
        int done = 0;
        progress(0);
        for (const qint64 id : ids) {
            if (recompute)
                m_hooks.recompute(id);
            if (m_hooks.mirror)
                m_hooks.mirror(id);
            progress(++done);
        }
    }
    transaction.commit();
    result.outcome = Outcome::Applied;
    result.edited = n;
    return result;
}

} // namespace quorvale
