#include "platform/pim/IcalDocument.h"

#include "IcalFixture.h"
#include "platform/core/Money.h"

#include <QTimeZone>

using namespace quorvale;
using namespace quorvale::pim;

namespace {

QByteArray calendar(const QByteArray &inner, const QByteArray &outer = QByteArray())
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Other//EN\r\n" + outer +
           "BEGIN:VEVENT\r\nUID:u1\r\nDTSTAMP:20240101T000000Z\r\n" + inner +
           "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

QList<QByteArray> unfoldedLines(const QByteArray &text)
{
    QList<QByteArray> out;
    for (QByteArray line : text.split('\n')) {
        line.replace("\r", "");
        if (line.startsWith(' ') && !out.isEmpty())
            out.back() += line.mid(1);
        else if (!line.isEmpty())
            out << line;
    }
    return out;
}

TEST(IcalDocumentTest, ContentOtherClientsWroteSurvivesARewriteUnchanged)
{
    const QList<QByteArray> foreign = {
        "X-OTHER-APP;Y=\"a:b\";Z=1:x\\,y\\;z",
        "STYLED-DESCRIPTION;VALUE=TEXT;FMTTYPE=text/html:<p>hi</p>",
        "ATTENDEE;EMAIL=a@example.org;FOO=bar;CN=\"Ann, B\":mailto:a@example.org",
        "X-EMPTY:",
        "BEGIN:VFOO",
        "A:b",
        "END:VFOO",
        "X-LONG:" + QByteArray(120, 'q') + "\xc3\xa9" + QByteArray(40, 'r'),
    };
    QByteArray inner = "SUMMARY:Old\r\n";
    for (const QByteArray &line : foreign)
        inner += line + "\r\n";
    inner += "BEGIN:VALARM\r\nACTION:AUDIO\r\nTRIGGER:-PT5M\r\nX-ALARM-APP:1\r\nEND:VALARM\r\n";
    std::optional<IcalDocument> doc =
        IcalDocument::parse(calendar(inner, "X-WR-CALNAME:Work\r\n"), ICAL_VEVENT_COMPONENT);
    ASSERT_TRUE(doc);
    doc->setText(ICAL_SUMMARY_PROPERTY, QStringLiteral("New, with; marks\nand a line"));

    const QByteArray out = doc->serialize();
    const QList<QByteArray> lines = unfoldedLines(out);
    for (const QByteArray &line : foreign)
        EXPECT_TRUE(lines.contains(line)) << line.constData() << "\n" << out.constData();
    EXPECT_TRUE(lines.contains("X-WR-CALNAME:Work"));
    EXPECT_TRUE(lines.contains("X-ALARM-APP:1"));
    for (const QByteArray &line : out.split('\n'))
        EXPECT_LE(line.size(), 76) << line.constData();
    // And what we wrote reads back.
    std::optional<IcalDocument> again = IcalDocument::parse(out, ICAL_VEVENT_COMPONENT);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->text(ICAL_SUMMARY_PROPERTY), QStringLiteral("New, with; marks\nand a line"));
    EXPECT_EQ(again->serialize(), out);
}

TEST(IcalDocumentTest, RejectsContentThatIsNoItemOfTheKind)
{
    const QByteArray good = calendar("SUMMARY:x\r\n");
    ASSERT_TRUE(IcalDocument::parse(good, ICAL_VEVENT_COMPONENT));
    EXPECT_FALSE(IcalDocument::parse(good, ICAL_VTODO_COMPONENT));
    EXPECT_FALSE(IcalDocument::parse(QByteArray(), ICAL_VEVENT_COMPONENT));
    EXPECT_FALSE(IcalDocument::parse("\r\n  \r\n", ICAL_VEVENT_COMPONENT));
    EXPECT_FALSE(IcalDocument::parse(good.left(good.size() / 2), ICAL_VEVENT_COMPONENT));
    EXPECT_FALSE(
        IcalDocument::parse(QByteArray("\x00\x01\xff\xfe", 4) + good, ICAL_VEVENT_COMPONENT));
    EXPECT_FALSE(
        IcalDocument::parse("BEGIN:VEVENT\r\nUID:x\r\nEND:VEVENT\r\n", ICAL_VEVENT_COMPONENT));
    EXPECT_FALSE(IcalDocument::parse(calendar("DTSTART:notadate\r\n"), ICAL_VEVENT_COMPONENT));
    EXPECT_FALSE(IcalDocument::parse(good + good, ICAL_VEVENT_COMPONENT));
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 7919) % 251 + 1);
    EXPECT_FALSE(IcalDocument::parse(noise, ICAL_VEVENT_COMPONENT));
}

TEST(IcalDocumentTest, TimesInAnyFormReadAsTheSameInstantAndKeepTheirForm)
{
    const QDateTime instant(QDate(2024, 3, 5), QTime(14, 30), QTimeZone::utc());
    const QByteArray custom =
        "BEGIN:VTIMEZONE\r\nTZID:Custom Eastern\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
        "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n";
    struct Case {
        QByteArray line;
        QByteArray outer;
        QByteArray rewritten;
    } cases[] = {
        {"DTSTART:20240305T143000Z", "", "DTSTART:20240305T153000Z"},
        {"DTSTART;TZID=Europe/Berlin:20240305T153000", "",
         "DTSTART;TZID=Europe/Berlin:20240305T163000"},
        {"DTSTART;TZID=Custom Eastern:20240305T093000", custom,
         "DTSTART;TZID=Custom Eastern:20240305T103000"},
    };
    for (const Case &c : cases) {
        std::optional<IcalDocument> doc =
            IcalDocument::parse(calendar(c.line + "\r\n", c.outer), ICAL_VEVENT_COMPONENT);
        ASSERT_TRUE(doc) << c.line.constData();
        const QDateTime read = doc->dateTime(ICAL_DTSTART_PROPERTY);
        EXPECT_EQ(read, instant) << c.line.constData();
        EXPECT_EQ(read.timeSpec(), Qt::LocalTime);
        doc->setDateTime(ICAL_DTSTART_PROPERTY, read.addSecs(3600));
        EXPECT_TRUE(unfoldedLines(doc->serialize()).contains(c.rewritten))
            << doc->serialize().constData();
    }
    // Floating times are wall-clock times wherever the reader is.
    std::optional<IcalDocument> floating =
        IcalDocument::parse(calendar("DTSTART:20240305T093000\r\n"), ICAL_VEVENT_COMPONENT);
    ASSERT_TRUE(floating);
    EXPECT_EQ(floating->dateTime(ICAL_DTSTART_PROPERTY),
              QDateTime(QDate(2024, 3, 5), QTime(9, 30)));
    bool dateOnly = false;
    std::optional<IcalDocument> allDay =
        IcalDocument::parse(calendar("DTSTART;VALUE=DATE:20240305\r\n"), ICAL_VEVENT_COMPONENT);
    ASSERT_TRUE(allDay);
    EXPECT_EQ(allDay->dateTime(ICAL_DTSTART_PROPERTY, &dateOnly).date(), QDate(2024, 3, 5));
    EXPECT_TRUE(dateOnly);
}

TEST(IcalDocumentTest, NewTimesCarryTheLocalZoneWithItsDefinition)
{
    test::LocalZone zone("Europe/Berlin");
    IcalDocument doc = IcalDocument::create(ICAL_VEVENT_COMPONENT);
    const QDateTime start(QDate(2024, 7, 1), QTime(9, 0));
    doc.setDateTime(ICAL_DTSTART_PROPERTY, start);
    doc.setDateTime(ICAL_DTEND_PROPERTY, start.addSecs(1800));
    const QByteArray out = doc.serialize();
    const QList<QByteArray> lines = unfoldedLines(out);
    EXPECT_TRUE(lines.contains("DTSTART;TZID=Europe/Berlin:20240701T090000")) << out.constData();
    EXPECT_TRUE(lines.contains("TZID:Europe/Berlin"));
    EXPECT_EQ(out.count("BEGIN:VTIMEZONE"), 1);
    std::optional<IcalDocument> again = IcalDocument::parse(out, ICAL_VEVENT_COMPONENT);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->dateTime(ICAL_DTSTART_PROPERTY).toUTC(), start.toUTC());
}

TEST(IcalDocumentTest, UserPropertiesKeepNameTypeAndValueApartFromOwnFields)
{
    IcalDocument doc = IcalDocument::create(ICAL_VJOURNAL_COMPONENT);
    UserProperties props;
    props.setValue(QStringLiteral("Time Spent"), UserPropertyType::Text,
                   QStringLiteral("001:30:00"));
    props.setValue(QStringLiteral("TimeCardID"), UserPropertyType::Number, 42.0);
    props.setValue(QStringLiteral("Hourly Rate"), UserPropertyType::Currency,
                   QVariant::fromValue(Money::parse(QStringLiteral("125.5")).value()));
    props.setValue(QStringLiteral("Note: a;b,c"), UserPropertyType::Text,
                   QStringLiteral("x\\y\nz, w"));
    // Same X- name as a user property called "Companies".
    doc.setField("X-QUORVALE-COMPANIES", QStringLiteral("Acme"));
    props.setValue(QStringLiteral("Companies"), UserPropertyType::Text, QStringLiteral("user's"));
    doc.setUserProperties(props);

    std::optional<IcalDocument> again =
        IcalDocument::parse(doc.serialize(), ICAL_VJOURNAL_COMPONENT);
    ASSERT_TRUE(again);
    const UserProperties read = again->userProperties();
    ASSERT_EQ(read.Count(), 5);
    for (const UserProperty &p : props.all()) {
        const UserProperty *r = read.Find(p.name);
        ASSERT_NE(r, nullptr) << p.name.toStdString();
        EXPECT_EQ(r->name, p.name);
        EXPECT_EQ(r->type, p.type);
        EXPECT_EQ(UserPropertyNames::valueToText(*r), UserPropertyNames::valueToText(p));
    }
    EXPECT_EQ(again->field("X-QUORVALE-COMPANIES"), QStringLiteral("Acme"));
}

TEST(IcalDocumentTest, AnEmptyUserPropertyReadsBackOnceAndStaysOneLineThroughRewrites)
{
    IcalDocument doc = IcalDocument::create(ICAL_VTODO_COMPONENT);
    UserProperties props;
    props.setValue(QStringLiteral("Project"), UserPropertyType::Text, QString());
    props.setValue(QStringLiteral("TimeCardID"), UserPropertyType::Number, 7.0);
    doc.setUserProperties(props);
    QByteArray text = doc.serialize();
    // Each round is a later save: read the file, change another property, write it.
    for (double id : {8.0, 9.0}) {
        std::optional<IcalDocument> again = IcalDocument::parse(text, ICAL_VTODO_COMPONENT);
        ASSERT_TRUE(again);
        UserProperties read = again->userProperties();
        ASSERT_EQ(read.Count(), 2);
        ASSERT_NE(read.Find(QStringLiteral("Project")), nullptr);
        EXPECT_EQ(read.Find(QStringLiteral("Project"))->value.toString(), QString());
        read.setValue(QStringLiteral("TimeCardID"), UserPropertyType::Number, id);
        again->setUserProperties(read);
        text = again->serialize();
    }
    EXPECT_EQ(text.count("X-QUORVALE-NAME=Project"), 1) << text.constData();
    EXPECT_FALSE(text.contains("X-QUORVALE-EMPTY")) << "the marker never reaches the file";
    EXPECT_FALSE(text.contains("X-QUORVALE-OPAQUE"));
}

} // namespace

TEST(IcalDocumentTest, AFileWhoseRewriteWouldNotReadBackIsRefused)
{
    // Found by fuzzing: libical lets this broken structure pass once, then
    // refuses the text written back from it.
    const QByteArray broken = "BEGIN:VCALENDAR\r\n"
                              "VERSION:2.0\r\n"
                              "PRODID:-//x//y//EN\r\n"
                              "BEGIN:VEVENT\r\n"
                              "UID:1\r\n"
                              "DTSTAMP:20260101\n"
                              "DTE*ND:2026LE-TXPE=NUMBER:42\r\n"
                              "B\xbb"
                              "\xb8"
                              "IN:VALARM\r\n"
                              "ACTION:DISPLAY\r\n"
                              "TRIGGER:-PT15M\r\n"
                              "END:VALARM\r\n"
                              "END:VEVENT\r\n"
                              "END:VCCALENDAR\r";
    EXPECT_FALSE(pim::IcalDocument::parse(broken, ICAL_VEVENT_COMPONENT).has_value());
    // A list only shows what the file says and never writes it back.
    EXPECT_TRUE(pim::IcalDocument::parse(broken, ICAL_VEVENT_COMPONENT, pim::ReadPurpose::Show)
                    .has_value());
}
