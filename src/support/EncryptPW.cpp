#include "support/EncryptPW.h"

#include "platform/core/QvError.h"

#include <iterator>

namespace quorvale {

namespace {

// Fixed for good: stored passwords depend on this exact order.
constexpr char16_t AlphabetText[] = u"wX(7%-Yv5^,Ab)M_gRSf`hF&{3Id@Dt=ZrQi|6\"]q<*C./"
                                    u"92[1EyjpWkcalxz}H\\;TVeo?!J:$s8+~uNU'0mG>#KPO4BLn"
                                    u"\r\n";
static_assert(std::size(AlphabetText) - 1 == clsEncryptPW::AlphabetSize);

const QString ErrorSource = QStringLiteral("clsEncryptPW");

QvError invalidCharacter(const char *what, qsizetype position)
{
    return QvError(ErrorNumber::InvalidCharacter,
                   QStringLiteral("Invalid procedure call or argument: character %1 of the %2 "
                                  "cannot be used in a password.")
                       .arg(position + 1)
                       .arg(QLatin1String(what)),
                   ErrorSource);
}

} // namespace

const QString &clsEncryptPW::Alphabet()
{
    static const QString alphabet = QString::fromUtf16(AlphabetText, AlphabetSize);
    return alphabet;
}

clsEncryptPW::clsEncryptPW()
{
    m_index.fill(-1);
    for (int i = 0; i < AlphabetSize; ++i)
        m_index[static_cast<std::size_t>(AlphabetText[i])] = static_cast<signed char>(i);
}

int clsEncryptPW::indexOf(QChar c) const
{
    const char16_t u = c.unicode();
    return u < m_index.size() ? m_index[u] : -1;
}

void clsEncryptPW::setKeyString(const QString &key)
{
    QList<int> indexes;
    indexes.reserve(key.size());
    for (qsizetype i = 0; i < key.size(); ++i) {
        const int k = indexOf(key.at(i));
        if (k < 0)
            throw invalidCharacter("key", i);
        indexes.append(k);
    }
    m_key = key;
    m_keyIndex = std::move(indexes);
}

QString clsEncryptPW::Encrypt(const QString &text) const
{
    if (text.isEmpty())
        return QString();
    if (m_keyIndex.isEmpty())
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("Invalid procedure call or argument: no key is set."),
                      ErrorSource);
    const QString &alphabet = Alphabet();
    QString out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int p = indexOf(text.at(i));
        if (p < 0)
            throw invalidCharacter("text", i);
        const int k = m_keyIndex.at(i % m_keyIndex.size());
        out[i] = alphabet.at((k - p + AlphabetSize) % AlphabetSize);
    }
    return out;
}

} // namespace quorvale
