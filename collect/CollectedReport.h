#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// One report document as the school's collecting tool reads it back: who wrote it,
// its topic, what it is about and its contents, or why it could not be taken.

enum class ReportState
{
    Accepted, // counts in the summary
    Replaced,   // a later one of the same teacher, topic and class or subject counts
    Damaged,    // unreadable, not a report, or not in the report format of its topic
    Suspicious, // dated after the collecting run: it neither counts nor replaces another
};

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

struct CollectedReport
{
    QString Source; // where it was read: a file path, or a mail and its attachment name
    ReportState State = ReportState::Damaged;
    QString Reason; // why damaged or replaced, in Polish

    int Topic = 0; // 1 to 9; 0 when not known
    QString Teacher;
    QString ClassName; // Klasa; the typed classes (Klasy) of topic 4
    QString Subject;   // Przedmiot of topics 4 and 6
    QString Activity;  // Zajecia of topic 5, Dotyczy of topic 8
    QString Number;    // Nr of topics 5, 8 and 9
    QString DateText;  // Date as written
    QDateTime Date;    // Date as written, in UTC so that no time zone shifts or refuses it
    QByteArray Digest; // of the document's bytes: the same document read twice

    // Contents, kept only while the report is accepted.
    QString Classified;
    QString Promoted;
    QStringList FullAttendance;
    QList<ReportPupil> Distinctions;
    QList<ReportPupil> Failing;
    QStringList Exemplary;
    QList<ReportJustification> Justifications; // Uzasadnienia (topic 6) or Obnizone (topic 2)
    QList<ReportBlock> Blocks;

    void dropContents();
};

// Caps of one document: larger inputs are damaged ones, never a reason to run out of
// memory.
constexpr qint64 kMaxReportBytes = 4 * 1024 * 1024;
constexpr int kMaxReportEntries = 10000; // pupils, lines or justifications in one list

// Reads one report document from its bytes. The answer is Accepted or Damaged (with
// the reason); the caller decides about replacements.
CollectedReport ReadReportDocument(QByteArrayView bytes, const QString& source);

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
