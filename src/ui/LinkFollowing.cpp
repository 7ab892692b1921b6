#include "LinkFollowing.h"

#include "data/DataStore.h"
#include "outlook/OutlookSession.h"
#include "platform/db/Recordset.h"
#include "session/TimeCardMirror.h"
#include "settings/AdminSettings.h"
#include "timecards/ContactChoice.h"
#include "timecards/TimeCardEditor.h"

#include <QApplication>
#include <QMainWindow>
#include <QProgressDialog>
#include <QStatusBar>

namespace quorvale {

LinkFollowing::LinkFollowing(DataStore &store, OutlookSession &outlook, const AdminOptions &options,
                             TimeCardEditor &editor, TimeCardMirror &mirror, Prompts &prompts,
                             QWidget &window)
    : m_store(store), m_editor(editor), m_mirror(mirror), m_window(window),
      m_timeCards(store.cnnLink())
{
    const AdminOptions &o = options;
    LinkMaintenanceOptions linkOptions{o.contactInUse, o.expensesInUse, o.fixedChargesInUse,
                                       UserPropertyTerms{o.terms.activity1, o.activity1InUse,
                                                         o.terms.activity2, o.activity2InUse,
                                                         o.jobOrderTerm}};
    LinkMaintenanceHooks hooks;
    hooks.card = [this](qint64 id) { return card(id); };
    hooks.templates = [this] { return m_mirror.context(); };
    hooks.status = [this](const QString &text) {
        if (auto *main = qobject_cast<QMainWindow *>(&m_window))
            main->statusBar()->showMessage(text);
    };
    hooks.progress = [this](int done, int total) { progress(done, total); };
    m_maintenance = std::make_unique<LinkMaintenance>(outlook, store.cnnLink(), prompts,
                                                      std::move(linkOptions), std::move(hooks));
}

LinkFollowing::~LinkFollowing() = default;

std::optional<ItemVariables> LinkFollowing::card(qint64 timeCardId)
{
    // The current TimeCard's values may not be saved yet: the row's are newer,
    // unless the change was written to the stored rows behind the window.
    if (!m_readStored && m_editor.currentTimeCardId() == timeCardId)
        return m_mirror.variables(TimeCard::fromRecord(m_editor.timeCards().record()));
    const std::optional<TimeCard> stored = m_timeCards.find(timeCardId);
    return stored ? std::optional<ItemVariables>(m_mirror.variables(*stored)) : std::nullopt;
}

void LinkFollowing::mirrorStored(qint64 timeCardId)
{
    if (const std::optional<TimeCard> stored = m_timeCards.find(timeCardId))
        m_mirror.ProcessJournalEntry(*stored);
}

void LinkFollowing::progress(int done, int total)
{
    if (!m_showProgress)
        return;
    if (!m_progress) {
        m_progress = std::make_unique<QProgressDialog>(QStringLiteral("Updating linked items..."),
                                                       QString(), 0, total, &m_window);
        m_progress->setWindowTitle(QStringLiteral("Quorvale"));
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(0);
        m_progress->setAccessibleName(QStringLiteral("Updating linked items"));
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    m_progress->setMaximum(total);
    m_progress->setValue(done);
}

bool LinkFollowing::follow(const QString &column, const QVariant &value, qint64 timeCardId,
                           bool noPrompt)
{
    // The dialog and the busy pointer go when the update ends, also by an error.
    struct Shown {
        LinkFollowing &self;
        ~Shown()
        {
            if (self.m_progress) {
                self.m_progress.reset();
                QApplication::restoreOverrideCursor();
            }
            self.m_showProgress = false;
        }
    } shown{*this};
    m_showProgress = true;
    return m_maintenance->UpdateLinks(column, value, timeCardId, noPrompt);
}

bool LinkFollowing::currentChanged(const QString &column, const QVariant &value)
{
    const std::optional<qint64> id = m_editor.currentTimeCardId();
    if (!id || !hasLinkedItems(m_store.cnnLink(), *id))
        return true;
    return follow(column, value, *id, false);
}

void LinkFollowing::currentChanged(const QString &column, const QVariant &value,
                                   const LinkRewrite &rewrite)
{
    const std::optional<qint64> id = m_editor.currentTimeCardId();
    if (!id)
        return;
    m_maintenance->setRewrite(rewrite);
    follow(column, value, *id, true);
}

bool LinkFollowing::storedChanged(const QString &column, const QVariant &value, qint64 timeCardId)
{
    const FlagScope stored(m_readStored);
    return m_maintenance->UpdateLinks(column, value, timeCardId, true);
}

} // namespace quorvale
