#include "Items.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

namespace quorvale::pim {

Q_LOGGING_CATEGORY(lcItems, "quorvale.pim.items")

qint64 maxItemFileBytes(ItemType type)
{
    return type == ItemType::Mail ? MaxMailItemFileBytes : MaxCalendarItemFileBytes;
}

std::unique_ptr<Item> Items::Add() const
{
    return newItem(m_folder);
}

QStringList Items::fileNames() const
{
    QStringList names;
    const ItemType type = m_folder.defaultItemType();
    // Messages live in a Maildir's new/ and cur/; other kinds in the folder itself.
    const QStringList dirs = type == ItemType::Mail
                                 ? QStringList{QStringLiteral("new"), QStringLiteral("cur")}
                                 : QStringList{QString()};
    for (const QString &sub : dirs) {
        const QDir dir(sub.isEmpty() ? m_folder.path() : QDir(m_folder.path()).filePath(sub));
        for (const QString &name : dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
            const QString relative = sub.isEmpty() ? name : sub + QLatin1Char('/') + name;
            if (!name.startsWith(QLatin1Char('.')) && isItemFileName(type, relative))
                names << relative;
        }
    }
    return names;
}

void Items::forEach(const std::function<bool(Item &)> &visit) const
{
    m_skipped.clear();
    const qint64 limit = maxItemFileBytes(m_folder.defaultItemType());
    for (const QString &name : fileNames()) {
        const qint64 size = QFileInfo(QDir(m_folder.path()).filePath(name)).size();
        if (size > limit) {
            m_skipped << name;
            qCWarning(lcItems) << "skipped item file of" << size << "bytes, above the limit of"
                               << limit << ":" << m_folder.path() << name;
            continue;
        }
        std::unique_ptr<Item> item = readItem(m_folder, name);
        if (!item) {
            m_skipped << name;
            qCWarning(lcItems) << "skipped unreadable item" << m_folder.path() << name;
            continue;
        }
        if (!visit(*item))
            return;
    }
}

std::unique_ptr<Item> Items::Find(const QString &property, const QVariant &value) const
{
    std::unique_ptr<Item> found;
    m_skipped.clear();
    for (const QString &name : fileNames()) {
        std::unique_ptr<Item> item = readItem(m_folder, name);
        if (!item) {
            m_skipped << name;
            continue;
        }
        const QVariant v = item->property(property);
        if (v.isValid() && (v == value || v.toString() == value.toString())) {
            found = std::move(item);
            break;
        }
    }
    return found;
}

} // namespace quorvale::pim
