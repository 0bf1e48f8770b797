#include "delivery/ReportTeacher.h"

#include "document/PKXML.h"
#include "files/SafeFile.h"

namespace {

// A report holds a few pages of text; anything far larger is no report.
constexpr qint64 kMaxReportBytes = 16 * 1024 * 1024;

} // namespace

bool ReadReportTeacher(const QString& path, QString* teacher)
{
    QByteArray bytes;
    if (!SafeFile::Read(path, kMaxReportBytes, &bytes))
        return false;
    TpkXML xml;
    if (!xml.LoadFromBuffer(bytes))
        return false;
    const TpkXMLNode* school = std::as_const(xml.Root).FindNode(u"Szkola");
    const TpkXMLNode* belfer = school ? school->FindNode(u"Belfer") : nullptr;
    const QString name = belfer ? belfer->Value : QString();
    if (name.trimmed().isEmpty())
        return false;
    *teacher = name;
    return true;
}
