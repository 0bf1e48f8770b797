#include "core/TextLines.h"

#include "files/SafeFile.h"

namespace TextLines {

QList<QByteArray> split(const QByteArray& text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char c = text.at(i);
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.append(text.mid(start, i - start));
        i += (c == '\r' && i + 1 < text.size() && text.at(i + 1) == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

std::optional<QList<QByteArray>> load(const QString& path, qint64 maxBytes)
{
    QByteArray text;
    if (!SafeFile::Read(path, maxBytes, &text))
        return std::nullopt;
    return split(text);
}

QByteArray join(const QList<QByteArray>& lines)
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += line + "\r\n";
    return text;
}

FileResult save(const QString& path, const QList<QByteArray>& lines, SafeFile::Access access)
{
    return SafeFile::Write(path, join(lines), access);
}

FileResult copy(const QString& source, const QString& target, qint64 maxBytes, SafeFile::Access access)
{
    QByteArray text;
    const FileResult read = SafeFile::Read(source, maxBytes, &text);
    if (!read)
        return read;
    return save(target, split(text), access);
}

} // namespace TextLines
