#include "platform/pim/Namespace.h"

#include "platform/core/QvError.h"
#include "platform/pim/PrivateFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

namespace quorvale::pim {

namespace {

Q_LOGGING_CATEGORY(lcNamespace, "quorvale.pim.namespace")

QString canonical(const QString &root)
{
    return QDir::cleanPath(QDir(root).absolutePath());
}

} // namespace

QString Namespace::defaultRoot(const QString &programDir)
{
    const QString configured = qEnvironmentVariable("QUORVALE_ITEMS");
    if (!configured.isEmpty())
        return configured;
    return QDir(programDir).filePath(QStringLiteral("Items"));
}

Namespace::Namespace(const QString &root, bool createIfMissing) : m_root(canonical(root))
{
    if (Store::isStore(m_root)) {
        m_stores.push_back(std::make_unique<Store>(Store::open(m_root)));
    } else if (createIfMissing) {
        Store store = Store::create(m_root, QLatin1String(DefaultStoreName));
        for (const DefaultFolder kind : AllDefaultFolders)
            store.ensureDefaultFolder(kind);
        m_stores.push_back(std::make_unique<Store>(std::move(store)));
    } else {
        throw QvError(NotFoundError,
                      QStringLiteral("No item store could be read in \"%1\".")
                          .arg(QDir::toNativeSeparators(m_root)),
                      QLatin1String(ErrorSource));
    }
    openAttachedStores();
}

Namespace::~Namespace() = default;

bool Namespace::isReachable() const
{
    const QFileInfo info(m_root);
    return info.isDir() && info.isReadable() && info.isExecutable() &&
           QFileInfo(QDir(m_root).filePath(QLatin1String(Store::MetadataFileName))).isReadable();
}

QList<Store *> Namespace::stores() const
{
    QList<Store *> list;
    for (const auto &store : m_stores)
        list.append(store.get());
    return list;
}

Store *Namespace::findStore(const QString &storeId) const
{
    for (const auto &store : m_stores)
        if (store->id() == storeId)
            return store.get();
    return nullptr;
}

Store &Namespace::openStore(const QString &root)
{
    const QString path = canonical(root);
    for (const auto &store : m_stores)
        if (store->root() == path)
            return *store;
    Store opened = Store::open(path);
    if (Store *same = findStore(opened.id()))
        return *same;
    m_stores.push_back(std::make_unique<Store>(std::move(opened)));
    rememberAttached(*m_stores.back());
    return *m_stores.back();
}

Store &Namespace::createStore(const QString &root, const QString &name)
{
    m_stores.push_back(std::make_unique<Store>(Store::create(canonical(root), name)));
    rememberAttached(*m_stores.back());
    return *m_stores.back();
}

std::optional<Folder> Namespace::findFolder(const QString &entryId, const QString &storeId) const
{
    if (entryId.isEmpty())
        return std::nullopt;
    for (const auto &store : m_stores) {
        if (!storeId.isEmpty() && store->id() != storeId)
            continue;
        if (std::optional<Folder> folder = store->findFolder(entryId))
            return folder;
    }
    return std::nullopt;
}

Folder Namespace::GetFolderFromID(const QString &entryId, const QString &storeId) const
{
    if (std::optional<Folder> folder = findFolder(entryId, storeId))
        return *folder;
    throw QvError(NotFoundError,
                  QStringLiteral("The operation failed. An object could not be found."),
                  QLatin1String(ErrorSource));
}

Folder Namespace::GetDefaultFolder(DefaultFolder kind)
{
    return defaultStore().ensureDefaultFolder(kind);
}

Folder Namespace::createFolder(Store &store, const QString &name, ItemType type)
{
    return store.createFolder(name, type);
}

QList<Folder> Namespace::allFolders() const
{
    QList<Folder> list;
    for (const auto &store : m_stores)
        list.append(store->folders());
    return list;
}

void Namespace::openAttachedStores()
{
    for (const QString &root : defaultStore().attachedStores()) {
        try {
            Store store = Store::open(root);
            if (findStore(store.id()))
                continue;
            m_stores.push_back(std::make_unique<Store>(std::move(store)));
        } catch (const QvError &error) {
            // A store on a drive that is not mounted today: its folders are
            // simply not found, which the folder lookups already handle.
            qCWarning(lcNamespace).noquote() << "store not opened:" << error.description();
        }
    }
}

void Namespace::rememberAttached(const Store &store)
{
    QStringList roots = defaultStore().attachedStores();
    if (!roots.contains(store.root())) {
        roots.append(store.root());
        defaultStore().setAttachedStores(roots);
    }
}

bool Namespace::addCategory(const QString &category)
{
    const QString name = category.trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char(';')) || name.contains(QLatin1Char(',')))
        return false;
    Store &store = defaultStore();
    QStringList list = store.categories();
    for (const QString &existing : list)
        if (existing.compare(name, Qt::CaseInsensitive) == 0)
            return false;
    list << name;
    store.setCategories(list);
    return true;
}

} // namespace quorvale::pim
