#include "ContactPicker.h"

#include "platform/db/Connection.h"

#include <numeric>

namespace quorvale {

QString ContactPicker::listSql()
{
    return QStringLiteral("Select ContactID, ContactName, ContactAccount From tblContacts WHERE "
                          "Active <> 0 ORDER BY ContactAccount, ContactName");
}

ContactPicker::ContactPicker(db::Connection &cnnLink)
{
    // A big firm's hundred thousand contacts come through SQLite's own interface
    // where it is there: the driver's row records would cost more than the reading.
    cnnLink.readRows(listSql(), {}, [this](QVariant *values, int columns) {
        if (columns < 3)
            return;
        PickerContactRow contact{values[0].toInt(), values[1].toString(), values[2].toString()};
        m_foldedNames.push_back(contact.name.toCaseFolded());
        m_foldedAccounts.push_back(contact.account.toCaseFolded());
        m_rows.push_back(std::move(contact));
    });
    m_all.resize(m_rows.size());
    std::iota(m_all.begin(), m_all.end(), 0);
    m_matches = m_all;
}

const std::vector<int> &ContactPicker::filter(const QString &typed)
{
    const QString needle = typed.trimmed().toCaseFolded();
    if (needle.isEmpty()) {
        m_matches = m_all;
    } else if (!m_lastNeedle.isEmpty() && needle.contains(m_lastNeedle)) {
        // Whatever holds the longer text also holds the shorter one.
        const std::vector<int> kept = std::move(m_matches);
        matchWithin(kept, needle);
    } else {
        matchWithin(m_all, needle);
    }
    m_lastNeedle = needle;
    return m_matches;
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
