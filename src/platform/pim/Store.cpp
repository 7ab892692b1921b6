#include "platform/pim/Store.h"

#include "platform/core/OutgoingText.h"
#include "platform/core/QvError.h"
#include "platform/pim/PrivateFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QLoggingCategory>
#include <QSet>

namespace quorvale::pim {

namespace {

Q_LOGGING_CATEGORY(lcStore, "quorvale.pim.store")

const QLatin1String KeyId("id");
const QLatin1String KeyName("name");
const QLatin1String KeyCategories("categories");
const QLatin1String KeyDefaultFolders("defaultFolders");
const QLatin1String KeyAttached("attachedStores");

QStringList toStringList(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &entry : value.toArray())
        list.append(entry.toString());
    return list;
}

// A directory name for a folder name: no separators, no hidden names, nothing a
// vdir reader would skip.
QString directoryNameFor(const QString &name)
{
    QString dir;
    for (const QChar c : name.trimmed())
        dir.append(c == QLatin1Char('/') || c == QLatin1Char('\\') ||
                           c.category() == QChar::Other_Control
                       ? QLatin1Char('_')
                       : c);
    while (dir.startsWith(QLatin1Char('.')))
        dir.replace(0, 1, QLatin1Char('_'));
    return dir.isEmpty() ? QStringLiteral("Folder") : dir;
}

QString colourFor(ItemType type)
{
    switch (type) {
    case ItemType::Appointment:
        return QStringLiteral("#3465a4");
    case ItemType::Task:
        return QStringLiteral("#73d216");
    case ItemType::Contact:
        return QStringLiteral("#f57900");
    case ItemType::Journal:
        return QStringLiteral("#75507b");
    case ItemType::Note:
        return QStringLiteral("#edd400");
    case ItemType::Mail:
        break;
    }
    return QString();
}

} // namespace

Store::Store(QString root, QJsonObject meta)
    : m_root(std::move(root)), m_id(meta.value(KeyId).toString()), m_meta(std::move(meta))
{
}

bool Store::isStore(const QString &root)
{
    return QFileInfo(QDir(root).filePath(QLatin1String(MetadataFileName))).isFile();
}

Store Store::create(const QString &root, const QString &name)
{
    const QString absolute = QDir(root).absolutePath();
    if (isStore(absolute))
        throw QvError(PathFileAccessError,
                      QStringLiteral("\"%1\" holds an item store already.")
                          .arg(QDir::toNativeSeparators(absolute)),
                      QLatin1String(ErrorSource));
    makePrivateDir(absolute);
    QJsonObject meta;
    meta.insert(KeyId, newId());
    meta.insert(KeyName, name);
    meta.insert(KeyCategories, QJsonArray());
    meta.insert(KeyDefaultFolders, QJsonObject());
    Store store(absolute, meta);
    store.save();
    qCInfo(lcStore) << "created store" << store.id() << "in" << absolute;
    return store;
}

Store Store::open(const QString &root)
{
    const QString absolute = QDir(root).absolutePath();
    bool ok = false;
    QJsonObject meta =
        readJsonObject(QDir(absolute).filePath(QLatin1String(MetadataFileName)), &ok);
    if (!ok || meta.value(KeyId).toString().isEmpty())
        throw QvError(NotFoundError,
                      QStringLiteral("No item store could be read in \"%1\".")
                          .arg(QDir::toNativeSeparators(absolute)),
                      QLatin1String(ErrorSource));
    return Store(absolute, std::move(meta));
}

QString Store::name() const
{
    return m_meta.value(KeyName).toString();
}

QStringList Store::categories() const
{
    return toStringList(m_meta.value(KeyCategories));
}

QString Store::categoryMasterList() const
{
    QString text;
    for (const QString &category : categories())
        text += category + QLatin1Char(';');
    return text;
}

void Store::setCategories(const QStringList &categories)
{
    m_meta.insert(KeyCategories, QJsonArray::fromStringList(categories));
    save();
}

QList<Folder> Store::folders() const
{
    QList<Folder> list;
    QSet<QString> seen;
    const QStringList dirs = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &dir : dirs) {
        std::optional<Folder> folder = Folder::read(QDir(m_root).filePath(dir), m_id);
        if (!folder)
            continue;
        // A copied directory carries the same id. The first by name keeps it,
        // as in findFolder, so a lookup always lands on the same folder.
        if (seen.contains(folder->entryId())) {
            qCWarning(lcStore) << "folder id" << folder->entryId() << "found twice; ignoring"
                               << dir;
            continue;
        }
        seen.insert(folder->entryId());
        m_dirOfFolder.insert(folder->entryId(), dir);
        list.append(*folder);
    }
    return list;
}

std::optional<Folder> Store::findFolder(const QString &entryId) const
{
    if (entryId.isEmpty())
        return std::nullopt;
    const auto cached = m_dirOfFolder.constFind(entryId);
    if (cached != m_dirOfFolder.constEnd()) {
        std::optional<Folder> folder = Folder::read(QDir(m_root).filePath(*cached), m_id);
        if (folder && folder->entryId() == entryId)
            return folder;
        m_dirOfFolder.erase(cached);
    }
    for (const QString &dir :
         QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = QDir(m_root).filePath(dir);
        if (Folder::readEntryId(path) == entryId) {
            m_dirOfFolder.insert(entryId, dir);
            return Folder::read(path, m_id);
        }
    }
    return std::nullopt;
}

Folder Store::createFolder(const QString &name, ItemType type)
{
    const QString base = directoryNameFor(name);
    QString dirName = base;
    for (int n = 2; QFileInfo::exists(QDir(m_root).filePath(dirName)); ++n)
        dirName = QStringLiteral("%1 %2").arg(base).arg(n);
    const QString path = QDir(m_root).filePath(dirName);

    makePrivateDir(path);
    if (type == ItemType::Mail) {
        for (const char *sub : {"cur", "new", "tmp"})
            makePrivateDir(QDir(path).filePath(QLatin1String(sub)));
    } else {
        writePrivateFile(QDir(path).filePath(QStringLiteral("color")), colourFor(type).toUtf8());
    }
    writePrivateFile(QDir(path).filePath(QStringLiteral("displayname")),
                     outgoingText(name, ControlCharacters::DropOneLine).toUtf8());
    const QString id = newId();
    QJsonObject meta;
    meta.insert(KeyId, id);
    meta.insert(KeyName, name);
    meta.insert(QLatin1String("defaultItemType"), static_cast<int>(type));
    // Last: until this file exists the directory is not a folder, so a failure
    // above leaves no half-made folder behind.
    writeJsonObject(QDir(path).filePath(QLatin1String(Folder::MetadataFileName)), meta);
    m_dirOfFolder.insert(id, dirName);
    qCDebug(lcStore) << "created folder" << name << id << "in" << path;
    return Folder(id, m_id, name, type, QDir(path).absolutePath());
}

std::optional<Folder> Store::defaultFolder(DefaultFolder kind) const
{
    const QString id = m_meta.value(KeyDefaultFolders)
                           .toObject()
                           .value(QString::number(static_cast<int>(kind)))
                           .toString();
    return findFolder(id);
}

Folder Store::ensureDefaultFolder(DefaultFolder kind)
{
    if (std::optional<Folder> folder = defaultFolder(kind))
        return *folder;
    // Outlook always has its default folders; a removed one comes back empty
    // rather than leaving the program without a place for new items.
    Folder folder = createFolder(defaultFolderName(kind), defaultFolderItemType(kind));
    QJsonObject defaults = m_meta.value(KeyDefaultFolders).toObject();
    defaults.insert(QString::number(static_cast<int>(kind)), folder.entryId());
    m_meta.insert(KeyDefaultFolders, defaults);
    save();
    return folder;
}

QStringList Store::attachedStores() const
{
    return toStringList(m_meta.value(KeyAttached));
}

void Store::setAttachedStores(const QStringList &roots)
{
    m_meta.insert(KeyAttached, QJsonArray::fromStringList(roots));
    save();
}

void Store::save()
{
    writeJsonObject(metadataPath(), m_meta);
}

QString Store::metadataPath() const
{
    return QDir(m_root).filePath(QLatin1String(MetadataFileName));
}

Store storeOf(const Folder &folder)
{
    return Store::open(QFileInfo(folder.path()).absolutePath());
}

} // namespace quorvale::pim
