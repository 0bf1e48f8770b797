#include "core/Hints.h"

#include "core/AppState.h"

#include <QStringList>

namespace {

struct HintGroupTexts
{
    int group;
    QStringList texts;
};

const QList<HintGroupTexts>& hintTable()
{
    static const QList<HintGroupTexts> table = {
        {HintGroupWelcome,
         {QStringLiteral("Program służy do przesyłania sprawozdań. Dłuższe teksty pisz w edytorze tekstu i "
                         "kopiuj do okien programu."),
          QStringLiteral("Jeśli wcześniej przygotowałeś sprawozdanie w programie Werdykon, wyślij je, "
                         "korzystając z drugiej opcji.")}},
        {HintGroupLists,
         {QStringLiteral("Klikając dwukrotnie, dokonujesz wyboru pozycji i jednocześnie przechodzisz do "
                         "następnego okna."),
          QStringLiteral("Wyboru pozycji możesz dokonać, korzystając z klawiatury - klawiszy kursorów i "
                         "klawisza Enter.")}},
        {HintGroupClassEditors,
         {QStringLiteral("Uwagi na zakładce Ogólne są tylko opcjonalne - możesz coś wpisać, ale nie musisz."),
          QStringLiteral("Jeżeli chcesz wybrać kilku uczniów jednocześnie, trzymaj przy wyborze wciśnięty "
                         "klawisz Ctrl."),
          QStringLiteral("Możesz napisać jedno uzasadnienie obniżonej oceny dla kilku uczniów - wybierz ich "
                         "równocześnie z listy."),
          QStringLiteral("Kliknij dwukrotnie, by dokonać wyboru osoby - równoważne kliknięciu przycisku "
                         "Dodaj.")}},
        {HintGroupHeadAndClass,
         {QStringLiteral("Pamiętaj: dłuższe teksty redaguj w edytorze tekstu, kopiuj je i wklejaj do okien "
                         "programu."),
          QStringLiteral("Wstawiając pauzę, pamiętamy, by przed nią i po niej wstawić spację.")}},
        {HintGroupCurriculum,
         {QStringLiteral("Klasę (klasy) wpisujemy cyframi rzymskimi, np. V, IG-IIIG, IV, VI."),
          QStringLiteral("Dłuższe teksty redagujemy w edytorze tekstu, zapisujemy, kopiujemy i wklejamy do "
                         "okien programu.")}},
        {HintGroupAdditional,
         {QStringLiteral("Zajęcia dodatkowe to te, za które masz płacone, np. zespoły, świetlica, "
                         "biblioteka, chór itp."),
          QStringLiteral("O konieczności przesłania konkretnego sprawozdania decyduje dyrektor.")}},
        {HintGroupJustification,
         {QStringLiteral("Możesz napisać jedno uzasadnienie dla kilku uczniów - wybierz ich równocześnie z "
                         "listy."),
          QStringLiteral("Jeżeli chcesz wybrać kilku uczniów jednocześnie, trzymaj przy wyborze wciśnięty "
                         "klawisz Ctrl."),
          QStringLiteral("Nie możesz napisać jednego uzasadnienia dla uczniów z różnych klas.")}},
        {HintGroupOther,
         {QStringLiteral("Zajęcia inne to te, które wykonujesz nieodpłatnie, np. opiekun sklepiku, "
                         "samorządu, pracowni itp."),
          QStringLiteral("O konieczności przesłania konkretnego sprawozdania decyduje dyrektor.")}},
        {HintGroupCharter,
         {QStringLiteral("Zajęcia realizowane w ramach zajęć kartowych. I jasne."),
          QStringLiteral("O konieczności przesłania konkretnego sprawozdania decyduje dyrektor.")}},
        {HintGroupPreview,
         {QStringLiteral("Jeśli wcześniej nie zapisałeś w edytorze swojego sprawozdania, tutaj możesz je "
                         "skopiować lub wydrukować."),
          QStringLiteral("Jeżeli coś się nie zgadza i chcesz wprowadzić poprawki, wróć do poprzedniego "
                         "okna.")}},
        {HintGroupDelivery,
         {QStringLiteral("Zapisz plik sprawozdania na dysku: gdyby coś poszło nie tak z wysyłką, możesz "
                         "zanieść go do szkoły na pendrivie."),
          QStringLiteral("Wysyłając sprawozdanie z domu, poczekaj kilkanaście sekund, zanim wyślesz je "
                         "ponownie. Okaż cierpliwość."),
          QStringLiteral("Z tego okna możesz wrócić do poprzednich okien, klikając żółte numery w lewym "
                         "dolnym rogu.")}},
    };
    return table;
}

const QStringList* textsOf(int group)
{
    for (const HintGroupTexts& entry : hintTable()) {
        if (entry.group == group)
            return &entry.texts;
    }
    return nullptr;
}

} // namespace

int HintCountOf(int group)
{
    const QStringList* texts = textsOf(group);
    return texts ? int(texts->size()) : 0;
}

QString HintText(int group, int index)
{
    const QStringList* texts = textsOf(group);
    if (!texts || index < 1 || index > texts->size())
        return QString();
    return texts->at(index - 1);
}

void SetHintGroup(int group)
{
    appState().HintGroup = group;
    appState().HintCount = HintCountOf(group);
}
