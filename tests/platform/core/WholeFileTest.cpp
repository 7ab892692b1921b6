#include "platform/core/WholeFile.h"

#include "testsupport/FullDisk.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quorvale;
using quorvale::test::FullDisk;
using quorvale::test::TempDir;

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList namesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QString failureOf(const QString &path, const QByteArray &data, const WholeFileOptions &options = {})
{
    try {
        writeWholeFile(path, data, options);
    } catch (const QvError &e) {
        EXPECT_EQ(e.number(), options.errorNumber);
        EXPECT_EQ(e.source(), options.errorSource);
        return e.description();
    }
    return {};
}

// A file another program left readable by all is owner-only once the program
// has written it, whatever the umask: reports and items hold billing data.
TEST(WholeFile, ReplacesAFileWholeAndOwnerOnly)
{
    TempDir dir;
    const QString path = dir.filePath("report.csv");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const mode_t umask = ::umask(0);
    writeWholeFile(path, "new content");
    ::umask(umask);
    EXPECT_EQ(contentOf(path), "new content");
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0777,
              QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_EQ(namesIn(dir.path()), QStringList({"report.csv"}));

    WholeFileOptions shared;
    shared.permissions |= QFileDevice::ReadGroup;
    writeWholeFile(path, "", shared);
    EXPECT_EQ(contentOf(path), "");
    EXPECT_EQ(QFileInfo(path).permissions() & 0x0777,
              QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ReadGroup);
}

// Each fault in turn: the old file stays as it was, nothing is left beside
// it, and the message says what happened and that the old version was kept.
TEST(WholeFile, AFailedWriteKeepsTheEarlierFileAndSaysWhy)
{
    FullDisk disk;
    const QString path = disk.filePath("entry.ics");
    writeWholeFile(path, QByteArray(300, 'a'));
    WholeFileOptions options;
    options.errorNumber = 75;
    options.errorSource = QStringLiteral("Quorvale Item Store");

    disk.fill(0);
    const QString full = failureOf(path, QByteArray(64 * 1024, 'b'), options);
    EXPECT_TRUE(full.contains(disk.failureWords())) << full.toStdString();
    EXPECT_TRUE(full.contains(QDir::toNativeSeparators(path))) << full.toStdString();
    EXPECT_TRUE(full.contains("the earlier version was kept")) << full.toStdString();
    EXPECT_EQ(contentOf(path), QByteArray(300, 'a'));
    EXPECT_EQ(namesIn(disk.path()), QStringList({"entry.ics"}));
    // A new file that does not fit is not there at all, not even empty.
    const QString fresh = failureOf(disk.filePath("new.ics"), QByteArray(64 * 1024, 'c'));
    EXPECT_TRUE(fresh.contains("no part of it was left")) << fresh.toStdString();
    EXPECT_EQ(namesIn(disk.path()), QStringList({"entry.ics"}));
    disk.release();

    // Any other system error is given in the system's words.
    const QString underFile = failureOf(path + "/inside", "x");
    EXPECT_TRUE(underFile.contains("Not a directory")) << underFile.toStdString();
    if (disk.makeReadOnly()) {
        const QString readOnly = failureOf(path, "x");
        EXPECT_TRUE(readOnly.contains("the earlier version was kept")) << readOnly.toStdString();
        EXPECT_FALSE(readOnly.contains("disk is full")) << readOnly.toStdString();
        EXPECT_EQ(contentOf(path), QByteArray(300, 'a'));
    }
}

// A Maildir writer names its own temporary file in tmp/; it is gone after.
TEST(WholeFile, AGivenTemporaryFileIsRenamedOrRemoved)
{
    FullDisk disk;
    QDir().mkpath(disk.filePath("tmp"));
    QDir().mkpath(disk.filePath("cur"));
    WholeFileOptions options;
    options.temporaryPath = disk.filePath("tmp/1.M1.host");
    writeWholeFile(disk.filePath("cur/1.M1.host:2,S"), "message", options);
    EXPECT_EQ(namesIn(disk.filePath("cur")), QStringList({"1.M1.host:2,S"}));
    disk.fill(0);
    EXPECT_FALSE(failureOf(disk.filePath("cur/1.M1.host:2,S"), QByteArray(64 * 1024, 'm'), options)
                     .isEmpty());
    disk.release();
    EXPECT_TRUE(namesIn(disk.filePath("tmp")).isEmpty());
    EXPECT_EQ(contentOf(disk.filePath("cur/1.M1.host:2,S")), "message");
}

} // namespace
