#pragma once

#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;

namespace quorvale {

struct JoinChoice;

// Asks where a firm's database server is: an ODBC data source or a driver and
// server, the database, the user and the password. OK hands back the choice
// as the set-up joins it; nothing is tried here.
class ServerLoginDialog : public QDialog {
    Q_OBJECT

public:
    explicit ServerLoginDialog(QWidget *parent = nullptr);

    // The choice as typed; nullopt (with the reason shown) when it names no
    // server or no database.
    std::optional<JoinChoice> choice() const;
    void accept() override;

    QLineEdit *sourceEdit() const { return m_source; }
    QLineEdit *databaseEdit() const { return m_database; }
    QLineEdit *userEdit() const { return m_user; }
    QLineEdit *passwordEdit() const { return m_password; }

private:
    QLineEdit *m_source;
    QLineEdit *m_database;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLabel *m_problem;
};

// The connect string of what was typed: a bare name is an ODBC data source;
// text with "=" in it is the server part as it stands.
QString serverConnectString(const QString &source, const QString &database, const QString &user,
                            const QString &password);

} // namespace quorvale
