#include "SqlDialect.h"

#include "SqlTokenizer.h"

#include <optional>

namespace quorvale::db {

namespace {

using Kind = SqlToken::Kind;

bool isClauseWord(const QString &sql, const SqlToken &t)
{
    static const QStringView words[] = {u"LEFT",  u"RIGHT",  u"INNER", u"OUTER", u"FULL",
                                        u"CROSS", u"JOIN",   u"ON",    u"WHERE", u"ORDER",
                                        u"GROUP", u"HAVING", u"UNION", u"LIMIT", u"NATURAL"};
    for (QStringView w : words) {
        if (t.isWord(sql, w))
            return true;
    }
    return false;
}

// Indexes of the tokens that are not white space.
std::vector<size_t> significant(const std::vector<SqlToken> &tokens)
{
    std::vector<size_t> sig;
    sig.reserve(tokens.size());
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Kind::Space)
            sig.push_back(i);
    }
    return sig;
}

// A table reference starting at sig[k]: name, optional ".name", optional [AS] alias.
// Returns the index in sig just past it, or nullopt when there is none.
std::optional<size_t> tableRefEnd(const QString &sql, const std::vector<SqlToken> &tokens,
                                  const std::vector<size_t> &sig, size_t k)
{
    auto tok = [&](size_t i) -> const SqlToken & { return tokens[sig[i]]; };
    if (k >= sig.size() || !tok(k).isIdentifier() || isClauseWord(sql, tok(k)))
        return std::nullopt;
    ++k;
    if (k + 1 < sig.size() && tok(k).is(sql, u".") && tok(k + 1).isIdentifier())
        k += 2;
    if (k < sig.size() && tok(k).isWord(sql, u"AS"))
        ++k;
    if (k < sig.size() && tok(k).isIdentifier() && !isClauseWord(sql, tok(k)))
        ++k;
    return k;
}

// Whether the SELECT owning the FROM at sig[from] has the bare select list "*".
bool selectsBareStar(const QString &sql, const std::vector<SqlToken> &tokens,
                     const std::vector<size_t> &sig, size_t from)
{
    int depth = 0;
    for (size_t k = from; k-- > 0;) {
        const SqlToken &t = tokens[sig[k]];
        if (t.is(sql, u")"))
            ++depth;
        else if (t.is(sql, u"(")) {
            if (depth == 0)
                return false;
            --depth;
        } else if (depth == 0 && t.isWord(sql, u"SELECT")) {
            return k + 2 == from && tokens[sig[k + 1]].is(sql, u"*");
        }
    }
    return false;
}

// Jet and SQLite sort nulls before every value, PostgreSQL after: each item of the
// ORDER BY at sig[orderAt] says where its nulls go, unless it already does. Returns
// what goes after each item's last token in after.
void placeNullsAsJet(const QString &sql, const std::vector<SqlToken> &tokens,
                     const std::vector<size_t> &sig, size_t orderAt, std::vector<QString> &after)
{
    auto tok = [&](size_t i) -> const SqlToken & { return tokens[sig[i]]; };
    const auto endItem = [&](size_t first, size_t last, bool saysNulls) {
        if (saysNulls || last < first)
            return;
        after[sig[last]] = tok(last).isWord(sql, u"DESC") ? QStringLiteral(" NULLS LAST")
                                                          : QStringLiteral(" NULLS FIRST");
    };
    size_t k = orderAt + 2; // past ORDER BY
    size_t first = k;
    bool saysNulls = false;
    int depth = 0;
    for (; k < sig.size(); ++k) {
        const SqlToken &t = tok(k);
        if (t.is(sql, u"("))
            ++depth;
        else if (t.is(sql, u")") && depth-- == 0)
            break;
        else if (depth == 0 &&
                 (t.is(sql, u";") || t.isWord(sql, u"LIMIT") || t.isWord(sql, u"OFFSET") ||
                  t.isWord(sql, u"FETCH") || t.isWord(sql, u"FOR") || t.isWord(sql, u"UNION")))
            break;
        else if (depth == 0 && t.is(sql, u",")) {
            endItem(first, k - 1, saysNulls);
            first = k + 1;
            saysNulls = false;
        } else if (t.isWord(sql, u"NULLS"))
            saysNulls = true;
    }
    endItem(first, k - 1, saysNulls);
}

} // namespace

QString SqlDialect::translate(const QString &sql) const
{
    const std::vector<SqlToken> tokens = tokenizeSql(sql);
    const std::vector<size_t> sig = significant(tokens);
    // Replacement text per token index; a token mapped to an empty optional is kept.
    std::vector<std::optional<QString>> replaced(tokens.size());
    std::vector<QString> after(tokens.size());
    bool changed = false;

    for (size_t k = 0; k < sig.size(); ++k) {
        const SqlToken &t = tokens[sig[k]];
        if (t.kind == Kind::Bracketed && m_dialect == Dialect::PostgreSQL) {
            replaced[sig[k]] = quoteIdentifier(identifierName(sql, t).toLower());
            changed = true;
        } else if (m_dialect == Dialect::PostgreSQL && t.isWord(sql, u"ORDER") &&
                   k + 1 < sig.size() && tokens[sig[k + 1]].isWord(sql, u"BY")) {
            // The items themselves are still translated as the loop reaches them.
            placeNullsAsJet(sql, tokens, sig, k, after);
            changed = true;
        } else if (t.kind == Kind::Word && (t.isWord(sql, u"True") || t.isWord(sql, u"False"))) {
            const bool qualified = (k > 0 && tokens[sig[k - 1]].is(sql, u".")) ||
                                   (k + 1 < sig.size() && tokens[sig[k + 1]].is(sql, u"."));
            if (!qualified) {
                replaced[sig[k]] =
                    t.isWord(sql, u"True") ? QStringLiteral("-1") : QStringLiteral("0");
                changed = true;
            }
        } else if (t.isWord(sql, u"FROM") && m_dialect == Dialect::SQLite) {
            // FROM A RIGHT [OUTER] JOIN B ON ...  ->  FROM B LEFT JOIN A ON ...
            const auto aEnd = tableRefEnd(sql, tokens, sig, k + 1);
            if (!aEnd)
                continue;
            size_t j = *aEnd;
            if (j >= sig.size() || !tokens[sig[j]].isWord(sql, u"RIGHT"))
                continue;
            ++j;
            if (j < sig.size() && tokens[sig[j]].isWord(sql, u"OUTER"))
                ++j;
            if (j >= sig.size() || !tokens[sig[j]].isWord(sql, u"JOIN"))
                continue;
            const size_t bBegin = j + 1;
            const auto bEnd = tableRefEnd(sql, tokens, sig, bBegin);
            if (!bEnd || *bEnd >= sig.size() || !tokens[sig[*bEnd]].isWord(sql, u"ON"))
                continue;
            if (selectsBareStar(sql, tokens, sig, k))
                continue;
            auto span = [&](size_t first, size_t past) {
                const SqlToken &a = tokens[sig[first]];
                const SqlToken &b = tokens[sig[past - 1]];
                return sql.mid(a.begin, b.begin + b.length - a.begin);
            };
            const QString aText = span(k + 1, *aEnd);
            const QString bText = span(bBegin, *bEnd);
            // The whole range from A to the end of B becomes one replacement.
            const size_t first = sig[k + 1];
            const size_t last = sig[*bEnd - 1];
            replaced[first] = bText + QStringLiteral(" LEFT JOIN ") + aText;
            for (size_t i = first + 1; i <= last; ++i)
                replaced[i] = QString();
            changed = true;
            k = *bEnd - 1;
        }
    }
    if (!changed)
        return sql;
    QString out;
    out.reserve(sql.size() + 16);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (replaced[i])
            out += *replaced[i];
        else
            out += tokens[i].text(sql);
        out += after[i];
    }
    return out;
}

QString SqlDialect::quoteIdentifier(const QString &name) const
{
    QString escaped = name;
    escaped.replace(u'"', QStringLiteral("\"\""));
    return u'"' + escaped + u'"';
}

} // namespace quorvale::db
