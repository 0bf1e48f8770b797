#include "admin/TerminalText.h"

QString TerminalSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool bidi = (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E ||
                          u == 0x200F || u == 0x061C;
        if (u == u'\\')
            out += QStringLiteral("\\\\");
        else if (u < 0x20 || u == 0x7F)
            out += QStringLiteral("\\x") + QString::number(u, 16).rightJustified(2, u'0');
        else if ((u >= 0x80 && u < 0xA0) || bidi)
            out += QStringLiteral("\\u{") + QString::number(u, 16).rightJustified(4, u'0') + u'}';
        else
            out += c;
    }
    return out;
}
