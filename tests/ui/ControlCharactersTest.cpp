// Control characters pasted into the main window, followed to the files other
// programs read: the database keeps them as pasted, the time-detail appointment
// and the journal entry hold none, and a calendar client lists the run without
// being handed a terminal escape.

#include "MainWindowFixture.h"
#include "outlook/OutlookSession.h"
#include "platform/pim/Folder.h"
#include "platform/pim/Item.h"
#include "platform/pim/Namespace.h"
#include "testsupport/ExternalTool.h"

#include <QClipboard>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>

using namespace quorvale;

namespace {

// ESC [31m recolours a terminal, ESC ]0; retitles it, U+009B is ESC [ in one
// character; then SOH, NUL, DEL and NEL, with a tab and a line break that stay.
const QString Hostile = QStringLiteral("Call\x1b[31m red\x1b]0;owned\x07") + QChar(0x9b) +
                        QStringLiteral("2J\x01") + QChar(0x00) + QStringLiteral("\x7f") +
                        QChar(0x85) + QStringLiteral(" done\tnow");

QString controlsIn(const QString &text)
{
    QString found;
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control && c != u'\r' && c != u'\n' && c != u'\t')
            found += QStringLiteral("U+%1 ").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    return found;
}

QString fileText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class ControlCharactersTest : public test::ShownDemoWindow {
protected:
    // As a person brings such text: pasted.
    void paste(QPlainTextEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QApplication::clipboard()->setText(text);
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    }

    // khal's listing of the day of start in the folder, with a home of its own.
    QString khalList(const QString &calendar, const QDate &day)
    {
        const QString home = tmp.filePath(QStringLiteral("khal-home"));
        QDir().mkpath(home + QStringLiteral("/.config/khal"));
        QDir().mkpath(home + QStringLiteral("/.local/share/khal"));
        QFile config(home + QStringLiteral("/.config/khal/config"));
        EXPECT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(QStringLiteral("[calendars]\n[[work]]\npath = %1\ntype = calendar\n"
                                    "[locale]\ntimeformat = %H:%M\ndateformat = %Y-%m-%d\n"
                                    "longdateformat = %Y-%m-%d\n"
                                    "datetimeformat = %Y-%m-%d %H:%M\n"
                                    "longdatetimeformat = %Y-%m-%d %H:%M\n"
                                    "[default]\ndefault_calendar = work\n")
                         .arg(calendar)
                         .toUtf8());
        config.close();
        QProcess process;
        process.setProcessEnvironment(test::scratchHomeEnvironment(home));
        process.start(QStringLiteral("khal"), {QStringLiteral("list"), QStringLiteral("--format"),
                                               QStringLiteral("{title}"), day.toString(Qt::ISODate),
                                               day.addDays(1).toString(Qt::ISODate)});
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
};

} // namespace

TEST_F(ControlCharactersTest, APastedNoteReachesTheDatabaseAsPastedAndNoItemFile)
{
    press(Qt::Key_F11);
    const QVariant id = current();
    auto *description = field<QPlainTextEdit>("txtDescription");
    paste(description, Hostile + QStringLiteral("\nsecond line"));
    ASSERT_EQ(description->toPlainText(), Hostile + QStringLiteral("\nsecond line"))
        << "the field did not take the characters: the test would prove nothing";

    const QString calendar = folder(FolderSlot::TimeCardAppointments);
    const auto before = test::itemFiles(calendar);
    press(Qt::Key_F3);
    press(Qt::Key_G, Qt::AltModifier); // Time Segment
    auto *segment = field<QPlainTextEdit>("txtTimeSegment");
    ASSERT_EQ(QApplication::focusWidget(), segment);
    paste(segment, Hostile);
    ASSERT_EQ(segment->toPlainText(), Hostile);
    clock.advance(20 * 60);
    press(Qt::Key_F3);

    // The run's appointment: nothing but line ends and tabs among the bytes,
    // and libical reads the note's words with nothing between them.
    const QString file = test::newItemFile(calendar, before);
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(controlsIn(fileText(file)), QString());
    const auto appointment = test::readIcs(file);
    ASSERT_TRUE(appointment);
    EXPECT_EQ(appointment->text("SUMMARY"), QStringLiteral("Call[31m red]0;owned2J done\tnow"));

    // Leaving the TimeCard stores it and rewrites its journal entry.
    press(tool("mnuGoToNext")->isEnabled() ? Qt::Key_F7 : Qt::Key_F6);
    ASSERT_NE(current(), id);
    EXPECT_EQ(stored(id, "Description").toString(), Hostile + QStringLiteral("\nsecond line"));
    const auto entry = startUp->outlook().nameSpace().itemFromId(
        stored(id, "JournalEntryID").toString(),
        startUp->outlook().folder(FolderSlot::Journal)->storeId());
    ASSERT_NE(entry, nullptr);
    const QString journal = fileText(entry->filePath());
    EXPECT_EQ(controlsIn(journal), QString());
    ASSERT_TRUE(test::readIcs(entry->filePath()));
    EXPECT_EQ(endedWith, 0);

    QV_NEED_TOOL("khal");
    const QString listed = khalList(calendar, appointment->start.date());
    EXPECT_TRUE(listed.contains(QStringLiteral("owned2J done"))) << listed.toStdString();
    EXPECT_EQ(controlsIn(listed), QString()) << listed.toStdString();
}
