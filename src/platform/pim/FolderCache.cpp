#include "platform/pim/FolderCache.h"

#include "platform/pim/Item.h"
#include "platform/pim/Items.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <sys/stat.h>

namespace quorvale::pim {

namespace {

Q_LOGGING_CATEGORY(lcFolderCache, "quorvale.pim.foldercache")

// Progress is reported this often: often enough for a bar, rarely enough that
// a folder read from the cache is not slowed by it.
constexpr qsizetype ProgressStep = 32;

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
    if (const std::unique_ptr<Item> item = readItem(folder, fileName))
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
    const QDir dir(folder.path());
    Entries before;
    {
        const QMutexLocker lock(&m_mutex);
        before = m_folders.value(folder.path());
    }
    Entries after;
    after.reserve(names.size());
    FolderScan result;
    result.items.reserve(static_cast<std::size_t>(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (control.isCancelled())
            return std::nullopt;
        if (i % ProgressStep == 0)
            control.report(i, names.size());
        const QString &name = names.at(i);
        const std::optional<Stamp> stamp = stampOf(dir.filePath(name));
        if (!stamp)
            continue; // removed while the folder was read
        const auto found = before.constFind(name);
        const Entry entry =
            entryFor(folder, name, *stamp,
                     found == before.cend() ? std::nullopt : std::optional<Entry>(*found));
        if (entry.summary)
            result.items.push_back(placed(*entry.summary, folder));
        else
            result.skipped << name;
        after.insert(name, entry);
    }
    if (control.isCancelled())
        return std::nullopt;
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
