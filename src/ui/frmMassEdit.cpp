#include "frmMassEdit.h"

#include "platform/core/Duration.h"
#include "support/Prompts.h"
#include "support/Trace.h"
#include "ui/OptionalChoiceList.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvale {

namespace {

QComboBox *activityList(QWidget *parent, const char *name,
                        const std::vector<MassEditEntry> &entries)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    for (const MassEditEntry &entry : entries)
        box->addItem(entry.text, entry.id);
    if (entries.empty() || entries.front().id != 0)
        box->insertItem(0, QString(), 0);
    box->setCurrentIndex(0);
    return box;
}

std::optional<QString> chosen(const QComboBox *box)
{
    if (box->currentIndex() <= 0 || box->currentText().isEmpty())
        return std::nullopt;
    return box->currentText();
}

std::optional<qint32> chosenId(const QComboBox *box)
{
    const qint32 id = box->currentData().toInt();
    return id == 0 ? std::nullopt : std::optional<qint32>(id);
}

} // namespace

frmMassEdit::frmMassEdit(MassEditSetup setup, Prompts &prompts, QWidget *parent)
    : QDialog(parent), m_setup(std::move(setup)), m_prompts(prompts)
{
    setObjectName(QStringLiteral("frmMassEdit"));
    setWindowTitle(QStringLiteral("Quorvale Mass Edit"));
    build();
}

void frmMassEdit::build()
{
    auto *outer = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    outer->addLayout(form);
    const auto addRow = [&](const QString &caption, QWidget *field, QWidget *buddy, bool shown) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(buddy);
        buddy->setAccessibleName(
            QString(caption).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
        form->addRow(label, field);
        label->setVisible(shown);
        field->setVisible(shown);
    };

    m_contact = new QLineEdit(this);
    m_contact->setObjectName(QStringLiteral("txtContact"));
    m_contact->setReadOnly(true);
    auto *pick = new QToolButton(this);
    pick->setObjectName(QStringLiteral("abSelectContact"));
    pick->setText(QStringLiteral("..."));
    pick->setToolTip(QStringLiteral("Click to select contact."));
    pick->setAccessibleName(QStringLiteral("Click to select contact."));
    auto *contactRow = new QWidget(this);
    auto *contactLayout = new QHBoxLayout(contactRow);
    contactLayout->setContentsMargins(0, 0, 0, 0);
    m_contact->setParent(contactRow);
    pick->setParent(contactRow);
    contactLayout->addWidget(m_contact, 1);
    contactLayout->addWidget(pick);
    addRow(QStringLiteral("&") + m_setup.terms.contact + QLatin1Char(':'), contactRow, m_contact,
           m_setup.contactInUse);
    connect(pick, &QToolButton::clicked, this, [this] {
        if (!m_setup.pickContact)
            return;
        const TraceScope trace(u"frmMassEdit: abSelectContact_Click");
        std::optional<PickedContact> picked;
        try {
            picked = m_setup.pickContact();
        } catch (const std::exception &) {
            fail();
            return;
        }
        if (!picked || picked->QuorvaleID == 0)
            return;
        m_contactId = picked->QuorvaleID;
        m_contact->setText(picked->ContactName);
    });

    m_activity1 = activityList(this, "cboActivity1", m_setup.activities1);
    addRow(m_setup.terms.activity1 + QStringLiteral(" &1:"), m_activity1, m_activity1,
           m_setup.activity1InUse);
    m_activity2 = activityList(this, "cboActivity2", m_setup.activities2);
    addRow(m_setup.terms.activity2 + QStringLiteral(" &2:"), m_activity2, m_activity2,
           m_setup.activity2InUse);
    m_billStatus = optionalChoiceList(this, "cboBillStatus", m_setup.billStatuses);
    addRow(QStringLiteral("&Billing Status:"), m_billStatus, m_billStatus, true);
    m_rateSource = optionalChoiceList(this, "cboRateSource", m_setup.rateSources);
    addRow(QStringLiteral("Rate S&ource:"), m_rateSource, m_rateSource, true);
    m_rateLevel =
        optionalChoiceList(this, "cboRateLevel",
                           {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                            QStringLiteral("4"), QStringLiteral("5"), QStringLiteral("6")});
    addRow(QStringLiteral("Rate &Level:"), m_rateLevel, m_rateLevel, true);
    m_entryType = optionalChoiceList(this, "cboEntryType", m_setup.entryTypes);
    addRow(QStringLiteral("E&ntry Type:"), m_entryType, m_entryType, true);
    m_category = new QLineEdit(this);
    m_category->setObjectName(QStringLiteral("txtCategory"));
    addRow(QStringLiteral("Ca&tegory:"), m_category, m_category, true);
    m_timeEstimated = new QLineEdit(this);
    m_timeEstimated->setObjectName(QStringLiteral("txtTimeEstimated"));
    m_timeEstimated->setPlaceholderText(QStringLiteral("hhh:mm:ss"));
    m_timeEstimated->setToolTip(
        QStringLiteral("A time such as 1:30:00, 1:30, 1.5 (hours) or 1h30m"));
    addRow(QStringLiteral("Time &Estimated:"), m_timeEstimated, m_timeEstimated, true);

    const auto date = [this](const char *name, bool &set) {
        auto *edit = new QDateEdit(QDate::currentDate(), this);
        edit->setObjectName(QLatin1String(name));
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
        connect(edit, &QDateEdit::dateChanged, this, [&set] { set = true; });
        return edit;
    };
    const auto time = [this](const char *name, bool &set) {
        auto *edit = new QTimeEdit(QTime(9, 0), this);
        edit->setObjectName(QLatin1String(name));
        edit->setDisplayFormat(QLocale().timeFormat(QLocale::ShortFormat));
        connect(edit, &QTimeEdit::timeChanged, this, [&set] { set = true; });
        return edit;
    };
    m_startDate = date("dtmStartDate", m_startDateSet);
    addRow(QStringLiteral("&Start Date:"), m_startDate, m_startDate, true);
    m_endDate = date("dtmEndDate", m_endDateSet);
    addRow(QStringLiteral("En&d Date:"), m_endDate, m_endDate, true);
    m_startTime = time("dtmStartTime", m_startTimeSet);
    addRow(QStringLiteral("Start T&ime:"), m_startTime, m_startTime, true);
    m_endTime = time("dtmEndTime", m_endTimeSet);
    addRow(QStringLiteral("End Ti&me:"), m_endTime, m_endTime, true);

    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName(QStringLiteral("lblProgress"));
    outer->addWidget(m_progressLabel);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("pbProgress"));
    m_progress->setAccessibleName(QStringLiteral("Progress"));
    m_progress->setValue(0);
    outer->addWidget(m_progress);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_apply = new QPushButton(QStringLiteral("&Apply"), this);
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_apply->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);
    connect(m_apply, &QPushButton::clicked, this, &frmMassEdit::cmdApply_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmMassEdit::cmdCancel_Click);

    QWidget *order[] = {m_contact,    pick,        m_activity1, m_activity2, m_billStatus,
                        m_rateSource, m_rateLevel, m_entryType, m_category,  m_timeEstimated,
                        m_startDate,  m_endDate,   m_startTime, m_endTime,   m_apply,
                        m_cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

std::optional<MassEditRequest> frmMassEdit::request()
{
    MassEditRequest r;
    if (m_setup.contactInUse)
        r.contactId = m_contactId;
    if (m_setup.activity1InUse)
        r.activity1Id = chosenId(m_activity1);
    if (m_setup.activity2InUse)
        r.activity2Id = chosenId(m_activity2);
    r.billStatus = chosen(m_billStatus);
    r.rateSource = chosen(m_rateSource);
    r.rateLevel = chosen(m_rateLevel);
    r.entryType = chosen(m_entryType);
    if (!m_category->text().isEmpty())
        r.category = m_category->text();
    if (!m_timeEstimated->text().trimmed().isEmpty()) {
        const std::optional<Duration> typed = Duration::fromTyped(m_timeEstimated->text());
        if (!typed) {
            // The typed text stays in the field to be mended.
            m_prompts.messageBox(QStringLiteral("Quorvale"),
                                 Duration::refusal(m_timeEstimated->text()), PromptButtons::Ok,
                                 PromptIcon::Information);
            m_timeEstimated->setFocus();
            return std::nullopt;
        }
        r.timeEstimated = typed->toStored();
    }
    if (m_startDateSet)
        r.startDate = m_startDate->date();
    if (m_endDateSet)
        r.endDate = m_endDate->date();
    if (m_startTimeSet)
        r.startTime = m_startTime->time();
    if (m_endTimeSet)
        r.endTime = m_endTime->time();
    return r;
}

void frmMassEdit::cmdApply_Click()
{
    const std::optional<MassEditRequest> r = request();
    if (!r || !m_setup.apply)
        return;
    m_apply->setEnabled(false);
    MassEdit::Outcome outcome = MassEdit::Outcome::Cancelled;
    try {
        outcome = m_setup.apply(*r);
    } catch (const std::exception &) {
        fail();
        return;
    }
    m_apply->setEnabled(true);
    setProgressLabel(QString());
    m_progress->setValue(0);
    if (outcome == MassEdit::Outcome::Applied)
        accept();
    else if (outcome == MassEdit::Outcome::Declined)
        reject();
}

void frmMassEdit::fail()
{
    // Thrown on past the event loop it would leave a dead dialog behind.
    m_failure = std::current_exception();
    reject();
}

void frmMassEdit::setProgressLabel(const QString &text)
{
    m_progressLabel->setText(text);
}

void frmMassEdit::setProgress(int done, int total)
{
    m_progress->setRange(0, std::max(total, 1));
    m_progress->setValue(done);
    // The bar must move while the edit holds the event loop.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace quorvale
