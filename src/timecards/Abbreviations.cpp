#include "timecards/Abbreviations.h"

#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "timecards/Clock.h"
#include "timecards/TimeStamp.h"

#include <QSqlQuery>
#include <algorithm>
#include <array>

namespace quorvale {

namespace {

const QString SelectAll =
    QStringLiteral("SELECT Abbreviation, Text FROM tblAbbreviations ORDER BY SortOrder");

enum class Phrase { Date, DateTime, Time, Activity1, Activity2 };

struct KeyPhrase {
    const char *text;
    Phrase phrase;
};

constexpr std::array<KeyPhrase, 5> KeyPhrases{{
    {"[DTM1]", Phrase::Date},
    {"[DTM2]", Phrase::DateTime},
    {"[DTM3]", Phrase::Time},
    {"[ACT1DESC]", Phrase::Activity1},
    {"[ACT2DESC]", Phrase::Activity2},
}};

// The same stamp Ctrl+1, Ctrl+3 and Ctrl+5 put into a note field, so that both
// ways of dating a note read alike.
QString stamp(Qt::Key key, const KeyPhraseContext &context)
{
    return InsertTimeStamp(key, Qt::ControlModifier, context.clock, context.locale)
        .value_or(QString());
}

// nullopt: the level is not in use, the phrase stays as it is.
std::optional<QString> activityText(const ActivitySelection &selection, int level,
                                    db::Connection &link)
{
    if (!selection.inUse)
        return std::nullopt;
    if (!selection.id || *selection.id == 0)
        return QString();
    return ActivityDescription(link, level, *selection.id) + QLatin1Char(' ');
}

std::optional<QString> replacement(Phrase phrase, const KeyPhraseContext &context)
{
    switch (phrase) {
    case Phrase::Date:
        return stamp(Qt::Key_1, context);
    case Phrase::DateTime:
        return stamp(Qt::Key_3, context);
    case Phrase::Time:
        return stamp(Qt::Key_5, context);
    case Phrase::Activity1:
        return activityText(context.activities.activity1, 1, context.link);
    case Phrase::Activity2:
        return activityText(context.activities.activity2, 2, context.link);
    }
    return std::nullopt;
}

} // namespace

bool isAbbreviationNameCharacter(QChar c)
{
    return QLatin1String(AbbreviationNameCharacters).contains(c);
}

std::vector<Abbreviation> LoadAbbreviations(db::Connection &local)
{
    QSqlQuery query = local.prepare(SelectAll);
    local.run(query, {});
    std::vector<Abbreviation> list;
    while (query.next())
        list.push_back({query.value(0).toString(), query.value(1).toString()});
    return list;
}

QStringList FillAbbreviationList(db::Connection &local)
{
    QStringList names;
    for (const Abbreviation &entry : LoadAbbreviations(local))
        names << entry.name;
    return names;
}

std::optional<QString> AbbreviationText(db::Connection &local, const QString &name)
{
    QSqlQuery query = local.prepare(QStringLiteral(
        "SELECT Text FROM tblAbbreviations WHERE Abbreviation = ? ORDER BY SortOrder"));
    local.run(query, {name});
    if (!query.next())
        return std::nullopt;
    return query.value(0).toString();
}

void SaveAbbreviations(db::Connection &local, const std::vector<Abbreviation> &list)
{
    db::Transaction transaction(local);
    local.execute(QStringLiteral("DELETE FROM tblAbbreviations"));
    QSqlQuery insert = local.prepare(QStringLiteral(
        "INSERT INTO tblAbbreviations (SortOrder, Abbreviation, Text) VALUES (?, ?, ?)"));
    for (std::size_t i = 0; i < list.size(); ++i)
        local.run(insert, {static_cast<qint32>(i), list[i].name, list[i].text});
    transaction.commit();
}

QString ActivityDescription(db::Connection &link, int level, qint32 activityId)
{
    const QString table =
        level == 1 ? QStringLiteral("tblMainActivities") : QStringLiteral("tblSubActivities");
    return link
        .scalar(QStringLiteral("SELECT ActivityDescription FROM ") + table +
                    QStringLiteral(" WHERE ActivityID = ?"),
                {activityId})
        .toString();
}

QString ExpandKeyPhrase(const QString &text, const KeyPhraseContext &context)
{
    for (const KeyPhrase &key : KeyPhrases) {
        const QLatin1String phrase(key.text);
        if (!text.startsWith(phrase, Qt::CaseSensitive))
            continue;
        const std::optional<QString> with = replacement(key.phrase, context);
        return with ? *with + text.mid(phrase.size()) : text;
    }
    return text;
}

QString abbreviationTipText(const QString &activity1Term, const QString &activity2Term)
{
    const QString indent = QStringLiteral("               ");
    return QStringList{
        QStringLiteral("To include predefined text at the beginning of your  "),
        QStringLiteral("abbreviation text, enter the following key phrases in  "),
        QStringLiteral("brackets before the abbreviation text:"),
        indent + QStringLiteral("[DTM1] = Current date."),
        indent + QStringLiteral("[DTM2] = Current date and time."),
        indent + QStringLiteral("[DTM3] = Current time."),
        indent + QStringLiteral("[ACT1DESC] = ") + activity1Term + QStringLiteral(" description."),
        indent + QStringLiteral("[ACT2DESC] = ") + activity2Term + QStringLiteral(" description."),
        QStringLiteral("A space is automatically added after each key phrase.  "),
    }
        .join(QLatin1Char('\n'));
}

} // namespace quorvale
