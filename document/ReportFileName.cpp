#include "document/ReportFileName.h"

namespace {

// Room for the ".xml" extension within the usual limit of 255 bytes per name.
constexpr int kMaxNameBytes = 200;

bool unfitForFileName(QChar c)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7F || forbidden.contains(c);
}

} // namespace

QString SafeFileName(const QString& name)
{
    QString safe = name;
    for (QChar& c : safe) {
        if (unfitForFileName(c))
            c = QLatin1Char('-');
    }
    while (safe.toUtf8().size() > kMaxNameBytes) {
        safe.chop(1);
        if (!safe.isEmpty() && safe.back().isHighSurrogate())
            safe.chop(1);
    }
    return safe;
}

QString ReportFileName(const QString& prefix, const QStringList& values)
{
    QString name = prefix;
    for (const QString& value : values)
        name += QLatin1Char('_') + value;
    return SafeFileName(name);
}
