#include "delivery/ReportTeacher.h"

#include "document/ReportReader.h"
#include "files/SafeFile.h"

bool ReadReportTeacher(const QString& path, QString* teacher)
{
    // A file larger than a report may be is refused without being read whole.
    QByteArray bytes;
    if (!SafeFile::Read(path, kMaxReportBytes, &bytes))
        return false;
    // Read as the school's collection reads it: decoded by its declaration, well-formed,
    // with the teacher in Szkola/Belfer. The topic's format is left to the school.
    const ReportReading reading = ReadReport(bytes, ReportScope::Teacher);
    if (!reading.readable())
        return false;
    *teacher = reading.Document.Teacher;
    return true;
}
