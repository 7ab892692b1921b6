#include "qvadmin/ReportWriters.h"

#include "platform/core/OutgoingText.h"

#include <QDateTime>
#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <cstring>
#include <future>

namespace quorvale::admin {

namespace {

// UTF-8 written straight into the file's bytes: a report of several
// megabytes is not built as UTF-16 first and converted after.
class Utf8Text {
public:
    explicit Utf8Text(qsizetype expected) { m_bytes.resize(std::max<qsizetype>(expected, 256)); }

    Utf8Text &operator+=(QStringView text)
    {
        reserve(m_encoder.requiredSpace(text.size()));
        m_used = m_encoder.appendToBuffer(m_bytes.data() + m_used, text) - m_bytes.constData();
        return *this;
    }
    Utf8Text &operator+=(QLatin1StringView ascii)
    {
        reserve(ascii.size());
        std::memcpy(m_bytes.data() + m_used, ascii.data(), std::size_t(ascii.size()));
        m_used += ascii.size();
        return *this;
    }
    Utf8Text &operator+=(char16_t c) { return *this += QStringView(&c, 1); }
    void append(const QChar *text, qsizetype size) { *this += QStringView(text, size); }

    QByteArray take()
    {
        m_bytes.truncate(m_used);
        return std::move(m_bytes);
    }

private:
    void reserve(qsizetype extra)
    {
        if (m_used + extra > m_bytes.size())
            m_bytes.resize(std::max(m_bytes.size() * 2, m_used + extra));
    }

    QByteArray m_bytes;
    qsizetype m_used = 0;
    QStringEncoder m_encoder{QStringEncoder::Utf8};
};

// The characters that a CSV cell or an HTML page cannot take as they stand:
// controls, and what CSV quotes or HTML escapes. Looked up, not compared:
// every character of a report passes here.
constexpr std::array<bool, 256> SpecialCharacters = [] {
    std::array<bool, 256> special{};
    for (int u = 0; u < 256; ++u)
        special[std::size_t(u)] = u < 0x20 || (u >= 0x7f && u <= 0x9f) || u == ',' || u == '"' ||
                                  u == '&' || u == '<' || u == '>' || u == '\'';
    return special;
}();

inline bool isSpecial(char16_t u)
{
    return u < 256 && SpecialCharacters[u];
}

// A cell may hold line breaks (quoted), never another control character.
// Appended in place: a report writes hundreds of thousands of cells, and
// nearly all of them go out as they are.
void appendCsvCell(Utf8Text &out, const QString &typed)
{
    if (std::none_of(typed.cbegin(), typed.cend(),
                     [](QChar c) { return isSpecial(c.unicode()); })) {
        out += typed;
        return;
    }
    const QString text = outgoingText(typed, ControlCharacters::DropKeepLines);
    const bool quote = std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c == u',' || c == u'"' || c == u'\n' || c == u'\r';
    });
    if (!quote) {
        out += text;
        return;
    }
    QString quoted;
    quoted.reserve(text.size() + 8);
    quoted += u'"';
    for (const QChar c : text) {
        if (c == u'"')
            quoted += u'"';
        quoted += c;
    }
    quoted += u'"';
    out += quoted;
}

// HTML has no place for control characters but white space. Runs of plain
// text are appended whole.
template <typename Out> void appendHtmlEscaped(Out &out, const QString &text)
{
    const QChar *data = text.constData();
    const qsizetype size = text.size();
    qsizetype plain = 0; // start of the run not yet appended
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t u = data[i].unicode();
        if (!isSpecial(u) || u == u',' || u == u'\t' || u == u'\n' || u == u'\r')
            continue;
        out.append(data + plain, i - plain);
        plain = i + 1;
        switch (u) {
        case u'&':
            out += QLatin1String("&amp;");
            break;
        case u'<':
            out += QLatin1String("&lt;");
            break;
        case u'>':
            out += QLatin1String("&gt;");
            break;
        case u'"':
            out += QLatin1String("&quot;");
            break;
        case u'\'':
            out += QLatin1String("&#39;");
            break;
        default: // another control character: dropped
            break;
        }
    }
    out.append(data + plain, size - plain);
}

bool rightAligned(ReportFormat format)
{
    return format != ReportFormat::Text && format != ReportFormat::Date;
}

void appendCell(Utf8Text &out, ReportFormat format, const QString &text)
{
    out += rightAligned(format) ? QLatin1String("<td class=\"num\">") : QLatin1String("<td>");
    appendHtmlEscaped(out, text);
    out += QLatin1String("</td>");
}

const char *const Style = "body{font-family:sans-serif;margin:1.5em;color:#222}"
                          "h1{font-size:1.4em;margin:0 0 .2em}"
                          "p.filter{color:#555;margin:0 0 1em}"
                          "table{border-collapse:collapse}"
                          "th,td{border:1px solid #bbb;padding:.25em .5em;vertical-align:top}"
                          "th{background:#eee;text-align:left}"
                          ".num{text-align:right;white-space:nowrap}"
                          "tfoot td{font-weight:bold;background:#f6f6f6}"
                          "td{white-space:pre-wrap}";

// The size of the written report near enough that it grows once at most.
qsizetype expectedSize(const ShownReport &report, qsizetype markupPerCell)
{
    return report.characters + report.characters / 16 +
           qsizetype(report.cells.size() + report.table.columns.size()) * markupPerCell + 4096;
}

} // namespace

ShownReport::ShownReport(const ReportTable &t) : table(t)
{
    const std::size_t width = t.columns.size();
    cells.resize(t.rows.size() * width);
    const auto show = [&](std::size_t from, std::size_t to) {
        qsizetype shown = 0;
        for (std::size_t r = from; r < to; ++r)
            for (std::size_t i = 0; i < width; ++i) {
                QString &cell = cells[r * width + i];
                cell = t.display(int(i), t.rows[r].at(qsizetype(i)));
                shown += cell.size();
            }
        return shown;
    };
    // A big report's cells are worked out on two cores: each half has its own
    // cells, and the table is only read.
    const std::size_t half = t.rows.size() < 2000 ? t.rows.size() : t.rows.size() / 2;
    auto second = std::async(std::launch::async, show, half, t.rows.size());
    characters = show(0, half) + second.get();
}

QString htmlEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    appendHtmlEscaped(out, text);
    return out;
}

QByteArray reportCsv(const ShownReport &report)
{
    const ReportTable &table = report.table;
    Utf8Text out(expectedSize(report, 2));
    const int width = int(table.columns.size());
    for (int i = 0; i < width; ++i) {
        if (i > 0)
            out += u',';
        appendCsvCell(out, table.columns[i].heading);
    }
    out += QLatin1String("\r\n");
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        for (int i = 0; i < width; ++i) {
            if (i > 0)
                out += u',';
            appendCsvCell(out, report.cell(r, i));
        }
        out += QLatin1String("\r\n");
    }
    return out.take();
}

QByteArray reportHtml(const ShownReport &report, const QString &filterText)
{
    const ReportTable &table = report.table;
    Utf8Text out(expectedSize(report, 24));
    out += QLatin1String("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                         "<title>");
    appendHtmlEscaped(out, table.title);
    out += QLatin1String("</title>\n<style>");
    out += QLatin1String(Style);
    out += QLatin1String("</style>\n</head>\n<body>\n<h1>");
    appendHtmlEscaped(out, table.title);
    out += QLatin1String("</h1>\n<p class=\"filter\">");
    appendHtmlEscaped(out, filterText);
    out += QLatin1String(" &middot; ");
    out += QString::number(qsizetype(table.rows.size()));
    out += table.rows.size() == 1 ? QLatin1String(" row") : QLatin1String(" rows");
    out += QLatin1String(" &middot; produced ");
    out += QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    out += QLatin1String("</p>\n<table>\n<thead><tr>");
    for (const ReportColumn &c : table.columns) {
        out += QLatin1String("<th scope=\"col\">");
        appendHtmlEscaped(out, c.heading);
        out += QLatin1String("</th>");
    }
    out += QLatin1String("</tr></thead>\n<tbody>\n");
    const int width = int(table.columns.size());
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        out += QLatin1String("<tr>");
        for (int i = 0; i < width; ++i)
            appendCell(out, table.columns[i].format, report.cell(r, i));
        out += QLatin1String("</tr>\n");
    }
    out += QLatin1String("</tbody>\n");
    if (table.hasTotals() && !table.rows.empty()) {
        out += QLatin1String("<tfoot><tr>");
        for (int i = 0; i < width; ++i) {
            const QString cell =
                i == 0 && !table.columns[0].totalled ? QStringLiteral("Total") : table.total(i);
            appendCell(out, table.columns[i].format, cell);
        }
        out += QLatin1String("</tr></tfoot>\n");
    }
    out += QLatin1String("</table>\n</body>\n</html>\n");
    return out.take();
}

} // namespace quorvale::admin
