// Puts the demo school's teachers and each class's pupils in Polish alphabetical
// order, as a school's own lists come: renumbers the "BelferN" and "UczenN" lines of
// each block by the names' collation for pl_PL and leaves every other line as it is.
// With --check it only tells which files are out of order (exit status 1).
//
//     tabulon-sort-demo [--check] FOLDER...
#include "encoding/TextCodec.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;

// One numbered line: indentation, element name, number and content.
const QRegularExpression kNumbered(QStringLiteral(R"(^(\s*)<(Uczen|Belfer)(\d+)>(.*)</\2\3>\s*$)"));
const QRegularExpression kTeacher(QStringLiteral(R"(<Nzw>(.*)</Nzw><Im>(.*)</Im>)"));

// The name a list is ordered by: a pupil's whole text, a teacher's surname and first
// name as the program shows them.
QString sortKey(const QString& element, const QString& content)
{
    if (element == QLatin1String("Belfer")) {
        const QRegularExpressionMatch teacher = kTeacher.match(content);
        if (teacher.hasMatch())
            return teacher.captured(1) + QLatin1Char(' ') + teacher.captured(2);
    }
    return content;
}

// Sorts every run of consecutive numbered lines of the same element; true when a line moved.
bool sortLines(QStringList& lines, const QCollator& collator)
{
    bool changed = false;
    for (qsizetype first = 0; first < lines.size();) {
        const QRegularExpressionMatch head = kNumbered.match(lines.at(first));
        if (!head.hasMatch()) {
            ++first;
            continue;
        }
        struct Entry
        {
            QString key;
            QString content;
        };
        QList<Entry> entries;
        QList<QString> numbers;
        qsizetype end = first;
        for (; end < lines.size(); ++end) {
            const QRegularExpressionMatch line = kNumbered.match(lines.at(end));
            if (!line.hasMatch() || line.captured(2) != head.captured(2))
                break;
            entries.append({sortKey(line.captured(2), line.captured(4)), line.captured(4)});
            numbers.append(line.captured(3));
        }
        std::stable_sort(entries.begin(), entries.end(), [&collator](const Entry& a, const Entry& b) {
            return collator.compare(a.key, b.key) < 0;
        });
        const QString indent = head.captured(1);
        const QString element = head.captured(2);
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QString sorted = QStringLiteral("%1<%2%3>%4</%2%3>")
                                       .arg(indent, element, numbers.at(i), entries.at(i).content);
            if (lines.at(first + i) != sorted) {
                lines[first + i] = sorted;
                changed = true;
            }
        }
        first = end;
    }
    return changed;
}

int sortFile(const QString& path, bool check, const QCollator& collator)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) {
        std::fprintf(stderr, "tabulon-sort-demo: cannot read %s\n", qPrintable(path));
        return 2;
    }
    const QString text = TextCodec::fromCp1250(file.read(kMaxFileBytes));
    file.close();
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!sortLines(lines, collator))
        return 0;
    if (check) {
        std::fprintf(stderr, "tabulon-sort-demo: %s is not in Polish alphabetical order\n", qPrintable(path));
        return 1;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(TextCodec::toCp1250(lines.join(QStringLiteral("\r\n")))) < 0 || !out.commit()) {
        std::fprintf(stderr, "tabulon-sort-demo: cannot write %s\n", qPrintable(path));
        return 2;
    }
    std::printf("sorted %s\n", qPrintable(path));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: tabulon-sort-demo [--check] FOLDER...\n");
        return 2;
    }
    QCollator collator{QLocale(QLocale::Polish, QLocale::Poland)};
    int status = 0;
    for (const QString& folder : std::as_const(args)) {
        for (const char* name : {"nauczyciele.kbs", "uczniowie.kls"})
            status =
                std::max(status, sortFile(QDir(folder).filePath(QString::fromLatin1(name)), check, collator));
    }
    return status;
}
