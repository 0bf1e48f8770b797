#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <cstdio>
#include <optional>

// The lines of standard input, read as UTF-8. A line ends at CR LF, CR or LF, as the
// program reads its own text files; an end of line before the end of input does not
// start another line. No value when the input is not valid UTF-8.
inline std::optional<QStringList> readInputLines()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = in.readAll();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    QStringList lines;
    QString line;
    bool open = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            lines.append(line);
            line.clear();
            open = false;
        } else {
            line.append(c);
            open = true;
        }
    }
    if (open)
        lines.append(line);
    return lines;
}
