#pragma once

#include "charges/ChargeCodes.h"
#include "charges/ChargeKind.h"
#include "charges/ChargeRecord.h"
#include "data/SqlFragment.h"
#include "platform/db/Recordset.h"

#include <QLocale>
#include <functional>
#include <optional>

namespace quorvale {

// Whose rows a charge window opens.
struct ChargeScope {
    qint32 userId = 0;
    bool hideInactiveContacts = false;
    QString userName; // participants of a new expense start with it
    // Set: only the rows linked to this TimeCard.
    std::optional<qint64> timeCardId;
};

// The base statement of a charge window: the user's uninvoiced rows of the
// kind (hiding those of inactive contacts when asked), with the user id as
// the one parameter.
QString chargeBaseSql(ChargeKind kind, bool hideInactiveContacts);

// The rows of one charge window (modes 1 and 2) over a keyset record set on
// cnnLink: opening, the current row as a ChargeRecord, committing what the
// window shows, adding, deleting and the quick filter. Every value is bound.
class ChargeStore {
public:
    ChargeStore(db::Connection &cnnLink, ChargeKind kind, ChargeScope scope, ChargeCodes codes,
                QLocale locale = QLocale());

    // `OpenRS`: the one row itemId (edit one), or every row (manage all).
    void open(std::optional<qint64> itemId = std::nullopt);

    ChargeKind kind() const { return m_kind; }
    const ChargeCodes &codes() const { return m_codes; }
    // The contact name shown with a row (nothing by default).
    void setContactName(std::function<QString(qint32)> name) { m_contactName = std::move(name); }

    bool isEmpty() const;
    int count() const;
    // 1-based; 0 while a new row is being added.
    int position() const;
    bool adding() const { return m_rs.editMode() == db::EditMode::Add; }

    // The current row as read (or, while adding, the new row's values).
    ChargeRecord current() const;
    // The shown values differ from the current row's, or a new row waits.
    bool pending(const ChargeRecord &shown) const;
    // Writes what differs and saves the row (a new row is inserted). Throws
    // QvError when it cannot; the row then stays pending.
    void commit(const ChargeRecord &shown);
    // Drops a new row not yet saved; a stored row simply is read again.
    void discard();

    // Clamped: previous on the first row and next on the last stay there.
    void moveFirst();
    void movePrevious();
    void moveNext();
    void moveLast();

    // `AddNewRecord`: a pending new row with values (the user id is added).
    void addNew(const ChargeRecord &values);
    // The delete tool: a pending new row is dropped, a stored one deleted without
    // asking; a filter that would be left empty is cleared; with no row left a
    // fresh row from freshRow is added. Otherwise the next row (or the previous
    // one at the end) becomes current. An invoiced or reimbursed row is kept:
    // false then, and nothing changes.
    bool deleteCurrent(const std::function<ChargeRecord()> &freshRow);

    // The quick filter: reopens with the fragment and shows its first row.
    // False (nothing changes) when it matches no row.
    bool applyFilter(const SqlFragment &fragment);
    // Reopens without the filter and finds the row that was shown again (the
    // first row when it is no longer there).
    void clearFilter();
    bool filtered() const { return !m_filter.isEmpty(); }
    // Reads the rows again after something else changed them (a reimbursement
    // marked them), keeping the filter and, when it is still there, the row shown.
    void refresh();

    db::Recordset &recordset() { return m_rs; }

private:
    SqlFragment scopeFragment() const;
    void reopen(const SqlFragment &fragment, std::optional<qint64> itemId = std::nullopt);
    void findKey(const QVariant &key);
    void writeValues(const ChargeRecord &shown);

    db::Connection &m_cnn;
    ChargeKind m_kind;
    ChargeNames m_names;
    ChargeScope m_scope;
    ChargeCodes m_codes;
    QLocale m_locale;
    std::function<QString(qint32)> m_contactName;
    db::Recordset m_rs;
    SqlFragment m_filter;
    ChargeRecord m_adding; // the values of a pending new row
};

} // namespace quorvale
