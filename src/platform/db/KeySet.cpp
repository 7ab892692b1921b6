#include "KeySet.h"

namespace quorvale::db {

namespace {

bool isIntegral(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

} // namespace

void KeySet::set(qsizetype i, const QVariant &key)
{
    m_keys[static_cast<size_t>(i)] = key;
    m_indexed = false;
}

void KeySet::append(const QVariant &key)
{
    m_keys.push_back(key);
    if (!m_indexed || contains(key))
        return;
    if (!m_integral)
        m_textIndex.insert(key.toString(), size() - 1);
    else if (isIntegral(key))
        m_intIndex.insert(key.toLongLong(), size() - 1);
    else
        m_indexed = false;
}

void KeySet::removeAt(qsizetype i)
{
    m_keys.erase(m_keys.begin() + i);
    m_indexed = false;
}

bool KeySet::remove(const QVariant &key)
{
    const qsizetype i = indexOf(key);
    if (i < 0)
        return false;
    removeAt(i);
    return true;
}

void KeySet::clear()
{
    m_keys.clear();
    m_indexed = false;
}

void KeySet::buildIndex() const
{
    m_intIndex.clear();
    m_textIndex.clear();
    m_integral = true;
    for (const QVariant &k : m_keys) {
        if (!isIntegral(k)) {
            m_integral = false;
            break;
        }
    }
    if (m_integral) {
        m_intIndex.reserve(size());
        for (qsizetype i = size(); i-- > 0;)
            m_intIndex.insert(at(i).toLongLong(), i);
    } else {
        m_textIndex.reserve(size());
        for (qsizetype i = size(); i-- > 0;)
            m_textIndex.insert(at(i).toString(), i);
    }
    m_indexed = true;
}

qsizetype KeySet::indexOf(const QVariant &key) const
{
    if (!key.isValid() || key.isNull() || m_keys.empty())
        return -1;
    if (!m_indexed)
        buildIndex();
    if (m_integral) {
        bool ok = false;
        const qint64 k = key.toLongLong(&ok);
        return ok ? m_intIndex.value(k, -1) : -1;
    }
    return m_textIndex.value(key.toString(), -1);
}

} // namespace quorvale::db
