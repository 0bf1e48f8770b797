#pragma once

// Steps through the class classification editor by its controls' names, shared by
// the editor's own test and the test that drives it from the main window.
#include "core/AppState.h"
#include "core/SchoolData.h"
#include "support/ModalAnswer.h"

#include <QByteArray>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

namespace WerdykonSteps {

inline const QString kIncomplete = QStringLiteral("Niekompletne dane ogólne.\rUzupełnij proszę.");
inline const QString kNothingToRemove =
    QStringLiteral("Nie masz jeszcze co usuwać.\rLista po prawej jest pusta.");
inline const QString kChooseToRemove =
    QStringLiteral("Wskaż na liście po prawej ucznia, którego chcesz usunąć.");
inline const QString kChooseAttendance =
    QStringLiteral("Wybierz ucznia, który ma wzorową frekwencję.\rSięgnij do listy po lewej.");

template <typename T = QWidget> inline T* part(QWidget* window, const char* name)
{
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("no control %s", name);
    return found;
}

inline void click(QWidget* window, const char* name)
{
    auto* label = part<QLabel>(window, name);
    QVERIFY(label);
    QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
}

inline QStringList items(QWidget* window, const char* name)
{
    QStringList out;
    auto* list = part<QListWidget>(window, name);
    for (int i = 0; list && i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

inline void choose(QWidget* window, const char* listName, const QStringList& names)
{
    auto* list = part<QListWidget>(window, listName);
    QVERIFY(list);
    list->clearSelection();
    for (const QString& name : names) {
        const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
        QVERIFY2(!found.isEmpty(), qPrintable(name));
        list->setCurrentItem(found.first(), QItemSelectionModel::Select);
    }
}

// The report with its date line left out: the time of writing differs by run.
inline QByteArray withoutDate(QByteArray bytes)
{
    bytes.replace("\r\n", "\n");
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeIf([](const QByteArray& line) { return line.trimmed().startsWith("<Date>"); });
    return lines.join('\n');
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline _Klasa makeClass(const QString& name, const QStringList& pupils,
                        const QString& op = QStringLiteral("0"))
{
    _Klasa klasa;
    klasa.Name = name;
    klasa.Pupils = pupils;
    klasa.PupilCount = int(pupils.size());
    klasa.Op = op;
    return klasa;
}

// Adds the current pupil of the averages tab, typing `average` into the dialog.
inline void addAverage(QWidget* editor, const QString& pupil, const QString& average)
{
    choose(editor, "LUczniowieSrednie", {pupil});
    ModalAnswer answer([&](QWidget* dialog) {
        auto* edit = part<QLineEdit>(dialog, "EWartoscSredniej");
        QTest::keyClicks(edit, average);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    click(editor, "LDodajSrednie");
    QVERIFY2(answer.ran() && !answer.leftOpen(), qPrintable(pupil));
}

inline void addFailing(QWidget* editor, const QString& pupil, const QStringList& subjects)
{
    choose(editor, "LUczniowieNdst", {pupil});
    ModalAnswer answer([&](QWidget* dialog) {
        auto* list = part<QListWidget>(dialog, "LPrzedmioty");
        list->clearSelection();
        for (const QString& subject : subjects)
            list->findItems(subject, Qt::MatchExactly).first()->setSelected(true);
        QTest::keyClick(list, Qt::Key_Return);
    });
    click(editor, "LDodajNdst");
    QVERIFY2(answer.ran() && !answer.leftOpen(), qPrintable(pupil));
}

// The school of the hand-worked report under tests/document/golden/werdykon.
inline QList<_Klasa> goldenSchool()
{
    return {
        makeClass(QStringLiteral("IIIb <gim>"),
                  {QStringLiteral("Adamczyk Łukasz"), QStringLiteral("Bąk Zofia"),
                   QStringLiteral("Cieślak Michał"), QStringLiteral("Dąbrowska Żaneta"),
                   QStringLiteral("Jabłoński Paweł"), QStringLiteral("Wiśniewska Ewa")}),
        makeClass(QStringLiteral("0a"), {QStringLiteral("Nowak Ida"), QStringLiteral("Zięba Olek")},
                  QStringLiteral("1")),
        makeClass(QStringLiteral("pusta"), {}),
    };
}

inline QStringList goldenSubjects()
{
    return {QStringLiteral("Matematyka"), QStringLiteral("Fizyka & astronomia"),
            QStringLiteral("Język polski")};
}

// The school loader of a running program on the golden school, with two teachers.
inline bool loadGoldenSchool()
{
    schoolData() = SchoolData{};
    schoolData().Classes = goldenSchool();
    appState().TeacherNames = {QStringLiteral("Abacki Jan"), QStringLiteral("Kowalska Anna")};
    appState().SubjectNames = goldenSubjects();
    return true;
}

// Enters the hand-worked report into the editor, in an order other than the class
// order, on the first class.
inline void enterGoldenCase(QWidget* editor)
{
    part<QLineEdit>(editor, "EPromowanych")->setText(QStringLiteral("4"));
    click(editor, "LFrekwencja");
    choose(editor, "LUczniowieFrekwencja", {QStringLiteral("Dąbrowska Żaneta")});
    click(editor, "LDodajFrekwencja");
    choose(editor, "LUczniowieFrekwencja", {QStringLiteral("Adamczyk Łukasz")});
    click(editor, "LDodajFrekwencja");
    click(editor, "LSrednie");
    addAverage(editor, QStringLiteral("Wiśniewska Ewa"), QStringLiteral("6"));
    addAverage(editor, QStringLiteral("Adamczyk Łukasz"), QStringLiteral("5,12"));
    addAverage(editor, QStringLiteral("Dąbrowska Żaneta"), QStringLiteral("4,75"));
    click(editor, "LNdst");
    addFailing(editor, QStringLiteral("Jabłoński Paweł"), {QStringLiteral("Język polski")});
    addFailing(editor, QStringLiteral("Cieślak Michał"),
               {QStringLiteral("Matematyka"), QStringLiteral("Fizyka & astronomia")});
}

} // namespace WerdykonSteps
