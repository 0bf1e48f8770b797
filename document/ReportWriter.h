#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

class TpkXML;
class TpkXMLNode;
struct _KlasaFull;

// `text` as a report document and its page carry it: characters XML cannot hold and
// characters outside Windows-1250 as "?". Texts equal in this form are one text.
QString WrittenText(const QString& text);

// WrittenText remembering what it gave, for comparing the same texts many times over
// (grouping the justifications of a class compares every pair).
std::function<QString(const QString&)> RememberingWrittenText();

// Number of a report document: the hour, minute and second of `time`, each without a
// leading zero, joined without separator (9:05:03 gives "953").
QString MakeDocNumber(const QTime& time);

// Date and time of writing as the document carries them: "19.06.2026 g. 09:05:03",
// the same under every locale.
QString StampDate(const QDateTime& now);

// Writes the document to `folder` + `name` + ".xml": the declaration line, then the
// element tree in Windows-1250, every line ended by CR LF. The file is written whole
// or not at all, and never outside `folder`. On failure `error` says why.
bool SaveReportFile(const TpkXML& doc, const QString& folder, const QString& name, QString* error);

// Fills one report document and its preview page. Every element lives under
// "Szkola"; a path of names finds each step or creates it, so elements appear in
// the order in which they were first written. Texts go into the document as they
// are (the tree escapes them) and into the preview escaped.
class ReportWriter
{
public:
    ReportWriter(TpkXML& doc, QStringList& page);

    void WriteSchoolValue(const QString& name, const QString& value);
    // A text block: IloscWierszy, then prefix + 0, prefix + 1 ... one per line; each
    // line also goes to the preview.
    void WriteMemoLines(const QString& name, const QString& prefix, const QStringList& lines);
    // The same for a text in the "&" form.
    void WriteTextLines(const QString& name, const QString& prefix, const QString& text);
    void WriteStamp(const QString& machineSignature, const QDateTime& now);

    void WriteFullAttendance(_KlasaFull& sheet);
    void WriteExemplaryConduct(_KlasaFull& sheet);
    void WriteDistinctions(_KlasaFull& sheet);
    // IleOsob is the sheet's FailCount as it stands.
    void WriteFailingGrades(const _KlasaFull& sheet);
    void WriteGradeJustifications(_KlasaFull& sheet);
    void WriteConductJustifications(_KlasaFull& sheet);

private:
    TpkXMLNode* node(const QStringList& path);
    void setValue(const QStringList& path, const QString& value);
    void writeMarkedPupils(_KlasaFull& sheet, const QString& element, int mark);
    void writeJustifications(_KlasaFull& sheet, bool conduct);

    TpkXML& m_doc;
    QStringList& m_page;
};
