#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// Every report the teacher hands in (or saves) is kept with its preview page in the
// program's data folder ("Sprawozdania", one folder per school year). A report of a
// name already kept keeps the earlier one and takes a numbered name, claimed by
// creating it; the very same bytes again add nothing. A small log beside the reports
// of a year records each delivery with the name of the kept file whose bytes went out.
class ReportArchive
{
public:
    // Without a data folder (no start-up has run) nothing is kept or logged.
    explicit ReportArchive(const QString& dataFolder);

    bool IsUsable() const { return !m_folder.isEmpty(); }
    // "Sprawozdania" in the data folder.
    const QString& Folder() const { return m_folder; }
    // The school year of `day`: from September on "2026-2027", before "2025-2026".
    static QString SchoolYear(const QDate& day);
    QString YearFolder(const QDate& day) const;
    // The folder the teacher looks for earlier reports in: the current year's when it
    // exists, else the archive, else nothing.
    QString OpenFolder(const QDate& today) const;

    // Keeps the report `document` and its page `page` under `name` (the report's name
    // without extension) in the year of `day`. `kept` gets the full path of the kept
    // report. False with a short reason when it cannot be kept.
    bool Keep(const QString& document, const QString& page, const QString& name, const QDate& day,
              QString* kept, QString* error = nullptr) const;

    // One line of the delivery log of the year of `when`: time, way, target or
    // recipients, the report's file name and the outcome.
    bool LogDelivery(const QString& way, const QString& target, const QString& documentName, bool delivered,
                     const QDateTime& when) const;
    QString LogPath(const QDate& day) const;
    // Where the log goes when it reaches its cap (replacing the one before).
    QString OlderLogPath(const QDate& day) const;

    // The log is appended to until it would pass this many bytes; it then moves to
    // the older log and begins anew.
    static constexpr qint64 kMaxLogBytes = 256 * 1024;

private:
    QString m_folder;
};
