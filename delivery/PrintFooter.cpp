#include "delivery/PrintFooter.h"

QString PrintFooter(const QString& kind, int page, int pageCount)
{
    const QString where = QStringLiteral("strona %1 z %2").arg(page).arg(pageCount);
    const QString trimmed = kind.simplified();
    return trimmed.isEmpty() ? where : trimmed + QStringLiteral(" - ") + where;
}
