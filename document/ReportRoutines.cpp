#include "document/ReportRoutines.h"

#include "core/AppState.h"
#include "core/KlasaFull.h"
#include "core/Messages.h"
#include "core/TextForm.h"
#include "document/AverageValue.h"
#include "document/ReportFileName.h"
#include "document/ReportPreview.h"
#include "document/ReportWriter.h"
#include "document/UnstorableText.h"
#include "encoding/PKXML.h"

#include <QDir>

namespace {

const QString kIndent = QStringLiteral("&nbsp;&nbsp;&nbsp;");
const QString kNobody = QStringLiteral(" brak takich uczniów.");

// One report being built: its document, its page and the writer over both. Begins
// with the title in both, and ends by stamping the document and saving the two files.
class Report
{
public:
    Report(AppState& state, const QDateTime& now, const QString& docTitle, const QString& previewTitle)
        : m_state(state), m_now(now), w(m_doc, page)
    {
        PreviewBegin(page);
        w.WriteSchoolValue(QStringLiteral("Doc"), docTitle);
        PreviewTitle(page, previewTitle);
        PreviewOpenText(page);
    }

    // Texts from the user shown after a label.
    void label(const QString& label, const QString& typed)
    {
        PreviewLabelValue(page, label, PreviewEscape(typed));
    }

    void stamp() { w.WriteStamp(m_state.MachineSignature, m_now); }

    bool save(const QString& previewFile, const QString& documentFileName)
    {
        PreviewBlankLine(page);
        PreviewCloseText(page);
        PreviewEnd(page);
        m_doc.Unicode = false;
        // Asked before anything is written: Nie leaves the editor open with its input.
        if (!ConfirmUnstorable(m_doc))
            return false;
        m_state.PreviewPage = page;

        const QString pagePath = QDir(m_state.TempFolder).filePath(previewFile);
        QString error;
        if (!SavePreviewPage(page, pagePath, &error))
            return failed(pagePath, error);
        if (!SaveReportFile(m_doc, m_state.TempFolder, documentFileName, &error))
            return failed(QDir(m_state.TempFolder).filePath(documentFileName + QStringLiteral(".xml")),
                          error);
        m_state.DocumentFileName = documentFileName;
        return true;
    }

private:
    // `why` is a clause in FileFailureText's words. The reason comes first: the
    // message dialog shows about four lines, and a long path may take two.
    static bool failed(const QString& path, const QString& why)
    {
        ShowMessage(
            KindNotice, IconWarning,
            QStringLiteral("Nie udało się zapisać pliku: %1.\r%2").arg(why, QDir::toNativeSeparators(path)));
        return false;
    }

    AppState& m_state;
    QDateTime m_now;
    TpkXML m_doc;

public:
    // The routines write through these two directly; the writer needs the document
    // and the page above it.
    QStringList page;
    ReportWriter w;
};

QString average(int hundredths)
{
    return FormatAverage(hundredths);
}

} // namespace

bool WriteWerdykonReport(const WerdykonInput& in, _KlasaFull& sheet, AppState& state, const QDateTime& now)
{
    Report r(state, now, QStringLiteral("Werdykon klasy"), QStringLiteral("Werdykon klasy - nauczanie"));
    r.label(QStringLiteral("Klasa:"), in.ClassName);
    r.w.WriteSchoolValue(QStringLiteral("Klasa"), in.ClassName);
    r.label(QStringLiteral("Wychowawca:"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    r.label(QStringLiteral("Klasyfikowanych:"), in.Classified);
    r.w.WriteSchoolValue(QStringLiteral("Klasyfikowanych"), in.Classified);
    r.label(QStringLiteral("Promowanych:"), in.Promoted);
    r.w.WriteSchoolValue(QStringLiteral("Promowanych"), in.Promoted);

    const QStringList attending = sheet.CollectPupils(FilterFullAttendance);
    sheet.CountMarks(MarkFullAttendance);
    if (attending.isEmpty())
        PreviewLabelValue(r.page, QStringLiteral("Stuprocentowa frekwencja:"), kNobody);
    else
        r.label(QStringLiteral("Stuprocentowa frekwencja:"), JoinWithCommas(attending));
    r.w.WriteFullAttendance(sheet);

    const QString distinction = QStringLiteral("Uczniowie zasługujący na wyróżnienie:");
    if (sheet.CountMarks(MarkAverage) == 0) {
        PreviewLabelValue(r.page, distinction, kNobody);
    } else {
        PreviewHeading(r.page, distinction);
        for (int i = 0; i < sheet.PupilCount; ++i) {
            const _UczenFull& u = sheet.Rows.at(i);
            if (u.Average == 0)
                continue;
            // Below 5 marks a pupil of a class without numeric averages.
            const QString line = u.Average < 5 ? u.Name : u.Name + QStringLiteral(" - ") + average(u.Average);
            PreviewLine(r.page, kIndent + PreviewEscape(line));
        }
    }
    r.w.WriteDistinctions(sheet);

    const QString failing = QStringLiteral("Uczniowie z ocenami niedostatecznymi:");
    const QStringList failingPupils = sheet.CollectPupils(FilterFailSubjects);
    sheet.FailCount = static_cast<int>(failingPupils.size());
    if (failingPupils.isEmpty()) {
        PreviewLabelValue(r.page, failing, kNobody);
    } else {
        PreviewHeading(r.page, failing);
        for (int i = 0; i < sheet.PupilCount; ++i) {
            const _UczenFull& u = sheet.Rows.at(i);
            if (!u.FailSubjects.isEmpty())
                PreviewLine(r.page, kIndent + PreviewEscape(u.Name + QStringLiteral(" - ") + u.FailSubjects));
        }
    }
    r.w.WriteFailingGrades(sheet);

    r.stamp();
    return r.save(kPreviewWerdykon,
                  ReportFileName(QStringLiteral("Werdykon"), {in.ClassName, state.TeacherName}));
}

bool WriteZachowanieReport(const ZachowanieInput& in, _KlasaFull& sheet, AppState& state,
                           const QDateTime& now)
{
    Report r(state, now, QStringLiteral("Werdykon klasy z zachowania"),
             QStringLiteral("Werdykon klasy - zachowanie"));
    r.label(QStringLiteral("Klasa:"), in.ClassName);
    r.w.WriteSchoolValue(QStringLiteral("Klasa"), in.ClassName);
    r.label(QStringLiteral("Wychowawca:"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    r.label(QStringLiteral("Klasyfikowanych:"), in.Classified);
    r.w.WriteSchoolValue(QStringLiteral("Klasyfikowanych"), in.Classified);

    const QStringList exemplary = sheet.CollectPupils(FilterExemplaryConduct);
    sheet.CountMarks(MarkExemplaryConduct);
    if (exemplary.isEmpty())
        PreviewLabelValue(r.page, QStringLiteral("Uczniowie wzorowi:"), kNobody);
    else
        r.label(QStringLiteral("Uczniowie wzorowi, to:"), JoinWithCommas(exemplary) + QStringLiteral("."));
    r.w.WriteExemplaryConduct(sheet);

    sheet.ClearGroupedMarks();
    if (sheet.CountJustifications(JustificationKind::Conduct) == 0)
        PreviewLabelValue(r.page, QStringLiteral("Oceny obniżone z zachowania:"),
                          QStringLiteral(" brak takich ocen w tej klasie."));
    else
        PreviewHeading(r.page, QStringLiteral("Oceny obniżone z zachowania:"));
    QStringList group;
    const auto written = RememberingWrittenText();
    for (int i = 0; i < sheet.PupilCount; ++i) {
        if (sheet.Rows.at(i).ConductGrade.isEmpty() || sheet.Rows.at(i).Grouped)
            continue;
        sheet.GroupSameJustification(JustificationKind::Conduct, i, group, written);
        const _UczenFull& u = sheet.Rows.at(i);
        if (group.size() > 1)
            r.label(QStringLiteral("&nbsp;&nbsp;Uczniowie: "), JoinWithCommas(group) + QStringLiteral("."));
        else
            r.label(QStringLiteral("&nbsp;&nbsp;Uczeń: "), u.Name);
        r.label(QStringLiteral("&nbsp;&nbsp;Ocena: "), u.ConductGrade);
        PreviewLabelValue(r.page, QStringLiteral("&nbsp;&nbsp;Uzasadnienie: "), QString());
        for (const QString& line : sheet.JustificationToLines(JustificationKind::Conduct, i))
            PreviewLine(r.page, kIndent + PreviewEscape(line));
    }
    r.w.WriteConductJustifications(sheet);

    const QString remarks = MemoToText(in.Remarks);
    if (!remarks.isEmpty()) {
        PreviewBlankLine(r.page);
        PreviewHeading(r.page, QStringLiteral("Uwagi o pracy:"));
    }
    r.w.WriteTextLines(QStringLiteral("Uwagi"), QStringLiteral("w"), remarks);

    r.stamp();
    return r.save(kPreviewZachowanie,
                  ReportFileName(QStringLiteral("Zachowanie"), {in.ClassName, state.TeacherName}));
}

namespace {

// The two curriculum reports end alike: general information, then successes.
void writeGeneralAndSuccesses(Report& r, const QStringList& general, const QStringList& successes)
{
    PreviewHeading(r.page, QStringLiteral("Informacje ogólne:"));
    r.w.WriteMemoLines(QStringLiteral("Ogolne"), QStringLiteral("w"), general);
    if (!successes.isEmpty()) {
        PreviewBlankLine(r.page);
        PreviewHeading(r.page, QStringLiteral("Sukcesy, problemy i wnioski:"));
    }
    r.w.WriteMemoLines(QStringLiteral("Sukcesy"), QStringLiteral("w"), successes);
}

} // namespace

bool WriteRealWychReport(const RealWychInput& in, AppState& state, const QDateTime& now)
{
    Report r(state, now, QStringLiteral("Realizacja programu wychowawczego"),
             QStringLiteral("Realizacja programu wychowawczego klasy"));
    r.label(QStringLiteral("Klasa:"), in.ClassName);
    r.w.WriteSchoolValue(QStringLiteral("Klasa"), in.ClassName);
    r.label(QStringLiteral("Nauczający:"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    writeGeneralAndSuccesses(r, in.General, in.Successes);
    r.stamp();
    return r.save(kPreviewRealWych,
                  ReportFileName(QStringLiteral("RProgWych"), {in.ClassName, state.TeacherName}));
}

bool WriteRealProgramuReport(const RealProgramuInput& in, AppState& state, const QDateTime& now)
{
    const QString title = QStringLiteral("Realizacja programu z przedmiotu nauczania");
    Report r(state, now, title, title);
    r.label(QStringLiteral("Przedmiot nauczania:"), in.Subject);
    r.w.WriteSchoolValue(QStringLiteral("Przedmiot"), in.Subject);
    r.label(QStringLiteral("Nauczający:"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    r.label(QStringLiteral("Klasy:"), in.Classes);
    r.w.WriteSchoolValue(QStringLiteral("Klasy"), in.Classes);
    writeGeneralAndSuccesses(r, in.General, in.Successes);
    r.stamp();
    return r.save(kPreviewRealProgramu,
                  ReportFileName(QStringLiteral("RProg"), {in.Subject, in.Classes, state.TeacherName}));
}

bool WriteZajDodatkoweReport(const ZajDodatkoweInput& in, AppState& state, const QDateTime& now)
{
    const QString number = MakeDocNumber(now.time());
    Report r(state, now, QStringLiteral("Realizacja dodatkowych"),
             QStringLiteral("Realizacja zajęć dodatkowych"));
    r.label(QStringLiteral("Prowadzone zajęcia: "), in.Activity);
    r.w.WriteSchoolValue(QStringLiteral("Zajecia"), in.Activity);
    r.label(QStringLiteral("Nauczający:"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Nr"), number);
    PreviewHeading(r.page, QStringLiteral("Informacje ogólne:"));
    r.w.WriteMemoLines(QStringLiteral("Ogolne"), QStringLiteral("w"), in.General);
    r.stamp();
    return r.save(kPreviewZajDodatkowe,
                  ReportFileName(QStringLiteral("ZajDod"), {number, state.TeacherName}));
}

bool WriteUzasadnienieReport(const UzasadnienieInput& in, _KlasaFull& sheet, AppState& state,
                             const QDateTime& now)
{
    const QString title = QStringLiteral("Uzasadnienie oceny niedostatecznej");
    Report r(state, now, title, title);
    r.label(QStringLiteral("Przedmiot nauczania:"), in.Subject);
    r.w.WriteSchoolValue(QStringLiteral("Przedmiot"), in.Subject);
    r.label(QStringLiteral("Klasa:"), in.ClassName);
    r.w.WriteSchoolValue(QStringLiteral("Klasa"), in.ClassName);
    r.label(QStringLiteral("Nauczający:"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    PreviewHeading(r.page, QStringLiteral("Uzasadnienia:"));
    r.w.WriteGradeJustifications(sheet);
    r.stamp();

    sheet.ClearGroupedMarks();
    QStringList group;
    const auto written = RememberingWrittenText();
    for (int i = 0; i < sheet.PupilCount; ++i) {
        if (sheet.Rows.at(i).FailSubjects.isEmpty() || sheet.Rows.at(i).Grouped)
            continue;
        sheet.GroupSameJustification(JustificationKind::FailingGrade, i, group, written);
        if (i > 0)
            PreviewBlankLine(r.page);
        if (group.size() > 1)
            r.label(QStringLiteral("&nbsp;&nbsp;Uczniowie: "), JoinWithCommas(group));
        else
            r.label(QStringLiteral("&nbsp;&nbsp;&nbsp;Uczeń: "), sheet.Rows.at(i).Name);
        for (const QString& line : sheet.JustificationToLines(JustificationKind::FailingGrade, i))
            PreviewLine(r.page, kIndent + PreviewEscape(line));
    }

    return r.save(kPreviewUzasadnienie,
                  ReportFileName(QStringLiteral("UNdst"), {in.Subject, in.ClassName, state.TeacherName}));
}

bool WriteDyrektorReport(const DyrektorInput& in, AppState& state, const QDateTime& now)
{
    Report r(state, now, QStringLiteral("Sprawozdanie dyrektora"),
             QStringLiteral("Sprawozdanie dyrektora szkoły"));
    r.label(QStringLiteral("Dyrektor: "), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    PreviewBlankLine(r.page);
    PreviewHeading(r.page, QStringLiteral("Działalność dydaktyczna, wychowawcza i opiekuńcza"));
    r.w.WriteMemoLines(QStringLiteral("Dydaktyczna"), QStringLiteral("w"), in.Teaching);
    if (!in.Supervision.isEmpty()) {
        PreviewBlankLine(r.page);
        PreviewHeading(r.page, QStringLiteral("Nadzór pedagogiczny, uwagi i wnioski"));
    }
    r.w.WriteMemoLines(QStringLiteral("Nadzor"), QStringLiteral("w"), in.Supervision);
    r.stamp();
    return r.save(kPreviewDyrektor, ReportFileName(QStringLiteral("Dyrektor"), {state.TeacherName}));
}

bool WriteInneReport(const InneInput& in, AppState& state, const QDateTime& now)
{
    const QString number = MakeDocNumber(now.time());
    Report r(state, now, QStringLiteral("Inne informacje"),
             QStringLiteral("Informacje o realizacji innych zadań"));
    r.label(QStringLiteral("Dotyczy:"), in.Concerns);
    r.label(QStringLiteral("Nauczyciel:"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Dotyczy"), in.Concerns);
    r.w.WriteSchoolValue(QStringLiteral("Nr"), number);
    PreviewHeading(r.page, QStringLiteral("Informacja:"));
    r.w.WriteMemoLines(QStringLiteral("Info"), QStringLiteral("w"), in.Info);
    r.stamp();
    return r.save(kPreviewInne, ReportFileName(QStringLiteral("InneInfo"), {number, state.TeacherName}));
}

bool WriteKartaReport(const KartaInput& in, AppState& state, const QDateTime& now)
{
    const QString number = MakeDocNumber(now.time());
    Report r(state, now, QStringLiteral("Z karty"),
             QStringLiteral("Sprawozdanie z zajęć wynikających z karty"));
    r.label(QStringLiteral("Nauczyciel:"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Belfer"), state.TeacherName);
    r.w.WriteSchoolValue(QStringLiteral("Nr"), number);
    PreviewHeading(r.page, QStringLiteral("Informacja:"));
    r.w.WriteMemoLines(QStringLiteral("Info"), QStringLiteral("w"), in.Info);
    r.stamp();
    return r.save(kPreviewKarta, ReportFileName(QStringLiteral("ZKarty"), {number, state.TeacherName}));
}
