#include "qvadmin/DemoData.h"

#include "charges/BillingOptions.h"
#include "data/AdminOptionOrdinals.h"
#include "data/TimeCard.h"
#include "data/TimeCardRepository.h"
#include "platform/core/Duration.h"
#include "platform/db/Connection.h"
#include "qvadmin/BaseRows.h"
#include "qvadmin/DemoNames.h"
#include "qvadmin/MasterRows.h"
#include "qvadmin/Random.h"
#include "timecards/BillingStatus.h"
#include "timecards/TimeCardValue.h"

#include <QMap>
#include <QSqlQuery>
#include <QVariantList>
#include <algorithm>
#include <vector>

namespace quorvale::admin {

namespace {

constexpr std::uint64_t DemoSeed = 20240917;
// Work older than this many days has been invoiced.
constexpr int InvoicedAfterDays = 30;
constexpr int DemoDays = 120;

struct DemoUser {
    int id = 0;
    int staffId = 0;
    Rates rates{};
    int timeCards = 0;
    bool active = true;
};

struct DemoContact {
    int id = 0;
    QString name;
    bool active = true;
    Rates rates{};
    int timeRealization = 100;
    int expenseRealization = 100;
};

struct DemoActivity {
    int id = 0;
    std::optional<int> contactId;
    Rates rates{};
};

QString text(const char *s)
{
    return QString::fromUtf8(s);
}

// Invoice numbers: one invoice per client and month of work, numbered in the
// order the invoices are first needed. A firm's own work (no client) was closed
// at no charge per user and month.
class InvoiceBook {
public:
    std::optional<int> invoiceFor(std::optional<int> contactId, int userId, const QDate &day,
                                  const QDate &today)
    {
        if (day.daysTo(today) <= InvoicedAfterDays)
            return std::nullopt;
        const qint64 owner = contactId ? *contactId : -qint64(userId);
        const qint64 key = owner * 100000 + day.year() * 12 + day.month();
        auto it = m_numbers.find(key);
        if (it == m_numbers.end())
            it = m_numbers.insert(key, m_next++);
        return *it;
    }

private:
    QMap<qint64, int> m_numbers;
    int m_next = 1001;
};

class DemoBuilder {
public:
    DemoBuilder(db::Connection &db, const BaseRowIds &base, const QDate &today)
        : m_db(db), m_base(base), m_today(today), m_random(DemoSeed)
    {
        for (QDate d = today.addDays(-DemoDays); d <= today; d = d.addDays(1)) {
            if (d.dayOfWeek() <= 5)
                m_workdays.push_back(d);
        }
    }

    DemoSummary build()
    {
        switchAdminOptionsOn(m_db,
                             {AdminOption::ExpensesInUse, AdminOption::FixedChargesInUse,
                              AdminOption::RealizationInUse, AdminOption::ShowActivityNumbers});
        addFirm();
        addStaffAndUsers();
        addContacts();
        addActivities();
        addCodes();
        addTimeCards();
        addExpenses();
        addFixedCharges();
        coverWorkByFixedCharges();
        addPayments();
        return m_summary;
    }

private:
    // The demo invoices as a real firm's would: its name, address, VAT number
    // and the VAT its clients pay. New databases start without, and say so.
    void addFirm()
    {
        BillingOptions firm;
        firm.firmName = QStringLiteral("Kestrel Row Consulting Ltd");
        firm.firmAddress = QStringLiteral("4 Narrow Quay\nBristol BS1 4QA\nUnited Kingdom");
        firm.firmTaxNumber = QStringLiteral("GB 000 0000 00");
        firm.taxRate = QStringLiteral("20");
        firm.paymentTermsDays = 30;
        firm.invoiceNote = QStringLiteral("Please quote the invoice number with your payment.");
        writeBillingOptions(m_db, firm);
    }

    void addStaffAndUsers()
    {
        m_staffRates[m_base.staffId] = rateLadder(180, -20);
        const Rates consultant = rateLadder(130, -15);
        const Rates assistant = rateLadder(75, -10);
        const int consultantId = insertStaffLevel(
            m_db, {QStringLiteral("Consultant"), m_base.standardPermissionId, consultant});
        const int assistantId = insertStaffLevel(
            m_db, {QStringLiteral("Assistant"), m_base.restrictedPermissionId, assistant});
        m_staffRates[consultantId] = consultant;
        m_staffRates[assistantId] = assistant;

        m_users.push_back({m_base.userId, m_base.staffId, rateLadder(180, -20), 110, true});
        struct Colleague {
            const char *name;
            int staffId;
            int permissionId;
            Rates rates;
            bool active;
            int timeCards;
        };
        const Colleague colleagues[] = {
            {"Maren Holt", m_base.staffId, m_base.fullPermissionId, rateLadder(175, -20), true, 85},
            {"Tobias Achterberg", consultantId, m_base.standardPermissionId, rateLadder(135, -15),
             true, 80},
            {"Siobhan O'Connor", consultantId, m_base.standardPermissionId, rateLadder(125, -15),
             true, 75},
            // Left the firm: kept for the history, no longer allowed to log on.
            {"Dale Whitcombe", assistantId, m_base.restrictedPermissionId, rateLadder(80, -10),
             false, 20},
        };
        for (const Colleague &c : colleagues) {
            const int id =
                insertUser(m_db, {text(c.name), c.staffId, c.permissionId, c.active, c.rates});
            m_users.push_back({id, c.staffId, c.rates, c.timeCards, c.active});
            ++m_summary.users;
        }
    }

    void addContacts()
    {
        static constexpr int realizations[] = {100, 100, 100, 95, 90, 85};
        for (std::size_t i = 0; i < demo::CompanyNames.size(); ++i) {
            Contact c;
            c.name = text(demo::CompanyNames[i]);
            c.account = QStringLiteral("C-%1").arg(1001 + int(i));
            c.active = i % 7 != 6; // a few former clients
            c.rates = rateLadder(m_random.between(14, 22) * 10, -m_random.between(1, 2) * 10);
            c.timeRealizationPercent = m_random.pick(realizations);
            c.expenseRealizationPercent = m_random.chance(80) ? 100 : 90;
            c.fixedChargeRealizationPercent = 100;
            const int id = insertContact(m_db, c);
            m_contacts.push_back({id, c.name, c.active, c.rates, c.timeRealizationPercent,
                                  c.expenseRealizationPercent});
            ++m_summary.contacts;
        }
    }

    void addActivities()
    {
        for (std::size_t i = 0; i < demo::Services.size(); ++i) {
            const auto &s = demo::Services[i];
            Activity a = makeActivity(ActivityLevel::Activity1, text(s.name), text(s.number),
                                      text(s.description));
            a.rates = rateLadder(m_random.between(10, 20) * 10, -10);
            a.active = i + 1 != demo::Services.size();
            // Network administration is only sold to the first client.
            if (i == 10)
                a.contactId = m_contacts[0].id;
            const int id = insertActivity(m_db, a);
            if (a.active)
                m_services.push_back({id, a.contactId, a.rates});
        }
        for (std::size_t i = 0; i < demo::Projects.size(); ++i) {
            const auto &p = demo::Projects[i];
            Activity a = makeActivity(ActivityLevel::Activity2, text(p.name), text(p.number),
                                      text(p.description));
            a.rates = rateLadder(m_random.between(12, 18) * 10, -10);
            // The first projects belong to one client each; the rest are offered to all.
            if (i < 3)
                a.contactId = m_contacts[i + 1].id;
            const int id = insertActivity(m_db, a);
            m_projects.push_back({id, a.contactId, a.rates});
        }
    }

    void addCodes()
    {
        struct Code {
            const char *number, *abbreviation, *description, *cls;
            int rateCents;
        };
        const Code expenses[] = {
            {"E-01", "Mileage", "Car travel, per mile", "Travel", 45},
            {"E-02", "Meals", "Meals while travelling", "Meals", 2500},
            {"E-03", "Lodging", "Hotel, per night", "Travel", 12000},
            {"E-04", "Parking", "Parking fees", "Transportation", 800},
            {"E-05", "Copies", "Printing and copies, per page", "Office", 10},
            {"E-06", "Courier", "Courier and postage", "Office", 1500},
            {"E-07", "Licence", "Third-party software licence", "Office", 9900},
        };
        for (const Code &c : expenses) {
            m_expenseCodes.push_back(
                {static_cast<int>(m_db.insertReturningKey(
                     QStringLiteral("INSERT INTO tblExpenseCodes (ExpenseNumber, "
                                    "ExpenseAbbreviation, ExpenseDescription, ExpenseRate, "
                                    "ExpenseClass, Active) VALUES (?, ?, ?, ?, ?, ?)"),
                     {text(c.number), text(c.abbreviation), text(c.description),
                      QVariant::fromValue(Money::fromUnits(c.rateCents * 100)), text(c.cls), true},
                     QStringLiteral("ExpenseCodeID"))),
                 Money::fromUnits(c.rateCents * 100), text(c.abbreviation)});
        }
        const Code products[] = {
            {"F-01", "Setup", "One-time setup fee", "", 25000},
            {"F-02", "Hosting", "Hosting, per month", "", 4900},
            {"F-03", "Seat", "User licence, per seat and year", "", 12000},
            {"F-04", "Laptop", "Laptop, configured and delivered", "", 129900},
        };
        for (const Code &c : products) {
            m_productCodes.push_back(
                {static_cast<int>(m_db.insertReturningKey(
                     QStringLiteral("INSERT INTO tblFixedChargeCodes (ProductNumber, "
                                    "ProductAbbreviation, ProductDescription, ProductRate, Active) "
                                    "VALUES (?, ?, ?, ?, ?)"),
                     {text(c.number), text(c.abbreviation), text(c.description),
                      QVariant::fromValue(Money::fromUnits(c.rateCents * 100)), true},
                     QStringLiteral("ProductCodeID"))),
                 Money::fromUnits(c.rateCents * 100), text(c.description)});
        }
        struct Method {
            const char *name, *description;
            bool authorization, card;
        };
        const Method methods[] = {
            {"Bank transfer", "Payment into the business account", false, false},
            {"Cheque", "Cheque received by post", false, false},
            {"Credit card", "Card payment, authorised by phone", true, true},
            {"Cash", "Cash at the office", false, false},
        };
        for (const Method &m : methods) {
            m_paymentMethods.push_back(static_cast<int>(m_db.insertReturningKey(
                QStringLiteral("INSERT INTO tblPaymentMethods (PaymentMethod, PaymentDescription, "
                               "RequiresAuthorization, CreditCardPayment) VALUES (?, ?, ?, ?)"),
                {text(m.name), text(m.description), m.authorization, m.card},
                QStringLiteral("PaymentMethodID"))));
        }
    }

    const DemoContact &activeContact()
    {
        for (;;) {
            const DemoContact &c = m_random.pick(m_contacts);
            if (c.active)
                return c;
        }
    }

    // A service offered to the contact (its own or one for everybody).
    const DemoActivity &serviceFor(std::optional<int> contactId)
    {
        for (;;) {
            const DemoActivity &a = m_random.pick(m_services);
            if (!a.contactId || a.contactId == contactId)
                return a;
        }
    }

    const DemoActivity *projectFor(std::optional<int> contactId)
    {
        for (const DemoActivity &p : m_projects) {
            if (p.contactId && p.contactId == contactId)
                return &p;
        }
        if (!m_random.chance(50))
            return nullptr;
        for (;;) {
            const DemoActivity &p = m_random.pick(m_projects);
            if (!p.contactId)
                return &p;
        }
    }

    void addTimeCards()
    {
        TimeCardInserter writer(m_db);
        const int workdays = static_cast<int>(m_workdays.size());
        for (std::size_t u = 0; u < m_users.size(); ++u) {
            const DemoUser &user = m_users[u];
            const bool former = !user.active;
            for (int j = 0; j < user.timeCards; ++j) {
                // A former colleague's work lies in the first weeks only.
                const int span = former ? workdays / 4 : workdays;
                const QDate day = m_workdays[static_cast<std::size_t>(j * span / user.timeCards)];
                const bool last = j == user.timeCards - 1;
                const bool secondLast = j == user.timeCards - 2;
                // The person who runs the demo sees each kind of TimeCard among their
                // open ones: one without a client and one hidden.
                const bool forceInternal = u == 0 && last;
                const bool forceHidden = u == 0 && secondLast;
                writer.add(makeTimeCard(user, day, j, forceInternal, forceHidden));
                ++m_summary.timeCards;
            }
        }
    }

    TimeCard makeTimeCard(const DemoUser &user, const QDate &day, int index, bool forceInternal,
                          bool forceHidden)
    {
        TimeCard card;
        card.userId = user.id;
        const bool internal = forceInternal || m_random.chance(8);
        const DemoContact *contact = internal ? nullptr : &activeContact();
        if (contact)
            card.contactId = contact->id;
        const DemoActivity &service = serviceFor(card.contactId);
        card.activity1Id = service.id;
        const DemoActivity *project = contact ? projectFor(card.contactId) : nullptr;
        if (project)
            card.activity2Id = project->id;

        if (contact) {
            QString description = text(m_random.pick(demo::WorkDescriptions));
            if (m_random.chance(30))
                description += QStringLiteral(" (") + contact->name + u')';
            card.description = description;
        } else {
            card.description = text(m_random.pick(demo::InternalDescriptions));
        }
        card.entryType = text(m_random.pick(demo::EntryTypes));
        card.category = m_random.chance(15) ? (m_random.chance(50) ? QStringLiteral("Business")
                                                                   : QStringLiteral("Key Customer"))
                                            : QString();

        // Three slots a day, far enough apart that a user's TimeCards never overlap.
        static constexpr int slotStartMinutes[] = {8 * 60 + 30, 11 * 60, 14 * 60};
        const int startMinute = slotStartMinutes[index % 3] + m_random.below(12) * 5;
        card.timeSpent = Duration::fromSeconds(m_random.between(3, 28) * 300);
        if (m_random.chance(30)) // timed with the timer rather than typed
            card.timeSpent = card.timeSpent + Duration::fromSeconds(m_random.below(300));
        card.startDate = day;
        card.startTime = QTime(0, 0).addSecs(startMinute * 60);
        card.endDate = day;
        card.endTime = card.startTime.addSecs(card.timeSpent.seconds());
        if (m_random.chance(25))
            card.timeEstimated =
                Duration::fromSeconds((card.timeSpent.seconds() / 3600 + 1) * 3600);

        card.billStatus = contact ? QStringLiteral("Billable") : QStringLiteral("No Charge");
        // Someone who has left has nothing on hold any more: it was all billed.
        if (contact && m_random.chance(6) && user.active)
            card.billStatus =
                m_random.chance(50) ? QStringLiteral("Hold") : QStringLiteral("Do not bill");
        // Now and then a client gets a piece of work for nothing.
        if (contact && card.billStatus == QStringLiteral("Billable") && ++m_clientCards % 19 == 0)
            card.billStatus = QStringLiteral("No Charge");
        card.realization = Realization::fromPercent(contact ? contact->timeRealization : 100);
        priceTimeCard(card, user, contact, service, project);

        card.inactive = forceHidden || (!forceInternal && m_random.chance(4));
        // Work on hold or not to be billed is never invoiced: it stays open.
        if (goesOnInvoice(billingTreatment(card.billStatus)))
            card.invoiceId = m_invoices.invoiceFor(
                contact ? std::optional<int>(contact->id) : std::nullopt, user.id, day, m_today);
        return card;
    }

    // Chooses the rate source and level as the users of a small office would, and
    // takes the rate and value the program would compute for them.
    void priceTimeCard(TimeCard &card, const DemoUser &user, const DemoContact *contact,
                       const DemoActivity &service, const DemoActivity *project)
    {
        const int level = m_random.chance(70) ? 1 : m_random.between(2, 6);
        card.rateLevel = QString::number(level);
        const auto at = [level](const Rates &rates) { return rates[std::size_t(level - 1)]; };
        const int roll = m_random.below(100);
        if (contact && roll < 5) {
            card.rateSource = QStringLiteral("Flat Fee");
            card.flatRate = Money::fromWhole(m_random.between(2, 10) * 50);
            card.rate = Money();
            // A flat fee is the agreed price: no realization applies to it.
            card.realization = Realization::fromPercent(100);
            card.value = card.flatRate;
            return;
        }
        if (contact && roll < 30) {
            card.rateSource = QString::fromLatin1(ContactTermText) + QStringLiteral(" Rates");
            card.rate = at(contact->rates);
        } else if (roll < 45) {
            card.rateSource = QString::fromLatin1(Activity1TermText) + QStringLiteral(" Rates");
            card.rate = at(service.rates);
        } else if (project && roll < 52) {
            card.rateSource = QString::fromLatin1(Activity2TermText) + QStringLiteral(" Rates");
            card.rate = at(project->rates);
        } else if (roll < 62) {
            card.rateSource = QStringLiteral("Staff Level Rates");
            card.rate = at(m_staffRates.value(user.staffId));
        } else {
            card.rateSource = QStringLiteral("Staff Rates");
            card.rate = at(user.rates);
        }
        card.value = timeSpentValue(card.timeSpent.seconds(), card.rate, card.realization);
    }

    const DemoUser &activeUser()
    {
        // The last user has left the firm.
        return m_users[static_cast<std::size_t>(m_random.below(int(m_users.size()) - 1))];
    }

    QDate recentDay()
    {
        return m_workdays[static_cast<std::size_t>(m_random.below(int(m_workdays.size())))];
    }

    void addExpenses()
    {
        for (int i = 0; i < 16; ++i) {
            const DemoUser &user = i < 4 ? m_users[0] : activeUser();
            const DemoContact &contact = activeContact();
            const auto &code = m_random.pick(m_expenseCodes);
            const QDate day = i < 4 ? m_today.addDays(-i) : recentDay();
            const int quantity = code.name == QStringLiteral("Mileage")  ? m_random.between(12, 180)
                                 : code.name == QStringLiteral("Copies") ? m_random.between(20, 400)
                                                                         : m_random.between(1, 3);
            const Money amount = code.rate.mulDiv(quantity, 1);
            const std::optional<int> invoice =
                m_invoices.invoiceFor(contact.id, user.id, day, m_today);
            m_db.execute(
                QStringLiteral("INSERT INTO tblExpenses (ExpenseCodeID, UserID, ContactID, "
                               "Description, Quantity, StartDate, EndDate, Rate, Amount, "
                               "Realization, BillStatus, InvoiceID, InvoiceAmount) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {code.id, user.id, contact.id, code.name + QStringLiteral(" for ") + contact.name,
                 quantity, day, day, QVariant::fromValue(code.rate), QVariant::fromValue(amount),
                 contact.expenseRealization / 100.0, QStringLiteral("Billable"),
                 invoice ? QVariant(*invoice) : QVariant(QMetaType::fromType<int>()),
                 invoice ? QVariant::fromValue(chargeBilledAmount(
                               amount, Realization::fromPercent(contact.expenseRealization)))
                         : QVariant(QMetaType::fromType<qlonglong>())});
            ++m_summary.expenses;
        }
    }

    void addFixedCharges()
    {
        for (int i = 0; i < 8; ++i) {
            const DemoUser &user = i < 2 ? m_users[0] : activeUser();
            const DemoContact &contact = activeContact();
            const auto &code = m_random.pick(m_productCodes);
            const QDate day = i < 2 ? m_today.addDays(-i) : recentDay();
            const int quantity = m_random.between(1, 4);
            const Money amount = code.rate.mulDiv(quantity, 1);
            const std::optional<int> invoice =
                m_invoices.invoiceFor(contact.id, user.id, day, m_today);
            m_db.execute(
                QStringLiteral("INSERT INTO tblFixedCharges (ProductCodeID, UserID, ContactID, "
                               "Description, Quantity, StartDate, Rate, Amount, Realization, "
                               "BillStatus, InvoiceID, InvoiceAmount) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {code.id, user.id, contact.id, code.name, quantity, day,
                 QVariant::fromValue(code.rate), QVariant::fromValue(amount), 1.0,
                 QStringLiteral("Billable"),
                 invoice ? QVariant(*invoice) : QVariant(QMetaType::fromType<int>()),
                 invoice ? QVariant::fromValue(amount)
                         : QVariant(QMetaType::fromType<qlonglong>())});
            ++m_summary.fixedCharges;
        }
    }

    // An open fixed charge sells a piece of the client's open work: that TimeCard
    // bills nothing of its own, and the charge is linked to it.
    void coverWorkByFixedCharges()
    {
        const QString open = QStringLiteral(
            "SELECT f.ProductID, (SELECT MIN(t.TimeCardID) FROM tblTimeCards t WHERE t.ContactID = "
            "f.ContactID AND t.InvoiceID IS NULL AND t.BillStatus = 'Billable') FROM "
            "tblFixedCharges f WHERE f.InvoiceID IS NULL ORDER BY f.ProductID");
        std::vector<std::pair<int, int>> covers;
        QSqlQuery q = m_db.prepare(open);
        m_db.run(q, {}, open);
        while (q.next())
            if (!q.value(1).isNull())
                covers.emplace_back(q.value(0).toInt(), q.value(1).toInt());
        for (const auto &[charge, card] : covers) {
            m_db.execute(QStringLiteral("UPDATE tblTimeCards SET BillStatus = 'Subject to fixed "
                                        "charge' WHERE TimeCardID = ?"),
                         {card});
            m_db.execute(
                QStringLiteral("UPDATE tblFixedCharges SET TimeCardID = ? WHERE ProductID = ?"),
                {card, charge});
        }
    }

    // Clients pay the invoices they were sent, mostly in full and a few in
    // part, some weeks after the month billed: the receivables then show what
    // a firm sees, the older invoices paid and the latest still owed.
    void addPayments()
    {
        const QString billed = QStringLiteral(
            "SELECT u.InvoiceID, u.ContactID, SUM(u.Amount), MAX(u.Day) FROM ("
            "SELECT InvoiceID, ContactID, %1 AS Amount, StartDate AS Day FROM tblTimeCards "
            "WHERE InvoiceID IS NOT NULL AND ContactID IS NOT NULL "
            "UNION ALL SELECT InvoiceID, ContactID, %2, StartDate FROM tblExpenses "
            "WHERE InvoiceID IS NOT NULL AND ContactID IS NOT NULL "
            "UNION ALL SELECT InvoiceID, ContactID, %2, StartDate FROM tblFixedCharges "
            "WHERE InvoiceID IS NOT NULL AND ContactID IS NOT NULL) u "
            "GROUP BY u.InvoiceID, u.ContactID HAVING SUM(u.Amount) > 0 ORDER BY u.InvoiceID");
        const QString status = QStringLiteral("BillStatus");
        QSqlQuery q =
            m_db.prepare(billed.arg(billedTimeValueSql(status, QStringLiteral("Value")),
                                    billedChargeAmountSql(status, QStringLiteral("Amount"),
                                                          QStringLiteral("Realization"))));
        m_db.run(q, {});
        struct Owed {
            int invoice;
            int contact;
            Money amount;
            QDate lastDay;
        };
        std::vector<Owed> owed;
        while (q.next())
            owed.push_back({q.value(0).toInt(), q.value(1).toInt(), Money::fromStored(q.value(2)),
                            q.value(3).toDate()});
        for (std::size_t i = 0; i < owed.size(); ++i) {
            const Owed &o = owed[i];
            // The last month or so billed is still owed.
            if (o.lastDay.daysTo(m_today) < InvoicedAfterDays + 30)
                continue;
            const int method = m_random.pick(m_paymentMethods);
            const bool card = method == m_paymentMethods[2];
            // Every fourth pays half for now, to the cent.
            const Money paid = i % 4 == 3 ? o.amount.mulDiv(1, 2) : o.amount;
            const QDate monthEnd =
                QDate(o.lastDay.year(), o.lastDay.month(), 1).addMonths(1).addDays(-1);
            const QDate day = std::min(m_today, monthEnd.addDays(m_random.between(10, 30)));
            m_db.execute(
                QStringLiteral("INSERT INTO tblPayments (UserID, ContactID, PaymentAmount, "
                               "PaymentDate, PaymentDescription, CreditCardNumber, "
                               "CardholdersName, CCExpirationDate, AuthorizationCode, "
                               "PaymentMethodID, FundContribution) "
                               "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                // A payment on account lowers what the client owes: stored negative,
                // as the payment window stores it.
                {m_users[0].id, o.contact, QVariant::fromValue(-paid), day,
                 QStringLiteral("Payment of invoice %1").arg(o.invoice),
                 card ? QStringLiteral("**** **** **** %1").arg(m_random.between(1000, 9999))
                      : QString(),
                 card ? QStringLiteral("Accounts Payable") : QString(),
                 card ? QStringLiteral("%1%2")
                            .arg(m_random.between(1, 12), 2, 10, QLatin1Char('0'))
                            .arg(m_today.year() % 100 + 2)
                      : QString(),
                 card ? QStringLiteral("AUTH%1").arg(m_random.between(100000, 999999)) : QString(),
                 method, false});
            ++m_summary.payments;
        }
    }

    struct Code {
        int id;
        Money rate;
        QString name;
    };

    db::Connection &m_db;
    const BaseRowIds &m_base;
    QDate m_today;
    Random m_random;
    std::vector<QDate> m_workdays;
    DemoSummary m_summary;
    QMap<int, Rates> m_staffRates;
    std::vector<DemoUser> m_users;
    std::vector<DemoContact> m_contacts;
    std::vector<DemoActivity> m_services;
    std::vector<DemoActivity> m_projects;
    std::vector<Code> m_expenseCodes;
    std::vector<Code> m_productCodes;
    std::vector<int> m_paymentMethods;
    InvoiceBook m_invoices;
    int m_clientCards = 0; // client TimeCards made so far
};

} // namespace

DemoSummary insertDemoData(db::Connection &db, const BaseRowIds &base, const QDate &today)
{
    return DemoBuilder(db, base, today).build();
}

} // namespace quorvale::admin
