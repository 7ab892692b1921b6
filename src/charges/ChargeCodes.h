#pragma once

#include "charges/ChargeKind.h"
#include "platform/core/Money.h"
#include "timecards/PickLists.h"

#include <QString>
#include <optional>
#include <vector>

namespace quorvale {

namespace db {
class Connection;
}

// The item data of the type list's empty entry: no type chosen.
inline constexpr qint32 NoChargeCode = 999999;

// One active row of tblExpenseCodes or tblFixedChargeCodes.
struct ChargeCode {
    qint32 id = 0;
    QString number;
    QString abbreviation;
    QString description;
    std::optional<Money> rate; // nullopt for a null rate
    QString expenseClass;      // expenses only

    // "number - abbreviation", or the abbreviation alone without a number.
    QString listText() const;
};

// The type list of one kind: the active codes in code-number order.
class ChargeCodes {
public:
    ChargeCodes() = default;
    explicit ChargeCodes(std::vector<ChargeCode> codes) : m_codes(std::move(codes)) {}

    // Throws QvError when the code table cannot be read.
    static ChargeCodes load(db::Connection &cnnLink, ChargeKind kind);

    const std::vector<ChargeCode> &codes() const { return m_codes; }
    // nullptr for NoChargeCode and for a code that is not offered.
    const ChargeCode *find(qint32 id) const;
    // The empty entry (NoChargeCode) first, then one per code.
    std::vector<PickEntry> entries() const;

private:
    std::vector<ChargeCode> m_codes;
};

} // namespace quorvale
