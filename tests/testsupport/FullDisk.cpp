#include "testsupport/FullDisk.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace quorvale::test {

namespace {

const QString FilesDir = QStringLiteral("files");
const QString FillerName = QStringLiteral("filler");

QByteArray options(qint64 capacity)
{
    return "size=" + QByteArray::number(capacity) + ",mode=0700";
}

} // namespace

FullDisk::FullDisk(qint64 capacity) : m_capacity(capacity)
{
    if (!qEnvironmentVariableIsSet("QUORVALE_TEST_NO_MOUNT"))
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                            options(capacity).constData()) == 0;
    QDir(m_dir.path()).mkpath(FilesDir);
}

FullDisk::~FullDisk()
{
    release();
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
}

QString FullDisk::path() const
{
    return m_dir.filePath(FilesDir);
}

QString FullDisk::filePath(const QString &name) const
{
    return QDir(path()).filePath(name);
}

void FullDisk::fill(qint64 freeBytes)
{
    if (!m_mounted) {
        if (!m_limited) {
            ::getrlimit(RLIMIT_FSIZE, &m_oldLimit);
            struct sigaction ignore {};
            ignore.sa_handler = SIG_IGN;
            ::sigaction(SIGXFSZ, &ignore, &m_oldAction);
            m_limited = true;
        }
        struct rlimit limit = m_oldLimit;
        limit.rlim_cur = rlim_t(freeBytes);
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        return;
    }
    const QByteArray filler = QFile::encodeName(m_dir.filePath(FillerName));
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    // Large pieces first, then smaller ones until not even a byte fits.
    const QByteArray piece(64 * 1024, 'x');
    for (qint64 size = piece.size(); size > 0; size /= 2) {
        while (::write(fd, piece.constData(), size_t(size)) == size) {
        }
    }
    const long page = ::sysconf(_SC_PAGESIZE);
    const off_t end = ::lseek(fd, 0, SEEK_END);
    const off_t keep = end - off_t((freeBytes + page - 1) / page * page);
    ASSERT_GE(keep, 0) << "the disk is too small to leave " << freeBytes << " bytes";
    ASSERT_EQ(::ftruncate(fd, keep), 0);
    ::close(fd);
}

void FullDisk::release()
{
    if (m_limited) {
        ::setrlimit(RLIMIT_FSIZE, &m_oldLimit);
        ::sigaction(SIGXFSZ, &m_oldAction, nullptr);
        m_limited = false;
    }
    if (m_mounted)
        QFile::remove(m_dir.filePath(FillerName));
    for (const QString &dir : std::as_const(m_lockedDirs))
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ExeOwner);
    m_lockedDirs.clear();
}

bool FullDisk::makeReadOnly()
{
    if (m_mounted)
        return ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs",
                       MS_REMOUNT | MS_RDONLY, options(m_capacity).constData()) == 0;
    if (::geteuid() == 0)
        return false;
    m_lockedDirs = {path()};
    QDirIterator it(path(), QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        m_lockedDirs << it.next();
    for (const QString &dir : std::as_const(m_lockedDirs))
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    return true;
}

QString FullDisk::failureWords() const
{
    return m_mounted ? QStringLiteral("The disk is full") : QStringLiteral("too large");
}

} // namespace quorvale::test
