#include "TimeCardSettings.h"

#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "settings/RegSettings.h"

#include <QSqlRecord>

namespace quorvale {

EditorOptions editorOptions(const AdminOptions &o, const RegSettings &settings)
{
    const ValidationFlags &v = settings.validation;
    EditorOptions e;
    e.validation = ValidationOptions{
        o.contactInUse,   o.contactRequired,   o.activity1InUse,  o.activity1Required,
        o.activity2InUse, o.activity2Required, o.rateSourceFixed, v.endBeforeStart,
        v.noTimeSpent,    v.noHourlyRate,      v.noDescription,   v.noJobOrder,
        o.terms,          o.jobOrderTerm};
    e.autoSave = settings.journal.autoSave;
    return e;
}

RateOptions rateOptions(const AdminOptions &o)
{
    return RateOptions{o.terms,           o.contactInUse,    o.activity1InUse, o.activity2InUse,
                       o.rateSourceFixed, o.fixedRateSource, o.fixedRateLevel, o.fixedHourlyRate};
}

bool activityListed(const PreparedCommands &c, int level, qint32 id)
{
    db::Command *list = (level == 1 ? c.activity1List : c.activity2List).get();
    if (!list)
        return false;
    const bool takesContact =
        level == 1 ? c.activity1ListTakesContact : c.activity2ListTakesContact;
    for (const QSqlRecord &row :
         list->all(takesContact ? QVariantList{QVariant()} : QVariantList{}))
        if (row.value(0).toInt() == id)
            return true;
    return false;
}

} // namespace quorvale
