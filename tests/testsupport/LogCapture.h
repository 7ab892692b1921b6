#pragma once

#include <QList>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QtGlobal>

namespace quorvale::test {

// The warnings the code under test logs while it lives, with the thread that
// logged each.
class LogCapture {
public:
    struct Line {
        QString category;
        QString text;
        QThread *thread;
    };
    LogCapture()
    {
        const QMutexLocker lock(&s_mutex);
        s_lines.clear();
        s_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(s_previous); }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // Whether a warning of that category holding that text was logged.
    static bool has(const QString &category, const QString &text)
    {
        for (const Line &line : lines())
            if (line.category == category && line.text.contains(text))
                return true;
        return false;
    }
    static QList<Line> lines()
    {
        const QMutexLocker lock(&s_mutex);
        return s_lines;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
    {
        if (type == QtWarningMsg) {
            const QMutexLocker lock(&s_mutex);
            s_lines.append({QString::fromLatin1(context.category), text, QThread::currentThread()});
        }
    }
    static inline QtMessageHandler s_previous = nullptr;
    static inline QMutex s_mutex;
    static inline QList<Line> s_lines;
};

} // namespace quorvale::test
