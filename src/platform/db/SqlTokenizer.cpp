#include "SqlTokenizer.h"

namespace quorvale::db {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The end of a literal that opened at begin with open and closes with close;
// a doubled closing character stands for itself.
qsizetype literalEnd(const QString &sql, qsizetype begin, QChar close)
{
    const qsizetype n = sql.size();
    qsizetype i = begin + 1;
    while (i < n) {
        if (sql[i] == close) {
            if (i + 1 < n && sql[i + 1] == close && close != u']') {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return n;
}

} // namespace

std::vector<SqlToken> tokenizeSql(const QString &sql)
{
    using K = SqlToken::Kind;
    std::vector<SqlToken> tokens;
    tokens.reserve(static_cast<size_t>(sql.size() / 3 + 1));
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto push = [&](K kind, qsizetype end) {
        tokens.push_back({kind, i, end - i});
        i = end;
    };
    while (i < n) {
        const QChar c = sql[i];
        const QChar next = i + 1 < n ? sql[i + 1] : QChar();
        if (c.isSpace()) {
            qsizetype j = i + 1;
            while (j < n && sql[j].isSpace())
                ++j;
            push(K::Space, j);
        } else if (c == u'-' && next == u'-') {
            qsizetype j = sql.indexOf(u'\n', i);
            push(K::Space, j < 0 ? n : j + 1);
        } else if (c == u'/' && next == u'*') {
            qsizetype j = sql.indexOf(QStringLiteral("*/"), i + 2);
            push(K::Space, j < 0 ? n : j + 2);
        } else if (c == u'\'') {
            push(K::String, literalEnd(sql, i, u'\''));
        } else if (c == u'"') {
            push(K::Quoted, literalEnd(sql, i, u'"'));
        } else if (c == u'`') {
            push(K::Quoted, literalEnd(sql, i, u'`'));
        } else if (c == u'[') {
            push(K::Bracketed, literalEnd(sql, i, u']'));
        } else if (c.isDigit() || (c == u'.' && next.isDigit())) {
            qsizetype j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == u'.'))
                ++j;
            push(K::Number, j);
        } else if (isWordStart(c)) {
            qsizetype j = i + 1;
            while (j < n && isWordPart(sql[j]))
                ++j;
            push(K::Word, j);
        } else if (c == u'?') {
            push(K::Parameter, i + 1);
        } else if (c == u'(' || c == u')' || c == u',' || c == u'.' || c == u';') {
            push(K::Punctuation, i + 1);
        } else {
            // Two-character operators first.
            const bool two = (c == u'<' && (next == u'>' || next == u'=')) ||
                             (c == u'>' && next == u'=') || (c == u'!' && next == u'=') ||
                             (c == u'|' && next == u'|');
            push(K::Operator, i + (two ? 2 : 1));
        }
    }
    return tokens;
}

QString identifierName(const QString &sql, const SqlToken &token)
{
    const QStringView t = token.text(sql);
    switch (token.kind) {
    case SqlToken::Kind::Bracketed:
        return t.mid(1, t.endsWith(u']') ? t.size() - 2 : t.size() - 1).toString();
    case SqlToken::Kind::Quoted: {
        const QChar q = t.front();
        QString inner =
            t.mid(1, t.size() >= 2 && t.back() == q ? t.size() - 2 : t.size() - 1).toString();
        inner.replace(QString(2, q), QString(q));
        return inner;
    }
    default:
        return t.toString();
    }
}

} // namespace quorvale::db
