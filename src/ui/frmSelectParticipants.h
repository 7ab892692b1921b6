#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <optional>

class QListWidget;
class QPushButton;

namespace quorvale {

namespace db {
class Connection;
}

// The participant picker: the active contacts, several of which become the
// participants text of an expense.
class frmSelectParticipants : public QDialog {
    Q_OBJECT

public:
    frmSelectParticipants(const QStringList &names, QWidget *parent = nullptr);

    // The chosen names as the participants text; empty until OK.
    QString participantsText() const { return m_text; }

    QListWidget *lbContacts() const { return m_list; }
    QPushButton *okButton() const { return m_ok; }

    // Opens the picker modally over the active contacts of cnnLink. The
    // participants text after OK; nullopt after Cancel, so that the caller
    // leaves its participants field as it was. Throws QvError when the
    // contacts cannot be read.
    static std::optional<QString> pick(QWidget *parent, db::Connection &cnnLink);

public Q_SLOTS:
    void OKButton_Click();
    void CancelButton_Click();
    void lbContacts_Click();

private:
    QListWidget *m_list;
    QPushButton *m_ok;
    QString m_text;
};

} // namespace quorvale
