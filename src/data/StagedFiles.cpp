#include "data/StagedFiles.h"

#include "platform/core/QvError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUuid>

namespace quorvale {

namespace {
Q_LOGGING_CATEGORY(lcStaged, "quorvale.data.files")
} // namespace

namespace {

QString uniqueBeside(const QString &path, const QString &what)
{
    const QFileInfo info(path);
    return info.absoluteDir().filePath(
        QStringLiteral(".%1.%2-%3")
            .arg(info.fileName(), what, QUuid::createUuid().toString(QUuid::Id128).left(12)));
}

void removeWithSides(const QString &path)
{
    QFile::remove(path);
    for (const QString &side : sqliteSideFiles(path))
        QFile::remove(side);
}

// A database file moves with its -wal and -shm: a -wal left behind would be taken
// for the next file's of that name, and one left out would lose committed data.
bool moveWithSides(const QString &from, const QString &to)
{
    const QStringList fromSides = sqliteSideFiles(from);
    const QStringList toSides = sqliteSideFiles(to);
    for (qsizetype i = 0; i < fromSides.size(); ++i) {
        QFile::remove(toSides[i]);
        if (QFileInfo::exists(fromSides[i]) && !QFile::rename(fromSides[i], toSides[i]))
            return false;
    }
    return QFile::rename(from, to);
}

[[noreturn]] void fail(const QString &description)
{
    throw QvError(ErrorNumber::Generic, description, QStringLiteral("qvadmin: init"));
}

} // namespace

QStringList sqliteSideFiles(const QString &databaseFile)
{
    return {databaseFile + QStringLiteral("-wal"), databaseFile + QStringLiteral("-shm"),
            databaseFile + QStringLiteral("-journal")};
}

StagedFiles::~StagedFiles()
{
    if (m_committed && !m_finished)
        rollback();
    if (!m_committed)
        removeStaged();
    if (!m_finished)
        removeMadeDirectories();
}

void StagedFiles::ensureDirectory(const QString &directory)
{
    QStringList missing;
    QString path = QDir::cleanPath(QDir(directory).absolutePath());
    while (!QFileInfo::exists(path)) {
        missing.prepend(path);
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path)
            break;
        path = parent;
    }
    for (const QString &dir : missing) {
        if (!QDir().mkdir(dir))
            fail(QStringLiteral("Could not create the directory '%1'.").arg(dir));
        m_madeDirectories << dir;
    }
}

QString StagedFiles::stage(const QString &finalPath)
{
    Entry e;
    e.finalPath = finalPath;
    e.tempPath = uniqueBeside(finalPath, QStringLiteral("new"));
    m_entries.push_back(e);
    return e.tempPath;
}

void StagedFiles::commit()
{
    try {
        for (Entry &e : m_entries) {
            // A replaced database leaves no -wal or -shm behind: SQLite would take them
            // for the new file's.
            if (QFileInfo::exists(e.finalPath)) {
                e.backupPath = uniqueBeside(e.finalPath, QStringLiteral("old"));
                if (!moveWithSides(e.finalPath, e.backupPath))
                    fail(QStringLiteral("Could not move '%1' aside.").arg(e.finalPath));
            }
            if (!QFile::rename(e.tempPath, e.finalPath))
                fail(QStringLiteral("Could not put '%1' in place.").arg(e.finalPath));
            e.placed = true;
        }
    } catch (...) {
        m_committed = true;
        rollback();
        m_committed = false;
        throw;
    }
    m_committed = true;
}

void StagedFiles::rollback()
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->placed) {
            removeWithSides(it->finalPath);
            it->placed = false;
        }
        if (!it->backupPath.isEmpty()) {
            if (!moveWithSides(it->backupPath, it->finalPath))
                qCWarning(lcStaged)
                    << "could not restore" << it->finalPath << "from" << it->backupPath;
            it->backupPath.clear();
        }
    }
    removeStaged();
    m_committed = false;
    m_finished = false;
}

void StagedFiles::finish()
{
    for (Entry &e : m_entries) {
        if (!e.backupPath.isEmpty())
            removeWithSides(e.backupPath);
    }
    m_entries.clear();
    m_finished = true;
}

void StagedFiles::removeStaged()
{
    for (const Entry &e : m_entries) {
        if (!e.placed)
            removeWithSides(e.tempPath);
    }
}

void StagedFiles::removeMadeDirectories()
{
    // Only directories that are empty again: never anything a person put there.
    for (auto it = m_madeDirectories.crbegin(); it != m_madeDirectories.crend(); ++it)
        QDir().rmdir(*it);
    m_madeDirectories.clear();
}

} // namespace quorvale
