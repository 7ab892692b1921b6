#include "platform/pim/NoteItem.h"

#include "platform/pim/ItemKinds.h"

namespace quorvale::pim {

NoteItem::NoteItem(Folder folder)
    : IcalItem(ItemType::Note, std::move(folder), ICAL_VJOURNAL_COMPONENT)
{
}

QString NoteItem::Subject() const
{
    const QString body = Body();
    const qsizetype end = body.indexOf(QLatin1Char('\n'));
    return (end < 0 ? body : body.left(end)).trimmed();
}

void NoteItem::readKind(const IcalDocument &document)
{
    if (Body().isEmpty())
        loadBody(document.text(ICAL_SUMMARY_PROPERTY));
}

bool NoteItem::setProperty(const QString &name, const QVariant &value)
{
    // The subject is the body's first line.
    if (isPropertyName(name, "Subject"))
        return false;
    // The iCalendar kinds' shared properties: read in IcalItem, set here so a
    // read-only name never turns into a user property of that name.
    if (isPropertyName(name, "Companies")) {
        setCompanies(value.toString());
        return true;
    }
    if (isPropertyName(name, "BillingInformation")) {
        setBillingInformation(value.toString());
        return true;
    }
    if (isPropertyName(name, "ContactNames") || isPropertyName(name, "Saved"))
        return false;
    return Item::setProperty(name, value);
}

std::unique_ptr<Item> makeNoteItem(const Folder &folder)
{
    return std::make_unique<NoteItem>(folder);
}

} // namespace quorvale::pim
