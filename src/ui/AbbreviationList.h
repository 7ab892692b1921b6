#pragma once

#include "data/SortOrders.h"
#include "timecards/Abbreviations.h"

#include <QComboBox>
#include <functional>

class QPlainTextEdit;

namespace quorvale {

class Clock;
class Prompts;

namespace db {
class Connection;
}

// The main window's drop-down list of abbreviations (accessible name
// "Abbreviations") and its two commands: insert the chosen stock text into a note
// field (`InsertAbbreviation`), and edit the list (`EditAbbreviations`). Nothing is
// chosen until the person chooses, and the choice is cleared after each insert.
class AbbreviationList : public QComboBox {
    Q_OBJECT

public:
    // The activities of the shown TimeCard, with the administrator's in-use flags.
    using Activities = std::function<TimeCardActivities()>;

    // local: `cnnLocal` (tblAbbreviations); link: `cnnLink` (activity
    // descriptions); terms: the activity terms the dialog's tip names.
    AbbreviationList(db::Connection &local, db::Connection &link, Prompts &prompts,
                     const Clock &clock, Activities activities, Terms terms,
                     QWidget *parent = nullptr);

    // `FillAbbreviationList`: the names in SortOrder, none chosen. Throws QvError.
    void fill();

    // `InsertAbbreviation`: the chosen abbreviation's text, its leading key phrase
    // replaced, at target's caret, replacing target's selection. Without a choice,
    // says so and inserts nothing. True when something was inserted. Throws
    // QvError when the database cannot be read.
    bool insertSelected(QPlainTextEdit *target);

    // `EditAbbreviations`: the dialog, modal; afterwards the list is filled again.
    void edit();

    void setTerms(const Terms &terms) { m_terms = terms; }

private:
    db::Connection &m_local;
    db::Connection &m_link;
    Prompts &m_prompts;
    const Clock &m_clock;
    Activities m_activities;
    Terms m_terms;
};

} // namespace quorvale
