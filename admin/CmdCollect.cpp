// tabulon-admin collect WEJŚCIE... [-o summary.html] [--pdf summary.pdf] [--csv reports.csv]
// [--data DIR [--missing missing.csv]]: reads the handed-in reports from folders, files
// and mailboxes and writes the staff meeting's summary and the lists for a spreadsheet.

#include "admin/Command.h"
#include "admin/TerminalText.h"
#include "admin/PasswordInput.h"
#include "collect/InputCollector.h"
#include "collect/MailboxCache.h"
#include "collect/MailboxSync.h"
#include "collect/ReportCollection.h"
#include "collect/ReportsCsv.h"
#include "collect/SummaryHtml.h"
#include "collect/SummaryPdf.h"
#include "shell/SchoolData.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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
    "                      który zaczyna się od „From ”),\n"
    "  folder Maildir      folder z podfolderami cur/ i new/,\n"
    "  inny folder         przeszukiwany wraz z podfolderami (do 16 poziomów).\n"
    "Z opcją --imap wejściem jest też skrzynka szkoły na serwerze IMAP (wtedy inne\n"
    "wejścia nie są konieczne).\n"
    "Wewnątrz podanych folderów dowiązania symboliczne nie są otwierane. Plik, który nie\n"
    "jest sprawozdaniem, jest uszkodzony albo nieczytelny, trafia na listę z powodem, a\n"
    "zbieranie trwa dalej. Gdy nauczyciel oddał ten sam temat dla tej samej klasy lub\n"
    "przedmiotu (w zajęciach dodatkowych: tych samych zajęć, w innych informacjach: tej\n"
    "samej sprawy; sprawozdanie dyrektora i z karty: jedno na nauczyciela) więcej niż raz,\n"
    "liczy się dokument z najpóźniejszą datą (Date), a pozostałe są „zastąpione”; ten sam\n"
    "dokument przeczytany dwa razy (z folderu i z listu) liczy się raz.\n"
    "\n"
    "  -o PLIK        zestawienie jako strona HTML do wydruku (UTF-8)\n"
    "  --pdf PLIK     to samo zestawienie wydrukowane do PDF (A4)\n"
    "  --csv PLIK     wiersz na każdy przeczytany dokument, kolumny:\n"
    "                 plik;nauczyciel;temat;klasa;przedmiot;data;stan\n"
    "                 temat 1-9; klasa i przedmiot puste, gdy temat ich nie ma (w temacie 4\n"
    "                 klasa to wpisane klasy); data dd.MM.rrrr gg:mm:ss; stan: przyjęty,\n"
    "                 zastąpiony albo uszkodzony\n"
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
    "Pliki CSV są w UTF-8 ze znacznikiem BOM, pola rozdziela „;”, pole ze średnikiem,\n"
    "cudzysłowem lub końcem wiersza jest ujęte w cudzysłów. Pole zaczynające się od\n"
    "„=”, „+”, „-”, „@”, tabulatora lub CR dostaje na początku apostrof ('), aby arkusz\n"
    "nie wykonał go jako formuły. Każdy plik wynikowy jest zapisywany w całości albo wcale.\n"
    "Na standardowe wyjście trafia podsumowanie, na standardowe wyjście błędów lista\n"
    "dokumentów uszkodzonych (i, w terminalu, postęp czytania). Ctrl+C przerywa pracę;\n"
    "żaden plik wynikowy nie zostaje wtedy zapisany w połowie.\n"
    "\n"
    "Kod wyjścia: 0 wszystko przeczytano, 1 niektóre dokumenty są uszkodzone (wyniki\n"
    "zapisano), 2 złe użycie, brak wejścia, nieczytelne dane szkoły albo błąd zapisu.\n";

int usageError(const QString& text)
{
    adminError(QStringLiteral("collect: ") + text +
               QStringLiteral("; „tabulon-admin collect --help” opisuje polecenie"));
    return 2;
}

bool saveFile(const QString& path, const QByteArray& content)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    adminError(QStringLiteral("collect: nie można zapisać pliku „%1”: %2")
                   .arg(TerminalSafe(QDir::toNativeSeparators(path)), file.errorString()));
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

    // An output written over a file just read would destroy a handed-in report.
    for (const QString* out : {&o->html, &o->pdf, &o->csv, &o->missing}) {
        if (!out->isEmpty() && collector.filesRead().contains(QFileInfo(*out).absoluteFilePath()))
            return usageError(QStringLiteral("plik wynikowy „%1” jest zarazem wejściem; nic nie zapisano")
                                  .arg(TerminalSafe(*out)));
    }

    SummaryInput summary;
    summary.Reports = &reports;
    summary.Generated = QDateTime::currentDateTime();
    summary.MailsRead = collector.mailsRead();
    summary.MailsWithoutReport = collector.mailsWithoutReport();
    summary.Notes = collector.notes();
    if (!o->data.isEmpty()) {
        for (const _Klasa& c : school.Classes)
            summary.DataClasses.append(c.Name);
        summary.Missing = reports.missing(school);
    }

    bool written = true;
    if (!o->html.isEmpty() || !o->pdf.isEmpty()) {
        const QString html = SummaryHtml(summary);
        if (!o->html.isEmpty())
            written = saveFile(o->html, html.toUtf8()) && written;
        if (!o->pdf.isEmpty()) {
            QString error;
            if (!WriteSummaryPdf(html, o->pdf, &error)) {
                adminError(QStringLiteral("collect: nie można zapisać pliku „%1”: %2")
                               .arg(TerminalSafe(QDir::toNativeSeparators(o->pdf)), error));
                written = false;
            }
        }
    }
    if (!o->csv.isEmpty())
        written = saveFile(o->csv, ReportsCsv::reports(reports)) && written;
    if (!o->missing.isEmpty())
        written = saveFile(o->missing, ReportsCsv::missing(*summary.Missing)) && written;

    for (const CollectedReport& r : reports.reports()) {
        if (r.State == ReportState::Damaged)
            adminError(QStringLiteral("collect: uszkodzony: %1: %2")
                           .arg(TerminalSafe(r.Source), TerminalSafe(r.Reason)));
    }
    for (const QString& note : collector.notes())
        adminError(QStringLiteral("collect: uwaga: ") + TerminalSafe(note));

    const int damaged = reports.count(ReportState::Damaged);
    QString out =
        QStringLiteral("Przeczytano dokumentów: %1 (przyjętych: %2, zastąpionych: %3, uszkodzonych: %4); "
                       "listów: %5, w tym bez sprawozdania: %6.\n")
            .arg(QString::number(reports.reports().size()),
                 QString::number(reports.count(ReportState::Accepted)),
                 QString::number(reports.count(ReportState::Replaced)), QString::number(damaged),
                 QString::number(collector.mailsRead()), QString::number(collector.mailsWithoutReport()));
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
    return damaged > 0 ? 1 : 0;
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
