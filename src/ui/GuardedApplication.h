#pragma once

#include <QApplication>
#include <QSet>
#include <exception>
#include <functional>

namespace quorvale {

// The application object with a last guard: an error thrown from a field's
// change, a timer or any other event handler reaches the common error handler
// instead of ending the program with the person's unsaved work. Commands catch
// their own errors first; this is for everything that runs outside them.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

    void setErrorHandler(std::function<void(const std::exception &)> handler)
    {
        m_handler = std::move(handler);
    }

    bool notify(QObject *receiver, QEvent *event) override;

    // For an error caught at a slot: handed to the handler there, it never unwinds
    // through Qt's signal code, which would keep what it held (guards of the
    // action) for good. False when there is no handler to take it.
    bool handle(const std::exception &error)
    {
        if (!m_handler)
            return false;
        m_handler(error);
        return true;
    }

private:
    std::function<void(const std::exception &)> m_handler;
    // Dialogs shown over the busy pointer, each with the arrow it pushed.
    QSet<const QWidget *> m_arrowed;

    // A dialog that waits for the person takes the normal pointer while it shows,
    // whatever work opened it: the busy pointer is for work the person waits on.
    void pointerForDialog(QObject *receiver, QEvent::Type type);
};

} // namespace quorvale
