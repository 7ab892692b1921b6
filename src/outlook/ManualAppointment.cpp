#include "outlook/ManualAppointment.h"

#include "outlook/OutlookSession.h"
#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"
#include "support/Trace.h"

namespace quorvale {

QString outOfOfficeProblem(const OutOfOfficeTime &time)
{
    if (!time.start.isValid() || !time.end.isValid())
        return QStringLiteral("Please enter a start and an end date and time.");
    if (time.end <= time.start)
        return QStringLiteral("The end of the out-of-office time must come after its start.");
    return QString();
}

clsAutoAppointment::Result ManualAppointment(clsAutoAppointment &appointments,
                                             OutlookSession &session, const TimeCardSnapshot &card,
                                             ItemVariables variables, TemplateContext &context,
                                             const OutOfOfficeTime &time)
{
    TraceScope trace(u"frmTimeCard: ManualAppointment");
    if (const QString problem = outOfOfficeProblem(time); !problem.isEmpty())
        throw QvError(ErrorNumber::InvalidCharacter, problem, QStringLiteral("Quorvale"));
    variables.segmentStart = time.start;
    variables.segmentEnd = time.end;
    if (context.pending && !time.timeDetail.trimmed().isEmpty())
        context.pending->set(time.timeDetail);
    else if (context.pending && context.pending->isEmpty())
        context.pending->set(QStringLiteral("Out of office"));
    const clsAutoAppointment::Result result = appointments.ProcessAppointment(
        card, TimedSegment{time.start, time.end}, variables, context);
    if (result.written && time.display) {
        if (std::unique_ptr<pim::Item> item = session.nameSpace().itemFromId(result.entryId, {}))
            item->Display(session.inspector(), false);
    }
    return result;
}

} // namespace quorvale
