#pragma once

#include "outlook/AutoFillSettings.h"
#include "outlook/ContactCards.h"
#include "qvadmin/Location.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace quorvale {
class Registry;
namespace db {
class Connection;
}
namespace pim {
class Namespace;
}
} // namespace quorvale

namespace quorvale::admin {

// The item store the program opens beside this database: the person's chosen
// store folder, else the program directory's.
QString itemStoreRoot(const Location &location, Registry &registry);

// The contacts' cards in the item store the program opens beside its
// database (the person's chosen store folder, else the program directory's),
// made there when it is new.
class ContactCardsWriter {
public:
    ContactCardsWriter(const Location &location, Registry &registry, db::Connection &program);
    ~ContactCardsWriter();

    void write(qint32 contactId, const ContactCardFields &fields);
    ContactCards::Card read(qint32 contactId) const;
    // Cards for the demonstration clients, with a person, an address and a
    // telephone each; the number written.
    int writeDemoCards();

    const QString &storeRoot() const;

private:
    std::unique_ptr<pim::Namespace> m_items;
    std::unique_ptr<ContactCards> m_cards;
    db::Connection &m_program;
};

// The item templates a firm would choose for the demonstration: each item
// titled with the client's company and the service, its body naming the
// person, the telephone, the services and the description.
AutoFillTemplates demoAutoFillTemplates();

} // namespace quorvale::admin
