#include "update/VersionDate.h"

QDate ParseVersionDate(const QString& text)
{
    const QString t = text.trimmed();
    // "d" takes one or two digits, so this also reads "dd.MM.yyyy".
    QDate date = QDate::fromString(t, QStringLiteral("d.MM.yyyy"));
    if (!date.isValid())
        date = QDate::fromString(t, QStringLiteral("yyyy-MM-dd"));
    return date;
}
