#include "VCardReader.h"

#include <QStringDecoder>
#include <vector>

namespace quorvale::pim {

namespace {

struct LogicalLine {
    QByteArray text;
    int number = 0;    // physical line it began on, from 1
    qsizetype end = 0; // offset just past its last physical line
};

// A 2.1 quoted-printable value breaks its lines with a trailing '=' and no
// leading blank on the next line.
bool continuesQuotedPrintable(const QByteArray &line)
{
    if (!line.endsWith('='))
        return false;
    const qsizetype colon = line.indexOf(':');
    return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

std::vector<LogicalLine> unfold(const QByteArray &data, qsizetype start)
{
    std::vector<LogicalLine> lines;
    qsizetype pos = start;
    int number = 0;
    while (pos < data.size()) {
        qsizetype end = data.indexOf('\n', pos);
        if (end < 0)
            end = data.size();
        QByteArray physical = data.mid(pos, end - pos);
        if (physical.endsWith('\r'))
            physical.chop(1);
        ++number;
        pos = end + 1;
        if (!lines.empty()) {
            LogicalLine &last = lines.back();
            if (!physical.isEmpty() && (physical.at(0) == ' ' || physical.at(0) == '\t')) {
                last.text += QByteArrayView(physical).sliced(1);
                last.end = qMin(pos, data.size());
                continue;
            }
            if (continuesQuotedPrintable(last.text)) {
                last.text.chop(1);
                last.text += physical;
                last.end = qMin(pos, data.size());
                continue;
            }
        }
        lines.push_back({physical, number, qMin(pos, data.size())});
    }
    return lines;
}

bool isBlank(const QByteArray &line)
{
    return line.trimmed().isEmpty();
}

bool isLine(const QByteArray &line, const char *what)
{
    return line.trimmed().compare(what, Qt::CaseInsensitive) == 0;
}

std::optional<QString> decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
        return (c | 0x20) - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(QByteArrayView in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in.at(i) == '=' && i + 2 < in.size()) {
            const int hi = hexValue(in.at(i + 1));
            const int lo = hexValue(in.at(i + 2));
            if (hi >= 0 && lo >= 0) {
                out += char(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        // A stray '=' is kept as it stands: losing it would change the text.
        out += in.at(i);
    }
    return out;
}

// RFC 6868: ^n, ^^ and ^' in parameter values.
QString decodeCaret(const QString &value)
{
    if (!value.contains(u'^'))
        return value;
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) == u'^' && i + 1 < value.size()) {
            const QChar next = value.at(i + 1);
            if (next == u'n' || next == u'N' || next == u'^' || next == u'\'') {
                out += next == u'^' ? u'^' : next == u'\'' ? u'"' : u'\n';
                ++i;
                continue;
            }
        }
        out += value.at(i);
    }
    return out;
}

bool isNameByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

class LineParser {
public:
    LineParser(const QByteArray &line, int number) : m_line(line), m_number(number) {}

    std::optional<VCardProperty> parse()
    {
        VCardProperty property;
        const qsizetype nameEnd = scanName();
        if (nameEnd < 0)
            return std::nullopt;
        const QByteArray fullName = m_line.left(nameEnd);
        const qsizetype dot = fullName.lastIndexOf('.');
        property.group = QString::fromLatin1(fullName.left(qMax<qsizetype>(dot, 0)));
        property.name = QString::fromLatin1(fullName.mid(dot + 1)).toUpper();
        if (property.name.isEmpty() || (dot >= 0 && property.group.isEmpty()))
            return fail(QStringLiteral("no property name"));
        m_pos = nameEnd;
        while (m_pos < m_line.size() && m_line.at(m_pos) == ';') {
            ++m_pos;
            if (!parseParameter(property))
                return std::nullopt;
        }
        if (m_pos >= m_line.size() || m_line.at(m_pos) != ':')
            return fail(QStringLiteral("no ':' after %1").arg(property.name));
        if (!decodeValue(property, QByteArrayView(m_line).sliced(m_pos + 1)))
            return std::nullopt;
        return property;
    }

    const QString &error() const { return m_error; }

private:
    std::nullopt_t fail(const QString &why)
    {
        m_error = QStringLiteral("line %1: %2").arg(m_number).arg(why);
        return std::nullopt;
    }

    qsizetype scanName()
    {
        qsizetype i = 0;
        while (i < m_line.size() && (isNameByte(m_line.at(i)) || m_line.at(i) == '.'))
            ++i;
        if (i == m_line.size() || (m_line.at(i) != ';' && m_line.at(i) != ':')) {
            fail(QStringLiteral("not a property line"));
            return -1;
        }
        return i;
    }

    bool parseParameter(VCardProperty &property)
    {
        const qsizetype start = m_pos;
        while (m_pos < m_line.size() && isNameByte(m_line.at(m_pos)))
            ++m_pos;
        const QString name = QString::fromLatin1(m_line.mid(start, m_pos - start)).toUpper();
        if (name.isEmpty()) {
            fail(QStringLiteral("empty parameter"));
            return false;
        }
        if (m_pos >= m_line.size() || m_line.at(m_pos) != '=') {
            // 2.1 names bare types and encodings: TEL;WORK;VOICE, ;QUOTED-PRINTABLE.
            static const QStringList encodings = {QStringLiteral("QUOTED-PRINTABLE"),
                                                  QStringLiteral("BASE64"), QStringLiteral("8BIT"),
                                                  QStringLiteral("7BIT")};
            property.parameters.append(
                {encodings.contains(name) ? QStringLiteral("ENCODING") : QStringLiteral("TYPE"),
                 {name}});
            return true;
        }
        ++m_pos;
        VCardParameter parameter{name, {}};
        for (;;) {
            std::optional<QString> value = parseParameterValue();
            if (!value)
                return false;
            parameter.values << decodeCaret(*value);
            if (m_pos < m_line.size() && m_line.at(m_pos) == ',') {
                ++m_pos;
                continue;
            }
            break;
        }
        property.parameters.append(parameter);
        return true;
    }

    std::optional<QString> parseParameterValue()
    {
        QByteArrayView bytes;
        if (m_pos < m_line.size() && m_line.at(m_pos) == '"') {
            const qsizetype close = m_line.indexOf('"', m_pos + 1);
            if (close < 0) {
                fail(QStringLiteral("a quoted parameter value is not closed"));
                return std::nullopt;
            }
            bytes = QByteArrayView(m_line).sliced(m_pos + 1, close - m_pos - 1);
            m_pos = close + 1;
        } else {
            const qsizetype start = m_pos;
            while (m_pos < m_line.size() && m_line.at(m_pos) != ',' && m_line.at(m_pos) != ';' &&
                   m_line.at(m_pos) != ':')
                ++m_pos;
            bytes = QByteArrayView(m_line).sliced(start, m_pos - start);
        }
        std::optional<QString> text = decodeUtf8(bytes);
        if (!text)
            fail(QStringLiteral("a parameter value is not valid UTF-8"));
        return text;
    }

    bool decodeValue(VCardProperty &property, QByteArrayView bytes)
    {
        QByteArray decoded;
        const QString encoding = property.parameter(QStringLiteral("ENCODING")).toLower();
        if (encoding == QLatin1String("quoted-printable")) {
            decoded = decodeQuotedPrintable(bytes);
            bytes = decoded;
            property.removeParameter(QStringLiteral("ENCODING"));
        }
        const QString charset = property.parameter(QStringLiteral("CHARSET"));
        if (!charset.isEmpty() && charset.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive)) {
            QStringDecoder decoder(charset.toLatin1().constData());
            if (!decoder.isValid()) {
                fail(QStringLiteral("unknown character set '%1'").arg(charset));
                return false;
            }
            property.rawValue = decoder.decode(bytes);
            if (decoder.hasError()) {
                fail(QStringLiteral("the value is not valid %1").arg(charset));
                return false;
            }
            property.removeParameter(QStringLiteral("CHARSET"));
            return true;
        }
        std::optional<QString> text = decodeUtf8(bytes);
        if (!text) {
            fail(QStringLiteral("the value of %1 is not valid UTF-8").arg(property.name));
            return false;
        }
        property.rawValue = *text;
        property.removeParameter(QStringLiteral("CHARSET"));
        return true;
    }

    const QByteArray &m_line;
    int m_number;
    qsizetype m_pos = 0;
    QString m_error;
};

VCardReadResult failure(const QString &error)
{
    VCardReadResult result;
    result.error = error;
    return result;
}

std::optional<VCard::Version> parseVersion(const QString &text)
{
    const QString v = text.trimmed();
    if (v == QLatin1String("2.1"))
        return VCard::Version::V21;
    if (v == QLatin1String("3.0"))
        return VCard::Version::V30;
    if (v == QLatin1String("4.0"))
        return VCard::Version::V40;
    return std::nullopt;
}

} // namespace

VCardReadResult readVCard(const QByteArray &data)
{
    if (isBlank(data))
        return failure(QStringLiteral("the file is empty"));
    if (data.contains('\0'))
        return failure(QStringLiteral("the file holds binary data, not vCard text"));
    const qsizetype start = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    const std::vector<LogicalLine> lines = unfold(data, start);

    size_t i = 0;
    while (i < lines.size() && isBlank(lines[i].text))
        ++i;
    if (i == lines.size() || !isLine(lines[i].text, "BEGIN:VCARD"))
        return failure(QStringLiteral("line %1: the file does not begin with BEGIN:VCARD")
                           .arg(i < lines.size() ? lines[i].number : 1));
    const int beginLine = lines[i].number;

    VCard card;
    bool haveVersion = false;
    bool haveUid = false;
    for (++i; i < lines.size(); ++i) {
        const LogicalLine &line = lines[i];
        if (isBlank(line.text))
            continue;
        const QByteArray upper = line.text.trimmed().toUpper();
        if (upper.startsWith("BEGIN:"))
            return failure(QStringLiteral("line %1: %2 inside the card begun at line %3 "
                                          "(END:VCARD missing?)")
                               .arg(line.number)
                               .arg(QString::fromLatin1(upper.left(40)))
                               .arg(beginLine));
        if (upper.startsWith("END:")) {
            if (upper != "END:VCARD")
                return failure(QStringLiteral("line %1: %2 does not close BEGIN:VCARD")
                                   .arg(line.number)
                                   .arg(QString::fromLatin1(upper.left(40))));
            break;
        }
        LineParser parser(line.text, line.number);
        std::optional<VCardProperty> property = parser.parse();
        if (!property)
            return failure(parser.error());
        if (property->name == QLatin1String("VERSION")) {
            const std::optional<VCard::Version> version = parseVersion(property->rawValue);
            if (!version)
                return failure(QStringLiteral("line %1: unknown vCard version '%2'")
                                   .arg(line.number)
                                   .arg(property->rawValue.left(20)));
            card.version = *version;
            haveVersion = true;
            continue;
        }
        if (property->name == QLatin1String("UID")) {
            if (haveUid)
                return failure(
                    QStringLiteral("line %1: the card has more than one UID").arg(line.number));
            haveUid = true;
        }
        card.properties.append(std::move(*property));
    }
    if (i == lines.size())
        return failure(QStringLiteral("the card begun at line %1 has no END:VCARD "
                                      "(the file is truncated)")
                           .arg(beginLine));
    if (!haveVersion)
        card.version = VCard::Version::V30;

    VCardReadResult result;
    result.card = std::move(card);
    for (size_t j = i + 1; j < lines.size(); ++j) {
        if (isLine(lines[j].text, "BEGIN:VCARD"))
            ++result.extraCards;
    }
    const QByteArray rest = data.mid(lines[i].end);
    if (!isBlank(rest))
        result.rest = rest;
    return result;
}

} // namespace quorvale::pim
