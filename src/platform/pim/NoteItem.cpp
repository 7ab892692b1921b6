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
    return IcalItem::setProperty(name, value);
}

std::unique_ptr<Item> makeNoteItem(const Folder &folder)
{
    return std::make_unique<NoteItem>(folder);
}

} // namespace quorvale::pim
