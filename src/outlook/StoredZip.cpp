#include "StoredZip.h"

#include <array>

namespace quorvale {

namespace {

constexpr std::array<quint32, 256> crcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<quint32, 256> CrcTable = crcTable();

void put16(QByteArray &out, quint32 v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

void put32(QByteArray &out, quint32 v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// 1 January 1980, the earliest date the format can hold: the entries carry no
// meaningful time, and a fixed one keeps the bytes reproducible.
constexpr quint32 DosTime = 0;
constexpr quint32 DosDate = (1 << 5) | 1;
constexpr quint32 Version = 20;

} // namespace

quint32 crc32(const QByteArray &data)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char byte : data)
        c = CrcTable[(c ^ static_cast<quint8>(byte)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void StoredZip::add(const QString &name, const QByteArray &data)
{
    m_entries.push_back({name.toUtf8(), data, crc32(data)});
}

QByteArray StoredZip::bytes() const
{
    QByteArray out;
    QByteArray central;
    for (const Entry &e : m_entries) {
        const auto offset = static_cast<quint32>(out.size());
        const auto size = static_cast<quint32>(e.data.size());
        const auto nameLength = static_cast<quint32>(e.name.size());

        put32(out, 0x04034b50);
        put16(out, Version);
        put16(out, 0); // flags
        put16(out, 0); // stored
        put16(out, DosTime);
        put16(out, DosDate);
        put32(out, e.crc);
        put32(out, size);
        put32(out, size);
        put16(out, nameLength);
        put16(out, 0); // no extra field
        out.append(e.name);
        out.append(e.data);

        put32(central, 0x02014b50);
        put16(central, Version); // made by
        put16(central, Version); // needed
        put16(central, 0);
        put16(central, 0);
        put16(central, DosTime);
        put16(central, DosDate);
        put32(central, e.crc);
        put32(central, size);
        put32(central, size);
        put16(central, nameLength);
        put16(central, 0); // extra
        put16(central, 0); // comment
        put16(central, 0); // disk
        put16(central, 0); // internal attributes
        put32(central, 0); // external attributes
        put32(central, offset);
        central.append(e.name);
    }
    const auto centralOffset = static_cast<quint32>(out.size());
    out.append(central);
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<quint32>(m_entries.size()));
    put16(out, static_cast<quint32>(m_entries.size()));
    put32(out, static_cast<quint32>(central.size()));
    put32(out, centralOffset);
    put16(out, 0); // no comment
    return out;
}

} // namespace quorvale
