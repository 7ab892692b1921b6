#pragma once

#include "platform/pim/Folder.h"
#include "platform/pim/MailMessage.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class QProcess;

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

// Sending through a sendmail-compatible command ("/usr/sbin/sendmail -t -i"):
// the message goes to its standard input, exit code 0 means taken. The command
// line is split into the program and its arguments and run without a shell.
// Without a command, or when it fails, the message stays in the Outbox, which
// is the offline case the program expects: the caller learns which happened.
class MailTransport {
public:
    // No transport: messages are queued.
    MailTransport() = default;
    explicit MailTransport(QString commandLine, int timeoutMs = 120000);

    bool isConfigured() const { return !m_commandLine.trimmed().isEmpty(); }
    const QString &commandLine() const { return m_commandLine; }
    // The program and its arguments as the command line splits them.
    QStringList arguments() const;
    // Whether the command's program is there to run: an executable file when
    // the name has a path, else one on the PATH.
    bool programExists() const;
    int timeoutMs() const { return m_timeoutMs; }

    // Who a message without a From is sent as: the one set, else the address
    // the environment names (environmentMailAddress).
    MailRecipient sender() const;
    void setSender(const MailRecipient &sender) { m_sender = sender; }

    // Files the message in its store's Outbox (this item is then gone from its
    // folder) and hands it to the command; when taken, it moves to the folder
    // the message names for its sent copy (the store's Sent Items by default)
    // with SentOn set.
    SendResult send(MailItem &item) const;

    // Runs the command with `message` on its standard input: nothing on
    // success, else why not.
    std::optional<QString> deliver(const QByteArray &message) const;

    // The steps of sending one queued message, for a caller that runs the
    // command itself (OutboxSender sends what waits in the Outbox so). prepare() dates the message
    // now, gives it the sender when it has no From and returns what the command is handed; the item
    // is not written. fileSent() then moves it to its sent folder and says where it went; it throws
    // QvError when the move fails.
    QByteArray prepare(MailItem &queued) const;
    SendResult fileSent(MailItem &queued) const;
    // Why a finished command run failed, in words for the person; nothing when
    // it took the message. `timedOut`: it was ended for taking too long.
    static std::optional<QString> failureOf(QProcess &process, bool timedOut);

private:
    SendResult sendQueued(MailItem &queued) const;

    QString m_commandLine;
    int m_timeoutMs = 120000;
    MailRecipient m_sender;
};

} // namespace quorvale::pim
