#include "TimeCardFields.h"

#include "data/WorkingSet.h"
#include "platform/core/Money.h"
#include "session/TimeCardBinder.h"
#include "timecards/RateChoices.h"
#include "timecards/Rates.h"
#include "timecards/TimeCardChoices.h"
#include "timecards/TimeCardEditor.h"
#include "ui/BillStatusBox.h"
#include "ui/frmSelectCategories.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimeEdit>

namespace quorvale {

namespace {

const QString kJobOrderMask = QStringLiteral("999-99-9999;_");

// A stored text that is not in a list still shows (and stays) as it is.
void showChoice(QComboBox *combo, const QString &text)
{
    int index = combo->findText(text);
    if (index < 0 && !text.isEmpty()) {
        combo->addItem(text);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

std::optional<qint32> idOf(const QVariant &v)
{
    if (v.isNull() || v.toInt() == 0)
        return std::nullopt;
    return v.toInt();
}

// One labelled row of a page: the label is the field's buddy and gives it its
// accessible name, so the access key and a screen reader both find it.
void addRow(QFormLayout *form, const char *name, const QString &label, QWidget *editor)
{
    editor->setObjectName(QLatin1String(name));
    auto *caption = new QLabel(label, form->parentWidget());
    caption->setBuddy(editor);
    QString spoken = label;
    spoken.remove(QLatin1Char('&'));
    if (spoken.endsWith(QLatin1Char(':')))
        spoken.chop(1);
    editor->setAccessibleName(spoken);
    form->addRow(caption, editor);
}

QLineEdit *maskedEdit(QWidget *parent, const QString &mask)
{
    auto *edit = new QLineEdit(parent);
    edit->setInputMask(mask);
    return edit;
}

// No edit mask: a fixed "999:99:99" put a typed "1:30:00" into the hundreds of
// hours. The text is read as a whole when the field is left.
QLineEdit *durationEdit(QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setPlaceholderText(QStringLiteral("hhh:mm:ss"));
    edit->setToolTip(QStringLiteral("A time such as 1:30:00, 1:30, 1.5 (hours) or 1h30m"));
    return edit;
}

QComboBox *comboOf(QWidget *parent, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->addItems(items);
    return box;
}

} // namespace

TimeCardFields::TimeCardFields(WorkingSet &workingSet, const Terms &terms, QWidget *parent)
    : QTabWidget(parent), m_set(workingSet), m_terms(terms)
{
    setObjectName(QStringLiteral("TimeCardFields"));
    buildWorkPage();
    buildDetailsPage();
    buildDatesPage();
    buildBillingPage();
    connectFields();
}

QWidget *TimeCardFields::addPage(const QString &title, const char *name)
{
    auto *page = new QWidget;
    page->setObjectName(QLatin1String(name));
    // Scrolls rather than forcing its height on the window, so that a size the
    // person left smaller than all the fields comes back as it was.
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(page);
    addTab(scroll, title);
    return page;
}

void TimeCardFields::buildWorkPage()
{
    QWidget *page = addPage(QStringLiteral("&TimeCard"), "pageWork");
    auto *form = new QFormLayout(page);
    m_workForm = form;
    m_id = new QLabel(page);
    m_id->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_id->setFocusPolicy(Qt::StrongFocus);
    addRow(form, "txtTimeCardID", QStringLiteral("TimeCard ID:"), m_id);
    m_contact = new QLineEdit(page);
    m_contact->setReadOnly(true);
    addRow(form, "txtContact", m_terms.contact + QStringLiteral(":"), m_contact);
    m_activity1 = new QComboBox(page);
    addRow(form, "cbActivity1", QStringLiteral("&1 ") + m_terms.activity1 + QStringLiteral(":"),
           m_activity1);
    m_activity2 = new QComboBox(page);
    addRow(form, "cbActivity2", QStringLiteral("&2 ") + m_terms.activity2 + QStringLiteral(":"),
           m_activity2);
    m_description = new QPlainTextEdit(page);
    m_description->setTabChangesFocus(true);
    addRow(form, "txtDescription", QStringLiteral("Desc&ription:"), m_description);
    addRow(form, "txtTimeEstimated", QStringLiteral("Time E&stimated:"),
           m_timeEstimated = durationEdit(page));
    addRow(form, "txtTimeSpent", QStringLiteral("Time S&pent:"), m_timeSpent = durationEdit(page));
    m_timeSegment = new QPlainTextEdit(page);
    m_timeSegment->setTabChangesFocus(true);
    m_timeSegment->setPlaceholderText(QStringLiteral("A note on this run, for its time detail"));
    m_timeSegment->setMaximumHeight(m_timeSegment->fontMetrics().lineSpacing() * 4);
    m_timeSegment->setEnabled(false);
    addRow(form, "txtTimeSegment", QStringLiteral("Time Se&gment:"), m_timeSegment);
    m_activeTask = new QComboBox(page);
    addRow(form, "cbActiveTask", QStringLiteral("Act&ive Task:"), m_activeTask);
    for (QLineEdit *edit : {m_timeEstimated, m_timeSpent})
        edit->installEventFilter(this);
}

void TimeCardFields::buildDetailsPage()
{
    QWidget *page = addPage(QStringLiteral("Detai&ls"), "pageDetails");
    auto *form = new QFormLayout(page);
    addRow(form, "cbEntryType", QStringLiteral("Entr&y Type:"),
           m_entryType = comboOf(page, entryTypes()));
    auto *category = new QWidget(page);
    auto *categoryLine = new QHBoxLayout(category);
    categoryLine->setContentsMargins(0, 0, 0, 0);
    m_category = new QLineEdit(category);
    m_chooseCategories = new QPushButton(QStringLiteral("Choo&se..."), category);
    m_chooseCategories->setObjectName(QStringLiteral("cmdCategories"));
    m_chooseCategories->setAccessibleName(QStringLiteral("Choose categories"));
    categoryLine->addWidget(m_category, 1);
    categoryLine->addWidget(m_chooseCategories);
    m_category->setObjectName(QStringLiteral("txtCategory"));
    m_category->setAccessibleName(QStringLiteral("Category"));
    auto *categoryLabel = new QLabel(QStringLiteral("Cate&gory:"), page);
    categoryLabel->setBuddy(m_category);
    form->addRow(categoryLabel, category);
    connect(m_chooseCategories, &QPushButton::clicked, this, &TimeCardFields::chooseCategories);
    addRow(form, "txtJobOrder", QStringLiteral("&Job Order:"),
           m_jobOrder = maskedEdit(page, kJobOrderMask));
    m_hidden = new QCheckBox(QStringLiteral(" &Hidden"), page);
    m_hidden->setObjectName(QStringLiteral("chkHidden"));
    form->addRow(m_hidden);
}

void TimeCardFields::buildDatesPage()
{
    QWidget *page = addPage(QStringLiteral("&Dates && Times"), "pageDates");
    auto *form = new QFormLayout(page);
    addRow(form, "dtStartDate", QStringLiteral("&Start Date:"), m_startDate = new QDateEdit(page));
    addRow(form, "dtStartTime", QStringLiteral("Start T&ime:"), m_startTime = new QTimeEdit(page));
    addRow(form, "dtEndDate", QStringLiteral("E&nd Date:"), m_endDate = new QDateEdit(page));
    addRow(form, "dtEndTime", QStringLiteral("End Ti&me:"), m_endTime = new QTimeEdit(page));
    for (QDateEdit *date : {m_startDate, m_endDate}) {
        date->setCalendarPopup(true);
        // The lowest date stands for none, shown empty.
        date->setSpecialValueText(QStringLiteral(" "));
        date->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    }
    for (QTimeEdit *time : {m_startTime, m_endTime})
        time->installEventFilter(this);
}

void TimeCardFields::buildBillingPage()
{
    QWidget *page = addPage(QStringLiteral("&Billing"), "pageBilling");
    auto *form = new QFormLayout(page);
    m_billStatus = comboOf(page, {});
    fillBillStatuses(m_billStatus, billingStatuses());
    addRow(form, "cbBillStatus", QStringLiteral("Bill &Status:"), m_billStatus);
    addRow(form, "cbRateSource", QStringLiteral("Rate S&ource:"), m_rateSource = comboOf(page, {}));
    addRow(form, "cbRateLevel", QStringLiteral("&Rate Level:"),
           m_rateLevel = comboOf(page, rateLevels()));
    addRow(form, "txtRate", QStringLiteral("Hourl&y Rate:"), m_rate = new QLineEdit(page));
    addRow(form, "txtFlatFee", QStringLiteral("Fl&at Fee:"), m_flatFee = new QLineEdit(page));
    addRow(form, "txtValue", QStringLiteral("Val&ue:"), m_value = new QLineEdit(page));
    m_value->setReadOnly(true);
    addRow(form, "txtBilled", QStringLiteral("Billed:"), m_billed = new QLineEdit(page));
    m_billed->setReadOnly(true);
    form->setRowVisible(m_billed, false);
    addRow(form, "txtRealization", QStringLiteral("Reali&zation:"),
           m_realization = new QLineEdit(page));
}

void TimeCardFields::connectFields()
{
    const auto column = [this](const char *name, const QVariant &value) {
        if (writable() && m_binder->write(QLatin1String(name), value))
            Q_EMIT edited();
    };
    connect(m_description, &QPlainTextEdit::textChanged, this,
            [this, column] { column("Description", m_description->toPlainText()); });
    const auto activity = [this](QComboBox *box, int level) {
        connect(box, &QComboBox::activated, this, [this, box, level](int index) {
            if (!writable())
                return;
            if (!m_binder->activityChosen(level, index > 0 ? box->itemData(index).toInt() : 0)) {
                // Cancelled or locked: the list shows what the TimeCard still holds.
                showCurrent();
                return;
            }
            showValue();
            Q_EMIT edited();
        });
    };
    activity(m_activity1, 1);
    activity(m_activity2, 2);
    const auto duration = [this](QLineEdit *edit, DurationField field) {
        // Checked once the focus has moved: a refusal opens a message box, and a
        // modal window inside a focus change (an Alt key opening a menu, a click
        // elsewhere) would run the person's next keys inside a half-done switch.
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, field] {
            QMetaObject::invokeMethod(
                this,
                [this, edit, field] {
                    if (!durationLeft(edit, field))
                        edit->setFocus(Qt::OtherFocusReason);
                },
                Qt::QueuedConnection);
        });
    };
    duration(m_timeEstimated, DurationField::TimeEstimated);
    duration(m_timeSpent, DurationField::TimeSpent);
    connect(m_startDate, &QDateEdit::dateChanged, this,
            [column](QDate d) { column("StartDate", d); });
    connect(m_endDate, &QDateEdit::dateChanged, this, [column](QDate d) { column("EndDate", d); });
    connect(m_startTime, &QTimeEdit::timeChanged, this,
            [column](QTime t) { column("StartTime", t); });
    connect(m_endTime, &QTimeEdit::timeChanged, this, [column](QTime t) { column("EndTime", t); });
    connect(m_entryType, &QComboBox::currentTextChanged, this,
            [column](const QString &text) { column("EntryType", text); });
    connect(m_billStatus, &QComboBox::currentTextChanged, this,
            [column](const QString &text) { column("BillStatus", text); });
    connect(m_rateSource, &QComboBox::activated, this, [this] {
        if (writable()) {
            m_binder->rateSourceChosen(m_rateSource->currentText());
            showCurrent();
        }
    });
    connect(m_rateLevel, &QComboBox::activated, this, [this](int index) {
        if (writable()) {
            m_binder->rateLevelChosen(index);
            showCurrent();
        }
    });
    connect(m_rate, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (writable()) {
            m_binder->rateTyped(text);
            showValue();
        }
    });
    connect(m_flatFee, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (writable()) {
            m_binder->flatFeeTyped(text);
            showValue();
        }
    });
    connect(m_realization, &QLineEdit::editingFinished, this, [this] {
        if (writable() && m_realization->isModified()) {
            m_realization->setText(m_binder->realizationLeft(m_realization->text()));
            m_realization->setModified(false);
            showValue();
        }
    });
    connect(m_category, &QLineEdit::textEdited, this,
            [column](const QString &text) { column("Category", text); });
    connect(m_jobOrder, &QLineEdit::textEdited, this, [column](const QString &text) {
        // The mask's separators alone are an empty job order.
        column("JobOrder",
               QString(text).remove(QLatin1Char('-')).trimmed().isEmpty() ? QString() : text);
    });
    connect(m_hidden, &QCheckBox::toggled, this,
            [column](bool on) { column("Inactive", on ? -1 : 0); });
}

bool TimeCardFields::durationLeft(QLineEdit *edit, DurationField field)
{
    // The message box a refusal opens takes the focus and so finishes the
    // editing a second time.
    if (!writable() || !edit->isModified() || m_leavingDuration)
        return true;
    DurationFieldResult r;
    {
        const FlagScope leaving(m_leavingDuration);
        r = m_binder->durationLeft(field, edit->text());
    }
    if (r.refused)
        return false; // told why; the text stays to be mended
    const FlagScope showing(m_showing);
    edit->setText(r.text);
    edit->setModified(false);
    if (r.store) {
        showValue();
        showEnd();
        Q_EMIT edited();
    }
    return true;
}

bool TimeCardFields::commitTypedTimes()
{
    for (const auto &[edit, field] : {std::pair{m_timeEstimated, DurationField::TimeEstimated},
                                      std::pair{m_timeSpent, DurationField::TimeSpent}}) {
        if (!durationLeft(edit, field)) {
            focusWidget(edit);
            return false;
        }
    }
    return true;
}

void TimeCardFields::showEnd()
{
    const db::Recordset &rs = m_set.timeCards();
    const QDate date = rs.value(QStringLiteral("EndDate")).toDate();
    const QTime time = rs.value(QStringLiteral("EndTime")).toTime();
    m_endDate->setDate(date.isValid() ? date : m_endDate->minimumDate());
    m_endTime->setTime(time.isValid() ? time : QTime(0, 0));
}

bool TimeCardFields::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ContextMenu || m_timePopUp.isEmpty())
        return QTabWidget::eventFilter(watched, event);
    auto *menuEvent = static_cast<QContextMenuEvent *>(event);
    // The edit commands stay; the time tools follow them.
    std::unique_ptr<QMenu> menu;
    if (auto *edit = qobject_cast<QLineEdit *>(watched))
        menu.reset(edit->createStandardContextMenu());
    else
        menu = std::make_unique<QMenu>();
    if (auto *widget = qobject_cast<QWidget *>(watched))
        widget->setFocus(Qt::PopupFocusReason);
    if (!menu->isEmpty())
        menu->addSeparator();
    menu->addActions(m_timePopUp);
    menu->exec(menuEvent->globalPos());
    return true;
}

void TimeCardFields::bind(TimeCardBinder *binder, const QString &timeFormat,
                          const QStringList &rateSources)
{
    m_binder = binder;
    if (!timeFormat.isEmpty())
        setTimeFormat(timeFormat);
    m_rateSource->clear();
    m_rateSource->addItems(rateSources);
    showCurrent();
}

void TimeCardFields::setPickLists(PickListSource source)
{
    m_pick = std::move(source);
    m_contact->setEnabled(m_pick.contactInUse);
    m_activity1->setEnabled(m_pick.activity1InUse);
    m_activity2->setEnabled(m_pick.activity2InUse);
    showCurrent();
}

void TimeCardFields::setTimeFormat(const QString &timeFormat)
{
    const FlagScope showing(m_showing);
    for (QTimeEdit *time : {m_startTime, m_endTime})
        time->setDisplayFormat(timeFormat);
}

void TimeCardFields::fillActivities(std::optional<qint32> contactId)
{
    const db::Recordset &rs = m_set.timeCards();
    const bool current = rs.isOpen() && !rs.bof() && !rs.eof();
    const auto fill = [&](QComboBox *box, int level, bool inUse) {
        box->clear();
        if (!inUse || !m_pick.activities)
            return;
        std::vector<PickEntry> entries = m_pick.activities(level, contactId);
        const std::optional<qint32> id =
            current ? idOf(rs.value(level == 1 ? QStringLiteral("Activity1ID")
                                               : QStringLiteral("Activity2ID")))
                    : std::nullopt;
        const QString storedName =
            id && m_pick.activityName ? m_pick.activityName(level, *id) : QString();
        const int index = selectActivity(entries, id, storedName);
        for (const PickEntry &entry : entries)
            box->addItem(entry.text, entry.id);
        box->setCurrentIndex(index < 0 ? 0 : index);
    };
    fill(m_activity1, 1, m_pick.activity1InUse);
    fill(m_activity2, 2, m_pick.activity2InUse);
}

void TimeCardFields::chooseCategories()
{
    if (!writable() || !m_pick.categories)
        return;
    const std::optional<QString> chosen =
        frmSelectCategories::pick(this, m_pick.categories(), m_category->text());
    if (chosen && m_binder->write(QStringLiteral("Category"), *chosen)) {
        const FlagScope showing(m_showing);
        m_category->setText(*chosen);
        Q_EMIT edited();
    }
}

void TimeCardFields::fillActiveTasks()
{
    const std::optional<qint64> id = [this]() -> std::optional<qint64> {
        const db::Recordset &rs = m_set.timeCards();
        if (!rs.isOpen() || rs.bof() || rs.eof())
            return std::nullopt;
        return rs.value(QStringLiteral("TimeCardID")).toLongLong();
    }();
    // Every command shows the TimeCard anew: the task chosen for it stays
    // chosen while it is still listed, or the run would never reach it.
    const QVariant chosen = id && id == m_activeTaskOf ? m_activeTask->currentData() : QVariant();
    m_activeTaskOf = id;
    m_activeTask->clear();
    std::vector<PickEntry> tasks = id && m_pick.activeTasks
                                       ? m_pick.activeTasks(*id)
                                       : std::vector<PickEntry>{{0, QStringLiteral("(None)")}};
    for (const PickEntry &task : tasks)
        m_activeTask->addItem(task.text, task.id);
    const int kept = chosen.isValid() ? m_activeTask->findData(chosen) : -1;
    m_activeTask->setCurrentIndex(kept > 0 ? kept : 0);
}

qint32 TimeCardFields::activeTaskId() const
{
    return m_activeTask->currentIndex() < 0 ? 0 : m_activeTask->currentData().toInt();
}

void TimeCardFields::setTimeSegmentShown(bool shown)
{
    m_workForm->setRowVisible(m_timeSegment, shown);
}

void TimeCardFields::setActiveTaskListShown(bool shown)
{
    m_workForm->setRowVisible(m_activeTask, shown);
}

void TimeCardFields::setLocked(bool locked)
{
    const bool readOnly = locked || !m_binder;
    m_description->setReadOnly(readOnly);
    for (QLineEdit *edit :
         {m_timeEstimated, m_timeSpent, m_rate, m_flatFee, m_realization, m_category, m_jobOrder})
        edit->setReadOnly(readOnly);
    for (QAbstractSpinBox *box :
         std::initializer_list<QAbstractSpinBox *>{m_startDate, m_startTime, m_endDate, m_endTime})
        box->setReadOnly(readOnly);
    for (QWidget *w : std::initializer_list<QWidget *>{m_entryType, m_billStatus, m_rateSource,
                                                       m_rateLevel, m_hidden, m_chooseCategories})
        w->setEnabled(!readOnly);
    m_activity1->setEnabled(!readOnly && m_pick.activity1InUse);
    m_activity2->setEnabled(!readOnly && m_pick.activity2InUse);
}

void TimeCardFields::focusField(FocusField field)
{
    QWidget *target = nullptr;
    switch (field) {
    case FocusField::Description:
        target = m_description;
        break;
    case FocusField::Activity1:
        target = m_activity1;
        break;
    case FocusField::Activity2:
        target = m_activity2;
        break;
    case FocusField::StartDate:
        target = m_startDate;
        break;
    case FocusField::StartTime:
        target = m_startTime;
        break;
    case FocusField::TimeSpent:
        target = m_timeSpent;
        break;
    case FocusField::FlatFee:
        target = m_flatFee;
        break;
    case FocusField::HourlyRate:
        target = m_rate;
        break;
    case FocusField::JobOrder:
        target = m_jobOrder;
        break;
    default:
        break;
    }
    if (target)
        focusWidget(target);
}

void TimeCardFields::focusWidget(QWidget *target)
{
    // A field on a page behind another cannot take the focus.
    for (int page = 0; page < count(); ++page)
        if (widget(page)->isAncestorOf(target))
            setCurrentIndex(page);
    target->setFocus(Qt::OtherFocusReason);
}

bool TimeCardFields::timeEstimatedHasFocus() const
{
    return m_timeEstimated->hasFocus();
}

void TimeCardFields::showTimerFields()
{
    const db::Recordset &rs = m_set.timeCards();
    if (!rs.isOpen() || rs.bof() || rs.eof())
        return;
    const FlagScope showing(m_showing);
    // What the person is typing stays until the field is left.
    if (!m_timeSpent->isModified())
        m_timeSpent->setText(TimeCardBinder::durationShown(rs.value(QStringLiteral("Quantity"))));
    showValue();
}

void TimeCardFields::showValue()
{
    const db::Recordset &rs = m_set.timeCards();
    if (rs.isOpen() && !rs.bof() && !rs.eof())
        m_value->setText(currencyText(Money::fromStored(rs.value(QStringLiteral("Value")))));
    showBilled();
}

void TimeCardFields::showBilled()
{
    const db::Recordset &rs = m_set.timeCards();
    const bool current = rs.isOpen() && !rs.bof() && !rs.eof();
    auto *form = qobject_cast<QFormLayout *>(m_billed->parentWidget()->layout());
    if (!current || !m_rounding.active()) {
        if (form)
            form->setRowVisible(m_billed, false);
        return;
    }
    // The TimeCard keeps the time recorded; the client is billed in steps.
    const Duration recorded = Duration::fromColumnOrZero(rs.value(QStringLiteral("Quantity")));
    const Money value =
        billedValue(Money::fromStored(rs.value(QStringLiteral("Value"))), recorded, m_rounding,
                    rs.value(QStringLiteral("RateSource")).toString() == FlatFeeSource);
    m_billed->setText(QStringLiteral("%1 for %2 (%3)")
                          .arg(currencyText(value), billedTime(recorded, m_rounding).toShown(),
                               m_rounding.text()));
    if (form)
        form->setRowVisible(m_billed, true);
}

void TimeCardFields::showCurrent()
{
    db::Recordset &rs = m_set.timeCards();
    const bool current = rs.isOpen() && !rs.bof() && !rs.eof();
    const auto v = [&rs, current](const char *column) {
        return current ? rs.value(QLatin1String(column)) : QVariant();
    };
    const auto money = [&v](const char *column) {
        return v(column).isNull() ? QString() : Money::fromStored(v(column)).toDisplayString();
    };
    {
        const FlagScope showing(m_showing);
        m_id->setText(v("TimeCardID").toString());
        const std::optional<qint32> contactId = idOf(v("ContactID"));
        m_contact->setText(m_pick.contactInUse && m_pick.contactName ? m_pick.contactName(contactId)
                                                                     : QString());
        fillActivities(contactId);
        fillActiveTasks();
        // Looked up here, not at each tick of the timer.
        m_rounding = m_pick.contactRounding && contactId ? m_pick.contactRounding(contactId)
                                                         : BillingRounding{};
        // Set again only when it changed: every command shows the TimeCard anew,
        // and a reset would send the caret (where Ctrl+U inserts) to the start.
        if (const QString description = v("Description").toString();
            m_description->toPlainText() != description)
            m_description->setPlainText(description);
        m_timeEstimated->setText(TimeCardBinder::durationShown(v("TimeEstimated")));
        m_timeSpent->setText(TimeCardBinder::durationShown(v("Quantity")));
        // A Null date or time must not leave the previous TimeCard's showing.
        const auto showDate = [&v](QDateEdit *edit, const char *column) {
            const QDate d = v(column).toDate();
            edit->setDate(d.isValid() ? d : edit->minimumDate());
        };
        const auto showTime = [&v](QTimeEdit *edit, const char *column) {
            const QTime t = v(column).toTime();
            edit->setTime(t.isValid() ? t : QTime(0, 0));
        };
        showDate(m_startDate, "StartDate");
        showTime(m_startTime, "StartTime");
        showDate(m_endDate, "EndDate");
        showTime(m_endTime, "EndTime");
        showChoice(m_entryType, v("EntryType").toString());
        showChoice(m_billStatus, v("BillStatus").toString());
        showChoice(m_rateSource, v("RateSource").toString());
        showChoice(m_rateLevel, v("RateLevel").toString());
        m_rate->setText(money("Rate"));
        m_flatFee->setText(money("FlatRate"));
        m_value->setText(current ? currencyText(Money::fromStored(v("Value"))) : QString());
        showBilled();
        m_realization->setText(current ? Realization::fromStored(v("Realization")).toDisplayString()
                                       : QString());
        m_category->setText(v("Category").toString());
        m_jobOrder->setText(v("JobOrder").toString());
        m_hidden->setChecked(v("Inactive").toInt() != 0);
        for (QLineEdit *edit : {m_timeEstimated, m_timeSpent, m_realization})
            edit->setModified(false);
    }
    setLocked(!current || (m_binder && m_binder->editor().locked()));
    Q_EMIT currentShown();
}

} // namespace quorvale
