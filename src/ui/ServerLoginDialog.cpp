#include "ui/ServerLoginDialog.h"

#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "settings/JoinDatabase.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace quorvale {

QString serverConnectString(const QString &source, const QString &database, const QString &user,
                            const QString &password)
{
    using ConnectionStrings::quoteOdbcValue;
    QString part = source.trimmed();
    if (!part.isEmpty() && !part.contains(u'='))
        part = QStringLiteral("DSN=") + quoteOdbcValue(part);
    if (!part.isEmpty() && !part.endsWith(u';'))
        part += u';';
    QString s = part;
    if (!database.trimmed().isEmpty())
        s += QStringLiteral("Database=") + quoteOdbcValue(database.trimmed()) + u';';
    if (!user.trimmed().isEmpty())
        s += QStringLiteral("UID=") + quoteOdbcValue(user.trimmed()) + u';';
    if (!password.isEmpty())
        s += QStringLiteral("PWD=") + quoteOdbcValue(password) + u';';
    return s;
}

ServerLoginDialog::ServerLoginDialog(QWidget *parent)
    : QDialog(parent), m_source(new QLineEdit(this)), m_database(new QLineEdit(this)),
      m_user(new QLineEdit(this)), m_password(new QLineEdit(this)), m_problem(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Database Server"));
    m_source->setPlaceholderText(QStringLiteral("a data source name, or DRIVER=...;SERVER=..."));
    m_password->setEchoMode(QLineEdit::Password);
    auto *form = new QFormLayout(this);
    const auto row = [&](const QString &text, QLineEdit *edit) {
        auto *label = new QLabel(text, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
    };
    row(QStringLiteral("Data &source or server:"), m_source);
    row(QStringLiteral("Data&base:"), m_database);
    row(QStringLiteral("&User:"), m_user);
    row(QStringLiteral("&Password:"), m_password);
    m_problem->setWordWrap(true);
    m_problem->setVisible(false);
    form->addRow(m_problem);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ServerLoginDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ServerLoginDialog::reject);
    form->addRow(buttons);
    m_source->setFocus();
}

std::optional<JoinChoice> ServerLoginDialog::choice() const
{
    try {
        return JoinChoice::fromConnectString(serverConnectString(
            m_source->text(), m_database->text(), m_user->text(), m_password->text()));
    } catch (const QvError &e) {
        m_problem->setText(e.description());
        m_problem->setVisible(true);
        return std::nullopt;
    }
}

void ServerLoginDialog::accept()
{
    if (choice())
        QDialog::accept();
}

} // namespace quorvale
