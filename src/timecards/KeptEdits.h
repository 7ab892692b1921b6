#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <vector>

namespace quorvale {

namespace db {
class Connection;
}

// One changed column of a TimeCard that could not be saved.
struct KeptEdit {
    QString field;
    QVariant value;
};

// Changes to a TimeCard that could not be saved because the database server was
// away when the program closed. They wait in the user's local database
// (QVLocal.db, table tblKeptEdits, made on first use) until the next start saves
// them. Values keep their types. Errors are thrown as QvError.
class KeptEdits {
public:
    explicit KeptEdits(db::Connection &cnnLocal);

    // Keeps the changes of the TimeCard, replacing any kept before for it.
    void keep(qint64 timeCardId, const std::vector<KeptEdit> &edits);
    // The TimeCards with kept changes, oldest first.
    std::vector<qint64> timeCards();
    std::vector<KeptEdit> edits(qint64 timeCardId);
    void clear(qint64 timeCardId);

private:
    void ensureTable();

    db::Connection &m_cnn;
    bool m_tableReady = false;
};

} // namespace quorvale
