#include "session/TimeCardSession.h"

#include "outlook/NewJournalEntry.h"
#include "platform/core/QvError.h"
#include "platform/pim/Item.h"
#include "platform/pim/Namespace.h"
#include "session/TimeCardBinder.h"
#include "session/TimeCardMirror.h"
#include "session/TimerBinding.h"
#include "settings/StartUp.h"
#include "settings/TimeCardSettings.h"
#include "support/Prompts.h"
#include "timecards/ActiveRunStore.h"
#include "timecards/Clock.h"
#include "timecards/Rates.h"
#include "timecards/TimeCardDefaults.h"
#include "timecards/TimeCardEditor.h"

#include <type_traits>

namespace quorvale {

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

TimeCardSession::TimeCardSession(StartUp &startUp, Prompts &prompts, const Clock &clock,
                                 PartProbe probe)
    : m_startUp(startUp), m_prompts(prompts), m_clock(clock), m_probe(std::move(probe))
{
    m_mirror = std::make_unique<TimeCardMirror>(startUp, clock);
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
    hooks.journalEntryExists = [this](const QString &entryId) {
        return timed(Part::JournalLookup, [&] {
            OutlookSession &outlook = m_startUp.outlook();
            const std::optional<pim::Folder> &journal = outlook.folder(FolderSlot::Journal);
            return !entryId.isEmpty() && journal &&
                   outlook.nameSpace().itemFromId(entryId, journal->storeId()) != nullptr;
        });
    };
    hooks.restoreJournalEntry = [this](const TimeCard &card) {
        return m_mirror->restoreJournalEntry(card);
    };
    hooks.serverLost = [this](const QvError &error) {
        return m_startUp.store().serverWatch().lost(error.description());
    };
    hooks.NewJournalEntry = [this] {
        return timed(Part::NewJournalEntry, [&] {
            const RegSettings &s = m_startUp.settings();
            const std::optional<JournalEntryFields> entry = NewJournalEntry(
                m_startUp.outlook(),
                NewEntryDefaults{s.journal.entryType, s.journal.category, s.license.userName},
                m_clock.now());
            return entry ? entry->entryId : QString();
        });
    };
    hooks.discardJournalEntry = [this](const QString &entryId) {
        try {
            OutlookSession &outlook = m_startUp.outlook();
            const std::optional<pim::Folder> &journal = outlook.folder(FolderSlot::Journal);
            if (journal)
                if (auto item = outlook.nameSpace().itemFromId(entryId, journal->storeId()))
                    item->Delete();
        } catch (const QvError &error) {
            qWarning("the journal item %s of a TimeCard that was not stored stays: %s",
                     qPrintable(entryId), qPrintable(error.description()));
        }
    };
    m_editor = std::make_unique<TimeCardEditor>(startUp.workingSet().timeCards(), prompts,
                                                editorOptions(startUp), std::move(hooks));

    const AdminOptions &options = startUp.options();
    BinderContext binding;
    binding.billingInUse = options.billingInUse;
    binding.rates.options = rateOptions(options);
    binding.rates.realizationInUse = options.realizationInUse;
    binding.rates.lookup = [&startUp](const QString &source) {
        return startUp.commands().ratesFor(source, startUp.options().terms);
    };
    binding.staffId = startUp.settings().staffId;
    binding.prompts = &prompts;
    m_binder = std::make_unique<TimeCardBinder>(*m_editor, std::move(binding));

    m_runStore = std::make_unique<ActiveRunStore>(startUp.store().cnnLocal());
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
        return m_startUp.store().serverWatch().lost(error.description());
    });
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
    ServerWatch &server = m_startUp.store().serverWatch();
    if (server.inOutage() && !server.retryNow()) {
        m_prompts.messageBox(QStringLiteral("Quorvale"),
                             QStringLiteral("A new TimeCard needs the database server, which "
                                            "cannot be reached yet. Quorvale is trying to "
                                            "reconnect; please try again when it is back."),
                             PromptButtons::Ok, PromptIcon::Information);
        return NewCard::ServerAway;
    }
    const RegSettings &s = m_startUp.settings();
    const AdminOptions &o = m_startUp.options();
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
            [this](int level, qint32 id) {
                return activityListed(m_startUp.commands(), level, id);
            },
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

} // namespace quorvale
