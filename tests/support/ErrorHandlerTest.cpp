#include "support/ErrorHandler.h"

#include "platform/core/QvError.h"
#include "support/ErrorReport.h"
#include "support/Version.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class ErrorHandlerTest : public ::testing::Test {
protected:
    ErrorHandlerTest()
    {
        handler.terminate = [this](int code) { exitCodes.push_back(code); };
        handler.restorePointer = [this] { ++pointerRestores; };
    }

    QStringList reports() const
    {
        return QDir(dir.path()).entryList({"error-report-*.txt"}, QDir::Files);
    }
    QString onlyReport() const
    {
        const QStringList names = reports();
        if (names.size() != 1)
            return QString();
        QFile file(dir.filePath(names.front()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    test::TempDir dir;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, dir.path()};
    ErrorHandler handler{report};
    std::vector<int> exitCodes;
    int pointerRestores = 0;
};

TEST_F(ErrorHandlerTest, AnErrorIsReportedWithTheCallersTraceAndEndsTheProgram)
{
    Trace::clear();
    Trace::enter(u"frmTimeCard: Form_Load");
    Trace::enter(u"modSettings: OpenDB");

    const auto outcome = handler.handle(QvError(53, "File not found: QVData.db", "modSettings"));

    EXPECT_EQ(outcome, ErrorHandler::Outcome::Ended);
    EXPECT_EQ(exitCodes, std::vector<int>{ErrorHandler::ExitAfterReport});
    EXPECT_EQ(pointerRestores, 1);
    EXPECT_EQ(handler.errorCount(), 5);
    const QString text = onlyReport();
    EXPECT_TRUE(text.contains(QStringLiteral("Version: %1\n").arg(Version::text())));
    EXPECT_TRUE(text.contains("Number: 53\n"));
    EXPECT_TRUE(text.contains("Source: modSettings\n"));
    // The failing procedure leads the reported trace; the handler itself is not in it.
    EXPECT_TRUE(text.contains("Trace:\nmodSettings: OpenDBX:\nfrmTimeCard: Form_LoadX:\n"))
        << text.toStdString();
    EXPECT_TRUE(Trace::text().startsWith(u"modErrors: ErrorHandlerX:\nmodSettings: OpenDB"));
    EXPECT_EQ(prompts.messages().size(), 1);
}

TEST_F(ErrorHandlerTest, ALostItemStoreIsReconnectedAndTheCallerGoesOn)
{
    bool reachable = false;
    int reconnects = 0;
    handler.storeReachable = [&] { return reachable; };
    handler.reconnectStore = [&] {
        ++reconnects;
        reachable = true;
        return true;
    };

    EXPECT_EQ(handler.handle(91, "Object variable not set", "x", QString()),
              ErrorHandler::Outcome::Resume);
    // 462 is the store gone away even when it still looks reachable.
    EXPECT_EQ(handler.handle(ErrorNumber::OutlookMissing, "The remote server machine", "x", {}),
              ErrorHandler::Outcome::Resume);
    EXPECT_EQ(reconnects, 2);
    EXPECT_EQ(handler.errorCount(), 2);
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_TRUE(reports().isEmpty());
    EXPECT_TRUE(prompts.messages().isEmpty());

    // A reachable store and another error: no reconnect.
    handler.handle(13, "Type mismatch", "x", {});
    EXPECT_EQ(reconnects, 2);
}

TEST_F(ErrorHandlerTest, ErrorsPiledUpEndTheProgramAtOnceWithoutAReport)
{
    int reconnects = 0;
    handler.reconnectStore = [&]() -> bool {
        ++reconnects;
        throw QvError(ErrorNumber::OutlookInstance, "Unable to create Outlook instance.", "x");
    };

    handler.handle(ErrorNumber::OutlookMissing, "gone", "x", {});
    EXPECT_EQ(exitCodes, std::vector<int>{ErrorHandler::ExitAfterReport});
    EXPECT_EQ(reports().size(), 1);

    // An injected terminate returns, so the caller ran on into a second error.
    handler.handle(ErrorNumber::OutlookMissing, "gone", "x", {});
    EXPECT_EQ(reconnects, 2);
    EXPECT_EQ(handler.errorCount(), 10);
    EXPECT_EQ(exitCodes,
              (std::vector<int>{ErrorHandler::ExitAfterReport, ErrorHandler::ExitTooManyErrors}));
    EXPECT_EQ(reports().size(), 1);
    EXPECT_EQ(pointerRestores, 1);
}

TEST_F(ErrorHandlerTest, DatabaseEngineErrorsAreReportedByTheLinksState)
{
    // A handler of its own per case: each report ends the program.
    const auto reportFor = [&](const DatabaseError &last, long number, const QString &description,
                               const QString &source) {
        for (const QString &name : reports())
            QFile::remove(dir.filePath(name));
        ErrorHandler h(report);
        h.terminate = [](int) {};
        h.lastDatabaseError = [&] { return std::optional<DatabaseError>(last); };
        h.handle(number, description, source, {});
        return onlyReport();
    };
    const DatabaseError jet{"3022", "The changes were not successful"};
    QString text = reportFor(jet, -2147467259, "Unspecified", JetErrorSource);
    EXPECT_TRUE(text.contains("Number: 3022\nDescription: The changes were not successful\n"))
        << text.toStdString();

    // A five-letter SQLSTATE cannot be the number; it stays in the text.
    const DatabaseError odbc{"HY000", "duplicate key"};
    text = reportFor(odbc, -2147467259, "Unspecified", JetErrorSource);
    EXPECT_TRUE(text.contains("Number: -2147467259\nDescription: [HY000] duplicate key\n"))
        << text.toStdString();

    // Other sources keep their own error.
    text = reportFor(odbc, 7, "Out of memory", "frmExpenses");
    EXPECT_TRUE(text.contains("Number: 7\nDescription: Out of memory\n"));
}

} // namespace

TEST_F(ErrorHandlerTest, ALostServerTakenByItsWatchNeitherEndsNorCountsNorReports)
{
    QStringList taken;
    bool watching = true;
    handler.connectionLost = [&](const QString &description) {
        taken << description;
        return watching;
    };
    const QvError lost(ErrorNumber::ConnectionLost,
                       "The connection to the data source 'Team' is lost: server closed the "
                       "connection [INSERT INTO tblTimedAppointments (TimeCardID) VALUES (?)]",
                       OdbcErrorSource);
    // However often it comes, as every command during an outage may meet it.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(handler.handle(lost), ErrorHandler::Outcome::Resume);
    EXPECT_EQ(taken.size(), 4);
    EXPECT_EQ(taken.front(), lost.description());
    EXPECT_TRUE(exitCodes.empty());
    EXPECT_EQ(handler.errorCount(), 0);
    EXPECT_TRUE(reports().isEmpty());

    // No server connection to make again (the watch refuses): an error like any other.
    watching = false;
    EXPECT_EQ(handler.handle(lost), ErrorHandler::Outcome::Ended);
    EXPECT_EQ(exitCodes, std::vector<int>{ErrorHandler::ExitAfterReport});
    // Other errors never reach the watch.
    handler.handle(QvError(53, "File not found", "modSettings"));
    EXPECT_EQ(taken.size(), 5);
}

namespace {

TEST_F(ErrorHandlerTest, AnyExceptionAtACommandKeepsItsOwnNumberAndSource)
{
    const std::exception &own =
        QvError(ErrorNumber::ObjectClosed, "The TimeCards are not open.", "WorkingSet");
    handler.handle(own);
    EXPECT_TRUE(onlyReport().contains("Number: 3704\nDescription: The TimeCards are not open.\n"))
        << onlyReport().toStdString();
    EXPECT_TRUE(onlyReport().contains("Source: WorkingSet\n")) << onlyReport().toStdString();

    QDir(dir.path()).removeRecursively();
    QDir().mkpath(dir.path());
    ErrorHandler fresh{report}; // the first one has counted its error
    fresh.terminate = [](int) {};
    fresh.handle(std::runtime_error("vector too long"));
    EXPECT_TRUE(onlyReport().contains("Number: -2147467259\nDescription: vector too long\n"))
        << onlyReport().toStdString();
    EXPECT_TRUE(onlyReport().contains("Source: Quorvale\n")) << onlyReport().toStdString();
}

} // namespace
