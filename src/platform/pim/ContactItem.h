#pragma once

#include "platform/pim/Item.h"
#include "platform/pim/VCard.h"

#include <QDate>
#include <QHash>
#include <QVariant>
#include <array>

namespace quorvale::pim {

// A contact: one .vcf file of an address-book folder (a vdir khard reads).
//
// The item keeps the whole card it read, and every getter and setter works on
// that card directly, so what another client wrote (groups, parameters,
// properties we have no name for, further cards in the same file) is written
// back unchanged. Properties are reachable by their Outlook names through
// property()/setProperty(); the usual ones have their own accessors.
//
// Where vCard has no home for an Outlook property it becomes an X- property:
// X-SPOUSE, X-ASSISTANT, X-MANAGER, X-ANNIVERSARY (3.0 only), else
// X-QUORVALE-<NAME>. User properties are X-QUORVALE-<NAME> properties that
// carry their original name and type as X-QUORVALE-NAME / X-QUORVALE-TYPE.
class ContactItem : public Item {
public:
    enum class Phone {
        Business,
        Business2,
        Home,
        Home2,
        Mobile,
        BusinessFax,
        HomeFax,
        Pager,
        Car,
        Primary,
        Assistant,
        Callback,
        CompanyMain,
        ISDN,
        Other,
        OtherFax,
        Radio,
        Telex,
        TTYTDD,
    };
    static constexpr int PhoneCount = 19;
    enum class AddressKind { Business, Home, Other };
    enum class AddressPart { PostOfficeBox, Street, City, State, PostalCode, Country };

    // New contacts are written as vCard 3.0, which every address book reads;
    // a card that was read keeps its own version.
    explicit ContactItem(const Folder &folder);
    // Writes this contact as vCard 4.0 (V40) or 3.0 (anything else) from its
    // next save on.
    void setCardVersion(VCard::Version version);

    // A contact's subject is its full name, as in Outlook.
    QString Subject() const override { return FullName(); }
    void setSubject(const QString &subject) override { setFullName(subject); }

    // FN; when the card has none, composed from the name parts.
    QString FullName() const;
    void setFullName(const QString &name);
    QString FirstName() const { return nameComponent(NameGiven); }
    void setFirstName(const QString &v) { setNameComponent(NameGiven, v); }
    QString MiddleName() const { return nameComponent(NameAdditional); }
    void setMiddleName(const QString &v) { setNameComponent(NameAdditional, v); }
    QString LastName() const { return nameComponent(NameFamily); }
    void setLastName(const QString &v) { setNameComponent(NameFamily, v); }
    QString Title() const { return nameComponent(NamePrefix); }
    void setTitle(const QString &v) { setNameComponent(NamePrefix, v); }
    QString Suffix() const { return nameComponent(NameSuffix); }
    void setSuffix(const QString &v) { setNameComponent(NameSuffix, v); }

    QString CompanyName() const;
    void setCompanyName(const QString &name);
    QString Department() const;
    void setDepartment(const QString &department);
    QString JobTitle() const { return cardText("TITLE"); }
    void setJobTitle(const QString &v) { setCardText("TITLE", v); }
    QString NickName() const;
    void setNickName(const QString &name);
    QString WebPage() const { return url(QString()); }
    void setWebPage(const QString &v) { setUrl(QString(), v); }

    // Email1Address is index 0.
    QString emailAddress(int index) const;
    void setEmailAddress(int index, const QString &address);

    QString telephone(Phone phone) const;
    void setTelephone(Phone phone, const QString &number);

    QString addressPart(AddressKind kind, AddressPart part) const;
    void setAddressPart(AddressKind kind, AddressPart part, const QString &value);
    // The address as one text (Outlook's BusinessAddress ...): the card's label,
    // else composed from the parts. Changing a part drops the label, which would
    // describe the old address.
    QString address(AddressKind kind) const;
    void setAddress(AddressKind kind, const QString &text);

    // A null date when the card has none (or one without a year).
    QDate Birthday() const { return cardDate(QStringLiteral("BDAY")); }
    void setBirthday(const QDate &date);
    QDate Anniversary() const;
    void setAnniversary(const QDate &date);

    // By Outlook name: every contact property the templates offer, the common
    // Item ones, else the user property of that name.
    QVariant property(const QString &name) const override;
    // Sets a property by its Outlook name. False for names that are computed
    // (LastNameAndFirstName, MailingAddress ...) or unknown.
    bool setProperty(const QString &name, const QVariant &value) override;

    QString uid() const { return m_card.text(QStringLiteral("UID")); }
    const VCard &card() const { return m_card; }

protected:
    QString newFileName() const override;
    bool parse(const QByteArray &content, ReadPurpose purpose) override;
    QByteArray serialize() override;
    void prepareNew() override;

private:
    enum NameIndex { NameFamily, NameGiven, NameAdditional, NamePrefix, NameSuffix };
    struct Field {
        QVariant (*get)(const ContactItem &) = nullptr;
        void (*set)(ContactItem &, const QVariant &) = nullptr;
    };
    static const QHash<QString, Field> &fields();

    qsizetype builtinIndex(const QString &name) const;
    QString cardText(const char *name) const;
    void setCardText(const char *name, const QString &value);
    QString nameComponent(int index) const;
    void setNameComponent(int index, const QString &value);
    void setOrgComponent(int index, const QString &value);
    QString url(const QString &type) const;
    void setUrl(const QString &type, const QString &value);
    QDate cardDate(const QString &name) const;
    void setCardDate(const QString &name, const QDate &date);
    std::array<qsizetype, PhoneCount> phoneIndexes() const;
    std::array<qsizetype, 3> addressIndexes(const QString &propertyName) const;
    QString mailingAddressPart(int part) const;
    QString userPropertiesText() const;

    void loadUserPropertiesFromCard();
    void writeUserPropertiesToCard();
    void writeCommonPropertiesToCard();

    VCard m_card;
    QByteArray m_otherCards;
    QString m_newId;
};

} // namespace quorvale::pim
