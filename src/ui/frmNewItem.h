#pragma once

#include "outlook/LinkMode.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quorvale {

class Prompts;

// What the selection dialog of a new-item command hands over.
struct NewItemChoice {
    LinkMode mode = LinkMode::TimeCard;
    qint32 contactId = 0; // LinkMode::Contact only
    QString contactName;
    TaskType taskType = TaskType::Normal;
};

struct NewItemDialogSetup {
    QString caption;               // " New Personal Task", " New Note", ...
    bool timeCardAvailable = true; // else only the other modes are offered
    bool contactOption = true;     // expenses and fixed charges link to TimeCards only
    bool taskTypes = false;        // personal tasks choose their kind
    QString contactTerm = QStringLiteral("Client");
};

// The selection dialog of the new-item commands: link to the current
// TimeCard, to a chosen contact only, or not at all. A contact is required
// before the contact-only choice is accepted.
class frmNewItem : public QDialog {
public:
    // Picks a contact for the contact-only choice; nothing when none was picked.
    using ContactChooser = std::function<std::optional<std::pair<qint32, QString>>()>;

    frmNewItem(const NewItemDialogSetup &setup, ContactChooser chooser, Prompts &prompts,
               QWidget *parent = nullptr);

    NewItemChoice choice() const;
    void accept() override;

    QRadioButton *modeButton(LinkMode mode) const;
    QLineEdit *contactField() const { return m_contact; }
    QPushButton *chooseButton() const { return m_choose; }
    QComboBox *taskTypeList() const { return m_types; }

private:
    void modeChanged();
    void chooseContact();

    ContactChooser m_chooser;
    Prompts &m_prompts;
    QRadioButton *m_timeCard = nullptr;
    QRadioButton *m_contactOnly = nullptr;
    QRadioButton *m_none = nullptr;
    QLineEdit *m_contact = nullptr;
    QPushButton *m_choose = nullptr;
    QComboBox *m_types = nullptr;
    qint32 m_contactId = 0;
};

} // namespace quorvale
