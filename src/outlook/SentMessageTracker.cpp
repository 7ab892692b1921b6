#include "outlook/SentMessageTracker.h"

#include "platform/core/QvError.h"
#include "platform/pim/Items.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"

#include <QRandomGenerator>

namespace quorvale {

namespace {

bool holdsTag(const pim::Folder &folder, const QString &tag)
{
    return pim::Items(folder).Find(QStringLiteral("Mileage"), tag) != nullptr;
}

} // namespace

SentMessageTracker::SentMessageTracker(pim::MailItem &mail, pim::Folder sentFolder)
    : m_sent(std::move(sentFolder)),
      m_tag(QString::number(QRandomGenerator::global()->bounded(1, 500001))),
      m_since(QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch()))
{
    mail.setMileage(m_tag);
    mail.setSaveSentMessageFolder(m_sent);
}

std::unique_ptr<pim::MailItem> SentMessageTracker::findSent() const
{
    std::unique_ptr<pim::MailItem> found;
    try {
        pim::Items(m_sent).forEach([&](pim::Item &item) {
            auto *mail = dynamic_cast<pim::MailItem *>(&item);
            if (!mail || mail->Mileage() != m_tag || !mail->SentOn().isValid() ||
                mail->SentOn() < m_since)
                return true;
            found = pim::readMailItem(m_sent, mail->fileName());
            return !found;
        });
    } catch (const QvError &) {
        return nullptr;
    }
    if (found)
        found->setMileage(QString());
    return found;
}

bool SentMessageTracker::existsUnsent(pim::Namespace &ns) const
{
    try {
        return holdsTag(ns.GetDefaultFolder(pim::DefaultFolder::Outbox), m_tag) ||
               holdsTag(ns.GetDefaultFolder(pim::DefaultFolder::Drafts), m_tag) ||
               holdsTag(m_sent, m_tag);
    } catch (const QvError &) {
        return false;
    }
}

QString noLinkCreatedText()
{
    const QString br = QStringLiteral("\r\n");
    return QStringLiteral("Quorvale was not able to track the new message and create a link.  In "
                          "most cases, ") +
           br +
           QStringLiteral("this is due to the fact that your messages are not immediately saved "
                          "to the Sent Items ") +
           br +
           QStringLiteral("folder after you send the message.  For example, you may be working "
                          "offline and are ") +
           br +
           QStringLiteral("required to click on \"Send and Receive\" before new outgoing messages "
                          "are moved from ") +
           br + QStringLiteral("your Outbox to your Sent Items folder.") + br + br +
           QStringLiteral("In these circumstances, you may link the message to this TimeCard by "
                          "clicking on File, ") +
           br +
           QStringLiteral("then New, then Message, and selecting \"Select message(s) to link from "
                          "Outlook folder\" ") +
           br +
           QStringLiteral("as the message source.  Follow the instructions in the Outlook folder "
                          "that is displayed ") +
           br + QStringLiteral("to link the message to the TimeCard.");
}

} // namespace quorvale
