// tabulon-admin check-data DIR [--json]: loads the three school data files of DIR the
// way the program does at start-up and shows what the program would see.

#include "admin/Command.h"
#include "admin/TerminalText.h"
#include "core/SchoolData.h"

#include <QDir>
#include <QFileInfo>

namespace {

const char* const kUsage = "Użycie: tabulon-admin check-data FOLDER [--json]\n"
                           "\n"
                           "Wczytuje pliki danych szkoły z FOLDERU (nauczyciele.kbs, przedmioty.kps,\n"
                           "uczniowie.kls) tak jak program i wypisuje odczytane dane: liczby, nauczycieli,\n"
                           "przedmioty i klasy z uczniami. Z opcją --json wypisuje je jako JSON (UTF-8).\n"
                           "Znaki sterujące z plików danych wypisuje jako \\xNN albo \\u{NNNN},\n"
                           "a ukośnik wsteczny podwaja.\n"
                           "\n"
                           "Kod wyjścia: 0 dane poprawne, 1 plik brakujący lub uszkodzony, 2 złe użycie.\n";

QString jsonString(const QString& text)
{
    QString out = QStringLiteral("\"");
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += QStringLiteral("\\\"");
            break;
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString jsonList(const QStringList& items)
{
    QStringList quoted;
    for (const QString& s : items)
        quoted.append(jsonString(s));
    return QLatin1Char('[') + quoted.join(QLatin1Char(',')) + QLatin1Char(']');
}

// Keys in the order the administrators' scripts document them, so written by hand.
QString modelJson(const SchoolData& d)
{
    QStringList teachers;
    for (const _Belfer& t : d.Teachers)
        teachers.append(QStringLiteral("{\"surname\":%1,\"first_name\":%2}")
                            .arg(jsonString(t.Surname), jsonString(t.FirstName)));
    QStringList classes;
    for (const _Klasa& c : d.Classes)
        classes.append(QStringLiteral("{\"name\":%1,\"op\":%2,\"pupils\":%3}")
                           .arg(jsonString(c.Name), jsonString(c.Op), jsonList(c.Pupils)));
    return QStringLiteral("{\"teachers\":[%1],\"subjects\":%2,\"classes\":[%3]}\n")
        .arg(teachers.join(QLatin1Char(',')), jsonList(d.Subjects), classes.join(QLatin1Char(',')));
}

// Built by joining, never by chained QString::arg: a name holding "%1" stays as it
// is. Names come from the school's files, so they are shown escaped.
QString modelSummary(const QString& folder, const SchoolData& d)
{
    int pupils = 0;
    for (const _Klasa& c : d.Classes)
        pupils += c.PupilCount;
    const auto number = [](qsizetype n) { return QString::number(n); };
    QString out = QStringLiteral("Folder: ") + TerminalSafe(QDir::toNativeSeparators(folder)) + QLatin1Char('\n');
    out += QStringLiteral("Nauczycieli: ") + number(d.Teachers.size()) + QStringLiteral(", przedmiotów: ") +
           number(d.Subjects.size()) + QStringLiteral(", klas: ") + number(d.Classes.size()) +
           QStringLiteral(", uczniów: ") + number(pupils) + QLatin1Char('\n');
    const auto item = [&](const QString& indent, qsizetype n, const QString& text) {
        out += indent + number(n) + QStringLiteral(". ") + TerminalSafe(text) + QLatin1Char('\n');
    };
    out += QStringLiteral("\nNauczyciele:\n");
    for (int i = 0; i < d.Teachers.size(); ++i)
        item(QStringLiteral("  "), i + 1, d.Teachers[i].DisplayName());
    out += QStringLiteral("\nPrzedmioty:\n");
    for (int i = 0; i < d.Subjects.size(); ++i)
        item(QStringLiteral("  "), i + 1, d.Subjects[i]);
    out += QStringLiteral("\nKlasy:\n");
    for (const _Klasa& c : d.Classes) {
        out += QStringLiteral("  ") + TerminalSafe(c.Name) + QStringLiteral(" (uczniów: ") + number(c.PupilCount) +
               (c.Op.isEmpty() ? QString() : QStringLiteral(", Op: ") + TerminalSafe(c.Op)) + QStringLiteral(")\n");
        for (int m = 0; m < c.Pupils.size(); ++m)
            item(QStringLiteral("    "), m + 1, c.Pupils[m]);
    }
    return out;
}

int runCheckData(const QStringList& args)
{
    bool json = false;
    QStringList folders;
    for (const QString& a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            adminOut(QString::fromUtf8(kUsage));
            return 0;
        }
        if (a == QLatin1String("--json"))
            json = true;
        else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            adminError(QStringLiteral("check-data: nieznana opcja „%1”").arg(TerminalSafe(a)));
            return 2;
        } else
            folders.append(a);
    }
    if (folders.size() != 1) {
        adminError(QStringLiteral("check-data: podaj dokładnie jeden folder z danymi; "
                                  "„tabulon-admin check-data --help” opisuje polecenie"));
        return 2;
    }
    const QString folder = folders.first();
    if (!QFileInfo(folder).isDir()) {
        adminError(QStringLiteral("check-data: folder „%1” nie istnieje").arg(TerminalSafe(folder)));
        return 1;
    }

    using Loader = bool (*)(const QString&, SchoolData&, DataFileStatus*);
    const struct
    {
        const QString& file;
        Loader load;
    } files[] = {{kTeachersFile, LoadTeachers}, {kSubjectsFile, LoadSubjects}, {kClassesFile, LoadClasses}};

    // Every file is checked, so that one run names every damaged file.
    SchoolData data;
    bool ok = true;
    for (const auto& f : files) {
        DataFileStatus status;
        const QString path = QDir(folder).filePath(f.file);
        if (!f.load(path, data, &status)) {
            adminError(TerminalSafe(QDir::toNativeSeparators(path)) + QStringLiteral(": ") +
                       TerminalSafe(status.reason));
            ok = false;
        } else if (!status.complete) {
            // The program still reads such a file, but an update refuses it.
            adminError(QStringLiteral("%1: plik kończy się wewnątrz niezamkniętego elementu "
                                      "(prawdopodobnie jest ucięty)")
                           .arg(QDir::toNativeSeparators(path)));
            ok = false;
        } else if (!status.wellFormed) {
            adminError(QStringLiteral("ostrzeżenie: %1 nie jest poprawnym dokumentem XML; "
                                      "program odczyta go tak jak tu")
                           .arg(TerminalSafe(QDir::toNativeSeparators(path))));
        }
    }
    if (!ok)
        return 1;
    adminOut(json ? modelJson(data) : modelSummary(folder, data));
    return 0;
}

const AdminCommandRegistration registration(
    {"check-data", "sprawdza pliki danych szkoły w folderze i wypisuje odczytane dane", runCheckData});

} // namespace
