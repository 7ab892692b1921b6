#include "frmTimeCard.h"

#include "data/WorkingSet.h"
#include "platform/core/Money.h"
#include "support/Version.h"
#include "timecards/CommandTable.h"
#include "timecards/MainCommands.h"
#include "timecards/Rates.h"
#include "timecards/TimeCardEditor.h"
#include "ui/TimeCardBinder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimeEdit>
#include <QToolBar>

namespace quorvale {

namespace {

const QStringList kEntryTypes = {
    QStringLiteral("Conversation"),
    QStringLiteral("Document"),
    QStringLiteral("E-mail Message"),
    QStringLiteral("Fax"),
    QStringLiteral("Letter"),
    QStringLiteral("Meeting"),
    QStringLiteral("Meeting cancellation"),
    QStringLiteral("Meeting request"),
    QStringLiteral("Meeting response"),
    QStringLiteral("Microsoft Access"),
    QStringLiteral("Microsoft Excel"),
    QStringLiteral("Microsoft PowerPoint"),
    QStringLiteral("Microsoft Visio"),
    QStringLiteral("Microsoft Word"),
    QStringLiteral("Note"),
    QStringLiteral("Phone call"),
    QStringLiteral("Remote session"),
    QStringLiteral("Task"),
    QStringLiteral("Task request"),
    QStringLiteral("Task response"),
};

const QStringList kBillStatuses = {
    QStringLiteral("Billable"),
    QStringLiteral("No Charge"),
    QStringLiteral("Do not bill"),
    QStringLiteral("Hold"),
    QStringLiteral("Subject to fixed charge"),
};

const QString kDurationMask = QStringLiteral("999:99:99");
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

const QString kReview = QStringLiteral("Review");

} // namespace

int twipsToPixels(int twips, int dpi)
{
    return (twips * dpi + 720) / 1440;
}

int pixelsToTwips(int pixels, int dpi)
{
    return dpi > 0 ? (pixels * 1440 + dpi / 2) / dpi : pixels * 15;
}

frmTimeCard::frmTimeCard(WorkingSet &workingSet, MainCommands &commands, const Terms &terms,
                         QWidget *parent)
    : QMainWindow(parent), m_set(workingSet), m_commands(commands), m_terms(terms)
{
    setObjectName(QStringLiteral("frmTimeCard"));
    buildFields();
    buildTools();
    buildBands();
    setWindowTitle(m_set.windowCaption());
    statusBar()->showMessage(kReview);
    showCurrent();
}

void frmTimeCard::buildTools()
{
    const auto add = [this](const ToolInfo &info, const QString &caption) {
        auto *action = new QAction(caption, this);
        action->setObjectName(QString::fromLatin1(info.name));
        action->setData(info.id);
        action->setToolTip(QString::fromLatin1(info.description));
        action->setStatusTip(QString::fromLatin1(info.description));
        action->setCheckable(info.checkable);
        if (*info.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(info.shortcut)));
        connect(action, &QAction::triggered, this,
                [this, id = info.id] { abMainMenu_ToolClick(id); });
        m_tools.insert(info.id, action);
        addAction(action); // shortcuts work whichever band shows the tool
    };
    for (const ToolInfo &info : CommandTable::tools())
        add(info, QString::fromLatin1(info.caption));
    for (const SortOrder &order : SortOrders::all())
        add(*CommandTable::find(order.toolId), order.menuCaption(m_terms));
    syncChecks();
}

void frmTimeCard::buildBands()
{
    QHash<QString, QMenu *> menus;
    QToolBar *navigator = addToolBar(QStringLiteral("Navigator"));
    navigator->setObjectName(QLatin1String(Band::Navigator));
    for (const BandEntry &entry : CommandTable::layout()) {
        const QString band = QLatin1String(entry.band);
        QAction *action = entry.toolId ? m_tools.value(entry.toolId) : nullptr;
        if (band == QLatin1String(Band::Navigator)) {
            navigator->addAction(action);
            continue;
        }
        if (entry.opens) {
            auto *menu = new QMenu(action->text(), this);
            menu->setObjectName(QLatin1String(entry.opens));
            menu->menuAction()->setObjectName(action->objectName());
            menus.insert(QLatin1String(entry.opens), menu);
            if (band == QLatin1String(Band::MainMenu))
                menuBar()->addMenu(menu);
            else
                menus.value(band)->addMenu(menu);
            // The opening tool lives on as the menu's own action.
            m_tools.insert(entry.toolId, menu->menuAction());
            continue;
        }
        QMenu *menu = menus.value(band);
        if (!action)
            menu->addSeparator();
        else
            menu->addAction(action);
    }
    m_position = new QLabel(navigator);
    m_position->setObjectName(QStringLiteral("lblPosition"));
    m_position->setAccessibleName(QStringLiteral("TimeCard position"));
    m_position->setContentsMargins(8, 0, 8, 0);
    navigator->addWidget(m_position);
}

void frmTimeCard::buildFields()
{
    auto *central = new QWidget;
    central->setObjectName(QStringLiteral("TimeCardFields"));
    auto *form = new QFormLayout(central);
    const auto row = [&](const char *name, const char *label, QWidget *editor) {
        editor->setObjectName(QLatin1String(name));
        auto *caption = new QLabel(QString::fromLatin1(label), central);
        caption->setBuddy(editor);
        editor->setAccessibleName(caption->text().remove(QLatin1Char('&')).chopped(1));
        form->addRow(caption, editor);
    };
    const auto masked = [central](const QString &mask) {
        auto *edit = new QLineEdit(central);
        edit->setInputMask(mask);
        return edit;
    };
    const auto combo = [central](const QStringList &items) {
        auto *box = new QComboBox(central);
        box->addItems(items);
        return box;
    };

    m_id = new QLabel(central);
    m_id->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_id->setFocusPolicy(Qt::StrongFocus);
    row("txtTimeCardID", "TimeCard &ID:", m_id);
    m_description = new QPlainTextEdit(central);
    m_description->setTabChangesFocus(true);
    row("txtDescription", "Desc&ription:", m_description);
    row("txtTimeEstimated", "Time Esti&mated:", m_timeEstimated = masked(kDurationMask));
    row("txtTimeSpent", "Time &Spent:", m_timeSpent = masked(kDurationMask));
    row("dtStartDate", "Start &Date:", m_startDate = new QDateEdit(central));
    row("dtStartTime", "Start &Time:", m_startTime = new QTimeEdit(central));
    row("dtEndDate", "&End Date:", m_endDate = new QDateEdit(central));
    row("dtEndTime", "End T&ime:", m_endTime = new QTimeEdit(central));
    for (QDateEdit *date : {m_startDate, m_endDate}) {
        date->setCalendarPopup(true);
        // The lowest date stands for none, shown empty.
        date->setSpecialValueText(QStringLiteral(" "));
        date->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    }
    row("cbEntryType", "E&ntry Type:", m_entryType = combo(kEntryTypes));
    row("cbBillStatus", "&Bill Status:", m_billStatus = combo(kBillStatuses));
    row("cbRateSource", "Rate S&ource:", m_rateSource = combo({}));
    row("cbRateLevel", "Rate &Level:", m_rateLevel = combo(rateLevels()));
    row("txtRate", "R&ate:", m_rate = new QLineEdit(central));
    row("txtFlatFee", "&Flat Fee:", m_flatFee = new QLineEdit(central));
    row("txtValue", "&Value:", m_value = new QLineEdit(central));
    m_value->setReadOnly(true);
    row("txtRealization", "Reali&zation:", m_realization = new QLineEdit(central));
    row("txtCategory", "&Category:", m_category = new QLineEdit(central));
    row("txtJobOrder", "&Job Order:", m_jobOrder = masked(kJobOrderMask));
    m_hidden = new QCheckBox(QStringLiteral(" &Hidden"), central);
    m_hidden->setObjectName(QStringLiteral("chkHidden"));
    form->addRow(m_hidden);
    // Scrolls rather than forcing its height on the window, so that a size the
    // person left smaller than all the fields comes back as it was.
    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(central);
    setCentralWidget(scroll);
    connectFields();
}

void frmTimeCard::connectFields()
{
    const auto column = [this](const char *name, const QVariant &value) {
        if (writable())
            m_binder->write(QLatin1String(name), value);
    };
    connect(m_description, &QPlainTextEdit::textChanged, this,
            [this, column] { column("Description", m_description->toPlainText()); });
    const auto duration = [this](QLineEdit *edit, DurationField field) {
        connect(edit, &QLineEdit::textEdited, this, [this, field](const QString &text) {
            if (writable()) {
                m_binder->durationChanged(field, text);
                showValue();
            }
        });
        connect(edit, &QLineEdit::editingFinished, this, [this, edit, field] {
            if (!writable() || !edit->isModified())
                return;
            edit->setText(m_binder->durationLeft(field, edit->text()));
            edit->setModified(false);
            showValue();
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
    connect(m_jobOrder, &QLineEdit::textEdited, this, [this, column](const QString &text) {
        // The mask's separators alone are an empty job order.
        column("JobOrder",
               QString(text).remove(QLatin1Char('-')).trimmed().isEmpty() ? QString() : text);
    });
    connect(m_hidden, &QCheckBox::toggled, this,
            [column](bool on) { column("Inactive", on ? -1 : 0); });
}

void frmTimeCard::bind(TimeCardBinder *binder, const QString &timeFormat,
                       const QStringList &rateSources)
{
    m_binder = binder;
    if (!timeFormat.isEmpty()) {
        m_startTime->setDisplayFormat(timeFormat);
        m_endTime->setDisplayFormat(timeFormat);
    }
    m_rateSource->clear();
    m_rateSource->addItems(rateSources);
    showCurrent();
}

void frmTimeCard::setLocked(bool locked)
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
                                                       m_rateLevel, m_hidden})
        w->setEnabled(!readOnly);
}

void frmTimeCard::focusField(FocusField field)
{
    QWidget *target = nullptr;
    switch (field) {
    case FocusField::Description:
        target = m_description;
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
        target->setFocus(Qt::OtherFocusReason);
}

void frmTimeCard::showTimerFields()
{
    const db::Recordset &rs = m_set.timeCards();
    if (!rs.isOpen() || rs.bof() || rs.eof())
        return;
    const FlagScope showing(m_showing);
    m_timeSpent->setText(TimeCardBinder::durationShown(rs.value(QStringLiteral("Quantity"))));
    m_timeSpent->setModified(false);
    showValue();
}

void frmTimeCard::showValue()
{
    const db::Recordset &rs = m_set.timeCards();
    if (rs.isOpen() && !rs.bof() && !rs.eof())
        m_value->setText(currencyText(Money::fromStored(rs.value(QStringLiteral("Value")))));
}

QAction *frmTimeCard::tool(const QString &name) const
{
    for (QAction *action : m_tools)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

QAction *frmTimeCard::toolById(int toolId) const
{
    return m_tools.value(toolId);
}

void frmTimeCard::applyToolChanges(const std::vector<ToolChange> &changes)
{
    for (const ToolChange &change : changes) {
        QAction *action = tool(change.toolName);
        if (!action)
            continue;
        action->setVisible(change.visible);
        if (!change.caption.isEmpty())
            action->setText(change.caption);
    }
}

void frmTimeCard::syncChecks()
{
    for (QAction *action : std::as_const(m_tools)) {
        const int id = action->data().toInt();
        if (id >= ToolId::SortFirst && id <= ToolId::SortLast)
            action->setChecked(id == m_commands.sortToolId());
    }
    if (QAction *hidden = m_tools.value(ToolId::ShowHiddenTimeCards))
        hidden->setChecked(m_commands.showHidden());
}

void frmTimeCard::abMainMenu_ToolClick(int toolId)
{
    if (toolId == ToolId::Exit) {
        close();
        return;
    }
    if (toolId == 6006) {
        showAbout();
        return;
    }
    const bool extra = m_extraHandles && m_extraHandles(toolId);
    if (!extra && !MainCommands::handles(toolId))
        return;
    if (m_guard && !m_guard())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        if (extra)
            m_extraRun(toolId);
        else
            m_commands.run(toolId);
    } catch (const std::exception &error) {
        QApplication::restoreOverrideCursor();
        syncChecks();
        if (m_onError)
            m_onError(error);
        showCurrent();
        return;
    }
    QApplication::restoreOverrideCursor();
    syncChecks();
    statusBar()->showMessage(kReview);
    showCurrent();
}

void frmTimeCard::showCurrent()
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
        m_description->setPlainText(v("Description").toString());
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
        m_realization->setText(current ? Realization::fromStored(v("Realization")).toDisplayString()
                                       : QString());
        m_category->setText(v("Category").toString());
        m_jobOrder->setText(v("JobOrder").toString());
        m_hidden->setChecked(v("Inactive").toInt() != 0);
        for (QLineEdit *edit : {m_timeEstimated, m_timeSpent, m_realization})
            edit->setModified(false);
    }
    setLocked(!current || (m_binder && m_binder->editor().locked()));
    m_position->setText(m_commands.positionText());
    const NavigationButtons buttons = m_commands.navigationButtons();
    m_tools.value(ToolId::GoToFirst)->setEnabled(buttons.first);
    m_tools.value(ToolId::GoToPrevious)->setEnabled(buttons.previous);
    m_tools.value(ToolId::GoToNext)->setEnabled(buttons.next);
    m_tools.value(ToolId::GoToLast)->setEnabled(buttons.last);
}

QString frmTimeCard::positionText() const
{
    return m_position->text();
}

void frmTimeCard::showAbout()
{
    QMessageBox::about(
        this, QStringLiteral("About Quorvale"),
        QStringLiteral("Quorvale %1\nTime and billing for professionals.").arg(Version::text()));
    statusBar()->showMessage(kReview);
}

void frmTimeCard::closeEvent(QCloseEvent *event)
{
    if (m_closeGuard && !m_closeGuard()) {
        event->ignore();
        return;
    }
    statusBar()->showMessage(QStringLiteral("Unloading..."));
    if (m_onClose)
        m_onClose(WindowState{m_commands.currentTimeCardId(), size(), m_commands.showHidden()});
    event->accept();
}

} // namespace quorvale

namespace quorvale {

bool frmTimeCard::timeEstimatedHasFocus() const
{
    return m_timeEstimated && m_timeEstimated->hasFocus();
}

} // namespace quorvale
