#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace quorvale::db {

// A lexical token of a SQL text, as offsets into that text.
struct SqlToken {
    enum class Kind {
        Space,      // white space and comments
        Word,       // identifier or keyword
        Bracketed,  // [Name]
        Quoted,     // "Name" or `Name`
        String,     // 'text' with '' inside
        Number,     // 12, 1.5
        Parameter,  // ?
        Operator,   // = <> != < > <= >= + - * / || %
        Punctuation // ( ) , . ;
    };
    Kind kind;
    qsizetype begin;
    qsizetype length;

    // A name in any of its spellings: bare, [bracketed] or "quoted".
    bool isIdentifier() const
    {
        return kind == Kind::Word || kind == Kind::Bracketed || kind == Kind::Quoted;
    }

    QStringView text(const QString &sql) const { return QStringView(sql).mid(begin, length); }
    bool isWord(const QString &sql, QStringView word) const
    {
        return kind == Kind::Word && text(sql).compare(word, Qt::CaseInsensitive) == 0;
    }
    bool is(const QString &sql, QStringView s) const { return text(sql) == s; }
};

// Splits sql into tokens covering every character. An unterminated literal runs to
// the end of the text.
std::vector<SqlToken> tokenizeSql(const QString &sql);

// The name an identifier token stands for: brackets and quotes removed.
QString identifierName(const QString &sql, const SqlToken &token);

} // namespace quorvale::db
