#include "delivery/ReportArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kLogName = QStringLiteral("dostarczenia.txt");
constexpr int kMaxNumber = 9999;
constexpr qint64 kMaxReportBytes = 64 * 1024 * 1024;

// A folder made one level at a time that is a real folder and no planted link.
bool realFolder(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    const QFileInfo info(folder);
    if (info.isSymLink())
        return false;
    if (!info.exists() && !QDir().mkdir(folder))
        return false;
    return QFileInfo(folder).isDir() && !QFileInfo(folder).isSymLink();
}

bool readBounded(const QString& path, qint64 limit, QByteArray* bytes)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.isSymLink() || info.size() > limit)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.read(limit + 1);
    return bytes->size() <= limit;
}

bool writeWhole(const QString& path, const QByteArray& bytes)
{
    if (QFileInfo(path).isSymLink())
        QFile::remove(path); // replaced, never followed
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
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

    QString last; // the newest kept report of this name
    for (int number = 1; number <= kMaxNumber; ++number) {
        const QString stem = number == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(number);
        const QString path = QDir(year).filePath(stem + QStringLiteral(".xml"));
        const QFileInfo info(path);
        if (info.exists() || info.isSymLink()) {
            last = path;
            continue;
        }
        // The same report written again (back from the preview and forward) is kept once.
        QByteArray previous;
        if (!last.isEmpty() && readBounded(last, kMaxReportBytes, &previous) && previous == report) {
            *kept = last;
            return true;
        }
        const QString pagePath = QDir(year).filePath(stem + QStringLiteral(".htm"));
        if (!writeWhole(path, report) || (!page.isEmpty() && !writeWhole(pagePath, preview)))
            return fail(QStringLiteral("nie można zapisać kopii"));
        *kept = path;
        return true;
    }
    return fail(QStringLiteral("za dużo sprawozdań o tej nazwie"));
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
    const QString path = LogPath(day);
    QByteArray log;
    if (QFileInfo::exists(path) && !readBounded(path, 4 * kMaxLogBytes, &log))
        log.clear(); // unreadable or grown beyond reason: started afresh
    const QString line =
        QStringList{when.toString(Qt::ISODate), oneField(way), oneField(target), oneField(documentName),
                    delivered ? QStringLiteral("dostarczono") : QStringLiteral("nie udało się")}
            .join(QLatin1Char('\t'));
    log += line.toUtf8() + '\n';
    // The oldest lines make room for new ones.
    while (log.size() > kMaxLogBytes) {
        const qsizetype end = log.indexOf('\n');
        if (end < 0)
            break;
        log.remove(0, end + 1);
    }
    return writeWhole(path, log);
}
