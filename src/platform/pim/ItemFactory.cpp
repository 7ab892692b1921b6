#include "platform/pim/Item.h"
#include "platform/pim/ItemKinds.h"

#include <QDir>
#include <QFileInfo>

namespace quorvale::pim {

std::unique_ptr<Item> makeItemOfType(ItemType type, const Folder &folder)
{
    switch (type) {
    case ItemType::Journal:
        return makeJournalItem(folder);
    case ItemType::Appointment:
        return makeAppointmentItem(folder);
    case ItemType::Task:
        return makeTaskItem(folder);
    case ItemType::Note:
        return makeNoteItem(folder);
    case ItemType::Contact:
        return makeContactItem(folder);
    case ItemType::Mail:
        return makeMailItem(folder);
    }
    return nullptr;
}

bool isItemFileName(ItemType type, const QString &fileName)
{
    switch (type) {
    case ItemType::Contact:
        return fileName.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive);
    case ItemType::Mail:
        return fileName.startsWith(QLatin1String("cur/")) ||
               fileName.startsWith(QLatin1String("new/"));
    case ItemType::Journal:
    case ItemType::Appointment:
    case ItemType::Task:
    case ItemType::Note:
        return fileName.endsWith(QLatin1String(".ics"), Qt::CaseInsensitive);
    }
    return false;
}

QString locateItemFile(const Folder &folder, const QString &fileName)
{
    if (folder.defaultItemType() == ItemType::Mail)
        return locateMailFile(folder, fileName);
    return QFileInfo::exists(QDir(folder.path()).filePath(fileName)) ? fileName : QString();
}

} // namespace quorvale::pim
