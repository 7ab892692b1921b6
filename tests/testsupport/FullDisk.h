#pragma once

#include "testsupport/TempDir.h"

#include <QString>
#include <QStringList>
#include <csignal>
#include <sys/resource.h>

namespace quorvale::test {

// A directory whose disk a test can fill. As root (as CI runs), a small tmpfs
// of its own is mounted on a scratch directory and fill() leaves exactly the
// free space asked for, so writes fail with "no space left". Where mounting is
// not permitted, the directory is a plain one and fill() limits the size of any
// file the process writes instead (RLIMIT_FSIZE, SIGXFSZ ignored), so the write
// that crosses the limit fails with "file too large". The destructor unmounts
// and restores the limit. QUORVALE_TEST_NO_MOUNT forces the second way.
class FullDisk {
public:
    explicit FullDisk(qint64 capacity = 1024 * 1024);
    ~FullDisk();
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;

    // Where the test's files go (the filler lies outside it).
    QString path() const;
    QString filePath(const QString &name) const;
    bool mounted() const { return m_mounted; }

    // From now on only about `freeBytes` more can be written (a whole number of
    // pages on tmpfs).
    void fill(qint64 freeBytes = 0);
    // Gives the space back.
    void release();
    // From now on nothing under path() can be created, written or removed: the
    // file system is remounted read-only, or, without a mount, every directory
    // loses its write permission (which holds for everyone but root). False
    // where neither stops a write.
    bool makeReadOnly();

    // What a failed save on this disk is called in the program's message.
    QString failureWords() const;

private:
    TempDir m_dir;
    qint64 m_capacity;
    bool m_mounted = false;
    bool m_limited = false;
    QStringList m_lockedDirs;
    struct rlimit m_oldLimit {};
    struct sigaction m_oldAction {};
};

} // namespace quorvale::test
