#pragma once

#include "platform/pim/Folder.h"
#include "platform/pim/MailTransport.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class QProcess;

namespace quorvale::pim {

class MailItem;

// What one pass over the Outbox did.
struct OutboxPass {
    int sent = 0;
    int kept = 0;   // still in the Outbox afterwards
    QString reason; // why (the last) one was kept
    // In plain words for the status bar; empty when nothing waited.
    QString text() const;
};

// Sends the messages waiting in the Outbox through the mail command, one after
// the other, while the event loop runs on: a command that hangs (a mail server
// out of reach) holds up neither the window nor the start. A message moves to
// Sent Items only once the command took it; one it refused, or one no command
// could be run for, stays in the Outbox for the next pass.
//
// The transport and the Outbox are asked for at the start of each pass, so a
// mail command changed in the options and a store opened again are used at
// once.
class OutboxSender : public QObject {
    Q_OBJECT

public:
    using TransportSource = std::function<MailTransport()>;
    // Nothing when the store cannot be reached.
    using OutboxSource = std::function<std::optional<Folder>()>;

    OutboxSender(TransportSource transport, OutboxSource outbox, QObject *parent = nullptr);
    // Lets a command that is running finish first (for a while), so that a
    // message it took is filed as sent rather than sent again next time.
    ~OutboxSender() override;
    OutboxSender(const OutboxSender &) = delete;
    OutboxSender &operator=(const OutboxSender &) = delete;

    // Starts a pass over the Outbox from the event loop; while one runs,
    // another follows it, so a message queued meanwhile is not left behind.
    void flush();
    // A pass is to come or running.
    bool isBusy() const { return m_busy; }

Q_SIGNALS:
    // After each pass that found messages waiting.
    void passed(const quorvale::pim::OutboxPass &pass);

private:
    void startPass();
    void sendNext();
    void finished();
    void endPass();

    TransportSource m_transportSource;
    OutboxSource m_outboxSource;
    MailTransport m_transport;
    std::optional<Folder> m_outbox;
    QStringList m_queue;
    std::unique_ptr<MailItem> m_current;
    QProcess *m_process = nullptr; // a child of this object while a command runs
    QTimer m_timeout;
    bool m_timedOut = false;
    bool m_busy = false;
    bool m_again = false;
    OutboxPass m_pass;
};

} // namespace quorvale::pim
