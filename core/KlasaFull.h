#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// One pupil's row of the class sheet.
struct _UczenFull
{
    QString Name;
    int Average = 0; // hundredths (475 is 4,75); 1 = listed without a value; 0 = not listed
    QString FailSubjects;
    QString FailJustification; // "&" text form
    bool FullAttendance = false;
    bool ExemplaryConduct = false;
    QString ConductGrade;
    QString ConductJustification; // "&" text form
    bool Grouped = false;         // used while a report groups equal justifications
};

// Which of the two justifications of a row an operation works on: the failing grade
// (subject in FailSubjects, text in FailJustification) or the lowered conduct grade
// (grade in ConductGrade, text in ConductJustification).
enum class JustificationKind
{
    FailingGrade,
    Conduct
};

// Filters of CollectPupils.
enum PupilFilter
{
    FilterAverage = 1,          // Average >= 1
    FilterFailSubjects = 2,     // FailSubjects not empty
    FilterFullAttendance = 3,   // FullAttendance
    FilterExemplaryConduct = 4, // ExemplaryConduct
    FilterConductGrade = 5,     // ConductGrade not empty
};

// Kinds of CountMarks.
enum MarkKind
{
    MarkFullAttendance = 0,
    MarkExemplaryConduct = 1,
    MarkAverage = 2, // any other value counts averages too
};

// The working table of the class being edited: what the class-based editors collect
// per pupil and what the reports are written from. The sheet holds as many rows as
// the loaded class has pupils, however many that is.
struct _KlasaFull
{
    QString ClassName;
    QList<_UczenFull> Rows;
    int PupilCount = 0;
    int FullAttendanceCount = 0;
    int FailCount = 0;
    int AverageCount = 0;
    int ExemplaryConductCount = 0;
    int ConductJustificationCount = 0;

    // Loads a class: its name and its pupils in order, every row cleared and every
    // counter reset.
    void LoadClassSheet(const QString& className, const QStringList& pupils);
    // The same for the class at `classIndex` of the school's classes; an index
    // without a class (no classes at all) gives an empty sheet.
    void LoadClassSheet(int classIndex);

    // First used row whose Name equals `name` exactly; -1 if none.
    int FindPupilRow(const QString& name) const;

    // Names of the rows, in order, that pass the filter (PupilFilter).
    QStringList CollectPupils(int filter) const;

    void SetJustification(JustificationKind kind, int row, const QString& data, const QString& text);
    void ClearJustification(JustificationKind kind, int row);
    // Stores the memo's typed lines in the "&" form.
    void StoreJustification(JustificationKind kind, int row, const QString& data,
                            const QStringList& memoLines);
    // The same text for every named pupil; names without a row are skipped.
    void StoreJustificationForPupils(JustificationKind kind, const QStringList& names, const QString& data,
                                     const QStringList& memoLines);

    // The row's justification as lines, an empty line becoming one blank so that it
    // survives a round trip through a memo.
    QStringList JustificationToLines(JustificationKind kind, int row) const;

    // Asks whether to delete the named pupil's justification and deletes it on "Tak".
    // False without asking when the name has no row.
    bool ConfirmDeleteJustification(JustificationKind kind, const QString& name);

    // The first of `names` whose row already has a justification of that kind; empty
    // if none. Editors refuse a second justification for that pupil.
    QString FirstJustifiedPupil(JustificationKind kind, const QStringList& names) const;

    // Gathers into `group` row r's name and the names of the later, not yet grouped
    // rows whose text of that kind equals r's, marking those later rows. Texts are
    // compared as `form` gives them (exactly, without one). True when at least one
    // later row joined. Row r itself is not marked.
    bool GroupSameJustification(JustificationKind kind, int row, QStringList& group,
                                const std::function<QString(const QString&)>& form = {});
    void ClearGroupedMarks();

    // Rows with a justification text of that kind; stored in ConductJustificationCount
    // or FailCount.
    int CountJustifications(JustificationKind kind);
    // Rows with the mark (MarkKind); stored in the matching counter.
    int CountMarks(int kind);

    // Sets FullAttendance (or ExemplaryConduct) of the rows at the given positions,
    // the pupil list of a class holding the rows in row order.
    void MarkRows(const QList<int>& rows, MarkKind mark);

    const QString& JustificationText(JustificationKind kind, int row) const;
};

// The one sheet of the program, shared by the class-based editors.
_KlasaFull& klasaFull();
