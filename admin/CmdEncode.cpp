#include "admin/Command.h"
#include "admin/InputLines.h"

#include "encoding/TextCodec.h"
#include "encoding/ValueCipher.h"

namespace {

const char* const encodeHelp =
    "Użycie: tabulon-admin encode [--] [TEKST...]\n\n"
    "Koduje każdy TEKST tak, jak program przechowuje wartości w pliku ustawień i w plikach\n"
    "danych szkoły, i wypisuje jedną zakodowaną wartość w wierszu. Bez TEKSTU koduje każdy\n"
    "wiersz standardowego wejścia. Tekst (UTF-8) jest zamieniany na stronę kodową\n"
    "Windows-1250; tekst ze znakiem, którego ta strona nie zawiera, jest odrzucany.\n"
    "Tekst zaczynający się od „--” podaje się po „--”.\n";

int runEncode(const QStringList& args)
{
    int exitCode = 0;
    const std::optional<QStringList> given = CommandValues(args, "encode", encodeHelp, &exitCode);
    if (!given)
        return exitCode;
    const QStringList& texts = *given;
    // Everything is checked before anything is written, so a refused run prints nothing.
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QString offending;
        if (!TextCodec::canEncode(texts[i], TextCodec::CodePage::Windows1250, &offending)) {
            const uint code = offending.isEmpty() ? 0 : offending.toUcs4().value(0);
            adminError(
                QStringLiteral("tekst nr %1 zawiera znak „%2” (U+%3), którego nie ma w stronie kodowej "
                               "Windows-1250; nic nie zakodowano")
                    .arg(i + 1)
                    .arg(offending, QString::number(code, 16).toUpper().rightJustified(4, u'0')));
            return 2;
        }
    }
    QString out;
    for (const QString& text : texts)
        out += EncodeValue(text) + QLatin1Char('\n');
    adminOut(out);
    return 0;
}

const AdminCommandRegistration registration({"encode", "koduje teksty tak jak wartości plików szkoły",
                                             runEncode});

} // namespace
