#include "SelectStatement.h"

#include "SqlTokenizer.h"

#include <vector>

namespace quorvale::db {

namespace {

using Kind = SqlToken::Kind;

bool isJoinWord(const QString &sql, const SqlToken &t)
{
    static const QStringView words[] = {u"LEFT",  u"RIGHT",   u"INNER", u"OUTER", u"FULL",
                                        u"CROSS", u"NATURAL", u"JOIN",  u"ON"};
    for (QStringView w : words) {
        if (t.isWord(sql, w))
            return true;
    }
    return false;
}

struct TableRef {
    QString name;  // brackets removed
    QString text;  // the name as written
    QString alias; // brackets removed, empty when none
    QString refText;
};

} // namespace

SelectStatement SelectStatement::parse(const QString &sql)
{
    SelectStatement s;
    const std::vector<SqlToken> all = tokenizeSql(sql);
    std::vector<SqlToken> t;
    t.reserve(all.size());
    for (const SqlToken &tok : all) {
        if (tok.kind != Kind::Space)
            t.push_back(tok);
    }
    while (!t.empty() && t.back().is(sql, u";"))
        t.pop_back();
    if (t.empty() || !t[0].isWord(sql, u"SELECT"))
        return s;
    auto span = [&](size_t first, size_t past) {
        if (first >= past)
            return QString();
        return sql.mid(t[first].begin, t[past - 1].begin + t[past - 1].length - t[first].begin);
    };

    // Top-level clause boundaries.
    size_t from = 0, where = 0, order = 0;
    bool plain = true;
    int depth = 0;
    for (size_t k = 1; k < t.size(); ++k) {
        if (t[k].is(sql, u"(")) {
            ++depth;
            continue;
        }
        if (t[k].is(sql, u")")) {
            --depth;
            continue;
        }
        if (depth != 0 || t[k].kind != Kind::Word)
            continue;
        if (t[k].isWord(sql, u"FROM") && from == 0)
            from = k;
        else if (t[k].isWord(sql, u"WHERE") && from != 0 && where == 0 && order == 0)
            where = k;
        else if (t[k].isWord(sql, u"ORDER") && from != 0 && order == 0)
            order = k;
        else if (t[k].isWord(sql, u"GROUP") || t[k].isWord(sql, u"HAVING") ||
                 t[k].isWord(sql, u"UNION") || t[k].isWord(sql, u"LIMIT") ||
                 t[k].isWord(sql, u"INTERSECT") || t[k].isWord(sql, u"EXCEPT") ||
                 t[k].isWord(sql, u"OFFSET") ||
                 (k == 1 && (t[k].isWord(sql, u"DISTINCT") || t[k].isWord(sql, u"TOP"))))
            plain = false;
    }
    if (from == 0 || from == 1)
        return s;
    const size_t fromEnd = where ? where : (order ? order : t.size());
    s.selectList = span(1, from);
    s.fromClause = span(from, fromEnd);
    if (where)
        s.whereCondition = span(where + 1, order ? order : t.size());
    if (order)
        s.orderBy = span(order, t.size());
    if (!plain)
        return s;

    // Table references: after FROM, after ',' and after JOIN; ON conditions skipped.
    std::vector<TableRef> refs;
    for (size_t k = from + 1; k < fromEnd;) {
        if (!t[k].isIdentifier() || isJoinWord(sql, t[k]))
            return s; // a sub-query, a parenthesised join or something unknown
        const size_t begin = k;
        TableRef ref;
        ++k;
        while (k + 1 < fromEnd && t[k].is(sql, u".") && t[k + 1].isIdentifier())
            k += 2;
        ref.text = span(begin, k);
        ref.name = identifierName(sql, t[k - 1]);
        if (k - begin > 1) {
            ref.name.clear();
            for (size_t i = begin; i < k; i += 2)
                ref.name += (ref.name.isEmpty() ? QString() : QStringLiteral(".")) +
                            identifierName(sql, t[i]);
        }
        if (k < fromEnd && t[k].isWord(sql, u"AS"))
            ++k;
        if (k < fromEnd && t[k].isIdentifier() && !isJoinWord(sql, t[k]))
            ref.alias = identifierName(sql, t[k++]);
        ref.refText = span(begin, k);
        refs.push_back(ref);
        // Skip to the next table reference.
        int d = 0;
        while (k < fromEnd) {
            if (t[k].is(sql, u"("))
                ++d;
            else if (t[k].is(sql, u")"))
                --d;
            else if (d == 0 && (t[k].is(sql, u",") || t[k].isWord(sql, u"JOIN"))) {
                ++k;
                break;
            }
            ++k;
        }
    }
    if (refs.empty())
        return s;

    auto resolve = [&](const QString &qualifier) -> int {
        for (size_t i = 0; i < refs.size(); ++i) {
            if (refs[i].alias.compare(qualifier, Qt::CaseInsensitive) == 0 ||
                (refs[i].alias.isEmpty() &&
                 refs[i].name.compare(qualifier, Qt::CaseInsensitive) == 0))
                return static_cast<int>(i);
        }
        return -1;
    };

    // Select list items: "*", "q.*", "col", "q.col".
    int table = -1;
    bool star = false;
    QStringList columns;
    size_t k = 1;
    while (k < from) {
        size_t end = k;
        while (end < from && !t[end].is(sql, u","))
            ++end;
        const size_t n = end - k;
        int itemTable = -1;
        if (n == 1 && t[k].is(sql, u"*")) {
            if (refs.size() != 1)
                return s;
            itemTable = 0;
            star = true;
        } else if (n == 3 && t[k].isIdentifier() && t[k + 1].is(sql, u".") &&
                   t[k + 2].is(sql, u"*")) {
            itemTable = resolve(identifierName(sql, t[k]));
            star = true;
        } else if (n == 1 && t[k].isIdentifier()) {
            if (refs.size() != 1)
                return s;
            itemTable = 0;
            columns << identifierName(sql, t[k]);
        } else if (n == 3 && t[k].isIdentifier() && t[k + 1].is(sql, u".") &&
                   t[k + 2].isIdentifier()) {
            itemTable = resolve(identifierName(sql, t[k]));
            columns << identifierName(sql, t[k + 2]);
        } else {
            return s;
        }
        if (itemTable < 0 || (table >= 0 && itemTable != table))
            return s;
        table = itemTable;
        k = end + 1;
    }
    if (table < 0 || (star && !columns.isEmpty()))
        return s;
    const TableRef &ref = refs[static_cast<size_t>(table)];
    s.singleTable = true;
    s.baseTable = ref.name;
    s.tableText = ref.text;
    s.tableRef = ref.refText;
    s.qualifier = ref.alias.isEmpty() ? ref.text : ref.alias;
    s.allColumns = star;
    s.columns = columns;
    return s;
}

} // namespace quorvale::db
