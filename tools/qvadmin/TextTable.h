#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QTextStream;

namespace quorvale::admin {

// A plain-text table whose columns line up: text left-aligned, columns marked
// numeric right-aligned.
class TextTable {
public:
    // A heading ending in '>' is a right-aligned column; the '>' is not printed.
    explicit TextTable(const QStringList &headings);
    void addRow(const QStringList &cells);
    void print(QTextStream &out) const;
    int rowCount() const { return static_cast<int>(m_rows.size()); }

private:
    QStringList m_headings;
    std::vector<bool> m_right;
    std::vector<QStringList> m_rows;
};

} // namespace quorvale::admin
