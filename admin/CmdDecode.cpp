#include "admin/Command.h"
#include "admin/InputLines.h"
#include "admin/TerminalText.h"

#include "encoding/ValueCipher.h"

namespace {

const char* const decodeHelp =
    "Użycie: tabulon-admin decode [--] [WARTOŚĆ...]\n\n"
    "Odkodowuje każdą WARTOŚĆ zapisaną w pliku ustawień lub w pliku danych szkoły i wypisuje\n"
    "jej tekst (UTF-8), jeden wiersz na wartość. Wartość, której nie da się odkodować, daje\n"
    "pusty wiersz, tak jak w programie. Bez WARTOŚCI odkodowuje każdy wiersz standardowego\n"
    "wejścia.\n\n"
    "Aby każda wartość zajęła dokładnie jeden wiersz, znaki sterujące tekstu są wypisywane\n"
    "jako sekwencje \\xNN (NN szesnastkowo: koniec wiersza to \\x0a, powrót karetki \\x0d,\n"
    "tabulator \\x09), znaki C1 i sterujące kierunkiem pisma jako \\u{NNNN}, a sam ukośnik\n"
    "wsteczny jako \\\\.\n";

int runDecode(const QStringList& args)
{
    int exitCode = 0;
    const std::optional<QStringList> given = CommandValues(args, "decode", decodeHelp, &exitCode);
    if (!given)
        return exitCode;
    const QStringList& values = *given;
    QString out;
    for (const QString& value : values)
        out += TerminalSafe(DecodeValue(value)) + QLatin1Char('\n');
    adminOut(out);
    return 0;
}

const AdminCommandRegistration registration({"decode", "odkodowuje wartości pliku ustawień i plików danych",
                                             runDecode});

} // namespace
