#include "frmExpenses.h"

#include "charges/ChargeSave.h"
#include "charges/PaymentEntry.h"
#include "charges/Reimbursement.h"
#include "platform/core/QvError.h"
#include "support/Prompts.h"
#include "support/Trace.h"
#include "timecards/PickLists.h"
#include "timecards/RateChoices.h"
#include "ui/BillStatusBox.h"
#include "ui/ContactPickerDialog.h"
#include "ui/PointerScope.h"
#include "ui/QuickFilterControls.h"
#include "ui/ReimbursementDialog.h"
#include "ui/frmSelectParticipants.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace quorvale {

namespace {

namespace Tool {
constexpr const char *First = "tbFirst";
constexpr const char *Previous = "tbPrevious";
constexpr const char *Next = "tbNext";
constexpr const char *Last = "tbLast";
constexpr const char *AddNew = "tbAddNew";
constexpr const char *Delete = "tbDelete";
constexpr const char *Filter = "tbFilter";
constexpr const char *Reimburse = "tbReimburse";
} // namespace Tool

void showText(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}

void showDate(QDateEdit *edit, QDate date)
{
    const QSignalBlocker blocker(edit);
    edit->setDate(date.isValid() ? date : QDate::currentDate());
}

QString expenseCount(std::size_t n)
{
    return n == 1 ? QStringLiteral("1 expense") : QStringLiteral("%1 expenses").arg(n);
}

void fillList(QComboBox *combo, const std::vector<PickEntry> &entries)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const PickEntry &e : entries)
        combo->addItem(e.text, e.id);
}

} // namespace

frmExpenses::frmExpenses(db::Connection &cnnLink, ChargeWindowContext context, Prompts &prompts,
                         ChargeMode mode, bool standalone, ChargeKind kind, qint64 itemId,
                         QWidget *parent)
    : QDialog(parent), m_link(cnnLink), m_context(std::move(context)), m_prompts(prompts),
      m_mode(mode), m_standalone(standalone), m_kind(kind),
      m_codes(ChargeCodes::load(cnnLink, kind))
{
    setObjectName(QStringLiteral("frmExpenses"));
    setWindowTitle(title());
    if (m_mode != ChargeMode::Add) {
        m_store = std::make_unique<ChargeStore>(m_link, m_kind, m_context.scope, m_codes,
                                                m_context.locale);
        if (m_context.pickLists.contactName)
            m_store->setContactName(
                [this](qint32 id) { return m_context.pickLists.contactName(id); });
        m_store->open(m_mode == ChargeMode::EditOne ? std::optional<qint64>(itemId) : std::nullopt);
    }
    build();
    connectFields();
    if (m_mode == ChargeMode::Add) {
        m_record = freshRow();
        showRecord();
    } else if (!hasNoRows()) {
        showRow();
    }
    m_loading = false;
    validate();
}

frmExpenses::~frmExpenses() = default;

bool frmExpenses::hasNoRows() const
{
    return m_store && m_store->isEmpty();
}

QString frmExpenses::title() const
{
    const QString noun = chargeNames(m_kind).noun;
    if (m_mode == ChargeMode::ManageAll)
        return QStringLiteral("Quorvale: Manage All ") + noun + QStringLiteral("s");
    const bool edit = m_mode == ChargeMode::EditOne;
    if (!m_standalone)
        return (edit ? QStringLiteral("Quorvale: Edit Linked ")
                     : QStringLiteral("Quorvale: Add New Linked ")) +
               noun;
    return (edit ? QStringLiteral("Quorvale: Edit ") : QStringLiteral("Quorvale: Add New ")) + noun;
}

bool frmExpenses::rowStandalone() const
{
    return m_standalone && !m_record.linked();
}

QAction *frmExpenses::tool(const char *name) const
{
    return m_toolBar ? m_toolBar->findChild<QAction *>(QLatin1String(name)) : nullptr;
}

void frmExpenses::build()
{
    auto *layout = new QVBoxLayout(this);
    if (m_mode == ChargeMode::ManageAll)
        buildToolBar(layout);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    auto row = [&](const QString &caption, QWidget *field, QLayout *fieldLayout = nullptr) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        if (fieldLayout)
            form->addRow(label, fieldLayout);
        else
            form->addRow(label, field);
        return label;
    };
    auto lineEdit = [this](const char *name, int maxLength) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        if (maxLength > 0)
            edit->setMaxLength(maxLength);
        return edit;
    };
    const ChargeRules &rules = m_context.rules;

    m_contact = lineEdit("txtContact", 0);
    m_contact->setReadOnly(true);
    m_selectContact = new QToolButton(this);
    m_selectContact->setObjectName(QStringLiteral("cmdSelectContact"));
    m_selectContact->setText(QStringLiteral("..."));
    m_selectContact->setToolTip(tr("Click to select %1.").arg(rules.terms.contact.toLower()));
    m_selectContact->setAccessibleName(m_selectContact->toolTip());
    m_clearContact = new QToolButton(this);
    m_clearContact->setObjectName(QStringLiteral("cmdClearContact"));
    m_clearContact->setText(QStringLiteral("X"));
    m_clearContact->setToolTip(tr("Clear %1 selection.").arg(rules.terms.contact.toLower()));
    m_clearContact->setAccessibleName(m_clearContact->toolTip());
    auto *contactRow = new QHBoxLayout;
    contactRow->addWidget(m_contact, 1);
    contactRow->addWidget(m_selectContact);
    contactRow->addWidget(m_clearContact);
    QLabel *contactLabel = row(rules.terms.contact + QLatin1Char(':'), m_contact, contactRow);

    m_activity1 = new QComboBox(this);
    m_activity1->setObjectName(QStringLiteral("cboActivity1"));
    row(rules.terms.activity1 + QLatin1Char(':'), m_activity1);
    m_activity2 = new QComboBox(this);
    m_activity2->setObjectName(QStringLiteral("cboActivity2"));
    row(rules.terms.activity2 + QLatin1Char(':'), m_activity2);
    m_jobOrder = lineEdit("txtJobOrder", 50);
    if (!m_context.jobOrderMask.isEmpty())
        m_jobOrder->setInputMask(m_context.jobOrderMask + QStringLiteral(";_"));
    row((rules.jobOrderTerm.isEmpty() ? QStringLiteral("Job Order") : rules.jobOrderTerm) +
            QLatin1Char(':'),
        m_jobOrder);

    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("cboType"));
    fillList(m_type, m_codes.entries());
    // Alt+S is Save && Exit's, Alt+D the description's: the dates take T, the type Y.
    row(isExpense() ? tr("Expense T&ype:") : tr("Fixed Charge T&ype:"), m_type);

    m_startDate = new QDateEdit(this);
    m_startDate->setObjectName(QStringLiteral("dtmStartDate"));
    m_startDate->setCalendarPopup(true);
    m_startDate->setDisplayFormat(m_context.locale.dateFormat(QLocale::ShortFormat));
    row(isExpense() ? tr("S&tart Date:") : tr("Da&te:"), m_startDate);
    m_endDate = new QDateEdit(this);
    m_endDate->setObjectName(QStringLiteral("dtmEndDate"));
    m_endDate->setCalendarPopup(true);
    m_endDate->setDisplayFormat(m_startDate->displayFormat());
    row(tr("&End Date:"), m_endDate);

    m_description = lineEdit("txtDescription", 0);
    row(tr("&Description:"), m_description);
    m_purpose = lineEdit("txtPurpose", 255);
    row(tr("&Purpose:"), m_purpose);
    m_location = lineEdit("txtLocation", 255);
    row(tr("&Location/Destination:"), m_location);
    m_participants = lineEdit("txtParticipants", 0);
    m_browse = new QPushButton(tr("&Browse"), this);
    m_browse->setObjectName(QStringLiteral("cmdBrowse"));
    m_browse->setAutoDefault(false);
    m_browse->setAccessibleName(tr("Browse participants"));
    auto *participantsRow = new QHBoxLayout;
    participantsRow->addWidget(m_participants, 1);
    participantsRow->addWidget(m_browse);
    QLabel *participantsLabel = row(tr("Partic&ipants:"), m_participants, participantsRow);

    m_quantity = lineEdit("txtQuantity", 12);
    m_quantity->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row(tr("U&nits:"), m_quantity); // Alt+U is the bill status's
    m_rate = lineEdit("txtRate", 20);
    m_rate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row(tr("&Rate:"), m_rate);
    m_amount = lineEdit("txtAmount", 20);
    m_amount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row(tr("T&otal:"), m_amount);
    m_billStatus = new QComboBox(this);
    m_billStatus->setObjectName(QStringLiteral("cboBillStatus"));
    fillBillStatuses(m_billStatus, chargeBillStatuses());
    row(tr("Bill Stat&us:"), m_billStatus);

    // Fields a linked charge takes from its TimeCard, or the options leave out.
    const bool ownFields = m_standalone;
    form->setRowVisible(contactLabel, ownFields && rules.contactInUse);
    form->setRowVisible(m_activity1, ownFields && rules.activity1InUse);
    form->setRowVisible(m_activity2, ownFields && rules.activity2InUse);
    form->setRowVisible(m_jobOrder, ownFields && !rules.jobOrderTerm.isEmpty());
    for (QWidget *w :
         {static_cast<QWidget *>(m_endDate), static_cast<QWidget *>(m_purpose),
          static_cast<QWidget *>(m_location), static_cast<QWidget *>(participantsLabel)})
        form->setRowVisible(w, isExpense());

    auto *buttons = new QHBoxLayout;
    m_saveExit = new QPushButton(
        m_mode == ChargeMode::Add ? tr("Save && Close") : tr("&Save && Exit"), this);
    m_saveExit->setObjectName(QStringLiteral("Command1_0"));
    m_close = new QPushButton(tr("&Close"), this);
    m_close->setObjectName(QStringLiteral("Command1_1"));
    m_saveAdd = new QPushButton(tr("Save && &Add"), this);
    m_saveAdd->setObjectName(QStringLiteral("Command1_2"));
    buttons->addStretch(1);
    for (QPushButton *button : {m_saveExit, m_close, m_saveAdd}) {
        // Enter in a field must not save a charge by surprise.
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);

    if (m_mode == ChargeMode::ManageAll) {
        m_statusBar = new QStatusBar(this);
        m_statusBar->setSizeGripEnabled(false);
        m_positionPanel = new QLabel(this);
        m_positionPanel->setObjectName(QStringLiteral("panelRecord"));
        m_statusBar->addWidget(m_positionPanel, 1);
        if (isExpense()) {
            m_reimbursementPanel = new QLabel(this);
            m_reimbursementPanel->setObjectName(QStringLiteral("panelReimbursed"));
            m_statusBar->addPermanentWidget(m_reimbursementPanel);
        }
        m_linkPanel = new QLabel(this);
        m_linkPanel->setObjectName(QStringLiteral("panelLinked"));
        m_statusBar->addPermanentWidget(m_linkPanel);
        layout->addWidget(m_statusBar);
    }

    QList<QWidget *> order;
    if (QComboBox *list = filterList())
        order << list;
    if (QLineEdit *box = contactQuickFilter())
        order << box;
    order << m_contact << m_selectContact << m_clearContact << m_activity1 << m_activity2
          << m_jobOrder << m_type << m_startDate << m_endDate << m_description << m_purpose
          << m_location << m_participants << m_browse << m_quantity << m_rate << m_amount
          << m_billStatus << m_saveExit << m_close << m_saveAdd;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmExpenses::buildToolBar(QLayout *layout)
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ActiveBar54"));
    m_toolBar->setAccessibleName(tr("Records"));
    const QString noun = chargeNames(m_kind).noun;
    const auto add = [&](const char *name, const QString &text, const QString &tip,
                         QKeySequence key) {
        QAction *action = m_toolBar->addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setToolTip(tip);
        action->setStatusTip(tip);
        action->setShortcut(key);
        // "|<" and the like mean nothing read aloud.
        m_toolBar->widgetForAction(action)->setAccessibleName(tip);
        connect(action, &QAction::triggered, this, [this, name] { runTool(QLatin1String(name)); });
    };
    add(Tool::First, QStringLiteral("|<"), tr("Go to first %1 record.").arg(noun),
        QKeySequence(Qt::CTRL | Qt::Key_Home));
    add(Tool::Previous, QStringLiteral("<"), tr("Go to previous %1 record.").arg(noun),
        QKeySequence(Qt::CTRL | Qt::Key_PageUp));
    add(Tool::Next, QStringLiteral(">"), tr("Go to next %1 record.").arg(noun),
        QKeySequence(Qt::CTRL | Qt::Key_PageDown));
    add(Tool::Last, QStringLiteral(">|"), tr("Go to last %1 record.").arg(noun),
        QKeySequence(Qt::CTRL | Qt::Key_End));
    add(Tool::AddNew, tr("New"), tr("Add a new %1 record.").arg(noun),
        QKeySequence(Qt::CTRL | Qt::Key_N));
    add(Tool::Delete, tr("Delete"), tr("Delete this %1.").arg(chargeNames(m_kind).lowerNoun),
        QKeySequence(Qt::CTRL | Qt::Key_Delete));
    if (isExpense())
        add(Tool::Reimburse, tr("Record Reimbursement..."),
            tr("Record that the expenses still owed were paid back (Ctrl+R)."),
            QKeySequence(Qt::CTRL | Qt::Key_R));
    m_toolBar->addSeparator();
    const QuickFilterType type = m_context.quickFilterType;
    const int level = type == QuickFilterType::Activity1 ? 1 : 2;
    const Terms &terms = m_context.rules.terms;
    m_quickFilter = new QuickFilterControls(
        m_toolBar, type,
        type == QuickFilterType::Contact ? terms.contact
                                         : (level == 1 ? terms.activity1 : terms.activity2),
        type != QuickFilterType::Contact && m_context.pickLists.activities
            ? m_context.pickLists.activities(level, std::nullopt)
            : std::vector<PickEntry>{PickEntry{}});
    connect(m_quickFilter, &QuickFilterControls::pickContact, this,
            &frmExpenses::pickFilterContact);
    connect(m_quickFilter, &QuickFilterControls::changed, this, [this] { processQuickFilter(); });
    add(Tool::Filter, tr("Filter"), tr("Apply/Clear filter."), QKeySequence(Qt::CTRL | Qt::Key_F));
    layout->addWidget(m_toolBar);
}

void frmExpenses::connectFields()
{
    connect(m_selectContact, &QToolButton::clicked, this, &frmExpenses::pickContact);
    connect(m_clearContact, &QToolButton::clicked, this, &frmExpenses::clearContact);
    connect(m_activity1, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_record.activity1Id = index < 0 ? 0 : m_activity1->itemData(index).toInt();
        validate();
    });
    connect(m_activity2, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_record.activity2Id = index < 0 ? 0 : m_activity2->itemData(index).toInt();
        validate();
    });
    connect(m_jobOrder, &QLineEdit::textEdited, this, [this](const QString &text) {
        QString digits = text;
        digits.remove(QRegularExpression(QStringLiteral("[^0-9A-Za-z]")));
        m_record.jobOrder = digits.isEmpty() ? QString() : text;
        validate();
    });
    connect(m_type, &QComboBox::currentIndexChanged, this, [this](int index) {
        const qint32 id = index < 0 ? NoChargeCode : m_type->itemData(index).toInt();
        chooseChargeCode(m_record, m_codes, id, isExpense(), m_context.scope.userName,
                         m_context.locale);
        showRecord();
        validate();
    });
    connect(m_startDate, &QDateEdit::dateChanged, this, [this](QDate date) {
        m_record.startDate = date;
        validate();
    });
    connect(m_endDate, &QDateEdit::dateChanged, this, [this](QDate date) {
        m_record.endDate = date;
        validate();
    });
    const auto typed = [this](QLineEdit *edit, QString ChargeRecord::*field, const char *allowed) {
        connect(edit, &QLineEdit::textEdited, this, [this, edit, field, allowed](const QString &t) {
            textEdited(edit, t, field, allowed);
        });
    };
    typed(m_description, &ChargeRecord::description, ChargeTexts::TextCharacters);
    typed(m_purpose, &ChargeRecord::purpose, ChargeTexts::TextCharacters);
    typed(m_location, &ChargeRecord::location, ChargeTexts::TextCharacters);
    typed(m_participants, &ChargeRecord::participants, ChargeTexts::TextCharacters);
    typed(m_quantity, &ChargeRecord::quantityText, ChargeTexts::NumberCharacters);
    typed(m_rate, &ChargeRecord::rateText, ChargeTexts::NumberCharacters);
    typed(m_amount, &ChargeRecord::amountText, ChargeTexts::NumberCharacters);
    connect(m_quantity, &QLineEdit::editingFinished, this, &frmExpenses::quantityOrRateLeft);
    connect(m_rate, &QLineEdit::editingFinished, this, &frmExpenses::quantityOrRateLeft);
    connect(m_amount, &QLineEdit::editingFinished, this, [this] {
        if (const std::optional<Money> amount = chargeNumber(m_record.amountText, m_context.locale))
            m_record.amountText = currencyText(*amount, m_context.locale);
        showRecord();
        validate();
    });
    connect(m_billStatus, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_record.billStatus = index < 0 ? QString() : m_billStatus->itemText(index);
        validate();
    });
    connect(m_browse, &QPushButton::clicked, this, &frmExpenses::browseParticipants);
    connect(m_saveExit, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(m_close, &QPushButton::clicked, this, &frmExpenses::reject);
    connect(m_saveAdd, &QPushButton::clicked, this, &frmExpenses::saveAndAdd);
}

void frmExpenses::textEdited(QLineEdit *edit, const QString &text, QString ChargeRecord::*field,
                             const char *allowed)
{
    // Drops what the field does not take, typed or pasted, keeping the cursor
    // where the person was typing.
    const QString kept = keepOnly(text, allowed);
    if (kept != text) {
        const int cursor = edit->cursorPosition() - static_cast<int>(text.size() - kept.size());
        edit->setText(kept);
        edit->setCursorPosition(std::max(0, cursor));
    }
    m_record.*field = kept;
    validate();
}

void frmExpenses::quantityOrRateLeft()
{
    settleQuantityAndRate(m_record, m_context.locale);
    showRecord();
    validate();
}

void frmExpenses::fillActivities(int level, qint32 chosen)
{
    QComboBox *combo = level == 1 ? m_activity1 : m_activity2;
    std::vector<PickEntry> entries =
        m_context.pickLists.activities
            ? m_context.pickLists.activities(level, m_record.contactId == 0
                                                        ? std::nullopt
                                                        : std::optional<qint32>(m_record.contactId))
            : std::vector<PickEntry>{PickEntry{}};
    const QString stored = chosen != 0 && m_context.pickLists.activityName
                               ? m_context.pickLists.activityName(level, chosen)
                               : QString();
    const int index =
        selectActivity(entries, chosen == 0 ? std::nullopt : std::optional<qint32>(chosen), stored);
    fillList(combo, entries);
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(std::max(0, index));
}

void frmExpenses::showRecord()
{
    const ChargeRecord &r = m_record;
    showText(m_contact, r.contactName);
    {
        const QSignalBlocker blocker(m_type);
        m_type->setCurrentIndex(std::max(0, m_type->findData(r.codeId)));
    }
    showDate(m_startDate, r.startDate);
    showDate(m_endDate, r.endDate);
    showText(m_jobOrder, r.jobOrder);
    showText(m_description, r.description);
    showText(m_purpose, r.purpose);
    showText(m_location, r.location);
    showText(m_participants, r.participants);
    showText(m_quantity, r.quantityText);
    showText(m_rate, r.rateText);
    showText(m_amount, r.amountText);
    {
        const QSignalBlocker blocker(m_billStatus);
        m_billStatus->setCurrentIndex(std::max(0, m_billStatus->findText(r.billStatus)));
    }

    // `SetControlStatus`: a reimbursed or invoiced row is only shown.
    const bool editable = !r.readOnly(isExpense());
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_startDate, m_type, m_billStatus, m_description,
                                          m_quantity, m_rate, m_amount, m_endDate})
        w->setEnabled(editable);
    const auto classField = [&](QWidget *w, bool on) {
        w->setEnabled(editable && on);
        // The button-face look tells at a glance what the type leaves out.
        w->setBackgroundRole(on ? QPalette::Base : QPalette::Button);
    };
    classField(m_purpose, r.fields.purpose);
    classField(m_location, r.fields.location);
    classField(m_participants, r.fields.participants);
    m_browse->setEnabled(editable && r.fields.participants);
    const bool own = rowStandalone() && editable;
    for (QWidget *w : std::initializer_list<QWidget *>{m_selectContact, m_clearContact, m_activity1,
                                                       m_activity2, m_jobOrder})
        w->setEnabled(own);
}

void frmExpenses::showRow()
{
    m_record = m_store->current();
    if (m_record.linked() && m_record.contactName.isEmpty() && m_context.pickLists.contactName &&
        m_record.contactId != 0)
        m_record.contactName = m_context.pickLists.contactName(m_record.contactId);
    fillActivities(1, m_record.activity1Id);
    fillActivities(2, m_record.activity2Id);
    showRecord();
    if (m_positionPanel) {
        m_positionPanel->setText(
            m_store->adding()
                ? tr("New Record")
                : QStringLiteral("Record %1 of %2").arg(m_store->position()).arg(m_store->count()));
        if (m_reimbursementPanel)
            m_reimbursementPanel->setText(m_record.reimbursed ? QStringLiteral("Reimbursed")
                                                              : QStringLiteral("Not Reimbursed"));
        m_linkPanel->setText(m_record.linked() ? QStringLiteral("Linked")
                                               : QStringLiteral("Not Linked"));
    }
    if (m_toolBar) {
        // A lone new row has nowhere to go until it is saved.
        const bool rows = m_store->count() > 0;
        for (const char *name : {Tool::First, Tool::Previous, Tool::Next, Tool::Last})
            tool(name)->setEnabled(rows);
        tool(Tool::Delete)->setEnabled(m_store->adding() || !m_record.readOnly(isExpense()));
    }
    validate();
}

void frmExpenses::validate()
{
    if (m_loading)
        return;
    const bool readOnly = m_record.readOnly(isExpense());
    const int code = readOnly ? 0
                              : ValidateRecord(m_record, m_kind, m_context.rules, rowStandalone(),
                                               m_context.locale);
    m_errorCode = code;
    bool canSave = code == 0 && !readOnly;
    if (m_mode == ChargeMode::EditOne)
        canSave = canSave && m_store && m_store->pending(m_record);
    if (hasNoRows())
        canSave = false;
    m_saveExit->setEnabled(canSave);
    m_saveAdd->setEnabled(canSave);
}

void frmExpenses::pickContact()
{
    const TraceScope trace(u"frmExpenses: cmdSelectContact_Click");
    std::optional<PickedContact> picked;
    try {
        picked = ContactPickerDialog::OpenItemList(this, m_link, m_context.rules.terms.contact);
        // Closing the picker without a choice keeps the contact there was.
        if (!picked)
            return;
        m_record.contactId = picked->QuorvaleID;
        m_record.contactName = picked->ContactName;
        if (m_mode != ChargeMode::Add)
            m_record.realization = applicableRealization(
                m_link, isExpense() ? RealizationKind::Expense : RealizationKind::FixedCharge,
                m_record.contactId, m_context.realizationInUse);
    } catch (const QvError &) {
        fail();
        return;
    }
    fillActivities(1, m_record.activity1Id);
    fillActivities(2, m_record.activity2Id);
    // Activities the new contact does not offer are not kept for it.
    m_record.activity1Id = m_activity1->currentData().toInt();
    m_record.activity2Id = m_activity2->currentData().toInt();
    showRecord();
    validate();
    m_activity1->setFocus();
}

void frmExpenses::clearContact()
{
    m_record.contactId = 0;
    m_record.contactName.clear();
    fillActivities(1, m_record.activity1Id);
    fillActivities(2, m_record.activity2Id);
    m_record.activity1Id = m_activity1->currentData().toInt();
    m_record.activity2Id = m_activity2->currentData().toInt();
    showRecord();
    validate();
}

void frmExpenses::browseParticipants()
{
    const TraceScope trace(u"frmExpenses: cmdBrowse_Click");
    std::optional<QString> chosen;
    try {
        chosen = frmSelectParticipants::pick(this, m_link);
    } catch (const QvError &) {
        fail();
        return;
    }
    // Cancel leaves the participants as they were.
    if (!chosen)
        return;
    m_record.participants = *chosen;
    showRecord();
    validate();
}

ChargeRecord frmExpenses::freshRow() const
{
    ChargeRecord r = newChargeRecord(QDate::currentDate(), m_context.locale);
    if (!m_standalone && m_context.timeCard) {
        const LinkedTimeCard &card = *m_context.timeCard;
        r.timeCardId = card.timeCardId;
        r.contactId = card.contactId;
        r.activity1Id = card.activity1Id;
        r.activity2Id = card.activity2Id;
        r.jobOrder = card.jobOrder;
        if (m_context.pickLists.contactName && r.contactId != 0)
            r.contactName = m_context.pickLists.contactName(r.contactId);
    }
    if (m_mode != ChargeMode::Add)
        r.realization = applicableRealization(
            m_link, isExpense() ? RealizationKind::Expense : RealizationKind::FixedCharge,
            r.contactId == 0 ? std::nullopt : std::optional<qint32>(r.contactId),
            m_context.realizationInUse);
    return r;
}

bool frmExpenses::save()
{
    const TraceScope trace(u"frmExpenses: ProcessSave");
    validate();
    if (m_errorCode != 0 || m_record.readOnly(isExpense()))
        return false;
    try {
        if (m_mode != ChargeMode::Add) {
            m_store->commit(m_record);
            m_record = m_store->current();
            return true;
        }
        const ChargeRules &rules = m_context.rules;
        ChargeInsert row;
        row.kind = m_kind;
        row.codeId = m_record.codeId;
        row.userId = m_context.scope.userId;
        if (m_standalone || !m_context.timeCard) {
            row.contactId = rules.contactInUse ? m_record.contactId : 0;
            row.activity1Id = rules.activity1InUse ? m_record.activity1Id : 0;
            row.activity2Id = rules.activity2InUse ? m_record.activity2Id : 0;
            row.jobOrder = rules.jobOrderTerm.isEmpty() ? QString() : m_record.jobOrder;
        } else {
            const LinkedTimeCard &card = *m_context.timeCard;
            row.timeCardId = card.timeCardId;
            row.contactId = rules.contactInUse ? card.contactId : 0;
            row.activity1Id = rules.activity1InUse ? card.activity1Id : 0;
            row.activity2Id = rules.activity2InUse ? card.activity2Id : 0;
            row.jobOrder = rules.jobOrderTerm.isEmpty() ? QString() : card.jobOrder;
        }
        row.description = m_record.description;
        row.quantity = wholeQuantity(
            chargeNumber(m_record.quantityText, m_context.locale).value_or(Money::fromWhole(1)));
        if (isExpense()) {
            row.location = m_record.location;
            row.purpose = m_record.purpose;
            row.participants = m_record.participants;
            row.endDate = m_record.endDate;
        }
        row.startDate = m_record.startDate;
        row.rate = chargeNumber(m_record.rateText, m_context.locale).value_or(Money());
        row.amount = chargeNumber(m_record.amountText, m_context.locale).value_or(Money());
        row.realization = applicableRealization(
            m_link, isExpense() ? RealizationKind::Expense : RealizationKind::FixedCharge,
            row.contactId == 0 ? std::nullopt : std::optional<qint32>(row.contactId),
            m_context.realizationInUse);
        row.billStatus = m_record.billStatus;
        ProcessSave(m_link, row);
        return true;
    } catch (const QvError &) {
        fail();
        return false;
    }
}

void frmExpenses::saveAndAdd()
{
    if (!save())
        return;
    if (m_mode == ChargeMode::Add) {
        prepareNext();
    } else {
        m_store->addNew(freshRow());
        showRow();
    }
    m_type->setFocus();
}

void frmExpenses::prepareNext()
{
    ChargeRecord next = freshRow();
    // A linked entry keeps its TimeCard; a standalone one starts without a contact.
    m_record = std::move(next);
    fillActivities(1, m_record.activity1Id);
    fillActivities(2, m_record.activity2Id);
    showRecord();
    validate();
}

void frmExpenses::focusError(int code)
{
    switch (code) {
    case ChargeError::Contact:
        pickContact();
        return;
    case ChargeError::Activity1:
        m_activity1->setFocus();
        return;
    case ChargeError::Activity2:
        m_activity2->setFocus();
        return;
    case ChargeError::JobOrder:
        m_jobOrder->setFocus();
        return;
    case ChargeError::Type:
        m_type->setFocus();
        return;
    case ChargeError::StartDate:
        m_startDate->setFocus();
        return;
    case ChargeError::EndDate:
        m_endDate->setFocus();
        return;
    case ChargeError::Description:
        m_description->setFocus();
        return;
    case ChargeError::Quantity:
        m_quantity->setFocus();
        return;
    case ChargeError::Rate:
        m_rate->setFocus();
        return;
    case ChargeError::Purpose:
        m_purpose->setFocus();
        return;
    case ChargeError::Location:
        m_location->setFocus();
        return;
    case ChargeError::Participants:
        m_participants->setFocus();
        return;
    default:
        return;
    }
}

void frmExpenses::runTool(const QString &name)
{
    if (!m_store)
        return;
    if (name == QLatin1String(Tool::Reimburse)) {
        RecordReimbursement();
        return;
    }
    const TraceScope trace(u"frmExpenses: ActiveBar54_ToolClick");
    const auto fresh = [this] { return freshRow(); };
    try {
        if (name == QLatin1String(Tool::Delete) && m_store->adding()) {
            m_store->deleteCurrent(fresh);
            showRow();
            return;
        }
        validate();
        // A row as it was read has nothing to save, so nothing to object to.
        if (m_errorCode != 0 && m_store->pending(m_record)) {
            const PromptResult answer =
                m_prompts.messageBox(QStringLiteral("Invalid Entry"),
                                     invalidEntryText(m_errorCode, m_kind, m_context.rules),
                                     PromptButtons::OkCancel, PromptIcon::Warning);
            if (answer == PromptResult::Ok) {
                focusError(m_errorCode);
                return;
            }
            m_store->discard();
            if (m_store->count() == 0 && name != QLatin1String(Tool::AddNew)) {
                m_store->addNew(freshRow());
                showRow();
                return;
            }
        } else {
            m_store->commit(m_record);
        }
        if (name == QLatin1String(Tool::First))
            m_store->moveFirst();
        else if (name == QLatin1String(Tool::Previous))
            m_store->movePrevious();
        else if (name == QLatin1String(Tool::Next))
            m_store->moveNext();
        else if (name == QLatin1String(Tool::Last))
            m_store->moveLast();
        else if (name == QLatin1String(Tool::AddNew))
            m_store->addNew(freshRow());
        else if (name == QLatin1String(Tool::Delete)) {
            if (!m_store->deleteCurrent(fresh))
                tell(QStringLiteral("This %1 has been invoiced or reimbursed and cannot be "
                                    "deleted.")
                         .arg(chargeNames(m_kind).lowerNoun));
        } else if (name == QLatin1String(Tool::Filter)) {
            processQuickFilter();
            return;
        }
    } catch (const QvError &) {
        fail();
        return;
    }
    showRow();
    if (name == QLatin1String(Tool::AddNew))
        m_type->setFocus();
}

bool frmExpenses::settleRowFirst()
{
    validate();
    if (!m_store->pending(m_record))
        return true;
    if (m_errorCode == 0) {
        m_store->commit(m_record);
        return true;
    }
    const PromptResult answer = m_prompts.messageBox(
        QStringLiteral("Invalid Entry"), invalidEntryText(m_errorCode, m_kind, m_context.rules),
        PromptButtons::OkCancel, PromptIcon::Warning);
    if (answer == PromptResult::Ok) {
        focusError(m_errorCode);
        return false;
    }
    m_store->discard();
    if (m_store->count() == 0)
        m_store->addNew(freshRow());
    showRow();
    return true;
}

void frmExpenses::RecordReimbursement()
{
    if (!m_store || !isExpense() || m_mode != ChargeMode::ManageAll)
        return;
    const TraceScope trace(u"frmExpenses: RecordReimbursement");
    const QString title = tr("Record Reimbursement");
    try {
        if (!settleRowFirst())
            return;
        const qint32 user = m_context.scope.userId;
        const std::vector<ReimbursableExpense> owed = unreimbursedExpenses(m_link, user);
        if (owed.empty()) {
            m_prompts.messageBox(title, tr("No expense is waiting to be reimbursed."));
            return;
        }
        ReimbursementDialog dialog(owed, QDate::currentDate(), m_context.locale, this);
        {
            const PointerScope arrow(Qt::ArrowCursor);
            if (dialog.exec() != QDialog::Accepted)
                return;
        }
        const QString total = currencyText(totalOf(owed), m_context.locale);
        const QString paid = m_context.locale.toString(dialog.date(), QLocale::ShortFormat);
        if (m_prompts.messageBox(title,
                                 tr("Record that %1 totalling %2 %3 reimbursed on %4? They can "
                                    "no longer be changed afterwards.")
                                     .arg(expenseCount(owed.size()), total,
                                          owed.size() == 1 ? tr("was") : tr("were"), paid),
                                 PromptButtons::YesNo, PromptIcon::Question) != PromptResult::Yes)
            return;
        ReimbursementRequest request;
        request.userId = user;
        for (const ReimbursableExpense &e : owed)
            request.expenseIds.push_back(e.expenseId);
        request.date = dialog.date();
        request.reference = dialog.reference();
        request.recordedBy = user;
        try {
            const RecordedReimbursement done = recordReimbursement(m_link, request);
            m_prompts.messageBox(title,
                                 tr("Reimbursement %1 recorded: %2, %3.")
                                     .arg(done.reimbursementId)
                                     .arg(expenseCount(done.expenseIds.size()),
                                          currencyText(done.amount, m_context.locale)),
                                 PromptButtons::Ok, PromptIcon::Information);
        } catch (const QvError &refused) {
            // Someone else got there first: said plainly, and the rows shown anew.
            if (refused.source() != QLatin1String(ReimbursementRefusal))
                throw;
            tell(refused.description());
        }
        m_store->refresh();
    } catch (const QvError &) {
        fail();
        return;
    }
    showRow();
}

QComboBox *frmExpenses::filterList() const
{
    return m_quickFilter ? m_quickFilter->combo() : nullptr;
}

QLineEdit *frmExpenses::contactQuickFilter() const
{
    return m_quickFilter ? m_quickFilter->contactBox() : nullptr;
}

void frmExpenses::pickFilterContact()
{
    const TraceScope trace(u"frmExpenses: abQFContact_Click");
    std::optional<PickedContact> picked;
    try {
        picked = ContactPickerDialog::OpenItemList(this, m_link, m_context.rules.terms.contact);
    } catch (const QvError &) {
        fail();
        return;
    }
    if (!picked)
        return;
    m_quickFilter->show(picked->QuorvaleID, picked->ContactName);
    processQuickFilter();
}

void frmExpenses::showFilterInForce()
{
    m_quickFilter->show(m_filterInForce.id, m_filterInForce.name);
}

void frmExpenses::processQuickFilter()
{
    if (!m_store)
        return;
    const TraceScope trace(u"frmExpenses: ProcessQuickFilter");
    const qint32 id = m_quickFilter->chosenId();
    try {
        if (id == 0) {
            if (m_store->filtered())
                m_store->clearFilter();
            m_filterInForce = {};
            showFilterInForce();
            showRow();
            return;
        }
        if (m_store->count() == 0) {
            m_prompts.messageBox(QStringLiteral("Cancel Quick Filter Request"),
                                 QStringLiteral("There are currently no records to filter."));
            showFilterInForce();
            return;
        }
        const QuickFilterTable table =
            isExpense() ? QuickFilterTable::Expenses : QuickFilterTable::FixedCharges;
        const SqlFragment fragment = quickFilterFragment(table, m_context.quickFilterType, id);
        // What was typed goes in with the row, as far as it can.
        if (ValidateRecord(m_record, m_kind, m_context.rules, rowStandalone(), m_context.locale) ==
            0) {
            m_store->commit(m_record);
        } else {
            m_store->discard();
        }
        if (m_store->applyFilter(fragment)) {
            m_filterInForce = {id, m_quickFilter->chosenName()};
        } else {
            m_prompts.messageBox(QStringLiteral(" No Matching Records"),
                                 QStringLiteral("No records match the selected filter "
                                                "criteria.   \r\n"));
            // The list is left as it was, and so must the control be.
            showFilterInForce();
        }
    } catch (const QvError &) {
        fail();
        return;
    }
    showRow();
}

void frmExpenses::done(int result)
{
    // `Form_QueryUnload`: the row shown goes in as it is, when it can; what
    // fails here is dropped, as closing must not end the program. After a
    // failure nothing more is written.
    if (!m_failure && m_store && !hasNoRows() && m_store->pending(m_record) &&
        !m_record.readOnly(isExpense())) {
        try {
            if (ValidateRecord(m_record, m_kind, m_context.rules, rowStandalone(),
                               m_context.locale) == 0)
                m_store->commit(m_record);
            else
                m_store->discard();
        } catch (const QvError &) {
        }
    }
    QDialog::done(result);
}

void frmExpenses::tell(const QString &text)
{
    m_prompts.messageBox(windowTitle(), text, PromptButtons::Ok, PromptIcon::Critical);
}

void frmExpenses::fail()
{
    m_failure = std::current_exception();
    reject();
}

void frmExpenses::ItemDialog(db::Connection &cnnLink, const ChargeWindowContext &context,
                             Prompts &prompts, ChargeMode mode, bool standalone, bool isExpense,
                             qint64 itemId, QWidget *parent)
{
    const ChargeKind kind = isExpense ? ChargeKind::Expense : ChargeKind::FixedCharge;
    std::unique_ptr<frmExpenses> window;
    {
        const TraceScope trace(u"frmExpenses: Form_Load");
        const PointerScope busy(Qt::WaitCursor);
        window = std::make_unique<frmExpenses>(cnnLink, context, prompts, mode, standalone, kind,
                                               itemId, parent);
    }
    if (window->hasNoRows()) {
        prompts.messageBox(QStringLiteral("No Current Records"),
                           QStringLiteral("There are no current ") + chargeNames(kind).lowerNoun +
                               QStringLiteral(" records."));
        return;
    }
    // The main window's busy pointer is for its command, not for the person's
    // typing here.
    {
        const PointerScope arrow(Qt::ArrowCursor);
        window->exec();
    }
    if (window->failure())
        std::rethrow_exception(window->failure());
}

} // namespace quorvale
