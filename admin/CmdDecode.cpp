#include "admin/Command.h"
#include "admin/InputLines.h"

#include "document/ValueCipher.h"

namespace {

const char* const decodeHelp =
    "Użycie: tabulon-admin decode [--] [WARTOŚĆ...]\n\n"
    "Odkodowuje każdą WARTOŚĆ zapisaną w pliku ustawień lub w pliku danych szkoły i wypisuje\n"
    "jej tekst (UTF-8), jeden wiersz na wartość. Wartość, której nie da się odkodować, daje\n"
    "pusty wiersz, tak jak w programie. Bez WARTOŚCI odkodowuje każdy wiersz standardowego\n"
    "wejścia.\n";

int runDecode(const QStringList& args)
{
    QStringList values = args;
    if (!values.isEmpty() &&
        (values.first() == QLatin1String("--help") || values.first() == QLatin1String("-h"))) {
        adminOut(QString::fromUtf8(decodeHelp));
        return 0;
    }
    if (!values.isEmpty() && values.first() == QLatin1String("--")) {
        values.removeFirst();
    } else if (!values.isEmpty() && values.first().startsWith(QLatin1String("--"))) {
        adminError(QStringLiteral("nieznana opcja „%1”; „tabulon-admin decode --help” opisuje polecenie")
                       .arg(values.first()));
        return 2;
    }
    if (args.isEmpty()) {
        const std::optional<QStringList> lines = readInputLines();
        if (!lines) {
            adminError(QStringLiteral("standardowe wejście nie jest poprawnym tekstem UTF-8"));
            return 2;
        }
        values = *lines;
    }
    QString out;
    for (const QString& value : values)
        out += DecodeValue(value) + QLatin1Char('\n');
    adminOut(out);
    return 0;
}

const AdminCommandRegistration registration({"decode", "odkodowuje wartości pliku ustawień i plików danych",
                                             runDecode});

} // namespace
