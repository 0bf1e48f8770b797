#include "shell/TextLines.h"

#include <QFile>
#include <QSaveFile>

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

std::optional<QList<QByteArray>> load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return split(text);
}

bool save(const QString& path, const QList<QByteArray>& lines)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray& line : lines) {
        if (file.write(line) != line.size() || file.write("\r\n", 2) != 2) {
            file.cancelWriting();
            return false;
        }
    }
    return file.commit();
}

bool copy(const QString& source, const QString& target)
{
    const std::optional<QList<QByteArray>> lines = load(source);
    return lines && save(target, *lines);
}

} // namespace TextLines
