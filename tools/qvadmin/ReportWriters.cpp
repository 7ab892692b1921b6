#include "qvadmin/ReportWriters.h"

#include "platform/core/OutgoingText.h"

#include <QDateTime>

namespace quorvale::admin {

namespace {

// A cell may hold line breaks (quoted), never another control character.
QString csvCell(const QString &typed)
{
    const QString text = outgoingText(typed, ControlCharacters::DropKeepLines);
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
        !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

bool rightAligned(ReportFormat format)
{
    return format != ReportFormat::Text && format != ReportFormat::Date;
}

QString cellTag(const char *tag, ReportFormat format, const QString &text)
{
    const QString name = QLatin1String(tag);
    return u'<' + name + (rightAligned(format) ? QStringLiteral(" class=\"num\"") : QString()) +
           u'>' + htmlEscaped(text) + QStringLiteral("</") + name + u'>';
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

} // namespace

QString htmlEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size());
    // HTML has no place for control characters but white space.
    for (const QChar ch : outgoingText(text, ControlCharacters::DropKeepLines)) {
        switch (ch.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        case '\'':
            out += QStringLiteral("&#39;");
            break;
        default:
            out += ch;
        }
    }
    return out;
}

QByteArray reportCsv(const ReportTable &table)
{
    QString out;
    QStringList cells;
    for (const ReportColumn &c : table.columns)
        cells << csvCell(c.heading);
    out += cells.join(u',') + QStringLiteral("\r\n");
    for (const QVariantList &row : table.rows) {
        cells.clear();
        for (int i = 0; i < int(table.columns.size()); ++i)
            cells << csvCell(table.display(i, row.at(i)));
        out += cells.join(u',') + QStringLiteral("\r\n");
    }
    return out.toUtf8();
}

QByteArray reportHtml(const ReportTable &table, const QString &filterText)
{
    QString out;
    out += QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<title>") +
           htmlEscaped(table.title) + QStringLiteral("</title>\n<style>") + QLatin1String(Style) +
           QStringLiteral("</style>\n</head>\n<body>\n<h1>") + htmlEscaped(table.title) +
           QStringLiteral("</h1>\n<p class=\"filter\">") + htmlEscaped(filterText) +
           QStringLiteral(" &middot; ") + htmlEscaped(QString::number(table.rows.size())) +
           (table.rows.size() == 1 ? QStringLiteral(" row") : QStringLiteral(" rows")) +
           QStringLiteral(" &middot; produced ") +
           htmlEscaped(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))) +
           QStringLiteral("</p>\n<table>\n<thead><tr>");
    for (const ReportColumn &c : table.columns)
        out +=
            QStringLiteral("<th scope=\"col\">") + htmlEscaped(c.heading) + QStringLiteral("</th>");
    out += QStringLiteral("</tr></thead>\n<tbody>\n");
    for (const QVariantList &row : table.rows) {
        out += QStringLiteral("<tr>");
        for (int i = 0; i < int(table.columns.size()); ++i)
            out += cellTag("td", table.columns[i].format, table.display(i, row.at(i)));
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</tbody>\n");
    if (table.hasTotals() && !table.rows.empty()) {
        out += QStringLiteral("<tfoot><tr>");
        for (int i = 0; i < int(table.columns.size()); ++i) {
            const QString cell =
                i == 0 && !table.columns[0].totalled ? QStringLiteral("Total") : table.total(i);
            out += cellTag("td", table.columns[i].format, cell);
        }
        out += QStringLiteral("</tr></tfoot>\n");
    }
    out += QStringLiteral("</table>\n</body>\n</html>\n");
    return out.toUtf8();
}

} // namespace quorvale::admin
