#pragma once

#include "outlook/LinkListKind.h"

#include <QString>
#include <QVariant>
#include <optional>

namespace quorvale {

class OutlookSession;
class Prompts;
namespace db {
class Connection;
}

// The choice of the "What should be deleted?" dialog.
enum class LinkDeleteOption { LinkOnly, ItemAndLink };

// The link the person selected: its EID and, for documents and messages, what
// finds the file or item.
struct SelectedLink {
    LinkListKind kind = LinkListKind::PersonalTasks;
    QVariant eid;
    QString storeId;  // messages
    QString filePath; // documents: the folder
    QString fileName; // documents
};

// The time spent a TimeCard keeps when a time-detail appointment of
// `appointmentMinutes` is taken from it: nothing when the appointment took all
// of it or all but less than a minute.
qint64 timeSpentAfterRemoving(qint64 spentSeconds, int appointmentMinutes);

// Removes one link of a TimeCard and, when asked, what it links to.
//
// Expenses and fixed charges are rows of their own: "link only" leaves the
// charge and only takes it off the TimeCard; "item and link" deletes it.
// Documents ask first ("Confirm Delete"): No keeps the file and deletes the
// link, Cancel keeps both. Items and files already gone count as deleted.
// Database failures, and a file that cannot be deleted, throw QvError.
class LinkDeleter {
public:
    LinkDeleter(OutlookSession &session, db::Connection &cnnLink, Prompts &prompts);

    // The Duration in minutes of a linked time-detail appointment that can
    // still be read, so its time can be given back before it goes.
    std::optional<int> timeDetailMinutes(const QString &entryId);

    // False when the person cancelled (nothing was deleted).
    bool deleteLink(qint64 timeCardId, const SelectedLink &link, LinkDeleteOption option);

private:
    void deleteItem(const SelectedLink &link);
    QString storeIdFor(const SelectedLink &link) const;

    OutlookSession &m_session;
    db::Connection &m_cnn;
    Prompts &m_prompts;
};

} // namespace quorvale
