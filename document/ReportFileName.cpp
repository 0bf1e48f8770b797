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
    // One pass: the longest start whose UTF-8 form fits, never ending inside a
    // surrogate pair.
    qsizetype bytes = 0;
    qsizetype cut = 0;
    while (cut < safe.size()) {
        const char16_t c = safe.at(cut).unicode();
        const bool pair = QChar::isHighSurrogate(c) && cut + 1 < safe.size() && safe.at(cut + 1).isLowSurrogate();
        const int width = pair ? 4 : c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (bytes + width > kMaxNameBytes)
            break;
        bytes += width;
        cut += pair ? 2 : 1;
    }
    if (cut > 0 && cut < safe.size() && safe.at(cut - 1).isHighSurrogate())
        --cut;
    safe.truncate(cut);
    return safe;
}

QString ReportFileName(const QString& prefix, const QStringList& values)
{
    QString name = prefix;
    for (const QString& value : values)
        name += QLatin1Char('_') + value;
    return SafeFileName(name);
}
