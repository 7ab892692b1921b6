#pragma once

#include <QString>
#include <QtGlobal>

namespace quorvale {

class Registry;

// One open key of the registry. A light handle: copy it freely, but never let it
// outlive the Registry it came from.
class RegistryKey {
public:
    // The key's path relative to the root, with "\" between keys ("" = root).
    const QString &path() const { return m_path; }
    bool exists() const;

    // The stored text, or defaultValue when the value is missing.
    QString readText(const QString &name, const QString &defaultValue = QString()) const;
    // A 16-bit integer; a missing value, a text that is not a whole number, and a
    // number outside -32768..32767 all read as defaultValue.
    qint16 readInt(const QString &name, qint16 defaultValue = 0) const;
    bool hasValue(const QString &name) const;

    // Writes create this key (and its parents) when missing. Throw QvError when
    // the file cannot be written.
    void writeText(const QString &name, const QString &value);
    void writeInt(const QString &name, qint16 value);
    // Creates the sub-key "name" (which may hold "\") below this key and returns it.
    RegistryKey createSubKey(const QString &name);

private:
    friend class Registry;
    RegistryKey(Registry *registry, QString path, QString group);
    QString settingsKey(const QString &name) const;

    Registry *m_registry;
    QString m_path;  // "Settings\AutoFill\Journal"
    QString m_group; // the QSettings group it maps onto
};

} // namespace quorvale
