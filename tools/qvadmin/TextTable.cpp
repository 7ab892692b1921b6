#include "qvadmin/TextTable.h"

#include "platform/core/OutgoingText.h"

#include <QTextStream>
#include <algorithm>

namespace quorvale::admin {

TextTable::TextTable(const QStringList &headings)
{
    for (QString h : headings) {
        const bool right = h.endsWith(u'>');
        if (right)
            h.chop(1);
        m_headings << h;
        m_right.push_back(right);
    }
}

void TextTable::addRow(const QStringList &cells)
{
    QStringList row = cells;
    // One row per line whatever a name holds, and nothing the terminal would obey.
    for (QString &cell : row)
        cell = outgoingText(cell, ControlCharacters::Escape);
    while (row.size() < m_headings.size())
        row << QString();
    m_rows.push_back(row);
}

void TextTable::print(QTextStream &out) const
{
    std::vector<qsizetype> widths;
    for (const QString &h : m_headings)
        widths.push_back(h.size());
    for (const QStringList &row : m_rows) {
        for (qsizetype i = 0; i < m_headings.size(); ++i)
            widths[std::size_t(i)] = std::max(widths[std::size_t(i)], row[i].size());
    }
    auto line = [&](const QStringList &cells) {
        QString text;
        for (qsizetype i = 0; i < m_headings.size(); ++i) {
            const auto w = widths[std::size_t(i)];
            if (i > 0)
                text += QStringLiteral("  ");
            text +=
                m_right[std::size_t(i)] ? cells[i].rightJustified(w) : cells[i].leftJustified(w);
        }
        while (text.endsWith(u' '))
            text.chop(1);
        out << text << '\n';
    };
    line(m_headings);
    QStringList rules;
    for (auto w : widths)
        rules << QString(w, u'-');
    line(rules);
    for (const QStringList &row : m_rows)
        line(row);
}

} // namespace quorvale::admin
