#include "frmFilter.h"

#include "ui/OptionalChoiceList.h"
#include "ui/frmSelectCategories.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvale {

namespace {

// The lowest date stands for "no date", shown empty.
const QDate kNoDate(1900, 1, 1);

QDateEdit *dateEdit(QWidget *parent, const char *name)
{
    auto *date = new QDateEdit(parent);
    date->setObjectName(QLatin1String(name));
    date->setCalendarPopup(true);
    date->setMinimumDate(kNoDate);
    date->setSpecialValueText(QStringLiteral(" "));
    date->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    date->setDate(kNoDate);
    return date;
}

// A label with its access key on the control it names.
QLabel *labelFor(QWidget *parent, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, parent);
    label->setBuddy(buddy);
    QString name = text;
    buddy->setAccessibleName(name.remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    return label;
}

QWidget *line(QWidget *parent, std::initializer_list<std::pair<QWidget *, int>> parts)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const auto &[widget, stretch] : parts) {
        widget->setParent(row);
        layout->addWidget(widget, stretch);
    }
    return row;
}

void choose(QComboBox *box, const QString &text)
{
    const int index = box->findText(text);
    box->setCurrentIndex(std::max(0, index));
}

void chooseData(QComboBox *box, qint32 id)
{
    const int index = box->findData(id);
    box->setCurrentIndex(std::max(0, index));
}

} // namespace

frmFilter::frmFilter(FilterDialogSetup setup, const FilterCriteria &saved, QWidget *parent)
    : QDialog(parent), m_setup(std::move(setup))
{
    setObjectName(QStringLiteral("frmFilter"));
    setWindowTitle(QStringLiteral("Filter"));
    build();
    showCriteria(saved);
    // Only a change makes Apply worth pressing.
    m_apply->setEnabled(false);
}

void frmFilter::build()
{
    auto *outer = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    outer->addLayout(form);

    m_contact = new QLineEdit(this);
    m_contact->setObjectName(QStringLiteral("txtContact"));
    m_contact->setReadOnly(true);
    m_pickContact = new QToolButton(this);
    m_pickContact->setObjectName(QStringLiteral("abSelectContact"));
    m_pickContact->setText(QStringLiteral("..."));
    m_pickContact->setToolTip(QStringLiteral("Click to select contact."));
    m_pickContact->setAccessibleName(QStringLiteral("Click to select contact."));
    m_clearContact = new QToolButton(this);
    m_clearContact->setObjectName(QStringLiteral("abClearContact"));
    m_clearContact->setText(QStringLiteral("X"));
    m_clearContact->setToolTip(QStringLiteral("Clear contact selection."));
    m_clearContact->setAccessibleName(QStringLiteral("Clear contact selection."));
    QLabel *contactLabel =
        labelFor(this, QStringLiteral("&") + m_setup.terms.contact + ':', m_contact);
    form->addRow(contactLabel,
                 line(this, {{m_contact, 1}, {m_pickContact, 0}, {m_clearContact, 0}}));
    contactLabel->setVisible(m_setup.contactInUse);
    form->itemAt(form->rowCount() - 1, QFormLayout::FieldRole)
        ->widget()
        ->setVisible(m_setup.contactInUse);
    connect(m_pickContact, &QToolButton::clicked, this, &frmFilter::selectContact);
    connect(m_clearContact, &QToolButton::clicked, this, &frmFilter::clearContact);

    const auto addRow = [&](const QString &caption, QWidget *field, QWidget *buddy, bool shown) {
        QLabel *label = labelFor(this, caption, buddy);
        form->addRow(label, field);
        label->setVisible(shown);
        field->setVisible(shown);
    };

    m_activity1 = new QComboBox(this);
    m_activity1->setObjectName(QStringLiteral("cboActivity1"));
    addRow(m_setup.terms.activity1 + QStringLiteral(" &1:"), m_activity1, m_activity1,
           m_setup.activity1InUse);
    m_activity2 = new QComboBox(this);
    m_activity2->setObjectName(QStringLiteral("cboActivity2"));
    addRow(m_setup.terms.activity2 + QStringLiteral(" &2:"), m_activity2, m_activity2,
           m_setup.activity2InUse);
    m_billStatus = optionalChoiceList(this, "cboBillStatus", m_setup.billStatuses);
    addRow(QStringLiteral("Bill &Status:"), m_billStatus, m_billStatus, true);
    m_rateSource = optionalChoiceList(this, "cboRateSource", m_setup.rateSources);
    addRow(QStringLiteral("Rate S&ource:"), m_rateSource, m_rateSource, true);
    m_entryType = optionalChoiceList(this, "cboEntryType", m_setup.entryTypes);
    addRow(QStringLiteral("Entr&y Type:"), m_entryType, m_entryType, true);

    m_categories = new QLineEdit(this);
    m_categories->setObjectName(QStringLiteral("txtCategories"));
    m_showCategories = new QPushButton(QStringLiteral("&Select..."), this);
    m_showCategories->setObjectName(QStringLiteral("cmdShowCategories"));
    m_showCategories->setAccessibleName(QStringLiteral("Select categories"));
    addRow(QStringLiteral("Ca&tegories:"), line(this, {{m_categories, 1}, {m_showCategories, 0}}),
           m_categories, true);
    connect(m_showCategories, &QPushButton::clicked, this, &frmFilter::cmdShowCategories_Click);

    m_rateOperator = optionalChoiceList(this, "cboRateOperator", rateOperators());
    m_rateOperator->removeItem(0);
    m_rate = new QLineEdit(this);
    m_rate->setObjectName(QStringLiteral("txtRate"));
    m_rate->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), m_rate));
    QWidget *rateLine = line(this, {{m_rateOperator, 0}, {m_rate, 1}});
    addRow(QStringLiteral("&Rate:"), rateLine, m_rateOperator, true);
    m_rate->setAccessibleName(QStringLiteral("Rate"));
    m_rateOperator->setAccessibleName(QStringLiteral("Rate comparison"));
    connect(m_rate, &QLineEdit::editingFinished, this, &frmFilter::rateEdited);

    m_startOperator = optionalChoiceList(this, "cboStartDateOperator", dateOperators());
    m_startOperator->removeItem(0);
    m_startDate = dateEdit(this, "dtStartDate");
    addRow(QStringLiteral("Start &Date:"), line(this, {{m_startOperator, 0}, {m_startDate, 1}}),
           m_startOperator, true);
    m_startOperator->setAccessibleName(QStringLiteral("Start date comparison"));
    m_startDate->setAccessibleName(QStringLiteral("Start date"));
    m_endOperator = optionalChoiceList(this, "cboEndDateOperator", dateOperators());
    m_endOperator->removeItem(0);
    m_endDate = dateEdit(this, "dtEndDate");
    addRow(QStringLiteral("&End Date:"), line(this, {{m_endOperator, 0}, {m_endDate, 1}}),
           m_endOperator, true);
    m_endOperator->setAccessibleName(QStringLiteral("End date comparison"));
    m_endDate->setAccessibleName(QStringLiteral("End date"));

    m_jobOrder = new QLineEdit(this);
    m_jobOrder->setObjectName(QStringLiteral("txtJobOrder"));
    if (!m_setup.jobOrderMask.isEmpty())
        m_jobOrder->setInputMask(m_setup.jobOrderMask);
    addRow(m_setup.jobOrderTerm + QStringLiteral(":"), m_jobOrder, m_jobOrder,
           !m_setup.jobOrderTerm.isEmpty());

    m_apply = new QPushButton(QStringLiteral("&Apply"), this);
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_apply->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("Command2"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_apply);
    buttons->addWidget(m_cancel);
    outer->addLayout(buttons);
    connect(m_apply, &QPushButton::clicked, this, &frmFilter::cmdApply_Click);
    connect(m_cancel, &QPushButton::clicked, this, &frmFilter::Command2_Click);

    QWidget *order[] = {m_contact,       m_pickContact,    m_clearContact, m_activity1,
                        m_activity2,     m_billStatus,     m_rateSource,   m_entryType,
                        m_categories,    m_showCategories, m_rateOperator, m_rate,
                        m_startOperator, m_startDate,      m_endOperator,  m_endDate,
                        m_jobOrder,      m_apply,          m_cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    for (QComboBox *box : {m_activity1, m_activity2, m_billStatus, m_rateSource, m_entryType,
                           m_rateOperator, m_startOperator, m_endOperator})
        connect(box, &QComboBox::currentIndexChanged, this, &frmFilter::changed);
    for (QLineEdit *edit : {m_contact, m_categories, m_rate, m_jobOrder})
        connect(edit, &QLineEdit::textChanged, this, &frmFilter::changed);
    for (QDateEdit *date : {m_startDate, m_endDate})
        connect(date, &QDateEdit::dateChanged, this, &frmFilter::changed);
}

void frmFilter::fillActivities(std::optional<qint32> contactId, qint32 keep1, qint32 keep2)
{
    const auto fill = [&](QComboBox *box, int level, qint32 keep) {
        box->clear();
        std::vector<PickEntry> entries =
            m_setup.activities ? m_setup.activities(level, contactId) : std::vector<PickEntry>{};
        if (entries.empty() || entries.front().id != 0)
            entries.insert(entries.begin(), PickEntry{});
        for (const PickEntry &entry : entries)
            box->addItem(entry.text, entry.id);
        chooseData(box, keep);
    };
    fill(m_activity1, 1, keep1);
    fill(m_activity2, 2, keep2);
}

void frmFilter::showCriteria(const FilterCriteria &saved)
{
    m_userId = saved.userId;
    m_contactId = saved.contactId;
    m_contact->setText(saved.contactName);
    fillActivities(saved.contactId ? std::optional<qint32>(saved.contactId) : std::nullopt,
                   saved.activity1Id, saved.activity2Id);
    choose(m_billStatus, saved.billStatus);
    choose(m_rateSource, saved.rateSource);
    choose(m_entryType, saved.entryType);
    m_categories->setText(saved.categories);
    choose(m_rateOperator, saved.rateOperator);
    m_rate->setText(saved.rateEntered ? saved.rate.toDisplayString() : QString());
    choose(m_startOperator, saved.startDateOperator);
    m_startDate->setDate(saved.startDateEntered ? saved.startDate : kNoDate);
    choose(m_endOperator, saved.endDateOperator);
    m_endDate->setDate(saved.endDateEntered ? saved.endDate : kNoDate);
    m_jobOrder->setText(saved.jobOrder);
}

FilterCriteria frmFilter::criteria() const
{
    FilterCriteria c;
    c.userId = m_userId;
    c.contactId = m_setup.contactInUse ? m_contactId : 0;
    c.contactName = c.contactId ? m_contact->text() : QString();
    if (m_setup.activity1InUse)
        c.activity1Id = m_activity1->currentData().toInt();
    if (m_setup.activity2InUse)
        c.activity2Id = m_activity2->currentData().toInt();
    c.billStatus = m_billStatus->currentText();
    c.rateSource = m_rateSource->currentText();
    c.entryType = m_entryType->currentText();
    c.categories = m_categories->text();
    c.rateOperator = m_rateOperator->currentText();
    if (const std::optional<Money> rate = Money::parse(m_rate->text())) {
        c.rate = *rate;
        c.rateEntered = true;
    }
    c.startDateOperator = m_startOperator->currentText();
    c.startDateEntered = m_startDate->date() != kNoDate;
    if (c.startDateEntered)
        c.startDate = m_startDate->date();
    c.endDateOperator = m_endOperator->currentText();
    c.endDateEntered = m_endDate->date() != kNoDate;
    if (c.endDateEntered)
        c.endDate = m_endDate->date();
    if (!m_setup.jobOrderTerm.isEmpty()) {
        // A mask leaves its separators in an empty field: that is no job order.
        const QString text = m_jobOrder->text();
        const bool any =
            std::any_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.isLetterOrNumber(); });
        if (any)
            c.jobOrder = text;
    }
    return c;
}

void frmFilter::changed()
{
    m_apply->setEnabled(true);
}

void frmFilter::rateEdited()
{
    if (const std::optional<Money> rate = Money::parse(m_rate->text()))
        m_rate->setText(rate->toDisplayString());
}

void frmFilter::selectContact()
{
    if (!m_setup.pickContact)
        return;
    const std::optional<PickedContact> picked = m_setup.pickContact();
    if (!picked || picked->QuorvaleID == 0)
        return;
    m_contactId = picked->QuorvaleID;
    m_contact->setText(picked->ContactName);
    // The activity lists follow the contact, as on the TimeCard.
    fillActivities(m_contactId, m_activity1->currentData().toInt(),
                   m_activity2->currentData().toInt());
    changed();
}

void frmFilter::clearContact()
{
    m_contactId = 0;
    m_contact->clear();
    fillActivities(std::nullopt, m_activity1->currentData().toInt(),
                   m_activity2->currentData().toInt());
    changed();
}

void frmFilter::cmdShowCategories_Click()
{
    const QStringList master = m_setup.categories ? m_setup.categories() : QStringList();
    // Choosing none leaves the text as it was; the field itself can be emptied.
    const std::optional<QString> text =
        frmSelectCategories::pick(this, master, m_categories->text());
    if (text && !text->isEmpty())
        m_categories->setText(*text);
}

void frmFilter::cmdApply_Click()
{
    accept();
}

void frmFilter::Command2_Click()
{
    done(CancelFilter);
}

} // namespace quorvale
