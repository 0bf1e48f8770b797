#include "admin/InputLines.h"

#include "admin/Command.h"
#include "core/TextLines.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdio>

namespace {

std::optional<QStringList> readInputLines()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return std::nullopt;
    // CR and LF never occur inside a UTF-8 sequence, so the bytes can be split first.
    QStringList lines;
    for (const QByteArray& bytes : TextLines::split(in.readAll())) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        lines.append(decoder(bytes));
        if (decoder.hasError())
            return std::nullopt;
    }
    return lines;
}

} // namespace

std::optional<QStringList> CommandValues(const QStringList& args, const char* command, const char* help,
                                         int* exitCode)
{
    QStringList values = args;
    if (!values.isEmpty() &&
        (values.first() == QLatin1String("--help") || values.first() == QLatin1String("-h"))) {
        adminOut(QString::fromUtf8(help));
        *exitCode = 0;
        return std::nullopt;
    }
    if (!values.isEmpty() && values.first() == QLatin1String("--")) {
        values.removeFirst();
    } else if (!values.isEmpty() && values.first().startsWith(QLatin1String("--"))) {
        adminError(QStringLiteral("nieznana opcja „%1”; „tabulon-admin %2 --help” opisuje polecenie")
                       .arg(values.first(), QString::fromUtf8(command)));
        *exitCode = 2;
        return std::nullopt;
    }
    if (args.isEmpty()) {
        std::optional<QStringList> lines = readInputLines();
        if (!lines) {
            adminError(QStringLiteral("standardowe wejście nie jest poprawnym tekstem UTF-8"));
            *exitCode = 2;
        }
        return lines;
    }
    return values;
}
