#include "platform/pim/VCardReader.h"

#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

using namespace quorvale::pim;

namespace {

VCard read(const QByteArray &data)
{
    VCardReadResult result = readVCard(data);
    EXPECT_TRUE(result.ok()) << result.error.toStdString();
    return result.card.value_or(VCard());
}

const VCardProperty &prop(const VCard &card, const char *name)
{
    static const VCardProperty none;
    const VCardProperty *p = card.find(QLatin1String(name));
    EXPECT_NE(p, nullptr) << name;
    return p ? *p : none;
}

} // namespace

TEST(VCardReaderTest, UnfoldsLinesAndKeepsFoldedUtf8Sequences)
{
    // "Zoë Ångström": the fold falls inside the two bytes of "ë" and "Å".
    const QByteArray data =
        "BEGIN:VCARD\nVERSION:3.0\r\nFN:Zo\xC3\r\n \xAB \xC3\n\t\x85ngstr\xC3\xB6m\n"
        "NOTE:one\r\n  two\nEND:VCARD\n";
    const VCard card = read(data);
    EXPECT_EQ(card.version, VCard::Version::V30);
    EXPECT_EQ(card.text(QStringLiteral("FN")), QStringLiteral("Zoë Ångström"));
    EXPECT_EQ(card.text(QStringLiteral("NOTE")), QStringLiteral("one two"));
}

TEST(VCardReaderTest, EscapesStructuredValuesAndLists)
{
    const VCard card =
        read("BEGIN:VCARD\r\nVERSION:3.0\r\n"
             "N:O\\;Brien;Mary,Ann;;Dr.;\r\n"
             "ADR;TYPE=work:;;1 Main St\\nSuite 2;Springfield\\, East;IL;62701;USA\r\n"
             "NOTE:a\\nb\\Nc\\\\d\\,e\\;f\\qg\r\n"
             "CATEGORIES:Clients,Net\\,works, VIP \r\nEND:VCARD\r\n");
    const VCardProperty &n = prop(card, "N");
    EXPECT_EQ(n.components(), (QStringList{"O;Brien", "Mary,Ann", "", "Dr.", ""}));
    EXPECT_EQ(prop(card, "ADR").component(2), QStringLiteral("1 Main St\nSuite 2"));
    EXPECT_EQ(prop(card, "ADR").component(3), QStringLiteral("Springfield, East"));
    // An escape vCard does not know (\q) is kept, not guessed at.
    EXPECT_EQ(card.text(QStringLiteral("NOTE")), QStringLiteral("a\nb\nc\\d,e;f\\qg"));
    EXPECT_EQ(prop(card, "CATEGORIES").listValues(), (QStringList{"Clients", "Net,works", "VIP"}));
}

TEST(VCardReaderTest, ParametersGroupsAndTypeForms)
{
    const VCard card =
        read("BEGIN:VCARD\nVERSION:4.0\n"
             "item1.TEL;TYPE=WORK;TYPE=VOICE:+1 555 0100\n"
             "TEL;type=work,fax:+1 555 0101\n"
             "TEL;VALUE=uri;PREF=1;TYPE=\"voice,home\":tel:+1-555-0102\n"
             "ADR;LABEL=\"1 Main St.\\, ^'Top^' ^^ floor^nSpringfield: IL\";TYPE=home:;;1 "
             "Main St;;;;\n"
             "X-Custom;X-Param=\"a;b\",c:value\n"
             "END:VCARD\n");
    ASSERT_EQ(card.properties.size(), 5);
    const VCardProperty &tel = card.properties[0];
    EXPECT_EQ(tel.group, QStringLiteral("item1"));
    EXPECT_EQ(tel.parameters.size(), 2); // two TYPE parameters stay two
    EXPECT_EQ(tel.types(), (QStringList{"work", "voice"}));
    EXPECT_EQ(card.properties[1].types(), (QStringList{"work", "fax"}));
    EXPECT_EQ(card.properties[2].types(), (QStringList{"voice", "home"}));
    EXPECT_EQ(card.properties[2].parameter(QStringLiteral("pref")), QStringLiteral("1"));
    EXPECT_EQ(card.properties[3].parameter(QStringLiteral("LABEL")),
              QStringLiteral("1 Main St.\\, \"Top\" ^ floor\nSpringfield: IL"));
    EXPECT_EQ(card.properties[4].name, QStringLiteral("X-CUSTOM"));
    EXPECT_EQ(card.properties[4].parameterValues(QStringLiteral("x-param")),
              (QStringList{"a;b", "c"}));
}

TEST(VCardReaderTest, Version21QuotedPrintableCharsetsAndBareTypes)
{
    const VCard card =
        read("BEGIN:VCARD\r\nVERSION:2.1\r\n"
             "TEL;WORK;VOICE:555\r\n"
             "NOTE;ENCODING=QUOTED-PRINTABLE;CHARSET=UTF-8:Caf=C3=A9 =\r\nau lait=0D=0A=\r\n"
             "2=3D2\r\n"
             "ORG;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:M=FCller GmbH\r\n"
             "PHOTO;ENCODING=BASE64;TYPE=JPEG:/9j/4AAQ\r\n"
             "END:VCARD\r\n");
    EXPECT_EQ(card.version, VCard::Version::V21);
    EXPECT_EQ(prop(card, "TEL").types(), (QStringList{"work", "voice"}));
    const VCardProperty &note = prop(card, "NOTE");
    EXPECT_EQ(note.text(), QStringLiteral("Café au lait\r\n2=2"));
    EXPECT_FALSE(note.hasParameter(QStringLiteral("ENCODING"))); // decoded now
    EXPECT_EQ(prop(card, "ORG").text(), QStringLiteral("Müller GmbH"));
    EXPECT_FALSE(prop(card, "ORG").hasParameter(QStringLiteral("CHARSET")));
    EXPECT_EQ(prop(card, "PHOTO").rawValue, QStringLiteral("/9j/4AAQ"));
    EXPECT_EQ(prop(card, "PHOTO").parameter(QStringLiteral("ENCODING")), QStringLiteral("BASE64"));
}

TEST(VCardReaderTest, ReadsTheFirstCardAndKeepsTheRest)
{
    const QByteArray second = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Two\r\nEND:VCARD\r\n";
    const QByteArray data =
        "\xEF\xBB\xBF\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:One\r\nEND:VCARD\r\n" + second + second;
    const VCardReadResult result = readVCard(data);
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.card->text(QStringLiteral("FN")), QStringLiteral("One"));
    EXPECT_EQ(result.extraCards, 2);
    EXPECT_EQ(result.rest, second + second);
}

TEST(VCardReaderTest, BadInputGivesAClearErrorNamingTheProblem)
{
    const struct {
        QByteArray data;
        const char *expected;
    } cases[] = {
        {"", "empty"},
        {QByteArray("BEGIN:VCARD\nFN:a\0b\nEND:VCARD\n", 29), "binary"},
        {"FN:No begin\nEND:VCARD\n", "line 1: the file does not begin with BEGIN:VCARD"},
        {"BEGIN:VCARD\nVERSION:3.0\nFN:Cut", "no END:VCARD"},
        {"BEGIN:VCARD\nFN:a\nBEGIN:VCARD\nFN:b\nEND:VCARD\nEND:VCARD\n",
         "line 3: BEGIN:VCARD inside"},
        {"BEGIN:VCARD\nFN:a\nEND:VCALENDAR\n", "line 3: END:VCALENDAR does not close"},
        {"BEGIN:VCARD\nFN:\xC3\x28\nEND:VCARD\n", "line 2: the value of FN is not valid UTF-8"},
        {"BEGIN:VCARD\nTEL;TYPE=\"work:1\nEND:VCARD\n", "not closed"},
        {"BEGIN:VCARD\nVERSION:5.0\nEND:VCARD\n", "unknown vCard version"},
        {"BEGIN:VCARD\nUID:1\nFN:a\nUID:2\nEND:VCARD\n", "line 4: the card has more than one UID"},
        {"BEGIN:VCARD\nFN no colon\nEND:VCARD\n", "line 2: not a property line"},
        {"BEGIN:VCARD\n.FN:x\nEND:VCARD\n", "no property name"},
        {"BEGIN:VCARD\nNOTE;CHARSET=x-nonsense:a\nEND:VCARD\n", "unknown character set"},
    };
    for (const auto &c : cases) {
        const VCardReadResult result = readVCard(c.data);
        EXPECT_FALSE(result.ok()) << c.data.toStdString();
        EXPECT_TRUE(result.error.contains(QLatin1String(c.expected)))
            << c.data.toStdString() << " -> " << result.error.toStdString();
    }
}

// Every prefix of a valid card, and many random mutations of it, give either a
// card or an error: never a crash, never both, never neither.
TEST(VCardReaderTest, TruncatedAndMutatedInputNeverBreaksTheReader)
{
    const QByteArray valid = "BEGIN:VCARD\r\nVERSION:3.0\r\nitem1.N;X-A=\"q;,:\":L\\;a;F,G;;;\r\n"
                             "FN:L\xC3\xA9 F\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a=3Db=\r\nc\r\n"
                             "TEL;TYPE=work,voice:1\r\n 2\r\nEND:VCARD\r\n";
    const auto check = [](const QByteArray &data) {
        const VCardReadResult result = readVCard(data);
        EXPECT_NE(result.ok(), !result.error.isEmpty()) << data.toStdString();
    };
    for (qsizetype i = 0; i <= valid.size(); ++i)
        check(valid.left(i));
    std::mt19937 random(4711);
    const char interesting[] = {';',  ':',  ',', '"',    '\\',   '=',
                                '\n', '\r', ' ', '\xC3', '\x80', '^'};
    for (int round = 0; round < 3000; ++round) {
        QByteArray data = valid;
        for (int edits = 1 + round % 4; edits > 0; --edits) {
            const qsizetype at = random() % data.size();
            if (random() % 3 == 0)
                data.remove(at, 1 + random() % 3);
            else
                data[at] = interesting[random() % sizeof(interesting)];
        }
        check(data);
    }
}
