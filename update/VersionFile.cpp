#include "update/VersionFile.h"

#include "core/TextLines.h"
#include "encoding/ValueCipher.h"
#include "update/VersionDate.h"

QString VersionLine(const QList<QByteArray>& lines, int index)
{
    return index < lines.size() ? DecodeValue(QString::fromLatin1(lines.at(index))) : QString();
}

bool VersionFileIsSound(const QList<QByteArray>& lines)
{
    if (lines.size() < kVersionFileLines || VersionLine(lines, 0) != kVersionMarker)
        return false;
    for (int i = 1; i <= 3; ++i) {
        if (!ParseVersionDate(VersionLine(lines, i)).isValid())
            return false;
    }
    return true;
}

bool VersionFileIsSound(const QByteArray& bytes)
{
    return VersionFileIsSound(TextLines::split(bytes));
}
