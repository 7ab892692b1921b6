#include "settings/SettingsRules.h"

#include "settings/AdminSettings.h"

namespace quorvale {

bool isStaffRateSource(const QString &rateSource)
{
    return rateSource == QLatin1String("Staff Rates") ||
           rateSource == QLatin1String("Staff Level Rates");
}

qint16 adjustQuickFilterType(qint16 stored, const AdminOptions &options)
{
    qint16 type = stored;
    if (type == 0 && !options.contactInUse)
        type = 1;
    if (type == 1 && !options.activity1InUse)
        type = 2;
    if (type == 2 && !options.activity2InUse)
        type = options.contactInUse ? 0 : 1;
    return type;
}

} // namespace quorvale
