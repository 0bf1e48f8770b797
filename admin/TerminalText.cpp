#include "admin/TerminalText.h"

namespace {

QString escaped(const QString& text, bool doubleBackslash)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' && doubleBackslash)
            out += QLatin1String("\\\\");
        else if (u == u'\n')
            out += QLatin1String("\\n");
        else if (u == u'\r')
            out += QLatin1String("\\r");
        else if (u == u'\t')
            out += QLatin1String("\\t");
        else if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            out += QLatin1String("\\x") + QString::number(u, 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else if (u == 0x2028 || u == 0x2029)
            out += QLatin1String("\\u") + QString::number(u, 16).toUpper();
        else
            out += c;
    }
    return out;
}

} // namespace

QString TerminalText(const QString& text)
{
    return escaped(text, false);
}

QString ReversibleTerminalText(const QString& text)
{
    return escaped(text, true);
}
