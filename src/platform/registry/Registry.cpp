#include "platform/registry/Registry.h"

#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"
#include "platform/registry/RegistryNames.h"
#include "platform/registry/RegistryPaths.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSettings>
#include <QStorageInfo>
#include <QStringDecoder>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcRegistry, "quorvale.registry")

constexpr long PathFileAccessError = 75;
constexpr long InvalidArgument = ErrorNumber::InvalidCharacter;
const QString ErrorSource = QStringLiteral("Registry");
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QString rootPath()
{
    // Without the trailing "\", so "...\Quorvale for Office" alone is the root too.
    QString root = RegistryPaths::fullPath(QString());
    root.chop(1);
    return root;
}

std::unique_ptr<QSettings> openSettings(const QString &path)
{
    if (path.isEmpty())
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                           QLatin1String(RegistryPaths::Organisation),
                                           QLatin1String(RegistryPaths::ApplicationName));
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

void warnIfUnreadable(const QString &path)
{
    QFileInfo info(path);
    if (info.exists() && !info.isReadable())
        qCWarning(lcRegistry) << "settings file is not readable, defaults will be used:" << path;
}

// A second name for the file's bytes. QSettings replaces the file by renaming a new
// one over it, so the link keeps the old bytes whole without needing any free space,
// which is what a full disk leaves us without.
bool linkTo(const QString &path, const QString &linkPath)
{
    QFile::remove(linkPath);
    return ::link(QFile::encodeName(path).constData(), QFile::encodeName(linkPath).constData()) ==
           0;
}

QString comparable(const QVariant &value)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QChar(0x1f));
    return value.toString();
}

// QSettings reports success when the disk filled up half-way through the file (the
// file is then cut short), so what was written is read back and compared. It is
// read under a name of its own: QSettings shares what it read of a file among all
// its objects for that name, and would answer from memory instead of the disk.
bool holdsAllOf(const QString &path, const QSettings &expected)
{
    static std::atomic<int> checks{0};
    const QString alias = QStringLiteral("%1.check-%2-%3")
                              .arg(path)
                              .arg(QCoreApplication::applicationPid())
                              .arg(++checks);
    if (!linkTo(path, alias))
        return false;
    bool same = false;
    {
        const QSettings written(alias, QSettings::IniFormat);
        // A key with an empty name, read from a damaged file, is never written.
        QStringList keys = expected.allKeys();
        keys.removeIf([](const QString &key) { return key.isEmpty() || key.endsWith(u'/'); });
        QStringList writtenKeys = written.allKeys();
        writtenKeys.removeIf(
            [](const QString &key) { return key.isEmpty() || key.endsWith(u'/'); });
        same = written.status() == QSettings::NoError && writtenKeys.size() == keys.size() &&
               std::all_of(keys.cbegin(), keys.cend(), [&](const QString &key) {
                   return comparable(written.value(key)) == comparable(expected.value(key));
               });
    }
    QFile::remove(alias);
    return same;
}

QString workingName(const QString &path, qint64 pid, int generation)
{
    const QFileInfo info(path);
    return info.dir().filePath(
        QStringLiteral(".%1.work-%2-%3").arg(info.fileName()).arg(pid).arg(generation));
}

// Working names left by a program that ended without removing them.
void removeStaleWorkingNames(const QString &path)
{
    const QFileInfo info(path);
    const QString prefix = QStringLiteral(".%1.work-").arg(info.fileName());
    const QStringList names =
        info.dir().entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const qint64 pid = name.mid(prefix.size()).section(u'-', 0, 0).toLongLong();
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            QFile::remove(info.dir().filePath(name));
    }
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// QSettings reads through NUL bytes and broken UTF-8 without complaint, and would
// write its reading of them back over the file.
bool isDamaged(const QString &path, const QSettings &settings)
{
    if (settings.status() == QSettings::FormatError)
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    // QSettings ends every file it writes with a line break: a file that stops
    // in the middle of a line was cut short, even where the rest still parses.
    if (bytes.contains('\0') || (!bytes.isEmpty() && !bytes.endsWith('\n')))
        return true;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError();
}

bool diskIsFull(const QString &path)
{
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    // A settings file is a few kilobytes; less room than a couple of blocks is full.
    return storage.isValid() && storage.bytesAvailable() < 64 * 1024;
}

} // namespace

Registry::Registry()
{
    m_path = openSettings(QString())->fileName();
    start();
}

Registry::Registry(const QString &iniFilePath) : m_path(QFileInfo(iniFilePath).absoluteFilePath())
{
    start();
}

void Registry::start()
{
    warnIfUnreadable(m_path);
    removeStaleWorkingNames(m_path);
    openWorkingName();
    keepDamagedFile();
}

// QSettings writes through a save that reports success when the disk filled up
// half-way, and it keeps what it read of a file, and what it could not write,
// shared among all its objects for that file name. So it never works on the
// settings file's own name: it works on a second name (a hard link) that only
// this object uses. A write replaces that name alone; only once the result is
// read back whole is it renamed over the settings file, and a failed write is
// forgotten with its name.
void Registry::openWorkingName()
{
    m_settings.reset();
    if (!m_workingPath.isEmpty() && m_workingPath != m_path)
        QFile::remove(m_workingPath);
    static std::atomic<int> generation{0};
    m_workingPath = workingName(m_path, QCoreApplication::applicationPid(), ++generation);
    QFile::remove(m_workingPath);
    if (QFileInfo::exists(m_path) && !linkTo(m_path, m_workingPath)) {
        // A file system without hard links: the settings file itself, unguarded.
        qCWarning(lcRegistry) << "no second name for the settings file:" << m_path;
        m_workingPath = m_path;
    }
    m_settings = openSettings(m_workingPath);
}

QString Registry::damageNotice() const
{
    return m_damageNotice;
}

void Registry::keepDamagedFile()
{
    if (!isDamaged(m_path, *m_settings))
        return;
    const QString copy =
        QStringLiteral("%1.damaged-%2")
            .arg(m_path, QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString shown = QDir::toNativeSeparators(m_path);
    if (!linkTo(m_path, copy) && !QFile::copy(m_path, copy)) {
        // Without a copy the damaged file is the only trace of those settings: it
        // stays as it is, and nothing this session changes is written over it.
        m_writeRefusal =
            QStringLiteral("The settings file \"%1\" is damaged, and no copy of it could be "
                           "made, so it was not overwritten. Settings changed now are not saved; "
                           "repair or remove the file and start Quorvale again.")
                .arg(shown);
        m_damageNotice = m_writeRefusal;
        qCWarning(lcRegistry) << "damaged settings file kept as it is:" << m_path;
        return;
    }
    QFile::setPermissions(copy, OwnerOnly);
    qCWarning(lcRegistry) << "damaged settings file copied to" << copy;
    m_damageNotice = QStringLiteral("The settings file \"%1\" was damaged. It was kept as \"%2\"; "
                                    "the settings that could be read are used and saved again, "
                                    "and the others are back to their defaults.")
                         .arg(shown, QDir::toNativeSeparators(copy));
    m_salvaging = true;
    // QSettings writes only what changed: everything it could read is given again,
    // so the whole file is written anew.
    bool readable = false;
    for (const QString &key : m_settings->allKeys()) {
        if (!key.isEmpty() && !key.endsWith(u'/')) {
            m_settings->setValue(key, m_settings->value(key));
            readable = true;
        }
    }
    try {
        if (readable) {
            sync();
        } else {
            // Nothing could be read, and QSettings writes nothing for nothing.
            writeWholeFile(m_path, QByteArray(), {OwnerOnly, {}, PathFileAccessError, ErrorSource});
            m_salvaging = false;
            openWorkingName();
        }
    } catch (const QvError &e) {
        m_damageNotice += u' ' + e.description();
    }
}

Registry::~Registry()
{
    // Anything QSettings still flushes goes to the working name, never the file.
    m_settings.reset();
    if (m_workingPath != m_path)
        QFile::remove(m_workingPath);
}

QString Registry::filePath() const
{
    return m_path;
}

RegistryKey Registry::openKey(const QString &fullPath)
{
    return keyFor(subKeyOf(fullPath));
}

RegistryKey Registry::openSubKey(const QString &subKeyPath)
{
    return keyFor(subKeyPath);
}

QString Registry::subKeyOf(const QString &fullPath) const
{
    QString path = fullPath;
    if (!path.startsWith(u'\\'))
        path.prepend(u'\\');
    const QString root = rootPath();
    const bool inside = path.startsWith(root, Qt::CaseInsensitive) &&
                        (path.size() == root.size() || path.at(root.size()) == u'\\');
    if (!inside)
        throw QvError(
            InvalidArgument,
            QStringLiteral("The key \"%1\" is not one of the program's settings.").arg(fullPath),
            ErrorSource);
    return path.mid(root.size());
}

RegistryKey Registry::keyFor(const QString &subKeyPath)
{
    QString trimmed = subKeyPath;
    while (trimmed.startsWith(u'\\'))
        trimmed.remove(0, 1);
    while (trimmed.endsWith(u'\\'))
        trimmed.chop(1);
    if (trimmed.isEmpty())
        return RegistryKey(this, QString(), QString());

    const QStringList names = trimmed.split(u'\\');
    QStringList groups;
    groups.reserve(names.size());
    for (const QString &name : names) {
        if (name.isEmpty())
            throw QvError(
                InvalidArgument,
                QStringLiteral("The key path \"%1\" holds an empty key name.").arg(subKeyPath),
                ErrorSource);
        groups << RegistryNames::escape(name);
    }
    return RegistryKey(this, names.join(u'\\'), groups.join(u'/'));
}

bool Registry::keyExists(const QString &path) const
{
    const bool full = path.startsWith(u'\\') || path.startsWith(u"HKEY_", Qt::CaseInsensitive);
    const RegistryKey key = const_cast<Registry *>(this)->keyFor(full ? subKeyOf(path) : path);
    if (key.m_group.isEmpty())
        return true;
    if (m_settings->contains(key.m_group + u'/' + QLatin1String(RegistryNames::KeyMarker)))
        return true;
    // A key written by hand, without our marker, exists as soon as it holds anything.
    m_settings->beginGroup(key.m_group);
    const bool holdsSomething =
        !m_settings->childKeys().isEmpty() || !m_settings->childGroups().isEmpty();
    m_settings->endGroup();
    return holdsSomething;
}

void Registry::markKey(const QString &group)
{
    if (group.isEmpty())
        return;
    // Parents are marked too: a key exists only inside existing keys.
    qsizetype end = 0;
    while (end >= 0) {
        end = group.indexOf(u'/', end + 1);
        const QString marker = group.left(end < 0 ? group.size() : end) + u'/' +
                               QLatin1String(RegistryNames::KeyMarker);
        if (!m_settings->contains(marker))
            m_settings->setValue(marker, QString());
    }
}

void Registry::written()
{
    if (m_batchDepth == 0)
        sync();
}

void Registry::ensureFile()
{
    QFileInfo info(m_path);
    if (info.exists()) {
        if (!info.isReadable() || !info.isWritable())
            throw QvError(
                PathFileAccessError,
                QStringLiteral("The settings file \"%1\" cannot be read and written.").arg(m_path),
                ErrorSource);
        return;
    }
    // Create the file empty and private before QSettings writes into it: its
    // atomic writes keep the permissions of the file they replace.
    const QString dir = info.absolutePath();
    const bool newDir = !QFileInfo::exists(dir);
    if (newDir && !QDir().mkpath(dir))
        throw QvError(PathFileAccessError,
                      QStringLiteral("The settings folder \"%1\" cannot be created.").arg(dir),
                      ErrorSource);
    if (newDir)
        QFile::setPermissions(dir, OwnerOnly | QFileDevice::ExeOwner);
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, OwnerOnly))
        throw QvError(PathFileAccessError,
                      QStringLiteral("The settings file \"%1\" cannot be created: %2")
                          .arg(m_path, file.errorString()),
                      ErrorSource);
}

void Registry::sync()
{
    const QString shown = QDir::toNativeSeparators(m_path);
    if (!m_writeRefusal.isEmpty()) {
        // What was asked is forgotten, so what the program reads stays what the file holds.
        openWorkingName();
        throw QvError(PathFileAccessError, m_writeRefusal, ErrorSource);
    }
    ensureFile();
    // Another program writing the same settings waits for this one; QSettings
    // took the same lock when it wrote the file itself.
    QLockFile lock(m_path + QStringLiteral(".lock"));
    // A lock that cannot be written (a full disk) is no other program: the save
    // below then fails on its own and says why.
    if (!lock.tryLock(10000) && lock.error() == QLockFile::LockFailedError)
        throw QvError(PathFileAccessError,
                      QStringLiteral("The settings could not be saved to \"%1\": another program "
                                     "is saving them. The file was left as it was; try again.")
                          .arg(shown),
                      ErrorSource);
    if (m_workingPath != m_path && !sameFile(m_workingPath, m_path)) {
        // The settings file was replaced since: QSettings reads it again and keeps
        // the other writer's values beside this one's.
        QFile::remove(m_workingPath);
        if (!linkTo(m_path, m_workingPath))
            refuse(QStringLiteral("a second name for it cannot be made"));
    }
    m_settings->sync();
    const QSettings::Status status = m_settings->status();
    // A file read with errors keeps reporting them after a good write.
    const bool wrote =
        status == QSettings::NoError || (m_salvaging && status == QSettings::FormatError);
    if (m_workingPath == m_path) {
        if (!wrote)
            refuse(QString());
    } else {
        if (!wrote || !holdsAllOf(m_workingPath, *m_settings))
            refuse(QString());
        publish();
    }
    if (m_salvaging) {
        m_salvaging = false;
        // Now read from the clean file, so the old read error is gone for good.
        openWorkingName();
    }
    if (QFile::permissions(m_path) != OwnerOnly && !QFile::setPermissions(m_path, OwnerOnly))
        qCWarning(lcRegistry) << "cannot restrict the settings file to its owner:" << m_path;
}

void Registry::publish()
{
    const QByteArray working = QFile::encodeName(m_workingPath);
    // QSettings' save may not have reached the disk: a crash after the rename must
    // not leave an empty settings file.
    const int fd = ::open(working.constData(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced || ::rename(working.constData(), QFile::encodeName(m_path).constData()) != 0)
        refuse(QString::fromLocal8Bit(std::strerror(errno)));
    const QByteArray dir = QFile::encodeName(QFileInfo(m_path).absolutePath());
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    if (!linkTo(m_path, m_workingPath))
        openWorkingName();
}

void Registry::refuse(const QString &reason)
{
    // The settings file was not touched; the change is forgotten with the working
    // name, so what the program reads from here on is what the file holds.
    openWorkingName();
    const QString shown = QDir::toNativeSeparators(m_path);
    if (diskIsFull(m_path))
        throw QvError(PathFileAccessError,
                      QStringLiteral("The disk is full: the settings could not be saved to "
                                     "\"%1\". The file was left as it was, without this change. "
                                     "Free some space and try again.")
                          .arg(shown),
                      ErrorSource);
    throw QvError(
        PathFileAccessError,
        QStringLiteral("The settings could not be saved to \"%1\"%2. The file was left as "
                       "it was, without this change.")
            .arg(shown, reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(reason)),
        ErrorSource);
}

Registry::Batch::Batch(Registry &registry) : m_registry(&registry)
{
    ++m_registry->m_batchDepth;
}

Registry::Batch::~Batch()
{
    if (m_registry == nullptr)
        return;
    try {
        commit();
    } catch (const QvError &e) {
        qCWarning(lcRegistry) << e.description();
    }
}

void Registry::Batch::commit()
{
    if (m_registry == nullptr)
        return;
    Registry *registry = std::exchange(m_registry, nullptr);
    if (--registry->m_batchDepth == 0)
        registry->sync();
}

} // namespace quorvale
