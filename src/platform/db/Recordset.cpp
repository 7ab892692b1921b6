#include "Recordset.h"

#include "Values.h"
#include "platform/core/QvError.h"

#include <QScopeGuard>
#include <QSqlField>

namespace quorvale::db {

namespace {

constexpr long BadArgument = 3001;
constexpr long NotUpdatable = 3251;

[[noreturn]] void throwNoCurrent()
{
    throw QvError(ErrorNumber::NoCurrentRecord,
                  QStringLiteral("Either BOF or EOF is True, or the current record has been "
                                 "deleted. Requested operation requires a current record."),
                  QString::fromLatin1(JetErrorSource));
}

[[noreturn]] void throwItemNotFound()
{
    throw QvError(ErrorNumber::ItemNotFound,
                  QStringLiteral("Item cannot be found in the collection corresponding to the "
                                 "requested name or ordinal."),
                  QString::fromLatin1(JetErrorSource));
}

[[noreturn]] void throwRowChanged()
{
    throw QvError(ErrorNumber::RowChanged,
                  QStringLiteral("Row cannot be located for updating. Some values may have been "
                                 "changed since it was last read."),
                  QString::fromLatin1(JetErrorSource));
}

// A column default as SQLite reports it ("0", "'text'", "-1"); expressions such as
// CURRENT_TIMESTAMP are left to the database and read back after the insert.
QVariant literalDefault(const QVariant &declared)
{
    if (!declared.isValid() || declared.isNull())
        return {};
    const QString text = declared.toString().trimmed();
    if (text.size() >= 2 && text.startsWith(u'\'') && text.endsWith(u'\''))
        return text.mid(1, text.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok)
        return whole;
    const double real = text.toDouble(&ok);
    if (ok)
        return real;
    return {};
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull)
        return aNull == bNull;
    const QPartialOrdering order = QVariant::compare(a, b);
    if (order == QPartialOrdering::Equivalent)
        return true;
    if (order != QPartialOrdering::Unordered)
        return false;
    return a.toString() == b.toString();
}

} // namespace

Recordset::~Recordset()
{
    close();
}

void Recordset::open(Connection &connection, const QString &sql, CursorType cursor, LockType lock,
                     const QVariantList &params)
{
    close();
    m_connection = &connection;
    connection.registerHolder(this);
    m_sql = sql;
    m_params = params;
    m_cursor = cursor;
    m_lock = lock;
    try {
        std::shared_ptr<KeysetShape> shape = connection.keysetShape(sql);
        if (!shape) {
            shape = std::make_shared<KeysetShape>();
            shape->select = SelectStatement::parse(sql);
            if (shape->select.singleTable)
                shape->keyColumn = connection.primaryKey(shape->select.baseTable);
            connection.keepKeysetShape(sql, shape);
        }
        m_select = shape->select;
        m_keyColumn = shape->keyColumn;
        m_keyed = !m_keyColumn.isEmpty();
        if (m_keyed)
            openKeyset(params, *shape);
        else
            openStatic(params);
    } catch (...) {
        close();
        throw;
    }
}

std::vector<QVariant> Recordset::loadKeys(const QString &sql, const QVariantList &params)
{
    // The keys are read past the driver's row cache where the engine allows it:
    // a busy user's ten thousand keys cost little more than the statement.
    std::vector<QVariant> keys;
    m_connection->readRows(sql, params, [&keys](QVariant *values, int columns) {
        if (columns > 0)
            keys.push_back(std::move(values[0]));
    });
    return keys;
}

QString Recordset::keySelect(const QString &extraCondition) const
{
    QString sql = QStringLiteral("SELECT ") + m_select.qualifier + u'.' + m_keyColumn + u' ' +
                  m_select.fromClause;
    if (!m_select.whereCondition.isEmpty() && !extraCondition.isEmpty())
        sql += QStringLiteral(" WHERE (") + m_select.whereCondition + QStringLiteral(") AND (") +
               extraCondition + u')';
    else if (!m_select.whereCondition.isEmpty())
        sql += QStringLiteral(" WHERE ") + m_select.whereCondition;
    else if (!extraCondition.isEmpty())
        sql += QStringLiteral(" WHERE ") + extraCondition;
    return sql;
}

KeySet Recordset::matchingKeys(const QString &extraCondition, const QVariantList &extraParams)
{
    return KeySet(loadKeys(keySelect(extraCondition), m_params + extraParams));
}

void Recordset::openKeyset(const QVariantList &params, KeysetShape &shape)
{
    if (shape.rowSql.isEmpty()) {
        shape.keySql = keySelect({});
        if (!m_select.orderBy.isEmpty())
            shape.keySql += u' ' + m_select.orderBy;
        const QString keyRef = m_select.qualifier + u'.' + m_keyColumn;
        shape.rowSql = QStringLiteral("SELECT ") + m_select.selectList + QStringLiteral(" FROM ") +
                       m_select.tableRef + QStringLiteral(" WHERE ") + keyRef +
                       QStringLiteral(" = ?");
    }
    // Only the ordered keys are read now; rows come one at a time as the cursor moves.
    m_keys = KeySet(loadKeys(shape.keySql, params));
    m_rowSql = shape.rowSql;
    m_connection->reusable(m_rowSql); // a wrong statement is told now, not at the first move

    const auto noRowColumns = [this] {
        // No row to learn the columns from: ask for none.
        QSqlQuery q = m_connection->prepare(QStringLiteral("SELECT ") + m_select.selectList +
                                            QStringLiteral(" FROM ") + m_select.tableRef +
                                            QStringLiteral(" WHERE 1 = 0"));
        m_connection->run(q, {});
        return q.record();
    };
    // Rows deleted since the keys were read are dropped on the way.
    while (!m_keys.empty() && !fetchRow(m_keys.at(0)))
        m_keys.removeAt(0);
    if (m_hasCurrent)
        m_fields = m_current;
    else if (!shape.fields.isEmpty())
        m_fields = shape.fields;
    else
        m_fields = noRowColumns();
    // The columns learned before hold while the statement reads as many (a schema
    // step that adds one shows as one more).
    if (shape.fields.count() == m_fields.count() && !shape.fieldIndex.isEmpty()) {
        m_fields = shape.fields;
        m_fieldIndex = shape.fieldIndex;
    } else {
        m_fields.clearValues();
        m_fieldIndex.clear();
        const QString qualifier = m_select.qualifier.toLower() + u'.';
        const QString table = m_select.baseTable.toLower() + u'.';
        for (int i = m_fields.count(); i-- > 0;) {
            const QString name = m_fields.fieldName(i).toLower();
            m_fieldIndex.insert(name, i);
            m_fieldIndex.insert(qualifier + name, i);
            m_fieldIndex.insert(table + name, i);
        }
        shape.fields = m_fields;
        shape.fieldIndex = m_fieldIndex;
    }
    m_keyField = fieldIndex(m_keyColumn);
    m_pos = m_keys.empty() ? -1 : 0;
    m_currentDeleted = false;
    positionChanged();
}

void Recordset::openStatic(const QVariantList &params)
{
    QSqlQuery q = m_connection->prepare(m_sql);
    m_connection->run(q, params, m_sql);
    m_fields = q.record();
    while (q.next())
        m_rows.push_back(q.record());
    m_fields.clearValues();
    m_fieldIndex.clear();
    for (int i = m_fields.count(); i-- > 0;)
        m_fieldIndex.insert(m_fields.fieldName(i).toLower(), i);
    goTo(0, 1);
}

void Recordset::close()
{
    if (m_connection)
        m_connection->unregisterHolder(this);
    m_connection = nullptr;
    m_rowSql.clear();
    m_keys.clear();
    m_unfiltered.clear();
    m_filtered = false;
    m_filter.clear();
    m_filterParams.clear();
    m_rows.clear();
    m_select = {};
    m_keyed = false;
    m_keyColumn.clear();
    m_keyField = -1;
    m_pos = -1;
    m_currentDeleted = false;
    m_hasCurrent = false;
    m_fields.clear();
    m_current.clear();
    m_fieldIndex.clear();
    m_editMode = EditMode::None;
    m_edited.clear();
    m_changed.clear();
}

QStringList Recordset::changedFields() const
{
    QStringList names;
    if (m_editMode == EditMode::None)
        return names;
    for (int i = 0; i < m_fields.count(); ++i)
        if (m_changed[static_cast<size_t>(i)])
            names << m_fields.fieldName(i);
    return names;
}

void Recordset::connectionClosing()
{
    m_connection = nullptr; // already unregistered by the connection
    close();
}

void Recordset::requery()
{
    requireOpen();
    Connection &connection = *m_connection;
    const QString filter = m_filter;
    const QVariantList filterParams = m_filterParams;
    const bool filtered = m_filtered;
    open(connection, QString(m_sql), m_cursor, m_lock, QVariantList(m_params));
    if (filtered)
        setFilter(filter, filterParams);
}

qsizetype Recordset::size() const
{
    return m_keyed ? m_keys.size() : static_cast<qsizetype>(m_rows.size());
}

bool Recordset::fetchRow(const QVariant &key)
{
    m_connection->ensureConnected();
    QSqlQuery &q = m_connection->reusable(m_rowSql);
    m_connection->run(q, {key});
    m_hasCurrent = q.next();
    if (m_hasCurrent)
        m_current = q.record();
    q.finish();
    return m_hasCurrent;
}

bool Recordset::resyncUnderlyingValues()
{
    if (!m_keyed || m_editMode == EditMode::Add || m_pos < 0 || m_pos >= size() || !m_hasCurrent)
        return false;
    if (!fetchRow(m_keys.at(m_pos))) {
        m_hasCurrent = true; // still the row as read; its save will say it is gone
        return false;
    }
    if (m_editMode == EditMode::InProgress)
        for (int i = 0; i < m_fields.count(); ++i)
            if (!m_changed[static_cast<size_t>(i)])
                m_edited[static_cast<size_t>(i)] = m_current.value(i);
    return true;
}

void Recordset::dropKeyAt(qsizetype index)
{
    if (m_filtered)
        m_unfiltered.remove(m_keys.at(index));
    m_keys.removeAt(index);
}

void Recordset::goTo(qsizetype target, int direction)
{
    // A row that cannot be read (the server went away) leaves the set where it was.
    const bool hadCurrent = m_hasCurrent;
    const bool wasDeleted = m_currentDeleted;
    auto stay = qScopeGuard([&] {
        m_hasCurrent = hadCurrent;
        m_currentDeleted = wasDeleted;
    });
    m_currentDeleted = false;
    m_hasCurrent = false;
    for (;;) {
        if (target < 0 || size() == 0) {
            m_pos = -1;
            break;
        }
        if (target >= size()) {
            m_pos = size();
            break;
        }
        if (!m_keyed) {
            m_pos = target;
            m_current = m_rows[static_cast<size_t>(target)];
            m_hasCurrent = true;
            break;
        }
        if (fetchRow(m_keys.at(target))) {
            m_pos = target;
            break;
        }
        // Deleted by someone else since the keys were read: skip it for good.
        dropKeyAt(target);
        if (direction < 0)
            --target;
    }
    stay.dismiss();
    positionChanged();
}

void Recordset::positionChanged()
{
    if (m_listener)
        m_listener->moveComplete(*this);
}

void Recordset::requireOpen() const
{
    if (!m_connection)
        throw QvError(3704, QStringLiteral("Operation is not allowed when the object is closed."),
                      QString::fromLatin1(JetErrorSource));
}

void Recordset::requireCurrent() const
{
    requireOpen();
    if (m_editMode == EditMode::Add)
        return;
    if (!m_hasCurrent || m_currentDeleted)
        throwNoCurrent();
}

void Recordset::requireEditable() const
{
    requireOpen();
    if (!m_keyed || m_lock == LockType::ReadOnly)
        throw QvError(NotUpdatable,
                      QStringLiteral("Current Recordset does not support updating. This may be a "
                                     "limitation of the provider, or of the selected locktype."),
                      QString::fromLatin1(JetErrorSource));
}

void Recordset::requireFieldOrdinal(int ordinal) const
{
    requireOpen();
    if (ordinal < 0 || ordinal >= m_fields.count())
        throwItemNotFound();
}

int Recordset::requireField(const QString &name) const
{
    requireOpen();
    const int i = fieldIndex(name);
    if (i < 0)
        throwItemNotFound();
    return i;
}

// ---- navigation ---------------------------------------------------------------------

void Recordset::moveFirst()
{
    requireOpen();
    update();
    goTo(0, 1);
}

void Recordset::moveLast()
{
    requireOpen();
    update();
    goTo(size() - 1, -1);
}

void Recordset::moveNext()
{
    requireOpen();
    if (eof())
        throwNoCurrent();
    update();
    goTo(m_currentDeleted ? m_pos : m_pos + 1, 1);
}

void Recordset::movePrevious()
{
    requireOpen();
    if (bof())
        throwNoCurrent();
    update();
    goTo(m_pos - 1, -1);
}

void Recordset::move(int n)
{
    requireOpen();
    if (n == 0) {
        // Re-read the current row, dropping a pending edit: the way back after a
        // write was refused because someone else changed the row.
        if (m_editMode == EditMode::Add)
            cancelUpdate();
        discardEdit();
        requireCurrent();
        goTo(m_pos, 1);
        return;
    }
    update();
    qsizetype base = m_pos;
    if (m_currentDeleted && n > 0)
        --base; // the row after the deleted one already sits at m_pos
    goTo(base + n, n > 0 ? 1 : -1);
}

bool Recordset::bof() const
{
    return size() == 0 || m_pos < 0;
}

bool Recordset::eof() const
{
    return size() == 0 || (m_pos >= size() && !m_currentDeleted);
}

int Recordset::recordCount() const
{
    requireOpen();
    return static_cast<int>(size());
}

int Recordset::absolutePosition() const
{
    requireOpen();
    if (m_editMode == EditMode::Add)
        return -1;
    if (bof())
        return -2;
    if (eof())
        return -3;
    return static_cast<int>(m_pos + 1);
}

void Recordset::setAbsolutePosition(int position)
{
    requireOpen();
    if (position < 1 || position > size())
        throw QvError(BadArgument,
                      QStringLiteral("Arguments are of the wrong type, are out of acceptable "
                                     "range, or are in conflict with one another."),
                      QString::fromLatin1(JetErrorSource));
    update();
    goTo(position - 1, 1);
}

QVariant Recordset::bookmark() const
{
    requireCurrent();
    if (m_editMode == EditMode::Add)
        throwNoCurrent();
    return m_keyed ? m_keys.at(m_pos) : QVariant::fromValue<qlonglong>(m_pos);
}

void Recordset::setBookmark(const QVariant &bookmark)
{
    requireOpen();
    qsizetype index = -1;
    if (m_keyed) {
        index = m_keys.indexOf(bookmark);
    } else {
        bool ok = false;
        index = bookmark.toLongLong(&ok);
        if (!ok || index >= size())
            index = -1;
    }
    if (index < 0)
        throw QvError(BadArgument,
                      QStringLiteral("Arguments are of the wrong type, are out of acceptable "
                                     "range, or are in conflict with one another."),
                      QString::fromLatin1(JetErrorSource));
    update();
    goTo(index, 1);
}

void Recordset::find(const QString &field, const QVariant &value)
{
    const int column = requireField(field);
    update();
    if (eof()) {
        goTo(size(), 1);
        return;
    }
    const qsizetype start = std::max<qsizetype>(m_pos, 0);
    if (!m_keyed) {
        for (qsizetype i = start; i < size(); ++i) {
            if (sameValue(m_rows[static_cast<size_t>(i)].value(column), value)) {
                goTo(i, 1);
                return;
            }
        }
        goTo(size(), 1);
        return;
    }
    if (column == m_keyField) {
        const qsizetype i = m_keys.indexOf(value);
        goTo(i >= start ? i : size(), 1);
        return;
    }
    // One query for the keys whose row matches, then the first of them from here on.
    const QString columnRef =
        m_select.qualifier + u'.' +
        m_connection->sqlDialect().quoteIdentifier(m_fields.fieldName(column));
    const bool isNull = !value.isValid() || value.isNull();
    const KeySet matches =
        matchingKeys(columnRef + (isNull ? QStringLiteral(" IS NULL") : QStringLiteral(" = ?")),
                     isNull ? QVariantList{} : QVariantList{value});
    for (qsizetype i = start; i < size() && !matches.empty(); ++i) {
        if (matches.contains(m_keys.at(i))) {
            goTo(i, 1);
            return;
        }
    }
    goTo(size(), 1);
}

void Recordset::setFilter(const QString &condition, const QVariantList &params)
{
    requireOpen();
    if (!m_keyed)
        throw QvError(NotUpdatable,
                      QStringLiteral("A filter needs a record set over one table with a key."),
                      QString::fromLatin1(JetErrorSource));
    update();
    const KeySet matches = matchingKeys(condition, params);
    const KeySet &all = m_filtered ? m_unfiltered : m_keys;
    std::vector<QVariant> kept;
    kept.reserve(static_cast<size_t>(std::min(all.size(), matches.size())));
    for (const QVariant &key : all.keys()) {
        if (matches.contains(key))
            kept.push_back(key);
    }
    if (!m_filtered)
        m_unfiltered = std::move(m_keys);
    m_keys = KeySet(std::move(kept));
    m_filtered = true;
    m_filter = condition;
    m_filterParams = params;
    goTo(0, 1);
}

void Recordset::clearFilter()
{
    requireOpen();
    if (!m_filtered)
        return;
    update();
    m_keys = std::move(m_unfiltered);
    m_unfiltered.clear();
    m_filtered = false;
    m_filter.clear();
    m_filterParams.clear();
    goTo(0, 1);
}

// ---- fields -------------------------------------------------------------------------

int Recordset::fieldCount() const
{
    requireOpen();
    return m_fields.count();
}

QString Recordset::fieldName(int ordinal) const
{
    requireFieldOrdinal(ordinal);
    return m_fields.fieldName(ordinal);
}

int Recordset::fieldIndex(const QString &name) const
{
    const QString lower = name.toLower();
    auto it = m_fieldIndex.constFind(lower);
    if (it != m_fieldIndex.cend())
        return *it;
    const qsizetype dot = lower.lastIndexOf(u'.');
    if (!m_keyed && dot >= 0)
        return m_fieldIndex.value(lower.mid(dot + 1), -1);
    return -1;
}

QVariant Recordset::value(const QString &name) const
{
    return value(requireField(name));
}

QVariant Recordset::value(int ordinal) const
{
    requireFieldOrdinal(ordinal);
    requireCurrent();
    if (m_editMode != EditMode::None)
        return m_edited[static_cast<size_t>(ordinal)];
    return m_current.value(ordinal);
}

QSqlRecord Recordset::record() const
{
    requireCurrent();
    QSqlRecord r = m_editMode == EditMode::Add ? m_fields : m_current;
    if (m_editMode != EditMode::None) {
        for (int i = 0; i < r.count(); ++i)
            r.setValue(i, m_edited[static_cast<size_t>(i)]);
    }
    return r;
}

// ---- editing ------------------------------------------------------------------------

void Recordset::beginEdit()
{
    m_edited.assign(static_cast<size_t>(m_fields.count()), QVariant());
    for (int i = 0; i < m_fields.count(); ++i)
        m_edited[static_cast<size_t>(i)] = m_current.value(i);
    m_changed.assign(static_cast<size_t>(m_fields.count()), false);
    m_editMode = EditMode::InProgress;
}

void Recordset::discardEdit()
{
    m_editMode = EditMode::None;
    m_edited.clear();
    m_changed.clear();
}

void Recordset::setValue(const QString &name, const QVariant &value)
{
    setValue(requireField(name), value);
}

void Recordset::setValue(int ordinal, const QVariant &value)
{
    requireEditable();
    requireFieldOrdinal(ordinal);
    if (m_editMode == EditMode::None) {
        requireCurrent();
        beginEdit();
    }
    m_edited[static_cast<size_t>(ordinal)] = value;
    m_changed[static_cast<size_t>(ordinal)] = true;
}

std::vector<QVariant> Recordset::columnDefaults() const
{
    std::vector<QVariant> defaults(static_cast<size_t>(m_fields.count()));
    if (m_connection->engine() != Engine::SQLite)
        return defaults;
    QSqlQuery q =
        m_connection->prepare(QStringLiteral("SELECT name, dflt_value FROM pragma_table_info(?)"));
    m_connection->run(q, {m_select.baseTable});
    while (q.next()) {
        const int i = m_fields.indexOf(q.value(0).toString());
        if (i >= 0)
            defaults[static_cast<size_t>(i)] = literalDefault(q.value(1));
    }
    return defaults;
}

void Recordset::addNew()
{
    requireEditable();
    update();
    m_posBeforeAdd = m_pos;
    m_edited = columnDefaults();
    m_changed.assign(static_cast<size_t>(m_fields.count()), false);
    m_editMode = EditMode::Add;
}

void Recordset::cancelUpdate()
{
    requireOpen();
    if (m_editMode == EditMode::Add)
        m_pos = m_posBeforeAdd;
    discardEdit();
    if (m_listener)
        m_listener->recordChangeComplete(*this);
}

void Recordset::update()
{
    if (m_editMode == EditMode::None)
        return;
    requireEditable();
    if (m_editMode == EditMode::Add)
        insertRow();
    else
        updateRow();
    if (m_listener) {
        m_listener->recordStored(*this);
        m_listener->recordChangeComplete(*this);
    }
}

void Recordset::insertRow()
{
    const SqlDialect &dialect = m_connection->sqlDialect();
    QStringList columns, marks;
    QVariantList params;
    for (int i = 0; i < m_fields.count(); ++i) {
        if (!m_changed[static_cast<size_t>(i)])
            continue;
        columns << dialect.quoteIdentifier(m_fields.fieldName(i));
        marks << QStringLiteral("?");
        params << m_edited[static_cast<size_t>(i)];
    }
    const QString sql = columns.isEmpty()
                            ? QStringLiteral("INSERT INTO ") + m_select.tableText +
                                  QStringLiteral(" DEFAULT VALUES")
                            : QStringLiteral("INSERT INTO ") + m_select.tableText +
                                  QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
                                  QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
                                  u')';
    QVariant key;
    if (m_keyField >= 0 && m_changed[static_cast<size_t>(m_keyField)] &&
        !m_edited[static_cast<size_t>(m_keyField)].isNull()) {
        m_connection->execute(sql, params);
        key = m_edited[static_cast<size_t>(m_keyField)];
    } else {
        key = m_connection->insertReturningKey(sql, params, m_keyColumn);
    }
    discardEdit();
    m_keys.append(key);
    if (m_filtered)
        m_unfiltered.append(key);
    goTo(m_keys.size() - 1, -1);
}

QString Recordset::whereAsRead(QVariantList &params) const
{
    // Optimistic concurrency: the row must still hold every value as it was read.
    const SqlDialect &dialect = m_connection->sqlDialect();
    QString where = m_keyColumn + QStringLiteral(" = ?");
    params << m_keys.at(m_pos);
    for (int i = 0; i < m_current.count(); ++i) {
        if (i == m_keyField)
            continue;
        const QVariant v = m_current.value(i);
        where += QStringLiteral(" AND ") + dialect.quoteIdentifier(m_current.fieldName(i));
        if (v.isNull()) {
            where += QStringLiteral(" IS NULL");
        } else {
            where += QStringLiteral(" = ?");
            params << v;
        }
    }
    return where;
}

void Recordset::updateRow()
{
    const SqlDialect &dialect = m_connection->sqlDialect();
    QStringList sets;
    QVariantList params;
    for (int i = 0; i < m_fields.count(); ++i) {
        if (!m_changed[static_cast<size_t>(i)])
            continue;
        sets << dialect.quoteIdentifier(m_fields.fieldName(i)) + QStringLiteral(" = ?");
        params << m_edited[static_cast<size_t>(i)];
    }
    if (sets.isEmpty()) {
        discardEdit();
        return;
    }
    const QString where = whereAsRead(params);
    const int affected = m_connection->execute(
        QStringLiteral("UPDATE ") + m_select.tableText + QStringLiteral(" SET ") +
            sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + where,
        params);
    if (affected == 0)
        throwRowChanged(); // the edit stays pending; move(0) re-reads the row
    if (m_keyField >= 0 && m_changed[static_cast<size_t>(m_keyField)]) {
        const QVariant oldKey = m_keys.at(m_pos);
        const QVariant newKey = m_edited[static_cast<size_t>(m_keyField)];
        m_keys.set(m_pos, newKey);
        if (m_filtered) {
            const qsizetype i = m_unfiltered.indexOf(oldKey);
            if (i >= 0)
                m_unfiltered.set(i, newKey);
        }
    }
    discardEdit();
    goTo(m_pos, 1);
}

void Recordset::deleteCurrent()
{
    requireEditable();
    if (m_editMode == EditMode::Add) {
        cancelUpdate();
        return;
    }
    discardEdit();
    requireCurrent();
    QVariantList params;
    const QString where = whereAsRead(params);
    const int affected = m_connection->execute(QStringLiteral("DELETE FROM ") + m_select.tableText +
                                                   QStringLiteral(" WHERE ") + where,
                                               params);
    if (affected == 0)
        throwRowChanged();
    dropKeyAt(m_pos);
    m_hasCurrent = false;
    m_currentDeleted = true;
    if (m_listener)
        m_listener->recordChangeComplete(*this);
}

} // namespace quorvale::db
