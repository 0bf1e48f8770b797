#pragma once

// Steps through the failing-grade justification editor by its controls' names,
// shared by the editor's own test and the test that drives it from the main window.
#include "WerdykonSteps.h"
#include "support/MessageRecorder.h"

#include <QComboBox>
#include <QPlainTextEdit>

namespace UzasadnienieSteps {

using namespace WerdykonSteps;

inline const QString kChoosePupil =
    QStringLiteral("Wybierz ucznia, którego ocenę chcesz uzasadnić.\rSięgnij do listy po lewej.");
inline const QString kNothingToEdit =
    QStringLiteral("Nie masz jeszcze co edytować.\rLista po prawej jest pusta.");
inline const QString kChooseToEdit =
    QStringLiteral("Wskaż na liście po prawej ucznia, którego uzasadnienie chcesz edytować.");
inline const QString kChooseToRemoveText =
    QStringLiteral("Wskaż na liście po prawej ucznia, którego uzasadnienie chcesz usunąć.");
inline const QString kNoJustification =
    QStringLiteral("Brak jakiegokolwiek uzasadnienia.\rNapisz coś lub opuść to okno.");

inline QString alreadyJustified(const QString& name)
{
    return QStringLiteral("Istnieje już uzasadnienie dla ") + name +
           QStringLiteral(".\rUsuń wcześniej pozycję lub edytuj.");
}

// Selects `pupils` on the left, presses "Uzasadnij" and writes `lines` into the
// dialog, which is confirmed. Returns the dialog's caption of the pupils.
inline QString justify(QWidget* editor, const QStringList& pupils, const QStringList& lines)
{
    choose(editor, "LUczniowie", pupils);
    QString caption;
    ModalAnswer answer([&](QWidget* dialog) {
        caption = part<QLabel>(dialog, "LUczniowie")->text();
        // As pasted from a text editor: the lines with their breaks.
        part<QPlainTextEdit>(dialog, "MTekst")->insertPlainText(lines.join(QLatin1Char('\n')));
        click(dialog, "LWprowadz");
    });
    click(editor, "LUzasadniaj");
    [&] { QVERIFY2(answer.ran() && !answer.leftOpen(), qPrintable(pupils.join(QLatin1Char(',')))); }();
    return caption;
}

inline void chooseItem(QWidget* editor, const char* combo, const QString& text)
{
    auto* box = part<QComboBox>(editor, combo);
    QVERIFY(box);
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
}

// The school of the hand-worked report under tests/document/golden/uzasadnienie.
inline QList<_Klasa> goldenSchool()
{
    return {
        makeClass(QStringLiteral("IIc"), {QStringLiteral("Rogalski Adam"), QStringLiteral("Sowa Ewa")}),
        makeClass(QStringLiteral("Ia & Ib"),
                  {QStringLiteral("Adamski Kamil"), QStringLiteral("Borkowska Ola"),
                   QStringLiteral("Dudek Filip"), QStringLiteral("Kaczmarek Julia")}),
        makeClass(QStringLiteral("pusta"), {}),
    };
}

inline QStringList goldenSubjects()
{
    return {QStringLiteral("Matematyka"), QStringLiteral("Język angielski"), QStringLiteral("Historia")};
}

// Enters the hand-worked report: its class, one pupil alone and two together, written
// while another subject was chosen; the report's subject is chosen last.
inline void enterGoldenCase(QWidget* editor)
{
    chooseItem(editor, "CListaKlas", QStringLiteral("Ia & Ib"));
    justify(editor, {QStringLiteral("Kaczmarek Julia")},
            {QStringLiteral("Nie opanowała podstawowego słownictwa.")});
    justify(
        editor, {QStringLiteral("Dudek Filip"), QStringLiteral("Borkowska Ola")},
        {QStringLiteral("Brak zaliczonych sprawdzianów <3 z 5>."), QStringLiteral("Liczne nieobecności.")});
    // With justifications written the change of subject asks; Tak keeps them.
    MessageRecorder question;
    question.scriptAnswers({AnswerYes});
    chooseItem(editor, "CPrzedmiotNauczania", QStringLiteral("Język angielski"));
    QCOMPARE(question.messages().size(), 1);
}

} // namespace UzasadnienieSteps
