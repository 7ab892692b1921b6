#include "ui/ReportDialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <algorithm>

namespace quorvale {

namespace {

QLabel *buddyLabel(const QString &text, QWidget *buddy, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

const ReportKindChoice *choiceOf(const QString &kind)
{
    for (const ReportKindChoice &c : reportKindChoices())
        if (c.kind == kind)
            return &c;
    return nullptr;
}

} // namespace

ReportDialog::ReportDialog(const QString &kind, std::vector<ReportContact> contacts,
                           const QString &contactTerm, QDate today, QWidget *parent)
    : QDialog(parent), m_today(today), m_kind(new QComboBox(this)), m_contact(new QComboBox(this)),
      m_period(new QComboBox(this)), m_from(new QDateEdit(this)), m_to(new QDateEdit(this)),
      m_status(new QComboBox(this)), m_problem(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Reports"));
    for (const ReportKindChoice &c : reportKindChoices())
        m_kind->addItem(c.caption, c.kind);
    m_kind->setCurrentIndex(std::max(0, m_kind->findData(kind)));

    m_contact->addItem(QStringLiteral("(All)"));
    for (const ReportContact &c : contacts)
        m_contact->addItem(c.name, c.id);

    m_period->addItem(QStringLiteral("This week"), int(ReportPeriodChoice::ThisWeek));
    m_period->addItem(QStringLiteral("Last week"), int(ReportPeriodChoice::LastWeek));
    m_period->addItem(QStringLiteral("This month"), int(ReportPeriodChoice::ThisMonth));
    m_period->addItem(QStringLiteral("Last month"), int(ReportPeriodChoice::LastMonth));
    m_period->addItem(QStringLiteral("Custom"), int(ReportPeriodChoice::Custom));
    const ReportDates month = reportDates(ReportPeriodChoice::ThisMonth, today);
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    m_from->setDate(month.from);
    m_to->setDate(month.to);

    m_status->addItem(QStringLiteral("All"), QString());
    m_status->addItem(QStringLiteral("Open (not invoiced)"), QStringLiteral("open"));
    m_status->addItem(QStringLiteral("Invoiced"), QStringLiteral("invoiced"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ReportDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ReportDialog::reject);

    const QString term = contactTerm.isEmpty() ? QStringLiteral("Client") : contactTerm;
    auto *form = new QFormLayout(this);
    form->addRow(buddyLabel(QStringLiteral("&Report:"), m_kind, this), m_kind);
    form->addRow(buddyLabel(u'&' + term + u':', m_contact, this), m_contact);
    form->addRow(buddyLabel(QStringLiteral("&Period:"), m_period, this), m_period);
    form->addRow(buddyLabel(QStringLiteral("&From:"), m_from, this), m_from);
    form->addRow(buddyLabel(QStringLiteral("&To:"), m_to, this), m_to);
    form->addRow(buddyLabel(QStringLiteral("&Billing status:"), m_status, this), m_status);
    m_problem->setWordWrap(true);
    m_problem->setVisible(false);
    form->addRow(m_problem);
    form->addRow(buttons);
    setTabOrder(m_kind, m_contact);
    setTabOrder(m_contact, m_period);
    setTabOrder(m_period, m_from);
    setTabOrder(m_from, m_to);
    setTabOrder(m_to, m_status);
    setTabOrder(m_status, buttons);

    connect(m_kind, &QComboBox::currentIndexChanged, this, &ReportDialog::updateEnabled);
    connect(m_period, &QComboBox::currentIndexChanged, this, &ReportDialog::updateEnabled);
    updateEnabled();
    m_kind->setFocus();
}

void ReportDialog::updateEnabled()
{
    const ReportKindChoice *kind = choiceOf(m_kind->currentData().toString());
    m_contact->setEnabled(kind && kind->byContact);
    m_status->setEnabled(kind && kind->byStatus);
    const bool custom =
        ReportPeriodChoice(m_period->currentData().toInt()) == ReportPeriodChoice::Custom;
    m_from->setEnabled(custom);
    m_to->setEnabled(custom);
    if (!custom) {
        const ReportDates shown = dates();
        m_from->setDate(shown.from);
        m_to->setDate(shown.to);
    }
}

ReportDates ReportDialog::dates() const
{
    return reportDates(ReportPeriodChoice(m_period->currentData().toInt()), m_today, m_from->date(),
                       m_to->date());
}

ReportRequest ReportDialog::request() const
{
    ReportRequest r;
    r.kind = m_kind->currentData().toString();
    const ReportDates d = dates();
    r.from = d.from;
    r.to = d.to;
    if (m_contact->isEnabled() && m_contact->currentData().isValid())
        r.contactId = m_contact->currentData().toInt();
    if (m_status->isEnabled())
        r.status = m_status->currentData().toString();
    return r;
}

void ReportDialog::accept()
{
    // Said inside the dialog, beside the dates to put right.
    if (const QString problem = reportDatesProblem(dates()); !problem.isEmpty()) {
        m_problem->setText(problem);
        m_problem->setVisible(true);
        m_from->setFocus();
        return;
    }
    QDialog::accept();
}

} // namespace quorvale
