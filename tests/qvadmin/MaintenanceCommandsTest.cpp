#include "AdminFixture.h"

#include <QFile>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class MaintenanceCommandsTest : public AdminFixture {
protected:
    void SetUp() override { initHere(); }
    CommandOutput ok(const QStringList &args) const
    {
        const CommandOutput o = run(args);
        EXPECT_EQ(o.result, 0) << o.err.toStdString();
        return o;
    }
};

const QString Hostile = "Robert'); DROP TABLE tblUsers;--";

TEST_F(MaintenanceCommandsTest, UsersWithAwkwardNamesAreStoredAsTyped)
{
    // Without directory options the commands find the database through the settings.
    EXPECT_TRUE(ok({"user", "add", "Pat O'Brien"}).out.contains("Pat O'Brien"));
    ok({"user", "add", Hostile, "--inactive"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers"), 3);
    EXPECT_EQ(count("SELECT Active FROM tblUsers WHERE UserName = ?", {Hostile}), 0);
    // A new user takes the staff level's rates and permission set.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblUsers u JOIN tblStaff s ON "
                                   "s.StaffID = u.StaffID WHERE u.UserName = ? AND "
                                   "u.Rate3 = s.Rate3 AND u.PermissionID = s.PermissionID"),
                    {"Pat O'Brien"}),
              1);

    const QString list = ok({"user", "list"}).out;
    EXPECT_TRUE(list.contains(Hostile));
    const QStringList lines = list.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5); // heading, rule, three users
    // The columns line up: every row has its "Active" text where the heading has it.
    const qsizetype activeColumn = lines[0].indexOf("Active");
    EXPECT_EQ(lines[2].mid(activeColumn, 3), "Yes");
    EXPECT_EQ(lines[4].mid(activeColumn, 2), "No");
}

TEST_F(MaintenanceCommandsTest, UserAddRefusesDuplicatesAndUnknownReferences)
{
    const CommandOutput duplicate = run({"user", "add", "Ann O'Hara"});
    EXPECT_NE(duplicate.result, 0);
    EXPECT_TRUE(duplicate.err.contains("already exists"));
    EXPECT_NE(run({"user", "add", "X", "--staff", "99"}).result, 0);
    EXPECT_NE(run({"user", "add", "Y", "--permission", "99"}).result, 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers"), 1);

    ok({"user", "add", "Z", "--permission", "3"});
    EXPECT_EQ(count("SELECT PermissionID FROM tblUsers WHERE UserName = 'Z'"), 3);
}

TEST_F(MaintenanceCommandsTest, UserAddRefusesWhenThereIsNoStaffLevel)
{
    // Without a staff level there are no rates and no permission set to take.
    openData()->execute("DELETE FROM tblStaff");
    for (const QStringList &extra : {QStringList{}, QStringList{"--permission", "1"}}) {
        const CommandOutput o = run(QStringList{"user", "add", "Nobody"} + extra);
        EXPECT_NE(o.result, 0);
        EXPECT_TRUE(o.err.contains("staff level")) << o.err.toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers WHERE UserName = 'Nobody'"), 0);
}

TEST_F(MaintenanceCommandsTest, ContactsAndActivities)
{
    ok({"contact", "add", "O'Malley's \"Pub\"", "--account", "A-1'"});
    ok({"contact", "add", Hostile, "--inactive"});
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts WHERE ContactAccount = ?", {"A-1'"}), 1);
    EXPECT_EQ(count("SELECT Active FROM tblContacts WHERE ContactName = ?", {Hostile}), 0);
    const QString contacts = ok({"contact", "list"}).out;
    EXPECT_TRUE(contacts.contains("O'Malley's \"Pub\""));
    EXPECT_TRUE(contacts.contains(Hostile));

    const int contactId =
        scalar("SELECT ContactID FROM tblContacts WHERE ContactAccount = ?", {"A-1'"}).toInt();
    ok({"activity", "add", "Audit'; --", "--level", "2", "--number", "P-1", "--contact",
        QString::number(contactId)});
    ok({"activity", "add", "Consulting"});
    EXPECT_EQ(
        count("SELECT ContactID FROM tblSubActivities WHERE ActivityName = ?", {"Audit'; --"}),
        contactId);
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM tblMainActivities WHERE "
                             "ActivityName = 'Consulting' AND ContactID IS NULL AND Active = -1")),
        1);
    EXPECT_NE(run({"activity", "add", "Q", "--contact", "999"}).result, 0);
    EXPECT_NE(run({"activity", "add", "Q", "--level", "3"}).result, 0);

    const QString level2 = ok({"activity", "list", "--level", "2"}).out;
    EXPECT_TRUE(level2.contains("Audit'; --"));
    EXPECT_FALSE(level2.contains("Consulting"));
    const QString both = ok({"activity", "list"}).out;
    EXPECT_TRUE(both.contains("Consulting"));
    EXPECT_TRUE(both.contains("Audit'; --"));
}

TEST_F(MaintenanceCommandsTest, AContactAddedWithItsCardDetailsIsACardToo)
{
    const QString out = ok({"contact", "add", "Nordwind; Süd", "--full-name", "Zoë Ødegård",
                            "--company", "Nordwind, Süd & Co", "--email", "zoe@nordwind.example",
                            "--phone", "+47 22 00 00 00", "--street", "Storgata 1", "--city",
                            "Oslo", "--postal-code", "0155", "--country", "Norge"})
                            .out;
    // Where the program started with these settings looks for its items.
    ASSERT_TRUE(out.contains("card in " + defaultProgramDir() + "/Items")) << out.toStdString();
    const QString entryId =
        scalar("SELECT ContactEntryID FROM tblContacts WHERE ContactName = ?", {"Nordwind; Süd"})
            .toString();
    ASSERT_FALSE(entryId.isEmpty());
    QFile card(defaultProgramDir() + "/Items/Contacts/" + entryId.section(u'/', -1));
    ASSERT_TRUE(card.open(QIODevice::ReadOnly)) << card.fileName().toStdString();
    const QString text = QString::fromUtf8(card.readAll());
    EXPECT_TRUE(text.contains("FN:Zoë Ødegård"));
    EXPECT_TRUE(text.contains("ORG:Nordwind\\, Süd & Co")) << text.toStdString();
    EXPECT_TRUE(text.contains("zoe@nordwind.example"));
    EXPECT_TRUE(text.contains(";Storgata 1;Oslo;;0155;Norge"));

    // Refused before anything is written.
    const CommandOutput bad = run({"contact", "add", "Bad Mail", "--email", "zoe at nordwind"});
    EXPECT_NE(bad.result, 0);
    EXPECT_TRUE(bad.err.contains("is not an e-mail address")) << bad.err.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts WHERE ContactName = 'Bad Mail'"), 0);
}

TEST_F(MaintenanceCommandsTest, FindsTheDatabaseThroughTheLinkCatalogue)
{
    // --program-dir alone: the data file is the one QVLink.db links to.
    const CommandOutput o = run({"--program-dir", programDir(), "contact", "add", "Linked Ltd"});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts WHERE ContactName = 'Linked Ltd'"), 1);
    EXPECT_NE(run({"--data-dir", m_tmp.filePath("nowhere"), "user", "list"}).result, 0);
}

// The control characters a terminal would obey: everything but the line ends
// of the tool's own output.
QString controlsIn(const QString &text)
{
    QString found;
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control && c != u'\n')
            found += QStringLiteral("U+%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return found;
}

TEST_F(MaintenanceCommandsTest, NamesWithControlCharactersAreStoredAsTypedAndShownAsEscapes)
{
    // ESC [2J clears the screen, ESC ]0; retitles the window, U+009B is a one-character ESC [.
    const QString name = QStringLiteral("Evil\x1b[2J\x1b]0;owned\x07") + QChar(0x9b) +
                         QStringLiteral("31m\x01\x7f\tTab\nNext");
    const QString shown =
        QStringLiteral("Evil\\x1b[2J\\x1b]0;owned\\x07\\x9b31m\\x01\\x7f\\tTab\\nNext");
    struct Kind {
        const char *command;
        const char *table;
        const char *column;
    } kinds[] = {{"contact", "tblContacts", "ContactName"},
                 {"user", "tblUsers", "UserName"},
                 {"activity", "tblMainActivities", "ActivityName"}};
    for (const Kind &kind : kinds) {
        SCOPED_TRACE(kind.command);
        const CommandOutput added = ok({kind.command, "add", name});
        EXPECT_EQ(controlsIn(added.out), QString());
        EXPECT_TRUE(added.out.contains(shown)) << added.out.toStdString();
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?")
                            .arg(QLatin1String(kind.table), QLatin1String(kind.column)),
                        {name}),
                  1);

        const QString list = ok({kind.command, "list"}).out;
        EXPECT_EQ(controlsIn(list), QString());
        EXPECT_TRUE(list.contains(shown)) << list.toStdString();
        // Still one row per line, its columns where the heading has them.
        const QStringList lines = list.split(u'\n', Qt::SkipEmptyParts);
        const qsizetype column = lines[0].indexOf(QLatin1String("Active"));
        for (const QString &line : lines.mid(2))
            EXPECT_TRUE(line.mid(column, 3) == QLatin1String("Yes") ||
                        line.mid(column, 2) == QLatin1String("No"))
                << line.toStdString();
    }
    // A message that names what was typed shows it the same way.
    const CommandOutput unknown = run({QStringLiteral("list\x1b[2J")});
    EXPECT_NE(unknown.result, 0);
    EXPECT_EQ(controlsIn(unknown.err), QString());
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("list\\x1b[2J"))) << unknown.err.toStdString();
}

} // namespace
