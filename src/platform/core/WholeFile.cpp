#include "platform/core/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace {

mode_t modeOf(QFileDevice::Permissions p)
{
    mode_t mode = 0;
    const std::pair<QFileDevice::Permission, mode_t> bits[] = {
        {QFileDevice::ReadOwner, S_IRUSR},  {QFileDevice::WriteOwner, S_IWUSR},
        {QFileDevice::ExeOwner, S_IXUSR},   {QFileDevice::ReadGroup, S_IRGRP},
        {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ExeGroup, S_IXGRP},
        {QFileDevice::ReadOther, S_IROTH},  {QFileDevice::WriteOther, S_IWOTH},
        {QFileDevice::ExeOther, S_IXOTH}};
    for (const auto &[permission, bit] : bits) {
        if (p.testFlag(permission))
            mode |= bit;
    }
    return mode;
}

// Each returns false with errno set by the call that failed.
bool writeAll(int fd, const char *bytes, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

bool syncFile(int fd)
{
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

// So that the rename itself survives a power cut. The file is in place by
// now, so a failure here is no reason to tell anyone it was not saved.
void syncDirectory(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    syncFile(fd);
    ::close(fd);
}

} // namespace

QString saveFailureText(const QString &path, int error, bool earlierKept)
{
    const QString name = QDir::toNativeSeparators(path);
    const QString kept = earlierKept ? QStringLiteral("and the earlier version was kept")
                                     : QStringLiteral("and no part of it was left on the disk");
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("The disk is full: \"%1\" could not be saved, %2. Free some space "
                              "and try again.")
            .arg(name, kept);
    case EFBIG:
        return QStringLiteral("The file is too large for the disk: \"%1\" could not be saved, %2. "
                              "Make it smaller or save it on another disk.")
            .arg(name, kept);
    default:
        return QStringLiteral("\"%1\" could not be saved (%2), %3. Check that its folder exists "
                              "and may be written to, then try again.")
            .arg(name, qt_error_string(error), kept);
    }
}

void writeWholeFile(const QString &path, const QByteArray &data, const WholeFileOptions &options)
{
    const QFileInfo target(path);
    const bool existed = target.exists();
    QByteArray temporary =
        QFile::encodeName(options.temporaryPath.isEmpty()
                              ? QDir(target.absolutePath())
                                    .filePath(u'.' + target.fileName() + QStringLiteral(".XXXXXX"))
                              : options.temporaryPath);
    const auto fail = [&](int error) {
        throw QvError(options.errorNumber, saveFailureText(path, error, existed),
                      options.errorSource);
    };

    // Both create the file 0600 and empty; the requested mode follows before
    // any byte is written.
    const int fd = options.temporaryPath.isEmpty()
                       ? ::mkostemp(temporary.data(), O_CLOEXEC)
                       : ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                S_IRUSR | S_IWUSR);
    if (fd < 0)
        fail(errno);
    int error = 0;
    if (::fchmod(fd, modeOf(options.permissions)) != 0 ||
        !writeAll(fd, data.constData(), data.size()) || !syncFile(fd))
        error = errno;
    // Some file systems report a failed write only when the file is closed.
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.constData(), QFile::encodeName(path).constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.constData());
        fail(error);
    }
    syncDirectory(target.absolutePath());
}

} // namespace quorvale
