#pragma once

#include "outlook/AutoFillSettings.h"
#include "outlook/FieldCodes.h"
#include "outlook/ItemVariables.h"

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <functional>
#include <span>
#include <utility>

namespace quorvale {

namespace pim {
class ContactItem;
}

// The one-shot text a timer pause or the out-of-office dialog leaves for the
// next item written: the first subject or body that shows it empties it.
class PendingTimeDetail {
public:
    void set(const QString &text) { m_text = text; }
    const QString &text() const { return m_text; }
    bool isEmpty() const { return m_text.isEmpty(); }
    QString take() { return std::exchange(m_text, QString()); }

private:
    QString m_text;
};

// Everything besides the item variables that decides a subject or body.
struct TemplateContext {
    AutoFillTemplates templates;
    FieldTerms terms;
    // "Time Detail Option": the pending text goes to the subject (on) or the
    // body (off).
    bool timeDetailOption = true;
    PendingTimeDetail *pending = nullptr; // nullptr: nothing pending
    QDateTime now;
    QLocale locale;
};

inline const QString LineBreak = QStringLiteral("\r\n");

// The subject of a new or rewritten item of this kind: the non-empty values of
// the subject slots, each followed by ": ", then the pending time-detail text
// when "Time Detail Option" is on. Empty for notes and when every part is empty.
QString FormatSubject(TemplateKind kind, const ItemVariables &variables,
                      const pim::ContactItem *contact, TemplateContext &context);

// The body: one line per body slot that has something to show (a labelled line
// with an empty value is left out), each ended by a line break; with "Time
// Detail Option" off the pending text follows after an empty line; then two
// line breaks to write below. Empty when there is nothing at all.
QString FormatBody(TemplateKind kind, const ItemVariables &variables,
                   const pim::ContactItem *contact, TemplateContext &context);

// The assembly rules over any source of field values, without the pending text.
using FieldReader = std::function<FieldValue(qint16 code)>;
QString assembleSubject(std::span<const qint16> subjectCodes, const FieldReader &read);
QString assembleBody(std::span<const qint16> bodyCodes, const FieldReader &read);

// The slots of a kind's template that make its body and its subject.
std::span<const qint16> bodyCodes(std::span<const qint16> kindCodes);
std::span<const qint16> subjectCodes(std::span<const qint16> kindCodes);

// What the AutoFill dialog previews: the same rules over one fixed sample per
// field (contact properties show their name in angle brackets).
FieldValue sampleField(qint16 code, const FieldTerms &terms);
QString previewSubject(std::span<const qint16> subjectCodes, const FieldTerms &terms);
QString previewBody(std::span<const qint16> bodyCodes, const FieldTerms &terms);

} // namespace quorvale
