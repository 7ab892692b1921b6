#include "platform/pim/Folder.h"

#include "platform/pim/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>

namespace quorvale::pim {

Folder::Folder(QString entryId, QString storeId, QString name, ItemType defaultItemType,
               QString path)
    : m_entryId(std::move(entryId)), m_storeId(std::move(storeId)), m_name(std::move(name)),
      m_defaultItemType(defaultItemType), m_path(std::move(path))
{
}

std::optional<Folder> Folder::read(const QString &dir, const QString &storeId)
{
    bool ok = false;
    const QJsonObject meta =
        readJsonObject(QDir(dir).filePath(QLatin1String(MetadataFileName)), &ok);
    const QString id = meta.value(QLatin1String("id")).toString();
    const int type = meta.value(QLatin1String("defaultItemType")).toInt(-1);
    if (!ok || id.isEmpty() || !isItemTypeCode(type))
        return std::nullopt;

    QString name = meta.value(QLatin1String("name")).toString();
    QFile displayName(QDir(dir).filePath(QStringLiteral("displayname")));
    if (displayName.open(QIODevice::ReadOnly)) {
        const QString shown = QString::fromUtf8(displayName.readAll()).trimmed();
        if (!shown.isEmpty())
            name = shown;
    }
    return Folder(id, storeId, name, static_cast<ItemType>(type), QDir(dir).absolutePath());
}

QString Folder::readEntryId(const QString &dir)
{
    return readJsonObject(QDir(dir).filePath(QLatin1String(MetadataFileName)))
        .value(QLatin1String("id"))
        .toString();
}

} // namespace quorvale::pim
