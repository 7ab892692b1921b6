#include "timecards/ValueRefresh.h"

#include "data/TimeCardRepository.h"
#include "platform/db/Connection.h"
#include "timecards/TimeCardValue.h"

namespace quorvale {

void refreshTimeCardValue(db::Connection &cnnLink, qint64 timeCardId,
                          const ValueRefreshContext &context)
{
    TimeCardRepository timeCards(cnnLink);
    const std::optional<TimeCard> card = timeCards.find(timeCardId);
    if (!card || card->isInvoiced())
        return;
    RateKeys keys;
    keys.userId = card->userId;
    keys.staffId = context.staffId;
    keys.contactId = card->contactId;
    keys.activity1Id = card->activity1Id;
    keys.activity2Id = card->activity2Id;
    const Money rate =
        FetchHourlyRate(card->rateSource, card->rateLevel, keys, context.options, context.lookup)
            .value_or(card->rate);
    const Realization realization =
        context.contactChanged ? applicableRealization(cnnLink, RealizationKind::Time,
                                                       keys.contactId, context.realizationInUse)
                               : card->realization;
    const Money value =
        CalculateTimeSpentValue(ValueInputs{card->rateSource, card->timeSpent.toStored(), rate,
                                            card->flatRate, realization, context.realizationInUse});
    timeCards.setPricing(timeCardId, rate, realization, value);
}

} // namespace quorvale
