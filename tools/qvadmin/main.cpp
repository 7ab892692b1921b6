#include "qvadmin/CommandLine.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char *argv[])
{
    // Invoice documents are laid out with Qt's text engine, which needs a GUI
    // application; the tool opens no window, so no display is needed either.
    // The other commands start without one, as a command-line tool should.
    const bool documents = std::any_of(argv + 1, argv + argc,
                                       [](const char *a) { return !std::strcmp(a, "invoice"); });
    if (documents && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app =
        documents ? std::make_unique<QGuiApplication>(argc, argv)
                  : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Kestrune Software"));
    QCoreApplication::setApplicationName(QStringLiteral("Quorvale for Office"));
    // A command-line tool reports through its own output; the libraries' progress
    // notes are for whoever asks for them with QT_LOGGING_RULES.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(
            QStringLiteral("quorvale.*.debug=false\nquorvale.*.info=false"));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return quorvale::admin::runCommandLine(args, out, err);
}
