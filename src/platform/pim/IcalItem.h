#pragma once

#include "platform/pim/IcalDocument.h"
#include "platform/pim/Item.h"

#include <QList>
#include <optional>

namespace quorvale::pim {

// The part the iCalendar kinds share: the whole parsed calendar is kept, so
// what the program does not know (time zones, alarms it does not own, other
// clients' properties) is written back; the known properties are written into
// it on each Save. A new item gets a UID (a UUID, also its file's name) and
// CREATED once; every save sets DTSTAMP and LAST-MODIFIED and bumps SEQUENCE.
//
// Links to contacts are CONTACT properties (see ContactLink): ATTENDEE would
// turn every linked appointment into a meeting for other clients, and todoman
// reads RELATED-TO as a parent task.
class IcalItem : public Item {
public:
    QString uid() const;

    const QList<ContactLink> &Links() const { return m_links; }
    void setLinks(const QList<ContactLink> &links);
    // The linked contacts' names, joined by "; ".
    QString ContactNames() const;

    QString Companies() const { return m_companies; }
    void setCompanies(const QString &companies);
    QString BillingInformation() const { return m_billingInformation; }
    void setBillingInformation(const QString &text);

    QVariant property(const QString &name) const override;
    // The kinds' shared properties; a read-only name never becomes a user
    // property of that name.
    bool setProperty(const QString &name, const QVariant &value) override;

protected:
    IcalItem(ItemType type, Folder folder, icalcomponent_kind kind);

    // The kind's own properties, read after and written before the common ones.
    virtual void readKind(const IcalDocument &document) = 0;
    virtual void writeKind(IcalDocument &document) = 0;

    template <typename T> void assign(T &member, const T &value)
    {
        if (!(member == value)) {
            member = value;
            markChanged();
        }
    }

    void prepareNew() override;

private:
    QString newFileName() const override;
    bool parse(const QByteArray &content, ReadPurpose purpose) override;
    QByteArray serialize() override;

    icalcomponent_kind m_kind;
    IcalDocument m_document;
    bool m_isNew = true;
    QList<ContactLink> m_links;
    QString m_companies;
    QString m_billingInformation;
};

// Names matched without regard to case, as property(name) takes them.
bool isPropertyName(const QString &name, const char *expected);

} // namespace quorvale::pim
