#pragma once

#include "outlook/ItemVariables.h"
#include "outlook/Templates.h"
#include "outlook/TimeCardSnapshot.h"
#include "outlook/UserPropertyWriter.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

namespace quorvale {

class OutlookSession;
class Prompts;

namespace db {
class Connection;
}

// The TimeCard columns whose change its expenses, fixed charges and items follow.
enum class LinkField { ContactID, Activity1ID, Activity2ID };

// The field for a column name; nullopt for any other name, which can then
// never reach the SQL.
std::optional<LinkField> linkFieldNamed(const QString &column);
QString linkFieldColumn(LinkField field);

// How far the items' own texts are rewritten, as the person ticked it.
struct LinkRewrite {
    bool subject = false;
    bool body = false;
};

struct LinkMaintenanceOptions {
    bool contactInUse = false;
    bool expensesInUse = false;
    bool fixedChargesInUse = false;
    UserPropertyTerms terms;
};

// What the update needs from its caller besides the database and the store.
struct LinkMaintenanceHooks {
    // The TimeCard's values as they stand after the change; nullopt when it is gone.
    std::function<std::optional<ItemVariables>(qint64 timeCardId)> card;
    // Templates and terms for the rewritten texts.
    std::function<TemplateContext()> templates;
    std::function<void(const QString &text)> status;
    // Called before the first item with done = 0 and after each item; total
    // counts the journal entry and every link row.
    std::function<void(int done, int total)> progress;
};

// Carries a change of a TimeCard's contact or activities into its expenses,
// fixed charges, journal entry and linked items.
class LinkMaintenance {
public:
    LinkMaintenance(OutlookSession &session, db::Connection &cnnLink, Prompts &prompts,
                    LinkMaintenanceOptions options, LinkMaintenanceHooks hooks);

    // " Modify Outlook Fields?": the ticks, or nullopt when cancelled. What the
    // person ticked is also kept for later updates made without asking.
    std::optional<LinkRewrite> ask();
    void setRewrite(const LinkRewrite &rewrite) { m_rewrite = rewrite; }
    const LinkRewrite &rewrite() const { return m_rewrite; }

    // False when the person cancelled the prompt (the caller puts the old
    // value back) or the store could not be reached; nothing is written then.
    // `noPrompt` updates with the ticks last given. `field` must be a column
    // linkFieldNamed knows; `value` is the new ID (Null clears it).
    bool UpdateLinks(const QString &field, const QVariant &value, qint64 timeCardId, bool noPrompt);

private:
    void updateCharges(LinkField field, const QVariant &value, qint64 timeCardId);
    void updateItems(LinkField field, const QVariant &value, const ItemVariables &linked,
                     qint64 timeCardId);

    OutlookSession &m_session;
    db::Connection &m_cnnLink;
    Prompts &m_prompts;
    LinkMaintenanceOptions m_options;
    LinkMaintenanceHooks m_hooks;
    LinkRewrite m_rewrite;
};

} // namespace quorvale
