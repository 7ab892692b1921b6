#pragma once

#include "platform/pim/Folder.h"
#include "platform/pim/ItemSummary.h"

#include <QHash>
#include <QMutex>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace quorvale::pim {

// What a long read asks of whoever runs it: whether to stop, and where to
// report how far it has come. Both are called on the reading threads, by
// several at once when a read is spread over the cores (readInParallel).
struct ScanControl {
    std::function<bool()> cancelled;
    std::function<void(qsizetype done, qsizetype total)> progress;

    bool isCancelled() const { return cancelled && cancelled(); }
    void report(qsizetype done, qsizetype total) const
    {
        if (progress)
            progress(done, total);
    }
};

// A folder read as a whole: the summaries of its items in file-name order,
// and the files passed over (unreadable, or above maxItemFileBytes).
struct FolderScan {
    std::vector<ItemSummary> items;
    QStringList skipped;
};

struct FolderCacheStats {
    qint64 parsed = 0;   // item files read and parsed
    qint64 reused = 0;   // summaries given again without reading the file
    qint64 tooLarge = 0; // files passed over for their size
};

// The summaries of item files, kept by folder and file name with the file's
// size, modification time and inode: a file is read again only when one of
// them changed, so a second read of a folder costs a directory listing and a
// stat per file. Files that are gone drop out on the next scan of the folder.
//
// May be used from several threads at once; the lock is held only to look up
// and to store, never while a file is read.
class FolderCache {
public:
    // Every item of the folder. Nothing when `control` cancelled the scan: the
    // cache then stays as it was before the scan began.
    std::optional<FolderScan> scan(const Folder &folder, const ScanControl &control = {});
    // One item of the folder (a message by the stable part of its name, as its
    // EntryID holds it); nothing when the file is gone, unreadable or too large.
    std::optional<ItemSummary> item(const Folder &folder, const QString &fileName);
    // The summary last read from that file, even when the file has gone since
    // (until the folder is scanned again): what a renamed item was.
    std::optional<ItemSummary> remembered(const Folder &folder, const QString &fileName) const;

    // The summaries held, kept in a file between runs, so that a run's first
    // list parses only the files that changed since the last run: what load
    // reads is taken only for a file whose size, modification time and inode
    // are still those it was read with. save writes the file whole (mode
    // 0600: the summaries hold subjects and addresses) and says whether it
    // could; load starts from what the file holds, and from nothing when the
    // file is missing, of another version or damaged (false then).
    bool save(const QString &path) const;
    bool load(const QString &path);

    FolderCacheStats stats() const;
    // How many files of the folder the cache holds.
    qsizetype cachedFiles(const Folder &folder) const;
    void clear();

private:
    struct Stamp {
        qint64 size = -1;
        qint64 modifiedNs = 0;
        quint64 inode = 0;
        bool operator==(const Stamp &) const = default;
    };
    struct Entry {
        Stamp stamp;
        std::optional<ItemSummary> summary; // nothing: unreadable or too large
    };
    using Entries = QHash<QString, Entry>;

    static std::optional<Stamp> stampOf(const QString &path);
    // Reads the file when the cached entry is not for this stamp; counts what it did.
    Entry entryFor(const Folder &folder, const QString &fileName, const Stamp &stamp,
                   const std::optional<Entry> &cached);

    mutable QMutex m_mutex;
    QHash<QString, Entries> m_folders; // by the folder's directory
    FolderCacheStats m_stats;
};

} // namespace quorvale::pim
