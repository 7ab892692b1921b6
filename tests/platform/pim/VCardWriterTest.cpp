#include "platform/pim/VCardWriter.h"

#include "platform/pim/VCardReader.h"
#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>

using namespace quorvale::pim;

namespace {

VCard read(const QByteArray &data)
{
    VCardReadResult result = readVCard(data);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    return result.card.value_or(VCard());
}

// What other clients write: groups, repeated and quoted parameters, caret
// escapes, base64, unknown properties and parameters, values with escapes.
const QByteArray ForeignCard =
    "BEGIN:VCARD\r\nVERSION:4.0\r\nPRODID:-//Apple Inc.//iOS 17//EN\r\n"
    "N:O\\;Brien;Mary,Ann;;Dr.;\r\nFN:Dr. Mary O;Brien\r\n"
    "item1.EMAIL;type=INTERNET;type=pref:mary@example.com\r\nitem1.X-ABLabel:_$!<Other>!$_\r\n"
    "TEL;VALUE=uri;PREF=1;TYPE=\"voice,home\":tel:+1-555-0102\r\n"
    "ADR;LABEL=\"1 Main St.^n^'Top^' floor\";TYPE=work:;;1 Main St;Springfield;IL;62701;\r\n"
    "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/"
    "2wBDAAMCAgICAgMCAgIDAwMDBAYEBAQEBAgGBgUGCQgKCgkICQkKDA8MCgsOCwkJDRENDg8QEBEQCgwSExIQEw8QEBD/"
    "\r\n"
    "NOTE:Line one\\nLine two\\, with comma\\; and semicolon \\\\ backslash\r\n"
    "X-SOCIALPROFILE;type=twitter;x-user=mary:https://twitter.com/mary\r\n"
    "CLIENTPIDMAP:1;urn:uuid:3df403f4-5924-4bb7-b077-3c711d9eb34b\r\nEND:VCARD\r\n";

} // namespace

TEST(VCardWriterTest, ForeignCardSurvivesAndWritingIsStable)
{
    const VCard card = read(ForeignCard);
    const QByteArray written = writeVCard(card);
    const VCard again = read(written);
    EXPECT_EQ(again, card);
    EXPECT_EQ(writeVCard(again), written);
    EXPECT_TRUE(written.startsWith("BEGIN:VCARD\r\nVERSION:4.0\r\n"));
    EXPECT_TRUE(written.contains("ADR;LABEL=1 Main St.^n^'Top^' floor;TYPE=work:"));
}

TEST(VCardWriterTest, FoldsAt75OctetsWithoutSplittingUtf8)
{
    VCard card;
    // Two-, three- and four-octet sequences, shifted against the fold by "x".
    const QString name =
        QString(40, u'é') + QString(30, u'€') + QStringLiteral("x") + QString(20, u'ü');
    card.properties.append(VCardProperty(QStringLiteral("FN")));
    card.properties.last().setText(name);
    card.properties.append(VCardProperty(QStringLiteral("NOTE")));
    card.properties.last().setText(QStringLiteral("😀 emoji ").repeated(12));
    const QByteArray written = writeVCard(card);
    const QList<QByteArray> lines = written.split('\n');
    for (const QByteArray &line : lines) {
        if (line.isEmpty())
            continue; // after the last CRLF
        EXPECT_TRUE(line.endsWith('\r'));
        EXPECT_LE(line.size() - 1, 75) << line.toStdString();
        if (line.startsWith(' ') && line.size() > 1) {
            EXPECT_NE(static_cast<unsigned char>(line.at(1)) & 0xC0, 0x80) << line.toStdString();
        }
    }
    const VCard again = read(written);
    EXPECT_EQ(again.text(QStringLiteral("FN")), name);
    EXPECT_EQ(again.text(QStringLiteral("NOTE")), QStringLiteral("😀 emoji ").repeated(12));
}

TEST(VCardWriterTest, EscapesTextAndParametersAndCannotBeBrokenByLineBreaks)
{
    VCard card;
    VCardProperty note(QStringLiteral("NOTE"));
    note.setText(QStringLiteral("a,b;c\\d\r\ne\nf"));
    note.setParameter(QStringLiteral("X-INFO"), {QStringLiteral("say \"hi\"\nthere"),
                                                 QStringLiteral("a:b"), QStringLiteral("^")});
    card.properties << note;
    // A raw value set by hand with a line break must not start a new property.
    card.properties << VCardProperty(QStringLiteral("X-RAW"), QStringLiteral("x\r\nEND:VCARD"));
    const QByteArray written = writeVCard(card);
    EXPECT_TRUE(
        written.contains("NOTE;X-INFO=say ^'hi^'^nthere,\"a:b\",^^:a\\,b\\;c\\\\d\\ne\\nf\r\n"))
        << written.toStdString();
    const VCard again = read(written);
    ASSERT_EQ(again.properties.size(), 2);
    EXPECT_EQ(again.properties[0].text(), QStringLiteral("a,b;c\\d\ne\nf"));
    EXPECT_EQ(again.properties[0].parameterValues(QStringLiteral("X-INFO")),
              note.parameterValues(QStringLiteral("X-INFO")));
    EXPECT_EQ(again.properties[1].text(), QStringLiteral("x\nEND:VCARD"));
}

TEST(VCardWriterTest, Version21IsWrittenAs30)
{
    const VCard card = read("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Smith;John\r\nTEL;CELL:555\r\n"
                            "NOTE;ENCODING=QUOTED-PRINTABLE:caf=C3=A9\r\n"
                            "PHOTO;ENCODING=BASE64;JPEG:AAAA\r\nEND:VCARD\r\n");
    const QByteArray written = writeVCard(card);
    EXPECT_EQ(written,
              QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Smith;John\r\nTEL;TYPE=CELL:555\r\n"
                         "NOTE:caf\xC3\xA9\r\nPHOTO;ENCODING=b;TYPE=JPEG:AAAA\r\nEND:VCARD\r\n"));
}
