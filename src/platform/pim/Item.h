#pragma once

#include "platform/pim/Folder.h"
#include "platform/pim/ItemType.h"
#include "platform/pim/UserProperties.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace quorvale::pim {

class Item;

// Shows an item to the person: the item editor dialogs live in the windows'
// layer, which registers itself here. Without one, Display does nothing and
// reports the item unsaved.
class Inspector {
public:
    virtual ~Inspector() = default;
    // Modal: returns when the person closed the editor; true when they saved.
    virtual bool display(Item &item, bool modal) = 0;
};

// One item of the store: a journal entry, appointment, task, note, contact or
// message, kept in one file of its folder's directory.
//
// An item read from a file keeps that file's whole content; Save() changes only
// the properties the program knows and writes the file again through a temporary
// file and a rename, so what another client stored survives and a failed write
// leaves the old file as it was.
//
// EntryID: the folder's EntryID, "/" and the file's name. It finds the file
// without scanning the store, and stays the same for the item's life. A new
// item has none until its first Save().
class Item {
public:
    virtual ~Item();
    Item(const Item &) = delete;
    Item &operator=(const Item &) = delete;

    ItemType type() const { return m_type; }
    // Virtual for messages: a Maildir file is renamed when its flags change, so
    // their EntryID names the stable part of the file name.
    virtual QString EntryID() const;
    const QString &StoreID() const { return m_folder.storeId(); }
    const Folder &parent() const { return m_folder; }
    const QString &fileName() const { return m_fileName; }
    QString filePath() const;

    QDateTime CreationTime() const { return m_creationTime; }
    QDateTime LastModificationTime() const { return m_lastModified; }
    // True when nothing has changed since the item was read or last saved.
    bool Saved() const { return !m_dirty && !m_fileName.isEmpty(); }

    // Common properties. Categories are kept as a list; CategoriesText() gives
    // them as Outlook joins them ("A, B").
    virtual QString Subject() const { return m_subject; }
    virtual void setSubject(const QString &subject);
    QString Body() const { return m_body; }
    void setBody(const QString &body);
    const QStringList &Categories() const { return m_categories; }
    void setCategories(const QStringList &categories);
    QString CategoriesText() const;
    void setCategoriesText(const QString &text);

    UserProperties &userProperties();
    const UserProperties &userProperties() const { return m_userProperties; }

    // Writes the item to its file (a new item gets a file first). Throws
    // QvError with the file's name when it cannot be written.
    void Save();
    // Gives a new item its EntryID now rather than at its first Save(), so that
    // what names the item by its EntryID can be written before the one Save().
    void AssignEntryID();
    // Removes the item's file. A deleted item cannot be saved again.
    void Delete();
    // 0 saves, 1 discards the changes (re-reading the file), 2 saves as well:
    // there is no one to prompt below the windows.
    void Close(int saveMode);
    // Reads the file again, dropping unsaved changes. False when the file is
    // gone (deleted by another program).
    bool reload();
    // Shows the item in the inspector's editor; false without an inspector.
    bool Display(Inspector *inspector, bool modal = false);

    bool isDeleted() const { return m_deleted; }

    // A property by its Outlook name ("Subject", "Body", "Categories",
    // "EntryID", "CreationTime", and each kind's own, e.g. "Mileage"), else the
    // user property of that name; an invalid QVariant when there is neither.
    virtual QVariant property(const QString &name) const;
    // Sets a property by its Outlook name, as property() reads it; a name that is
    // no standard property sets the user property of that name as text. Returns
    // false for a read-only property (EntryID, CreationTime, ...).
    virtual bool setProperty(const QString &name, const QVariant &value);

protected:
    Item(ItemType type, Folder folder);

    // The file name a new item of this kind gets ("<uuid>.ics").
    virtual QString newFileName() const = 0;
    // Reads the file's content into the item; false for content that is not an
    // item of this kind (the caller reports or skips it).
    virtual bool parse(const QByteArray &content, ReadPurpose purpose) = 0;
    // The file's new content: what was read, with the known properties written in.
    virtual QByteArray serialize() = 0;
    // Called once before the first save of a new item.
    virtual void prepareNew() {}
    // Stores the content as the item's file `fileName` and returns the file's
    // name afterwards. Kinds whose files must be written another way (Maildir:
    // through tmp/, renamed when flags change) override this.
    virtual QString writeItemFile(const QString &fileName, const QByteArray &content);

    void markChanged() { m_dirty = true; }
    void setCreationTime(const QDateTime &time) { m_creationTime = time; }
    void setLastModificationTime(const QDateTime &time) { m_lastModified = time; }
    // For parsers: set without marking the item changed.
    void loadSubject(const QString &s) { m_subject = s; }
    void loadBody(const QString &s) { m_body = s; }
    void loadCategories(const QStringList &c) { m_categories = c; }
    UserProperties &loadUserProperties() { return m_userProperties; }

private:
    friend class Items;
    friend std::unique_ptr<Item> readItem(const Folder &folder, const QString &fileName,
                                          ReadPurpose purpose);

    bool readFile(ReadPurpose purpose = ReadPurpose::Edit);

    ItemType m_type;
    Folder m_folder;
    QString m_fileName;
    QDateTime m_creationTime;
    QDateTime m_lastModified;
    QString m_subject;
    QString m_body;
    QStringList m_categories;
    UserProperties m_userProperties;
    bool m_dirty = true;
    bool m_deleted = false;
};

// A new, unsaved item of the folder's kind.
std::unique_ptr<Item> newItem(const Folder &folder);
// The item in file `fileName` of the folder, or nullptr when the file is missing
// or holds no item of the folder's kind.
std::unique_ptr<Item> readItem(const Folder &folder, const QString &fileName,
                               ReadPurpose purpose = ReadPurpose::Edit);

// Splits an EntryID into the folder's EntryID and the file name; nullopt when
// it is not one of ours.
std::optional<std::pair<QString, QString>> splitEntryId(const QString &entryId);

// An empty item of the kind in the folder (ItemFactory.cpp dispatches to the
// kinds), whether a file name is one of the kind's files, and the file an
// item's name stands for now (a message's file is renamed when its flags
// change; other kinds keep their name). Empty: no such file.
std::unique_ptr<Item> makeItemOfType(ItemType type, const Folder &folder);
bool isItemFileName(ItemType type, const QString &fileName);
QString locateItemFile(const Folder &folder, const QString &fileName);

} // namespace quorvale::pim
