#include "DocumentFileName.h"

namespace quorvale {

std::optional<QString> newDocumentFileName(const QString &typed, const QString &extension)
{
    QString name = typed.trimmed();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return std::nullopt;
    // A backslash names a folder to anyone used to the other desktop, so it is
    // refused as well as the real separator.
    for (const QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QChar::Null)
            return std::nullopt;
    const QString suffix = QLatin1Char('.') + extension;
    if (!extension.isEmpty() && !name.endsWith(suffix, Qt::CaseInsensitive))
        name += suffix;
    return name;
}

} // namespace quorvale
