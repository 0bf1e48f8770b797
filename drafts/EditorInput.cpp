#include "drafts/EditorInput.h"

#include "core/TextForm.h"

#include <QJsonArray>

namespace {

// Fields of a pupil's row, by name. Grouped is a working mark of the report routine
// and is not kept.
constexpr const char* kName = "imie";
constexpr const char* kAverage = "srednia";
constexpr const char* kFailSubjects = "przedmioty";
constexpr const char* kFailJustification = "uzasadnienie";
constexpr const char* kFullAttendance = "frekwencja";
constexpr const char* kExemplary = "wzorowe";
constexpr const char* kConductGrade = "ocena";
constexpr const char* kConductJustification = "uzasadnienieoceny";

QJsonObject rowToJson(const _UczenFull& row)
{
    QJsonObject o;
    o.insert(QLatin1String(kName), row.Name);
    o.insert(QLatin1String(kAverage), row.Average);
    o.insert(QLatin1String(kFailSubjects), row.FailSubjects);
    o.insert(QLatin1String(kFailJustification), row.FailJustification);
    o.insert(QLatin1String(kFullAttendance), row.FullAttendance);
    o.insert(QLatin1String(kExemplary), row.ExemplaryConduct);
    o.insert(QLatin1String(kConductGrade), row.ConductGrade);
    o.insert(QLatin1String(kConductJustification), row.ConductJustification);
    return o;
}

bool rowFromJson(const QJsonValue& value, _UczenFull* row)
{
    if (!value.isObject())
        return false;
    const QJsonObject o = value.toObject();
    const auto text = [&](const char* name, QString* out) {
        const QJsonValue v = o.value(QLatin1String(name));
        *out = v.toString();
        return v.isString();
    };
    const auto flag = [&](const char* name, bool* out) {
        const QJsonValue v = o.value(QLatin1String(name));
        *out = v.toBool();
        return v.isBool();
    };
    const QJsonValue average = o.value(QLatin1String(kAverage));
    // An average is 0, 1 or a value in hundredths of a grade; anything else was not
    // written by the program.
    if (!average.isDouble() || average.toDouble() != average.toInt() || average.toInt() < 0 ||
        average.toInt() > 600)
        return false;
    row->Average = average.toInt();
    return text(kName, &row->Name) && text(kFailSubjects, &row->FailSubjects) &&
           text(kFailJustification, &row->FailJustification) && flag(kFullAttendance, &row->FullAttendance) &&
           flag(kExemplary, &row->ExemplaryConduct) && text(kConductGrade, &row->ConductGrade) &&
           text(kConductJustification, &row->ConductJustification);
}

} // namespace

void DraftFields::Field(const char* name, QString& value)
{
    const QString key = QLatin1String(name);
    if (m_out) {
        m_out->insert(key, value);
        return;
    }
    const QJsonValue v = m_in.value(key);
    m_ok = m_ok && v.isString();
    value = v.toString();
}

void DraftFields::Field(const char* name, QStringList& value)
{
    const QString key = QLatin1String(name);
    if (m_out) {
        m_out->insert(key, QJsonArray::fromStringList(value));
        return;
    }
    const QJsonValue v = m_in.value(key);
    value.clear();
    if (!v.isArray()) {
        m_ok = false;
        return;
    }
    for (const QJsonValue item : v.toArray()) {
        m_ok = m_ok && item.isString();
        value << item.toString();
    }
}

void DraftFields::Field(const char* name, QList<_UczenFull>& rows)
{
    const QString key = QLatin1String(name);
    if (m_out) {
        QJsonArray array;
        for (const _UczenFull& row : rows)
            array.append(rowToJson(row));
        m_out->insert(key, array);
        return;
    }
    const QJsonValue v = m_in.value(key);
    rows.clear();
    if (!v.isArray()) {
        m_ok = false;
        return;
    }
    for (const QJsonValue item : v.toArray()) {
        _UczenFull row;
        m_ok = m_ok && rowFromJson(item, &row);
        rows << row;
    }
}

bool WerdykonEdit::HoldsInput() const
{
    return !Attendance.isEmpty() || !Averages.isEmpty() || !Failing.isEmpty() || Promoted != Classified;
}

bool ZachowanieEdit::HoldsInput() const
{
    return !Remarks.isEmpty() || !Exemplary.isEmpty() || !Lowered.isEmpty();
}

ZachowanieInput ZachowanieEdit::Report() const
{
    return {ClassName, Classified, MemoLines(Remarks)};
}

RealProgramuInput RealProgramuEdit::Report() const
{
    return {Subject, Classes, MemoLines(General), MemoLines(Successes)};
}

RealWychInput RealWychEdit::Report() const
{
    return {ClassName, MemoLines(General), MemoLines(Successes)};
}

ZajDodatkoweInput ZajDodatkoweEdit::Report() const
{
    return {Activity, MemoLines(General)};
}

DyrektorInput DyrektorEdit::Report() const
{
    return {MemoLines(Teaching), MemoLines(Supervision)};
}

InneInput InneEdit::Report() const
{
    return {Concerns, MemoLines(Info)};
}

KartaInput KartaEdit::Report() const
{
    return {MemoLines(Info)};
}
