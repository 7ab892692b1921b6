#include "platform/pim/MailItem.h"

#include "platform/core/QvError.h"
#include "platform/pim/ItemKinds.h"
#include "platform/pim/MailTransport.h"
#include "platform/pim/MaildirNames.h"
#include "platform/pim/PrivateFiles.h"

#include <QLoggingCategory>

namespace quorvale::pim {

Q_LOGGING_CATEGORY(lcMail, "quorvale.pim.mail")

namespace {

bool is(const QString &name, const char *property)
{
    return name.compare(QLatin1String(property), Qt::CaseInsensitive) == 0;
}

QDateTime wholeSeconds(const QDateTime &time)
{
    return time.isValid() ? QDateTime::fromSecsSinceEpoch(time.toSecsSinceEpoch()) : QDateTime();
}

} // namespace

MailItem::MailItem(Folder folder) : Item(ItemType::Mail, std::move(folder))
{
    m_mail.unsent = true;
}

QString MailItem::EntryID() const
{
    if (fileName().isEmpty())
        return QString();
    return parent().entryId() + QLatin1Char('/') + maildir::baseName(fileName());
}

void MailItem::setRecipients(const QList<MailRecipient> &recipients)
{
    if (recipients != m_mail.recipients) {
        m_mail.recipients = recipients;
        markChanged();
    }
}

void MailItem::addRecipient(const QString &name, const QString &address, RecipientType type)
{
    m_mail.recipients << MailRecipient{name, address, type};
    markChanged();
}

QString MailItem::recipientText(RecipientType type) const
{
    QStringList names;
    for (const MailRecipient &r : m_mail.recipients) {
        if (r.type == type)
            names << r.displayName();
    }
    return names.join(QStringLiteral("; "));
}

void MailItem::setRecipientText(RecipientType type, const QString &addresses)
{
    QList<MailRecipient> list;
    for (const MailRecipient &r : m_mail.recipients) {
        if (r.type != type)
            list << r;
    }
    list << parseRecipients(addresses, type);
    setRecipients(list);
}

void MailItem::setSender(const QString &name, const QString &address)
{
    if (name != m_mail.senderName || address != m_mail.senderEmailAddress) {
        m_mail.senderName = name;
        m_mail.senderEmailAddress = address;
        markChanged();
    }
}

void MailItem::setHTMLBody(const QString &html)
{
    if (html != m_mail.htmlBody) {
        m_mail.htmlBody = html;
        markChanged();
    }
}

void MailItem::setSentOn(const QDateTime &time)
{
    if (!time.isValid()) {
        if (!m_mail.unsent) {
            m_mail.unsent = true;
            markChanged();
        }
        return;
    }
    // The Date header holds whole seconds: keep what reads back.
    const QDateTime seconds = wholeSeconds(time);
    if (seconds != m_mail.sentOn || m_mail.unsent) {
        m_mail.sentOn = seconds;
        m_mail.unsent = false;
        markChanged();
    }
}

void MailItem::setCalendar(const QString &calendar)
{
    QString lines = calendar;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (lines != m_mail.calendar) {
        m_mail.calendar = lines;
        markChanged();
    }
}

void MailItem::setLinks(const QList<ContactLink> &links)
{
    if (links != m_mail.contactLinks) {
        m_mail.contactLinks = links;
        markChanged();
    }
}

void MailItem::setMileage(const QString &mileage)
{
    if (mileage != m_mail.mileage) {
        m_mail.mileage = mileage;
        markChanged();
    }
}

void MailItem::setImportance(MailImportance importance)
{
    if (importance != m_mail.importance) {
        m_mail.importance = importance;
        markChanged();
    }
}

bool MailItem::UnRead() const
{
    return !m_flags.contains(maildir::Seen);
}

void MailItem::setUnRead(bool unread)
{
    const QString flags = maildir::withFlag(m_flags, maildir::Seen, !unread);
    if (flags != m_flags) {
        m_flags = flags;
        markChanged();
    }
}

void MailItem::setSaveSentMessageFolder(const Folder &folder)
{
    setSaveSentMessageFolderID(folder.entryId());
}

void MailItem::setSaveSentMessageFolderID(const QString &entryId)
{
    if (entryId != m_mail.sentFolderId) {
        m_mail.sentFolderId = entryId;
        markChanged();
    }
}

SendResult MailItem::Send(const MailTransport &transport)
{
    return transport.send(*this);
}

std::unique_ptr<MailItem> MailItem::Move(const Folder &destination)
{
    if (isDeleted())
        throw QvError(NotFoundError, QStringLiteral("The item has been deleted."),
                      QLatin1String(ErrorSource));
    if (destination.defaultItemType() != ItemType::Mail)
        throw QvError(
            ErrorNumber::InvalidCharacter,
            QStringLiteral("The folder \"%1\" cannot hold messages.").arg(destination.name()),
            QLatin1String(ErrorSource));
    if (destination.entryId() == parent().entryId()) {
        Save();
        return readMailItem(parent(), fileName());
    }
    QString target;
    if (fileName().isEmpty()) {
        // Never saved: written straight into the destination, so no copy is ever
        // left in this folder.
        if (!CreationTime().isValid())
            setCreationTime(QDateTime::currentDateTime());
        prepareNew();
        target = maildir::curName(maildir::uniqueBaseName(), m_flags);
        maildir::write(destination.path(), QString(), target, serialize());
    } else {
        if (!Saved())
            Save();
        const QString current = maildir::locate(parent().path(), fileName());
        if (current.isEmpty())
            throw QvError(NotFoundError,
                          QStringLiteral("The message %1 could not be found.").arg(EntryID()),
                          QLatin1String(ErrorSource));
        QString base = maildir::baseName(current);
        if (!maildir::locate(destination.path(), base).isEmpty())
            base = maildir::uniqueBaseName();
        target = maildir::curName(
            base, maildir::withFlag(maildir::flagsOf(current), maildir::Seen, !UnRead()));
        maildir::move(parent().path(), current, destination.path(), target);
    }
    Delete();
    std::unique_ptr<MailItem> moved = readMailItem(destination, target);
    if (!moved)
        throw QvError(NotFoundError,
                      QStringLiteral("The moved message could not be read again from \"%1\".")
                          .arg(destination.name()),
                      QLatin1String(ErrorSource));
    return moved;
}

QByteArray MailItem::transmissionContent() const
{
    return withoutPrivateHeaders(compose());
}

QVariant MailItem::property(const QString &name) const
{
    if (is(name, "To"))
        return To();
    if (is(name, "CC"))
        return CC();
    if (is(name, "BCC"))
        return BCC();
    if (is(name, "SenderName"))
        return SenderName();
    if (is(name, "SenderEmailAddress"))
        return SenderEmailAddress();
    if (is(name, "HTMLBody"))
        return HTMLBody();
    if (is(name, "SentOn"))
        return SentOn();
    if (is(name, "Sent"))
        return Sent();
    if (is(name, "ReceivedTime"))
        return ReceivedTime();
    if (is(name, "Mileage"))
        return Mileage();
    if (is(name, "Importance"))
        return static_cast<int>(Importance());
    if (is(name, "UnRead"))
        return UnRead();
    if (is(name, "MessageID"))
        return MessageID();
    return Item::property(name);
}

bool MailItem::setProperty(const QString &name, const QVariant &value)
{
    if (is(name, "To"))
        setTo(value.toString());
    else if (is(name, "CC"))
        setCC(value.toString());
    else if (is(name, "BCC"))
        setBCC(value.toString());
    else if (is(name, "HTMLBody"))
        setHTMLBody(value.toString());
    else if (is(name, "SentOn"))
        setSentOn(value.toDateTime());
    else if (is(name, "Mileage"))
        setMileage(value.toString());
    else if (is(name, "UnRead"))
        setUnRead(value.toBool());
    else if (is(name, "Importance")) {
        const int level = value.toInt();
        if (level >= int(MailImportance::Low) && level <= int(MailImportance::High))
            setImportance(static_cast<MailImportance>(level));
    } else if (is(name, "SenderName") || is(name, "SenderEmailAddress") ||
               is(name, "ReceivedTime") || is(name, "MessageID") || is(name, "Sent"))
        return false; // set by whoever sends or delivers the message
    else
        return Item::setProperty(name, value);
    return true;
}

QString MailItem::newFileName() const
{
    return maildir::curName(maildir::uniqueBaseName(), m_flags);
}

bool MailItem::parse(const QByteArray &content, ReadPurpose)
{
    MailParseResult result = parseMail(content);
    if (!result.content) {
        m_parseError = result.error;
        qCWarning(lcMail) << "cannot read message" << filePath() << ":" << result.error;
        return false;
    }
    m_parseError.clear();
    m_original = content;
    m_read = std::move(*result.content);
    m_mail = m_read;
    // Written by an earlier version that gave unsent messages neither a Date
    // nor a From: it was never sent, and gets both when written again.
    if (!m_read.sentOn.isValid() && m_read.senderEmailAddress.isEmpty())
        m_mail.unsent = true;
    loadSubject(m_read.subject);
    loadBody(m_read.body);
    loadCategories(m_read.categories);
    loadUserProperties() = m_read.userProperties;
    if (m_read.creationTime.isValid())
        setCreationTime(m_read.creationTime);
    m_flags = maildir::flagsOf(fileName());
    return true;
}

MailContent MailItem::wanted() const
{
    MailContent content = m_mail;
    content.subject = Subject();
    content.body = Body();
    content.categories = Categories();
    content.userProperties = userProperties();
    // A message from elsewhere keeps its headers: it gets no creation stamp.
    content.creationTime = m_original.isEmpty() || m_read.creationTime.isValid()
                               ? wholeSeconds(CreationTime())
                               : QDateTime();
    content.receivedTime = m_read.receivedTime;
    return content;
}

QByteArray MailItem::compose() const
{
    const MailContent now = wanted();
    if (!m_original.isEmpty() && sameContent(now, m_read))
        return m_original;
    return composeMail(m_original, m_read, now);
}

QByteArray MailItem::serialize()
{
    if (m_mail.unsent) {
        // A mail program refuses a message without an author or a date: an
        // unsent one is dated when it was last changed.
        if (m_mail.senderEmailAddress.isEmpty()) {
            if (const std::optional<MailRecipient> me = parseMailbox(environmentMailAddress())) {
                m_mail.senderName = me->name;
                m_mail.senderEmailAddress = me->address;
            }
        }
        if (!m_mail.sentOn.isValid() || m_original.isEmpty() || !sameContent(wanted(), m_read))
            m_mail.sentOn = wholeSeconds(QDateTime::currentDateTime());
    }
    return compose();
}

void MailItem::prepareNew()
{
    if (m_mail.messageId.isEmpty())
        m_mail.messageId = newMessageId();
}

QString MailItem::writeItemFile(const QString &fileName, const QByteArray &content)
{
    const QString current = maildir::locate(parent().path(), fileName);
    // Only S is ours: flags another client set since the file was read stay.
    if (!current.isEmpty())
        m_flags = maildir::withFlag(maildir::flagsOf(current), maildir::Seen, !UnRead());
    const QString target = maildir::curName(maildir::baseName(fileName), m_flags);
    maildir::write(parent().path(), current, target, content);
    m_original = content;
    m_read = wanted();
    return target;
}

std::unique_ptr<MailItem> readMailItem(const Folder &folder, const QString &fileName)
{
    std::unique_ptr<Item> item = readItem(folder, fileName);
    if (auto *mail = dynamic_cast<MailItem *>(item.get())) {
        item.release();
        return std::unique_ptr<MailItem>(mail);
    }
    return nullptr;
}

std::unique_ptr<Item> makeMailItem(const Folder &folder)
{
    return std::make_unique<MailItem>(folder);
}

QString locateMailFile(const Folder &folder, const QString &fileName)
{
    return maildir::locate(folder.path(), fileName);
}

} // namespace quorvale::pim
