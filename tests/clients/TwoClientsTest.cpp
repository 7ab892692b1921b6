// Two people on one program database at once, each with a connection of their own,
// as two copies of the program on two machines: whatever one saves the other
// either sees or is stopped from overwriting. On the server run this is two
// clients of the PostgreSQL server.

#include "charges/BillingOptions.h"
#include "charges/Invoicing.h"
#include "filters/MassEdit.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "testsupport/ProgramFiles.h"

#include <QDate>
#include <gtest/gtest.h>
#include <set>
#include <thread>

using namespace quorvale;

namespace {

constexpr qint32 Ann = 1;
const QDate Day(2026, 11, 9);

struct TwoClients : ::testing::Test {
    test::ProgramFiles files;
    qint32 acme = files.addContact(QStringLiteral("Acme Ltd"));
    db::Connection first;
    db::Connection second;

    void SetUp() override
    {
        first.open(files.programConnectString());
        second.open(files.programConnectString());
    }
    qint32 card(const QString &description, const QString &status = QStringLiteral("Billable"))
    {
        return static_cast<qint32>(first.insertReturningKey(
            "INSERT INTO tblTimeCards (UserId, ContactID, Description, Quantity, StartDate, "
            "EndDate, BillStatus, Rate, Value, Inactive) VALUES (?, ?, ?, '0000100', ?, ?, ?, "
            "?, ?, 0)",
            {Ann, acme, description, Day, Day, status, Money::fromWhole(60).toStored(),
             Money::fromWhole(60).toStored()},
            "TimeCardID"));
    }
    // The TimeCard as one client's window holds it: a keyset on its row.
    static void openCard(db::Recordset &rs, db::Connection &cnn, qint32 id)
    {
        rs.open(cnn, QStringLiteral("SELECT * FROM tblTimeCards WHERE TimeCardID = ?"),
                db::CursorType::Keyset, db::LockType::Optimistic, {id});
    }
    QVariant stored(qint32 id, const char *column)
    {
        return second.scalar(
            QStringLiteral("SELECT %1 FROM tblTimeCards WHERE TimeCardID = ?").arg(column), {id});
    }
    // Saving must be refused as a row changed by someone else, leaving the edit
    // pending so nothing is written over what they saved.
    static void expectRefused(db::Recordset &rs)
    {
        try {
            rs.update();
            ADD_FAILURE() << "the save went over another client's change";
        } catch (const QvError &e) {
            EXPECT_EQ(e.number(), ErrorNumber::RowChanged) << e.description().toStdString();
        }
    }
};

TEST_F(TwoClients, AnEditOrATimerSaveOverAnotherClientsChangeIsRefusedAndRedoneOnWhatTheySaved)
{
    const qint32 id = card(QStringLiteral("Drafting"));
    db::Recordset mine, theirs;
    openCard(mine, first, id);
    openCard(theirs, second, id);

    // They type a description; I time the same TimeCard and my timer saves first.
    theirs.setValue(QStringLiteral("Description"), QStringLiteral("Drafting the lease"));
    mine.setValue(QStringLiteral("Quantity"), QStringLiteral("0000230"));
    mine.update();
    expectRefused(theirs);
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0000230"));
    EXPECT_EQ(stored(id, "Description").toString(), QStringLiteral("Drafting"));

    // Re-read, they see my time and save their words over it: both are kept.
    theirs.move(0);
    EXPECT_EQ(theirs.value(QStringLiteral("Quantity")).toString(), QStringLiteral("0000230"));
    theirs.setValue(QStringLiteral("Description"), QStringLiteral("Drafting the lease"));
    theirs.update();
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0000230"));
    EXPECT_EQ(stored(id, "Description").toString(), QStringLiteral("Drafting the lease"));

    // Now my next timer save is the late one, and is refused in its turn.
    mine.setValue(QStringLiteral("Quantity"), QStringLiteral("0000245"));
    expectRefused(mine);
    EXPECT_EQ(stored(id, "Description").toString(), QStringLiteral("Drafting the lease"));
}

TEST_F(TwoClients, AMassEditAndAnInvoiceOfTheOtherClientStopAnOpenEditFromUndoingThem)
{
    const qint32 held = card(QStringLiteral("Site visit"), QStringLiteral("Hold"));
    const qint32 billed = card(QStringLiteral("Report"));
    db::Recordset onHeld, onBilled;
    openCard(onHeld, second, held);
    openCard(onBilled, second, billed);
    onHeld.setValue(QStringLiteral("Description"), QStringLiteral("Site visit, north wing"));
    onBilled.setValue(QStringLiteral("Description"), QStringLiteral("Report, second draft"));

    // The first client puts the held TimeCard up for billing, then invoices the client.
    files.prompts.answer(PromptResult::Yes);
    MassEditHooks hooks;
    hooks.recompute = [](qint64) {};
    hooks.mirror = [](qint64) {};
    MassEdit edit(first, files.prompts, std::move(hooks));
    MassEditRequest request;
    request.billStatus = QStringLiteral("Billable");
    const MassEditSet set{QStringLiteral("SELECT * FROM tblTimeCards WHERE TimeCardID = ?"),
                          {held}};
    ASSERT_EQ(edit.apply(request, Terms{}, set, false).edited, 1);
    InvoiceRequest invoice;
    invoice.contactId = acme;
    invoice.invoiceDate = Day.addDays(20);
    const Invoice issued = invoiceContact(first, invoice, BillingOptions{});
    ASSERT_NE(issued.number, 0);
    EXPECT_EQ(issued.count(InvoiceLine::Kind::TimeCard), 2);

    // The second client's open edits would put back "Hold" and an uninvoiced row.
    expectRefused(onHeld);
    expectRefused(onBilled);
    for (const qint32 id : {held, billed})
        EXPECT_EQ(stored(id, "InvoiceID").toInt(), issued.number);
    EXPECT_EQ(stored(held, "BillStatus").toString(), QStringLiteral("Billable"));
    EXPECT_EQ(stored(held, "Description").toString(), QStringLiteral("Site visit"));
}

TEST_F(TwoClients, InvoicingTheSameClientAtOnceNeverPutsARowOnTwoInvoices)
{
    std::set<qint32> cards;
    for (int i = 0; i < 40; ++i)
        cards.insert(card(QStringLiteral("Work %1").arg(i)));
    first.close();
    second.close();

    // Each client on a thread of its own, as on two machines.
    const QString connect = files.programConnectString();
    std::vector<Invoice> issued(2);
    std::vector<QString> failures(2);
    std::vector<std::thread> clients;
    for (std::size_t c = 0; c < 2; ++c)
        clients.emplace_back([&, c] {
            try {
                db::Connection cnn;
                cnn.open(connect);
                InvoiceRequest request;
                request.contactId = acme;
                request.invoiceDate = Day.addDays(20);
                issued[c] = invoiceContact(cnn, request, BillingOptions{});
            } catch (const QvError &e) {
                failures[c] = e.description();
            }
        });
    for (std::thread &t : clients)
        t.join();

    first.open(connect);
    std::set<qint32> invoiced;
    int numbered = 0;
    for (std::size_t c = 0; c < 2; ++c) {
        // The one that waited may find nothing left, or be told to try again.
        if (!failures[c].isEmpty() || issued[c].number == 0)
            continue;
        ++numbered;
        for (const InvoiceLine &line : issued[c].lines)
            EXPECT_TRUE(invoiced.insert(line.id).second) << "TimeCard " << line.id << " twice";
    }
    EXPECT_GE(numbered, 1) << failures[0].toStdString() << " / " << failures[1].toStdString();
    EXPECT_EQ(invoiced, cards);
    EXPECT_EQ(first.scalar("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL").toInt(), 0);
    EXPECT_EQ(first.scalar("SELECT COUNT(DISTINCT InvoiceID) FROM tblTimeCards").toInt(), numbered);
}

} // namespace
