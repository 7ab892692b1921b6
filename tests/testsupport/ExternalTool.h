#pragma once

#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QString>
#include <gtest/gtest.h>

namespace quorvale::test {

// The test script installs the programs other people read our files with and sets
// QUORVALE_REQUIRE_TOOLS, so there a missing one fails the run instead of letting
// the interoperability tests pass without running.
inline bool toolsRequired()
{
    return qEnvironmentVariableIsSet("QUORVALE_REQUIRE_TOOLS");
}

// For running a calendar or contacts program on the test's files only: its home,
// configuration, data and cache all in the scratch directory `home`.
inline QProcessEnvironment scratchHomeEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

inline bool haveTool(const char *name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

} // namespace quorvale::test

// Use at the top of a test body or SetUp(): skips, or fails where tools are required.
#define QV_NEED_TOOL(name)                                                                         \
    do {                                                                                           \
        if (!::quorvale::test::haveTool(name)) {                                                   \
            if (::quorvale::test::toolsRequired())                                                 \
                FAIL() << name << " is not installed, and this run requires it";                   \
            GTEST_SKIP() << name << " is not installed";                                           \
        }                                                                                          \
    } while (false)
