#include "platform/core/OutgoingText.h"

#include <algorithm>

namespace quorvale {

namespace {

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7f && u <= 0x9f);
}

} // namespace

QString outgoingText(const QString &text, ControlCharacters how)
{
    if (std::none_of(text.begin(), text.end(), isControl))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!isControl(c)) {
            out += c;
            continue;
        }
        const char16_t u = c.unicode();
        switch (how) {
        case ControlCharacters::DropKeepLines:
            if (u == u'\t' || u == u'\n' || u == u'\r')
                out += c;
            break;
        case ControlCharacters::DropOneLine:
            if (u == u'\t') {
                out += c;
            } else if (u == u'\n' || u == u'\r') {
                if (u == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                    ++i;
                out += u' ';
            }
            break;
        case ControlCharacters::Escape:
            if (u == u'\t')
                out += QLatin1String("\\t");
            else if (u == u'\n')
                out += QLatin1String("\\n");
            else if (u == u'\r')
                out += QLatin1String("\\r");
            else
                out += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
            break;
        }
    }
    return out;
}

} // namespace quorvale
