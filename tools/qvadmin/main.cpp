#include "qvadmin/CommandLine.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTextStream>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Invoice documents are laid out with Qt's text engine, which needs a GUI
    // application; the tool opens no window, so no display is needed either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
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
