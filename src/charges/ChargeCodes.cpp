#include "ChargeCodes.h"

#include "platform/db/Command.h"

#include <QSqlRecord>
#include <algorithm>

namespace quorvale {

QString ChargeCode::listText() const
{
    if (number.isEmpty())
        return abbreviation;
    return number + QStringLiteral(" - ") + abbreviation;
}

ChargeCodes ChargeCodes::load(db::Connection &cnnLink, ChargeKind kind)
{
    const ChargeNames names = chargeNames(kind);
    const QString p = names.codePrefix;
    const QString classColumn =
        kind == ChargeKind::Expense ? QStringLiteral(", ExpenseClass") : QString();
    db::Command read(cnnLink, QStringLiteral("SELECT %1CodeID, %1Number, %1Abbreviation, "
                                             "%1Description, %1Rate%2 FROM %3 "
                                             "WHERE Active <> 0 ORDER BY %1Number")
                                  .arg(p, classColumn, names.codeTable));
    std::vector<ChargeCode> codes;
    for (const QSqlRecord &row : read.all()) {
        ChargeCode c;
        c.id = row.value(0).toInt();
        c.number = row.value(1).toString();
        c.abbreviation = row.value(2).toString();
        c.description = row.value(3).toString();
        if (!row.value(4).isNull())
            c.rate = Money::fromStored(row.value(4));
        if (kind == ChargeKind::Expense)
            c.expenseClass = row.value(5).toString();
        codes.push_back(std::move(c));
    }
    return ChargeCodes(std::move(codes));
}

const ChargeCode *ChargeCodes::find(qint32 id) const
{
    const auto it = std::find_if(m_codes.begin(), m_codes.end(),
                                 [id](const ChargeCode &c) { return c.id == id; });
    return it == m_codes.end() ? nullptr : &*it;
}

std::vector<PickEntry> ChargeCodes::entries() const
{
    std::vector<PickEntry> entries{PickEntry{NoChargeCode, QString()}};
    for (const ChargeCode &c : m_codes)
        entries.push_back({c.id, c.listText()});
    return entries;
}

} // namespace quorvale
