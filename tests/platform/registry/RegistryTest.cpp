#include "platform/registry/Registry.h"

#include "platform/core/QvError.h"
#include "platform/registry/RegistryPaths.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quorvale;

namespace {

class RegistryTest : public ::testing::Test {
protected:
    QString iniPath() const { return dir.filePath(QStringLiteral("settings/Quorvale.ini")); }
    QByteArray fileText() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    test::TempDir dir;
};

TEST_F(RegistryTest, ValuesRoundTripThroughTheFileWithTheirExactNames)
{
    const QString sort = QStringLiteral(" ORDER BY tblTimeCards.TimeCardID ASC");
    {
        Registry registry(iniPath());
        RegistryKey journal = registry.openSubKey(RegistryPaths::DefaultsJournal);
        journal.writeText(QStringLiteral("Default Rate Source"), QStringLiteral("Staff Rates"));
        journal.writeInt(QStringLiteral("AutoSave"), -1);
        RegistryKey autoFill = registry.openSubKey(RegistryPaths::AutoFillJournal);
        for (int i = 0; i <= 9; ++i)
            autoFill.writeText(QString::number(i), QString::number(i * 3));
        RegistryKey settings = registry.openSubKey(RegistryPaths::Settings);
        settings.writeText(QStringLiteral("Default Sort"), sort);
        settings.writeText(QStringLiteral("Odd/Name\\With%25"), QStringLiteral("a, b; c = d"));
        settings.writeText(QStringLiteral("At"), QStringLiteral("@Variant(x)"));
        settings.writeText(QStringLiteral("Empty"), QString());
    }
    Registry reopened(iniPath());
    const RegistryKey journal = reopened.openSubKey(RegistryPaths::DefaultsJournal);
    EXPECT_EQ(journal.readText(QStringLiteral("Default Rate Source")), u"Staff Rates");
    EXPECT_EQ(journal.readInt(QStringLiteral("AutoSave"), 0), -1);
    EXPECT_EQ(journal.readText(QStringLiteral("Default Rate Level"), QStringLiteral("1")), u"1");

    const RegistryKey autoFill = reopened.openSubKey(RegistryPaths::AutoFillJournal);
    for (int i = 0; i <= 9; ++i)
        EXPECT_EQ(autoFill.readInt(QString::number(i), -7), i * 3) << i;

    const RegistryKey settings = reopened.openSubKey(RegistryPaths::Settings);
    EXPECT_EQ(settings.readText(QStringLiteral("Default Sort")), sort);
    EXPECT_EQ(settings.readText(QStringLiteral("Odd/Name\\With%25")), u"a, b; c = d");
    EXPECT_FALSE(settings.hasValue(QStringLiteral("Odd")));
    EXPECT_EQ(settings.readText(QStringLiteral("At")), u"@Variant(x)");
    // An empty value is a value: it does not fall back to the default.
    EXPECT_TRUE(settings.hasValue(QStringLiteral("Empty")));
    EXPECT_EQ(settings.readText(QStringLiteral("Empty"), QStringLiteral("x")), u"");
    // Sub-keys do not see their parents' values.
    EXPECT_FALSE(reopened.openSubKey(RegistryPaths::SettingsAutoFill).hasValue("0"));
}

TEST_F(RegistryTest, IntegersOutsideSixteenBitsOrNotNumbersReadAsTheDefault)
{
    Registry registry(iniPath());
    RegistryKey key = registry.openSubKey(RegistryPaths::Settings);
    key.writeText(QStringLiteral("Max"), QStringLiteral("32767"));
    key.writeText(QStringLiteral("Min"), QStringLiteral("-32768"));
    key.writeText(QStringLiteral("Spaced"), QStringLiteral(" 12 "));
    key.writeText(QStringLiteral("TooBig"), QStringLiteral("32768"));
    key.writeText(QStringLiteral("TooSmall"), QStringLiteral("-32769"));
    key.writeText(QStringLiteral("Huge"), QStringLiteral("99999999999999999999"));
    key.writeText(QStringLiteral("Word"), QStringLiteral("seven"));
    key.writeText(QStringLiteral("Fraction"), QStringLiteral("1.5"));
    key.writeText(QStringLiteral("Blank"), QString());

    EXPECT_EQ(key.readInt(QStringLiteral("Max"), 1), 32767);
    EXPECT_EQ(key.readInt(QStringLiteral("Min"), 1), -32768);
    EXPECT_EQ(key.readInt(QStringLiteral("Spaced"), 1), 12);
    for (const char *name : {"TooBig", "TooSmall", "Huge", "Word", "Fraction", "Blank", "Missing"})
        EXPECT_EQ(key.readInt(QString::fromLatin1(name), 42), 42) << name;
    // A number written as an integer reads back as text too.
    key.writeInt(QStringLiteral("Form Height"), 7125);
    EXPECT_EQ(key.readText(QStringLiteral("Form Height")), u"7125");
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
    EXPECT_FALSE(registry.keyExists(QStringLiteral("Settings\\Missing")));
    EXPECT_FALSE(registry.keyExists(QStringLiteral("Missing")));

    // Creating a deep key makes its parents exist too.
    registry.openSubKey(QStringLiteral("A")).createSubKey(QStringLiteral("B\\C"));
    EXPECT_TRUE(registry.keyExists(QStringLiteral("A\\B")));
    EXPECT_TRUE(registry.openSubKey(QStringLiteral("A\\B\\C")).exists());

    // Opening does not create; reading a missing key gives the defaults.
    RegistryKey missing = registry.openSubKey(QStringLiteral("Nowhere"));
    EXPECT_FALSE(missing.exists());
    EXPECT_EQ(missing.readText(QStringLiteral("x"), QStringLiteral("def")), u"def");
    EXPECT_FALSE(registry.keyExists(QStringLiteral("Nowhere")));
    missing.writeInt(QStringLiteral("x"), 3);
    EXPECT_TRUE(registry.keyExists(QStringLiteral("Nowhere")));
}

TEST_F(RegistryTest, FullPathsAreAcceptedWithOrWithoutTrailingBackslash)
{
    Registry registry(iniPath());
    const QString full = RegistryPaths::fullPath(QStringLiteral("Settings\\AutoFill\\Journal"));
    registry.openKey(full).writeText(QStringLiteral("0"), QStringLiteral("11"));

    EXPECT_EQ(registry.openKey(full + u'\\').readText("0"), u"11");
    const QString upperRoot = RegistryPaths::fullPath(QString()).toUpper();
    EXPECT_EQ(registry.openKey(upperRoot + QStringLiteral("Settings\\AutoFill\\Journal")).path(),
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
    expectInvalid(QStringLiteral("\\HKEY_LOCAL_MACHINE\\Software\\Kestrune Software\\"));
    expectInvalid(RegistryPaths::fullPath(QString()).chopped(1) + QStringLiteral("XYZ\\Settings"));
    expectInvalid(RegistryPaths::fullPath(QStringLiteral("Settings\\\\AutoFill")));
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
    EXPECT_TRUE(registry.keyExists(QStringLiteral("Settings")));
    EXPECT_TRUE(registry.keyExists(QStringLiteral("Settings\\AutoFill")));
    EXPECT_EQ(registry.openSubKey(RegistryPaths::AutoFillNotes).readInt("0", 0), 13);
    EXPECT_FALSE(registry.keyExists(QStringLiteral("Settings\\Validation")));
}

TEST_F(RegistryTest, AWriteThatCannotReachTheFileThrows)
{
    // A regular file where the folder should be: no folder can be made there,
    // whoever runs the test.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Registry registry(dir.filePath(QStringLiteral("blocker/Quorvale.ini")));

    RegistryKey key = registry.openSubKey(RegistryPaths::Settings);
    try {
        key.writeText(QStringLiteral("Logon"), QStringLiteral("1"));
        FAIL() << "the write was reported as done";
    } catch (const QvError &e) {
        EXPECT_EQ(e.number(), 75);
        EXPECT_TRUE(e.description().contains(QStringLiteral("blocker")));
    }
    EXPECT_THROW(key.createSubKey(QStringLiteral("X")), QvError);
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

} // namespace
