// The report dialog offscreen: what it offers, how the keyboard moves
// through it, and the request it hands back.

#include "ui/ReportDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

const QDate Today(2027, 1, 1); // a Friday

struct ReportDialogTest : ::testing::Test {
    ReportDialog dialog{QStringLiteral("tasks"),
                        {{3, QStringLiteral("Alder & Co")}, {7, QStringLiteral("Birch's Bakery")}},
                        QStringLiteral("Matter"),
                        Today};

    void choose(QComboBox *box, const QString &text)
    {
        const int i = box->findText(text);
        ASSERT_GE(i, 0) << text.toStdString();
        box->setCurrentIndex(i);
    }
};

TEST_F(ReportDialogTest, OpensOnTheMenusReportWithEveryControlLabelled)
{
    EXPECT_EQ(dialog.kindBox()->currentData().toString(), "tasks");
    EXPECT_GE(dialog.kindBox()->findData(QStringLiteral("timesheet")), 0);

    // Each control has a label naming it with an access key.
    QStringList labelled;
    for (QLabel *label : dialog.findChildren<QLabel *>())
        if (label->buddy()) {
            EXPECT_TRUE(label->text().contains(u'&')) << label->text().toStdString();
            labelled << label->text();
        }
    EXPECT_EQ(labelled.size(), 6);
    EXPECT_TRUE(labelled.contains("&Matter:"));

    // Tab walks the controls top to bottom.
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QWidget *expected[] = {dialog.kindBox(),  dialog.contactBox(), dialog.periodBox(),
                           dialog.fromEdit(), dialog.toEdit(),     dialog.statusBox()};
    choose(dialog.periodBox(), "Custom"); // the dates take part only then
    dialog.kindBox()->setFocus();
    for (QWidget *widget : expected) {
        ASSERT_EQ(QApplication::focusWidget(), widget)
            << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                            : "nothing");
        // A date edit steps through its year, month and day before it lets go.
        for (int sections = 0; sections < 3 && QApplication::focusWidget() == widget; ++sections)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
}

TEST_F(ReportDialogTest, HandsBackTheChosenClientPeriodAndStatus)
{
    choose(dialog.kindBox(), "TimeCards");
    choose(dialog.contactBox(), "Birch's Bakery");
    choose(dialog.periodBox(), "Last month");
    choose(dialog.statusBox(), "Invoiced");
    EXPECT_FALSE(dialog.fromEdit()->isEnabled());
    EXPECT_EQ(dialog.fromEdit()->date(), QDate(2026, 12, 1)); // shown as it will run

    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.request(),
              (ReportRequest{"timecards", QDate(2026, 12, 1), QDate(2026, 12, 31), 7, "invoiced"}));

    choose(dialog.contactBox(), "(All)");
    choose(dialog.statusBox(), "All");
    choose(dialog.periodBox(), "This week");
    EXPECT_EQ(dialog.request(),
              (ReportRequest{"timecards", QDate(2026, 12, 28), QDate(2027, 1, 3), {}, {}}));
}

TEST_F(ReportDialogTest, ABackwardsCustomPeriodIsRefusedInsideTheDialog)
{
    choose(dialog.periodBox(), "Custom");
    ASSERT_TRUE(dialog.fromEdit()->isEnabled());
    dialog.fromEdit()->setDate(QDate(2026, 11, 30));
    dialog.toEdit()->setDate(QDate(2026, 11, 1));
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.problemLabel()->isHidden());
    EXPECT_TRUE(dialog.problemLabel()->text().contains("2026-11-30"));

    dialog.toEdit()->setDate(QDate(2026, 12, 31));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.request().from, QDate(2026, 11, 30));
    EXPECT_EQ(dialog.request().to, QDate(2026, 12, 31));
}

TEST_F(ReportDialogTest, AReportThatCannotBeNarrowedDoesNotOfferTheChoice)
{
    choose(dialog.contactBox(), "Alder & Co");
    choose(dialog.statusBox(), "Open (not invoiced)");
    choose(dialog.kindBox(), "Expense Reimbursement");
    EXPECT_FALSE(dialog.contactBox()->isEnabled());
    EXPECT_FALSE(dialog.statusBox()->isEnabled());
    const ReportRequest request = dialog.request();
    EXPECT_FALSE(request.contactId);
    EXPECT_TRUE(request.status.isEmpty());
}

} // namespace
