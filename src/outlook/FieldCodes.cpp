#include "outlook/FieldCodes.h"

#include "platform/pim/ContactItem.h"

#include <QVariant>
#include <iterator>

namespace quorvale {

namespace {

// Codes 10..97 in code order.
constexpr const char *ContactProperties[] = {
    "Account",
    "Assistant Name",
    "Assistant Telephone Number",
    "Billing Information",
    "Birthday",
    "Business 2 Telephone Number",
    "Business Address",
    "Business Address City",
    "Business Address Country",
    "Business Address Post Office Box",
    "Business Address Postal Code",
    "Business Address State",
    "Business Address Street",
    "Business Fax Number",
    "Business Home Page",
    "Business Telephone Number",
    "Callback Telephone Number",
    "Car Telephone Number",
    "Companies",
    "Company And Full Name",
    "Company Last First No Space",
    "Company Last First Space Only",
    "Company Main Telephone Number",
    "Company Name",
    "Customer ID",
    "Department",
    "Email 1 Address",
    "Email 2 Address",
    "Email 3 Address",
    "File As",
    "First Name",
    "Full Name",
    "Full Name And Company",
    "Government ID Number",
    "Home 2 Telephone Number",
    "Home Address",
    "Home Address City",
    "Home Address Country",
    "Home Address Post Office Box",
    "Home Address Postal Code",
    "Home Address State",
    "Home Address Street",
    "Home Fax Number",
    "Home Telephone Number",
    "Importance",
    "Initials",
    "Job Title",
    "Last First And Suffix",
    "Last First No Space",
    "Last First No Space And Suffix",
    "Last First No Space Company",
    "Last First Space Only",
    "Last First Space Only Company",
    "Last Name",
    "Last Name And First Name",
    "Mailing Address",
    "Mailing Address City",
    "Mailing Address Country",
    "Mailing Address Post Office Box",
    "Mailing Address Postal Code",
    "Mailing Address State",
    "Mailing Address Street",
    "Manager Name",
    "Middle Name",
    "Mobile Telephone Number",
    "Nick Name",
    "Office Location",
    "Organizational ID Number",
    "Other Address",
    "Other Address City",
    "Other Address Country",
    "Other Address Post Office Box",
    "Other Address Postal Code",
    "Other Address State",
    "Other Address Street",
    "Other Fax Number",
    "Other Telephone Number",
    "Pager Number",
    "Primary Telephone Number",
    "Profession",
    "Spouse",
    "Subject",
    "Title",
    "User1",
    "User2",
    "User3",
    "User4",
    "User Properties",
};
static_assert(std::size(ContactProperties) ==
              FieldCode::LastContactProperty - FieldCode::FirstContactProperty + 1);

constexpr int SeparatorLength[] = {124, 109, 77, 69};
constexpr char16_t SeparatorChar[] = {u'-', u'*', u'_', u'='};
constexpr const char *SeparatorListText[] = {
    "Line 1 (----------)",
    "Line 2 (**********)",
    "Line 3 (__________)",
    "Line 4 (==========)",
};

QString fromCurrentTimeCard(const QString &name)
{
    return name + QStringLiteral(" (from current TimeCard)");
}

FieldValue labelled(const QString &label, const QString &value)
{
    return {FieldValue::Shape::Labelled, label, value};
}

QString importanceName(int importance)
{
    switch (importance) {
    case 0:
        return QStringLiteral("Low");
    case 2:
        return QStringLiteral("High");
    default:
        return QStringLiteral("Normal");
    }
}

} // namespace

bool isContactPropertyCode(qint16 code)
{
    return code >= FieldCode::FirstContactProperty && code <= FieldCode::LastContactProperty;
}

bool isSeparatorLineCode(qint16 code)
{
    return code >= FieldCode::Line1 && code <= FieldCode::Line4;
}

QString contactPropertyListName(qint16 code)
{
    if (!isContactPropertyCode(code))
        return {};
    return QString::fromLatin1(ContactProperties[code - FieldCode::FirstContactProperty]);
}

QString contactPropertyName(qint16 code)
{
    return contactPropertyListName(code).remove(u' ');
}

QString fieldListText(qint16 code, const FieldTerms &terms)
{
    switch (code) {
    case FieldCode::Empty:
        return QStringLiteral("[Empty]");
    case FieldCode::UserName:
        return QStringLiteral("User Name (from current TimeCard)");
    case FieldCode::Contact:
        return fromCurrentTimeCard(terms.contact);
    case FieldCode::Activity1:
        return fromCurrentTimeCard(terms.activity1);
    case FieldCode::Activity2:
        return fromCurrentTimeCard(terms.activity2);
    case FieldCode::JobOrder:
        return fromCurrentTimeCard(terms.jobOrder);
    case FieldCode::Description:
        return QStringLiteral("Description (from current TimeCard)");
    case FieldCode::EntryType:
        return QStringLiteral("Entry Type (from current TimeCard)");
    case FieldCode::Category:
        return QStringLiteral("Category (from current TimeCard)");
    case FieldCode::CurrentDate:
        return QStringLiteral("Current Date");
    case FieldCode::CurrentTime:
        return QStringLiteral("Current Time");
    default:
        break;
    }
    if (isContactPropertyCode(code))
        return contactPropertyListName(code) + QStringLiteral(" (Outlook Contact Property)");
    if (isSeparatorLineCode(code))
        return QString::fromLatin1(SeparatorListText[code - FieldCode::Line1]);
    return {};
}

QList<qint16> offeredFieldCodes(const FieldTerms &terms, bool bodySlot)
{
    QList<qint16> codes{FieldCode::Empty, FieldCode::UserName};
    if (terms.contactInUse)
        codes << FieldCode::Contact;
    if (terms.activity1InUse)
        codes << FieldCode::Activity1;
    if (terms.activity2InUse)
        codes << FieldCode::Activity2;
    if (!terms.jobOrder.isEmpty())
        codes << FieldCode::JobOrder;
    codes << FieldCode::Description << FieldCode::EntryType << FieldCode::Category
          << FieldCode::CurrentDate << FieldCode::CurrentTime;
    for (qint16 c = FieldCode::FirstContactProperty; c <= FieldCode::LastContactProperty; ++c)
        codes << c;
    if (bodySlot)
        for (qint16 c = FieldCode::Line1; c <= FieldCode::Line4; ++c)
            codes << c;
    return codes;
}

FieldValue readField(qint16 code, const FieldSource &source)
{
    const ItemVariables &v = source.variables;
    const FieldTerms &t = source.terms;
    switch (code) {
    case FieldCode::UserName:
        return labelled(QStringLiteral("User"), v.userName);
    case FieldCode::Contact:
        return labelled(t.contact,
                        source.contact ? contactDisplayName(*source.contact) : QString());
    case FieldCode::Activity1:
        return t.activity1InUse ? labelled(t.activity1, v.activity1Name) : FieldValue{};
    case FieldCode::Activity2:
        return t.activity2InUse ? labelled(t.activity2, v.activity2Name) : FieldValue{};
    case FieldCode::JobOrder:
        return t.jobOrder.isEmpty() ? FieldValue{} : labelled(t.jobOrder, v.jobOrder);
    case FieldCode::Description:
        return {FieldValue::Shape::LabelAbove, QStringLiteral("Description"), v.description};
    case FieldCode::EntryType:
        return labelled(QStringLiteral("Entry Type"), v.entryType);
    case FieldCode::Category:
        return labelled(QStringLiteral("Category"), v.category);
    case FieldCode::CurrentDate:
        return labelled(QStringLiteral("Date"), weekdayDateText(source.now.date(), source.locale));
    case FieldCode::CurrentTime:
        return labelled(QStringLiteral("Time"), mediumTimeText(source.now.time()));
    default:
        break;
    }
    if (isContactPropertyCode(code))
        return labelled(contactPropertyListName(code),
                        source.contact ? contactPropertyText(*source.contact, code, source.locale)
                                       : QString());
    if (isSeparatorLineCode(code)) {
        const int i = code - FieldCode::Line1;
        return {FieldValue::Shape::Separator, QString(),
                QString(SeparatorLength[i], QChar(SeparatorChar[i]))};
    }
    return {};
}

QString contactPropertyText(const pim::ContactItem &contact, qint16 code, const QLocale &locale)
{
    if (!isContactPropertyCode(code))
        return {};
    const QString name = contactPropertyName(code);
    const QVariant value = contact.property(name);
    if (name == QLatin1String("Importance"))
        return importanceName(value.toInt());
    if (value.typeId() == QMetaType::QDate)
        return shortDateText(value.toDate(), locale);
    if (value.typeId() == QMetaType::QDateTime)
        return shortDateText(value.toDateTime().date(), locale);
    return value.toString();
}

QString contactDisplayName(const pim::ContactItem &contact)
{
    const QString fullName = contact.FullName();
    return fullName.isEmpty() ? contact.CompanyName() : fullName;
}

} // namespace quorvale
