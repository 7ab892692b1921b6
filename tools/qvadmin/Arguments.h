#pragma once

#include <QDate>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvale::admin {

// The words and options of one command line. Options are "--name value" or
// "--name=value" for those that take a value, "--name" for switches; anything
// else is a word. Each command declares what it accepts, so a mistyped option is
// reported instead of silently ignored.
class Arguments {
public:
    // Splits args; valueOptions and switches are names without "--". Throws
    // QvError for an unknown option or a value option without its value.
    Arguments(const QStringList &args, const QStringList &valueOptions,
              const QStringList &switches);

    const QStringList &words() const { return m_words; }
    bool has(const QString &name) const
    {
        return m_values.contains(name) || m_switches.contains(name);
    }
    std::optional<QString> value(const QString &name) const;
    QString value(const QString &name, const QString &fallback) const;
    // Every value an option given more than once was given, in order.
    QStringList values(const QString &name) const { return m_all.value(name); }
    // A whole number; throws QvError naming the option when the text is not one
    // or lies outside min..max.
    std::optional<qint64> number(const QString &name, qint64 min, qint64 max) const;

    // A date written YYYY-MM-DD; throws QvError naming the option otherwise.
    std::optional<QDate> date(const QString &name) const;

    // --from and --to as dates, the first not after the second; `what` names
    // what the period is of ("report") in the message.
    struct Period {
        std::optional<QDate> from;
        std::optional<QDate> to;
    };
    Period period(const QString &what) const;

    // Throws unless the words number between min and max.
    void requireWords(int min, int max, const QString &usage) const;

private:
    QStringList m_words;
    QHash<QString, QString> m_values;
    QHash<QString, QStringList> m_all;
    QSet<QString> m_switches;
};

// A QvError for a mistake on the command line.
[[noreturn]] void usageError(const QString &description);

} // namespace quorvale::admin
