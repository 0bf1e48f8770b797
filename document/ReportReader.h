#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The one reader of the report documents the teacher's program writes: how their bytes
// are decoded, the topics and their titles, the dates, and what a document says. The
// school's collection reads whole documents with it; the mail of a report prepared
// earlier reads its teacher with it, so that both take a document alike.

// Topics 1 to 9 in the order of the program's topic list.
constexpr int kTopicCount = 9;
// The document title ("Doc") of a topic, and the topic of a title (0 when unknown).
QString TopicDocTitle(int topic);
int TopicOfDocTitle(const QString& title);
// The heading the summary gives a topic.
QString TopicHeading(int topic);

// A pupil in one of the lists of a classification report.
struct ReportPupil
{
    QString Name;
    QString Subjects;    // failing grades: the subjects
    int Hundredths = -1; // distinctions: the average in hundredths (below 5: listed without one)
};

// A justification of failing grades (topic 6) or of a lowered conduct grade (topic 2).
struct ReportJustification
{
    QString Pupils; // one name, or several joined by ", "
    QString Grade;  // conduct only
    QStringList Lines;
};

// A text block of a descriptive report ("Ogolne", "Sukcesy", ...), in file order.
struct ReportBlock
{
    QString Element;
    QStringList Lines;
};

// What one report document says.
struct ReportDocument
{
    int Topic = 0; // 1 to 9; 0 when not known
    QString Teacher;
    QString ClassName; // Klasa; the typed classes (Klasy) of topic 4
    QString Subject;   // Przedmiot of topics 4 and 6
    QString Activity;  // Zajecia of topic 5, Dotyczy of topic 8
    QString Number;    // Nr of topics 5, 8 and 9
    QString DateText;  // Date as written
    QDateTime Date;    // Date as written, in UTC so that no time zone shifts or refuses it
    QByteArray Digest; // of the document's bytes: the same document read twice

    QString Classified;
    QString Promoted;
    QStringList FullAttendance;
    QList<ReportPupil> Distinctions;
    QList<ReportPupil> Failing;
    QStringList Exemplary;
    QList<ReportJustification> Justifications; // Uzasadnienia (topic 6) or Obnizone (topic 2)
    QList<ReportBlock> Blocks;

    // Forgets the contents, keeping who wrote the document and what it is about.
    void dropContents();
};

// Caps of one document: larger inputs are damaged ones, never a reason to run out of
// memory.
constexpr qint64 kMaxReportBytes = 4 * 1024 * 1024;
constexpr int kMaxReportEntries = 10000; // pupils, lines or justifications in one list

// How much of a document a reader needs.
enum class ReportScope
{
    Whole,   // the topic's format with its contents, teacher and date
    Teacher, // decoded, well-formed XML with a teacher (Szkola/Belfer); the rest unread
};

struct ReportReading
{
    // What was read; when the document is refused, as far as it could be read and
    // without its contents.
    ReportDocument Document;
    QString Reason; // why the document is no readable report, in Polish; empty when it is

    bool readable() const { return Reason.isEmpty(); }
};

// Reads one report document from its bytes.
ReportReading ReadReport(QByteArrayView bytes, ReportScope scope = ReportScope::Whole);

// "19.06.2026 g. 09:05:03" and the other forms a document's Date may take. The
// answer carries the wall-clock time as written (in UTC, with no zone applied), so
// that documents compare as written whatever the machine's time zone; invalid when
// the text is no date.
QDateTime ParseReportDate(const QString& text);

// A moment of this machine's clock in the same form: its local wall-clock time.
QDateTime AsWrittenDate(const QDateTime& local);

// The text of a document's bytes, decoded by what the document declares: the
// program's Windows-1250 (declared as such), its UTF-16LE form (with the byte-order
// mark FF FE) or UTF-8 (declared, or with its byte-order mark; the default of XML
// without a declaration). False, with the reason, when the document declares another
// encoding, contradicts itself, or its bytes are not valid in its encoding.
bool DecodeReportText(QByteArrayView bytes, QString* text, QString* reason);
