#include "platform/registry/Registry.h"

#include "platform/core/QvError.h"
#include "platform/registry/RegistryNames.h"
#include "platform/registry/RegistryPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>

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

} // namespace

Registry::Registry() : m_settings(openSettings(QString()))
{
    m_path = m_settings->fileName();
    warnIfUnreadable(m_path);
}

Registry::Registry(const QString &iniFilePath)
    : m_path(QFileInfo(iniFilePath).absoluteFilePath()), m_settings(openSettings(m_path))
{
    warnIfUnreadable(m_path);
}

Registry::~Registry() = default;

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
    ensureFile();
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError) {
        const bool format = m_settings->status() == QSettings::FormatError;
        // QSettings keeps its first error for good; a fresh one lets a later write
        // succeed once the cause is gone.
        m_settings = openSettings(m_path);
        throw QvError(
            PathFileAccessError,
            format ? QStringLiteral("The settings file \"%1\" is damaged and was not "
                                    "overwritten.")
                         .arg(m_path)
                   : QStringLiteral("The settings could not be saved to \"%1\".").arg(m_path),
            ErrorSource);
    }
    if (QFile::permissions(m_path) != OwnerOnly && !QFile::setPermissions(m_path, OwnerOnly))
        qCWarning(lcRegistry) << "cannot restrict the settings file to its owner:" << m_path;
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
