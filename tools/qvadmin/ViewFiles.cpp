#include "qvadmin/ViewFiles.h"

#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvale::admin {

namespace {

QStringList viewFileNames()
{
    QStringList names;
    for (int i = 1; i <= 5; ++i)
        names << QStringLiteral("XML%1.txt").arg(i);
    return names;
}

} // namespace

QStringList viewFileSources()
{
    if (!QCoreApplication::instance())
        return {};
    const QDir app(QCoreApplication::applicationDirPath());
    return {app.filePath(QStringLiteral("views")),
            app.filePath(QStringLiteral("../share/quorvale/views"))};
}

int installViewFiles(const QString &programDir, const QStringList &sources)
{
    const QStringList names = viewFileNames();
    for (const QString &source : sources) {
        const QDir from(source);
        if (!QFileInfo::exists(from.filePath(names.first())))
            continue;
        int copied = 0;
        for (const QString &name : names) {
            const QString target = QDir(programDir).filePath(name);
            if (QFileInfo::exists(target) || !QFileInfo::exists(from.filePath(name)))
                continue;
            QFile shipped(from.filePath(name));
            if (!shipped.open(QIODevice::ReadOnly))
                throw QvError(
                    ErrorNumber::Generic,
                    QStringLiteral("The view file %1 could not be read: %2")
                        .arg(QDir::toNativeSeparators(shipped.fileName()), shipped.errorString()),
                    QStringLiteral("qvadmin: init"));
            WholeFileOptions options;
            options.errorNumber = ErrorNumber::Generic;
            options.errorSource = QStringLiteral("qvadmin: init");
            writeWholeFile(target, shipped.readAll(), options);
            ++copied;
        }
        return copied;
    }
    return 0;
}

} // namespace quorvale::admin
