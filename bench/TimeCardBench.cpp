#include "TimeCardBench.h"

#include "SqliteBaseline.h"
#include "outlook/NewJournalEntry.h"
#include "platform/core/QvError.h"
#include "platform/pim/Item.h"
#include "platform/pim/ItemKinds.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "session/TimeCardBinder.h"
#include "session/TimeCardMirror.h"
#include "session/TimeCardSession.h"
#include "session/TimerBinding.h"
#include "settings/StartUp.h"
#include "settings/TimeCardSettings.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "support/Version.h"
#include "timecards/ActiveRunStore.h"
#include "timecards/Clock.h"
#include "timecards/Rates.h"
#include "timecards/SegmentNotes.h"
#include "timecards/TimeCardDefaults.h"
#include "timecards/TimeCardEditor.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>
#include <QUuid>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <iostream>
#include <libical/ical.h>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace quorvale::bench {

namespace {

[[noreturn]] void fail(const std::string &what)
{
    std::cerr << "qvbench: " << what << '\n';
    std::exit(1);
}

// The system's time, moved on by hand: a timed run needs minutes to pass
// between its start and its pause, and a tick must still read the real clock.
class ShiftedClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime().addSecs(m_shift); }
    void advance(qint64 seconds) { m_shift += seconds; }

private:
    qint64 m_shift = 0;
};

// The main window's TimeCard machinery without its widgets: start-up, the
// journal mirror, the editor with the hooks the window gives it, the binder and
// the timer. The hooks are timed, so that a slow operation can be split.
class ProgramStack {
public:
    ProgramStack(const QString &programDir, const QString &scenarioDir, Prompts &prompts,
                 ErrorHandler &errors)
        : m_registry(scenarioDir + QStringLiteral("/settings.ini")),
          m_startUp(m_registry, prompts, errors,
                    StartUpEnvironment{programDir, scenarioDir + QStringLiteral("/Items"),
                                       QStringLiteral("HH:mm:ss"), Version::Revision, QString()})
    {
        if (!m_startUp.Form_Load())
            fail("start-up did not complete");
        m_session = std::make_unique<TimeCardSession>(
            programParts(m_startUp), prompts, clock,
            [this](TimeCardSession::Part part, const std::function<void()> &work) {
                switch (part) {
                case TimeCardSession::Part::JournalEntry:
                    journalPart.time(work);
                    break;
                case TimeCardSession::Part::JournalLookup:
                    lookupPart.time(work);
                    break;
                case TimeCardSession::Part::NewJournalEntry:
                    newEntryPart.time(work);
                    break;
                case TimeCardSession::Part::TimeDetail:
                    segmentPart.time(work);
                    break;
                }
            });
        QObject::connect(m_session.get(), &TimeCardSession::segmentRecorded,
                         [this] { ++segments; });
        m_session->start();
    }

    ProgramStack(const ProgramStack &) = delete;
    ProgramStack &operator=(const ProgramStack &) = delete;

    StartUp &startUp() { return m_startUp; }
    TimeCardEditor &editor() { return m_session->editor(); }
    TimeCardBinder &binder() { return m_session->binder(); }
    TimerBinding &timer() { return m_session->timer(); }
    ActiveRunStore &runStore() { return m_session->runStore(); }
    SegmentNotes &notes() { return m_session->notes(); }
    db::Recordset &timeCards() { return editor().timeCards(); }

    // F11 as the main window does it, without starting the timer.
    std::optional<qint64> newTimeCard()
    {
        if (m_session->CreateNewTimeCard(true) != TimeCardSession::NewCard::Created)
            return std::nullopt;
        return editor().currentTimeCardId();
    }

    // The file of an item the program wrote.
    QString itemFile(const QString &entryId, FolderSlot slot)
    {
        const std::optional<pim::Folder> &folder = m_startUp.outlook().folder(slot);
        if (!folder)
            fail("the item store has no folder for the TimeCards' items");
        const auto item = m_startUp.outlook().nameSpace().itemFromId(entryId, folder->storeId());
        if (!item)
            fail("an item the program wrote cannot be found: " + entryId.toStdString());
        return item->filePath();
    }

    ShiftedClock clock;
    PartTimer journalPart;  // ProcessJournalEntry: the entry rewritten from the templates
    PartTimer lookupPart;   // the journal entry looked up by EntryID on arrival
    PartTimer newEntryPart; // NewJournalEntry
    PartTimer segmentPart;  // recordSegment: the time-detail appointment and its links
    int segments = 0;

private:
    Registry m_registry;
    StartUp m_startUp;
    std::unique_ptr<TimeCardSession> m_session;
};

// ---- the baseline's pieces -------------------------------------------------

struct ValueFree {
    void operator()(sqlite3_value *v) const { sqlite3_value_free(v); }
};
using Value = std::unique_ptr<sqlite3_value, ValueFree>;

struct StmtFinalize {
    void operator()(sqlite3_stmt *s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StmtFinalize>;

// One row as SQLite holds it, kept past its statement: the baseline binds the
// very values the program stored.
struct StoredRow {
    QStringList columns;
    std::vector<Value> values;
};

StoredRow storedRow(SqliteBaseline &db, const QString &sql, qint64 key)
{
    Statement stmt(db.prepare(sql));
    sqlite3_bind_int64(stmt.get(), 1, key);
    if (sqlite3_step(stmt.get()) != SQLITE_ROW)
        fail("no row for " + sql.toStdString());
    StoredRow row;
    for (int c = 0; c < sqlite3_column_count(stmt.get()); ++c) {
        row.columns << QString::fromUtf8(sqlite3_column_name(stmt.get(), c));
        row.values.emplace_back(sqlite3_value_dup(sqlite3_column_value(stmt.get(), c)));
    }
    return row;
}

qint64 scalar(SqliteBaseline &db, const QString &sql)
{
    Statement stmt(db.prepare(sql));
    return sqlite3_step(stmt.get()) == SQLITE_ROW ? sqlite3_column_int64(stmt.get(), 0) : 0;
}

void stepOnce(sqlite3_stmt *stmt)
{
    if (sqlite3_step(stmt) != SQLITE_DONE)
        fail(std::string("baseline statement failed: ") + sqlite3_errmsg(sqlite3_db_handle(stmt)));
    sqlite3_reset(stmt);
}

struct IcalFree {
    void operator()(icalcomponent *c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, IcalFree>;

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot read " + path.toStdString());
    return f.readAll();
}

Component parse(const QByteArray &bytes)
{
    Component c(icalparser_parse_string(bytes.constData()));
    if (!c)
        fail("libical cannot read an item the program wrote");
    return c;
}

// The same atomic, synced, owner-only write the item store makes.
void writeItemFile(const QString &path, const char *text)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        fail("cannot write " + path.toStdString());
    out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    out.write(text);
    if (!out.commit())
        fail("cannot write " + path.toStdString());
}

icalcomponent *inner(icalcomponent *calendar, icalcomponent_kind kind)
{
    icalcomponent *c = icalcomponent_isa(calendar) == kind
                           ? calendar
                           : icalcomponent_get_first_component(calendar, kind);
    if (!c)
        fail("an item the program wrote lacks its component");
    return c;
}

// Writes a clone of `model` under a new UID, with `summary`, as a new file in
// `dir`; returns its path.
QString writeNewItem(icalcomponent *model, icalcomponent_kind kind, const QString &dir,
                     const QString &summary)
{
    const Component copy(icalcomponent_new_clone(model));
    icalcomponent *item = inner(copy.get(), kind);
    const QByteArray uid = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    icalcomponent_set_uid(item, uid.constData());
    icalcomponent_set_summary(item, summary.toUtf8().constData());
    const QString path = dir + QLatin1Char('/') + QString::fromLatin1(uid) + QStringLiteral(".ics");
    writeItemFile(path, icalcomponent_as_ical_string(copy.get()));
    return path;
}

// ---- CPU and I/O of the tick -----------------------------------------------

double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct IoCounters {
    long long syscr = 0;
    long long syscw = 0;
    long long readBytes = 0;
    long long writeBytes = 0;

    IoCounters operator-(const IoCounters &o) const
    {
        return {syscr - o.syscr, syscw - o.syscw, readBytes - o.readBytes,
                writeBytes - o.writeBytes};
    }
};

// /proc/self/io through plain system calls, so that reading it adds the same
// known count every time and nothing else.
IoCounters readIo()
{
    char buffer[1024];
    const int fd = ::open("/proc/self/io", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail("cannot read /proc/self/io");
    const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0)
        fail("cannot read /proc/self/io");
    buffer[n] = '\0';
    IoCounters io;
    const auto field = [&](const char *name) {
        const char *at = std::strstr(buffer, name);
        return at ? std::atoll(at + std::strlen(name)) : -1;
    };
    io.syscr = field("syscr: ");
    io.syscw = field("syscw: ");
    io.readBytes = field("\nread_bytes: ");
    io.writeBytes = field("\nwrite_bytes: ");
    return io;
}

// Sums the I/O of the measured stretches of a series, less what reading the
// counters itself costs.
class IoMeter {
public:
    IoMeter()
    {
        const IoCounters a = readIo();
        m_reading = readIo() - a;
    }
    void begin() { m_at = readIo(); }
    void end()
    {
        const IoCounters d = (readIo() - m_at) - m_reading;
        m_sum = {m_sum.syscr + d.syscr, m_sum.syscw + d.syscw, m_sum.readBytes + d.readBytes,
                 m_sum.writeBytes + d.writeBytes};
        ++m_stretches;
    }
    // Writes (system calls) per measured stretch.
    double writesEach() const
    {
        return m_stretches ? static_cast<double>(m_sum.syscw) / m_stretches : -1;
    }

private:
    IoCounters m_reading;
    IoCounters m_at;
    IoCounters m_sum;
    int m_stretches = 0;
};

// ---- the scenario ------------------------------------------------------------

// Fills the journal folder with entries as the program writes them, until it
// holds `count`; adds the files it wrote to `written`.
int fillJournal(ProgramStack &stack, int count, QSet<QString> &written)
{
    const std::optional<pim::Folder> &journal =
        stack.startUp().outlook().folder(FolderSlot::Journal);
    if (!journal)
        fail("the item store has no journal folder");
    QDir dir(journal->path());
    int have = static_cast<int>(dir.entryList({QStringLiteral("*.ics")}, QDir::Files).size());
    if (have < count)
        std::cerr << "qvbench: writing " << count - have << " journal entries\n";
    for (; have < count; ++have) {
        auto entry = pim::makeJournalItem(*journal);
        auto &j = static_cast<pim::JournalItem &>(*entry);
        j.setSubject(QStringLiteral("Acme Ltd - Review contract %1").arg(have));
        j.setBody(QStringLiteral("Read the draft, marked up clauses 4 to 9, call with counsel."));
        j.setStart(QDateTime(QDate(2025, 1, 1).addDays(have % 700), QTime(9, 30)));
        j.setDuration(45 + have % 60);
        j.setType(QStringLiteral("Task"));
        j.setCategoriesText(QStringLiteral("Billable"));
        j.userProperties().setValue(QStringLiteral("TimeCardID"), pim::UserPropertyType::Text,
                                    QString::number(have + 1));
        entry->Save();
        written.insert(entry->filePath());
    }
    return have;
}

struct Scenario {
    int journalEntries = 0; // before the measures
    int workingSetRows = 0;
    std::vector<OpsMeasure> measures;
};

class ScenarioRun {
public:
    ScenarioRun(const TimeCardOpsOptions &o, const QString &scenarioDir, int journalItems,
                Prompts &prompts, ErrorHandler &errors)
        : m_o(o), m_dir(scenarioDir), m_journalItems(journalItems), m_prompts(prompts),
          m_errors(errors),
          m_direct(std::make_unique<SqliteBaseline>(o.programDir + QStringLiteral("/QVLink.db")))
    {
        m_direct->exec(QStringLiteral("ATTACH DATABASE '") + o.programDir +
                       QStringLiteral("/QVData.db' AS d"));
        m_baselineDir = m_dir + QStringLiteral("/baseline");
        QDir(m_baselineDir).removeRecursively();
        QDir().mkpath(m_baselineDir);
    }

    Scenario run()
    {
        Scenario s;
        // Whatever this run adds is taken out again afterwards, so that every run
        // starts from the same database and item store.
        m_lastGenerated = scalar(*m_direct, QStringLiteral("SELECT max(TimeCardID) FROM "
                                                           "tblTimeCards"));
        // The store's own filling stays for the next run; the entry start-up
        // gives the first TimeCard does not.
        QSet<QString> itemsBefore = itemFiles();
        {
            ProgramStack stack(m_o.programDir, m_dir, m_prompts, m_errors);
            s.journalEntries = fillJournal(stack, m_journalItems, itemsBefore);
            s.workingSetRows = stack.timeCards().recordCount();
            if (s.workingSetRows < m_o.repetitions + 2)
                fail("the working set holds too few TimeCards");
            create(stack, s.measures);
            leave(stack, s.measures);
            tick(stack, s.measures);
            timedRun(stack, s.measures);
        }
        cleanUp(itemsBefore);
        return s;
    }

private:
    QSet<QString> itemFiles() const
    {
        QSet<QString> files;
        QDirIterator it(m_dir + QStringLiteral("/Items"), {QStringLiteral("*.ics")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            files.insert(it.next());
        return files;
    }

    void cleanUp(const QSet<QString> &itemsBefore)
    {
        const QString after = QString::number(m_lastGenerated);
        for (const char *table : {"tblTimeCards", "tblTimedAppointments", "tblAppointments"})
            m_direct->exec(QStringLiteral("DELETE FROM %1 WHERE TimeCardID > %2")
                               .arg(QLatin1String(table), after));
        for (const QString &file : itemFiles())
            if (!itemsBefore.contains(file))
                QFile::remove(file);
        QDir(m_baselineDir).removeRecursively();
    }

    // F11: the TimeCard row and its journal entry.
    void create(ProgramStack &stack, std::vector<OpsMeasure> &out)
    {
        Samples ours;
        std::vector<double> entryParts;
        stack.newTimeCard(); // warm-up
        stack.newEntryPart.take();
        IoMeter oursIo;
        for (int i = 0; i < m_o.repetitions; ++i) {
            oursIo.begin();
            ours.start();
            const std::optional<qint64> id = stack.newTimeCard();
            ours.stop();
            oursIo.end();
            if (!id)
                fail("CreateNewTimeCard made no TimeCard");
            entryParts.push_back(stack.newEntryPart.take());
        }
        stack.lookupPart.take();

        // The baseline inserts the row the program stored last, and writes a
        // clone of its journal entry.
        const qint64 model = *stack.editor().currentTimeCardId();
        StoredRow row = storedRow(
            *m_direct, QStringLiteral("SELECT * FROM tblTimeCards WHERE TimeCardID = ?"), model);
        const int idColumn = static_cast<int>(row.columns.indexOf(QStringLiteral("TimeCardID")));
        QStringList columns = row.columns;
        columns.removeAt(idColumn);
        Statement insert(m_direct->prepare(
            QStringLiteral("INSERT INTO tblTimeCards (%1) VALUES (%2)")
                .arg(columns.join(QLatin1Char(',')),
                     QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')))));
        const QString entryId =
            stack.timeCards().value(QStringLiteral("JournalEntryID")).toString();
        const Component journal = parse(readFile(stack.itemFile(entryId, FolderSlot::Journal)));
        Samples baseline;
        IoMeter baseIo;
        for (int i = 0; i <= m_o.repetitions; ++i) {
            if (i > 0) {
                baseIo.begin();
                baseline.start();
            }
            int p = 1;
            for (int c = 0; c < static_cast<int>(row.values.size()); ++c)
                if (c != idColumn)
                    sqlite3_bind_value(insert.get(), p++,
                                       row.values[static_cast<std::size_t>(c)].get());
            stepOnce(insert.get());
            writeNewItem(journal.get(), ICAL_VJOURNAL_COMPONENT, m_baselineDir,
                         QStringLiteral("New Quorvale TimeCard"));
            if (i > 0) {
                baseline.stop();
                baseIo.end();
            }
        }
        out.push_back({QStringLiteral("create TimeCard (row + journal entry)"), ours.spread(),
                       baseline.spread(), 20.0, oursIo.writesEach(), baseIo.writesEach()});
        out.push_back({QStringLiteral("  of which NewJournalEntry"), spreadOf(entryParts), {}, 0});
    }

    // Leaving a changed TimeCard: validation, the journal entry rewritten, the save.
    void leave(ProgramStack &stack, std::vector<OpsMeasure> &out)
    {
        db::Recordset &rs = stack.timeCards();
        // Generated TimeCards of the working set, each visited once: arriving
        // at one gives it its journal entry, as it would in the window.
        std::vector<qint64> ids;
        if (!stack.editor().leaveCurrent())
            fail("the new TimeCard cannot be left");
        rs.moveFirst();
        while (!rs.eof() && static_cast<int>(ids.size()) < m_o.repetitions + 1) {
            const qint64 id = rs.value(QStringLiteral("TimeCardID")).toLongLong();
            if (id <= m_lastGenerated && rs.value(QStringLiteral("InvoiceID")).isNull())
                ids.push_back(id);
            rs.moveNext();
        }
        if (static_cast<int>(ids.size()) < m_o.repetitions + 1)
            fail("too few open TimeCards in the working set");

        Samples ours;
        IoMeter oursIo;
        std::vector<double> journalParts;
        std::vector<QString> files;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            rs.setBookmark(QVariant::fromValue<qlonglong>(ids[i]));
            if (stack.editor().currentTimeCardId() != ids[i])
                fail("cannot move to a TimeCard of the working set");
            if (!stack.binder().write(
                    QStringLiteral("Description"),
                    QStringLiteral("Reviewed the draft agreement, round %1").arg(i)))
                fail("the TimeCard is locked");
            stack.journalPart.take();
            if (i > 0) {
                oursIo.begin();
                ours.start();
            }
            if (!stack.editor().leaveCurrent())
                fail("leaveCurrent refused a valid TimeCard");
            if (i > 0) {
                ours.stop();
                oursIo.end();
                journalParts.push_back(stack.journalPart.take());
            }
            files.push_back(stack.itemFile(rs.value(QStringLiteral("JournalEntryID")).toString(),
                                           FolderSlot::Journal));
        }

        // The baseline: the same UPDATE of the same rows, and their journal
        // entries (copies) read, changed and written back.
        Statement update(m_direct->prepare(
            QStringLiteral("UPDATE tblTimeCards SET Description = ? WHERE TimeCardID = ?")));
        std::vector<QString> copies;
        for (const QString &file : files) {
            copies.push_back(m_baselineDir + QStringLiteral("/leave-") +
                             QFileInfo(file).fileName());
            QFile::copy(file, copies.back());
        }
        Samples baseline;
        IoMeter baseIo;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const QByteArray text =
                QStringLiteral("Reviewed the draft agreement, baseline %1").arg(i).toUtf8();
            if (i > 0) {
                baseIo.begin();
                baseline.start();
            }
            sqlite3_bind_text(update.get(), 1, text.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(update.get(), 2, ids[i]);
            stepOnce(update.get());
            const Component entry = parse(readFile(copies[i]));
            icalcomponent_set_description(inner(entry.get(), ICAL_VJOURNAL_COMPONENT),
                                          text.constData());
            writeItemFile(copies[i], icalcomponent_as_ical_string(entry.get()));
            if (i > 0) {
                baseline.stop();
                baseIo.end();
            }
        }
        out.push_back({QStringLiteral("leave changed TimeCard"), ours.spread(), baseline.spread(),
                       10.0, oursIo.writesEach(), baseIo.writesEach()});
        out.push_back(
            {QStringLiteral("  of which ProcessJournalEntry"), spreadOf(journalParts), {}, 0});
        // Back to a TimeCard of this run for the timer's measures.
        if (!stack.newTimeCard())
            fail("CreateNewTimeCard made no TimeCard");
    }

    // The one-second tick, as TimerBinding's timer runs it on the timed
    // TimeCard: the timer's figures, written into the row's edit buffer.
    void tick(ProgramStack &stack, std::vector<OpsMeasure> &out)
    {
        constexpr int kTicks = 1000;
        TimerBinding &timer = stack.timer();
        timer.startOrPause();
        if (!timer.activeTimeCardId())
            fail("the timer did not start");
        stack.clock.advance(3600 + 1234);
        for (int i = 0; i < 100; ++i)
            timer.tick();

        const IoCounters emptyStart = readIo();
        const IoCounters emptyEnd = readIo();
        const IoCounters reading = emptyEnd - emptyStart;

        Samples oursCpu;
        Samples oursWall;
        const IoCounters before = readIo();
        for (int r = 0; r < m_o.repetitions * 2; ++r) {
            const double cpu = threadCpuMs();
            QElapsedTimer wall;
            wall.start();
            for (int i = 0; i < kTicks; ++i)
                timer.tick();
            oursWall.add(static_cast<double>(wall.nsecsElapsed()) / 1e6 / kTicks);
            oursCpu.add((threadCpuMs() - cpu) / kTicks);
        }
        const IoCounters ticks = (readIo() - before) - reading;
        m_tickIo = ticks;
        m_tickCount = static_cast<long long>(m_o.repetitions) * 2 * kTicks;
        const QString shown = stack.timeCards().value(QStringLiteral("Quantity")).toString();
        if (shown.isEmpty())
            fail("the tick wrote no time spent");

        // The baseline: the same figures from the same clock, formatted.
        const QDateTime runStart = stack.clock.now().addSecs(-4834);
        long long sink = 0;
        Samples baseCpu;
        for (int r = 0; r < m_o.repetitions * 2; ++r) {
            const double cpu = threadCpuMs();
            for (int i = 0; i < kTicks; ++i) {
                const qint64 s = runStart.secsTo(stack.clock.now());
                const QString spent =
                    QString::asprintf("%03lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
                const QString value = QString::asprintf("%.2f", static_cast<double>(s) * 95 / 3600);
                sink += spent.size() + value.size();
            }
            baseCpu.add((threadCpuMs() - cpu) / kTicks);
        }
        if (sink == 0)
            fail("the baseline formatted nothing");
        out.push_back({QStringLiteral("timer tick, CPU"), oursCpu.spread(), baseCpu.spread(), 0.1});
        out.push_back({QStringLiteral("timer tick, wall"), oursWall.spread(), {}, 0});
        heartbeat(stack, out);

        timer.cancel();
        if (timer.activeTimeCardId())
            fail("the timer did not stop");
        if (!stack.editor().leaveCurrent())
            fail("the timed TimeCard cannot be left");
    }

    // MainTimer's whole tick with the heartbeat write (the run's record for
    // recovery: every tick here) against the same tick without it (the clock
    // stands: no write), in alternating blocks of each repetition so that both
    // meet the same machine. "base" is the tick without the write; the ratio is
    // with over without, for a writing tick and as the average over one
    // heartbeat period (one writing tick in Timer::HeartbeatMs / 1000).
    void heartbeat(ProgramStack &stack, std::vector<OpsMeasure> &out)
    {
        constexpr int kTicks = 200;
        TimerBinding &timer = stack.timer();
        const qint64 period = Timer::HeartbeatMs / 1000;
        // A note typed during the run goes with every heartbeat.
        stack.notes().set(*timer.activeTimeCardId(),
                          QStringLiteral("Call with the registrar about the lease"));
        Samples plain;
        Samples writing;
        Samples averaged;
        IoMeter plainIo;
        IoMeter writingIo;
        for (int r = 0; r < m_o.repetitions * 2; ++r) {
            // Just written: the plain block stays within one period.
            stack.clock.advance(period);
            timer.secondTick();
            plainIo.begin();
            QElapsedTimer wall;
            wall.start();
            for (int i = 0; i < kTicks; ++i)
                timer.secondTick();
            const double plainMs = static_cast<double>(wall.nsecsElapsed()) / 1e6 / kTicks;
            plainIo.end();

            writingIo.begin();
            wall.restart();
            for (int i = 0; i < kTicks; ++i) {
                stack.clock.advance(period);
                timer.secondTick();
            }
            const double writingMs = static_cast<double>(wall.nsecsElapsed()) / 1e6 / kTicks;
            writingIo.end();
            plain.add(plainMs);
            writing.add(writingMs);
            averaged.add((plainMs * static_cast<double>(period - 1) + writingMs) /
                         static_cast<double>(period));
        }
        const std::optional<ActiveRun> kept = stack.runStore().recover();
        if (!kept || !kept->lastSeen.isValid() || kept->lastSeen.secsTo(stack.clock.now()) > period)
            fail("the heartbeat did not keep the run's last moment");
        const double plainWrites = plainIo.writesEach() / kTicks;
        const double writingWrites = writingIo.writesEach() / kTicks;
        out.push_back({QStringLiteral("tick + heartbeat write"), writing.spread(), plain.spread(),
                       0, writingWrites, plainWrites});
        out.push_back({QStringLiteral("  per tick over %1 s").arg(period), averaged.spread(),
                       plain.spread(), 0, writingWrites / static_cast<double>(period),
                       plainWrites});
    }

    // F3, some minutes, F3, and the TimeCard left: the row, the time-detail
    // appointment and its links.
    void timedRun(ProgramStack &stack, std::vector<OpsMeasure> &out)
    {
        TimerBinding &timer = stack.timer();
        Samples total;
        Samples starts;
        Samples pauses;
        Samples leaves;
        IoMeter oursIo;
        std::vector<double> segmentParts;
        std::vector<double> journalParts;
        const int segmentsBefore = stack.segments;
        for (int i = 0; i <= m_o.repetitions; ++i) {
            stack.segmentPart.take();
            stack.journalPart.take();
            if (i > 0)
                oursIo.begin();
            starts.start();
            timer.startOrPause();
            const double startMs = starts.stop();
            if (!timer.activeTimeCardId())
                fail("the timer did not start");
            stack.clock.advance(25 * 60);
            pauses.start();
            timer.startOrPause();
            const double pauseMs = pauses.stop();
            if (timer.activeTimeCardId())
                fail("the timer did not pause");
            leaves.start();
            if (!stack.editor().leaveCurrent())
                fail("the timed TimeCard cannot be left");
            const double leaveMs = leaves.stop();
            if (i > 0) {
                oursIo.end();
                total.add(startMs + pauseMs + leaveMs);
                segmentParts.push_back(stack.segmentPart.take());
                journalParts.push_back(stack.journalPart.take());
            }
        }
        if (stack.segments - segmentsBefore != m_o.repetitions + 1)
            fail("a timed run recorded no time-detail appointment");
        const qint64 card = *stack.editor().currentTimeCardId();

        // The baseline: the row's new values, the two link rows the program
        // wrote last, and a clone of its appointment file.
        const StoredRow row = storedRow(*m_direct,
                                        QStringLiteral("SELECT Quantity, Value, EndDate, EndTime "
                                                       "FROM tblTimeCards WHERE TimeCardID = ?"),
                                        card);
        const StoredRow appointment =
            storedRow(*m_direct,
                      QStringLiteral("SELECT JournalEntryID, TimeCardID, EntryID, StartDate, "
                                     "StartTime, EndDate, EndTime, Duration FROM tblAppointments "
                                     "WHERE TimeCardID = ? ORDER BY AppointmentID DESC LIMIT 1"),
                      card);
        const QString appointmentId = QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_value_text(appointment.values[2].get())));
        const Component model =
            parse(readFile(stack.itemFile(appointmentId, FolderSlot::TimeCardAppointments)));
        Statement update(m_direct->prepare(QStringLiteral(
            "UPDATE tblTimeCards SET Quantity = ?, Value = ?, EndDate = ?, EndTime = ? "
            "WHERE TimeCardID = ?")));
        Statement begin(m_direct->prepare(QStringLiteral("BEGIN")));
        Statement commit(m_direct->prepare(QStringLiteral("COMMIT")));
        Statement link(m_direct->prepare(QStringLiteral(
            "INSERT INTO tblTimedAppointments (EntryID, TimeCardID) VALUES (?, ?)")));
        Statement detail(m_direct->prepare(QStringLiteral(
            "INSERT INTO tblAppointments (JournalEntryID, TimeCardID, EntryID, StartDate, "
            "StartTime, EndDate, EndTime, Duration) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")));
        Samples baseline;
        IoMeter baseIo;
        for (int i = 0; i <= m_o.repetitions; ++i) {
            if (i > 0) {
                baseIo.begin();
                baseline.start();
            }
            for (int c = 0; c < 4; ++c)
                sqlite3_bind_value(update.get(), c + 1,
                                   row.values[static_cast<std::size_t>(c)].get());
            sqlite3_bind_int64(update.get(), 5, card);
            stepOnce(update.get());
            const QString path = writeNewItem(model.get(), ICAL_VEVENT_COMPONENT, m_baselineDir,
                                              QStringLiteral("Acme Ltd - timed run %1").arg(i));
            const QByteArray entryId = QFileInfo(path).fileName().toUtf8();
            stepOnce(begin.get());
            sqlite3_bind_text(link.get(), 1, entryId.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int64(link.get(), 2, card);
            stepOnce(link.get());
            for (int c = 0; c < 8; ++c)
                sqlite3_bind_value(detail.get(), c + 1,
                                   appointment.values[static_cast<std::size_t>(c)].get());
            sqlite3_bind_text(detail.get(), 3, entryId.constData(), -1, SQLITE_TRANSIENT);
            stepOnce(detail.get());
            stepOnce(commit.get());
            if (i > 0) {
                baseline.stop();
                baseIo.end();
            }
        }
        out.push_back({QStringLiteral("timed run (start + pause + leave)"), total.spread(),
                       baseline.spread(), 10.0, oursIo.writesEach(), baseIo.writesEach()});
        out.push_back({QStringLiteral("  of which start"), starts.spread(), {}, 0});
        out.push_back({QStringLiteral("  of which pause"), pauses.spread(), {}, 0});
        out.push_back(
            {QStringLiteral("    of which recordSegment"), spreadOf(segmentParts), {}, 0});
        out.push_back({QStringLiteral("  of which leave"), leaves.spread(), {}, 0});
        out.push_back(
            {QStringLiteral("    of which ProcessJournalEntry"), spreadOf(journalParts), {}, 0});
    }

public:
    IoCounters tickIo() const { return m_tickIo; }
    long long tickCount() const { return m_tickCount; }

private:
    const TimeCardOpsOptions &m_o;
    QString m_dir;
    int m_journalItems;
    Prompts &m_prompts;
    ErrorHandler &m_errors;
    std::unique_ptr<SqliteBaseline> m_direct;
    QString m_baselineDir;
    qint64 m_lastGenerated = 0;
    IoCounters m_tickIo;
    long long m_tickCount = 0;
};

QString scenarioDir(const TimeCardOpsOptions &o, int journalItems, bool fresh)
{
    const QString dir = QStringLiteral("%1/ops-journal-%2").arg(o.programDir).arg(journalItems);
    if (fresh)
        QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    // Start-up writes what it settles to the settings; each item store keeps
    // its own, so that the folders it finds are the ones of this store.
    const QString settings = dir + QStringLiteral("/settings.ini");
    if (!QFile::exists(settings) &&
        !QFile::copy(o.programDir + QStringLiteral("/settings.ini"), settings))
        fail("cannot copy the generated settings");
    return dir;
}

QString figure(double ms)
{
    return ms > 0 ? QString::number(ms, 'f', ms < 1 ? 4 : 3) : QString();
}

void print(QTextStream &out, const Scenario &s, bool json)
{
    if (!json) {
        out << QStringLiteral("\nitem store: %1 journal entries; working set: %2 TimeCards\n")
                   .arg(s.journalEntries)
                   .arg(s.workingSetRows);
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                   .arg(QStringLiteral("measure"), -38)
                   .arg(QStringLiteral("median ms"), 10)
                   .arg(QStringLiteral("p90 ms"), 10)
                   .arg(QStringLiteral("base ms"), 10)
                   .arg(QStringLiteral("base p90"), 10)
                   .arg(QStringLiteral("ratio"), 7)
                   .arg(QStringLiteral("target"), 8)
                   .arg(QStringLiteral("writes/op"), 12);
    }
    for (const OpsMeasure &m : s.measures) {
        const double ratio = m.baseline.median > 0 ? m.ours.median / m.baseline.median : 0;
        if (json) {
            out << QJsonDocument(QJsonObject{{QStringLiteral("name"), m.name.trimmed()},
                                             {QStringLiteral("journal_entries"), s.journalEntries},
                                             {QStringLiteral("median_ms"), m.ours.median},
                                             {QStringLiteral("p90_ms"), m.ours.p90},
                                             {QStringLiteral("baseline_ms"), m.baseline.median},
                                             {QStringLiteral("baseline_p90_ms"), m.baseline.p90},
                                             {QStringLiteral("ratio"), ratio},
                                             {QStringLiteral("target_ms"), m.targetMs},
                                             {QStringLiteral("writes_per_op"), m.writesEach},
                                             {QStringLiteral("baseline_writes_per_op"),
                                              m.baselineWritesEach}})
                       .toJson(QJsonDocument::Compact)
                << '\n';
            continue;
        }
        QString target;
        if (m.targetMs > 0)
            target =
                QStringLiteral("%1 %2")
                    .arg(m.ours.median < m.targetMs ? QStringLiteral("<") : QStringLiteral(">"))
                    .arg(m.targetMs);
        const QString writes = m.writesEach >= 0 ? QStringLiteral("%1/%2")
                                                       .arg(m.writesEach, 0, 'f', 1)
                                                       .arg(m.baselineWritesEach, 0, 'f', 1)
                                                 : QString();
        out << QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8\n")
                   .arg(m.name, -38)
                   .arg(figure(m.ours.median), 10)
                   .arg(figure(m.ours.p90), 10)
                   .arg(figure(m.baseline.median), 10)
                   .arg(figure(m.baseline.p90), 10)
                   .arg(ratio > 0 ? QString::number(ratio, 'f', 2) : QString(), 7)
                   .arg(target, 8)
                   .arg(writes, 12);
    }
}

} // namespace

int measureTimeCardOps(const TimeCardOpsOptions &o, Prompts &prompts, ErrorHandler &errors)
{
    // The item store tells of every folder it makes; the table is what matters here.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    QTextStream out(stdout);
    bool quiet = true;
    for (const int journalItems : {0, o.journalItems}) {
        const QString dir = scenarioDir(o, journalItems, journalItems == 0);
        ScenarioRun run(o, dir, journalItems, prompts, errors);
        const Scenario s = run.run();
        print(out, s, o.json);
        const IoCounters io = run.tickIo();
        if (o.json) {
            out << QJsonDocument(QJsonObject{{QStringLiteral("name"), QStringLiteral("tick I/O")},
                                             {QStringLiteral("journal_entries"), s.journalEntries},
                                             {QStringLiteral("ticks"), run.tickCount()},
                                             {QStringLiteral("syscr"), io.syscr},
                                             {QStringLiteral("syscw"), io.syscw},
                                             {QStringLiteral("read_bytes"), io.readBytes},
                                             {QStringLiteral("write_bytes"), io.writeBytes}})
                       .toJson(QJsonDocument::Compact)
                << '\n';
        } else {
            out << QStringLiteral("tick I/O over %1 ticks: syscr %2, syscw %3, read_bytes %4, "
                                  "write_bytes %5 (target: all 0)\n")
                       .arg(run.tickCount())
                       .arg(io.syscr)
                       .arg(io.syscw)
                       .arg(io.readBytes)
                       .arg(io.writeBytes);
        }
        out.flush();
        quiet = quiet && io.syscr == 0 && io.syscw == 0;
    }
    return quiet ? 0 : 4;
}

} // namespace quorvale::bench
