#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace quorvale::pim {

// One parameter of a content line. A parameter written twice (TYPE=WORK;TYPE=VOICE)
// stays two parameters so a rewrite gives back what another client wrote.
struct VCardParameter {
    QString name; // upper case
    QStringList values;

    bool operator==(const VCardParameter &) const = default;
};

// One content line: [group.]NAME;params:value.
//
// The value is kept as it stood in the file (escapes and all), so a property we
// do not understand is written back byte for byte; the accessors below unescape
// on reading and escape on writing.
class VCardProperty {
public:
    VCardProperty() = default;
    explicit VCardProperty(QString name, QString rawValue = QString());

    QString group;
    QString name; // upper case
    QList<VCardParameter> parameters;
    QString rawValue;

    // The first value of the parameter, and all its values over every occurrence.
    QString parameter(const QString &name) const;
    QStringList parameterValues(const QString &name) const;
    bool hasParameter(const QString &name) const;
    void setParameter(const QString &name, const QStringList &values);
    void removeParameter(const QString &name);

    // TYPE values in lower case, from every TYPE parameter, comma lists split
    // (TYPE=work,voice, TYPE=WORK;TYPE=VOICE and TYPE="work,voice" alike).
    QStringList types() const;
    bool hasType(const QString &type) const;

    // A single text value with its escapes undone / applied.
    QString text() const;
    void setText(const QString &text);
    // The components of a structured value (N, ADR, ORG) split on unescaped ';',
    // each unescaped. setComponent leaves the other components exactly as read.
    QStringList components() const;
    QString component(int index) const;
    void setComponent(int index, const QString &text);
    // A list value (CATEGORIES, NICKNAME) split on unescaped ','.
    QStringList listValues() const;
    void setListValues(const QStringList &values);

    bool operator==(const VCardProperty &) const = default;
};

// Text escaping of vCard values: \\ \, \; and \n for a line break.
namespace VCardText {
QString escape(const QString &text);
QString unescape(QStringView raw);
// Splits on `separator` where it is not escaped; the parts stay escaped.
QList<QStringView> splitUnescaped(QStringView raw, QChar separator);
} // namespace VCardText

// One card: its version and its properties in file order (BEGIN, VERSION and
// END are not among them).
class VCard {
public:
    enum class Version { V21, V30, V40 };

    Version version = Version::V30;
    QList<VCardProperty> properties;

    // The first property of that name (case-insensitive), or nullptr.
    const VCardProperty *find(const QString &name) const;
    VCardProperty *find(const QString &name);
    // Indexes of every property of that name, in order.
    QList<qsizetype> indexesOf(const QString &name) const;
    // The first property of that name, appended when missing.
    VCardProperty &findOrAdd(const QString &name);
    // Removes every property of that name; returns how many went.
    qsizetype removeAll(const QString &name);

    // Text of the first property of that name; empty when there is none.
    QString text(const QString &name) const;
    // Sets the first property's text, adding it; an empty text removes them all.
    void setText(const QString &name, const QString &text);

    bool operator==(const VCard &) const = default;
};

QString versionText(VCard::Version version);

} // namespace quorvale::pim
