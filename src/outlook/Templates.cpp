#include "outlook/Templates.h"

#include <QRegularExpression>
#include <algorithm>

namespace quorvale {

namespace {

const QString PartEnd = QStringLiteral(": ");

// Values come from people and files with any line ending; a subject is one
// line and a body uses CR LF throughout.
QStringList valueLines(const QString &value)
{
    static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
    return value.split(breaks);
}

QString oneLine(const QString &value)
{
    QStringList lines = valueLines(value);
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.join(u' ');
}

QString bodyText(const QString &value)
{
    return valueLines(value).join(LineBreak);
}

bool isBlank(const QString &value)
{
    return value.trimmed().isEmpty();
}

// Empty when the code adds no line.
QString bodyLine(const FieldValue &field)
{
    switch (field.shape) {
    case FieldValue::Shape::Nothing:
        return {};
    case FieldValue::Shape::Separator:
        return field.value;
    case FieldValue::Shape::Labelled:
        return isBlank(field.value) ? QString() : field.label + PartEnd + bodyText(field.value);
    case FieldValue::Shape::LabelAbove:
        return isBlank(field.value) ? QString()
                                    : field.label + PartEnd + LineBreak + bodyText(field.value);
    }
    return {};
}

FieldReader readerFor(const ItemVariables &variables, const pim::ContactItem *contact,
                      const TemplateContext &context)
{
    return [&variables, contact, &context](qint16 code) {
        return readField(
            code, FieldSource{variables, contact, context.terms, context.now, context.locale});
    };
}

QString takePending(TemplateContext &context)
{
    return context.pending ? context.pending->take() : QString();
}

bool hasPending(const TemplateContext &context)
{
    return context.pending && !context.pending->isEmpty();
}

} // namespace

std::span<const qint16> bodyCodes(std::span<const qint16> kindCodes)
{
    return kindCodes.first(std::min<std::size_t>(kindCodes.size(), BodySlotCount));
}

std::span<const qint16> subjectCodes(std::span<const qint16> kindCodes)
{
    if (kindCodes.size() <= std::size_t(FirstSubjectSlot))
        return {};
    return kindCodes.subspan(FirstSubjectSlot);
}

QString assembleSubject(std::span<const qint16> codes, const FieldReader &read)
{
    QString subject;
    for (qint16 code : codes) {
        const FieldValue field = read(code);
        if (field.shape != FieldValue::Shape::Labelled &&
            field.shape != FieldValue::Shape::LabelAbove)
            continue;
        const QString value = oneLine(field.value);
        if (!value.isEmpty())
            subject += value + PartEnd;
    }
    return subject;
}

QString assembleBody(std::span<const qint16> codes, const FieldReader &read)
{
    QString body;
    for (qint16 code : codes) {
        const QString line = bodyLine(read(code));
        if (!line.isEmpty())
            body += line + LineBreak;
    }
    return body;
}

QString FormatSubject(TemplateKind kind, const ItemVariables &variables,
                      const pim::ContactItem *contact, TemplateContext &context)
{
    if (!hasSubject(kind))
        return {};
    QString subject = assembleSubject(subjectCodes(context.templates.codes(kind)),
                                      readerFor(variables, contact, context));
    if (context.timeDetailOption && hasPending(context))
        subject += oneLine(takePending(context));
    return subject;
}

QString FormatBody(TemplateKind kind, const ItemVariables &variables,
                   const pim::ContactItem *contact, TemplateContext &context)
{
    QString body = assembleBody(bodyCodes(context.templates.codes(kind)),
                                readerFor(variables, contact, context));
    if (!context.timeDetailOption && hasPending(context)) {
        if (!body.isEmpty())
            body += LineBreak;
        body += bodyText(takePending(context));
    }
    if (!body.isEmpty())
        body += LineBreak + LineBreak;
    return body;
}

FieldValue sampleField(qint16 code, const FieldTerms &terms)
{
    static const ItemVariables sample = [] {
        ItemVariables v;
        v.userName = QStringLiteral("Pat Morgan");
        v.activity1Name = QStringLiteral("Consulting");
        v.activity2Name = QStringLiteral("Lease Review");
        v.jobOrder = QStringLiteral("JO-1042");
        v.description = QStringLiteral("Reviewed the draft lease and called the landlord's agent.");
        v.entryType = QStringLiteral("Phone call");
        v.category = QStringLiteral("Business");
        return v;
    }();
    if (code == FieldCode::Contact)
        return {FieldValue::Shape::Labelled, terms.contact, QStringLiteral("Harbor Supply Co.")};
    if (isContactPropertyCode(code))
        return {FieldValue::Shape::Labelled, contactPropertyListName(code),
                u'<' + contactPropertyListName(code) + u'>'};
    const QDateTime when(QDate(2024, 3, 15), QTime(10, 30));
    return readField(code, FieldSource{sample, nullptr, terms, when, QLocale()});
}

QString previewSubject(std::span<const qint16> codes, const FieldTerms &terms)
{
    return assembleSubject(codes, [&terms](qint16 code) { return sampleField(code, terms); });
}

QString previewBody(std::span<const qint16> codes, const FieldTerms &terms)
{
    return assembleBody(codes, [&terms](qint16 code) { return sampleField(code, terms); });
}

} // namespace quorvale
