#include "platform/registry/RegistryKey.h"

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryNames.h"

#include <QSettings>
#include <QStringList>
#include <limits>

namespace quorvale {

RegistryKey::RegistryKey(Registry *registry, QString path, QString group)
    : m_registry(registry), m_path(std::move(path)), m_group(std::move(group))
{
}

QString RegistryKey::settingsKey(const QString &name) const
{
    const QString escaped = RegistryNames::escape(name);
    return m_group.isEmpty() ? escaped : m_group + u'/' + escaped;
}

bool RegistryKey::exists() const
{
    return m_registry->keyExists(m_path);
}

bool RegistryKey::hasValue(const QString &name) const
{
    return m_registry->m_settings->contains(settingsKey(name));
}

QString RegistryKey::readText(const QString &name, const QString &defaultValue) const
{
    const QVariant value = m_registry->m_settings->value(settingsKey(name));
    if (!value.isValid())
        return defaultValue;
    // A hand-edited line with bare commas reads back as a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

qint16 RegistryKey::readInt(const QString &name, qint16 defaultValue) const
{
    const QVariant value = m_registry->m_settings->value(settingsKey(name));
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const qlonglong number = value.toString().trimmed().toLongLong(&ok, 10);
    if (!ok || number < std::numeric_limits<qint16>::min() ||
        number > std::numeric_limits<qint16>::max())
        return defaultValue;
    return static_cast<qint16>(number);
}

void RegistryKey::writeText(const QString &name, const QString &value)
{
    m_registry->m_settings->setValue(settingsKey(name), value);
    m_registry->markKey(m_group);
    m_registry->written();
}

void RegistryKey::writeInt(const QString &name, qint16 value)
{
    m_registry->m_settings->setValue(settingsKey(name), int(value));
    m_registry->markKey(m_group);
    m_registry->written();
}

RegistryKey RegistryKey::createSubKey(const QString &name)
{
    RegistryKey child = m_registry->keyFor(m_path.isEmpty() ? name : m_path + u'\\' + name);
    m_registry->markKey(child.m_group);
    m_registry->written();
    return child;
}

} // namespace quorvale
