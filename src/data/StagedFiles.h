#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace quorvale {

// New files that appear together or not at all. Each is built under a temporary
// name beside its final one (same directory, so the final rename cannot cross a
// file system); commit() renames them into place, moving any file they replace
// aside first, and undoes every step when one fails. Until finish(), rollback()
// still restores what was there before. Whatever was not committed is removed on
// destruction, together with the directories this object made.
class StagedFiles {
public:
    StagedFiles() = default;
    ~StagedFiles();
    StagedFiles(const StagedFiles &) = delete;
    StagedFiles &operator=(const StagedFiles &) = delete;

    // Creates directory (and its parents) when missing, remembering what it made.
    void ensureDirectory(const QString &directory);
    // The temporary path to build finalPath under. Nothing is created.
    QString stage(const QString &finalPath);

    void commit();
    // Puts the replaced files back and removes the new ones (after commit()).
    void rollback();
    // Drops the replaced files: the new ones stay for good.
    void finish();

private:
    struct Entry {
        QString finalPath;
        QString tempPath;
        QString backupPath; // empty when nothing was replaced
        bool placed = false;
    };
    void removeStaged();
    void removeMadeDirectories();

    std::vector<Entry> m_entries;
    QStringList m_madeDirectories; // deepest last
    bool m_committed = false;
    bool m_finished = false;
};

// SQLite's companions of a database file (-wal, -shm, -journal).
QStringList sqliteSideFiles(const QString &databaseFile);

} // namespace quorvale
