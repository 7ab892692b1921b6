#include "settings/InstanceLock.h"

#include "support/Prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>

namespace quorvale {

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

qint64 readHolder(int fd)
{
    char text[32] = {};
    const ssize_t got = pread(fd, text, sizeof text - 1, 0);
    return got > 0 ? QByteArray(text, static_cast<int>(got)).trimmed().toLongLong() : 0;
}

} // namespace

InstanceLock::InstanceLock(const QString &programDir)
    : m_path(QDir(programDir).filePath(fileName()))
{
    if (!QDir().mkpath(programDir)) {
        m_error = QStringLiteral("the folder cannot be made");
        return;
    }
    // Close-on-exec: a program started from here (a document's viewer) must
    // not keep the lock after Quorvale ends.
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        m_error = systemError(errno);
        return;
    }
    int locked;
    do {
        locked = ::flock(m_fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int code = errno;
        if (code == EWOULDBLOCK) {
            m_state = State::Taken;
            m_holder = readHolder(m_fd);
        } else {
            m_error = systemError(code);
        }
        release();
        return;
    }
    m_state = State::Held;
    // Only for the message a second start shows; the lock itself is the flock.
    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid()) + '\n';
    if (::ftruncate(m_fd, 0) != 0 || ::pwrite(m_fd, pid.constData(), pid.size(), 0) < 0)
        m_holder = 0; // the lock holds all the same
}

InstanceLock::~InstanceLock()
{
    release();
}

InstanceLock::InstanceLock(InstanceLock &&other) noexcept
    : m_path(std::move(other.m_path)), m_fd(std::exchange(other.m_fd, -1)),
      m_state(std::exchange(other.m_state, State::Failed)), m_holder(other.m_holder),
      m_error(std::move(other.m_error))
{
}

InstanceLock &InstanceLock::operator=(InstanceLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_path = std::move(other.m_path);
        m_fd = std::exchange(other.m_fd, -1);
        m_state = std::exchange(other.m_state, State::Failed);
        m_holder = other.m_holder;
        m_error = std::move(other.m_error);
    }
    return *this;
}

void InstanceLock::release()
{
    // Closing the only descriptor of the open file lets go of the flock.
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::optional<InstanceLock> claimProgramDirectory(const QString &programDir, Prompts &prompts)
{
    InstanceLock lock(programDir);
    switch (lock.state()) {
    case InstanceLock::State::Held:
        return lock;
    case InstanceLock::State::Taken:
        prompts.messageBox(
            QStringLiteral("Quorvale"),
            (lock.holder() > 0
                 ? QStringLiteral("Quorvale is already running for this user (process %1).")
                       .arg(lock.holder())
                 : QStringLiteral("Quorvale is already running for this user.")) +
                QStringLiteral(" Switch to its window, or close it before starting Quorvale "
                               "again."),
            PromptButtons::Ok, PromptIcon::Information);
        break;
    case InstanceLock::State::Failed:
        prompts.messageBox(QStringLiteral("Quorvale"),
                           QStringLiteral("Quorvale cannot start: it could not lock its program "
                                          "folder through the file %1 (%2).")
                               .arg(QDir::toNativeSeparators(lock.filePath()), lock.error()),
                           PromptButtons::Ok, PromptIcon::Critical);
        break;
    }
    return std::nullopt;
}

} // namespace quorvale
