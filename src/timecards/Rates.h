#pragma once

#include "data/SortOrders.h"
#include "platform/core/Money.h"

#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace quorvale {

namespace db {
class Command;
class Connection;
} // namespace db

// Rate source texts are stored in tblTimeCards.RateSource as shown.
inline constexpr QLatin1String FlatFeeSource{"Flat Fee"};
inline constexpr QLatin1String StaffRatesSource{"Staff Rates"};
inline constexpr QLatin1String StaffLevelRatesSource{"Staff Level Rates"};

enum class RateSourceKind { FlatFee, Staff, StaffLevel, Contact, Activity1, Activity2 };

// term + " Rates": the text of a contact or activity rate source.
QString termRates(const QString &term);
QString rateSourceText(RateSourceKind kind, const Terms &terms);
// nullopt for a text that names no source under these terms. A term that spells
// a staff source ("Staff", "Staff Level") loses to it; the contact term wins over
// an equal activity term.
std::optional<RateSourceKind> rateSourceKind(const QString &text, const Terms &terms);

inline constexpr int RateLevelCount = 6;
// "1" .. "6", the stored RateLevel texts, in level order.
QStringList rateLevels();
// 0 for "1" .. 5 for "6"; nullopt for any other text.
std::optional<int> rateLevelIndex(const QString &level);

// The administrator's rate options and terms, as the caller holds them.
struct RateOptions {
    Terms terms;
    bool contactInUse = true;
    bool activity1InUse = true;
    bool activity2InUse = true;
    bool rateSourceFixed = false;
    QString fixedRateSource;
    QString fixedRateLevel;
    Money fixedHourlyRate; // with rateSourceFixed: overrides the lookup when not 0
};

// The rate sources the rate source list offers: only the administrator's when
// fixed; else the staff sources, the contact and activity sources of the fields
// in use, and "Flat Fee".
QStringList offeredRateSources(const RateOptions &options);

// The source and level that apply to a TimeCard: the administrator's when fixed.
struct RateSelection {
    QString source;
    QString level;
};
RateSelection applicableRate(const QString &rateSource, const QString &rateLevel,
                             const RateOptions &options);

// The keys that find a TimeCard's rate row in each source. An empty optional is
// a field with nothing chosen.
struct RateKeys {
    qint32 userId = 0;
    std::optional<qint32> staffId;
    std::optional<qint32> contactId;
    std::optional<qint32> activity1Id;
    std::optional<qint32> activity2Id;
};
std::optional<qint32> rateKey(RateSourceKind kind, const RateKeys &keys);

// The prepared rates lookup of a rate source text (PreparedCommands::ratesFor);
// nullptr when there is none.
using RatesLookup = std::function<db::Command *(const QString &rateSource)>;

using SourceRates = std::array<Money, RateLevelCount>;
// Runs a rates lookup (Rate1..Rate6 of one row) for key: nullopt when no row
// is found; a null rate column reads as 0.
std::optional<SourceRates> readRates(db::Command &rates, qint32 key);

// The six rates of the applicable source's row for this TimeCard; nullopt for
// "Flat Fee", an unknown source, a source whose field has nothing chosen, or a
// missing lookup. A missing row gives six zeros.
std::optional<SourceRates> FetchSourceRates(const RateSelection &applied, const RateKeys &keys,
                                            const RateOptions &options, const RatesLookup &lookup);

// The hourly rate of a TimeCard. The administrator's non-zero hourly rate wins
// when the source is fixed. nullopt means nothing was looked up and the stored
// rate stays (flat fee, no contact or activity chosen for its source, a level
// outside "1".."6", an unknown source). A missing row or a null rate gives 0.
std::optional<Money> FetchHourlyRate(const QString &rateSource, const QString &rateLevel,
                                     const RateKeys &keys, const RateOptions &options,
                                     const RatesLookup &lookup);

// The rate source texts that change when the administrator renames terms.
class RateSourceRenaming {
public:
    RateSourceRenaming(const Terms &before, const Terms &after);

    bool empty() const { return m_renames.empty(); }
    // The new text of an old one; any other text unchanged. One pass, so terms
    // that trade names trade their sources too.
    QString apply(const QString &text) const;
    QStringList apply(const QStringList &texts) const;
    const std::vector<std::pair<QString, QString>> &renames() const { return m_renames; }

private:
    std::vector<std::pair<QString, QString>> m_renames; // old text, new text
};

// "SELECT ContactTerm, Activity1Term, Activity2Term FROM tblAdminOptions".
Terms ReadTerms(db::Connection &cnnLink);

// Renames the stored rate sources of every TimeCard and the administrator's fixed
// rate source in one transaction, so that filters, sorts and reports never see
// two texts for one source. Returns the TimeCards renamed.
int RenameStoredRateSources(db::Connection &cnnLink, const RateSourceRenaming &renaming);

} // namespace quorvale
