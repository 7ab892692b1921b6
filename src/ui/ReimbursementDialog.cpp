#include "ReimbursementDialog.h"

#include "timecards/RateChoices.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quorvale {

ReimbursementDialog::ReimbursementDialog(const std::vector<ReimbursableExpense> &owed, QDate today,
                                         const QLocale &locale, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReimbursement"));
    setWindowTitle(tr("Record Reimbursement"));
    auto *layout = new QVBoxLayout(this);

    const int count = static_cast<int>(owed.size());
    m_summary = new QLabel((count == 1 ? tr("%1 expense is not yet reimbursed, %2 in all.")
                                       : tr("%1 expenses are not yet reimbursed, %2 in all."))
                               .arg(count)
                               .arg(currencyText(totalOf(owed), locale)),
                           this);
    m_summary->setObjectName(QStringLiteral("lblSummary"));
    layout->addWidget(m_summary);

    m_table = new QTableWidget(count, 3, this);
    m_table->setObjectName(QStringLiteral("tblOwed"));
    m_table->setAccessibleName(tr("Expenses to reimburse"));
    m_table->setHorizontalHeaderLabels({tr("Date"), tr("Description"), tr("Amount")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    for (int i = 0; i < count; ++i) {
        const ReimbursableExpense &e = owed[static_cast<std::size_t>(i)];
        m_table->setItem(i, 0,
                         new QTableWidgetItem(locale.toString(e.startDate, QLocale::ShortFormat)));
        m_table->setItem(i, 1, new QTableWidgetItem(e.description));
        auto *amount = new QTableWidgetItem(currencyText(e.amount, locale));
        amount->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_table->setItem(i, 2, amount);
    }
    m_summary->setBuddy(m_table);
    layout->addWidget(m_table, 1);

    auto *form = new QFormLayout;
    m_date = new QDateEdit(today, this);
    m_date->setObjectName(QStringLiteral("dtmPaid"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(locale.dateFormat(QLocale::ShortFormat));
    auto *dateLabel = new QLabel(tr("&Paid on:"), this);
    dateLabel->setBuddy(m_date);
    form->addRow(dateLabel, m_date);
    m_reference = new QLineEdit(this);
    m_reference->setObjectName(QStringLiteral("txtReference"));
    m_reference->setMaxLength(255);
    m_reference->setPlaceholderText(tr("cheque or transfer number"));
    auto *referenceLabel = new QLabel(tr("R&eference:"), this);
    referenceLabel->setBuddy(m_reference);
    form->addRow(referenceLabel, m_reference);
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(this);
    m_record = buttons->addButton(tr("&Record"), QDialogButtonBox::AcceptRole);
    m_record->setObjectName(QStringLiteral("cmdRecord"));
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    m_reference->setFocus();
}

QDate ReimbursementDialog::date() const
{
    return m_date->date();
}

QString ReimbursementDialog::reference() const
{
    return m_reference->text().trimmed();
}

} // namespace quorvale
