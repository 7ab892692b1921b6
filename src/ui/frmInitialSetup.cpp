#include "ui/frmInitialSetup.h"

#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "settings/InitialSetup.h"
#include "ui/PointerScope.h"
#include "ui/ServerLoginDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvale {

namespace {

QLineEdit *shownField(QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    return edit;
}

} // namespace

frmInitialSetup::frmInitialSetup(Registry &registry, QString programDir, Prompts &prompts,
                                 ErrorHandler &errors, QWidget *parent)
    : QDialog(parent), m_registry(registry), m_programDir(std::move(programDir)),
      m_prompts(prompts), m_errors(errors), m_kind(shownField(this)), m_server(shownField(this)),
      m_catalog(shownField(this)), m_user(shownField(this)), m_dataDir(shownField(this)),
      m_fileButton(new QPushButton(QStringLiteral("Program Database &File..."), this)),
      m_serverButton(new QPushButton(QStringLiteral("Database &Server..."), this)),
      m_users(new QListWidget(this)), m_problem(new QLabel(this)), m_step(new QLabel(this)),
      m_progress(new QProgressBar(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Quorvale Set-up"));
    auto *intro = new QLabel(
        QStringLiteral("Choose your firm's program database, then who you are among its users. "
                       "The administrator can tell you where the database is; a new one is "
                       "made with \"qvadmin init\"."),
        this);
    intro->setWordWrap(true);

    auto *database = new QGroupBox(QStringLiteral("Program database"), this);
    auto *form = new QFormLayout(database);
    const auto row = [&](const QString &text, QWidget *field) {
        auto *label = new QLabel(text, database);
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row(QStringLiteral("Data&base:"), m_kind);
    row(QStringLiteral("Se&rver:"), m_server);
    row(QStringLiteral("&Catalog:"), m_catalog);
    row(QStringLiteral("Database &user:"), m_user);
    row(QStringLiteral("&Data directory:"), m_dataDir);
    auto *choose = new QHBoxLayout;
    choose->addWidget(m_fileButton);
    choose->addWidget(m_serverButton);
    choose->addStretch();
    form->addRow(choose);

    auto *usersLabel = new QLabel(QStringLiteral("&Who are you?"), this);
    usersLabel->setBuddy(m_users);
    m_problem->setWordWrap(true);
    m_problem->setVisible(false);
    m_problem->setObjectName(QStringLiteral("lblProblem"));
    m_step->setVisible(false);
    m_progress->setVisible(false);
    m_ok->setDefault(true);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(m_ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
    connect(m_ok, &QPushButton::clicked, this, &frmInitialSetup::accept);
    connect(m_cancel, &QPushButton::clicked, this, &frmInitialSetup::reject);
    connect(m_fileButton, &QPushButton::clicked, this, &frmInitialSetup::chooseFile);
    connect(m_serverButton, &QPushButton::clicked, this, &frmInitialSetup::chooseServer);
    connect(m_users, &QListWidget::currentRowChanged, this, &frmInitialSetup::updateOk);
    connect(m_users, &QListWidget::itemActivated, this, &frmInitialSetup::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(database);
    layout->addWidget(usersLabel);
    layout->addWidget(m_users, 1);
    layout->addWidget(m_problem);
    layout->addWidget(m_step);
    layout->addWidget(m_progress);
    layout->addWidget(buttons);
    // Tab follows the page: the choice first, then the person, then OK.
    setTabOrder(m_fileButton, m_serverButton);
    setTabOrder(m_serverButton, m_users);
    setTabOrder(m_users, m_ok);
    setTabOrder(m_ok, m_cancel);
    resize(560, 520);
    updateOk();
    m_fileButton->setFocus();

    // The program directory's own folder is where a single person's database
    // usually is: offered when it holds one.
    if (QFileInfo(QDir(m_programDir).filePath(QLatin1String(DatabaseFile::Data))).isFile())
        setChoice(JoinChoice::file(m_programDir));
}

void frmInitialSetup::setChoice(const JoinChoice &choice)
{
    const JoinSummary s = summarize(choice);
    m_kind->setText(s.kind);
    m_server->setText(s.server);
    m_catalog->setText(s.catalog);
    m_user->setText(s.user);
    m_dataDir->setText(s.dataDirectory);
    m_users->clear();
    m_userRows.clear();
    m_choice.reset();
    try {
        const PointerScope busy(Qt::WaitCursor);
        m_userRows = listProgramUsers(choice);
        m_choice = choice;
    } catch (const QvError &e) {
        showProblem(e.description());
        updateOk();
        return;
    }
    m_problem->setVisible(false);
    for (const ProgramUser &u : m_userRows)
        m_users->addItem(u.name);
    updateOk();
}

void frmInitialSetup::chooseFile()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("Choose the Program Database"),
        m_choice && !m_choice->isServer() ? m_choice->dataDir : QDir::homePath(),
        QStringLiteral("Program database (%1);;All files (*)")
            .arg(QLatin1String(DatabaseFile::Data)));
    if (!file.isEmpty())
        setChoice(JoinChoice::file(file));
}

void frmInitialSetup::chooseServer()
{
    // Left without a choice, the set-up stays open: the person may still
    // choose a file, or cancel the set-up.
    ServerLoginDialog login(this);
    if (login.exec() == QDialog::Accepted)
        if (const std::optional<JoinChoice> choice = login.choice())
            setChoice(*choice);
}

void frmInitialSetup::updateOk()
{
    m_ok->setEnabled(m_choice && m_users->currentRow() >= 0);
}

void frmInitialSetup::showProblem(const QString &text)
{
    m_problem->setText(text);
    m_problem->setVisible(true);
}

void frmInitialSetup::accept()
{
    const int row = m_users->currentRow();
    if (!m_choice || row < 0 || row >= int(m_userRows.size())) {
        showProblem(QStringLiteral("Choose the program database and then who you are."));
        return;
    }
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_fileButton, m_serverButton, m_users, m_ok, m_cancel})
        w->setEnabled(false);
    m_problem->setVisible(false);
    m_step->setVisible(true);
    m_progress->setVisible(true);
    bool done = false;
    {
        const PointerScope busy(Qt::WaitCursor);
        done = CompleteInitialSetup(
            m_registry, m_programDir, *m_choice, m_userRows[std::size_t(row)], m_prompts, m_errors,
            [this](int step, int steps, const QString &text) {
                m_progress->setRange(0, steps);
                m_progress->setValue(step);
                m_step->setText(text);
                QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            });
    }
    if (done) {
        QDialog::accept();
        return;
    }
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_fileButton, m_serverButton, m_users, m_cancel})
        w->setEnabled(true);
    m_step->setVisible(false);
    m_progress->setVisible(false);
    updateOk();
}

} // namespace quorvale
