#pragma once

// Steps through the conduct classification editor by its controls' names.
#include "WerdykonSteps.h"

#include <QComboBox>
#include <QPlainTextEdit>

namespace ZachowanieSteps {

using namespace WerdykonSteps;

inline const QString kChooseExemplary =
    QStringLiteral("Wybierz ucznia, który ma ocenę wzorową.\rSięgnij do listy po lewej.");
inline const QString kChooseLowered =
    QStringLiteral("Wybierz ucznia, którego ocenę obniżoną chcesz uzasadnić.\rSięgnij do listy po lewej.");
inline const QString kNothingToEdit =
    QStringLiteral("Nie masz jeszcze co edytować.\rLista po prawej jest pusta.");
inline const QString kChooseToEdit =
    QStringLiteral("Wskaż na liście po prawej ucznia, którego uzasadnienie chcesz edytować.");
inline const QString kChooseToRemoveText =
    QStringLiteral("Wskaż na liście po prawej ucznia, którego uzasadnienie chcesz usunąć.");
inline const QString kNoText =
    QStringLiteral("Brak uzasadnienia oceny.\rNapisz uzasadnienie lub wybierz \"Anuluj\".");

inline QString alreadyJustified(const QString& name)
{
    return QStringLiteral("Istnieje już uzasadnienie dla ") + name +
           QStringLiteral(".\rUsuń wcześniej pozycję lub edytuj.");
}

// What the grade dialog showed when it opened.
struct Shown
{
    QString pupils;
    QString grade;
    QString text;
};

// Picks `grade`, writes `lines` (as pasted) and confirms.
inline void answerGrade(QWidget* dialog, const QString& grade, const QStringList& lines, Shown* shown)
{
    auto* grades = part<QComboBox>(dialog, "COcena");
    auto* memo = part<QPlainTextEdit>(dialog, "MUzasadnienie");
    if (shown)
        *shown = {part<QLabel>(dialog, "LOsoby")->text(), grades->currentText(), memo->toPlainText()};
    grades->setCurrentIndex(grades->findText(grade));
    memo->clear();
    memo->insertPlainText(lines.join(QLatin1Char('\n')));
    click(dialog, "LWprowadz");
}

// Selects `pupils` on the lowered tab, presses "Dodaj" and confirms `grade` with `lines`.
inline Shown addLowered(QWidget* editor, const QStringList& pupils, const QString& grade,
                        const QStringList& lines)
{
    click(editor, "LSrednie");
    choose(editor, "LUczniowieNaganne", pupils);
    Shown shown;
    ModalAnswer answer([&](QWidget* dialog) { answerGrade(dialog, grade, lines, &shown); });
    click(editor, "LDodajObnizone");
    [&] { QVERIFY2(answer.ran() && !answer.leftOpen(), qPrintable(pupils.join(QLatin1Char(',')))); }();
    return shown;
}

inline void addExemplary(QWidget* editor, const QStringList& pupils)
{
    click(editor, "LFrekwencja");
    choose(editor, "LUczniowieWzorowe", pupils);
    click(editor, "LDodajWzorowego");
}

// The school of the hand-worked report under tests/document/golden/zachowanie.
inline QList<_Klasa> goldenSchool()
{
    return {
        makeClass(QStringLiteral("IIa"), {QStringLiteral("Baran Kinga"), QStringLiteral("Czarnecki Olaf"),
                                          QStringLiteral("Gołębiowska Iga"), QStringLiteral("Kruk Szymon"),
                                          QStringLiteral("Żak Tadeusz")}),
        makeClass(QStringLiteral("IIIb"), {QStringLiteral("Lis Ala"), QStringLiteral("Mak Jan")}),
    };
}

// Enters the hand-worked report, out of class order; the two pupils who share a
// text are justified separately.
inline void enterGoldenCase(QWidget* editor)
{
    addExemplary(editor, {QStringLiteral("Gołębiowska Iga")});
    addExemplary(editor, {QStringLiteral("Baran Kinga")});
    const QStringList shared{QStringLiteral("Częste spóźnienia na lekcje."), QString(),
                             QStringLiteral("Ocena <obniżona> po rozmowie z rodzicami.")};
    addLowered(editor, {QStringLiteral("Kruk Szymon")}, QStringLiteral("nieodpowiednia"), shared);
    addLowered(editor, {QStringLiteral("Żak Tadeusz")}, QStringLiteral("naganna"),
               {QStringLiteral("Wagary & niszczenie mienia.")});
    addLowered(editor, {QStringLiteral("Czarnecki Olaf")}, QStringLiteral("nieodpowiednia"), shared);
}

} // namespace ZachowanieSteps
