#include "settings/AdminSettings.h"

#include "SettingsFixture.h"
#include "data/AdminOptionOrdinals.h"
#include "settings/Permissions.h"

#include <QFile>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class AdminSettingsTest : public SettingsFixture {
protected:
    bool retrieve(int runningRevision)
    {
        return RetrieveAdminSettings(adminOptions(), link(), options, *errors, runningRevision);
    }
    int storedRevision() { return scalar("SELECT ProgramVersion FROM tblAdminOptions").toInt(); }
    int addPermissionSet(std::initializer_list<bool> flags)
    {
        QVariantList params;
        for (bool f : flags)
            params << f;
        return static_cast<int>(link().insertReturningKey(
            QStringLiteral("INSERT INTO tblPermissions (Permission1, Permission2, Permission3, "
                           "ContactManagement, Payments) VALUES (?, ?, ?, ?, ?)"),
            params, "PermissionID"));
    }
    int staffIdOfUser()
    {
        return scalar("SELECT StaffID FROM tblUsers WHERE UserID = ?", {initialUserId}).toInt();
    }
    Permissions permissionsFor(qint32 staffId, qint32 userPermissionId)
    {
        Permissions p;
        p.payments = true; // must be cleared when nothing is found
        EXPECT_TRUE(
            RetrieveUserPermissions(staffId, userPermissionId, options, link(), *errors, p));
        return p;
    }
};

TEST_F(AdminSettingsTest, OptionsAreReadByPosition)
{
    setOption(AdminOption::ContactTerm, "Client's");
    setOption(AdminOption::Activity1Term, "Task");
    setOption(AdminOption::Activity2Term, "Phase");
    setOption(AdminOption::ContactRequired, true);
    setOption(AdminOption::HideInactiveContacts, true);
    setOption(AdminOption::Activity2SortByNumber, true);
    setOption(AdminOption::SecondContactsFolderStoreID, "S2");
    setOption(AdminOption::AppointmentsFolderFixed, true);
    setOption(AdminOption::AppointmentsFolderEntryID, "A-E");
    setOption(AdminOption::FixedRateLevel, "3");
    setOption(AdminOption::FixedHourlyRate, Money::fromWhole(95).toStored());
    setOption(AdminOption::PermissionsFromStaffLevel, true);
    setOption(AdminOption::ExpensesInUse, true);
    setOption(AdminOption::JobOrderTerm, "Docket");
    setOption(AdminOption::UpgradeRequest, 1);
    setOption(8, "not yet named");

    ASSERT_TRUE(retrieve(Version::Revision));

    EXPECT_TRUE(options.billingInUse);
    EXPECT_EQ(options.terms.contact, "Client's");
    EXPECT_EQ(options.terms.activity1, "Task");
    EXPECT_EQ(options.terms.activity2, "Phase");
    EXPECT_TRUE(options.contactInUse);
    EXPECT_TRUE(options.contactRequired);
    EXPECT_TRUE(options.hideInactiveContacts);
    EXPECT_FALSE(options.activity1Required);
    EXPECT_FALSE(options.activity1SortByNumber);
    EXPECT_TRUE(options.activity2SortByNumber);
    EXPECT_EQ(options.secondContactsFolder.storeId, "S2");
    EXPECT_TRUE(options.appointmentsFolderFixed);
    EXPECT_EQ(options.appointmentsFolder.entryId, "A-E");
    EXPECT_FALSE(options.journalFolderFixed);
    EXPECT_EQ(options.fixedRateLevel, "3");
    EXPECT_EQ(options.fixedHourlyRate, Money::fromWhole(95));
    EXPECT_TRUE(options.permissionsFromStaffLevel);
    EXPECT_TRUE(options.expensesInUse);
    EXPECT_FALSE(options.fixedChargesInUse);
    EXPECT_EQ(options.jobOrderTerm, "Docket");
    EXPECT_EQ(options.upgradeRequest, 1);
    ASSERT_EQ(options.row.size(), static_cast<std::size_t>(AdminOption::Count));
    EXPECT_EQ(options.row[8].toString(), "not yet named");
}

TEST_F(AdminSettingsTest, RateSourceChoiceFollowsTheOptionsInOrder)
{
    AdminOptions o;
    o.terms = Terms{"Matter", "Task", "Phase"};
    EXPECT_EQ(o.rateSourceChoice(), "Phase Rates");
    o.rateSourceActivity1 = true;
    EXPECT_EQ(o.rateSourceChoice(), "Task Rates");
    o.rateSourceStaffLevel = true;
    EXPECT_EQ(o.rateSourceChoice(), "Staff Level Rates");
    o.rateSourceStaff = true;
    EXPECT_EQ(o.rateSourceChoice(), "Staff Rates");
    o.rateSourceContact = true;
    EXPECT_EQ(o.rateSourceChoice(), "Matter Rates");
}

TEST_F(AdminSettingsTest, ANewerProgramStoresItsRevisionAndAnOlderOneNeverLowersIt)
{
    setOption(AdminOption::ProgramVersion, 10);

    ASSERT_TRUE(retrieve(12));
    EXPECT_EQ(storedRevision(), 12);
    EXPECT_EQ(options.programVersion, 12);

    ASSERT_TRUE(retrieve(9));
    EXPECT_EQ(storedRevision(), 12);
    EXPECT_EQ(options.programVersion, 12);

    // Compared as numbers: revision 9 is older than 10, though "9" > "10" as text.
    setOption(AdminOption::ProgramVersion, 9);
    ASSERT_TRUE(retrieve(10));
    EXPECT_EQ(storedRevision(), 10);
}

TEST_F(AdminSettingsTest, PermissionsComeFromTheUserOrTheStaffLevel)
{
    const int userSet = addPermissionSet({true, false, true, false, false});
    const int staffSet = addPermissionSet({false, true, false, true, true});
    const int staffId = staffIdOfUser();
    exec("UPDATE tblStaff SET PermissionID = ? WHERE StaffID = ?", {staffSet, staffId});

    options.permissionsFromStaffLevel = false;
    EXPECT_EQ(permissionsFor(staffId, userSet), (Permissions{true, false, true, false, false}));

    // The staff level rules: the user's own set makes no difference then.
    options.permissionsFromStaffLevel = true;
    EXPECT_EQ(permissionsFor(staffId, userSet), (Permissions{false, true, false, true, true}));
    EXPECT_EQ(permissionsFor(staffId, 0), (Permissions{false, true, false, true, true}));
    EXPECT_TRUE(prompts.messages().isEmpty());
}

TEST_F(AdminSettingsTest, APermissionSetWithoutARowGivesNoPermissions)
{
    options.permissionsFromStaffLevel = false;
    EXPECT_EQ(permissionsFor(staffIdOfUser(), 9999), Permissions{});
    options.permissionsFromStaffLevel = true;
    EXPECT_EQ(permissionsFor(9999, 0), Permissions{}); // no such staff level
    exec("UPDATE tblStaff SET PermissionID = NULL");
    EXPECT_EQ(permissionsFor(staffIdOfUser(), 0), Permissions{});
    EXPECT_TRUE(reports().isEmpty());
}

TEST_F(AdminSettingsTest, APermissionFailureIsReportedUnderItsOwnLocation)
{
    exec("DROP TABLE tblPermissions");
    Permissions p;
    p.permission1 = true;
    options.permissionsFromStaffLevel = false;

    EXPECT_FALSE(RetrieveUserPermissions(1, 1, options, link(), *errors, p));

    EXPECT_EQ(p, Permissions{});
    ASSERT_EQ(reports().size(), 1);
    QFile file(tmp.filePath("reports/") + reports().front());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(file.readAll()).contains("modAdminSettings:  RetrieveUserPermissionsX:"));
}

} // namespace
