#pragma once

#include "platform/pim/Folder.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace quorvale {

namespace pim {
class MailItem;
class Namespace;
} // namespace pim

// Finds a new message again once the person has sent it: the message carries
// a random number in its Mileage field, which its sent copy keeps. A copy
// tagged the same but sent before tracking began (a leftover of an earlier
// message that drew the same number) is no match.
class SentMessageTracker {
public:
    // Tags `mail` and names `sentFolder` as the folder its sent copy goes to.
    SentMessageTracker(pim::MailItem &mail, pim::Folder sentFolder);

    const QString &tag() const { return m_tag; }

    // The sent copy, read anew with its tag cleared (not yet saved); nullptr
    // when it is not there (yet). Unreadable folders count as not found.
    std::unique_ptr<pim::MailItem> findSent() const;
    // Whether a copy still waits unsent: in the Outbox (offline, or the
    // transport refused it), saved in Drafts, or left unsent in the sent
    // folder by an earlier version.
    bool existsUnsent(pim::Namespace &ns) const;

private:
    pim::Folder m_sent;
    QString m_tag;
    QDateTime m_since; // whole seconds, as a sent copy's date is kept
};

// Why a message could not be linked, as the person reads it ("No Link Created").
QString noLinkCreatedText();

} // namespace quorvale
