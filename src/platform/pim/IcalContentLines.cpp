#include "platform/pim/IcalContentLines.h"

#include <QList>
#include <libical/ical.h>

namespace quorvale::pim::icallines {

namespace {

QList<QByteArray> unfold(const QByteArray &text)
{
    QList<QByteArray> lines;
    for (QByteArray line : text.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty() && (line[0] == ' ' || line[0] == '\t') && !lines.isEmpty())
            lines.back() += line.mid(1);
        else if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

struct ContentLine {
    QByteArray name;
    QList<QByteArray> parameterNames;
    QByteArray value;
    bool valid = false;
};

// Splits at the first ':' outside a quoted parameter value.
ContentLine split(const QByteArray &line)
{
    ContentLine out;
    bool quoted = false;
    qsizetype start = 0;
    bool inName = true;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == ';' || c == ':')) {
            const QByteArray part = line.mid(start, i - start);
            if (inName)
                out.name = part.toUpper();
            else
                out.parameterNames << part.left(part.indexOf('=')).toUpper();
            inName = false;
            start = i + 1;
            if (c == ':') {
                out.value = line.mid(i + 1);
                out.valid = !out.name.isEmpty();
                return out;
            }
        }
    }
    return out;
}

// Extensions the program reads and writes itself go to libical; every other
// client's extension is carried as it is.
bool isOwnExtension(const QByteArray &name)
{
    return name.startsWith("X-QUORVALE-") || name.startsWith("X-MICROSOFT-CDO-") ||
           name.startsWith("X-LIC-");
}

bool libicalKeeps(const ContentLine &line)
{
    if (line.value.isEmpty())
        return false;
    if (line.name.startsWith("X-")) {
        if (!isOwnExtension(line.name))
            return false;
    } else if (icalproperty_string_to_kind(line.name.constData()) == ICAL_NO_PROPERTY) {
        return false;
    }
    for (const QByteArray &param : line.parameterNames) {
        if (!param.startsWith("X-") &&
            icalparameter_string_to_kind(param.constData()) == ICAL_NO_PARAMETER)
            return false;
    }
    return true;
}

bool isKnownComponent(const QByteArray &name)
{
    const icalcomponent_kind kind = icalcomponent_string_to_kind(name.trimmed().constData());
    return kind != ICAL_NO_COMPONENT && kind != ICAL_X_COMPONENT;
}

// libical refuses an X- property without a value, so a user property left
// empty travels through it with a marker and a stand-in value instead.
constexpr char EmptyMark[] = ";X-QUORVALE-EMPTY=TRUE:-";

bool isEmptyUserProperty(const ContentLine &line)
{
    return line.value.isEmpty() && line.name.startsWith("X-QUORVALE-") &&
           line.parameterNames.contains("X-QUORVALE-NAME");
}

QByteArray carrier(const QByteArray &line)
{
    return QByteArray(CarrierName) + ':' + line.toBase64();
}

void appendFolded(QByteArray &out, const QByteArray &line)
{
    constexpr qsizetype Limit = 75;
    qsizetype pos = 0;
    qsizetype width = Limit;
    while (line.size() - pos > width) {
        qsizetype cut = pos + width;
        // Never between the bytes of one UTF-8 character.
        while (cut > pos + 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        out += line.mid(pos, cut - pos);
        out += "\r\n ";
        pos = cut;
        width = Limit - 1;
    }
    out += line.mid(pos);
    out += "\r\n";
}

} // namespace

std::optional<QByteArray> shield(const QByteArray &raw)
{
    if (raw.contains('\0'))
        return std::nullopt;
    QByteArray out;
    out.reserve(raw.size() + raw.size() / 4);
    int opaqueDepth = 0;
    for (const QByteArray &line : unfold(raw)) {
        const ContentLine parsed = split(line);
        bool keep = parsed.valid;
        if (keep && opaqueDepth > 0) {
            if (parsed.name == "BEGIN")
                ++opaqueDepth;
            else if (parsed.name == "END")
                --opaqueDepth;
            keep = false;
        } else if (keep && parsed.name == "BEGIN") {
            if (!isKnownComponent(parsed.value)) {
                opaqueDepth = 1;
                keep = false;
            }
        } else if (keep && parsed.name != "END") {
            keep = libicalKeeps(parsed);
        }
        // A line without a colon is not content: left to libical to reject.
        // Folded again: libical's line reader looks for the end of the line
        // afresh for every 80-byte piece it takes, so one long line costs it
        // time in the square of its length.
        if (parsed.valid && opaqueDepth == 0 && isEmptyUserProperty(parsed))
            appendFolded(out, line.chopped(1) + EmptyMark);
        else
            appendFolded(out, (keep || !parsed.valid) ? line : carrier(line));
    }
    return out;
}

QByteArray unshield(const QByteArray &serialized)
{
    static const QByteArray prefix = QByteArray(CarrierName) + ':';
    QByteArray out;
    out.reserve(serialized.size());
    for (const QByteArray &line : unfold(serialized)) {
        if (line.startsWith(prefix))
            appendFolded(out, QByteArray::fromBase64(line.mid(prefix.size())));
        else if (line.endsWith(EmptyMark))
            appendFolded(out, line.chopped(qsizetype(sizeof EmptyMark) - 1) + ':');
        else
            appendFolded(out, line);
    }
    return out;
}

} // namespace quorvale::pim::icallines
