#pragma once

#include "core/KlasaFull.h"
#include "document/ReportRoutines.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

// What each editor holds, as one plain value: the report routine's input plus what
// the window needs to show it again (the right-hand lists in the order the teacher
// filled them, the memos as typed, the class sheet). Drafts, their restoring and the
// report routines all work from these values.
//
// Every value names its fields once, in Exchange(); DraftFields walks them to save a
// value into a JSON object or to load it back, so there is one way to keep them.

// Saves or loads the fields of an editor's value. Loading is strict: a missing field
// or one of the wrong type marks the whole value as unreadable.
class DraftFields
{
public:
    // Saving into `out`.
    explicit DraftFields(QJsonObject* out) : m_out(out) {}
    // Loading from `in`.
    explicit DraftFields(const QJsonObject& in) : m_in(in) {}

    void Field(const char* name, QString& value);
    void Field(const char* name, QStringList& value);
    void Field(const char* name, QList<_UczenFull>& rows);

    bool Ok() const { return m_ok; }

private:
    QJsonObject* m_out = nullptr;
    QJsonObject m_in;
    bool m_ok = true;
};

template <typename Input> QJsonObject SaveInput(const Input& input)
{
    QJsonObject out;
    DraftFields fields(&out);
    Input copy = input;
    copy.Exchange(fields);
    return out;
}

template <typename Input> bool LoadInput(const QJsonObject& in, Input* input)
{
    DraftFields fields(in);
    Input loaded;
    loaded.Exchange(fields);
    if (!fields.Ok())
        return false;
    *input = loaded;
    return true;
}

// ---- the three class editors -------------------------------------------------------

struct WerdykonEdit
{
    QString ClassName;
    QString Classified;
    QString Promoted;
    QStringList Attendance; // L100Frekwencja
    QStringList Averages;   // LSrednieZPaskiem
    QStringList Failing;    // LNiedostateczni
    QList<_UczenFull> Rows;

    // Something the teacher entered: a listed pupil or a promoted count of his own.
    bool HoldsInput() const;
    WerdykonInput Report() const { return {ClassName, Classified, Promoted}; }
    template <typename F> void Exchange(F& f)
    {
        f.Field("klasa", ClassName);
        f.Field("klasyfikowanych", Classified);
        f.Field("promowanych", Promoted);
        f.Field("frekwencja", Attendance);
        f.Field("pasek", Averages);
        f.Field("ndst", Failing);
        f.Field("uczniowie", Rows);
    }
};

struct ZachowanieEdit
{
    QString ClassName;
    QString Classified;
    QString Remarks;       // MInneUwagi as typed
    QStringList Exemplary; // LWzorowi
    QStringList Lowered;   // LNaganni
    QList<_UczenFull> Rows;

    bool HoldsInput() const;
    ZachowanieInput Report() const;
    template <typename F> void Exchange(F& f)
    {
        f.Field("klasa", ClassName);
        f.Field("klasyfikowanych", Classified);
        f.Field("uwagi", Remarks);
        f.Field("wzorowi", Exemplary);
        f.Field("obnizone", Lowered);
        f.Field("uczniowie", Rows);
    }
};

struct UzasadnienieEdit
{
    QString Subject;
    QString ClassName;
    QStringList Justified; // LUzasadnione
    QList<_UczenFull> Rows;

    bool HoldsInput() const { return !Justified.isEmpty(); }
    UzasadnienieInput Report() const { return {Subject, ClassName}; }
    template <typename F> void Exchange(F& f)
    {
        f.Field("przedmiot", Subject);
        f.Field("klasa", ClassName);
        f.Field("uzasadnione", Justified);
        f.Field("uczniowie", Rows);
    }
};

// ---- the free-text editors (memos as typed) -----------------------------------------

struct RealProgramuEdit
{
    QString Subject;
    QString Classes;
    QString General;
    QString Successes;

    bool HoldsInput() const { return !Classes.isEmpty() || !General.isEmpty() || !Successes.isEmpty(); }
    RealProgramuInput Report() const;
    template <typename F> void Exchange(F& f)
    {
        f.Field("przedmiot", Subject);
        f.Field("klasy", Classes);
        f.Field("ogolne", General);
        f.Field("sukcesy", Successes);
    }
};

struct RealWychEdit
{
    QString ClassName;
    QString General;
    QString Successes;

    bool HoldsInput() const { return !General.isEmpty() || !Successes.isEmpty(); }
    RealWychInput Report() const;
    template <typename F> void Exchange(F& f)
    {
        f.Field("klasa", ClassName);
        f.Field("ogolne", General);
        f.Field("sukcesy", Successes);
    }
};

struct ZajDodatkoweEdit
{
    QString Activity;
    QString General;

    bool HoldsInput() const { return !Activity.isEmpty() || !General.isEmpty(); }
    ZajDodatkoweInput Report() const;
    template <typename F> void Exchange(F& f)
    {
        f.Field("zajecia", Activity);
        f.Field("ogolne", General);
    }
};

struct DyrektorEdit
{
    QString Teaching;
    QString Supervision;

    bool HoldsInput() const { return !Teaching.isEmpty() || !Supervision.isEmpty(); }
    DyrektorInput Report() const;
    template <typename F> void Exchange(F& f)
    {
        f.Field("dydaktyczna", Teaching);
        f.Field("nadzor", Supervision);
    }
};

struct InneEdit
{
    QString Concerns;
    QString Info;

    bool HoldsInput() const { return !Concerns.isEmpty() || !Info.isEmpty(); }
    InneInput Report() const;
    template <typename F> void Exchange(F& f)
    {
        f.Field("dotyczy", Concerns);
        f.Field("info", Info);
    }
};

struct KartaEdit
{
    QString Info;

    bool HoldsInput() const { return !Info.isEmpty(); }
    KartaInput Report() const;
    template <typename F> void Exchange(F& f) { f.Field("info", Info); }
};
