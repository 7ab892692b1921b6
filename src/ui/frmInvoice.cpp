#include "ui/frmInvoice.h"

#include "platform/core/QvError.h"
#include "support/Prompts.h"
#include "timecards/ReportPeriod.h"
#include "ui/ContactPickerDialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace quorvale {

namespace {

// The period list's entries, in the order they are offered; "All open work"
// sends no dates.
enum PeriodEntry { LastMonth, ThisMonth, LastWeek, ThisWeek, AllOpen, Custom };

QString kindText(InvoiceLine::Kind kind)
{
    switch (kind) {
    case InvoiceLine::Kind::TimeCard:
        return QStringLiteral("TimeCard");
    case InvoiceLine::Kind::Expense:
        return QStringLiteral("Expense");
    case InvoiceLine::Kind::FixedCharge:
        return QStringLiteral("Fixed charge");
    }
    return {};
}

} // namespace

frmInvoice::frmInvoice(db::Connection &cnnLink, BillingOptions options, QString contactTerm,
                       Prompts &prompts, Issue issue, QWidget *parent)
    : QDialog(parent), m_cnn(cnnLink), m_options(std::move(options)),
      m_contactTerm(std::move(contactTerm)), m_prompts(prompts), m_issue(std::move(issue))
{
    setObjectName(QStringLiteral("frmInvoice"));
    setWindowTitle(QStringLiteral("Invoice"));

    m_client = new QLineEdit(this);
    m_client->setReadOnly(true);
    auto *choose = new QPushButton(QStringLiteral("C&hoose..."), this);
    choose->setAccessibleName(QStringLiteral("Choose the client"));
    auto *clientRow = new QHBoxLayout;
    clientRow->addWidget(m_client, 1);
    clientRow->addWidget(choose);

    m_period = new QComboBox(this);
    m_period->addItems({QStringLiteral("Last month"), QStringLiteral("This month"),
                        QStringLiteral("Last week"), QStringLiteral("This week"),
                        QStringLiteral("All open work"), QStringLiteral("Custom")});
    m_from = new QDateEdit(this);
    m_to = new QDateEdit(this);
    for (QDateEdit *edit : {m_from, m_to}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("d MMM yyyy"));
    }
    auto *datesRow = new QHBoxLayout;
    auto *fromLabel = new QLabel(QStringLiteral("&From:"), this);
    fromLabel->setBuddy(m_from);
    auto *toLabel = new QLabel(QStringLiteral("&To:"), this);
    toLabel->setBuddy(m_to);
    datesRow->addWidget(fromLabel);
    datesRow->addWidget(m_from);
    datesRow->addWidget(toLabel);
    datesRow->addWidget(m_to);
    datesRow->addStretch();

    auto *form = new QFormLayout;
    auto *clientLabel =
        new QLabel(m_contactTerm.isEmpty() ? QStringLiteral("&Client:")
                                           : QStringLiteral("&%1:").arg(m_contactTerm),
                   this);
    clientLabel->setBuddy(choose);
    m_client->setAccessibleName(QStringLiteral("Client"));
    form->addRow(clientLabel, clientRow);
    auto *periodLabel = new QLabel(QStringLiteral("&Period:"), this);
    periodLabel->setBuddy(m_period);
    form->addRow(periodLabel, m_period);
    form->addRow(QString(), datesRow);

    m_lines = new QTableWidget(0, 7, this);
    m_lines->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Kind"),
                                        QStringLiteral("Activity"), QStringLiteral("Description"),
                                        QStringLiteral("Time/Units"), QStringLiteral("Amount"),
                                        QStringLiteral("Note")});
    m_lines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lines->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lines->verticalHeader()->hide();
    m_lines->horizontalHeader()->setSectionResizeMode(3, QHeaderView::Stretch);
    m_lines->setAccessibleName(QStringLiteral("Lines of the invoice"));
    auto *linesLabel = new QLabel(QStringLiteral("&Lines:"), this);
    linesLabel->setBuddy(m_lines);
    m_totals = new QLabel(this);
    m_totals->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_totals->setAlignment(Qt::AlignRight);

    m_earlier = new QComboBox(this);
    m_earlier->setAccessibleName(QStringLiteral("Earlier invoices of the client"));
    m_reason = new QLineEdit(this);
    m_reason->setPlaceholderText(QStringLiteral("Why the invoice is void"));
    m_void = new QPushButton(QStringLiteral("&Void Invoice"), this);
    auto *earlierBox = new QGroupBox(QStringLiteral("Earlier invoices"), this);
    auto *earlierForm = new QFormLayout(earlierBox);
    auto *earlierLabel = new QLabel(QStringLiteral("I&nvoice:"), earlierBox);
    earlierLabel->setBuddy(m_earlier);
    earlierForm->addRow(earlierLabel, m_earlier);
    auto *reasonLabel = new QLabel(QStringLiteral("&Reason:"), earlierBox);
    reasonLabel->setBuddy(m_reason);
    auto *reasonRow = new QHBoxLayout;
    reasonRow->addWidget(m_reason, 1);
    reasonRow->addWidget(m_void);
    earlierForm->addRow(reasonLabel, reasonRow);

    auto *buttons = new QDialogButtonBox(this);
    m_create = buttons->addButton(QStringLiteral("Create &Invoice"), QDialogButtonBox::AcceptRole);
    m_create->setDefault(true);
    buttons->addButton(QDialogButtonBox::Close);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(linesLabel);
    layout->addWidget(m_lines, 1);
    layout->addWidget(m_totals);
    layout->addWidget(earlierBox);
    layout->addWidget(buttons);
    resize(820, 560);

    connect(choose, &QPushButton::clicked, this, &frmInvoice::chooseClient);
    connect(m_period, &QComboBox::currentIndexChanged, this, &frmInvoice::periodChanged);
    connect(m_from, &QDateEdit::dateChanged, this, &frmInvoice::refresh);
    connect(m_to, &QDateEdit::dateChanged, this, &frmInvoice::refresh);
    connect(m_create, &QPushButton::clicked, this, &frmInvoice::create);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_reason, &QLineEdit::textChanged, this, [this] {
        m_void->setEnabled(m_earlier->count() > 0 && !m_reason->text().trimmed().isEmpty());
    });
    connect(m_void, &QPushButton::clicked, this, &frmInvoice::voidChosen);
    setTabOrder(choose, m_period);
    setTabOrder(m_period, m_from);
    setTabOrder(m_from, m_to);
    setTabOrder(m_to, m_lines);
    setTabOrder(m_lines, m_earlier);
    setTabOrder(m_earlier, m_reason);
    setTabOrder(m_reason, m_void);
    periodChanged();
    // The client is chosen already when the window opens on a TimeCard's.
    m_period->setFocus();
}

void frmInvoice::setClient(qint32 contactId, const QString &name)
{
    m_contactId = contactId;
    m_client->setText(name);
    fillEarlier();
    refresh();
}

void frmInvoice::chooseClient()
{
    if (const std::optional<PickedContact> picked =
            ContactPickerDialog::OpenItemList(this, m_cnn, m_contactTerm))
        setClient(picked->QuorvaleID, picked->ContactName);
}

void frmInvoice::periodChanged()
{
    const int entry = m_period->currentIndex();
    const QDate today = QDate::currentDate();
    const auto show = [this](ReportPeriodChoice choice) {
        const ReportDates dates = reportDates(choice, QDate::currentDate());
        const QSignalBlocker a(m_from), b(m_to);
        m_from->setDate(dates.from);
        m_to->setDate(dates.to);
    };
    switch (entry) {
    case LastMonth:
        show(ReportPeriodChoice::LastMonth);
        break;
    case ThisMonth:
        show(ReportPeriodChoice::ThisMonth);
        break;
    case LastWeek:
        show(ReportPeriodChoice::LastWeek);
        break;
    case ThisWeek:
        show(ReportPeriodChoice::ThisWeek);
        break;
    default:
        if (!m_from->date().isValid() || m_from->date() == QDate(2000, 1, 1)) {
            const QSignalBlocker a(m_from), b(m_to);
            m_from->setDate(today.addDays(1 - today.day()));
            m_to->setDate(today);
        }
        break;
    }
    m_from->setEnabled(entry == Custom);
    m_to->setEnabled(entry == Custom);
    refresh();
}

std::optional<InvoiceRequest> frmInvoice::request() const
{
    if (m_contactId <= 0)
        return std::nullopt;
    InvoiceRequest r;
    r.contactId = m_contactId;
    r.invoiceDate = QDate::currentDate();
    if (m_period->currentIndex() != AllOpen) {
        const ReportDates dates{m_from->date(), m_to->date()};
        if (!reportDatesProblem(dates).isEmpty())
            return std::nullopt;
        r.from = dates.from;
        r.to = dates.to;
    }
    return r;
}

void frmInvoice::refresh()
{
    m_lines->setRowCount(0);
    m_preview = Invoice{};
    const std::optional<InvoiceRequest> r = request();
    if (!r) {
        const QString problem = m_contactId <= 0
                                    ? QStringLiteral("Choose the client to invoice.")
                                    : reportDatesProblem(ReportDates{m_from->date(), m_to->date()});
        m_totals->setText(problem);
        m_create->setEnabled(false);
        return;
    }
    try {
        m_preview = previewInvoice(m_cnn, *r, m_options);
    } catch (const QvError &error) {
        m_totals->setText(error.description());
        m_create->setEnabled(false);
        return;
    }
    m_lines->setRowCount(int(m_preview.lines.size()));
    int row = 0;
    for (const InvoiceLine &line : m_preview.lines) {
        const QStringList cells{line.date.toString(QStringLiteral("d MMM yyyy")),
                                kindText(line.kind),
                                line.activity,
                                line.description,
                                line.quantity,
                                line.amount.toDisplayString(),
                                line.note};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            if (c == 4 || c == 5)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_lines->setItem(row, c, item);
        }
        ++row;
    }
    m_lines->resizeColumnsToContents();
    QString totals =
        m_preview.lines.empty()
            ? QStringLiteral("Nothing of this client is billable in the period.")
            : QStringLiteral("Subtotal %1").arg(m_preview.subtotal().toDisplayString());
    if (m_preview.tax != Money())
        totals += QStringLiteral("   Tax at %1 % %2")
                      .arg(m_preview.taxRate, m_preview.tax.toDisplayString());
    if (!m_preview.lines.empty())
        totals += QStringLiteral("   Total %1").arg(m_preview.total().toDisplayString());
    m_totals->setText(totals);
    m_create->setEnabled(!m_preview.lines.empty());
}

void frmInvoice::fillEarlier()
{
    m_earlier->clear();
    if (m_contactId > 0)
        for (const InvoiceSummary &invoice : invoicesOf(m_cnn, m_contactId))
            if (!invoice.voided)
                m_earlier->addItem(invoiceLabel(invoice), invoice.number);
    m_void->setEnabled(m_earlier->count() > 0 && !m_reason->text().trimmed().isEmpty());
}

void frmInvoice::create()
{
    const std::optional<InvoiceRequest> r = request();
    if (!r || !m_issue)
        return;
    if (m_issue(*r)) {
        fillEarlier();
        refresh();
    }
}

void frmInvoice::voidChosen()
{
    const QString reason = m_reason->text().trimmed();
    if (m_earlier->currentIndex() < 0 || reason.isEmpty())
        return;
    const int number = m_earlier->currentData().toInt();
    if (m_prompts.messageBox(QStringLiteral("Void Invoice"),
                             QStringLiteral("Void invoice %1? Its work becomes open again and "
                                            "can be invoiced anew; the invoice keeps its number "
                                            "and the reason.")
                                 .arg(number),
                             PromptButtons::YesNo, PromptIcon::Question) != PromptResult::Yes)
        return;
    try {
        voidInvoice(m_cnn, number, reason, QDate::currentDate());
    } catch (const QvError &error) {
        m_prompts.messageBox(QStringLiteral("Void Invoice"), error.description(), PromptButtons::Ok,
                             PromptIcon::Warning);
        return;
    }
    m_reason->clear();
    fillEarlier();
    refresh();
}

} // namespace quorvale
