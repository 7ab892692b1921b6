#include "timecards/TimeCardEditor.h"

#include "platform/core/QvError.h"
#include "support/Prompts.h"

namespace quorvale {

namespace {

const QString TimeCardIdColumn = QStringLiteral("TimeCardID");
const QString JournalColumn = QStringLiteral("JournalEntryID");

bool onRow(const db::Recordset &rs)
{
    return rs.isOpen() && !rs.bof() && !rs.eof();
}

} // namespace

TimeCardEditor::TimeCardEditor(db::Recordset &timeCards, Prompts &prompts, EditorOptions options,
                               EditorHooks hooks)
    : m_rs(timeCards), m_prompts(prompts), m_options(std::move(options)), m_hooks(std::move(hooks))
{
    m_rs.setListener(this);
}

TimeCardEditor::~TimeCardEditor()
{
    m_rs.setListener(nullptr);
}

std::optional<qint64> TimeCardEditor::currentTimeCardId() const
{
    if (m_rs.editMode() == db::EditMode::Add || !onRow(m_rs))
        return std::nullopt;
    const QVariant id = m_rs.value(TimeCardIdColumn);
    if (id.isNull())
        return std::nullopt;
    return id.toLongLong();
}

bool TimeCardEditor::timerRunsHere() const
{
    if (!m_timer)
        return false;
    const auto active = m_timer->activeTimeCardId();
    return active && active == currentTimeCardId();
}

bool TimeCardEditor::DataChangedProperty() const
{
    return m_rs.isOpen() && (m_rs.editMode() != db::EditMode::None || m_fieldsChanged);
}

bool TimeCardEditor::writeField(const QString &name, const QVariant &value)
{
    if (m_locked || !onRow(m_rs))
        return false;
    if (m_rs.editMode() == db::EditMode::None)
        adoTimeCardRS_WillChangeRecord(ChangeReason::Modify);
    m_rs.setValue(name, value);
    return true;
}

TimeCardEntry TimeCardEditor::currentEntry() const
{
    return entryFromRow(TimeCard::fromRecord(m_rs.record()), timerRunsHere());
}

bool TimeCardEditor::ValidateCurrentRecord()
{
    m_focus = {};
    if (!onRow(m_rs))
        return true;
    const TimeCardEntry entry = currentEntry();
    const int code = ValidationError(entry, m_options.validation);
    if (code != ValidationCode::Valid) {
        m_focus = ProcessValidationError(code, entry, m_options.validation, m_prompts);
        return false;
    }
    return !DataChangedProperty() || save();
}

bool TimeCardEditor::save()
{
    try {
        m_rs.update();
        m_fieldsChanged = false;
        return true;
    } catch (const QvError &error) {
        // With the server away the changes stay pending, to be saved when it is
        // back (the TimeCard stays current meanwhile).
        if (isConnectionLost(error) && m_hooks.serverLost && m_hooks.serverLost(error))
            return false;
        // Nothing was written, and the person can make room: the changes stay on
        // screen, pending, and leaving the TimeCard again saves them.
        if (error.number() == ErrorNumber::DiskFull) {
            m_prompts.messageBox(QStringLiteral("Quorvale"),
                                 error.description() +
                                     QStringLiteral("\r\n\r\nYour changes to this TimeCard are "
                                                    "still on screen; they are saved when you "
                                                    "leave it once there is room."),
                                 PromptButtons::Ok, PromptIcon::Warning);
            return false;
        }
        // The changes are lost, so the person must hear of it and see the row as
        // it is stored now, not a silent success.
        if (error.number() == ErrorNumber::RowChanged)
            m_prompts.messageBox(
                QStringLiteral("Quorvale"),
                QStringLiteral("Someone else changed this TimeCard after you began editing it, "
                               "so your changes to it were discarded. The TimeCard now shows what "
                               "they saved; enter your changes again if they are still needed."),
                PromptButtons::Ok, PromptIcon::Warning);
        else
            tell(error);
        try {
            m_rs.move(0);
        } catch (const QvError &) {
            // The row itself is gone; the next move skips it.
        }
        m_fieldsChanged = false;
        return false;
    }
}

void TimeCardEditor::journal(const TimeCard &card)
{
    if (!m_hooks.ProcessJournalEntry)
        return;
    try {
        m_hooks.ProcessJournalEntry(card);
    } catch (const QvError &error) {
        tell(error);
    }
}

void TimeCardEditor::tell(const QvError &error)
{
    if (isConnectionLost(error) && m_hooks.serverLost && m_hooks.serverLost(error))
        return;
    m_prompts.messageBox(QStringLiteral("Quorvale"), error.description(), PromptButtons::Ok,
                         PromptIcon::Warning);
}

void TimeCardEditor::adoTimeCardRS_WillChangeRecord(ChangeReason reason)
{
    if (m_adding || m_deleting)
        return;
    if (m_suppressOnce) {
        m_suppressOnce = false;
        return;
    }
    if (reason != ChangeReason::AddNew && DataChangedProperty() && onRow(m_rs))
        journal(TimeCard::fromRecord(m_rs.record()));
}

bool TimeCardEditor::leaveCurrent()
{
    if (m_adding || m_deleting || !onRow(m_rs))
        return true;
    if (m_locked) {
        // An invoiced TimeCard cannot be mended, so it never holds the person back.
        if (m_rs.editMode() != db::EditMode::None)
            m_rs.cancelUpdate();
        m_fieldsChanged = false;
        return true;
    }
    m_focus = {};
    const TimeCardEntry entry = currentEntry();
    const int code = ValidationError(entry, m_options.validation);
    if (code != ValidationCode::Valid) {
        m_focus = ProcessValidationError(code, entry, m_options.validation, m_prompts);
        return false;
    }
    if (!DataChangedProperty())
        return true;
    adoTimeCardRS_WillChangeRecord(ChangeReason::Move);
    if (save())
        return true;
    // The journal entry was written from values that were not stored: bring it
    // back in step with the row as it is.
    if (onRow(m_rs))
        journal(TimeCard::fromRecord(m_rs.record()));
    return false;
}

bool TimeCardEditor::QueryUnload(const std::function<bool()> &deleteCurrent)
{
    if (m_adding || m_deleting || !onRow(m_rs) || m_locked)
        return leaveCurrent();
    const bool changed = DataChangedProperty();
    bool save = false;
    if (changed) {
        const PromptResult answer = m_prompts.messageBox(
            QStringLiteral("Save Changes"),
            QStringLiteral("Do you want to save your changes to this TimeCard? "),
            PromptButtons::YesNoCancel, PromptIcon::Question);
        if (answer == PromptResult::Cancel)
            return false;
        save = answer == PromptResult::Yes;
        if (!save) {
            // Dropped: what is stored is what the questions below look at.
            if (m_rs.editMode() != db::EditMode::None)
                m_rs.cancelUpdate();
            m_fieldsChanged = false;
        }
    }
    m_focus = {};
    const TimeCardEntry entry = currentEntry();
    const int code = ValidationError(entry, m_options.validation);
    if (code != ValidationCode::Valid) {
        const QString crlf = QStringLiteral("\r\n");
        const PromptResult answer = m_prompts.messageBox(
            QStringLiteral(" Incomplete TimeCard"),
            QStringLiteral("This TimeCard is missing required information.  Do") + crlf +
                QStringLiteral("you want to enter the missing information now?") + crlf + crlf +
                QStringLiteral("Click \"Yes\" to enter the required information.") +
                QStringLiteral("  Click ") + crlf +
                QStringLiteral("\"No\" to delete this TimeCard and exit.") + crlf + crlf,
            PromptButtons::YesNo, PromptIcon::Question);
        if (answer == PromptResult::Yes) {
            m_focus = ProcessValidationError(code, entry, m_options.validation, m_prompts);
            return false;
        }
        if (m_rs.editMode() != db::EditMode::None)
            m_rs.cancelUpdate();
        m_fieldsChanged = false;
        return deleteCurrent && deleteCurrent();
    }
    return !save || leaveCurrent();
}

void TimeCardEditor::adoTimeCardRS_MoveComplete()
{
    if (m_adding || m_deleting || !onRow(m_rs) || m_rs.editMode() == db::EditMode::Add)
        return;
    m_fieldsChanged = false;
    m_locked = !m_rs.value(QStringLiteral("InvoiceID")).isNull();
    const QVariant contact = m_rs.value(QStringLiteral("ContactID"));
    m_contactId = contact.isNull() ? 0 : contact.toInt();
    m_journalEntryId = m_rs.value(JournalColumn).toString();
    // The entry of the TimeCard just created was written a moment ago.
    const bool justWritten = !m_createdEntryId.isEmpty() && m_createdEntryId == m_journalEntryId;
    m_createdEntryId.clear();

    if (!justWritten) {
        try {
            ensureJournalEntry();
        } catch (const QvError &error) {
            tell(error);
        }
    }
    if (m_hooks.showRow)
        m_hooks.showRow();
}

QString TimeCardEditor::ensureJournalEntry()
{
    if (!m_hooks.ensureJournalEntry || m_locked || !onRow(m_rs) ||
        m_rs.editMode() == db::EditMode::Add)
        return m_journalEntryId;
    const QString ensured = m_hooks.ensureJournalEntry(TimeCard::fromRecord(m_rs.record()));
    // A new entry was stored behind the set's back: a later save checks against it.
    if (!ensured.isEmpty() && ensured != m_journalEntryId && m_rs.resyncUnderlyingValues())
        m_journalEntryId = m_rs.value(JournalColumn).toString();
    return m_journalEntryId;
}

void TimeCardEditor::recordStored(db::Recordset &)
{
    if (!m_timer)
        return;
    if (const std::optional<qint64> id = currentTimeCardId())
        m_timer->rowStored(*id);
}

bool TimeCardEditor::ProcessActiveCard()
{
    const std::optional<qint64> active = m_timer ? m_timer->activeTimeCardId() : std::nullopt;
    if (!active)
        return true;
    const std::optional<qint64> back = currentTimeCardId();
    if (back != active) {
        if (!leaveCurrent())
            return false;
        try {
            m_rs.setBookmark(QVariant::fromValue<qlonglong>(*active));
        } catch (const QvError &) {
            // The timed TimeCard is not in the set (a filter or the hidden ones
            // left it out): it cannot be settled from here, so nothing may go on
            // as if it were; the person is told how to bring it back.
            m_prompts.messageBox(
                QStringLiteral("Quorvale"),
                QStringLiteral(
                    "The timer is running on TimeCard %1, which the TimeCards shown "
                    "now leave out (a filter, or it is hidden).\r\n\r\nShow it "
                    "again (Filter or Clear Quick Filter, or Show Hidden TimeCards), then "
                    "stop its timer.")
                    .arg(*active),
                PromptButtons::Ok, PromptIcon::Warning);
            return false;
        }
    }
    m_timer->tick();
    if (m_options.autoSave) {
        m_timer->pause(true);
    } else {
        switch (m_prompts.messageBox(QStringLiteral("Save Changes?"),
                                     QStringLiteral("Do you want to save your time changes to "
                                                    "this ") +
                                         QStringLiteral("TimeCard? "),
                                     PromptButtons::YesNoCancel, PromptIcon::Question)) {
        case PromptResult::Yes:
            m_timer->pause(true);
            break;
        case PromptResult::No:
            m_timer->pause(false);
            break;
        default:
            // The timed TimeCard stays current and running.
            return false;
        }
    }
    if (back && back != active) {
        if (!leaveCurrent())
            return false;
        m_rs.setBookmark(QVariant::fromValue<qlonglong>(*back));
    }
    return true;
}

std::optional<qint64>
TimeCardEditor::CreateNewTimeCard(const std::function<TimeCardDefaults()> &defaults)
{
    if (!leaveCurrent() || !ProcessActiveCard())
        return std::nullopt;
    std::optional<qint64> id;
    {
        const FlagScope adding(m_adding);
        QString entryId;
        if (m_hooks.NewJournalEntry) {
            try {
                entryId = m_hooks.NewJournalEntry();
            } catch (const QvError &error) {
                // Creation goes on without the journal item; it is made when the
                // TimeCard next becomes current.
                tell(error);
            }
        }
        m_rs.addNew();
        try {
            m_rs.setValue(JournalColumn, entryId);
            defaults().apply(m_rs);
            m_rs.update();
        } catch (const QvError &error) {
            m_rs.cancelUpdate();
            if (!entryId.isEmpty() && m_hooks.discardJournalEntry)
                m_hooks.discardJournalEntry(entryId);
            tell(error);
            return std::nullopt;
        }
        id = currentTimeCardId();
        m_createdEntryId = entryId;
    }
    // Settled as every other arriving row is, now that the flag is clear.
    adoTimeCardRS_MoveComplete();
    return id;
}

} // namespace quorvale
