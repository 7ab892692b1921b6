#include "PaymentMethods.h"

#include "platform/db/Command.h"

#include <QSqlRecord>
#include <algorithm>

namespace quorvale {

PaymentMethods::PaymentMethods(std::vector<PaymentMethod> methods)
{
    std::copy_if(std::make_move_iterator(methods.begin()), std::make_move_iterator(methods.end()),
                 std::back_inserter(m_methods),
                 [](const PaymentMethod &m) { return isOffered(m.ID); });
}

PaymentMethods PaymentMethods::load(db::Connection &cnnLink)
{
    // Ordered by key: what the administrator added first comes first.
    db::Command read(cnnLink, QStringLiteral("SELECT PaymentMethodID, PaymentMethod, "
                                             "PaymentDescription, RequiresAuthorization, "
                                             "CreditCardPayment FROM tblPaymentMethods "
                                             "ORDER BY PaymentMethodID"));
    std::vector<PaymentMethod> methods;
    for (const QSqlRecord &row : read.all()) {
        PaymentMethod m;
        m.ID = row.value(0).toInt();
        m.Method = row.value(1).toString();
        m.Description = row.value(2).toString();
        // Booleans are stored as -1/0; a null is no.
        m.Authorization = row.value(3).toLongLong() != 0;
        m.CreditCard = row.value(4).toLongLong() != 0;
        methods.push_back(std::move(m));
    }
    return PaymentMethods(std::move(methods));
}

const PaymentMethod *PaymentMethods::find(qint32 id) const
{
    const auto it = std::find_if(m_methods.begin(), m_methods.end(),
                                 [id](const PaymentMethod &m) { return m.ID == id; });
    return it == m_methods.end() ? nullptr : &*it;
}

} // namespace quorvale
