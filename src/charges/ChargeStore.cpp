#include "ChargeStore.h"

#include "platform/core/QvError.h"
#include "timecards/RateChoices.h"

namespace quorvale {

QString chargeBaseSql(ChargeKind kind, bool hideInactiveContacts)
{
    const QString t = chargeNames(kind).table;
    if (hideInactiveContacts)
        return QStringLiteral("SELECT %1.* FROM tblContacts RIGHT JOIN %1 ON tblContacts.ContactID "
                              "= %1.ContactID WHERE (tblContacts.Active<>0 OR %1.ContactID Is "
                              "Null) AND %1.InvoiceID Is Null AND %1.UserID=?")
            .arg(t);
    return QStringLiteral("SELECT %1.* FROM %1 WHERE %1.InvoiceID Is Null AND %1.UserID=?").arg(t);
}

ChargeStore::ChargeStore(db::Connection &cnnLink, ChargeKind kind, ChargeScope scope,
                         ChargeCodes codes, QLocale locale)
    : m_cnn(cnnLink), m_kind(kind), m_names(chargeNames(kind)), m_scope(std::move(scope)),
      m_codes(std::move(codes)), m_locale(std::move(locale))
{
}

void ChargeStore::open(std::optional<qint64> itemId)
{
    reopen({}, itemId);
}

SqlFragment ChargeStore::scopeFragment() const
{
    SqlFragment scope;
    if (m_scope.timeCardId)
        scope.add(m_names.table + QStringLiteral(".TimeCardID = ?"), {*m_scope.timeCardId});
    return scope;
}

void ChargeStore::reopen(const SqlFragment &fragment, std::optional<qint64> itemId)
{
    QString sql = chargeBaseSql(m_kind, m_scope.hideInactiveContacts);
    QVariantList params{m_scope.userId};
    if (itemId) {
        sql += QStringLiteral(" AND %1.%2 = ?").arg(m_names.table, m_names.keyColumn);
        params << *itemId;
    }
    const SqlFragment scope = scopeFragment();
    sql += scope.text + fragment.text;
    params += scope.params;
    params += fragment.params;
    sql += QStringLiteral(" ORDER BY %1.%2").arg(m_names.table, m_names.keyColumn);
    m_rs.open(m_cnn, sql, db::CursorType::Keyset, db::LockType::Optimistic, params);
    m_filter = fragment;
}

bool ChargeStore::isEmpty() const
{
    return !adding() && m_rs.recordCount() == 0;
}

int ChargeStore::count() const
{
    return m_rs.recordCount();
}

int ChargeStore::position() const
{
    const int p = m_rs.absolutePosition();
    return p > 0 ? p : 0;
}

ChargeRecord ChargeStore::current() const
{
    if (adding())
        return m_adding;
    ChargeRecord r;
    if (m_rs.bof() || m_rs.eof())
        return r;
    const auto id = [this](const char *column) {
        return static_cast<qint32>(m_rs.value(QLatin1String(column)).toLongLong());
    };
    r.id = m_rs.value(m_names.keyColumn).toLongLong();
    const QVariant code = m_rs.value(m_names.codeColumn);
    r.codeId = code.isNull() ? NoChargeCode : code.toInt();
    const QVariant timeCard = m_rs.value(QStringLiteral("TimeCardID"));
    if (!timeCard.isNull() && timeCard.toLongLong() != 0)
        r.timeCardId = timeCard.toLongLong();
    r.contactId = id("ContactID");
    if (r.contactId != 0 && m_contactName)
        r.contactName = m_contactName(r.contactId);
    r.activity1Id = id("Activity1ID");
    r.activity2Id = id("Activity2ID");
    r.jobOrder = m_rs.value(QStringLiteral("JobOrder")).toString();
    r.startDate = m_rs.value(QStringLiteral("StartDate")).toDate();
    r.description = m_rs.value(QStringLiteral("Description")).toString();
    r.quantityText = QString::number(m_rs.value(QStringLiteral("Quantity")).toLongLong());
    r.rateText = chargeRateText(Money::fromStored(m_rs.value(QStringLiteral("Rate"))), m_locale);
    r.amountText = currencyText(Money::fromStored(m_rs.value(QStringLiteral("Amount"))), m_locale);
    r.billStatus = m_rs.value(QStringLiteral("BillStatus")).toString();
    r.realization = Realization::fromStored(m_rs.value(QStringLiteral("Realization")));
    r.invoiced = !m_rs.value(QStringLiteral("InvoiceID")).isNull();
    if (m_kind == ChargeKind::Expense) {
        r.endDate = m_rs.value(QStringLiteral("EndDate")).toDate();
        r.purpose = m_rs.value(QStringLiteral("Purpose")).toString();
        r.location = m_rs.value(QStringLiteral("Location")).toString();
        r.participants = m_rs.value(QStringLiteral("Participants")).toString();
        r.reimbursed = !m_rs.value(QStringLiteral("ReimbursementID")).isNull();
        const ChargeCode *c = m_codes.find(r.codeId);
        FormatExpenseClass(r, c ? c->expenseClass : QString(), true, m_scope.userName);
    }
    return r;
}

bool ChargeStore::pending(const ChargeRecord &shown) const
{
    if (adding())
        return true;
    if (m_rs.bof() || m_rs.eof())
        return false;
    return !(shown == current());
}

void ChargeStore::writeValues(const ChargeRecord &r)
{
    const auto set = [this](const QString &column, const QVariant &value) {
        if (adding() || m_rs.value(column) != value)
            m_rs.setValue(column, value);
    };
    const auto setMoney = [&](const QString &column, const QString &text) {
        const Money m = chargeNumber(text, m_locale).value_or(Money());
        if (adding() || Money::fromStored(m_rs.value(column)) != m)
            m_rs.setValue(column, QVariant::fromValue(m));
    };
    if (adding()) {
        m_rs.setValue(QStringLiteral("UserID"), m_scope.userId);
        if (r.timeCardId)
            m_rs.setValue(QStringLiteral("TimeCardID"), *r.timeCardId);
    }
    set(m_names.codeColumn, r.codeId == NoChargeCode ? QVariant() : QVariant(r.codeId));
    set(QStringLiteral("ContactID"), r.contactId);
    set(QStringLiteral("Activity1ID"), r.activity1Id);
    set(QStringLiteral("Activity2ID"), r.activity2Id);
    set(QStringLiteral("JobOrder"), r.jobOrder.isNull() ? QStringLiteral("") : r.jobOrder);
    set(QStringLiteral("StartDate"), r.startDate);
    set(QStringLiteral("Description"), r.description);
    const Money quantity = chargeNumber(r.quantityText, m_locale).value_or(Money::fromWhole(1));
    set(QStringLiteral("Quantity"), wholeQuantity(quantity));
    setMoney(QStringLiteral("Rate"), r.rateText);
    setMoney(QStringLiteral("Amount"), r.amountText);
    set(QStringLiteral("BillStatus"), r.billStatus);
    if (adding() ||
        Realization::fromStored(m_rs.value(QStringLiteral("Realization"))) != r.realization)
        m_rs.setValue(QStringLiteral("Realization"), r.realization.toStored());
    if (m_kind == ChargeKind::Expense) {
        set(QStringLiteral("EndDate"), r.endDate);
        set(QStringLiteral("Purpose"), r.purpose);
        set(QStringLiteral("Location"), r.location);
        set(QStringLiteral("Participants"), r.participants);
    }
}

void ChargeStore::commit(const ChargeRecord &shown)
{
    if (!pending(shown))
        return;
    // An invoiced or reimbursed row is not ours to change any more.
    if (!adding() && current().readOnly(m_kind == ChargeKind::Expense))
        return;
    writeValues(shown);
    m_rs.update();
}

void ChargeStore::discard()
{
    if (adding())
        m_rs.cancelUpdate();
    else if (!m_rs.bof() && !m_rs.eof())
        m_rs.move(0);
}

void ChargeStore::moveFirst()
{
    if (count() > 0)
        m_rs.moveFirst();
}

void ChargeStore::movePrevious()
{
    if (count() == 0)
        return;
    m_rs.movePrevious();
    if (m_rs.bof())
        m_rs.moveFirst();
}

void ChargeStore::moveNext()
{
    if (count() == 0)
        return;
    m_rs.moveNext();
    if (m_rs.eof())
        m_rs.moveLast();
}

void ChargeStore::moveLast()
{
    if (count() > 0)
        m_rs.moveLast();
}

void ChargeStore::addNew(const ChargeRecord &values)
{
    m_rs.addNew();
    m_adding = values;
    m_adding.id.reset();
}

bool ChargeStore::deleteCurrent(const std::function<ChargeRecord()> &freshRow)
{
    if (adding()) {
        m_rs.cancelUpdate();
        if (count() == 0)
            addNew(freshRow());
        return true;
    }
    if (m_rs.bof() || m_rs.eof())
        return false;
    // Reimbursement and invoicing refer to the row; it is not ours to remove.
    if (current().readOnly(m_kind == ChargeKind::Expense))
        return false;
    if (filtered() && count() == 1) {
        const QVariant key = m_rs.bookmark();
        reopen({});
        findKey(key);
    }
    const int at = position();
    m_rs.deleteCurrent();
    if (count() == 0 && filtered())
        reopen({});
    if (count() == 0) {
        addNew(freshRow());
        return true;
    }
    m_rs.setAbsolutePosition(std::min(at, count()));
    return true;
}

bool ChargeStore::applyFilter(const SqlFragment &fragment)
{
    if (fragment.isEmpty())
        return false;
    const SqlFragment scope = scopeFragment();
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM (") +
                        chargeBaseSql(m_kind, m_scope.hideInactiveContacts) + scope.text +
                        fragment.text + QStringLiteral(") AS filtered");
    QVariantList params{m_scope.userId};
    params += scope.params;
    params += fragment.params;
    if (m_cnn.scalar(sql, params).toLongLong() == 0)
        return false;
    reopen(fragment);
    return true;
}

void ChargeStore::clearFilter()
{
    const QVariant key = !adding() && !m_rs.bof() && !m_rs.eof() ? m_rs.bookmark() : QVariant();
    reopen({});
    findKey(key);
}

void ChargeStore::refresh()
{
    const QVariant key = !adding() && !m_rs.bof() && !m_rs.eof() ? m_rs.bookmark() : QVariant();
    m_rs.requery();
    findKey(key);
}

void ChargeStore::findKey(const QVariant &key)
{
    if (count() == 0)
        return;
    m_rs.moveFirst();
    if (key.isNull())
        return;
    m_rs.find(m_names.keyColumn, key);
    if (m_rs.eof())
        m_rs.moveFirst();
}

} // namespace quorvale
