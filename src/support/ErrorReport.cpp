#include "support/ErrorReport.h"

#include "platform/core/OutgoingText.h"
#include "platform/core/WholeFile.h"
#include "support/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcErrorReport, "quorvale.errorreport")

const QString Title = QStringLiteral("Quorvale Error");

QString defaultDirectory()
{
    const QString home = qEnvironmentVariable("QUORVALE_HOME");
    if (!home.isEmpty())
        return home;
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

QString summary(const ErrorReportData &data)
{
    return QStringLiteral("An unexpected error ended Quorvale.\n\nError %1: %2")
        .arg(QString::number(data.number), data.description);
}

} // namespace

ErrorReport::ErrorReport(Prompts &prompts, QString directory)
    : m_prompts(prompts), m_directory(directory.isEmpty() ? defaultDirectory() : directory),
      m_now([] { return QDateTime::currentDateTime(); })
{
}

namespace {

// Reports are read with cat and less: a control character typed into a field
// and carried here in a statement must not drive the reader's terminal.
QString shown(const QString &text)
{
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        line = outgoingText(line, ControlCharacters::Escape);
    return lines.join(u'\n');
}

} // namespace

QString ErrorReport::format(const ErrorReportData &data, const QDateTime &when)
{
    QString text;
    text += QStringLiteral("Time: %1\n").arg(when.toString(Qt::ISODate));
    text += QStringLiteral("Version: %1\n").arg(data.version);
    text += QStringLiteral("Number: %1\n").arg(data.number);
    text += QStringLiteral("Description: %1\n").arg(shown(data.description));
    text += QStringLiteral("Source: %1\n").arg(data.source);
    if (!data.detail.isEmpty())
        text += QStringLiteral("Detail:\n%1\n").arg(shown(data.detail));
    text += QStringLiteral("Trace:\n%1").arg(shown(data.trace));
    if (!text.endsWith(u'\n'))
        text += u'\n';
    return text;
}

QString ErrorReport::write(const ErrorReportData &data, const QDateTime &when,
                           QString &failure) const
{
    if (m_directory.isEmpty()) {
        failure = QStringLiteral("The error report could not be saved: no data folder is known.");
        return QString();
    }
    QDir dir(m_directory);
    if (!dir.exists() && !dir.mkpath(QStringLiteral("."))) {
        failure = QStringLiteral("The error report could not be saved: the folder \"%1\" cannot "
                                 "be created.")
                      .arg(QDir::toNativeSeparators(m_directory));
        return QString();
    }
    const QString stem =
        QStringLiteral("error-report-%1").arg(when.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString path = dir.filePath(stem + QStringLiteral(".txt"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(QStringLiteral("%1-%2.txt").arg(stem).arg(n));

    try {
        writeWholeFile(path, format(data, when).toUtf8());
    } catch (const QvError &e) {
        failure = e.description();
        return QString();
    }
    return path;
}

QString ErrorReport::report(const ErrorReportData &data) noexcept
{
    QString path;
    QString text;
    try {
        QString failure;
        path = write(data, m_now ? m_now() : QDateTime::currentDateTime(), failure);
        if (path.isEmpty()) {
            qCWarning(lcErrorReport) << "error report not written:" << failure;
            // Only a report that is on the disk whole is announced as saved.
            text = summary(data) + QStringLiteral("\n\n") + failure;
        } else {
            text = summary(data) +
                   QStringLiteral("\n\nAn error report was saved to:\n%1\n\nPlease send it to "
                                  "your Quorvale administrator.")
                       .arg(QDir::toNativeSeparators(path));
        }
    } catch (...) {
        path.clear();
        text = summary(data);
    }
    try {
        m_prompts.messageBox(Title, text, PromptButtons::Ok, PromptIcon::Critical);
    } catch (...) {
        qCCritical(lcErrorReport) << "error report could not be shown:" << text;
    }
    return path;
}

} // namespace quorvale
