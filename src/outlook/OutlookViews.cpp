#include "outlook/OutlookViews.h"

#include <QDir>

namespace quorvale {

const OutlookView *outlookViewForTool(int toolId)
{
    for (const OutlookView &view : OutlookViews)
        if (view.toolId == toolId)
            return &view;
    return nullptr;
}

QString viewFilePath(const QString &programDir, const OutlookView &view)
{
    return QDir(programDir).filePath(QLatin1String(view.viewFile) + QStringLiteral(".txt"));
}

QString viewNotAvailableText()
{
    return QStringLiteral("We're sorry, but Quorvale could not open the requested  ") +
           QStringLiteral("view.  Please see your administrator.");
}

QString viewNotAvailableTitle()
{
    return QStringLiteral(" View Not Available");
}

} // namespace quorvale
