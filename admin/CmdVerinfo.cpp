#include "admin/Command.h"

#include "encoding/TextCodec.h"
#include "encoding/ValueCipher.h"
#include "files/SafeFile.h"
#include "update/DataUpdate.h"
#include "update/VersionDate.h"

namespace {

const char* const verinfoHelp =
    "Użycie: tabulon-admin verinfo --dates DATA1 DATA2 DATA3 --version WERSJA [-o PLIK]\n\n"
    "Tworzy plik informacji o wersji „verinfo.inf”: pięć zakodowanych wierszy (znacznik\n"
    "„TabulonInfo”, trzy daty wydania danych, wersja programu), zakończonych CR LF.\n"
    "Program pobiera wszystkie trzy pliki danych, gdy którakolwiek data jest późniejsza\n"
    "od zainstalowanej, i porównuje pierwsze pięć znaków wersji ze swoją („2.1.1”).\n\n"
    "  --dates DATA1 DATA2 DATA3  daty w postaci dd.MM.rrrr (np. 01.09.2024 lub 1.09.2024)\n"
    "                             albo rrrr-MM-dd\n"
    "  --version WERSJA           wersja programu, np. 2.1.1\n"
    "  -o PLIK                    zapisuje do PLIKU (w całości albo wcale) zamiast na\n"
    "                             standardowe wyjście\n";

int usageError(const QString& text)
{
    adminError(text + QStringLiteral("; „tabulon-admin verinfo --help” opisuje polecenie"));
    return 2;
}

int runVerinfo(const QStringList& args)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        adminOut(QString::fromUtf8(verinfoHelp));
        return 0;
    }

    QStringList dates;
    QString version;
    QString output;
    bool haveDates = false;
    bool haveVersion = false;
    bool haveOutput = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (option == QLatin1String("--dates")) {
            if (haveDates)
                return usageError(QStringLiteral("opcja --dates podana więcej niż raz"));
            if (i + 3 >= args.size())
                return usageError(QStringLiteral("opcja --dates wymaga trzech dat"));
            dates = args.mid(i + 1, 3);
            i += 3;
            haveDates = true;
        } else if (option == QLatin1String("--version") || option == QLatin1String("-o")) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("opcja %1 wymaga wartości").arg(option));
            const bool isVersion = option == QLatin1String("--version");
            if (isVersion ? haveVersion : haveOutput)
                return usageError(QStringLiteral("opcja %1 podana więcej niż raz").arg(option));
            (isVersion ? version : output) = args[++i];
            (isVersion ? haveVersion : haveOutput) = true;
        } else {
            return usageError(QStringLiteral("nieznana opcja lub zbędny argument „%1”").arg(option));
        }
    }
    if (!haveDates)
        return usageError(QStringLiteral("brak opcji --dates"));
    if (!haveVersion)
        return usageError(QStringLiteral("brak opcji --version"));
    for (const QString& date : dates) {
        if (!ParseVersionDate(date).isValid())
            return usageError(
                QStringLiteral("„%1” nie jest datą w postaci dd.MM.rrrr ani rrrr-MM-dd").arg(date));
    }
    const QString trimmedVersion = version.trimmed();
    if (trimmedVersion.isEmpty())
        return usageError(QStringLiteral("wersja programu jest pusta"));
    QString offending;
    if (!TextCodec::canEncode(trimmedVersion, TextCodec::CodePage::Windows1250, &offending) ||
        trimmedVersion.contains(u'\r') || trimmedVersion.contains(u'\n'))
        return usageError(QStringLiteral("wersja programu „%1” zawiera niedozwolony znak").arg(version));
    if (!trimmedVersion.startsWith(kProgramVersion))
        adminError(QStringLiteral("uwaga: program w wersji %1 uzna się za nieaktualny wobec wersji „%2”")
                       .arg(kProgramVersion, trimmedVersion));

    QStringList lines{kVersionMarker};
    for (const QString& date : dates)
        lines << date.trimmed();
    lines << trimmedVersion;
    QByteArray content;
    for (const QString& line : lines)
        content += EncodeValue(line).toLatin1() + "\r\n";

    if (!haveOutput) {
        std::fwrite(content.constData(), 1, static_cast<size_t>(content.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : 2;
    }
    if (const FileResult written = SafeFile::Write(output, content); !written) {
        adminError(QStringLiteral("nie można zapisać pliku „%1”: %2").arg(output, FileFailureText(written)));
        return 2;
    }
    return 0;
}

const AdminCommandRegistration registration({"verinfo", "tworzy zakodowany plik informacji o wersji",
                                             runVerinfo});

} // namespace
