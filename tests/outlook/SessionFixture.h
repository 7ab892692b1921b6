#pragma once

#include "outlook/OutlookSession.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QVariantMap>
#include <gtest/gtest.h>

namespace quorvale::test {

// A session on a real store root in a scratch directory, a real settings file
// and scripted answers.
class SessionFixture : public ::testing::Test {
protected:
    TempDir dir;
    QString root = dir.filePath("Items");
    QString iniPath = dir.filePath("settings.ini");

    static FolderId idOf(const pim::Folder &folder) { return {folder.entryId(), folder.storeId()}; }
    static QVariantMap pick(const pim::Folder &folder)
    {
        return {{"entryId", folder.entryId()}, {"storeId", folder.storeId()}};
    }
    QByteArray settingsBytes() const
    {
        QFile file(iniPath);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString storedFolderValue(const QString &name) const
    {
        Registry fresh(iniPath);
        return fresh.openSubKey("Settings\\Folders").readText(name);
    }
    QStringList titles() const
    {
        QStringList list;
        for (const auto &message : prompts.messages())
            list.append(message.title);
        return list;
    }

    Registry registry{iniPath};
    ScriptedPrompts prompts;
    OutlookSession session{root, registry, prompts};
};

} // namespace quorvale::test
