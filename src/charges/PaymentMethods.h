#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace quorvale {

namespace db {
class Connection;
}

// One row of tblPaymentMethods as the payment window uses it.
struct PaymentMethod {
    qint32 ID = 0;
    QString Method;      // the name shown
    QString Description; // the description a payment on account starts with
    bool Authorization = false;
    bool CreditCard = false;
};

// The methods a payment can be recorded with, in table order. Methods 6 and 7
// belong to the administrator program's own entries and are never offered.
class PaymentMethods {
public:
    PaymentMethods() = default;
    // Keeps the offered ones of methods, in the order given.
    explicit PaymentMethods(std::vector<PaymentMethod> methods);

    // Reads tblPaymentMethods on cnnLink; throws QvError when it cannot.
    static PaymentMethods load(db::Connection &cnnLink);

    static bool isOffered(qint32 id) { return id != 6 && id != 7; }

    const std::vector<PaymentMethod> &offered() const & { return m_methods; }
    // From a temporary (a range-for over load(...).offered()) the list is moved
    // out, so nothing refers into a list already gone.
    std::vector<PaymentMethod> offered() && { return std::move(m_methods); }
    // nullptr for an id that is not offered.
    const PaymentMethod *find(qint32 id) const;

private:
    std::vector<PaymentMethod> m_methods;
};

} // namespace quorvale
