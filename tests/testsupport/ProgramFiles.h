#pragma once

#include "data/DatabaseSettings.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "testsupport/TestEngine.h"

#include <QStringList>
#include <QVariantList>

namespace quorvale::test {

// A program directory (QVLink.db, QVLocal.db, QVReport.db) and a program database
// made with the real schema, plus the error plumbing start-up uses, with the
// program's end caught instead of carried out. The program database is QVData.db
// in the data directory, or on a server run a schema of the test server that the
// link file's pass-through links name.
class ProgramFiles {
    // Declared first: the error plumbing below is built on them.
    EngineDatabase m_engine;
    TempDir m_dir;
    QString m_programDir;
    QString m_dataDir;
    QString m_reports;

public:
    ProgramFiles();

    QString programDir() const { return m_programDir; }
    QString dataDir() const { return m_dataDir; }
    QString dataFile() const;
    QString linkFile() const;
    QString localFile() const;

    bool onServer() const { return m_engine.onServer(); }
    // The "Database" settings a program start reads; connectionType only means
    // something to the embedded engine.
    DatabaseSettings databaseSettings(qint16 connectionType = 0) const;
    // What to open the program database with, on either engine.
    QString programConnectString() const;

    // Runs one statement on a database file of this set; dataFile() stands for the
    // program database wherever it is.
    void exec(const QString &file, const QString &sql, const QVariantList &params = {}) const;
    QVariant scalar(const QString &file, const QString &sql, const QVariantList &params = {}) const;

    qint32 addContact(const QString &name, bool active = true) const;
    // A TimeCard of userId; contactId 0 means none.
    qint32 addTimeCard(qint32 userId, qint32 contactId, bool hidden = false,
                       QVariant invoiceId = QVariant(), const QString &startDate = {}) const;

    // Files in both directories with their sizes and modification times, to show
    // that a failed operation changed nothing.
    QStringList snapshot() const;

    ScriptedPrompts prompts;
    ErrorReport report;
    ErrorHandler errors;
    int endedWith = 0; // the exit code the program would have ended with

private:
    QString connectStringOf(const QString &file) const;
};

} // namespace quorvale::test
