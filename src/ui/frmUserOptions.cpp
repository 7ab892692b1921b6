#include "frmUserOptions.h"

#include "support/Prompts.h"
#include "timecards/Rates.h"
#include "ui/frmSelectCategories.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace quorvale {

namespace {

// A labelled row whose label is the field's buddy and accessible name.
template <class Field> Field *row(QFormLayout *form, const QString &label, Field *field)
{
    auto *caption = new QLabel(label);
    caption->setBuddy(field);
    QString spoken = label;
    field->setAccessibleName(spoken.remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    form->addRow(caption, field);
    return field;
}

QComboBox *choices(const QStringList &items, const QString &current, bool editable = true)
{
    auto *box = new QComboBox;
    box->addItems(items);
    box->setEditable(editable);
    if (box->findText(current) < 0 && !current.isEmpty())
        box->addItem(current);
    box->setCurrentText(current);
    return box;
}

QCheckBox *check(const QString &caption, bool on)
{
    auto *box = new QCheckBox(caption);
    box->setChecked(on);
    return box;
}

QLineEdit *text(const QString &value)
{
    return new QLineEdit(value);
}

const QStringList kReminders = {QStringLiteral("None"),   QStringLiteral("15 minutes"),
                                QStringLiteral("1 hour"), QStringLiteral("2 hours"),
                                QStringLiteral("1 day"),  QStringLiteral("2 days"),
                                QStringLiteral("1 week")};

} // namespace

frmUserOptions::frmUserOptions(const UserOptions &options, Context context, Prompts &prompts,
                               QWidget *parent)
    : QDialog(parent), m_options(options), m_context(std::move(context)), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmUserOptions"));
    setWindowTitle(QStringLiteral(" User Options"));
    m_pages = new QTabWidget(this);
    m_pages->addTab(timeCardsPage(), QStringLiteral("&TimeCards"));
    m_pages->addTab(itemsPage(), QStringLiteral("&Items"));
    m_pages->addTab(foldersPage(), QStringLiteral("&Folders"));
    m_pages->addTab(generalPage(), QStringLiteral("&General"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmUserOptions::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmUserOptions::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
    layout->addWidget(buttons);
}

QWidget *frmUserOptions::timeCardsPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    const JournalDefaults &j = m_options.journal;
    m_category = text(j.category);
    auto *categoryRow = new QWidget;
    auto *categoryLine = new QHBoxLayout(categoryRow);
    categoryLine->setContentsMargins(0, 0, 0, 0);
    auto *chooseCategories = new QPushButton(QStringLiteral("Choose..."));
    chooseCategories->setAccessibleName(QStringLiteral("Choose the default categories"));
    connect(chooseCategories, &QPushButton::clicked, this, [this] {
        if (const auto chosen =
                frmSelectCategories::pick(this, m_context.categories, m_category->text()))
            m_category->setText(*chosen);
    });
    categoryLine->addWidget(m_category, 1);
    categoryLine->addWidget(chooseCategories);
    auto *categoryLabel = new QLabel(QStringLiteral("Default &category:"));
    categoryLabel->setBuddy(m_category);
    m_category->setAccessibleName(QStringLiteral("Default category"));
    form->addRow(categoryLabel, categoryRow);
    m_entryType = row(form, QStringLiteral("Default &entry type:"),
                      choices(m_context.entryTypes, j.entryType, false));
    m_billingStatus = row(form, QStringLiteral("Default &billing status:"),
                          choices(m_context.billingStatuses, j.billingStatus, false));
    m_rateSource = row(form, QStringLiteral("Default rate s&ource:"),
                       choices(m_context.rateSources, j.rateSource, false));
    m_rateLevel = row(form, QStringLiteral("Default rate &level:"),
                      choices(rateLevels(), j.rateLevel, false));
    m_timeFormat =
        row(form, QStringLiteral("Time &format:"),
            choices({QStringLiteral("As the system shows times"), QStringLiteral("HH:MM AM/PM"),
                     QStringLiteral("HH:MM (24 Hour)"), QStringLiteral("HH:MM:SS (24 Hour)")},
                    QString(), false));
    m_timeFormat->setCurrentIndex(m_options.timeFormat);
    form->addRow(
        m_autoSave =
            check(QStringLiteral("&Save a timed TimeCard without asking (AutoSave)"), j.autoSave));
    form->addRow(m_autostart = check(QStringLiteral("Start the timer on a &new TimeCard"),
                                     m_options.autostartTimer));
    auto *checks = new QLabel(QStringLiteral("Before a TimeCard is saved, refuse it when:"));
    form->addRow(checks);
    const ValidationFlags &v = m_options.validation;
    form->addRow(m_endBeforeStart =
                     check(QStringLiteral("it ends before it st&arts"), v.endBeforeStart));
    form->addRow(m_noTimeSpent = check(QStringLiteral("no &time is spent"), v.noTimeSpent));
    form->addRow(m_noHourlyRate =
                     check(QStringLiteral("it has no &hourly rate or flat fee"), v.noHourlyRate));
    form->addRow(m_noDescription =
                     check(QStringLiteral("it has no &description"), v.noDescription));
    form->addRow(m_noJobOrder = check(QStringLiteral("it has no &job order"), v.noJobOrder));
    return page;
}

QWidget *frmUserOptions::itemsPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    const TaskDefaults &t = m_options.tasks;
    const AppointmentDefaults &a = m_options.appointments;
    m_taskCategory = row(form, QStringLiteral("&Task category:"), text(t.category));
    m_taskDueDate =
        row(form, QStringLiteral("Task &due in:"),
            choices({QStringLiteral("Today"), QStringLiteral("1 day"), QStringLiteral("2 days"),
                     QStringLiteral("6 days"), QStringLiteral("2 weeks")},
                    t.dueDate));
    m_taskReminder = row(form, QStringLiteral("Task &reminder:"), choices(kReminders, t.reminder));
    m_taskPriority =
        row(form, QStringLiteral("Task &priority:"),
            choices({QStringLiteral("Low"), QStringLiteral("Normal"), QStringLiteral("High")},
                    t.priority, false));
    m_appointmentCategory = row(form, QStringLiteral("&Appointment category:"), text(a.category));
    m_appointmentReminder =
        row(form, QStringLiteral("Appointment r&eminder:"), choices(kReminders, a.reminder));
    m_showTimeAs = row(form, QStringLiteral("&Show time as:"),
                       choices({QStringLiteral("Free"), QStringLiteral("Tentative"),
                                QStringLiteral("Busy"), QStringLiteral("Out of office")},
                               a.showTimeAs, false));
    m_duration = row(
        form, QStringLiteral("Appointment d&uration:"),
        choices({QStringLiteral("30 minutes"), QStringLiteral("1 hour"), QStringLiteral("2 hours")},
                a.duration));
    m_billingInterval = row(form, QStringLiteral("&Billing interval:"),
                            choices({QStringLiteral("5 minutes"), QStringLiteral("6 minutes")},
                                    a.billingInterval, false));
    m_noteCategory = row(form, QStringLiteral("&Note category:"), text(m_options.notes.category));
    return page;
}

QWidget *frmUserOptions::foldersPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    for (FolderSlot slot : UserFolderSlots) {
        auto *line = new QWidget;
        auto *box = new QHBoxLayout(line);
        box->setContentsMargins(0, 0, 0, 0);
        auto *name = new QLabel(m_context.folderNames.value(slot));
        name->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto *choose = new QPushButton(QStringLiteral("Choose..."));
        const QString kind = folderDisplayName(folderKindOf(slot));
        choose->setAccessibleName(QStringLiteral("Choose the %1 folder").arg(kind));
        const bool fixed = m_context.fixedFolders.contains(slot);
        choose->setEnabled(!fixed && m_context.chooseFolder);
        if (fixed)
            choose->setToolTip(QStringLiteral("Your administrator chose this folder."));
        connect(choose, &QPushButton::clicked, this, [this, slot, name] {
            if (const auto chosen = m_context.chooseFolder(slot)) {
                m_options.folders[slot] = chosen->first;
                name->setText(chosen->second);
            }
        });
        box->addWidget(name, 1);
        box->addWidget(choose);
        auto *caption = new QLabel(kind + QLatin1Char(':'));
        caption->setBuddy(choose);
        form->addRow(caption, line);
        m_folderLabels.insert(slot, name);
    }
    const auto directory = [this, form](const QString &label, const QString &value) {
        auto *line = new QWidget;
        auto *box = new QHBoxLayout(line);
        box->setContentsMargins(0, 0, 0, 0);
        auto *edit = new QLineEdit(value);
        auto *browse = new QPushButton(QStringLiteral("Browse..."));
        QString spoken = label;
        spoken.remove(QLatin1Char('&')).remove(QLatin1Char(':'));
        edit->setAccessibleName(spoken);
        browse->setAccessibleName(QStringLiteral("Browse for the ") + spoken.toLower());
        connect(browse, &QPushButton::clicked, this, [this, edit] {
            const QString chosen = QFileDialog::getExistingDirectory(this, QString(), edit->text());
            if (!chosen.isEmpty())
                edit->setText(chosen);
        });
        box->addWidget(edit, 1);
        box->addWidget(browse);
        auto *caption = new QLabel(label);
        caption->setBuddy(edit);
        form->addRow(caption, line);
        return edit;
    };
    m_fileDirectory =
        directory(QStringLiteral("Default file &directory:"), m_options.defaultFileDirectory);
    m_itemStore = directory(QStringLiteral("Item &store folder:"), m_options.itemStoreFolder);
    m_itemStore->setPlaceholderText(QStringLiteral("In the program directory"));
    form->addRow(new QLabel(
        QStringLiteral("Folders and the item store take effect when Quorvale starts next.")));
    return page;
}

QWidget *frmUserOptions::generalPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    form->addRow(m_tooltips = check(QStringLiteral("Show &tool tips"), m_options.tooltips));
    // A labelled field: its label's text without the accelerator is what a
    // screen reader says.
    const auto labelled = [&](QWidget *field, const char *name, const QString &label) {
        field->setObjectName(QLatin1String(name));
        field->setAccessibleName(QString(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        auto *caption = new QLabel(label, page);
        caption->setBuddy(field);
        form->addRow(caption, field);
    };
    const auto minutes = [&](const char *name, const QString &label, int most, int step,
                             int value) {
        auto *box = new QSpinBox(page);
        box->setRange(0, most);
        box->setSingleStep(step);
        box->setSuffix(QStringLiteral(" minutes"));
        box->setSpecialValueText(QStringLiteral("Never"));
        box->setValue(value);
        labelled(box, name, label);
        return box;
    };
    const auto dayTime = [&](const char *name, const QString &label, const QTime &value) {
        auto *edit = new QTimeEdit(value, page);
        edit->setDisplayFormat(QStringLiteral("HH:mm"));
        labelled(edit, name, label);
        return edit;
    };
    m_idleMinutes = minutes("spnIdleMinutes", QStringLiteral("Ask about &idle time after:"), 480, 1,
                            m_options.idleMinutes);
    m_longRunMinutes = minutes("spnLongRunMinutes", QStringLiteral("Remind of a run &longer than:"),
                               24 * 60, 15, m_options.longRunMinutes);
    m_dayStart = dayTime("dtWorkingDayStart", QStringLiteral("Working day &starts:"),
                         m_options.workingDayStart);
    m_dayEnd =
        dayTime("dtWorkingDayEnd", QStringLiteral("Working day &ends:"), m_options.workingDayEnd);
    if (!m_context.idleUnavailable.isEmpty()) {
        auto *note = new QLabel(m_context.idleUnavailable, page);
        note->setObjectName(QStringLiteral("lblIdleUnavailable"));
        note->setWordWrap(true);
        form->addRow(note);
    }
    form->addRow(m_timeDetailOption = check(
                     QStringLiteral("Put a run's &note at the end of its appointment's subject"),
                     m_options.timeDetailOption));
    m_quickFilter = row(form, QStringLiteral("&Quick filter by:"),
                        choices({QStringLiteral("Contact"), QStringLiteral("Activity 1"),
                                 QStringLiteral("Activity 2")},
                                QString(), false));
    m_quickFilter->setCurrentIndex(m_options.quickFilterType);
    m_linkType =
        row(form, QStringLiteral("Default &link type:"),
            choices({QStringLiteral("Time Detail"), QStringLiteral("Scheduled Appointments"),
                     QStringLiteral("Tasks"), QStringLiteral("Notes"), QStringLiteral("Messages"),
                     QStringLiteral("Documents")},
                    QString(), false));
    m_linkType->setCurrentIndex(m_options.defaultLinkType);
    m_mailCommand = row(form, QStringLiteral("&Mail command:"), text(m_options.mailCommand));
    m_mailCommand->setPlaceholderText(QStringLiteral("e.g. /usr/sbin/sendmail -t -i"));
    m_mailCommand->setObjectName(QStringLiteral("txtMailCommand"));
    m_emailAddress = row(form, QStringLiteral("E-mail &address:"), text(m_options.emailAddress));
    m_emailAddress->setPlaceholderText(QStringLiteral("e.g. ann@example.org"));
    m_emailAddress->setObjectName(QStringLiteral("txtEmailAddress"));
    m_browserCommand = row(form, QStringLiteral("&Web browser:"), text(m_options.browserCommand));
    m_browserCommand->setPlaceholderText(QStringLiteral("The desktop's own, or e.g. firefox"));
    m_browserCommand->setObjectName(QStringLiteral("txtBrowser"));
    return page;
}

UserOptions frmUserOptions::options() const
{
    UserOptions o = m_options;
    o.journal.category = m_category->text().trimmed();
    o.journal.entryType = m_entryType->currentText();
    o.journal.billingStatus = m_billingStatus->currentText();
    o.journal.rateSource = m_rateSource->currentText();
    o.journal.rateLevel = m_rateLevel->currentText();
    o.journal.autoSave = m_autoSave->isChecked();
    o.autostartTimer = m_autostart->isChecked();
    o.timeFormat = static_cast<qint16>(m_timeFormat->currentIndex());
    o.validation = ValidationFlags{m_endBeforeStart->isChecked(), m_noTimeSpent->isChecked(),
                                   m_noHourlyRate->isChecked(), m_noDescription->isChecked(),
                                   m_noJobOrder->isChecked()};
    o.tasks.category = m_taskCategory->text().trimmed();
    o.tasks.dueDate = m_taskDueDate->currentText();
    o.tasks.reminder = m_taskReminder->currentText();
    o.tasks.priority = m_taskPriority->currentText();
    o.appointments.category = m_appointmentCategory->text().trimmed();
    o.appointments.reminder = m_appointmentReminder->currentText();
    o.appointments.showTimeAs = m_showTimeAs->currentText();
    o.appointments.duration = m_duration->currentText();
    o.appointments.billingInterval = m_billingInterval->currentText();
    o.notes.category = m_noteCategory->text().trimmed();
    o.defaultFileDirectory = m_fileDirectory->text().trimmed();
    o.itemStoreFolder = m_itemStore->text().trimmed();
    o.tooltips = m_tooltips->isChecked();
    o.idleMinutes = static_cast<qint16>(m_idleMinutes->value());
    o.longRunMinutes = static_cast<qint16>(m_longRunMinutes->value());
    o.workingDayStart = m_dayStart->time();
    o.workingDayEnd = m_dayEnd->time();
    o.timeDetailOption = m_timeDetailOption->isChecked();
    o.quickFilterType = static_cast<qint16>(m_quickFilter->currentIndex());
    o.defaultLinkType = static_cast<qint16>(m_linkType->currentIndex());
    o.mailCommand = m_mailCommand->text().trimmed();
    o.browserCommand = m_browserCommand->text().trimmed();
    o.emailAddress = m_emailAddress->text().trimmed();
    return o;
}

void frmUserOptions::accept()
{
    const QStringList problems = checkUserOptions(options());
    if (!problems.isEmpty()) {
        m_prompts.messageBox(QStringLiteral(" User Options"), problems.join(QLatin1Char('\n')),
                             PromptButtons::Ok, PromptIcon::Warning);
        return;
    }
    QDialog::accept();
}

} // namespace quorvale
