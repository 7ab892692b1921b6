#include "qvadmin/Arguments.h"

#include "platform/core/QvError.h"

namespace quorvale::admin {

void usageError(const QString &description)
{
    throw QvError(ErrorNumber::InvalidCharacter, description, QStringLiteral("qvadmin"));
}

Arguments::Arguments(const QStringList &args, const QStringList &valueOptions,
                     const QStringList &switches)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!arg.startsWith(QStringLiteral("--")) || arg == QStringLiteral("--")) {
            m_words << arg;
            continue;
        }
        QString name = arg.mid(2);
        std::optional<QString> inlineValue;
        if (const qsizetype eq = name.indexOf(u'='); eq >= 0) {
            inlineValue = name.mid(eq + 1);
            name.truncate(eq);
        }
        if (valueOptions.contains(name)) {
            if (inlineValue) {
                m_values.insert(name, *inlineValue);
            } else if (i + 1 < args.size()) {
                m_values.insert(name, args[++i]);
            } else {
                usageError(QStringLiteral("The option --%1 needs a value.").arg(name));
            }
            m_all[name] << m_values.value(name);
        } else if (switches.contains(name) && !inlineValue) {
            m_switches.insert(name);
        } else {
            usageError(QStringLiteral("Unknown option --%1.").arg(name));
        }
    }
}

std::optional<QString> Arguments::value(const QString &name) const
{
    const auto it = m_values.constFind(name);
    if (it == m_values.cend())
        return std::nullopt;
    return *it;
}

QString Arguments::value(const QString &name, const QString &fallback) const
{
    return value(name).value_or(fallback);
}

std::optional<qint64> Arguments::number(const QString &name, qint64 min, qint64 max) const
{
    const auto text = value(name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const qint64 n = text->toLongLong(&ok);
    if (!ok || n < min || n > max)
        usageError(QStringLiteral("The option --%1 takes a whole number from %2 to %3, not '%4'.")
                       .arg(name)
                       .arg(min)
                       .arg(max)
                       .arg(*text));
    return n;
}

std::optional<QDate> Arguments::date(const QString &name) const
{
    const auto text = value(name);
    if (!text)
        return std::nullopt;
    const QDate date = QDate::fromString(*text, Qt::ISODate);
    if (!date.isValid())
        usageError(QStringLiteral("The option --%1 needs a date as YYYY-MM-DD, not '%2'.")
                       .arg(name, *text));
    return date;
}

Arguments::Period Arguments::period(const QString &what) const
{
    Period p{date(QStringLiteral("from")), date(QStringLiteral("to"))};
    if (p.from && p.to && *p.from > *p.to)
        usageError(QStringLiteral("The %1's --from date lies after its --to date.").arg(what));
    return p;
}

void Arguments::requireWords(int min, int max, const QString &usage) const
{
    if (m_words.size() < min || m_words.size() > max)
        usageError(QStringLiteral("Usage: qvadmin %1").arg(usage));
}

} // namespace quorvale::admin
