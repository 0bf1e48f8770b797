#include "drafts/ReportArchive.h"

#include "files/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

const QString kLogName = QStringLiteral("dostarczenia.txt");
const QString kOlderLogName = QStringLiteral("dostarczenia-starsze.txt");
constexpr int kMaxNumber = 9999;
constexpr qint64 kMaxReportBytes = 64 * 1024 * 1024;

// A folder of the archive: made when missing, a real folder and no planted link.
bool realFolder(const QString& folder)
{
    return !folder.isEmpty() && SafeFile::MakeFolder(folder).ok();
}

bool readBounded(const QString& path, qint64 limit, QByteArray* bytes)
{
    return SafeFile::Read(path, limit, bytes).ok();
}

// Tabs and line breaks would break the log's columns.
QString oneField(QString text)
{
    for (QChar& c : text) {
        if (c.unicode() < 0x20)
            c = QLatin1Char(' ');
    }
    return text;
}

} // namespace

ReportArchive::ReportArchive(const QString& dataFolder)
    : m_folder(dataFolder.isEmpty() ? QString() : QDir(dataFolder).filePath(QStringLiteral("Sprawozdania")))
{
}

QString ReportArchive::SchoolYear(const QDate& day)
{
    const int first = day.month() >= 9 ? day.year() : day.year() - 1;
    return QStringLiteral("%1-%2").arg(first).arg(first + 1);
}

QString ReportArchive::YearFolder(const QDate& day) const
{
    return QDir(m_folder).filePath(SchoolYear(day));
}

QString ReportArchive::OpenFolder(const QDate& today) const
{
    if (m_folder.isEmpty())
        return {};
    if (QFileInfo(YearFolder(today)).isDir())
        return YearFolder(today);
    if (QFileInfo(m_folder).isDir())
        return m_folder;
    return {};
}

bool ReportArchive::Keep(const QString& document, const QString& page, const QString& name, const QDate& day,
                         QString* kept, QString* error) const
{
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    QByteArray report;
    if (!readBounded(document, kMaxReportBytes, &report))
        return fail(QStringLiteral("nie można odczytać sprawozdania"));
    QByteArray preview;
    if (!page.isEmpty() && !readBounded(page, kMaxReportBytes, &preview))
        return fail(QStringLiteral("nie można odczytać strony podglądu"));
    const QString year = YearFolder(day);
    if (!realFolder(m_folder) || !realFolder(year))
        return fail(QStringLiteral("nie można utworzyć folderu %1").arg(SchoolYear(day)));

    // The report's name is made of names from the school's data and typed text: only
    // its file-name part is used, so it cannot lead out of the folder.
    const QString base = QFileInfo(name).fileName();
    if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String(".."))
        return fail(QStringLiteral("niewłaściwa nazwa sprawozdania"));

    // A report kept before with exactly these bytes is that report: a report
    // delivered twice (by mail, then on disk) is kept once.
    for (int number = 1; number <= kMaxNumber; ++number) {
        const QString stem = number == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(number);
        const QString path = QDir(year).filePath(stem + QStringLiteral(".xml"));
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            break;
        QByteArray previous;
        if (readBounded(path, kMaxReportBytes, &previous) && previous == report) {
            *kept = path;
            return true;
        }
    }
    // The new name is claimed by creating it, so that two running programs never
    // write one report over the other.
    QString path;
    const FileResult written = SafeFile::WriteNew(year, base, QStringLiteral(".xml"), kMaxNumber, report, &path);
    if (!written) {
        return fail(written.failure == FileFailure::Exists ? QStringLiteral("za dużo sprawozdań o tej nazwie")
                                                           : QStringLiteral("nie można zapisać kopii: ") +
                                                                 FileFailureText(written));
    }
    *kept = path;
    if (!page.isEmpty()) {
        const QString pagePath = path.left(path.size() - 4) + QStringLiteral(".htm");
        if (!SafeFile::Write(pagePath, preview))
            return fail(QStringLiteral("nie można zapisać strony podglądu"));
    }
    return true;
}

QString ReportArchive::LogPath(const QDate& day) const
{
    return QDir(YearFolder(day)).filePath(kLogName);
}

bool ReportArchive::LogDelivery(const QString& way, const QString& target, const QString& documentName,
                                bool delivered, const QDateTime& when) const
{
    const QDate day = when.date();
    if (!realFolder(m_folder) || !realFolder(YearFolder(day)))
        return false;
    const QString line =
        QStringList{when.toString(Qt::ISODate), oneField(way), oneField(target), oneField(documentName),
                    delivered ? QStringLiteral("dostarczono") : QStringLiteral("nie udało się")}
            .join(QLatin1Char('\t'));
    // Appended, never rewritten: at its cap the log moves to one older file.
    return SafeFile::AppendLine(LogPath(day), line.toUtf8(), kMaxLogBytes, OlderLogPath(day)).ok();
}

QString ReportArchive::OlderLogPath(const QDate& day) const
{
    return QDir(YearFolder(day)).filePath(kOlderLogName);
}
