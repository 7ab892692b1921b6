#include "platform/core/OutgoingText.h"

#include <gtest/gtest.h>

using namespace quorvale;

TEST(OutgoingText, ControlCharactersAreDroppedOrShownAndNothingElseChanges)
{
    const QString c1 = QString(QChar(0x85)) + QChar(0x9b);
    const QString all = QStringLiteral("a\x1b[31mb") + QChar(0x00) + QStringLiteral("\x01\x7f") +
                        c1 + QStringLiteral("c\td\r\ne\rf\ng");
    struct Case {
        const char *what;
        QString in;
        ControlCharacters how;
        QString out;
    } cases[] = {
        {"lines kept", all, ControlCharacters::DropKeepLines,
         QStringLiteral("a[31mbc\td\r\ne\rf\ng")},
        {"one line", all, ControlCharacters::DropOneLine, QStringLiteral("a[31mbc\td e f g")},
        {"escaped", all, ControlCharacters::Escape,
         QStringLiteral("a\\x1b[31mb\\x00\\x01\\x7f\\x85\\x9bc\\td\\r\\ne\\rf\\ng")},
        // Neighbours of the control ranges and other scripts stay as they are.
        {"plain", QStringLiteral(" ~") + QChar(0xa0) + QStringLiteral("Straße 日本 😀\\x1b"),
         ControlCharacters::Escape,
         QStringLiteral(" ~") + QChar(0xa0) + QStringLiteral("Straße 日本 😀\\x1b")},
        {"empty", QString(), ControlCharacters::DropOneLine, QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(outgoingText(c.in, c.how), c.out) << c.what;
}
