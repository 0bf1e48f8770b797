#pragma once

#include <QString>
#include <QStringList>

// Polish nouns after a number take one of three forms: "1 uczeń", "2 uczniowie"
// (2–4, 22–24, 32–34, ... but not 12–14), "5 uczniów" (0, 5–21, 25–31, ...). Every
// count and list of people the program shows goes through here.
namespace PolishPlural {

struct Forms
{
    QString One;  // 1
    QString Few;  // 2–4 and their kin
    QString Many; // the rest, 0 included
};

// The form of the noun for `count`.
QString FormFor(qint64 count, const Forms& forms);

// The number and the noun: "1 uczeń", "3 uczniów" is never produced.
QString Count(qint64 count, const Forms& forms);

// The pupils, the noun before the names: "Uczeń: Król Renata" for one,
// "Uczniowie: Baran Kinga, Żak Tadeusz" for more.
QString PupilsCaption(const QStringList& names);

// Forms of the nouns the program counts.
extern const Forms kPupil;   // uczeń, uczniowie, uczniów
extern const Forms kSubject; // przedmiot, przedmioty, przedmiotów

} // namespace PolishPlural
