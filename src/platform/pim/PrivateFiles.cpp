#include "platform/pim/PrivateFiles.h"

#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QUuid>

namespace quorvale::pim {

namespace {

constexpr QFileDevice::Permissions OwnerDir =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

[[noreturn]] void fail(const QString &what, const QString &path, const QString &reason)
{
    throw QvError(PathFileAccessError,
                  QStringLiteral("%1 \"%2\": %3").arg(what, QDir::toNativeSeparators(path), reason),
                  QLatin1String(ErrorSource));
}

} // namespace

void writePrivateFile(const QString &path, const QByteArray &data)
{
    WholeFileOptions options;
    options.errorNumber = PathFileAccessError;
    options.errorSource = QLatin1String(ErrorSource);
    writeWholeFile(path, data, options);
}

void makePrivateDir(const QString &path)
{
    if (!QDir().mkpath(path))
        fail(QStringLiteral("Cannot create the directory"), path, QStringLiteral("mkpath failed"));
    if (!QFile::setPermissions(path, OwnerDir))
        fail(QStringLiteral("Cannot protect the directory"), path, QStringLiteral("chmod failed"));
}

QJsonObject readJsonObject(const QString &path, bool *ok)
{
    if (ok)
        *ok = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return {};
    if (ok)
        *ok = true;
    return doc.object();
}

void writeJsonObject(const QString &path, const QJsonObject &object)
{
    writePrivateFile(path, QJsonDocument(object).toJson(QJsonDocument::Indented));
}

QString newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

} // namespace quorvale::pim
