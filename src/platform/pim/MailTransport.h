#pragma once

#include "platform/pim/Folder.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace quorvale::pim {

class MailItem;
class Store;

enum class SendStatus {
    Sent,   // the command took the message; it is in Sent Items
    Queued, // no command configured; it waits in the Outbox
    Failed, // the command refused it; it waits in the Outbox
};

struct SendResult {
    SendStatus status = SendStatus::Queued;
    // Where the message is now: in Sent Items when sent, else in the Outbox.
    QString entryId;
    QString storeId;
    // Failed: what the command wrote to stderr, or why it could not run.
    QString error;
};

// Sending through a sendmail-compatible command ("/usr/sbin/sendmail -t -oi"):
// the message goes to its standard input, exit code 0 means taken. Without a
// command, or when it fails, the message stays in the Outbox, which is the
// offline case the program expects: the caller learns which happened.
class MailTransport {
public:
    // No transport: messages are queued.
    MailTransport() = default;
    explicit MailTransport(QString commandLine, int timeoutMs = 120000);

    bool isConfigured() const { return !m_commandLine.trimmed().isEmpty(); }
    const QString &commandLine() const { return m_commandLine; }

    // Files the message in its store's Outbox (this item is then gone from its
    // folder) and hands it to the command; when taken, it moves to the folder
    // the message names for its sent copy (the store's Sent Items by default)
    // with SentOn set.
    SendResult send(MailItem &item) const;
    // Tries every message waiting in the Outbox again, in file order. Files that
    // are no readable message are left alone and reported as failed.
    QList<SendResult> flushOutbox(const Folder &outbox) const;

    // Runs the command with `message` on its standard input: nothing on
    // success, else why not.
    std::optional<QString> deliver(const QByteArray &message) const;

private:
    SendResult sendQueued(MailItem &queued, Store &store) const;

    QString m_commandLine;
    int m_timeoutMs = 120000;
};

} // namespace quorvale::pim
