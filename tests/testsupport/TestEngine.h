#pragma once

#include "data/DatabaseSettings.h"

#include <QString>
#include <gtest/gtest.h>

namespace quorvale::test {

// The suites that read and write the program database run twice in CI: on the
// embedded file, and with QUORVALE_TEST_ENGINE=server on the PostgreSQL server of
// scripts/with-postgres.sh, so a statement one engine takes and the other refuses
// fails a test instead of a firm that moved to a server.
bool onServer();

// The program database of one test on the engine of the run. On the server it is a
// schema of its own (every connection made from connectString() sees only it),
// dropped when this goes; on the embedded engine it is nothing, and the file
// belongs to whoever makes it. Declare it before anything that connects to it.
class EngineDatabase {
public:
    EngineDatabase();
    ~EngineDatabase();
    EngineDatabase(const EngineDatabase &) = delete;
    EngineDatabase &operator=(const EngineDatabase &) = delete;

    bool onServer() const { return !m_schema.isEmpty(); }
    // Server only: a connect string as an administrator would give qvadmin.
    QString connectString() const;
    // Server only: the "Database" settings a program start reads for it.
    DatabaseSettings settings() const;
    // Server only: makes the program tables with their default rows.
    void createProgramTables() const;

private:
    QString serverConnect() const;
    QString m_schema;
};

} // namespace quorvale::test

// For a test that cannot apply on the server: says why it skips there.
#define QV_EMBEDDED_ONLY(why)                                                                      \
    do {                                                                                           \
        if (::quorvale::test::onServer())                                                          \
            GTEST_SKIP() << "embedded engine only: " << why;                                       \
    } while (false)
