// The whole program under a stream of random keys: the real main window on a fresh
// demo database, with real message boxes and dialogs, takes shortcuts from the
// command table, typing (quotes, percent signs, semicolons, emoji, pasted
// 10,000-character text), Tab, Enter and Esc in whichever window is active. It must
// stay up, never reach the common error handler, and leave every database and item
// file whole.
//
// QUORVALE_MONKEY_SEEDS (default "1,2") and QUORVALE_MONKEY_STEPS (default 1500)
// choose the run; a failure names its seed so it can be replayed alone.
//
// QUORVALE_MONKEY_DIR keeps the program in that directory from one run to the next,
// and leaves Delete TimeCard out, for scripts/kill-loop.sh: it kills the run at
// random moments, and KilledProgram then checks that nothing saved was lost.

#include "platform/db/Connection.h"
#include "platform/pim/MailMessage.h"
#include "platform/pim/VCardReader.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"
#include "timecards/CommandTable.h"
#include "ui/DemoProgramFixture.h"
#include "ui/GuardedApplication.h"
#include "ui/MainWindowHost.h"
#include "ui/QtPrompts.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDialog>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <libical/ical.h>
#include <random>

using namespace quorvale;

namespace {

// Stands in for the desktop: help pages, reports and documents "open" here.
class DesktopStandIn : public QObject {
    Q_OBJECT
public:
    int opened = 0;
public Q_SLOTS:
    void open(const QUrl &) { ++opened; }
};

// Texts a person might type or paste into any field.
const QStringList &hostileTexts()
{
    static const QStringList texts{
        QStringLiteral("O'Neil \"quoted\" 100% done; DROP TABLE tblTimeCards; --"),
        QStringLiteral("_%[*]?#' OR '1'='1"),
        QStringLiteral("Stra\u00dfe \u00e9t\u00e9 \u65e5\u672c \U0001F600\U0001F389 \u202e"),
        QStringLiteral("1:30:00"),
        QStringLiteral("-99999999999999999999"),
        QString(10000, QLatin1Char('x')) + QStringLiteral("\U0001F600'%;"),
    };
    return texts;
}

// The directory a killed run leaves its program in (see the top of this file).
QString keptDirectory()
{
    return qEnvironmentVariable("QUORVALE_MONKEY_DIR");
}

class Monkey : public QObject {
public:
    Monkey(QWidget &main, unsigned seed, int steps) : m_main(main), m_rng(seed), m_steps(steps)
    {
        for (const ToolInfo &tool : CommandTable::tools()) {
            // Exit ends the run; the run ends by closing the window itself instead.
            if (tool.shortcut && *tool.shortcut && tool.id != ToolId::Exit &&
                !(!keptDirectory().isEmpty() && tool.id == ToolId::DeleteTimeCard))
                m_shortcuts << QKeySequence(QString::fromLatin1(tool.shortcut));
        }
    }

    // Runs the key stream, then closes every window and the main window; returns
    // false when the main window would not close.
    bool run()
    {
        QEventLoop loop;
        m_loop = &loop;
        QTimer::singleShot(0, this, [this] { step(); });
        loop.exec();
        return m_closed;
    }

    int sent() const { return m_sent; }
    // A window the run could not get past, or empty.
    QString stuck() const { return m_stuck; }

private:
    QWidget &m_main;
    std::mt19937 m_rng;
    int m_steps;
    int m_sent = 0;
    int m_closing = 0;
    QElapsedTimer m_waited; // how long the busy pointer has kept our keys back
    bool m_refusedInvalid = false;
    QString m_stuck;
    const bool m_trace = qEnvironmentVariableIsSet("QUORVALE_MONKEY_TRACE");

    static QString describe(QWidget *w)
    {
        return w ? QStringLiteral("%1 \"%2\"")
                       .arg(QString::fromLatin1(w->metaObject()->className()), w->windowTitle())
                 : QStringLiteral("no window");
    }
    bool m_closed = false;
    QEventLoop *m_loop = nullptr;
    QList<QKeySequence> m_shortcuts;

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    static QWidget *topWindow()
    {
        if (QWidget *popup = QApplication::activePopupWidget())
            return popup;
        if (QWidget *modal = QApplication::activeModalWidget())
            return modal;
        return QApplication::activeWindow();
    }

    QWidget *keyTarget()
    {
        QWidget *window = topWindow();
        if (!window)
            window = &m_main;
        // Offscreen nothing activates a window that shows or takes the one a closed
        // dialog leaves behind; on a desktop the window in front has the keyboard,
        // and only its shortcuts apply.
        if (!QApplication::activePopupWidget() && QApplication::activeWindow() != window->window())
            QApplication::setActiveWindow(window->window());
        QWidget *focus = window->focusWidget();
        return focus && focus->isVisible() ? focus : window;
    }

    void step()
    {
        // Each step is queued before its key goes out: a key that opens a modal
        // dialog runs the following steps inside that dialog's own event loop.
        if (m_sent >= m_steps) {
            closeAll();
            return;
        }
        QTimer::singleShot(0, this, [this] { step(); });
        // While the busy pointer shows the program holds the event loop for its
        // work and a person's keys wait; so do ours.
        if (QApplication::overrideCursor() &&
            QApplication::overrideCursor()->shape() == Qt::WaitCursor) {
            // A busy pointer that never goes is a hang to a person too.
            if (!m_waited.isValid())
                m_waited.start();
            if (m_waited.elapsed() > 20000) {
                m_stuck = QStringLiteral("the busy pointer stayed over ") + describe(topWindow());
                m_sent = m_steps;
            }
            return;
        }
        m_waited.invalidate();
        ++m_sent;
        // A killed run is checked for TimeCards gone: none may go on purpose.
        if (auto *dialog = qobject_cast<QDialog *>(topWindow());
            dialog && !keptDirectory().isEmpty() &&
            dialog->windowTitle().contains(QLatin1String("Delete TimeCard"))) {
            dialog->reject();
            return;
        }
        sendKey();
    }

    void sendKey()
    {
        QWidget *target = keyTarget();
        if (m_trace)
            std::fprintf(stderr, "step %d: %s / %s\n", m_sent, qPrintable(describe(topWindow())),
                         target->metaObject()->className());
        // File dialogs reach the whole disk; the run must not link, replace or
        // delete the machine's files, so a person here always cancels.
        if (qobject_cast<QFileDialog *>(topWindow())) {
            QTest::keyClick(topWindow(), Qt::Key_Escape);
            return;
        }
        const int roll = pick(100);
        if (m_trace)
            std::fprintf(stderr, "  roll %d\n", roll);
        if (roll < 22) {
            QTest::keySequence(target, m_shortcuts[pick(static_cast<int>(m_shortcuts.size()))]);
        } else if (roll < 52) {
            static const QString typed = QStringLiteral(
                "abcdefghijklmnopqrstuvwxyzABCXYZ0123456789:.'\"%;_ -,/\\\u00e9\U0001F600");
            const QString chosen = [&] {
                const int at = pick(static_cast<int>(typed.size()));
                // A surrogate pair types as one character.
                if (typed[at].isHighSurrogate())
                    return typed.mid(at, 2);
                if (typed[at].isLowSurrogate())
                    return typed.mid(at - 1, 2);
                return typed.mid(at, 1);
            }();
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, chosen, Qt::NoModifier);
        } else if (roll < 62) {
            QTest::keyClick(target, Qt::Key_Tab, pick(3) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
        } else if (roll < 69) {
            QTest::keyClick(target, Qt::Key_Return);
        } else if (roll < 76) {
            QTest::keyClick(target, Qt::Key_Escape);
        } else if (roll < 88) {
            static const Qt::Key moves[] = {Qt::Key_Up,     Qt::Key_Down,      Qt::Key_Left,
                                            Qt::Key_Right,  Qt::Key_Home,      Qt::Key_End,
                                            Qt::Key_Space,  Qt::Key_Backspace, Qt::Key_Delete,
                                            Qt::Key_PageUp, Qt::Key_PageDown};
            QTest::keyClick(target, moves[pick(std::size(moves))]);
        } else if (roll < 96) {
            QTest::keyClick(target, static_cast<Qt::Key>(Qt::Key_A + pick(26)), Qt::AltModifier);
        } else {
            QGuiApplication::clipboard()->setText(
                hostileTexts()[pick(static_cast<int>(hostileTexts().size()))]);
            QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
        }
    }

    // After the stream: each tick closes the topmost window, then the main window,
    // as a person ending the day would: questions are answered No where they can
    // be (leave without saving what random keys typed), else with their default.
    // A window that will not close that way is reported, then hidden by force so
    // the nested event loops still unwind.
    void closeAll()
    {
        if (!m_loop)
            return;
        QTimer::singleShot(0, this, [this] { closeAll(); });
        const bool force = ++m_closing > 200;
        QWidget *modal = QApplication::activeModalWidget();
        // A TimeCard or a typed time the keys left invalid, or a timed TimeCard they
        // filtered or hid away, keeps the window open until the person mends it, so
        // that nothing typed or timed is lost: that refusal is right.
        if (auto *box = qobject_cast<QMessageBox *>(modal);
            box && (box->windowTitle().trimmed() == QLatin1String("Validation Error") ||
                    box->text().contains(QLatin1String("is not a time")) ||
                    box->text().startsWith(QLatin1String("The timer is running on TimeCard"))))
            m_refusedInvalid = true;
        if (force && m_stuck.isEmpty() && !m_refusedInvalid)
            m_stuck = QStringLiteral("would not close: ") + describe(modal ? modal : &m_main);
        if (m_trace)
            std::fprintf(stderr, "closing %d: %s %s\n", m_closing, qPrintable(describe(modal)),
                         qobject_cast<QMessageBox *>(modal)
                             ? qPrintable(static_cast<QMessageBox *>(modal)->text())
                             : "");
        if (QWidget *popup = QApplication::activePopupWidget()) {
            popup->close();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            QAbstractButton *no = box->button(QMessageBox::No);
            if (force)
                box->QDialog::done(QMessageBox::No);
            else if (no)
                no->click();
            else if (QAbstractButton *button = box->defaultButton())
                button->click();
            else
                box->done(QMessageBox::Ok);
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            if (force)
                dialog->QDialog::done(QDialog::Rejected);
            else
                dialog->reject();
        } else if (modal) {
            force ? modal->hide() : void(modal->close());
        } else if (m_main.isVisible()) {
            force ? m_main.hide() : void(m_main.close());
        } else {
            m_closed = !force || m_refusedInvalid;
            m_loop->quit();
            m_loop = nullptr;
        }
    }
};

// libical's errors in a parsed file, less one it is wrong about: an empty or blank
// value is valid iCalendar (a user property left blank, a subject of one space).
int parseErrors(icalcomponent *component)
{
    int errors = 0;
    for (icalproperty *p = icalcomponent_get_first_property(component, ICAL_XLICERROR_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_XLICERROR_PROPERTY)) {
        if (!QByteArray(icalproperty_get_xlicerror(p)).startsWith("No value for "))
            ++errors;
    }
    for (icalcomponent *c = icalcomponent_get_first_component(component, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(component, ICAL_ANY_COMPONENT))
        errors += parseErrors(c);
    return errors;
}

// Every item file of the store reads back: iCalendar without parse errors, vCards
// and mail messages through the program's own readers.
QStringList unreadableItems(const QString &root)
{
    QStringList bad;
    QDirIterator files(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            bad << path + QStringLiteral(": cannot be read");
            continue;
        }
        const QByteArray bytes = file.readAll();
        if (path.endsWith(QLatin1String(".ics"))) {
            icalcomponent *c = icalparser_parse_string(bytes.constData());
            if (!c || parseErrors(c) > 0)
                bad << path;
            if (c)
                icalcomponent_free(c);
        } else if (path.endsWith(QLatin1String(".vcf"))) {
            if (!pim::readVCard(bytes).ok())
                bad << path;
        } else if (path.contains(QLatin1String("/cur/")) || path.contains(QLatin1String("/new/"))) {
            if (!pim::parseMail(bytes).content)
                bad << path;
        }
    }
    return bad;
}

QStringList damagedDatabases(const QString &dir)
{
    QStringList bad;
    QDirIterator files(dir, {QStringLiteral("*.db")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString name = QStringLiteral("integrity-%1").arg(path);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(path);
            QSqlQuery q(db);
            if (!db.open() || !q.exec(QStringLiteral("PRAGMA integrity_check")) || !q.next() ||
                q.value(0).toString() != QLatin1String("ok"))
                bad << path;
        }
        QSqlDatabase::removeDatabase(name);
    }
    return bad;
}

// A run killed while making the program leaves no marker, and the next run
// makes it again instead of working on half of it.
void makeProgram(const QDir &root, const QString &programDir, const QString &settingsFile)
{
    const QString marker = root.filePath(QStringLiteral("prog.made"));
    if (QFileInfo::exists(marker))
        return;
    QDir(programDir).removeRecursively();
    QFile::remove(settingsFile);
    test::makeDemoProgram(programDir, settingsFile, QStringLiteral("Ann O'Hara"));
    QFile made(marker);
    ASSERT_TRUE(made.open(QIODevice::WriteOnly));
}

QList<qlonglong> column(const QString &dbPath, const QString &sql)
{
    QList<qlonglong> values;
    const QString name = QStringLiteral("column-%1").arg(dbPath);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dbPath);
        QSqlQuery q(db);
        if (db.open() && q.exec(sql))
            while (q.next())
                values << q.value(0).toLongLong();
    }
    QSqlDatabase::removeDatabase(name);
    return values;
}

// Files a write should never leave behind: empty items, and temporary files of
// writes that did not finish.
QStringList leftovers(const QString &root)
{
    QStringList found;
    QDirIterator files(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QFileInfo info(path);
        const bool maildirTmp = info.absolutePath().endsWith(QLatin1String("/tmp"));
        if ((info.size() == 0 && info.suffix() != QLatin1String("lock")) ||
            (!maildirTmp && info.fileName().contains(QLatin1String(".new"))))
            found << path;
    }
    return found;
}

std::vector<unsigned> seeds()
{
    std::vector<unsigned> out;
    const QString text = qEnvironmentVariable("QUORVALE_MONKEY_SEEDS", QStringLiteral("1,2"));
    for (const QString &seed : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        out.push_back(seed.trimmed().toUInt());
    return out;
}

int steps()
{
    return qEnvironmentVariableIntValue("QUORVALE_MONKEY_STEPS") > 0
               ? qEnvironmentVariableIntValue("QUORVALE_MONKEY_STEPS")
               : 1500;
}

} // namespace

TEST(RandomKeys, TheProgramStaysUpAndItsFilesStayWhole)
{
    for (const unsigned seed : seeds()) {
        SCOPED_TRACE(::testing::Message() << "seed " << seed << " (replay: QUORVALE_MONKEY_SEEDS="
                                          << seed << " QUORVALE_MONKEY_STEPS=" << steps() << ")");
        // Printed before the run: a crash leaves no other trace of which seed it was.
        std::fprintf(stderr, "random keys: seed %u, %d steps\n", seed, steps());
        test::TempDir scratch;
        const QDir tmp(keptDirectory().isEmpty() ? scratch.path() : keptDirectory());
        // File dialogs and documents start from home: keep them in the scratch directory.
        qputenv("HOME", tmp.path().toUtf8());
        const QString programDir = tmp.filePath(QStringLiteral("prog"));
        const QString settingsFile = tmp.filePath(QStringLiteral("settings.ini"));
        const QString items = tmp.filePath(QStringLiteral("items"));
        ASSERT_NO_FATAL_FAILURE(makeProgram(tmp, programDir, settingsFile));

        DesktopStandIn desktop;
        for (const char *scheme : {"file", "http", "https", "mailto"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &desktop, "open");

        QStringList failures;
        auto *app = static_cast<GuardedApplication *>(QCoreApplication::instance());
        app->setErrorHandler([&](const std::exception &error) {
            failures << QStringLiteral("an exception escaped to the event loop: ") +
                            QString::fromUtf8(error.what());
        });
        {
            QtPrompts prompts;
            ErrorReport report{prompts, tmp.filePath(QStringLiteral("reports"))};
            ErrorHandler errors{report};
            errors.terminate = [&](int code) {
                failures
                    << QStringLiteral("the common error handler ended the program (%1)").arg(code);
            };
            Registry registry(settingsFile);
            StartUp startUp(
                registry, prompts, errors,
                StartUpEnvironment{programDir, items, QStringLiteral("HH:mm:ss"), 1, QString()});
            ASSERT_TRUE(startUp.Form_Load());
            MainWindowHost host(programParts(startUp), startUp, registry, prompts, errors);
            prompts.setParent(&host.window());
            host.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.window()));

            Monkey monkey(host.window(), seed, steps());
            EXPECT_TRUE(monkey.run()) << "the main window would not close";
            EXPECT_EQ(monkey.stuck(), QString());
        }
        app->setErrorHandler({});
        for (const char *scheme : {"file", "http", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));

        EXPECT_EQ(failures, QStringList());
        EXPECT_EQ(damagedDatabases(tmp.path()), QStringList());
        EXPECT_EQ(unreadableItems(items), QStringList());
        if (::testing::Test::HasFailure())
            return;
    }
}

// Run by scripts/kill-loop.sh after each kill: every database whole, every item
// readable, no empty or half-written file, the run record pointing at a TimeCard
// that exists, and no TimeCard of the last check gone (the run cannot delete any).
TEST(KilledProgram, LeftEverythingWhole)
{
    if (keptDirectory().isEmpty())
        GTEST_SKIP() << "run by scripts/kill-loop.sh (QUORVALE_MONKEY_DIR)";
    const QDir root(keptDirectory());
    const QString programDir = root.filePath(QStringLiteral("prog"));
    if (!QFileInfo::exists(root.filePath(QStringLiteral("prog.made"))))
        GTEST_SKIP() << "killed before the program was made";
    EXPECT_EQ(damagedDatabases(root.path()), QStringList());
    EXPECT_EQ(unreadableItems(root.filePath(QStringLiteral("items"))), QStringList());
    EXPECT_EQ(leftovers(root.filePath(QStringLiteral("items"))), QStringList());

    const QString data = QDir(programDir).filePath(QStringLiteral("QVData.db"));
    const QList<qlonglong> now =
        column(data, QStringLiteral("SELECT TimeCardID FROM tblTimeCards ORDER BY TimeCardID"));
    EXPECT_FALSE(now.isEmpty());
    for (const qlonglong run : column(QDir(programDir).filePath(QStringLiteral("QVLocal.db")),
                                      QStringLiteral("SELECT TimeCardID FROM tblActiveRun")))
        EXPECT_TRUE(now.contains(run))
            << "the run record names TimeCard " << run << ", which is not in the database";

    QFile seen(root.filePath(QStringLiteral("timecards-seen.txt")));
    if (seen.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : seen.readAll().split('\n')) {
            if (!line.isEmpty()) {
                EXPECT_TRUE(now.contains(line.toLongLong()))
                    << "TimeCard " << line.toStdString() << " was saved and is gone";
            }
        }
        seen.close();
    }
    if (::testing::Test::HasFailure())
        return;
    QByteArray text;
    for (const qlonglong id : now)
        text += QByteArray::number(id) + '\n';
    ASSERT_TRUE(seen.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(seen.write(text), text.size());
}

#include "RandomKeysTest.moc"
