#include "data/Schema.h"

#include "SqliteFile.h"
#include "data/AdminOptionOrdinals.h"
#include "data/Migrations.h"
#include "data/SchemaPermissionOrdinals.h"
#include "data/SchemaTables.h"
#include "data/UserSettingOrdinals.h"
#include "platform/core/QvError.h"
#include "testsupport/TempDir.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace quorvale;
using namespace quorvale::schema;

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

using test::SqliteFile;

struct ColumnInfo {
    QString name;
    QString type;
    bool notNull;
    QString defaultValue;
};

std::vector<ColumnInfo> columnsOf(QSqlDatabase &db, const QString &table)
{
    QSqlQuery q(db);
    EXPECT_TRUE(q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)));
    std::vector<ColumnInfo> out;
    while (q.next())
        out.push_back({q.value(1).toString(), q.value(2).toString().toUpper(),
                       q.value(3).toInt() != 0, q.value(4).toString()});
    return out;
}

QStringList namesOf(const std::vector<ColumnInfo> &columns)
{
    QStringList out;
    for (const auto &c : columns)
        out << c.name;
    return out;
}

qlonglong scalar(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql) || !q.next()) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return -999;
    }
    return q.value(0).toLongLong();
}

void run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
}

class ProgramSchemaTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        file = std::make_unique<SqliteFile>(dir.filePath("QVData.db"));
        createProgramSchema(db(), Dialect::SQLite);
        insertDefaultRows(db());
    }
    QSqlDatabase &db() { return file->db(); }

    test::TempDir dir;
    std::unique_ptr<SqliteFile> file;
};

} // namespace

TEST_F(ProgramSchemaTest, TimeCardColumnsStandInTheirBoundOrder)
{
    const QStringList expected{
        "TimeCardID",  "JournalEntryID", "ContactID",   "UserId",        "Activity1ID",
        "Activity2ID", "InvoiceID",      "Description", "TimeEstimated", "Quantity",
        "StartDate",   "StartTime",      "EndDate",     "EndTime",       "BillStatus",
        "RateSource",  "RateLevel",      "EntryType",   "Category",      "Rate",
        "FlatRate",    "Value",          "Inactive",    "Realization",   "JobOrder"};
    const auto columns = columnsOf(db(), "tblTimeCards");
    EXPECT_EQ(namesOf(columns), expected);
    std::map<QString, QString> types;
    for (const auto &c : columns)
        types[c.name] = c.type;
    EXPECT_EQ(types["StartDate"], "DATE");
    EXPECT_EQ(types["EndTime"], "TIME");
    EXPECT_EQ(types["Value"], "BIGINT");
}

TEST_F(ProgramSchemaTest, EveryTableHoldsTheColumnsTheProgramUses)
{
    const std::map<QString, QStringList> used{
        {"tblContacts",
         {"ContactID", "ContactEntryID", "ContactName", "ContactAccount", "Active", "Rate1",
          "Rate6", "TimeRealization", "ExpenseRealization", "FixedChargeRealization"}},
        {"tblMainActivities",
         {"ActivityID", "ActivityName", "ActivityNumber", "ActivityDescription", "ContactID",
          "Active", "Rate1", "Rate6"}},
        {"tblSubActivities",
         {"ActivityID", "ActivityName", "ActivityNumber", "ActivityDescription", "ContactID",
          "Active", "Rate1", "Rate6"}},
        {"tblUsers",
         {"UserID", "UserName", "UserEntryID", "Active", "StaffID", "PermissionID", "Rate1",
          "Rate6"}},
        {"tblStaff", {"StaffID", "PermissionID", "Rate1", "Rate6"}},
        {"tblMessages", {"EntryID", "StoreID", "TimeCardID"}},
        {"tblTasks", {"TaskID", "EntryID", "TimeCardID"}},
        {"tblNotes", {"EntryID", "TimeCardID"}},
        {"tblTimedAppointments", {"EntryID", "TimeCardID"}},
        {"tblScheduledAppointments", {"EntryID", "TimeCardID"}},
        {"tblAppointments", {"JournalEntryID"}},
        {"tblDocuments", {"DocumentID", "TimeCardID", "FileName", "FilePath"}},
        {"tblExpenses", {"ExpenseID",       "ExpenseCodeID", "TimeCardID",  "UserID",   "ContactID",
                         "Activity1ID",     "Activity2ID",   "Description", "Quantity", "Location",
                         "Purpose",         "Participants",  "StartDate",   "EndDate",  "Rate",
                         "Amount",          "Realization",   "BillStatus",  "JobOrder", "InvoiceID",
                         "ReimbursementID", "InvoiceAmount"}},
        {"tblFixedCharges",
         {"ProductID", "ProductCodeID", "TimeCardID", "UserID", "ContactID", "Activity1ID",
          "Activity2ID", "Description", "Quantity", "StartDate", "Rate", "Amount", "Realization",
          "BillStatus", "JobOrder", "InvoiceID", "InvoiceAmount"}},
        {"tblExpenseCodes",
         {"ExpenseCodeID", "ExpenseNumber", "ExpenseAbbreviation", "ExpenseDescription",
          "ExpenseRate", "ExpenseClass", "Active"}},
        {"tblFixedChargeCodes",
         {"ProductCodeID", "ProductNumber", "ProductAbbreviation", "ProductDescription",
          "ProductRate", "Active"}},
        {"tblPayments",
         {"UserID", "ContactID", "PaymentAmount", "PaymentDate", "PaymentDescription",
          "CreditCardNumber", "CardholdersName", "CCExpirationDate", "AuthorizationCode",
          "PaymentMethodID", "FundContribution"}},
        {"tblPaymentMethods",
         {"PaymentMethodID", "PaymentMethod", "PaymentDescription", "RequiresAuthorization",
          "CreditCardPayment"}},
    };
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec("SELECT name FROM sqlite_master WHERE type = 'table' AND name LIKE 'tbl%'"));
    std::set<QString> created;
    while (q.next())
        created.insert(q.value(0).toString());
    const QStringList shared = sharedTableNames();
    EXPECT_EQ(created, std::set<QString>(shared.begin(), shared.end()));
    EXPECT_FALSE(shared.contains("tblAbbreviations"));
    for (const auto &[table, columns] : used) {
        ASSERT_TRUE(created.count(table)) << table.toStdString();
        const QStringList present = namesOf(columnsOf(db(), table));
        for (const auto &c : columns)
            EXPECT_TRUE(present.contains(c, Qt::CaseInsensitive))
                << table.toStdString() << "." << c.toStdString();
    }
}

TEST_F(ProgramSchemaTest, AdminOptionsStandAtTheirOrdinalsWithTheirTypes)
{
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec("SELECT * FROM tblAdminOptions"));
    ASSERT_TRUE(q.next());
    const QSqlRecord rec = q.record();
    ASSERT_EQ(rec.count(), AdminOption::Count);
    for (int i = 0; i < rec.count(); ++i)
        EXPECT_EQ(rec.fieldName(i),
                  qs(adminOptionColumns[static_cast<std::size_t>(i)].column.name));

    // Positions the readers rely on, looked up by name.
    EXPECT_EQ(rec.indexOf("RecordID"), AdminOption::RecordID);
    EXPECT_EQ(rec.indexOf("ContactTerm"), 2);
    EXPECT_EQ(rec.indexOf("Activity1Term"), 3);
    EXPECT_EQ(rec.indexOf("Activity2Term"), 4);
    EXPECT_EQ(rec.indexOf("ProgramVersion"), 75);
    EXPECT_EQ(AdminOption::BillingInUse, 1);
    EXPECT_EQ(AdminOption::ContactInUse, 5);
    EXPECT_EQ(AdminOption::Activity1SortByNumber, 13);
    EXPECT_EQ(AdminOption::Activity2SortByNumber, 17);
    EXPECT_EQ(AdminOption::RateSourceFixed, 46);
    EXPECT_EQ(AdminOption::PermissionsFromStaffLevel, 56);
    EXPECT_EQ(AdminOption::UpgradeRequest, 76);
    EXPECT_EQ(AdminOption::JobOrderTerm, 77);

    // The kind of value each position has always held.
    const auto columns = columnsOf(db(), "tblAdminOptions");
    auto expectKind = [&](std::initializer_list<int> ordinals, const char *type, bool notNull) {
        for (int o : ordinals) {
            EXPECT_EQ(columns[static_cast<std::size_t>(o)].type, type) << "ordinal " << o;
            EXPECT_EQ(columns[static_cast<std::size_t>(o)].notNull, notNull) << "ordinal " << o;
        }
    };
    expectKind({1,  5,  6,  7,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                22, 25, 28, 46, 49, 50, 51, 52, 53, 54, 56, 58},
               "INTEGER", true);
    expectKind({2,  3,  4,  8,  18, 19, 20, 21, 23, 24, 26, 27, 29,
                30, 31, 35, 40, 47, 48, 55, 61, 62, 65, 77, 78},
               "TEXT", false);
    expectKind({41, 42, 43, 44, 45, 57, 59, 75, 76}, "INTEGER", false);

    // The default row: switched-on options read -1, the rest 0, the terms filled.
    EXPECT_EQ(q.value(AdminOption::BillingInUse).toInt(), -1);
    EXPECT_EQ(q.value(AdminOption::ContactRequired).toInt(), 0);
    EXPECT_EQ(q.value(AdminOption::UpgradeRequest).toInt(), 0);
    EXPECT_EQ(q.value(AdminOption::ContactTerm).toString(), "Contact");
    EXPECT_FALSE(q.next()) << "a single row";
}

TEST_F(ProgramSchemaTest, UserSettingsCarryTheRegistryDefaultsByOrdinal)
{
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec("SELECT * FROM tblUserSettings"));
    ASSERT_TRUE(q.next());
    ASSERT_EQ(q.record().count(), UserSetting::Count + 1);
    EXPECT_EQ(q.record().indexOf("RecordID"), UserSetting::RecordID);
    for (int i = 0; i < UserSetting::Count; ++i)
        EXPECT_EQ(q.record().fieldName(i),
                  qs(userSettingColumns[static_cast<std::size_t>(i)].column.name));

    std::set<std::pair<std::string_view, std::string_view>> seen;
    for (const auto &c : userSettingColumns)
        EXPECT_TRUE(seen.insert({c.registryKey, c.registryValue}).second)
            << "two columns fill " << c.registryValue;

    EXPECT_EQ(q.value(UserSetting::DefaultSort).toString(),
              " ORDER BY tblTimeCards.TimeCardID ASC");
    EXPECT_EQ(q.value(UserSetting::JournalEntryType).toString(), "Task");
    EXPECT_EQ(q.value(UserSetting::JournalBillingStatus).toString(), "Billable");
    EXPECT_EQ(q.value(UserSetting::AutoSave).toInt(), 1);
    EXPECT_EQ(q.value(UserSetting::AutoFillJournal0).toInt(), 11);
    EXPECT_EQ(q.value(UserSetting::AutoFillTask0).toInt(), 10);
    EXPECT_EQ(q.value(UserSetting::AutoFillAppointment5).toInt(), 12);
    EXPECT_EQ(q.value(UserSetting::AutoFillNote5).toInt(), 13);
    EXPECT_EQ(q.value(UserSetting::AutoFillTask9).toInt(), 0);
}

TEST_F(ProgramSchemaTest, PermissionsSitAtOneToFiveWithTheDescriptionLast)
{
    const QStringList names = namesOf(columnsOf(db(), "tblPermissions"));
    ASSERT_EQ(names.size(), 7);
    EXPECT_EQ(names.indexOf("PermissionID"), PermissionColumn::PermissionID);
    EXPECT_EQ(names.indexOf("ContactManagement"), PermissionColumn::ContactManagement);
    EXPECT_EQ(names.indexOf("Payments"), PermissionColumn::Payments);
    EXPECT_EQ(names.last(), "PermissionDescription");
}

TEST_F(ProgramSchemaTest, KeysComeFromTheDatabaseAndAreNeverReused)
{
    run(db(), "INSERT INTO tblTimeCards (UserId) VALUES (7)");
    run(db(), "INSERT INTO tblTimeCards (UserId) VALUES (7)");
    EXPECT_EQ(scalar(db(), "SELECT MAX(TimeCardID) FROM tblTimeCards"), 2);
    run(db(), "DELETE FROM tblTimeCards WHERE TimeCardID = 2");
    run(db(), "INSERT INTO tblTimeCards (UserId) VALUES (7)");
    EXPECT_EQ(scalar(db(), "SELECT MAX(TimeCardID) FROM tblTimeCards"), 3);

    // A new row's flags are False and its money zero, its time texts empty.
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec("SELECT Inactive, Value, Quantity, TimeEstimated, Realization "
                       "FROM tblTimeCards WHERE TimeCardID = 3"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
    EXPECT_EQ(q.value(1).toLongLong(), 0);
    EXPECT_EQ(q.value(2).toString(), "0000000");
    EXPECT_EQ(q.value(3).toString(), "0000000");
    EXPECT_DOUBLE_EQ(q.value(4).toDouble(), 1.0);

    run(db(), "INSERT INTO tblContacts (ContactName) VALUES ('Acme')");
    run(db(), "INSERT INTO tblPayments (UserID, PaymentAmount) VALUES (1, -1000000)");
    EXPECT_EQ(scalar(db(), "SELECT Active FROM tblContacts"), 0);
    EXPECT_EQ(scalar(db(), "SELECT FundContribution FROM tblPayments"), 0);
    EXPECT_EQ(scalar(db(), "SELECT COUNT(*) FROM tblContacts WHERE Active<>0"), 0);

    // Booleans are never null, so a comparison with 0 always decides.
    QSqlQuery nullFlag(db());
    EXPECT_FALSE(nullFlag.exec("INSERT INTO tblUsers (UserName, Active) VALUES ('x', NULL)"));
}

TEST_F(ProgramSchemaTest, EveryBooleanDefaultsToFalse)
{
    for (const auto &table : tables(DatabaseKind::Program)) {
        const auto info = columnsOf(db(), qs(table.name));
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            if (table.columns[i].type != ColumnType::Boolean)
                continue;
            EXPECT_TRUE(info[i].notNull) << table.name << "." << table.columns[i].name;
            EXPECT_EQ(info[i].defaultValue, "0") << table.name << "." << table.columns[i].name;
        }
    }
}

TEST_F(ProgramSchemaTest, MoneyIsStoredExactlyAsTenThousandths)
{
    // More digits than a double carries exactly.
    const qlonglong units = 9007199254740993LL;
    QSqlQuery q(db());
    ASSERT_TRUE(
        q.prepare("INSERT INTO tblTimeCards (UserId, Rate, FlatRate, Value) VALUES (1, ?, ?, ?)"));
    q.addBindValue(units);
    q.addBindValue(-units);
    q.addBindValue(qlonglong{1});
    ASSERT_TRUE(q.exec());
    ASSERT_TRUE(q.exec("SELECT Rate, FlatRate, Value, typeof(Rate) FROM tblTimeCards"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toLongLong(), units);
    EXPECT_EQ(q.value(1).toLongLong(), -units);
    EXPECT_EQ(q.value(2).toLongLong(), 1);
    EXPECT_EQ(q.value(3).toString(), "integer");

    for (const auto &table : tables(DatabaseKind::Program)) {
        const auto info = columnsOf(db(), qs(table.name));
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            if (table.columns[i].type == ColumnType::Money) {
                EXPECT_EQ(info[i].type, "BIGINT") << table.name << "." << table.columns[i].name;
            }
        }
    }
}

TEST_F(ProgramSchemaTest, WorkingSetKeyQueryReadsOnlyTheCoveringIndex)
{
    const QString keyQuery = QStringLiteral(
        "SELECT tblTimeCards.TimeCardID FROM tblTimeCards LEFT JOIN tblContacts ON "
        "tblContacts.ContactID = tblTimeCards.ContactID WHERE (tblContacts.Active<>0 OR "
        "tblTimeCards.ContactID Is Null) AND tblTimeCards.InvoiceID Is Null AND "
        "tblTimeCards.Inactive=0 AND tblTimeCards.UserID=?");
    QSqlQuery plan(db());
    ASSERT_TRUE(plan.prepare("EXPLAIN QUERY PLAN " + keyQuery));
    plan.addBindValue(7);
    ASSERT_TRUE(plan.exec()) << plan.lastError().text().toStdString();
    QStringList details;
    while (plan.next())
        details << plan.value(3).toString();
    const QString joined = details.join(" | ");
    EXPECT_TRUE(joined.contains("COVERING INDEX IX_TimeCards_WorkingSet")) << joined.toStdString();
    EXPECT_FALSE(joined.contains("SCAN tblTimeCards")) << joined.toStdString();

    // And the rows are the right ones: own, uninvoiced, shown, no contact or an
    // active one.
    run(db(), "INSERT INTO tblContacts (ContactID, ContactName, Active) VALUES (1, 'on', -1)");
    run(db(), "INSERT INTO tblContacts (ContactID, ContactName, Active) VALUES (2, 'off', 0)");
    run(db(), "INSERT INTO tblTimeCards (TimeCardID, UserId, ContactID) VALUES (10, 7, 1)");
    run(db(), "INSERT INTO tblTimeCards (TimeCardID, UserId, ContactID) VALUES (11, 7, NULL)");
    run(db(), "INSERT INTO tblTimeCards (TimeCardID, UserId, ContactID) VALUES (12, 7, 2)");
    run(db(),
        "INSERT INTO tblTimeCards (TimeCardID, UserId, ContactID, InvoiceID) VALUES (13, 7, 1, 5)");
    run(db(),
        "INSERT INTO tblTimeCards (TimeCardID, UserId, ContactID, Inactive) VALUES (14, 7, 1, -1)");
    run(db(), "INSERT INTO tblTimeCards (TimeCardID, UserId, ContactID) VALUES (15, 8, 1)");
    QSqlQuery q(db());
    ASSERT_TRUE(q.prepare(keyQuery + " ORDER BY tblTimeCards.TimeCardID"));
    q.addBindValue(7);
    ASSERT_TRUE(q.exec());
    QList<int> keys;
    while (q.next())
        keys << q.value(0).toInt();
    EXPECT_EQ(keys, (QList<int>{10, 11}));
}

TEST_F(ProgramSchemaTest, ChargesAndLinksAreFoundByIndex)
{
    auto planOf = [&](const QString &sql) {
        QSqlQuery q(db());
        EXPECT_TRUE(q.exec("EXPLAIN QUERY PLAN " + sql)) << q.lastError().text().toStdString();
        QStringList details;
        while (q.next())
            details << q.value(3).toString();
        return details.join(" | ");
    };
    EXPECT_TRUE(planOf("SELECT ExpenseID FROM tblExpenses WHERE InvoiceID Is Null AND UserID=3")
                    .contains("IX_Expenses_WorkingSet"));
    EXPECT_TRUE(planOf("SELECT ProductID FROM tblFixedCharges WHERE InvoiceID Is Null AND UserID=3")
                    .contains("IX_FixedCharges_WorkingSet"));
    EXPECT_TRUE(planOf("SELECT * FROM tblAppointments WHERE JournalEntryID = 'x'")
                    .contains("IX_Appointments_JournalEntryID"));
    EXPECT_TRUE(planOf("SELECT TimeCardID FROM tblTimeCards WHERE JournalEntryID = 'x'")
                    .contains("IX_TimeCards_JournalEntryID"));
    for (const char *table :
         {"tblMessages", "tblTasks", "tblNotes", "tblTimedAppointments", "tblScheduledAppointments",
          "tblDocuments", "tblExpenses", "tblFixedCharges"}) {
        const QString plan =
            planOf(QStringLiteral("SELECT * FROM %1 WHERE TimeCardID = 4").arg(table));
        EXPECT_TRUE(plan.contains("USING INDEX")) << table << ": " << plan.toStdString();
    }
}

TEST_F(ProgramSchemaTest, FileIsStampedWithTheCurrentSchemaVersion)
{
    EXPECT_EQ(scalar(db(), "PRAGMA user_version"), programSchemaVersion());
}

TEST(SchemaCreation, AFailedCreateLeavesNoTableBehind)
{
    test::TempDir dir;
    SqliteFile file(dir.filePath("QVData.db"));
    // A clash half way through the list.
    run(file.db(), "CREATE TABLE tblAdminOptions (X INTEGER)");
    EXPECT_THROW(createProgramSchema(file.db(), Dialect::SQLite), QvError);
    EXPECT_EQ(scalar(file.db(), "SELECT COUNT(*) FROM sqlite_master WHERE name = 'tblTimeCards'"),
              0);
    EXPECT_EQ(scalar(file.db(), "PRAGMA user_version"), 0);
}

TEST(SchemaCreation, LinkLocalAndReportDatabases)
{
    test::TempDir dir;
    SqliteFile link(dir.filePath("QVLink.db"));
    createLinkSchema(link.db());
    writeLinkCatalog(link.db(), "/data/QVData.db", sharedTableNames());
    EXPECT_EQ(scalar(link.db(), "SELECT COUNT(*) FROM tblLinkCatalog"), sharedTableNames().size());
    QSqlQuery q(link.db());
    ASSERT_TRUE(q.exec("SELECT Type, LinkDatasource, LinkProviderString, RemoteTableName "
                       "FROM tblLinkCatalog WHERE Name = 'tblAdminOptions'"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toString(), "LINK");
    EXPECT_EQ(q.value(1).toString(), "/data/QVData.db");
    EXPECT_EQ(q.value(2).toString(), "MS Access;Pwd=r9h)2m!]7kWq4/TbNeYs");
    EXPECT_EQ(q.value(3).toString(), "tblAdminOptions");
    QSqlQuery dup(link.db());
    EXPECT_FALSE(dup.exec("INSERT INTO tblLinkCatalog (Name) VALUES ('tblAdminOptions')"))
        << "one entry per linked table";
    // Writing again replaces the entries.
    writeLinkCatalog(link.db(), "/other/QVData.db", {"tblTimeCards"});
    EXPECT_EQ(scalar(link.db(), "SELECT COUNT(*) FROM tblLinkCatalog"), 1);

    SqliteFile local(dir.filePath("QVLocal.db"));
    createLocalSchema(local.db());
    EXPECT_EQ(namesOf(columnsOf(local.db(), "tblAbbreviations")),
              (QStringList{"AbbreviationID", "SortOrder", "Abbreviation", "Text"}));

    SqliteFile report(dir.filePath("QVReport.db"));
    createReportSchema(report.db());
    EXPECT_GE(scalar(report.db(), "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table'"), 1);
}
