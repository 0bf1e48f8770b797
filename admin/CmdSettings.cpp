#include "admin/Command.h"
#include "admin/TerminalText.h"

#include "core/AppState.h"
#include "encoding/TextCodec.h"
#include "encoding/ValueCipher.h"
#include "files/SafeFile.h"

#include <QMap>
#include <QStringDecoder>

#include <optional>

namespace {

const char* const settingsHelp =
    "Użycie: tabulon-admin settings --mode TRYB --network-folder FOLDER --update-source ŹRÓDŁO\n"
    "           --smtp-port PORT --smtp-host SERWER --sender ADRES\n"
    "           (--password HASŁO | --password-file PLIK) --school ADRESY\n"
    "           [--allow-plain-login] [-o PLIK]\n\n"
    "Tworzy plik ustawień programu: dziewięć zakodowanych wierszy (znacznik „Tabulon”,\n"
    "tryb pracy, folder sieciowy, źródło aktualizacji, port SMTP, serwer SMTP, adres\n"
    "nadawcy, hasło SMTP, adres szkoły), zakończonych CR LF, oraz dziesiąty wiersz, gdy\n"
    "podano --allow-plain-login.\n\n"
    "  --mode TRYB             „lokalny” (praca w domu) albo „sieciowy” (sieć szkolna)\n"
    "  --network-folder FOLDER folder sieciowy na sprawozdania (może być pusty)\n"
    "  --update-source ŹRÓDŁO  adres URL lub folder, z którego pobiera się dane\n"
    "  --smtp-port PORT        liczba całkowita od 1 do 65535\n"
    "  --smtp-host SERWER      serwer poczty wychodzącej\n"
    "  --sender ADRES          adres nadawcy, zarazem nazwa użytkownika SMTP\n"
    "  --password HASŁO        hasło SMTP\n"
    "  --password-file PLIK    pierwszy wiersz PLIKU jako hasło SMTP (hasło nie stoi\n"
    "                          wtedy w wierszu poleceń)\n"
    "  --school ADRESY         adres poczty szkoły, na który idą sprawozdania\n"
    "  --allow-plain-login     pozwala wysłać hasło SMTP połączeniem bez szyfrowania,\n"
    "                          gdy serwer nie oferuje STARTTLS; bez tej opcji program\n"
    "                          w takim przypadku nie wysyła listu ani hasła\n"
    "  -o PLIK                 zapisuje do PLIKU (w całości albo wcale) zamiast na\n"
    "                          standardowe wyjście\n"
    "Opcję można też podać jako --opcja=WARTOŚĆ.\n\n"
    "Program łączy się z serwerem poczty przez STARTTLS (port 465: TLS od początku) zawsze,\n"
    "gdy serwer to oferuje, i sprawdza jego certyfikat. Certyfikat własnego urzędu\n"
    "certyfikacji szkoły (PEM) umieszcza się w pliku tabulon-ca.pem obok programu.\n";

const QStringList valueOptions = {
    QStringLiteral("--mode"),      QStringLiteral("--network-folder"), QStringLiteral("--update-source"),
    QStringLiteral("--smtp-port"), QStringLiteral("--smtp-host"),      QStringLiteral("--sender"),
    QStringLiteral("--password"),  QStringLiteral("--password-file"),  QStringLiteral("--school"),
    QStringLiteral("-o"),
};

int usageError(const QString& text)
{
    adminError(text + QStringLiteral("; „tabulon-admin settings --help” opisuje polecenie"));
    return 2;
}

// The first line of a file, without its line end.
std::optional<QString> readPasswordFile(const QString& path, QString* error)
{
    // Only the first line is wanted; a password is short.
    QByteArray bytes;
    if (const FileResult read = SafeFile::Read(path, 64 * 1024, &bytes); !read) {
        *error =
            QStringLiteral("nie można odczytać pliku z hasłem „%1”: %2").arg(path, FileFailureText(read));
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError()) {
        *error = QStringLiteral("plik z hasłem „%1” nie jest tekstem UTF-8").arg(path);
        return std::nullopt;
    }
    qsizetype end = 0;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
        ++end;
    return text.left(end);
}

// A port is a whole decimal number from 1 to 65535, written without sign or blanks.
bool isValidPort(const QString& text)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    const int port = text.toInt();
    return port >= 1 && port <= 65535;
}

int runSettings(const QStringList& args)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        adminOut(QString::fromUtf8(settingsHelp));
        return 0;
    }

    QMap<QString, QString> given;
    bool allowPlainLogin = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        QString option = args[i];
        if (option == QLatin1String("--allow-plain-login")) {
            if (allowPlainLogin)
                return usageError(QStringLiteral("opcja --allow-plain-login podana więcej niż raz"));
            allowPlainLogin = true;
            continue;
        }
        QString value;
        bool hasValue = false;
        const qsizetype eq = option.indexOf(u'=');
        if (option.startsWith(QLatin1String("--")) && eq > 0) {
            value = option.mid(eq + 1);
            option = option.left(eq);
            hasValue = true;
        }
        if (!valueOptions.contains(option))
            return usageError(
                QStringLiteral("nieznana opcja lub zbędny argument „%1”").arg(TerminalSafe(args[i])));
        if (!hasValue) {
            if (i + 1 >= args.size())
                return usageError(QStringLiteral("opcja %1 wymaga wartości").arg(option));
            value = args[++i];
        }
        if (given.contains(option))
            return usageError(QStringLiteral("opcja %1 podana więcej niż raz").arg(option));
        given.insert(option, value);
    }

    if (given.contains(QStringLiteral("--password")) && given.contains(QStringLiteral("--password-file")))
        return usageError(QStringLiteral("podaj --password albo --password-file, nie obie"));
    if (given.contains(QStringLiteral("--password-file"))) {
        QString error;
        const std::optional<QString> password =
            readPasswordFile(given.value(QStringLiteral("--password-file")), &error);
        if (!password) {
            adminError(error);
            return 2;
        }
        given.insert(QStringLiteral("--password"), *password);
    }

    // The lines of the file in order, after the marker.
    const QStringList lineOptions = {
        QStringLiteral("--mode"),      QStringLiteral("--network-folder"), QStringLiteral("--update-source"),
        QStringLiteral("--smtp-port"), QStringLiteral("--smtp-host"),      QStringLiteral("--sender"),
        QStringLiteral("--password"),  QStringLiteral("--school"),
    };
    QStringList missing;
    for (const QString& option : lineOptions) {
        if (!given.contains(option))
            missing.append(option == QLatin1String("--password")
                               ? QStringLiteral("--password (lub --password-file)")
                               : option);
    }
    if (!missing.isEmpty())
        return usageError(QStringLiteral("brak opcji: %1").arg(missing.join(QStringLiteral(", "))));

    const QString mode = given.value(QStringLiteral("--mode"));
    if (mode != QLatin1String("lokalny") && mode != QLatin1String("sieciowy"))
        return usageError(
            QStringLiteral("tryb „%1” nie jest ani „lokalny”, ani „sieciowy”").arg(TerminalSafe(mode)));
    if (!isValidPort(given.value(QStringLiteral("--smtp-port"))))
        return usageError(QStringLiteral("port SMTP „%1” nie jest liczbą całkowitą od 1 do 65535")
                              .arg(TerminalSafe(given.value(QStringLiteral("--smtp-port")))));
    for (const QString& option : {QStringLiteral("--update-source"), QStringLiteral("--smtp-host"),
                                  QStringLiteral("--sender"), QStringLiteral("--school")}) {
        if (given.value(option).trimmed().isEmpty())
            return usageError(QStringLiteral("opcja %1 ma pustą wartość").arg(option));
    }

    QStringList lines = {QStringLiteral("Tabulon")};
    for (const QString& option : lineOptions) {
        const QString value = given.value(option);
        // The program reads the file line by line, so a value may not hold a line end.
        if (value.contains(u'\r') || value.contains(u'\n'))
            return usageError(QStringLiteral("wartość opcji %1 zawiera koniec wiersza").arg(option));
        QString offending;
        if (!TextCodec::canEncode(value, TextCodec::CodePage::Windows1250, &offending))
            return usageError(QStringLiteral("wartość opcji %1 zawiera znak „%2”, którego nie ma w stronie "
                                             "kodowej Windows-1250")
                                  .arg(option, TerminalSafe(offending)));
        lines.append(value);
    }

    // The program appends the separator itself, also after one that is already there:
    // "/" after a web address; in school-network mode the folder separator of the
    // system it runs on, which may be either.
    const bool network = mode == QLatin1String("sieciowy");
    const auto endsWithSeparator = [network](const QString& value) {
        return network ? (value.endsWith(u'\\') || value.endsWith(u'/')) : value.endsWith(u'/');
    };
    const QString source = given.value(QStringLiteral("--update-source"));
    if (endsWithSeparator(source))
        adminError(QStringLiteral("uwaga: program sam dopisuje separator na końcu źródła aktualizacji; „%1” "
                                  "da podwójny znak")
                       .arg(TerminalSafe(source)));
    const QString folder = given.value(QStringLiteral("--network-folder"));
    if (network && endsWithSeparator(folder))
        adminError(QStringLiteral("uwaga: program sam dopisuje separator na końcu folderu sieciowego; „%1” "
                                  "da podwójny znak")
                       .arg(TerminalSafe(folder)));

    // The optional tenth line; a file without it reads as before.
    if (allowPlainLogin)
        lines.append(kAllowPlainLogin);

    QByteArray content;
    for (const QString& line : lines)
        content += EncodeValue(line).toLatin1() + "\r\n";

    if (!given.contains(QStringLiteral("-o"))) {
        std::fwrite(content.constData(), 1, static_cast<size_t>(content.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : 2;
    }
    const QString path = given.value(QStringLiteral("-o"));
    // The file holds the mail password: a new one is readable by its owner only.
    if (const FileResult written = SafeFile::Write(path, content, SafeFile::Access::Private); !written) {
        adminError(QStringLiteral("nie można zapisać pliku ustawień „%1”: %2")
                       .arg(TerminalSafe(path), FileFailureText(written)));
        return 2;
    }
    return 0;
}

const AdminCommandRegistration registration({"settings", "tworzy zakodowany plik ustawień programu",
                                             runSettings});

} // namespace
