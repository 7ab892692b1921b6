#include "FolderScanBench.h"

#include "platform/pim/FolderCache.h"
#include "platform/pim/Item.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <iostream>

namespace quorvale::bench {

namespace {

QByteArray taskFile(int i, const QByteArray &description)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//qvbench//EN\r\nBEGIN:VTODO\r\n"
           "UID:bench-" +
           QByteArray::number(i) + "\r\nSUMMARY:Acme Ltd - follow up " + QByteArray::number(i) +
           "\r\nDUE:20270115T170000Z\r\nSTATUS:NEEDS-ACTION\r\nDESCRIPTION:" + description +
           "\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
}

// A description of about `bytes` bytes, folded as clients write it.
QByteArray foldedText(qint64 bytes)
{
    static const QByteArray sentence =
        "Notes from the call\\, the draft and the counsel's mark-up; clause 4 to 9. ";
    QByteArray text;
    text.reserve(bytes + bytes / 20);
    qsizetype column = 12;
    while (text.size() < bytes) {
        for (char c : sentence) {
            if (column == 75) {
                text += "\r\n ";
                column = 1;
            }
            text += c;
            ++column;
        }
    }
    return text;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) {
        std::cerr << "qvbench: cannot write " << path.toStdString() << '\n';
        std::exit(1);
    }
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::exit(1);
    return f.readAll();
}

} // namespace

std::vector<Measure> measureFolderScan(const QString &dir, int items, int repetitions)
{
    std::vector<Measure> measures;
    const QString root = QStringLiteral("%1/scan-%2").arg(dir).arg(items);
    pim::Namespace ns(root);
    const pim::Folder tasks = ns.GetDefaultFolder(pim::DefaultFolder::Tasks);
    const QDir folderDir(tasks.path());
    if (folderDir.entryList({QStringLiteral("*.ics")}, QDir::Files).size() < items) {
        std::cerr << "qvbench: writing " << items << " tasks\n";
        const QByteArray description = foldedText(600);
        for (int i = 0; i < items; ++i)
            writeFile(folderDir.filePath(QStringLiteral("task-%1.ics").arg(i, 5, 10, QChar('0'))),
                      taskFile(i, description));
    }

    // One big item, parsed alone: the time should grow with its size, not faster.
    const QString bigDir = QStringLiteral("%1/scan-big").arg(dir);
    pim::Namespace bigNs(bigDir);
    const pim::Folder bigTasks = bigNs.GetDefaultFolder(pim::DefaultFolder::Tasks);
    for (int mb : {1, 16, 50}) {
        const QString name = QStringLiteral("big-%1mb.ics").arg(mb);
        const QString path = QDir(bigTasks.path()).filePath(name);
        if (!QFile::exists(path))
            writeFile(path, taskFile(0, foldedText(qint64(mb) * 1024 * 1024)));
        const int runs = mb >= 16 ? 1 : repetitions;
        measures.push_back({QStringLiteral("parse one %1 MB task").arg(mb),
                            medianMs(runs,
                                     [&] {
                                         if (!pim::readItem(bigTasks, name))
                                             std::exit(1);
                                     }),
                            medianMs(runs, [&] { readBytes(path); })});
    }

    const auto listing = [&] {
        if (QDir(tasks.path()).entryList(QDir::Files).size() < items)
            std::exit(1);
    };
    const double listingMs = medianMs(repetitions, listing);
    const auto scan = [&](pim::FolderCache &cache) {
        const std::optional<pim::FolderScan> result = cache.scan(tasks);
        if (!result || result->items.size() < std::size_t(items))
            std::exit(1);
    };
    const int heavyRuns = std::min(repetitions, 3);
    measures.push_back({QStringLiteral("first read of %1 tasks").arg(items),
                        medianMs(heavyRuns,
                                 [&] {
                                     pim::FolderCache cache;
                                     scan(cache);
                                 }),
                        listingMs});
    pim::FolderCache cache;
    scan(cache);
    measures.push_back({QStringLiteral("second read (cached)"),
                        medianMs(repetitions, [&] { scan(cache); }), listingMs});
    // One file changes between reads, as a sync tool would change it.
    int turn = 0;
    const QString changed = folderDir.filePath(QStringLiteral("task-00000.ics"));
    measures.push_back({QStringLiteral("read after one file changed"),
                        medianMs(repetitions,
                                 [&] {
                                     writeFile(changed, taskFile(++turn, foldedText(600)));
                                     scan(cache);
                                 }),
                        medianMs(repetitions, [&] {
                            writeFile(changed, taskFile(++turn, foldedText(600)));
                            listing();
                        })});

    // The 50 MB file inside the folder: passed over by its size.
    const QString bigInFolder = folderDir.filePath(QStringLiteral("zz-big-50mb.ics"));
    QFile::copy(QDir(bigTasks.path()).filePath(QStringLiteral("big-50mb.ics")), bigInFolder);
    pim::FolderCache withBig;
    measures.push_back({QStringLiteral("first read with a 50 MB file in it"),
                        medianMs(1,
                                 [&] {
                                     withBig.clear();
                                     scan(withBig);
                                 }),
                        listingMs});
    QFile::remove(bigInFolder);
    return measures;
}

} // namespace quorvale::bench
