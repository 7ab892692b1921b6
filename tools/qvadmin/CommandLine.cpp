#include "qvadmin/CommandLine.h"

#include "platform/core/OutgoingText.h"
#include "platform/core/QvError.h"
#include "platform/db/ConnectionString.h"
#include "qvadmin/ActivityCommands.h"
#include "qvadmin/AdminLog.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/BackupCommand.h"
#include "qvadmin/ContactCommands.h"
#include "qvadmin/GenerateCommand.h"
#include "qvadmin/InitCommand.h"
#include "qvadmin/InvoiceCommand.h"
#include "qvadmin/JoinCommand.h"
#include "qvadmin/Location.h"
#include "qvadmin/ReimburseCommand.h"
#include "qvadmin/ReportCommand.h"
#include "qvadmin/TermsCommand.h"
#include "qvadmin/UserCommands.h"
#include "support/AdminTool.h"

#include <QFile>
#include <QTextStream>
#include <exception>

namespace quorvale::admin {

namespace {

bool namesPassword(const QString &connect)
{
    const db::ConnectionString cs(connect);
    return !cs.value(QStringLiteral("PWD")).isEmpty() ||
           !cs.value(QStringLiteral("Password")).isEmpty();
}

// The connect string of --server-file. The file is refused when anyone but its
// owner may read or change it: it holds the password in clear.
QString readServerFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        usageError(QStringLiteral("There is no server file '%1'.").arg(path));
    if (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther |
                              QFileDevice::WriteGroup | QFileDevice::WriteOther))
        usageError(QStringLiteral("The server file '%1' can be read or changed by other users, "
                                  "so it was not used. Make it yours alone with "
                                  "\"chmod 600 %1\" and run the command again.")
                       .arg(path));
    if (!file.open(QIODevice::ReadOnly))
        usageError(QStringLiteral("The server file '%1' could not be read: %2.")
                       .arg(path, file.errorString()));
    const QString text = QString::fromUtf8(file.readAll()).trimmed();
    if (text.isEmpty() || text.contains(u'\n'))
        usageError(QStringLiteral("The server file '%1' must hold one connect string on one "
                                  "line, such as \"DSN=name;Database=db;UID=user;PWD=password;\".")
                       .arg(path));
    return text;
}

// Takes the options every command shares out of args, wherever they stand.
GlobalOptions takeGlobalOptions(QStringList &args, bool &help, QTextStream &err)
{
    GlobalOptions globals;
    const std::pair<const char *, std::optional<QString> GlobalOptions::*> named[] = {
        {"server", &GlobalOptions::server},         {"server-file", &GlobalOptions::serverFile},
        {"settings", &GlobalOptions::settingsFile}, {"program-dir", &GlobalOptions::programDir},
        {"data-dir", &GlobalOptions::dataDir},
    };
    QStringList rest;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            help = true;
            continue;
        }
        bool taken = false;
        for (const auto &[name, member] : named) {
            const QString option = QStringLiteral("--") + QLatin1String(name);
            if (arg == option) {
                if (i + 1 >= args.size())
                    usageError(QStringLiteral("The option %1 needs a value.").arg(option));
                globals.*member = args[++i];
                taken = true;
            } else if (arg.startsWith(option + u'=')) {
                globals.*member = arg.mid(option.size() + 1);
                taken = true;
            }
            if (taken)
                break;
        }
        if (!taken)
            rest << arg;
    }
    args = rest;
    if (globals.server && globals.serverFile)
        usageError(QStringLiteral("--server and --server-file exclude each other."));
    // Every user of the computer can read a command line (ps, /proc).
    if (globals.server && namesPassword(*globals.server))
        err << "qvadmin: warning: the password given with --server shows in the process list "
               "to every user of this computer. Put the connect string in the environment "
               "variable "
            << ServerEnvironmentVariable
            << " or in a file only you can read (--server-file FILE, chmod 600) instead.\n";
    if (globals.serverFile)
        globals.server = readServerFile(*globals.serverFile);
    // The program starts us with the connect string in the environment: on the
    // command line its password would show in every process list.
    if (!globals.server && qEnvironmentVariableIsSet(ServerEnvironmentVariable))
        globals.server = qEnvironmentVariable(ServerEnvironmentVariable);
    return globals;
}

int dispatch(QStringList args, QTextStream &out, QTextStream &err)
{
    bool help = false;
    const GlobalOptions globals = takeGlobalOptions(args, help, err);
    if (help || args.isEmpty()) {
        out << helpText();
        return args.isEmpty() && !help ? 2 : 0;
    }
    const QString command = args.takeFirst();
    if (command == QStringLiteral("init"))
        return runInit(args, globals, out);
    if (command == QStringLiteral("join"))
        return runJoin(args, globals, out);
    if (command == QStringLiteral("generate"))
        return runGenerate(args, globals, out, err);
    if (command == QStringLiteral("user"))
        return runUser(args, globals, out);
    if (command == QStringLiteral("contact"))
        return runContact(args, globals, out);
    if (command == QStringLiteral("activity"))
        return runActivity(args, globals, out);
    if (command == QStringLiteral("invoice"))
        return runInvoice(args, globals, out, err);
    if (command == QStringLiteral("reimburse"))
        return runReimburse(args, globals, out);
    if (command == QStringLiteral("firm"))
        return runFirm(args, globals, out);
    if (command == QStringLiteral("terms"))
        return runTerms(args, globals, out);
    if (command == QStringLiteral("report"))
        return runReportCommand(args, globals, out);
    if (command == QStringLiteral("backup"))
        return runBackup(args, globals, out);
    if (command == QStringLiteral("restore"))
        return runRestore(args, globals, out);
    if (command == QStringLiteral("compact"))
        return runCompact(args, globals, out);
    usageError(QStringLiteral("Unknown command '%1'; \"qvadmin --help\" lists the commands.")
                   .arg(command));
}

// A message names what was typed; the terminal gets it to read, not to obey.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(u'\n', u' ');
    return outgoingText(text.trimmed(), ControlCharacters::Escape);
}

} // namespace

QString helpText()
{
    return QStringLiteral(
        "Usage: qvadmin [global options] COMMAND [options]\n"
        "\n"
        "Commands:\n"
        "  init [--user NAME] [--demo] [--force]\n"
        "      Create the program, link, local and report databases and the settings a\n"
        "      first start needs. --demo adds a small office's data to try things out;\n"
        "      --force replaces existing databases.\n"
        "  join --user NAME|ID [--force]   (with --data-dir DIR or a server)\n"
        "      Make this program directory and settings reach an existing program\n"
        "      database as one of its users, as the set-up window does: for a second\n"
        "      person of a firm. --data-dir names the folder of QVData.db.\n"
        "  generate --timecards N --users U [--seed S] [--uninvoiced-per-user K]\n"
        "           [--measured-uninvoiced M] [--user NAME]\n"
        "      Fill a database for benchmarks (creating it first when needed). The first\n"
        "      user is measured: M open TimeCards (default 1% of N). The rest of N is\n"
        "      spread evenly over the U users; the first user's share is invoiced, every\n"
        "      other user keeps K open (default 1% of its share).\n"
        "  user add NAME [--staff ID] [--permission ID] [--inactive]\n"
        "  user list\n"
        "  contact add NAME [--account A] [--inactive]\n"
        "  contact list\n"
        "  activity add NAME [--level 1|2] [--number N] [--contact ID]\n"
        "  activity list [--level 1|2]\n"
        "  invoice --contact ID [--user ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
        "          [--invoice N] [--date YYYY-MM-DD] [--out DIR] [--preview]\n"
        "      Put the client's open work in the period on one invoice (the next free\n"
        "      number unless N is given) and print its lines and totals. \"Billable\"\n"
        "      work is billed at its value, \"No Charge\" and \"Subject to fixed charge\"\n"
        "      work at nothing; \"Hold\" and \"Do not bill\" work stays open. --user\n"
        "      takes one person's work of that client only. --out writes the invoice\n"
        "      document (PDF and HTML) into DIR; --preview only shows the lines.\n"
        "  invoice --void N --reason TEXT\n"
        "      Void an invoice: its work is open again, the reason is kept.\n"
        "  invoice --show N\n"
        "  firm show\n"
        "  firm set [--name N] [--address TEXT] [--tax-number T] [--tax-rate PERCENT]\n"
        "           [--terms-days D] [--note TEXT]\n"
        "      The firm as its invoices name it (\\n in the address starts a new line).\n"
        "  terms [--contact TERM] [--activity1 TERM] [--activity2 TERM]\n"
        "      The firm's words for its clients and its two activity lists. A new term\n"
        "      renames the rate source of every TimeCard that named the old one.\n"
        "  reimburse --user ID [--to YYYY-MM-DD] [--expense ID]... [--reference TEXT]\n"
        "            [--date YYYY-MM-DD]\n"
        "      Record that the user was paid back for the given expenses, or for every\n"
        "      expense not yet reimbursed (started up to --to when given), on --date\n"
        "      (default today), and print them and their total. Nothing is recorded when\n"
        "      any of them is missing, another user's or already reimbursed.\n"
        "  report KIND [--user ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
        "         [--contact ID] [--status open|invoiced] [--out DIR]\n"
        "      Write the report as a CSV file and an HTML page into DIR (default: the\n"
        "      current directory) and print their paths. KIND is one of timecards,\n"
        "      timesheet (one user's week from --from, days across), expenses,\n"
        "      fixed-charges, tasks, time-detail, scheduled-appointments, notes,\n"
        "      messages, evaluations, combined, reimbursement, documents, invoices,\n"
        "      receivables, wip, client-funds. --contact and --status narrow the\n"
        "      reports of work and items to one client and to work not yet invoiced\n"
        "      or already invoiced.\n"
        "  backup [--to DIR] [--keep N] [--if-due]\n"
        "      Copy the program database into DIR (default: the schedule's folder) as\n"
        "      QVData-YYYYMMDD-HHMMSS.db while it may be in use, check the copy, and then\n"
        "      delete the oldest so that the newest N remain (default 7, or the\n"
        "      schedule's). --if-due copies only when the schedule says a backup is due.\n"
        "      On a database server nothing is run: the command to run there is shown.\n"
        "  backup --schedule --to DIR --every DAYS [--keep N]\n"
        "      Set where backups go, every how many days one is due (0: none) and how\n"
        "      many are kept; nothing is copied.\n"
        "  restore FILE [--force] [--to DIR]\n"
        "      Replace the program database with the backup FILE once FILE is checked;\n"
        "      a file that is no program database is refused. The current database is\n"
        "      kept as QVData-before-restore-YYYYMMDD-HHMMSS.db in DIR (default: the\n"
        "      schedule's folder, else FILE's). --force is needed when the program\n"
        "      database exists. Close Quorvale everywhere first.\n"
        "  compact\n"
        "      Compact QVLocal.db and QVReport.db of the program directory; the\n"
        "      compacted copies stay in its \"Database Backups\" folder. Quorvale must\n"
        "      not be running on that directory.\n"
        "\n"
        "Global options:\n"
        "  --program-dir DIR   the program directory (QVLink.db, QVLocal.db, QVReport.db)\n"
        "  --data-dir DIR      the directory of the program database QVData.db\n"
        "  --server STRING     a database server instead of QVData.db, as an ODBC connect\n"
        "                      string: \"DSN=name;Database=db;UID=user;PWD=password;\".\n"
        "                      Every user of the computer can see a command line: with\n"
        "                      a password, give the string in the environment variable\n"
        "                      QVADMIN_SERVER or with --server-file instead\n"
        "  --server-file FILE  the same string read from FILE, which only you may read\n"
        "                      and write (chmod 600); any other file is refused\n"
        "  --settings FILE     the settings file to read and write instead of the user's\n"
        "  --help              this text\n"
        "\n"
        "Without --program-dir, --data-dir or a server the commands work on the database\n"
        "the settings name.\n");
}

int runCommandLine(const QStringList &args, QTextStream &out, QTextStream &err)
{
    int result = 1;
    try {
        result = dispatch(args, out, err);
    } catch (const QvError &e) {
        err << "qvadmin: " << oneLine(e.description()) << '\n';
        qCDebug(lcAdmin) << "error" << e.number() << "from" << e.source();
    } catch (const std::exception &e) {
        err << "qvadmin: " << oneLine(QString::fromLocal8Bit(e.what())) << '\n';
    }
    out.flush();
    err.flush();
    return result;
}

} // namespace quorvale::admin
