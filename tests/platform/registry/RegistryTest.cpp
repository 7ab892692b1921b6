#include "platform/registry/Registry.h"

#include "platform/core/QvError.h"
#include "platform/registry/RegistryPaths.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quorvale;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    QString iniPath() const { return dir.filePath("settings/Quorvale.ini"); }
    QByteArray fileText() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    test::TempDir dir;
};

TEST_F(RegistryTest, ValuesRoundTripThroughTheFileWithTheirExactNames)
{
    const QString sort = " ORDER BY tblTimeCards.TimeCardID ASC";
    {
        Registry registry(iniPath());
        RegistryKey journal = registry.openSubKey(RegistryPaths::DefaultsJournal);
        journal.writeText("Default Rate Source", "Staff Rates");
        journal.writeInt("AutoSave", -1);
        RegistryKey autoFill = registry.openSubKey(RegistryPaths::AutoFillJournal);
        for (int i = 0; i <= 9; ++i)
            autoFill.writeText(QString::number(i), QString::number(i * 3));
        RegistryKey settings = registry.openSubKey(RegistryPaths::Settings);
        settings.writeText("Default Sort", sort);
        settings.writeText("Odd/Name\\With%25", "a, b; c = d");
        settings.writeText("At", "@Variant(x)");
        settings.writeText("Empty", QString());
    }
    Registry reopened(iniPath());
    const RegistryKey journal = reopened.openSubKey(RegistryPaths::DefaultsJournal);
    EXPECT_EQ(journal.readText("Default Rate Source"), u"Staff Rates");
    EXPECT_EQ(journal.readInt("AutoSave", 0), -1);
    EXPECT_EQ(journal.readText("Default Rate Level", "1"), u"1");

    const RegistryKey autoFill = reopened.openSubKey(RegistryPaths::AutoFillJournal);
    for (int i = 0; i <= 9; ++i)
        EXPECT_EQ(autoFill.readInt(QString::number(i), -7), i * 3) << i;

    const RegistryKey settings = reopened.openSubKey(RegistryPaths::Settings);
    EXPECT_EQ(settings.readText("Default Sort"), sort);
    EXPECT_EQ(settings.readText("Odd/Name\\With%25"), u"a, b; c = d");
    EXPECT_FALSE(settings.hasValue("Odd"));
    EXPECT_EQ(settings.readText("At"), u"@Variant(x)");
    // An empty value is a value: it does not fall back to the default.
    EXPECT_TRUE(settings.hasValue("Empty"));
    EXPECT_EQ(settings.readText("Empty", "x"), u"");
    // Sub-keys do not see their parents' values.
    EXPECT_FALSE(reopened.openSubKey(RegistryPaths::SettingsAutoFill).hasValue("0"));
}

TEST_F(RegistryTest, IntegersOutsideSixteenBitsOrNotNumbersReadAsTheDefault)
{
    Registry registry(iniPath());
    RegistryKey key = registry.openSubKey(RegistryPaths::Settings);
    const std::pair<const char *, int> cases[] = {
        {"32767", 32767}, {"-32768", -32768}, {" 12 ", 12},
        {"32768", 42},    {"-32769", 42},     {"99999999999999999999", 42},
        {"seven", 42},    {"1.5", 42},        {"", 42}};
    for (const auto &[text, expected] : cases) {
        key.writeText("Value", QString::fromLatin1(text));
        EXPECT_EQ(key.readInt("Value", 42), expected) << '"' << text << '"';
    }
    EXPECT_EQ(key.readInt("Missing", 42), 42);
    // A number written as an integer reads back as text too.
    key.writeInt("Form Height", 7125);
    EXPECT_EQ(key.readText("Form Height"), u"7125");
}

TEST_F(RegistryTest, CreatedKeysExistWithoutValuesAndMissingOnesDoNot)
{
    {
        Registry registry(iniPath());
        RegistryKey root = registry.openSubKey(QString());
        for (const char *subKey : RegistryPaths::Tree)
            root.createSubKey(QString::fromLatin1(subKey));
    }
    Registry registry(iniPath());
    for (const char *subKey : RegistryPaths::Tree) {
        EXPECT_TRUE(registry.keyExists(QString::fromLatin1(subKey))) << subKey;
        EXPECT_TRUE(registry.keyExists(RegistryPaths::fullPath(QString::fromLatin1(subKey))));
    }
    EXPECT_FALSE(registry.keyExists("Settings\\Missing"));
    EXPECT_FALSE(registry.keyExists("Missing"));

    // Creating a deep key makes its parents exist too.
    registry.openSubKey("A").createSubKey("B\\C");
    EXPECT_TRUE(registry.keyExists("A\\B"));
    EXPECT_TRUE(registry.openSubKey("A\\B\\C").exists());

    // Opening does not create; reading a missing key gives the defaults.
    RegistryKey missing = registry.openSubKey("Nowhere");
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.readText("x", "def"), u"def");
    EXPECT_FALSE(registry.keyExists("Nowhere"));
    missing.writeInt("x", 3);
    EXPECT_TRUE(registry.keyExists("Nowhere"));
}

TEST_F(RegistryTest, FullPathsAreAcceptedWithOrWithoutTrailingBackslash)
{
    Registry registry(iniPath());
    const QString full = RegistryPaths::fullPath("Settings\\AutoFill\\Journal");
    registry.openKey(full).writeText("0", "11");

    EXPECT_EQ(registry.openKey(full + u'\\').readText("0"), u"11");
    const QString upperRoot = RegistryPaths::fullPath(QString()).toUpper();
    EXPECT_EQ(registry.openKey(upperRoot + "Settings\\AutoFill\\Journal").path(),
              u"Settings\\AutoFill\\Journal");
    EXPECT_EQ(registry.openKey(full.mid(1)).readText("0"), u"11");
    EXPECT_EQ(registry.openKey(RegistryPaths::fullPath(QString())).path(), u"");
    EXPECT_TRUE(registry.keyExists(full));

    auto expectInvalid = [&](const QString &path) {
        try {
            registry.openKey(path);
            ADD_FAILURE() << "accepted " << path.toStdString();
        } catch (const QvError &e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidCharacter);
        }
    };
    expectInvalid("\\HKEY_LOCAL_MACHINE\\Software\\Kestrune Software\\");
    expectInvalid(RegistryPaths::fullPath(QString()).chopped(1) + "XYZ\\Settings");
    expectInvalid(RegistryPaths::fullPath("Settings\\\\AutoFill"));
}

TEST_F(RegistryTest, TheFileIsPrivateFromItsCreationOnAndKeepsOtherWritersValues)
{
    const mode_t previous = ::umask(0);
    {
        Registry first(iniPath());
        first.openSubKey(RegistryPaths::License).writeText("User Name", "ann");
        EXPECT_EQ(QFileInfo(iniPath()).permissions() & 0x0777,
                  QFileDevice::ReadUser | QFileDevice::WriteUser);
        ::chmod(QFile::encodeName(iniPath()).constData(), 0644);

        Registry second(iniPath());
        second.openSubKey(RegistryPaths::License).writeText("User ID", "7");
        first.openSubKey(RegistryPaths::Database).writeText("Provider", "QSQLITE");
    }
    ::umask(previous);

    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(iniPath()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    Registry reader(iniPath());
    EXPECT_EQ(reader.openSubKey(RegistryPaths::License).readText("User Name"), u"ann");
    EXPECT_EQ(reader.openSubKey(RegistryPaths::License).readText("User ID"), u"7");
    EXPECT_EQ(reader.openSubKey(RegistryPaths::Database).readText("Provider"), u"QSQLITE");
}

TEST_F(RegistryTest, KeysWrittenByHandWithoutMarkersExist)
{
    QDir().mkpath(QFileInfo(iniPath()).absolutePath());
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Settings]\nTooltips=1\nAutoFill\\Notes\\0=13\n");
    file.close();

    Registry registry(iniPath());
    EXPECT_TRUE(registry.keyExists("Settings"));
    EXPECT_TRUE(registry.keyExists("Settings\\AutoFill"));
    EXPECT_EQ(registry.openSubKey(RegistryPaths::AutoFillNotes).readInt("0", 0), 13);
    EXPECT_FALSE(registry.keyExists("Settings\\Validation"));
}

TEST_F(RegistryTest, AWriteThatCannotReachTheFileThrows)
{
    // A regular file where the folder should be: no folder can be made there,
    // whoever runs the test.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Registry registry(dir.filePath("blocker/Quorvale.ini"));

    RegistryKey key = registry.openSubKey(RegistryPaths::Settings);
    try {
        key.writeText("Logon", "1");
        FAIL() << "the write was reported as done";
    } catch (const QvError &e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_TRUE(e.description().contains("blocker"));
    }
    EXPECT_THROW(key.createSubKey("X"), QvError);
    EXPECT_THROW(registry.sync(), QvError);
}

TEST_F(RegistryTest, ABatchWritesTheFileOnceAtCommit)
{
    Registry registry(iniPath());
    registry.openSubKey(RegistryPaths::Settings).writeInt("Logon", 0);
    {
        Registry::Batch batch(registry);
        RegistryKey validation = registry.openSubKey(RegistryPaths::SettingsValidation);
        validation.writeInt("End Before Start", 1);
        validation.writeInt("No Time Spent", 1);
        EXPECT_FALSE(fileText().contains("No%20Time%20Spent"));
        batch.commit();
        EXPECT_TRUE(fileText().contains("No%20Time%20Spent"));
    }
    {
        // Left without commit: still written when the batch ends.
        Registry::Batch batch(registry);
        registry.openSubKey(RegistryPaths::License).writeText("User EID", "E1");
    }
    EXPECT_TRUE(fileText().contains("E1"));
}

// A damaged file is never silently rewritten: its bytes are kept beside it, the
// person is told where, and what could be read goes on working.
TEST_F(RegistryTest, ADamagedFileIsKeptAsACopyAndWhatCouldBeReadIsSavedAgain)
{
    struct Case {
        const char *name;
        QByteArray text;
        bool keepsValue;
    };
    const Case cases[] = {
        {"truncated", QByteArray("[Settings]\nDefault%20Sort=x\n[Settin"), true},
        {"cut in a value", QByteArray("[Settings]\nDefault%20Sort=x\nLogon=Adm"), true},
        {"garbage", QByteArray("\x00\x01\xff\xfe[[[\n=\x1b", 10), false},
        {"not text", QByteArray("[Settings]\nDefault%20Sort=x\nLogon=\xff\xfe\n"), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QDir().mkpath(dir.filePath("settings"));
        QFile::remove(iniPath());
        {
            QFile file(iniPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(c.text);
        }
        const QStringList before =
            QDir(dir.filePath("settings")).entryList({"Quorvale.ini.damaged-*"}, QDir::Files);
        for (const QString &old : before)
            QFile::remove(dir.filePath("settings/" + old));

        Registry registry(iniPath());
        const QStringList copies =
            QDir(dir.filePath("settings")).entryList({"Quorvale.ini.damaged-*"}, QDir::Files);
        ASSERT_EQ(copies.size(), 1);
        QFile copy(dir.filePath("settings/" + copies.first()));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), c.text);
        EXPECT_EQ(copy.permissions() & 0x0077, 0);
        EXPECT_TRUE(registry.damageNotice().contains(copies.first()))
            << registry.damageNotice().toStdString();

        // The message said the readable settings are saved again: the file now reads clean.
        EXPECT_EQ(QSettings(iniPath(), QSettings::IniFormat).status(), QSettings::NoError);
        RegistryKey settings = registry.openSubKey(RegistryPaths::Settings);
        EXPECT_EQ(settings.readText("Default Sort"),
                  c.keepsValue ? QStringLiteral("x") : QString());
        settings.writeText("After", "written");
        Registry reopened(iniPath());
        EXPECT_TRUE(reopened.damageNotice().isEmpty());
        EXPECT_EQ(reopened.openSubKey(RegistryPaths::Settings).readText("After"), u"written");
    }
}

} // namespace
