#include "outlook/UserPropertyWriter.h"

#include "outlook/OutlookSession.h"
#include "platform/core/QvError.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/IcalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"

#include <QLoggingCategory>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcItems, "quorvale.outlook.items")

using pim::UserPropertyType;

void setText(pim::Item &item, const QString &name, const QString &value)
{
    if (!name.isEmpty())
        item.userProperties().setValue(name, UserPropertyType::Text, value);
}

// Before version 8 items had no Links; "" (not yet checked) counts as current.
bool hasLinks(const QString &versionCode)
{
    return versionCode.isEmpty() || versionCode.toInt() >= 8;
}

QString linkName(const pim::ContactItem &contact)
{
    const QString full = contact.FullName();
    return full.isEmpty() ? contact.CompanyName() : full;
}

} // namespace

void WriteUserProperties(pim::Item &item, const TimeCardSnapshot &card,
                         const UserPropertyTerms &terms)
{
    auto &properties = item.userProperties();
    properties.setValue(QStringLiteral("TimeCardID"), UserPropertyType::Number, double(card.id));
    properties.setValue(QStringLiteral("QuorvaleID"), UserPropertyType::Text, item.EntryID());
    properties.setValue(QStringLiteral("Quorvale Staff"), UserPropertyType::Text, card.userName);
    if (terms.activity1InUse)
        setText(item, terms.activity1Term, card.activity1Name);
    if (terms.activity2InUse)
        setText(item, terms.activity2Term, card.activity2Name);
    setText(item, terms.jobOrderTerm, card.jobOrder);
}

std::unique_ptr<pim::ContactItem> contactItemFor(OutlookSession &session,
                                                 const QString &contactEntryId)
{
    if (contactEntryId.isEmpty())
        return nullptr;
    try {
        std::unique_ptr<pim::Item> item = session.nameSpace().itemFromId(contactEntryId, {});
        if (auto *contact = dynamic_cast<pim::ContactItem *>(item.get())) {
            item.release();
            return std::unique_ptr<pim::ContactItem>(contact);
        }
    } catch (const QvError &error) {
        qCInfo(lcItems).noquote() << "contact not read:" << error.description();
    }
    return nullptr;
}

void setContactFields(pim::IcalItem &item, const pim::ContactItem &contact,
                      const QString &versionCode)
{
    const QString name = linkName(contact);
    if (hasLinks(versionCode)) {
        item.setLinks({pim::ContactLink{name, contact.EntryID(), contact.uid()}});
    } else {
        item.setProperty(QStringLiteral("Contacts"), name);
    }
    if (!contact.CompanyName().isEmpty())
        item.setCompanies(contact.CompanyName());
}

void setContactLink(pim::MailItem &message, const pim::ContactItem &contact,
                    const QString &versionCode)
{
    if (hasLinks(versionCode))
        message.setLinks({pim::ContactLink{linkName(contact), contact.EntryID(), contact.uid()}});
}

} // namespace quorvale
