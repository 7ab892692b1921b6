#include "platform/pim/ContactItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "testsupport/ExternalTool.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

// khard with a configuration of its own that names only the test's folder,
// so the person's real address books and settings are never touched.
class InteropContactsTest : public ::testing::Test {
protected:
    test::TempDir dir;
    Namespace ns{dir.filePath(QStringLiteral("Items"))};
    Folder folder = ns.GetDefaultFolder(DefaultFolder::Contacts);

    void SetUp() override
    {
        QV_NEED_TOOL("khard");
        QDir().mkpath(dir.filePath(QStringLiteral("config/khard")));
        QFile conf(dir.filePath(QStringLiteral("config/khard/khard.conf")));
        ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
        conf.write("[addressbooks]\n[[test]]\npath = " + folder.path().toUtf8() +
                   "\n[general]\ndefault_action = list\n");
    }

    QString khard(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), dir.path());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QStringLiteral("khard"), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_EQ(process.exitCode(), 0) << err.toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    void saveContact(VCard::Version version, const QString &first, const QString &last,
                     const QString &phone, const QString &email)
    {
        std::unique_ptr<Item> item = newItem(folder);
        auto &contact = static_cast<ContactItem &>(*item);
        contact.setCardVersion(version);
        contact.setFirstName(first);
        contact.setLastName(last);
        contact.setFullName(first + u' ' + last);
        contact.setCompanyName(QStringLiteral("Nordwind, Süd; & Co"));
        contact.setTelephone(ContactItem::Phone::Business, phone);
        contact.setTelephone(ContactItem::Phone::Mobile, phone + QStringLiteral("9"));
        contact.setEmailAddress(0, email);
        contact.setBody(QStringLiteral("A long note that must be folded. ").repeated(5));
        contact.userProperties().setValue(QStringLiteral("QuorvaleID"), UserPropertyType::Text,
                                          QStringLiteral("7"));
        contact.Save();
    }
};

} // namespace

TEST_F(InteropContactsTest, KhardListsANameWithControlCharactersWithoutThem)
{
    saveContact(VCard::Version::V40, QStringLiteral("Eve\x1b]0;owned\x07"),
                QStringLiteral("Ma\x1b[31mllory") + QChar(0x9b) + QStringLiteral("2J\x01") +
                    QChar(0x00) + QChar(0x7f) + QChar(0x85),
                QStringLiteral("+1 555 0100\x1b"), QStringLiteral("eve@example.com"));
    const QString list = khard({QStringLiteral("list"), QStringLiteral("--parsable")});
    EXPECT_TRUE(list.contains(QStringLiteral("Eve]0;owned Ma[31mllory2J"))) << list.toStdString();
    for (const QChar c : list)
        EXPECT_TRUE(c.category() != QChar::Other_Control || c == u'\n' || c == u'\t')
            << "U+" << std::hex << int(c.unicode());
}

TEST_F(InteropContactsTest, KhardListsOurContactsAndWeReadKhardsContact)
{
    saveContact(VCard::Version::V30, QStringLiteral("Åsa"), QStringLiteral("Lindqvist"),
                QStringLiteral("+46 8 555 0100"), QStringLiteral("asa@example.se"));
    saveContact(VCard::Version::V40, QStringLiteral("Zoë"), QStringLiteral("O'Brien"),
                QStringLiteral("+353 1 555 0199"), QStringLiteral("zoe@example.ie"));

    const QString list = khard({QStringLiteral("list"), QStringLiteral("--parsable")});
    EXPECT_TRUE(list.contains(QStringLiteral("Åsa Lindqvist"))) << list.toStdString();
    EXPECT_TRUE(list.contains(QStringLiteral("Zoë O'Brien"))) << list.toStdString();
    const QString phones = khard({QStringLiteral("phone"), QStringLiteral("--parsable")});
    EXPECT_TRUE(phones.contains(QStringLiteral("+46 8 555 0100\tÅsa Lindqvist\twork")))
        << phones.toStdString();
    EXPECT_TRUE(phones.contains(QStringLiteral("+353 1 555 01999\tZoë O'Brien\tcell")))
        << phones.toStdString();
    const QString emails = khard({QStringLiteral("email"), QStringLiteral("--parsable")});
    EXPECT_TRUE(emails.contains(QStringLiteral("zoe@example.ie\tZoë O'Brien")))
        << emails.toStdString();

    QFile yaml(dir.filePath(QStringLiteral("new.yaml")));
    ASSERT_TRUE(yaml.open(QIODevice::WriteOnly));
    yaml.write("First name : Grete\nLast name  : Müller\nOrganisation : Kestrel AG\n"
               "Phone :\n    work : +41 31 555 01 02\n    cell : +41 79 555 01 03\n"
               "Email :\n    work : grete@example.ch\nNote : likes ; and , and \\\n");
    yaml.close();
    khard({QStringLiteral("new"), QStringLiteral("-a"), QStringLiteral("test"),
           QStringLiteral("-i"), yaml.fileName()});

    std::unique_ptr<ContactItem> grete;
    for (const QString &name : QDir(folder.path()).entryList({QStringLiteral("*.vcf")})) {
        std::unique_ptr<Item> item = readItem(folder, name);
        ASSERT_NE(item, nullptr) << name.toStdString();
        if (item->property(QStringLiteral("LastName")) == QStringLiteral("Müller"))
            grete.reset(static_cast<ContactItem *>(item.release()));
    }
    ASSERT_NE(grete, nullptr);
    EXPECT_EQ(grete->FullName(), QStringLiteral("Grete Müller"));
    EXPECT_EQ(grete->CompanyName(), QStringLiteral("Kestrel AG"));
    EXPECT_EQ(grete->telephone(ContactItem::Phone::Business), QStringLiteral("+41 31 555 01 02"));
    EXPECT_EQ(grete->telephone(ContactItem::Phone::Mobile), QStringLiteral("+41 79 555 01 03"));
    EXPECT_EQ(grete->emailAddress(0), QStringLiteral("grete@example.ch"));
    EXPECT_EQ(grete->Body(), QStringLiteral("likes ; and , and \\"));

    // Our change to khard's card leaves it readable to khard.
    grete->setTelephone(ContactItem::Phone::Business, QStringLiteral("+41 31 555 09 09"));
    grete->Save();
    const QString after = khard({QStringLiteral("phone"), QStringLiteral("--parsable")});
    EXPECT_TRUE(after.contains(QStringLiteral("+41 31 555 09 09\tGrete Müller\twork")))
        << after.toStdString();
}
