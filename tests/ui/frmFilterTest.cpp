// The filter dialog offscreen, and the filter command on the real main window
// over a demo database.

#include "ui/frmFilter.h"

#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "timecards/CommandTable.h"
#include "ui/FilterCommands.h"
#include "ui/MainWindowHost.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

FilterDialogSetup setupWith(bool activitiesInUse, const QString &jobOrderTerm)
{
    FilterDialogSetup s;
    s.activity1InUse = s.activity2InUse = activitiesInUse;
    s.jobOrderTerm = jobOrderTerm;
    s.billStatuses = {QStringLiteral("Bill"), QStringLiteral("Hold")};
    s.rateSources = {QStringLiteral("Staff")};
    s.entryTypes = {QStringLiteral("Meeting")};
    s.activities = [](int level, std::optional<qint32> contact) {
        std::vector<PickEntry> entries{PickEntry{}};
        entries.push_back({level * 10 + 1, QStringLiteral("General %1").arg(level)});
        if (contact)
            entries.push_back({level * 10 + 2, QStringLiteral("Contact's own %1").arg(level)});
        return entries;
    };
    s.pickContact = [] { return std::optional<PickedContact>(PickedContact{5, "Acme"}); };
    return s;
}

template <class W> W *child(QWidget &parent, const char *name)
{
    auto *w = parent.findChild<W *>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

} // namespace

TEST(frmFilter, ShowsSavedCriteriaAndHandsBackWhatWasChosen)
{
    FilterCriteria saved;
    saved.billStatus = QStringLiteral("Hold");
    saved.rateEntered = true;
    saved.rateOperator = QStringLiteral("Less than");
    saved.rate = Money::fromWhole(75);
    saved.startDateEntered = true;
    saved.startDateOperator = QStringLiteral("On of after");
    saved.startDate = QDate(2026, 3, 1);
    saved.endDateOperator = QStringLiteral("On"); // an unset operator shows as the first
    frmFilter dialog(setupWith(true, QStringLiteral("Matter")), saved);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    EXPECT_EQ(dialog.criteria(), saved);
    EXPECT_FALSE(dialog.applyButton()->isEnabled()); // nothing changed yet
    EXPECT_EQ(dialog.applyButton()->text(), QStringLiteral("&Apply"));
    EXPECT_EQ(dialog.cancelButton()->text(), QStringLiteral("&Cancel"));
    EXPECT_EQ(child<QComboBox>(dialog, "cboStartDateOperator")->itemText(2),
              QStringLiteral("On of after"));
    // Every row's label leads to its control.
    for (QLabel *label : dialog.findChildren<QLabel *>())
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();

    QTest::mouseClick(child<QWidget>(dialog, "abSelectContact"), Qt::LeftButton);
    EXPECT_EQ(child<QLineEdit>(dialog, "txtContact")->text(), QStringLiteral("Acme"));
    // The activity lists now offer the contact's own activities.
    QComboBox *activity1 = child<QComboBox>(dialog, "cboActivity1");
    activity1->setCurrentIndex(activity1->findData(12));
    child<QLineEdit>(dialog, "txtCategories")->setText(QStringLiteral("Blue"));
    child<QLineEdit>(dialog, "txtJobOrder")->setText(QStringLiteral("J-7"));
    child<QDateEdit>(dialog, "dtStartDate")->setDate(QDate(1900, 1, 1)); // emptied
    EXPECT_TRUE(dialog.applyButton()->isEnabled());

    QTest::mouseClick(dialog.applyButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), frmFilter::CancelFilter);
    const FilterCriteria c = dialog.criteria();
    EXPECT_EQ(c.contactId, 5);
    EXPECT_EQ(c.contactName, QStringLiteral("Acme"));
    EXPECT_EQ(c.activity1Id, 12);
    EXPECT_EQ(c.categories, QStringLiteral("Blue"));
    EXPECT_EQ(c.jobOrder, QStringLiteral("J-7"));
    EXPECT_FALSE(c.startDateEntered);
    EXPECT_TRUE(c.rateEntered);
}

TEST(FilterCommands, FilterCommandNarrowsTheMainWindowAndTurnsItselfOff)
{
    test::TempDir tmp;
    const QString programDir = tmp.filePath(QStringLiteral("prog"));
    const QString settingsFile = tmp.filePath(QStringLiteral("settings.ini"));
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath(QStringLiteral("reports"))};
    ErrorHandler errors{report};
    int endedWith = 0;
    errors.terminate = [&endedWith](int code) { endedWith = code; };
    {
        admin::GlobalOptions globals;
        globals.programDir = programDir;
        globals.settingsFile = settingsFile;
        Registry adminRegistry(settingsFile);
        admin::initialise(
            {admin::locationForInit(globals), QStringLiteral("Dana O'Neil"), true, false},
            adminRegistry);
    }
    Registry registry(settingsFile);
    // Someone who has been offered the tour already.
    prompts.answerAlways(QStringLiteral(" Take Quorvale Tutorial?"), PromptResult::No);
    StartUp startUp(registry, prompts, errors,
                    StartUpEnvironment{programDir, tmp.filePath(QStringLiteral("items")),
                                       QStringLiteral("HH:mm:ss"), 1, QString()});
    ASSERT_TRUE(startUp.Form_Load());
    FixedClock clock{QDateTime::currentDateTime()};
    MainWindowHost host(programParts(startUp), startUp, registry, prompts, errors, &clock);
    FilterCommands filters(host.window(), startUp.store(), startUp.outlook(), startUp.workingSet(),
                           startUp.settings(), startUp.options(), startUp.commands(), host.editor(),
                           host.commands(), prompts);
    host.window().addCommandSet(filters);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.window()));

    db::Recordset &rs = startUp.workingSet().timeCards();
    const int all = rs.recordCount();
    ASSERT_GE(all, 2) << "the demo gives the user TimeCards to filter";
    // The last TimeCard's bill status narrows the set to those that share it.
    rs.moveLast();
    const QVariant last = rs.bookmark();
    const QString status = rs.value(QStringLiteral("BillStatus")).toString();
    QSqlQuery q(startUp.store().cnnLink().database());
    q.prepare(startUp.workingSet().sql().timeCardBase +
              QStringLiteral(" AND tblTimeCards.BillStatus = ?"));
    q.addBindValue(status);
    ASSERT_TRUE(q.exec());
    int expected = 0;
    while (q.next())
        ++expected;

    QAction *filter = host.window().toolById(ToolId::Filter);
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(filter->text(), QStringLiteral("Apply &Filter"));
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<frmFilter *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QComboBox *bill = dialog->findChild<QComboBox *>(QStringLiteral("cboBillStatus"));
        bill->setCurrentIndex(bill->findText(status));
        QTest::mouseClick(dialog->applyButton(), Qt::LeftButton);
    });
    host.window().abMainMenu_ToolClick(ToolId::Filter);

    EXPECT_TRUE(filters.filtered());
    EXPECT_EQ(rs.recordCount(), expected);
    EXPECT_EQ(rs.bookmark(), last); // still in the set: still current
    EXPECT_EQ(filter->text(), QStringLiteral("Turn &Filter Off"));

    // The command again turns the filter off, without a dialog.
    host.window().abMainMenu_ToolClick(ToolId::Filter);
    EXPECT_FALSE(filters.filtered());
    EXPECT_EQ(rs.recordCount(), all);
    EXPECT_EQ(rs.bookmark(), last);
    EXPECT_EQ(filter->text(), QStringLiteral("Apply &Filter"));
    EXPECT_EQ(endedWith, 0);
    host.window().close();
}
