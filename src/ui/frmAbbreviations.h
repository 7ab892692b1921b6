#pragma once

#include "data/SortOrders.h"
#include "timecards/Abbreviations.h"

#include <QDialog>
#include <vector>

class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace quorvale {

class Prompts;

namespace db {
class Connection;
}

// The abbreviations dialog: the user's names in order, the text of the chosen
// one, and the buttons that add, delete and reorder them. Nothing reaches the
// table until "&Apply" or OK (`SaveAbbreviations`); "&Cancel" leaves it as it was.
class frmAbbreviations : public QDialog {
    Q_OBJECT

public:
    // local: `cnnLocal`, where tblAbbreviations lives. terms name the activity
    // levels in the tip. Throws QvError when the list cannot be read.
    frmAbbreviations(db::Connection &local, Prompts &prompts, const Terms &terms,
                     QWidget *parent = nullptr);

    // The list as the dialog holds it now, saved or not.
    const std::vector<Abbreviation> &entries() const { return m_entries; }

    QListWidget *list() const { return m_list; }
    QLineEdit *nameField() const { return m_name; }
    QPlainTextEdit *textField() const { return m_text; }

    // `SaveAbbreviations` of the dialog's list; a failure is told and the dialog
    // stays open with its list. True when saved.
    bool apply();

public Q_SLOTS:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addEntry();
    void deleteEntry();
    void moveEntry(int step);
    void showEntry(int row);
    void showTip();
    void select(int row);

    db::Connection &m_local;
    Prompts &m_prompts;
    Terms m_terms;
    std::vector<Abbreviation> m_entries;

    QListWidget *m_list = nullptr;
    QLineEdit *m_name = nullptr;
    QPlainTextEdit *m_text = nullptr;
};

} // namespace quorvale
