#include "platform/pim/MaildirNames.h"

#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"
#include "platform/pim/PrivateFiles.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSysInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace quorvale::pim::maildir {

namespace {

constexpr QLatin1String InfoSeparator(":2,");

[[noreturn]] void fail(const QString &what, const QString &path, const QString &reason)
{
    throw QvError(PathFileAccessError,
                  QStringLiteral("%1 \"%2\": %3").arg(what, QDir::toNativeSeparators(path), reason),
                  QLatin1String(ErrorSource));
}

QString errnoText()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// Maildir names may not hold "/" or ":" (the info separator): the host name
// gets them escaped as octal, as Maildir writers do.
QString safeHostName()
{
    QString host = QSysInfo::machineHostName();
    if (host.isEmpty())
        host = QStringLiteral("localhost");
    host.replace(QLatin1Char('/'), QLatin1String("\\057"));
    host.replace(QLatin1Char(':'), QLatin1String("\\072"));
    return host;
}

bool isPlainName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

void renameFile(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        fail(QStringLiteral("Cannot move the message to"), to, errnoText());
}

} // namespace

QString uniqueBaseName()
{
    static QAtomicInteger<quint32> counter;
    const qint64 usecs = QDateTime::currentMSecsSinceEpoch() * 1000;
    const QString unique =
        QStringLiteral("M%1P%2Q%3R%4")
            .arg(usecs % 1000000)
            .arg(::getpid())
            .arg(counter.fetchAndAddRelaxed(1) + 1)
            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    return QStringLiteral("%1.%2.%3").arg(usecs / 1000000).arg(unique, safeHostName());
}

QString baseName(const QString &fileName)
{
    QString name = fileName;
    if (name.startsWith(QLatin1String("cur/")) || name.startsWith(QLatin1String("new/")))
        name = name.mid(4);
    const qsizetype info = name.indexOf(InfoSeparator);
    return info < 0 ? name : name.left(info);
}

QString flagsOf(const QString &fileName)
{
    const qsizetype info = fileName.indexOf(InfoSeparator);
    return info < 0 ? QString() : fileName.mid(info + InfoSeparator.size());
}

QString withFlag(const QString &flags, QChar flag, bool on)
{
    QString result = flags;
    result.remove(flag);
    if (on)
        result += flag;
    std::sort(result.begin(), result.end());
    return result;
}

QString curName(const QString &base, const QString &flags)
{
    return QStringLiteral("cur/") + base + InfoSeparator + flags;
}

QString locate(const QString &maildirPath, const QString &fileName)
{
    const QString base = baseName(fileName);
    if (!isPlainName(base))
        return QString();
    const QDir maildir(maildirPath);
    // The name as given is usually still right: avoid listing a large folder.
    if ((fileName.startsWith(QLatin1String("cur/")) ||
         fileName.startsWith(QLatin1String("new/"))) &&
        isPlainName(fileName.mid(4)) && QFileInfo(maildir.filePath(fileName)).isFile())
        return fileName;
    for (const char *sub : {"new", "cur"}) {
        QDirIterator it(maildir.filePath(QLatin1String(sub)), QDir::Files | QDir::Hidden);
        while (it.hasNext()) {
            it.next();
            const QString name = it.fileName();
            if (name == base ||
                (name.startsWith(base) && name.mid(base.size()).startsWith(InfoSeparator)))
                return QLatin1String(sub) + QLatin1Char('/') + name;
        }
    }
    return QString();
}

void write(const QString &maildirPath, const QString &currentName, const QString &targetName,
           const QByteArray &content)
{
    const QDir maildir(maildirPath);
    const bool replacing =
        !currentName.isEmpty() && QFileInfo(maildir.filePath(currentName)).isFile();
    WholeFileOptions options;
    // Maildir readers expect a message being written to lie in tmp/.
    options.temporaryPath = maildir.filePath(QStringLiteral("tmp/") + uniqueBaseName());
    options.errorNumber = PathFileAccessError;
    options.errorSource = QLatin1String(ErrorSource);
    writeWholeFile(maildir.filePath(replacing ? currentName : targetName), content, options);
    if (replacing && currentName != targetName)
        renameFile(maildir.filePath(currentName), maildir.filePath(targetName));
}

void move(const QString &fromMaildir, const QString &fromName, const QString &toMaildir,
          const QString &toName)
{
    renameFile(QDir(fromMaildir).filePath(fromName), QDir(toMaildir).filePath(toName));
}

} // namespace quorvale::pim::maildir
