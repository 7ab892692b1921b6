#pragma once

#include "settings/JoinDatabase.h"

#include <QDialog>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace quorvale {

class ErrorHandler;
class Prompts;
class Registry;

// The first start of a person who joins a firm: choose the firm's program
// database (a folder holding QVData.db, or a database server), then who one is
// among its users. OK joins it and opens it once, showing each step; start-up
// then goes on in the same process.
class frmInitialSetup : public QDialog {
    Q_OBJECT

public:
    frmInitialSetup(Registry &registry, QString programDir, Prompts &prompts, ErrorHandler &errors,
                    QWidget *parent = nullptr);

    // `SetDatabase`: shows the chosen database and lists its users, or says
    // why it cannot be joined.
    void setChoice(const JoinChoice &choice);
    void accept() override;

    QPushButton *fileButton() const { return m_fileButton; }
    QPushButton *serverButton() const { return m_serverButton; }
    QListWidget *userList() const { return m_users; }
    QPushButton *okButton() const { return m_ok; }
    QLabel *problemLabel() const { return m_problem; }
    QLineEdit *kindField() const { return m_kind; }
    QLineEdit *serverField() const { return m_server; }
    QLineEdit *catalogField() const { return m_catalog; }
    QLineEdit *userField() const { return m_user; }
    QLineEdit *dataDirectoryField() const { return m_dataDir; }

private:
    void chooseFile();
    void chooseServer();
    void updateOk();
    void showProblem(const QString &text);

    Registry &m_registry;
    QString m_programDir;
    Prompts &m_prompts;
    ErrorHandler &m_errors;
    std::optional<JoinChoice> m_choice;
    std::vector<ProgramUser> m_userRows;

    QLineEdit *m_kind;
    QLineEdit *m_server;
    QLineEdit *m_catalog;
    QLineEdit *m_user;
    QLineEdit *m_dataDir;
    QPushButton *m_fileButton;
    QPushButton *m_serverButton;
    QListWidget *m_users;
    QLabel *m_problem;
    QLabel *m_step;
    QProgressBar *m_progress;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace quorvale
