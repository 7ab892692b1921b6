#include "platform/pim/MailTransport.h"

#include "platform/core/QvError.h"
#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/PrivateFiles.h"
#include "platform/pim/Store.h"

#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>

namespace quorvale::pim {

Q_LOGGING_CATEGORY(lcTransport, "quorvale.pim.mailtransport")

namespace {

// A folder's directory sits directly in its store's root.
Store storeOf(const Folder &folder)
{
    return Store::open(QFileInfo(folder.path()).absolutePath());
}

} // namespace

MailTransport::MailTransport(QString commandLine, int timeoutMs)
    : m_commandLine(std::move(commandLine)), m_timeoutMs(timeoutMs)
{
}

SendResult MailTransport::send(MailItem &item) const
{
    Store store = storeOf(item.parent());
    const Folder outbox = store.ensureDefaultFolder(DefaultFolder::Outbox);
    std::unique_ptr<MailItem> queued = item.Move(outbox);
    return sendQueued(*queued, store);
}

QList<SendResult> MailTransport::flushOutbox(const Folder &outbox) const
{
    QList<SendResult> results;
    Store store = storeOf(outbox);
    for (const QString &name : Items(outbox).fileNames()) {
        std::unique_ptr<MailItem> queued = readMailItem(outbox, name);
        if (!queued) {
            results << SendResult{SendStatus::Failed, QString(), store.id(),
                                  QStringLiteral("\"%1\" is no readable message.").arg(name)};
            continue;
        }
        results << sendQueued(*queued, store);
    }
    return results;
}

SendResult MailTransport::sendQueued(MailItem &queued, Store &store) const
{
    SendResult result{SendStatus::Queued, queued.EntryID(), queued.StoreID(), QString()};
    if (!isConfigured())
        return result;

    const QDateTime previous = queued.SentOn();
    queued.setSentOn(QDateTime::currentDateTime());
    if (const std::optional<QString> failure = deliver(queued.transmissionContent())) {
        // Nothing went out: the queued file keeps what it had.
        queued.setSentOn(previous);
        qCWarning(lcTransport) << "sending failed, the message stays in the Outbox:" << *failure;
        result.status = SendStatus::Failed;
        result.error = *failure;
        return result;
    }
    std::optional<Folder> sent = store.findFolder(queued.SaveSentMessageFolderID());
    if (!sent || sent->defaultItemType() != ItemType::Mail)
        sent = store.ensureDefaultFolder(DefaultFolder::SentMail);
    queued.setSaveSentMessageFolderID(QString());
    queued.setUnRead(false);
    const std::unique_ptr<MailItem> filed = queued.Move(*sent);
    result.status = SendStatus::Sent;
    result.entryId = filed->EntryID();
    result.storeId = filed->StoreID();
    return result;
}

std::optional<QString> MailTransport::deliver(const QByteArray &message) const
{
    QStringList arguments = QProcess::splitCommand(m_commandLine);
    if (arguments.isEmpty())
        return QStringLiteral("No mail command is configured.");
    QProcess process;
    process.setProgram(arguments.takeFirst());
    process.setArguments(arguments);
    process.start();
    if (!process.waitForStarted(m_timeoutMs))
        return QStringLiteral("The mail command \"%1\" could not be started: %2")
            .arg(process.program(), process.errorString());
    process.write(message);
    process.closeWriteChannel();
    if (!process.waitForFinished(m_timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("The mail command \"%1\" did not finish.").arg(process.program());
    }
    const QString errors = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("The mail command \"%1\" crashed. %2")
            .arg(process.program(), errors)
            .trimmed();
    if (process.exitCode() != 0)
        return QStringLiteral("The mail command \"%1\" ended with code %2. %3")
            .arg(process.program())
            .arg(process.exitCode())
            .arg(errors)
            .trimmed();
    return std::nullopt;
}

} // namespace quorvale::pim
