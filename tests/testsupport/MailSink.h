#pragma once

// Mail as it leaves the program, caught by real pieces: a local SMTP server
// written with Python's standard library, a sendmail-compatible client that
// hands it a message, and Python's strict email parser to read what was
// written. Header-only: the scripts are found through the test target's
// QUORVALE_SOURCE_DIR.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QThread>
#include <optional>

namespace quorvale::test {

// Waits for files and processes: long enough for a loaded machine, and only
// ever reached when something is broken.
inline constexpr int MailWaitMs = 30000;

inline QString mailScript(const char *name)
{
    return QStringLiteral(QUORVALE_SOURCE_DIR "/tests/testsupport/mail/") + QLatin1String(name);
}

// What check_message.py found in a message file: "problems" (empty when a
// strict mail program takes it whole), "from", "fromName", "to", "subject",
// "date", "types", "calendar" {"method", "text"}, "body", "private".
inline QJsonObject checkMessage(const QString &file)
{
    QProcess python;
    python.start(QStringLiteral("python3"), {mailScript("check_message.py"), file});
    if (!python.waitForFinished(MailWaitMs) || python.exitCode() != 0)
        return {{QStringLiteral("problems"),
                 QJsonArray{QStringLiteral("the checker failed: ") +
                            QString::fromUtf8(python.readAllStandardError())}}};
    return QJsonDocument::fromJson(python.readAllStandardOutput()).object();
}

inline QStringList strings(const QJsonValue &array)
{
    QStringList out;
    for (const QJsonValue &v : array.toArray())
        out << v.toString();
    return out;
}

// One message the sink took: its file and its envelope.
struct ReceivedMail {
    QString file;
    QString envelopeFrom;
    QStringList envelopeTo;
};

// A local SMTP server for the life of the object (smtp_sink.py).
class MailSink {
public:
    explicit MailSink(const QString &directory) : m_dir(directory)
    {
        QDir().mkpath(m_dir);
        m_server.start(QStringLiteral("python3"), {mailScript("smtp_sink.py"), m_dir});
        if (!m_server.waitForStarted(MailWaitMs))
            return;
        const QDeadlineTimer deadline(MailWaitMs);
        while (!QFile::exists(portFile()) && !deadline.hasExpired() &&
               m_server.state() != QProcess::NotRunning)
            QThread::msleep(10);
        QFile port(portFile());
        if (port.open(QIODevice::ReadOnly))
            m_port = port.readAll().trimmed().toInt();
    }
    ~MailSink() { stop(); }
    MailSink(const MailSink &) = delete;
    MailSink &operator=(const MailSink &) = delete;

    bool isListening() const { return m_port > 0 && m_server.state() == QProcess::Running; }
    int port() const { return m_port; }
    // A sendmail-compatible command line that delivers here.
    QString command() const { return commandFor(m_port); }
    static QString commandFor(int port)
    {
        return QStringLiteral("python3 \"%1\" --port %2 -t -i")
            .arg(mailScript("sendmail_client.py"))
            .arg(port);
    }

    // Ends the server: nothing listens on its port any more.
    void stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.closeWriteChannel();
        if (!m_server.waitForFinished(MailWaitMs)) {
            m_server.kill();
            m_server.waitForFinished();
        }
    }

    // The messages taken so far, in order.
    int count() const
    {
        int n = 0;
        while (QFile::exists(emlFile(n + 1)))
            ++n;
        return n;
    }
    // The n-th message (from 1) once it is there; nothing when it never came.
    std::optional<ReceivedMail> waitFor(int n) const
    {
        const QDeadlineTimer deadline(MailWaitMs);
        while (!QFile::exists(emlFile(n)) && !deadline.hasExpired())
            QThread::msleep(10);
        QFile envelope(QDir(m_dir).filePath(QStringLiteral("%1.json").arg(n)));
        if (!QFile::exists(emlFile(n)) || !envelope.open(QIODevice::ReadOnly))
            return std::nullopt;
        const QJsonObject e = QJsonDocument::fromJson(envelope.readAll()).object();
        return ReceivedMail{emlFile(n), e.value(QStringLiteral("from")).toString(),
                            strings(e.value(QStringLiteral("to")))};
    }

private:
    QString portFile() const { return QDir(m_dir).filePath(QStringLiteral("port")); }
    QString emlFile(int n) const { return QDir(m_dir).filePath(QStringLiteral("%1.eml").arg(n)); }

    QString m_dir;
    QProcess m_server;
    int m_port = 0;
};

} // namespace quorvale::test
