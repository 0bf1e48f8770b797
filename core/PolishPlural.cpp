#include "core/PolishPlural.h"

namespace PolishPlural {

const Forms kPupil{QStringLiteral("uczeń"), QStringLiteral("uczniowie"), QStringLiteral("uczniów")};
const Forms kSubject{QStringLiteral("przedmiot"), QStringLiteral("przedmioty"), QStringLiteral("przedmiotów")};

QString FormFor(qint64 count, const Forms& forms)
{
    const qint64 n = count < 0 ? -count : count;
    if (n == 1)
        return forms.One;
    const qint64 units = n % 10;
    const qint64 tens = n % 100;
    if (units >= 2 && units <= 4 && !(tens >= 12 && tens <= 14))
        return forms.Few;
    return forms.Many;
}

QString Count(qint64 count, const Forms& forms)
{
    return QString::number(count) + QLatin1Char(' ') + FormFor(count, forms);
}

QString PupilsCaption(const QStringList& names)
{
    const QString noun = names.size() == 1 ? QStringLiteral("Uczeń: ") : QStringLiteral("Uczniowie: ");
    return noun + names.join(QStringLiteral(", "));
}

} // namespace PolishPlural
