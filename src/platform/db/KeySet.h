#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <vector>

namespace quorvale::db {

// The ordered keys of a keyset record set, with a position index built on first use
// (bookmarks and finds by key), so opening costs nothing beyond reading the keys.
class KeySet {
public:
    KeySet() = default;
    explicit KeySet(std::vector<QVariant> keys) : m_keys(std::move(keys)) {}

    qsizetype size() const { return static_cast<qsizetype>(m_keys.size()); }
    bool empty() const { return m_keys.empty(); }
    const QVariant &at(qsizetype i) const { return m_keys[static_cast<size_t>(i)]; }
    void set(qsizetype i, const QVariant &key);
    void append(const QVariant &key);
    void removeAt(qsizetype i);
    // Removes key wherever it is; true when it was there.
    bool remove(const QVariant &key);
    void clear();
    // The position of key, -1 when absent.
    qsizetype indexOf(const QVariant &key) const;
    bool contains(const QVariant &key) const { return indexOf(key) >= 0; }
    const std::vector<QVariant> &keys() const { return m_keys; }

private:
    void buildIndex() const;

    std::vector<QVariant> m_keys;
    mutable bool m_indexed = false;
    mutable bool m_integral = true;
    mutable QHash<qint64, qsizetype> m_intIndex;
    mutable QHash<QString, qsizetype> m_textIndex;
};

} // namespace quorvale::db
