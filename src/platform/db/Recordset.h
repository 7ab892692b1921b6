#pragma once

#include "Connection.h"
#include "KeySet.h"
#include "SelectStatement.h"

#include <QHash>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <optional>
#include <vector>

namespace quorvale::db {

enum class CursorType { ForwardOnly = 0, Keyset = 1, Dynamic = 2, Static = 3 };
enum class LockType { ReadOnly = 1, Pessimistic = 2, Optimistic = 3, BatchOptimistic = 4 };
enum class EditMode { None = 0, InProgress = 1, Add = 2 };

class Recordset;

// What a keyset learns of its statement the first time it opens it; the
// connection keeps it for the next open of the same text, so a working set opened
// again and again is not parsed and indexed each time.
struct KeysetShape {
    SelectStatement select;
    QString keyColumn;              // empty: not a keyset
    QString keySql;                 // the ordered keys
    QString rowSql;                 // one row by its key
    QSqlRecord fields;              // names and types; empty until first seen
    QHash<QString, int> fieldIndex; // as Recordset::m_fieldIndex
};

// Optional hook for a window bound to a record set.
class RecordsetListener {
public:
    virtual ~RecordsetListener() = default;
    // After the current row changed (a move, a requery, a filter, an added row).
    virtual void moveComplete(Recordset &) {}
    // After update(), cancelUpdate() or deleteCurrent() finished.
    virtual void recordChangeComplete(Recordset &) {}
    // After update() stored the current row (before recordChangeComplete).
    virtual void recordStored(Recordset &) {}
};

// An ADO-like record set.
//
// Keyset (any cursor type, when the SELECT reads one base table with a single-column
// primary key: "SELECT tbl.* FROM ...", "SELECT * FROM tbl ...", "SELECT a, b FROM tbl
// ...", joins allowed when the select list names one table's columns): opening reads
// only the ordered keys; every move reads one row by its key through one prepared
// statement. Rows added by others after opening are not in the set; rows changed by
// others show their new values when reached; rows deleted by others are skipped and
// dropped from the set.
//
// Otherwise (aggregates, DISTINCT, GROUP BY, several tables' columns, no key) a static,
// read-only snapshot read at open; meant for small lookups.
//
// ADO semantics: after open the first row is current; an empty set is BOF and EOF;
// moveNext at EOF or movePrevious at BOF throws 3021. A move while an edit is pending
// saves it first (update()), except move(0), which drops the edit and re-reads the row.
// Updates are optimistic: the WHERE compares the key and every column's value as read,
// so a row changed by someone else since is not overwritten (QvError RowChanged).
class Recordset : public StatementHolder {
public:
    Recordset() = default;
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    void open(Connection &connection, const QString &sql, CursorType cursor, LockType lock,
              const QVariantList &params = {});
    void close();
    bool isOpen() const { return m_connection != nullptr; }
    // Runs the statement again (keeping a filter) and moves to the first row.
    void requery();

    bool isKeyset() const { return m_keyed; }
    CursorType cursorType() const { return m_cursor; }
    LockType lockType() const { return m_lock; }
    const QString &source() const { return m_sql; }
    // The connection the set is open on, nullptr when closed.
    Connection *connection() const { return m_connection; }
    // The table a keyset set reads and writes, with its key column.
    const QString &baseTable() const { return m_select.baseTable; }
    const QString &keyColumn() const { return m_keyColumn; }

    void setListener(RecordsetListener *listener) { m_listener = listener; }

    // Navigation.
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void move(int n);
    bool bof() const;
    bool eof() const;
    int recordCount() const;
    // 1-based; -2 at BOF, -3 at EOF (the ADO constants), -1 while adding.
    int absolutePosition() const;
    void setAbsolutePosition(int position);
    // The current row's key (keyset) or row number (static).
    QVariant bookmark() const;
    void setBookmark(const QVariant &bookmark);
    // The first row from the current one on whose field equals value (null matches
    // null). Sets EOF when there is none.
    void find(const QString &field, const QVariant &value);

    // Narrows the set to its rows that also satisfy condition (SQL over the statement's
    // tables, with "?" for params), keeping the order; moves to the first row.
    void setFilter(const QString &condition, const QVariantList &params = {});
    void clearFilter();
    bool isFiltered() const { return m_filtered; }

    // Fields: names compare without regard to case and may be qualified ("tbl.Col").
    int fieldCount() const;
    QString fieldName(int ordinal) const;
    int fieldIndex(const QString &name) const; // -1 when unknown
    QVariant value(const QString &name) const;
    QVariant value(int ordinal) const;
    QVariant collect(int ordinal) const { return value(ordinal); }
    // The current row with the values an edit has set.
    QSqlRecord record() const;

    // Editing (not on read-only sets).
    void setValue(const QString &name, const QVariant &value);
    void setValue(int ordinal, const QVariant &value);
    void addNew();
    void update();
    void cancelUpdate();
    // ADO's Resync of the underlying values: for a row that this program changed
    // in the database behind the set's back, the row as stored now becomes what
    // a save checks against. Pending changes stay; a column not changed here
    // takes the stored value. False when the row is gone (nothing changes).
    bool resyncUnderlyingValues();
    void deleteCurrent();
    EditMode editMode() const { return m_editMode; }
    // The fields the pending edit has set, in field order (none without an edit).
    QStringList changedFields() const;

    void connectionClosing() override;
    // The connection prepares the row statement again on the next move; the
    // keys, the position and a pending edit stay.
    void connectionReset() override {}

private:
    void openKeyset(const QVariantList &params, KeysetShape &shape);
    void openStatic(const QVariantList &params);
    std::vector<QVariant> loadKeys(const QString &sql, const QVariantList &params);
    bool fetchRow(const QVariant &key);
    void goTo(qsizetype target, int direction);
    void positionChanged();
    void requireOpen() const;
    void requireCurrent() const;
    void requireEditable() const;
    int requireField(const QString &name) const;
    void requireFieldOrdinal(int ordinal) const;
    void beginEdit();
    void insertRow();
    void updateRow();
    QString whereAsRead(QVariantList &params) const;
    void dropKeyAt(qsizetype index);
    void discardEdit();
    qsizetype size() const;
    QString keySelect(const QString &extraCondition) const;
    KeySet matchingKeys(const QString &extraCondition, const QVariantList &extraParams);
    std::vector<QVariant> columnDefaults() const;

    Connection *m_connection = nullptr;
    QString m_sql;
    QVariantList m_params;
    CursorType m_cursor = CursorType::Keyset;
    LockType m_lock = LockType::ReadOnly;
    RecordsetListener *m_listener = nullptr;

    SelectStatement m_select;
    bool m_keyed = false;
    QString m_keyColumn;
    int m_keyField = -1; // ordinal of the key in the fields, -1 when not selected

    // Keyset state.
    KeySet m_keys;       // the rows in view: all of them, or the filtered part
    KeySet m_unfiltered; // all rows while a filter is set, empty otherwise
    bool m_filtered = false;
    QString m_filter;
    QVariantList m_filterParams;
    QString m_rowSql;

    // Static state.
    std::vector<QSqlRecord> m_rows;

    // Current row.
    qsizetype m_pos = -1; // -1 BOF, size() EOF
    bool m_currentDeleted = false;
    QSqlRecord m_fields;  // names and types, no values
    QSqlRecord m_current; // values as read
    bool m_hasCurrent = false;
    QHash<QString, int> m_fieldIndex; // lower-case name -> ordinal

    // Edit buffer.
    EditMode m_editMode = EditMode::None;
    std::vector<QVariant> m_edited;
    std::vector<bool> m_changed;
    qsizetype m_posBeforeAdd = -1;
};

} // namespace quorvale::db
