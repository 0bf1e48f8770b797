// tabulon-admin collect WEJŚCIE... [-o summary.html] [--pdf summary.pdf] [--csv reports.csv]
// [--data DIR [--missing missing.csv]]: reads the handed-in reports from folders, files
// and mailboxes and writes the staff meeting's summary and the lists for a spreadsheet.

#include "admin/Command.h"
#include "admin/TerminalText.h"
#include "admin/PasswordInput.h"
#include "collect/InputCollector.h"
#include "collect/MailboxCache.h"
#include "collect/MailboxSync.h"
#include "collect/OutputCheck.h"
#include "collect/ReportCollection.h"
#include "collect/ReportsCsv.h"
#include "collect/SummaryHtml.h"
#include "collect/SummaryPdf.h"
#include "files/SafeFile.h"
#include "core/SchoolData.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

const char* const kUsage =
    "Użycie: tabulon-admin collect WEJŚCIE... [-o ZESTAWIENIE.html] [--pdf ZESTAWIENIE.pdf]\n"
    "                              [--csv SPRAWOZDANIA.csv] [--data FOLDER [--missing BRAKI.csv]]\n"
    "                              [--imap imaps://SERWER[:PORT]/FOLDER --user KONTO\n"
    "                               [--password-file PLIK]]\n"
    "\n"
    "Zbiera oddane sprawozdania i sporządza zestawienie na posiedzenie rady pedagogicznej.\n"
    "\n"
    "WEJŚCIE to dowolnie wiele plików i folderów:\n"
    "  *.xml               dokumenty sprawozdań (tak jak je zapisuje program),\n"
    "  *.eml               pojedyncze listy; sprawozdaniem jest załącznik *.xml,\n"
    "  *.mbox, *.mbx       skrzynki pocztowe w formacie mbox (także plik bez rozszerzenia,\n"
    "                      który zaczyna się od „From ”); nowy list zaczyna każdy wiersz\n"
    "                      zaczynający się od „From ”,\n"
    "  folder Maildir      folder z podfolderami cur/ i new/,\n"
    "  inny folder         przeszukiwany wraz z podfolderami (do 16 poziomów).\n"
    "Z opcją --imap wejściem jest też skrzynka szkoły na serwerze IMAP (wtedy inne\n"
    "wejścia nie są konieczne).\n"
    "Wewnątrz podanych folderów dowiązania symboliczne nie są otwierane. Dokument jest\n"
    "czytany w kodowaniu, które deklaruje: Windows-1250 (jak zapisuje go program), UTF-8\n"
    "(także ze znacznikiem BOM, także bez deklaracji) albo UTF-16 ze znacznikiem FF FE.\n"
    "Nic nie jest pomijane po cichu: dokument, który nie jest sprawozdaniem, jest\n"
    "uszkodzony albo nieczytelny, list ponad limity (64 MB, nagłówki razem 1 MB,\n"
    "1000 części MIME, 16 poziomów zagnieżdżenia), folder, którego nie można odczytać\n"
    "albo leżący za głęboko, trafia na listę z powodem, a zbieranie trwa dalej; uszkodzony\n"
    "list nie zabiera reszty skrzynki.\n"
    "\n"
    "Zastępowanie: gdy nauczyciel oddał to samo sprawozdanie więcej niż raz, liczy się\n"
    "dokument z najpóźniejszą datą (Date), a pozostałe są „zastąpione”. To samo\n"
    "sprawozdanie to ten sam nauczyciel i temat oraz: w tematach 1, 2, 3 ta sama klasa,\n"
    "w temacie 4 ten sam przedmiot (wpisane klasy mogą się różnić), w temacie 5 te same\n"
    "zajęcia, w temacie 6 ten sam przedmiot i klasa; w tematach 7, 8 i 9 jedno na\n"
    "nauczyciela (w temacie 8 pole „Dotyczy” może się różnić). Nazwiska, klasy i\n"
    "przedmioty porównuje się bez względu na wielkość liter i odstępy (pokazywane są\n"
    "tak, jak je zapisano). Daty porównuje się tak, jak je zapisano, bez strefy czasowej.\n"
    "Dokument z datą późniejszą o ponad dobę niż czas zbierania jest „podejrzany”: trafia\n"
    "na listę, nie liczy się i niczego nie zastępuje. Ten sam dokument przeczytany dwa\n"
    "razy (z folderu i z listu) liczy się raz.\n"
    "\n"
    "  -o PLIK        zestawienie jako strona HTML do wydruku (UTF-8)\n"
    "  --pdf PLIK     to samo zestawienie wydrukowane do PDF (A4), zawsze w całości\n"
    "  --csv PLIK     wiersz na każdy przeczytany dokument i każde pominięte wejście,\n"
    "                 kolumny: plik;nauczyciel;temat;klasa;przedmiot;data;stan;powód\n"
    "                 temat 1-9; klasa i przedmiot puste, gdy temat ich nie ma (w temacie 4\n"
    "                 klasa to wpisane klasy); data dd.MM.rrrr gg:mm:ss; stan: przyjęty,\n"
    "                 zastąpiony, podejrzany albo uszkodzony\n"
    "  --data FOLDER  dane szkoły (nauczyciele.kbs, uczniowie.kls; jawne lub zakodowane):\n"
    "                 zestawienie wymienia nauczycieli bez sprawozdań i klasy bez\n"
    "                 sprawozdania z klasyfikacji (temat 1)\n"
    "  --missing PLIK (z --data) wiersze nauczyciel;brak: „wszystkie” dla nauczyciela bez\n"
    "                 żadnego sprawozdania, a dla wychowawcy (kto oddał temat 1, 2 lub 3 dla\n"
    "                 klasy) brakujące tematy 1 i 2 z klasą, np. „2 (3a)”\n"
    "  --imap ADRES   skrzynka szkoły na serwerze poczty: imaps://serwer[:port]/FOLDER\n"
    "                 (TLS od początku, port domyślny 993) albo imap://serwer[:port]/FOLDER\n"
    "                 (STARTTLS, port domyślny 143); folder domyślny INBOX. Połączenie jest\n"
    "                 zawsze szyfrowane; serwer bez TLS nie dostaje hasła. Folder jest\n"
    "                 otwierany tylko do odczytu: nic nie jest usuwane, przenoszone ani\n"
    "                 oznaczane jako przeczytane. Pobierane są tylko listy z załącznikiem\n"
    "                 XML; trafiają do pamięci podręcznej użytkownika\n"
    "                 (~/.local/share/Orvix/Tabulon/Zbiorka/IMAP/), więc kolejne\n"
    "                 zbieranie pobiera tylko nowe listy. Certyfikat serwera jest\n"
    "                 sprawdzany; urząd certyfikacji szkoły może leżeć obok programu jako\n"
    "                 tabulon-ca.pem\n"
    "  --user KONTO   (z --imap) nazwa konta pocztowego\n"
    "  --password-file PLIK  (z --imap) hasło w pierwszym wierszu pliku; bez tej\n"
    "                 opcji hasło jest pytane w terminalu (bez wyświetlania)\n"
    "\n"
    "Pliki CSV są w UTF-8 ze znacznikiem BOM, pola rozdziela „;”; pole ze średnikiem,\n"
    "przecinkiem, tabulatorem, cudzysłowem lub końcem wiersza jest ujęte w cudzysłów\n"
    "(RFC 4180). Pole zaczynające się od „=”, „+”, „-”, „@”, tabulatora lub CR dostaje na\n"
    "początku apostrof ('), aby arkusz nie wykonał go jako formuły.\n"
    "Każdy plik wynikowy jest zapisywany w całości albo wcale, nigdy przez dowiązanie\n"
    "symboliczne. Polecenie niczego nie zapisuje, gdy plik wynikowy jest tym samym plikiem\n"
    "co plik wejściowy, dane szkoły albo inny plik wynikowy, albo gdy w folderze\n"
    "wejściowym prowadzi do niego dowiązanie symboliczne.\n"
    "Na standardowe wyjście trafia podsumowanie, na standardowe wyjście błędów lista\n"
    "dokumentów uszkodzonych i podejrzanych (i, w terminalu, postęp czytania). Ctrl+C\n"
    "przerywa pracę; żaden plik wynikowy nie zostaje wtedy zapisany w połowie.\n"
    "\n"
    "Kod wyjścia: 0 wszystko przeczytano i przyjęto albo zastąpiono, 1 coś pominięto\n"
    "(dokument uszkodzony lub podejrzany, list lub folder nieczytelny; wyniki zapisano),\n"
    "2 złe użycie, brak wejścia, nieczytelne dane szkoły, plik wynikowy odrzucony,\n"
    "zestawienie niemożliwe do wydrukowania albo błąd zapisu.\n";

int usageError(const QString& text)
{
    adminError(QStringLiteral("collect: ") + text +
               QStringLiteral("; „tabulon-admin collect --help” opisuje polecenie"));
    return 2;
}

bool saveFile(const QString& path, const QByteArray& content)
{
    const FileResult result = SafeFile::Write(path, content);
    if (result)
        return true;
    adminError(QStringLiteral("collect: nie można zapisać pliku „%1”: %2")
                   .arg(TerminalSafe(QDir::toNativeSeparators(path)), FileFailureText(result)));
    return false;
}

struct Options
{
    QStringList inputs;
    QString html, pdf, csv, data, missing;
    QString imap, user, passwordFile;
};

std::optional<Options> parseOptions(const QStringList& args, int* exitCode)
{
    Options o;
    bool onlyInputs = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (onlyInputs || !a.startsWith(u'-') || a == u"-") {
            o.inputs.append(a);
            continue;
        }
        if (a == u"--") {
            onlyInputs = true;
            continue;
        }
        QString* target = a == u"-o"          ? &o.html
                          : a == u"--pdf"     ? &o.pdf
                          : a == u"--csv"     ? &o.csv
                          : a == u"--data"    ? &o.data
                          : a == u"--missing" ? &o.missing
                          : a == u"--imap"    ? &o.imap
                          : a == u"--user"    ? &o.user
                          : a == u"--password-file" ? &o.passwordFile
                                              : nullptr;
        if (!target) {
            *exitCode = usageError(QStringLiteral("nieznana opcja „%1”").arg(TerminalSafe(a)));
            return std::nullopt;
        }
        if (i + 1 >= args.size() || args[i + 1].isEmpty()) {
            *exitCode = usageError(QStringLiteral("opcja %1 wymaga wartości").arg(a));
            return std::nullopt;
        }
        if (!target->isEmpty()) {
            *exitCode = usageError(QStringLiteral("opcja %1 podana więcej niż raz").arg(a));
            return std::nullopt;
        }
        *target = args[++i];
    }
    if ((!o.user.isEmpty() || !o.passwordFile.isEmpty()) && o.imap.isEmpty()) {
        *exitCode = usageError(QStringLiteral("opcje --user i --password-file wymagają opcji --imap"));
        return std::nullopt;
    }
    if (!o.imap.isEmpty() && o.user.isEmpty()) {
        *exitCode = usageError(QStringLiteral("opcja --imap wymaga opcji --user"));
        return std::nullopt;
    }
    if (o.inputs.isEmpty() && o.imap.isEmpty()) {
        *exitCode = usageError(QStringLiteral("podaj co najmniej jeden plik lub folder ze sprawozdaniami"));
        return std::nullopt;
    }
    if (!o.missing.isEmpty() && o.data.isEmpty()) {
        *exitCode = usageError(QStringLiteral("opcja --missing wymaga opcji --data"));
        return std::nullopt;
    }
    return o;
}

// Brings the local copy of the school's mailbox up to date and reads it like any
// Maildir folder. Nonzero is the exit code of a run that cannot go on.
int collectMailbox(const Options& o, InputCollector& collector)
{
    ImapAccount account;
    account.User = o.user;
    QString error;
    if (!ImapAccount::FromUrl(o.imap, &account, &error))
        return usageError(TerminalSafe(error));
    if (!o.passwordFile.isEmpty() ? !ReadPasswordFile(o.passwordFile, &account.Password, &error)
                                  : !AskPasswordOnTerminal(
                                        QStringLiteral("Hasło do skrzynki %1: ").arg(account.displayName()),
                                        &account.Password, &error)) {
        adminError(QStringLiteral("collect: ") + TerminalSafe(error));
        return 2;
    }
    const QString cache = MailboxCache::FolderFor(account);
    MailboxSync sync(account, cache);
    MailboxSyncResult result;
    const bool synced = sync.run(&result);
    for (const QString& problem : result.problems)
        adminError(QStringLiteral("collect: uwaga: ") + TerminalSafe(problem));
    if (!synced) {
        adminError(QStringLiteral("collect: skrzynka %1: %2")
                       .arg(TerminalSafe(account.displayName()), TerminalSafe(result.error)));
        return 2;
    }
    adminOut(QStringLiteral("Skrzynka %1: nowych listów %2, w tym pobranych ze sprawozdaniem: %3.\n")
                 .arg(TerminalSafe(account.displayName()))
                 .arg(result.looked)
                 .arg(result.fetched));
    if (!collector.addPath(cache, &error))
        return usageError(TerminalSafe(error));
    return 0;
}

int runCollect(const QStringList& args)
{
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        adminOut(QString::fromUtf8(kUsage));
        return 0;
    }
    int exitCode = 0;
    const std::optional<Options> o = parseOptions(args, &exitCode);
    if (!o)
        return exitCode;

    SchoolData school;
    if (!o->data.isEmpty()) {
        if (!QFileInfo(o->data).isDir())
            return usageError(QStringLiteral("folder danych „%1” nie istnieje").arg(TerminalSafe(o->data)));
        for (const auto& [file, load] :
             {std::pair(kTeachersFile, &LoadTeachers), std::pair(kClassesFile, &LoadClasses)}) {
            DataFileStatus status;
            const QString path = QDir(o->data).filePath(file);
            if (!load(path, school, &status)) {
                adminError(QStringLiteral("collect: %1: %2")
                               .arg(TerminalSafe(QDir::toNativeSeparators(path)), status.reason));
                return 2;
            }
        }
    }

    ReportCollection reports;
    InputCollector collector(reports);
    // A long run shows how far it is on a terminal; Ctrl+C stops it with no output
    // file half written.
    const bool terminal = ::isatty(STDERR_FILENO) == 1;
    if (terminal) {
        collector.progress = [](int documents, int mails) {
            std::fprintf(stderr, "\rPrzeczytano dokumentów: %d, listów: %d", documents, mails);
            std::fflush(stderr);
        };
    }
    for (const QString& input : o->inputs) {
        QString error;
        if (!collector.addPath(input, &error))
            return usageError(TerminalSafe(error));
    }
    if (!o->imap.isEmpty()) {
        const int imapExit = collectMailbox(*o, collector);
        if (imapExit != 0)
            return imapExit;
    }

    if (terminal && reports.reports().size() >= InputCollector::kProgressStep)
        std::fputc('\n', stderr);

    // An output written over a file just read would destroy a handed-in report; one
    // through a link planted in an input folder would write where the planter chose.
    QStringList outputs;
    for (const QString* out : {&o->html, &o->pdf, &o->csv, &o->missing}) {
        if (!out->isEmpty())
            outputs.append(*out);
    }
    QStringList dataFiles;
    if (!o->data.isEmpty())
        dataFiles = {QDir(o->data).filePath(kTeachersFile), QDir(o->data).filePath(kClassesFile)};
    const QString refused = CheckOutputs(outputs, collector, dataFiles);
    if (!refused.isEmpty()) {
        adminError(QStringLiteral("collect: ") + TerminalSafe(refused) + QStringLiteral("; nic nie zapisano"));
        return 2;
    }

    SummaryInput summary;
    summary.Reports = &reports;
    summary.Generated = QDateTime::currentDateTime();
    summary.MailsRead = collector.mailsRead();
    summary.MailsWithoutReport = collector.mailsWithoutReport();
    if (!o->data.isEmpty()) {
        for (const _Klasa& c : school.Classes)
            summary.DataClasses.append(c.Name);
        summary.Missing = reports.missing(school);
    }

    // Every output is made before any is written: a summary that cannot be printed
    // whole stops the run with nothing written.
    QList<std::pair<QString, QByteArray>> files;
    if (!o->html.isEmpty() || !o->pdf.isEmpty()) {
        const QStringList parts = SummaryHtmlParts(summary);
        if (!o->pdf.isEmpty()) {
            QString error;
            QByteArray pdf = SummaryPdfBytes(parts, &error);
            if (pdf.isEmpty()) {
                adminError(QStringLiteral("collect: nie można wydrukować zestawienia do „%1”: %2; nic nie "
                                          "zapisano")
                               .arg(TerminalSafe(QDir::toNativeSeparators(o->pdf)), error));
                return 2;
            }
            files.append({o->pdf, std::move(pdf)});
        }
        if (!o->html.isEmpty())
            files.append({o->html, parts.join(QString()).toUtf8()});
    }
    if (!o->csv.isEmpty())
        files.append({o->csv, ReportsCsv::reports(reports)});
    if (!o->missing.isEmpty())
        files.append({o->missing, ReportsCsv::missing(*summary.Missing)});
    bool written = true;
    for (auto& [path, content] : files) {
        written = saveFile(path, content) && written;
        content.clear();
    }

    for (const CollectedReport& r : reports.reports()) {
        if (r.State == ReportState::Damaged || r.State == ReportState::Suspicious)
            adminError(QStringLiteral("collect: %1: %2: %3")
                           .arg(ReportsCsv::stateName(r.State), TerminalSafe(r.Source), TerminalSafe(r.Reason)));
    }

    const int damaged = reports.count(ReportState::Damaged);
    const int suspicious = reports.count(ReportState::Suspicious);
    QString out =
        QStringLiteral("Przeczytano dokumentów: %1 (przyjętych: %2, zastąpionych: %3, podejrzanych: %7, "
                       "uszkodzonych: %4); listów: %5, w tym bez sprawozdania: %6.\n")
            .arg(QString::number(reports.reports().size()),
                 QString::number(reports.count(ReportState::Accepted)),
                 QString::number(reports.count(ReportState::Replaced)), QString::number(damaged),
                 QString::number(collector.mailsRead()), QString::number(collector.mailsWithoutReport()),
                 QString::number(suspicious));
    if (summary.Missing) {
        int nothing = 0;
        for (const ReportCollection::MissingTeacher& t : summary.Missing->Teachers)
            nothing += t.MissingItems == u"wszystkie" ? 1 : 0;
        out += QStringLiteral("Nauczycieli bez żadnego sprawozdania: %1, wychowawców z brakami: %2, "
                              "klas bez sprawozdania z klasyfikacji: %3.\n")
                   .arg(QString::number(nothing), QString::number(summary.Missing->Teachers.size() - nothing),
                        QString::number(summary.Missing->ClassesWithoutTopic1.size()));
    }
    adminOut(out);
    if (!written)
        return 2;
    return damaged + suspicious > 0 ? 1 : 0;
}

bool collectNeedsGui(const QStringList& args)
{
    return args.contains(QStringLiteral("--pdf"));
}

const AdminCommandRegistration registration({"collect",
                                             "zbiera oddane sprawozdania z folderów i poczty w zestawienie "
                                             "na radę pedagogiczną",
                                             runCollect, collectNeedsGui});

} // namespace
