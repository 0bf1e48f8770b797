#include "core/HelpSections.h"

namespace HelpSections {

QString ForStep(int step, int topic)
{
    switch (step) {
    case 0:
        return QStringLiteral("kroki");
    case 1:
        return QStringLiteral("krok-nauczyciel");
    case 2:
        return QStringLiteral("krok-zagadnienie");
    case 3:
        switch (topic) {
        case 0:
            return QStringLiteral("okno-werdykon");
        case 1:
            return QStringLiteral("okno-zachowanie");
        case 5:
            return QStringLiteral("okno-uzasadnienie");
        default:
            return QStringLiteral("okno-realizacja");
        }
    case 4:
        return QStringLiteral("podglad");
    case 5:
        return QStringLiteral("wysylka");
    default:
        return QString();
    }
}

QString PageAt(const QString& page, const QString& anchor)
{
    return anchor.isEmpty() ? page : page + QLatin1Char('#') + anchor;
}

void Split(const QString& pageAt, QString* page, QString* anchor)
{
    // Only the last "#" can begin the anchor; a folder may hold one in its name.
    const qsizetype mark = pageAt.lastIndexOf(QLatin1Char('#'));
    const bool hasAnchor = mark >= 0 && !pageAt.mid(mark + 1).contains(QLatin1Char('/')) &&
                           !pageAt.mid(mark + 1).contains(QLatin1Char('\\'));
    *page = hasAnchor ? pageAt.left(mark) : pageAt;
    *anchor = hasAnchor ? pageAt.mid(mark + 1) : QString();
}

} // namespace HelpSections
