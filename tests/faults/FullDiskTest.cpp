// Every kind of file the program writes, saved once with room and then again,
// bigger, on a full disk: the second save must fail in words, and the disk
// must hold exactly what it held before, byte for byte, with no temporary or
// half-made file beside it.

#include "testsupport/FullDisk.h"

#include "outlook/BlankDocument.h"
#include "outlook/NewJournalEntry.h"
#include "outlook/OutlookSession.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/pim/Item.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/Store.h"
#include "platform/registry/Registry.h"
#include "qvadmin/ReportCommand.h"
#include "qvadmin/ReportTable.h"
#include "qvadmin/ViewFiles.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

// Every file under a directory, hidden ones too, with its bytes.
QMap<QString, QByteArray> filesUnder(const QString &root)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        files.insert(QDir(root).relativeFilePath(path),
                     file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>"));
    }
    return files;
}

QString text(int size)
{
    return QString(size, u'x');
}

// What the program has around the files it writes; everything that is
// written lies on the full disk, the settings file and shipped files beside it.
struct Rig {
    explicit Rig(test::FullDisk &d) : disk(d) {}

    pim::Namespace &items()
    {
        if (!ns)
            ns = std::make_unique<pim::Namespace>(disk.filePath("Items"));
        return *ns;
    }
    std::unique_ptr<pim::Item> add(pim::DefaultFolder kind)
    {
        return pim::newItem(items().GetDefaultFolder(kind));
    }
    // The program's way back to an item it wrote: by its EntryID.
    std::unique_ptr<pim::Item> reread(const QString &entryId)
    {
        return items().itemFromId(entryId, {});
    }
    OutlookSession &session()
    {
        if (!outlook) {
            outlook = std::make_unique<OutlookSession>(disk.filePath("Items"), registry, prompts);
            EXPECT_TRUE(outlook->CreateOutlookInstance());
            EXPECT_TRUE(outlook->SetFolderObjects(FolderIds{}));
        }
        return *outlook;
    }

    test::FullDisk &disk;
    test::TempDir aside;
    Registry registry{aside.filePath("settings.ini")};
    test::ScriptedPrompts prompts;
    std::unique_ptr<pim::Namespace> ns;
    std::unique_ptr<OutlookSession> outlook;
    QString entryId;
};

// Saves one version of `size` (or a fixed size where the kind has one); the
// second call is the one on the full disk. Returns the error's text, empty
// when the save succeeded.
using Save = std::function<QString(Rig &, int size, bool again)>;

QString throwsText(const std::function<void()> &save)
{
    try {
        save();
    } catch (const QvError &e) {
        return e.description();
    }
    return {};
}

Save itemRewrite(pim::DefaultFolder kind)
{
    return [kind](Rig &rig, int size, bool again) {
        return throwsText([&] {
            std::unique_ptr<pim::Item> item = again ? rig.reread(rig.entryId) : rig.add(kind);
            ASSERT_TRUE(item);
            item->setBody(text(size));
            item->Save();
            rig.entryId = item->EntryID();
        });
    };
}

admin::ReportTable reportOf(int rows)
{
    admin::ReportTable table;
    table.title = "TimeCards";
    table.columns = {{"Client", admin::ReportFormat::Text, false}};
    for (int i = 0; i < rows; ++i)
        table.rows.push_back({QStringLiteral("Client %1").arg(i)});
    return table;
}

struct Kind {
    const char *name;
    Save save;
};

void PrintTo(const Kind &kind, std::ostream *os)
{
    *os << kind.name;
}

// Names and sizes, so that a failure shows what appeared or changed.
std::string describe(const QMap<QString, QByteArray> &files)
{
    std::string text;
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        text += it.key().toStdString() + " (" + std::to_string(it.value().size()) + " bytes)\n";
    return text;
}

const Kind Kinds[] = {
    {"JournalEntryRewritten", itemRewrite(pim::DefaultFolder::Journal)},
    {"AppointmentRewritten", itemRewrite(pim::DefaultFolder::Calendar)},
    {"TaskRewritten", itemRewrite(pim::DefaultFolder::Tasks)},
    {"ContactRewritten", itemRewrite(pim::DefaultFolder::Contacts)},
    {"MailMessageRewritten", itemRewrite(pim::DefaultFolder::Inbox)},
    // F11: a new TimeCard's journal entry must not appear as an empty file.
    {"NewJournalEntry",
     [](Rig &rig, int, bool) {
         return throwsText([&] {
             NewJournalEntry(rig.session(), {"Task", "None", "Ann"}, QDateTime::currentDateTime());
         });
     }},
    {"StoreMetadata",
     [](Rig &rig, int size, bool) {
         return throwsText([&] { rig.items().defaultStore().setAttachedStores({text(size)}); });
     }},
    {"ErrorReport",
     [](Rig &rig, int size, bool) {
         ErrorReport report(rig.prompts, rig.disk.filePath("reports"));
         ErrorReportData data;
         data.number = 3022;
         data.description = "Duplicate key";
         data.trace = text(size);
         if (!report.report(data).isEmpty())
             return QString();
         const QString message = rig.prompts.messages().last().text;
         EXPECT_FALSE(message.contains("was saved")) << message.toStdString();
         return message;
     }},
    {"AdministratorReport",
     [](Rig &rig, int size, bool) {
         return throwsText([&] {
             admin::writeReportFiles(reportOf(size / 10), "timecards", "All users",
                                     rig.disk.filePath("reports"));
         });
     }},
    {"BlankDocument",
     [](Rig &rig, int, bool) {
         return throwsText([&] {
             writeBlankDocument(DocumentType::WordDocument, rig.disk.filePath("Minutes.odt"));
         });
     }},
    {"ViewFiles",
     [](Rig &rig, int, bool again) {
         // The shipped files are read, not written, on the full disk: made once,
         // as big as the bigger version of the other kinds.
         const QString shipped = rig.aside.filePath("views");
         if (!again) {
             QDir().mkpath(shipped);
             for (int i = 1; i <= 5; ++i) {
                 QFile file(QDir(shipped).filePath(QStringLiteral("XML%1.txt").arg(i)));
                 EXPECT_TRUE(file.open(QIODevice::WriteOnly));
                 file.write(text(64 * 1024).toUtf8());
             }
             QDir().mkpath(rig.disk.filePath("program2"));
         }
         // View files are only ever added: the second install goes to a new place.
         const QString programDir = rig.disk.filePath(again ? "program2" : "program");
         QDir().mkpath(programDir);
         return throwsText([&] { admin::installViewFiles(programDir, {shipped}); });
     }},
};

class FullDiskTest : public ::testing::TestWithParam<Kind> {};

TEST_P(FullDiskTest, KeepsTheEarlierFileWholeAndSaysTheDiskIsFull)
{
    test::FullDisk disk;
    Rig rig(disk);
    const Kind &kind = GetParam();

    ASSERT_EQ(kind.save(rig, 500, false), QString()) << "with room";
    const QMap<QString, QByteArray> before = filesUnder(disk.path());
    ASSERT_FALSE(before.isEmpty());
    ASSERT_TRUE(std::any_of(before.cbegin(), before.cend(),
                            [](const QByteArray &bytes) { return bytes.size() > 0; }));

    disk.fill(0);
    const QString error = kind.save(rig, 64 * 1024, true);
    disk.release();

    EXPECT_TRUE(error.contains(disk.failureWords())) << error.toStdString();
    EXPECT_TRUE(error.contains("could not be saved")) << error.toStdString();
    const QMap<QString, QByteArray> after = filesUnder(disk.path());
    EXPECT_TRUE(after == before) << "before:\n"
                                 << describe(before) << "after:\n"
                                 << describe(after);
}

INSTANTIATE_TEST_SUITE_P(EveryKindOfFile, FullDiskTest, ::testing::ValuesIn(Kinds),
                         [](const ::testing::TestParamInfo<Kind> &info) {
                             return std::string(info.param.name);
                         });

// A report is its CSV and its HTML file together: when the second does not
// fit, the first goes too, so no run leaves half a report.
TEST(FullDiskReport, ACsvWithoutItsHtmlIsNotLeft)
{
    test::FullDisk disk;
    if (!disk.mounted())
        GTEST_SKIP() << "needs a disk that fills, not a file size limit";
    const QString dir = disk.filePath("reports");
    QDir().mkpath(dir);
    // One page left: the CSV fits, the HTML with its page around the rows does not.
    const admin::ReportTable table = reportOf(150);
    disk.fill(4096);
    try {
        admin::writeReportFiles(table, "timecards", "All users", dir);
        ADD_FAILURE() << "the report fitted";
    } catch (const QvError &e) {
        EXPECT_TRUE(e.description().contains(".html")) << e.what();
    }
    disk.release();
    EXPECT_TRUE(filesUnder(dir).isEmpty()) << describe(filesUnder(dir));
}

// QSettings writes its file through a save that reports success when the disk
// filled up half-way: the settings must come back as they were, and say so.
TEST(FullDiskSettings, AreKeptAsTheyWereAndTheWriteIsRefusedInWords)
{
    test::FullDisk disk;
    const QString path = disk.filePath("settings/Quorvale.ini");
    Registry registry(path);
    RegistryKey key = registry.openSubKey("Settings");
    key.writeText("Logon", "Ann");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    disk.fill(0);
    try {
        key.writeText("Default Sort", text(64 * 1024));
        ADD_FAILURE() << "the write was reported as done";
    } catch (const QvError &e) {
        EXPECT_TRUE(e.description().contains("could not be saved")) << e.what();
        EXPECT_TRUE(e.description().contains("left as it was, without this change")) << e.what();
        if (disk.mounted()) {
            EXPECT_TRUE(e.description().contains("The disk is full")) << e.what();
        }
    }
    disk.release();

    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    // Beside the file, only the second name the program works on while it runs.
    const QStringList names =
        QDir(disk.filePath("settings")).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    ASSERT_EQ(names.size(), 2) << names.join(", ").toStdString();
    EXPECT_EQ(names.last(), "Quorvale.ini");
    EXPECT_TRUE(names.first().startsWith(".Quorvale.ini.work-"));
    // What the program reads is what the file holds, and a write works once there is room.
    EXPECT_FALSE(key.hasValue("Default Sort"));
    key.writeText("Default Sort", "Client");
    EXPECT_EQ(Registry(path).openSubKey("Settings").readText("Default Sort"), u"Client");
}

// The program database on a full disk: the change is refused in words, without
// the statement, and everything saved before it reads back whole.
TEST(FullDiskDatabase, RefusesTheChangeInWordsAndKeepsWhatWasSaved)
{
    test::FullDisk disk;
    const QString path = disk.filePath("QVData.db");
    db::Connection::createSqliteFile(path);
    const QString connect =
        QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%1").arg(path);
    {
        db::Connection cnn;
        cnn.open(connect);
        cnn.execute("CREATE TABLE tblNotes (ID INTEGER PRIMARY KEY, Body TEXT)");
        cnn.execute("INSERT INTO tblNotes (Body) VALUES (?)", {QString("kept")});
        disk.fill(0);
        try {
            cnn.execute("INSERT INTO tblNotes (Body) VALUES (?)", {text(256 * 1024)});
            ADD_FAILURE() << "the insert was reported as done";
        } catch (const QvError &e) {
            EXPECT_TRUE(e.description().contains("could not be changed")) << e.what();
            EXPECT_TRUE(e.description().contains("what was saved before is kept")) << e.what();
            EXPECT_FALSE(e.description().contains("INSERT")) << e.what();
            EXPECT_TRUE(e.detail().contains("INSERT INTO tblNotes"));
            if (disk.mounted()) {
                EXPECT_TRUE(e.description().contains("The disk is full")) << e.what();
            }
        }
        disk.release();
    }
    db::Connection cnn;
    cnn.open(connect);
    EXPECT_EQ(cnn.scalar("PRAGMA integrity_check").toString(), "ok");
    EXPECT_EQ(cnn.scalar("SELECT group_concat(Body) FROM tblNotes").toString(), "kept");
}

} // namespace
