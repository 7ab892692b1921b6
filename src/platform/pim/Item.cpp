#include "Item.h"

#include "platform/core/QvError.h"
#include "platform/pim/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvale::pim {

Item::Item(ItemType type, Folder folder) : m_type(type), m_folder(std::move(folder)) {}

Item::~Item() = default;

QString Item::EntryID() const
{
    if (m_fileName.isEmpty())
        return QString();
    return m_folder.entryId() + QLatin1Char('/') + m_fileName;
}

QString Item::filePath() const
{
    return m_fileName.isEmpty() ? QString() : QDir(m_folder.path()).filePath(m_fileName);
}

void Item::setSubject(const QString &subject)
{
    if (subject != m_subject) {
        m_subject = subject;
        markChanged();
    }
}

void Item::setBody(const QString &body)
{
    if (body != m_body) {
        m_body = body;
        markChanged();
    }
}

void Item::setCategories(const QStringList &categories)
{
    if (categories != m_categories) {
        m_categories = categories;
        markChanged();
    }
}

QString Item::CategoriesText() const
{
    return m_categories.join(QStringLiteral(", "));
}

void Item::setCategoriesText(const QString &text)
{
    QStringList list;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        if (!trimmed.isEmpty() && !list.contains(trimmed))
            list << trimmed;
    }
    setCategories(list);
}

UserProperties &Item::userProperties()
{
    // Callers change values through the reference: count that as a change.
    m_dirty = true;
    return m_userProperties;
}

void Item::Save()
{
    if (m_deleted)
        throw QvError(NotFoundError, QStringLiteral("The item has been deleted."),
                      QString::fromLatin1(ErrorSource));
    AssignEntryID();
    m_lastModified = QDateTime::currentDateTime();
    const QByteArray content = serialize();
    m_fileName = writeItemFile(m_fileName, content);
    m_dirty = false;
}

void Item::AssignEntryID()
{
    if (!m_fileName.isEmpty())
        return;
    if (!m_creationTime.isValid())
        m_creationTime = QDateTime::currentDateTime();
    prepareNew();
    m_fileName = newFileName();
}

void Item::Delete()
{
    if (m_deleted)
        return;
    if (!m_fileName.isEmpty()) {
        // Another client may have renamed the file since it was read (Maildir flags).
        const QString current = locateItemFile(m_folder, m_fileName);
        const QString path = QDir(m_folder.path()).filePath(current);
        if (!current.isEmpty() && !QFile::remove(path))
            throw QvError(PathFileAccessError, QStringLiteral("Could not delete '%1'.").arg(path),
                          QString::fromLatin1(ErrorSource));
    }
    m_deleted = true;
}

void Item::Close(int saveMode)
{
    if (m_deleted)
        return;
    if (saveMode == 1) {
        if (!m_fileName.isEmpty())
            reload();
        return;
    }
    if (!Saved())
        Save();
}

bool Item::readFile(ReadPurpose purpose)
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    m_userProperties = UserProperties();
    m_categories.clear();
    m_subject.clear();
    m_body.clear();
    if (!parse(content, purpose))
        return false;
    if (!m_creationTime.isValid())
        m_creationTime = QFileInfo(file).birthTime().isValid() ? QFileInfo(file).birthTime()
                                                               : QFileInfo(file).lastModified();
    if (!m_lastModified.isValid())
        m_lastModified = QFileInfo(file).lastModified();
    m_dirty = false;
    return true;
}

bool Item::reload()
{
    if (m_fileName.isEmpty())
        return false;
    const QString current = locateItemFile(m_folder, m_fileName);
    if (current.isEmpty())
        return false;
    m_fileName = current;
    return readFile();
}

QString Item::writeItemFile(const QString &fileName, const QByteArray &content)
{
    writePrivateFile(QDir(m_folder.path()).filePath(fileName), content);
    return fileName;
}

bool Item::Display(Inspector *inspector, bool modal)
{
    return inspector && inspector->display(*this, modal);
}

QVariant Item::property(const QString &name) const
{
    const auto is = [&](const char *n) {
        return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0;
    };
    if (is("Subject"))
        return Subject();
    if (is("Body"))
        return m_body;
    if (is("Categories"))
        return CategoriesText();
    if (is("EntryID"))
        return EntryID();
    if (is("CreationTime"))
        return m_creationTime;
    if (is("LastModificationTime"))
        return m_lastModified;
    return m_userProperties.value(name);
}

bool Item::setProperty(const QString &name, const QVariant &value)
{
    const auto is = [&](const char *n) {
        return name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0;
    };
    if (is("Subject")) {
        setSubject(value.toString());
        return true;
    }
    if (is("Body")) {
        setBody(value.toString());
        return true;
    }
    if (is("Categories")) {
        if (value.typeId() == QMetaType::QStringList)
            setCategories(value.toStringList());
        else
            setCategoriesText(value.toString());
        return true;
    }
    if (is("EntryID") || is("CreationTime") || is("LastModificationTime"))
        return false;
    if (m_userProperties.setValue(name, UserPropertyType::Text, value.toString()))
        markChanged();
    return true;
}

std::unique_ptr<Item> newItem(const Folder &folder)
{
    return makeItemOfType(folder.defaultItemType(), folder);
}

std::unique_ptr<Item> readItem(const Folder &folder, const QString &fileName, ReadPurpose purpose)
{
    if (fileName.isEmpty() || fileName.contains(QLatin1String("..")))
        return nullptr;
    std::unique_ptr<Item> item = makeItemOfType(folder.defaultItemType(), folder);
    if (!item)
        return nullptr;
    item->m_fileName = locateItemFile(folder, fileName);
    if (item->m_fileName.isEmpty() || !item->readFile(purpose))
        return nullptr;
    return item;
}

std::optional<std::pair<QString, QString>> splitEntryId(const QString &entryId)
{
    const qsizetype slash = entryId.indexOf(QLatin1Char('/'));
    if (slash <= 0 || slash + 1 >= entryId.size())
        return std::nullopt;
    return std::make_pair(entryId.left(slash), entryId.mid(slash + 1));
}

} // namespace quorvale::pim
