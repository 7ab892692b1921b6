#pragma once

#include "platform/registry/RegistryKey.h"

#include <QString>
#include <memory>

class QSettings;

namespace quorvale {

// The per-user settings store: the registry tree of the program kept in an INI
// file through QSettings. Keys are QSettings groups, "\" in a key path becomes a
// group level, value names are kept exactly (spaces, digits, "/" and "%").
//
// Every write goes to disk at once (as a registry write would) unless a Batch
// is open; a write that cannot reach the file throws QvError(75, ..., "Registry").
// The file is created with mode 0600 and kept so.
//
// Key and value names are case-sensitive here; the program always spells them
// through RegistryPaths and its own constants.
class Registry {
public:
    // The user's settings file: QSettings::IniFormat, UserScope,
    // "Kestrune Software" / "Quorvale for Office".
    Registry();
    // A settings file of one's own, e.g. in a test's scratch directory.
    explicit Registry(const QString &iniFilePath);
    ~Registry();
    Registry(const Registry &) = delete;
    Registry &operator=(const Registry &) = delete;

    QString filePath() const;

    // Opens a key from its full path "\HKEY_CURRENT_USER\Software\Kestrune
    // Software\Quorvale for Office\" + sub-key path (a trailing "\" is optional,
    // the prefix is matched without regard to case). Opening does not create the
    // key: reads from a missing key give their defaults, and the first write or
    // createSubKey creates it. A path outside the program's root throws
    // QvError(5).
    RegistryKey openKey(const QString &fullPath);
    // The same from a path relative to the root, e.g. "Settings\AutoFill\Journal";
    // an empty path is the root itself.
    RegistryKey openSubKey(const QString &subKeyPath);

    // True when the key exists. Takes a full path or one relative to the root.
    bool keyExists(const QString &path) const;

    // Writes pending changes to the file; throws QvError on failure, with the file
    // as it was before.
    void sync();

    // Not empty when the file was damaged at opening: what became of it, in words
    // for the person. A damaged file is kept as a copy beside it before anything is
    // written over it; when no copy can be made it is never written over.
    QString damageNotice() const;

    // Groups many writes into one file write. commit() writes and may throw;
    // a batch left without commit() still writes, but only logs a failure.
    class Batch {
    public:
        explicit Batch(Registry &registry);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        void commit();

    private:
        Registry *m_registry;
    };

private:
    friend class RegistryKey;

    RegistryKey keyFor(const QString &subKeyPath);
    QString subKeyOf(const QString &fullPath) const;
    void markKey(const QString &group);
    void written();
    void ensureFile();
    void start();
    void keepDamagedFile();
    void openWorkingName();
    void publish();
    [[noreturn]] void refuse(const QString &reason);

    QString m_path;
    QString m_workingPath;
    std::unique_ptr<QSettings> m_settings;
    int m_batchDepth = 0;
    QString m_damageNotice;
    QString m_writeRefusal;
    bool m_salvaging = false;
};

} // namespace quorvale
