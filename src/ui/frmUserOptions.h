#pragma once

#include "settings/UserOptions.h"

#include <QDialog>
#include <QHash>
#include <functional>
#include <optional>

class QCheckBox;
class QSpinBox;
class QTimeEdit;
class QComboBox;
class QLabel;
class QLineEdit;
class QTabWidget;

namespace quorvale {

class Prompts;

// "User Options": what new TimeCards and items start with, the checks a TimeCard
// must pass, the timer, formats, folders, the mail command and address. OK refuses
// options checkUserOptions finds fault with and says why.
class frmUserOptions : public QDialog {
    Q_OBJECT

public:
    struct Context {
        QStringList entryTypes;
        QStringList billingStatuses;
        QStringList rateSources;
        // The item store's master category list, for the category picker.
        QStringList categories;
        // Folders the administrator fixes cannot be chosen here.
        QList<FolderSlot> fixedFolders;
        // The folder each slot uses now, by name.
        QHash<FolderSlot, QString> folderNames;
        // Asks the person for a folder of that slot (the item store's picker).
        std::function<std::optional<std::pair<FolderId, QString>>(FolderSlot)> chooseFolder;
        // Why this desktop cannot tell idle time; empty when it can.
        QString idleUnavailable;
    };

    frmUserOptions(const UserOptions &options, Context context, Prompts &prompts,
                   QWidget *parent = nullptr);

    UserOptions options() const;
    QTabWidget *pages() const { return m_pages; }

    void accept() override;

private:
    QWidget *timeCardsPage();
    QWidget *itemsPage();
    QWidget *foldersPage();
    QWidget *generalPage();

    UserOptions m_options;
    Context m_context;
    Prompts &m_prompts;
    QTabWidget *m_pages = nullptr;

    QLineEdit *m_category = nullptr;
    QComboBox *m_entryType = nullptr;
    QComboBox *m_billingStatus = nullptr;
    QComboBox *m_rateSource = nullptr;
    QComboBox *m_rateLevel = nullptr;
    QCheckBox *m_autoSave = nullptr;
    QCheckBox *m_autostart = nullptr;
    QComboBox *m_timeFormat = nullptr;
    QCheckBox *m_endBeforeStart = nullptr;
    QCheckBox *m_noTimeSpent = nullptr;
    QCheckBox *m_noHourlyRate = nullptr;
    QCheckBox *m_noDescription = nullptr;
    QCheckBox *m_noJobOrder = nullptr;

    QLineEdit *m_taskCategory = nullptr;
    QComboBox *m_taskDueDate = nullptr;
    QComboBox *m_taskReminder = nullptr;
    QComboBox *m_taskPriority = nullptr;
    QLineEdit *m_appointmentCategory = nullptr;
    QComboBox *m_appointmentReminder = nullptr;
    QComboBox *m_showTimeAs = nullptr;
    QComboBox *m_duration = nullptr;
    QComboBox *m_billingInterval = nullptr;
    QLineEdit *m_noteCategory = nullptr;

    QHash<FolderSlot, QLabel *> m_folderLabels;
    QLineEdit *m_fileDirectory = nullptr;
    QLineEdit *m_itemStore = nullptr;

    QCheckBox *m_tooltips = nullptr;
    QSpinBox *m_idleMinutes = nullptr;
    QSpinBox *m_longRunMinutes = nullptr;
    QTimeEdit *m_dayStart = nullptr;
    QTimeEdit *m_dayEnd = nullptr;
    QCheckBox *m_timeDetailOption = nullptr;
    QComboBox *m_quickFilter = nullptr;
    QComboBox *m_linkType = nullptr;
    QLineEdit *m_mailCommand = nullptr;
    QLineEdit *m_browserCommand = nullptr;
    QLineEdit *m_emailAddress = nullptr;
};

} // namespace quorvale
