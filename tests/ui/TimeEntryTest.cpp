// Time typed by hand into the real main window, offscreen, on a demo database:
// what is typed is what is stored, and what is no time is refused and kept.

#include "DemoProgramFixture.h"
#include "data/WorkingSet.h"
#include "outlook/ItemVariables.h"
#include "outlook/TimeCardSnapshot.h"
#include "platform/core/Money.h"
#include "session/TimeCardBinder.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/TimeCardValue.h"
#include "ui/frmOutOfOffice.h"
#include "ui/frmTimeCard.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <QTimeEdit>

using namespace quorvale;

namespace {

class TimeEntryTest : public test::DemoProgramFixture {
protected:
    void SetUp() override
    {
        makeDemo(QStringLiteral("Dana O'Neil"));
        ASSERT_NO_FATAL_FAILURE(startProgram());
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host->window()));
        host->window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host->window()));
    }
    void TearDown() override
    {
        host.reset();
        startUp.reset();
    }

    frmTimeCard &window() { return host->window(); }
    QVariant row(const char *column)
    {
        return host->editor().timeCards().value(QLatin1String(column));
    }
    QVariant current() { return host->commands().currentTimeCardId(); }
    QVariant stored(const QVariant &id, const char *column)
    {
        return cnn().scalar(QStringLiteral("SELECT %1 FROM tblTimeCards WHERE TimeCardID = ?")
                                .arg(QLatin1String(column)),
                            {id});
    }
};

} // namespace

TEST_F(TimeEntryTest, TimeSpentTypedByHandIsStoredAsTypedAndMovesTheEnd)
{
    QTest::keyClick(&window(), Qt::Key_F11);
    const QVariant id = current();
    auto *spent = window().findChild<QLineEdit *>(QStringLiteral("txtTimeSpent"));
    ASSERT_NE(spent, nullptr);
    EXPECT_EQ(spent->inputMask(), QString());

    // Alt+P, the label's access key, then the time as people write it.
    QTest::keyClick(&window(), Qt::Key_P, Qt::AltModifier);
    ASSERT_TRUE(spent->hasFocus());
    spent->selectAll();
    QTest::keyClicks(spent, QStringLiteral("1:30:00"));
    // Nothing is stored half-typed.
    EXPECT_EQ(row("Quantity").toString(), QStringLiteral("0000000"));
    QTest::keyClick(spent, Qt::Key_Tab);
    ASSERT_FALSE(spent->hasFocus());
    // The field is read once the focus has moved on.
    QCoreApplication::processEvents();
    EXPECT_EQ(row("Quantity").toString(), QStringLiteral("0013000"));
    EXPECT_EQ(spent->text(), QStringLiteral("001:30:00"));
    // The end is an hour and a half after the start, and shows so.
    const QDateTime start(row("StartDate").toDate(), row("StartTime").toTime());
    const QDateTime end = start.addSecs(90 * 60);
    EXPECT_EQ(row("EndDate").toDate(), end.date());
    EXPECT_EQ(row("EndTime").toTime(), end.time());
    EXPECT_EQ(window().findChild<QTimeEdit *>(QStringLiteral("dtEndTime"))->time(), end.time());
    EXPECT_TRUE(prompts.messages().isEmpty());

    // The estimate takes hours as a decimal.
    auto *estimated = window().findChild<QLineEdit *>(QStringLiteral("txtTimeEstimated"));
    estimated->setFocus();
    estimated->selectAll();
    QTest::keyClicks(estimated, QStringLiteral("2.5"));
    QTest::keyClick(estimated, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(row("TimeEstimated").toString(), QStringLiteral("0023000"));

    // Moving on keeps it in the file.
    QTest::keyClick(&window(), Qt::Key_F6);
    ASSERT_NE(current(), id);
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0013000"));
    EXPECT_EQ(stored(id, "TimeEstimated").toString(), QStringLiteral("0023000"));
}

TEST_F(TimeEntryTest, WhatIsNoTimeIsRefusedKeptForMendingAndNeverStored)
{
    QTest::keyClick(&window(), Qt::Key_F11);
    const QVariant id = current();
    auto *spent = window().findChild<QLineEdit *>(QStringLiteral("txtTimeSpent"));
    spent->setFocus();
    spent->selectAll();
    QTest::keyClicks(spent, QStringLiteral("1:3x"));
    QTest::keyClick(spent, Qt::Key_Tab);
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_EQ(prompts.messages()[0].text,
              QStringLiteral("\"1:3x\" is not a time. Enter a time such as 1:30:00, 1:30, "
                             "1.5 (hours) or 1h30m."));
    EXPECT_EQ(spent->text(), QStringLiteral("1:3x"));
    EXPECT_TRUE(spent->hasFocus());
    EXPECT_EQ(row("Quantity").toString(), QStringLiteral("0000000"));

    // A shortcut does not carry the refused text past the TimeCard either.
    QTest::keyClick(&window(), Qt::Key_F6);
    EXPECT_EQ(current(), id);
    EXPECT_EQ(prompts.messages().size(), 2);
    EXPECT_EQ(spent->text(), QStringLiteral("1:3x"));
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0000000"));

    // Mended, it goes with the move.
    spent->selectAll();
    QTest::keyClicks(spent, QStringLiteral("45m"));
    QTest::keyClick(&window(), Qt::Key_F6);
    EXPECT_NE(current(), id);
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0004500"));
}

TEST(frmOutOfOffice, ATypedDurationMovesTheEndAndGarbageIsKept)
{
    test::ScriptedPrompts prompts;
    const QDateTime start(QDate(2026, 3, 7), QTime(15, 0));
    frmOutOfOffice dialog(OutOfOfficeTime{start, start.addSecs(3600), false, QString()},
                          QStringLiteral("HH:mm"), prompts);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QLineEdit *duration = dialog.duration();
    EXPECT_EQ(duration->text(), QStringLiteral("001:00:00"));

    QTest::keyClick(&dialog, Qt::Key_U, Qt::AltModifier);
    ASSERT_TRUE(duration->hasFocus());
    duration->selectAll();
    QTest::keyClicks(duration, QStringLiteral("1h45m"));
    QTest::keyClick(duration, Qt::Key_Tab);
    QCoreApplication::processEvents();
    EXPECT_EQ(dialog.time().end, start.addSecs(105 * 60));
    EXPECT_EQ(duration->text(), QStringLiteral("001:45:00"));

    // Moving the end shows the new length.
    dialog.endTime()->setTime(QTime(17, 0));
    EXPECT_EQ(duration->text(), QStringLiteral("002:00:00"));

    duration->setFocus();
    duration->selectAll();
    QTest::keyClicks(duration, QStringLiteral("two hours"));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(
        prompts.messages()[0].text.startsWith(QStringLiteral("\"two hours\" is not a time")));
    EXPECT_EQ(duration->text(), QStringLiteral("two hours"));
    EXPECT_EQ(dialog.time().end, QDateTime(start.date(), QTime(17, 0)));
}

TEST(StoredTime, TheFieldTheValueTheJournalAndTheTemplatesReadItAlike)
{
    // Blanks from the old edit mask, a peer's 1000 hours, minutes past 59,
    // and a damaged text (no time anywhere).
    for (const char *text : {"  130 0", "10000000", "0009000", "12x4567"}) {
        const QString stored = QString::fromLatin1(text);
        const Duration d = Duration::fromColumnOrZero(stored);
        EXPECT_EQ(TimeCardBinder::durationShown(stored), d.toShown()) << text;
        EXPECT_EQ(timeSpentSeconds(stored), d.seconds()) << text;
    }
    EXPECT_EQ(Duration::fromColumnOrZero(QStringLiteral("  130 0")).toShown(),
              QStringLiteral("001:30:00"));
}

TEST_F(TimeEntryTest, AClientBilledInStepsSeesTheBilledTimeBesideTheValue)
{
    const QVariant id = current();
    const QVariant contact = stored(id, "ContactID");
    ASSERT_FALSE(contact.isNull());
    // 50 minutes recorded at 112.50; the client is billed in quarter hours, up.
    cnn().execute(QStringLiteral("UPDATE tblTimeCards SET Quantity = '0005000', Value = ?, "
                                 "RateSource = 'Staff Rates' WHERE TimeCardID = ?"),
                  {QVariant::fromValue(Money::fromUnits(1125000)), id});
    cnn().execute(QStringLiteral("UPDATE tblContacts SET BillingIncrement = 15, BillingRounding = "
                                 "0 WHERE ContactID = ?"),
                  {contact});
    auto *billed = window().findChild<QLineEdit *>(QStringLiteral("txtBilled"));
    ASSERT_NE(billed, nullptr);
    const auto showAgain = [this] {
        QTest::keyClick(&window(), Qt::Key_F7);
        QTest::keyClick(&window(), Qt::Key_F6);
    };
    showAgain();
    ASSERT_EQ(current(), id);
    EXPECT_FALSE(billed->isHidden());
    EXPECT_TRUE(billed->text().contains(QStringLiteral("135.00"))) << billed->text().toStdString();
    EXPECT_TRUE(billed->text().contains(QStringLiteral("001:00:00")))
        << billed->text().toStdString();
    EXPECT_TRUE(billed->text().contains(QStringLiteral("15-minute steps, rounded up")));
    // The TimeCard keeps what was recorded.
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0005000"));
    EXPECT_EQ(Money::fromStored(stored(id, "Value")), Money::fromUnits(1125000));

    // Billed as recorded: nothing to add beside the value.
    cnn().execute(QStringLiteral("UPDATE tblContacts SET BillingIncrement = 0 WHERE ContactID = ?"),
                  {contact});
    showAgain();
    EXPECT_TRUE(billed->isHidden());
}
