#include "TimeCalcs.h"

#include "platform/core/QvError.h"

namespace quorvale {

qint64 ConvertTimeToSeconds(const QString &text)
{
    const std::optional<Duration> d = Duration::fromStored(text);
    if (!d) {
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("Not a duration: \"%1\"").arg(text),
                      QStringLiteral("modTimeCalcs"));
    }
    return d->seconds();
}

QString ConvertSecondsToTime(qint64 seconds)
{
    return Duration::fromSeconds(seconds).toStored();
}

} // namespace quorvale
