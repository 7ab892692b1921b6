#include "platform/pim/MailTransport.h"

#include "platform/core/QvError.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/PrivateFiles.h"
#include "platform/pim/Store.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QStandardPaths>

namespace quorvale::pim {

Q_LOGGING_CATEGORY(lcTransport, "quorvale.pim.mailtransport")

MailTransport::MailTransport(QString commandLine, int timeoutMs)
    : m_commandLine(std::move(commandLine)), m_timeoutMs(timeoutMs)
{
}

QStringList MailTransport::arguments() const
{
    return QProcess::splitCommand(m_commandLine);
}

bool MailTransport::programExists() const
{
    const QStringList words = arguments();
    if (words.isEmpty())
        return false;
    const QFileInfo program(words.front());
    if (words.front().contains(u'/'))
        return program.isFile() && program.isExecutable();
    return !QStandardPaths::findExecutable(words.front()).isEmpty();
}

MailRecipient MailTransport::sender() const
{
    if (!m_sender.address.isEmpty())
        return m_sender;
    return parseMailbox(environmentMailAddress()).value_or(MailRecipient{});
}

SendResult MailTransport::send(MailItem &item) const
{
    Store store = storeOf(item.parent());
    const Folder outbox = store.ensureDefaultFolder(DefaultFolder::Outbox);
    // Before it is written to the Outbox, which would give it the
    // environment's address.
    if (item.SenderEmailAddress().isEmpty()) {
        const MailRecipient me = sender();
        item.setSender(me.name, me.address);
    }
    std::unique_ptr<MailItem> queued = item.Move(outbox);
    return sendQueued(*queued);
}

QByteArray MailTransport::prepare(MailItem &queued) const
{
    if (queued.SenderEmailAddress().isEmpty()) {
        const MailRecipient me = sender();
        queued.setSender(me.name, me.address);
    }
    queued.setSentOn(QDateTime::currentDateTime());
    return queued.transmissionContent();
}

SendResult MailTransport::fileSent(MailItem &queued) const
{
    Store store = storeOf(queued.parent());
    std::optional<Folder> sent = store.findFolder(queued.SaveSentMessageFolderID());
    if (!sent || sent->defaultItemType() != ItemType::Mail)
        sent = store.ensureDefaultFolder(DefaultFolder::SentMail);
    queued.setSaveSentMessageFolderID(QString());
    queued.setUnRead(false);
    const std::unique_ptr<MailItem> filed = queued.Move(*sent);
    return SendResult{SendStatus::Sent, filed->EntryID(), filed->StoreID(), QString()};
}

SendResult MailTransport::sendQueued(MailItem &queued) const
{
    SendResult result{SendStatus::Queued, queued.EntryID(), queued.StoreID(), QString()};
    if (!isConfigured())
        return result;

    const QDateTime previous = queued.SentOn();
    if (const std::optional<QString> failure = deliver(prepare(queued))) {
        // Nothing went out: the queued file keeps what it had.
        queued.setSentOn(previous);
        qCWarning(lcTransport) << "sending failed, the message stays in the Outbox:" << *failure;
        result.status = SendStatus::Failed;
        result.error = *failure;
        return result;
    }
    return fileSent(queued);
}

std::optional<QString> MailTransport::deliver(const QByteArray &message) const
{
    QStringList words = arguments();
    if (words.isEmpty())
        return QStringLiteral("No mail command is configured.");
    QProcess process;
    process.setProgram(words.takeFirst());
    process.setArguments(words);
    process.start();
    if (!process.waitForStarted(m_timeoutMs))
        return failureOf(process, false);
    process.write(message);
    process.closeWriteChannel();
    bool timedOut = false;
    if (!process.waitForFinished(m_timeoutMs)) {
        timedOut = true;
        process.kill();
        process.waitForFinished();
    }
    return failureOf(process, timedOut);
}

std::optional<QString> MailTransport::failureOf(QProcess &process, bool timedOut)
{
    const QString program = process.program();
    if (process.error() == QProcess::FailedToStart) {
        const bool missing = program.contains(u'/')
                                 ? !QFileInfo(program).isFile()
                                 : QStandardPaths::findExecutable(program).isEmpty();
        return QStringLiteral("The mail command \"%1\" could not be started: %2")
            .arg(program,
                 missing ? QStringLiteral("there is no such program.") : process.errorString());
    }
    if (timedOut)
        return QStringLiteral("The mail command \"%1\" did not finish in time and was stopped.")
            .arg(program);
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("The mail command \"%1\" crashed. %2").arg(program, errors).trimmed();
    if (process.exitCode() != 0)
        return QStringLiteral("The mail command \"%1\" ended with code %2. %3")
            .arg(program)
            .arg(process.exitCode())
            .arg(errors)
            .trimmed();
    return std::nullopt;
}

} // namespace quorvale::pim
