#include "LinkListBench.h"

#include "Samples.h"
#include "data/DataStore.h"
#include "outlook/LinkReader.h"
#include "outlook/OutlookSession.h"
#include "outlook/TimeCardSnapshot.h"
#include "outlook/UserPropertyWriter.h"
#include "platform/db/Transaction.h"
#include "platform/pim/Items.h"
#include "platform/pim/TaskItem.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QUuid>
#include <iostream>
#include <libical/ical.h>

namespace quorvale::bench {

namespace {

[[noreturn]] void fail(const std::string &what)
{
    std::cerr << "qvbench: " << what << '\n';
    std::exit(1);
}

// The baseline reader: the file's bytes straight through libical's parser.
void parseDirectly(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot read " + path.toStdString());
    icalcomponent *c = icalparser_parse_string(f.readAll().constData());
    if (!c)
        fail("libical cannot parse " + path.toStdString());
    icalcomponent_free(c);
}

} // namespace

std::vector<Measure> measureLinkList(const QString &dir, int items, int repetitions,
                                     Prompts &prompts, ErrorHandler &errors)
{
    // The relocation notes would flood the terminal.
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.info=false"));
    QDir().mkpath(dir);
    QTemporaryDir scratch(dir + QStringLiteral("/links-XXXXXX"));
    if (!scratch.isValid())
        fail("cannot make a scratch directory in " + dir.toStdString());
    admin::InitOptions init;
    init.location.programDir = scratch.filePath(QStringLiteral("program"));
    init.location.dataDir = scratch.filePath(QStringLiteral("data"));
    init.userName = QStringLiteral("Bench User");
    Registry registry(scratch.filePath(QStringLiteral("settings.ini")));
    admin::initialise(init, registry);
    DataStore store(DatabaseSettings::read(registry.openSubKey(QStringLiteral("Database"))),
                    init.location.programDir, prompts, errors);
    if (!store.OpenDB())
        fail("OpenDB failed");
    db::Connection &cnn = store.cnnLink();
    OutlookSession session(scratch.filePath(QStringLiteral("Items")), registry, prompts);
    if (!session.CreateOutlookInstance() || !session.SetFolderObjects(FolderIds{}))
        fail("the item store could not be opened");
    const pim::Folder tasks = *session.folder(FolderSlot::Tasks);

    const qint64 cardId =
        cnn.insertReturningKey(QStringLiteral("INSERT INTO tblTimeCards (UserId) VALUES (1)"), {},
                               QStringLiteral("TimeCardID"));
    TimeCardSnapshot card;
    card.id = static_cast<qint32>(cardId);
    card.userName = QStringLiteral("Bench User");
    const UserPropertyTerms terms{QStringLiteral("Project"), true, QStringLiteral("Phase"), true,
                                  QStringLiteral("Job Order")};
    std::cerr << "qvbench: writing and linking " << items << " tasks\n";
    db::Transaction transaction(cnn);
    for (int i = 0; i < items; ++i) {
        std::unique_ptr<pim::Item> item = pim::Items(tasks).Add();
        auto &task = static_cast<pim::TaskItem &>(*item);
        task.setSubject(QStringLiteral("Acme Ltd - follow up on the draft %1").arg(i));
        task.setBody(QStringLiteral("Call counsel about clauses 4 to 9; send the mark-up."));
        task.setDueDate(QDateTime(QDate(2027, 1, 4).addDays(i % 60), QTime(17, 0)));
        task.setImportance(i % 3);
        task.setCategoriesText(QStringLiteral("Billable, Client"));
        task.AssignEntryID();
        WriteUserProperties(task, card, terms);
        task.Save();
        cnn.execute(QStringLiteral("INSERT INTO tblTasks (EntryID, TimeCardID) VALUES (?, ?)"),
                    {task.EntryID(), cardId});
    }
    transaction.commit();

    LinkReader reader(session, cnn);
    std::size_t shown = 0;
    const auto listing = [&] {
        shown = reader.ProcessLinks(LinkListKind::PersonalTasks, cardId).rows.size();
    };
    const auto baseline = [&] {
        for (const QString &name : pim::Items(tasks).fileNames())
            parseDirectly(QDir(tasks.path()).filePath(name));
    };
    const QString label = QStringLiteral("links listing of %1 items").arg(items);
    std::vector<Measure> measures;

    Samples first;
    for (int r = 0; r <= repetitions; ++r) {
        session.folderCache().clear();
        first.start();
        listing();
        if (r > 0)
            first.stop();
    }
    if (shown != static_cast<std::size_t>(items))
        fail("the link list lost items");
    const pim::FolderCacheStats once = session.folderCache().stats();
    std::cerr << "qvbench: the first listing parsed " << once.parsed << " of " << items
              << " files\n";
    measures.push_back({label + QStringLiteral(", first read"), first.spread().median,
                        medianMs(repetitions, baseline)});
    measures.push_back({label + QStringLiteral(", files unchanged"), medianMs(repetitions, listing),
                        medianMs(repetitions, baseline)});

    // A new run's first listing, the summaries kept by the last run read first.
    const QString kept = scratch.filePath(QStringLiteral("summaries"));
    if (!session.folderCache().save(kept))
        fail("the summaries could not be kept");
    Samples nextRun;
    for (int r = 0; r <= repetitions; ++r) {
        session.folderCache().clear();
        nextRun.start();
        if (!session.folderCache().load(kept))
            fail("the kept summaries could not be read");
        listing();
        if (r > 0)
            nextRun.stop();
    }
    if (session.folderCache().stats().parsed != 0)
        fail("the next run parsed files that had not changed");
    measures.push_back({label + QStringLiteral(", next run's first read"), nextRun.spread().median,
                        medianMs(repetitions, baseline)});

    // A sync tool deletes a tenth of the files and writes each item anew under
    // a name of its own; the listing finds them by UID and rewrites the links.
    Samples renamed;
    const int moved = std::max(1, items / 10);
    for (int r = 0; r <= repetitions; ++r) {
        const QStringList names = pim::Items(tasks).fileNames();
        for (int i = 0; i < moved; ++i) {
            const QString from = QDir(tasks.path()).filePath(names.at(i * names.size() / moved));
            const QString to = QDir(tasks.path())
                                   .filePath(QStringLiteral("sync-%1.ics")
                                                 .arg(QUuid::createUuid().toString(QUuid::Id128)));
            if (!QFile::rename(from, to))
                fail("cannot rename " + from.toStdString());
        }
        renamed.start();
        listing();
        if (r > 0)
            renamed.stop();
    }
    // Items the list lost are the links a sync broke.
    std::cerr << "qvbench: after each sync the list showed " << shown << " of " << items
              << " items\n";
    measures.push_back({label + QStringLiteral(", a tenth renamed by a sync"),
                        renamed.spread().median, medianMs(repetitions, baseline)});
    return measures;
}

} // namespace quorvale::bench
