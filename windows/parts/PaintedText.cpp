#include "windows/parts/PaintedText.h"

#include "resources/skins/DecyzjaLayout.h"
#include "resources/skins/FreeTextLayout.h"
#include "resources/skins/GlownyLayout.h"
#include "resources/skins/UzasadnienieLayout.h"
#include "resources/skins/WerdykonLayout.h"
#include "resources/skins/WorkAreaLayout.h"
#include "resources/skins/ZachowanieLayout.h"

#include <QHash>
#include <QLabel>
#include <QPalette>

namespace {

const char* const kPaintedProperty = "tabulonPaintedText"; // 1 a text, 2 a heading
const char* const kSkinProperty = "tabulonSkin";            // set by SetSkin
const char* const kDoneProperty = "tabulonPaintedTextLaid";

using PaintedText::Text;

Text heading(const QRect& place, const char* words)
{
    return {place, QString::fromUtf8(words), true};
}

Text text(const QRect& place, const char* words)
{
    return {place, QString::fromUtf8(words), false};
}

// The title band every work-area window paints.
Text title(int width, const char* words)
{
    return heading(QRect(WorkAreaLayout::kCaptionLeft, 0, width - WorkAreaLayout::kCaptionLeft,
                         WorkAreaLayout::kTitleHeight),
                   words);
}

QList<Text> listTab(int left, int right, const char* rightCaption)
{
    return {text(QRect(left, 18, 300, 22), "Uczniowie klasy"), text(QRect(right, 18, 300, 22), rightCaption)};
}

QList<Text> freeText(const QSize& size, const char* words, const QList<QPair<QRect, const char*>>& fields)
{
    QList<Text> texts{title(size.width(), words)};
    for (const auto& [place, caption] : fields)
        texts << text(place, caption);
    return texts;
}

// clang-format off
const QHash<QString, QList<Text>>& table()
{
    using namespace FreeTextLayout;
    static const QHash<QString, QList<Text>> texts{
        {QStringLiteral("tloglowny"), {
            heading(GlownyLayout::kListwa, "Tabulon 2.5 – sprawozdania szkolne"),
            text(QRect(GlownyLayout::kNumbers.right() + 14, GlownyLayout::kNumbers.top(), 300,
                       GlownyLayout::kNumbers.height()), "kroki przygotowania sprawozdania")}},
        {QStringLiteral("powitanie"), {
            heading(QRect(24, 12, 400, 32), "Witaj w programie Tabulon"),
            text(QRect(24, 64, 500, 26), "Przygotuj sprawozdanie na koniec okresu i przekaż je szkole."),
            text(QRect(24, 92, 500, 26), "Wybierz, co chcesz zrobić:")}},
        {QStringLiteral("listanauczycieli"), {heading(QRect(24, 12, 400, 32), "1. Wybierz swoje nazwisko")}},
        {QStringLiteral("wyboropcji"), {heading(QRect(24, 12, 400, 32), "2. Wybierz zagadnienie sprawozdania")}},

        {QStringLiteral("tlowerdykon"), {title(WerdykonLayout::kWidth, "Werdykon uczniów danej klasy")}},
        {QStringLiteral("tlowerdykonogolne"), {
            text(QRect(40, WerdykonLayout::kClassList.top(), 150, 24), "Klasa:"),
            text(QRect(40, WerdykonLayout::kClassified.top(), 150, 24), "Klasyfikowanych:"),
            text(QRect(40, WerdykonLayout::kPromoted.top(), 150, 24), "Promowanych:"),
            text(QRect(40, 190, 700, 24),
                 "Wybierz klasę, sprawdź liczby uczniów i przejdź do kolejnych zakładek.")}},
        {QStringLiteral("tlowerdykonfrekwencja"),
         listTab(WerdykonLayout::kLeftList.left(), WerdykonLayout::kRightList.left(), "Frekwencja stuprocentowa")},
        {QStringLiteral("tlowerdykonsrednie"),
         listTab(WerdykonLayout::kLeftList.left(), WerdykonLayout::kRightList.left(), "Wyróżnieni (średnia ocen)")},
        {QStringLiteral("tlowerdykonndst"),
         listTab(WerdykonLayout::kLeftList.left(), WerdykonLayout::kRightList.left(), "Z ocenami niedostatecznymi")},

        {QStringLiteral("tlozachowanie"), {title(ZachowanieLayout::kWidth, "Werdykon uczniów pod względem zachowania")}},
        {QStringLiteral("tlozachowanieogolne"), {
            text(QRect(40, ZachowanieLayout::kClassList.top(), 150, 24), "Klasa:"),
            text(QRect(40, ZachowanieLayout::kClassified.top(), 150, 24), "Klasyfikowanych:"),
            text(QRect(40, ZachowanieLayout::kRemarks.top() - 30, 700, 24), "Uwagi o pracy z klasą (nieobowiązkowe):")}},
        {QStringLiteral("tlozachowaniewzorowi"),
         listTab(ZachowanieLayout::kLeftList.left(), ZachowanieLayout::kRightList.left(), "Zachowanie wzorowe")},
        {QStringLiteral("tlozachowanieobnizone"),
         listTab(ZachowanieLayout::kLeftList.left(), ZachowanieLayout::kRightList.left(),
                 "Oceny obniżone z uzasadnieniem")},
        {QStringLiteral("tloedytujzachowanie"), {text(QRect(20, ZachowanieLayout::kDialogGrade.top(), 120, 24), "Ocena:")}},

        {QStringLiteral("tlouzasadnienie"), {
            title(UzasadnienieLayout::kWidth, "Uzasadnienie oceny niedostatecznej"),
            text(QRect(30, UzasadnienieLayout::kSubjectList.top(), 180, 24), "Przedmiot nauczania:"),
            text(QRect(30, UzasadnienieLayout::kClassList.top(), 180, 24), "Klasa:"),
            text(QRect(UzasadnienieLayout::kPupilList.left(), UzasadnienieLayout::kListCaptionTop,
                       UzasadnienieLayout::kPupilList.width(), 22), "Uczniowie klasy"),
            text(QRect(UzasadnienieLayout::kJustifiedList.left(), UzasadnienieLayout::kListCaptionTop,
                       UzasadnienieLayout::kJustifiedList.width(), 22), "Uczniowie z uzasadnieniem")}},

        {QStringLiteral("tloeditsrednie"), {text(QRect(20, 40, 349, 20), "Wpisz średnią ocen ucznia (od 4,75 do 6,0):")}},
        {QStringLiteral("tloeditndst"), {text(QRect(20, 22, 346, 20), "Zaznacz przedmioty z oceną niedostateczną:")}},
        {QStringLiteral("tloedycjandst"), {text(QRect(20, 14, 546, 20), "Uzasadnienie dla:")}},

        {QStringLiteral("tlorealprogramu"), freeText(kRealizationSize, "Realizacja programu z przedmiotu nauczania",
            {{lineCaption(kFirstList), "Przedmiot nauczania:"}, {lineCaption(kSecondLine), "Klasy:"},
             {memoCaption(kProgramuGeneral), "Informacje ogólne:"},
             {memoCaption(kProgramuSuccesses), "Sukcesy, problemy i wnioski:"}})},
        {QStringLiteral("tlorealwych"), freeText(kRealizationSize, "Realizacja programu wychowawczego klasy",
            {{lineCaption(kFirstList), "Klasa:"}, {memoCaption(kWychGeneral), "Informacje ogólne:"},
             {memoCaption(kWychSuccesses), "Sukcesy, problemy i wnioski:"}})},
        {QStringLiteral("tlozajdodatkowe"), freeText(kFreeTextSize, "Sprawozdanie z prowadzonych zajęć dodatkowych",
            {{lineCaption(kFirstWideLine), "Prowadzone zajęcia:"}, {memoCaption(kMemoUnderLine), "Sprawozdanie:"}})},
        {QStringLiteral("tlodyrektor"), freeText(kFreeTextSize, "Sprawozdanie dyrektora szkoły",
            {{memoCaption(kDyrektorTeaching), "Działalność dydaktyczna, wychowawcza i opiekuńcza:"},
             {memoCaption(kDyrektorSupervision), "Nadzór pedagogiczny, uwagi i wnioski:"}})},
        {QStringLiteral("tloinne"), freeText(kInneSize, "Inne sprawozdanie do protokołu",
            {{lineCaption(kFirstWideLine), "Sprawozdanie dotyczy:"}, {memoCaption(kInneMemo), "Informacja:"}})},
        {QStringLiteral("tlokarta"), freeText(kFreeTextSize, "Sprawozdanie z zajęć wynikających z karty",
            {{memoCaption(kKartaMemo), "Informacja o prowadzonych zajęciach:"}})},

        {QStringLiteral("tlobrowser"), {title(WorkAreaLayout::kSize.width(), "Podgląd sprawozdania")}},
        {QStringLiteral("tlodecyzja"), {
            title(DecyzjaLayout::kWindow.width(), "Dostarczenie sprawozdania"),
            text(QRect(24, DecyzjaLayout::kTitleHeight + 8, DecyzjaLayout::kWindow.width() - 48, 20),
                 "Wybierz, jak chcesz dostarczyć sprawozdanie do szkoły:")}},
    };
    return texts;
}
// clang-format on

} // namespace

namespace PaintedText {

QList<Text> Of(const QString& skin)
{
    return table().value(skin);
}

bool IsPaintedText(const QWidget* widget, bool* isHeading)
{
    const int kind = widget ? widget->property(kPaintedProperty).toInt() : 0;
    if (isHeading)
        *isHeading = kind == 2;
    return kind != 0;
}

void Apply(QWidget* window)
{
    for (QLabel* picture : window->findChildren<QLabel*>()) {
        const QString skin = picture->property(kSkinProperty).toString();
        if (skin.isEmpty() || picture->property(kDoneProperty).toBool() || !picture->parentWidget())
            continue;
        picture->setProperty(kDoneProperty, true);
        // Each text lies on the picture's parent just above the picture, so that it
        // stands among the controls in the order the picture has.
        QWidget* after = picture;
        for (const Text& painted : Of(skin)) {
            // Marked before it has text, so that a screen reader's first look at it
            // already finds a heading where it is one.
            auto* label = new QLabel(picture->parentWidget());
            label->setObjectName(QStringLiteral("TekstZObrazu"));
            label->setProperty(kPaintedProperty, painted.Heading ? 2 : 1);
            label->setText(painted.Words);
            label->setGeometry(painted.Place.translated(picture->pos()));
            label->setAttribute(Qt::WA_TransparentForMouseEvents);
            label->setAttribute(Qt::WA_TranslucentBackground);
            label->setFocusPolicy(Qt::NoFocus);
            // The picture shows the words already; this one only carries them.
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, Qt::transparent);
            label->setPalette(palette);
            label->setAccessibleName(painted.Words);
            label->stackUnder(after);
            after->stackUnder(label);
            after = label;
            label->setVisible(true);
        }
    }
}

} // namespace PaintedText
