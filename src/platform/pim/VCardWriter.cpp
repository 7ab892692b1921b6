#include "VCardWriter.h"

#include "platform/core/OutgoingText.h"

namespace quorvale::pim {

namespace {

constexpr qsizetype MaxLineOctets = 75;

// Names come from our own code or the reader; anything that would break the
// line structure becomes '-' rather than reach the file.
QString safeName(const QString &name)
{
    QString out = name;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (!((u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9') ||
              u == u'-' || u == u'_'))
            c = u'-';
    }
    return out;
}

// RFC 6868 caret encoding; a value with a separator in it is quoted.
QString parameterValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    bool quote = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'^')
            out += QLatin1String("^^");
        else if (c == u'"')
            out += QLatin1String("^'");
        else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < value.size() && value.at(i + 1) == u'\n')
                ++i;
            out += QLatin1String("^n");
        } else {
            quote = quote || c == u':' || c == u';' || c == u',';
            out += c;
        }
    }
    return quote ? u'"' + out + u'"' : out;
}

// A raw value cannot hold a line break: it would end the content line.
QString safeValue(const QString &raw)
{
    if (!raw.contains(u'\n') && !raw.contains(u'\r'))
        return raw;
    QString out = raw;
    out.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
    out.replace(u'\r', QLatin1String("\\n"));
    out.replace(u'\n', QLatin1String("\\n"));
    return out;
}

void appendFolded(QByteArray &out, const QByteArray &line)
{
    qsizetype pos = 0;
    qsizetype room = MaxLineOctets;
    for (;;) {
        qsizetype end = pos + room;
        if (end >= line.size()) {
            out += QByteArrayView(line).sliced(pos);
            out += "\r\n";
            return;
        }
        // Never start the next line inside a UTF-8 sequence.
        while (end > pos + 1 && (static_cast<unsigned char>(line.at(end)) & 0xC0) == 0x80)
            --end;
        out += QByteArrayView(line).sliced(pos, end - pos);
        out += "\r\n ";
        pos = end;
        room = MaxLineOctets - 1;
    }
}

QByteArray contentLine(const VCardProperty &property, VCard::Version version)
{
    QString line;
    if (!property.group.isEmpty())
        line += safeName(property.group) + u'.';
    line += safeName(property.name);
    for (const VCardParameter &parameter : property.parameters) {
        const QString name = safeName(parameter.name);
        line += u';' + name;
        if (parameter.values.isEmpty())
            continue;
        line += u'=';
        for (qsizetype i = 0; i < parameter.values.size(); ++i) {
            QString value = parameter.values.at(i);
            if (version != VCard::Version::V40 && name == QLatin1String("ENCODING") &&
                value.compare(QLatin1String("BASE64"), Qt::CaseInsensitive) == 0)
                value = QStringLiteral("b");
            if (i)
                line += u',';
            line += parameterValue(value);
        }
    }
    line += u':';
    line += safeValue(property.rawValue);
    // The line breaks are escaped by now: what control characters are left
    // would only reach a reader's terminal.
    return outgoingText(line, ControlCharacters::DropKeepLines).toUtf8();
}

} // namespace

QByteArray writeVCard(const VCard &card)
{
    const VCard::Version version =
        card.version == VCard::Version::V40 ? VCard::Version::V40 : VCard::Version::V30;
    QByteArray out;
    out.reserve(64 * (card.properties.size() + 3));
    out += "BEGIN:VCARD\r\nVERSION:";
    out += versionText(version).toLatin1();
    out += "\r\n";
    for (const VCardProperty &property : card.properties)
        appendFolded(out, contentLine(property, version));
    out += "END:VCARD\r\n";
    return out;
}

} // namespace quorvale::pim
