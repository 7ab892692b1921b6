#pragma once

#include <QList>
#include <QString>
#include <array>

namespace quorvale {

// Scrambles and unscrambles the stored server password. A running-key shift over
// an alphabet of the 94 visible ASCII characters (in an order of our own) and CR,
// LF: output index = (key index - input index) mod 96, so the same call, with the
// same key, turns the scrambled text back into the plain one.
//
// Passwords already stored were scrambled with Alphabet and ProgramKey: changing
// either makes them unreadable.
class clsEncryptPW {
public:
    static constexpr int AlphabetSize = 96;
    static const QString &Alphabet();
    // The key word the program scrambles its stored passwords with.
    static constexpr const char *ProgramKey = "Vendrake";

    clsEncryptPW();

    // KeyString: throws QvError(5) when a key character is outside the alphabet.
    void setKeyString(const QString &key);
    const QString &keyString() const { return m_key; }

    // Throws QvError(5) for a character outside the alphabet (naming its position,
    // never the text) and when no key is set for a non-empty text.
    QString Encrypt(const QString &text) const;

private:
    int indexOf(QChar c) const;

    std::array<signed char, 128> m_index{};
    QString m_key;
    QList<int> m_keyIndex;
};

} // namespace quorvale
