#include "platform/pim/MailMessage.h"

#include "platform/core/OutgoingText.h"
#include "platform/pim/GMimeSupport.h"

#include <QHash>
#include <QRegularExpression>
#include <QSysInfo>
#include <algorithm>

namespace quorvale::pim {

namespace {

using namespace gmime;

// Headers of which a message has at least one; a file with none of them is
// some other text that happens to start like a header.
constexpr const char *MessageHeaders[] = {"From",       "To",   "Cc",     "Subject",
                                          "Message-ID", "Date", "Sender", "MIME-Version"};

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

// A header field is one line whatever it holds; GMime encodes the rest.
QByteArray headerText(const QString &text)
{
    return utf8(outgoingText(text, ControlCharacters::DropOneLine));
}

QString normalizedLines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

// ---- dates --------------------------------------------------------------

QDateTime fromGDateTime(GDateTime *date)
{
    if (!date)
        return QDateTime();
    return QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date));
}

DateTime toGDateTime(const QDateTime &time)
{
    return DateTime(g_date_time_new_from_unix_local(time.toSecsSinceEpoch()));
}

QDateTime decodeDate(const QString &text)
{
    const DateTime date(g_mime_utils_header_decode_date(utf8(text).constData()));
    return fromGDateTime(date.get());
}

QString formatDate(const QDateTime &time)
{
    const DateTime date = toGDateTime(time);
    return takeString(g_mime_utils_header_format_date(date.get()));
}

// ---- headers --------------------------------------------------------------

GMimeHeaderList *headersOf(GMimeMessage *message)
{
    return g_mime_object_get_header_list(GMIME_OBJECT(message));
}

QString headerValue(GMimeMessage *message, const char *name)
{
    return fromUtf8(g_mime_object_get_header(GMIME_OBJECT(message), name));
}

void removeAll(GMimeMessage *message, const char *name)
{
    while (g_mime_object_remove_header(GMIME_OBJECT(message), name)) {
    }
}

void setOrRemove(GMimeMessage *message, const char *name, const QString &value)
{
    removeAll(message, name);
    if (!value.isEmpty())
        g_mime_object_append_header(GMIME_OBJECT(message), name, headerText(value).constData(),
                                    "utf-8");
}

// Appends a header whose value is written exactly as given (already folded
// ASCII), so that GMime neither re-encodes nor re-folds it.
void appendRawHeader(GMimeMessage *message, const char *name, const QByteArray &raw)
{
    GMimeHeaderList *list = headersOf(message);
    g_mime_header_list_append(list, name, "", nullptr);
    GMimeHeader *header =
        g_mime_header_list_get_header_at(list, g_mime_header_list_get_count(list) - 1);
    g_mime_header_set_raw_value(header, (" " + raw + "\n").constData());
}

// ---- user properties ----------------------------------------------------------

bool isPlainWord(const QString &text)
{
    if (text.isEmpty() || text.size() > 60 || text.startsWith(u' ') || text.endsWith(u' ') ||
        text.contains(QLatin1String("  ")) || text.contains(QLatin1String("=?")))
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e || c == u';')
            return false;
    }
    return true;
}

bool isCharacterStart(const QByteArray &bytes, qsizetype at)
{
    return at >= bytes.size() || (static_cast<uchar>(bytes[at]) & 0xC0) != 0x80;
}

// RFC 2047 encoded words of at most 75 characters, each holding whole
// characters. All but the last carry a multiple of three bytes: GMime joins
// adjacent words before decoding, and base64 padding inside would cut it short.
QByteArray encodeWords(const QString &text)
{
    const QByteArray bytes = utf8(text);
    QList<QByteArray> words;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype longest = std::min(start + 45, bytes.size());
        qsizetype end = longest;
        if (end < bytes.size()) {
            while (end > start + 1 && !(isCharacterStart(bytes, end) && (end - start) % 3 == 0))
                --end;
            if (end == start + 1) {
                end = longest;
                while (end > start + 1 && !isCharacterStart(bytes, end))
                    --end;
            }
        }
        words << "=?UTF-8?B?" + bytes.mid(start, end - start).toBase64() + "?=";
        start = end;
    }
    return words.join(' ');
}

QByteArray encodeWord(const QString &text)
{
    return isPlainWord(text) ? text.toLatin1() : encodeWords(text);
}

QString decodeWord(const QString &text)
{
    if (!text.contains(QLatin1String("=?")))
        return text;
    return takeString(g_mime_utils_header_decode_text(nullptr, utf8(text).constData()));
}

// Folds at the spaces between words so no line grows past 78 characters.
QByteArray fold(const QByteArray &value, int firstLineUsed)
{
    QByteArray out;
    int lineLength = firstLineUsed;
    for (const QByteArray &word : value.split(' ')) {
        if (!out.isEmpty()) {
            if (lineLength + 1 + word.size() > 78) {
                out += "\n ";
                lineLength = 1;
            } else {
                out += ' ';
                ++lineLength;
            }
        }
        out += word;
        lineLength += static_cast<int>(word.size());
    }
    return out;
}

QByteArray propertyHeader(const UserProperty &property)
{
    const QByteArray value =
        "type=" + UserPropertyNames::typeToText(property.type).toLatin1() +
        "; name=" + encodeWord(outgoingText(property.name, ControlCharacters::DropOneLine)) +
        "; value=" +
        encodeWord(outgoingText(UserPropertyNames::valueToText(property),
                                ControlCharacters::DropKeepLines));
    return fold(value, static_cast<int>(qstrlen(MailHeaders::Property)) + 2);
}

// The "key=<word>" pairs of a private header, keys in lower case.
QHash<QString, QString> headerWords(const char *raw)
{
    const QString text = takeString(g_mime_utils_header_unfold(raw)).trimmed();
    QHash<QString, QString> words;
    for (const QString &part : text.split(u';')) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq >= 0)
            words.insert(part.left(eq).trimmed().toLower(), decodeWord(part.mid(eq + 1).trimmed()));
    }
    return words;
}

std::optional<UserProperty> parsePropertyHeader(const char *raw)
{
    const QHash<QString, QString> words = headerWords(raw);
    const QString type = words.value(QStringLiteral("type"));
    const std::optional<QString> name = words.contains(QStringLiteral("name"))
                                            ? std::optional(words.value(QStringLiteral("name")))
                                            : std::nullopt;
    const std::optional<QString> value = words.contains(QStringLiteral("value"))
                                             ? std::optional(words.value(QStringLiteral("value")))
                                             : std::nullopt;
    if (!name || name->isEmpty())
        return std::nullopt;
    const UserPropertyType t = UserPropertyNames::typeFromText(type);
    return UserProperty{*name, t, value ? UserPropertyNames::valueFromText(t, *value) : QVariant()};
}

QByteArray contactHeader(const ContactLink &link)
{
    QByteArray value =
        "name=" + encodeWord(outgoingText(link.name, ControlCharacters::DropOneLine));
    if (!link.entryId.isEmpty())
        value += "; entry=" + encodeWord(link.entryId);
    if (!link.uid.isEmpty())
        value += "; uid=" + encodeWord(link.uid);
    return fold(value, static_cast<int>(qstrlen(MailHeaders::Contact)) + 2);
}

std::optional<ContactLink> parseContactHeader(const char *raw)
{
    const QHash<QString, QString> words = headerWords(raw);
    ContactLink link{words.value(QStringLiteral("name")), words.value(QStringLiteral("entry")),
                     words.value(QStringLiteral("uid"))};
    if (link.name.isEmpty() && link.entryId.isEmpty() && link.uid.isEmpty())
        return std::nullopt;
    return link;
}

// ---- addresses ------------------------------------------------------------------

GMimeAddressType addressType(RecipientType type)
{
    switch (type) {
    case RecipientType::CC:
        return GMIME_ADDRESS_TYPE_CC;
    case RecipientType::BCC:
        return GMIME_ADDRESS_TYPE_BCC;
    case RecipientType::To:
        break;
    }
    return GMIME_ADDRESS_TYPE_TO;
}

void collectMailboxes(InternetAddressList *list, RecipientType type, QList<MailRecipient> &out)
{
    const int count = list ? internet_address_list_length(list) : 0;
    for (int i = 0; i < count; ++i) {
        InternetAddress *address = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(address)) {
            collectMailboxes(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(address)),
                             type, out);
        } else if (INTERNET_ADDRESS_IS_MAILBOX(address)) {
            out << MailRecipient{
                fromUtf8(internet_address_get_name(address)),
                fromUtf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address))),
                type};
        }
    }
}

void setMailboxes(GMimeMessage *message, GMimeAddressType type,
                  const QList<MailRecipient> &mailboxes)
{
    InternetAddressList *list = g_mime_message_get_addresses(message, type);
    internet_address_list_clear(list);
    for (const MailRecipient &r : mailboxes) {
        if (r.address.isEmpty() && r.name.isEmpty())
            continue;
        Ref<InternetAddress> address = adopt(internet_address_mailbox_new(
            r.name.isEmpty() ? nullptr : headerText(r.name).constData(),
            headerText(r.address).constData()));
        internet_address_set_charset(address.get(), "utf-8");
        internet_address_list_add(list, address.get());
    }
    if (mailboxes.isEmpty())
        removeAll(message, type == GMIME_ADDRESS_TYPE_FROM  ? "From"
                           : type == GMIME_ADDRESS_TYPE_CC  ? "Cc"
                           : type == GMIME_ADDRESS_TYPE_BCC ? "Bcc"
                                                            : "To");
}

QList<MailRecipient> ofType(const QList<MailRecipient> &all, RecipientType type)
{
    QList<MailRecipient> out;
    for (const MailRecipient &r : all) {
        if (r.type == type)
            out << r;
    }
    return out;
}

// ---- body parts -------------------------------------------------------------------

struct TextPart {
    GMimeTextPart *part = nullptr;
    GMimeMultipart *parent = nullptr; // null: the message's own part
};

bool isType(GMimeObject *object, const char *type, const char *subtype)
{
    GMimeContentType *ct = g_mime_object_get_content_type(object);
    return ct && g_mime_content_type_is_type(ct, type, subtype);
}

// The first inline text part of that subtype, not looking into attached messages.
TextPart findText(GMimeObject *object, GMimeMultipart *parent, const char *subtype)
{
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart *multipart = GMIME_MULTIPART(object);
        for (int i = 0; i < g_mime_multipart_get_count(multipart); ++i) {
            const TextPart found =
                findText(g_mime_multipart_get_part(multipart, i), multipart, subtype);
            if (found.part)
                return found;
        }
        return {};
    }
    if (GMIME_IS_TEXT_PART(object) && isType(object, "text", subtype) &&
        !g_mime_part_is_attachment(GMIME_PART(object)))
        return {GMIME_TEXT_PART(object), parent};
    return {};
}

QString textOf(GMimeTextPart *part)
{
    return part ? normalizedLines(takeString(g_mime_text_part_get_text(part))) : QString();
}

void setText(GMimePart *part, const QString &text)
{
    const QByteArray bytes =
        utf8(normalizedLines(outgoingText(text, ControlCharacters::DropKeepLines)));
    Ref<GMimeStream> stream = adopt(
        g_mime_stream_mem_new_with_buffer(bytes.constData(), static_cast<size_t>(bytes.size())));
    Ref<GMimeDataWrapper> content =
        adopt(g_mime_data_wrapper_new_with_stream(stream.get(), GMIME_CONTENT_ENCODING_DEFAULT));
    g_mime_part_set_content(part, content.get());
    g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "charset", "utf-8");
    g_mime_part_set_content_encoding(
        part, g_mime_part_get_best_content_encoding(part, GMIME_ENCODING_CONSTRAINT_7BIT));
}

Ref<GMimeObject> newTextPart(const char *subtype, const QString &text)
{
    Ref<GMimeTextPart> part = adopt(g_mime_text_part_new_with_subtype(subtype));
    setText(GMIME_PART(part.get()), text);
    return Ref<GMimeObject>(GMIME_OBJECT(part.release()));
}

// Puts `replacement` where `current` is (inside `parent`, or as the message's part).
void replacePart(GMimeMessage *message, GMimeMultipart *parent, GMimeObject *current,
                 GMimeObject *replacement)
{
    if (!parent) {
        g_mime_message_set_mime_part(message, replacement);
        return;
    }
    const int index = g_mime_multipart_index_of(parent, current);
    const Ref<GMimeObject> old = adopt(g_mime_multipart_replace(parent, index, replacement));
}

Ref<GMimeObject> alternative(GMimeObject *plain, GMimeObject *html)
{
    Ref<GMimeMultipart> multipart = adopt(g_mime_multipart_new_with_subtype("alternative"));
    g_mime_multipart_add(multipart.get(), plain);
    g_mime_multipart_add(multipart.get(), html);
    return Ref<GMimeObject>(GMIME_OBJECT(multipart.release()));
}

// Gives the message a text/plain part when it has none, placed where a mail
// client looks for it.
TextPart addPlainPart(GMimeMessage *message)
{
    Ref<GMimeObject> plain = newTextPart("plain", QString());
    GMimeObject *top = g_mime_message_get_mime_part(message);
    if (!top) {
        g_mime_message_set_mime_part(message, plain.get());
    } else if (GMIME_IS_MULTIPART(top)) {
        GMimeMultipart *target = GMIME_MULTIPART(top);
        GMimeObject *first =
            g_mime_multipart_get_count(target) > 0 ? g_mime_multipart_get_part(target, 0) : nullptr;
        if (!isType(top, "multipart", "alternative") && first &&
            isType(first, "multipart", "alternative"))
            target = GMIME_MULTIPART(first);
        g_mime_multipart_insert(target, 0, plain.get());
    } else if (isType(top, "text", "html")) {
        const Ref<GMimeObject> keep = share(top);
        const Ref<GMimeObject> both = alternative(plain.get(), keep.get());
        g_mime_message_set_mime_part(message, both.get());
    } else {
        const Ref<GMimeObject> keep = share(top);
        Ref<GMimeMultipart> mixed = adopt(g_mime_multipart_new_with_subtype("mixed"));
        g_mime_multipart_add(mixed.get(), plain.get());
        g_mime_multipart_add(mixed.get(), keep.get());
        g_mime_message_set_mime_part(message, GMIME_OBJECT(mixed.get()));
    }
    return findText(g_mime_message_get_mime_part(message), nullptr, "plain");
}

void writeBodies(GMimeMessage *message, const MailContent &before, const MailContent &wanted)
{
    GMimeObject *top = g_mime_message_get_mime_part(message);
    TextPart plain = top ? findText(top, nullptr, "plain") : TextPart{};
    if (!plain.part && (!top || !wanted.body.isEmpty()))
        plain = addPlainPart(message);
    if (plain.part && wanted.body != before.body)
        setText(GMIME_PART(plain.part), wanted.body);

    if (wanted.htmlBody == before.htmlBody)
        return;
    const TextPart html = findText(g_mime_message_get_mime_part(message), nullptr, "html");
    if (html.part) {
        if (wanted.htmlBody.isEmpty() && html.parent &&
            isType(GMIME_OBJECT(html.parent), "multipart", "alternative"))
            g_mime_multipart_remove(html.parent, GMIME_OBJECT(html.part));
        else
            setText(GMIME_PART(html.part), wanted.htmlBody);
        return;
    }
    if (wanted.htmlBody.isEmpty())
        return;
    if (!plain.part)
        plain = addPlainPart(message);
    Ref<GMimeObject> htmlPart = newTextPart("html", wanted.htmlBody);
    if (plain.parent && isType(GMIME_OBJECT(plain.parent), "multipart", "alternative")) {
        g_mime_multipart_add(plain.parent, htmlPart.get());
        return;
    }
    const Ref<GMimeObject> keep = share(GMIME_OBJECT(plain.part));
    const Ref<GMimeObject> both = alternative(keep.get(), htmlPart.get());
    replacePart(message, plain.parent, keep.get(), both.get());
}

// The METHOD of a calendar ("REQUEST"), for the part's method parameter.
QString calendarMethod(const QString &calendar)
{
    static const QRegularExpression method(QStringLiteral("^METHOD:([A-Za-z-]+)\\s*$"),
                                           QRegularExpression::MultilineOption |
                                               QRegularExpression::CaseInsensitiveOption);
    return method.match(calendar).captured(1).toUpper();
}

void setCalendarText(GMimePart *part, const QString &calendar)
{
    setText(part, calendar);
    const QString method = calendarMethod(calendar);
    if (method.isEmpty())
        g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "method", nullptr);
    else
        g_mime_object_set_content_type_parameter(GMIME_OBJECT(part), "method",
                                                 method.toLatin1().constData());
}

// The calendar goes beside the text as another form of the same message, as
// mail programs expect an invitation: multipart/alternative.
void writeCalendar(GMimeMessage *message, const MailContent &before, const MailContent &wanted)
{
    if (wanted.calendar == before.calendar)
        return;
    const TextPart existing = findText(g_mime_message_get_mime_part(message), nullptr, "calendar");
    if (existing.part) {
        if (!wanted.calendar.isEmpty())
            setCalendarText(GMIME_PART(existing.part), wanted.calendar);
        else if (existing.parent)
            g_mime_multipart_remove(existing.parent, GMIME_OBJECT(existing.part));
        else
            g_mime_message_set_mime_part(message, newTextPart("plain", wanted.body).get());
        return;
    }
    if (wanted.calendar.isEmpty())
        return;
    TextPart plain = findText(g_mime_message_get_mime_part(message), nullptr, "plain");
    if (!plain.part)
        plain = addPlainPart(message);
    Ref<GMimeTextPart> calendar = adopt(g_mime_text_part_new_with_subtype("calendar"));
    setCalendarText(GMIME_PART(calendar.get()), wanted.calendar);
    GMimeObject *part = GMIME_OBJECT(calendar.get());
    if (plain.parent && isType(GMIME_OBJECT(plain.parent), "multipart", "alternative")) {
        g_mime_multipart_add(plain.parent, part);
        return;
    }
    const Ref<GMimeObject> keep = share(GMIME_OBJECT(plain.part));
    const Ref<GMimeObject> both = alternative(keep.get(), part);
    replacePart(message, plain.parent, keep.get(), both.get());
}

// ---- reading --------------------------------------------------------------------

bool startsWithHeaderField(const QByteArray &bytes)
{
    static const QRegularExpression field(QStringLiteral("^[!-9;-~]+[ \\t]*:"));
    const qsizetype eol = bytes.indexOf('\n');
    return field.match(QString::fromLatin1(bytes.left(eol < 0 ? bytes.size() : eol))).hasMatch();
}

qsizetype headerBlockEnd(const QByteArray &bytes)
{
    const qsizetype lf = bytes.indexOf("\n\n");
    const qsizetype crlf = bytes.indexOf("\r\n\r\n");
    if (lf < 0)
        return crlf;
    return crlf < 0 ? lf : std::min(lf, crlf);
}

QDateTime newestReceived(GMimeMessage *message)
{
    GMimeHeaderList *list = headersOf(message);
    for (int i = 0; i < g_mime_header_list_get_count(list); ++i) {
        GMimeHeader *header = g_mime_header_list_get_header_at(list, i);
        if (g_ascii_strcasecmp(g_mime_header_get_name(header), "Received") != 0)
            continue;
        const QString value = fromUtf8(g_mime_header_get_value(header));
        const qsizetype semicolon = value.lastIndexOf(u';');
        if (semicolon >= 0)
            return decodeDate(value.mid(semicolon + 1));
    }
    return QDateTime();
}

MailImportance readImportance(GMimeMessage *message)
{
    const QString importance = headerValue(message, "Importance").trimmed().toLower();
    if (importance == QLatin1String("high"))
        return MailImportance::High;
    if (importance == QLatin1String("low"))
        return MailImportance::Low;
    if (!importance.isEmpty())
        return MailImportance::Normal;
    const QString priority = headerValue(message, "X-Priority").trimmed();
    if (priority.startsWith(u'1') || priority.startsWith(u'2'))
        return MailImportance::High;
    if (priority.startsWith(u'4') || priority.startsWith(u'5'))
        return MailImportance::Low;
    return MailImportance::Normal;
}

MailContent readContent(GMimeMessage *message)
{
    MailContent c;
    c.subject = fromUtf8(g_mime_message_get_subject(message));
    QList<MailRecipient> from;
    collectMailboxes(g_mime_message_get_from(message), RecipientType::To, from);
    if (!from.isEmpty()) {
        c.senderName = from.front().name;
        c.senderEmailAddress = from.front().address;
    }
    collectMailboxes(g_mime_message_get_to(message), RecipientType::To, c.recipients);
    collectMailboxes(g_mime_message_get_cc(message), RecipientType::CC, c.recipients);
    collectMailboxes(g_mime_message_get_bcc(message), RecipientType::BCC, c.recipients);
    c.sentOn = fromGDateTime(g_mime_message_get_date(message));
    c.receivedTime = newestReceived(message);
    if (!c.receivedTime.isValid())
        c.receivedTime = c.sentOn;
    const QString created = headerValue(message, MailHeaders::Created);
    if (!created.isEmpty())
        c.creationTime = decodeDate(created);
    c.mileage = headerValue(message, MailHeaders::Mileage);
    c.importance = readImportance(message);
    c.messageId = fromUtf8(g_mime_message_get_message_id(message));
    c.sentFolderId = headerValue(message, MailHeaders::SentFolder).trimmed();
    c.unsent = g_mime_header_list_contains(headersOf(message), MailHeaders::Unsent);

    GMimeHeaderList *list = headersOf(message);
    for (int i = 0; i < g_mime_header_list_get_count(list); ++i) {
        GMimeHeader *header = g_mime_header_list_get_header_at(list, i);
        const char *name = g_mime_header_get_name(header);
        if (g_ascii_strcasecmp(name, "Keywords") == 0) {
            for (const QString &keyword : fromUtf8(g_mime_header_get_value(header)).split(u',')) {
                const QString trimmed = keyword.trimmed();
                if (!trimmed.isEmpty() && !c.categories.contains(trimmed))
                    c.categories << trimmed;
            }
        } else if (g_ascii_strcasecmp(name, MailHeaders::Property) == 0) {
            if (const auto p = parsePropertyHeader(g_mime_header_get_raw_value(header)))
                c.userProperties.Add(p->name, p->type).value = p->value;
        } else if (g_ascii_strcasecmp(name, MailHeaders::Contact) == 0) {
            if (const auto link = parseContactHeader(g_mime_header_get_raw_value(header)))
                c.contactLinks << *link;
        }
    }

    if (GMimeObject *top = g_mime_message_get_mime_part(message)) {
        c.body = textOf(findText(top, nullptr, "plain").part);
        c.htmlBody = textOf(findText(top, nullptr, "html").part);
        c.calendar = textOf(findText(top, nullptr, "calendar").part);
    }
    return c;
}

} // namespace

MailParseResult parseMail(const QByteArray &bytes)
{
    if (bytes.trimmed().isEmpty())
        return {std::nullopt, QStringLiteral("the file is empty")};
    const qsizetype end = headerBlockEnd(bytes);
    const QByteArray head = end < 0 ? bytes : bytes.left(end);
    if (head.contains('\0'))
        return {std::nullopt, QStringLiteral("the file holds binary data, not a message")};
    if (!startsWithHeaderField(bytes))
        return {std::nullopt, QStringLiteral("the file does not start with a message header")};
    if (end < 0 && !bytes.endsWith('\n'))
        return {std::nullopt, QStringLiteral("the message is cut off inside its headers")};
    const Ref<GMimeMessage> message = parseMessage(bytes);
    if (!message)
        return {std::nullopt, QStringLiteral("no message could be read from the file")};
    const bool known =
        std::any_of(std::begin(MessageHeaders), std::end(MessageHeaders), [&](const char *name) {
            return g_mime_header_list_contains(headersOf(message.get()), name);
        });
    if (!known)
        return {std::nullopt, QStringLiteral("the file has none of the headers of a message")};
    return {readContent(message.get()), QString()};
}

QByteArray composeMail(const QByteArray &original, const MailContent &before,
                       const MailContent &wanted)
{
    ensureInitialized();
    Ref<GMimeMessage> message = original.isEmpty() ? Ref<GMimeMessage>() : parseMessage(original);
    const MailContent none;
    const MailContent &was = message ? before : none;
    if (!message)
        message = adopt(g_mime_message_new(TRUE));
    GMimeMessage *m = message.get();

    if (wanted.subject != was.subject) {
        if (wanted.subject.isEmpty())
            removeAll(m, "Subject");
        else
            g_mime_message_set_subject(m, headerText(wanted.subject).constData(), "utf-8");
    }
    if (wanted.senderName != was.senderName ||
        wanted.senderEmailAddress != was.senderEmailAddress) {
        QList<MailRecipient> from;
        if (!wanted.senderEmailAddress.isEmpty() || !wanted.senderName.isEmpty())
            from << MailRecipient{wanted.senderName, wanted.senderEmailAddress, RecipientType::To};
        setMailboxes(m, GMIME_ADDRESS_TYPE_FROM, from);
    }
    for (const RecipientType type : {RecipientType::To, RecipientType::CC, RecipientType::BCC}) {
        const QList<MailRecipient> now = ofType(wanted.recipients, type);
        if (now != ofType(was.recipients, type))
            setMailboxes(m, addressType(type), now);
    }
    if (wanted.sentOn != was.sentOn) {
        if (wanted.sentOn.isValid())
            g_mime_message_set_date(m, toGDateTime(wanted.sentOn).get());
        else
            removeAll(m, "Date");
    }
    if (wanted.creationTime != was.creationTime)
        setOrRemove(m, MailHeaders::Created,
                    wanted.creationTime.isValid() ? formatDate(wanted.creationTime) : QString());
    if (wanted.categories != was.categories)
        setOrRemove(m, "Keywords", wanted.categories.join(QStringLiteral(", ")));
    if (wanted.mileage != was.mileage)
        setOrRemove(m, MailHeaders::Mileage, wanted.mileage);
    if (wanted.importance != was.importance) {
        removeAll(m, "X-Priority");
        setOrRemove(m, "Importance",
                    wanted.importance == MailImportance::High  ? QStringLiteral("high")
                    : wanted.importance == MailImportance::Low ? QStringLiteral("low")
                                                               : QString());
        if (wanted.importance != MailImportance::Normal)
            g_mime_object_append_header(
                GMIME_OBJECT(m), "X-Priority",
                wanted.importance == MailImportance::High ? "1 (Highest)" : "5 (Lowest)", nullptr);
    }
    if (wanted.messageId != was.messageId && !wanted.messageId.isEmpty())
        g_mime_message_set_message_id(m, headerText(wanted.messageId).constData());
    if (wanted.sentFolderId != was.sentFolderId)
        setOrRemove(m, MailHeaders::SentFolder, wanted.sentFolderId);
    if (wanted.unsent != was.unsent)
        setOrRemove(m, MailHeaders::Unsent, wanted.unsent ? QStringLiteral("yes") : QString());
    if (wanted.contactLinks != was.contactLinks) {
        removeAll(m, MailHeaders::Contact);
        for (const ContactLink &link : wanted.contactLinks)
            appendRawHeader(m, MailHeaders::Contact, contactHeader(link));
    }
    if (!sameUserProperties(wanted.userProperties, was.userProperties)) {
        removeAll(m, MailHeaders::Property);
        for (const UserProperty &p : wanted.userProperties.all())
            appendRawHeader(m, MailHeaders::Property, propertyHeader(p));
    }
    writeBodies(m, was, wanted);
    writeCalendar(m, was, wanted);
    return toBytes(GMIME_OBJECT(m));
}

bool sameUserProperties(const UserProperties &a, const UserProperties &b)
{
    return std::equal(a.all().begin(), a.all().end(), b.all().begin(), b.all().end(),
                      [](const UserProperty &x, const UserProperty &y) {
                          return x.name == y.name && x.type == y.type && x.value == y.value;
                      });
}

bool sameContent(const MailContent &a, const MailContent &b)
{
    return a.subject == b.subject && a.body == b.body && a.htmlBody == b.htmlBody &&
           a.calendar == b.calendar && a.unsent == b.unsent && a.recipients == b.recipients &&
           a.senderName == b.senderName && a.senderEmailAddress == b.senderEmailAddress &&
           a.sentOn == b.sentOn && a.receivedTime == b.receivedTime &&
           a.creationTime == b.creationTime && a.categories == b.categories &&
           a.mileage == b.mileage && a.importance == b.importance && a.messageId == b.messageId &&
           a.sentFolderId == b.sentFolderId && a.contactLinks == b.contactLinks &&
           sameUserProperties(a.userProperties, b.userProperties);
}

QByteArray withoutPrivateHeaders(const QByteArray &message)
{
    const Ref<GMimeMessage> parsed = parseMessage(message);
    if (!parsed)
        return message;
    GMimeHeaderList *list = headersOf(parsed.get());
    const qsizetype prefixLength = static_cast<qsizetype>(qstrlen(MailHeaders::PrivatePrefix));
    for (int i = g_mime_header_list_get_count(list) - 1; i >= 0; --i) {
        const char *name = g_mime_header_get_name(g_mime_header_list_get_header_at(list, i));
        if (g_ascii_strncasecmp(name, MailHeaders::PrivatePrefix,
                                static_cast<gsize>(prefixLength)) == 0)
            g_mime_header_list_remove_at(list, i);
    }
    return toBytes(GMIME_OBJECT(parsed.get()));
}

QList<MailRecipient> parseRecipients(const QString &text, RecipientType type)
{
    ensureInitialized();
    // Outlook separates addresses with ";": outside quotes that becomes ",".
    QString normalized;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == u'"')
            quoted = !quoted;
        normalized += (!quoted && c == u';') ? QChar(u',') : c;
    }
    QList<MailRecipient> out;
    const Ref<InternetAddressList> list =
        adopt(internet_address_list_parse(nullptr, utf8(normalized).constData()));
    collectMailboxes(list.get(), type, out);
    return out;
}

std::optional<MailRecipient> parseMailbox(const QString &text)
{
    ensureInitialized();
    // The default mode makes an address of almost anything ("foo" is a
    // mailbox to it); the strict one reads what a mail server would take.
    const std::unique_ptr<GMimeParserOptions, void (*)(GMimeParserOptions *)> options(
        g_mime_parser_options_new(), g_mime_parser_options_free);
    g_mime_parser_options_set_address_compliance_mode(options.get(), GMIME_RFC_COMPLIANCE_STRICT);
    const Ref<InternetAddressList> list =
        adopt(internet_address_list_parse(options.get(), utf8(text.trimmed()).constData()));
    if (!list || internet_address_list_length(list.get()) != 1 ||
        !INTERNET_ADDRESS_IS_MAILBOX(internet_address_list_get_address(list.get(), 0)))
        return std::nullopt;
    QList<MailRecipient> found;
    collectMailboxes(list.get(), RecipientType::To, found);
    const QString &address = found.front().address;
    const qsizetype at = address.lastIndexOf(u'@');
    if (at <= 0 || at == address.size() - 1)
        return std::nullopt;
    return found.front();
}

QString environmentMailAddress()
{
    const QString configured = qEnvironmentVariable("EMAIL").trimmed();
    if (parseMailbox(configured))
        return configured;
    // Characters an address cannot hold unquoted become "_" (name) or "-" (host).
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty())
        user = QStringLiteral("user");
    static const QRegularExpression notAtom(QStringLiteral("[^A-Za-z0-9!#$%&'*+/=?^_`{|}~.-]"));
    static const QRegularExpression notHost(QStringLiteral("[^A-Za-z0-9.-]"));
    user.replace(notAtom, QStringLiteral("_"));
    QString host = QSysInfo::machineHostName();
    host.replace(notHost, QStringLiteral("-"));
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    const QString address = user + u'@' + host;
    return parseMailbox(address) ? address : QStringLiteral("user@localhost");
}

QString newMessageId()
{
    ensureInitialized();
    QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    return takeString(g_mime_utils_generate_message_id(utf8(host).constData()));
}

} // namespace quorvale::pim
