#pragma once

#include "outlook/LinkList.h"
#include "outlook/TimeCardSnapshot.h"
#include "platform/pim/FolderCache.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace quorvale {

class OutlookSession;
namespace db {
class Command;
class Connection;
} // namespace db

// Builds a TimeCard's link lists: the link rows of one kind, each linked item
// read again from the store so the list shows it as it is now. Items that can
// no longer be read are left out; a note that is gone also loses its link row.
// Database failures throw QvError; a store that cannot be reached gives an empty
// list (the connection has reported 10321).
class LinkReader {
public:
    LinkReader(OutlookSession &session, db::Connection &cnnLink);
    ~LinkReader();
    LinkReader(const LinkReader &) = delete;
    LinkReader &operator=(const LinkReader &) = delete;

    // Reading the linked item files: `read` is handed to the runner, which may
    // run it on another thread (it touches only the files and the session's
    // folder cache) and returns false when the person cancelled it. Default:
    // on the calling thread, never cancelled.
    using ItemRead = std::function<void(const pim::ScanControl &)>;
    using ReadRunner = std::function<bool(const ItemRead &read)>;
    void setReadRunner(ReadRunner runner);

    // Any kind but the journal entry. A TimeCard not saved yet (no ID) has no
    // links: an empty list. Item files are read through the session's folder
    // cache. A cancelled read gives an empty list, changes nothing and sets
    // cancelled().
    LinkList ProcessLinks(LinkListKind kind, std::optional<qint64> timeCardId);
    bool cancelled() const { return m_cancelled; }

    // The journal entry with that EntryID as a one-row list; empty when it
    // cannot be found. Only reads: a TimeCard's entry that has gone is written
    // anew by the TimeCard session before the list is read.
    LinkList journalEntry(const QString &entryId);

    // The abbreviation of a charge code, at most 100 characters; empty when the
    // code is unknown.
    QString GetExpenseAbbreviation(qint64 expenseCodeId);
    QString GetProductAbbreviation(qint64 productCodeId);

private:
    LinkList readItems(LinkListKind kind, qint64 timeCardId);
    LinkList readDocuments(qint64 timeCardId);
    LinkList readCharges(LinkListKind kind, qint64 timeCardId);
    QString abbreviation(std::unique_ptr<db::Command> &command, const char *sql, qint64 id);

    OutlookSession &m_session;
    db::Connection &m_cnn;
    std::unique_ptr<db::Command> m_expenseAbbreviation;
    std::unique_ptr<db::Command> m_productAbbreviation;
    ReadRunner m_readRunner;
    bool m_cancelled = false;
};

} // namespace quorvale
