#include "session/TimeCardSession.h"

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "outlook/LinkRelocation.h"
#include "outlook/NewJournalEntry.h"
#include "outlook/OutlookSession.h"
#include "platform/core/Duration.h"
#include "platform/core/QvError.h"
#include "platform/pim/Item.h"
#include "platform/pim/Namespace.h"
#include "session/TimeCardBinder.h"
#include "session/TimeCardMirror.h"
#include "session/TimerBinding.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "settings/RegSettings.h"
#include "settings/TimeCardSettings.h"
#include "support/Prompts.h"
#include "timecards/ActiveRunRecovery.h"
#include "timecards/ActiveRunStore.h"
#include "timecards/Clock.h"
#include "timecards/IdleWatch.h"
#include "timecards/KeptEdits.h"
#include "timecards/Rates.h"
#include "timecards/TimeCalcs.h"
#include "timecards/TimeCardDefaults.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/TimerReminders.h"

#include <QLocale>
#include <QScopedValueRollback>
#include <type_traits>

namespace quorvale {

namespace {

// Deletes linked items in the item store; an item already gone counts as deleted.
// Asks the session for its namespace each time: a reconnect replaces it.
class StoreItemDeleter final : public LinkedItemDeleter {
public:
    explicit StoreItemDeleter(OutlookSession &outlook) : m_outlook(outlook) {}
    bool deleteItem(const QString &entryId, const QString &storeId) override
    {
        try {
            if (auto item = m_outlook.nameSpace().itemFromId(entryId, storeId))
                item->Delete();
            return true;
        } catch (const QvError &) {
            return false;
        }
    }

private:
    OutlookSession &m_outlook;
};

QString storeOf(const OutlookSession &outlook, FolderSlot slot)
{
    const std::optional<pim::Folder> &folder = outlook.folder(slot);
    return folder ? folder->storeId() : QString();
}

} // namespace

template <typename F> auto TimeCardSession::timed(Part part, F &&work)
{
    if (!m_probe)
        return work();
    if constexpr (std::is_void_v<decltype(work())>) {
        m_probe(part, work);
    } else {
        std::optional<decltype(work())> result;
        m_probe(part, [&] { result.emplace(work()); });
        return std::move(*result);
    }
}

QString TimeCardSession::ensureJournalEntry(const TimeCard &card)
{
    const std::optional<QString> found =
        timed(Part::JournalLookup, [&]() -> std::optional<QString> {
            OutlookSession &outlook = m_parts.outlook;
            const std::optional<pim::Folder> &journal = outlook.folder(FolderSlot::Journal);
            if (card.journalEntryId.isEmpty() || !journal)
                return std::nullopt;
            // An entry a sync tool wrote anew under another name is found again
            // and its new EntryID stored; one that several files claim is left
            // as it is rather than written a third time.
            const LinkedItemLookup lookup =
                findLinkedItem(outlook, m_parts.store.cnnLink(), card.journalEntryId,
                               journal->storeId(), pim::ItemType::Journal, card.id);
            if (lookup.item)
                return lookup.item->EntryID();
            if (lookup.state == LinkedItemState::Ambiguous)
                return card.journalEntryId;
            return std::nullopt;
        });
    // Written anew from the row; the journal processing removes the new item
    // again when the row cannot be pointed at it.
    return found ? *found : m_mirror->restoreJournalEntry(card);
}

TimeCardSession::TimeCardSession(const ProgramParts &parts, Prompts &prompts, const Clock &clock,
                                 PartProbe probe)
    : m_parts(parts), m_prompts(prompts), m_clock(clock), m_probe(std::move(probe))
{
    m_mirror = std::make_unique<TimeCardMirror>(parts, clock);
    EditorHooks hooks;
    hooks.ProcessJournalEntry = [this](const TimeCard &card) {
        const QString entryId =
            timed(Part::JournalEntry, [&] { return m_mirror->ProcessJournalEntry(card); });
        // A recreated entry's EntryID went into the stored row; the pending save
        // must check against that row, not the one read before.
        if (entryId != card.journalEntryId)
            m_editor->timeCards().resyncUnderlyingValues();
    };
    hooks.showRow = [this] {
        if (m_timer)
            m_timer->rowShown();
        Q_EMIT rowShown();
    };
    hooks.ensureJournalEntry = [this](const TimeCard &card) { return ensureJournalEntry(card); };
    hooks.serverLost = [this](const QvError &error) {
        return m_parts.store.serverWatch().lost(error.description());
    };
    hooks.NewJournalEntry = [this] {
        return timed(Part::NewJournalEntry, [&] {
            const RegSettings &s = m_parts.settings;
            const std::optional<JournalEntryFields> entry = NewJournalEntry(
                m_parts.outlook,
                NewEntryDefaults{s.journal.entryType, s.journal.category, s.license.userName},
                m_clock.now());
            return entry ? entry->entryId : QString();
        });
    };
    hooks.discardJournalEntry = [this](const QString &entryId) {
        try {
            OutlookSession &outlook = m_parts.outlook;
            const std::optional<pim::Folder> &journal = outlook.folder(FolderSlot::Journal);
            if (journal)
                if (auto item = outlook.nameSpace().itemFromId(entryId, journal->storeId()))
                    item->Delete();
        } catch (const QvError &error) {
            qWarning("the journal item %s of a TimeCard that was not stored stays: %s",
                     qPrintable(entryId), qPrintable(error.description()));
        }
    };
    m_editor = std::make_unique<TimeCardEditor>(parts.workingSet.timeCards(), prompts,
                                                editorOptions(parts.options, parts.settings),
                                                std::move(hooks));

    const AdminOptions &options = parts.options;
    BinderContext binding;
    binding.billingInUse = options.billingInUse;
    binding.rates.options = rateOptions(options);
    binding.rates.realizationInUse = options.realizationInUse;
    binding.rates.lookup = [this](const QString &source) {
        return m_parts.commands.ratesFor(source, m_parts.options.terms);
    };
    binding.staffId = parts.settings.staffId;
    binding.prompts = &prompts;
    m_binder = std::make_unique<TimeCardBinder>(*m_editor, std::move(binding));

    m_runStore = std::make_unique<ActiveRunStore>(parts.store.cnnLocal());
    m_reminders = std::make_unique<TimerReminders>(clock);
    // A minute's lateness matters nothing to a reminder of hours.
    auto *reminderTimer = new QTimer(this);
    reminderTimer->setInterval(60 * 1000);
    connect(reminderTimer, &QTimer::timeout, this, [this] { checkReminders(); });
    reminderTimer->start();
    m_timer = std::make_unique<TimerBinding>(clock, m_runStore.get(), *m_editor, *m_binder);
    m_editor->setTimer(m_timer.get());
    m_timer->setNotes(&m_notes);
    m_timer->setRecordSegment([this](const TimeSegment &segment) {
        timed(Part::TimeDetail, [&] {
            m_mirror->recordSegment(TimeCard::fromRecord(m_editor->timeCards().record()), segment);
        });
        Q_EMIT segmentRecorded();
    });
    m_timer->setServerLost([this](const QvError &error) {
        return m_parts.store.serverWatch().lost(error.description());
    });
    m_keptEdits = std::make_unique<KeptEdits>(parts.store.cnnLocal());
    m_itemDeleter = std::make_unique<StoreItemDeleter>(parts.outlook);
}

TimeCardSession::~TimeCardSession()
{
    m_editor->setTimer(nullptr);
}

void TimeCardSession::start()
{
    m_editor->adoTimeCardRS_MoveComplete();
    m_timer->rowShown();
}

TimeCardSession::NewCard TimeCardSession::CreateNewTimeCard(bool noAutostart)
{
    // Its journal entry would be made before the row that needs the server is refused.
    ServerWatch &server = m_parts.store.serverWatch();
    if (server.inOutage() && !server.retryNow()) {
        m_prompts.messageBox(QStringLiteral("Quorvale"),
                             QStringLiteral("A new TimeCard needs the database server, which "
                                            "cannot be reached yet. Quorvale is trying to "
                                            "reconnect; please try again when it is back."),
                             PromptButtons::Ok, PromptIcon::Information);
        return NewCard::ServerAway;
    }
    const RegSettings &s = m_parts.settings;
    const AdminOptions &o = m_parts.options;
    const NewCardSettings settings{
        s.journal.category,  s.journal.entryType,    s.journal.billingStatus, s.journal.rateSource,
        s.journal.rateLevel, s.journal.mainActivity, s.journal.subActivity};
    const NewCardOptions options{o.contactInUse,   o.activity1InUse,  o.activity2InUse,
                                 o.billingInUse,   o.rateSourceFixed, o.fixedRateSource,
                                 o.fixedRateLevel, o.fixedHourlyRate};
    const auto defaults = [&] {
        RateKeys keys;
        keys.userId = s.userId;
        if (s.staffId != 0)
            keys.staffId = s.staffId;
        return SetFieldDefaultValues(
            settings, options, s.userId, m_clock.now(),
            [this](int level, qint32 id) { return activityListed(m_parts.commands, level, id); },
            [&](const QString &source, const QString &level) {
                return FetchHourlyRate(source, level, keys, m_binder->context().rates.options,
                                       m_binder->context().rates.lookup);
            });
    };
    if (!m_editor->CreateNewTimeCard(defaults))
        return NewCard::Refused;
    if (!noAutostart && s.settings.autostartTimer)
        m_timer->startOrPause();
    return NewCard::Created;
}

void TimeCardSession::settleLeftOvers()
{
    // Before the run: a run that was on when the program closed settles on top of them.
    saveKeptEdits();
    settleLeftOverRun();
}

QVariant TimeCardSession::currentBookmark() const
{
    const std::optional<qint64> id = m_editor->currentTimeCardId();
    return id ? QVariant::fromValue<qlonglong>(*id) : QVariant();
}

bool TimeCardSession::addTimeSpent(qint64 seconds)
{
    if (seconds <= 0 || !m_editor->currentTimeCardId() || m_editor->locked())
        return false;
    // A run on this TimeCard keeps its time so far before more is added.
    if (m_timer->activeTimeCardId() == m_editor->currentTimeCardId())
        m_timer->pause(true);
    // A damaged time spent throws here rather than being written over.
    const qint64 total =
        ConvertTimeToSeconds(m_editor->timeCards().value(QStringLiteral("Quantity")).toString()) +
        seconds;
    if (!m_binder->write(QStringLiteral("Quantity"), ConvertSecondsToTime(total)))
        return false;
    m_binder->recomputeValue();
    return true;
}

bool TimeCardSession::goToActiveCard()
{
    const std::optional<qint64> active = m_timer->activeTimeCardId();
    if (!active || m_editor->currentTimeCardId() == active)
        return true;
    if (!m_editor->leaveCurrent())
        return false;
    try {
        m_editor->timeCards().setBookmark(QVariant::fromValue<qlonglong>(*active));
    } catch (const QvError &) {
        // Hidden TimeCards or a filter can leave the timed one out of the set.
        m_prompts.messageBox(QStringLiteral("Quorvale"),
                             QStringLiteral("The TimeCard with the running timer (%1) is not "
                                            "among the TimeCards shown.")
                                 .arg(*active),
                             PromptButtons::Ok, PromptIcon::Information);
    }
    return true;
}

void TimeCardSession::settleLeftOverRun()
{
    std::optional<ActiveRun> run;
    try {
        run = m_runStore->recover();
    } catch (const QvError &) {
        return; // nothing to offer; the next run replaces the record
    }
    if (!run)
        return;
    // A run the person ended before the crash keeps that end: nothing to ask,
    // only to tell once it is stored.
    std::optional<LeftOverRunChoice> choice = settledChoice(*run);
    QString settled;
    if (choice) {
        settled = (run->timeKept
                       ? QStringLiteral("The timer on TimeCard %1 had been paused, but Quorvale "
                                        "stopped before the TimeCard was saved. The time of "
                                        "that run has now been saved to it.")
                       : QStringLiteral("The timer on TimeCard %1 had been cancelled, but "
                                        "Quorvale stopped before the TimeCard was saved. Its "
                                        "time spent is back as it was before that run."))
                      .arg(run->timeCardId);
    } else {
        const QString lastSeen = QLocale().toString(
            run->lastSeen.isValid() ? run->lastSeen : run->runStart, QLocale::ShortFormat);
        const PromptResult answer = m_prompts.messageBox(
            QStringLiteral("Quorvale"),
            QStringLiteral("Quorvale stopped while the timer ran on TimeCard %1 (started %2, last "
                           "seen running %3).\n\nYes: count the time up to now.\nNo: count the "
                           "time up to when Quorvale stopped.\nCancel: do not count this run.")
                .arg(run->timeCardId)
                .arg(QLocale().toString(run->runStart, QLocale::ShortFormat), lastSeen),
            PromptButtons::YesNoCancel, PromptIcon::Question);
        choice = answer == PromptResult::Yes  ? LeftOverRunChoice::KeepUpToNow
                 : answer == PromptResult::No ? LeftOverRunChoice::KeepUpToLastSeen
                                              : LeftOverRunChoice::Discard;
    }
    const LeftOverRunResolution r = resolveLeftOverRun(*run, *choice, m_clock.now());
    db::Recordset &rs = m_editor->timeCards();
    const QVariant back = currentBookmark();
    if (!m_editor->leaveCurrent())
        return;
    try {
        rs.setBookmark(QVariant::fromValue<qlonglong>(r.timeCardId));
    } catch (const QvError &) {
        m_runStore->clear(); // the TimeCard is gone: the run has nothing to count on
        return;
    }
    m_editor->writeField(QStringLiteral("Quantity"), r.timeSpent);
    if (r.value)
        m_editor->writeField(QStringLiteral("Value"), r.value->toStored());
    if (r.endDate.isValid()) {
        m_editor->writeField(QStringLiteral("EndDate"), r.endDate);
        m_editor->writeField(QStringLiteral("EndTime"), r.endTime);
        m_binder->recomputeValue();
    }
    if (r.segment) {
        m_mirror->recordSegment(TimeCard::fromRecord(rs.record()), *r.segment);
        m_runStore->markSegmentRecorded(); // not made twice should this start end early
    }
    if (!m_editor->leaveCurrent())
        return; // stays current and recorded, to be settled by the person
    m_runStore->clear();
    if (back.isValid() && back != QVariant::fromValue<qlonglong>(r.timeCardId))
        rs.setBookmark(back);
    if (!settled.isEmpty())
        m_prompts.messageBox(QStringLiteral("Quorvale"), settled, PromptButtons::Ok,
                             PromptIcon::Information);
}

void TimeCardSession::keepUnsavedEdits()
{
    db::Recordset &rs = m_editor->timeCards();
    const std::optional<qint64> id = m_editor->currentTimeCardId();
    if (!id || rs.editMode() != db::EditMode::InProgress)
        return;
    std::vector<KeptEdit> edits;
    for (const QString &field : rs.changedFields())
        edits.push_back({field, rs.value(field)});
    try {
        m_keptEdits->keep(*id, edits);
    } catch (const QvError &error) {
        qWarning("changes not kept: %s", error.what());
        m_prompts.messageBox(QStringLiteral("Quorvale"),
                             QStringLiteral("The changes to TimeCard %1 could not be kept on "
                                            "this computer either, so they are lost. The "
                                            "timer's time is kept.")
                                 .arg(*id),
                             PromptButtons::Ok, PromptIcon::Warning);
    }
}

void TimeCardSession::saveKeptEdits()
{
    std::vector<qint64> ids;
    try {
        ids = m_keptEdits->timeCards();
    } catch (const QvError &) {
        return; // nothing readable kept
    }
    if (ids.empty())
        return;
    db::Recordset &rs = m_editor->timeCards();
    const QVariant back = currentBookmark();
    QStringList saved;
    for (const qint64 id : ids) {
        if (!m_editor->leaveCurrent())
            return;
        try {
            rs.setBookmark(QVariant::fromValue<qlonglong>(id));
        } catch (const QvError &) {
            // Gone, invoiced or hidden since: the changes wait until it is shown.
            continue;
        }
        if (m_editor->locked())
            continue;
        for (const KeptEdit &e : m_keptEdits->edits(id))
            if (rs.fieldIndex(e.field) >= 0 &&
                e.field.compare(QLatin1String("TimeCardID"), Qt::CaseInsensitive) != 0)
                m_editor->writeField(e.field, e.value);
        if (!m_editor->leaveCurrent())
            return; // stays current with the changes, for the person to mend
        m_keptEdits->clear(id);
        saved << QString::number(id);
    }
    if (back.isValid()) {
        try {
            rs.setBookmark(back);
        } catch (const QvError &) {
        }
    }
    if (!saved.isEmpty())
        m_prompts.messageBox(QStringLiteral("Quorvale"),
                             QStringLiteral("The changes to TimeCard %1 that could not be saved "
                                            "when Quorvale last closed (the database server "
                                            "was away) have now been saved.")
                                 .arg(saved.join(QStringLiteral(", "))),
                             PromptButtons::Ok, PromptIcon::Information);
}

void TimeCardSession::paste(const InterruptPaste &paste, bool toNewCard)
{
    if (const std::optional<qint64> id = m_editor->currentTimeCardId()) {
        if (toNewCard)
            m_notes.set(*id, paste.note);
        else
            m_notes.add(*id, paste.note);
    }
    m_binder->write(QStringLiteral("Quantity"), paste.timeSpent);
    m_binder->write(QStringLiteral("EndDate"), paste.endDate);
    m_binder->write(QStringLiteral("EndTime"), paste.endTime);
    m_binder->recomputeValue();
}

std::optional<QString> TimeCardSession::currentTimeSpent() const
{
    if (!m_editor->currentTimeCardId())
        return std::nullopt;
    return m_editor->timeCards().value(QStringLiteral("Quantity")).toString();
}

void TimeCardSession::resumeTimer(qint64 timeCardId)
{
    if (m_editor->currentTimeCardId() != timeCardId) {
        if (!m_editor->leaveCurrent())
            return;
        try {
            m_editor->timeCards().setBookmark(QVariant::fromValue<qlonglong>(timeCardId));
        } catch (const QvError &) {
            return; // gone from the set: nothing to resume
        }
    }
    m_timer->startOrPause();
}

bool TimeCardSession::adjustTime(AdjustDirection direction, bool estimate)
{
    const std::optional<qint64> id = m_editor->currentTimeCardId();
    if (!id || m_editor->locked())
        return false;
    const QString column = QLatin1String(estimate ? "TimeEstimated" : "Quantity");
    AdjustTimeSource source;
    source.current = [this, column] { return m_editor->timeCards().value(column); };
    if (m_timer->activeTimeCardId() == id)
        source.pauseTimer = [this] { m_timer->pause(true); };
    const std::optional<QVariant> result =
        TimeAddSubtract(m_prompts, estimate ? AdjustTarget::TimeEstimated : AdjustTarget::TimeSpent,
                        direction, m_parts.settings.appointments.billingInterval, source);
    if (!result || !m_binder->write(column, *result))
        return false;
    if (!estimate)
        m_binder->recomputeValue();
    return true;
}

DeleteContext TimeCardSession::deleteContext(std::function<void(const QString &)> status)
{
    OutlookSession &outlook = m_parts.outlook;
    DeleteContext context;
    context.cnn = &m_parts.store.cnnLink();
    context.stores = LinkFolderStores{
        storeOf(outlook, FolderSlot::TimeCardAppointments),
        storeOf(outlook, FolderSlot::ScheduledAppointments), storeOf(outlook, FolderSlot::Tasks),
        storeOf(outlook, FolderSlot::Notes), storeOf(outlook, FolderSlot::Journal)};
    context.items = m_itemDeleter.get();
    context.status = std::move(status);
    return context;
}

bool TimeCardSession::writeKeptWork()
{
    if (!m_editor->leaveCurrent())
        return false;
    if (const std::optional<qint64> id = m_editor->currentTimeCardId())
        m_timer->recordWaiting(*id);
    return !m_timer->hasWaiting();
}

void TimeCardSession::watchIdle(IdleSource *source)
{
    if (!source) {
        m_idleWatch.reset();
        if (m_idleTimer)
            m_idleTimer->stop();
        return;
    }
    m_idleWatch = std::make_unique<IdleWatch>(m_clock, *source);
    m_idleWatch->setThreshold(qint64{m_parts.settings.settings.idleMinutes} * 60);
    if (!m_idleTimer) {
        m_idleTimer = new QTimer(this);
        m_idleTimer->setSingleShot(true);
        connect(m_idleTimer, &QTimer::timeout, this, [this] { checkIdle(); });
    }
    m_idleTimer->start(m_idleWatch->nextCheckMs());
}

void TimeCardSession::checkIdle()
{
    if (!m_idleWatch || m_settlingIdle)
        return;
    if (const qint64 wanted = qint64{m_parts.settings.settings.idleMinutes} * 60;
        wanted != m_idleWatch->threshold())
        m_idleWatch->setThreshold(wanted);
    std::optional<IdleSpell> spell =
        m_idleWatch->check(m_timer && m_timer->timer().mode() == TimerMode::TimeCard);
    if (m_idleTimer)
        m_idleTimer->start(m_idleWatch->nextCheckMs());
    if (!spell)
        return;
    // A run started without touching the desktop (from another program, a
    // script) must not be asked about the time before it began.
    if (const QDateTime &start = m_timer->timer().runStart();
        start.isValid() && spell->from < start)
        spell->from = start;
    if (spell->seconds() >= m_idleWatch->threshold())
        Q_EMIT idleEnded(*spell);
}

void TimeCardSession::settleIdle(const IdleSpell &spell)
{
    const QScopedValueRollback settling(m_settlingIdle, true);
    QVariantMap values{{QStringLiteral("from"), spell.from},
                       {QStringLiteral("to"), spell.to},
                       {QStringLiteral("seconds"), spell.seconds()}};
    const QString choice = m_prompts.showDialog(QLatin1String(IdleTimeDialogName), values)
                               ? values.value(QStringLiteral("choice")).toString()
                               : QStringLiteral("keep");
    if (choice != QLatin1String("discard") && choice != QLatin1String("move"))
        return;
    // The run's time is written into its own row.
    if (!goToActiveCard() || !m_timer->leaveOut(spell.from, spell.to))
        return;
    if (choice == QLatin1String("move") && CreateNewTimeCard(true) == NewCard::Created) {
        m_binder->write(QStringLiteral("Quantity"),
                        Duration::fromSeconds(spell.seconds()).toStored());
        m_binder->write(QStringLiteral("StartDate"), spell.from.date());
        m_binder->write(QStringLiteral("StartTime"), spell.from.time());
        m_binder->write(QStringLiteral("EndDate"), spell.to.date());
        m_binder->write(QStringLiteral("EndTime"), spell.to.time());
        Q_EMIT rowShown();
    }
}

namespace {

ReminderSettings reminderSettings(const GeneralSettings &s)
{
    return ReminderSettings{s.longRunMinutes, s.workingDayStart, s.workingDayEnd};
}

} // namespace

void TimeCardSession::checkReminders()
{
    m_reminders->setSettings(reminderSettings(m_parts.settings.settings));
    const Timer &timer = m_timer->timer();
    if (const std::optional<QString> text =
            m_reminders->check(timer.activeTimeCardId(), timer.runSeconds()))
        Q_EMIT reminder(*text);
}

void TimeCardSession::startUpReminder()
{
    m_reminders->setSettings(reminderSettings(m_parts.settings.settings));
    if (const std::optional<QString> text =
            m_reminders->atStartUp(m_timer->timer().mode() != TimerMode::Idle))
        Q_EMIT reminder(*text);
}

} // namespace quorvale
