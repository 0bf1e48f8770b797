#include "windows/parts/AccessibleNames.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHash>
#include <QWidget>

namespace {

struct Row
{
    const char* form; // "*" for a control of the same name and meaning in every window
    const char* control;
    const char* name;
    const char* description;
};

// clang-format off
const Row kRows[] = {
    // Main window.
    {"FGlowny", "LPodpowiedz", "Podpowiedź", "Pokazuje podpowiedź do bieżącego kroku."},
    {"FGlowny", "LHelp", "Pomoc", "Otwiera pomoc programu. Klawisz F1."},
    {"FGlowny", "LUpdate", "Aktualizacja", "Pobiera aktualne dane szkoły. Dostępna w pierwszym oknie programu."},
    {"FGlowny", "LAbout", "O programie", ""},
    {"FGlowny", "LMnimize", "Minimalizuj", ""},
    {"FGlowny", "Lclose", "Zamknij program", ""},
    {"FGlowny", "LButPodpowiedz", "Następna podpowiedź", ""},
    {"FGlowny", "LNowaWerdykon", "Chcę przygotować nowy dokument", "Zaczyna nowe sprawozdanie."},
    {"FGlowny", "LPrzeslacGotowy", "Chcę przesłać przygotowany wcześniej dokument",
     "Otwiera okno wyboru pliku sprawozdania."},
    {"FGlowny", "BListaNauczycieli", "Lista nauczycieli", "Wybierz swoje nazwisko i naciśnij Enter."},
    {"FGlowny", "ListwaVNauczyciele", "Przewijanie listy nauczycieli", ""},
    {"FGlowny", "blistazagadnien", "Lista zagadnień", "Wybierz rodzaj sprawozdania i naciśnij Enter."},
    {"FGlowny", "ImY", "Odwiedzone kroki", "Kliknięcie numeru wraca do tego kroku. Z klawiatury: Alt+strzałka w lewo."},
    {"FGlowny", "ImWstecz", "Wstecz", "Poprzedni krok. Klawisze Alt+strzałka w lewo."},
    {"FGlowny", "ImNaprzod", "Dalej", "Następny krok. Klawisze Alt+strzałka w prawo."},

    // Buttons of the message dialog and of the small entry dialogs.
    {"FWarning", "ImButTak", "Tak", "Klawisz T."},
    {"FWarning", "ImButNie", "Nie", "Klawisz N."},
    {"FWarning", "ImButAnuluj", "Anuluj", "Klawisz A lub Esc."},
    {"FWarning", "ImButZamknij", "Zamknij", "Klawisz Z, Enter lub Esc."},
    {"*", "LClose", "Zamknij okno", ""},
    {"*", "LWprowadz", "Wprowadź", "Zatwierdza wpis."},
    {"*", "LAnuluj", "Anuluj", "Zamyka okno bez zmian. Klawisz Esc."},
    {"*", "LRozwinListe", "Rozwiń listę", ""},

    // Class classification editor.
    {"FWerdykon", "LOgolne", "Ogólne", ""},
    {"FWerdykon", "LFrekwencja", "Frekwencja", ""},
    {"FWerdykon", "LSrednie", "Średnie", ""},
    {"FWerdykon", "LNdst", "Oceny niedostateczne", ""},
    {"FWerdykon", "CListaKlasOgolne", "Klasa", ""},
    {"FWerdykon", "EKlasyfikowanych", "Klasyfikowanych", "Liczba uczniów klasyfikowanych."},
    {"FWerdykon", "EPromowanych", "Promowanych", "Liczba uczniów promowanych."},
    {"FWerdykon", "LUczniowieFrekwencja", "Uczniowie klasy", "Wybierz uczniów i dodaj ich do listy obok."},
    {"FWerdykon", "L100Frekwencja", "Frekwencja stuprocentowa", ""},
    {"FWerdykon", "LDodajFrekwencja", "Dodaj do frekwencji stuprocentowej", ""},
    {"FWerdykon", "LUsunFrekwencja", "Usuń z frekwencji stuprocentowej", ""},
    {"FWerdykon", "LUczniowieSrednie", "Uczniowie klasy", "Wybierz ucznia i dodaj go do listy obok."},
    {"FWerdykon", "LSrednieZPaskiem", "Wyróżnieni (średnia ocen)", ""},
    {"FWerdykon", "LDodajSrednie", "Dodaj do wyróżnionych", "Otwiera okno wpisania średniej ocen."},
    {"FWerdykon", "LUsunSrednie", "Usuń z wyróżnionych", ""},
    {"FWerdykon", "LUczniowieNdst", "Uczniowie klasy", "Wybierz ucznia i dodaj go do listy obok."},
    {"FWerdykon", "LNiedostateczni", "Z ocenami niedostatecznymi", ""},
    {"FWerdykon", "LDodajNdst", "Dodaj do uczniów z ocenami niedostatecznymi",
     "Otwiera okno wyboru przedmiotów."},
    {"FWerdykon", "LUsunNdst", "Usuń z uczniów z ocenami niedostatecznymi", ""},
    {"FEditSrednie", "EWartoscSredniej", "Średnia ocen ucznia", "Od 4,75 do 6,0."},
    {"FEditNdst", "LPrzedmioty", "Przedmioty z oceną niedostateczną", "Zaznacz przedmioty spacją."},

    // Conduct classification editor.
    {"FZachowania", "LOgolne", "Ogólne", ""},
    {"FZachowania", "LFrekwencja", "Wzorowi", ""},
    {"FZachowania", "LSrednie", "Obniżone", ""},
    {"FZachowania", "CListaKlasOgolne", "Klasa", ""},
    {"FZachowania", "EKlasyfikowanych", "Klasyfikowanych", "Liczba uczniów klasyfikowanych."},
    {"FZachowania", "MInneUwagi", "Uwagi o pracy z klasą", "Nieobowiązkowe."},
    {"FZachowania", "LUczniowieWzorowe", "Uczniowie klasy", "Wybierz uczniów i dodaj ich do listy obok."},
    {"FZachowania", "LWzorowi", "Zachowanie wzorowe", ""},
    {"FZachowania", "LDodajWzorowego", "Dodaj do uczniów z zachowaniem wzorowym", ""},
    {"FZachowania", "LUsunWzorowego", "Usuń z uczniów z zachowaniem wzorowym", ""},
    {"FZachowania", "LUczniowieNaganne", "Uczniowie klasy", "Wybierz uczniów i dodaj ich do listy obok."},
    {"FZachowania", "LNaganni", "Oceny obniżone z uzasadnieniem", ""},
    {"FZachowania", "LDodajObnizone", "Dodaj ocenę obniżoną", "Otwiera okno oceny i uzasadnienia."},
    {"FZachowania", "LUsunObnizone", "Usuń ocenę obniżoną", ""},
    {"FZachowania", "LEdytujObnizone", "Edytuj ocenę obniżoną", ""},
    {"FEdytujZachowanie", "COcena", "Ocena zachowania", ""},
    {"FEdytujZachowanie", "MUzasadnienie", "Uzasadnienie oceny", ""},

    // Failing-grade justification editor.
    {"FUzasadnienie", "CPrzedmiotNauczania", "Przedmiot nauczania", ""},
    {"FUzasadnienie", "LRozwinPrzedmiot", "Rozwiń listę przedmiotów", ""},
    {"FUzasadnienie", "CListaKlas", "Klasa", ""},
    {"FUzasadnienie", "LRozwinKlase", "Rozwiń listę klas", ""},
    {"FUzasadnienie", "LUczniowie", "Uczniowie klasy", "Wybierz uczniów, dla których piszesz uzasadnienie."},
    {"FUzasadnienie", "LUzasadnione", "Uczniowie z uzasadnieniem", ""},
    {"FUzasadnienie", "LUzasadniaj", "Uzasadnij", "Otwiera okno uzasadnienia dla wybranych uczniów."},
    {"FUzasadnienie", "LUsun", "Usuń uzasadnienie", ""},
    {"FUzasadnienie", "LEdytuj", "Edytuj uzasadnienie", ""},
    {"FEdytujNdst", "MTekst", "Uzasadnienie oceny niedostatecznej", ""},

    // Free-text editors.
    {"FRealProgramu", "CPrzedmiotNauczania", "Przedmiot nauczania", ""},
    {"FRealProgramu", "EKlasy", "Klasy", "Cyframi rzymskimi, np. V, IG-IIIG."},
    {"FRealProgramu", "Mogolne", "Informacje ogólne", ""},
    {"FRealProgramu", "MSukcesy", "Sukcesy, problemy i wnioski", ""},
    {"FRealWych", "CKlasa", "Klasa", ""},
    {"FRealWych", "Mogolne", "Informacje ogólne", ""},
    {"FRealWych", "MSukcesy", "Sukcesy, problemy i wnioski", ""},
    {"FZajDodatkowe", "EZajecia", "Prowadzone zajęcia", ""},
    {"FZajDodatkowe", "Mogolne", "Informacja o prowadzonych zajęciach", ""},
    {"FDyrektor", "MDydaktyczna", "Działalność dydaktyczna, wychowawcza i opiekuńcza", ""},
    {"FDyrektor", "MNadzor", "Nadzór pedagogiczny, uwagi i wnioski", ""},
    {"FInne", "EDotyczy", "Sprawozdanie dotyczy", ""},
    {"FInne", "MInfo", "Informacja", ""},
    {"FKarta", "MInfo", "Informacja", ""},

    // Preview and delivery.
    {"FBrowser", "WebBrowser", "Podgląd sprawozdania", "Ctrl+C kopiuje całe sprawozdanie."},
    {"FBrowser", "LCopiuj", "Kopiuj sprawozdanie", "Kopiuje całą treść do schowka."},
    {"FBrowser", "LDrukuj", "Drukuj sprawozdanie", ""},
    {"FDecyzja", "LZapisNaDysku", "Chcę zapisać dokument na dysku", ""},
    {"FDecyzja", "LKopiowanieWSieci", "Chcę przesłać dokument przez sieć szkolną",
     "Dostępne tylko w sieci szkolnej."},
    {"FDecyzja", "LPocztaTajna", "Chcę wysłać dokument przez internet", "Wysyła sprawozdanie pocztą do szkoły."},
    {"FDecyzja", "LPocztaWlasna", "Outlook", ""},

    // The help shown by the program itself.
    {"FPomoc", "StronaPomocy", "Pomoc programu", ""},
};
// clang-format on

using Table = QHash<QString, AccessibleNames::Entry>;

QString key(const QString& form, const QString& control)
{
    return form + QLatin1Char('/') + control;
}

const Table& table()
{
    static const Table rows = [] {
        Table t;
        for (const Row& row : kRows)
            t.insert(key(QString::fromLatin1(row.form), QString::fromLatin1(row.control)),
                     {QString::fromUtf8(row.name), QString::fromUtf8(row.description)});
        return t;
    }();
    return rows;
}

// The program's windows are the classes named "TF" plus a noun, and the help window.
bool isForm(const QWidget* widget)
{
    const char* name = widget->metaObject()->className();
    return (name[0] == 'T' && name[1] == 'F') || widget->objectName() == QLatin1String("FPomoc") ||
           widget->isWindow();
}

} // namespace

namespace AccessibleNames {

Entry Find(const QString& form, const QString& control)
{
    const Table& t = table();
    auto found = t.constFind(key(form, control));
    if (found == t.cend())
        found = t.constFind(key(QStringLiteral("*"), control));
    return found == t.cend() ? Entry{} : *found;
}

QString FormOf(const QWidget* widget)
{
    for (const QWidget* up = widget->parentWidget(); up; up = up->parentWidget()) {
        if (isForm(up))
            return up->objectName();
    }
    return QString();
}

void Apply(QWidget* window)
{
    for (QWidget* control : window->findChildren<QWidget*>()) {
        if (control->objectName().isEmpty() || !control->accessibleName().isEmpty())
            continue;
        const Entry entry = Find(FormOf(control), control->objectName());
        if (entry.Name.isEmpty())
            continue;
        control->setAccessibleName(entry.Name);
        // The list a choice list drops down is read under the choice list's name.
        if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->view())
            combo->view()->setAccessibleName(entry.Name);
        if (control->accessibleDescription().isEmpty() && !entry.Description.isEmpty())
            control->setAccessibleDescription(entry.Description);
    }
}

} // namespace AccessibleNames
