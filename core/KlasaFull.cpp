#include "core/KlasaFull.h"

#include "core/Messages.h"
#include "core/SchoolData.h"
#include "core/TextForm.h"

void _KlasaFull::LoadClassSheet(const QString& className, const QStringList& pupils)
{
    ClassName = className;
    PupilCount = static_cast<int>(pupils.size());
    FullAttendanceCount = 0;
    FailCount = 0;
    AverageCount = 0;
    ExemplaryConductCount = 0;
    ConductJustificationCount = 0;
    Rows.clear();
    Rows.reserve(pupils.size());
    for (const QString& pupil : pupils) {
        _UczenFull row;
        row.Name = pupil;
        Rows.append(row);
    }
}

void _KlasaFull::LoadClassSheet(int classIndex)
{
    const _Szkola& classes = schoolData().Classes;
    if (classIndex < 0 || classIndex >= classes.size()) {
        LoadClassSheet(QString(), QStringList());
        return;
    }
    const _Klasa& k = classes.at(classIndex);
    LoadClassSheet(k.Name, k.Pupils);
}

int _KlasaFull::FindPupilRow(const QString& name) const
{
    for (int r = 0; r < PupilCount; ++r) {
        if (Rows.at(r).Name == name)
            return r;
    }
    return -1;
}

QStringList _KlasaFull::CollectPupils(int filter) const
{
    QStringList names;
    for (int r = 0; r < PupilCount; ++r) {
        const _UczenFull& u = Rows.at(r);
        bool passes = false;
        switch (filter) {
        case FilterAverage:
            passes = u.Average >= 1;
            break;
        case FilterFailSubjects:
            passes = !u.FailSubjects.isEmpty();
            break;
        case FilterFullAttendance:
            passes = u.FullAttendance;
            break;
        case FilterExemplaryConduct:
            passes = u.ExemplaryConduct;
            break;
        case FilterConductGrade:
            passes = !u.ConductGrade.isEmpty();
            break;
        default:
            break;
        }
        if (passes)
            names.append(u.Name);
    }
    return names;
}

void _KlasaFull::SetJustification(JustificationKind kind, int row, const QString& data, const QString& text)
{
    if (row < 0 || row >= PupilCount)
        return;
    _UczenFull& u = Rows[row];
    if (kind == JustificationKind::Conduct) {
        u.ConductGrade = data;
        u.ConductJustification = text;
    } else {
        u.FailSubjects = data;
        u.FailJustification = text;
    }
}

void _KlasaFull::ClearJustification(JustificationKind kind, int row)
{
    SetJustification(kind, row, QString(), QString());
}

void _KlasaFull::StoreJustification(JustificationKind kind, int row, const QString& data,
                                    const QStringList& memoLines)
{
    SetJustification(kind, row, data, MemoToText(memoLines));
}

void _KlasaFull::StoreJustificationForPupils(JustificationKind kind, const QStringList& names,
                                             const QString& data, const QStringList& memoLines)
{
    const QString text = MemoToText(memoLines);
    for (const QString& name : names)
        SetJustification(kind, FindPupilRow(name), data, text);
}

const QString& _KlasaFull::JustificationText(JustificationKind kind, int row) const
{
    const _UczenFull& u = Rows.at(row);
    return kind == JustificationKind::Conduct ? u.ConductJustification : u.FailJustification;
}

QStringList _KlasaFull::JustificationToLines(JustificationKind kind, int row) const
{
    if (row < 0 || row >= PupilCount)
        return {};
    QStringList lines = SplitText(JustificationText(kind, row));
    for (QString& line : lines) {
        if (line.isEmpty())
            line = QStringLiteral(" ");
    }
    return lines;
}

bool _KlasaFull::ConfirmDeleteJustification(JustificationKind kind, const QString& name)
{
    const int row = FindPupilRow(name);
    if (row < 0)
        return false;
    const int answer = ShowMessage(KindQuestion, IconQuestion,
                                   QStringLiteral("Czy rzeczywiście usunąć uzasadnienie dla: ") + name +
                                       QStringLiteral("?"));
    if (answer != AnswerYes)
        return false;
    ClearJustification(kind, row);
    return true;
}

QString _KlasaFull::FirstJustifiedPupil(JustificationKind kind, const QStringList& names) const
{
    for (const QString& name : names) {
        const int row = FindPupilRow(name);
        if (row >= 0 && !JustificationText(kind, row).isEmpty())
            return Rows.at(row).Name;
    }
    return QString();
}

bool _KlasaFull::GroupSameJustification(JustificationKind kind, int row, QStringList& group,
                                        const std::function<QString(const QString&)>& form)
{
    group.clear();
    if (row < 0 || row >= PupilCount)
        return false;
    group.append(Rows.at(row).Name);
    const auto formed = [&](int r) { return form ? form(JustificationText(kind, r)) : JustificationText(kind, r); };
    const QString text = formed(row);
    bool joined = false;
    for (int j = row + 1; j < PupilCount; ++j) {
        if (!Rows.at(j).Grouped && formed(j) == text) {
            group.append(Rows.at(j).Name);
            Rows[j].Grouped = true;
            joined = true;
        }
    }
    return joined;
}

void _KlasaFull::ClearGroupedMarks()
{
    for (int r = 0; r < PupilCount; ++r)
        Rows[r].Grouped = false;
}

int _KlasaFull::CountJustifications(JustificationKind kind)
{
    int count = 0;
    for (int r = 0; r < PupilCount; ++r) {
        if (!JustificationText(kind, r).isEmpty())
            ++count;
    }
    if (kind == JustificationKind::Conduct)
        ConductJustificationCount = count;
    else
        FailCount = count;
    return count;
}

int _KlasaFull::CountMarks(int kind)
{
    int count = 0;
    for (int r = 0; r < PupilCount; ++r) {
        const _UczenFull& u = Rows.at(r);
        const bool marked = kind == MarkFullAttendance     ? u.FullAttendance
                            : kind == MarkExemplaryConduct ? u.ExemplaryConduct
                                                           : u.Average != 0;
        if (marked)
            ++count;
    }
    if (kind == MarkFullAttendance)
        FullAttendanceCount = count;
    else if (kind == MarkExemplaryConduct)
        ExemplaryConductCount = count;
    else
        AverageCount = count;
    return count;
}

void _KlasaFull::MarkRows(const QList<int>& rows, MarkKind mark)
{
    for (int r : rows) {
        if (r < 0 || r >= PupilCount)
            continue;
        if (mark == MarkFullAttendance)
            Rows[r].FullAttendance = true;
        else if (mark == MarkExemplaryConduct)
            Rows[r].ExemplaryConduct = true;
    }
}

_KlasaFull& klasaFull()
{
    static _KlasaFull sheet;
    return sheet;
}
