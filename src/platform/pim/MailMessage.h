#pragma once

#include "platform/pim/ContactLink.h"
#include "platform/pim/UserProperties.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvale::pim {

// Numbered as Outlook numbers a recipient's Type.
enum class RecipientType { To = 1, CC = 2, BCC = 3 };

struct MailRecipient {
    QString name;
    QString address;
    RecipientType type = RecipientType::To;

    // The name when there is one, else the address: what To, CC and BCC list.
    QString displayName() const { return name.isEmpty() ? address : name; }
    bool operator==(const MailRecipient &) const = default;
};

// Numbered as Outlook numbers Importance.
enum class MailImportance { Low = 0, Normal = 1, High = 2 };

// What the program knows of a message. Everything else in the file (headers
// and parts it does not know) is kept as it was when a message is written back.
struct MailContent {
    QString subject;
    QString body;     // text/plain, lines ending in "\n"
    QString htmlBody; // text/html, empty when there is none
    // text/calendar beside the text (an invitation or task request), lines
    // ending in "\n"; its METHOD becomes the part's method parameter.
    QString calendar;
    QList<MailRecipient> recipients;
    QString senderName;
    QString senderEmailAddress;
    QDateTime sentOn;       // Date:
    bool unsent = false;    // composed here and not sent yet (X-Quorvale-Unsent)
    QDateTime receivedTime; // the newest Received: header, else the Date:
    QDateTime creationTime;
    QStringList categories; // Keywords:
    QString mileage;
    MailImportance importance = MailImportance::Normal;
    QString messageId; // without the angle brackets
    QString sentFolderId;
    QList<ContactLink> contactLinks;
    UserProperties userProperties;
};

// Whether two contents would write the same message.
bool sameContent(const MailContent &a, const MailContent &b);
bool sameUserProperties(const UserProperties &a, const UserProperties &b);

// The headers the program keeps for itself. They never leave the computer:
// the copy handed to a mail transport goes without them.
namespace MailHeaders {
inline constexpr const char *PrivatePrefix = "X-Quorvale-";
inline constexpr const char *Mileage = "X-Quorvale-Mileage";
// One per user property: "type=TEXT; name=<word>; value=<word>", each word
// plain ASCII or RFC 2047 encoded words, so any name or value reads back exactly.
inline constexpr const char *Property = "X-Quorvale-Property";
inline constexpr const char *Created = "X-Quorvale-Created";
inline constexpr const char *SentFolder = "X-Quorvale-Sent-Folder";
// On a message composed here until it has been sent: its Date is then only
// when it was last written, not when it was sent.
inline constexpr const char *Unsent = "X-Quorvale-Unsent";
// One per contact the message is linked to: "name=<word>; entry=<word>;
// uid=<word>", words as in Property.
inline constexpr const char *Contact = "X-Quorvale-Contact";
} // namespace MailHeaders

struct MailParseResult {
    std::optional<MailContent> content;
    QString error; // why there is none
};

// Reads a message from memory only (no file access), so a fuzzer can drive it.
// Empty, binary or header-less input, or input cut off inside its headers, is
// refused with a reason rather than read as an empty message.
MailParseResult parseMail(const QByteArray &bytes);

// The message `original` (empty for a new one) with what changed between
// `before` (as parsed from it) and `wanted` written in; headers and parts the
// program does not know are kept.
QByteArray composeMail(const QByteArray &original, const MailContent &before,
                       const MailContent &wanted);

// The message as it goes to a transport: without the program's private headers.
QByteArray withoutPrivateHeaders(const QByteArray &message);

// Addresses as a person types them ("Ann <a@x.org>; b@y.org", commas or
// semicolons between them).
QList<MailRecipient> parseRecipients(const QString &text, RecipientType type);

// One mailbox as a person types it ("ann@example.org", "Ann Lee
// <ann@example.org>"), read by GMime's parser in its strict mode; nothing when
// the text is no single address with a local part and a domain.
std::optional<MailRecipient> parseMailbox(const QString &text);

// Who this user is to a mail program when nothing else says: $EMAIL when it
// holds an address, else <login name>@<host name>. Its text as $EMAIL had it,
// or the made-up address.
QString environmentMailAddress();

// A new Message-ID (without angle brackets) for a message made on this host.
QString newMessageId();

} // namespace quorvale::pim
