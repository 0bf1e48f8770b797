#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

struct AppState;
struct _KlasaFull;

// The nine report routines. Each takes what its editor collected (texts of edits,
// selected items, typed lines of memos, and for the class topics the class sheet),
// reads TempFolder, TeacherName and MachineSignature from `state`, and writes
// TempFolder + DocumentFileName + ".xml" and its preview page into TempFolder. On
// success it sets state.DocumentFileName and state.PreviewPage and returns true. When
// a file cannot be written it shows a notice, leaves DocumentFileName as it was and
// returns false. When a text holds characters the report cannot store, it asks first
// and writes nothing (returning false) unless the answer is Tak. `now` is the time of
// writing.

// Preview pages in the working folder, by topic.
inline const QString kPreviewWerdykon = QStringLiteral("Klas.htm");
inline const QString kPreviewZachowanie = QStringLiteral("Zach.htm");
inline const QString kPreviewRealWych = QStringLiteral("RW.htm");
inline const QString kPreviewRealProgramu = QStringLiteral("Wb.htm");
inline const QString kPreviewZajDodatkowe = QStringLiteral("Wb.htm");
inline const QString kPreviewUzasadnienie = QStringLiteral("Ndst.htm");
inline const QString kPreviewDyrektor = QStringLiteral("Dyr.htm");
inline const QString kPreviewInne = QStringLiteral("Inne.htm");
inline const QString kPreviewKarta = QStringLiteral("ZKarty.htm");

// Class classification: counts as typed; the sheet's attendance, averages and
// failing subjects.
struct WerdykonInput
{
    QString ClassName;
    QString Classified; // EKlasyfikowanych
    QString Promoted;   // EPromowanych
};
bool WriteWerdykonReport(const WerdykonInput& in, _KlasaFull& sheet, AppState& state, const QDateTime& now);

// Conduct classification: the sheet's exemplary pupils and lowered grades.
struct ZachowanieInput
{
    QString ClassName;
    QString Classified;  // EKlasyfikowanych
    QStringList Remarks; // MInneUwagi
};
bool WriteZachowanieReport(const ZachowanieInput& in, _KlasaFull& sheet, AppState& state,
                           const QDateTime& now);

// The class's educational programme.
struct RealWychInput
{
    QString ClassName;     // CKlasa
    QStringList General;   // Mogolne
    QStringList Successes; // MSukcesy
};
bool WriteRealWychReport(const RealWychInput& in, AppState& state, const QDateTime& now);

// A subject's curriculum.
struct RealProgramuInput
{
    QString Subject;       // CPrzedmiotNauczania
    QString Classes;       // EKlasy
    QStringList General;   // Mogolne
    QStringList Successes; // MSukcesy
};
bool WriteRealProgramuReport(const RealProgramuInput& in, AppState& state, const QDateTime& now);

// Additional activities; numbered from `now`.
struct ZajDodatkoweInput
{
    QString Activity;    // EZajecia
    QStringList General; // Mogolne
};
bool WriteZajDodatkoweReport(const ZajDodatkoweInput& in, AppState& state, const QDateTime& now);

// Failing-grade justifications of the sheet's pupils.
struct UzasadnienieInput
{
    QString Subject;   // CPrzedmiotNauczania
    QString ClassName; // CListaKlas
};
bool WriteUzasadnienieReport(const UzasadnienieInput& in, _KlasaFull& sheet, AppState& state,
                             const QDateTime& now);

// The head teacher's report.
struct DyrektorInput
{
    QStringList Teaching;    // MDydaktyczna
    QStringList Supervision; // MNadzor
};
bool WriteDyrektorReport(const DyrektorInput& in, AppState& state, const QDateTime& now);

// Another report for the minutes; numbered from `now`.
struct InneInput
{
    QString Concerns; // EDotyczy
    QStringList Info; // MInfo
};
bool WriteInneReport(const InneInput& in, AppState& state, const QDateTime& now);

// Activities under the teachers' charter; numbered from `now`.
struct KartaInput
{
    QStringList Info; // MInfo
};
bool WriteKartaReport(const KartaInput& in, AppState& state, const QDateTime& now);
