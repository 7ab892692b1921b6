#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace quorvale {

// A zip archive whose entries are stored without compression, in the order
// added. That is all an OpenDocument package needs, whose first entry must be
// its uncompressed "mimetype".
class StoredZip {
public:
    void add(const QString &name, const QByteArray &data);
    QByteArray bytes() const;

private:
    struct Entry {
        QByteArray name;
        QByteArray data;
        quint32 crc = 0;
    };
    std::vector<Entry> m_entries;
};

quint32 crc32(const QByteArray &data);

} // namespace quorvale
