#include "platform/pim/OutboxSender.h"

#include "platform/core/QvError.h"
#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"

#include <QLoggingCategory>
#include <QProcess>

namespace quorvale::pim {

namespace {

Q_LOGGING_CATEGORY(lcOutbox, "quorvale.pim.outbox")

// How long a command still running when the program ends may take to finish.
constexpr int FinishOnExitMs = 10000;

QString messages(int count)
{
    return count == 1 ? QStringLiteral("1 message") : QStringLiteral("%1 messages").arg(count);
}

} // namespace

QString OutboxPass::text() const
{
    if (kept == 0)
        return sent == 0 ? QString()
                         : QStringLiteral("%1 waiting in the Outbox %2 sent.")
                               .arg(messages(sent),
                                    sent == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    QString text =
        QStringLiteral("Not sent: %1 kept in the Outbox. %2").arg(messages(kept), reason).trimmed();
    if (sent > 0)
        text +=
            QStringLiteral(" %1 %2 sent.")
                .arg(messages(sent), sent == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    return text;
}

OutboxSender::OutboxSender(TransportSource transport, OutboxSource outbox, QObject *parent)
    : QObject(parent), m_transportSource(std::move(transport)), m_outboxSource(std::move(outbox))
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        if (!m_process)
            return;
        m_timedOut = true;
        m_process->kill();
    });
}

OutboxSender::~OutboxSender()
{
    m_again = false;
    m_busy = false;
    m_queue.clear();
    if (!m_process)
        return;
    m_process->disconnect(this);
    if (m_process->state() != QProcess::NotRunning && !m_process->waitForFinished(FinishOnExitMs)) {
        m_timedOut = true;
        m_process->kill();
        m_process->waitForFinished();
    }
    finished();
}

void OutboxSender::flush()
{
    if (m_busy) {
        m_again = true;
        return;
    }
    // From the event loop: the caller goes on at once, whatever the pass finds.
    m_busy = true;
    QMetaObject::invokeMethod(this, &OutboxSender::startPass, Qt::QueuedConnection);
}

void OutboxSender::startPass()
{
    m_pass = OutboxPass();
    m_queue.clear();
    m_transport = m_transportSource ? m_transportSource() : MailTransport();
    try {
        m_outbox = m_outboxSource ? m_outboxSource() : std::nullopt;
        if (m_outbox)
            m_queue = Items(*m_outbox).fileNames();
    } catch (const QvError &error) {
        qCWarning(lcOutbox) << "the Outbox cannot be read:" << error.description();
        m_queue.clear();
    }
    // Every message would fail the same way: said once, for all of them.
    if (!m_queue.isEmpty() && (!m_transport.isConfigured() || !m_transport.programExists())) {
        m_pass.kept = static_cast<int>(m_queue.size());
        m_pass.reason = m_transport.isConfigured()
                            ? QStringLiteral("The mail command \"%1\" cannot be found.")
                                  .arg(m_transport.arguments().value(0))
                            : QStringLiteral("No mail command is set in the user options.");
        m_queue.clear();
    }
    sendNext();
}

void OutboxSender::sendNext()
{
    while (!m_queue.isEmpty()) {
        const QString name = m_queue.takeFirst();
        std::unique_ptr<MailItem> item;
        QByteArray content;
        try {
            // Gone since the pass began (sent from an editor, deleted): not ours.
            if (locateItemFile(*m_outbox, name).isEmpty())
                continue;
            item = readMailItem(*m_outbox, name);
            if (!item)
                m_pass.reason = QStringLiteral("\"%1\" is no readable message.").arg(name);
            else
                content = m_transport.prepare(*item);
        } catch (const QvError &error) {
            item.reset();
            m_pass.reason = error.description();
        }
        if (!item) {
            ++m_pass.kept;
            continue;
        }
        QStringList words = m_transport.arguments();
        m_current = std::move(item);
        m_timedOut = false;
        m_process = new QProcess(this);
        m_process->setProgram(words.takeFirst());
        m_process->setArguments(words);
        // Queued: a program that cannot be started may say so inside start().
        QProcess *process = m_process;
        connect(
            process, &QProcess::finished, this,
            [this, process] {
                if (process == m_process)
                    finished();
            },
            Qt::QueuedConnection);
        connect(
            process, &QProcess::errorOccurred, this,
            [this, process](QProcess::ProcessError error) {
                if (process == m_process && error == QProcess::FailedToStart)
                    finished();
            },
            Qt::QueuedConnection);
        m_process->start();
        m_process->write(content);
        m_process->closeWriteChannel();
        m_timeout.start(m_transport.timeoutMs());
        return;
    }
    endPass();
}

void OutboxSender::finished()
{
    if (!m_process)
        return;
    m_timeout.stop();
    QProcess *process = std::exchange(m_process, nullptr);
    process->disconnect(this);
    const std::optional<QString> failure = MailTransport::failureOf(*process, m_timedOut);
    process->deleteLater();
    const std::unique_ptr<MailItem> item = std::move(m_current);
    if (failure) {
        ++m_pass.kept;
        m_pass.reason = *failure;
        qCWarning(lcOutbox) << "not sent, kept in the Outbox:" << item->Subject() << *failure;
    } else {
        try {
            m_transport.fileSent(*item);
            ++m_pass.sent;
            qCInfo(lcOutbox) << "sent from the Outbox:" << item->Subject();
        } catch (const QvError &error) {
            // It went out: left in the Outbox it would go again.
            ++m_pass.kept;
            m_pass.reason =
                QStringLiteral("\"%1\" was sent but could not be moved to Sent Items: %2")
                    .arg(item->Subject(), error.description());
            qCWarning(lcOutbox) << m_pass.reason;
        }
    }
    if (m_busy)
        sendNext();
}

void OutboxSender::endPass()
{
    m_busy = false;
    if (m_pass.sent + m_pass.kept > 0) {
        if (m_pass.kept > 0)
            qCWarning(lcOutbox) << m_pass.text();
        Q_EMIT passed(m_pass);
    }
    if (std::exchange(m_again, false))
        flush();
}

} // namespace quorvale::pim
