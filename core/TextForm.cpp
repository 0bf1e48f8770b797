#include "core/TextForm.h"

QStringList MemoLines(const QString& plainText)
{
    if (plainText.isEmpty())
        return {};
    QString text = plainText;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

QString MemoToText(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('&');
    return text;
}

QStringList SplitText(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('&'));
    // The piece after the last "&" is not a line (for "x&y&" it is the empty tail).
    lines.removeLast();
    return lines;
}

QString JoinWithCommas(const QStringList& items)
{
    return items.join(QLatin1String(", "));
}
