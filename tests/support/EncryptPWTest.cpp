#include "support/EncryptPW.h"

#include "platform/core/QvError.h"

#include <QRandomGenerator>
#include <QSet>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

clsEncryptPW withKey(const QString &key)
{
    clsEncryptPW pw;
    pw.setKeyString(key);
    return pw;
}

// The table walk as the scrambling is described: row r is the alphabet turned
// left r times; the row whose character at the input's position is the key
// character gives its first character. Independent of the index arithmetic.
QString byTable(const QString &text, const QString &key)
{
    const QString &alphabet = clsEncryptPW::Alphabet();
    const int n = clsEncryptPW::AlphabetSize;
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype p = alphabet.indexOf(text.at(i));
        const QChar k = key.at(i % key.size());
        for (int r = 0; r < n; ++r) {
            const QString row = alphabet.mid(r) + alphabet.left(r);
            if (row.at(p) == k) {
                out += row.at(0);
                break;
            }
        }
    }
    return out;
}

QString randomText(QRandomGenerator &random, int length)
{
    QString text;
    for (int i = 0; i < length; ++i)
        text += clsEncryptPW::Alphabet().at(random.bounded(clsEncryptPW::AlphabetSize));
    return text;
}

TEST(EncryptPWTest, AlphabetIsTheVisibleAsciiCharactersThenCrLf)
{
    const QString &alphabet = clsEncryptPW::Alphabet();
    ASSERT_EQ(alphabet.size(), 96);
    EXPECT_EQ(alphabet.right(2), u"\r\n");
    QSet<QChar> seen;
    for (QChar c : alphabet.left(94)) {
        EXPECT_TRUE(c.unicode() > 0x20 && c.unicode() < 0x7f) << int(c.unicode());
        seen.insert(c);
    }
    EXPECT_EQ(seen.size(), 94);
}

TEST(EncryptPWTest, ScramblingIsItsOwnInverseAndFollowsTheTable)
{
    QRandomGenerator random(4711);
    const clsEncryptPW pw = withKey(QString::fromLatin1(clsEncryptPW::ProgramKey));
    EXPECT_EQ(pw.Encrypt(QString()), u"");
    for (int round = 0; round < 200; ++round) {
        const QString text = randomText(random, random.bounded(1, 40));
        const QString scrambled = pw.Encrypt(text);
        ASSERT_EQ(scrambled.size(), text.size());
        EXPECT_EQ(pw.Encrypt(scrambled), text);
        EXPECT_EQ(scrambled, byTable(text, QString::fromLatin1(clsEncryptPW::ProgramKey)));
    }
    // Any key of alphabet characters works, CR and LF included.
    const clsEncryptPW odd = withKey(QStringLiteral("\r~ \n").remove(u' '));
    const QString text = QStringLiteral("line one\r\nline two").remove(u' ');
    EXPECT_EQ(odd.Encrypt(odd.Encrypt(text)), text);
}

TEST(EncryptPWTest, AShortKeyIsRepeatedFromItsFirstCharacter)
{
    const clsEncryptPW pw = withKey("ab");
    const QString scrambled = pw.Encrypt("xxxxx");
    EXPECT_EQ(scrambled.at(0), scrambled.at(2));
    EXPECT_EQ(scrambled.at(0), scrambled.at(4));
    EXPECT_NE(scrambled.at(0), scrambled.at(1));
    // Each call starts the key afresh.
    EXPECT_EQ(pw.Encrypt("x"), scrambled.left(1));
}

TEST(EncryptPWTest, StoredPasswordsStayReadable)
{
    // Scrambled by the shipped alphabet and key: a change to either breaks
    // every password already stored, and this test.
    const clsEncryptPW pw = withKey(QString::fromLatin1(clsEncryptPW::ProgramKey));
    const QString stored = pw.Encrypt("Secret#2024");
    EXPECT_EQ(stored, "[w64HdT`U`7");
    EXPECT_EQ(pw.Encrypt(stored), u"Secret#2024");
}

TEST(EncryptPWTest, CharactersOutsideTheAlphabetAreRefusedWithoutEchoingThePassword)
{
    const clsEncryptPW pw = withKey(QString::fromLatin1(clsEncryptPW::ProgramKey));
    for (const char *raw : {"qwer tyui", "qwer\ttyui", "qwer\u00e9tyui"}) {
        const QString text = QString::fromUtf8(raw);
        try {
            pw.Encrypt(text);
            ADD_FAILURE() << "accepted a character outside the alphabet";
        } catch (const QvError &e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidCharacter);
            EXPECT_TRUE(e.description().contains("character 5")) << e.description().toStdString();
            EXPECT_FALSE(e.description().contains("qwer"));
        }
    }
    clsEncryptPW keyless;
    EXPECT_THROW(keyless.Encrypt("x"), QvError);
    EXPECT_EQ(keyless.Encrypt(QString()), u"");
    EXPECT_THROW(keyless.setKeyString("key word"), QvError);
}

} // namespace
