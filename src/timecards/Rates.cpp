#include "timecards/Rates.h"

#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QSqlRecord>

namespace quorvale {

QString termRates(const QString &term)
{
    return term + QStringLiteral(" Rates");
}

QString rateSourceText(RateSourceKind kind, const Terms &terms)
{
    switch (kind) {
    case RateSourceKind::FlatFee:
        return FlatFeeSource;
    case RateSourceKind::Staff:
        return StaffRatesSource;
    case RateSourceKind::StaffLevel:
        return StaffLevelRatesSource;
    case RateSourceKind::Contact:
        return termRates(terms.contact);
    case RateSourceKind::Activity1:
        return termRates(terms.activity1);
    case RateSourceKind::Activity2:
        return termRates(terms.activity2);
    }
    return {};
}

std::optional<RateSourceKind> rateSourceKind(const QString &text, const Terms &terms)
{
    // The order settles texts that two kinds would share.
    static constexpr RateSourceKind order[] = {
        RateSourceKind::FlatFee, RateSourceKind::Staff,     RateSourceKind::StaffLevel,
        RateSourceKind::Contact, RateSourceKind::Activity1, RateSourceKind::Activity2};
    for (RateSourceKind kind : order) {
        if (text == rateSourceText(kind, terms))
            return kind;
    }
    return std::nullopt;
}

QStringList rateLevels()
{
    QStringList levels;
    for (int i = 1; i <= RateLevelCount; ++i)
        levels << QString::number(i);
    return levels;
}

std::optional<int> rateLevelIndex(const QString &level)
{
    const int i = rateLevels().indexOf(level);
    return i < 0 ? std::nullopt : std::optional<int>(i);
}

QStringList offeredRateSources(const RateOptions &options)
{
    if (options.rateSourceFixed)
        return {options.fixedRateSource};
    QStringList offered{StaffRatesSource, StaffLevelRatesSource};
    if (options.contactInUse)
        offered << termRates(options.terms.contact);
    if (options.activity1InUse)
        offered << termRates(options.terms.activity1);
    if (options.activity2InUse)
        offered << termRates(options.terms.activity2);
    offered << FlatFeeSource;
    return offered;
}

RateSelection applicableRate(const QString &rateSource, const QString &rateLevel,
                             const RateOptions &options)
{
    if (options.rateSourceFixed)
        return {options.fixedRateSource, options.fixedRateLevel};
    return {rateSource, rateLevel};
}

std::optional<qint32> rateKey(RateSourceKind kind, const RateKeys &keys)
{
    switch (kind) {
    case RateSourceKind::FlatFee:
        return std::nullopt;
    case RateSourceKind::Staff:
        return keys.userId;
    case RateSourceKind::StaffLevel:
        return keys.staffId;
    case RateSourceKind::Contact:
        return keys.contactId;
    case RateSourceKind::Activity1:
        return keys.activity1Id;
    case RateSourceKind::Activity2:
        return keys.activity2Id;
    }
    return std::nullopt;
}

std::optional<SourceRates> readRates(db::Command &rates, qint32 key)
{
    const std::optional<QSqlRecord> row = rates.first({key});
    if (!row)
        return std::nullopt;
    SourceRates read{};
    for (int i = 0; i < RateLevelCount && i < row->count(); ++i)
        read[static_cast<std::size_t>(i)] = Money::fromStored(row->value(i));
    return read;
}

std::optional<SourceRates> FetchSourceRates(const RateSelection &applied, const RateKeys &keys,
                                            const RateOptions &options, const RatesLookup &lookup)
{
    const std::optional<RateSourceKind> kind = rateSourceKind(applied.source, options.terms);
    if (!kind)
        return std::nullopt;
    const std::optional<qint32> key = rateKey(*kind, keys);
    db::Command *rates = key && lookup ? lookup(applied.source) : nullptr;
    if (!rates)
        return std::nullopt;
    return readRates(*rates, *key).value_or(SourceRates{});
}

std::optional<Money> FetchHourlyRate(const QString &rateSource, const QString &rateLevel,
                                     const RateKeys &keys, const RateOptions &options,
                                     const RatesLookup &lookup)
{
    const RateSelection applied = applicableRate(rateSource, rateLevel, options);
    if (applied.source == FlatFeeSource)
        return std::nullopt;
    if (options.rateSourceFixed && options.fixedHourlyRate != Money())
        return options.fixedHourlyRate;
    const std::optional<int> level = rateLevelIndex(applied.level);
    if (!level)
        return std::nullopt;
    const std::optional<SourceRates> rates = FetchSourceRates(applied, keys, options, lookup);
    if (!rates)
        return std::nullopt;
    return (*rates)[static_cast<std::size_t>(*level)];
}

RateSourceRenaming::RateSourceRenaming(const Terms &before, const Terms &after)
{
    for (RateSourceKind kind :
         {RateSourceKind::Contact, RateSourceKind::Activity1, RateSourceKind::Activity2}) {
        const QString from = rateSourceText(kind, before);
        const QString to = rateSourceText(kind, after);
        // A text that reads as another source (a term spelling "Staff") belongs
        // to that source: it is neither renamed nor renamed into.
        if (from != to && rateSourceKind(from, before) == kind && rateSourceKind(to, after) == kind)
            m_renames.emplace_back(from, to);
    }
}

QString RateSourceRenaming::apply(const QString &text) const
{
    for (const auto &[from, to] : m_renames) {
        if (text == from)
            return to;
    }
    return text;
}

QStringList RateSourceRenaming::apply(const QStringList &texts) const
{
    QStringList renamed;
    renamed.reserve(texts.size());
    for (const QString &text : texts)
        renamed << apply(text);
    return renamed;
}

Terms ReadTerms(db::Connection &cnnLink)
{
    QSqlQuery q = cnnLink.prepare(
        QStringLiteral("SELECT ContactTerm, Activity1Term, Activity2Term FROM tblAdminOptions"));
    cnnLink.run(q, {});
    Terms terms;
    if (q.next()) {
        terms.contact = q.value(0).toString();
        terms.activity1 = q.value(1).toString();
        terms.activity2 = q.value(2).toString();
    }
    return terms;
}

namespace {

// "UPDATE table SET column = CASE column WHEN ? THEN ? ... END WHERE column IN (?, ...)"
// in one statement, so that sources trading names are not renamed twice.
int renameColumn(db::Connection &cnnLink, const QString &table, const QString &column,
                 const RateSourceRenaming &renaming)
{
    QString sql = QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + column +
                  QStringLiteral(" = CASE ") + column;
    QVariantList params;
    QStringList marks;
    for (const auto &[from, to] : renaming.renames()) {
        sql += QStringLiteral(" WHEN ? THEN ?");
        params << from << to;
        marks << QStringLiteral("?");
    }
    sql += QStringLiteral(" END WHERE ") + column + QStringLiteral(" IN (") +
           marks.join(QStringLiteral(", ")) + QStringLiteral(")");
    for (const auto &rename : renaming.renames())
        params << rename.first;
    return cnnLink.execute(sql, params);
}

} // namespace

int RenameStoredRateSources(db::Connection &cnnLink, const RateSourceRenaming &renaming)
{
    if (renaming.empty())
        return 0;
    db::Transaction transaction(cnnLink);
    const int renamed = renameColumn(cnnLink, QStringLiteral("tblTimeCards"),
                                     QStringLiteral("RateSource"), renaming);
    renameColumn(cnnLink, QStringLiteral("tblAdminOptions"), QStringLiteral("FixedRateSource"),
                 renaming);
    transaction.commit();
    return renamed;
}

} // namespace quorvale
