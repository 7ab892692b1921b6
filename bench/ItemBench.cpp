#include "ItemBench.h"

#include "platform/pim/ItemKinds.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <iostream>
#include <libical/ical.h>

namespace quorvale::bench {

namespace {

// The baseline reader: the file's bytes straight through libical's parser.
void parseDirectly(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::exit(1);
    icalcomponent *c = icalparser_parse_string(f.readAll().constData());
    if (!c)
        std::exit(1);
    icalcomponent_free(c);
}

void fill(pim::JournalItem &entry, int i)
{
    entry.setSubject(QStringLiteral("Acme Ltd - Review contract %1").arg(i));
    entry.setBody(QStringLiteral("Read the draft, marked up clauses 4 to 9, call with counsel."));
    entry.setStart(QDateTime(QDate(2026, 11, 2).addDays(i % 30), QTime(9, 30)));
    entry.setDuration(45 + i % 60);
    entry.setType(QStringLiteral("Task"));
    entry.setCategoriesText(QStringLiteral("Billable, Client"));
    for (int p = 0; p < 10; ++p)
        entry.userProperties().setValue(QStringLiteral("Property%1").arg(p),
                                        pim::UserPropertyType::Text,
                                        QStringLiteral("value %1-%2").arg(i).arg(p));
}

} // namespace

std::vector<Measure> measureItems(const QString &dir, int items, int repetitions)
{
    const QString root = QStringLiteral("%1/items-%2").arg(dir).arg(items);
    const bool fresh = !QDir(root).exists();
    pim::Namespace ns(root);
    const pim::Folder journal = ns.GetDefaultFolder(pim::DefaultFolder::Journal);
    QStringList ids;
    if (fresh) {
        std::cerr << "qvbench: writing " << items << " journal entries\n";
        for (int i = 0; i < items; ++i) {
            auto entry = pim::makeJournalItem(journal);
            fill(static_cast<pim::JournalItem &>(*entry), i);
            entry->Save();
        }
    }
    for (const QString &name : QDir(journal.path()).entryList({QStringLiteral("*.ics")}))
        ids << journal.entryId() + QLatin1Char('/') + name;
    if (ids.size() < 1000) {
        std::cerr << "qvbench: the item folder holds too few items\n";
        std::exit(1);
    }
    const QString store = journal.storeId();
    std::vector<Measure> measures;

    int next = 0;
    measures.push_back(
        {QStringLiteral("GetItemFromID"),
         medianMs(repetitions * 20,
                  [&] { const auto item = ns.GetItemFromID(ids.at(next++ % ids.size()), store); }),
         medianMs(repetitions * 20, [&] {
             const QString id = ids.at(next++ % ids.size());
             parseDirectly(QDir(journal.path()).filePath(id.section(QLatin1Char('/'), 1)));
         })});

    int written = 0;
    auto sample = pim::makeJournalItem(journal);
    fill(static_cast<pim::JournalItem &>(*sample), 0);
    sample->Save();
    QFile sampleFile(sample->filePath());
    sampleFile.open(QIODevice::ReadOnly);
    const QByteArray bytes = sampleFile.readAll();
    const QString scratch = dir + QStringLiteral("/baseline-write.ics");
    measures.push_back({QStringLiteral("write journal entry (10 user properties)"),
                        medianMs(repetitions * 5,
                                 [&] {
                                     auto entry = pim::makeJournalItem(journal);
                                     fill(static_cast<pim::JournalItem &>(*entry), ++written);
                                     entry->Save();
                                     entry->Delete();
                                 }),
                        medianMs(repetitions * 5, [&] {
                            // The same bytes through the same atomic, synced write.
                            QSaveFile out(scratch);
                            out.open(QIODevice::WriteOnly);
                            out.write(bytes);
                            out.commit();
                        })});
    sample->Delete();

    measures.push_back(
        {QStringLiteral("link list of 1000 items"),
         medianMs(repetitions,
                  [&] {
                      for (int i = 0; i < 1000; ++i)
                          ns.GetItemFromID(ids.at(i), store);
                  }),
         medianMs(repetitions, [&] {
             for (int i = 0; i < 1000; ++i)
                 parseDirectly(
                     QDir(journal.path()).filePath(ids.at(i).section(QLatin1Char('/'), 1)));
         })});
    return measures;
}

} // namespace quorvale::bench
