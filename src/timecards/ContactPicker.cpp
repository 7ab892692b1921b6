#include "ContactPicker.h"

#include "platform/db/Connection.h"

#include <numeric>

namespace quorvale {

namespace {

// Thrown from the row callback to end a read nobody wants any more.
struct Stopped {};

// Reads the rows of `sql` until there are none or `stop` is set.
std::vector<PickerContactRow> readRows(db::Connection &cnn, const QString &sql,
                                       const std::atomic<bool> *stop)
{
    std::vector<PickerContactRow> rows;
    try {
        // A big firm's hundred thousand contacts come through the engine's own
        // interface where it is there: the driver's row records would cost more
        // than the reading.
        cnn.readRows(sql, {}, [&rows, stop](QVariant *values, int columns) {
            if (stop && stop->load(std::memory_order_relaxed))
                throw Stopped{};
            if (columns >= 3)
                rows.push_back({values[0].toInt(), values[1].toString(), values[2].toString()});
        });
    } catch (const Stopped &) {
    }
    return rows;
}

} // namespace

QString ContactPicker::listSql()
{
    return QStringLiteral("Select ContactID, ContactName, ContactAccount From tblContacts WHERE "
                          "Active <> 0 ORDER BY ContactAccount, ContactName");
}

std::vector<PickerContactRow> ContactPicker::readAll(db::Connection &cnn,
                                                     const std::atomic<bool> *stop)
{
    return readRows(cnn, listSql(), stop);
}

ContactPicker::ContactPicker(db::Connection &cnnLink)
{
    // One row more than is kept tells whether there are more.
    m_rows = readRows(cnnLink, listSql() + QStringLiteral(" LIMIT %1").arg(FirstRows + 1), nullptr);
    m_complete = m_rows.size() <= std::size_t(FirstRows);
    if (!m_complete)
        m_rows.resize(std::size_t(FirstRows));
    filter(QString());
}

void ContactPicker::takeAll(std::vector<PickerContactRow> rows)
{
    m_rows = std::move(rows);
    m_complete = true;
    m_foldedNames.clear();
    m_foldedAccounts.clear();
    matchAll(m_lastNeedle);
}

const std::vector<int> &ContactPicker::filter(const QString &typed)
{
    const QString needle = typed.trimmed().toCaseFolded();
    if (!needle.isEmpty() && !m_lastNeedle.isEmpty() && needle.contains(m_lastNeedle)) {
        // Whatever holds the longer text also holds the shorter one.
        const std::vector<int> kept = std::move(m_matches);
        matchWithin(kept, needle);
    } else {
        matchAll(needle);
    }
    m_lastNeedle = needle;
    return m_matches;
}

void ContactPicker::matchAll(const QString &needle)
{
    if (needle.isEmpty()) {
        m_matches.resize(m_rows.size());
        std::iota(m_matches.begin(), m_matches.end(), 0);
        return;
    }
    if (m_foldedNames.size() != m_rows.size()) {
        m_foldedNames.clear();
        m_foldedAccounts.clear();
        m_foldedNames.reserve(m_rows.size());
        m_foldedAccounts.reserve(m_rows.size());
        for (const PickerContactRow &row : m_rows) {
            m_foldedNames.push_back(row.name.toCaseFolded());
            m_foldedAccounts.push_back(row.account.toCaseFolded());
        }
    }
    std::vector<int> all(m_rows.size());
    std::iota(all.begin(), all.end(), 0);
    matchWithin(all, needle);
}

void ContactPicker::matchWithin(const std::vector<int> &candidates, const QString &needle)
{
    m_matches.clear();
    for (const int i : candidates) {
        const auto at = static_cast<std::size_t>(i);
        if (m_foldedNames[at].contains(needle) || m_foldedAccounts[at].contains(needle))
            m_matches.push_back(i);
    }
}

PickedContact ContactPicker::picked(int matchIndex) const
{
    const PickerContactRow &row =
        m_rows.at(static_cast<std::size_t>(m_matches.at(static_cast<std::size_t>(matchIndex))));
    return {row.id, row.name};
}

} // namespace quorvale
