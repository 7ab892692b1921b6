#pragma once

#include "platform/db/Connection.h"
#include "testsupport/ScopedEnv.h"
#include "testsupport/TempDir.h"
#include "testsupport/TestEngine.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>

namespace quorvale::test {

struct CommandOutput {
    int result = 0;
    QString out;
    QString err;
};

// Runs qvadmin command lines in a scratch directory with a settings file of its own.
// On a server run (QUORVALE_TEST_ENGINE=server) the program database of runHere()
// and openData() is a schema of the test server instead of QVData.db.
class AdminFixture : public ::testing::Test {
protected:
    // A command given no program directory takes the default one, where it
    // may write the item store: that must be the test's, never the person's.
    QString defaultProgramDir() const { return m_tmp.filePath("home"); }
    QString programDir() const { return m_tmp.filePath("program"); }
    QString dataDir() const { return m_tmp.filePath("data"); }
    QString settingsFile() const { return m_tmp.filePath("settings.ini"); }
    QString dataFile() const { return dataDir() + "/QVData.db"; }

    // args after "--settings FILE"; directories are the caller's to add.
    CommandOutput run(const QStringList &args) const;
    // The same with --program-dir and the program database of this fixture
    // (--data-dir, or --server on a server run).
    CommandOutput runHere(const QStringList &args) const;
    // init (plus extra) here; fails the test when it does not succeed.
    void initHere(const QStringList &extra = {}) const;

    // The program database here, opened anew.
    std::unique_ptr<db::Connection> openData() const;
    QVariant scalar(const QString &sql, const QVariantList &params = {}) const;
    qlonglong count(const QString &sql, const QVariantList &params = {}) const
    {
        return scalar(sql, params).toLongLong();
    }

    // Declared first: the schema outlives every connection the test opens to it.
    EngineDatabase m_engine;
    TempDir m_tmp;
    ScopedEnv m_home{"QUORVALE_HOME", defaultProgramDir().toUtf8()};
};

} // namespace quorvale::test
