#pragma once

#include "outlook/ItemVariables.h"

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QtGlobal>

namespace quorvale {

namespace pim {
class ContactItem;
}

// The field codes a template slot holds. The codes are what is stored, so they
// never change meaning; the order the lists offer them in is fieldCodeOrder().
namespace FieldCode {
inline constexpr qint16 Empty = 0;
inline constexpr qint16 UserName = 1;
inline constexpr qint16 Contact = 2;
inline constexpr qint16 Activity1 = 3;
inline constexpr qint16 Activity2 = 4;
inline constexpr qint16 Description = 5;
inline constexpr qint16 EntryType = 6;
inline constexpr qint16 Category = 7;
inline constexpr qint16 CurrentDate = 8;
inline constexpr qint16 CurrentTime = 9;
inline constexpr qint16 FirstContactProperty = 10;
inline constexpr qint16 LastContactProperty = 97;
inline constexpr qint16 Line1 = 98;
inline constexpr qint16 Line2 = 99;
inline constexpr qint16 Line3 = 100;
inline constexpr qint16 Line4 = 101;
inline constexpr qint16 JobOrder = 102;
} // namespace FieldCode

// The administrator's display names and which of the optional fields are in
// use; they name list entries and body labels.
struct FieldTerms {
    QString contact = QStringLiteral("Client");
    QString activity1 = QStringLiteral("Service");
    QString activity2 = QStringLiteral("Project");
    QString jobOrder; // empty: job orders are not used
    bool contactInUse = true;
    bool activity1InUse = true;
    bool activity2InUse = true;
};

bool isContactPropertyCode(qint16 code);
bool isSeparatorLineCode(qint16 code);

// "Email 1 Address" for its code; empty for other codes.
QString contactPropertyListName(qint16 code);
// The contact property a code reads: the list name without its blanks.
QString contactPropertyName(qint16 code);

// The entry text of a code in the slot lists.
QString fieldListText(qint16 code, const FieldTerms &terms);
// The codes a slot list offers, in list order: the optional entries only while
// their field is in use, the separator lines only in body slots.
QList<qint16> offeredFieldCodes(const FieldTerms &terms, bool bodySlot);

// What one code contributes to an item.
struct FieldValue {
    enum class Shape {
        Nothing,    // [Empty], an unknown code, a field not in use
        Labelled,   // "label: value" on one body line
        LabelAbove, // "label: " and the value on the lines below
        Separator,  // a line of its own (body only); value holds it
    };
    Shape shape = Shape::Nothing;
    QString label;
    QString value; // may be empty: the field is there but holds nothing
};

// Where a code's value comes from.
struct FieldSource {
    const ItemVariables &variables;
    const pim::ContactItem *contact = nullptr; // nullptr: no contact item available
    FieldTerms terms;
    QDateTime now;
    QLocale locale;
};

FieldValue readField(qint16 code, const FieldSource &source);

// A contact property as text: dates as short dates, importance by its name.
QString contactPropertyText(const pim::ContactItem &contact, qint16 code,
                            const QLocale &locale = QLocale());
// The name shown for a contact: its full name, else its company.
QString contactDisplayName(const pim::ContactItem &contact);

} // namespace quorvale
