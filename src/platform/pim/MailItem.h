#pragma once

#include "platform/pim/Item.h"
#include "platform/pim/MailMessage.h"

#include <QList>
#include <memory>

namespace quorvale::pim {

class MailTransport;
struct SendResult;

// A message: one file of a Maildir folder, read and written with GMime.
//
// The file is "cur/<base>:2,<flags>" (or "new/<base>" when no client has seen
// it yet). Another client may rename it when it changes the flags; the
// EntryID names only the base, so it stays the same and still finds the file.
// Headers and parts the program does not know are written back as they were.
class MailItem : public Item {
public:
    explicit MailItem(Folder folder);

    QString EntryID() const override;

    const QList<MailRecipient> &Recipients() const { return m_mail.recipients; }
    void setRecipients(const QList<MailRecipient> &recipients);
    void addRecipient(const QString &name, const QString &address,
                      RecipientType type = RecipientType::To);
    // Display names joined with "; ", as Outlook shows them. Setting one replaces
    // the recipients of that type with the addresses in the text.
    QString To() const { return recipientText(RecipientType::To); }
    void setTo(const QString &addresses) { setRecipientText(RecipientType::To, addresses); }
    QString CC() const { return recipientText(RecipientType::CC); }
    void setCC(const QString &addresses) { setRecipientText(RecipientType::CC, addresses); }
    QString BCC() const { return recipientText(RecipientType::BCC); }
    void setBCC(const QString &addresses) { setRecipientText(RecipientType::BCC, addresses); }

    QString SenderName() const { return m_mail.senderName; }
    QString SenderEmailAddress() const { return m_mail.senderEmailAddress; }
    void setSender(const QString &name, const QString &address);

    // The contacts the message belongs to, as a calendar item's Links: kept in
    // a private header, so they never leave with the message.
    const QList<ContactLink> &Links() const { return m_mail.contactLinks; }
    void setLinks(const QList<ContactLink> &links);

    QString HTMLBody() const { return m_mail.htmlBody; }
    void setHTMLBody(const QString &html);
    // Whether the message has left: every message that came from elsewhere,
    // one composed here once a transport took it. Until then its file's Date
    // is when it was last written and its From the composer's address (the
    // environment's when none was set), so that mail programs read it whole.
    bool Sent() const { return !m_mail.unsent; }
    // The Date header of a sent message; invalid until the message is sent.
    // Whole seconds. Setting a time marks the message sent, an invalid one unsent.
    QDateTime SentOn() const { return Sent() ? m_mail.sentOn : QDateTime(); }
    void setSentOn(const QDateTime &time);
    // An iCalendar object sent with the message (a task request), "" for none.
    QString Calendar() const { return m_mail.calendar; }
    void setCalendar(const QString &calendar);
    QDateTime ReceivedTime() const { return m_mail.receivedTime; }
    // Free text the program tags a message with to find it again.
    QString Mileage() const { return m_mail.mileage; }
    void setMileage(const QString &mileage);
    MailImportance Importance() const { return m_mail.importance; }
    void setImportance(MailImportance importance);
    // No S (seen) flag. A message the program makes is not unread.
    bool UnRead() const;
    void setUnRead(bool unread);
    QString MessageID() const { return m_mail.messageId; }
    // The folder that receives the message once sent; empty: the store's Sent Items.
    QString SaveSentMessageFolderID() const { return m_mail.sentFolderId; }
    void setSaveSentMessageFolder(const Folder &folder);
    void setSaveSentMessageFolderID(const QString &entryId);

    // Files the message in its store's Outbox and hands it to the transport (see
    // MailTransport::send). This item is then gone from its folder.
    SendResult Send(const MailTransport &transport);
    // Moves the message into another mail folder in one rename (an unsaved one
    // is written straight there) and returns it as read from there; this item
    // is then deleted.
    std::unique_ptr<MailItem> Move(const Folder &destination);
    // The message as a transport gets it: current content, private headers left out.
    QByteArray transmissionContent() const;

    // Why the file could not be read, after a failed read.
    const QString &parseError() const { return m_parseError; }

    QVariant property(const QString &name) const override;
    bool setProperty(const QString &name, const QVariant &value) override;

protected:
    QString newFileName() const override;
    bool parse(const QByteArray &content, ReadPurpose purpose) override;
    QByteArray serialize() override;
    void prepareNew() override;
    QString writeItemFile(const QString &fileName, const QByteArray &content) override;

private:
    QString recipientText(RecipientType type) const;
    void setRecipientText(RecipientType type, const QString &addresses);
    MailContent wanted() const;
    QByteArray compose() const;

    QByteArray m_original; // the file as read (empty for a new message)
    MailContent m_read;    // what was read from it
    MailContent m_mail;    // the message's own properties now (Item keeps the common ones)
    QString m_flags = QStringLiteral("S");
    QString m_parseError;
};

// The message in file (or base name) `fileName` of a mail folder; nullptr when
// there is none or it cannot be read.
std::unique_ptr<MailItem> readMailItem(const Folder &folder, const QString &fileName);

} // namespace quorvale::pim
