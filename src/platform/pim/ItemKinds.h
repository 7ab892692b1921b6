#pragma once

#include "platform/pim/Folder.h"

#include <QString>
#include <memory>

namespace quorvale::pim {

class Item;

// The constructors of the item kinds, each defined with its kind; the factory
// picks one by the folder's DefaultItemType.
std::unique_ptr<Item> makeJournalItem(const Folder &folder);
std::unique_ptr<Item> makeAppointmentItem(const Folder &folder);
std::unique_ptr<Item> makeTaskItem(const Folder &folder);
std::unique_ptr<Item> makeNoteItem(const Folder &folder);
std::unique_ptr<Item> makeContactItem(const Folder &folder);
std::unique_ptr<Item> makeMailItem(const Folder &folder);

// A message's file as it is named now: Maildir renames a file when its flags
// change, keeping the part before ":2,". Empty when there is none.
QString locateMailFile(const Folder &folder, const QString &fileName);

} // namespace quorvale::pim
