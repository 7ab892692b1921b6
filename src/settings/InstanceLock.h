#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace quorvale {

class Prompts;

// One running Quorvale per program directory, that is per user: the local
// database there keeps the one running timer's record, which a second program
// would take for a crashed run and settle under the first one's feet.
//
// The lock is an flock(2) on "Quorvale.lock" in the program directory, held
// for the program's life. The kernel lets go of it when the process ends in
// any way, a crash or a kill included, so a lock is never stale and no process
// id can be mistaken for its holder; the file only says who holds it.
class InstanceLock {
public:
    enum class State {
        Held,  // this process holds the lock
        Taken, // another running process holds it
        Failed // the lock file could not be made or locked
    };

    // Tries once; the directory is made when missing.
    explicit InstanceLock(const QString &programDir);
    ~InstanceLock();
    InstanceLock(InstanceLock &&other) noexcept;
    InstanceLock &operator=(InstanceLock &&other) noexcept;
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

    State state() const { return m_state; }
    QString filePath() const { return m_path; }
    // Taken: the process id the holder wrote (0 when it has not yet).
    qint64 holder() const { return m_holder; }
    // Failed: what the system said.
    QString error() const { return m_error; }

    static QString fileName() { return QStringLiteral("Quorvale.lock"); }

private:
    void release();

    QString m_path;
    int m_fd = -1;
    State m_state = State::Failed;
    qint64 m_holder = 0;
    QString m_error;
};

// The start's first step: the lock when this process got it; otherwise tells
// the person in plain words why Quorvale does not start and gives nullopt.
std::optional<InstanceLock> claimProgramDirectory(const QString &programDir, Prompts &prompts);

} // namespace quorvale
