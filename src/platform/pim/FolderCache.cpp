#include "platform/pim/FolderCache.h"

#include "platform/pim/Item.h"
#include "platform/pim/Items.h"
#include "platform/pim/ParallelReads.h"
#include "platform/pim/PrivateFiles.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <sys/stat.h>

namespace quorvale::pim {

namespace {

Q_LOGGING_CATEGORY(lcFolderCache, "quorvale.pim.foldercache")

ItemSummary placed(ItemSummary summary, const Folder &folder)
{
    // The folder may have been renamed since the file was read.
    summary.folderName = folder.name();
    summary.storeId = folder.storeId();
    return summary;
}

} // namespace

std::optional<FolderCache::Stamp> FolderCache::stampOf(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Stamp{static_cast<qint64>(st.st_size),
                 static_cast<qint64>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec,
                 static_cast<quint64>(st.st_ino)};
}

FolderCache::Entry FolderCache::entryFor(const Folder &folder, const QString &fileName,
                                         const Stamp &stamp, const std::optional<Entry> &cached)
{
    if (cached && cached->stamp == stamp) {
        const QMutexLocker lock(&m_mutex);
        ++m_stats.reused;
        return *cached;
    }
    Entry entry{stamp, std::nullopt};
    const qint64 limit = maxItemFileBytes(folder.defaultItemType());
    if (stamp.size > limit) {
        qCWarning(lcFolderCache).noquote()
            << QStringLiteral("passed over the item file %1 in %2: %3 bytes, above the limit "
                              "of %4 bytes")
                   .arg(fileName, folder.path())
                   .arg(stamp.size)
                   .arg(limit);
        const QMutexLocker lock(&m_mutex);
        ++m_stats.tooLarge;
        return entry;
    }
    if (const std::unique_ptr<Item> item = readItem(folder, fileName, ReadPurpose::Show))
        entry.summary = summarize(*item);
    else
        qCWarning(lcFolderCache) << "passed over the unreadable item file" << fileName << "in"
                                 << folder.path();
    const QMutexLocker lock(&m_mutex);
    ++m_stats.parsed;
    return entry;
}

std::optional<FolderScan> FolderCache::scan(const Folder &folder, const ScanControl &control)
{
    const QStringList names = Items(folder).fileNames();
    const QString path = folder.path() + QLatin1Char('/');
    Entries before;
    {
        const QMutexLocker lock(&m_mutex);
        before = m_folders.value(folder.path());
    }
    // Read in parallel into slots of their own, put in order afterwards.
    std::vector<std::optional<Entry>> read(static_cast<std::size_t>(names.size()));
    readInParallel(names.size(), control, [&](qsizetype i) {
        const QString &name = names.at(i);
        const std::optional<Stamp> stamp = stampOf(path + name);
        if (!stamp)
            return; // removed while the folder was read
        const auto found = before.constFind(name);
        read[static_cast<std::size_t>(i)] =
            entryFor(folder, name, *stamp,
                     found == before.cend() ? std::nullopt : std::optional<Entry>(*found));
    });
    if (control.isCancelled())
        return std::nullopt;
    Entries after;
    after.reserve(names.size());
    FolderScan result;
    result.items.reserve(static_cast<std::size_t>(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        std::optional<Entry> &entry = read[static_cast<std::size_t>(i)];
        if (!entry)
            continue;
        if (entry->summary)
            result.items.push_back(placed(*entry->summary, folder));
        else
            result.skipped << names.at(i);
        after.insert(names.at(i), std::move(*entry));
    }
    control.report(names.size(), names.size());
    // For telling a slow list from a slow disk: how much of the read came from memory.
    const FolderCacheStats totals = stats();
    qCDebug(lcFolderCache) << "read" << names.size() << "files of" << folder.path()
                           << "(held before:" << cachedFiles(folder) << ") - so far"
                           << totals.parsed << "parsed," << totals.reused << "reused,"
                           << totals.tooLarge << "too large";
    const QMutexLocker lock(&m_mutex);
    m_folders.insert(folder.path(), std::move(after));
    return result;
}

std::optional<ItemSummary> FolderCache::item(const Folder &folder, const QString &fileName)
{
    if (fileName.isEmpty() || fileName.contains(QLatin1String("..")))
        return std::nullopt;
    // Only a message's file changes its name (with its flags); any other
    // item's file is stat'ed once, under the name its EntryID holds.
    const QString name =
        folder.defaultItemType() == ItemType::Mail ? locateItemFile(folder, fileName) : fileName;
    if (name.isEmpty())
        return std::nullopt;
    const std::optional<Stamp> stamp = stampOf(folder.path() + QLatin1Char('/') + name);
    if (!stamp)
        return std::nullopt;
    std::optional<Entry> cached;
    {
        const QMutexLocker lock(&m_mutex);
        const auto folderIt = m_folders.constFind(folder.path());
        if (folderIt != m_folders.cend()) {
            const auto it = folderIt->constFind(name);
            if (it != folderIt->cend())
                cached = *it;
        }
    }
    const Entry entry = entryFor(folder, name, *stamp, cached);
    {
        const QMutexLocker lock(&m_mutex);
        m_folders[folder.path()].insert(name, entry);
    }
    if (!entry.summary)
        return std::nullopt;
    return placed(*entry.summary, folder);
}

std::optional<ItemSummary> FolderCache::remembered(const Folder &folder,
                                                   const QString &fileName) const
{
    const QMutexLocker lock(&m_mutex);
    const auto folderIt = m_folders.constFind(folder.path());
    if (folderIt == m_folders.cend())
        return std::nullopt;
    const auto it = folderIt->constFind(fileName);
    if (it == folderIt->cend() || !it->summary)
        return std::nullopt;
    return placed(*it->summary, folder);
}

namespace {

// Bumped whenever ItemSummary or the layout below changes: an older file is
// then passed over rather than misread.
constexpr quint32 SummaryFileMagic = 0x51564653; // "QVFS"
constexpr quint32 SummaryFileVersion = 1;

void writeSummary(QDataStream &out, const ItemSummary &s)
{
    out << qint32(s.type) << s.fileName << s.entryId << s.storeId << s.folderName << s.uid;
    out << quint32(s.userProperties.all().size());
    for (const UserProperty &p : s.userProperties.all())
        out << p.name << qint32(p.type) << p.value.isValid() << UserPropertyNames::valueToText(p);
    out << s.subject << s.creationTime << s.dueDate << qint32(s.status) << qint32(s.importance)
        << s.reminderSet << s.reminderTime << qint32(s.delegationState) << s.assignees << s.start
        << qint32(s.durationMinutes) << qint32(s.meetingStatus) << s.to << s.from << s.sentOn;
}

bool readSummary(QDataStream &in, ItemSummary &s)
{
    qint32 type = 0;
    quint32 properties = 0;
    in >> type >> s.fileName >> s.entryId >> s.storeId >> s.folderName >> s.uid >> properties;
    if (in.status() != QDataStream::Ok || !isItemTypeCode(type) || properties > 10'000)
        return false;
    s.type = static_cast<ItemType>(type);
    for (quint32 i = 0; i < properties; ++i) {
        QString name;
        qint32 propertyType = 0;
        bool valid = false;
        QString text;
        in >> name >> propertyType >> valid >> text;
        const auto kind = static_cast<UserPropertyType>(propertyType);
        s.userProperties.Add(name, kind).value =
            valid ? UserPropertyNames::valueFromText(kind, text) : QVariant();
    }
    qint32 status = 0, importance = 0, delegation = 0, duration = 0, meeting = 0;
    in >> s.subject >> s.creationTime >> s.dueDate >> status >> importance >> s.reminderSet >>
        s.reminderTime >> delegation >> s.assignees >> s.start >> duration >> meeting >> s.to >>
        s.from >> s.sentOn;
    s.status = status;
    s.importance = importance;
    s.delegationState = delegation;
    s.durationMinutes = duration;
    s.meetingStatus = meeting;
    return in.status() == QDataStream::Ok;
}

} // namespace

bool FolderCache::save(const QString &path) const
{
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        const QMutexLocker lock(&m_mutex);
        // A folder removed since it was read is not carried on from run to run.
        QList<QString> kept;
        for (auto folder = m_folders.cbegin(); folder != m_folders.cend(); ++folder)
            if (QFileInfo(folder.key()).isDir())
                kept.append(folder.key());
        out << SummaryFileMagic << SummaryFileVersion << quint32(kept.size());
        for (const QString &key : kept) {
            const auto folder = m_folders.constFind(key);
            out << folder.key() << quint32(folder->size());
            for (auto entry = folder->cbegin(); entry != folder->cend(); ++entry) {
                const Stamp &stamp = entry->stamp;
                out << entry.key() << stamp.size << stamp.modifiedNs << stamp.inode
                    << entry->summary.has_value();
                if (entry->summary)
                    writeSummary(out, *entry->summary);
            }
        }
    }
    try {
        writePrivateFile(path, bytes);
        return true;
    } catch (const QvError &error) {
        qCWarning(lcFolderCache).noquote()
            << "the item summaries were not kept for the next run:" << error.description();
        return false;
    }
}

bool FolderCache::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QDataStream in(&file);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0, folders = 0;
    in >> magic >> version >> folders;
    if (magic != SummaryFileMagic || version != SummaryFileVersion) {
        qCInfo(lcFolderCache) << "passed over the item summaries of another version in" << path;
        return false;
    }
    QHash<QString, Entries> loaded;
    bool ok = in.status() == QDataStream::Ok;
    for (quint32 f = 0; ok && f < folders; ++f) {
        QString folderPath;
        quint32 count = 0;
        in >> folderPath >> count;
        Entries &entries = loaded[folderPath];
        for (quint32 i = 0; ok && i < count; ++i) {
            QString name;
            Entry entry;
            bool summarized = false;
            in >> name >> entry.stamp.size >> entry.stamp.modifiedNs >> entry.stamp.inode >>
                summarized;
            if (summarized) {
                ItemSummary summary;
                ok = readSummary(in, summary);
                entry.summary = std::move(summary);
            }
            ok = ok && in.status() == QDataStream::Ok;
            entries.insert(name, std::move(entry));
        }
    }
    if (!ok || !in.atEnd()) {
        qCWarning(lcFolderCache) << "passed over the damaged item summaries in" << path;
        return false;
    }
    const QMutexLocker lock(&m_mutex);
    m_folders = std::move(loaded);
    return true;
}

FolderCacheStats FolderCache::stats() const
{
    const QMutexLocker lock(&m_mutex);
    return m_stats;
}

qsizetype FolderCache::cachedFiles(const Folder &folder) const
{
    const QMutexLocker lock(&m_mutex);
    return m_folders.value(folder.path()).size();
}

void FolderCache::clear()
{
    const QMutexLocker lock(&m_mutex);
    m_folders.clear();
    m_stats = {};
}

} // namespace quorvale::pim
